// Small stand-ins for what the army and the screens give the units: an army
// that records what it hears, formations with fixed slots and an icon of a
// given frame size.
#pragma once

#include <map>
#include <vector>

#include "Units/ArmyInterfaces.h"
#include "Units/Division.h"
#include "world/Person.h"

class CFakeArmy : public IUnitsArmy {
public:
    int GetTick() const override { return 0; }
    bool ShowsBattleMessages() const override { return showsMessages; }
    void AddBattleMessage(int id, int, int division) override { messages.push_back({id, division}); }
    void AdjustMorale(double) override {}
    IBattleArmy* GetOpposingArmy() const override { return opposing; }
    CKeyPoint* GetHeadquarters(int place) const override { return place >= 0 && place < 4 ? headquarters[place] : nullptr; }
    CUnit* GetLeadUnit(BOOL) const override { return lead; }
    const CDivList* GetDivisionList() const override { return divisionList; }
    int GetMessageCounter() const override { return messageCounter; }
    void SetMessageCounter(int value) override { messageCounter = value; }
    void AssignRearGuard() override {}
    int GetArmyNumber() const override { return number; }
    void OnDivisionLost(CDivision* d) override { lost.push_back(d); }
    void SetCommander(CPerson* g) override { commander = g; }
    CPerson* GetCommander() const override { return commander; }
    double GetViewValue() const override { return 0.9; }
    CRect GetHomeRect() const override { return CRect(0, 0, 1000, 2000); }
    CRect GetFieldRect() const override { return CRect(0, 0, 3000, 2000); }
    int GetPostureFor(const CDivision*) const override { return posture; }
    UnitArmyConditions GetUnitConditions() const override { return conditions; }
    DivisionArmyFigures GetDivisionFigures() const override { return figures; }
    DivisionBudgets* GetDivisionBudgets() override { return &budgets; }

    int number = 0;
    int posture = -1;
    bool showsMessages = false;
    IBattleArmy* opposing = nullptr;
    CKeyPoint* headquarters[4] = {};
    CUnit* lead = nullptr;
    const CDivList* divisionList = nullptr;
    int messageCounter = 0;
    UnitArmyConditions conditions;
    DivisionArmyFigures figures;
    DivisionBudgets budgets;
    CPerson* commander = nullptr;
    std::vector<CDivision*> lost;
    std::vector<std::pair<int, int>> messages;
};

// Slot i of every facing lies at (dx * i, dy * i).
class CFakeFormation : public IBattFormation {
public:
    CFakeFormation(int number, int dx, int dy) : m_number(number), m_dx(dx), m_dy(dy) {}
    int GetNumber() const override { return m_number; }
    CPoint GetSlotPoint(int slot, int) const override { return CPoint(m_dx * slot, m_dy * slot); }
    int GetSlotCode(int, int facing) const override { return facing; }

private:
    int m_number, m_dx, m_dy;
};

class CFakeIcon : public IUnitIcon {
public:
    CFakeIcon(int w, int h) : rect(0, 0, w, h) {}
    CRect GetRect() const override { return rect; }
    CPoint GetPosition() const override { return pos; }
    void SetId(int i) override { id = i; }
    void MoveTo(int x, int y) override { pos = CPoint(x, y); }
    int GetDepth() const override { return depth; }
    void SetDepth(int d) override { depth = d; }
    void SetFrame(int, int) override {}
    void SetClip(const CRect&) override {}
    void SetVisible(bool v) override { visible = v; }

    CRect rect;
    CPoint pos;
    bool visible = true;
    int id = 0;
    int depth = 0;
};
