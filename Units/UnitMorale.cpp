// A unit's morale, condition, exertion and rout, and the blows and hits it
// takes: the rules every behaviour leans on.
#include <algorithm>
#include <array>
#include <cmath>

#include "core/ExactMath.h"
#include "core/Helpers.h"
#include "core/Random.h"
#include "field/BattleGrid.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/GeneralFigures.h"
#include "Units/Missile.h"
#include "Units/Unit.h"

CDivision* CUnit::GetDivision() const { return m_battalion ? m_battalion->m_division : nullptr; }

IUnitsArmy* CUnit::GetArmy() const {
    CDivision* d = GetDivision();
    return d ? d->m_army : nullptr;
}

UnitArmyConditions CUnit::GetArmyConditions() const {
    IUnitsArmy* army = GetArmy();
    return army ? army->GetUnitConditions() : UnitArmyConditions{};
}

int CUnit::GetDivisionOrder() const {
    CDivision* d = GetDivision();
    return d ? d->m_order.m_type : -1;
}

int CUnit::GetBattType() const { return m_battalion ? m_battalion->m_battType : 0; }

CPerson* CUnit::GetBattalionGeneral() const { return m_battalion ? m_battalion->m_general : nullptr; }

namespace {

// The battalion's first unit stands and acts.
bool LeadUnitActive(const CBattalion* b) {
    const CUnit* u = b ? b->m_units.GetHead() : nullptr;
    return u && u->m_placed && u->m_active && !u->m_routed;
}

}  // namespace

double CUnit::GetLeadershipFactor() const {
    CDivision* division = GetDivision();
    IUnitsArmy* army = GetArmy();
    double armyTerm = 0, divisionTerm = 0, battalionTerm = 0;
    if (army && army->GetUnitConditions().commanderInField)
        armyTerm = GeneralFigures::Leadership(army->GetCommander()) * 0.01;
    if (division) {
        const CBattalion* first = nullptr;
        for (POSITION pos = division->m_battalions.GetHeadPosition(); pos && !first;) {
            const CBattalion* b = division->m_battalions.GetBattalion(pos);
            if (b->m_routed) continue;
            first = b;
        }
        if (LeadUnitActive(first)) divisionTerm = GeneralFigures::Leadership(division->m_general) * 0.01;
    }
    if (LeadUnitActive(m_battalion)) battalionTerm = GeneralFigures::Leadership(GetBattalionGeneral()) * 0.01;
    return 0.1 * battalionTerm + 0.2 * armyTerm + 0.7 * divisionTerm;
}

void CUnit::AdjustMorale(double delta) {
    double b = m_battalion ? m_battalion->m_commandFactor : 0.0;
    double t = m_trainingFactor;
    double change;
    if (delta >= 0) {
        change = delta * (b + 0.5);
    } else {
        double l = GetLeadershipFactor();
        if (delta >= -200)
            change = ((1 - b) * delta * 0.45 + (2.2 - t) * delta * 0.45 + 0.1 * delta) * (1.25 - 0.5 * l);
        else
            change = (1 - b) * delta * 0.2 + (2.2 - t) * delta * 0.3 + 0.5 * delta;
        double v = GetArmyConditions().visibility;
        if (v < 0.45) change = change * (1.25 - 0.5 * l) * (1.75 - v);
    }
    m_morale = std::clamp(m_morale + change, 0.0, 3000.0);
}

void CUnit::ComputeTrainingFactor() {
    int n = m_level + 1;
    double l = 0.55 * ExactMath::Log(0.1 * n);
    m_trainingFactor = m_kind == KIND_SPEARMAN ? 1.2 * l : 1.2 * l * l;
}

void CUnit::ApplyBonus(double b) {
    if (IsMissileKind(m_kind))
        m_combat2 = int((1 + 0.1 * b) * m_combat2);
    else
        m_combat = int((1 + b) * m_combat);
    m_level = std::min(99, int((1 + 0.5 * b) * m_level));
}

namespace {
// Log(0.21 (q + 1)) / 3, from a table over the freshness an exertion of 0
// to 5000 gives.
double FreshnessLog(int q) {
    static const auto table = [] {
        std::array<double, 101> t{};
        for (int i = 0; i <= 100; ++i) t[size_t(i)] = ExactMath::Log(0.21 * (i + 1)) / 3;
        return t;
    }();
    return q >= 0 && q <= 100 ? table[size_t(q)] : ExactMath::Log(0.21 * (q + 1)) / 3;
}
}  // namespace

