#include "Animate/OSBView.h"

#include <cstring>

#include "platform/win/Win.h"

IMPLEMENT_DYNCREATE(COSBView, CView)

COSBView::COSBView() = default;
COSBView::~COSBView() = default;

void COSBView::OnUpdate(CView*, LPARAM, CObject*) {
    OnUpdateHook();
    Render(nullptr, FALSE);
}

void COSBView::OnDraw(CDC*) { Render(nullptr, FALSE); }

// A 24-bit surface of the picture's size in `slot`; on failure the slot
// is left empty.
static BOOL MakeSurface(std::unique_ptr<CDIBSurface>& slot, const CDIB* picture) {
    slot.reset();
    if (picture == nullptr || picture->IsEmpty()) return FALSE;
    auto surface = std::make_unique<CDIBSurface>();
    if (!surface->Create(picture->PictureWidth(), picture->PictureHeight(), nullptr)) return FALSE;
    slot = std::move(surface);
    return TRUE;
}

BOOL COSBView::CreateBackBuffer(const CDIB* picture) {
    if (!MakeSurface(m_pBackBuffer, picture)) return FALSE;
    m_rcBuffer = CRect(0, 0, picture->PictureWidth() - 1, picture->PictureHeight() - 1);
    return TRUE;
}

BOOL COSBView::CreateFrameBuffer(const CDIB* picture) {
    if (!MakeSurface(m_pFrameSurface, picture)) return FALSE;
    int w = picture->PictureWidth(), h = picture->PictureHeight();
    m_rcFrame = CRect(0, 0, w - 1, h - 1);
    m_bHorizontalFrame = w > h;
    return TRUE;
}

void COSBView::Render(const RECT* r, BOOL frameOnly) {
    m_shown.clear();
    BlitForRender(r, frameOnly, m_shown);
    if (!m_shown.empty()) PresentRects(m_shown.data(), int(m_shown.size()));
}

void COSBView::RenderAll(std::span<const CRect> rects) {
    m_shown.clear();
    for (const CRect& r : rects) BlitForRender(&r, FALSE, m_shown);
    if (!m_shown.empty()) PresentRects(m_shown.data(), int(m_shown.size()));
}

void COSBView::BlitForRender(const RECT* r, BOOL frameOnly, std::vector<CRect>& shown) {
    if (!m_hWnd) return;
    if (!frameOnly && m_pBackBuffer) {
        CRect area;
        if (r)
            area = *r;
        else if (m_bFullWindow)
            GetClientRect(&area);
        else
            area = m_rcBuffer;
        if (m_bFullWindow) {
            CRect clipBox;
            GetClientRect(&clipBox);
            area &= clipBox;
        }
        area &= m_pBackBuffer->PictureRect();
        if (!area.IsRectEmpty())
            shown.push_back(GfxBlit(this, area.left - m_rcBuffer.left, area.top - m_rcBuffer.top, area.Width(),
                                    area.Height(), m_pBackBuffer->AsPicture(), area.left, area.top, false));
    }
    if (m_pFrameSurface) {
        int w = m_pFrameSurface->PictureWidth(), h = m_pFrameSurface->PictureHeight();
        CPoint corner = m_bHorizontalFrame ? CPoint(0, m_rcFrame.top) : CPoint(m_rcFrame.left, 0);
        CRect window(corner.x, corner.y, corner.x + w - 1, corner.y + h - 1);
        CRect area = m_rcFrame;
        if (r) {
            area = *r;
            area.OffsetRect(m_rcFrame.left, m_rcFrame.top);
        }
        area &= window;
        if (!area.IsRectEmpty())
            shown.push_back(GfxBlit(this, area.left, area.top, area.Width(), area.Height(), m_pFrameSurface->AsPicture(),
                                    area.left - corner.x, area.top - corner.y, false));
    }
    std::erase_if(shown, [](const CRect& x) { return x.IsRectEmpty(); });
}

void COSBView::AddDirtyRect(const RECT& r) { AddMergedDirtyRect(m_dirty, r); }

void CoalesceFlush(std::vector<CRect>& rects, const CRect& whole) {
    if (rects.size() < 2 || whole.IsRectEmpty()) return;
    long long covered = 0;
    for (const CRect& r : rects) {
        CRect part = r & whole;
        if (!part.IsRectEmpty()) covered += (long long)part.Width() * part.Height();
    }
    if (2 * covered < (long long)whole.Width() * whole.Height()) return;
    rects.assign(1, whole);
}

