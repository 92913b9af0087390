#include "core/PointList.h"

#include <algorithm>
#include <vector>

void CPointList::AddHead(int x, int y) {
    m_pHead = new Node{m_pHead, x, y};
    if (!m_pTail) m_pTail = m_pHead;
}

void CPointList::AddTail(int x, int y) {
    Node* n = new Node{nullptr, x, y};
    if (m_pTail) m_pTail->next = n; else m_pHead = n;
    m_pTail = n;
}

void CPointList::AppendList(const CPointList& other) {
    // Stop at the other list's current tail, so appending a list to itself
    // doubles it once instead of running forever.
    Node* last = other.m_pTail;
    for (Node* n = other.m_pHead; n; n = n->next) {
        AddTail(n->x, n->y);
        if (n == last) break;
    }
}

CPoint CPointList::PopHead() {
    if (!m_pHead) return CPoint(-1000, -1000);
    Node* n = m_pHead;
    CPoint p(n->x, n->y);
    m_pHead = n->next;
    if (!m_pHead) m_pTail = nullptr;
    delete n;
    return p;
}

int CPointList::GetCount() const {
    int count = 0;
    for (Node* n = m_pHead; n; n = n->next) ++count;
    return count;
}

void CPointList::RemoveAll() {
    while (m_pHead) {
        Node* next = m_pHead->next;
        delete m_pHead;
        m_pHead = next;
    }
    m_pTail = nullptr;
}

void CRectList::AddRect(int left, int top, int right, int bottom) { AddHead(CRect(left, top, right, bottom)); }

CRect CRectList::PopHead() {
    if (IsEmpty()) return CRect(-1000, -1000, -1000, -1000);
    return RemoveHead();
}

bool CRectList::IntersectsAny(int left, int top, int right, int bottom) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CRect r = GetNext(pos);
        if (std::max<int>(r.left, left) <= std::min<int>(r.right, right) &&
            std::max<int>(r.top, top) <= std::min<int>(r.bottom, bottom))
            return true;
    }
    return false;
}

void CRectList::AppendList(const CRectList& other) {
    if (&other == this) {
        std::vector<CRect> copy;
        for (POSITION pos = GetHeadPosition(); pos;) copy.push_back(GetNext(pos));
        for (const CRect& r : copy) AddTail(r);
        return;
    }
    for (POSITION pos = other.GetHeadPosition(); pos;) AddTail(other.GetNext(pos));
}

CRect CRectList::GetBounds() const {
    CRect bounds(0, 0, 0, 0);
    for (POSITION pos = GetHeadPosition(); pos;) {
        CRect r = GetNext(pos);
        bounds.UnionRect(&bounds, &r);
    }
    return bounds;
}

void CRectList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(GetCount()));
        for (POSITION pos = GetHeadPosition(); pos;) {
            CRect r = GetNext(pos);
            ar << LONG(r.left) << LONG(r.top) << LONG(r.right) << LONG(r.bottom);
        }
        return;
    }
    // Read everything first, so a damaged archive adds nothing.
    DWORD count = ar.ReadCount();
    std::vector<CRect> loaded;
    for (DWORD i = 0; i < count; ++i) {
        LONG l, t, r, b;
        ar >> l >> t >> r >> b;
        loaded.emplace_back(l, t, r, b);
    }
    for (const CRect& r : loaded) AddTail(r);
}
