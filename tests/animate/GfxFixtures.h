// Small pictures and helpers shared by the drawing tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Animate/DIB.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/TestFolders.h"

// The colour of index i in pictures made by MakeIndexed, packed blue +
// green x 256 + red x 65536 as Pixel24 reads it.
inline uint32_t PaletteColour(int i) {
    BYTE r = BYTE(i), g = BYTE(255 - i), b = BYTE(i * 37);
    return b | (uint32_t(g) << 8) | (uint32_t(r) << 16);
}

// An 8-bit picture with `px` given row by row from the top, and a colour
// table of `colours` entries from PaletteColour.
inline void MakeIndexed(CDIB& p, int w, int h, const std::vector<BYTE>& px, int colours = 256) {
    std::vector<PALETTEENTRY> pe(colours);
    for (int i = 0; i < colours; ++i) {
        uint32_t c = PaletteColour(i);
        pe[i] = PALETTEENTRY{BYTE(c >> 16), BYTE(c >> 8), BYTE(c), 0};
    }
    CPalette pal;
    pal.CreatePalette(pe.data(), colours);
    ASSERT_TRUE(p.CreateEmpty(w, h, &pal));
    p.SetDepth(8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w && size_t(y * w + x) < px.size(); ++x) *p.GetPixelAddress(x, y) = px[y * w + x];
}

inline uint32_t Pixel24(const CDIB& p, int x, int y) {
    const BYTE* a = p.GetPixelAddress(x, y);
    return a ? a[0] | (uint32_t(a[1]) << 8) | (uint32_t(a[2]) << 16) : 0xDEADBEEF;
}

inline void SetPixel24(CDIB& p, int x, int y, uint32_t packed) {
    BYTE* a = p.GetPixelAddress(x, y);
    a[0] = BYTE(packed), a[1] = BYTE(packed >> 8), a[2] = BYTE(packed >> 16);
}

inline void FillPicture(CDIB& p, uint32_t packed) {
    for (int y = 0; y < p.GetHeight(); ++y)
        for (int x = 0; x < p.GetWidth(); ++x) SetPixel24(p, x, y, packed);
}

inline void PutLE16(std::vector<BYTE>& v, WORD w) { PutW(v, w); }
inline void PutLE32(std::vector<BYTE>& v, DWORD d) { PutD(v, d); }

