// CBucketGrid: a spatial index of the clickable rectangles of a screen. The
// area is cut into columns x rows equal cells and every rectangle is filed
// under each cell it touches, so the region under the mouse is found by
// looking in one cell only.
//
// The grid owns the rectangles given to Insert and deletes each exactly
// once. Where rectangles overlap, the one inserted first wins. A rectangle
// reaching outside the area is filed under the border cells it reaches.
#pragma once

#include "platform/afx/Rect.h"

class CBucketGrid {
public:
    CBucketGrid() = default;
    CBucketGrid(const CBucketGrid&) = delete;
    CBucketGrid& operator=(const CBucketGrid&) = delete;
    ~CBucketGrid() { Destroy(); }

    // Builds the empty grid over width x height; identifiers start at
    // `firstId`. Cells are width / columns by height / rows (at least 1 x 1);
    // the table has one more row and column so that the right and bottom
    // edges of the area still have a cell.
    void Create(int columns, int rows, int width, int height, int firstId);

    // Takes ownership of `rect` (made with new), normalises it in place and
    // files it; returns the identifier it received. Ignored (and deleted)
    // when the grid has no table.
    int Insert(CRect* rect);

    // True when (x, y) lies in a filed rectangle, edges inclusive; that entry
    // becomes the found one. A point outside the area is refused at once and
    // leaves the found entry as it was; a point in no rectangle forgets it.
    bool FindAt(int x, int y);
    // The rectangle and identifier of the last successful FindAt; null and
    // -1 when there is none. The rectangle lives until Clear or Destroy.
    const CRect* GetFoundRect() const { return m_pFound ? m_pFound->rect : nullptr; }
    int GetFoundId() const { return m_pFound ? m_pFound->id : -1; }

    // The rectangle inserted with `id`, or null.
    const CRect* FindById(int id) const;

    // Deletes every entry and rectangle; the grid stays usable and the next
    // identifier goes on counting.
    void Clear();
    // Clear, then frees the cell table.
    void Destroy();

    int GetCellWidth() const { return m_nCellWidth; }
    int GetCellHeight() const { return m_nCellHeight; }
    // Number of rectangles filed under table cell (column, row); for tests.
    int CountInCell(int column, int row) const;

private:
    struct Entry {
        CRect* rect;
        Entry* next;
        BYTE shared;  // 0: this entry owns the rectangle
        int id;
    };
    struct Chain {
        Entry* head = nullptr;
        Entry* tail = nullptr;
        void Append(Entry* e);
    };

    int ColumnOf(int x) const;
    int RowOf(int y) const;
    Chain* CellAt(int column, int row) { return &m_cells[size_t(row) * size_t(m_nColumns + 1) + size_t(column)]; }
    const Chain* CellAt(int column, int row) const {
        return &m_cells[size_t(row) * size_t(m_nColumns + 1) + size_t(column)];
    }

    Chain* m_cells = nullptr;  // (rows + 1) x (columns + 1)
    Chain m_all;
    Entry* m_pFound = nullptr;
    int m_nWidth = 0, m_nHeight = 0;
    int m_nColumns = 0, m_nRows = 0;
    int m_nCellWidth = 1, m_nCellHeight = 1;
    int m_nNextId = 0;
};
