// Generals and the general list: archive formats, figures, selections,
// sorts and command links.
#include <gtest/gtest.h>

#include "world/PersonList.h"
#include "core/Random.h"
#include "tests/support/ArchiveBytes.h"
#include "tests/support/LoadFailure.h"

namespace {

std::vector<BYTE> Store(CPerson& p) {
    return StoreBytes([&](CArchive& ar) { p.Serialize(ar); });
}

CPerson* Add(CPersonList& list, int id, int merit, int clan = 1, int commander = 0) {
    CPerson* p = new CPerson;
    p->id = id;
    p->merit = merit;
    p->clan = clan;
    p->commanderId = commander;
    p->familyName.Format("F%02d", id);
    p->givenName = "G";
    list.AddTail(p);
    return p;
}

std::vector<int> Ids(const CPersonList& list) {
    std::vector<int> ids;
    for (POSITION pos = list.GetHeadPosition(); pos;) ids.push_back(list.GetPerson(pos)->id);
    return ids;
}

}  // namespace

TEST(Person, StoresFormatTenOrElevenAndReadsBack) {
    CPerson p;
    p.id = 12;
    p.familyName = "Kagemura";
    p.givenName = "Tokinari";
    p.subordinates[3] = 3;
    p.record.c1 = 3500;
    p.record.c17 = 4;
    p.ratio = 0.25f;
    p.workTableB.skills[6] = 9;
    std::vector<BYTE> a = Store(p);
    std::vector<BYTE> b = Store(p);
    EXPECT_EQ(a, b);  // version 10 both times
    EXPECT_EQ(a[0], 10);

    for (int i = 0; i < 5; ++i) p.armSnapshot[i] = BYTE(i + 1);
    p.extraFlag = 1;
    p.version = 11;
    std::vector<BYTE> eleven = Store(p);
    EXPECT_EQ(eleven.size(), a.size() + 21);
    EXPECT_EQ(p.version, 0);
    EXPECT_EQ(Store(p), a);  // back to 10

    // The slot block runs on over the snapshot and the format's low bytes.
    size_t slots = a.size() - 26 * 3 - 84;
    const BYTE expected[21] = {1, 2, 3, 4, 2, 3, 4, 5, 3, 4, 5, 11, 4, 5, 11, 0, 5, 11, 0, 0, 1};
    for (int i = 0; i < 21; ++i) EXPECT_EQ(eleven[slots + i], expected[i]) << i;

    CPerson back;
    LoadBytes(eleven, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.armSnapshot[4], 5);
    EXPECT_EQ(back.extraFlag, 1);
    EXPECT_EQ(back.version, 0);
    EXPECT_EQ(back.record.c17, 4);
    EXPECT_EQ(back.GetFullName(), "Kagemura, Tokinari");
    EXPECT_EQ(Store(back), a);
}

TEST(Person, ReadsFormatsEightAndNine) {
    CPerson p;
    p.workTableB.skills[2] = 44;  // arm 0
    p.workTableB.skills[5] = 55;  // arm 4
    std::vector<BYTE> ten = Store(p);
    // Format 8 ends after the first working table; format 9 has no record.
    std::vector<BYTE> eight(ten.begin(), ten.end() - (26 * 2 + 84));
    eight[0] = 8;
    std::vector<BYTE> nine(ten.begin(), ten.end() - 84);
    nine[0] = 9;
    CPerson a, b;
    LoadBytes(eight, [&](CArchive& ar) { a.Serialize(ar); });
    LoadBytes(nine, [&](CArchive& ar) { b.Serialize(ar); });
    EXPECT_EQ(a.armSnapshot[0], 44);
    EXPECT_EQ(a.armSnapshot[4], 55);
    EXPECT_EQ(b.armRating[0], b.workTableB.GetCombatRating(0));
    EXPECT_EQ(a.armRating[0], 0);  // format 8 computes nothing

    std::vector<BYTE> seven = ten;
    seven[0] = 7;
    try {
        LoadBytes(seven, [](CArchive& ar) { CPerson x; x.Serialize(ar); });
        ADD_FAILURE();
    } catch (const CException& e) {
        EXPECT_STREQ(e.GetErrorText(), "ERROR: Unknown version of the person file.");
    }
    ten.resize(ten.size() - 1);
    ExpectLoadFailure(ten, [](CArchive& ar) { CPerson x; x.Serialize(ar); });
}

