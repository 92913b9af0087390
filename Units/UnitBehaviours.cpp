// The behaviours a unit runs, one a tick by its behaviour code: advancing,
// closing, charging, holding, falling back, fleeing, melee and shooting, and
// the engagement rules they share.
#include <algorithm>
#include <cmath>

#include "core/Helpers.h"
#include "core/Random.h"
#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "field/PathGrid.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Missile.h"
#include "Units/Unit.h"

namespace {

int64_t Dist2(int x1, int y1, int x2, int y2) {
    int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    return dx * dx + dy * dy;
}

int RoundedDistance(int x1, int y1, int x2, int y2) { return Round(GetDistance(x1, y1, x2, y2, false)); }

bool PathAllows(const CBattleGrid* grid, int x, int y) {
    const CPathGrid* fine = grid ? grid->GetFineGrid() : nullptr;
    return !fine || fine->IsPassableAt(x, y);
}

// The action's rectangle, or the square of `half` round its point.
CRect ZoneOf(const CObjective& o, int half) {
    if (o.m_extra1 != CObjective::kUnset && o.m_extra3 != CObjective::kUnset)
        return CRect(o.m_extra1, o.m_extra2, o.m_extra3, o.m_extra4);
    return CRect(o.m_x - half, o.m_y - half, o.m_x + half, o.m_y + half);
}

bool Inside(const CRect& r, int x, int y) { return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom; }

// Most a step aside may try before the unit stays where it is.
constexpr int kMaxAsideTries = 16;
// How far, and at what spacing, the line of fire is looked along for friends
// (a unit's body is 24 across).
constexpr int kFriendCheckReach = 90;
constexpr int kFriendCheckStep = 12;
// A rifle shot's ground speed: 5 x 20 field units a tick.
constexpr double kShotSpeed = 20.0;
// The ticks a rifle shot is aimed to fly over a unit's range.
int AimedShotTicks(double range) { return int(range / (5.0 * kShotSpeed)) + 1; }
// The least share of shots that must get through the cover on the way for
// a rifleman to take a target.
constexpr double kLeastClearance = 0.25;
// Most a unit may try to find a free spot when placed.
constexpr int kMaxPlaceTries = 200;

}  // namespace

int CUnit::SetBehaviour(int s) {
    int order = GetDivisionOrder();
    switch (s) {
    case 1:
    case 13:
        if (order == 64 || order == 16) s = 0;
        m_inMelee = 0, m_fleeing = 0;
        break;
    case 4:
    case 5: m_inMelee = 0, m_fleeing = 1; break;
    case 7:
    case 8:
    case 9:
    case 10:
    case 14:
    case 16: m_inMelee = 1, m_fleeing = 0; break;
    default: m_inMelee = 0, m_fleeing = 0; break;
    }
    if (IsMissileKind(m_kind)) {
        if (s == 3) s = 11;
        if (m_kind == KIND_RIFLEMAN && (s == 7 || s == 9)) s = 11;
    }
    m_action.m_type = s;
    m_state = s;
    return m_kind;
}

BOOL CUnit::IsOutOfAction() const {
    int b = GetBehaviour();
    if (m_busyCounter > 0 || !m_active || !m_placed || m_fleeing || m_lost || m_removed) return TRUE;
    if (b == 12 || (b == 1 && !m_atSlot)) return TRUE;
    if (b == 2 || b == 7 || b == 8 || b == 9 || b == 10 || b == 14 || b == 16) return TRUE;
    if (m_secondBehaviour == 12 || m_secondBehaviour == 2 || (m_secondBehaviour == 1 && !m_atSlot)) return TRUE;
    return FALSE;
}

int CUnit::GetHoldChance(const CUnit* attacker) const {
    int b = GetBehaviour();
    int bt = GetBattType();
    if (bt == 2 || bt == 4 || b == 5 || b == 15 || m_slot.m_type == 5) return 100;
    if (!attacker || attacker->m_sideId == m_sideId || b == 0 || b == 2 || b == 4 || b == 6) return 100;
    if (m_grid && m_grid->IsLineBlocked(m_x, m_y, attacker->m_x, attacker->m_y)) return 100;
    if (Dist2(attacker->m_x, attacker->m_y, m_action.m_x, m_action.m_y) >= 90001 || b == 7 || b == 14 || b == 16)
        return 95;
    bool officer = m_kind == KIND_CAPTAIN || m_kind == KIND_CAPTAIN_ON_HORSE;
    if (m_atSlot && m_battalion && m_battalion->m_contact) return officer ? 75 : 20;
    return officer ? 95 : 50;
}

void CUnit::RespondToAttack(CUnit* attacker) {
    if (!attacker) return;
    int roll = CountedRand() % 100 + 1;
    if (roll <= GetHoldChance(attacker)) return;
    CUnitList responders;
    bool command = IsMeleeType();
    if (m_battalion) {
        for (POSITION pos = m_battalion->m_units.GetHeadPosition(); pos;) {
            CUnit* u = m_battalion->m_units.GetUnit(pos);
            if (!u->m_active || !u->m_placed || u == this || Dist2(m_x, m_y, u->m_x, u->m_y) > 10000) continue;
            if (!command && u->IsMeleeType()) continue;
            int r = CountedRand() % 100 + 1;
            if (r <= u->GetHoldChance(attacker)) continue;
            responders.AddTail(u);
            if (!command || responders.GetCount() > 2) break;
        }
    }
    if (!command || responders.GetCount() <= 2) responders.AddTail(this);
    for (POSITION pos = responders.GetHeadPosition(); pos;) {
        CUnit* u = responders.GetUnit(pos);
        u->m_engagePoint = attacker->GetPosition();
        u->m_action.m_x = attacker->m_x, u->m_action.m_y = attacker->m_y;
        u->SetBehaviour(2);
    }
    responders.RemoveAll(FALSE);
}

