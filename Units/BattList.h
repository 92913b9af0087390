// CBattList: the battalions of a division (or a gathered set of them), with
// the queries that divisions and armies ask and the battalions' per-tick
// update. Destroying the list deletes nothing: a division deletes its
// battalions itself with RemoveAll(TRUE).
//
// CArmyList: the armies of a battle; it owns nothing either.
#pragma once

#include "platform/afx/Afx.h"

class CBattalion;

class CBattList : public CObList {
    DECLARE_SERIAL(CBattList)
public:
    CBattList() : CObList(10) {}
    ~CBattList() override { CObList::RemoveAll(); }

    CBattalion* GetBattalion(POSITION& pos) const;
    BOOL AddBattalion(CBattalion* b);
    void AddFront(CBattalion* b);
    // Empties the list; with `deleteElements` each battalion is deleted first.
    void RemoveAll(BOOL deleteElements);
    // Runs every battalion's tick, head to tail. TRUE.
    BOOL UpdateAll();
    // From the tail: the battalion with that number; null when none, when
    // `skipRouted` and it is routed, or when it is inactive and
    // `includeInactive` is clear.
    CBattalion* FindByID(int number, BOOL skipRouted, BOOL includeInactive) const;
    // The nearest battalion not routed closer than `maxDistance` (rounded),
    // taken out of the list; null when none.
    CBattalion* RemoveNearest(int x, int y, int maxDistance);
    // The list length, or (`liveOnly`) the battalions not routed.
    int GetCount(BOOL liveOnly) const;
    int GetCount() const { return CObList::GetCount(); }
    int SumWeightedA(BOOL flag) const;
    int SumWeightedB(BOOL flag) const;
    // Units over the battalions with the unit list's two filters.
    int SumUnitCounts(BOOL a, BOOL b) const;
    // Battalions that still have a live unit.
    int CountLive() const;
};

class CArmyList : public CObList {
    DECLARE_SERIAL(CArmyList)
public:
    CArmyList() : CObList(10) {}
    ~CArmyList() override { CObList::RemoveAll(); }
};
