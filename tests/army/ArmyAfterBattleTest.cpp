// Two kit armies given their generals' factors and tactics, a battle run
// headless with a skirmish's losses on each side, and the summary the armies
// make of it booked on the generals.
#include <gtest/gtest.h>

#include "army/Army.h"
#include "battle/BattleRunner.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/GeneralFigures.h"
#include "Units/StatusSummary.h"
#include "Units/Unit.h"
#include "tests/support/LoadedBattlefield.h"

namespace {

TEST(ArmyAfterBattle, ABattleIsSummedUpAndBookedOnTheGenerals) {
    CBattleRunner run;
    CBattleSetupSpec spec;
    spec.kitFolder = KitFolder();
    spec.seed = 31;
    std::string error;
    ASSERT_TRUE(run.Load(spec, error)) << error;
    for (int side = 0; side < 2; ++side) {
        CArmy* army = run.Army(side);
        army->SetBattalionFactors(1.0, 1.0);
        army->ApplyTactic(TRUE, FALSE);
        army->RecalcUnits();
        army->RecountDivisions();
        // Every unit under a general of the kit takes figures in range.
        for (POSITION dp = army->m_divisions.GetHeadPosition(); dp;) {
            CDivision* d = army->m_divisions.GetDivision(dp);
            ASSERT_NE(d->m_general, nullptr);
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
                CBattalion* b = d->m_battalions.GetBattalion(bp);
                EXPECT_GT(b->m_commandFactor, 0.0);
                EXPECT_LE(b->m_commandFactor, 1.0);
                const CUnit* u = b->m_units.GetHead();
                EXPECT_GE(u->m_skill, 30);
                EXPECT_LE(u->m_skill, 100);
                EXPECT_LE(u->m_combat, 180);
                EXPECT_GE(u->m_morale, 0.0);
                EXPECT_LE(u->m_morale, 3000.0);
            }
        }
        // Both armies advance on each other.
        for (int id = 0; id < 15; ++id)
            run.Script({uint32_t(5 + id), side, id, 2, side ? 900 : 2100, 300 + 100 * id});
    }
    run.Run(300);
    // Skirmishes thin out a division of each side.
    run.Army(0)->GetDivision(1, FALSE)->ApplyLosses(0.6, 0.1);
    run.Army(1)->GetDivision(0, FALSE)->ApplyLosses(0.4, 0.1);
    run.Run(310);

    for (int side = 0; side < 2; ++side) {
        CArmy* army = run.Army(side);
        SCOPED_TRACE(side);
        CStatusSummary15 node;
        army->FillStatus(&node);
        EXPECT_EQ(node.m_childCount, army->m_divisions.GetCount());
        int lost = 0, gathered = 0;
        for (POSITION dp = army->m_divisions.GetHeadPosition(); dp;) {
            CDivision* d = army->m_divisions.GetDivision(dp);
            lost += d->GetLossFigure(FALSE);
            const CStatusSummary4* child = node.GetChild(d->m_number);
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(child->m_general, d->m_general);
            EXPECT_EQ(child->m_type, d->m_type);
            gathered += child->m_a;
        }
        EXPECT_GT(lost, 0);
        EXPECT_EQ(gathered, lost);
        EXPECT_EQ(node.m_a, lost);
        EXPECT_GE(army->m_casualties, lost);
        EXPECT_GT(node.m_factor, 0.0);

        CPerson* commander = node.m_general;
        ASSERT_NE(commander, nullptr);
        const int lostBefore = commander->record.c13;
        node.Propagate(1560);
        EXPECT_GE(GeneralFigures::Level(commander), 1);
        EXPECT_LE(GeneralFigures::Level(commander), 99);
        EXPECT_GE(GeneralFigures::Experience(commander), 25);
        EXPECT_LE(GeneralFigures::Experience(commander), 99);
        EXPECT_EQ(commander->record.c13 - lostBefore, node.GetChild(0)->GetChild(0)->m_a);
        EXPECT_GE(commander->units, node.m_changed ? 0 : 1);
    }
}

}  // namespace
