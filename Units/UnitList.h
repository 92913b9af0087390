// CUnitList: a list of units: the view's list of all units, each
// battalion's units, each unit's engagers and the lists that queries fill.
// Whether it owns its units is decided per call of RemoveAll: a battalion
// empties its list with deletion, every other list without.
#pragma once

#include "platform/afx/Afx.h"

class CUnit;

class CUnitList : public CObList {
    DECLARE_SERIAL(CUnitList)
public:
    CUnitList() : CObList(10) {}
    ~CUnitList() override { CObList::RemoveAll(); }

    CUnit* GetUnit(POSITION& pos) const { return reinterpret_cast<CUnit*>(GetNext(pos)); }
    // Null when empty.
    CUnit* GetHead() const;

    // Empties the list; with `deleteUnits` each unit is deleted first.
    void RemoveAll(BOOL deleteUnits);
    // Before the first unit drawn at the same depth or deeper; a unit
    // without an icon goes to the tail. 0 when refused as a repeat.
    int InsertSorted(CUnit* unit, BOOL allowDuplicate);
    // With `always` appends; otherwise only when absent.
    void AddUnique(CUnit* unit, BOOL always = FALSE);
    // Removes the first occurrence without deleting; the unit, or null.
    CUnit* RemoveUnit(CUnit* unit);
    // From the tail: the unit with that number; with `any` whatever its
    // state, else only when placed (and `activeOnly` clear) or active.
    CUnit* FindById(int id, BOOL any, BOOL activeOnly) const;
    // (FALSE, FALSE) all; (FALSE, TRUE) the active ones; (TRUE, x) those
    // neither routed nor out of formation.
    int GetCount(BOOL a, BOOL b) const;
    int GetCount() const { return CObList::GetCount(); }
    // Strength sums, from the tail; `skipOut` leaves routed units out.
    int SumA(BOOL skipOut) const;
    int SumB(BOOL skipOut) const;
    // Means over units not routed; 0 when none.
    int AverageHeadCount() const;
    int AverageExertion() const;
    double AverageCondition() const;
    // Places every unit's icon, head to tail.
    void UpdateAll();
    // The nearest active unit to (x, y) within `maxDistance` (rounded;
    // among equals the later one) that has room for another close
    // engager (`capacity`, twice for a General, three times for a
    // Marshall), whose line from the point is clear when `checkGrid`, and
    // inside `area` unless it is all zero. Null when none.
    CUnit* FindTarget(int x, int y, int maxDistance, int capacity, BOOL checkGrid, const CRect& area) const;
    // Units placed within the field less a 150 margin.
    int CountInField() const;
    // Keeps the first of every unit listed more than once.
    void RemoveDuplicates();
    // Units stuck longest go last; equal counts swap their order.
    void SortByBlockedCount();
    void ClearMarks();

    // Before the first unit whose number is greater, else at the tail.
    void InsertOrdered(CUnit* unit);
    // Mean rating of the units not routed; 0 when none.
    int AverageValue() const;
    // Units not routed that some enemy is fighting.
    int CountAbove() const;
    // Appends the targets of the units not routed.
    void AppendTargets(CUnitList* out) const;
    // The targets of the units not routed, each counted once.
    int CountDistinctTargets() const;
    // Every unit settles on a free spot of the battle grid.
    void SpreadAll();
    // Recomputes the condition of every active unit.
    void UpdateConditions();
};
