#include "Animate/PhasedSprite.h"

IMPLEMENT_SERIAL(CPhasedSprite, CSprite, 0)

void CPhasedSprite::AfterLoad() {
    m_nRows = m_nColumns = 1;
    m_nRow = m_nColumn = 0;
    m_nCellHeight = CDIB::GetHeight();
    m_nCellWidth = CDIB::GetWidth();
    CSprite::AfterLoad();
}

BOOL CPhasedSprite::SetRowCount(int n) {
    if (n < 1 || CDIB::GetHeight() / n < 1) return FALSE;
    m_nRows = n;
    m_nCellHeight = CDIB::GetHeight() / n;
    m_nRow = 0;
    return TRUE;
}

BOOL CPhasedSprite::SetColumnCount(int n) {
    if (n < 1 || CDIB::GetWidth() / n < 1) return FALSE;
    m_nColumns = n;
    m_nCellWidth = CDIB::GetWidth() / n;
    m_nColumn = 0;
    return TRUE;
}

BOOL CPhasedSprite::SetRow(int r) { return SelectPhase(m_nRow, r, m_nRows); }

BOOL CPhasedSprite::SetColumn(int c) { return SelectPhase(m_nColumn, c, m_nColumns); }

bool CPhasedSprite::CellArea(const RECT* clip, CRect& area, int& sx, int& sy) const {
    area = GetBounds();
    if (clip && !area.IntersectRect(&area, clip)) return false;
    if (area.IsRectEmpty()) return false;
    sx = m_nColumn * m_nCellWidth + area.left - m_x;
    sy = m_nRow * m_nCellHeight + area.top - m_y;
    return true;
}

void CPhasedSprite::Draw(CDIB* target, const RECT* clip, double factor) {
    CRect area;
    int sx, sy;
    if (m_bHidden || target == nullptr || !CellArea(clip, area, sx, sy)) return;
    int bits = GetBitCount();
    if (bits != 8 && bits != 24) return;
    DrawArea(target, area, sx, sy, bits == 8 ? 1.0 : factor);
}

void CPhasedSprite::DrawPhaseClipped(CDIB* target, const RECT* clip, double factor) {
    CRect area;
    int sx, sy;
    if (m_bHidden || target == nullptr || !CellArea(clip, area, sx, sy)) return;
    CopyShaded(target, area.left, area.top, area.Width(), area.Height(), sx, sy, factor, CopyKey());
}

BOOL CPhasedSprite::HitTestPhase(int x, int y, int column, int row) {
    CRect r = GetBounds();
    if (!(x > r.left && x < r.right && y > r.top && y < r.bottom)) return FALSE;
    int px = x - m_x + (column < 0 ? 0 : column * m_nCellWidth);
    int py = y - m_y + (row < 0 ? 0 : row * m_nCellHeight);
    const BYTE* p = GetPixelAddress(px, py);
    if (p == nullptr) return FALSE;
    if (GetBitCount() == 8) return p[0] != GetTransparentIndex();
    return !m_bTransparent || (p[0] | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16)) != m_transparentColour;
}

void CPhasedSprite::Serialize(CArchive& ar) {
    SerializeSheet(ar, m_nRows, m_nColumns, m_nRow, m_nColumn, [this](int rows, int columns, int row, int column) {
        SetRowCount(rows);
        SetColumnCount(columns);
        SetRow(row);
        SetColumn(column);
    });
}
