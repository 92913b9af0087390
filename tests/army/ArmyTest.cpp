// The army: its roster, its order gate, its tick, the detachment
// arbitration, its grid and front line, and two armies of the kit's world
// standing in formation on a kit battlefield.
#include <gtest/gtest.h>

#include <map>

#include "army/Army.h"
#include "army/DivisionState.h"
#include "Units/Battalion.h"
#include "Units/Unit.h"
#include "core/Random.h"
#include "field/Terrain.h"
#include "tests/support/KitFormations.h"
#include "world/WorldLists.h"

namespace {

using namespace ArmyDivision;

// Counts what the army asks of its battle AI.
class CRecordingAI : public CNullBattleAI {
public:
    explicit CRecordingAI(std::map<std::string, int>& calls) : m_calls(calls) {}
    void Think(CArmy&) override { ++m_calls["think"]; }
    void RunPosture(CArmy&, int code) override { ++m_calls["posture " + std::to_string(code)]; }
    void RunFormationRoutine(CArmy&, int id) override { ++m_calls["routine " + std::to_string(id)]; }
    void FinishDeployment(CArmy&) override { ++m_calls["finish"]; }

private:
    std::map<std::string, int>& m_calls;
};

double MoraleOf(const CDivision* d) {
    POSITION b = d->m_battalions.GetHeadPosition();
    const CBattalion* bt = d->m_battalions.GetBattalion(b);
    POSITION u = bt->m_units.GetHeadPosition();
    return bt->m_units.GetUnit(u)->m_morale;
}

TEST(Army, ConstructionMakesItsDivisions) {
    GameSrand(11);
    int before = RandCallCount;
    CArmy plain;
    EXPECT_EQ(RandCallCount - before, 2);  // tie, then level
    EXPECT_GE(plain.m_randomTie, 1);
    EXPECT_LE(plain.m_randomTie, 3);
    EXPECT_GE(plain.m_aiLevel, 1);
    EXPECT_LE(plain.m_aiLevel, 5);
    ASSERT_EQ(plain.m_divisions.GetCount(), 11);
    for (int i = 0; i <= 10; ++i) {
        CDivision* d = plain.GetDivision(i, FALSE);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->m_x, -1000 + 10 * i);
        EXPECT_EQ(d->m_y, -1000);
    }
    CArmy none(1, -1, true);
    EXPECT_EQ(none.m_divisions.GetCount(), 0);
    CArmy full(1, 14, true);
    EXPECT_EQ(full.m_divisions.GetCount(), 15);
    EXPECT_EQ(full.GetDivision(14, FALSE)->m_x, 140);
}

class TwoArmies : public ::testing::Test {
protected:
    void SetUp() override {
        GameSrand(5);
        a.m_opponent = &b;
        b.m_opponent = &a;
        for (CArmy* army : {&a, &b}) {
            army->RecountDivisions();
            for (POSITION pos = army->m_divisions.GetHeadPosition(); pos;) {
                CDivision* d = army->m_divisions.GetDivision(pos);
                d->SetPosition(1000, 1000);
            }
        }
    }
    CArmy a{0, 14, true};
    CArmy b{1, 14, true};
};

TEST_F(TwoArmies, ADivisionIsLostOnce) {
    CDivision* lost = a.GetDivision(3, FALSE);
    const double own = MoraleOf(a.GetDivision(1, FALSE)), theirs = MoraleOf(b.GetDivision(1, FALSE));
    a.GetDivision(1, FALSE)->UpdateBattalionUnits(1000);  // room to fall
    const double raised = MoraleOf(a.GetDivision(1, FALSE));
    (void)own;
    const int last = a.m_lastIndex;
    a.OnDivisionLost(lost);
    a.OnDivisionLost(lost);
    EXPECT_TRUE(IsLost(lost));
    EXPECT_EQ(a.m_lastIndex, last - 1);
    EXPECT_DOUBLE_EQ(MoraleOf(a.GetDivision(1, FALSE)), raised - 300);
    EXPECT_DOUBLE_EQ(MoraleOf(b.GetDivision(1, FALSE)), theirs + 180);
}