// Writes one pixel value (an index, or blue + green x 256 + red x 65536) at
// (x, y) of a buffer of either depth; nothing outside it.
static void PutPixel(CDIB* buffer, int x, int y, DWORD colour) {
    BYTE* p = buffer->GetPixelAddress(x, y);
    if (p == nullptr) return;
    if (buffer->GetBitCount() == 8) {
        p[0] = BYTE(colour);
    } else {
        p[0] = BYTE(colour), p[1] = BYTE(colour >> 8), p[2] = BYTE(colour >> 16);
    }
}

void COSBView::FillRect(int left, int top, int right, int bottom, DWORD colour, BOOL render) {
    if (!m_pBackBuffer) return;
    CRect r(left, top, right, bottom);
    r &= m_pBackBuffer->PictureRect();
    m_pBackBuffer->FillPixels(r, colour);
    if (render && !r.IsRectEmpty()) Render(&r, FALSE);
}

void COSBView::DrawRectOutline(int left, int top, int right, int bottom, DWORD colour, int cl, int ct, int cr, int cb,
                               BOOL render) {
    if (!m_pBackBuffer) return;
    CRect r(left, top, right, bottom);
    r &= m_pBackBuffer->PictureRect();
    if (r.IsRectEmpty()) return;
    CRect clip(cl, ct, cr, cb);
    bool all = clip.IsRectNull() || m_pBackBuffer->GetBitCount() == 8;
    CRect cut = all ? r : (r & clip);
    CDIB* b = m_pBackBuffer.get();
    if (all || r.top >= clip.top)
        for (int x = cut.left; x < cut.right; ++x) PutPixel(b, x, r.top, colour);
    if (all || r.bottom <= clip.bottom)
        for (int x = cut.left; x < cut.right; ++x) PutPixel(b, x, r.bottom, colour);
    if (all || r.left >= clip.left)
        for (int y = cut.top; y < cut.bottom; ++y) PutPixel(b, r.left, y, colour);
    if (all || r.right <= clip.right)
        for (int y = cut.top; y < cut.bottom; ++y) PutPixel(b, r.right - 1, y, colour);
    if (render) {
        CRect strips[4] = {CRect(r.left - 1, r.top - 1, r.right + 1, r.top + 1),
                           CRect(r.left - 1, r.bottom - 1, r.right + 1, r.bottom + 1),
                           CRect(r.left - 1, r.top - 1, r.left + 1, r.bottom + 1),
                           CRect(r.right - 1, r.top - 1, r.right + 1, r.bottom + 1)};
        for (const CRect& s : strips) Render(&s, FALSE);
    }
}

void COSBView::CopyTransparent(const RECT& r, COLORREF colour, BOOL render) {
    if (!m_pBackBuffer) return;
    CRect a(r);
    m_pBackBuffer->BlendRect(colour, 0.5, a.Width(), a.Height(), a.left, a.top);
    if (render) Render(&a, FALSE);
}

// --- "ANIM" clips ---------------------------------------------------------------

namespace {

constexpr int kClipMaxSide = 4096;
constexpr DWORD kClipMaxFrames = 100000;
constexpr DWORD kClipMaxFile = 64u * 1024 * 1024;


}  // namespace

bool ParseAnimClip(std::vector<BYTE> bytes, CAnimClip& c) {
    c.file = std::move(bytes);
    const std::vector<BYTE>& f = c.file;
    if (f.size() < 24 || std::memcmp(f.data(), "ANIM", 4) != 0) return false;
    DWORD count = AfxGetLE32(&f[4]), ps = AfxGetLE32(&f[8]);
    c.key = AfxGetLE32(&f[12]) & 0xFFFFFF;
    DWORD w = AfxGetLE32(&f[16]), h = AfxGetLE32(&f[20]);
    if (count == 0 || count > kClipMaxFrames || (ps != 1 && ps != 3)) return false;
    if (w == 0 || h == 0 || w > kClipMaxSide || h > kClipMaxSide) return false;
    uint64_t tableEnd = 24 + 8ull * count + (ps == 1 ? 1024 : 0);
    if (tableEnd > f.size()) return false;
    c.frames.resize(count);
    for (DWORD i = 0; i < count; ++i) {
        DWORD off = AfxGetLE32(&f[24 + 8 * i]), size = AfxGetLE32(&f[28 + 8 * i]);
        if ((uint64_t)off + size > f.size()) return false;
        c.frames[i] = {off, size};
    }
    // The first frame is a whole picture: it must hold every pixel.
    if (c.frames[0].second < (uint64_t)w * h * ps) return false;
    if (ps == 1) {
        const BYTE* pal = &f[24 + 8 * count];
        for (int i = 0; i < 256; ++i) c.palette[i] = RGBQUAD{pal[4 * i], pal[4 * i + 1], pal[4 * i + 2], 0};
    }
    c.frameCount = (int)count;
    c.pixelSize = (int)ps;
    c.width = (int)w;
    c.height = (int)h;
    return true;
}

