// A division's own decisions in battle, taken every tick from its strength
// and its battalions' contact: a shaken and depleted division retreats off
// the field, and a division whose front is only partly engaged sends a free
// battalion to help a pressed one. Orders go through the army's gate.
#include <algorithm>

#include "core/Helpers.h"
#include "core/Random.h"
#include "field/BattleGrid.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/GeneralFigures.h"
#include "Units/Unit.h"

double CDivision::GetLeadership() const {
    const CPerson* commander = m_army ? m_army->GetCommander() : nullptr;
    double mixed = (5.0 * GeneralFigures::Leadership(m_general) + 3.0 * GeneralFigures::Leadership(commander)) / 8.0;
    return std::max(0.1, mixed);
}

void CDivision::SendOrderThroughArmy(CObjective* order) {
    if (m_army)
        m_army->ResendOrder(this, order);
    else
        ReceiveOrder(order, TRUE);
}

void CDivision::Retreat() {
    if (m_routed) return;
    int facing = m_army ? m_army->GetUnitConditions().facing : 2;
    int x = facing == 2 ? -1000 : 4000;
    int y = CountedRand() % 1999 + 1;
    int formation = m_formation ? m_formation->GetNumber() : -1;
    SendOrderThroughArmy(new CObjective(256, x, y, formation, NormalizeDirection(m_facing)));
    m_resend = 0;
    m_busy = 1;
}

void CDivision::UpdateBehaviour() {
    if (m_routed || m_turn) return;
    if (m_contactCounter < 0 && --m_clampCounter < 0) m_contactCounter = 0;
    if (m_order.m_type == 256) return;

    // Low strength: a shaken division whose men are thinning may give up
    // the field. The army keeps no stands against retreat, so it goes.
    // A division never counted has lost nothing.
    const double r = m_unitRecount > 0 ? GetStrengthRatio(FALSE) : 1.0;
    if (r < 0.3 / GetLeadership() || m_strength1 < 1200) {
        const CBattalion* first = m_battalions.FindByID(0, TRUE, FALSE);
        const bool led = first && first->GetLeadUnit(FALSE, FALSE, TRUE);
        const int limit = led ? (200 - GeneralFigures::Experience(m_general)) * 5 : 1200;
        if (m_strength3 < CountedRand() % 301) {
            int bar = RandomRange(0, limit, -1);
            if (m_strength1 < bar && CountedRand() % 100 + 1 < 31) {
                Retreat();
                return;
            }
        }
    }

    // Contact: with half its battalions engaged or more, a free front
    // battalion goes to help a pressed one, once until contact is lost.
    if (m_battalionCount > 1) {
        int engaged = 0;
        for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
            const CBattalion* b = m_battalions.GetBattalion(pos);
            if (!b->m_routed && b->m_contact) ++engaged;
        }
        const int order = m_order.m_type;
        if (engaged < m_battalionCount / 2) {
            if (m_idle && order > 0 && (order & 0x1C0F)) {
                if (engaged > 0 && !m_contactFlag) SendFlankHelp();
            } else {
                m_contactFlag = 0;
            }
        } else if (!m_contactFlag) {
            SendFlankHelp();
        }
    }
}

void CDivision::SendFlankHelp() {
    CBattalion* b[4] = {};
    double share[4] = {};
    for (int i = 0; i < 4; ++i) {
        for (POSITION pos = m_battalions.GetHeadPosition(); pos && !b[i];) {
            CBattalion* c = m_battalions.GetBattalion(pos);
            if (c->m_number == i && !c->m_routed) b[i] = c;
        }
        share[i] = b[i] ? b[i]->GetFightingShare() : 0.0;
    }
    auto free = [&](int i) { return share[i] < 0.3; };
    auto pressed = [&](int i) { return share[i] > 0.3; };
    auto either = [&](int i, int j) { return b[i] ? i : j; };
    int sent = -1, toward = -1;
    if (free(0) && pressed(1) && pressed(2))
        sent = 0, toward = either(1, 2);
    else if (pressed(0) && free(1) && free(2))
        sent = either(1, 2), toward = 0;
    else if (pressed(0) && pressed(1) && free(2))
        sent = 2, toward = either(0, 1);
    else if (pressed(0) && free(1) && pressed(2))
        sent = 1, toward = either(0, 2);
    if (sent < 0 || !b[sent] || !b[toward]) return;
    const CPoint at = b[toward]->GetUnitCentre();
    auto help = [&](int i) {
        CPoint from = b[i]->GetUnitCentre();
        int value = m_formation ? m_formation->GetSlotValue(i) : -1;
        CPoint p = m_grid ? m_grid->FindFreePointNear(at.x, at.y, b[i], 10000, FALSE) : at;
        b[i]->m_objectives.DeleteAll();
        b[i]->ReceiveOrder(new CObjective(2, p.x, p.y, value, GetDirection(from.x, from.y, at.x, at.y)), TRUE);
    };
    help(sent);
    if (b[3] && share[3] < 0.3 && b[3]->m_battType == 1) help(3);
    m_contactFlag = 1;
}

void CDivision::UpdatePressure() {
    int active = 0, engagers = 0;
    for (POSITION bp = m_battalions.GetHeadPosition(); bp;) {
        const CBattalion* b = m_battalions.GetBattalion(bp);
        for (POSITION up = b->m_units.GetHeadPosition(); up;) {
            const CUnit* u = b->m_units.GetUnit(up);
            if (!u->m_active) continue;
            ++active;
            engagers += u->m_engagers.GetCount();
        }
    }
    if (active == 0 || engagers == 0) {
        m_pressure = 0;
        return;
    }
    double share = double(active) / (active + engagers);
    m_pressure = share >= 0.75 ? 1 : share >= 0.5 ? 2 : 3;
}
