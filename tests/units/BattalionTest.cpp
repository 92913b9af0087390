// Battalions: construction, their counts, centre and losses.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "Units/BattList.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "core/Random.h"
#include "tests/units/UnitsFixtures.h"

namespace {

TEST(BattalionTest, DynamicCreationMakesTenUnitsInARow) {
    std::unique_ptr<CBattalion> b(static_cast<CBattalion*>(RUNTIME_CLASS(CBattalion)->CreateObject()));
    ASSERT_EQ(b->m_units.GetCount(), 10);
    int i = 0;
    for (POSITION pos = b->m_units.GetHeadPosition(); pos; ++i) {
        CUnit* u = b->m_units.GetUnit(pos);
        EXPECT_EQ(u->GetPosition(), CPoint(-1000 + 10 * i, -1000));
        EXPECT_EQ(u->m_number, i);
        EXPECT_EQ(u->m_battalion, b.get());
    }
    EXPECT_EQ(b->m_armyValue, 8000);
    EXPECT_EQ(b->m_referenceValue, 10000);
    EXPECT_EQ(b->m_contactMin, 1);
    EXPECT_EQ(b->m_halted, 1);
    EXPECT_EQ(b->m_liveUnits, 10);
    EXPECT_EQ(b->m_initialStrength, 10);
    EXPECT_EQ(b->m_general, nullptr);
}

TEST(BattalionTest, WeightedCountsByType) {
    CBattalion b(0, 0, 0, 3, 0, nullptr);
    int plain = b.m_units.SumA(FALSE);
    ASSERT_GT(plain, 0);
    const int weights[][2] = {{0, 1}, {1, 1}, {2, 2}, {3, 1}, {4, 5}};
    for (auto [type, w] : weights) {
        b.m_battType = type;
        EXPECT_EQ(b.GetWeightedCountA(FALSE), w * plain) << type;
        EXPECT_EQ(bool(b.IsMissileBattalion()), type == 2 || type == 4) << type;
    }
}

TEST(BattalionTest, CentreFollowsTheUnitsAroundTheActionPoint) {
    CFakeFormation line(1, 20, 0);  // slot i at (20 i, 0)
    CBattalion b(0, 77, 88, 3, 0, nullptr);
    b.m_formation = &line;
    // No action point: the battalion's own position, whatever the units do.
    EXPECT_EQ(b.GetCentre(), CPoint(77, 88));

    b.m_action.m_x = 500, b.m_action.m_y = 500;
    b.m_halted = 0;
    int i = 0;
    for (POSITION pos = b.m_units.GetHeadPosition(); pos; ++i) b.m_units.GetUnit(pos)->SetPosition(505 + 20 * i, 495);
    // Every unit within 10 of its slot: exactly the action point.
    EXPECT_EQ(b.GetCentre(), CPoint(500, 500));

    // All three 30 short of their slots in x: the centre lags by 30.
    i = 0;
    for (POSITION pos = b.m_units.GetHeadPosition(); pos; ++i) b.m_units.GetUnit(pos)->SetPosition(470 + 20 * i, 500);
    EXPECT_EQ(b.GetCentre(), CPoint(470, 500));

    // Without a formation every slot is the action point itself.
    b.m_formation = nullptr;
    // Units at 470, 490 and 510 against 500: only the first is more than 10 off.
    EXPECT_EQ(b.GetCentre(), CPoint(490, 500));

    // Each tick the battalion stands on that centre, until nothing is left.
    EXPECT_TRUE(b.Tick());
    EXPECT_EQ(b.GetPosition(), CPoint(490, 500));
    for (POSITION pos = b.m_units.GetHeadPosition(); pos;) b.m_units.GetUnit(pos)->m_routed = 1;
    EXPECT_FALSE(b.Tick());
}

TEST(BattalionTest, RemoveNearestTakesOnlyWhatIsCloseEnough) {
    CBattList list;
    CBattalion a(0, 100, 0, 1, 0, nullptr), b(1, 0, 100, 1, 0, nullptr), c(2, 10, 0, 1, 0, nullptr);
    list.AddBattalion(&a);
    list.AddBattalion(&b);
    list.AddBattalion(&c);
    c.m_routed = 1;
    EXPECT_EQ(list.RemoveNearest(0, 0, 100), nullptr);  // 100 is not below 100
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.RemoveNearest(0, 0, 101), &a);      // the first of equals; c is routed
    EXPECT_EQ(list.GetCount(), 2);
    list.RemoveAll(FALSE);
}

