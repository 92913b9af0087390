// CDivList: the divisions of an army (or a gathered set of them), with the
// finders, counters, sorted inserts and re-sorts that the army's command and
// battle AI use, and the per-tick update of every division. Only
// RemoveAll(TRUE) deletes divisions; the destructor empties the list.
//
// "Nearest" compares distances rounded halves away from zero, and a
// candidate replaces the best only when strictly better, so among equals the
// first one scanned wins.
#pragma once

#include "platform/afx/Afx.h"

class CDivision;
class CUnit;
class CUnitList;

class CDivList : public CObList {
    DECLARE_SERIAL(CDivList)
public:
    CDivList() : CObList(10) {}
    ~CDivList() override { CObList::RemoveAll(); }

    CDivision* GetDivision(POSITION& pos) const;
    CDivision* GetDivisionPrev(POSITION& pos) const;
    void Add(CDivision* d);

    void RemoveAll(BOOL deleteElements);
    void InsertSorted(CDivision* d);
    void InsertSortedByKeyB(CDivision* d);
    void InsertSortedByX(CDivision* d);
    CDivision* PopFront(BOOL remove);
    CDivision* GetLast() const;
    CDivision* FindByID(int index, BOOL skipLost, BOOL skipHeld) const;
    BOOL UpdateAll();
    CDivision* GetLargestDivision() const;
    int GetCount(BOOL skipLost) const;
    int GetCount() const { return CObList::GetCount(); }
    CDivision* FindNearest(int x, int y, BOOL onlyPlaced, BOOL skipLost, int maxDistance) const;
    int CountInGroup(int key, BOOL skipLost) const;
    CDivision* PickForAttack(int x, int y, int key, int maxDistance, BOOL includeWeak) const;
    int CountActive(BOOL includeDetachments) const;
    int CountBattalions(BOOL filterA, BOOL filterB) const;
    CDivision* PopMaxY();
    CDivision* PopMaxX();
    CDivision* PopNearest(int x, int y, int maxDistance);
    void CollectInRect(CDivList& out, int left, int top, int right, int bottom, BOOL onlyLiving,
                       int minStrength) const;
    int CountDetachmentBattalionsOutside() const;
    void ClearFlag216();
    CUnit* CollectLeadsInRange(int x, int y, int maxDistance, CUnitList& out) const;
    void SortByY(BOOL ascending);
    void SortByX(BOOL ascending);
    CDivision* GetHighestGrade() const;
    int GetTotalStrength() const;
};

// What a division's strength meter shows: how many of its segments are lit
// (never more than it has) and the frame the lit ones show (1 strong .. 5
// weak). The battle panel's meter group draws it.
struct DivisionMeterReading {
    int lit;
    int frame;
};
DivisionMeterReading ReadDivisionMeter(const CDivision& division, int segments);
