// The zones divisions and battalions keep around themselves.
#include <gtest/gtest.h>

#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "Units/Zones.h"
#include "tests/units/UnitsFixtures.h"

namespace {

CRect Whole(const CRect (&parts)[3]) {
    CRect r = parts[0];
    r.UnionRect(&r, &parts[1]);
    r.UnionRect(&r, &parts[2]);
    return r;
}

void PlaceUnits(CBattalion& b, int x, int y) {
    for (POSITION pos = b.m_units.GetHeadPosition(); pos;) b.m_units.GetUnit(pos)->SetPosition(x, y);
}

TEST(ZonesTest, DivisionBaseIsAtMostFiveHundredAboutItsCentre) {
    CDivision d(1, 0, 0, nullptr);
    int xs[] = {100, 300, 300, 600};
    for (POSITION pos = d.m_battalions.GetHeadPosition(); pos;) {
        CBattalion* b = d.m_battalions.GetBattalion(pos);
        PlaceUnits(*b, xs[b->m_number], 500);
    }
    // Ten units: squares of 300; together 800 by 300.
    CRect base = d.GetBaseRect();
    EXPECT_EQ(base, CRect(100, 350, 600, 650));
}

TEST(ZonesTest, DivisionZoneLooksToItsTargetOrItsFacing) {
    CDivision d(1, 1000, 1000, nullptr);
    const CRect base(1000, 1000, 1200, 1200);
    d.m_facing = 7;
    // Offset 2 from facing 7 is north-east: pushed right and up.
    CRect ne = d.GetZoneRect(2, 0.5, false, base);
    EXPECT_EQ(ne, CRect(1077, 860, 1340, 1123));

    // A target 40 away is too near to look at: the facing (north) decides.
    d.m_facing = 0;
    d.m_order = CObjective(ORDER_MOVE, 1040, 1000);
    EXPECT_EQ(d.GetZoneRect(0, 1.0, true, base), CRect(1000, 780, 1200, 980));
    // 60 away it looks east.
    d.m_order = CObjective(ORDER_MOVE, 1060, 1000);
    EXPECT_EQ(d.GetZoneRect(0, 1.0, true, base), CRect(1220, 1000, 1420, 1200));
    // A small base grows to 200 square first.
    EXPECT_EQ(d.GetZoneRect(0, 0.0, true, CRect(1050, 1050, 1150, 1100)), CRect(1000, 975, 1200, 1175));
}

TEST(ZonesTest, UnknownTypesShowAnErrorAndKeepTheirZones) {
    AfxClearShownMessages();
    CDivision d(1, 500, 500, nullptr);
    d.m_type = 0;
    d.SetPerimiters(CRect(400, 400, 700, 600));
    CRect kept = Whole(d.m_zones[3]);
    EXPECT_FALSE(kept.IsRectEmpty());
    d.m_type = 5;
    d.SetPerimiters(CRect(0, 0, 300, 300));
    EXPECT_EQ(Whole(d.m_zones[3]), kept);
    ASSERT_EQ(AfxGetShownMessages().size(), 1u);
    EXPECT_EQ(AfxGetShownMessages()[0], "ERROR: Wrong batt type in CDivision::SetPerimiters()");

    AfxClearShownMessages();
    CBattalion b(0, 500, 500, 10, 0, nullptr);
    b.SetPerimiters(CRect(400, 400, 700, 600));
    CRect keptB = Whole(b.m_zones[ZONE_FAR_FRONT]);
    CUnit stranger;
    b.m_watch[0][ZONE_OWN][1].AddUnique(&stranger);
    b.m_battType = 5;
    b.SetPerimiters(CRect(0, 0, 300, 300));
    EXPECT_EQ(Whole(b.m_zones[ZONE_FAR_FRONT]), keptB);
    EXPECT_EQ(b.CountWatch(true, ZONE_OWN), 0);  // the lists are emptied all the same
    ASSERT_EQ(AfxGetShownMessages().size(), 1u);
    EXPECT_EQ(AfxGetShownMessages()[0], "ERROR: Wrong batt type in CBattalion::SetPerimiters()");
}

TEST(ZonesTest, RoutedBattalionKeepsItsZonesAndWatchLists) {
    CBattalion b(0, 500, 500, 10, 0, nullptr);
    b.SetPerimiters(CRect(400, 400, 700, 600));
    CRect kept = Whole(b.m_zones[ZONE_REAR]);
    CUnit stranger;
    b.m_watch[0][ZONE_REAR][0].AddUnique(&stranger);
    b.m_routed = 1;
    b.SetPerimiters(CRect(0, 0, 300, 300));
    EXPECT_EQ(Whole(b.m_zones[ZONE_REAR]), kept);
    EXPECT_EQ(b.CountWatch(true, ZONE_REAR), 1);
    b.m_watch[0][ZONE_REAR][0].RemoveAll(FALSE);
}

TEST(ZonesTest, OwnGroundNarrowerThanOneFiftyGrowsToTwoHundred) {
    CBattalion b(0, 500, 500, 10, 0, nullptr);
    b.m_facing = 2;  // split into horizontal strips: the outer edges stay
    const int cases[][2] = {{100, 200}, {150, 150}, {149, 199}, {300, 300}};
    for (auto [width, expected] : cases) {
        b.SetPerimiters(CRect(500, 500, 500 + width, 800));
        CRect own = Whole(b.m_zones[ZONE_OWN]);
        EXPECT_EQ(own.Width(), expected) << width;
        EXPECT_EQ(own.left, 500 - (expected - width) / 2) << width;
    }
}

TEST(ZonesTest, BattalionScalesByTypeOrderAndFormation) {
    struct Case {
        int type, order;
        double a, b;  // rear and flank factors with v = 1.0
        CBattalion::ZoneScales s;
    };
    // Formation 37 makes a = 0.8 v and b = 0.3 v.
    const Case cases[] = {
        {1, 2, 0.8, 0.3, {1.8, 1.4, 0.24, 0.18, 0.18}},
        {1, 65536, 0.8, 0.3, {1.2, 0.5, 0.64, 0.3, 0.3}},
        {0, 2, 1.0, 1.0, {1.4, 1.0, 0.6, 0.7, 0.7}},
        {3, 131072, 1.0, 1.0, {1.5, 1.0, 0.5, 0.3, 0.3}},
        {0, 256, 0.2, 0.2, {0.5, 0.3, 0.2, 0.2, 0.2}},
        {0, 16, 1.0, 1.0, {1.25, 1.0, 0.8, 1.0, 1.0}},
        {1, 16, 1.0, 1.0, {1.6, 1.4, 1.0, 1.3, 1.3}},
        {2, 65536, 1.0, 1.0, {1.7, 1.0, 0.8, 1.0, 1.0}},
        {4, 2, 1.0, 1.0, {3.0, 0.1, 1.0, 1.2, 1.2}},
    };
    for (const Case& c : cases) {
        CBattalion::ZoneScales s{};
        ASSERT_TRUE(CBattalion::ScalesFor(c.type, c.order, 1.0, c.a, c.b, s));
        SCOPED_TRACE(testing::Message() << c.type << "/" << c.order);
        EXPECT_DOUBLE_EQ(s.farFront, c.s.farFront);
        EXPECT_DOUBLE_EQ(s.nearFront, c.s.nearFront);
        EXPECT_DOUBLE_EQ(s.rear, c.s.rear);
        EXPECT_DOUBLE_EQ(s.left, c.s.left);
        EXPECT_DOUBLE_EQ(s.right, c.s.right);
    }
    CBattalion::ZoneScales s{};
    EXPECT_FALSE(CBattalion::ScalesFor(5, 2, 1.0, 1.0, 1.0, s));
}

TEST(ZonesTest, BattalionUsesTheDivisionsFormationForItsRearAndFlanks) {
    // View value 0.9: v = 1.0. Under formation 37 a type-1 battalion's rear
    // zone lies 0.24 of its push behind it.
    CFakeArmy army;
    CDivision d(1, 0, 0, &army);
    struct F37 : IDivFormation {
        int GetNumber() const override { return 37; }
        CPoint GetSlotPoint(int, int) const override { return CPoint(); }
        int GetSlotCode(int, int f) const override { return f; }
        int GetSlotValue(int) const override { return 0; }
        int LookupMappedID(int) const override { return 0; }
    } f37;
    d.m_formation = &f37;
    CBattalion* b = d.m_battalions.FindByID(0, FALSE, TRUE);
    b->m_battType = 1;
    b->m_standingOrder.m_type = 2;
    b->m_facing = 0;
    b->SetPerimiters(CRect(1000, 1000, 1200, 1200));
    // Rear: south by 200 and by trunc(200 x 0.24 x 1.1) = 52, together.
    EXPECT_EQ(Whole(b->m_zones[ZONE_REAR]).top, 1052);
    EXPECT_EQ(Whole(b->m_zones[ZONE_REAR]).bottom, 1400);
}

}  // namespace
