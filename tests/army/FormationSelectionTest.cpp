// Choosing among formations: by scenario, at random, by cycling, by family
// and grade. Small hand-built lists show each rule; the kit's lists are
// checked in KitFormationsTest.
#include <gtest/gtest.h>

#include "army/FormationList.h"
#include "core/Random.h"
#include "world/Person.h"

namespace {

CArmyFormation* Add(CArmyFormationList& list, int id, int parent = -1, int level = 0, DWORD flags = 0) {
    CArmyFormation* f = new CArmyFormation(id);
    f->m_nParentID = parent;
    f->m_nLevel = BYTE(level);
    f->m_dwFlags = flags;
    list.AddTail(f);
    return f;
}

TEST(FormationSelection, ScenarioTable) {
    const struct {
        int scenario;
        BOOL side;
        int id;
    } cases[] = {{12, TRUE, 133}, {12, FALSE, -1}, {5, FALSE, 115}, {5, TRUE, -1}, {122, TRUE, -1},
                 {31, TRUE, 113}, {28, FALSE, 129}, {-1, TRUE, -1},  {22, TRUE, 134}};
    for (const auto& c : cases) EXPECT_EQ(PresetID(c.scenario, c.side), c.id) << c.scenario << " " << c.side;
    EXPECT_TRUE(IsScenarioFormation(113));
    EXPECT_FALSE(IsScenarioFormation(122));
    EXPECT_FALSE(IsScenarioFormation(103));
}

TEST(FormationSelection, RootsFollowParentsAndSurviveCycles) {
    CArmyFormationList list;
    Add(list, 3);
    Add(list, 200, 3, 2);
    Add(list, 201, 200, 3);
    CArmyFormation* orphan = Add(list, 202, 999, 2);
    EXPECT_EQ(list.GetRootID(201), 3);
    EXPECT_EQ(list.GetRootID(202), 999);
    EXPECT_EQ(list.GetRoot(orphan), orphan);
    // Two formations naming each other: the walk ends.
    Add(list, 300, 301, 2);
    Add(list, 301, 300, 2);
    int root = list.GetRootID(300);
    EXPECT_TRUE(root == 300 || root == 301);
    EXPECT_EQ(list.GetRootIDOf(nullptr), -1);
}

TEST(FormationSelection, TheLastFormationWithAnIdWins) {
    CArmyFormationList list;
    Add(list, 3);
    CArmyFormation* later = Add(list, 3);
    EXPECT_EQ(list.GetFormation(3), later);
}

TEST(FormationSelection, RandomPresetIsNullWhenTheDrawnPresetIsMissing) {
    CArmyFormationList list;
    Add(list, 93);
    GameSrand(7);
    int before = RandCallCount;
    int hits = 0;
    for (int i = 0; i < 64; ++i)
        if (CArmyFormation* f = list.GetFormation(-2)) {
            EXPECT_EQ(f->m_nID, 93);
            ++hits;
        }
    EXPECT_EQ(RandCallCount - before, 64);
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, 64);
}

TEST(FormationSelection, PickRandomSkipsTheAliasTheGeneralsOwnAndScenarios) {
    CArmyFormationList list;
    CArmyFormation* halfMoon = Add(list, 92);
    Add(list, 91, -1, 0, 0x100);
    CArmyFormation* own = Add(list, 103, -1, 0, 0x200);
    Add(list, 115, -1, 0, 0x200);
    Add(list, 250, 103, 2, 0x200);  // not a root
    for (int seed = 1; seed < 20; ++seed) {
        GameSrand(seed);
        EXPECT_EQ(list.PickRandom(0x100, nullptr), halfMoon);
    }
    CPerson holder, other;
    std::string name = GeneralsOwnFormationHolder();
    holder.familyName = name.substr(0, name.find(',')).c_str();
    holder.givenName = name.substr(name.find(", ") + 2).c_str();
    ASSERT_STREQ(holder.GetFullName(), GeneralsOwnFormationHolder());
    other.familyName = "Someone";
    for (int seed = 1; seed < 20; ++seed) {
        GameSrand(seed);
        EXPECT_EQ(list.PickRandom(0x200, &holder), own);
        GameSrand(seed);
        // Nobody else gets it: every candidate is refused and a preset is
        // drawn, and only 92 of the presets is in this list.
        CArmyFormation* f = list.PickRandom(0x200, &other);
        EXPECT_TRUE(f == nullptr || f == halfMoon);
    }
    // A mask no root meets draws a preset.
    GameSrand(3);
    int before = RandCallCount;
    list.PickRandom(0x8000, nullptr);
    EXPECT_EQ(RandCallCount - before, 1);
}

TEST(FormationSelection, ScenarioOrMaskOrPreset) {
    CArmyFormationList list;
    CArmyFormation* scenario = Add(list, 133);
    CArmyFormation* wave = Add(list, 96, -1, 0, 0x40000);
    EXPECT_EQ(list.GetByTypeAndSide(12, 0x40000, nullptr, TRUE), scenario);
    GameSrand(5);
    EXPECT_EQ(list.GetByTypeAndSide(12, 0x40000, nullptr, FALSE), wave);
}

