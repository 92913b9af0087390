// Historical battles played the whole way on the real game, headless on a
// virtual clock, in both layouts: the main menu's "Historical Battle", a
// battle of the map (or, for the battles no spot names, its number), the
// deployment with the commander placed, the battle fought to its end with
// the player's army sent forward and every popup clicked away, the results
// shown once, and the single-battle menu again. A battle of every scenario
// file of the catalogue is played, and one of the world file; the player's
// record keeps what the battle paid after the game starts again.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "Animate/MenuPictureNames.h"
#include "army/Army.h"
#include "tests/support/GameRun.h"
#include "ui/TacticScreen.h"
#include "world/PlayerRoster.h"

namespace {

struct Battle {
    const char* name;  // the scenario's, for the test's name
    int number;        // the battle's number in the catalogue
};
void PrintTo(const Battle& b, std::ostream* os) { *os << b.name; }

// A battle of every scenario file, and one of "Default.STE".
const Battle kBattles[] = {
    {"Sezawa", 9},          {"Uehara", 10},      {"Shiojinitouge", 11}, {"Hayashi", 12},      {"Temmokuzan", 13},
    {"Iwadono", 14},        {"Uedahara", 15},    {"Kawanakajima", 18},  {"Katsurao", 19},     {"DefaultSTE", 20},
    {"Kasugayamajo", 23},   {"Brenmoor", 25},    {"Mimasetoge", 26},    {"Sunpu", 29},        {"MikataGaHara", 41},
    {"Nagashino", 43},      {"Gifu", 50},        {"Sekigahara", 51},    {"Anegawa", 55},
};

// How long the player fights on the virtual clock before he sounds the
// retreat, and how often he sends his army forward meanwhile.
constexpr int kBattleSecondsLimit = 600;
constexpr int kForwardEverySeconds = 1;
// The generals the player places besides his commander, at most.
constexpr size_t kMoreGenerals = 5;

// One player's game, from its start to the single-battle menu after a
// battle. Each step asserts where the game must stand after it.
class CWholeWay {
public:
    // `user`: the folders of an earlier game, started again; fresh when null.
    explicit CWholeWay(int width, std::shared_ptr<CScratchUserFolders> user = nullptr) : m_width(width) {
        // The deployment screen seeds its generator from the clock: a fixed
        // one makes every run of a battle the same battle.
        AfxSetWallClock([] { return kFixedWallClock; });
        const bool again = user != nullptr;
        run = std::make_unique<CGameRun>(Wide() ? DisplayMode{1280, 1024, 32} : DisplayMode{1024, 768, 32},
                                         std::vector<std::string>{"velmor"}, std::move(user));
        if (Wide() && !again) {
            EXPECT_TRUE(ChooseLargeLayout());
        }
    }
    ~CWholeWay() {
        run.reset();
        AfxSetWallClock(nullptr);
    }

    bool Wide() const { return m_width > 1024; }
    COrvaneDoc* Doc() { return view->GetDocument(); }

    // The game started, the player Ann chosen, on the main menu.
    void Start(bool newPlayer = true) {
        ASSERT_TRUE(run->Start());
        view = run->View();
        ASSERT_NE(view, nullptr);
        ASSERT_EQ(AfxGetScreen().GetWidth(), m_width);
        if (newPlayer) {
            CPlayerRoster& roster = Doc()->GetRoster();
            roster.Players[0].Name = "Ann";
            roster.Players[0].Clan = 1;
            roster.CurrentPlayer = 0;
        }
        run->Click(500, 500);
        ASSERT_EQ(view->GameMode, MODE_MAIN_MENU);
    }

    // "Historical Battle", then the battle: its spot on the map, or its
    // number for a battle the map has no spot for.
    void ChooseBattle(int number) {
        run->Click(Wide() ? 450 : 360, Wide() ? 645 : 485);
        ASSERT_EQ(view->GameMode, MODE_SBTTL_MENU);
        int spot = -1;
        for (int i = 0; i < MenuPictures::kSpotCount; ++i)
            if (MenuPictures::kSpotBattles[i] == number) spot = i;
        if (spot >= 0) {
            const MenuPictures::SpotRect& r = Wide() ? MenuPictures::kSpotsLarge[spot] : MenuPictures::kSpots1024[spot];
            run->Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        } else {
            view->BattleNumber = number;
            view->BattleMap = CCampaign::getHostileATtackID(number);
            view->ChangeMode(MODE_SINGLE_BATTLE);
        }
        ASSERT_EQ(view->GameMode, MODE_TACTIC);
        EXPECT_EQ(view->BattleNumber, number);
    }

