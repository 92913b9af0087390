// The battle catalogue and the battle maps: every battle number gives its
// world, clans, clock and year; the historical battles' scenario files of
// the kit hold both clans with generals enough for two armies.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Animate/MenuPictureNames.h"
#include "army/Army.h"
#include "battle/BattleRunner.h"
#include "core/Random.h"
#include "core/WorldNames.h"
#include "field/BattlefieldTables.h"
#include "tests/support/GameRun.h"
#include "ui/BattleResults.h"
#include "world/Campaign.h"

TEST(BattleMaps, EveryBattleIdHasItsMap) {
    struct Case {
        int battle, map;
    } fixed[] = {{9, 0},   {12, 3},  {13, 4},  {34, 4},  {18, 9},  {1, 9},   {0, 9},   {58, 9},  {-4, 9},
                 {25, 19}, {26, 20}, {32, 20}, {31, 28}, {46, 28}, {47, 28}, {39, 17}, {41, 24}, {43, 22},
                 {50, 32}, {51, 34}, {55, 38}, {56, -1}, {57, -2}};
    for (const Case& c : fixed) {
        int draws = RandCallCount;
        EXPECT_EQ(CCampaign::getHostileATtackID(c.battle), c.map) << "battle " << c.battle;
        EXPECT_EQ(RandCallCount, draws) << "a fixed map draws nothing";
    }
    // The enemy attacks draw one of two maps, one counted draw each.
    const std::set<int> pairs[9] = {{}, {}, {6, 8}, {15, 4}, {20, 4}, {37, 38}, {24, 15}, {36, 38}, {2, 0}};
    GameSrand(7);
    for (int battle = 2; battle <= 8; ++battle) {
        std::set<int> seen;
        for (int i = 0; i < 40; ++i) {
            int draws = RandCallCount;
            seen.insert(CCampaign::getHostileATtackID(battle));
            EXPECT_EQ(RandCallCount, draws + 1);
        }
        EXPECT_EQ(seen, pairs[battle]) << "battle " << battle;
    }
}

TEST(BattleResults, CasualtyFactorFollowsItsCurve) {
    struct Case {
        int n;
        double factor;
    } cases[] = {{-1, 1.0}, {-500, 1.0}, {0, 1.0}, {90, 0.15}, {95, 0.145}, {220, 0.105},
                 {310, 0.15}, {400, 0.15}, {401, 0.15}, {100000, 0.15}};
    for (const Case& c : cases) EXPECT_NEAR(CasualtyFactor(c.n), c.factor, 1e-9) << c.n;
}

namespace {

// The rows of the catalogue a test checks: battle, file, enemy, clock and
// campaign year.
struct Row {
    int battle;
    const char* file;
    const char* enemy;
    int year, month, day, hour, campaignYear;
};
const Row kRows[] = {
    {9, "Sezawa.vmd", "Quarnith", 1970, 9, 10, 7, 1542},
    {10, "Uehara.vmd", "Quarnith", 1970, 9, 25, 11, 1542},
    {11, "Shiojinitouge.vmd", "Quarnith", 1976, 10, 25, 16, 1548},
    {12, "Hayashi.vmd", "Quarnith", 1978, 9, 25, 18, 1550},
    {13, "Temmokuzan.vmd", "Zem", 2010, 6, 15, 17, 1582},
    {14, "Iwadono.vmd", "Wenmarch", 2003, 11, 10, 6, 1575},
    {15, "Uedahara.vmd", "Quarnith", 1976, 9, 25, 11, 1548},
    {16, "Kawanakajima.vmd", "Karsin", 1988, 5, 25, 5, 1560},
    {17, "Kawanakajima.vmd", "Karsin", 1988, 5, 25, 5, 1560},
    {18, "Kawanakajima.vmd", "Karsin", 1988, 5, 25, 5, 1560},
    {19, "Katsurao.vmd", "Quarnith", 1981, 10, 1, 6, 1553},
    {23, "Kasugayamajo.vmd", "Karsin", 1988, 5, 25, 5, 1560},
    {25, "Brenmoor.vmd", "Lask", 1997, 10, 1, 6, 1569},
    {26, "Mimasetoge.vmd", "Lask", 1997, 10, 6, 13, 1569},
    {29, "Sunpu.vmd", "Dorneth", 1996, 9, 15, 8, 1568},
    {41, "Mikata ga Hara.vmd", "Wenmarch", 2000, 12, 22, 16, 1572},
    {43, "Nagashino.vmd", "Zem", 2003, 5, 21, 6, 1575},
    {50, "Gifu.vmd", "Zem", 2003, 9, 10, 6, 1575},
    {51, "Sekigahara.vmd", "Sabe", 2028, 9, 15, 8, 1600},
    {55, "Anegawa.vmd", "Sabe", 1998, 10, 1, 6, 1570},
    {2, "Default.STE", "Karsin", 1997, 10, 1, 6, 1572},
    {39, "Default.STE", "Wenmarch", 1998, 5, 15, 12, 1570},
    {45, "Default.STE", "Wenmarch", 1998, 7, 15, 9, 1570},
    {54, "Default.STE", "Sabe", 2000, 9, 15, 12, 1570},
};

using MenuGame = CMenuGame;

}  // namespace

