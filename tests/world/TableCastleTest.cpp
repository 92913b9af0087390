// Attribute tables, castles, provinces and clans: their archive forms in
// every format the world files hold, and the castle economy.
#include <gtest/gtest.h>

#include <limits>

#include "world/Castle.h"
#include "world/Nation.h"
#include "world/State.h"
#include "core/Random.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/LoadFailure.h"

namespace {

void PutTableV2(std::vector<BYTE>& v) {
    CTable t;
    std::vector<BYTE> b = StoreBytes([&](CArchive& ar) { t.Serialize(ar); });
    v.insert(v.end(), b.begin(), b.end());
}

void PutDouble(std::vector<BYTE>& v, double d) {
    uint64_t u;
    memcpy(&u, &d, 8);
    PutD(v, DWORD(u));
    PutD(v, DWORD(u >> 32));
}

void PutStr(std::vector<BYTE>& v, const char* s) {
    v.push_back(BYTE(strlen(s)));
    PutS(v, s);
}

// The castle economy in its current format (2), field by field.
std::vector<BYTE> EconomyV2(double unitRate = 1.5, double horseRate = 0.2, int32_t units = 777) {
    std::vector<BYTE> v;
    PutD(v, 2);
    // figureB, figureA, figureC, weight, rifles, figureD, horses, figureD, figureE, figureF, units
    const int32_t ints[11] = {1, 2, 3, 4, 55, 8, 66, 8, 9, 10, units};
    for (int32_t x : ints) PutD(v, DWORD(x));
    // rateA, averageB, averageA, rifleRate, rateB, unitRate, horseRate
    for (double d : {0.5, 0.25, 3.5, 0.04, 0.125, unitRate, horseRate}) PutDouble(v, d);
    return v;
}

// A castle in formats 3..6, written out field by field.
std::vector<BYTE> OldCastle(int version) {
    std::vector<BYTE> v;
    PutD(v, version);
    for (int i = 0; i < 4; ++i) PutD(v, 100 + i);  // extra
    if (version == 3) PutD(v, 1); else v.push_back(1);  // isHome
    PutD(v, 300); PutD(v, 301);  // limits
    PutD(v, 7);  // id
    PutD(v, 2);  // region
    PutD(v, 5);  // owner
    PutD(v, 9);  // number
    PutD(v, 4);  // group
    if (version <= 4) {
        // figureB, figureA, figureC, weight, rifles, figureD, horses, figureD, figureE, figureF, units
        const int ints[11] = {1, 2, 3, 4, 55, 6, 66, 8, 9, 10, 777};
        for (int x : ints) PutD(v, x);
        for (double d : {0.5, 0.25, 0.04, 0.125, 1.5, 0.2}) PutDouble(v, d);
    }
    PutDouble(v, 2.5);
    v.push_back(81); v.push_back(76);  // grades A, B
    if (version <= 5) v.push_back(12);  // grade C
    PutD(v, 90);
    PutStr(v, "two"); PutStr(v, "one"); PutStr(v, "Sunpu");
    PutW(v, 1); PutD(v, 16); PutD(v, 32);  // mapA: one entry
    PutW(v, 0);                             // mapB
    PutTableV2(v);
    if (version >= 5) {
        std::vector<BYTE> e = EconomyV2();
        v.insert(v.end(), e.begin(), e.end());
    }
    return v;
}

}  // namespace

TEST(Table, StoresVersionTwoAndReadsItBack) {
    CTable t;
    t.SetPreset();
    t.skills[6] = 42;
    t.count = -5;
    std::vector<BYTE> bytes = StoreBytes([&](CArchive& ar) { t.Serialize(ar); });
    EXPECT_EQ(bytes.size(), 26u);
    CTable back;
    LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_TRUE(back == t);
    EXPECT_EQ(back.skills[6], 42);
}

