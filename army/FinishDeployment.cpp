// The finishing pass over the two reserve divisions (7 and 11), with the
// target searches, the chase and the follow that the reserve hunter and the
// special placements share.
#include "army/Army.h"
#include "army/Deployment.h"
#include "army/DivisionState.h"
#include "core/Helpers.h"

using namespace ArmyDivision;

namespace {

constexpr int kCombatMask = 0x3FE;
constexpr int kWingBMask = 0x2B2;  // postures that lean on wing B
constexpr int kWingAMask = 0x16A;

int Distance(int x1, int y1, int x2, int y2) { return Round(GetDistance(x1, y1, x2, y2, false)); }

bool ChaseGate(const CArmy& a) { return a.m_tickCount % 50 == 0 || a.m_tickCount == 10; }

// An opposing division the searches may take: not lost, and either in the
// line or a detachment that has come into play.
bool Eligible(const CDivision* e) { return !IsLost(e) && (e->m_number <= 11 || DetachmentValue(e) == 0); }

}  // namespace

void CDeployment::AttackOn(CDivision* d, CDivision* target, int code) {
    if (!d || !target || !ChaseGate(a) || !target->m_present) return;
    a.OrderDivision(d, code, target->m_x, target->m_y, 0x4000, -2, FALSE, 100, 0);
}

namespace {
// The searches in a rectangle take an eligible division standing in it,
// ready when asked, and, with `avoidHome`, not the opposing commander's
// division while it stays by its army's point.
bool InRectCandidate(const CArmy& o, const CDivision* e, const CRect& rect, bool ready, bool avoidHome) {
    if (!Eligible(e) || !rect.PtInRect(e->GetPosition())) return false;
    if (ready && e->m_ready != 1) return false;
    return !(avoidHome && e->m_number == 0 && Distance(e->m_x, e->m_y, o.m_armyPoint.x, o.m_armyPoint.y) < 300);
}
}  // namespace

CDivision* CDeployment::FindTargetInRect(const CRect& rect, bool ready, bool avoidHome) const {
    if (!a.m_opponent) return nullptr;
    const CArmy& o = *a.m_opponent;
    CDivision* best = nullptr;
    int most = 0;
    for (POSITION pos = o.m_divisions.GetHeadPosition(); pos;) {
        CDivision* e = o.m_divisions.GetDivision(pos);
        if (!InRectCandidate(o, e, rect, ready, avoidHome)) continue;
        const int battalions = e->CountBattalions(TRUE, TRUE);
        if (!best || battalions > most) best = e, most = battalions;
    }
    return best;
}

CDivision* CDeployment::FindNearestTargetInRect(const CRect& rect, bool ready, bool avoidHome) const {
    if (!a.m_opponent) return nullptr;
    const CArmy& o = *a.m_opponent;
    CDivision* best = nullptr;
    int nearest = 0;
    for (POSITION pos = o.m_divisions.GetHeadPosition(); pos;) {
        CDivision* e = o.m_divisions.GetDivision(pos);
        if (!InRectCandidate(o, e, rect, ready, avoidHome)) continue;
        const int dist = Distance(e->m_x, e->m_y, a.m_armyPoint.x, a.m_armyPoint.y);
        if (!best || dist < nearest) best = e, nearest = dist;
    }
    return best;
}

CDivision* CDeployment::FindStrongestTarget() const {
    if (!a.m_opponent) return nullptr;
    const CRect near = Cells(0, 5, 0, 4);
    CDivision* best = nullptr;
    int most = 0;
    for (POSITION pos = a.m_opponent->m_divisions.GetHeadPosition(); pos;) {
        CDivision* e = a.m_opponent->m_divisions.GetDivision(pos);
        if (!Eligible(e) || e->m_ready != 1) continue;
        if (e->m_number == 0 && !near.PtInRect(e->GetPosition())) continue;
        const int battalions = e->CountBattalions(TRUE, TRUE);
        if (!best || battalions > most) best = e, most = battalions;
    }
    return best;
}

namespace {
CDivision* BandSearch(const CDeployment& dep, const CArmy& a, CRect band, CArmy::Zone zone, bool ready) {
    if (CDivision* t = dep.FindTargetInRect(band, ready, true)) return t;
    for (CArmy::Zone z : {zone, CArmy::kRearHalf, CArmy::kWholeField})
        if (CDivision* t = dep.FindTargetInRect(a.GetZone(z), ready, true)) return t;
    return nullptr;
}
}  // namespace

CDivision* CDeployment::FindTargetWingA(bool ready, bool farHalf) const {
    return BandSearch(*this, a, farHalf ? Cells(0, 1, 5, 11) : Cells(0, 1, 0, 4), CArmy::kLeftWing, ready);
}

CDivision* CDeployment::FindTargetWingB(bool ready, bool farHalf) const {
    return BandSearch(*this, a, farHalf ? Cells(4, 5, 5, 11) : Cells(4, 5, 0, 4), CArmy::kRightWing, ready);
}

CDivision* CDeployment::FindTargetCentre(bool ready, bool farHalf) const {
    return BandSearch(*this, a, farHalf ? Cells(2, 3, 5, 11) : Cells(2, 3, 0, 4), CArmy::kMiddle, ready);
}

