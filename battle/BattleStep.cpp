// The battle's step: what the tick routine runs in the battle mode. The
// order of the work is binding: both peers and a demo's playback must run
// the same things in the same order, the armies by slot (0, then 1), never
// the local side first.
#include "Units/BattList.h"
#include "Units/DivList.h"
#include "Units/UnitList.h"
#include "Units/Unit.h"
#include "field/TerrainList.h"
#include "shell/OrvaneView.h"

BOOL COrvaneView::RunBattleStep() {
    RunDueTargetOrders();
    RunDueUnitOrders();

    ++BattleFrame;
    UpdateWeather();
    BattleDivisions.UpdateAll();
    BattleBattalions.UpdateAll();
    BattleUnits.SortByBlockedCount();
    // Every unit's own step; a missile it looses joins the flight.
    for (POSITION pos = BattleUnits.GetHeadPosition(); pos;) {
        CUnit* u = BattleUnits.GetUnit(pos);
        u->Tick();
        GiveMissileSprite(u);
        BattleMissiles.TakeFrom(u);
    }
    for (int slot = 0; slot < 2; ++slot)
        if (BattleArmies[slot]) BattleArmies[slot]->Update();
    if (BattleTerrain) BattleTerrain->UpdateAll();
    BattleUnits.UpdateAll();
    BattleMissiles.StepAll(BattleGrid);

    bool over = false;
    for (int slot = 0; slot < 2; ++slot)
        if (BattleArmies[slot] && !BattleArmies[slot]->IsInBattle()) over = true;
    ++StepCount;
    if (over) return FALSE;
    if (int32_t(BattleTick) < StepCount) ++BattleTick;
    return TRUE;
}

void COrvaneView::BattleStep() {
    const COrvaneDoc* doc = GetDocument();
    DWORD period = DWORD(doc ? doc->GetSpeedValue() : 0);
    DWORD now = GetTickCount();
    if (now - LastBattleStep < period) return;
    LastBattleStep = now;
    if (!RunBattleStep()) ChangeMode(MODE_AFTER_BATTLE);
}
