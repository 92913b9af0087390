#include "Units/UnitList.h"

#include <algorithm>
#include <vector>

#include "Units/Unit.h"
#include "field/BattleGrid.h"
#include "core/Helpers.h"

IMPLEMENT_SERIAL(CUnitList, CObList, 0)

CUnit* CUnitList::GetHead() const { return IsEmpty() ? nullptr : static_cast<CUnit*>(CObList::GetHead()); }

void CUnitList::RemoveAll(BOOL deleteUnits) {
    if (deleteUnits)
        for (POSITION pos = GetHeadPosition(); pos;) delete static_cast<CUnit*>(GetNext(pos));
    CObList::RemoveAll();
}

int CUnitList::InsertSorted(CUnit* unit, BOOL allowDuplicate) {
    if (!allowDuplicate && Find(unit)) return 0;
    if (!unit->m_icon) {
        AddTail(unit);
        return 1;
    }
    int depth = unit->m_icon->GetDepth();
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION at = pos;
        const CUnit* u = static_cast<const CUnit*>(GetNext(pos));
        if (u->m_icon && u->m_icon->GetDepth() >= depth) {
            InsertBefore(at, unit);
            return 1;
        }
    }
    AddTail(unit);
    return 1;
}

void CUnitList::AddUnique(CUnit* unit, BOOL always) {
    if (always || !Find(unit)) AddTail(unit);
}

CUnit* CUnitList::RemoveUnit(CUnit* unit) {
    POSITION pos = Find(unit);
    if (!pos) return nullptr;
    RemoveAt(pos);
    return unit;
}

CUnit* CUnitList::FindById(int id, BOOL any, BOOL activeOnly) const {
    for (POSITION pos = GetTailPosition(); pos;) {
        CUnit* u = static_cast<CUnit*>(GetPrev(pos));
        if (u->m_number != id) continue;
        if (any || (u->m_placed && !activeOnly) || u->m_active) return u;
    }
    return nullptr;
}

int CUnitList::GetCount(BOOL a, BOOL b) const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        const CUnit* u = static_cast<const CUnit*>(GetNext(pos));
        if (a ? !u->m_routed && !u->m_lost : !b || u->m_active) ++n;
    }
    return n;
}

namespace {
template <typename F>
int SumFromTail(const CUnitList& list, BOOL skipOut, F value) {
    int sum = 0;
    for (POSITION pos = list.GetTailPosition(); pos;) {
        const CUnit* u = static_cast<const CUnit*>(list.GetPrev(pos));
        if (!skipOut || !u->m_routed) sum += value(u);
    }
    return sum;
}

template <typename T, typename F>
T MeanOfLive(const CUnitList& list, F value) {
    T sum = 0;
    int n = 0;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const CUnit* u = static_cast<const CUnit*>(list.GetNext(pos));
        if (u->m_routed) continue;
        sum += value(u);
        ++n;
    }
    return n ? T(sum / n) : T(0);
}
}  // namespace

int CUnitList::SumA(BOOL skipOut) const {
    return SumFromTail(*this, skipOut, [](const CUnit* u) { return u->GetStrengthA(); });
}
int CUnitList::SumB(BOOL skipOut) const {
    return SumFromTail(*this, skipOut, [](const CUnit* u) { return u->GetStrengthB(); });
}

int CUnitList::AverageHeadCount() const { return MeanOfLive<int>(*this, [](const CUnit* u) { return u->m_headCount; }); }
int CUnitList::AverageExertion() const { return MeanOfLive<int>(*this, [](const CUnit* u) { return u->m_exertion; }); }
double CUnitList::AverageCondition() const {
    return MeanOfLive<double>(*this, [](const CUnit* u) { return u->m_condition; });
}

