#include "platform/gfx/Palette.h"

#include <algorithm>

BOOL CPalette::CreatePalette(const PALETTEENTRY* entries, int count) {
    if (entries == nullptr || count <= 0) return FALSE;
    count = std::min(count, 256);
    m_entries.assign(entries, entries + count);
    return TRUE;
}

UINT CPalette::GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* out) const {
    UINT n = 0;
    for (UINT i = start; i < m_entries.size() && n < count; ++i) out[n++] = m_entries[i];
    return n;
}

UINT CPalette::GetNearestPaletteIndex(COLORREF rgb) const {
    int r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
    UINT best = 0;
    int bestDist = 1 << 30;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        int dr = r - m_entries[i].peRed, dg = g - m_entries[i].peGreen, db = b - m_entries[i].peBlue;
        int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = (UINT)i;
            if (d == 0) break;
        }
    }
    return best;
}
