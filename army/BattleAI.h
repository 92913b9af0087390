// The computer's battle AI as the army calls it: the think step, the
// headquarters guard, the posture behaviours, the deployment routines of the
// formations and their finishing pass. The army owns one; until the AI is
// built the army runs with CNullBattleAI, which decides nothing and orders
// nothing, so an army keeps its formation and only the player moves it.
//
// Every call runs inside the army's tick on both peers in the same order;
// an implementation draws only counted random numbers.
#pragma once

#include "platform/afx/Afx.h"

class CArmy;

class IBattleAI {
public:
    virtual ~IBattleAI() = default;
    // The think step, every 10 ticks (measures the battle, chooses a
    // posture, runs its behaviour or deploys).
    virtual void Think(CArmy& army) = 0;
    // Sends guards against enemies near the headquarters, every 4 ticks.
    virtual void GuardHeadquarters(CArmy& army) = 0;
    // Refreshes the average division value at the start of every tick.
    virtual void UpdateAverageValue(CArmy& army) = 0;
    // The behaviour of posture `code` (2, 4, 64, 128, 256, 512, 1024 and
    // 2048, 4096); nothing for any other code.
    virtual void RunPosture(CArmy& army, int code) = 0;
    // The deployment routine of a root army formation id; nothing for an
    // id without one.
    virtual void RunFormationRoutine(CArmy& army, int rootId) = 0;
    // The pass that follows every formation routine.
    virtual void FinishDeployment(CArmy& army) = 0;
    // The point the headquarters threat is measured at, seen from (x, y).
    virtual CPoint GetHeadquartersTarget(CArmy& army, int x, int y) = 0;
};

class CNullBattleAI : public IBattleAI {
public:
    void Think(CArmy&) override {}
    void GuardHeadquarters(CArmy&) override {}
    void UpdateAverageValue(CArmy&) override {}
    void RunPosture(CArmy&, int) override {}
    void RunFormationRoutine(CArmy&, int) override {}
    void FinishDeployment(CArmy&) override {}
    CPoint GetHeadquartersTarget(CArmy&, int x, int y) override { return CPoint(x, y); }
};
