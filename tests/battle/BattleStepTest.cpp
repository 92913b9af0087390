// The battle step: its order of work, the armies by slot on every machine,
// and the end of the battle.
#include <gtest/gtest.h>

#include "tests/battle/BattleFixture.h"

using Lines = std::vector<std::string>;

TEST(BattleStep, OrdersRunFirstThenTheArmiesBySlotWhicheverSideIsLocal) {
    for (int local : {0, 1}) {
        BattleViewFixture f;
        AddEffectPictures(f.view);
        f.view.LocalSide = local;
        f.view.OtherSide = 1 - local;
        CDivision* d = f.Army(1).AddDivision(4);
        f.view.QueueTargetOrder(d, new CObjective(16, 10, 10), 1, 1);
        f.view.QueueUnitOrder(29, 0, 0, 0, 1);
        f.view.BattleTick = 1;
        int before = RandCallCount;
        ASSERT_TRUE(f.view.RunBattleStep());
        EXPECT_EQ(f.log, (Lines{"side1 send d4 type 16 a0 b0", "side0 drum", "side0 update", "side1 update"}))
            << "local side " << local;
        EXPECT_GE(RandCallCount - before, 1) << "the weather draws every step";
        EXPECT_EQ(f.view.BattleTick, 2u);
        EXPECT_EQ(f.view.BattleFrame, 1);
    }
}

TEST(BattleStep, TheBattleEndsOnceWhenAnArmyLeavesIt) {
    BattleViewFixture f;
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(f.view.RunBattleStep());
    EXPECT_EQ(f.view.BattleTick, 5u);
    f.Army(0).inBattle = FALSE;
    f.Army(1).inBattle = FALSE;
    EXPECT_FALSE(f.view.RunBattleStep());
    EXPECT_EQ(f.view.BattleTick, 5u) << "the last step does not move the clock on";
}
