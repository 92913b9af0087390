// What the army gives its troops before a battle: the generals' factors,
// the commander's tactics and the units' training; and what the units read
// of the army while it fights.
#include <algorithm>

#include "army/Army.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/GeneralFigures.h"
#include "Units/Unit.h"

namespace {

// A commander's set of tactics: the combat bonus of each battalion class
// 0..4, then the army's morale factor (also the bonus of class 5, the
// commander's own battalion).
struct TacticSet {
    double bonus[5];
    double morale;
};
constexpr TacticSet kTactics[8] = {
    {{0.2, 0.5, 0.0, 0.2, 0.0}, 0.1}, {{0.1, 0.2, 0.1, 0.1, 0.0}, 0.5}, {{0.1, 0.0, 0.0, 0.1, 0.0}, -0.1},
    {{0.5, 0.0, 0.3, 0.1, 0.0}, 0.1}, {{0.0, 0.1, 0.1, 0.3, 0.5}, 0.0}, {{0.1, 0.2, 0.2, 0.2, 0.2}, 0.1},
    {{0.1, 0.1, 0.2, 0.2, 0.3}, 0.1}, {{0.1, 0.3, 0.1, 0.1, 0.0}, 0.3},
};
// The first set as the campaign option makes it.
constexpr TacticSet kFirstTacticVariant = {{0.4, 0.5, 0.3, 0.4, 0.3}, 0.4};

template <typename F>
void ForEachBattalion(const CDivList& divisions, F&& fn) {
    for (POSITION dp = divisions.GetHeadPosition(); dp;) {
        CDivision* d = divisions.GetDivision(dp);
        for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) fn(d->m_battalions.GetBattalion(bp));
    }
}

}  // namespace

void CArmy::SetBattalionFactors(double moraleFactor, double cohesionFactor) {
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;)
        m_divisions.GetDivision(pos)->ApplyGeneralFactors(moraleFactor, cohesionFactor);
}

void CArmy::ApplyTactic(BOOL apply, BOOL variant) {
    if (!m_commander) return;
    double bonus[6] = {};
    double morale = 0.0;
    if (apply) {
        const int t = GeneralFigures::TacticNumber(m_commander);
        if (t < 1 || t > 8) return;
        const TacticSet& set = t == 1 && variant ? kFirstTacticVariant : kTactics[t - 1];
        std::copy(std::begin(set.bonus), std::end(set.bonus), bonus);
        morale = set.morale;
    }
    bonus[5] = morale;
    ForEachBattalion(m_divisions, [&](CBattalion* b) {
        const double bonusOfClass = bonus[std::clamp(b->GetTacticClass(), 0, 5)];
        for (POSITION up = b->m_units.GetHeadPosition(); up;) {
            CUnit* u = b->m_units.GetUnit(up);
            u->ApplyBonus(bonusOfClass);
            u->m_morale = std::min(u->m_morale * (1 + morale / 3), 3000.0);
        }
        b->m_commandFactor = (morale + b->m_commandFactor) / 2;
    });
    m_tacticFactor = morale;
}

void CArmy::RecalcUnits() {
    ForEachBattalion(m_divisions, [](CBattalion* b) {
        for (POSITION up = b->m_units.GetHeadPosition(); up;) b->m_units.GetUnit(up)->ComputeTrainingFactor();
    });
}

UnitArmyConditions CArmy::GetUnitConditions() const {
    UnitArmyConditions c;
    c.visibility = m_visibility;
    c.detachmentsInPlay = m_detachmentsInPlay != 0;
    c.facing = m_facing;
    c.balance = m_forceRatio;
    c.opponentRouted = m_opponent && m_opponent->m_routed;
    c.terrainFlag = m_leading != 0;
    c.localPlayer = m_messageFlags[1] != 0;
    return c;
}

double CArmy::GetAcknowledgeVolume() const {
    if (!m_messageFlags[1]) return 0.0;
    return m_messageFlags[0] ? 0.95 : 0.9;
}