void CUnitList::SortByBlockedCount() {
    // Each unit in turn goes before the first unit whose count is not
    // smaller: ascending counts, and among equal counts the later unit
    // first. A stable sort of the reversed list gives that same order in
    // n log n, which a battle of a thousand units needs every tick.
    std::vector<CUnit*> units;
    units.reserve(size_t(GetCount()));
    for (POSITION pos = GetTailPosition(); pos;) units.push_back(static_cast<CUnit*>(GetPrev(pos)));
    std::stable_sort(units.begin(), units.end(),
                     [](const CUnit* a, const CUnit* b) { return a->m_failedMoves < b->m_failedMoves; });
    POSITION pos = GetHeadPosition();
    for (CUnit* u : units) SetAt(pos, u), GetNext(pos);
}

void CUnitList::ClearMarks() {
    for (POSITION pos = GetHeadPosition(); pos;) static_cast<CUnit*>(GetNext(pos))->m_targetedCount = 0;
}

void CUnitList::UpdateAll() {
    for (POSITION pos = GetHeadPosition(); pos;) GetUnit(pos)->UpdateSprite();
}

CUnit* CUnitList::FindTarget(int x, int y, int maxDistance, int capacity, BOOL checkGrid, const CRect& area) const {
    CUnit* choice = nullptr;
    int best = maxDistance;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CUnit* u = GetUnit(pos);
        if (!u->m_active) continue;
        int room = u->m_kind == KIND_MARSHALL ? 3 * capacity : u->m_kind == KIND_GENERAL ? 2 * capacity : capacity;
        if (u->m_engagers.GetCount() >= room) continue;
        if (checkGrid && u->m_grid && u->m_grid->IsLineBlocked(x, y, u->m_x, u->m_y)) continue;
        if (!area.IsRectNull() && !area.PtInRect(u->GetPosition())) continue;
        int d = Round(GetDistance(x, y, u->m_x, u->m_y, false));
        if (d <= best) choice = u, best = d;
    }
    return choice;
}

int CUnitList::CountInField() const {
    const CRect inner(150, 150, 2850, 1850);
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        const CUnit* u = GetUnit(pos);
        if (u->m_placed && inner.PtInRect(u->GetPosition())) ++n;
    }
    return n;
}

void CUnitList::RemoveDuplicates() {
    for (POSITION pos = GetHeadPosition(); pos; GetNext(pos)) {
        const CObject* u = GetAt(pos);
        POSITION scan = pos;
        GetNext(scan);
        while (scan) {
            POSITION at = scan;
            if (GetNext(scan) == u) RemoveAt(at);
        }
    }
}

void CUnitList::InsertOrdered(CUnit* unit) {
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION at = pos;
        if (static_cast<CUnit*>(GetNext(pos))->m_number > unit->m_number) {
            InsertBefore(at, unit);
            return;
        }
    }
    AddTail(unit);
}

int CUnitList::AverageValue() const { return MeanOfLive<int>(*this, [](const CUnit* u) { return u->GetRating(); }); }

int CUnitList::CountAbove() const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        const CUnit* u = static_cast<const CUnit*>(GetNext(pos));
        if (!u->m_routed && u->m_engagers.GetCount() >= 1) ++n;
    }
    return n;
}

void CUnitList::AppendTargets(CUnitList* out) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        const CUnit* u = static_cast<const CUnit*>(GetNext(pos));
        if (!u->m_routed && u->m_action.m_target) out->AddTail(u->m_action.m_target);
    }
}

int CUnitList::CountDistinctTargets() const {
    CUnitList targets;
    AppendTargets(&targets);
    targets.RemoveDuplicates();
    int n = targets.GetCount(TRUE, TRUE);
    targets.RemoveAll(FALSE);
    return n;
}

void CUnitList::SpreadAll() {
    for (POSITION pos = GetHeadPosition(); pos;) static_cast<CUnit*>(GetNext(pos))->PlaceFree();
}

void CUnitList::UpdateConditions() {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CUnit* u = static_cast<CUnit*>(GetNext(pos));
        if (u->m_active) u->UpdateCondition();
    }
}
