#include "platform/gfx/Present.h"

#include <algorithm>

CRect GfxBlit(CWnd* wnd, int x, int y, int w, int h, const GfxPicture& pic, int sx, int sy, bool present) {
    if (wnd == nullptr || wnd->GetSafeHwnd() == nullptr || pic.bits == nullptr || w <= 0 || h <= 0) return CRect();
    CPixelSurface& surface = wnd->GetSurface();
    // Clip against the source picture and the window's surface together.
    auto cut = [](int& d, int& s, int& n, int dLimit, int sLimit) {
        if (d < 0) s -= d, n += d, d = 0;
        if (s < 0) d -= s, n += s, s = 0;
        n = std::min(n, std::min(dLimit - d, sLimit - s));
    };
    cut(x, sx, w, surface.GetWidth(), pic.width);
    cut(y, sy, h, surface.GetHeight(), pic.height);
    if (w <= 0 || h <= 0) return CRect();
    if (pic.bitCount == 24) {
        surface.BlitBGR24(x, y, pic.bits, pic.width, pic.height, pic.stride, true, sx, sy, w, h);
    } else if (pic.bitCount == 8 && pic.colours) {
        for (int r = 0; r < h; ++r) {
            const uint8_t* src = pic.bits + size_t(pic.height - 1 - (sy + r)) * pic.stride + sx;
            uint32_t* dst = surface.GetRow(y + r) + x;
            for (int i = 0; i < w; ++i) {
                const uint8_t* c = pic.colours + 4 * src[i];
                dst[i] = c[0] | (uint32_t(c[1]) << 8) | (uint32_t(c[2]) << 16);
            }
        }
    } else {
        return CRect();
    }
    CRect done(x, y, x + w, y + h);
    if (present) wnd->PresentRects(&done, 1);
    return done;
}
