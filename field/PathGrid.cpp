#include "field/PathGrid.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "field/FileBytes.h"
#include "field/RouteDatabase.h"

static uint64_t NextRevision() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

CPathGrid::CPathGrid(int cellWidth, int cellHeight, const char* databaseName, int penalty)
    : m_penalty(penalty), m_cellWidth(std::max(1, cellWidth)), m_cellHeight(std::max(1, cellHeight)) {
    m_columns = std::max(1, 3000 / m_cellWidth);
    m_rows = std::max(1, 2000 / m_cellHeight);
    m_cells.assign(size_t(m_columns) * size_t(m_rows), 0);
    m_moves.assign(m_cells.size(), 0);
    m_revision = NextRevision();
    if (databaseName && *databaseName)
        m_database = std::make_unique<CRouteDatabase>(databaseName, m_columns, m_rows);
}

CPathGrid::~CPathGrid() = default;

void CPathGrid::SetCode(int c, int r, BYTE code) {
    size_t i = Index(c, r);
    m_cells[i] = code;
    int cc = int(i / size_t(m_rows)), rr = int(i % size_t(m_rows));
    UpdateMoves(cc, rr, cc, rr);
}

void CPathGrid::UpdateMoves(int c0, int r0, int c1, int r1) {
    m_revision = NextRevision();
    c0 = std::max(c0 - 1, 0), r0 = std::max(r0 - 1, 0);
    c1 = std::min(c1 + 1, m_columns - 1), r1 = std::min(r1 + 1, m_rows - 1);
    for (int c = c0; c <= c1; ++c) {
        for (int r = r0; r <= r1; ++r) {
            bool open[8];
            for (int k = 0; k < 8; ++k) {
                int nc = c + kStepColumn[k], nr = r + kStepRow[k];
                open[k] = nc >= 0 && nr >= 0 && nc < m_columns && nr < m_rows && IsPassableCell(nc, nr);
            }
            BYTE moves = 0;
            for (int k = 0; k < 8; ++k)
                if (open[k] && (!(k & 1) || open[k - 1] || open[(k + 1) & 7])) moves |= BYTE(1 << k);
            m_moves[size_t(c) * size_t(m_rows) + size_t(r)] = moves;
        }
    }
}

BOOL CPathGrid::IsPassableAt(int x, int y) const {
    CPoint c = WorldToCell(x, y);
    return IsPassableCell(c.x, c.y);
}

BOOL CPathGrid::IsPassableCellEx(int c, int r, BOOL strict) const {
    BYTE code = GetCode(c, r);
    return strict ? code == 2 : (code == 2 || code == 3);
}

void CPathGrid::FillRect(int left, int top, int right, int bottom, BYTE code, BOOL raiseOnly) {
    int c0 = left / m_cellWidth;
    if (c0 < 1) c0 = 0;
    int c1 = std::min(right / m_cellWidth, m_columns - 1);
    int r0 = top / m_cellHeight;
    if (r0 < 1) r0 = 0;
    int r1 = std::min(bottom / m_cellHeight, m_rows - 1);
    if (c0 == 0 && c1 == 0 && r0 == 0 && r1 == 0) return;
    if (c0 > c1 || r0 > r1) return;
    for (int c = c0; c <= c1; ++c) {
        for (int r = r0; r <= r1; ++r) {
            BYTE& cell = m_cells[Index(c, r)];
            if (raiseOnly && cell >= code) continue;
            cell = code;
        }
    }
    UpdateMoves(c0, r0, c1, r1);
}

BOOL CPathGrid::SaveToFile(const char* fileName) const {
    std::string text;
    text.reserve(size_t(m_rows) * size_t(m_columns + 1));
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < m_columns; ++c) {
            switch (GetCode(c, r)) {
            case 0: case 1: case 4: text += '!'; break;
            case 2: text += '0'; break;
            case 3: text += 'o'; break;
            case 5: text += '*'; break;
            default: text += '?'; break;
            }
        }
        text += '\n';
    }
    return WriteFileBytes(fileName, text.data(), text.size());
}

