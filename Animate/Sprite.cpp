#include "Animate/Sprite.h"

IMPLEMENT_SERIAL(CSprite, CDIB, 0)
IMPLEMENT_SERIAL(CSpriteList, CObList, 0)

void AddMergedDirtyRect(std::deque<CRect>& list, const RECT& r) {
    CRect n(r), meet;
    if (!list.empty() && meet.IntersectRect(&list.front(), &n)) {
        list.front() |= n;
        return;
    }
    list.push_front(n);
}

void CViewLink::Notify(CObject*, UINT, const RECT*, const RECT*, bool) {}

BOOL CSprite::LoadResource(UINT resourceId) {
    BOOL ok = CDIB::LoadResource(resourceId);
    if (ok) AfterLoad();
    return ok;
}

BOOL CSprite::Read(CFile* file) {
    BOOL ok = CDIB::Read(file);
    if (ok) AfterLoad();
    return ok;
}

BOOL CSprite::MapToPalette(CPalette& palette) {
    BOOL ok = CDIB::MapToPalette(palette);
    if (ok) AfterLoad();
    return ok;
}

BOOL CSprite::LoadPicture(const char* name, int colourDepth, HPALETTE palette) {
    BOOL ok = CDIB::LoadPicture(colourDepth, name, palette);
    if (ok) AfterLoad();
    return ok;
}

void CSprite::AfterLoad() {
    m_bFlag = 0;
    PixelsChanged();
    const BYTE* p = GetPixelAddress(0, 0);
    if (p == nullptr) return;
    m_nTransparentIndex = p[0];
    m_transparentColour = GetBitCount() == 24 ? (p[0] | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16)) : p[0];
}

CRect CSprite::GetBounds() const { return CRect(m_x, m_y, m_x + GetWidth(), m_y + GetHeight()); }

void CSprite::Serialize(CArchive& ar) {
    CDIB::Serialize(ar);
    if (ar.IsStoring()) {
        ar << DWORD(m_x) << DWORD(m_y) << DWORD(m_nDepth);
    } else {
        DWORD x, y, d;
        ar >> x >> y >> d;
        m_x = (int)x, m_y = (int)y, m_nDepth = (int)d;
        AfterLoad();
    }
}

int32_t CSprite::CopyKey() const {
    if (!m_bTransparent) return DIB_NO_KEY;
    if (GetBitCount() == 8) return DIB_INDEX_KEY | m_nTransparentIndex;
    if (GetBitCount() == 24) return (int32_t)m_transparentColour;
    return DIB_NO_KEY;
}

void CSprite::DrawArea(CDIB* target, const CRect& area, int sx, int sy, double factor) {
    if (m_pAlpha)
        CopyBlended(m_pAlpha, target, area.left, area.top, area.Width(), area.Height(), sx, sy, factor);
    else
        Copy(target, area.left, area.top, area.Width(), area.Height(), sx, sy, CopyKey());
}

void CSprite::Draw(CDIB* target, const RECT* clip, double factor) {
    if (m_bHidden || target == nullptr) return;
    CRect r = GetBounds();
    if (clip && !r.IntersectRect(&r, clip)) return;
    if (r.IsRectEmpty()) return;
    DrawArea(target, r, r.left - m_x, r.top - m_y, factor);
}

void CSprite::Move(int x, int y, BOOL redraw) {
    if (!redraw) {
        m_x = x, m_y = y;
        return;
    }
    CRect before = GetBounds();
    m_x = x, m_y = y;
    CRect after = GetBounds();
    if (m_pLink) m_pLink->Notify(this, CViewLink::kMoved, &before, &after);
}

void CSprite::SetDepth(int depth) {
    if (depth == m_nDepth) return;
    m_nDepth = depth;
    CRect r = GetBounds();
    if (m_pLink) m_pLink->Notify(this, CViewLink::kDepth, &r, nullptr);
}

BOOL CSprite::SelectPhase(int& current, int value, int count) {
    if (value < 0 || value >= count || value == current) return FALSE;
    current = value;
    CRect b = GetBounds();
    if (m_pLink) m_pLink->Notify(this, CViewLink::kPicture, &b, nullptr);
    return TRUE;
}

BOOL CSprite::HitTest(int x, int y) {
    CRect r = GetBounds();
    if (!(x > r.left && x < r.right && y > r.top && y < r.bottom)) return FALSE;
    const BYTE* p = GetPixelAddress(x - m_x, y - m_y);
    if (p == nullptr) return FALSE;
    if (GetBitCount() == 8) return p[0] != m_nTransparentIndex || !m_bTransparent;
    if (!m_bTransparent) return TRUE;
    return (p[0] | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16)) != m_transparentColour;
}

// --- list ----------------------------------------------------------------------

BOOL CSpriteList::InsertByDepth(CSprite* sprite) {
    sprite->SetOwnerLink(&m_link);
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION at = pos;
        if (static_cast<CSprite*>(GetNext(pos))->GetDepth() >= sprite->GetDepth()) {
            InsertBefore(at, sprite);
            return TRUE;
        }
    }
    AddTail(sprite);
    return TRUE;
}

CSprite* CSpriteList::Remove(CSprite* sprite, BOOL deleteIt) {
    POSITION pos = CObList::Find(sprite);
    if (pos == nullptr) return nullptr;
    RemoveAt(pos);
    if (deleteIt) {
        delete sprite;
        return nullptr;
    }
    return sprite;
}

CSprite* CSpriteList::RemoveById(int id, BOOL deleteIt) {
    CSprite* s = Find(id);
    return s ? Remove(s, deleteIt) : nullptr;
}

CSprite* CSpriteList::Find(int id) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CSprite* s = static_cast<CSprite*>(GetNext(pos));
        if (s->GetId() == id) return s;
    }
    return nullptr;
}

int CSpriteList::GetMaxId() const {
    int best = 0;
    for (POSITION pos = GetHeadPosition(); pos;) best = std::max(best, static_cast<CSprite*>(GetNext(pos))->GetId());
    return best;
}

void CSpriteList::DeleteAll() {
    while (!IsEmpty()) delete RemoveHead();
}

void CSpriteList::Serialize(CArchive& ar) {
    int before = GetCount();
    CObList::Serialize(ar);
    if (!ar.IsLoading()) return;
    // An archive may name any class: only sprites may stay in the list.
    bool allSprites = true;
    for (POSITION pos = FindIndex(before); pos;) allSprites &= DYNAMIC_DOWNCAST(CSprite, GetNext(pos)) != nullptr;
    if (!allSprites) {
        while (GetCount() > before) delete RemoveTail();
        throw CArchiveException(CArchiveException::badClass);
    }
    for (POSITION pos = GetHeadPosition(); pos;) static_cast<CSprite*>(GetNext(pos))->SetOwnerLink(&m_link);
}
