// The after-battle summary as the battalions and divisions fill it.
#include "core/Random.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/GeneralFigures.h"
#include "Units/StatusSummary.h"
#include "Units/Unit.h"

int CBattalion::GatherStatus(CStatusSummary& record) {
    const CPerson* divisionGeneral = m_division ? m_division->m_general : nullptr;
    const CPerson* commander = m_division && m_division->m_army ? m_division->m_army->GetCommander() : nullptr;
    // The better led, the fewer of the broken got away for good.
    const int lead = GeneralFigures::Leadership(commander) / 3 + GeneralFigures::Leadership(divisionGeneral) +
                     GeneralFigures::Leadership(m_general);
    int lost = 0, fled = 0;
    bool captured = false;
    m_spareWordD = 0;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        const CUnit* u = m_units.GetUnit(pos);
        ++m_spareWordD;
        if (!u->m_active) {
            ++lost;
            if (u->m_captured) captured = true;
            continue;
        }
        if (u->m_captured) continue;
        bool away = false;
        if (!u->m_able) {
            int roll = CountedRand() % 121;
            away = roll > lead;
        }
        if (!away && u->m_routed) {
            int roll = CountedRand() % 181;
            away = roll > lead;
        }
        if (away) ++fled;
    }
    m_record.c13 = lost;
    m_record.c14 = fled;
    record.m_a = lost;
    record.m_b = fled;
    record.m_c = m_record.c12;
    record.m_d = m_record.GetMeritScore();
    record.m_general = m_general;
    record.m_type = m_battType;
    record.m_changed = captured ? 1 : 0;
    record.m_record = m_record;
    return lost + fled;
}

int CDivision::GatherStatus(CStatusSummary4& node) {
    int casualties = 0;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        CBattalion* b = m_battalions.GetBattalion(pos);
        auto* leaf = new CStatusSummary;
        casualties += b->GatherStatus(*leaf);
        node.SetChild(b->m_number, leaf);
    }
    node.Gather();
    node.m_type = m_type;
    return casualties;
}

int CDivision::GetLossFigure(BOOL fled) const {
    int n = 0;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        const CBattalion* b = m_battalions.GetBattalion(pos);
        for (POSITION up = b->m_units.GetHeadPosition(); up;) {
            const CUnit* u = b->m_units.GetUnit(up);
            if (fled ? u->m_active && !u->m_captured && (u->m_routed || !u->m_able) : !u->m_active) ++n;
        }
    }
    return n;
}