TEST_F(TwoArmies, ARemovedDivisionIsForgottenEverywhere) {
    CDivision* d = a.GetDivision(4, FALSE);
    a.Update();  // fills the queue
    ASSERT_NE(a.m_queue.Find(d), nullptr);
    a.m_chaseTargets[1] = d;
    b.m_chaseTargets[0] = d;
    b.m_hunted = d;
    EXPECT_FALSE(a.RemoveDivision(4));
    EXPECT_EQ(a.GetDivision(4, FALSE), nullptr);
    EXPECT_EQ(a.m_queue.Find(d), nullptr);
    EXPECT_EQ(a.m_chaseTargets[1], nullptr);
    EXPECT_EQ(b.m_chaseTargets[0], nullptr);
    EXPECT_EQ(b.m_hunted, nullptr);
    for (int i = 0; i < 20; ++i) a.Update();  // the queue never hands it out again
    EXPECT_FALSE(a.RemoveDivision(77));
}

TEST_F(TwoArmies, TheOrderGate) {
    CDivision* d = a.GetDivision(2, FALSE);
    auto send = [&](int type) {
        a.SendOrder(d, new CObjective(type, 700, 800), TRUE, 1);
        return d->m_order.m_type;
    };
    Stance(d) = 1;
    EXPECT_EQ(send(128), 512);  // the computer's division holds by defending
    a.m_humanControlled = 1;
    EXPECT_EQ(send(128), 128);
    EXPECT_EQ(send(256), 256);
    EXPECT_EQ(send(16), 256);  // a retreat takes no further order, not even another retreat
    d->m_order.m_type = 16;
    MarkLost(d);
    EXPECT_EQ(send(2), 16);
    // Detachments only once in play and not told to stay away.
    CDivision* det = a.GetDivision(13, FALSE);
    EXPECT_EQ((a.SendOrder(det, new CObjective(2, 1, 1), TRUE, 1), det->m_order.m_type), -1);
    a.m_detachmentsInPlay = 1;
    det->m_detachCountdown = -1;
    EXPECT_EQ((a.SendOrder(det, new CObjective(2, 1, 1), TRUE, 1), det->m_order.m_type), -1);
    det->m_detachCountdown = 0;
    EXPECT_EQ((a.SendOrder(det, new CObjective(2, 1, 1), TRUE, 1), det->m_order.m_type), 2);
    a.SendOrder(nullptr, new CObjective(2, 1, 1), TRUE, 1);  // nothing to deliver to
    a.SendOrder(det, nullptr, TRUE, 1);
    EXPECT_TRUE(det->m_pendingOrders.IsEmpty());
}

TEST_F(TwoArmies, OrderDivisionBuildsOneOrder) {
    CDivision* d = a.GetDivision(1, FALSE);
    d->m_type = 0;  // fresh infantry
    d->SetPosition(1000, 1000);
    a.OrderDivision(d, 1, 1701, 1000, 0x4000, -2, FALSE, 100, 0);
    EXPECT_EQ(d->m_order.m_type, 2);  // 701 away: an attack
    a.OrderDivision(d, 1, 1700, 1000, 0x4000, -2, FALSE, 100, 0);
    EXPECT_EQ(d->m_order.m_type, 1);
    EXPECT_EQ(d->m_order.m_facing, 2);
    EXPECT_EQ(d->m_flags, 0x4000);
    EXPECT_EQ(Ordered(d), 1);
    EXPECT_EQ(d->m_ready, 0);
    a.OrderDivision(d, 16, -50, 2500, 0, 1, FALSE, 0, 0);
    EXPECT_EQ(d->m_order.m_x, 0);
    EXPECT_EQ(d->m_order.m_y, 2000);
    EXPECT_EQ(d->m_order.m_facing, (a.m_facing + 1) % 8);
    int before = RandCallCount;
    a.OrderDivision(d, 16, 1500, 1500, 0, 0, FALSE, 0, 20);
    EXPECT_EQ(RandCallCount - before, 2);
    EXPECT_LE(std::abs(d->m_order.m_x - 1500), 20);
    EXPECT_LE(std::abs(d->m_order.m_y - 1500), 20);
    a.OrderDivision(nullptr, 16, 1, 1, 0, 0, TRUE, 0, 0);  // nothing happens

    // A formation drawn for the order, or the one it leads with when its
    // list has none for it.
    CDivFormationList formations;
    CDivFormation* wedge = new CDivFormation(37);
    wedge->m_dwFlags = 2;
    formations.AddTail(wedge);
    formations.AddTail(new CDivFormation(15));
    d->Setup(&formations, 15, nullptr, 1000, 1000, 2);
    a.OrderDivision(d, 512, 1200, 1000, 0, 0, TRUE, 0, 0);
    EXPECT_EQ(d->m_order.m_targetId, 15);
    a.OrderDivision(d, 2, 1200, 1000, 0, 0, TRUE, 0, 0);
    EXPECT_EQ(d->m_order.m_targetId, 37);
    d->m_formationList = nullptr;
    d->m_formation = nullptr;
}

