// The division target rule: the last step of every placement of the
// computer's army. The target is kept inside the field, the nearest enemy
// division is looked at, and the division then holds its slot facing that
// enemy, moves towards or away from it, charges it, or is pushed forward
// along the army's facing when no enemy is near.
#include <functional>

#include "army/Army.h"
#include "army/DivisionState.h"
#include "core/Helpers.h"

using namespace ArmyDivision;

namespace {

constexpr int kEast = 2;
constexpr int kWest = 6;
constexpr int kNoEnemy = 10000;

int Distance(CPoint a, CPoint b) { return Round(GetDistance(a.x, a.y, b.x, b.y, false)); }

// What the two rules share: the clamped target, the chosen enemy and the
// two distances.
struct TargetLook {
    CPoint target;
    const CDivision* enemy = nullptr;
    int best = kNoEnemy;
    int enemyDistance = 0;
    int ownDistance = 0;
};

TargetLook Look(const CArmy& army, const CDivision* division, int x, int y, int radius,
                const std::function<bool(const CDivision*, CPoint)>& sideTest) {
    TargetLook look;
    look.target = ClampPointToRect(CRect(0, 0, 3000, 2000), CPoint(x, y), 50);
    if (army.m_opponent) {
        for (POSITION pos = army.m_opponent->m_divisions.GetHeadPosition(); pos;) {
            const CDivision* e = army.m_opponent->m_divisions.GetDivision(pos);
            if (IsLost(e)) continue;
            const int d = Distance(look.target, e->GetPosition());
            if ((d < radius || sideTest(e, look.target)) && d < look.best) {
                look.best = d;
                look.enemy = e;
            }
        }
    }
    if (look.enemy) look.enemyDistance = Distance(look.target, look.enemy->GetPosition());
    look.ownDistance = Distance(look.target, division->GetPosition());
    return look;
}

bool OnTick(const CArmy& army) { return army.m_tickCount % 100 == 0 || army.m_tickCount == 10; }

// The facing towards the enemy, relative to the army's.
int FacingToward(const CArmy& army, const TargetLook& look) {
    const CPoint e = look.enemy->GetPosition();
    return CArmyElement::NormalizeDirection(GetDirection(look.target.x, look.target.y, e.x, e.y) - army.m_facing);
}

// The target moved `length` towards the enemy (away when negative). An enemy
// standing on the target gives no direction: the target stays.
CPoint Shifted(const TargetLook& look, int length) {
    const CPoint e = look.enemy->GetPosition();
    const CPoint step = ScaleToLength(e.x - look.target.x, e.y - look.target.y, length);
    return CPoint(look.target.x + step.x, look.target.y + step.y);
}

CPoint Pushed(const CArmy& army, const TargetLook& look, int radius, int facingMode) {
    const CPoint step = GetDirectionVector(CArmyElement::NormalizeDirection(army.m_facing + facingMode), radius);
    return CPoint(look.target.x + step.x, look.target.y + step.y);
}

// The near rows both rules share: hold the slot, or keep the own distance
// from the enemy.
CPoint NearTarget(const TargetLook& look) {
    if (look.enemyDistance < look.ownDistance) return look.target;
    return Shifted(look, look.ownDistance - look.enemyDistance);
}

}  // namespace

CPoint CArmy::GetSideOffset(int a, int b) const { return m_facing == kEast ? CPoint(b, a) : CPoint(-b, -a); }

void CArmy::SetDivisionTarget(CDivision* division, int sideMode, int x, int y, int radius, int facingMode,
                              int orderCode, int flag) {
    if (!division || !OnTick(*this)) return;
    auto side = [sideMode](const CDivision* e, CPoint t) {
        if (sideMode == 1) return e->m_x < t.x || e->m_y < t.y;
        if (sideMode == 0) return e->m_y > t.y;
        return e->m_y < t.y;
    };
    const TargetLook look = Look(*this, division, x, y, radius, side);
    CPoint p;
    int facing = facingMode;
    if (look.best < radius) {
        p = NearTarget(look);
        facing = FacingToward(*this, look);
    } else if (look.best < 1500) {
        p = Shifted(look, radius);
        facing = FacingToward(*this, look);
    } else {
        p = Pushed(*this, look, radius, facingMode);
    }
    OrderDivision(division, orderCode, p.x, p.y, 0x4000, facing, flag, 50, 0);
}

void CArmy::SetDivisionTargetEx(CDivision* division, int sideMode, int x, int y, int radius, int reachA, int reachB,
                                int facingMode, int orderCode, int flag) {
    if (!division || !OnTick(*this)) return;
    const int f = m_facing;
    auto side = [sideMode, f](const CDivision* e, CPoint t) {
        if (sideMode == 1 && f == kWest ? e->m_x < t.x : e->m_x > t.x) return true;
        if (sideMode == 3 && f == kWest ? e->m_x > t.x : e->m_x < t.x) return true;
        if (f == kWest) return sideMode == 0 ? e->m_y > t.y : e->m_y < t.y;
        if (f == kEast) return sideMode == 0 ? e->m_y < t.y : e->m_y > t.y;
        return false;
    };
    const TargetLook look = Look(*this, division, x, y, radius, side);
    if (look.best < radius) {
        const CPoint p = NearTarget(look);
        OrderDivision(division, orderCode, p.x, p.y, 0x4000, FacingToward(*this, look), flag, 50, 0);
    } else if (look.best < reachA) {
        if (look.enemy->m_present)
            OrderDivision(division, orderCode, look.enemy->m_x, look.enemy->m_y, 0x4000, -2, FALSE, 100, 0);
    } else if (look.best < reachB) {
        const CPoint p = Shifted(look, radius);
        OrderDivision(division, orderCode, p.x, p.y, 0x4000, FacingToward(*this, look), flag, 50, 0);
    } else {
        const CPoint p = Pushed(*this, look, radius, facingMode);
        OrderDivision(division, orderCode, p.x, p.y, 0x4000, facingMode, flag, 50, 0);
    }
}
