// The commander's division, its guards, and the guard of the headquarters.
#include <algorithm>
#include <vector>

#include "army/AIRules.h"
#include "army/ArmyAI.h"
#include "army/Army.h"
#include "army/CommanderGuards.h"
#include "army/DivisionState.h"
#include "core/Helpers.h"
#include "core/Random.h"
#include "field/BattleGrid.h"
#include "field/Terrain.h"
#include "Units/Battalion.h"
#include "Units/Unit.h"

using namespace ArmyDivision;
using namespace ArmyAIRules;

namespace {

constexpr int kFormationWithCommander = 103;

int Dist(CPoint a, CPoint b) { return Round(GetDistance(a.x, a.y, b.x, b.y, false)); }

// `from` moved `length` toward `to` (no move when they coincide).
CPoint Toward(CPoint from, CPoint to, int length) {
    const CPoint step = ScaleToLength(to.x - from.x, to.y - from.y, length);
    return CPoint(from.x + step.x, from.y + step.y);
}

int RelativeFacing(const CArmy& army, CPoint from, CPoint to) {
    return CArmyElement::NormalizeDirection(GetDirection(from.x, from.y, to.x, to.y) - army.m_facing);
}

}  // namespace

void CArmyAI::CommandDivisionStep(CArmy& army) {
    CDivision* first = army.GetDivision(0, FALSE);
    if (!first || IsLost(first)) return;
    if (RootOf(army) == kFormationWithCommander && !army.m_humanControlled) {
        auto place = [&](int threshold, CPoint at, int radius, int reachA, int reachB) {
            army.SetDivisionTargetEx(first, 3, at.x, at.y, radius, reachA, reachB, 0, radius <= threshold ? 512 : 1,
                                     1);
        };
        auto attack = [&] {
            const CPoint t = GetHeadquartersTarget(army, first->m_x, first->m_y);
            army.OrderDivision(first, 1, t.x, t.y, 0x4000, -2, FALSE, 200, 50);
            army.m_posture = 2;
        };
        const int d = Dist(army.m_armyPoint, army.GetPosition());
        if (army.m_randomTie < 2) {
            place(300, army.m_armyPoint, d, d + 500, d + 1000);
        } else if (army.m_battleJoined) {
            const CArmy* opp = army.m_opponent;
            if (opp && opp->m_detachmentsInPlay) {
                const int outside = opp->m_divisions.CountDetachmentBattalionsOutside();
                if (first->CountBattalions(TRUE, TRUE) < 1.3 * outside || army.m_posture == 2) attack();
                else if (army.m_randomTie == 3) place(400, first->GetPosition(), 400, 400, 500);
                else place(400, army.m_armyPoint, d, d + 500, d + 1000);
            } else if (army.m_posture == 2) {
                attack();
            } else {
                place(300, army.m_armyPoint, d, d + 500, d + 1000);
            }
        }
    } else if (army.m_battlefieldFlag && first->m_order.m_type != 512 && first->m_ready && army.m_randomTie > 0) {
        army.OrderDivision(first, 512, first->m_x, first->m_y, 0x100, -1, TRUE, 50, 0);
    }
    const CDivision* live = army.GetDivision(0, TRUE);
    army.m_commanderInDanger = live && live->IsBelowStrength(0.6) && live->m_contact >= 3;
}

