// What the generals give their troops before a battle, and the losses a
// detachment suffers on its way to the field.
#include <algorithm>

#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/GeneralFigures.h"
#include "Units/Unit.h"

namespace {

// A general's share of one figure: his attribute, weighed by what he knows
// of the battalion's arm.
double GeneralPart(const CPerson* general, int arm, int attribute) {
    return GeneralFigures::ArmFactor(general, arm) * GeneralFigures::Attribute(general, attribute) * 0.005;
}

}  // namespace

void CBattalion::ApplyGeneralFactors(double moraleFactor, double cohesionFactor) {
    const CPerson* divisionGeneral = m_division ? m_division->m_general : nullptr;
    const CPerson* own = m_general;
    // The division's general weighs nine times the battalion's own; the
    // fifth figure takes the battalion general's attribute without his arm.
    double value[5];
    for (int k = 0; k < 5; ++k) {
        const double ownPart = k < 4 ? GeneralPart(own, m_battType, k) * 0.1
                                     : GeneralFigures::Attribute(own, k) * 0.005 * 0.1;
        value[k] = (ownPart + 0.9 * GeneralPart(divisionGeneral, m_battType, k)) * 0.7;
    }
    m_commandFactor =
        (GeneralFigures::Leadership(own) * 0.1 + 0.9 * GeneralFigures::Leadership(divisionGeneral)) * 0.01;
    if (m_commandFactor > 1.0) m_commandFactor = 1.0;
    if (m_commandFactor <= 0.0) m_commandFactor = 0.001;

    const int limitShare = int(std::clamp(cohesionFactor, -100.0, 100.0) * 5000);
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        CUnit* u = m_units.GetUnit(pos);
        u->m_skill = std::min(100, int((value[0] + 0.3) * 100));
        u->m_level = std::min(100, int((value[1] + 0.3) * 100));
        u->m_combat = std::min(180, int(u->m_combat * (value[3] + 0.3)));
        u->m_combat2 = std::min(180, int(u->m_combat2 * (value[2] + 0.3)));
        u->m_morale = std::clamp(u->m_morale * value[4] * moraleFactor, 0.0, 3000.0);
        u->m_limitValue = 5000 - limitShare;
    }
}

int CBattalion::GetTacticClass() const {
    if (m_number == 0 && m_division && m_division->m_number == 0) return 5;
    return m_battType;
}

void CDivision::ApplyGeneralFactors(double moraleFactor, double cohesionFactor) {
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;)
        m_battalions.GetBattalion(pos)->ApplyGeneralFactors(moraleFactor, cohesionFactor);
}

void CDivision::ApplyLosses(double share, double spread) {
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) m_battalions.GetBattalion(pos)->ApplyShock(share, spread);
    if (m_number > 11 && m_initialUnits > 0 && double(CountUnits(TRUE, TRUE)) / m_initialUnits <= 0.3) {
        m_routed = 1;
        m_active = 0;
    }
}
