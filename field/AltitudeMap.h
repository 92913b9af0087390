// CAltitudeMap: the height of the battlefield, one byte per 5 x 5 field
// units. Bytes 0..127 are heights (byte x 0.13 height units; a height unit
// is drawn 5 pixels up on screen). 128 and more is ground troops cannot
// stand on (water: they wade), except 250, which is passable ground without
// a height of its own; it takes the height of the nearest true height in its
// row. Coordinates outside the field are clamped, never refused.
#pragma once

#include <vector>

#include "field/MapPicture.h"
#include "platform/afx/Afx.h"

class CAltitudeMap : public CObject {
public:
    CAltitudeMap();
    ~CAltitudeMap() override;

    void Reset();
    // Reads the map picture. A picture that is missing, not 8-bit or smaller
    // than 600 x 400 leaves the map unchanged and reports. A row without any
    // height is reported once here, not on every query.
    BOOL Load(const char* name);
    BOOL IsLoaded() const { return m_loaded; }

    double GetAltitude(int x, int y) const;
    // The screen shift of a field point: (0, -(altitude x 5) truncated).
    void GetSlopeOffset(CPoint& out, int x, int y) const;
    // The cell under the point as drawn (shifted by its height) unless
    // `asCell`, when x and y are a column and a row.
    BOOL IsBlockedAt(int x, int y, BOOL asCell) const;
    BOOL IsPassableFlatAt(int x, int y, BOOL asCell) const;

    BYTE GetByte(int c, int r) const { return m_grid[Index(c, r)]; }
    void SetByte(int c, int r, BYTE v) { m_grid[Index(c, r)] = v; }

private:
    static size_t Index(int c, int r);
    BYTE CellFor(int x, int y, BOOL asCell) const;

    BYTE m_loaded = FALSE;
    std::vector<BYTE> m_grid;
};
