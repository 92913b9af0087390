// What the army gives its troops before a battle (the generals' factors,
// the commander's tactics, training), what its units read of it, how a
// division's standing order comes back through the army, and the summary
// the army fills when the battle is over.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "army/Army.h"
#include "army/DivisionState.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/GeneralFigures.h"
#include "Units/StatusSummary.h"
#include "Units/Unit.h"
#include "core/Random.h"
#include "world/Person.h"

namespace {

using namespace ArmyDivision;

CBattalion* BattalionOf(const CArmy& army, int division, int battalion) {
    CDivision* d = army.GetDivision(division, FALSE);
    return d ? d->m_battalions.FindByID(battalion, FALSE, TRUE) : nullptr;
}

// Knocks `n` units of a division out of the fight.
void Lose(CDivision* d, int n) {
    for (POSITION bp = d->m_battalions.GetHeadPosition(); bp && n > 0;) {
        CBattalion* b = d->m_battalions.GetBattalion(bp);
        for (POSITION up = b->m_units.GetHeadPosition(); up && n > 0; --n) b->m_units.GetUnit(up)->m_active = 0;
    }
}

class ArmyFactors : public ::testing::Test {
protected:
    void SetUp() override {
        GameSrand(21);
        a.m_opponent = &b;
        b.m_opponent = &a;
        a.m_commander = &commander;
        // Battalion types 0..3 in division 1, the commander's own in 0.
        int type = 0;
        for (POSITION pos = a.GetDivision(1, FALSE)->m_battalions.GetHeadPosition(); pos;)
            a.GetDivision(1, FALSE)->m_battalions.GetBattalion(pos)->m_battType = type++;
        for (CArmy* army : {&a, &b})
            for (POSITION dp = army->m_divisions.GetHeadPosition(); dp;) {
                CDivision* d = army->m_divisions.GetDivision(dp);
                for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
                    CBattalion* bt = d->m_battalions.GetBattalion(bp);
                    bt->m_commandFactor = 0.5;
                    for (POSITION up = bt->m_units.GetHeadPosition(); up;) {
                        CUnit* u = bt->m_units.GetUnit(up);
                        u->m_combat = 100;
                        u->m_level = 40;
                        u->m_morale = 1200;
                    }
                }
            }
    }
    CPerson commander;
    CArmy a{0, 2, true};
    CArmy b{1, 2, true};
};

TEST_F(ArmyFactors, TheCommandersTacticsByBattalionClass) {
    struct Case {
        int tactic;
        BOOL apply, variant;
        int combat[4];        // division 1's battalions of types 0..3
        int commandersCombat;  // the commander's own battalion (class 5)
        double morale;
        double commandFactor;  // the battalions' mean with the morale factor
    } cases[] = {
        {1, TRUE, FALSE, {120, 150, 100, 120}, 110, 1200 * (1 + 0.1 / 3), (0.5 + 0.1) / 2},
        {1, TRUE, TRUE, {140, 150, 130, 140}, 140, 1200 * (1 + 0.4 / 3), (0.5 + 0.4) / 2},
        {3, TRUE, FALSE, {110, 100, 100, 110}, 90, 1200 * (1 - 0.1 / 3), (0.5 - 0.1) / 2},
        {5, FALSE, FALSE, {100, 100, 100, 100}, 100, 1200, 0.25},
    };
    for (const Case& c : cases) {
        SetUp();
        commander.value9 = c.tactic;
        a.ApplyTactic(c.apply, c.variant);
        SCOPED_TRACE(testing::Message() << "tactic " << c.tactic << " variant " << c.variant);
        for (int t = 0; t < 4; ++t) EXPECT_EQ(BattalionOf(a, 1, t)->m_units.GetHead()->m_combat, c.combat[t]) << t;
        EXPECT_EQ(BattalionOf(a, 0, 0)->GetTacticClass(), 5);
        EXPECT_EQ(BattalionOf(a, 0, 0)->m_units.GetHead()->m_combat, c.commandersCombat);
        EXPECT_DOUBLE_EQ(BattalionOf(a, 1, 2)->m_units.GetHead()->m_morale, c.morale);
        EXPECT_DOUBLE_EQ(BattalionOf(a, 1, 2)->m_commandFactor, c.commandFactor);
    }
    // The level rises by half the bonus: 40 x 1.25 for the cavalry of set 1.
    SetUp();
    commander.value9 = 1;
    a.ApplyTactic(TRUE, FALSE);
    EXPECT_EQ(BattalionOf(a, 1, 1)->m_units.GetHead()->m_level, 50);
    EXPECT_DOUBLE_EQ(a.m_tacticFactor, 0.1);
}

TEST_F(ArmyFactors, NoTacticsWithoutACommanderOrASet) {
    for (int tactic : {0, 9}) {
        SetUp();
        commander.value9 = tactic;
        a.ApplyTactic(TRUE, FALSE);
        EXPECT_EQ(BattalionOf(a, 1, 0)->m_units.GetHead()->m_combat, 100);
        EXPECT_DOUBLE_EQ(BattalionOf(a, 1, 0)->m_commandFactor, 0.5);
    }
    SetUp();
    a.m_commander = nullptr;
    a.ApplyTactic(FALSE, FALSE);
    EXPECT_DOUBLE_EQ(BattalionOf(a, 1, 0)->m_commandFactor, 0.5);
}