bool CDeployment::ChaseTarget(CDivision* d, CDivision* target, int leash, int orderCode, const CRect& inner,
                              const CRect& outer, int facing) {
    if (!d || !target || IsLost(d) || IsLost(target)) return false;
    if (!ChaseGate(a)) return true;
    const CPoint t = target->GetPosition();
    if (!outer.PtInRect(t)) return false;
    const int fromArmy = Distance(a.m_armyPoint.x, a.m_armyPoint.y, t.x, t.y);
    if (inner.PtInRect(t) || Distance(d->m_x, d->m_y, t.x, t.y) < 150 || (fromArmy < 300 && a.m_hqShockPending)) {
        a.OrderDivision(d, orderCode, t.x, t.y, 0x4000, -2, FALSE, 100, 0);
        return true;
    }
    if (GetDistance(d->m_x, d->m_y, t.x, t.y, false) > leash + 100) {
        // Stand on the way from the army to the target, the leash short of it.
        const CPoint v = ScaleToLength(t.x - a.m_armyPoint.x, t.y - a.m_armyPoint.y, fromArmy - leash);
        a.OrderDivision(d, 128, a.m_armyPoint.x + v.x, a.m_armyPoint.y + v.y, 0x4000, facing, FALSE, 50, 0);
    }
    return true;
}

bool CDeployment::FollowDivision(CDivision* d, CDivision* leader, int distance, int orderCode, int facing, int dx,
                                 int dy) {
    if (!d || !leader) return false;
    const CPoint goal(leader->m_x + dx, leader->m_y + dy);
    const int n = Distance(d->m_x, d->m_y, goal.x, goal.y);
    CPoint target = d->GetPosition();
    if (n >= distance + 100) {
        const CPoint v = ScaleToLength(goal.x - d->m_x, goal.y - d->m_y, n - distance);
        target.Offset(v.x, v.y);
    }
    a.OrderDivision(d, orderCode, target.x, target.y, 0x4000, facing, FALSE, 50, 0);
    return true;
}

void CDeployment::FinishDeployment() {
    if (GetDivisionShare(a) < 0.05) return;
    auto reserve = [&](int index) {
        CDivision* d = a.m_divisions.FindByID(index, TRUE, FALSE);
        return d && !(d->m_flags & 0x101) ? d : nullptr;
    };
    CDivision* d7 = reserve(7);
    CDivision* d11 = reserve(11);
    const bool combat = (a.m_posture & kCombatMask) != 0;
    auto place = [&](CDivision* d, int slot, int dx, int dy, int side, int radius, int code) {
        const CPoint t = SlotTarget(slot, dx, dy);
        SetDivisionTarget(a, d, side, t.x, t.y, radius, 0, code, 0);
    };
    if (d7 && d11) {
        if (!combat) {
            place(d7, 0, 0, 0, 1, 400, 2);
            place(d11, 0, 0, 0, 1, 600, 2);
        } else if (a.m_posture & kWingBMask) {
            place(d7, 3, 100, -200, 0, 300, 2);
            place(d11, 3, 200, 0, 0, 300, 2);
        } else if (a.m_posture & kWingAMask) {
            place(d7, 2, 100, 200, 2, 300, 2);
            place(d11, 2, 200, 0, 2, 300, 2);
        } else {
            place(d7, 4, 200, 0, 1, 300, 2);
            place(d11, 8, 200, 0, 1, 300, 2);
        }
        return;
    }
    CDivision* d = d7 ? d7 : d11;
    if (!d) return;
    auto holdSlot = [&] {
        if (!combat) place(d, 0, 0, 0, 1, 600, 1);
        else if (a.m_posture & kWingBMask) place(d, 3, 200, 0, 0, 300, 2);
        else if (a.m_posture & kWingAMask) place(d, 2, 200, 0, 2, 300, 2);
        else place(d, 1, 200, 0, 1, 300, 2);
    };
    switch (a.m_randomTie) {
    case 1:
        d->m_flags &= ~0x4000;
        holdSlot();
        return;
    case 2: {
        d->m_flags &= ~0x4000;
        if (!combat) {
            holdSlot();
            return;
        }
        CDivision* t = (a.m_posture & kWingBMask)   ? FindTargetWingB(false, false)
                       : (a.m_posture & kWingAMask) ? FindTargetWingA(false, false)
                                                    : FindTargetCentre(false, false);
        if (!t) t = FindTargetInRect(a.GetZone(CArmy::kWholeField), false, false);
        if (t) {
            AttackOn(d, t, 1);
        } else {
            const CPoint p = m_ai.GetHeadquartersTarget(a, d->m_x, d->m_y);
            SetDivisionTargetEx(a, d, 1, p.x, p.y, 300, 400, 500, 0, 1, 0);
        }
        return;
    }
    case 3: {
        CDivision*& target = a.m_hunted;
        if (!target) {
            target = FindStrongestTarget();
            if (!target) target = FindTargetInRect(a.GetZone(CArmy::kWholeField), false, true);
            if (!target) target = FindTargetInRect(a.GetZone(CArmy::kWholeField), false, false);
            if (!target) {
                a.m_randomTie = 2;
                return;
            }
        }
        if (IsLost(target)) {
            target = nullptr;
            d->m_flags &= ~0x4000;
            return;
        }
        // The hunter keeps only its hunter mark.
        d->m_flags = 0x4000;
        if (combat) {
            const int code = Distance(d->m_x, d->m_y, target->m_x, target->m_y) >= 500 ? 2 : 1;
            AttackOn(d, target, code);
        } else {
            ChaseTarget(d, target, 600, 1, Cells(2, 3, 0, 2), Cells(0, 5, 0, 5), 0);
        }
        return;
    }
    default: return;
    }
}