TEST(Person, ChecksAndStrengths) {
    CPerson p;
    p.units = 10;
    struct Case {
        int arm, horses;
        bool passes;
    } cases[] = {{1, 3, false}, {1, 4, true}, {0, 0, true}, {5, 10, false}};
    for (const Case& c : cases) {
        p.horses = c.horses;
        EXPECT_EQ(p.PassesCheck(c.arm, 0.7, 1), c.passes) << c.arm << "/" << c.horses;
    }
    EXPECT_FALSE(p.PassesCheck(0, 0.7, 11));

    // Without troops the strength is the second table's rating times the weight.
    p.workTableB.SetPreset();
    EXPECT_EQ(p.GetArmStrength(1, 0), p.workTableB.GetCombatRating(1) * 3);
    p.horses = 4;
    int mix = int(0.7 * p.workTableA.GetCombatRating(1) + 0.3 * p.workTableB.GetCombatRating(1));
    EXPECT_EQ(p.GetArmStrength(1, -1), mix * 3 * 4);
    EXPECT_EQ(p.GetTroopLimit(4), 0);
    // Troops and merit read from a file may be anything: the strength and
    // the score stay at the ends of their range.
    p.horses = INT32_MAX;
    p.rifles = INT32_MAX;
    EXPECT_EQ(p.GetArmStrength(1, -1), INT32_MAX);
    EXPECT_EQ(p.GetArmStrength(4, -1), INT32_MAX);
    p.horses = INT32_MIN;
    EXPECT_EQ(p.GetArmStrength(1, -1), INT32_MIN);
    p.merit = INT32_MAX;
    p.record.c16 = 1000;
    EXPECT_EQ(p.GetScore(), INT32_MAX);
    p.merit = INT32_MIN;
    p.record.c16 = -1000;
    EXPECT_EQ(p.GetScore(), INT32_MIN);

    p.lastAction = 1530;
    EXPECT_FALSE(p.CanActAgain(1544));
    EXPECT_TRUE(p.CanActAgain(1545));
}

TEST(Person, RankLevelDrawsOnlyInTheMiddleBand) {
    CPerson p;
    GameSrand(3);
    RandCallCount = 0;
    p.standing = 151;
    EXPECT_EQ(p.GetRankLevel(), 3);
    EXPECT_EQ(RandCallCount, 0);
    p.standing = 145;
    int level = p.GetRankLevel();
    EXPECT_EQ(RandCallCount, 1);
    EXPECT_GE(level, 0);
    EXPECT_LE(level, 2);
}

TEST(Person, RecordRaisesTheWorkingTables) {
    CPerson p;
    p.baseTableB.grades[0] = 95;
    p.baseTableB.traits[1] = 40;
    p.baseTableB.traits[2] = 50;
    p.record.c1 = 4500;  // +90 on grades[0] and traits[4], clamped to 100
    p.record.c3 = 600;   // +10 on the attribute of arm 0
    p.RecalcFromRecord();
    EXPECT_EQ(p.workTableB.grades[0], 100);
    EXPECT_EQ(p.workTableB.skills[2], p.baseTableB.skills[2] + 10);
    // Past 3000 the traits grow too; the smaller one the slower.
    EXPECT_EQ(p.workTableB.traits[1], 40 + 1500 / 150);
    EXPECT_EQ(p.workTableB.traits[2], 50 + 1500 / 100);
}