TEST_F(TwoArmies, TheQueueGivesOneDivisionATurnInKeyOrder) {
    a.m_detachmentsInPlay = 1;
    a.Update();  // refill: no division this tick
    EXPECT_EQ(a.m_lastQueued, -1);
    ASSERT_EQ(a.m_queue.GetCount(), 15);
    int smallest = 100000, first = -1;
    for (POSITION pos = a.m_queue.GetHeadPosition(); pos;) {
        CDivision* d = a.m_queue.GetDivision(pos);
        if (d->m_sortKeyA < smallest) smallest = d->m_sortKeyA, first = d->m_number;
    }
    a.Update();
    EXPECT_EQ(a.m_lastQueued, first);
}

TEST_F(TwoArmies, DetachmentFiguresAndDelays) {
    const int units = a.GetDivision(12, FALSE)->CountUnits(TRUE, TRUE);
    ASSERT_GT(units, 0);
    a.GetDivision(12, FALSE)->m_detachCountdown = 600;
    a.GetDivision(13, FALSE)->m_detachCountdown = -1;  // counted, never scaled
    a.GetDivision(5, FALSE)->m_detachCountdown = 600;   // not a detachment
    EXPECT_EQ(a.SumDetachments(true), 2 * units);
    EXPECT_EQ(CArmy(0, -1, true).SumDetachments(true), 0);
    a.ScaleDetachments(0.5);
    EXPECT_EQ(a.GetDivision(12, FALSE)->m_detachCountdown, 1350);
    EXPECT_EQ(a.GetDivision(13, FALSE)->m_detachCountdown, -1);
    EXPECT_EQ(a.GetDivision(14, FALSE)->m_detachCountdown, 0);
    EXPECT_EQ(a.GetDivision(5, FALSE)->m_detachCountdown, 600);
}

TEST_F(TwoArmies, NearestMarker) {
    EXPECT_EQ(a.GetNearestMarker(0, 0, false), nullptr);
    CKeyPoint near(0, 0, 300, 400, &a), far(0, 0, 600, 800, &a), away(0, 0, 10000, 0, &a);
    a.m_markers[0] = &away;
    EXPECT_EQ(a.GetNearestMarker(0, 0, false), nullptr);  // 10000 is too far
    a.m_markers[1] = &far;
    EXPECT_EQ(a.GetNearestMarker(0, 0, false), &far);
    a.m_markers[0] = &near;
    EXPECT_EQ(a.GetNearestMarker(0, 0, false), &near);
    near.m_currentState = 3;
    EXPECT_EQ(a.GetNearestMarker(0, 0, true), &far);
    EXPECT_EQ(a.GetNearestMarker(0, 0, false), &near);
    a.m_markers[1] = &near;  // equal distances: the first
    EXPECT_EQ(a.GetNearestMarker(0, 0, false), &near);
    a.m_markers[0] = a.m_markers[1] = nullptr;
}