CUnit* CUnit::ChooseTarget(const CRect& area, const CUnitList* candidates, BOOL ignoreReach) {
    if (!candidates || candidates->IsEmpty()) return nullptr;
    CUnit* choice = nullptr;
    int best = 10000;
    for (POSITION pos = candidates->GetHeadPosition(); pos;) {
        CUnit* c = candidates->GetUnit(pos);
        if (!c->m_active || !Inside(area, c->m_x, c->m_y)) continue;
        // The reach test: the range, and for a rifleman a line of fire. The
        // line is walked only for a candidate that could be chosen.
        if (!ignoreReach && !IsTargetInRange(c)) continue;
        int engagers = 0;
        for (POSITION e = c->m_engagers.GetHeadPosition(); e;) {
            const CUnit* u = c->m_engagers.GetUnit(e);
            if (!u->m_removed && !u->m_routed) ++engagers;
        }
        bool command = c->IsMeleeType();
        if (command) {
            if (engagers > 6 || (!ignoreReach && !HasLineOfFire(c))) continue;
            int draw = CountedRand() % 3 + 1;
            if (draw == 1) {
                ++c->m_targetedCount;
                return c;
            }
        } else if (engagers > 3) {
            continue;
        }
        if (c->m_targetedCount <= (command ? 7 : 4)) {
            int d = RoundedDistance(m_x, m_y, c->m_x, c->m_y);
            if (d < best && (ignoreReach || HasLineOfFire(c))) best = d, choice = c;
        }
    }
    // An empty choice keeps to the first of the list.
    if (!choice) choice = candidates->GetHead();
    if (choice) ++choice->m_targetedCount;
    return choice;
}

CUnit* CUnit::FindEnemy(int x, int y, int reach, BOOL checkLine) {
    int r = std::max(25, int((1 - GetArmyConditions().visibility) * reach));
    if (x == m_x && y == m_y) {
        CUnit* found = m_enemies.FindTarget(x, y, r, 3, checkLine, CRect());
        if (found || r < 101) return found;
    }
    if (!m_grid) return nullptr;
    CObList own, others;
    m_grid->GetElementsInRect(CRect(x - r, y - r, x + r, y + r), &own, &others, m_armyId);
    CUnit* choice = nullptr;
    int64_t best = int64_t(r) * r;
    for (POSITION pos = others.GetHeadPosition(); pos;) {
        auto* u = dynamic_cast<CUnit*>(others.GetNext(pos));
        if (!u || !u->m_active) continue;
        int capacity = u->m_kind == KIND_MARSHALL ? 9 : u->m_kind == KIND_GENERAL ? 6 : 3;
        if (u->m_engagers.GetCount() >= capacity) continue;
        int64_t d2 = Dist2(x, y, u->m_x, u->m_y);
        if (d2 > int64_t(r) * r) continue;
        if (checkLine && m_grid->IsLineBlocked(x, y, u->m_x, u->m_y)) continue;
        if (d2 <= best) {
            choice = u;
            int d = Round(std::sqrt(double(d2)));
            best = int64_t(d) * d;
        }
    }
    return choice;
}

double CUnit::GetStanceFactor() const {
    double base;
    switch (GetBehaviour()) {
    case 0: case 15: base = 0.4; break;
    case 1: case 3: case 7: case 11: base = 1.25; break;
    case 4: case 5: base = m_trainingFactor * 0.1; break;
    case 6: case 10: case 12: case 14: case 16: base = 0.75; break;
    default: base = 1.0; break;
    }
    double bonus;
    switch (GetDivisionOrder()) {
    case 1: bonus = 0.7; break;
    case 2: bonus = 0.9; break;
    case 16: bonus = 0.2; break;
    case 128: bonus = 1.5; break;
    case 512: bonus = 1.25; break;
    case 4: case 8: case 32: case 64: case 256: case 1024: case 2048: case 4096: bonus = 0.3; break;
    default: bonus = 0; break;
    }
    return (base + bonus) * 0.5;
}

BOOL CUnit::IsFacingToward(int x, int y, int tolerance) const {
    int d = Heading8(x - m_x, y - m_y);
    int f = NormalizeDirection(m_facing);
    int diff = DirectionDelta(f, d);
    return diff <= tolerance || 8 - diff <= tolerance;
}

CUnit* CUnit::NearestEnemy(int reach) const {
    CUnit* best = nullptr;
    int bestD = reach + 1;
    for (POSITION pos = m_enemies.GetHeadPosition(); pos;) {
        CUnit* e = m_enemies.GetUnit(pos);
        if (!e->m_active || e->m_headCount <= 0) continue;
        int d = RoundedDistance(m_x, m_y, e->m_x, e->m_y);
        if (d < bestD) bestD = d, best = e;
    }
    return best;
}

