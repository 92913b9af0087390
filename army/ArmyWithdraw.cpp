// The whole army leaves the field: the computer's last resort and the
// player's command alike.
#include "army/Army.h"
#include "army/DivisionState.h"
#include "Units/Division.h"
#include "Units/Objective.h"

void CArmy::OrderAllWithdraw() {
    // Off the field on the army's own side, each division along its own row.
    const int x = m_side > 0 ? 4000 : -1000;
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        ArmyDivision::Ordered(d) = 0;
        SendOrder(d, new CObjective(256, x, d->m_y, d->GetLeaderID(), 6), TRUE, 1);
    }
    m_withdrawn = 1;
}