void CUnit::UpdateCondition() {
    double m = 0.55 * ExactMath::Log(0.15 * (m_morale / 30 + 1));
    int q = (5000 - m_exertion) / 50;
    double f = FreshnessLog(q);
    if (f < 0.28) f = 0.28;
    m_condition = 0.1 + 0.5 * (f * m + 0.7 * f + 0.3 * m);
}

void CUnit::SetExertion(int delta) {
    int old = m_exertion;
    int v = old + delta;
    if (v > 5000)
        v = 5000;
    else if (v < 0)
        v = 0;
    else if (old >= 801 && v < 801)
        v = 800;
    m_exertion = v;
}

int CUnit::GetRating() const { return int(GetArmyConditions().moraleOffset + m_morale); }

namespace {
// Whether the battalions have fewer than `n` active units between them;
// the count stops once it reaches `n`.
bool FewerActiveThan(const CBattList& battalions, int n) {
    for (POSITION bp = battalions.GetHeadPosition(); bp;) {
        const CUnitList& units = battalions.GetBattalion(bp)->m_units;
        for (POSITION up = units.GetHeadPosition(); up;)
            if (units.GetUnit(up)->m_active && --n == 0) return false;
    }
    return true;
}
}  // namespace

void CUnit::CheckRout() {
    if (GetBehaviour() == 5 || m_headCount < 1) return;
    UnitArmyConditions army = GetArmyConditions();
    int r = GetRating();
    double l = GetLeadershipFactor();
    CDivision* division = GetDivision();
    if (division && r >= 501 && FewerActiveThan(division->m_battalions, 4)) m_morale -= 1.0;
    if (r > int((1.5 - l) * 1000) && m_headCount > 1) {
        double ceiling = army.raisedCeiling ? 1800.0 : 1500.0;
        if (m_morale > ceiling) m_morale -= 1.0;
        return;
    }
    int chance;
    if (m_headCount == 1) chance = 100;
    else if (r >= 801) chance = 5;
    else if (r >= 601) chance = 10;
    else if (r >= 401) chance = 25;
    else if (r >= 201) chance = 50;
    else if (r >= 51) chance = 75;
    else chance = 100;
    if (army.routDivisor > 1.0 && m_headCount != 1) chance = int(chance / (army.routDivisor * 7.0));
    int roll = CountedRand() % 10001;
    if (roll >= chance) return;

    // The unit breaks: it runs off the field on its own army's side.
    m_atSlot = 0;
    m_action.SetTarget(this, nullptr, FALSE, FALSE);
    m_steps.DeleteAll();
    m_pending.DeleteAll();
    int x = army.facing == 2 ? -1000 : 4000;
    int jitter = CountedRand() % 101 - 50;
    int y = m_y + jitter;
    CPoint p = m_grid ? m_grid->FindFreePointNear(x, y, this, 10000, FALSE) : CPoint(x, y);
    // The path grid lets a point in the woods pass; the unit could never
    // stand there, reach its flight point and be gone.
    p = FindStandingPoint(p.x, p.y);
    auto* flight = new CObjective(5, p.x, p.y, -1, army.facing);
    m_slot = *flight;
    m_action.SetOrder(flight, nullptr);
    m_pending.AddHead(flight);
    SetBehaviour(5);
    m_blockedTicks = 0;
    NextStep(TRUE);
}

void CUnit::BreakAway() {
    if (m_removed) return;
    if (m_marker) {
        m_marker->MoveTo(-1000, -1000);
        m_marker->SetFrame(0, 0);
    }
    if (m_placed && m_battalion) {
        bool rifles = m_battalion->m_battType == 4;
        double own = m_kind == KIND_CAPTAIN || m_kind == KIND_CAPTAIN_ON_HORSE || m_kind == KIND_GENERAL ||
                             m_kind == KIND_MARSHALL
                         ? (rifles ? -300.0 : -150.0)
                         : 0.0;
        if (own != 0) {
            for (POSITION pos = m_battalion->m_units.GetHeadPosition(); pos;) {
                CUnit* u = m_battalion->m_units.GetUnit(pos);
                if (u != this && u->m_active) u->AdjustMorale(own);
            }
        }
        CDivision* division = GetDivision();
        if ((m_kind == KIND_GENERAL || m_kind == KIND_MARSHALL) && division) {
            for (POSITION b = division->m_battalions.GetHeadPosition(); b;) {
                CBattalion* bt = division->m_battalions.GetBattalion(b);
                for (POSITION pos = bt->m_units.GetHeadPosition(); pos;) {
                    CUnit* u = bt->m_units.GetUnit(pos);
                    if (u != this && u->m_active) u->AdjustMorale(-350.0);
                }
            }
        }
        if (m_kind == KIND_MARSHALL)
            if (IUnitsArmy* army = GetArmy()) army->AdjustMorale(-1000.0);
    }
    if (m_battalion) m_battalion->OnUnitLost(this);
    m_removed = 1;
}

