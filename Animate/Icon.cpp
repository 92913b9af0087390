#include "Animate/Icon.h"

#include "Animate/RLESprite.h"

#include <climits>
#include <cstdint>

IMPLEMENT_SERIAL(CIcon, CObject, 0)
IMPLEMENT_SERIAL(CIconList, CObList, 0)

namespace {

constexpr DWORD kIconLayout = 1;

// Selects a cell on a sheet of either kind; plain sprites have one cell.
void SetSpritePhase(CSprite* sprite, int column, int row) {
    if (auto* p = DYNAMIC_DOWNCAST(CPhasedSprite, sprite)) {
        p->SetRow(row);
        p->SetColumn(column);
    } else if (auto* r = DYNAMIC_DOWNCAST(RLESprite, sprite)) {
        r->SetRow(row);
        r->SetColumn(column);
    }
}

}  // namespace

CIcon::CIcon(CSprite* sprite, const RECT& frame, UINT state, int width, int height)
    : m_pSprite(sprite), m_nState(state), m_rcFrame(frame), m_nWidth(width), m_nHeight(height) {
    m_frameOffset = CPoint(-frame.left, -frame.top);
}

CRect CIcon::GetBoundingRect() const {
    if (m_rcHit.IsRectNull()) return GetRect();
    CRect r = m_rcHit;
    r.OffsetRect(m_x, m_y);
    return r;
}

CPoint CIcon::GetCenter() const {
    CPoint c = m_rcFrame.CenterPoint();
    return CPoint(c.x + m_x, c.y + m_y);
}

void CIcon::Moved(const CRect& before, BOOL redraw) {
    if (!redraw || m_pLink == nullptr) return;
    CRect after = GetRect();
    m_pLink->Notify(this, CViewLink::kMoved, &before, &after, true);
}

void CIcon::SetPosition(int x, int y, BOOL redraw) {
    CRect before = GetRect();
    m_previous = CPoint(m_x, m_y);
    m_x = x, m_y = y;
    Moved(before, redraw);
}

void CIcon::SetCenter(int x, int y, BOOL redraw) { SetPosition(x - m_nWidth / 2, y - m_nHeight / 2, redraw); }

void CIcon::SetBottomCenter(int x, int y, BOOL redraw) { SetPosition(x - m_nWidth / 2, y - m_nHeight, redraw); }

void CIcon::Refresh(BOOL redraw) {
    m_previous = CPoint(m_x, m_y);
    Moved(GetRect(), redraw);
}

void CIcon::SetDepth(int depth, BOOL redraw) {
    if (depth == m_nDepth) return;
    m_nDepth = depth;
    CRect r = GetRect();
    if (m_pLink) m_pLink->Notify(this, CViewLink::kDepth, &r, nullptr, redraw != FALSE);
}

BOOL CIcon::HitTest(int x, int y, BOOL rectOnly, int ml, int mt, int mr, int mb) {
    CRect r = GetRect();
    if (rectOnly) {
        if (ml || mt || mr || mb) r = CRect(r.left - ml, r.top - mt, r.right + mr, r.bottom + mb);
        return r.PtInRect(CPoint(x, y));
    }
    if (!(x > r.left && x < r.right && y > r.top && y < r.bottom) || m_pSprite == nullptr) return FALSE;
    if (!m_bStatic) {
        m_pSprite->Move(m_x, m_y, FALSE);
        if (auto* p = DYNAMIC_DOWNCAST(CPhasedSprite, m_pSprite)) return p->HitTestPhase(x, y, m_nPhaseColumn, m_nPhaseRow);
        if (auto* rle = DYNAMIC_DOWNCAST(RLESprite, m_pSprite)) return rle->HitTestPhase(x, y, m_nPhaseColumn, m_nPhaseRow);
        return m_pSprite->HitTest(x, y);
    }
    int px = x - m_x + (m_nPhaseColumn != -1 ? m_nPhaseColumn * m_nWidth : 0);
    int py = y - m_y + (m_nPhaseRow != -1 ? m_nPhaseRow * m_nHeight : 0);
    const BYTE* p = m_pSprite->GetPixelAddress(px, py);
    if (p == nullptr) return FALSE;
    if (m_pSprite->GetBitCount() == 8) return p[0] != m_pSprite->GetTransparentIndex();
    DWORD packed = p[0] | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16);
    return !(m_pSprite->IsTransparent() && packed == m_pSprite->GetTransparentColor());
}

