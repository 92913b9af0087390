#include <gtest/gtest.h>

#include "platform/afx/Afx.h"
#include "core/PointList.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/LoadFailure.h"

namespace {

TEST(PointList, QueueOrder) {
    CPointList list;
    EXPECT_EQ(list.PopHead(), CPoint(-1000, -1000));
    EXPECT_TRUE(list.IsEmpty());
    list.AddTail(1, 1);
    EXPECT_EQ(list.PopHead(), CPoint(1, 1));
    list.AddTail(2, 2);  // the tail must have been cleared with the last node
    list.AddHead(0, 0);
    list.AddTail(3, 3);
    EXPECT_EQ(list.GetCount(), 3);

    CPointList copy;
    copy.AddTail(-1, -1);
    copy.AppendList(list);
    copy.AppendList(copy);  // doubles once
    EXPECT_EQ(copy.GetCount(), 8);
    EXPECT_EQ(copy.PopHead(), CPoint(-1, -1));
    EXPECT_EQ(copy.PopHead(), CPoint(0, 0));
    EXPECT_EQ(list.GetCount(), 3);
}

TEST(RectList, Queries) {
    CRectList list;
    EXPECT_EQ(list.PopHead(), CRect(-1000, -1000, -1000, -1000));
    EXPECT_EQ(list.GetBounds(), CRect(0, 0, 0, 0));
    list.AddRect(5, 5, 10, 10);
    list.AddRect(20, 0, 30, 3);
    EXPECT_EQ(list.GetBounds(), CRect(5, 0, 30, 10));
    EXPECT_EQ(list.PopHead(), CRect(20, 0, 30, 3));

    CRectList probe;
    probe.AddRect(0, 0, 10, 10);
    EXPECT_TRUE(probe.IntersectsAny(10, 10, 20, 20)) << "a shared corner meets";
    EXPECT_FALSE(probe.IntersectsAny(11, 0, 20, 10));

    CRectList all;
    all.AppendList(list);
    all.AppendList(probe);
    all.AppendList(all);
    EXPECT_EQ(all.GetCount(), 4);
    EXPECT_EQ(all.GetHead(), CRect(5, 5, 10, 10));
    EXPECT_EQ(all.GetTail(), CRect(0, 0, 10, 10));
}

TEST(RectList, SerialisedBytes) {
    CRectList list;
    list.AddRect(3, 3, 4, 4);
    list.AddRect(2, 2, 3, 3);
    list.AddRect(-1, 0, 1, 0x10203);
    auto bytes = StoreBytes([&](CArchive& ar) { list.Serialize(ar); });
    std::vector<BYTE> expected{3, 0};
    for (int v : {-1, 0, 1, 0x10203, 2, 2, 3, 3, 3, 3, 4, 4}) PutD(expected, DWORD(v));
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.size(), 2u + 48u);

    CRectList back;
    back.AddRect(9, 9, 9, 9);  // loading appends
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    ASSERT_EQ(back.GetCount(), 4);
    back.RemoveHead();
    for (POSITION a = back.GetHeadPosition(), b = list.GetHeadPosition(); a;)
        EXPECT_EQ(back.GetNext(a), list.GetNext(b));

    // A large count takes the long form.
    std::vector<BYTE> wide{0xFF, 0xFF, 1, 0, 0, 0};
    for (int v : {1, 2, 3, 4}) PutD(wide, DWORD(v));
    CRectList one;
    LoadBytes(wide, [&](CArchive& ar) { one.Serialize(ar); });
    EXPECT_EQ(one.GetHead(), CRect(1, 2, 3, 4));
}

TEST(RectList, TruncatedArchiveAddsNothing) {
    std::vector<BYTE> bytes{2, 0};
    for (int v : {1, 2, 3, 4, 5, 6}) PutD(bytes, DWORD(v));  // the second rectangle is cut short
    CRectList list;
    list.AddRect(7, 7, 8, 8);
    ExpectLoadFailure(bytes, [&](CArchive& ar) { list.Serialize(ar); });
    EXPECT_EQ(list.GetCount(), 1);
}

}  // namespace