TEST(Person, InheritedAbilitiesStayInRangeAndRepeat) {
    CPerson leader;
    leader.workTableB.SetPreset();
    leader.workTableA.SetPreset();
    CPerson a, b;
    GameSrand(11);
    a.GainExperience(leader, 1.5);
    GameSrand(11);
    b.GainExperience(leader, 1.5);
    EXPECT_TRUE(a.workTableB == b.workTableB);
    EXPECT_TRUE(a.workTableA == b.workTableA);
    for (int k = 1; k <= 5; ++k) {
        EXPECT_GE(a.workTableB.skills[k], 25);
        EXPECT_LE(a.workTableB.skills[k], 100);
    }
    EXPECT_GE(a.workTableA.experience, 25);
    EXPECT_LE(a.workTableA.experience, 99);
    EXPECT_EQ(a.workTableB.count, 1);
    EXPECT_EQ(a.workTableB.grades[1], 100);
}

// With every source value 50 (trait 3: 10) and the factor 1 each limited
// roll takes its longest road, four draws, and keeps the fourth; the other
// figures take one draw each. The draws must come in the order of the rule,
// as two peers replay them.
TEST(Person, InheritedAbilitiesDrawInTheirOrder) {
    CPerson source;
    for (CTable* t : {&source.workTableA, &source.workTableB}) {
        for (int k = 0; k < 5; ++k) t->traits[k] = 50;
        t->traits[3] = 10;
        t->grades[0] = 50;
        t->experience = 50;
        for (int k = 0; k < 7; ++k) t->skills[k] = 50;
    }
    source.sortKey = 50;
    GameSrand(77);
    std::vector<int> d(1, 0);  // d[n] is the n-th draw
    for (int i = 0; i < 48; ++i) d.push_back(GameRand());
    auto roll = [&](int v, int n) { return int(v * (d[n] % 21 + 85) * 1.0 / 100); };

    CPerson p;
    GameSrand(77);
    RandCallCount = 0;
    p.GainExperience(source, 1.0);
    EXPECT_EQ(RandCallCount, 48);
    const CTable& b = p.workTableB;
    struct Case {
        int value, expected;
    } cases[] = {
        {b.skills[3], roll(50, 4)},   {b.skills[2], roll(50, 8)},   {b.skills[1], roll(50, 12)},
        {b.skills[4], roll(50, 16)},  {b.skills[5], roll(50, 20)},  {b.experience, roll(50, 21)},
        {b.traits[0], roll(50, 22)},  {b.skills[6], roll(50, 23)},  {b.grades[0], roll(50, 27)},
        {b.traits[1], roll(50, 31)},  {b.traits[2], roll(50, 35)},  {b.traits[4], roll(50, 39)},
        {b.traits[3], roll(10, 43)},  {b.skills[0], (d[44] % 36 + 70) * 50 / 100},
        {p.sortKey, roll(50, 48)},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].value, cases[i].expected) << "case " << i;

    // The self-based variant rolls 95..105 over his own second table and
    // leaves the first at its preset.
    CPerson self;
    self.workTableB = source.workTableB;
    GameSrand(78);
    std::vector<int> e(1, 0);
    for (int i = 0; i < 47; ++i) e.push_back(GameRand());
    auto own = [&](int v, int n) { return int(v * (e[n] % 11 + 95) * 1.0 / 100); };
    GameSrand(78);
    RandCallCount = 0;
    self.GainExperienceEx(1.0);
    EXPECT_EQ(RandCallCount, 47);
    const CTable& o = self.workTableB;
    Case selfCases[] = {
        {o.skills[3], own(50, 4)},   {o.skills[2], own(50, 8)},   {o.skills[1], own(50, 12)},
        {o.skills[4], own(50, 16)},  {o.skills[5], own(50, 20)},  {o.experience, own(50, 21)},
        {o.traits[0], own(50, 22)},  {o.skills[6], own(50, 23)},  {o.grades[0], own(50, 27)},
        {o.traits[1], own(50, 31)},  {o.traits[2], own(50, 35)},  {o.traits[4], own(50, 39)},
        {o.traits[3], own(10, 43)},  {o.skills[0], own(50, 47)},
    };
    for (size_t i = 0; i < std::size(selfCases); ++i)
        EXPECT_EQ(selfCases[i].value, selfCases[i].expected) << "self case " << i;
    CTable preset;
    preset.SetPreset();
    EXPECT_TRUE(self.workTableA == preset);
}

