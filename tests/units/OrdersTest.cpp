// How divisions plan their orders and battalions hand them to their units.
#include <gtest/gtest.h>

#include <memory>

#include "core/Random.h"
#include "field/BattleGrid.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "tests/units/UnitsFixtures.h"

namespace {

TEST(DivisionOrders, WithNothingLeftADivisionFallsBackOnItsStandingOrder) {
    struct Case {
        int standing, action, posture;
        bool actionHasPoint;
        int expectAction;
        BYTE expectIdle;
    } cases[] = {
        {16, 128, -1, true, 128, 1},   // a move ends standing its ground
        {64, 2, -1, true, 128, 0},     // so does a regroup: the stand is taken up
        {2, 2, -1, true, 2, 1},        // an attack goes on as it is
        {4, 2, -1, true, 512, 0},      // an order outside the table: defend
        {4, 4, 4, true, 4, 1},         // unless the army holds it to that order,
        {4, 2, 4, true, 2, 0},         // when it carries on with what it does
        {-1, -1, -1, false, -1, 1},    // never ordered: nowhere to defend
    };
    for (const Case& c : cases) {
        CFakeArmy army;
        army.posture = c.posture;
        CDivision d(1, 1000, 1000, &army);
        d.m_order = CObjective(c.standing, 1200, 1000, -1, 2);
        d.m_action.m_type = c.action;
        if (c.actionHasPoint) {
            d.m_action.m_x = 1100;
            d.m_action.m_y = 1000;
        }
        d.m_idle = 0;
        d.ReceiveOrder(nullptr, FALSE);
        SCOPED_TRACE(testing::Message() << "standing " << c.standing << " action " << c.action);
        EXPECT_EQ(d.m_action.m_type, c.expectAction);
        EXPECT_EQ(d.m_idle, c.expectIdle);
        EXPECT_EQ(d.m_ready, 1);
        if (!c.expectIdle) { EXPECT_EQ(d.m_action.GetPoint(), CPoint(1100, 1000)); }
    }
    // A standing order to re-send comes back at once without an order gate.
    CFakeArmy army;
    CDivision d(2, 1000, 1000, &army);
    d.m_order = CObjective(ORDER_ATTACK, 1300, 900, -1, 2);
    d.m_resend = 1;
    d.ReceiveOrder(nullptr, FALSE);
    EXPECT_EQ(d.m_resend, 0);
    EXPECT_EQ(d.m_action.m_type, ORDER_ATTACK);
    EXPECT_EQ(d.m_action.GetPoint(), CPoint(1300, 900));
}

TEST(DivisionOrders, RetreatsAreOneStepAndAboutTurnsGoAQuarterFirst) {
    CDivision d(1, 1000, 1000, nullptr);
    d.m_facing = 6;
    CObjective retreat(ORDER_RETREAT, 200, 1000, -1, 6);
    d.PlanOrder(retreat);
    ASSERT_EQ(d.m_plan.GetCount(), 1);
    EXPECT_TRUE(*d.m_plan.GetHead() == retreat);

    // 350 away, facing the other way: 200 on with a quarter turn, then the order.
    d.m_formationByte = 0;
    CObjective order(ORDER_ATTACK, 1350, 1000, -1, 2);
    std::unique_ptr<CObjective> first(d.ExpandStep(1000, 1000, 6, &order));
    ASSERT_NE(first.get(), &order);
    EXPECT_EQ(first->GetPoint(), CPoint(1200, 1000));
    EXPECT_EQ(first->m_facing, 4);
    EXPECT_EQ(d.ExpandStep(first->m_x, first->m_y, first->m_facing, &order), &order);
}

TEST(BattalionOrders, AColumnOfMoreUnitsThanTheTableKeepsToItsLastSpacing) {
    EXPECT_EQ(CBattalion::ColumnSpacing(0), 0);
    EXPECT_EQ(CBattalion::ColumnSpacing(4), 70);
    EXPECT_EQ(CBattalion::ColumnSpacing(7), 120);
    EXPECT_EQ(CBattalion::ColumnSpacing(10), 200);
    EXPECT_EQ(CBattalion::ColumnSpacing(14), 200);
    EXPECT_EQ(CBattalion::ColumnSpacing(-1), 0);
    CBattalion b(0, 100, 100, 14, 0, nullptr);
    b.m_action.m_facing = 2;
    b.MarchInColumn(11, 1500, 1000);
    int ordered = 0;
    for (POSITION pos = b.m_units.GetHeadPosition(); pos;) ordered += !b.m_units.GetUnit(pos)->m_pending.IsEmpty();
    EXPECT_EQ(ordered, 14);
}

TEST(BattalionOrders, DirectOrdersSendEveryLiveUnitToItsSlot) {
    CBattalion b(0, 100, 100, 6, 0, nullptr);
    b.m_units.FindById(2, TRUE, FALSE)->m_routed = 1;
    b.ReceiveOrder(new CObjective(ORDER_ATTACK, 800, 600, -1, 2), TRUE);
    EXPECT_EQ(b.m_action.m_type, ORDER_ATTACK);
    for (POSITION pos = b.m_units.GetHeadPosition(); pos;) {
        CUnit* u = b.m_units.GetUnit(pos);
        if (u->m_routed) {
            EXPECT_TRUE(u->m_pending.IsEmpty());
            continue;
        }
        ASSERT_FALSE(u->m_pending.IsEmpty());
        EXPECT_EQ(u->m_pending.GetHead()->m_type, 1);  // foot close with the enemy
        EXPECT_EQ(u->m_slot.GetPoint(), CPoint(800, 600));
        EXPECT_EQ(u->m_newOrder, 1);
    }
}

TEST(UnitPlacing, AUnitWithNoRoomGivesUpAfterAFixedNumberOfTries) {
    CBattleGrid grid;
    CUnit wall(0, &grid, 1, 500, 500);
    wall.m_rcOccupied = CRect(0, 0, 2999, 1999);
    grid.AddElement(&wall);
    CUnit u(1, &grid, 0, 500, 500);
    int before = RandCallCount;
    EXPECT_FALSE(u.PlaceFree());
    int draws = RandCallCount - before;
    EXPECT_EQ(draws, 400);  // two draws a try
    before = RandCallCount;
    EXPECT_FALSE(u.PlaceFree());
    EXPECT_EQ(RandCallCount - before, draws);
    grid.RemoveAll();
}

}  // namespace