TEST_F(TwoArmies, ThinkPhasesAndTheHeadquartersShock) {
    std::map<std::string, int> calls[2];
    a.SetBattleAI(std::make_unique<CRecordingAI>(calls[0]));
    b.SetBattleAI(std::make_unique<CRecordingAI>(calls[1]));
    // The player's armies think on ticks 5 and 0 of ten, the computer's on 0.
    a.m_humanControlled = b.m_humanControlled = 1;
    for (int tick = 1; tick <= 5; ++tick) a.Update(), b.Update();
    EXPECT_EQ(calls[0]["think"], 1);
    EXPECT_EQ(calls[1]["think"], 0);
    for (int tick = 6; tick <= 10; ++tick) a.Update(), b.Update();
    EXPECT_EQ(calls[1]["think"], 1);

    CKeyPoint hq1, hq2;
    a.m_headquarters[0] = &hq1;
    a.m_headquarters[1] = &hq2;
    hq1.m_currentState = 3;
    a.Update();
    EXPECT_TRUE(a.m_headquartersIntact);  // one of two lost: no shock yet
    CDivision* own = a.GetDivision(1, FALSE);
    CDivision* theirs = b.GetDivision(1, FALSE);
    own->UpdateBattalionUnits(2500);
    const double before = MoraleOf(own), beforeTheirs = MoraleOf(theirs);
    hq2.m_currentState = 4;
    a.Update();
    a.Update();
    EXPECT_FALSE(a.m_headquartersIntact);
    EXPECT_DOUBLE_EQ(MoraleOf(own), before - 2100);
    EXPECT_DOUBLE_EQ(MoraleOf(theirs), beforeTheirs + 300);
    a.m_headquarters[0] = a.m_headquarters[1] = nullptr;
}

TEST_F(TwoArmies, ProximityListsHoldTheUnitsInEachZoneOnce) {
    CDivision* d = a.GetDivision(1, FALSE);
    d->m_zones[0][1] = CRect(900, 900, 1100, 1100);
    auto unitOf = [](CDivision* div) {
        POSITION b = div->m_battalions.GetHeadPosition();
        CBattalion* bt = div->m_battalions.GetBattalion(b);
        POSITION u = bt->m_units.GetHeadPosition();
        return bt->m_units.GetUnit(u);
    };
    CUnit* enemy = unitOf(b.GetDivision(2, FALSE));
    CUnit* friendly = unitOf(a.GetDivision(3, FALSE));
    CUnit* far = unitOf(b.GetDivision(4, FALSE));
    enemy->m_rcOccupied = CRect(990, 990, 1010, 1010);
    friendly->m_rcOccupied = CRect(1000, 1000, 1020, 1020);
    far->m_rcOccupied = CRect(2000, 2000, 2010, 2010);
    for (int pass = 0; pass < 2; ++pass) {
        a.ProcessQueuedDivision(1);
        EXPECT_EQ(d->m_zoneUnits[0][0][1].GetCount(), 1);
        EXPECT_NE(d->m_zoneUnits[0][0][1].Find(enemy), nullptr);
        EXPECT_EQ(d->m_zoneUnits[1][0][1].GetCount(), 1);
        EXPECT_NE(d->m_zoneUnits[1][0][1].Find(friendly), nullptr);
    }
    enemy->m_lost = 1;
    a.ProcessQueuedDivision(-1);
    EXPECT_EQ(d->m_zoneUnits[0][0][1].GetCount(), 0);
}

TEST_F(TwoArmies, AnArmyWithNothingLeftIsBrokenButStaysWhileABattalionMarches) {
    for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) MarkLost(a.m_divisions.GetDivision(pos));
    a.Update();
    EXPECT_TRUE(a.m_routed);
    EXPECT_TRUE(a.m_active);
    for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = a.m_divisions.GetDivision(pos);
        for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) d->m_battalions.GetBattalion(bp)->m_active = 0;
    }
    a.Update();
    EXPECT_FALSE(a.m_active);
}

