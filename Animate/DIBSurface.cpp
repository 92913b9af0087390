#include "Animate/DIBSurface.h"

IMPLEMENT_SERIAL(CDIBSurface, CDIB, 0)

BOOL CImagePalette::CreateFromDIB(const CDIB* picture) {
    int n = picture ? picture->GetColorCount() : 0;
    if (n == 0) return FALSE;
    return CreateFromColorTable(picture->GetBitmapInfo()->bmiColors, n);
}

BOOL CImagePalette::CreateFromColorTable(const RGBQUAD* entries, int count) {
    if (entries == nullptr || count <= 0) return FALSE;
    std::vector<PALETTEENTRY> pe(std::min(count, 256));
    for (size_t i = 0; i < pe.size(); ++i) pe[i] = PALETTEENTRY{entries[i].rgbRed, entries[i].rgbGreen, entries[i].rgbBlue, 0};
    DeleteObject();
    return CreatePalette(pe.data(), (int)pe.size());
}

BOOL CDIBSurface::Create(int width, int height, HPALETTE palette) {
    int bits = palette ? 8 : 24;
    DWORD stride = DIBStride(width, bits);
    if (stride == 0 || height <= 0 || (uint64_t)stride * height > 512u * 1024 * 1024) return FALSE;
    BITMAPINFO header{};
    header.bmiHeader = BITMAPINFOHEADER{40, width, height, 1, WORD(bits), BI_RGB, 0, 0, 0, 0, 0};
    if (palette) {
        PALETTEENTRY pe[256];
        UINT n = palette->GetPaletteEntries(0, 256, pe);
        for (UINT i = 0; i < n; ++i) header.bmiColors[i] = RGBQUAD{pe[i].peBlue, pe[i].peGreen, pe[i].peRed, 0};
        header.bmiHeader.biClrUsed = n;
    }
    m_pPalette = palette;
    std::vector<BYTE> rows;
    try {
        rows.assign((size_t)stride * height, 0);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    if (!Attach(&header, rows.data(), FALSE)) return FALSE;
    m_rows.swap(rows);
    m_depth = bits;
    return TRUE;
}

BOOL CDIBSurface::SetPalette(HPALETTE palette) {
    if (palette == nullptr) return FALSE;
    m_pPalette = palette;
    if (m_pBMI) {
        PALETTEENTRY pe[256];
        UINT n = palette->GetPaletteEntries(0, 256, pe);
        for (UINT i = 0; i < n; ++i) m_pBMI->bmiColors[i] = RGBQUAD{pe[i].peBlue, pe[i].peGreen, pe[i].peRed, 0};
    }
    return TRUE;
}

GfxPicture GfxPictureOf(const CDIB& p) {
    GfxPicture g;
    g.bits = p.GetBits();
    g.width = p.PictureWidth();
    g.height = p.PictureHeight();
    g.stride = (int)p.GetStride();
    g.bitCount = p.GetBitCount();
    g.colours = p.GetBitmapInfo() ? reinterpret_cast<const uint8_t*>(p.GetBitmapInfo()->bmiColors) : nullptr;
    return g;
}

GfxPicture CDIBSurface::AsPicture() const { return GfxPictureOf(*this); }

void CDIBSurface::BitBlt(CDC* dc, int x, int y, int w, int h, int sx, int sy) {
    if (dc == nullptr || IsEmpty()) return;
    GfxBlit(dc->GetWindow(), x, y, w, h, AsPicture(), sx, sy, true);
}

int CDIB::DrawTo(CDC* dc, int x, int y) const {
    if (dc == nullptr || IsEmpty()) return 0;
    return GfxBlit(dc->GetWindow(), x, y, PictureWidth(), PictureHeight(), GfxPictureOf(*this), 0, 0).Height();
}
