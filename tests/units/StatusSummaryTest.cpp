// The after-battle summary: what the battalions and divisions put in it and
// what it books on the generals; and the figures the generals give their
// troops before a battle.
#include <gtest/gtest.h>

#include <memory>

#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/GeneralFigures.h"
#include "Units/StatusSummary.h"
#include "Units/Unit.h"
#include "core/Random.h"
#include "tests/units/UnitsFixtures.h"

namespace {

// A general whose five attributes are all `attribute` and whose arm
// attributes are all `arm` (a factor of arm x 0.02 for every arm).
std::unique_ptr<CPerson> General(int attribute, int arm) {
    auto p = std::make_unique<CPerson>();
    for (auto& t : p->workTableB.traits) t = int8_t(attribute);
    for (int k = 1; k <= 5; ++k) p->workTableB.skills[k] = int8_t(arm);
    return p;
}

// A leaf that counts how often leaves die, to see who owns them.
struct CountedLeaf : CStatusSummary {
    static inline int deleted = 0;
    ~CountedLeaf() override { ++deleted; }
};

TEST(StatusSummary, TheArmyNodeRaisesTheCommandersLevelByWholeThousands) {
    struct Case {
        int level, childD, score;
        double factor;
        int expectedLevel, expectedD;
    } cases[] = {
        {98, 2500, 0, 1.0, 99, 2500},     // +10, kept at 99
        {3, -1500, 0, 1.0, 1, -1500},     // -5, kept at 1
        {50, 999, 0, 1.0, 50, 999},       // not a whole thousand
        {50, 1000, 1000, 0.5, 55, 1000},  // (D + score) x factor
        {50, 3000, 0, 0.0, 50, 0},
    };
    for (const Case& c : cases) {
        auto commander = General(50, 50);
        commander->workTableB.grades[0] = int8_t(c.level);
        CStatusSummary15 army;
        auto* division = new CStatusSummary4;
        division->m_general = commander.get();
        division->m_d = c.childD;
        army.SetChild(0, division);
        army.Gather(c.factor, c.score);
        EXPECT_EQ(GeneralFigures::Level(commander.get()), c.expectedLevel) << c.level << " " << c.childD;
        EXPECT_EQ(army.m_d, c.expectedD);
        EXPECT_EQ(army.m_general, commander.get());
        EXPECT_EQ(army.m_stamp, c.score);
    }
}

TEST(StatusSummary, ALeafBooksItsBattleOnTheGeneral) {
    auto general = General(50, 50);
    general->workTableB.experience = 10;
    general->standing = 130;
    general->assigned = 1;
    CStatusSummary leaf;
    leaf.m_general = general.get();
    leaf.m_record.c12 = 100;  // a merit score of 300
    leaf.m_changed = 1;
    ASSERT_EQ(leaf.m_record.GetMeritScore(), 300);
    leaf.Propagate(1533);
    EXPECT_EQ(GeneralFigures::Experience(general.get()), 25);  // 3 + 10, at least 25
    // His standing by his rating with the experience just gained.
    const int rating = general->workTableB.GetCombatRating(general->state);
    ASSERT_GT(rating * 300 / 1000, 0);
    EXPECT_EQ(general->standing, 130 + std::min(5, rating * 300 / 1000));
    EXPECT_EQ(general->record.c12, 100);
    EXPECT_EQ(general->assigned, 0);  // taken
    EXPECT_EQ(general->lastAction, 1533);

    general->workTableB.experience = 98;
    CStatusSummary again;
    again.m_general = general.get();
    again.m_record.c12 = 1000;
    again.Propagate(1540);
    EXPECT_EQ(GeneralFigures::Experience(general.get()), 99);
    EXPECT_EQ(general->lastAction, 1533);  // not taken this time

    CStatusSummary nobody;  // a battalion without a general books nothing
    nobody.m_record.c12 = 5;
    nobody.Propagate(1);
}

TEST(StatusSummary, ADivisionBooksItsLossesOnItsGeneralsTroops) {
    struct Case {
        int arm, units, horses, rifles, lost, fled;
        BYTE taken;
        int expectUnits, expectHorses, expectRifles;
    } cases[] = {
        {0, 10, 4, 4, 2, 1, 0, 7, 4, 4},    // infantry: only the troops
        {0, 2, 0, 0, 4, 1, 0, 1, 0, 0},     // at least 1 left
        {0, 0, 0, 0, 1, 0, 0, 0, 0, 0},     // a drop never raises
        {1, 10, 6, 0, 2, 1, 0, 7, 3, 0},    // cavalry: the horses too
        {4, 10, 0, 8, 3, 0, 0, 7, 0, 5},    // rifles
        {0, 10, 0, 0, 2, 1, 1, 8, 0, 0},    // taken: 1 - (A + B)
        {1, 3, 2, 0, 10, 0, 1, 0, 0, 0},    // taken: at least 0
    };
    for (const Case& c : cases) {
        auto general = General(50, 50);
        general->state = c.arm;
        general->units = c.units;
        general->horses = c.horses;
        general->rifles = c.rifles;
        CStatusSummary4 division;
        auto* leaf = new CStatusSummary;
        leaf->m_general = general.get();
        leaf->m_a = c.lost;
        leaf->m_b = c.fled;
        leaf->m_changed = c.taken;
        leaf->m_record.c5 = 7;
        division.SetChild(0, leaf);
        division.Gather();
        EXPECT_EQ(division.m_a + division.m_b, c.lost + c.fled);
        division.Propagate(1);
        SCOPED_TRACE(testing::Message() << "arm " << c.arm << " units " << c.units << " taken " << int(c.taken));
        EXPECT_EQ(general->units, c.expectUnits);
        EXPECT_EQ(general->horses, c.expectHorses);
        EXPECT_EQ(general->rifles, c.expectRifles);
        EXPECT_EQ(division.m_record.c5, 7);  // the leaves' records added up
    }
}

TEST(StatusSummary, NodesOwnTheirChildren) {
    CountedLeaf::deleted = 0;
    {
        CStatusSummary15 army;
        for (int d = 0; d < 3; ++d) {
            auto* division = new CStatusSummary4;
            for (int b = 0; b < 4; ++b) EXPECT_TRUE(division->SetChild(b, new CountedLeaf));
            EXPECT_TRUE(army.SetChild(d, division));
        }
        EXPECT_FALSE(army.GetChild(0)->SetChild(4, new CountedLeaf));  // outside: deleted at once
        EXPECT_EQ(CountedLeaf::deleted, 1);
        army.GetChild(1)->SetChild(2, new CountedLeaf);  // replaces and deletes the old one
        EXPECT_EQ(CountedLeaf::deleted, 2);
        EXPECT_FALSE(army.SetChild(15, new CStatusSummary4));
        army.Reset();
        EXPECT_EQ(CountedLeaf::deleted, 14);
        EXPECT_EQ(army.GetChild(0), nullptr);
        army.SetChild(14, new CStatusSummary4);
        army.GetChild(14)->SetChild(3, new CountedLeaf);
    }
    EXPECT_EQ(CountedLeaf::deleted, 15);  // the destructor deletes what is left
}

// A division of four default battalions under a general and his officer.
class GeneralsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        army.commander = commander.get();
        division = std::make_unique<CDivision>(1, 500, 500, &army);
        division->m_general = divisionGeneral.get();
        POSITION pos = division->m_battalions.GetHeadPosition();
        first = division->m_battalions.GetBattalion(pos);
        second = division->m_battalions.GetBattalion(pos);
        first->m_general = divisionGeneral.get();
        second->m_general = officer.get();
    }
    CFakeArmy army;
    std::unique_ptr<CPerson> commander = General(60, 50);
    std::unique_ptr<CPerson> divisionGeneral = General(50, 50);  // arm factor 1.0
    std::unique_ptr<CPerson> officer = General(50, 50);
    std::unique_ptr<CDivision> division;
    CBattalion* first = nullptr;
    CBattalion* second = nullptr;
};