TEST(PersonList, Selections) {
    CPersonList list(true);
    CPerson* a = Add(list, 1, 300);
    CPerson* b = Add(list, 2, 300);
    a->units = b->units = 20;
    EXPECT_EQ(list.FindStrongestForArm(0), b);  // equal strength: the later one

    // The troop sums count the living veterans only.
    CPersonList mixed(true);
    CPerson* vet = Add(mixed, 1, 300);
    vet->rifles = 2;
    vet->horses = 3;
    vet->units = 4;
    Add(mixed, 2, 300)->alive = 0;
    Add(mixed, 3, 150)->horses = 9;  // a captain
    EXPECT_EQ(mixed.SumRifles(), 2);
    EXPECT_EQ(mixed.SumHorses(), 3);
    EXPECT_EQ(mixed.SumUnits(), 4);

    // Clan totals average past twelve veterans.
    CPersonList vets;
    auto totals = [&](int n) {
        vets.DeleteAll(true);
        for (int i = 0; i < n; ++i) {
            CPerson* v = Add(vets, 10 + i, 500);
            v->units = 0;  // strength = ratings only
        }
        int h = 0, r = 0, u = 0, s = 0;
        return vets.GetClanTotals(h, r, u, s, false);
    };
    int one = 0;
    {
        CPerson v;
        v.units = 0;
        one = v.GetArmStrengthEx(1, -1) + v.GetArmStrengthEx(4, -1) + v.GetArmStrengthEx(0, -1);
    }
    EXPECT_EQ(totals(12), 12 * one);
    EXPECT_EQ(totals(13), 13 * one / 13 * 12);
    EXPECT_EQ(totals(14), 14 * one / 14 * 12);
    vets.DeleteAll(true);
}

TEST(PersonList, FactorPasses) {
    CPersonList list(true);
    CPerson* p = Add(list, 1, 300);
    CPerson* empty = Add(list, 2, 300);
    p->groupMask = empty->groupMask = 8;
    p->units = 20;
    empty->units = 0;
    list.ApplyFactorC(3.0, 1, -1);
    EXPECT_EQ(p->units, 40);
    p->units = 20;
    list.ApplyFactorC(0.01, 1, 8);
    EXPECT_EQ(p->units, 1);
    EXPECT_EQ(empty->units, 0);
    list.ApplyFactorC(0.5, 1, 4);  // mask shares no bit
    EXPECT_EQ(p->units, 1);
    p->workTableB.experience = 70;
    list.ApplyBattleResult(2.0, 1, 8);
    EXPECT_EQ(p->workTableB.experience, 99);
}

TEST(PersonList, AppointMarshalGathersTheClan) {
    for (int previous : {-1, 50}) {
        CPersonList list(true);
        CPerson* m = Add(list, 1, 300);
        Add(list, 2, 400);                 // veteran: always
        Add(list, 3, 150, 1, 0);           // captain serving nobody
        Add(list, 4, 150, 1, 50);          // captain of the old leader
        Add(list, 5, 400, 2);              // another clan
        list.AppointMarshal(m, previous);
        EXPECT_EQ(m->merit, 2000);
        EXPECT_EQ(m->title, "Marshal");
        EXPECT_EQ(m->commanderId, 0);
        EXPECT_EQ(list.FindByID(2)->commanderId, 1);
        EXPECT_EQ(list.FindByID(3)->commanderId, previous == -1 ? 1 : 0);
        EXPECT_EQ(list.FindByID(4)->commanderId, previous == -1 ? 50 : 1);
        EXPECT_EQ(list.FindByID(5)->commanderId, 0);
        int serving = m->subordinateList.GetCount();
        list.AppointMarshal(m, previous);  // the same marshal once more
        EXPECT_EQ(m->subordinateList.GetCount(), serving);
    }
}