CAnimClip* COSBView::LoadAnimClip(const char* name, DWORD interval, int x, int y, BOOL clear) {
    if (name == nullptr) return nullptr;
    CFile file;
    if (!file.Open(name, CFile::modeRead | CFile::typeBinary)) return nullptr;
    DWORD length = file.GetLength();
    if (length > kClipMaxFile) return nullptr;
    std::vector<BYTE> bytes(length);
    if (length && file.Read(bytes.data(), length) != length) return nullptr;
    auto clip = std::make_unique<CAnimClip>();
    if (!ParseAnimClip(std::move(bytes), *clip)) return nullptr;
    clip->x = x, clip->y = y;
    clip->interval = interval;
    clip->rect = CRect(x, y, x + clip->width, y + clip->height);
    if (clear) FillRect(x, y, x + clip->width, y + clip->height, 0, FALSE);
    return clip.release();
}

void COSBView::StepAnimClip(CAnimClip* clip) {
    if (clip == nullptr || !m_pBackBuffer || clip->currentFrame >= clip->frameCount) return;
    CDIBSurface* buffer = m_pBackBuffer.get();
    const int ps = clip->pixelSize;
    auto [offset, size] = clip->frames[clip->currentFrame];
    const BYTE* data = clip->file.data() + offset;
    // A pixel value as the back buffer holds it: indices are expanded
    // through the clip's palette when the buffer is 24-bit.
    auto valueAt = [&](const BYTE* p) -> DWORD { return ps == 3 ? (p[0] | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16)) : p[0]; };
    auto put = [&](int px, int py, DWORD v) {
        if (ps == 1 && buffer->GetBitCount() == 24) {
            const RGBQUAD& c = clip->palette[v & 0xFF];
            v = c.rgbBlue | (DWORD(c.rgbGreen) << 8) | (DWORD(c.rgbRed) << 16);
        }
        PutPixel(buffer, px, py, v);
    };
    const int w = clip->width, total = clip->width * clip->height;
    if (clip->currentFrame == 0) {
        for (int i = 0; i < total; ++i) put(clip->x + i % w, clip->y + i / w, valueAt(data + (size_t)i * ps));
    } else {
        // A change list: values are written in turn, the key skips a count
        // of pixels (running on into the next rows). Both the data and the
        // writes are held to their bounds.
        const DWORD key = ps == 1 ? (clip->key & 0xFF) : clip->key;
        size_t at = 0;
        for (int p = 0; p < total && at + ps <= size;) {
            DWORD v = valueAt(data + at);
            at += ps;
            if (v == key) {
                if (at >= size) break;
                p += data[at++];
                continue;
            }
            put(clip->x + p % w, clip->y + p / w, v);
            ++p;
        }
    }
    ++clip->currentFrame;
    if (clip->loop || clip->currentFrame < clip->frameCount) clip->currentFrame %= clip->frameCount;
}

void COSBView::PlayAnimClip(CAnimClip* clip, BOOL loop, BOOL dispatch) {
    if (clip == nullptr) return;
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {
    }
    clip->stoppedByClick = false;
    clip->playing = true;
    clip->loop = loop;
    bool drawn = false;
    DWORD last = 0;
    while (clip->playing) {
        const bool got = PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
        if (got) {
            if (msg.message == WM_LBUTTONDOWN) {
                clip->stoppedByClick = true;
                break;
            }
            if (msg.message == WM_QUIT) {
                PostQuitMessage(int(msg.wParam));
                break;
            }
            // Painting is not input: it is always done, or the window would
            // ask for it again and again.
            if (dispatch || msg.message == WM_PAINT) DispatchMessage(&msg);
        }
        DWORD now = GetTickCount();
        if (!drawn || now - last >= clip->interval) {
            StepAnimClip(clip);
            Render(&clip->rect, FALSE);
            drawn = true;
            last = now;
            if (clip->currentFrame == clip->frameCount) break;
        } else if (!got) {
            // Nothing to do before the next frame: sleep till then or till
            // input comes.
            WaitMessageTimeout(clip->interval - (now - last));
        }
    }
    clip->playing = false;
}

void DeleteAnimClip(CAnimClip* clip) { delete clip; }
