#include "platform/win/Display.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__)
#include <tmmintrin.h>
#endif

#include "platform/win/Wnd.h"

void CPixelSurface::Resize(int width, int height) {
    m_width = std::max(0, width);
    m_height = std::max(0, height);
    m_pixels.assign(size_t(m_width) * size_t(m_height), 0u);
}

uint32_t CPixelSurface::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    return GetRow(y)[x];
}

void CPixelSurface::SetPixel(int x, int y, uint32_t value) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    GetRow(y)[x] = value;
}

void CPixelSurface::Fill(const CRect& r, uint32_t value) {
    CRect c = r & CRect(0, 0, m_width, m_height);
    if (c.IsRectEmpty()) return;
    for (int y = c.top; y < c.bottom; ++y) std::fill(GetRow(y) + c.left, GetRow(y) + c.right, value);
}

#if defined(__x86_64__)
// Where the processor has byte shuffles (nearly every x86-64 one does),
// sixteen pixels are put in place by four of them. Returns the pixels done:
// whole sixteens of the row's `w`.
__attribute__((target("ssse3"))) static int ShuffleBGR24(const uint8_t* s, uint32_t* d, int w) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128);
    int x = 0;
    for (; x + 16 <= w; x += 16, s += 48) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), _mm_shuffle_epi8(a, spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x + 4), _mm_shuffle_epi8(_mm_alignr_epi8(b, a, 12), spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x + 8), _mm_shuffle_epi8(_mm_alignr_epi8(c, b, 8), spread));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x + 12), _mm_shuffle_epi8(_mm_srli_si128(c, 4), spread));
    }
    return x;
}

// Asked while statics are made: the processor's features are read first.
static const bool g_hasShuffles = (__builtin_cpu_init(), __builtin_cpu_supports("ssse3"));
#endif

void CPixelSurface::BlitBGR24(int dstX, int dstY, const uint8_t* bits, int srcWidth, int srcHeight, int stride,
                              bool bottomUp, int srcX, int srcY, int w, int h) {
    if (!bits || srcWidth <= 0 || srcHeight <= 0 || stride < srcWidth * 3) return;
    // Clip against the source picture.
    if (srcX < 0) { w += srcX; dstX -= srcX; srcX = 0; }
    if (srcY < 0) { h += srcY; dstY -= srcY; srcY = 0; }
    w = std::min(w, srcWidth - srcX);
    h = std::min(h, srcHeight - srcY);
    // Clip against this surface.
    if (dstX < 0) { w += dstX; srcX -= dstX; dstX = 0; }
    if (dstY < 0) { h += dstY; srcY -= dstY; dstY = 0; }
    w = std::min(w, m_width - dstX);
    h = std::min(h, m_height - dstY);
    if (w <= 0 || h <= 0) return;
    for (int row = 0; row < h; ++row) {
        int sy = srcY + row;
        const uint8_t* s = bits + size_t(bottomUp ? srcHeight - 1 - sy : sy) * size_t(stride) + size_t(srcX) * 3;
        uint32_t* d = GetRow(dstY + row) + dstX;
        int x = 0;
#if defined(__x86_64__)
        if (g_hasShuffles) {
            x = ShuffleBGR24(s, d, w);
            s += 3 * size_t(x);
        }
#endif
        if constexpr (std::endian::native == std::endian::little) {
            // Four pixels from three words: byte by byte this copy is three
            // times slower. Exactly the row's own bytes are read.
            for (; x + 4 <= w; x += 4, s += 12) {
                uint32_t a, b, c;
                std::memcpy(&a, s, 4);
                std::memcpy(&b, s + 4, 4);
                std::memcpy(&c, s + 8, 4);
                d[x] = a & 0xFFFFFFu;
                d[x + 1] = (a >> 24) | ((b & 0xFFFFu) << 8);
                d[x + 2] = (b >> 16) | ((c & 0xFFu) << 16);
                d[x + 3] = c >> 8;
            }
        }
        for (; x < w; ++x, s += 3) d[x] = uint32_t(s[0]) | (uint32_t(s[1]) << 8) | (uint32_t(s[2]) << 16);
    }
}

std::vector<DisplayMode> CDisplayBackend::GetModes() const { return {{1024, 768, 32}, {1280, 1024, 32}}; }