const CRect* CIcon::Draw(CDIB* target, const RECT& clip) {
    static CRect drawn;
    if (!m_bStatic || !m_bEnabled || m_pSprite == nullptr || target == nullptr) return nullptr;
    CRect r = GetBoundingRect();
    if (!CRect(clip).IsRectNull() && !r.IntersectRect(&r, &clip)) return nullptr;
    CRect t = target->GetRect();
    if (!r.IntersectRect(&r, &t)) return nullptr;
    m_pSprite->Move(m_x, m_y, FALSE);
    m_pSprite->Draw(target, &r, 1.0);
    drawn = r;
    return &drawn;
}

void CIcon::SelectPhase() {
    if (m_bStatic || m_pSprite == nullptr) return;
    if (m_nPhaseRow == -1 && m_pStep)
        SetSpritePhase(m_pSprite, m_pStep->column, m_pStep->row);
    else
        SetSpritePhase(m_pSprite, m_nPhaseColumn, m_nPhaseRow);
}

void CIcon::SetSequenceTable(const CAnimStep* const table[kAnimSequences], const CAnimStep* initial) {
    for (int i = 0; i < kAnimSequences; ++i) m_sequences[i] = table[i];
    m_pSequence = m_pStep = initial;
}

void CIcon::StartSequence(int kind, int facing) {
    if (kind < 0 || kind >= kAnimKinds || facing < 0 || facing >= kAnimFacings) return;
    const CAnimStep* s = m_sequences[kind * kAnimFacings + facing];
    if (s == nullptr || s->IsEnd()) return;
    m_pSequence = m_pStep = s;
}

void CIcon::StepSequence() {
    if (m_pStep == nullptr) return;
    ++m_pStep;
    if (m_pStep->IsEnd()) m_pStep = m_pSequence;
}

void CIcon::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << kIconLayout << BYTE(m_bStatic ? 1 : 0) << BYTE(m_bEnabled ? 1 : 0) << DWORD(m_nId) << DWORD(m_nHeight)
           << DWORD(m_nSpareWord) << DWORD(m_nSpriteWord) << DWORD(m_nState) << DWORD(m_nAfterKeyWord)
           << DWORD(m_nWidth) << DWORD(m_frameData[0]) << DWORD(m_frameData[1]) << DWORD(m_previous.x)
           << DWORD(m_previous.y) << DWORD(m_rcFrame.left) << DWORD(m_rcFrame.top) << DWORD(m_rcFrame.right)
           << DWORD(m_rcFrame.bottom) << DWORD(m_frameOffset.x) << DWORD(m_frameOffset.y) << m_strName << DWORD(m_x)
           << DWORD(m_y) << DWORD(m_nDepth);
        return;
    }
    DWORD layout;
    ar >> layout;
    // Any other layout would leave the rest of the archive out of step.
    if (layout != kIconLayout) throw CArchiveException(CArchiveException::badSchema);
    BYTE st, en;
    DWORD w[20];
    ar >> st >> en;
    for (int i = 0; i < 17; ++i) ar >> w[i];
    ar >> m_strName >> w[17] >> w[18] >> w[19];
    m_bStatic = st, m_bEnabled = en;
    m_nId = (int)w[0], m_nHeight = (int)w[1], m_nSpareWord = (int)w[2], m_nSpriteWord = (int)w[3];
    m_nState = w[4], m_nAfterKeyWord = (int)w[5], m_nWidth = (int)w[6];
    m_frameData[0] = (int)w[7], m_frameData[1] = (int)w[8];
    m_previous = CPoint((int)w[9], (int)w[10]);
    m_rcFrame = CRect((int)w[11], (int)w[12], (int)w[13], (int)w[14]);
    m_frameOffset = CPoint((int)w[15], (int)w[16]);
    m_x = (int)w[17], m_y = (int)w[18], m_nDepth = (int)w[19];
}

// --- link and list ---------------------------------------------------------------

CIconLink::CIconLink(CIconList* list) : CViewLink(list) {}

void CIconLink::Notify(CObject* object, UINT flags, const RECT* oldRect, const RECT* newRect, bool redraw) {
    CIcon* icon = DYNAMIC_DOWNCAST(CIcon, object);
    if (flags & kDepth) {
        if (icon) static_cast<CIconList*>(m_pList)->Reposition(icon);
    }
    if (!redraw) return;
    for (CDirtyRectSink* sink : {m_pView, m_pDialog}) {
        if (sink == nullptr) continue;
        if (oldRect) sink->AddDirtyRect(*oldRect);
        if ((flags & kMoved) && newRect) sink->AddDirtyRect(*newRect);
    }
}

CIconList::CIconList() : m_link(this) {}

