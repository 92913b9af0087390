// The battle view's hold on one side's army: the view's order queue,
// weather and battle step reach the army (CArmy) through here.
#pragma once

#include "battle/ViewArmy.h"

class CArmy;

class CArmyLink : public IViewArmy {
public:
    explicit CArmyLink(CArmy* army) : m_army(army) {}

    CArmy* GetArmy() const { return m_army; }
    double GetVisibilityFactor() const { return m_visibility; }

    CDivision* FindDivision(int id) const override;
    void SendOrder(CDivision* division, CObjective* order, BOOL optionA, BOOL optionB) override;
    void ProcessQueuedDivision(int divisionId) override;
    void BeatDrum() override;
    void AdvanceFront(BOOL flagB, BOOL flagA, int amount) override;
    void OrderAllWithdraw() override;
    void ApplyFrontStep() override;
    // Resolved on this army's own formation list.
    void RepositionDivisions(const CCommandFormation& which) override;
    // Kept here until the army reads how far it sees.
    void SetVisibilityFactor(double factor) override { m_visibility = factor; }
    void Update() override;
    BOOL IsInBattle() const override;

private:
    CArmy* m_army;
    double m_visibility = 1.0;
};