    // The commander dragged into the first slot, then OK.
    void Deploy() {
        CTacticState& t = view->GetTacticState();
        const int commander = t.commanderId;
        ASSERT_NE(commander, -1);
        CIcon* portrait = view->GetIcons().FindById(kPortraitIconBase + commander);
        ASSERT_NE(portrait, nullptr);
        Drag(portrait->GetRect().CenterPoint(), t.slotRects[0].CenterPoint());
        ASSERT_EQ(t.slotGenerals[0], commander);
        // Generals of the first page in the next slots: the army's front
        // goes forward without its commander's and its flanks' divisions.
        const std::vector<int> page = t.pageGenerals;
        for (size_t i = 0; i < page.size() && i < kMoreGenerals; ++i) {
            CIcon* general = view->GetIcons().FindById(kPortraitIconBase + page[i]);
            ASSERT_NE(general, nullptr);
            Drag(general->GetRect().CenterPoint(), t.slotRects[i + 1].CenterPoint());
        }
        run->Run(1000);
        // A popup may open as soon as the battle starts (a headquarters the
        // enemy's front already reaches): its modal loop runs inside the
        // click, so the watch starts before it.
        WatchForPopups();
        ClickButton(kTacticOK);
        ASSERT_EQ(view->GameMode, MODE_BATTLE);
        for (int side = 0; side < 2; ++side) {
            ASSERT_NE(view->Armies[side], nullptr);
        }
    }

    // Every popup clicked away as it comes, from now on.
    void WatchForPopups() {
        clickAway = [this] {
            if (view->PopupOpen) {
                if (CWnd* popup = CWnd::GetCapture()) {
                    CRect r;
                    popup->GetWindowRect(&r);
                    AfxInputMouseButton(0, true, r.left + 4, r.top + 4);
                    AfxInputMouseButton(0, false, r.left + 4, r.top + 4);
                }
            }
            run->Display().After(250, clickAway);
        };
        run->Display().After(250, clickAway);
    }

    // The battle to its end, or to the time limit: the army sent forward now
    // and then, every popup clicked away as it comes.
    void Fight() {
        resultsBefore = view->ResultsShown;
        CPlayerRecord* player = Doc()->GetCurrentPlayer();
        ASSERT_NE(player, nullptr);
        ratingBefore = player->Rating;
        opponentBefore = view->OpponentRating;
        pointsBefore = Doc()->GetCurrentPlayerSlot(0)->PointsB;
        for (int second = 0; second < kBattleSecondsLimit && view->GameMode == MODE_BATTLE; ++second) {
            if (second % kForwardEverySeconds == 0) ClickButton(31);
            run->Run(1000);
        }
        ended = view->GameMode != MODE_BATTLE;
        if (!ended) {
            // Neither army has left the field: the player leaves it, which
            // ends the battle lost, as any other end does.
            retreated = true;
            run->Display().After(300, [] { AfxInputKey('Y', true), AfxInputKey('Y', false); });
            ClickButton(32);
            for (int second = 0; second < 120 && view->GameMode == MODE_BATTLE; ++second) run->Run(1000);
        }
        ASSERT_EQ(view->GameMode, MODE_AFTER_BATTLE);
    }

    // The results, shown once, and what the battle paid the player.
    void CheckResults() {
        EXPECT_EQ(view->ResultsShown, resultsBefore + 1);
        const int local = view->LocalSide;
        ASSERT_TRUE(view->SideResults[local].filled);
        won = view->SideResults[local].won != 0;
        const CPlayerRecord* player = Doc()->GetCurrentPlayer();
        EXPECT_EQ(player->Wins, won ? 1 : 0);
        EXPECT_EQ(player->Losses, won ? 0 : 1);
        EXPECT_EQ(player->Rating, CPlayerRecord::UpdateRating(ratingBefore, opponentBefore, won));
        EXPECT_NE(player->Rating, ratingBefore);
        // A battle pays at least its last share, whatever its figures took.
        const CGameInfoRecord* slot = Doc()->GetCurrentPlayerSlot(0);
        EXPECT_GE(slot->PointsB, won ? 150 : 75);
        EXPECT_EQ(slot->ValueB, won ? 1 : 0);
        EXPECT_EQ(slot->ValueC, won ? 0 : 1);
        EXPECT_NE(view->GetIcons().FindById(50), nullptr) << "the first clan's panel";
    }

