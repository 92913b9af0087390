// Unit lists: finders, counts, averages, sorts, and the icon placement they
// run for every unit.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Units/Unit.h"
#include "Units/UnitList.h"
#include "tests/units/UnitsFixtures.h"

namespace {

// Units owned by the fixture; the lists under test only point at them.
class UnitListTest : public testing::Test {
protected:
    CUnit* Make(int number, int x = 0, int y = 0) {
        m_owned.push_back(std::make_unique<CUnit>(number, nullptr, 0, x, y));
        return m_owned.back().get();
    }
    static std::vector<int> Numbers(const CUnitList& list) {
        std::vector<int> v;
        for (POSITION pos = list.GetHeadPosition(); pos;) v.push_back(list.GetUnit(pos)->m_number);
        return v;
    }

    std::vector<std::unique_ptr<CUnit>> m_owned;
};

TEST_F(UnitListTest, FindByIdPrefersTheUnitNearerTheTail) {
    CUnitList list;
    CUnit* a = Make(3);
    CUnit* b = Make(3);
    list.AddTail(a);
    list.AddTail(b);
    EXPECT_EQ(list.FindById(3, TRUE, FALSE), b);
    b->m_active = 0;
    b->m_placed = 0;
    EXPECT_EQ(list.FindById(3, FALSE, FALSE), a);
    EXPECT_EQ(list.FindById(3, TRUE, FALSE), b);
    EXPECT_EQ(list.FindById(4, TRUE, FALSE), nullptr);
    list.RemoveAll(FALSE);
}

TEST_F(UnitListTest, AveragesOfNoLiveUnitsAreZero) {
    CUnitList list;
    EXPECT_EQ(list.AverageHeadCount(), 0);
    EXPECT_EQ(list.AverageCondition(), 0.0);
    CUnit* a = Make(0);
    list.AddTail(a);
    a->m_routed = 1;
    EXPECT_EQ(list.AverageHeadCount(), 0);
    EXPECT_EQ(list.AverageExertion(), 0);
    CUnit* b = Make(1);
    b->m_headCount = 301;
    list.AddTail(b);
    list.AddTail(Make(2));  // 340
    EXPECT_EQ(list.AverageHeadCount(), 320);
    EXPECT_EQ(list.GetCount(FALSE, FALSE), 3);
    EXPECT_EQ(list.GetCount(TRUE, FALSE), 2);
    list.RemoveAll(FALSE);
}

TEST_F(UnitListTest, SortedInsertRefusesRepeatsAndFollowsDepth) {
    CFakeIcon i1(10, 10), i2(10, 10), i3(10, 10);
    CUnit* a = Make(1);
    CUnit* b = Make(2);
    CUnit* c = Make(3);
    CUnit* bare = Make(4);
    a->SetKindAndIcon(0, &i1, 1), i1.depth = 100;
    b->SetKindAndIcon(0, &i2, 2), i2.depth = 300;
    c->SetKindAndIcon(0, &i3, 3), i3.depth = 100;
    CUnitList list;
    EXPECT_EQ(list.InsertSorted(b, FALSE), 1);
    EXPECT_EQ(list.InsertSorted(a, FALSE), 1);
    EXPECT_EQ(list.InsertSorted(bare, FALSE), 1);
    EXPECT_EQ(list.InsertSorted(c, FALSE), 1);  // before the first as deep
    EXPECT_EQ(list.InsertSorted(a, FALSE), 0);
    EXPECT_EQ(Numbers(list), (std::vector<int>{3, 1, 2, 4}));
    EXPECT_EQ(list.InsertSorted(a, TRUE), 1);
    EXPECT_EQ(Numbers(list), (std::vector<int>{1, 3, 1, 2, 4}));
    list.RemoveDuplicates();  // the first of each stays
    EXPECT_EQ(Numbers(list), (std::vector<int>{1, 3, 2, 4}));
    list.RemoveAll(FALSE);
}

TEST_F(UnitListTest, StuckUnitsMoveLastAndEqualsSwap) {
    CUnitList list;
    const int failed[] = {2, 0, 2, 1, 0};
    for (int i = 0; i < 5; ++i) {
        CUnit* u = Make(i);
        u->m_failedMoves = failed[i];
        list.AddTail(u);
    }
    list.SortByBlockedCount();
    EXPECT_EQ(Numbers(list), (std::vector<int>{4, 1, 3, 2, 0}));
    list.RemoveAll(FALSE);
}

TEST_F(UnitListTest, TargetIsTheNearestWithRoom) {
    CUnitList list;
    CUnit* near = Make(1, 100, 0);
    CUnit* tie = Make(2, 0, 100);
    CUnit* far = Make(3, 300, 0);
    for (CUnit* u : {near, tie, far}) list.AddTail(u);
    EXPECT_EQ(list.FindTarget(0, 0, 1000, 3, FALSE, CRect()), tie);  // the later of equals
    EXPECT_EQ(list.FindTarget(0, 0, 99, 3, FALSE, CRect()), nullptr);
    EXPECT_EQ(list.FindTarget(0, 0, 1000, 3, FALSE, CRect(50, -50, 150, 50)), near);

    // A full target is passed over; a General has twice the room.
    CUnit e1, e2;
    tie->m_engagers.AddTail(&e1);
    near->m_engagers.AddTail(&e1);
    EXPECT_EQ(list.FindTarget(0, 0, 1000, 1, FALSE, CRect()), far);
    tie->m_kind = KIND_GENERAL;
    EXPECT_EQ(list.FindTarget(0, 0, 1000, 1, FALSE, CRect()), tie);
    tie->m_engagers.AddTail(&e2);
    EXPECT_EQ(list.FindTarget(0, 0, 1000, 1, FALSE, CRect()), far);
    tie->m_engagers.RemoveAll(FALSE);
    near->m_engagers.RemoveAll(FALSE);
    list.RemoveAll(FALSE);
}

TEST_F(UnitListTest, IconsStandOnTheUnitsAndMarkersShowStrength) {
    CFakeIcon foot(24, 28), rider(34, 34), marker(6, 6);
    CUnit* a = Make(0, 400, 300);
    CUnit* b = Make(1, 500, 300);
    a->SetKindAndIcon(KIND_SWORDMAN, &foot, 1);
    b->SetKindAndIcon(KIND_CAVALRY, &rider, 2);
    a->m_marker = &marker;
    a->m_fieldRect = CRect(388, 286, 412, 314);
    CUnitList list;
    list.AddTail(a);
    list.AddTail(b);
    list.UpdateAll();
    EXPECT_EQ(foot.pos, CPoint(388, 286));
    EXPECT_EQ(foot.depth, 300 + 16020);
    EXPECT_EQ(rider.pos, CPoint(483, 273));  // riders sit 10 higher
    EXPECT_EQ(marker.pos, CPoint(397, 297));

    struct Case {
        int heads, frame;
    };
    for (Case c : {Case{181, 0}, Case{180, 1}, Case{91, 1}, Case{90, 2}, Case{0, 2}}) {
        a->m_headCount = c.heads;
        int frame = -1;
        struct Recorder : CFakeIcon {
            int* out;
            Recorder(int* o) : CFakeIcon(6, 6), out(o) {}
            void SetFrame(int f, int) override { *out = f; }
        } rec(&frame);
        a->m_marker = &rec;
        a->PlaceMarker();
        EXPECT_EQ(frame, c.frame) << c.heads;
    }
    a->m_marker = nullptr;
    list.RemoveAll(FALSE);
}

}  // namespace
