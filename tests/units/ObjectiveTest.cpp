// Objective records and the objective queue.
#include <gtest/gtest.h>

#include "Units/Action.h"
#include "Units/Move.h"
#include "Units/Objective.h"
#include "Units/Thinking.h"
#include "tests/support/ArchiveBytes.h"

namespace {

void ExpectUnset(const CObjective& o) {
    EXPECT_EQ(o.GetPoint(), CPoint(-1000, -1000));
    EXPECT_EQ(o.m_extra1, -1000);
    EXPECT_EQ(o.m_extra2, -1000);
    EXPECT_EQ(o.m_extra3, -1000);
    EXPECT_EQ(o.m_extra4, -1000);
    EXPECT_EQ(o.m_facing, -1);
    EXPECT_EQ(o.m_type, -1);
    EXPECT_EQ(o.m_targetId, -1);
}

TEST(ObjectiveTest, PlaceholdersCopiesAndNullSources) {
    ExpectUnset(CObjective());
    ExpectUnset(CObjective(static_cast<const CObjective*>(nullptr)));
    ExpectUnset(CAction());

    CObjective order(ORDER_ATTACK, 300, 400, 7, 2, 1, 2, 3, 4);
    CObjective copy(&order);
    EXPECT_EQ(copy, order);

    CObjective dest(ORDER_MOVE, 1, 2);
    EXPECT_FALSE(dest.CopyFrom(nullptr));
    EXPECT_EQ(dest, CObjective(ORDER_MOVE, 1, 2));
    EXPECT_TRUE(dest.CopyFrom(&order));
    EXPECT_EQ(dest, order);
}

TEST(ObjectiveTest, QueueKeepsArrivalOrderAndPushesInFront) {
    CObjectiveList q;
    EXPECT_EQ(q.GetHead(), nullptr);
    EXPECT_EQ(q.GetTail(), nullptr);
    EXPECT_EQ(q.PopHead(), nullptr);
    EXPECT_EQ(q.GetHeadPoint(), CPoint(-1000, -1000));
    EXPECT_EQ(q.GetHeadFacing(), -1);
    q.DeleteHead();  // nothing to do
    EXPECT_TRUE(q.IsEmpty());

    auto* a = new CObjective(ORDER_MOVE, 10, 11, -1, 3);
    auto* b = new CObjective(ORDER_MOVE, 20, 21, -1, 4);
    auto* c = new CObjective(ORDER_ATTACK, 30, 31, -1, 5);
    q.Add(a);
    q.Add(b);
    q.AddHead(c);
    EXPECT_EQ(q.GetHeadPoint(), CPoint(30, 31));
    EXPECT_EQ(q.GetHeadFacing(), 5);
    EXPECT_EQ(q.GetTail(), b);
    CObjective* popped = q.PopHead();
    EXPECT_EQ(popped, c);
    delete popped;
    q.DeleteHead();
    EXPECT_EQ(q.GetHead(), b);
    // The queue deletes what is left (b) when it goes.
}

TEST(ObjectiveTest, ActionStartsAnOrderAtItsPoint) {
    CAction action;
    CObjective order(ORDER_DEFENSE, 500, 600, 15, 6);
    EXPECT_TRUE(action.SetOrder(&order, nullptr));
    EXPECT_EQ(static_cast<const CObjective&>(action), order);
    EXPECT_EQ(action.m_startX, 500);
    EXPECT_EQ(action.m_startY, 600);
    EXPECT_EQ(action.m_formation, nullptr);
}

TEST(MoveRecordTest, StoresFortyOneBytesAndReadsOlderVersionsWithoutExtra) {
    CMove m;
    m.m_first = 1.5, m.m_second = -2.0, m.m_third = 3.25, m.m_fourth = 1e9;
    m.m_flag = 1;
    m.m_extra = -7;
    m.m_version = 5;
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { m.Serialize(ar); });
    ASSERT_EQ(bytes.size(), 41u);
    EXPECT_EQ(bytes[0], 1);  // always stored as version 1

    CMove back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.m_version, 1);
    EXPECT_EQ(back.m_fourth, 1e9);
    EXPECT_EQ(back.m_extra, -7);

    // Version 2 holds no Extra: 37 bytes, and the byte after them is not read.
    std::vector<BYTE> old(bytes.begin(), bytes.begin() + 37);
    old[0] = 2;
    old.push_back(0xEE);
    CMove older;
    LoadBytes(old, [&](CArchive& ar) {
        older.Serialize(ar);
        BYTE next = 0;
        ar >> next;
        EXPECT_EQ(next, 0xEE);
    });
    EXPECT_EQ(older.m_version, 2);
    EXPECT_EQ(older.m_third, 3.25);
    EXPECT_EQ(older.m_flag, 1);
    EXPECT_EQ(older.m_extra, 0);
}

TEST(ThinkingTest, StoresTwelveBytesAndReadsThemBack) {
    CThinking t;
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { t.Serialize(ar); });
    EXPECT_EQ(bytes, (std::vector<BYTE>{0x85, 0x85, 0x85, 0x66, 0x85, 0x85, 0x85, 0x66, 0, 0, 0, 0}));

    std::vector<BYTE> changed = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    CThinking back;
    LoadBytes(changed, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.m_values[0], 0x04030201u);
    EXPECT_EQ(back.m_values[1], 0x08070605u);
    EXPECT_EQ(back.m_flagsA[1], 10);
    EXPECT_EQ(back.m_flagsB[1], 12);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { back.Serialize(ar); }), changed);
}

}  // namespace
