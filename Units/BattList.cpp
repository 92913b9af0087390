#include "Units/BattList.h"

#include "Units/Battalion.h"
#include "core/Helpers.h"

IMPLEMENT_SERIAL(CBattList, CObList, 0)
IMPLEMENT_SERIAL(CArmyList, CObList, 0)

void CBattList::RemoveAll(BOOL deleteElements) {
    if (deleteElements)
        for (POSITION pos = GetHeadPosition(); pos;) delete GetBattalion(pos);
    CObList::RemoveAll();
}

BOOL CBattList::UpdateAll() {
    for (POSITION pos = GetHeadPosition(); pos;) GetBattalion(pos)->Tick();
    return TRUE;
}

CBattalion* CBattList::FindByID(int number, BOOL skipRouted, BOOL includeInactive) const {
    for (POSITION pos = GetTailPosition(); pos;) {
        CBattalion* b = static_cast<CBattalion*>(GetPrev(pos));
        if (b->m_number != number) continue;
        if (skipRouted && b->m_routed) return nullptr;
        if (!includeInactive && b->m_noUnits) return nullptr;
        return b;
    }
    return nullptr;
}

CBattalion* CBattList::RemoveNearest(int x, int y, int maxDistance) {
    POSITION best = nullptr;
    int bestDistance = maxDistance;
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION at = pos;
        const CBattalion* b = GetBattalion(pos);
        if (b->m_routed) continue;
        int d = Round(GetDistance(x, y, b->m_x, b->m_y, false));
        if (d < bestDistance) best = at, bestDistance = d;
    }
    if (!best) return nullptr;
    CBattalion* b = static_cast<CBattalion*>(GetAt(best));
    RemoveAt(best);
    return b;
}

int CBattList::GetCount(BOOL liveOnly) const {
    if (!liveOnly) return CObList::GetCount();
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;)
        if (!GetBattalion(pos)->m_routed) ++n;
    return n;
}

int CBattList::SumWeightedA(BOOL flag) const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) n += GetBattalion(pos)->GetWeightedCountA(flag);
    return n;
}

int CBattList::SumWeightedB(BOOL flag) const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) n += GetBattalion(pos)->GetWeightedCountB(flag);
    return n;
}

int CBattList::SumUnitCounts(BOOL a, BOOL b) const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) n += GetBattalion(pos)->m_units.GetCount(a, b);
    return n;
}

int CBattList::CountLive() const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;)
        if (GetBattalion(pos)->m_liveUnits > 0) ++n;
    return n;
}

CBattalion* CBattList::GetBattalion(POSITION& pos) const { return static_cast<CBattalion*>(GetNext(pos)); }

BOOL CBattList::AddBattalion(CBattalion* b) {
    AddTail(b);
    return TRUE;
}

void CBattList::AddFront(CBattalion* b) { AddHead(b); }
