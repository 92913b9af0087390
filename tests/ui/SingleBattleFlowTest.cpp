// The historical battles on the real game, headless on the kit, in both
// layouts: the main menu's "Historical Battle" opens the map, a spot sets
// its battle up and asks for the deployment, and a finished battle shows
// its results once, pays the player's army and rating, keeps them in the
// profile and leads back to the map.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Animate/MenuPictureNames.h"
#include "tests/support/GameRun.h"
#include "ui/BattleResults.h"
#include "world/PlayerRoster.h"

namespace {

struct Layout {
    DisplayMode desktop;
    int width;
};
void PrintTo(const Layout& l, std::ostream* os) { *os << l.width; }

// A game on the single-battle menu, with a player of the profile chosen.
class SingleBattle : public ::testing::TestWithParam<Layout> {
protected:
    void SetUp() override {
        const Layout layout = GetParam();
        run = std::make_unique<CGameRun>(layout.desktop);
        if (layout.width == 1280) {
            ASSERT_TRUE(ChooseLargeLayout());
        }
        ASSERT_TRUE(run->Start());
        view = run->View();
        ASSERT_NE(view, nullptr);
        ASSERT_EQ(AfxGetScreen().GetWidth(), layout.width);
        CPlayerRoster& roster = view->GetDocument()->GetRoster();
        roster.Players[0].Name = "Ann";
        roster.Players[0].Clan = 1;
        roster.CurrentPlayer = 0;
        run->Click(500, 500);
        ASSERT_EQ(view->GameMode, MODE_MAIN_MENU);
        // "Historical Battle" (id 5).
        bool small = layout.width <= 1024;
        run->Click(small ? 360 : 450, small ? 485 : 645);
        ASSERT_EQ(view->GameMode, MODE_SBTTL_MENU);
    }
    bool Small() const { return GetParam().width <= 1024; }
    const MenuPictures::SpotRect& Spot(int i) const {
        return Small() ? MenuPictures::kSpots1024[i] : MenuPictures::kSpotsLarge[i];
    }
    // A click on the middle of a spot.
    void ClickSpot(int i) {
        const MenuPictures::SpotRect& r = Spot(i);
        run->Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    std::unique_ptr<CGameRun> run;
    COrvaneView* view = nullptr;
};

}  // namespace

TEST_P(SingleBattle, TheMapShowsItsSpotsAndHoverLightsTheFire) {
    EXPECT_EQ(view->GetButtons().GetCount(), 3);
    for (int i = 0; i < MenuPictures::kSpotCount; ++i) {
        CIcon* hint = view->GetIcons().FindById(100 + i);
        ASSERT_NE(hint, nullptr) << "spot " << i;
        EXPECT_FALSE(hint->m_bEnabled);
    }
    CIcon* fire = view->GetIcons().FindById(400);
    ASSERT_NE(fire, nullptr);
    EXPECT_FALSE(fire->m_bEnabled);

    const MenuPictures::SpotRect& r = Spot(7);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    uint32_t before = run->ScreenPixel(cx, cy - 8);
    run->MoveMouse(cx, cy);
    EXPECT_EQ(view->HoveredSpot, 7);
    EXPECT_TRUE(fire->m_bEnabled);
    EXPECT_TRUE(view->GetIcons().FindById(107)->m_bEnabled);
    EXPECT_NE(run->ScreenPixel(cx, cy - 8), before) << "the fire burns on the spot";
    // The flame flickers on channel 1 and loops back to frame 12.
    run->Run(30 * 80);
    EXPECT_GE(fire->m_nPhaseColumn, 12);
    run->MoveMouse(5, 5);
    EXPECT_EQ(view->HoveredSpot, -1);
    EXPECT_FALSE(fire->m_bEnabled);
    EXPECT_FALSE(view->GetIcons().FindById(107)->m_bEnabled);
    EXPECT_EQ(view->Channels[0].Interval, 0);
}

TEST_P(SingleBattle, EverySpotSetsItsBattleUpAndAsksForTheDeployment) {
    COrvaneDoc* doc = view->GetDocument();
    for (int spot = 0; spot < MenuPictures::kSpotCount; ++spot) {
        SCOPED_TRACE(spot);
        ASSERT_EQ(view->GameMode, MODE_SBTTL_MENU);
        view->GetMessageLog().RemoveAll();
        view->BattleClans[0] = view->BattleClans[1] = -1;
        ClickSpot(spot);
        EXPECT_EQ(view->BattleNumber, MenuPictures::kSpotBattles[spot]);
        EXPECT_EQ(view->BattleMap, CCampaign::getHostileATtackID(view->BattleNumber));
        EXPECT_EQ(view->BattleClans[0], doc->m_nations.FindIDByName("Velmor"));
        EXPECT_GT(view->BattleClans[1], 1);
        EXPECT_EQ(view->PlayKind, 1);
        // Single play never stays in mode 5: the deployment, or the menu
        // again while the game has no deployment screen.
        if (COrvaneView::IsModeAvailable(MODE_TACTIC)) {
            EXPECT_EQ(view->GameMode, MODE_TACTIC);
            view->ChangeMode(MODE_SBTTL_MENU);
        } else {
            EXPECT_TRUE(LogHas(view, "ERROR: The deployment screen is not available."));
            EXPECT_EQ(view->GameMode, MODE_SBTTL_MENU);
        }
    }
    // A row of the world file, reached by number.
    view->BattleNumber = 20;
    view->ChangeMode(MODE_SINGLE_BATTLE);
    EXPECT_EQ(view->BattleClans[1], doc->m_nations.FindIDByName("Quarnith"));
    EXPECT_NE(view->GameMode, MODE_SINGLE_BATTLE);
}

TEST_P(SingleBattle, ARightClickPreviewsAndTheNextClickOnlyTakesItDown) {
    const MenuPictures::SpotRect& r = Spot(4);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    run->Display().After(1, [cx, cy] {
        AfxInputMouseButton(1, true, cx, cy);
        AfxInputMouseButton(1, false, cx, cy);
    });
    run->Run(20);
    ASSERT_TRUE(view->PreviewLocked);
    EXPECT_NE(view->GetIcons().FindById(666), nullptr);
    ClickSpot(4);
    EXPECT_EQ(view->GameMode, MODE_SBTTL_MENU);
    EXPECT_FALSE(view->PreviewLocked);
    EXPECT_EQ(view->GetIcons().FindById(666), nullptr);
}

TEST_P(SingleBattle, CancelReturnsToTheMainMenu) {
    bool small = Small();
    run->Click(small ? 806 + 60 : 1026 + 60, small ? 722 + 16 : 950 + 16);
    EXPECT_EQ(view->GameMode, MODE_MAIN_MENU);
    EXPECT_EQ(view->SpotGrid, nullptr);
}

namespace {
// A finished battle stood in by its results: a side's score, whether it
// won, and commander-less divisions of (arm, casualty figure).
void StandInResult(CSideResult& r, int score, bool won, std::initializer_list<std::pair<int, int>> divisions) {
    r.Clear();
    int i = 0;
    for (auto [kind, count] : divisions) {
        auto* e = new CSideResultEntry;
        e->kind = kind;
        e->count = count;
        e->lost = count < -20;
        r.slots[i++] = e;
    }
    r.divisor = i;
    r.score = score;
    r.won = won;
    r.filled = 1;
}
}  // namespace

TEST_P(SingleBattle, AFinishedBattleShowsItsResultsOncePaysThePlayerAndReturnsToTheMenu) {
    struct Case {
        bool won;
        int score;
        int points;  // the army slot's points afterwards
    } cases[] = {
        // 200, then the divisions' figures (-10 + 0 - 10), then 150.
        {true, 300, 330},
        // 50, a quarter of the score (-150) stops at 0, then 75.
        {false, -600, 75},
    };
    COrvaneDoc* doc = view->GetDocument();
    int wins = 0, losses = 0;
    int rating = 1000, opponent = 1000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.won ? "won" : "lost");
        ASSERT_TRUE(view->SetupBattle(9, true, nullptr));
        doc->GetCurrentPlayerSlot(0)->PointsB = 0;
        StandInResult(view->SideResults[0], c.score, c.won, {{0, -10}, {0, 0}, {4, -4}});
        StandInResult(view->SideResults[1], -c.score, !c.won, {{0, -30}});
        int setUps = view->ResultsShown;
        // The battle ends: its mode is left for the results.
        view->ExitMode(-1);
        view->GameMode = MODE_BATTLE;
        view->ChangeMode(MODE_AFTER_BATTLE);
        ASSERT_EQ(view->GameMode, MODE_AFTER_BATTLE);
        EXPECT_EQ(view->ResultsShown, setUps + 1);
        EXPECT_EQ(doc->GetCurrentPlayerSlot(0)->PointsB, c.points);
        (c.won ? wins : losses)++;
        int newRating = CPlayerRecord::UpdateRating(rating, opponent, c.won);
        opponent = CPlayerRecord::UpdateRating(opponent, rating, !c.won);
        rating = newRating;
        EXPECT_EQ(doc->GetCurrentPlayer()->Rating, rating);
        EXPECT_EQ(doc->GetCurrentPlayer()->Wins, wins);
        EXPECT_EQ(doc->GetCurrentPlayer()->Losses, losses);
        EXPECT_EQ(doc->GetCurrentPlayer()->BattlesUnfinished, 0);
        // The panels, the heading, a division per result and the OK button.
        EXPECT_NE(view->GetIcons().FindById(50), nullptr);
        EXPECT_NE(view->GetIcons().FindById(51), nullptr);
        EXPECT_NE(view->GetIcons().FindById(52), nullptr);
        EXPECT_NE(view->GetIcons().FindById(62), nullptr);
        EXPECT_EQ(view->GetButtons().GetCount(), 1);
        // Hovering over the first division shows its battalion: the leader,
        // three men who stood and two lost under crosses.
        CSideResultEntry* first = view->SideResults[0].slots[0];
        first->battalions = 1;
        first->battalion[0].runs[0] = 3;
        first->battalion[0].runs[1] = 2;
        CPoint division = view->GetIcons().FindById(60)->GetRect().CenterPoint();
        run->MoveMouse(division.x, division.y);
        int shown = 0;
        for (int id = 200; id < 400; ++id) shown += view->GetIcons().FindById(id) != nullptr;
        EXPECT_EQ(shown, 1 + 3 + 2 * 2);
        run->MoveMouse(5, 5);
        EXPECT_EQ(view->GetIcons().FindById(200), nullptr);
        // OK (id 1) goes back to the map, once.
        bool small = Small();
        run->Click(small ? 877 + 60 : 980 + 60, small ? 686 + 16 : 956 + 16);
        EXPECT_EQ(view->GameMode, MODE_SBTTL_MENU);
        EXPECT_EQ(view->ResultsShown, setUps + 1);
        EXPECT_FALSE(view->SideResults[0].filled);
    }

    // A later run reads the player's record and army from the profile.
    CPlayerRoster stored;
    CFile file;
    ASSERT_TRUE(file.Open((run->SavedDataFolder() / "Profile.VLM").string().c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    stored.Serialize(ar);
    const CPlayerRecord& ann = stored.Players[0];
    EXPECT_EQ(ann.Name, "Ann");
    EXPECT_EQ(ann.Rating, rating);
    EXPECT_EQ(ann.Wins, 1);
    EXPECT_EQ(ann.Losses, 1);
    EXPECT_EQ(ann.ArmySlots[0].PointsB, 75);
    EXPECT_EQ(ann.ArmySlots[0].ValueB, 1);
    EXPECT_EQ(ann.ArmySlots[0].ValueC, 1);
    EXPECT_TRUE(std::filesystem::exists(run->SavedDataFolder() / "D0A0.sav"));
}

INSTANTIATE_TEST_SUITE_P(Layouts, SingleBattle,
                         ::testing::Values(Layout{{1024, 768, 32}, 1024}, Layout{{1280, 1024, 32}, 1280}));
