#include "field/AltitudeMap.h"

#include <algorithm>

#include "core/Helpers.h"

CAltitudeMap::CAltitudeMap() : m_grid(size_t(kMapColumns) * kMapRows, 0) {}

CAltitudeMap::~CAltitudeMap() { Reset(); }

void CAltitudeMap::Reset() {
    std::fill(m_grid.begin(), m_grid.end(), 0);
    m_loaded = FALSE;
}

size_t CAltitudeMap::Index(int c, int r) {
    c = std::clamp(c, 0, kMapColumns - 1);
    r = std::clamp(r, 0, kMapRows - 1);
    return size_t(c) * kMapRows + size_t(r);
}

BOOL CAltitudeMap::Load(const char* name) {
    std::vector<BYTE> cells;
    if (!ReadMapPicture(name, "altitude", cells)) return FALSE;
    m_grid.swap(cells);
    m_loaded = TRUE;
    for (int r = 0; r < kMapRows; ++r) {
        bool any = false;
        for (int c = 0; c < kMapColumns && !any; ++c) any = GetByte(c, r) < 128;
        if (!any) {
            ShowMessage("ERROR: Problem getting altitude!!");
            break;
        }
    }
    return TRUE;
}

double CAltitudeMap::GetAltitude(int x, int y) const {
    int c = std::clamp(x / 5, 0, kMapColumns - 1);
    int r = std::clamp(y / 5, 0, kMapRows - 1);
    int column = c;
    if (GetByte(c, r) >= 128) {
        // Sideways along the row, left first at each distance. The row was
        // checked at load; a row without heights keeps the start column
        // silently here because this runs inside the battle tick.
        for (int d = 1; d <= kMapColumns; ++d) {
            int left = std::max(c - d, 0), right = std::min(c + d, kMapColumns - 1);
            if (GetByte(left, r) < 128) {
                column = left;
                break;
            }
            if (GetByte(right, r) < 128) {
                column = right;
                break;
            }
        }
    }
    return double(GetByte(column, r)) * 0.13;
}

void CAltitudeMap::GetSlopeOffset(CPoint& out, int x, int y) const {
    out = CPoint(0, -int(GetAltitude(x, y) * 5.0));
}

BYTE CAltitudeMap::CellFor(int x, int y, BOOL asCell) const {
    if (asCell) return GetByte(x, y);
    CPoint shift;
    GetSlopeOffset(shift, x, y);
    return GetByte(x / 5, (y + shift.y) / 5);
}

BOOL CAltitudeMap::IsBlockedAt(int x, int y, BOOL asCell) const {
    BYTE b = CellFor(x, y, asCell);
    return b >= 128 && b != 250;
}

BOOL CAltitudeMap::IsPassableFlatAt(int x, int y, BOOL asCell) const {
    return CellFor(x, y, asCell) == 250;
}
