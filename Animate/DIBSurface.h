// CDIBSurface: a picture that windows are drawn from. Every screen's back
// buffer and every dialog's drawing surface is one: the copy routines draw
// into its rows directly, and BitBlt copies a rectangle of it to a window
// and shows it. Its rows belong to the surface (the CDIB does not own them).
//
// CImagePalette: a palette built from a picture's colour table. The display
// is always true colour, so it never becomes the screen's palette; it only
// decides the indices of 8-bit pictures mapped to it.
#pragma once

#include <vector>

#include "Animate/DIB.h"
#include "platform/gfx/Present.h"

class CImagePalette : public CPalette {
public:
    // From the picture's colour table; FALSE (nothing made) when it has none.
    BOOL CreateFromDIB(const CDIB* picture);
    BOOL CreateFromColorTable(const RGBQUAD* entries, int count);
    // There is no palette display: always FALSE, the palette unchanged.
    BOOL MakeIdentity() { return FALSE; }
};

class CDIBSurface : public CDIB {
    DECLARE_SERIAL(CDIBSurface)
public:
    CDIBSurface() = default;

    // (Re)creates the surface: 8 bits with the palette's colours, or 24
    // bits without one. The rows start black. FALSE for a size that cannot
    // be made.
    BOOL Create(int width, int height, HPALETTE palette = nullptr);
    // Adopts the palette's colours as the colour table; the indices stay.
    BOOL SetPalette(HPALETTE palette);
    HPALETTE GetPalette() const { return m_pPalette; }
    // These surfaces take a palette instead of remapping their pixels.
    BOOL MapToPalette(HPALETTE palette) override { return SetPalette(palette); }
    BOOL MapToPalette(CPalette& palette) override { return SetPalette(&palette); }

    // Copies w x h from (sx, sy) to (x, y) of the window behind `dc` and
    // shows it.
    void BitBlt(CDC* dc, int x, int y, int w, int h, int sx, int sy);
    void DrawAll(CDC* dc) { BitBlt(dc, 0, 0, PictureWidth(), PictureHeight(), 0, 0); }
    // The picture as the presenting layer reads it.
    GfxPicture AsPicture() const;

private:
    HPALETTE m_pPalette = nullptr;
    std::vector<BYTE> m_rows;
};

// The picture description of any CDIB, for GfxBlit.
GfxPicture GfxPictureOf(const CDIB& picture);
