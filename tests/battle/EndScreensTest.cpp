// The campaign's endings, in the real game headless on the data kit: a
// campaign battle that ends the campaign leads from its results to the
// ending's picture with its text risen into the middle; the great victories
// hold and roll the credits; a stage that is no ending is reported.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/afx/MessageBox.h"
#include "platform/afx/PathResolver.h"
#include "tests/support/BattleChoice.h"
#include "tests/support/GameRun.h"
#include "tests/support/ScreenLayouts.h"
#include "world/Campaign.h"

namespace {

namespace fs = std::filesystem;

using Layout = CScreenLayout;

class EndScreens : public ::testing::TestWithParam<Layout> {
protected:
    void SetUp() override {
        run = std::make_unique<CGameRun>(GetParam().desktop);
        if (GetParam().width == 1280) { ASSERT_TRUE(ChooseLargeLayout()); }
        ASSERT_TRUE(run->Start());
        run->Click(500, 500);
        view = run->View();
        ASSERT_NE(view, nullptr);
        ASSERT_EQ(view->GameMode, MODE_MAIN_MENU);
        AfxClearMissingNames();
        AfxClearShownMessages();
    }
    CCampaign& Campaign() { return view->GetDocument()->m_campaign; }
    // Screen pixels inside `r` that differ from the background picture.
    int DifferFromBackground(const CRect& r, int step) {
        int n = 0;
        for (int y = r.top; y < r.bottom; y += step)
            for (int x = r.left; x < r.right; x += step) {
                const BYTE* p = view->GetBackground().GetPixelAddress(x, y);
                const uint32_t field = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
                n += (run->ScreenPixel(x, y) & 0xFFFFFF) != field;
            }
        return n;
    }
    std::unique_ptr<CGameRun> run;
    COrvaneView* view = nullptr;
};


// The last battle of a campaign that ends in defeat at Ashgrove (stage 15,
// an ending shown like the others): the battle ends, its results show, and
// their continue button leads to the ending.
TEST_P(EndScreens, ACampaignsLastBattleEndsOnItsEnding) {
    const int w = GetParam().width, h = GetParam().height;
    std::string error;
    ASSERT_TRUE(ChooseBattle(*view, CBattleChoice{}, error)) << error;
    view->PlayKind = 2;
    Campaign().m_nStage = 15;
    view->ChangeMode(MODE_BATTLE);
    ASSERT_EQ(view->GameMode, MODE_BATTLE);
    // The enemy's army leaves the field: the battle is over.
    view->Armies[1]->m_active = 0;
    ASSERT_TRUE(run->Run(200));
    ASSERT_EQ(view->GameMode, MODE_AFTER_BATTLE);

    AfxClearMissingNames();
    const DWORD before = run->Now();
    const CPoint ok = view->GetButtons().FindById(1)->GetRect().CenterPoint();
    run->Click(ok.x, ok.y);
    ASSERT_EQ(view->GameMode, MODE_END_SCREENS) << ::testing::PrintToString(AfxGetShownMessages());
    EXPECT_THAT(AfxGetMissingNames(), ::testing::IsEmpty());
    // The picture of this layout, and the text risen into the middle of
    // the screen, step by step from its start row.
    EXPECT_EQ(view->GetBackground().PictureWidth(), w);
    EXPECT_EQ(view->GetBackground().PictureHeight(), h);
    const CRect text(w / 2 - 300, h / 2 - 100, w / 2 + 300, h / 2 + 100);
    EXPECT_GT(DifferFromBackground(text, 7), 0.8 * (600 / 7) * (200 / 7));
    EXPECT_EQ(DifferFromBackground(CRect(0, 0, w, 200 * w / 1280 - 1), 13), 0);
    const int steps = (823 * w / 1280 - (h - 260) / 2) / 5 + 1;
    EXPECT_GE(run->Now() - before, DWORD(steps * 75));
    EXPECT_LT(run->Now() - before, 20000u);  // no hold and no credits
    // The campaign starts afresh; the cursor is back; a click leads to the
    // menu.
    EXPECT_EQ(Campaign().m_nStage, 0);
    EXPECT_EQ(view->GetIcons().GetCount(), 0);
    EXPECT_TRUE(run->Display().IsCursorVisible());
    run->Click(100, 100);
    EXPECT_EQ(view->GameMode, MODE_MAIN_MENU);
}

// After the victory on the road to the capital the text holds for twenty
// seconds, the picture fades to black and the credits roll up to end with
// their foot in the middle of the screen.
TEST_P(EndScreens, AGreatVictoryRollsTheCredits) {
    const int w = GetParam().width, h = GetParam().height;
    Campaign().m_nStage = 16;
    const DWORD before = run->Now();
    view->ChangeMode(MODE_END_SCREENS);
    ASSERT_EQ(view->GameMode, MODE_END_SCREENS);
    EXPECT_THAT(AfxGetMissingNames(), ::testing::IsEmpty());
    EXPECT_GE(run->Now() - before, 20000u);
    // The background is black, the credits stand above the middle.
    const BYTE* p = view->GetBackground().GetPixelAddress(w / 2, h - 10);
    EXPECT_EQ(p[0] | p[1] | p[2], 0);
    EXPECT_EQ(run->ScreenPixel(w / 2, h - 10) & 0xFFFFFF, 0u);
    EXPECT_NE(run->ScreenPixel(w / 2, h / 2 - 40) & 0xFFFFFF, 0u);
    EXPECT_EQ(run->ScreenPixel(w / 2, h / 2 + 10) & 0xFFFFFF, 0u);
    EXPECT_EQ(Campaign().m_nStage, 0);
}

// What cannot be shown is said, and the player is back at the menu with
// the cursor: a stage that is no ending, and an ending whose picture is
// gone.
TEST_P(EndScreens, WhatCannotBeShownIsReportedAndLeadsToTheMenu) {
    for (int stage : {0, 13, 25}) {
        AfxClearShownMessages();
        Campaign().m_nStage = stage;
        view->ChangeMode(MODE_END_SCREENS);
        EXPECT_EQ(view->GameMode, MODE_MAIN_MENU) << stage;
        EXPECT_THAT(AfxGetShownMessages(),
                    ::testing::Contains("Invalid end mode attained - stage " + std::to_string(stage)));
        EXPECT_TRUE(run->Display().IsCursorVisible());
    }

    // The scratch game folder's pictures, without this ending's picture.
    const fs::path pictures = run->WorkFolder() / "Pictures";
    const fs::path kitPictures = fs::read_symlink(pictures);
    fs::remove(pictures);
    fs::create_directory(pictures);
    for (const fs::directory_entry& e : fs::directory_iterator(kitPictures))
        if (e.path().filename() != "end screens") fs::create_symlink(e.path(), pictures / e.path().filename());
    fs::create_directory(pictures / "end screens");
    for (const fs::directory_entry& e : fs::directory_iterator(kitPictures / "end screens"))
        if (e.path().filename().string().rfind("final_defeat_yamazaki", 0) != 0)
            fs::create_symlink(e.path(), pictures / "end screens" / e.path().filename());
    AfxClearShownMessages();
    Campaign().m_nStage = 18;
    view->ChangeMode(MODE_END_SCREENS);
    EXPECT_EQ(view->GameMode, MODE_MAIN_MENU);
    EXPECT_THAT(AfxGetShownMessages(), ::testing::Contains(::testing::HasSubstr("ERROR: ")));
    EXPECT_TRUE(run->Display().IsCursorVisible());
}

INSTANTIATE_TEST_SUITE_P(Layouts, EndScreens, ::testing::ValuesIn(kScreenLayouts));

}  // namespace
