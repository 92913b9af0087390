// CPathGrid: the grid of cell codes over the 3000 x 2000 field on which
// paths are searched. Codes 2 and 3 are passable (3 costs the penalty more
// to enter); every other code blocks. The dump shows 0, 1 and 4 as "!", 2 as
// "0", 3 as "o", 5 as "*" and any other code as "?".
//
// Cells are column-major. Every look-up clamps the column and row into the
// grid first, so no coordinate can index outside it. Cell to world gives the
// cell's corner plus 7 whatever the cell size.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/afx/Afx.h"

class CRouteDatabase;

class CPathGrid : public CObject {
public:
    // An empty database name builds the grid without a path database.
    CPathGrid(int cellWidth, int cellHeight, const char* databaseName, int penalty);
    ~CPathGrid() override;

    int GetColumns() const { return m_columns; }
    int GetRows() const { return m_rows; }
    int GetCellWidth() const { return m_cellWidth; }
    int GetCellHeight() const { return m_cellHeight; }
    int GetPenalty() const { return m_penalty; }
    CRouteDatabase* GetDatabase() const { return m_database.get(); }
    // Changes with every change of the codes, and no two grids ever share
    // one: a search's answer on a grid holds while its revision does.
    uint64_t GetRevision() const { return m_revision; }

    BYTE GetCode(int c, int r) const { return m_cells[Index(c, r)]; }
    void SetCode(int c, int r, BYTE code);

    BOOL IsPassableAt(int x, int y) const;
    BOOL IsPassableCell(int c, int r) const {
        BYTE code = GetCode(c, r);
        return code == 2 || code == 3;
    }
    // The code of a cell known to lie inside the grid (no clamping).
    BYTE GetCodeInside(int c, int r) const { return m_cells[size_t(c) * size_t(m_rows) + size_t(r)]; }
    // The codes column by column: cell (c, r) is at c * rows + r.
    const BYTE* GetCodes() const { return m_cells.data(); }
    // The eight steps, direction k = 0 north, then clockwise.
    static constexpr int kStepColumn[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    static constexpr int kStepRow[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    // The steps a walker may take from a cell inside the grid, bit k for
    // direction k: onto a passable cell, and for a
    // diagonal only when one of the two straight cells beside it is
    // passable too, so no step squeezes between two blocks.
    BYTE GetMovesInside(int c, int r) const { return m_moves[size_t(c) * size_t(m_rows) + size_t(r)]; }
    // The same for every cell, numbered as GetCodes.
    const BYTE* GetMoves() const { return m_moves.data(); }
    // With `strict` only code 2 counts.
    BOOL IsPassableCellEx(int c, int r, BOOL strict) const;
    CPoint WorldToCell(int x, int y) const { return CPoint(x / m_cellWidth, y / m_cellHeight); }
    CPoint CellToWorld(int c, int r) const { return CPoint(m_cellWidth * c + 7, m_cellHeight * r + 7); }
    // Cost of entering (c, r) from (fromC, fromR): 2, plus the penalty on
    // code 3, plus 1 for a diagonal step.
    int StepCost(int c, int r, int fromC, int fromR) const { return CostOf(GetCode(c, r), c, r, fromC, fromR); }
    // The same for a cell known to lie inside the grid.
    int StepCostInside(int c, int r, int fromC, int fromR) const {
        return CostOf(GetCodeInside(c, r), c, r, fromC, fromR);
    }

    // Fills the cells under a world rectangle; with `raiseOnly` no cell's
    // code is lowered. A rectangle wholly inside cell (0, 0) fills nothing.
    void FillRect(int left, int top, int right, int bottom, BYTE code, BOOL raiseOnly);
    // Writes the text dump, one line per row; FALSE when the file cannot be
    // written.
    BOOL SaveToFile(const char* fileName) const;
    // TRUE when a cell on the straight line between two cells (world points
    // with `world`) is not passable; FALSE when clear or both ends share a
    // cell.
    BOOL IsLineBlocked(int a, int b, int c, int d, BOOL world) const;
    // The first passable cell scanning the rectangle from the point, which
    // must lie inside it; (-1000, -1000) when none.
    CPoint FindPassableInRect(int left, int top, int right, int bottom, int x, int y, BOOL world) const;

private:
    int CostOf(BYTE code, int c, int r, int fromC, int fromR) const {
        return (code == 2 ? 2 : m_penalty + 2) + (c != fromC && r != fromR ? 1 : 0);
    }
    // Recomputes the steps of the cells of a rectangle of cells and of the
    // cells around it.
    void UpdateMoves(int c0, int r0, int c1, int r1);
    size_t Index(int c, int r) const {
        c = c < 0 ? 0 : (c >= m_columns ? m_columns - 1 : c);
        r = r < 0 ? 0 : (r >= m_rows ? m_rows - 1 : r);
        return size_t(c) * size_t(m_rows) + size_t(r);
    }

    int m_penalty;
    int m_cellWidth;
    int m_cellHeight;
    int m_columns;
    int m_rows;
    std::vector<BYTE> m_cells;
    std::vector<BYTE> m_moves;
    std::unique_ptr<CRouteDatabase> m_database;
    uint64_t m_revision = 0;
};

// A table of n byte pairs (n 1..255); indexes count modulo 256.
class CByteMap {
public:
    explicit CByteMap(int n);
    void SetCell(int i, int a, int b);
    void GetCell(int i, int& a, int& b) const;
    BYTE GetCount() const { return m_count; }

private:
    BYTE m_count;
    std::vector<BYTE> m_cells;
};

struct CRect4 {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    void Set(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
};