// --- behaviours 0..7 and 11 ---------------------------------------------------

BOOL CUnit::Advance() {
    m_inMelee = m_fleeing = 0;
    AdjustMorale(0);
    BuildReadiness();
    if (GetRating() < 350) AdjustMorale(2.0);
    if (!IsMissileKind(m_kind)) {
        if (m_enemies.IsEmpty()) {
            SetSpeed(0.75);
            return MoveTo(m_frames.route[0], m_frames.route[1], 1, -1000, -1000);
        }
        SetSpeed(0.7);
        return MoveTo(m_frames.close[0], m_frames.close[1], 2, -1000, -1000);
    }
    SetSpeed(0.75);
    int reach = int(m_speed) + m_coverBonus;
    bool far = Dist2(m_x, m_y, m_action.m_x, m_action.m_y) > int64_t(reach) * reach;
    if (far && m_battalion && !m_battalion->m_nearbyEnemies.IsEmpty() &&
        !(m_kind == KIND_RIFLEMAN && m_onWater)) {
        int order = GetDivisionOrder();
        if (order != 64 && order != 16) {
            CRect everywhere(0, 0, 3000, 2000);
            CUnit* target = ChooseTarget(everywhere, &m_battalion->m_nearbyEnemies, FALSE);
            if (target && IsTargetInRange(target) && HasLineOfFire(target) &&
                m_action.SetTarget(this, target, FALSE, FALSE)) {
                SetBehaviour(8);
                return TRUE;
            }
        }
    }
    return MoveTo(m_frames.route[0], m_frames.route[1], 1, -1000, -1000);
}

BOOL CUnit::CloseWithTarget() {
    m_inMelee = m_fleeing = 0;
    AdjustMorale(0);
    int order = GetDivisionOrder();
    if (order == 64 || order == 16) {
        SetBehaviour(0);
        return TRUE;
    }
    BuildReadiness();
    if (m_kind == KIND_RIFLEMAN) {
        SetBehaviour(11);
        return TRUE;
    }
    if (m_kind < 0 || m_kind > 8) return FALSE;
    SetSpeed(0.7);
    if (CUnit* t = m_action.m_target) {
        int d = RoundedDistance(m_x, m_y, t->m_x, t->m_y);
        if (d < m_reach + 50) {
            if (d <= m_reach) {
                SetBehaviour(7);
                return TRUE;
            }
            if (m_kind == KIND_SWORDMAN && d <= t->m_reach) {
                int diff = DirectionDelta(NormalizeDirection(m_facing), NormalizeDirection(t->m_facing));
                int roll = CountedRand() % 100 + 1;
                if ((diff == 3 || diff == 4) && roll > 9) return TRUE;
            }
            return MoveTo(m_frames.close[0], m_frames.close[1], 2, t->m_x, t->m_y);
        }
        m_action.SetTarget(this, nullptr, FALSE, FALSE);
    }
    if (m_enemies.IsEmpty()) return MoveTo(m_frames.route[0], m_frames.route[1], 1, -1000, -1000);
    CUnit* e = NearestEnemy(m_reach + 30);
    if (!e) return MoveTo(m_frames.close[0], m_frames.close[1], 2, -1000, -1000);
    int chance = 10;
    if (m_slot.HasPoint() && RoundedDistance(e->m_x, e->m_y, m_slot.m_x, m_slot.m_y) <
                                 RoundedDistance(m_x, m_y, m_slot.m_x, m_slot.m_y))
        chance = GetBattType() == 3 ? 35 : 20;
    chance += 10 - 10 * m_engagers.GetCount();
    if (e->m_kind == KIND_MARSHALL) chance += 50;
    if ((e->m_kind == KIND_GENERAL || e->m_kind == KIND_CAPTAIN || e->m_kind == KIND_CAPTAIN_ON_HORSE) &&
        e->m_combat < 15)
        chance += 15;
    int roll = CountedRand() % 101;
    if (roll < chance && m_action.SetTarget(this, e, TRUE, TRUE))
        return MoveTo(m_frames.close[0], m_frames.close[1], 2, e->m_x, e->m_y);
    return MoveTo(m_frames.close[0], m_frames.close[1], 2, -1000, -1000);
}

BOOL CUnit::Charge() {
    int bt = GetBattType();
    if (bt == 2 || bt == 4) {
        SetBehaviour(11);
        return TRUE;
    }
    m_inMelee = m_fleeing = 0;
    AdjustMorale(1.0);
    if (m_readiness > 99)
        m_readiness = 100;
    else
        m_readiness = int8_t(m_readiness + (IsMounted() ? (m_exertion < 3000 ? 2 : 1) : 1));
    if (IsMissileKind(m_kind)) return FALSE;
    if (m_blockedTicks > 5) {
        SetBehaviour(1);
        return TRUE;
    }
    SetSpeed(1.0);
    if (!m_enemies.IsEmpty()) {
        int order = GetDivisionOrder();
        CUnit* e = nullptr;
        if (order == 1 || order == 2 || order == 4 || order == 8 || order == 16 || order == 4096) {
            e = NearestEnemy(m_reach);
        } else if (order == 128 || order == 512) {
            // Holding ground: a unit that has left the ground it holds goes
            // back to closing with the enemy it meets.
            const CDivision* division = GetDivision();
            const CObjective* held = division ? &division->m_order : nullptr;
            bool inside = !held || held->m_extra1 == CObjective::kUnset || held->m_extra3 == CObjective::kUnset ||
                          Inside(CRect(held->m_extra1, held->m_extra2, held->m_extra3, held->m_extra4), m_x, m_y);
            if (inside) {
                e = NearestEnemy(m_reach);
            } else if (NearestEnemy(2 * m_reach)) {
                SetBehaviour(1);
                return TRUE;
            }
        } else if (NearestEnemy(2 * m_reach)) {
            SetBehaviour(1);
            return TRUE;
        }
        if (e && ChargeContact(e)) return TRUE;
    }
    if (MoveTo(m_frames.charge[0], m_frames.charge[1], 15, -1000, -1000)) AdjustMorale(IsMounted() ? 2.0 : 1.0);
    return TRUE;
}