TEST_F(TwoArmies, DetachmentArbitration) {
    for (CArmy* army : {&a, &b})
        for (int i = 12; i <= 14; ++i) army->GetDivision(i, FALSE)->m_detachCountdown = 600;
    struct Case {
        int mine, theirs;
        bool draws;
        int inPlay[2];
    } cases[] = {{1, 2, false, {0, 0}}, {2, 2, false, {0, 0}}, {0, 2, true, {1, 0}}, {2, 0, true, {0, 1}}};
    for (const Case& c : cases) {
        a.m_detachmentMode = c.mine;
        b.m_detachmentMode = c.theirs;
        a.m_detachmentsInPlay = b.m_detachmentsInPlay = 7;
        for (CArmy* army : {&a, &b}) army->GetDivision(12, FALSE)->m_active = 1;
        int before = RandCallCount;
        a.ResolveDetachments();
        EXPECT_EQ(RandCallCount - before > 0, c.draws) << c.mine << c.theirs;
        EXPECT_EQ(a.m_detachmentsInPlay, c.inPlay[0]) << c.mine << c.theirs;
        EXPECT_EQ(b.m_detachmentsInPlay, c.inPlay[1]) << c.mine << c.theirs;
        EXPECT_EQ(a.m_reinforcement, c.inPlay[0]);
        // Only an army left without its detachments has them reset.
        EXPECT_EQ(a.GetDivision(12, FALSE)->m_active, c.draws ? c.inPlay[0] : 1) << c.mine << c.theirs;
        EXPECT_EQ(b.GetDivision(12, FALSE)->m_active, c.draws ? c.inPlay[1] : 1) << c.mine << c.theirs;
    }
}

TEST(ArmyGrid, CellsAreLaidFromTheArmysOwnRear) {
    CArmy west(1, -1, true);
    west.m_facing = 6;
    west.BuildGrid();
    EXPECT_EQ(west.GetCell(0, 0), CRect(2750, 1667, 2999, 1999));
    EXPECT_EQ(west.GetCell(5, 0).top, 0);
    EXPECT_EQ(west.GetCell(5, 0).bottom, 334);
    CArmy east(0, -1, true);
    east.m_facing = 2;
    east.BuildGrid();
    EXPECT_EQ(east.GetCell(5, 11), CRect(2750, 1665, 2999, 1999));
    EXPECT_EQ(east.GetZone(CArmy::kFront), CRect(2500, 0, 2999, 1999));
    EXPECT_EQ(east.GetZone(CArmy::kLeftWing), CRect(0, 0, 2999, 665));
}

// Units standing in cells of an army's grid, filed on a battle grid.
class GridField : public ::testing::Test {
protected:
    void SetUp() override {
        army.Setup(nullptr, 0, &grid, 500, 1000, 2);
    }
    void TearDown() override { grid.RemoveAll(); }
    void Put(int row, int column, int count, int side, int strengthA = 0) {
        CRect cell = army.GetCell(row, column);
        for (int k = 0; k < count; ++k) {
            auto u = std::make_unique<CUnit>();
            u->m_armyId = side;
            u->m_strengthA = strengthA;
            u->m_strengthB = 0;
            int x = cell.left + 10 + 5 * k, y = (cell.top + cell.bottom) / 2;
            u->m_rcOccupied = CRect(x, y, x + 2, y + 2);
            grid.AddElement(u.get());
            units.push_back(std::move(u));
        }
    }
    std::vector<int> Front() { return std::vector<int>(army.m_frontColumns, army.m_frontColumns + 6); }

    CBattleGrid grid;
    CArmy army{0, -1, true};
    std::vector<std::unique_ptr<CUnit>> units;
};

TEST_F(GridField, TheFrontFollowsTheEnemysCrowdRowByRow) {
    Put(2, 7, 3, 1);   // a few of the enemy in row 2
    Put(3, 5, 20, 1);  // a mass of them in row 3
    Put(3, 4, 6, 0);   // and the army's own just short of it
    army.m_posture = 64;  // the own column counts first
    army.FindFrontColumns();
    EXPECT_EQ(Front(), (std::vector<int>{11, 9, 7, 4, 8, 11}));
    army.m_posture = 4;  // the larger of the two
    army.FindFrontColumns();
    EXPECT_EQ(Front(), (std::vector<int>{11, 9, 7, 5, 8, 11}));
    army.m_posture = 4096;  // keeps what it had
    army.m_frontColumns[0] = 3;
    army.FindFrontColumns();
    EXPECT_EQ(army.m_frontColumns[0], 3);
}

