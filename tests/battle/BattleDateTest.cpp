// Battle date, battlefield flags and the campaign strength factor.
#include <gtest/gtest.h>

#include <set>

#include "core/Random.h"
#include "platform/afx/MessageBox.h"
#include "shell/OrvaneView.h"
#include "world/Battle.h"

TEST(BattleDate, BattlefieldFlagsFollowTheThreeGroupsAndAreExclusive) {
    const std::set<int> flag1 = {1, 3, 10, 11, 13, 14, 16, 18, 19, 21, 23, 25, 29, 31, 32};
    const std::set<int> flag0 = {5, 26, 27, 28, 33, 35};
    for (int b = 0; b <= 38; ++b) {
        EXPECT_EQ(COrvaneView::GetBattlefieldFlag(0, b), flag0.count(b) == 1) << b;
        EXPECT_EQ(COrvaneView::GetBattlefieldFlag(1, b), flag1.count(b) == 1) << b;
        EXPECT_EQ(COrvaneView::GetBattlefieldFlag(7, b), flag1.count(b) == 1) << "any non-zero flag is flag 1";
    }
    AfxClearShownMessages();
    EXPECT_FALSE(COrvaneView::GetBattlefieldFlag(1, 39));
    EXPECT_FALSE(COrvaneView::GetBattlefieldFlag(0, -1));
    auto shown = AfxGetShownMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NE(shown[0].find("Invalid battlefield ID: 39"), std::string::npos);
}

TEST(BattleDate, CampaignStrengthFactorWeakensOnlyTheOtherSideInEarlyBattles) {
    // Without a document the campaign year is the campaign's first, 1542.
    struct Case {
        int playKind, battle;
        double side0, side1;
    } cases[] = {
        {2, 9, 1.0, 0.5}, {2, 10, 1.0, 0.5}, {2, 11, 1.0, 0.7}, {2, 12, 1.0, 0.7}, {2, 24, 1.0, 0.6},
        {2, 28, 1.0, 0.6}, {2, 29, 1.0, 0.6}, {2, 8, 1.0, 1.0}, {0, 9, 1.0, 1.0},  {1, 24, 1.0, 1.0},
    };
    for (const Case& c : cases) {
        COrvaneView view;
        view.PlayKind = c.playKind;
        view.BattleNumber = c.battle;
        EXPECT_EQ(view.GetCampaignBattleFactor(0), c.side0) << c.battle;
        EXPECT_EQ(view.GetCampaignBattleFactor(1), c.side1) << c.battle;
    }
}

namespace {
// The draws the date takes, replayed from the raw generator.
struct Draws {
    int month, day, hour, count;
};
Draws ReplayDateDraws(uint32_t seed) {
    GameSrand(seed);
    Draws d{GameRand() % 3 - 1, GameRand() % 2, GameRand() % 5 - 2, 4};
    if (GameRand() % 100 + 1 < 10) d.month += GameRand() % 25 - 12, ++d.count;
    ++d.count;
    if (GameRand() % 100 + 1 < 10) d.hour += GameRand() % 13 - 6, ++d.count;
    return d;
}
}  // namespace

TEST(BattleDate, DateFollowsTheBattlesBasesAndTheDrawsAndStaysInDaylight) {
    COrvaneView view;
    struct Base {
        int battle, month, hour;
    } bases[] = {{41, 12, 15}, {15, 9, 5}, {2, 8, 6}, {55, 8, 6}};
    for (const Base& b : bases) {
        CBattle battle;
        battle.battleId = b.battle;
        int lifted = 0, dropped = 0, extraMonth = 0;
        for (uint32_t seed = 1; seed <= 400; ++seed) {
            Draws d = ReplayDateDraws(seed);
            GameSrand(seed);
            int before = RandCallCount;
            CGameTime t;
            view.SetBattleDateTime(t, battle);
            EXPECT_EQ(RandCallCount - before, d.count) << seed;
            int month = ((b.month + d.month - 1) % 12 + 12) % 12 + 1;
            EXPECT_EQ(t.GetMonth(), month) << b.battle << " seed " << seed;
            EXPECT_EQ(t.GetDay(), 15 + d.day) << seed;
            EXPECT_EQ(t.GetHour(), std::clamp(b.hour + d.hour, 5, 16)) << b.battle << " seed " << seed;
            EXPECT_EQ(t.GetMinute(), 15);
            lifted += b.hour + d.hour < 5;
            dropped += b.hour + d.hour >= 17;
            extraMonth += d.month < -1 || d.month > 1;
        }
        EXPECT_GT(extraMonth, 0);
        if (b.battle == 41) { EXPECT_GT(dropped, 0) << "some seed sends the hour to 17 or later"; }
        if (b.battle == 15) { EXPECT_GT(lifted, 0) << "some seed sends the hour below 5"; }
    }
}

TEST(BattleDate, ABattleOutsideTheTableDrawsButGetsNoTime) {
    COrvaneView view;
    CBattle battle;
    battle.battleId = 56;
    GameSrand(3);
    int before = RandCallCount;
    CGameTime t;
    view.SetBattleDateTime(t, battle);
    EXPECT_EQ(t.GetHour(), -1);
    EXPECT_GE(RandCallCount - before, 4);
}