namespace {

// The clockwise number of facing steps from `from` to `to`, 0..7.
int ClockwiseSteps(int from, int to) { return ((to - from) % 8 + 8) % 8; }

// One counted draw of 1..100.
int Percent() { return CountedRand() % 100 + 1; }

}  // namespace

BOOL CUnit::MeleeWithChance(CUnit* e, int chance, bool ranged) {
    int roll = ranged ? RandomRange(1, 100, -1) : Percent();
    if (roll > chance) return FALSE;
    m_action.SetTarget(this, e, TRUE, TRUE);
    SetBehaviour(7);
    return TRUE;
}

BOOL CUnit::ChargeContact(CUnit* e) {
    const int bt = GetBattType();
    const int d = m_readiness;
    const int facingSteps = ClockwiseSteps(NormalizeDirection(m_facing), NormalizeDirection(e->m_facing));
    const int spearHold = int(100 * e->m_condition + e->m_level);
    if (bt != 1 && (!IsMounted() || m_engagers.GetCount() > 3)) {
        // On foot, or hemmed in: the charge may simply come to grips.
        int roll = RandomRange(1, (bt == 3 ? 150 : 100) + m_exertion / 250, -1);
        if (roll >= int(m_morale / 30)) {
            if (m_action.SetTarget(this, e, TRUE, TRUE)) SetBehaviour(7);
            return TRUE;
        }
        switch (e->m_kind) {
        case KIND_ARCHER:
        case KIND_RIFLEMAN:
            if (Percent() <= std::max(5, d - 30)) {
                e->TakeBlow(d, this);
                if (e->m_battalion) e->m_battalion->AdjustMorale(-30);
            }
            return FALSE;
        case KIND_SWORDMAN:
            if (Percent() < std::min(20, d - 70)) {
                e->TakeBlow(d / 2, this);
                return FALSE;
            }
            return MeleeWithChance(e, e->m_readiness / 2 - d + 40, false);
        case KIND_SPEARMAN: {
            bool braced = facingSteps >= 3 && facingSteps <= 5;
            if (braced) braced = RandomRange(1, 100, -1) > d - 20;
            if (braced) braced = Percent() < spearHold;
            if (braced) {
                // The spearmen hold: the charge breaks on them.
                SetBehaviour(7);
                if (Percent() > 185 - d) TakeBlow(2 * d, e);
                return TRUE;
            }
            if (RandomRange(1, 100, -1) <= std::min(25, d - 60)) {
                e->TakeBlow(d / 4, this);
                return FALSE;
            }
            return MeleeWithChance(e, 70 - d, false);
        }
        case KIND_CAVALRY:
            if (RandomRange(1, 100, -1) <= std::min(32, d - 30)) e->TakeBlow(d / 3, this);
            return FALSE;
        default:
            if (m_action.SetTarget(this, e, TRUE, TRUE)) SetBehaviour(7);
            return TRUE;
        }
    }
    // Horsemen at full tilt strike only while they still have the wind.
    int wind = CountedRand() % 1501;
    if (m_exertion >= 3500 + wind) return FALSE;
    int nerve = CountedRand() % 1201;
    if (m_morale <= nerve) {
        if (!m_action.SetTarget(this, e, TRUE, TRUE)) return FALSE;
        return MeleeWithChance(e, d - 90, true);
    }
    switch (e->m_kind) {
    case KIND_ARCHER:
    case KIND_RIFLEMAN:
        if (Percent() <= std::max(5, d - 30)) {
            e->TakeBlow(2 * d, this);
            if (e->m_battalion) e->m_battalion->AdjustMorale(-80);
            return FALSE;
        }
        return MeleeWithChance(e, 15 - d, false);
    case KIND_SWORDMAN:
        if (Percent() <= d - 70) {
            e->TakeBlow(d / 2, this);
            return FALSE;
        }
        return MeleeWithChance(e, 30 - d, false);
    case KIND_SPEARMAN: {
        bool braced = facingSteps == 4 || facingSteps == 5;
        if (braced) {
            int roll = Percent();
            braced = roll > d - 85 && roll < spearHold;
        }
        if (braced) {
            SetBehaviour(7);
            if (Percent() > 125 - d) TakeBlow(2 * d, e);
            return TRUE;
        }
        if (Percent() <= d - 50) {
            e->TakeBlow(2 * d, this);
            return FALSE;
        }
        return MeleeWithChance(e, 70 - d, false);
    }
    case KIND_CAVALRY:
        if (Percent() <= d - 90) {
            e->TakeBlow(d / 3, this);
            return FALSE;
        }
        return MeleeWithChance(e, 40 - d, true);
    default:
        if (!m_action.SetTarget(this, e, TRUE, TRUE)) return FALSE;
        return MeleeWithChance(e, d - 90, false);
    }
}

