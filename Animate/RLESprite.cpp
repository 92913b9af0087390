#include "Animate/RLESprite.h"

#include <cstring>

IMPLEMENT_SERIAL(RLESprite, CSprite, 0)

RLESprite::RLESprite() {
    m_bFlag = 1;
    m_nDepth = 0;
}

RLESprite::~RLESprite() = default;

void RLESprite::Reset() {
    m_frames.clear();
    m_nRows = m_nColumns = 1;
    m_nRow = m_nColumn = 0;
    m_nCellHeight = m_nCellWidth = 1;
}

void RLESprite::Move(int x, int y, BOOL) {
    m_x = x;
    m_y = y;
}

BOOL RLESprite::SetRowCount(int n) {
    if (HasFrames() || n < 1 || m_nCellHeight * m_nRows / n < 1) return FALSE;
    m_nCellHeight = m_nCellHeight * m_nRows / n;
    m_nRows = n;
    m_nRow = 0;
    return TRUE;
}

BOOL RLESprite::SetColumnCount(int n) {
    if (HasFrames() || n < 1 || m_nCellWidth * m_nColumns / n < 1) return FALSE;
    m_nCellWidth = m_nCellWidth * m_nColumns / n;
    m_nColumns = n;
    m_nColumn = 0;
    return TRUE;
}

BOOL RLESprite::SetRow(int r) { return SelectPhase(m_nRow, r, m_nRows); }

BOOL RLESprite::SetColumn(int c) { return SelectPhase(m_nColumn, c, m_nColumns); }

void RLESprite::Encode(const CDIB& source, int rows, int columns) {
    Reset();
    Free();
    if (source.GetBitCount() != 8 || source.IsEmpty() || rows < 1 || columns < 1) return;
    int cw = source.PictureWidth() / columns, ch = source.PictureHeight() / rows;
    if (cw < 1 || ch < 1) return;
    m_nRows = rows;
    m_nColumns = columns;
    m_nCellWidth = cw;
    m_nCellHeight = ch;
    m_nTransparentIndex = *source.GetPixelAddress(0, 0);
    // The worst row alternates one opaque and one transparent pixel: three
    // bytes per two pixels, and four for a width of one or three (a lone
    // transparent pixel still costs two). Two bytes a pixel always suffice.
    std::vector<BYTE> scratch(2 * (size_t)cw);
    m_frames.resize((size_t)rows * columns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) EncodeFrame(source, c * cw, r * ch, m_frames[(size_t)columns * r + c], scratch);
    Attach(source.GetBitmapInfo(), nullptr, TRUE);
}

// Encodes one row into `out`; returns its length, and whether it had an
// opaque pixel through `opaque`.
static size_t EncodeRow(const BYTE* px, int width, BYTE key, BYTE* out, bool& opaque) {
    size_t n = 0;
    opaque = false;
    for (int i = 0; i < width;) {
        if (px[i] == key) {
            int run = 1;
            while (i + run < width && px[i + run] == key && run < 255) ++run;
            out[n++] = key;
            out[n++] = BYTE(run);
            i += run;
        } else {
            out[n++] = px[i++];
            opaque = true;
        }
    }
    return n;
}

void RLESprite::EncodeFrame(const CDIB& source, int left, int top, Frame& frame, std::vector<BYTE>& scratch) const {
    frame.rows.assign(m_nCellHeight, nullptr);
    std::vector<size_t> length(m_nCellHeight, 0);
    size_t total = 0;
    for (int r = 0; r < m_nCellHeight; ++r) {
        bool opaque;
        size_t n = EncodeRow(source.GetPixelAddress(left, top + r), m_nCellWidth, m_nTransparentIndex, scratch.data(), opaque);
        if (opaque) length[r] = n, total += n;
    }
    if (total == 0) return;
    frame.block.resize(total);
    size_t at = 0;
    for (int r = 0; r < m_nCellHeight; ++r) {
        if (length[r] == 0) continue;
        bool opaque;
        EncodeRow(source.GetPixelAddress(left, top + r), m_nCellWidth, m_nTransparentIndex, frame.block.data() + at, opaque);
        frame.rows[r] = frame.block.data() + at;
        at += length[r];
    }
}