TEST_F(GridField, TheFrontByShareFindsTheContestedCell) {
    Put(1, 6, 3, 1, 150);  // enemy A 450
    Put(4, 3, 1, 1, 150);  // enemy A 150 where the army has its own too
    Put(4, 3, 1, 0, 150);
    army.EvaluateGrid();
    EXPECT_EQ(army.m_enemyA[1 * 12 + 6], 450);
    EXPECT_FLOAT_EQ(army.m_ownShare[4 * 12 + 3], 0.5f);
    EXPECT_FLOAT_EQ(army.m_ownShare[0], 0.5f);
    army.m_posture = 1;
    army.FindFrontColumns();
    EXPECT_EQ(Front(), (std::vector<int>{-1, 6, -1, -1, 3, -1}));
    EXPECT_EQ(army.FindGridColumn(1), CPoint((1500 + 1749) / 2, (333 + 665) / 2));
    EXPECT_EQ(army.FindGridColumn(0), CPoint(3000, 166));
    EXPECT_EQ(army.FindOwnFrontCell(2), CPoint(0, (666 + 998) / 2));
}

TEST(ArmyCentre, TheCentreOfTheSlottedDivisions) {
    CArmy army(0, 3, true);
    army.SetPosition(500, 1000);
    const CPoint at[3] = {CPoint(600, 900), CPoint(700, 1000), CPoint(800, 1100)};
    for (int i = 1; i <= 3; ++i) {
        CDivision* d = army.GetDivision(i, FALSE);
        d->SetPosition(at[i - 1].x, at[i - 1].y);
        d->m_order.m_x = at[i - 1].x + 100;
        d->m_order.m_y = at[i - 1].y;
    }
    EXPECT_EQ(army.GetCentre(), CPoint(700, 1000));
    EXPECT_EQ(army.m_frontOffset, CPoint(300, 0));
    // Only one left standing in its slot: its own place, kept 500 from the edges.
    army.GetDivision(2, FALSE)->m_flags = 1;
    army.GetDivision(3, FALSE)->m_flags = 1 << 14;
    army.GetDivision(1, FALSE)->SetPosition(100, 1900);
    EXPECT_EQ(army.GetCentre(), CPoint(500, 1500));
}

// An army of three divisions in a hand-made formation at (1000, 1000).
class FrontLine : public ::testing::Test {
protected:
    void SetUp() override {
        CArmyFormation* f = new CArmyFormation(3);
        for (int s = 0; s < 12; ++s)
            for (int facing = 0; facing < 8; ++facing) {
                f->m_points[s][facing] = CPoint(0, 100 * s);
                f->m_codes[s][facing] = BYTE(facing);
            }
        f->m_points[1][2] = CPoint(1760, 0);   // x 2760 on the field
        f->m_points[2][2] = CPoint(-880, 0);   // x 120
        f->m_orderTypes[1] = 128;
        list.AddTail(f);
        army.Setup(&list, 3, nullptr, 1000, 1000, 2);
        army.RecountDivisions();
        for (int i = 0; i <= 2; ++i) army.GetDivision(i, FALSE)->SetPosition(1000, 1000);
    }
    CArmyFormationList list;
    CArmy army{0, 2, true};
};

TEST_F(FrontLine, SlotTargetsStayOffTheFieldsEnds) {
    army.RepositionDivisions(list.GetFormation(3), TRUE);
    EXPECT_EQ(army.GetDivision(1, FALSE)->m_order.m_x, 2760);
    army.AdvanceFront(TRUE, FALSE, 10);
    EXPECT_EQ(army.GetDivision(1, FALSE)->m_order.m_x, 2750);
    EXPECT_EQ(army.GetDivision(1, FALSE)->m_order.m_type, 128);
    EXPECT_EQ(army.GetDivision(2, FALSE)->m_order.m_x, 250);
    EXPECT_EQ(army.GetDivision(1, FALSE)->m_order.m_facing, 2);
}

TEST_F(FrontLine, APendingStepMovesByTenAndClears) {
    army.m_pendingFrontStep = -3;
    CDivision* d = army.GetDivision(1, FALSE);
    d->SetPosition(1200, 900);
    army.ApplyFrontStep();
    EXPECT_EQ(d->m_order.m_x, 1190);
    EXPECT_EQ(d->m_order.m_y, 900);
    EXPECT_EQ(army.m_pendingFrontStep, 0);
}