BOOL CUnit::AttackArea() {
    m_inMelee = m_fleeing = 0;
    AdjustMorale(0);
    BuildReadiness();
    if (GetRating() < 350) AdjustMorale(2.0);
    CRect area = ZoneOf(m_action, 45);
    area.InflateRect(m_reach, m_reach);
    SetSpeed(0.75);
    if (m_enemies.IsEmpty()) return MoveTo(m_frames.route[0], m_frames.route[1], 1, -1000, -1000);
    if (Dist2(m_x, m_y, m_action.m_x, m_action.m_y) <= int64_t(m_reach + 30) * (m_reach + 30)) {
        if (CUnit* e = NearestEnemy(m_reach + 30)) {
            if (!IsMounted() && e->IsMounted() && e->GetBehaviour() == 2) {
                CPoint step = ScaleToLength(m_x - e->m_x, m_y - e->m_y, 50);
                m_action.m_x = m_x + step.y, m_action.m_y = m_y - step.x;
                SetBehaviour(6);
                return TRUE;
            }
            if (Inside(area, e->m_x, e->m_y)) m_action.m_x = e->m_x, m_action.m_y = e->m_y;
        }
    }
    return MoveTo(m_frames.close[0], m_frames.close[1], 2, -1000, -1000);
}

BOOL CUnit::FallBack() {
    m_inMelee = 0, m_fleeing = 1;
    AdjustMorale(-5.0);
    BuildReadiness();
    SetSpeed(IsMissileKind(m_kind) ? 0.4 : 1.0);
    BOOL moved = MoveTo(m_frames.flee[0], m_frames.flee[1], 3, -1000, -1000);
    bool inside = m_fieldRect.left >= 0 && m_fieldRect.top >= 0 && m_fieldRect.right < 3000 && m_fieldRect.bottom < 2000;
    if (moved && inside) return TRUE;
    return LeaveField();
}

BOOL CUnit::Flee() {
    m_inMelee = 0, m_fleeing = 1;
    AdjustMorale(-5.0);
    BuildReadiness();
    if (!m_removed) BreakAway();
    SetSpeed(IsMissileKind(m_kind) ? 0.75 : 1.0);
    int reach = int(m_speed) + m_coverBonus;
    // At its flight point on the field's edge the unit is gone.
    if (Dist2(m_x, m_y, m_action.m_x, m_action.m_y) <= int64_t(reach) * reach && m_steps.IsEmpty())
        return LeaveField();
    if (!MoveTo(m_frames.flee[0], m_frames.flee[1], 3, -1000, -1000)) return FALSE;
    CRect r = m_fieldRect;
    if (r.left >= -10 && r.top >= -10 && r.right <= 3010 && r.bottom <= 2010) return TRUE;
    return LeaveField();
}

BOOL CUnit::Withdraw() {
    if (m_kind < 0 || m_kind > 8) return FALSE;
    m_inMelee = 0, m_fleeing = 0;
    AdjustMorale(-5.0);
    BuildReadiness();
    SetSpeed(0.75);
    return MoveTo(m_frames.route[0], m_frames.route[1], 1, -1000, -1000);
}

BOOL CUnit::BackOffStep() {
    m_inMelee = m_fleeing = 0;
    AdjustMorale(-5.0);
    BuildReadiness();
    SetSpeed(0.6);
    if (m_enemies.IsEmpty()) return MoveTo(m_frames.route[0], m_frames.route[1], 1, -1000, -1000);
    return MoveTo(m_frames.close[0], m_frames.close[1], 2, -1000, -1000, TRUE);
}

BOOL CUnit::Melee() {
    m_inMelee = 1, m_fleeing = 0;
    AdjustMorale(0);
    BuildReadiness();
    CountEvent(5);
    CRect box = ZoneOf(m_slot, m_battalion ? std::max(50, 15 * m_battalion->m_units.GetCount()) : 50);
    box.InflateRect(m_reach, m_reach);
    int roll = RandomRange(1, 100, -1);
    int threshold = m_tickCount - m_lastTick < 60 ? 0 : !m_atSlot ? (GetDivisionOrder() == 64 || GetDivisionOrder() == 16 ? 25 : 10) : 1;
    CUnit* t = m_action.m_target;
    if (roll < threshold) {
        m_action.SetTarget(this, nullptr, FALSE, FALSE);
        t = nullptr;
    } else if (t && t->m_headCount > 0 && t->m_active) {
        // Within reach the unit faces its enemy and strikes when its arm is free.
        if (Dist2(m_x, m_y, t->m_x, t->m_y) <= int64_t(m_reach + 10) * (m_reach + 10)) {
            int facing = GetDirection(m_x, m_y, t->m_x, t->m_y);
            if (facing != m_facing) {
                TurnToward(facing);
            } else if (m_strikeTimer <= 0) {
                MeleeStrike(t);
            }
            StepFrame(m_frames.rangeF[0], m_frames.rangeF[1]);
            return TRUE;
        }
    }
    if (t && (!t->m_active || t->m_headCount <= 0)) {
        m_action.SetTarget(this, nullptr, FALSE, FALSE);
        t = nullptr;
    }
    if (t && Inside(box, t->m_x, t->m_y)) {
        SetSpeed(0.7);
        return MoveTo(m_frames.close[0], m_frames.close[1], 2, t->m_x, t->m_y);
    }
    if (t) m_action.SetTarget(this, nullptr, FALSE, FALSE);
    SetBehaviour(1);
    NextStep(FALSE);
    m_frame = m_frames.close[0];
    return TRUE;
}