// --- combat ----------------------------------------------------------------

int CUnit::GetAttackChance(const CUnit* target) const {
    double a = m_trainingFactor * 5.0;
    switch (m_kind) {
    case KIND_SWORDMAN: break;
    case KIND_CAPTAIN:
    case KIND_GENERAL:
    case KIND_MARSHALL:
    case KIND_CAPTAIN_ON_HORSE: {
        const CPerson* g = GetBattalionGeneral();
        double gv = GeneralFigures::ArmFactor(g, GetBattType());
        int p = GeneralFigures::ArmTrait(g);
        a = a * (gv * p * 0.005 + 0.5);
        break;
    }
    case KIND_CAVALRY: a *= 1.2; break;
    case KIND_SPEARMAN: a *= 0.9; break;
    default: a *= 0.7; break;
    }
    switch (GetDivisionOrder()) {
    case 1: break;
    case 2: a *= 1.2; break;
    case 16: a *= 0.4; break;
    case 128: a *= 0.7; break;
    case 512: a *= 0.9; break;
    default: a *= 0.5; break;
    }
    if (target) {
        if (IsMissileKind(target->m_kind)) a *= 8.0;
        if (target->GetDivisionOrder() == 16) a *= target->GetBehaviour() == 7 ? 2.0 : 8.0;
    }
    double r = std::min(1.0, 0.1 * m_readiness);
    double c = m_condition;
    int chance = int(r * a * c * 0.7 + a * 0.2 + c * 0.1);
    return std::clamp(chance, 5, 95);
}

int CUnit::GetDefenceChance() const {
    int base;
    switch (GetBehaviour()) {
    case 0: case 4: case 5: case 15: base = 10; break;
    case 2: case 8: case 9: case 13: base = 15; break;
    case 3: base = 90; break;
    case 6: case 10: case 12: case 14: case 16: base = 30; break;
    case 11: base = 77; break;
    default: base = 50; break;
    }
    int bonus;
    switch (GetDivisionOrder()) {
    case 1: bonus = 40; break;
    case 2: bonus = 50; break;
    case 4: case 8: case 32: case 64: case 256: case 1024: case 2048: case 4096: bonus = 30; break;
    case 16: bonus = 10; break;
    case 128: bonus = 90; break;
    case 512: bonus = 70; break;
    default: bonus = 0; break;
    }
    double d = (base + bonus) * 0.5;
    double c = m_condition;
    return std::min(95, int(d * c * 0.7 + c * 0.1 + d * 0.2));
}

void CUnit::RecomputeParryMax() { m_parryMax = std::max(0.0, double(m_defence / 7) * m_condition); }

namespace {

// No feature lies within 120 of the point.
bool NoFeatureNear(const CBattleGrid* grid, int x, int y) {
    if (!grid) return true;
    std::vector<CTerrain*> near;
    grid->NotifyElementsInRect(CRect(x - 120, y - 120, x + 120, y + 120), near);
    return near.empty();
}

}  // namespace

void CUnit::ApplyLastMan() {
    const CPerson* g = GetBattalionGeneral();
    if (!g) return;
    bool clear = NoFeatureNear(m_grid, m_x, m_y);
    if (g->IsSpecialGeneral() && clear) {
        m_headCount = 1;
        return;
    }
    int roll = CountedRand() % 100 + 1;
    bool exposed = GetArmyConditions().generalsExposed;
    if (roll < GeneralFigures::Protection(g) && clear && m_meleeLosses < 150 && (!exposed || m_kind == KIND_MARSHALL))
        m_headCount = 1;
}

void CUnit::GiveKillCredits(CUnit* attacker) {
    CBattalion* own = attacker ? attacker->m_battalion : nullptr;
    if (!own) return;
    ++own->m_kills;
    if ((m_kind == KIND_GENERAL || m_kind == KIND_MARSHALL) && !own->m_firstKill) own->m_firstKill = 1;
    if (m_kind == KIND_CAPTAIN || m_kind == KIND_CAPTAIN_ON_HORSE) ++own->m_officerKills;
    if (m_kind == KIND_GENERAL) ++own->m_generalKills;
    if (m_kind == KIND_MARSHALL) ++own->m_marshallKills;
    if ((m_kind == KIND_GENERAL || m_kind == KIND_MARSHALL) && m_battalion) ++m_battalion->m_commandLost;
}