TEST(ArmyDeploy, FewDivisionsGiveUpTheFormationExceptForTheKeep) {
    CArmyFormationList list;
    list.AddTail(new CArmyFormation(133));
    list.AddTail(new CArmyFormation(3));
    for (auto [id, live, routine] : {std::tuple{133, 5, true}, std::tuple{133, 2, false}, std::tuple{3, 5, false}}) {
        std::map<std::string, int> calls;
        CArmy army(0, live - 1, true);
        army.SetBattleAI(std::make_unique<CRecordingAI>(calls));
        army.Setup(&list, id, nullptr, 500, 1000, 2);
        army.m_posture = 64;
        army.Deploy();
        EXPECT_EQ(calls["routine " + std::to_string(id)], routine ? 1 : 0) << id << " " << live;
        EXPECT_EQ(calls["posture 64"], routine ? 0 : 1) << id << " " << live;
        EXPECT_EQ(army.m_formationAbandoned, routine ? 0 : 1);
    }
}

TEST(ArmySetup, AFormationTheListLacksFallsBackToItsFirst) {
    CArmyFormationList list;
    CArmy army(0, 3, true);
    EXPECT_TRUE(army.Setup(&list, 93, nullptr, 500, 1000, 2));
    EXPECT_EQ(army.m_formation, nullptr);
    // Nothing to stand in: the front and the deployment leave it at that.
    army.AdvanceFront(TRUE, FALSE, 200);
    army.Deploy();
    CArmyFormation* only = new CArmyFormation(10);
    list.AddTail(only);
    army.Setup(&list, 93, nullptr, 500, 1000, 2);
    EXPECT_EQ(army.m_formation, only);
}

TEST(ArmyCommand, OpposingCommandAndCommandValue) {
    CArmy a(0, -1, true), b(1, -1, true);
    a.m_opponent = &b;
    EXPECT_FALSE(a.TestOpposingCommand());  // no division 0 over there
    b.m_hqShockPending = 1;
    EXPECT_TRUE(a.TestOpposingCommand());
    a.SetCommandValueOnly(4321);
    EXPECT_EQ(a.m_commandValue, 4321);
}