TEST(PersonList, RelinkAndRemoval) {
    CPersonList list(true);
    Add(list, 1, 2000);
    CPerson* v = Add(list, 2, 400, 1, 1);
    Add(list, 3, 150, 1, 2);
    CPerson* late = Add(list, 4, 150, 1, 2);
    late->lastAction = 65520;  // acted too recently to serve
    list.Relink();
    EXPECT_EQ(list.FindByID(1)->subordinates.GetCount(), 1);
    EXPECT_EQ(v->subordinates.GetCount(), 1);

    // A damaged chain that leads back to itself still ends.
    v->subordinates[2] = 2;
    list.FindByID(3)->subordinates[2] = 2;
    list.RemoveFromChains(v, true);
    EXPECT_EQ(list.FindByID(2), nullptr);
    EXPECT_EQ(list.FindByID(3), nullptr);
    EXPECT_EQ(list.FindByID(1)->subordinates.GetCount(), 0);
}

TEST(PersonList, SortsKeepEveryGeneral) {
    CPersonList list(true);
    Add(list, 5, 100)->units = 10;
    Add(list, 5, 100)->units = 30;  // a second general with the same id
    Add(list, 2, 900)->units = 20;
    list.SortByScore();
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(Ids(list), (std::vector<int>{2, 5, 5}));
    list.SortByUnits();
    EXPECT_EQ(static_cast<CPerson*>(list.GetHead())->units, 30);
}

TEST(PersonList, FreeGeneralForAnArm) {
    CPersonList list(true);
    CPerson* weak = Add(list, 1, 300);
    CPerson* strong = Add(list, 2, 300);
    CPerson* unfit = Add(list, 3, 300);
    weak->units = 10;
    strong->units = 30;
    unfit->units = 40;
    unfit->horses = 0;  // fails the cavalry check
    strong->horses = 30;
    weak->horses = 10;
    EXPECT_EQ(list.FindFreeGeneral(1, 20), strong);
    EXPECT_TRUE(strong->assigned);
    // Nobody holds enough horses: none, and nobody is marked.
    list.ClearAssigned();
    EXPECT_EQ(list.FindFreeGeneral(1, 31), nullptr);
    EXPECT_FALSE(strong->assigned);
    EXPECT_EQ(list.FindFreeGeneral(4, 1), nullptr);  // no rifles anywhere
}

TEST(PersonList, CollectorsKeepMeritOrder) {
    CPersonList list(true);
    Add(list, 1, 300)->lastAction = 1500;
    Add(list, 2, 500)->lastAction = 1500;
    Add(list, 3, 300)->lastAction = 1500;
    Add(list, 4, 900)->lastAction = 1540;  // not rested in 1550
    Add(list, 5, 150)->lastAction = 1500;  // a captain
    CPersonList out;
    list.CollectCandidates(1, out, 1550, 0, true);
    EXPECT_EQ(Ids(out), (std::vector<int>{2, 3, 1}));  // equal merit: the later first
    out.RemoveAll();
    list.CollectByClan(1, out, 1550);
    EXPECT_EQ(Ids(out), (std::vector<int>{2, 3, 1, 5}));
    out.RemoveAll();
    EXPECT_EQ(list.CountQualified(2, 1550, 0, true), 1);
    EXPECT_EQ(list.GetMaxID(1), 5);
    EXPECT_EQ(list.GetMaxID(7), 0);
}