TEST(BattleCatalogue, EachRowLoadsItsWorldClansClockAndYear) {
    MenuGame g;
    ASSERT_NE(g.view, nullptr);
    COrvaneDoc* doc = g.view->GetDocument();
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.battle);
        g.view->BattleClans[0] = g.view->BattleClans[1] = -7;
        ASSERT_TRUE(g.view->SetupBattle(r.battle, true, nullptr));
        EXPECT_EQ(g.view->BattleClans[0], doc->m_nations.FindIDByName("Velmor"));
        EXPECT_EQ(g.view->BattleClans[1], doc->m_nations.FindIDByName(r.enemy));
        EXPECT_GE(g.view->BattleClans[1], 0);
        EXPECT_EQ(g.view->BattleClock.GetRaw(), CGameTime(r.year, r.month, r.day, r.hour, 15).GetRaw());
        EXPECT_EQ(doc->m_campaign.m_nYear, r.campaignYear);
        EXPECT_EQ(g.view->SingleCampaign, 0);
        EXPECT_GT(g.view->FormationLists.army.GetCount(), 0);
    }
}

TEST(BattleCatalogue, NumbersWithoutARowDrawTwoDifferentHouses) {
    MenuGame g;
    ASSERT_NE(g.view, nullptr);
    COrvaneDoc* doc = g.view->GetDocument();
    std::set<int> seen;
    for (int battle : {0, 1, 58, 1000, -3}) {
        for (uint32_t seed = 1; seed <= 6; ++seed) {
            GameSrand(seed);
            int draws = RandCallCount;
            ASSERT_TRUE(g.view->SetupBattle(battle, true, nullptr));
            EXPECT_GE(RandCallCount, draws + 2);
            int a = g.view->BattleClans[0], b = g.view->BattleClans[1];
            EXPECT_NE(a, b);
            for (int id : {a, b}) {
                EXPECT_GE(id, 1);
                EXPECT_LE(id, 8);
                seen.insert(id);
            }
            EXPECT_EQ(g.view->BattleClock.GetRaw(), CGameTime(2028, 12, 25, 8, 15).GetRaw());
            EXPECT_EQ(doc->m_campaign.m_nYear, 1572);
        }
    }
    EXPECT_GT(seen.size(), 3u);
}

TEST(BattleCatalogue, AGivenScenarioDrawsItsClockAndLeavesTheClans) {
    MenuGame g;
    ASSERT_NE(g.view, nullptr);
    g.view->BattleClans[0] = 3;
    g.view->BattleClans[1] = 5;
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        GameSrand(seed);
        ASSERT_TRUE(g.view->SetupBattle(9, false, KitFile("Data\\Sezawa.vmd").c_str()));
        const CGameTime& t = g.view->BattleClock;
        EXPECT_EQ(t.GetRaw(), CGameTime(2028, t.GetMonth(), t.GetDay(), 8, 0).GetRaw());
        EXPECT_EQ(t.GetMinute(), 0);
        EXPECT_GE(t.GetDay(), 1);
        EXPECT_LE(t.GetDay(), 28);
        EXPECT_GE(t.GetMonth(), 1);
        EXPECT_LE(t.GetMonth(), 12);
    }
    EXPECT_EQ(g.view->BattleClans[0], 3);
    EXPECT_EQ(g.view->BattleClans[1], 5);
    EXPECT_EQ(g.view->GetDocument()->m_campaign.m_nYear, 1600);
}

TEST(BattleCatalogue, AMissingScenarioFailsWithTheLoadersMessageAndTheMenuComesBack) {
    MenuGame g;
    ASSERT_NE(g.view, nullptr);
    // The scratch working folder links the kit's files one by one: take
    // the first battle's scenario away.
    std::filesystem::remove(g.run.WorkFolder() / "Data" / "Sezawa.vmd");
    AfxClearShownMessages();
    EXPECT_FALSE(g.view->SetupBattle(9, true, nullptr));
    bool said = false;
    for (const std::string& m : AfxGetShownMessages()) said = said || m.find("Sezawa.vmd cannot be loaded!") != std::string::npos;
    EXPECT_TRUE(said);
    g.view->BattleNumber = 9;
    g.view->ChangeMode(MODE_SINGLE_BATTLE);
    EXPECT_EQ(g.view->GameMode, MODE_SBTTL_MENU);
}

// Every scenario file holds both clans of its battle with generals enough
// for two armies, which stand and fight on the battle's own map.
TEST(BattleCatalogue, EveryScenarioFieldsBothArmies) {
    for (const Row& r : kRows) {
        if (std::string(r.file) == "Default.STE" || r.battle == 17 || r.battle == 18) continue;
        SCOPED_TRACE(r.file);
        CBattleRunner runner;
        CBattleSetupSpec spec;
        spec.kitFolder = KitFolder().string();
        spec.scenario = r.file;
        int map = CCampaign::getHostileATtackID(r.battle);
        spec.battlefieldKey = GetBattlefieldKey(map).GetString();
        spec.clans[0] = 1;
        for (int k = 1; k <= 13; ++k)
            if (std::string(kClanNames[k]) == r.enemy) spec.clans[1] = k;
        std::string error;
        ASSERT_TRUE(runner.Load(spec, error)) << error;
        for (int side = 0; side < 2; ++side) EXPECT_GE(runner.Army(side)->m_divisions.GetCount(), 3);
        CBattleResult result = runner.Run(5);
        EXPECT_EQ(result.ticks, 5u);
        for (const CBattleSideResult& s : result.sides) EXPECT_GT(s.liveUnits, 0);
        // The results of a battle that filled none come from the armies.
        runner.View().FillSideResults();
        for (int side = 0; side < 2; ++side) {
            const CSideResult& sr = runner.View().SideResults[side];
            EXPECT_TRUE(sr.filled);
            EXPECT_EQ(sr.Divisions(), runner.Army(side)->m_divisions.GetCount());
        }
    }
}
