// A sprite sheet cut into a grid of equal cells ("phases"): animation
// frames, states of a picture, or the glyphs of a letter set. Only the
// selected cell is drawn and hit-tested; width and height answer the cell.
#pragma once

#include "Animate/Sprite.h"

class CPhasedSprite : public CSprite {
    DECLARE_SERIAL(CPhasedSprite)
public:
    CPhasedSprite() = default;

    int GetWidth() const override { return m_nCellWidth; }
    int GetHeight() const override { return m_nCellHeight; }
    void AfterLoad() override;
    void Draw(CDIB* target, const RECT* clip, double factor) override;
    void Serialize(CArchive& ar) override;

    virtual int GetRowCount() const { return m_nRows; }
    virtual int GetColumnCount() const { return m_nColumns; }
    virtual int GetRow() const { return m_nRow; }
    virtual int GetColumn() const { return m_nColumn; }
    // FALSE for n < 1 or a cell under one pixel; the current row (column)
    // returns to 0.
    virtual BOOL SetRowCount(int n);
    virtual BOOL SetColumnCount(int n);
    // FALSE outside the grid or when already selected; tells the owner link
    // the picture changed.
    virtual BOOL SetRow(int r);
    virtual BOOL SetColumn(int c);
    // Whether (x, y) lies strictly inside the cell placed at the sprite's
    // position and on an opaque pixel of cell (column, row); a negative
    // column or row means cell 0 in that direction.
    virtual BOOL HitTestPhase(int x, int y, int column, int row);

    // The current cell scaled by `factor` in colour, always through the
    // shaded copy (text drawn darker or lighter).
    void DrawPhaseClipped(CDIB* target, const RECT* clip, double factor);

protected:
    // The placed cell cut to `clip`, and where it starts in the sheet.
    bool CellArea(const RECT* clip, CRect& area, int& sx, int& sy) const;

    int m_nRows = 1;
    int m_nColumns = 1;
    int m_nRow = 0;
    int m_nColumn = 0;
    int m_nCellHeight = 0;
    int m_nCellWidth = 0;
};