const RLESprite::Frame* RLESprite::CurrentFrame() const {
    if (!HasFrames()) return nullptr;
    return &m_frames[(size_t)m_nColumns * m_nRow + m_nColumn];
}

const BYTE* RLESprite::GetFrameRow(int column, int row, int r) const {
    if (!HasFrames() || column < 0 || column >= m_nColumns || row < 0 || row >= m_nRows || r < 0 || r >= m_nCellHeight)
        return nullptr;
    return m_frames[(size_t)m_nColumns * row + column].rows[r];
}

void RLESprite::Draw(CDIB* target, const RECT* clip, double factor) {
    const Frame* frame = CurrentFrame();
    if (factor == 0.0 || frame == nullptr || target == nullptr || m_bHidden) return;
    target->PixelsChanged();
    int tb = target->GetBitCount();
    if (tb != 8 && tb != 24) return;
    CRect r = GetBounds();
    if (clip && !r.IntersectRect(&r, clip)) return;
    CRect t = target->GetBounds();
    if (!r.IntersectRect(&r, &t)) return;
    r.OffsetRect(-m_x, -m_y);  // now in cell coordinates
    const BYTE key = m_nTransparentIndex;
    const RGBQUAD* pal = m_pBMI->bmiColors;
    // Target rows are stored bottom-up: each row down is one stride back.
    BYTE* const firstRow = target->GetPixelAddress(0, m_y + r.top);
    const ptrdiff_t stride = (ptrdiff_t)target->GetStride();
    for (int row = r.top; row < r.bottom; ++row) {
        const BYTE* tok = frame->rows[row];
        if (tok == nullptr) continue;
        BYTE* rowStart = firstRow - (row - r.top) * stride;
        int col = 0;
        while (col < r.right) {
            BYTE v = *tok++;
            if (v == key) {
                col += *tok++;
                continue;
            }
            if (col >= r.left) {
                int tx = m_x + col;
                if (tb == 8) {
                    rowStart[tx] = v;
                } else {
                    BYTE* p = rowStart + 3 * (size_t)tx;
                    if (factor == 1.0) {
                        p[0] = pal[v].rgbBlue, p[1] = pal[v].rgbGreen, p[2] = pal[v].rgbRed;
                    } else {
                        p[0] = BYTE((int64_t)(pal[v].rgbBlue * factor));
                        p[1] = BYTE((int64_t)(pal[v].rgbGreen * factor));
                        p[2] = BYTE((int64_t)(pal[v].rgbRed * factor));
                    }
                }
            }
            ++col;
        }
    }
}

BOOL RLESprite::HitTestPhase(int px, int py, int column, int row) {
    if (row == -1) row = m_nRow;
    if (column == -1) column = m_nColumn;
    if (px < m_x || px >= m_x + m_nCellWidth || py < m_y || py >= m_y + m_nCellHeight) return FALSE;
    const BYTE* tok = GetFrameRow(column, row, py - m_y);
    if (tok == nullptr) return FALSE;
    int want = px - m_x, col = 0;
    while (col < m_nCellWidth) {
        BYTE v = *tok++;
        if (v == m_nTransparentIndex) {
            int run = *tok++;
            if (want < col + run) return FALSE;
            col += run;
        } else {
            if (col == want) return TRUE;
            ++col;
        }
    }
    return FALSE;
}

void RLESprite::Serialize(CArchive& ar) {
    SerializeSheet(ar, m_nRows, m_nColumns, m_nRow, m_nColumn, [this](int rows, int columns, int row, int column) {
        SetRowCount(rows);
        SetColumnCount(columns);
        SetRow(row);
        SetColumn(column);
    });
}