TEST(BattalionTest, LosingUnitsTellsTheDivisionOnce) {
    CFakeArmy army;
    CDivision d(3, 100, 100, &army);
    CBattalion* b = d.m_battalions.FindByID(0, FALSE, TRUE);
    ASSERT_NE(b, nullptr);

    CUnit* first = b->m_units.GetHead();
    double moraleBefore = b->m_units.FindById(5, TRUE, FALSE)->m_morale;
    b->OnUnitLost(first);
    EXPECT_EQ(b->m_liveUnits, 9);
    EXPECT_TRUE(first->m_routed);
    EXPECT_EQ(b->m_units.FindById(5, TRUE, FALSE)->m_morale, moraleBefore - 50.0);
    // Losing it again only recounts.
    b->OnUnitLost(first);
    EXPECT_EQ(b->m_liveUnits, 9);

    for (POSITION pos = b->m_units.GetHeadPosition(); pos;) b->OnUnitLost(b->m_units.GetUnit(pos));
    EXPECT_EQ(b->m_liveUnits, 0);
    EXPECT_TRUE(b->m_routed);
    EXPECT_EQ(d.GetBattalionCount(FALSE), 3);
    EXPECT_TRUE(army.lost.empty());

    // The other battalions go; the army hears of the division once, even
    // when a battalion already routed reports again.
    for (POSITION pos = d.m_battalions.GetHeadPosition(); pos;) {
        CBattalion* other = d.m_battalions.GetBattalion(pos);
        for (POSITION u = other->m_units.GetHeadPosition(); u;) other->OnUnitLost(other->m_units.GetUnit(u));
    }
    b->OnUnitLost(first);
    d.OnBattalionRouted(b);
    ASSERT_EQ(army.lost.size(), 1u);
    EXPECT_EQ(army.lost[0], &d);
    EXPECT_EQ(d.GetBattalionCount(TRUE), 0);
}

TEST(BattalionTest, ShockWithANegativeSpreadDrawsFromTheMirroredRange) {
    for (double spread : {-0.01, 0.0, 0.01, -0.5}) {
        CBattalion b(0, 0, 0, 10, 0, nullptr);
        for (POSITION pos = b.m_units.GetHeadPosition(); pos;) b.m_units.GetUnit(pos)->m_kind = KIND_ARCHER;
        GameSrand(7);
        int before = RandCallCount;
        b.ApplyShock(0.5, spread);
        // Three counted draws per unit; every unit still standing is shaken.
        EXPECT_EQ(RandCallCount - before, 30) << spread;
        for (POSITION pos = b.m_units.GetHeadPosition(); pos;) {
            const CUnit* u = b.m_units.GetUnit(pos);
            if (u->m_active) {
                // Shaken by 250, and by 50 more for every unit knocked out.
                EXPECT_LE(u->m_morale, 1750.0 - 250) << spread;
                EXPECT_EQ(std::fmod(1750.0 - 250 - u->m_morale, 50.0), 0.0) << spread;
                EXPECT_EQ(u->m_strengthValue, 500) << spread;
            } else {
                EXPECT_TRUE(u->m_routed) << spread;
                EXPECT_EQ(u->GetPosition(), CPoint(-1000, -1000)) << spread;
            }
        }
    }
    // No severity, no draws.
    CBattalion calm(0, 0, 0, 10, 0, nullptr);
    int before = RandCallCount;
    calm.ApplyShock(0.0, 1.0);
    EXPECT_EQ(RandCallCount, before);
}

TEST(BattalionTest, ShockNeverKnocksOutOfficers) {
    CBattalion b(0, 0, 0, 10, 0, nullptr);
    for (POSITION pos = b.m_units.GetHeadPosition(); pos;) b.m_units.GetUnit(pos)->m_kind = KIND_CAPTAIN;
    GameSrand(1);
    b.ApplyShock(2.0, 1.0);  // every roll is below 200
    EXPECT_EQ(b.m_liveUnits, 10);
}

TEST(BattalionTest, EngageRadiusByStandingOrder) {
    const int cases[][3] = {
        // order, battalion type, radius
        {1, 0, 500}, {2, 0, 450}, {2, 1, 600}, {131072, 1, 600}, {16, 0, 300}, {256, 2, 300},
        {64, 0, 100}, {128, 4, 100}, {512, 0, 250}, {2048, 0, 250}, {-1, 0, 0}, {3, 0, 0},
    };
    for (auto [order, type, radius] : cases) EXPECT_EQ(CBattalion::EngageRadiusFor(order, type), radius) << order;
}

}  // namespace

namespace {

TEST(BattalionTest, OrdersGoToTheNumberedUnitOrAreDropped) {
    CBattalion b(0, 0, 0, 3, 0, nullptr);
    // No such unit: the order is deleted (the leak checker would see it).
    EXPECT_FALSE(b.OrderToUnit(7, new CObjective(1, 10, 10), TRUE, FALSE, 50));
    EXPECT_FALSE(b.OrderUnit(nullptr, new CObjective(1, 10, 10), TRUE, FALSE, 50));

    CUnit* u = b.m_units.FindById(2, TRUE, FALSE);
    u->m_steps.Add(new CObjective(0, 1, 1));
    EXPECT_TRUE(b.OrderToUnit(2, new CObjective(11, 40, 50, -1, 4), FALSE, TRUE, 10));
    EXPECT_TRUE(b.OrderToUnit(2, new CObjective(1, 60, 70, -1, 2), FALSE, FALSE, 50));
    EXPECT_EQ(u->m_pending.GetHeadPoint(), CPoint(60, 70));  // pushed in front
    EXPECT_EQ(u->m_action.GetPoint(), CPoint(40, 50));       // only the first was made current
    EXPECT_EQ(u->m_busyCounter, 50);
    EXPECT_FALSE(u->m_steps.IsEmpty());
    EXPECT_TRUE(b.OrderToUnit(2, new CObjective(3, 80, 90), TRUE, FALSE, 10));
    EXPECT_TRUE(u->m_steps.IsEmpty());  // clear empties both queues
    EXPECT_EQ(u->m_pending.GetCount(), 1);
}

}  // namespace
