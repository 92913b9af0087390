// What the army gives its divisions' own decisions: the rear guard it names
// when its headquarters fall (the first strong division whose general would
// hold, once for each rear guard the army has), and the queue a detachment's
// arrival is told through.
#include <gtest/gtest.h>

#include "army/Army.h"
#include "field/BattlefieldTables.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "world/Person.h"

namespace {

// Divisions 0..3 of four battalions; division `strong` (and 0) given two
// more battalions, a fit lead unit and a general who would hold.
struct Rearguard {
    explicit Rearguard(int strong) : army(0, 3, true) {
        general.workTableB.skills[6] = 8;
        general.workTableB.traits[1] = 20;
        for (POSITION pos = army.m_divisions.GetHeadPosition(); pos;) {
            CDivision* d = army.m_divisions.GetDivision(pos);
            d->m_active = 1;
            d->GetLeadUnit()->m_headCount = 200;
            if (d->m_number != strong && d->m_number != 0) continue;
            for (int i = 4; i < 6; ++i) {
                auto* b = new CBattalion(i, 0, 0, 10, 0, nullptr);
                b->m_division = d;
                d->m_battalions.AddBattalion(b);
            }
            d->m_general = &general;
        }
    }
    double MoraleOf(int division) {
        CDivision* d = army.GetDivision(division, FALSE);
        POSITION b = d->m_battalions.GetHeadPosition();
        CBattalion* bt = d->m_battalions.GetBattalion(b);
        POSITION u = bt->m_units.GetHeadPosition();
        return bt->m_units.GetUnit(u)->m_morale;
    }
    CArmy army;
    CPerson general;
};

TEST(RearGuard, TheFirstStrongDivisionStandsOncePerRearGuardLeft) {
    Rearguard r(2);
    r.army.m_humanControlled = 1;
    r.army.m_messageFlags[0] = r.army.m_messageFlags[1] = 1;
    const double before = r.MoraleOf(2);
    r.army.AssignRearGuard();
    EXPECT_EQ(r.army.GetDivision(2, FALSE)->m_rearGuard, 1);
    EXPECT_EQ(r.army.GetDivision(0, FALSE)->m_rearGuard, 0) << "the commander's division never";
    EXPECT_DOUBLE_EQ(r.MoraleOf(2) - before, 30.0 * 20);
    EXPECT_EQ(r.army.m_budgets.rearGuards, 0);
    CBattleMessage m;
    ASSERT_TRUE(r.army.TakeBattleMessage(m));
    EXPECT_EQ(m.messageId, 27);
    // None left: nothing more.
    r.army.AssignRearGuard();
    EXPECT_FALSE(r.army.TakeBattleMessage(m));
}

TEST(RearGuard, NoDivisionQualifiesWithoutStrengthOrWill) {
    struct Case {
        const char* what;
        void (*spoil)(CDivision*, CPerson&);
    } cases[] = {
        {"out of the fight", [](CDivision* d, CPerson&) { d->m_active = 0; }},
        {"a worn lead unit", [](CDivision* d, CPerson&) { d->GetLeadUnit()->m_headCount = 150; }},
        {"a general who would not hold", [](CDivision*, CPerson& g) { g.workTableB.skills[6] = 16; }},
        {"five battalions", [](CDivision* d, CPerson&) { d->m_battalions.FindByID(5, FALSE, TRUE)->m_routed = 1; }},
        {"a rear guard already", [](CDivision* d, CPerson&) { d->m_rearGuard = 1; }},
    };
    for (const Case& c : cases) {
        Rearguard r(2);
        c.spoil(r.army.GetDivision(2, FALSE), r.general);
        const double before = r.MoraleOf(2);
        r.army.AssignRearGuard();
        EXPECT_EQ(r.army.m_budgets.rearGuards, 1) << c.what;
        EXPECT_EQ(r.MoraleOf(2), before) << c.what;
        CBattleMessage m;
        EXPECT_FALSE(r.army.TakeBattleMessage(m)) << c.what << ": the computer's army tells no one";
    }
}

TEST(DetachmentArrival, ThePlayerHearsOfHisDetachmentAndTheEnemyOfTheComputers) {
    for (bool player : {true, false}) {
        CArmy own(player ? 0 : 1, 12, true), enemy(player ? 1 : 0, 0, true);
        own.m_opponent = &enemy;
        enemy.m_opponent = &own;
        own.m_messageFlags[1] = player;
        own.m_reinforcement = 1;
        own.m_detachmentMode = 0;
        CDivision* d = own.GetDivision(12, FALSE);
        CPerson general;
        general.id = 57;
        d->m_general = &general;
        for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
            CBattalion* b = d->m_battalions.GetBattalion(bp);
            for (POSITION up = b->m_units.GetHeadPosition(); up;) {
                CUnit* u = b->m_units.GetUnit(up);
                u->m_morale = 1600;
                u->m_headCount = 200;
            }
        }
        d->RecountBattalions();
        d->m_detachCountdown = 1;
        d->Tick();
        CBattleMessage m;
        CArmy& told = player ? own : enemy;
        ASSERT_TRUE(told.TakeBattleMessage(m)) << (player ? "player" : "computer");
        EXPECT_EQ(m.messageId, player ? 0 : 3);
        EXPECT_EQ(m.speaker, player ? 57 : (enemy.m_side > 0 ? -4 : -3));
        EXPECT_FALSE((player ? enemy : own).TakeBattleMessage(m));
        EXPECT_EQ(d->m_detachCountdown, 0) << "it comes";
    }
}

// The side that holds a castle's field keeps to its works: its units see
// the terrain flag (the commander's division takes its places among the
// walls, no battalion sallies against the shooters or goes for the key
// points). On an open field neither side does.
TEST(DivisionLinks, TheArmyHoldingTheCastleOfItsFieldKeepsToItsGround) {
    struct Case {
        int battlefield;
        bool first, second;
    } cases[] = {{0, false, false}, {1, false, true}, {5, true, false}};
    for (const Case& c : cases) {
        CArmy first(0, 3, true), second(1, 3, true);
        GetLoadingBattlefieldFlags(c.battlefield, first.m_leading, second.m_leading);
        EXPECT_EQ(first.GetUnitConditions().terrainFlag, c.first) << "battlefield " << c.battlefield;
        EXPECT_EQ(second.GetUnitConditions().terrainFlag, c.second) << "battlefield " << c.battlefield;
    }
}

}  // namespace