void CArmyAI::CommanderGuardStep(CArmy& army) {
    if (army.m_battlefieldFlag || army.m_tickCount % 100 != 10 || !army.m_opponent) return;
    CDivList guards;
    for (POSITION pos = army.m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = army.m_divisions.GetDivision(pos);
        if (!IsLost(d) && d->m_flags == 0x101) guards.AddTail(d);
    }
    const int n = int(guards.GetCount());
    if (n < 1 || n > 2) {
        guards.RemoveAll(FALSE);
        return;
    }
    CPoint base = army.m_armyPoint;
    if (const CDivision* first = army.GetDivision(0, TRUE)) {
        const double dx = first->m_x - base.x, dy = first->m_y - base.y;
        if (dx * dx + dy * dy <= CommanderGuards::kBaseRadius * CommanderGuards::kBaseRadius)
            base = first->GetPosition();
    }
    const bool commanderFormation = RootOf(army) == kFormationWithCommander && !army.m_humanControlled;
    // The guard's point: near the base, between it and the enemy it watches.
    auto guard = [&](CDivision* g, const CDivision* e, int reach, CPoint fallback, int fallbackFacing, bool single) {
        CPoint p = fallback;
        int facing = fallbackFacing;
        if (e) {
            const int de = Dist(e->GetPosition(), base), dg = Dist(g->GetPosition(), base);
            if (de < reach) {
                p = de < dg ? base : Toward(base, e->GetPosition(), dg - de);
                facing = RelativeFacing(army, base, e->GetPosition());
            } else if (de < 1500) {
                p = Toward(base, e->GetPosition(), reach);
                facing = RelativeFacing(army, base, e->GetPosition());
            }
        }
        int value = 50;
        if (single && commanderFormation) p = army.m_armyPoint, value = 200;
        army.OrderDivision(g, 512, p.x, p.y, 0x101, facing, TRUE, value, 0);
    };
    if (n == 1) {
        const CDivision* e = army.m_opponent->m_divisions.FindNearest(base.x, base.y, TRUE, TRUE, 65535);
        const CPoint ahead = GetDirectionVector(army.m_facing, CommanderGuards::kLoneDistance);
        guard(guards.PopFront(TRUE), e, CommanderGuards::kLoneDistance, CPoint(base.x + ahead.x, base.y + ahead.y), 0,
              true);
    } else {
        for (int i = 0; i < 2; ++i) {
            CDivision* g = guards.PopMaxY();
            const bool above = (army.m_facing == 6) == (i == 0);  // watches the larger y
            const CDivision* e = nullptr;
            int best = 0;
            for (POSITION pos = army.m_opponent->m_divisions.GetHeadPosition(); pos;) {
                const CDivision* o = army.m_opponent->m_divisions.GetDivision(pos);
                if (IsLost(o)) continue;
                const int d = Dist(o->GetPosition(), base);
                const bool onSide = above ? o->m_y > base.y : o->m_y < base.y;
                if ((d < 400 || onSide) && (!e || d < best)) e = o, best = d;
            }
            const int relative = CommanderGuards::kPairTurns[i];
            const CPoint off = GetDirectionVector(CArmyElement::NormalizeDirection(army.m_facing + relative),
                                                  CommanderGuards::kPairDistance);
            guard(g, e, CommanderGuards::kPairDistance, CPoint(base.x + off.x, base.y + off.y), relative, false);
        }
    }
    guards.RemoveAll(FALSE);
}

void CArmyAI::GuardHeadquarters(CArmy& army) {
    if (!army.m_grid) return;
    for (CKeyPoint* h : army.m_headquarters) {
        if (!h) continue;
        const CPoint hq(h->m_x, h->m_y);
        const bool ready = h->IsReady();
        if (ready && h->IsFresh()) continue;
        std::vector<CUnit*> intruders;
        if (!ready) {
            CObList own, others;
            army.m_grid->GetElementsInRect(CRect(hq.x - 75, hq.y - 75, hq.x + 75, hq.y + 75), &own, &others,
                                           army.m_side);
            for (POSITION pos = others.GetHeadPosition(); pos;) {
                CUnit* u = dynamic_cast<CUnit*>(others.GetNext(pos));
                if (u && !(u->m_state == 14 && u->m_action.m_x == hq.x && u->m_action.m_y == hq.y)) intruders.push_back(u);
            }
            if (intruders.empty()) continue;
        }
        // Up to ten own units within 500 that can still fight.
        int sent = 0;
        for (POSITION dp = army.m_divisions.GetHeadPosition(); dp && sent < 10;) {
            CDivision* d = army.m_divisions.GetDivision(dp);
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp && sent < 10;) {
                CBattalion* b = d->m_battalions.GetBattalion(bp);
                for (POSITION up = b->m_units.GetHeadPosition(); up && sent < 10;) {
                    CUnit* u = b->m_units.GetUnit(up);
                    if (u->m_routed || u->m_lost || Dist(u->GetPosition(), hq) >= 500) continue;
                    ++sent;
                    CPoint target;
                    if (!ready) {
                        auto nearest = intruders.end();
                        int best = 200;
                        for (auto it = intruders.begin(); it != intruders.end(); ++it) {
                            const int dist = Dist((*it)->GetPosition(), u->GetPosition());
                            if (dist < best) best = dist, nearest = it;
                        }
                        if (nearest == intruders.end()) continue;
                        target = (*nearest)->GetPosition();
                        intruders.erase(nearest);
                    } else {
                        const int dy = CountedRand() % 201 - 100;
                        const int dx = CountedRand() % 201 - 100;
                        target = CPoint(hq.x + dx, hq.y + dy);
                    }
                    const int facing = GetDirection(u->m_x, u->m_y, target.x, target.y);
                    b->OrderToUnit(u->m_number, new CObjective(1, target.x, target.y, -1, facing), TRUE, TRUE, 50);
                }
            }
        }
    }
}