BOOL CIconList::Insert(CIcon* icon) {
    icon->SetOwnerLink(&m_link);
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION at = pos;
        if (static_cast<CIcon*>(GetNext(pos))->GetDepth() >= icon->GetDepth()) {
            InsertBefore(at, icon);
            return TRUE;
        }
    }
    AddTail(icon);
    return TRUE;
}

void CIconList::DrawAll(CDIB* target, BOOL everyIcon, UINT mask, const RECT& clip) {
    if (target == nullptr) return;
    CRect t = target->GetRect();
    bool clipped = !CRect(clip).IsRectNull();
    for (POSITION pos = GetHeadPosition(); pos;) {
        CIcon* icon = static_cast<CIcon*>(GetNext(pos));
        if (!icon->m_bEnabled || !(everyIcon || (icon->m_nState & mask))) continue;
        CRect r = icon->GetBoundingRect();
        if (clipped && !r.IntersectRect(&r, &clip)) continue;
        if (!r.IntersectRect(&r, &t) || icon->m_pSprite == nullptr) continue;
        icon->SelectPhase();
        icon->m_pSprite->Move(icon->m_x, icon->m_y, FALSE);
        icon->m_pSprite->Draw(target, &r, icon->m_dFactor);
    }
}

void CIconBuckets::Build(CIconList* icons, CPoint shift) {
    m_entries.clear();
    m_columns = m_rows = 0;
    if (icons == nullptr) return;
    int left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (POSITION pos = icons->GetHeadPosition(); pos;) {
        CIcon* icon = static_cast<CIcon*>(icons->GetNext(pos));
        if (!icon->m_bEnabled || icon->m_pSprite == nullptr || icon->m_nWidth <= 0 || icon->m_nHeight <= 0) continue;
        Entry e{icon, icon->m_x + shift.x, icon->m_y + shift.y, icon->m_x + shift.x + icon->m_nWidth,
                icon->m_y + shift.y + icon->m_nHeight};
        left = std::min(left, e.left), top = std::min(top, e.top);
        right = std::max(right, e.right), bottom = std::max(bottom, e.bottom);
        m_entries.push_back(e);
    }
    if (m_entries.empty()) return;
    // Tiles of 64 pixels over the icons' extent, at most 128 a side: icons
    // parked far off the screen widen the tiles rather than the table. A
    // tile's side is a power of two, so finding a tile is a shift.
    const long long width = (long long)right - left, height = (long long)bottom - top;
    m_left = left, m_top = top;
    auto side = [](long long extent, int& shift, int& count) {
        shift = 6;
        while ((extent >> shift) >= 128) ++shift;
        count = int((extent >> shift) + 1);
    };
    side(width, m_shiftX, m_columns);
    side(height, m_shiftY, m_rows);
    const size_t tiles = size_t(m_columns) * size_t(m_rows);
    m_start.assign(tiles + 1, 0);
    for (const Entry& e : m_entries) {
        int c0, r0, c1, r1;
        TileRange(CRect(e.left, e.top, e.right, e.bottom), c0, r0, c1, r1);
        for (int c = c0; c <= c1; ++c)
            for (int r = r0; r <= r1; ++r) ++m_start[size_t(c * m_rows + r) + 1];
    }
    for (size_t t = 0; t < tiles; ++t) m_start[t + 1] += m_start[t];
    // Room to spare: icons that walk onto tile edges cover more tiles.
    const size_t items = size_t(m_start[tiles]);
    if (items > m_items.capacity()) m_items.reserve(items + items / 2);
    m_items.resize(items);
    m_fill.assign(m_start.begin(), m_start.end() - 1);
    for (size_t n = 0; n < m_entries.size(); ++n) {
        const Entry& e = m_entries[n];
        int c0, r0, c1, r1;
        TileRange(CRect(e.left, e.top, e.right, e.bottom), c0, r0, c1, r1);
        for (int c = c0; c <= c1; ++c)
            for (int r = r0; r <= r1; ++r) m_items[size_t(m_fill[size_t(c * m_rows + r)]++)] = int(n);
    }
    if (m_seen.size() < m_entries.size()) m_seen.resize(m_entries.size(), 0);
}

bool CIconBuckets::TileRange(const CRect& area, int& c0, int& r0, int& c1, int& r1) const {
    if (m_columns == 0 || area.IsRectEmpty()) return false;
    const long long x0 = (long long)area.left - m_left, y0 = (long long)area.top - m_top;
    const long long x1 = (long long)area.right - 1 - m_left, y1 = (long long)area.bottom - 1 - m_top;
    if (x1 < 0 || y1 < 0 || (x0 >> m_shiftX) >= m_columns || (y0 >> m_shiftY) >= m_rows) return false;
    c0 = int(std::max(0LL, x0) >> m_shiftX), r0 = int(std::max(0LL, y0) >> m_shiftY);
    c1 = int(std::min<long long>(x1 >> m_shiftX, m_columns - 1)), r1 = int(std::min<long long>(y1 >> m_shiftY, m_rows - 1));
    return true;
}