BOOL CUnit::HoldPlace() {
    m_inMelee = m_fleeing = 0;
    AdjustMorale(0);
    BuildReadiness();
    if (GetRating() < 350) AdjustMorale(2.0);
    if (IsMissileKind(m_kind)) {
        CRect zone = ZoneOf(m_action, 100);
        SetSpeed(0.75);
        int reach = int(m_speed) + m_coverBonus;
        if (Dist2(m_x, m_y, m_action.m_x, m_action.m_y) > int64_t(reach) * reach) {
            SetBehaviour(0);
            return TRUE;
        }
        if (m_battalion && !m_battalion->m_nearbyEnemies.IsEmpty()) {
            CUnit* target = ChooseTarget(CRect(0, 0, 3000, 2000), &m_battalion->m_nearbyEnemies, FALSE);
            if (target && IsTargetInRange(target)) {
                if (Dist2(m_x, m_y, target->m_x, target->m_y) < 1601) {
                    CPoint step = ScaleToLength(m_x - target->m_x, m_y - target->m_y, 100);
                    if (step == CPoint(0, 0)) step = GetDirectionVector(NormalizeDirection(m_facing + 4), 100);
                    m_action.m_x = m_x + step.x, m_action.m_y = m_y + step.y;
                    SetBehaviour(4);
                    return TRUE;
                }
                if (!(m_kind == KIND_RIFLEMAN && m_onWater) && HasLineOfFire(target) &&
                    m_action.SetTarget(this, target, FALSE, FALSE)) {
                    m_action.m_extra1 = zone.left, m_action.m_extra2 = zone.top;
                    m_action.m_extra3 = zone.right, m_action.m_extra4 = zone.bottom;
                    SetBehaviour(8);
                    return TRUE;
                }
            }
        }
        int facing = m_action.m_facing;
        if (facing < 0) facing = GetDirection(m_x, m_y, m_action.m_x, m_action.m_y);
        m_desiredFacing = NormalizeDirection(facing % 8);
        m_frame = m_frames.rest;
        SetExertion(-3);
        TurnToward(m_desiredFacing);
        NextStep(FALSE);
        return TRUE;
    }
    CRect zone = ZoneOf(m_action, 100);
    zone.InflateRect(m_reach, m_reach);
    SetSpeed(0.75);
    if (m_enemies.IsEmpty()) return MoveTo(m_frames.route[0], m_frames.route[1], 1, -1000, -1000);
    int order = GetDivisionOrder();
    // A division the army has let loose on the enemy looks farther about.
    const CDivision* division = GetDivision();
    const bool aggressive = division && division->IsFlagSet();
    int scan = order == 1 || order == 2 ? m_reach + 70 + (aggressive ? 50 : 0)
               : order == 512           ? m_reach + 60 + (aggressive ? 20 : 0)
                                        : m_reach + 50;
    if (CUnit* e = NearestEnemy(scan)) {
        if (!IsMounted() && e->IsMounted() && e->GetBehaviour() == 2) {
            CPoint step = ScaleToLength(m_x - e->m_x, m_y - e->m_y, 50);
            m_action.m_x = m_x + step.y, m_action.m_y = m_y - step.x;
            SetBehaviour(6);
            return TRUE;
        }
        if (Inside(zone, e->m_x, e->m_y) && m_action.SetTarget(this, e, TRUE, TRUE)) {
            SetBehaviour(1);
            return TRUE;
        }
    }
    if (GetBattType() == 3) AnswerEnemiesInFront();
    return MoveTo(m_frames.close[0], m_frames.close[1], 2, -1000, -1000);
}

void CUnit::AnswerEnemiesInFront() {
    for (POSITION pos = m_enemies.GetHeadPosition(); pos;) {
        CUnit* e = m_enemies.GetUnit(pos);
        int b = e->GetBehaviour();
        if (b == 7 || b == 14 || b == 16 || e->GetDivisionOrder() == 64) continue;
        if (IsFacingToward(e->m_x, e->m_y, 1)) ReactToAttack(e);
    }
}

// Steps aside to the action point, then back to the way it was on.
BOOL CUnit::StepAside() {
    m_inMelee = m_fleeing = 0;
    SetSpeed(0.6);
    int reach = int(m_speed) + m_coverBonus;
    if (Dist2(m_x, m_y, m_action.m_x, m_action.m_y) <= int64_t(reach) * reach || m_blockedTicks > 5) {
        m_blockedTicks = 0;
        SetBehaviour(IsMissileKind(m_kind) ? 11 : 0);
        NextStep(FALSE);
        return TRUE;
    }
    return MoveTo(m_frames.close[0], m_frames.close[1], 1, -1000, -1000);
}