    // OK leads back to the map, and the results do not come again.
    void BackToTheMenu() {
        ClickButton(1);
        ASSERT_EQ(view->GameMode, MODE_SBTTL_MENU);
        run->Run(2000);
        EXPECT_EQ(view->GameMode, MODE_SBTTL_MENU);
        EXPECT_EQ(view->ResultsShown, resultsBefore + 1);
    }

    void ClickButton(int id) {
        CCommandButton* button = view->GetButtons().FindById(id);
        ASSERT_NE(button, nullptr) << "no button " << id << " in mode " << view->GameMode;
        CPoint c = button->GetRect().CenterPoint();
        run->Click(c.x, c.y);
    }
    void Drag(CPoint from, CPoint to) {
        run->Display().After(1, [from] { AfxInputMouseButton(0, true, from.x, from.y); });
        run->Run(20);
        run->MoveMouse((from.x + to.x) / 2, (from.y + to.y) / 2);
        run->MoveMouse(to.x, to.y);
        run->Display().After(1, [to] { AfxInputMouseButton(0, false, to.x, to.y); });
        run->Run(20);
    }

    // Declared before the game, so that it outlives the game's last
    // scheduled call of it.
    std::function<void()> clickAway;
    std::unique_ptr<CGameRun> run;
    COrvaneView* view = nullptr;
    int resultsBefore = 0, ratingBefore = 0, opponentBefore = 0, pointsBefore = 0;
    bool won = false;
    bool ended = false;      // the battle ended within the time limit
    bool retreated = false;  // the player left the field

private:
    int m_width;
};

class HistoricalBattle : public ::testing::TestWithParam<std::tuple<Battle, int>> {};

}  // namespace

TEST_P(HistoricalBattle, IsPlayedFromTheMainMenuToTheResultsAndBackToTheMap) {
    const auto& [battle, width] = GetParam();
    CWholeWay game(width);
    ASSERT_NO_FATAL_FAILURE(game.Start());
    ASSERT_NO_FATAL_FAILURE(game.ChooseBattle(battle.number));
    ASSERT_NO_FATAL_FAILURE(game.Deploy());
    ASSERT_NO_FATAL_FAILURE(game.Fight());
    ASSERT_NO_FATAL_FAILURE(game.CheckResults());
    if (game.retreated) { EXPECT_FALSE(game.won) << "a battle the player left is lost"; }
    ASSERT_NO_FATAL_FAILURE(game.BackToTheMenu());
}

INSTANTIATE_TEST_SUITE_P(EveryScenario, HistoricalBattle,
                         ::testing::Combine(::testing::ValuesIn(kBattles), ::testing::Values(1024, 1280)),
                         [](const ::testing::TestParamInfo<std::tuple<Battle, int>>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST(HistoricalBattleProfile, ThePlayersRatingAndPointsOutliveARestart) {
    std::shared_ptr<CScratchUserFolders> user;
    int rating = 0, points = 0;
    bool won = false;
    {
        CWholeWay game(1024);
        ASSERT_NO_FATAL_FAILURE(game.Start());
        ASSERT_NO_FATAL_FAILURE(game.ChooseBattle(12));
        ASSERT_NO_FATAL_FAILURE(game.Deploy());
        ASSERT_NO_FATAL_FAILURE(game.Fight());
        ASSERT_NO_FATAL_FAILURE(game.CheckResults());
        ASSERT_NO_FATAL_FAILURE(game.BackToTheMenu());
        rating = game.Doc()->GetCurrentPlayer()->Rating;
        points = game.Doc()->GetCurrentPlayerSlot(0)->PointsB;
        won = game.won;
        user = game.run->UserFolders();
    }
    // A new game on the same profile.
    CWholeWay again(1024, user);
    ASSERT_NO_FATAL_FAILURE(again.Start(false));
    const CPlayerRecord* player = again.Doc()->GetCurrentPlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->Name, "Ann");
    EXPECT_EQ(player->Rating, rating);
    EXPECT_EQ(player->Wins, won ? 1 : 0);
    EXPECT_EQ(player->Losses, won ? 0 : 1);
    EXPECT_EQ(again.Doc()->GetCurrentPlayerSlot(0)->PointsB, points);
}
