#include "Units/DivList.h"

#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "core/Helpers.h"

IMPLEMENT_SERIAL(CDivList, CObList, 0)

namespace {

int RoundedDistance(int x, int y, const CDivision* d) { return Round(GetDistance(x, y, d->m_x, d->m_y, false)); }

bool IsLost(const CDivision* d) { return d->m_routed != 0; }

// Before the first division whose key is not smaller; else at the tail.
template <typename Key>
void InsertByKey(CDivList& list, CDivision* d, Key key) {
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        POSITION at = pos;
        if (key(list.GetDivision(pos)) >= key(d)) {
            list.InsertBefore(at, d);
            return;
        }
    }
    list.Add(d);
}

template <typename Key>
void Resort(CDivList& list, BOOL ascending, Key key) {
    CDivList sorted;
    while (!list.IsEmpty()) {
        CDivision* d = static_cast<CDivision*>(list.RemoveHead());
        if (d) InsertByKey(sorted, d, key);
    }
    while (!sorted.IsEmpty()) list.Add(static_cast<CDivision*>(ascending ? sorted.RemoveHead() : sorted.RemoveTail()));
}

template <typename Better>
CDivision* PopBest(CDivList& list, Better better) {
    POSITION best = nullptr;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        POSITION at = pos;
        CDivision* d = list.GetDivision(pos);
        if (better(d, best ? static_cast<CDivision*>(list.GetAt(best)) : nullptr)) best = at;
    }
    if (!best) return nullptr;
    CDivision* d = static_cast<CDivision*>(list.GetAt(best));
    list.RemoveAt(best);
    return d;
}

}  // namespace

CDivision* CDivList::GetDivision(POSITION& pos) const { return static_cast<CDivision*>(GetNext(pos)); }
CDivision* CDivList::GetDivisionPrev(POSITION& pos) const { return static_cast<CDivision*>(GetPrev(pos)); }
void CDivList::Add(CDivision* d) { AddTail(d); }

void CDivList::RemoveAll(BOOL deleteElements) {
    if (deleteElements)
        for (POSITION pos = GetHeadPosition(); pos;) delete GetDivision(pos);
    CObList::RemoveAll();
}

void CDivList::InsertSorted(CDivision* d) { InsertByKey(*this, d, [](const CDivision* e) { return e->m_sortKeyA; }); }
void CDivList::InsertSortedByKeyB(CDivision* d) {
    InsertByKey(*this, d, [](const CDivision* e) { return e->m_sortKeyB; });
}
void CDivList::InsertSortedByX(CDivision* d) { InsertByKey(*this, d, [](const CDivision* e) { return e->m_x; }); }

CDivision* CDivList::PopFront(BOOL remove) {
    if (IsEmpty()) return nullptr;
    return static_cast<CDivision*>(remove ? RemoveHead() : CObList::GetHead());
}

CDivision* CDivList::GetLast() const { return IsEmpty() ? nullptr : static_cast<CDivision*>(CObList::GetTail()); }

CDivision* CDivList::FindByID(int index, BOOL skipLost, BOOL skipHeld) const {
    for (POSITION pos = GetTailPosition(); pos;) {
        CDivision* d = GetDivisionPrev(pos);
        if (d->m_number != index) continue;
        if ((skipHeld && d->m_detachCountdown != 0) || (skipLost && IsLost(d))) return nullptr;
        return d;
    }
    return nullptr;
}

BOOL CDivList::UpdateAll() {
    for (POSITION pos = GetHeadPosition(); pos;) GetDivision(pos)->Tick();
    return TRUE;
}

CDivision* CDivList::GetLargestDivision() const {
    CDivision* best = nullptr;
    int most = 0;
    for (POSITION pos = GetTailPosition(); pos;) {
        CDivision* d = GetDivisionPrev(pos);
        int n = d->SumUnitCounters();
        if (!best || n >= most) best = d, most = n;
    }
    return best;
}

int CDivList::GetCount(BOOL skipLost) const {
    if (!skipLost) return CObList::GetCount();
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;)
        if (!IsLost(GetDivision(pos))) ++n;
    return n;
}

CDivision* CDivList::FindNearest(int x, int y, BOOL onlyPlaced, BOOL skipLost, int maxDistance) const {
    CDivision* best = nullptr;
    int bestDistance = maxDistance;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CDivision* d = GetDivision(pos);
        if ((onlyPlaced && !d->m_present) || (skipLost && IsLost(d))) continue;
        int dist = RoundedDistance(x, y, d);
        if (dist < bestDistance) best = d, bestDistance = dist;
    }
    return best;
}

int CDivList::CountInGroup(int key, BOOL skipLost) const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        const CDivision* d = GetDivision(pos);
        if (d->m_groupKey == key && !(skipLost && IsLost(d))) ++n;
    }
    return n;
}