BOOL CPathGrid::IsLineBlocked(int a, int b, int c, int d, BOOL world) const {
    if (world) {
        a /= m_cellWidth, b /= m_cellHeight;
        c /= m_cellWidth, d /= m_cellHeight;
    }
    if (a == c && b == d) return FALSE;
    // Walk the longer axis (ties walk the rows) from its smaller end; the
    // other coordinate is the start's plus step x delta / span, truncated
    // toward zero. The quotient and remainder are carried from step to step
    // instead of dividing at every cell: |delta| <= span, so the remainder
    // passes the span at most once a step.
    const bool columnsWalked = std::abs(c - a) > std::abs(d - b);
    int from, to, other, delta;
    if (columnsWalked) {
        from = std::min(a, c), to = std::max(a, c);
        other = a < c ? b : d;
        delta = a < c ? d - b : b - d;
    } else {
        from = std::min(b, d), to = std::max(b, d);
        other = b < d ? a : c;
        delta = b < d ? c - a : a - c;
    }
    const int span = to - from, step = std::abs(delta), sign = delta < 0 ? -1 : 1;
    if (a >= 0 && a < m_columns && c >= 0 && c < m_columns && b >= 0 && b < m_rows && d >= 0 && d < m_rows) {
        // Both ends lie inside the grid, and so does every cell between:
        // walk the cell numbers themselves.
        const ptrdiff_t along = columnsWalked ? m_rows : 1, aside = columnsWalked ? sign : sign * m_rows;
        const BYTE* cell = m_cells.data() + (columnsWalked ? size_t(from) * size_t(m_rows) + size_t(other)
                                                          : size_t(other) * size_t(m_rows) + size_t(from));
        for (int k = from, remainder = 0;; cell += along) {
            if (BYTE(*cell - 2) > 1) return TRUE;  // codes 2 and 3 are passable
            if (++k > to) return FALSE;
            remainder += step;
            if (remainder >= span) remainder -= span, cell += aside;
        }
    }
    int quotient = 0, remainder = 0;
    for (int k = from; k <= to; ++k) {
        const int o = other + sign * quotient;
        if (!(columnsWalked ? IsPassableCell(k, o) : IsPassableCell(o, k))) return TRUE;
        remainder += step;
        if (remainder >= span) remainder -= span, ++quotient;
    }
    return FALSE;
}

CPoint CPathGrid::FindPassableInRect(int left, int top, int right, int bottom, int x, int y, BOOL world) const {
    if (world) {
        left /= m_cellWidth, right /= m_cellWidth, x /= m_cellWidth;
        top /= m_cellHeight, bottom /= m_cellHeight, y /= m_cellHeight;
    }
    auto clampC = [&](int c) { return std::clamp(c, 0, m_columns - 1); };
    auto clampR = [&](int r) { return std::clamp(r, 0, m_rows - 1); };
    if (IsPassableCell(x, y)) {
        if (world) return CellToWorld(clampC(x), clampR(y));
        return CPoint(x, y);
    }
    if (right < left || bottom < top) return CPoint(-1000, -1000);
    int c = x, r = y;
    // The scan is bounded by the rectangle's cell count even when the point
    // lies outside it (the callers promise it does not).
    long long limit = (long long)(right - left + 1) * (bottom - top + 1) + 1;
    for (long long i = 0; i < limit; ++i) {
        ++r;
        if (r > bottom) {
            r = top;
            ++c;
            if (c > right) c = left;
        }
        if (c == x && r == y) break;
        if (IsPassableCell(c, r)) {
            if (world) return CellToWorld(clampC(c), clampR(r));
            return CPoint(c, r);
        }
    }
    return CPoint(-1000, -1000);
}

CByteMap::CByteMap(int n) : m_count(BYTE(n)), m_cells(size_t(BYTE(n)) * 2, 0) {}

void CByteMap::SetCell(int i, int a, int b) {
    size_t k = size_t(BYTE(i));
    if (k >= m_count) return;
    m_cells[k * 2] = BYTE(a);
    m_cells[k * 2 + 1] = BYTE(b);
}

void CByteMap::GetCell(int i, int& a, int& b) const {
    size_t k = size_t(BYTE(i));
    if (k >= m_count) {
        a = b = 0;
        return;
    }
    a = m_cells[k * 2];
    b = m_cells[k * 2 + 1];
}