// Two armies of the kit's world on the kit's first battlefield, each in a
// preset formation drawn at random.
TEST(KitArmies, TwoArmiesStandInPresetFormationsOnTheField) {
    CFormationLists& lists = KitFormationLists();
    LoadedField field(0);
    CWorldLists world;
    {
        CFile file;
        ASSERT_TRUE(file.Open((KitFolder().string() + "/Data/Default.STE").c_str(), CFile::modeRead));
        CArchive ar(&file, CArchive::load);
        world.Serialize(ar);
    }
    std::map<int, std::vector<CPerson*>> byClan;
    for (POSITION pos = world.persons.GetHeadPosition(); pos;) {
        CPerson* p = world.persons.GetPerson(pos);
        if (p->IsVeteran() && p->alive) byClan[p->clan].push_back(p);
    }
    std::vector<std::vector<CPerson*>*> clans;
    for (auto& [clan, generals] : byClan)
        if (clans.size() < 2 && generals.size() >= 2) clans.push_back(&generals);
    ASSERT_EQ(clans.size(), 2u);

    GameSrand(2024);
    AfxClearShownMessages();
    CArmy armies[2] = {CArmy(0, 11, true), CArmy(1, 11, true)};
    armies[0].m_opponent = &armies[1];
    armies[1].m_opponent = &armies[0];
    const CPoint origin[2] = {CPoint(500, 1000), CPoint(2500, 1000)};
    for (int side = 0; side < 2; ++side) {
        CArmy& army = armies[side];
        const int facing = side ? 6 : 2;
        army.Setup(&lists.army, -2, &field.grid, origin[side].x, origin[side].y, facing);
        ASSERT_NE(army.m_formation, nullptr);
        EXPECT_NE(std::find(std::begin(ArmyFormationID::kPresets), std::end(ArmyFormationID::kPresets),
                            army.m_formation->m_nID),
                  std::end(ArmyFormationID::kPresets));
        // The generals take the divisions; the ones left without one leave.
        const auto& generals = *clans[side];
        for (int i = 0; i < 12; ++i) {
            CDivision* d = army.GetDivision(i, FALSE);
            if (i >= int(generals.size())) {
                army.RemoveDivision(i);
                continue;
            }
            ASSERT_TRUE(d->CreateBattalions(generals[size_t(i)]->id, world.persons));
            const CPoint slot = army.m_formation->GetSlotPoint(i, facing);
            d->Setup(&lists.div, army.m_formation->GetDivFormationID(i), &field.grid, origin[side].x + slot.x,
                     origin[side].y + slot.y, army.m_formation->GetSlotValue(i, facing));
        }
        army.RecountDivisions();
        army.RepositionDivisions(army.m_formation, TRUE);
    }
    for (int side = 0; side < 2; ++side) {
        const CArmy& army = armies[side];
        const int facing = side ? 6 : 2;
        ASSERT_GT(army.m_divisions.GetCount(), 1);
        for (POSITION pos = army.m_divisions.GetHeadPosition(); pos;) {
            const CDivision* d = army.m_divisions.GetDivision(pos);
            const int i = d->m_number;
            const CPoint slot = army.m_formation->GetSlotPoint(i, facing);
            SCOPED_TRACE(testing::Message() << "side " << side << " division " << i);
            EXPECT_EQ(d->GetPosition(), CPoint(origin[side].x + slot.x, origin[side].y + slot.y));
            EXPECT_EQ(d->m_facing, army.m_formation->GetSlotValue(i, facing));
            EXPECT_NE(d->m_formation, nullptr);
            EXPECT_TRUE(CRect(180, 180, 2820, 1820).PtInRect(d->GetPosition()));
            // Ordered to that slot, facing as the slot says; the target is
            // moved only as far as the nearest passable ground.
            EXPECT_EQ(d->m_order.m_facing, army.m_formation->GetSlotValue(i, facing));
            EXPECT_EQ(d->m_order.m_targetId, army.m_formation->GetDivFormationID(i));
            EXPECT_LE(GetDistance(d->m_order.m_x, d->m_order.m_y, d->m_x, d->m_y, false), 60.0);
            EXPECT_TRUE(Slotted(const_cast<CDivision*>(d)));
        }
    }
    EXPECT_TRUE(AfxGetShownMessages().empty());
}

}  // namespace

// A battalion of army a assaulting one of b's headquarters: the player who
// sees a's messages hears once that the enemy's headquarters is in danger;
// otherwise b, once, that its own is.
TEST_F(TwoArmies, AnAssaultedHeadquartersIsAnnouncedOnceToTheArmyThatShowsIt) {
    for (bool shown : {true, false}) {
        a.m_messageFlags[0] = a.m_messageFlags[1] = shown ? 1 : 0;
        a.m_messageCounter = b.m_messageCounter = 0;
        CKeyPoint hq(0, 0, 1060, 1000, &b);
        b.m_headquarters[0] = &hq;
        CBattalion* battalion = a.GetDivision(1, FALSE)->m_battalions.FindByID(0, FALSE, TRUE);
        ASSERT_NE(battalion, nullptr);
        battalion->SetPosition(1000, 1000);
        int i = 0;
        for (POSITION pos = battalion->m_units.GetHeadPosition(); pos; ++i) {
            CUnit* u = battalion->m_units.GetUnit(pos);
            u->SetPosition(1000, 950 + 10 * i);
            u->m_action.m_x = u->m_x, u->m_action.m_y = u->m_y;
        }
        battalion->m_action.m_spare = 2;
        for (int tick = 0; tick < 3; ++tick) battalion->UpdateBehaviour();
        CArmy& told = shown ? a : b;
        CArmy& other = shown ? b : a;
        CBattleMessage m;
        ASSERT_TRUE(told.TakeBattleMessage(m)) << "shown " << shown;
        EXPECT_EQ(m.messageId, shown ? 17 : 16);
        EXPECT_FALSE(told.TakeBattleMessage(m)) << "once only";
        EXPECT_FALSE(other.TakeBattleMessage(m));
        b.m_headquarters[0] = nullptr;
    }
}