TEST_F(GeneralsFixture, GeneralsGiveTheirUnitsTheirFigures) {
    CUnit* u = second->m_units.GetHead();
    u->m_combat = 100;
    u->m_combat2 = 50;
    u->m_morale = 1000;
    division->ApplyGeneralFactors(0.5, 0.4);
    // Each figure: (0.1 x 50 x 0.005 + 0.9 x 50 x 0.005) x 0.7 = 0.175.
    EXPECT_EQ(u->m_skill, 47);
    EXPECT_EQ(u->m_level, 47);
    EXPECT_EQ(u->m_combat, 47);
    EXPECT_EQ(u->m_combat2, 23);
    EXPECT_NEAR(u->m_morale, 1000 * 0.175 * 0.5, 1e-9);
    EXPECT_EQ(u->m_limitValue, 3000);
    EXPECT_NEAR(second->m_commandFactor, 0.5, 1e-12);  // (5 + 45) x 0.01

    // Without generals: the offsets alone, and the least command factor.
    CBattalion alone(0, 0, 0, 3, 0, nullptr);
    CUnit* v = alone.m_units.GetHead();
    v->m_combat = 100;
    alone.ApplyGeneralFactors(1.0, 1.0);
    EXPECT_EQ(v->m_skill, 30);
    EXPECT_EQ(v->m_combat, 30);
    EXPECT_EQ(v->m_morale, 0.0);
    EXPECT_EQ(v->m_limitValue, 0);
    EXPECT_DOUBLE_EQ(alone.m_commandFactor, 0.001);
}

