// A logical colour palette: up to 256 red, green, blue entries. Pictures of
// 8 bits per pixel are mapped onto one (CDIB::MapToPalette), and the screens
// that show such pictures build theirs from a picture's colour table
// (CImagePalette). The display itself is always true colour, so a palette
// never reaches the screen: it only decides which index a pixel holds.
#pragma once

#include <vector>

#include "platform/afx/AfxTypes.h"

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

enum : BYTE { PC_NOCOLLAPSE = 0x04 };

class CPalette {
public:
    CPalette() = default;
    virtual ~CPalette() = default;

    // Replaces the entries (at most 256 are kept); FALSE for none.
    BOOL CreatePalette(const PALETTEENTRY* entries, int count);
    void DeleteObject() { m_entries.clear(); }
    bool IsCreated() const { return !m_entries.empty(); }

    int GetEntryCount() const { return (int)m_entries.size(); }
    // Copies up to `count` entries from `start`; returns how many were copied.
    UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const;
    // The index whose colour is nearest (squared distance; the lowest index
    // wins a tie) to `rgb`; 0 for an empty palette.
    UINT GetNearestPaletteIndex(COLORREF rgb) const;

private:
    std::vector<PALETTEENTRY> m_entries;
};

typedef CPalette* HPALETTE;
