// Two small coordinate containers: CPointList, a queue of (x, y) waypoints
// for paths and army elements, and CRectList, a list of rectangles with
// overlap and bounds queries and serialisation, for terrain and paths.
#pragma once

#include "platform/afx/Lists.h"
#include "platform/afx/Rect.h"

// A singly linked queue of points. It owns its nodes; copy it with
// AppendList.
class CPointList {
public:
    CPointList() = default;
    CPointList(const CPointList&) = delete;
    CPointList& operator=(const CPointList&) = delete;
    virtual ~CPointList() { RemoveAll(); }

    void AddHead(int x, int y);
    void AddTail(int x, int y);
    // Appends copies of the other list's points, in order (itself included).
    void AppendList(const CPointList& other);
    // Removes the head and returns its point; (-1000, -1000) when empty.
    CPoint PopHead();
    bool IsEmpty() const { return m_pHead == nullptr; }
    // Counts by walking the list.
    int GetCount() const;
    void RemoveAll();

private:
    struct Node {
        Node* next;
        int x;
        int y;
    };
    Node* m_pTail = nullptr;
    Node* m_pHead = nullptr;
};

// A list of rectangles; AddRect puts new ones at the head.
class CRectList : public CObject, public CListCore<CRect> {
public:
    CRectList() = default;

    void AddRect(int left, int top, int right, int bottom);
    // Removes the head and returns it; (-1000, -1000, -1000, -1000) when
    // empty.
    CRect PopHead();
    // True when some rectangle meets the given one; rectangles that only
    // touch along an edge or at a corner meet.
    bool IntersectsAny(int left, int top, int right, int bottom) const;
    // Appends copies of the other list's rectangles at the tail, in order.
    void AppendList(const CRectList& other);
    // The union of all rectangles with area; (0, 0, 0, 0) when none has any.
    CRect GetBounds() const;

    // The count (framework encoding), then each rectangle from the head as
    // four 32-bit values left, top, right, bottom. Loading appends at the
    // tail in stored order; a short or damaged archive throws and leaves the
    // list as it was.
    void Serialize(CArchive& ar) override;
};