namespace {
std::unique_ptr<CDisplayBackend> g_backend;
CPixelSurface g_screen;
DisplayMode g_mode;

void SetScreenMode(const DisplayMode& mode) {
    g_mode = mode;
    g_screen.Resize(mode.width, mode.height);
}
}  // namespace

void AfxSetDisplayBackend(std::unique_ptr<CDisplayBackend> backend) {
    g_backend = std::move(backend);
    if (g_backend) SetScreenMode(g_backend->GetDesktopMode());
    else SetScreenMode(DisplayMode{});
}

CDisplayBackend* AfxGetDisplayBackend() { return g_backend.get(); }

const CPixelSurface& AfxGetScreen() { return g_screen; }
DisplayMode AfxGetCurrentMode() { return g_mode; }

void AfxPresentScreen(const CRect* rects, int count) {
    CRect whole(0, 0, g_screen.GetWidth(), g_screen.GetHeight());
    // Kept from call to call: showing a frame takes nothing from the heap.
    static thread_local std::vector<CRect> clipped;
    clipped.clear();
    if (!rects || count <= 0) {
        clipped.push_back(whole);
    } else {
        for (int i = 0; i < count; ++i) {
            CRect r = CRect(rects[i]) & whole;
            if (!r.IsRectEmpty()) clipped.push_back(r);
        }
    }
    if (clipped.empty() || whole.IsRectEmpty()) return;
    const std::vector<CWnd*>& windows = AfxGetTopLevelWindows();
    for (const CRect& r : clipped) {
        // Black only where no window will draw: clearing a rectangle that a
        // window then covers whole costs a full pass over it for nothing.
        if (std::none_of(windows.begin(), windows.end(), [&](const CWnd* w) { return w->ComposesWhole(r); }))
            g_screen.Fill(r, 0);
        for (CWnd* w : windows) w->ComposeInto(g_screen, r);
    }
    if (g_backend) g_backend->Present(g_screen, clipped.data(), int(clipped.size()));
}

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return g_mode.width;
    case SM_CYSCREEN: return g_mode.height;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    default: return 0;
    }
}

BOOL EnumDisplaySettings(LPCSTR, DWORD index, DEVMODE* mode) {
    if (!mode) return FALSE;
    DisplayMode m;
    if (index == ENUM_CURRENT_SETTINGS) {
        m = g_mode;
    } else {
        if (!g_backend) return FALSE;
        std::vector<DisplayMode> modes = g_backend->GetModes();
        if (index >= modes.size()) return FALSE;
        m = modes[index];
    }
    mode->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode->dmBitsPerPel = DWORD(m.bitsPerPixel);
    mode->dmPelsWidth = DWORD(m.width);
    mode->dmPelsHeight = DWORD(m.height);
    return TRUE;
}

LONG ChangeDisplaySettings(const DEVMODE* mode, DWORD) {
    if (!g_backend) return DISP_CHANGE_FAILED;
    DisplayMode wanted = g_backend->GetDesktopMode();
    if (mode) {
        DWORD need = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        if ((mode->dmFields & need) != need) return DISP_CHANGE_BADMODE;
        wanted = DisplayMode{int(mode->dmPelsWidth), int(mode->dmPelsHeight), int(mode->dmBitsPerPel)};
        std::vector<DisplayMode> modes = g_backend->GetModes();
        if (std::find(modes.begin(), modes.end(), wanted) == modes.end()) return DISP_CHANGE_BADMODE;
    }
    if (!g_backend->SetMode(wanted)) return DISP_CHANGE_FAILED;
    SetScreenMode(wanted);
    AfxPresentScreen();
    return DISP_CHANGE_SUCCESSFUL;
}

BOOL SystemParametersInfo(UINT action, UINT param, void* pv, UINT) {
    switch (action) {
    case SPI_GETSCREENSAVEACTIVE:
        if (!pv) return FALSE;
        *static_cast<BOOL*>(pv) = g_backend && g_backend->GetScreenSaverActive() ? TRUE : FALSE;
        return TRUE;
    case SPI_SETSCREENSAVEACTIVE:
        if (!g_backend) return FALSE;
        g_backend->SetScreenSaverActive(param != 0);
        return TRUE;
    default: return FALSE;
    }
}