TEST_F(GeneralsFixture, GatherStatusCountsTheLostAndThoseWhoGotAway) {
    // Unit 0 stands, 1 is lost, 2 lost and taken, 3 taken but alive, 4 no
    // longer able, 5 routed, 6 both: the broken ones draw against the
    // leadership, 20 + 50 + 50 here.
    CUnit* units[10];
    int i = 0;
    for (POSITION pos = second->m_units.GetHeadPosition(); pos;) units[i++] = second->m_units.GetUnit(pos);
    units[1]->m_active = 0;
    units[2]->m_active = 0;
    units[2]->m_captured = 1;
    units[3]->m_captured = 1;
    units[3]->m_able = 0;
    units[4]->m_able = 0;
    units[5]->m_routed = 1;
    units[6]->m_able = 0;
    units[6]->m_routed = 1;
    second->m_record.c12 = 9;

    GameSrand(3);
    int before = RandCallCount;
    CStatusSummary leaf;
    int lostAndFled = second->GatherStatus(leaf);
    const int draws = RandCallCount - before;
    EXPECT_GE(draws, 3);  // one each for 4, 5 and 6; 6 a second time unless the first let it go
    EXPECT_LE(draws, 4);
    EXPECT_EQ(leaf.m_a, 2);
    EXPECT_EQ(second->m_record.c13, 2);
    EXPECT_EQ(second->m_record.c14, leaf.m_b);
    EXPECT_EQ(lostAndFled, leaf.m_a + leaf.m_b);
    EXPECT_EQ(leaf.m_changed, 1);  // unit 2 was taken
    EXPECT_EQ(leaf.m_c, 9);
    EXPECT_EQ(leaf.m_general, officer.get());
    EXPECT_EQ(leaf.m_record.c14, leaf.m_b);
    EXPECT_EQ(leaf.m_d, second->m_record.GetMeritScore());
    EXPECT_EQ(second->m_spareWordD, 10);

    // Generals that lead well enough keep every broken unit in the field.
    for (CPerson* p : {commander.get(), divisionGeneral.get(), officer.get()})
        for (auto& t : p->workTableB.traits) t = 99;
    CStatusSummary steady;
    before = RandCallCount;
    second->GatherStatus(steady);
    EXPECT_EQ(steady.m_b, 0);
    EXPECT_EQ(RandCallCount - before, 4);
}

TEST_F(GeneralsFixture, TheDivisionFillsItsNodeByBattalionNumber) {
    first->m_units.GetHead()->m_active = 0;
    division->m_type = 3;
    CStatusSummary4 node;
    EXPECT_EQ(division->GatherStatus(node), 1);
    for (int b = 0; b < 4; ++b) ASSERT_NE(node.GetChild(b), nullptr) << b;
    EXPECT_EQ(node.GetChild(1)->m_general, officer.get());
    EXPECT_EQ(node.m_general, divisionGeneral.get());  // battalion 0's
    EXPECT_EQ(node.m_a, 1);
    EXPECT_EQ(node.m_type, 3);
    EXPECT_EQ(division->GetLossFigure(FALSE), 1);
    second->m_units.GetHead()->m_routed = 1;
    EXPECT_EQ(division->GetLossFigure(TRUE), 1);
}

TEST(DivisionLosses, ADetachmentThatLosesTooMuchIsOut) {
    CFakeArmy army;
    for (double share : {0.0, 1.0}) {
        CDivision det(13, 500, 500, &army);
        det.m_initialUnits = det.CountUnits(TRUE, TRUE);
        GameSrand(9);
        det.ApplyLosses(share, 0.1);
        SCOPED_TRACE(share);
        if (share == 0.0) {
            EXPECT_EQ(det.CountUnits(TRUE, TRUE), 40);
            EXPECT_FALSE(det.m_routed);
        } else {
            EXPECT_LE(det.CountUnits(TRUE, TRUE), 12);  // at most 0.3 of the 40 left
            EXPECT_TRUE(det.m_routed);
            EXPECT_FALSE(det.m_active);
        }
    }
    // A line division is not taken out by its losses.
    CDivision line(3, 500, 500, &army);
    line.m_initialUnits = 40;
    GameSrand(9);
    line.ApplyLosses(1.0, 0.1);
    EXPECT_FALSE(line.m_routed);
}

}  // namespace
