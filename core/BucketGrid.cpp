#include "core/BucketGrid.h"

#include <algorithm>

void CBucketGrid::Chain::Append(Entry* e) {
    if (tail) tail->next = e; else head = e;
    tail = e;
}

void CBucketGrid::Create(int columns, int rows, int width, int height, int firstId) {
    Destroy();
    m_nColumns = std::max(columns, 1);
    m_nRows = std::max(rows, 1);
    m_nWidth = std::max(width, 0);
    m_nHeight = std::max(height, 0);
    m_nCellWidth = std::max(m_nWidth / m_nColumns, 1);
    m_nCellHeight = std::max(m_nHeight / m_nRows, 1);
    m_nNextId = firstId;
    m_cells = new Chain[size_t(m_nRows + 1) * size_t(m_nColumns + 1)];
    m_all = Chain();
    m_pFound = nullptr;
}

// Cell arithmetic is clamped into the table: with a width that does not
// divide evenly (10 in 4 columns gives cells of 2) the right edge would
// otherwise land beyond the last column.
int CBucketGrid::ColumnOf(int x) const { return std::clamp(x / m_nCellWidth, 0, m_nColumns); }
int CBucketGrid::RowOf(int y) const { return std::clamp(y / m_nCellHeight, 0, m_nRows); }

int CBucketGrid::Insert(CRect* rect) {
    if (!rect) return -1;
    if (!m_cells) {
        delete rect;
        return -1;
    }
    rect->NormalizeRect();
    int id = m_nNextId;
    bool first = true;
    for (int row = RowOf(rect->top); row <= RowOf(rect->bottom); ++row)
        for (int column = ColumnOf(rect->left); column <= ColumnOf(rect->right); ++column) {
            CellAt(column, row)->Append(new Entry{rect, nullptr, BYTE(first ? 0 : 1), id});
            first = false;
        }
    m_all.Append(new Entry{rect, nullptr, 1, id});
    ++m_nNextId;
    return id;
}

bool CBucketGrid::FindAt(int x, int y) {
    if (!m_cells || y < 0 || y > m_nHeight || x < 0 || x > m_nWidth) return false;
    m_pFound = nullptr;
    for (Entry* e = CellAt(ColumnOf(x), RowOf(y))->head; e; e = e->next) {
        const CRect& r = *e->rect;
        if (r.left <= x && x <= r.right && r.top <= y && y <= r.bottom) {
            m_pFound = e;
            return true;
        }
    }
    return false;
}

const CRect* CBucketGrid::FindById(int id) const {
    for (Entry* e = m_all.head; e; e = e->next)
        if (e->id == id) return e->rect;
    return nullptr;
}

int CBucketGrid::CountInCell(int column, int row) const {
    if (!m_cells || column < 0 || column > m_nColumns || row < 0 || row > m_nRows) return 0;
    int n = 0;
    for (Entry* e = CellAt(column, row)->head; e; e = e->next) ++n;
    return n;
}

void CBucketGrid::Clear() {
    if (m_cells) {
        size_t count = size_t(m_nRows + 1) * size_t(m_nColumns + 1);
        for (size_t i = 0; i < count; ++i) {
            Entry* e = m_cells[i].head;
            while (e) {
                Entry* next = e->next;
                if (e->shared == 0) delete e->rect;
                delete e;
                e = next;
            }
            m_cells[i] = Chain();
        }
    }
    for (Entry* e = m_all.head; e;) {
        Entry* next = e->next;
        delete e;
        e = next;
    }
    m_all = Chain();
    m_pFound = nullptr;
}

void CBucketGrid::Destroy() {
    Clear();
    delete[] m_cells;
    m_cells = nullptr;
}