// Goes to its action point (a headquarters, a key point, an engagement)
// and holds there.
BOOL CUnit::GoToPoint() {
    BuildReadiness();
    SetSpeed(0.75);
    int reach = int(m_speed) + m_coverBonus;
    if (Dist2(m_x, m_y, m_action.m_x, m_action.m_y) <= int64_t(reach) * reach) {
        SetBehaviour(IsMissileKind(m_kind) ? 11 : 1);
        return TRUE;
    }
    return MoveTo(m_frames.close[0], m_frames.close[1], 2, -1000, -1000);
}

BOOL CUnit::LeaveField() {
    if (m_kind < 0 || m_kind > 8) return FALSE;
    m_inMelee = 0, m_fleeing = 1;
    SetSpeed(0);
    m_active = 0;
    if (m_battalion) m_battalion->OnUnitLost(this);
    for (CUnitList* list : {&m_engagers, &m_engagers2})
        while (CUnit* u = list->GetHead()) u->m_action.SetTarget(u, nullptr, FALSE, FALSE);
    m_action.SetTarget(this, nullptr, FALSE, FALSE);
    if (m_grid) m_grid->MoveElement(CRect(-1000, -1000, -1000, -1000), this);
    m_x = m_y = -1000;
    m_exactPos = CVector(-1000, -1000);
    if (m_icon) m_icon->MoveTo(-1000, -1000);
    return TRUE;
}

BOOL CUnit::PlaceFree() {
    if (!m_grid) return TRUE;
    CRect r = m_moveRect;
    r.OffsetRect(m_x, m_y);
    if (m_grid->MoveElement(r, this)) {
        SetPositionExact(m_exactPos, FALSE, FALSE);
        return TRUE;
    }
    for (int i = 1; i <= kMaxPlaceTries; ++i) {
        int k = 3 * i;
        int dx = RandomRange(-k, k, -1);
        int dy = RandomRange(-k, k, -1);
        CRect t = m_moveRect;
        t.OffsetRect(m_x + dx, m_y + dy);
        bool onField = t.left >= 0 && t.top >= 0 && t.right < 3000 && t.bottom < 2000;
        if (onField && m_grid->MoveElement(t, this)) {
            SetPositionExact(CVector(m_x + dx, m_y + dy), FALSE, FALSE);
            return TRUE;
        }
    }
    return FALSE;
}

// --- shooting -------------------------------------------------------------

BOOL CUnit::IsTargetInRange(const CUnit* target) const {
    if (!target) return FALSE;
    int d = RoundedDistance(m_x, m_y, target->m_x, target->m_y);
    if (d > 10000) return FALSE;
    if (m_kind == KIND_ARCHER) {
        const CAltitudeMap* a = m_grid ? m_grid->GetAltitudeMap() : nullptr;
        double h = a ? a->GetAltitude(target->m_x, target->m_y) - a->GetAltitude(m_x, m_y) : 0.0;
        return (h <= -8.0 && d < 260) || (h <= 0.0 && d < 215) || (h <= 5.0 && d < 170) || d <= 50;
    }
    if (m_kind == KIND_RIFLEMAN) return d < m_range;
    return FALSE;
}

// A rifle shot flies flat, and every step of it inside cover may end it
// there; an arrow rises over the cover between. A rifleman takes a target
// only when enough of his shots would get through the cover on the way.
bool CUnit::HasLineOfFire(const CUnit* target) const {
    if (m_kind != KIND_RIFLEMAN || !m_grid || !target) return true;
    const CAltitudeMap* alt = m_grid->GetAltitudeMap();
    double a0 = alt ? alt->GetAltitude(m_x, m_y) : 0.0;
    double rise = alt ? alt->GetAltitude(target->m_x, target->m_y) - a0 : 0.0;
    // The shot climbs rise / t a tick over 5 x its speed, as Fire builds it.
    int t = AimedShotTicks(m_range);
    double climb = rise / t / (5.0 * kShotSpeed);
    return m_grid->ShotClearance(m_x, m_y, target->m_x, target->m_y, a0, climb, kLeastClearance) >= kLeastClearance;
}

BOOL CUnit::Fire(int tx, int ty) {
    if (!IsMissileKind(m_kind)) return FALSE;
    const CAltitudeMap* alt = m_grid ? m_grid->GetAltitudeMap() : nullptr;
    double a0 = alt ? alt->GetAltitude(m_x, m_y) : 0.0;
    double a1 = alt ? alt->GetAltitude(tx, ty) : 0.0;
    double rise = a1 - a0;
    int jx, jy;
    if (m_kind == KIND_ARCHER) {
        jy = CountedRand() % 21 - 10;
        jx = CountedRand() % 21 - 10;
    } else {
        jy = RandomRange(-10, 10, -1);
        jx = RandomRange(-10, 10, -1);
    }
    int dx = tx - m_x + jx, dy = ty - m_y + jy;
    int d = Round(std::sqrt(double(dx) * dx + double(dy) * dy));
    CPoint start(m_x, m_y);
    if (d == 0) {
        // Aimed at its own spot: the missile leaves along the facing.
        CPoint f = GetDirectionVector(NormalizeDirection(m_facing), 5);
        dx = f.x, dy = f.y, d = 5;
    }
    start.x += dx * 5 / d;
    start.y += dy * 5 / d;
    CMissile* m;
    if (m_kind == KIND_ARCHER) {
        int n = RoundedDistance(m_x, m_y, tx, ty);
        bool low = n < 100 || (n < 145 && rise < 3.0) || (n >= 145 && n < 195 && rise < 0.0) ||
                   (n >= 195 && n < 220 && rise < -7.0);
        m = new CMissile(FALSE, a0, 30.0, low ? 18 : 30, m_combat2, dx, dy, start.x, start.y, this);
    } else {
        int t = AimedShotTicks(m_range);
        m = CMissile::MakeAimed(TRUE, a0, kShotSpeed, rise / t, m_combat2, dx, dy, start.x, start.y, this, t);
    }
    delete static_cast<CMissile*>(m_pendingMissile);
    m_pendingMissile = m;
    return TRUE;
}