TEST(Table, ReadsTheOldFormats) {
    // Version 1: ten integers; the tenth spreads over the first four skills.
    std::vector<BYTE> v1;
    PutD(v1, 1);
    for (int x : {11, 12, 13, 14, 15, 16, 17, 18, 19, 300}) PutD(v1, x);
    CTable t;
    t.skills[4] = 33;
    LoadBytes(v1, [&](CArchive& ar) { t.Serialize(ar); });
    EXPECT_EQ(t.traits[4], 15);
    EXPECT_EQ(t.experience, 19);
    EXPECT_EQ(t.skills[0], 44);
    EXPECT_EQ(t.skills[1], 1);
    EXPECT_EQ(t.skills[2], 0);
    EXPECT_EQ(t.skills[4], 33);

    // Version 0: fourteen bytes, the other fields keep their values.
    std::vector<BYTE> v0;
    PutD(v0, 0);
    for (BYTE b : {21, 22, 23, 24}) v0.push_back(b);
    PutD(v0, 5);
    v0.push_back(31);
    PutD(v0, 80);
    v0.push_back(61);
    CTable u;
    LoadBytes(v0, [&](CArchive& ar) { u.Serialize(ar); });
    EXPECT_EQ(u.traits[0], 10);
    EXPECT_EQ(u.traits[1], 21);
    EXPECT_EQ(u.grades[0], 31);
    EXPECT_EQ(u.experience, 80);
    EXPECT_EQ(u.skills[0], 61);
    EXPECT_EQ(u.skills[1], 20);

    std::vector<BYTE> bad;
    PutD(bad, 9);
    ExpectLoadFailure(bad, [](CArchive& ar) { CTable x; x.Serialize(ar); });
}

TEST(Table, CombatRatings) {
    CTable defaults;
    CTable preset;
    preset.SetPreset();
    CTable green;
    green.experience = -1;
    struct Case {
        const CTable* table;
        int arm;
        int rating;
    } cases[] = {
        {&defaults, 0, 1},  // R = 1.56
        {&preset, 0, 18},   // squared training factor
        {&preset, 3, 20},   // arm 3 takes it unsquared
        {&preset, 5, 1},    // no such arm
        {&green, 0, 1},     // a negative experience is no failure
    };
    for (const Case& c : cases) EXPECT_EQ(c.table->GetCombatRating(c.arm), c.rating) << "arm " << c.arm;
    EXPECT_DOUBLE_EQ(preset.GetAttributeFactor(1), 1.0);
    EXPECT_DOUBLE_EQ(preset.GetAttributeFactor(-1), 0.0);
}

TEST(Castle, RoundTripsByteForByte) {
    CCastle c;
    c.name = "Kasugayamajo";
    c.text1 = "north";
    c.owner = 2;
    c.isHome = 1;
    c.mapA[5] = 6;
    c.mapA[21] = 7;
    c.economy.units = 400;
    c.economy.unitRate = 1.25;
    c.economy.averageA = 3.5;
    std::vector<BYTE> first = StoreBytes([&](CArchive& ar) { c.Serialize(ar); });
    CCastle back;
    LoadBytes(first, [&](CArchive& ar) { back.Serialize(ar); });
    std::vector<BYTE> second = StoreBytes([&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(first, second);
    EXPECT_EQ(back.economy.averageA, 3.5);
}

TEST(Castle, ReadsFormatsThreeToSix) {
    for (int version : {3, 4, 5, 6}) {
        CCastle c;
        LoadBytes(OldCastle(version), [&](CArchive& ar) { c.Serialize(ar); });
        EXPECT_EQ(c.isHome, 1) << version;
        EXPECT_EQ(c.id, 7);
        EXPECT_EQ(c.owner, 5);
        EXPECT_EQ(c.limitB, 301);
        EXPECT_EQ(c.group, 4);
        EXPECT_EQ(c.factor, 2.5);
        EXPECT_EQ(c.gradeB, 76);
        EXPECT_EQ(c.gradeC, version <= 5 ? 12 : 0);
        EXPECT_EQ(c.rating, 90);
        EXPECT_EQ(c.name, "Sunpu");
        EXPECT_EQ(c.economy.units, 777);
        EXPECT_EQ(c.economy.horses, 66);
        EXPECT_EQ(c.economy.rifles, 55);
        EXPECT_EQ(c.economy.unitRate, 1.5);
        DWORD v = 0;
        EXPECT_TRUE(c.mapA.Lookup(16, v));
        EXPECT_EQ(v, 32u);
    }
    // The current format is written back exactly as the fixture holds it.
    CCastle current;
    LoadBytes(OldCastle(6), [&](CArchive& ar) { current.Serialize(ar); });
    EXPECT_EQ(current.economy.averageA, 3.5);
    EXPECT_EQ(current.economy.rateB, 0.125);
    EXPECT_EQ(current.economy.figureF, 10);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { current.Serialize(ar); }), OldCastle(6));
    // Format 4 keeps figureD from its second slot.
    CCastle c;
    LoadBytes(OldCastle(4), [&](CArchive& ar) { c.Serialize(ar); });
    EXPECT_EQ(c.economy.figureD, 8);
    EXPECT_EQ(c.economy.weight, 4);
}