TEST_F(ArmyFactors, FactorsTrainingAndWhatTheUnitsRead) {
    // Default battalions have no generals: the units keep only the offsets.
    a.SetBattalionFactors(0.7, 1.0);
    CUnit* u = BattalionOf(a, 2, 1)->m_units.GetHead();
    EXPECT_EQ(u->m_skill, 30);
    EXPECT_EQ(u->m_combat, 30);
    EXPECT_EQ(u->m_limitValue, 0);
    EXPECT_EQ(BattalionOf(b, 2, 1)->m_units.GetHead()->m_combat, 100);  // the other army untouched

    u->m_level = 99;
    const double before = u->m_trainingFactor;
    a.RecalcUnits();
    EXPECT_GT(u->m_trainingFactor, before);

    a.m_facing = 6;
    a.SetVisibilityFactor(0.4);
    a.m_detachmentsInPlay = 1;
    UnitArmyConditions c = u->GetArmyConditions();
    EXPECT_DOUBLE_EQ(c.visibility, 0.4);
    EXPECT_EQ(c.facing, 6);
    EXPECT_TRUE(c.detachmentsInPlay);

    a.m_messageFlags[1] = 0;
    EXPECT_EQ(a.GetAcknowledgeVolume(), 0.0);
    a.m_messageFlags[1] = 1;
    EXPECT_EQ(a.GetAcknowledgeVolume(), 0.9);
    a.m_messageFlags[0] = 1;
    EXPECT_EQ(a.GetAcknowledgeVolume(), 0.95);
}

TEST_F(ArmyFactors, AStandingOrderComesBackThroughTheOrderGate) {
    CDivision* d = a.GetDivision(2, FALSE);
    Stance(d) = 1;  // the computer's division holds by defending
    d->m_order = CObjective(128, 700, 800, -1, 2);
    d->m_resend = 1;
    d->ReceiveOrder(nullptr, FALSE);
    EXPECT_EQ(d->m_order.m_type, 512);
    EXPECT_EQ(d->m_resend, 0);
    EXPECT_EQ(d->m_action.m_type, 512);

    // A retreating division takes nothing back.
    d->m_order = CObjective(256, 700, 800, -1, 2);
    d->m_resend = 1;
    d->m_pendingOrders.DeleteAll();
    d->m_plan.DeleteAll();
    d->ReceiveOrder(nullptr, FALSE);
    EXPECT_EQ(d->m_order.m_type, 256);
    EXPECT_EQ(d->m_resend, 0);
}

TEST_F(ArmyFactors, AnIdleDivisionFallsBackToItsPosture) {
    CDivision* d = a.GetDivision(1, FALSE);
    a.SendOrder(d, new CObjective(4, 900, 900, -1, 2), TRUE, 1);  // a standing order outside the table
    ASSERT_EQ(d->m_action.m_type, 4);
    a.m_posture = 4;  // the army holds it to that: it stays as it is
    d->ReceiveOrder(nullptr, FALSE);
    EXPECT_EQ(d->m_action.m_type, 4);
    EXPECT_EQ(d->m_idle, 1);
    a.m_posture = 1;  // otherwise it defends where its order took it
    d->ReceiveOrder(nullptr, FALSE);
    EXPECT_EQ(d->m_action.m_type, 512);
    EXPECT_EQ(d->m_order.m_type, 512);
    EXPECT_EQ(d->m_action.m_x, 900);
}

TEST_F(ArmyFactors, TheSummaryOfAWonBattle) {
    Lose(b.GetDivision(1, FALSE), 4);
    Lose(a.GetDivision(2, FALSE), 3);
    MarkLost(a.GetDivision(2, FALSE));
    a.SetScale(1.5);
    a.m_tickCount = 100;
    CStatusSummary15 node;
    a.FillStatus(&node);
    EXPECT_EQ(node.m_childCount, 3);
    EXPECT_EQ(node.m_active, 1);  // still in the field
    EXPECT_EQ(node.m_closed, 0);
    for (int i = 0; i < 3; ++i) ASSERT_NE(node.GetChild(i), nullptr);
    EXPECT_EQ(node.GetChild(2)->m_closed, 1);  // the lost division
    EXPECT_EQ(node.GetChild(1)->m_closed, 0);
    EXPECT_EQ(node.GetChild(2)->m_a, 3);
    EXPECT_EQ(a.m_casualties, 3);
    EXPECT_EQ(node.m_stamp, 2 * (0 + 3 * 4));  // the enemy's lost units, early in the battle
    // No strength recounted on either side: a ratio of 1.
    const double factor = (std::sin(9.0 * 3.141592653589793 / 180.0) + 1) / 2;
    EXPECT_NEAR(node.m_factor, factor * 1.5, 1e-12);

    a.m_tickCount = 9000;  // late: the enemy's losses count once
    a.FillStatus(&node);
    EXPECT_EQ(node.m_stamp, 2 * 4);
    EXPECT_EQ(node.m_childCount, 3);
}

TEST(ArmySummary, ALostBattleWeighsWhatTheEnemyLost) {
    struct Case {
        int enemyLost, ticks, score;
    } cases[] = {
        {1, 100, -7000},  // less than a tenth of our 20
        {2, 100, -1000},
        {3, 100, 0},
        {1, 8641, 0},  // a long battle lost costs nothing more
    };
    for (const Case& c : cases) {
        CArmy a(0, 2, true), b(1, 2, true);
        a.m_opponent = &b;
        b.m_opponent = &a;
        Lose(a.GetDivision(1, FALSE), 20);
        Lose(b.GetDivision(0, FALSE), c.enemyLost);
        a.m_active = 0;
        a.m_routed = 1;
        a.m_tickCount = c.ticks;
        a.SetScale(3.0);  // no weight once out of the field
        CStatusSummary15 node;
        a.FillStatus(&node);
        SCOPED_TRACE(testing::Message() << c.enemyLost << " at " << c.ticks);
        EXPECT_EQ(node.m_stamp, c.score);
        EXPECT_EQ(node.m_active, 0);
        EXPECT_EQ(node.m_closed, 1);
        EXPECT_LT(node.m_factor, 1.0);
    }
}

}  // namespace