// The line of fire is looked along for the first few ranks before the
// unit: the first man met there decides. A friend holds the shot, which
// would fall on his back; an enemy takes it. Beyond that reach a shot may
// still fall among friends, as it may fall on cover.
bool CUnit::FriendInLineOfFire(int tx, int ty) const {
    if (!m_grid) return false;
    const double dx = tx - m_x, dy = ty - m_y, d = std::sqrt(dx * dx + dy * dy);
    const int reach = std::min(kFriendCheckReach, int(d));
    for (int k = kFriendCheckStep; k <= reach; k += kFriendCheckStep) {
        int x = m_x + int(dx * k / d), y = m_y + int(dy * k / d);
        if (auto* u = dynamic_cast<CUnit*>(m_grid->FindElementAt(x, y, this))) return u->m_sideId == m_sideId;
    }
    return false;
}

BOOL CUnit::ShootAt(int tx, int ty) {
    int want = Heading8(tx - m_x, ty - m_y);
    m_desiredFacing = want;
    if (want != m_facing) {
        TurnToward(want);
        return TRUE;
    }
    if (FriendInLineOfFire(tx, ty)) {
        m_frame = m_frames.rest;
        m_shotCycle = 0;
        return FALSE;
    }
    SetExertion(2);
    // A rifleman reloads: two a tick against the one his shooting regains,
    // so the count may dip below 0; holding it at 0 would let the regained
    // point keep the reload from ever ending.
    if (m_kind == KIND_RIFLEMAN && m_readiness > 0) {
        m_readiness = int8_t(m_readiness - 2);
        return TRUE;
    }
    const BYTE* range = m_kind == KIND_RIFLEMAN ? m_frames.rangeH : m_frames.rangeG;
    if (m_shotCycle == 0) m_frame = range[0];
    else StepFrame(range[0], range[1]);
    ++m_shotCycle;
    if (m_frame == range[1]) {
        Fire(tx, ty);
        if (m_kind == KIND_RIFLEMAN) PlaySound(21, 0, 0, 0);
        m_shotCycle = 0;
        if (m_kind == KIND_RIFLEMAN) m_readiness = 6;
    }
    return TRUE;
}

BOOL CUnit::ShootBehaviour() {
    m_inMelee = 1, m_fleeing = 0;
    AdjustMorale(0);
    if (m_readiness < 6)
        m_readiness = int8_t(m_readiness + (IsMounted() ? 2 : 1));
    else
        m_readiness = 6;
    if (!IsMissileKind(m_kind)) return FALSE;
    if (m_battalion) {
        if (CUnit* close = m_battalion->m_nearbyEnemies.FindTarget(m_x, m_y, 50, 1000, FALSE, CRect())) {
            SetBehaviour(4);
            int dx = m_x - close->m_x, dy = m_y - close->m_y;
            int l = Round(std::sqrt(double(dx) * dx + double(dy) * dy));
            // An enemy on the archer's own spot: he falls back along his facing.
            if (l == 0) {
                CPoint back = GetDirectionVector(NormalizeDirection(m_facing + 4), 100);
                m_action.m_x = m_x + back.x, m_action.m_y = m_y + back.y;
            } else {
                m_action.m_x = m_x + dx * 100 / l;
                m_action.m_y = m_y + dy * 100 / l;
            }
            m_action.SetTarget(this, nullptr, FALSE, FALSE);
            return TRUE;
        }
    }
    CUnit* target = m_action.m_target;
    if (!target) {
        NextStep(TRUE);
        return TRUE;
    }
    int order = GetDivisionOrder();
    CDivision* division = GetDivision();
    bool keep = (order != 64 && order != 16) ||
                (m_slot.HasPoint() && Dist2(m_x, m_y, m_slot.m_x, m_slot.m_y) < 40001) ||
                (division && Dist2(m_x, m_y, division->m_x, division->m_y) < 40001);
    if (m_kind == KIND_RIFLEMAN && m_onWater) keep = false;
    if (!keep || !target->m_active || target->m_headCount <= 0 || !IsTargetInRange(target)) {
        m_action.SetTarget(this, nullptr, FALSE, FALSE);
        return TRUE;
    }
    if (!ShootAt(target->m_x, target->m_y)) {
        int x = 0, y = 0;
        bool found = false;
        for (int i = 0; i < kMaxAsideTries && !found; ++i) {
            y = CountedRand() % 41 - 20;
            x = RandomRange(-20, 20, -1);
            found = PathAllows(m_grid, m_x + x, m_y + y);
        }
        if (!found) x = y = 0;
        m_action.m_x = m_x + x, m_action.m_y = m_y + y;
        SetBehaviour(12);
    }
    return TRUE;
}