TEST(Castle, RejectsUnknownVersionsAndShortFiles) {
    std::vector<BYTE> v7;
    PutD(v7, 7);
    try {
        LoadBytes(v7, [](CArchive& ar) { CCastle c; c.Serialize(ar); });
        ADD_FAILURE();
    } catch (const CException& e) {
        EXPECT_STREQ(e.GetErrorText(), "ERROR: Unknown version of castle file.");
    }
    std::vector<BYTE> cut = OldCastle(5);
    cut.resize(cut.size() - 3);
    ExpectLoadFailure(cut, [](CArchive& ar) { CCastle c; c.Serialize(ar); });
}

namespace {
CCastle* AddCastle(CCastleList& list, const char* name, int owner, double unitRate) {
    CCastle* c = new CCastle;
    c->name = name;
    c->owner = owner;
    c->economy.unitRate = unitRate;
    list.AddTail(c);
    return c;
}
}  // namespace

TEST(CastleEconomy, StoredFiguresAreCheckedBeforeAnySum) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
    // A rate that is no number makes the file bad.
    for (double bad : {inf, -inf, nan}) {
        for (bool horse : {false, true}) {
            std::vector<BYTE> bytes = horse ? EconomyV2(1.5, bad) : EconomyV2(bad);
            try {
                LoadBytes(bytes, [](CArchive& ar) { CCastleEconomy e; e.Serialize(ar); });
                ADD_FAILURE() << bad;
            } catch (const CException& e) {
                EXPECT_STREQ(e.GetErrorText(), "ERROR: The castle economy holds a rate that is no number.");
            }
        }
    }
    // Numbers that are merely huge give the ends of the count's range.
    struct Case {
        double rate;
        int32_t units;
        int32_t produced;  // units after one turn
        int32_t income;    // units plus the income of two such castles
        int32_t scaled;    // 7 horses scaled by the rate
    } cases[] = {
        {1e300, 0, INT32_MAX, INT32_MAX, INT32_MAX},
        {-1e300, 0, INT32_MIN, INT32_MIN, INT32_MIN},
        {1.0, INT32_MAX, INT32_MAX, INT32_MAX, 7},
        {-1.0, INT32_MIN, INT32_MIN, INT32_MIN, -7},
        {0.5, 100, 150, 200, 3},
    };
    for (const Case& c : cases) {
        CCastleEconomy e;
        LoadBytes(EconomyV2(c.rate, 0.2, c.units), [&](CArchive& ar) { e.Serialize(ar); });
        e.Produce(true);
        EXPECT_EQ(e.units, c.produced) << c.rate << " on " << c.units;
        CCastleList list;
        CCastle* a = AddCastle(list, "A", 1, c.rate);
        AddCastle(list, "B", 1, c.rate);
        CCastleEconomy income;
        income.units = c.units;
        list.SumIncome(1, income, true);
        EXPECT_EQ(income.units, c.income) << c.rate << " on " << c.units;
        a->economy.units = c.units;
        a->economy.horses = 7;
        a->economy.rifles = -7;
        a->ScaleFigures(c.rate);
        EXPECT_EQ(a->economy.horses, c.scaled) << c.rate;
        a->ScaleFigures(nan);
        EXPECT_EQ(a->economy.units, 0);
        list.DeleteAll();
    }
}

TEST(CastleList, Economy) {
    CCastleList list;
    CCastle* a = AddCastle(list, "A", 1, 0.499);
    CCastle* b = AddCastle(list, "B", 1, 0.0);
    AddCastle(list, "C", 2, 0.0);
    a->economy.rifleRate = 0.5;
    a->economy.rifles = 3;
    list.UpdateEconomy(false);
    EXPECT_EQ(a->economy.units, 49);  // truncated, not rounded
    EXPECT_EQ(a->economy.rifles, 3);
    list.UpdateEconomy(true);
    EXPECT_EQ(a->economy.rifles, 53);

    // The stocks gather in the home castle; rifles only after 1549.
    b->isHome = 1;
    a->economy.weight = 1;
    a->economy.averageA = 4;
    for (int year : {1549, 1550}) {
        a->economy.rifles = 10;
        a->economy.units = 20;
        CCastleEconomy totals;
        list.GetTotalsEx(1, totals, year);
        EXPECT_EQ(a->economy.units, 0);
        EXPECT_EQ(a->economy.rifles, year == 1549 ? 10 : 0);
        EXPECT_EQ(totals.rifles, year == 1549 ? 0 : 10);
        EXPECT_EQ(totals.averageA, 4.0);
        list.DepositToHome(1, totals);
        EXPECT_EQ(b->economy.units, year == 1549 ? 20 : 40);  // the home castle gives its own too
        EXPECT_EQ(a->economy.rifles + b->economy.rifles, 10);  // never counted twice
    }
    // No weights at all: the averages are 0, not a division by zero.
    CCastleEconomy none;
    list.GetTotals(2, none);
    EXPECT_EQ(none.averageA, 0.0);
    EXPECT_EQ(list.FindLinked(2), nullptr);
    EXPECT_EQ(list.FindLinked(1), b);
    EXPECT_EQ(list.FindByName("C")->owner, 2);
    EXPECT_EQ(list.FindByName("c"), nullptr);
}

