// What an army tells its divisions for their own decisions: who commands
// it, how it stands against the enemy, where its home lies and how its
// detachments come.
#include "army/Army.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/GeneralFigures.h"
#include "Units/Unit.h"

DivisionArmyFigures CArmy::GetDivisionFigures() const {
    DivisionArmyFigures f;
    f.control = m_humanControlled != 0;
    f.acknowledge = m_messageFlags[1] != 0;
    f.opening = m_opening != 0;
    // The army's share of the strength on the field stands for its morale.
    f.morale = m_forceRatio;
    f.strength = m_armyStrength;
    f.opposingStrength = m_opponent ? m_opponent->m_armyStrength : 0.0;
    f.homeRects[0] = m_zones[kRear];
    f.homeRects[1] = m_zones[kRearHalf];
    f.sideMode = m_detachmentMode;
    f.reinforcement = m_reinforcement != 0;
    if (m_opponent) {
        f.opposingSideMode = m_opponent->m_detachmentMode;
        f.opposingEntry = m_opponent->m_detachmentsInPlay != 0;
    }
    return f;
}

void CArmy::AssignRearGuard() {
    if (m_budgets.rearGuards <= 0) return;
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        const CUnit* lead = d->GetLeadUnit();
        if (!d->m_active || d->m_rearGuard || d->m_number == 0 || !lead || lead->m_headCount <= 150 ||
            !GeneralFigures::HasFlag(d->m_general, 3) || d->m_battalions.GetCount(TRUE) <= 5)
            continue;
        if (m_humanControlled && ShowsBattleMessages()) AddBattleMessage(27, -2, d->m_number);
        d->UpdateBattalionUnits(30.0 * GeneralFigures::Leadership(d->m_general));
        d->m_rearGuard = 1;
        --m_budgets.rearGuards;
        return;
    }
}
