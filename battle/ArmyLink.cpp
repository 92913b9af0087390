#include "battle/ArmyLink.h"

#include "army/Army.h"

CDivision* CArmyLink::FindDivision(int id) const { return m_army->m_divisions.FindByID(id, 0, 0); }

void CArmyLink::SendOrder(CDivision* division, CObjective* order, BOOL optionA, BOOL optionB) {
    m_army->SendOrder(division, order, optionA, optionB);
}

void CArmyLink::ProcessQueuedDivision(int divisionId) { m_army->ProcessQueuedDivision(divisionId); }

void CArmyLink::BeatDrum() { m_army->BeatDrum(); }

void CArmyLink::OrderAllWithdraw() { m_army->OrderAllWithdraw(); }

void CArmyLink::AdvanceFront(BOOL flagB, BOOL flagA, int amount) { m_army->AdvanceFront(flagB, flagA, amount); }

void CArmyLink::ApplyFrontStep() { m_army->ApplyFrontStep(); }

void CArmyLink::RepositionDivisions(const CCommandFormation& which) {
    CArmyFormationList* list = m_army->m_formationList;
    if (!list) return;
    CArmyFormation* formation = nullptr;
    if (which.kind == CCommandFormation::ByFlag) formation = list->FindEquivalent(m_army->m_formation, which.value);
    else if (which.kind == CCommandFormation::ByNumber) formation = list->GetFormation(int(which.value));
    if (formation) m_army->RepositionDivisions(formation, FALSE);
}

void CArmyLink::Update() { m_army->Update(); }

BOOL CArmyLink::IsInBattle() const { return m_army->m_active != 0; }