TEST(CastleList, DamageStrikesOnlyProductiveCastles) {
    CCastleList list;
    AddCastle(list, "Barren", 1, 0.01);
    CCastle* rich = AddCastle(list, "Rich", 1, 1.0);
    GameSrand(7);
    RandCallCount = 0;
    list.DamageRandomCastle(1, 0.5);
    EXPECT_DOUBLE_EQ(rich->economy.unitRate, 0.5);  // the only eligible one
    EXPECT_EQ(RandCallCount, 1);
    list.DamageRandomCastle(2, 0.5);  // no castle: no draw
    EXPECT_EQ(RandCallCount, 1);
    AddCastle(list, "Other", 1, 1.0);
    rich->economy.unitRate = 0.005;
    rich->economy.horseRate = 0.0;
    list.DamageRandomCastle(1, 0.5);
    EXPECT_DOUBLE_EQ(list.FindByName("Other")->economy.unitRate, 0.5);
}

TEST(State, ReadsOldProvinceFormats) {
    auto province = [](int stateVersion, const std::function<void(std::vector<BYTE>&)>& tail) {
        CCastle castle;
        std::vector<BYTE> v = StoreBytes([&](CArchive& ar) { castle.Serialize(ar); });
        PutD(v, stateVersion);
        for (int i = 0; i < 8; ++i) PutD(v, 10 + i);
        tail(v);
        return v;
    };
    CState s1;
    LoadBytes(province(1, [](std::vector<BYTE>&) {}), [&](CArchive& ar) { s1.Serialize(ar); });
    EXPECT_EQ(s1.figures[1], 10);
    EXPECT_EQ(s1.figures[0], 11);
    EXPECT_EQ(s1.values.size(), 6u);
    EXPECT_TRUE(s1.title.IsEmpty());

    CState s0;
    LoadBytes(province(0, [](std::vector<BYTE>& v) { PutW(v, 1); PutD(v, 3); PutD(v, 4); }),
              [&](CArchive& ar) { s0.Serialize(ar); });
    DWORD x = 0;
    EXPECT_TRUE(s0.mapB.Lookup(3, x));
    EXPECT_EQ(x, 4u);

    try {
        LoadBytes(province(4, [](std::vector<BYTE>&) {}), [](CArchive& ar) { CState s; s.Serialize(ar); });
        ADD_FAILURE();
    } catch (const CException& e) {
        EXPECT_STREQ(e.GetErrorText(), "ERROR: Unknown version of state file.");
    }
}

TEST(Nation, RoundTripsAndLooksUp) {
    CNationList list;
    CNation* n = new CNation;
    n->id = 4;
    n->name = "Lask";
    n->title = "House";
    n->texts[2] = "x";
    n->values[5] = 9;
    n->clanMapB[40] = 41;
    n->SetLeaderId(77);
    list.AddTail(n);
    std::vector<BYTE> first = StoreBytes([&](CArchive& ar) { list.Serialize(ar); });
    CNationList back;
    LoadBytes(first, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { back.Serialize(ar); }), first);
    EXPECT_EQ(back.FindByID(4)->GetLeaderId(), 77);
    EXPECT_EQ(back.FindIDByName("Lask"), 4);
    EXPECT_EQ(back.FindIDByName("lask"), -1);
    EXPECT_EQ(back.GetNameByID(4), "Lask");
    EXPECT_TRUE(back.GetNameByID(5).IsEmpty());
}

TEST(CastleList, RefusesAnEntryNamedTwice) {
    // A list whose second entry points back at its first object.
    CCastleList list;
    AddCastle(list, "A", 1, 1.0);
    std::vector<BYTE> v = StoreBytes([&](CArchive& ar) { list.Serialize(ar); });
    v[0] = 2;          // count 2
    PutW(v, 0x0002);   // object index 2: the castle already read
    CCastleList back;
    ExpectLoadFailure(v, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.GetCount(), 1);
}