TEST(FormationSelection, CyclingWrapsAndPassesOverOtherScenarios) {
    CArmyFormationList list;
    CArmyFormation* a = Add(list, 3);
    Add(list, 200, 3, 2);
    CArmyFormation* scenario = Add(list, 133);
    CArmyFormation* b = Add(list, 10);
    EXPECT_EQ(list.GetNextFormation(3, -1, 0, TRUE), scenario);
    EXPECT_EQ(list.GetNextFormation(3, 12, 0, TRUE), scenario);
    EXPECT_EQ(list.GetNextFormation(3, 5, 0, FALSE), b);
    EXPECT_EQ(list.GetNextFormation(10, 5, 0, FALSE), a);      // wraps to the first root
    EXPECT_EQ(list.GetPreviousFormation(3, 5, 0, FALSE), b);   // and backwards
    EXPECT_EQ(list.GetPreviousFormation(10, 12, 0, TRUE), scenario);
    EXPECT_EQ(list.GetNextFormation(200, -1, 0, TRUE), nullptr);  // not a root
    EXPECT_EQ(list.GetNextFormation(77, -1, 0, TRUE), nullptr);   // not there
    // The scenario's own formation comes round again after a wrap.
    EXPECT_EQ(list.GetNextFormation(10, 12, 0, TRUE), a);
}

TEST(FormationSelection, LinkedFormationsByMaskAndRatio) {
    CArmyFormationList list;
    CArmyFormation* from = Add(list, 3);
    CArmyFormation* x = Add(list, 10, -1, 0, 0x20000);
    CArmyFormation* y = Add(list, 26, -1, 0, 0x20000);
    Add(list, 70, -1, 0, 0x1000);
    from->m_linkedIDs[0] = 70;
    from->m_linkedIDs[1] = 10;
    from->m_linkedIDs[2] = 26;
    // Newest key first in the map's order: 26, 10, 70.
    EXPECT_EQ(list.PickLinked(from, 0x20000), x);  // equal ratios: the later one
    y->m_nCounter1 = 5;
    EXPECT_EQ(list.PickLinked(from, 0x20000), y);
    EXPECT_EQ(list.ApplyFormation(3, 0x400), y);   // none meets: the first linked
    EXPECT_EQ(list.PickLinked(nullptr, 0x20000), nullptr);
    EXPECT_EQ(list.ApplyFormation(10, 0x20000), nullptr);  // no links
}

TEST(FormationSelection, EquivalentsByGradeAndMask) {
    CArmyFormationList list;
    CArmyFormation* root = Add(list, 94);
    CArmyFormation* wholeArmy = Add(list, 500, 94, 1, 0x20000000);
    CArmyFormation* a2 = Add(list, 501, 94, 2, 0x10000);
    CArmyFormation* a3 = Add(list, 502, 501, 3, 0x10000);
    CArmyFormation* a4 = Add(list, 503, 502, 4, 0x10000);
    CArmyFormation* b2 = Add(list, 504, 94, 2, 0x20000);
    CArmyFormation* b3 = Add(list, 505, 504, 3, 0x20000);
    CArmyFormation* high = Add(list, 506, 94, 5, 0x10000);
    Add(list, 600, -1, 2, 0x10000);  // another family
    const struct {
        const CArmyFormation* from;
        DWORD mask;
        const CArmyFormation* to;
    } cases[] = {
        {root, 0x10000, a2},        {root, 0x20000000, wholeArmy}, {a2, 0x10000, a3},  {a2, 0x20000, b2},
        {a3, 0x10000, a4},          {a3, 0x20000, b3},             {a4, 0x10000, a4},  {a4, 0x20000000, wholeArmy},
        {b3, 0x20000, nullptr},     {high, 0x10000, nullptr},      {nullptr, 0x10000, nullptr},
        {wholeArmy, 0x20000, b2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(list.FindEquivalent(c.from, c.mask), c.to)
            << (c.from ? c.from->m_nID : -1) << " " << std::hex << c.mask;
    EXPECT_EQ(list.FindInFamily(a2, 0x10000, 3), a3);
    EXPECT_EQ(list.FindInFamily(a2, 0x20000, 3), nullptr);
    EXPECT_EQ(list.FindInFamily(a3, 0x10000, 3), nullptr);
}

TEST(FormationSelection, DivisionFormationsAreDrawnInIdOrder) {
    CDivFormationList list;
    for (int id : {40, 15, 37, 39}) {
        CDivFormation* f = new CDivFormation(id);
        f->m_dwFlags = id == 39 ? 4 : 2;
        list.AddTail(f);
    }
    EXPECT_EQ(list.PickRandom(8), nullptr);
    const int ascending[3] = {15, 37, 40};
    // Three meet mask 2: ascending ids 15, 37, 40, whatever their list order.
    for (int seed = 1; seed < 30; ++seed) {
        GameSrand(seed);
        int draw = GameRand() % 3;
        GameSrand(seed);
        CDivFormation* f = list.PickRandom(2);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->m_nID, ascending[draw]);
    }
}

}  // namespace
