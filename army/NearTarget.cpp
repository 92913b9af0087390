// The near division target rule, for divisions that keep close to a point
// and step back from an enemy rather than be drawn out; and the division
// share. The plain and reach rules are the army's own.
#include <cstdint>

#include "army/Army.h"
#include "army/Deployment.h"
#include "army/DivisionState.h"
#include "core/Helpers.h"

using namespace ArmyDivision;

namespace {

constexpr int kFacingEast = 2;
constexpr int kFacingWest = 6;

bool SlotTickGate(const CArmy& a) { return a.m_tickCount % 100 == 0 || a.m_tickCount == 10; }
bool ChargeTickGate(const CArmy& a) { return a.m_tickCount % 50 == 0 || a.m_tickCount == 10; }

int DistanceTo(CPoint p, int x, int y) { return Round(GetDistance(p.x, p.y, x, y, false)); }

// The facing from the target towards the enemy, relative to the army's.
int FacingTowards(const CArmy& a, CPoint t, const CDivision* e) {
    return CArmyElement::NormalizeDirection(GetDirection(t.x, t.y, e->m_x, e->m_y) - a.m_facing);
}

// `from` moved `length` along the way to (x, y); a negative length moves
// away. When the two points coincide there is no way to go and the point
// stays where it is.
CPoint ShiftTowards(CPoint from, int x, int y, int length) {
    const CPoint v = ScaleToLength(x - from.x, y - from.y, length);
    return CPoint(from.x + v.x, from.y + v.y);
}

// The target pushed `length` along the army's facing turned by the mode.
CPoint PushAlong(const CArmy& a, CPoint t, int facingMode, int length) {
    const CPoint v = GetDirectionVector(CArmyElement::NormalizeDirection(a.m_facing + facingMode), length);
    return CPoint(t.x + v.x, t.y + v.y);
}

bool SideTestEx(int sideMode, int facing, const CDivision* e, CPoint t) {
    if (sideMode == 1 && facing == kFacingWest ? e->m_x < t.x : e->m_x > t.x) return true;
    if (sideMode == 3 && facing == kFacingWest ? e->m_x > t.x : e->m_x < t.x) return true;
    if (facing == kFacingWest) return sideMode == 0 ? e->m_y > t.y : e->m_y < t.y;
    if (facing == kFacingEast) return sideMode == 0 ? e->m_y < t.y : e->m_y > t.y;
    return false;
}

struct Nearest {
    CDivision* enemy = nullptr;
    int best = 10000;
};

// The nearest live enemy that `accept` takes (ties keep the first).
template <typename Accept>
Nearest FindEnemy(const CArmy& a, CPoint t, Accept&& accept) {
    Nearest n;
    if (!a.m_opponent) return n;
    const CDivList& list = a.m_opponent->m_divisions;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        CDivision* e = list.GetDivision(pos);
        if (IsLost(e)) continue;
        const int dist = DistanceTo(t, e->m_x, e->m_y);
        if (accept(e, dist) && dist < n.best) n.enemy = e, n.best = dist;
    }
    return n;
}

CPoint ClampedTarget(int x, int y) { return ClampPointToRect(CRect(0, 0, 3000, 2000), CPoint(x, y), 50); }

void Order(CArmy& a, CDivision* d, int code, CPoint p, int facing, int flag) {
    a.OrderDivision(d, code, p.x, p.y, 0x4000, facing, flag, 50, 0);
}

// Holding within the radius: the target itself when the division is
// nearer to it than the enemy, else the target moved away by the
// difference (towards the enemy when the difference is positive).
void HoldAgainst(CArmy& a, CDivision* d, CPoint t, const Nearest& n, int code, int flag) {
    const int dEnemy = DistanceTo(t, n.enemy->m_x, n.enemy->m_y);
    const int dOwn = DistanceTo(t, d->m_x, d->m_y);
    const CPoint p = dEnemy < dOwn ? t : ShiftTowards(t, n.enemy->m_x, n.enemy->m_y, dOwn - dEnemy);
    Order(a, d, code, p, FacingTowards(a, t, n.enemy), flag);
}

void Charge(CArmy& a, CDivision* d, CDivision* e, int code) {
    if (!d || !e || !ChargeTickGate(a) || !e->m_present) return;
    a.OrderDivision(d, code, e->m_x, e->m_y, 0x4000, -2, 0, 100, 0);
}

}  // namespace

void SetDivisionTarget(CArmy& a, CDivision* d, int sideMode, int x, int y, int radius, int facingMode, int orderCode,
                       int flag) {
    a.SetDivisionTarget(d, sideMode, x, y, radius, facingMode, orderCode, flag);
}

void SetDivisionTargetEx(CArmy& a, CDivision* d, int sideMode, int x, int y, int radius, int reachA, int reachB,
                         int facingMode, int orderCode, int flag) {
    a.SetDivisionTargetEx(d, sideMode, x, y, radius, reachA, reachB, facingMode, orderCode, flag);
}

void SetDivisionTargetNear(CArmy& a, CDivision* d, int sideMode, int x, int y, int distance1, int distance2,
                           int distance3, int facingMode, int orderCode, int flag) {
    if (!d || !SlotTickGate(a)) return;
    const CPoint t = ClampedTarget(x, y);
    const Nearest n = FindEnemy(
        a, t, [&](CDivision* e, int dist) { return dist < distance1 && SideTestEx(sideMode, a.m_facing, e, t); });
    if (n.enemy && n.best < distance3) {
        HoldAgainst(a, d, t, n, orderCode, flag);
    } else if (n.enemy && n.best < distance2) {
        Charge(a, d, n.enemy, orderCode);
    } else if (n.enemy) {
        // Step back 300 from the enemy; standing on it, stay put.
        const CPoint own = d->GetPosition();
        Order(a, d, orderCode, ShiftTowards(own, n.enemy->m_x, n.enemy->m_y, -300), FacingTowards(a, t, n.enemy), flag);
    } else {
        Order(a, d, orderCode, PushAlong(a, t, facingMode, distance3), facingMode, flag);
    }
}

CPoint GetSideOffset(const CArmy& a, int first, int second) { return a.GetSideOffset(first, second); }

namespace {
double ComputeShare(const CArmy& a) {
    long sum = 0;
    int counted = 0;
    for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) {
        const CDivision* d = a.m_divisions.GetDivision(pos);
        if (IsLost(d) || !d->m_present) continue;
        if (IsDetachmentIndex(d->m_number) && !(a.m_detachmentsInPlay && DetachmentValue(d) == 0)) continue;
        sum += static_cast<int8_t>(d->m_contact);
        ++counted;
    }
    return counted ? double(sum) / counted : 0.0;
}
}  // namespace

void UpdateDivisionShare(CArmy& a) {
    a.m_divisionShare = ComputeShare(a);
    if (a.m_divisionShare > 0.05) a.m_battleJoined = 1;
}

double GetDivisionShare(CArmy& a) { return a.m_divisionShare >= 0.0 ? a.m_divisionShare : ComputeShare(a); }