CDivision* CDivList::PickForAttack(int x, int y, int key, int maxDistance, BOOL includeWeak) const {
    CDivision* best = nullptr;
    int bestDistance = 10000;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CDivision* d = GetDivision(pos);
        if (d->m_groupKey != key || IsLost(d)) continue;
        if (!includeWeak && (d->IsBelowStrength(0.5) || d->m_grade >= 2)) continue;
        CRect r = d->m_battalions.IsEmpty() ? CRect(d->m_x, d->m_y, d->m_x, d->m_y) : CRect();
        for (POSITION b = d->m_battalions.GetHeadPosition(); b;) {
            const CBattalion* bt = d->m_battalions.GetBattalion(b);
            CRect at(bt->m_x, bt->m_y, bt->m_x, bt->m_y);
            if (r.IsRectNull()) r = at;
            r.left = std::min(r.left, at.left), r.top = std::min(r.top, at.top);
            r.right = std::max(r.right, at.right), r.bottom = std::max(r.bottom, at.bottom);
        }
        CPoint c = r.CenterPoint();
        int dist = Round(GetDistance(x, y, c.x, c.y, false));
        if (dist <= maxDistance && dist < bestDistance) best = d, bestDistance = dist;
    }
    return best;
}

int CDivList::CountActive(BOOL includeDetachments) const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        const CDivision* d = GetDivision(pos);
        if (IsLost(d)) continue;
        if (d->IsDetachment() && !(includeDetachments && d->m_detachCountdown == 0)) continue;
        ++n;
    }
    return n;
}

int CDivList::CountBattalions(BOOL filterA, BOOL filterB) const {
    int n = 0;
    for (POSITION pos = GetTailPosition(); pos;) n += GetDivisionPrev(pos)->CountBattalions(filterA, filterB);
    return n;
}

CDivision* CDivList::PopMaxY() {
    return PopBest(*this, [](const CDivision* d, const CDivision* best) { return d->m_y > (best ? best->m_y : -10000); });
}

CDivision* CDivList::PopMaxX() {
    return PopBest(*this, [](const CDivision* d, const CDivision* best) { return d->m_x > (best ? best->m_x : -10000); });
}

CDivision* CDivList::PopNearest(int x, int y, int maxDistance) {
    int bestDistance = maxDistance;
    return PopBest(*this, [&](const CDivision* d, const CDivision*) {
        if (!d->m_present || IsLost(d)) return false;
        int dist = RoundedDistance(x, y, d);
        if (dist >= bestDistance) return false;
        bestDistance = dist;
        return true;
    });
}

void CDivList::CollectInRect(CDivList& out, int left, int top, int right, int bottom, BOOL onlyLiving,
                             int minStrength) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CDivision* d = GetDivision(pos);
        if (d->m_x < left || d->m_x >= right || d->m_y < top || d->m_y >= bottom) continue;
        if (onlyLiving && (!d->m_present || IsLost(d))) continue;
        if (minStrength > 0 && d->GetStrength() < minStrength) continue;
        out.AddHead(d);
    }
}

int CDivList::CountDetachmentBattalionsOutside() const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        const CDivision* d = GetDivision(pos);
        if (!d->IsDetachment() || d->m_detachCountdown != 0) continue;
        if (d->m_army && d->m_army->GetHomeRect().PtInRect(d->GetPosition())) continue;
        n += d->CountBattalions(TRUE, FALSE);
    }
    return n;
}

void CDivList::ClearFlag216() {
    for (POSITION pos = GetHeadPosition(); pos;) GetDivision(pos)->m_flag216 = 0;
}

CUnit* CDivList::CollectLeadsInRange(int x, int y, int maxDistance, CUnitList& out) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CUnit* lead = GetDivision(pos)->GetLeadUnit();
        if (!lead) continue;
        int dist = Round(GetDistance(x, y, lead->m_x, lead->m_y, false));
        if (dist > maxDistance) continue;
        lead->m_spare = dist;
        POSITION at = out.GetHeadPosition();
        while (at && static_cast<CUnit*>(out.GetAt(at))->m_spare < dist) out.GetNext(at);
        if (at)
            out.InsertBefore(at, lead);
        else
            out.AddTail(lead);
    }
    return out.GetHead();
}

void CDivList::SortByY(BOOL ascending) { Resort(*this, ascending, [](const CDivision* d) { return d->m_y; }); }
void CDivList::SortByX(BOOL ascending) { Resort(*this, ascending, [](const CDivision* d) { return d->m_x; }); }

CDivision* CDivList::GetHighestGrade() const {
    CDivision* best = nullptr;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CDivision* d = GetDivision(pos);
        if (!IsLost(d) && d->m_grade > (best ? best->m_grade : 0)) best = d;
    }
    return best;
}

int CDivList::GetTotalStrength() const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) n += GetDivision(pos)->GetStrength();
    return n;
}

DivisionMeterReading ReadDivisionMeter(const CDivision& division, int segments) {
    segments = std::max(0, segments);
    // A division of more than 40 units would light more segments than the
    // meter has.
    int lit = std::clamp(int(division.GetStrength() * (segments * 0.025)), 0, segments);
    double r = division.m_strengthRatio;
    int frame = r >= 1.3 ? 1 : r >= 1.0 ? 2 : r >= 0.7 ? 3 : r >= 0.4 ? 4 : 5;
    return {lit, frame};
}