BOOL CUnit::TakeBlow(double damage, CUnit* attacker) {
    if (m_headCount <= 0) return TRUE;
    if (damage > 0 && attacker) {
        int diff = DirectionDelta(NormalizeDirection(attacker->m_facing), NormalizeDirection(m_facing));
        double divisor;
        if (diff == 0) {
            divisor = m_rearDivisor;
        } else if (diff == 4) {
            divisor = m_frontDivisor;
            if (m_kind == KIND_SPEARMAN && attacker->m_kind == KIND_CAVALRY) damage *= 0.7;
            if (m_kind == KIND_SPEARMAN && attacker->m_kind == KIND_SWORDMAN) damage *= 0.7;
        } else {
            divisor = m_flankDivisor;
        }
        // A divisor of 0 would make the blow infinite: it counts as 1.
        if (divisor <= 0) divisor = 1.0;
        damage = damage / divisor;
        int roll = CountedRand() % 100 + 1;
        if (roll < GetDefenceChance()) {
            double before = damage;
            damage = damage - divisor * m_parry;
            m_parry = std::max(0.0, m_parry - before);
        }
        if (damage > 0) {
            int n = int(damage);
            int before = m_headCount;
            m_meleeLosses += n;
            AdjustMorale(-10.0);
            if (m_headCount >= 0) m_headCount -= n;
            if (before > 0 && m_headCount <= 0 && IsOfficerKind(m_kind)) ApplyLastMan();
            if (m_headCount <= 0 && !m_destroyed) {
                GiveKillCredits(attacker);
                double gain = m_kind == KIND_CAPTAIN || m_kind == KIND_CAPTAIN_ON_HORSE ? 100.0
                              : m_kind == KIND_GENERAL                                  ? 300.0
                              : m_kind == KIND_MARSHALL                                 ? 500.0
                                                                                        : 15.0;
                attacker->AdjustMorale(gain);
                m_destroyed = 1;
            } else if (before > 25 && m_headCount <= 25) {
                AdjustMorale(-30.0);
            }
        }
    }
    if (attacker) ReactToAttack(attacker);
    return TRUE;
}

BOOL CUnit::TakeHit(int strength, CMissile* missile) {
    if (m_headCount <= 0) return FALSE;
    CUnit* s = missile ? missile->m_shooter : nullptr;
    double trainingS = s ? s->m_trainingFactor : 0.0;
    const CPerson* g = GetBattalionGeneral();
    double k;
    if (IsOfficerKind(m_kind))
        k = g ? (1 - GeneralFigures::Protection(g) / 110.0) * trainingS * 0.7 : 0.0;
    else
        k = trainingS * 0.9;
    double visibility = GetArmyConditions().visibility;
    int v = std::max(25, int(visibility * 100));
    double p = v * k * 0.01;
    if (strength < 127) p *= 0.5;
    if (s && s->m_sideId == m_sideId) {
        p = p * (2 - visibility) * 0.5;
        if (s->m_battalion == m_battalion)
            p *= 0.05;
        else if (s->GetDivision() == GetDivision())
            p *= 0.1;
    }
    if (IsMountedKind(m_kind)) p *= 0.75;
    double m = 1.0;
    if (IsOfficerKind(m_kind) && strength < 127) m = (127 - std::min(m_combat, 127)) / 127.0;
    int losses = int(strength * m);
    int roll = CountedRand() % 101;
    if (roll > int(p * 100)) losses = 0;
    int before = m_headCount;
    if (m_headCount >= 0) m_headCount -= losses;
    if (before > 0 && m_headCount <= 0 && IsOfficerKind(m_kind) && strength < 127) ApplyLastMan();
    if (m_headCount <= 0 && !m_destroyed) {
        if (s) {
            s->AdjustMorale(20.0);
            GiveKillCredits(s);
        }
        m_destroyed = 1;
    }
    if (m_headCount + losses > 25 && m_headCount <= 25 && before > 25) AdjustMorale(-30.0);
    if (m_battalion && s) m_battalion->NoteMissileHit(strength, s->m_battalion);
    if (s) RespondToAttack(s);
    return TRUE;
}
