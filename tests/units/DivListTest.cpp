// The division list's finders, pops and sorts, and the division meter.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Units/DivList.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"

namespace {

// Divisions owned by the fixture; the lists under test only point at them.
class DivListTest : public testing::Test {
protected:
    CDivision* Make(int number, int x, int y) {
        m_owned.push_back(std::make_unique<CDivision>(number, x, y, nullptr));
        return m_owned.back().get();
    }
    static std::vector<int> Numbers(const CDivList& list) {
        std::vector<int> v;
        for (POSITION pos = list.GetHeadPosition(); pos;) v.push_back(list.GetDivision(pos)->m_number);
        return v;
    }

    std::vector<std::unique_ptr<CDivision>> m_owned;
};

TEST_F(DivListTest, NearestAmongEqualsIsTheFirstScanned) {
    CDivList list;
    list.Add(Make(1, 100, 0));
    list.Add(Make(2, -100, 0));
    list.Add(Make(3, 0, 50));
    EXPECT_EQ(list.FindNearest(0, 0, FALSE, FALSE, 1000)->m_number, 3);
    list.FindByID(3, FALSE, FALSE)->m_routed = 1;
    EXPECT_EQ(list.FindNearest(0, 0, FALSE, TRUE, 1000)->m_number, 1);
    EXPECT_EQ(list.FindNearest(0, 0, FALSE, TRUE, 100), nullptr);  // below the limit only
    EXPECT_EQ(list.PopNearest(0, 0, 1000)->m_number, 1);
    EXPECT_EQ(Numbers(list), (std::vector<int>{2, 3}));
}

TEST_F(DivListTest, FindByIdScansFromTheTailAndTheFirstMatchDecides) {
    CDivList list;
    CDivision* a = Make(4, 0, 0);
    CDivision* b = Make(4, 10, 0);
    list.Add(a);
    list.Add(b);
    EXPECT_EQ(list.FindByID(4, FALSE, FALSE), b);
    b->m_routed = 1;
    EXPECT_EQ(list.FindByID(4, TRUE, FALSE), nullptr);
    b->m_routed = 0;
    b->m_detachCountdown = 5;
    EXPECT_EQ(list.FindByID(4, FALSE, TRUE), nullptr);
    EXPECT_EQ(list.FindByID(7, FALSE, FALSE), nullptr);
}

TEST_F(DivListTest, PopsOfEmptyAndSingleLists) {
    CDivList list;
    EXPECT_EQ(list.PopMaxY(), nullptr);
    EXPECT_EQ(list.PopMaxX(), nullptr);
    EXPECT_EQ(list.PopFront(TRUE), nullptr);
    EXPECT_EQ(list.GetLargestDivision(), nullptr);
    EXPECT_EQ(list.GetHighestGrade(), nullptr);
    list.Add(Make(1, 5, 5));
    EXPECT_EQ(list.PopMaxY()->m_number, 1);
    EXPECT_TRUE(list.IsEmpty());

    list.Add(Make(1, 5, 50));
    list.Add(Make(2, 9, 70));
    list.Add(Make(3, 7, 70));
    EXPECT_EQ(list.PopMaxY()->m_number, 2);  // the first of two at the largest y
    EXPECT_EQ(list.PopMaxX()->m_number, 3);
}

TEST_F(DivListTest, DetachmentsCountWhenAskedAndInPlay) {
    CDivList list;
    for (int n : {0, 5, 12, 13, 14}) list.Add(Make(n, 0, 0));
    list.FindByID(13, FALSE, FALSE)->m_detachCountdown = 30;
    list.FindByID(5, FALSE, FALSE)->m_routed = 1;
    EXPECT_EQ(list.CountActive(FALSE), 1);
    EXPECT_EQ(list.CountActive(TRUE), 3);
    EXPECT_EQ(list.GetCount(TRUE), 4);
    EXPECT_EQ(list.GetCount(FALSE), 5);
}

TEST_F(DivListTest, CollectInRectLeavesTheRightAndBottomEdgesOut) {
    CDivList list, out;
    list.Add(Make(1, 100, 100));
    list.Add(Make(2, 200, 150));  // on the right edge
    list.Add(Make(3, 150, 200));  // on the bottom edge
    list.Add(Make(4, 199, 199));
    list.CollectInRect(out, 100, 100, 200, 200, FALSE, 0);
    EXPECT_EQ(Numbers(out), (std::vector<int>{4, 1}));  // reverse scan order
    out.RemoveAll(FALSE);
    list.CollectInRect(out, 100, 100, 200, 200, FALSE, 41);  // 40 units each
    EXPECT_TRUE(out.IsEmpty());
}

TEST_F(DivListTest, SortedInsertsAndResortsKeepEqualsStable) {
    CDivList list;
    CDivision* a = Make(1, 30, 0);
    CDivision* b = Make(2, 10, 0);
    CDivision* c = Make(3, 30, 0);
    CDivision* d = Make(4, 20, 0);
    for (CDivision* e : {a, b, c, d}) list.InsertSortedByX(e);
    // A newcomer goes before the first equal one.
    EXPECT_EQ(Numbers(list), (std::vector<int>{2, 4, 3, 1}));

    CDivList byY;
    for (CDivision* e : {a, b, c, d}) byY.Add(e);
    a->m_y = 5, b->m_y = 1, c->m_y = 5, d->m_y = 3;
    byY.SortByY(TRUE);
    EXPECT_EQ(Numbers(byY), (std::vector<int>{2, 4, 3, 1}));
    byY.SortByY(FALSE);
    EXPECT_EQ(Numbers(byY), (std::vector<int>{3, 1, 4, 2}));
}

TEST_F(DivListTest, HighestGradeNeedsAGradeAboveZero) {
    CDivList list;
    CDivision* a = Make(1, 0, 0);
    CDivision* b = Make(2, 0, 0);
    list.Add(a);
    list.Add(b);
    EXPECT_EQ(list.GetHighestGrade(), nullptr);
    a->m_grade = 1, b->m_grade = 3;
    EXPECT_EQ(list.GetHighestGrade(), b);
    b->m_routed = 1;
    EXPECT_EQ(list.GetHighestGrade(), a);
}

TEST_F(DivListTest, MeterLightsNoMoreSegmentsThanItHas) {
    CDivision* d = Make(0, 0, 0);  // 40 units
    struct Case {
        double ratio;
        int frame;
    };
    for (Case c : {Case{1.3, 1}, Case{1.29, 2}, Case{1.0, 2}, Case{0.7, 3}, Case{0.4, 4}, Case{0.39, 5}}) {
        d->m_strengthRatio = c.ratio;
        EXPECT_EQ(ReadDivisionMeter(*d, 10).frame, c.frame) << c.ratio;
    }
    EXPECT_EQ(ReadDivisionMeter(*d, 10).lit, 10);  // 40 units x 10 x 0.025
    EXPECT_EQ(ReadDivisionMeter(*d, 20).lit, 20);

    // More than 40 units would light more than there are.
    d->m_battalions.FindByID(0, FALSE, TRUE)->m_units.AddTail(new CUnit(10, nullptr, 0, 0, 0));
    EXPECT_EQ(d->GetStrength(), 41);
    EXPECT_EQ(ReadDivisionMeter(*d, 10).lit, 10);
    EXPECT_EQ(ReadDivisionMeter(*d, 0).lit, 0);
}

}  // namespace
