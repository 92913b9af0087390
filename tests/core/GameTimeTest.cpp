#include <gtest/gtest.h>

#include "platform/afx/Afx.h"
#include "core/GameTime.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/LoadFailure.h"

namespace {

struct Fields {
    int month, day, hour, minute;
};
Fields Decode(const CGameTime& t) { return {t.GetMonth(), t.GetDay(), t.GetHour(), t.GetMinute()}; }

TEST(GameTime, ConstructionNormalisesMonthAndHour) {
    struct Case {
        int year, month, day, hour, minute;
        Fields expected;
        int expectedYear;
    } cases[] = {
        {1997, 14, 3, 25, 10, {2, 3, 1, 10}, 1997},   // month and hour wrap, the year stays
        {1997, 0, 3, 8, 0, {12, 3, 8, 0}, 1997},      // month 0 is December of the same year
        {1997, -1, 3, -1, 0, {11, 3, 23, 0}, 1997},
        {1997, 5, 3, -24, 0, {5, 3, 0, 0}, 1997},
        {1997, 13, 1, 0, 0, {1, 1, 0, 0}, 1997},
        {1997, 1, 32, 0, 75, {2, 1, 1, 15}, 1997},    // day and minute carry over
    };
    for (const Case& c : cases) {
        CGameTime t(c.year, c.month, c.day, c.hour, c.minute);
        Fields f = Decode(t);
        EXPECT_EQ(f.month, c.expected.month) << c.month;
        EXPECT_EQ(f.day, c.expected.day) << c.month;
        EXPECT_EQ(f.hour, c.expected.hour) << c.hour;
        EXPECT_EQ(f.minute, c.expected.minute);
        EXPECT_EQ(CTime(t.GetRaw()).GetYear(), c.expectedYear);
        EXPECT_EQ(t.version, -1);
    }
}

TEST(GameTime, SpansAndHours) {
    CGameTime t(1997, 10, 31, 8, 0);
    t.AddSpan(1, 0, 0, 0);
    EXPECT_EQ(t.GetRaw(), CGameTime(1997, 11, 1, 8, 0).GetRaw());
    t.AddSpan(0, 1, 30, 15);
    EXPECT_EQ(t.GetRaw(), CTime(1997, 11, 1, 9, 30, 15).GetTime());

    CGameTime h(2001, 6, 15, 8, 45);
    h.SetHour(22);
    EXPECT_EQ(h.GetRaw(), CGameTime(2001, 6, 15, 22, 45).GetRaw());
    h.yearOffset = 1;  // SetHour rebuilds from the year less the offset
    h.SetHour(22);
    EXPECT_EQ(h.GetRaw(), CGameTime(2000, 6, 15, 22, 45).GetRaw());
    // An offset read from a file may be anything: a year the count cannot
    // hold makes the time undecodable.
    for (int32_t offset : {INT32_MIN, INT32_MIN + 10, INT32_MAX, 1000}) {
        CGameTime far(2001, 6, 15, 8, 45);
        far.yearOffset = offset;
        far.SetHour(3);
        EXPECT_EQ(far.GetRaw(), -1) << offset;
    }
    // Fields out of every range wrap without overflowing.
    EXPECT_EQ(CGameTime(2001, INT32_MIN, 1, INT32_MIN, 0).GetMonth(), CGameTime(2001, 4, 1, 16, 0).GetMonth());
    EXPECT_EQ(CGameTime(2001, INT32_MIN, 1, INT32_MIN, 0).GetHour(), 16);
    EXPECT_EQ(CTime(INT32_MIN, INT32_MIN, 1, 0, 0, 0).GetTime(), -1);

    CGameTime copy(h);
    EXPECT_EQ(copy.yearOffset, 1);
    copy.Assign(int32_t(0));
    EXPECT_EQ(copy.yearOffset, 0);
    EXPECT_EQ(copy.GetHour(), 0);

    CGameTime none;  // a battle without a date
    EXPECT_EQ(none.GetHour(), -1);
    none.SetHour(5);
    EXPECT_EQ(none.GetHour(), -1) << "an hour is not a date";

    CGameTime bad;
    bad.Assign(int32_t(-5));
    EXPECT_EQ(bad.GetMonth(), -1);
    EXPECT_EQ(bad.GetDay(), -1);
    EXPECT_EQ(bad.GetHour(), -1);
    EXPECT_EQ(bad.GetMinute(), -1);
}

TEST(GameTime, StoresTwelveBytes) {
    CGameTime t;
    t.Assign(int32_t(0x01020304));
    t.yearOffset = 60;
    auto bytes = StoreBytes([&](CArchive& ar) { t.Serialize(ar); });
    EXPECT_EQ(bytes, (std::vector<BYTE>{1, 0, 0, 0, 4, 3, 2, 1, 60, 0, 0, 0}));
    EXPECT_EQ(t.version, 1);

    CGameTime back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.GetRaw(), 0x01020304);
    EXPECT_EQ(back.yearOffset, 60);
    EXPECT_EQ(back.version, 1);
}

TEST(GameTime, DamagedRecordsThrowAndLeaveTheTimeAlone) {
    std::vector<BYTE> wrongVersion;
    PutD(wrongVersion, 2);
    PutD(wrongVersion, 777);
    PutD(wrongVersion, 0);
    std::vector<BYTE> truncated{1, 0, 0, 0, 4, 3};
    for (const auto& bytes : {wrongVersion, truncated}) {
        CGameTime t;
        t.Assign(int32_t(1234));
        ExpectLoadFailure(bytes, [&](CArchive& ar) { t.Serialize(ar); });
        EXPECT_EQ(t.GetRaw(), 1234);
        EXPECT_EQ(t.version, -1);
    }
}

}  // namespace