void ComposeArea(CDIB& background, CDIB* target, const RECT* r, CIconList* icons, BOOL notify) {
    CRect area = background.PictureRect();
    if (r) area &= *r;
    ComposeAreas(background, target, std::span<const CRect>(&area, 1), icons, notify);
}

void ComposeAreas(CDIB& background, CDIB* target, std::span<const CRect> areas, CIconList* icons, BOOL notify) {
    if (target == nullptr) return;
    // The screen is composed on one thread: one set of tables serves every
    // frame, keeping the room it has grown to.
    static CIconBuckets buckets;
    const CRect all = background.PictureRect();
    // Most frames of a quiet screen change nothing: no tiles to file then.
    if (std::none_of(areas.begin(), areas.end(), [&](const CRect& a) { return !(a & all).IsRectEmpty(); })) return;
    buckets.Build(icons);
    for (const CRect& wanted : areas) {
        CRect area = wanted & all;
        if (area.IsRectEmpty()) continue;
        background.Copy(target, area.left, area.top, area.Width(), area.Height(), area.left, area.top, DIB_NO_KEY);
        buckets.ForEachMeeting(area, [&](CIcon* icon) {
            icon->SelectPhase();
            icon->m_pSprite->Move(icon->m_x, icon->m_y, notify);
            icon->m_pSprite->Draw(target, &area, 1.0);
        });
    }
}

CIcon* CIconList::Remove(CIcon* icon, BOOL deleteIt) {
    POSITION pos = Find(icon);
    if (pos == nullptr) return nullptr;
    RemoveAt(pos);
    if (deleteIt) {
        delete icon;
        return nullptr;
    }
    return icon;
}

CIcon* CIconList::RemoveById(int id, BOOL deleteIt) {
    CIcon* icon = FindById(id);
    return icon ? Remove(icon, deleteIt) : nullptr;
}

void CIconList::DeleteAll() {
    while (!IsEmpty()) delete RemoveHead();
}

CIcon* CIconList::FindById(int id) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CIcon* icon = static_cast<CIcon*>(GetNext(pos));
        if (icon->m_nId == id) return icon;
    }
    return nullptr;
}

int CIconList::GetLargestId() const {
    int best = 0;
    for (POSITION pos = GetHeadPosition(); pos;) best = std::max(best, static_cast<CIcon*>(GetNext(pos))->m_nId);
    return best;
}

int CIconList::CountByState(UINT mask) const {
    if (mask == 0) return GetCount();
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) n += (static_cast<CIcon*>(GetNext(pos))->m_nState & mask) ? 1 : 0;
    return n;
}

CIcon* CIconList::HitTest(int x, int y, BOOL rectOnly, int ml, int mt, int mr, int mb) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CIcon* icon = static_cast<CIcon*>(GetNext(pos));
        if (icon->HitTest(x, y, rectOnly, ml, mt, mr, mb)) return icon;
    }
    return nullptr;
}

void CIconList::Reposition(CIcon* icon) {
    POSITION pos = Find(icon);
    if (pos == nullptr) return;
    RemoveAt(pos);
    Insert(icon);
}

void CIconList::Resort() {
    CObList all;
    while (!IsEmpty()) all.AddTail(RemoveHead());
    while (!all.IsEmpty()) Insert(static_cast<CIcon*>(all.RemoveHead()));
}

void CIconList::RemoveByKeyRange(double upper, double lower, BOOL deleteIt) {
    for (POSITION pos = GetTailPosition(); pos;) {
        POSITION at = pos;
        CIcon* icon = static_cast<CIcon*>(GetPrev(pos));
        if (lower <= icon->m_dKey && icon->m_dKey <= upper) {
            RemoveAt(at);
            if (deleteIt) delete icon;
        }
    }
}

void CIconList::Serialize(CArchive& ar) {
    if (ar.IsLoading()) DeleteAll();
    CObList::Serialize(ar);
    if (!ar.IsLoading()) return;
    bool allIcons = true;
    for (POSITION pos = GetHeadPosition(); pos;) allIcons &= DYNAMIC_DOWNCAST(CIcon, GetNext(pos)) != nullptr;
    if (!allIcons) {
        DeleteAll();
        throw CArchiveException(CArchiveException::badClass);
    }
    for (POSITION pos = GetHeadPosition(); pos;) static_cast<CIcon*>(GetNext(pos))->SetOwnerLink(&m_link);
}
