// The options of the real game, headless on the data kit: the options dialog
// opened by the pause and stored in the profile, the volume screen driving
// the sound engine's levels, and the typed keys that change the speeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "shell/ProfileProbe.h"
#include "tests/support/GameRun.h"
#include "world/PlayerRoster.h"

namespace {

using MenuGame = CMenuGame;

// Clicks at points of the dialog that holds the mouse, one every 20 ms from
// `start` on.
void ClickDialog(CGameRun& run, DWORD start, std::vector<CPoint> points) {
    DWORD at = start;
    for (CPoint p : points) {
        run.Display().After(at, [p] {
            CWnd* dlg = CWnd::GetCapture();
            ASSERT_NE(dlg, nullptr);
            CRect r;
            dlg->GetWindowRect(&r);
            AfxInputMouseButton(0, true, r.left + p.x, r.top + p.y);
            AfxInputMouseButton(0, false, r.left + p.x, r.top + p.y);
        });
        at += 20;
    }
}

bool Shown(const char* text) {
    std::vector<std::string> shown = AfxGetShownMessages();
    return std::count(shown.begin(), shown.end(), text) == 1;
}

TEST(Options, TheDialogStoresWhatThePlayerChoseInTheProfileForTheNextStart) {
    std::shared_ptr<CScratchUserFolders> user;
    {
        MenuGame g;
        user = g.run.UserFolders();
        COrvaneDoc* doc = g.view->GetDocument();
        ASSERT_NE(doc, nullptr);
        g.view->SetTimerInterval2(50);
        int during = -1;
        ClickDialog(g.run, 50,
                    {{27, 27},                  // graphic page
                     {86, 285},                 // tick 14: the 1280 x 1024 layout
                     {86, 285},                 // the same choice again says nothing
                     {229 + 20 * 7 + 5, 370},   // speed level 7
                     {86, 102},                 // tick 9: the first display switch
                     {452, 430},                // back to the main page
                     {409, 5},                  // sound page
                     {118 + 20 * 3 + 5, 140},   // music level 3
                     {170, 211},                // tick 11: effects off
                     {452, 430},                // back
                     {200, 440}});              // OK closes
        g.run.Display().After(60, [&] { during = g.view->Channels[1].Interval; });
        AfxClearShownMessages();
        g.view->PauseForOptions();

        EXPECT_EQ(during, 0) << "the game's clocks wait while the options are open";
        EXPECT_EQ(g.view->Channels[1].Interval, 50) << "and run again afterwards";
        EXPECT_TRUE(Shown("You must restart Velmor before the changes will take effect."));
        EXPECT_EQ(doc->GetSpeedLevel(), 7);
        EXPECT_EQ(doc->GetMusicLevel(), 3);
        EXPECT_FALSE(doc->GetFlagB());
        EXPECT_TRUE(doc->GetFlagA());
        EXPECT_EQ(g.view->DisplaySwitchA, 1);
        EXPECT_EQ(g.view->SoundManager.GetMusicLevel(), doc->GetMusicVolume());

        // The profile on disk holds them for the next start, whose display
        // check reads the layout from it.
        std::string profile = (g.run.SavedDataFolder() / "Profile.VLM").string();
        CPlayerRoster stored;
        CFile file;
        ASSERT_TRUE(file.Open(profile.c_str(), CFile::modeRead));
        CArchive ar(&file, CArchive::load);
        stored.Serialize(ar);
        ar.Close();
        EXPECT_EQ(stored.GraphicChoice, 1);
        EXPECT_EQ(stored.SpeedValue, (9 - 7) * 40);
        EXPECT_EQ(stored.MusicLevel, 3);
        EXPECT_EQ(stored.SoundOn, 0);
        EXPECT_EQ(stored.DisplayOptionA, 1);
        int layout = -1;
        EXPECT_TRUE(ReadProfileResolution(profile.c_str(), layout));
        EXPECT_EQ(layout, 1);
    }

    // The game started again on that profile, on a desktop that offers
    // both layouts, plays in the larger one with the levels chosen.
    CGameRun again(DisplayMode{1280, 1024, 32}, {"velmor"}, user);
    ASSERT_TRUE(again.Start());
    again.Run(100);
    COrvaneView* view = again.View();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetScreenWidth(), 1280);
    COrvaneDoc* doc = view->GetDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetSpeedLevel(), 7);
    EXPECT_EQ(doc->GetMusicLevel(), 3);
    EXPECT_FALSE(doc->GetFlagB());
    EXPECT_TRUE(doc->GetFlagA());
}

TEST(Options, SaveAndExitOutsideTheCampaign) {
    MenuGame g;
    // Save asks for the campaign; Exit in the main menu leaves without a
    // question, with result 0.
    ClickDialog(g.run, 50, {{25, 325}, {206, 5}});
    AfxClearShownMessages();
    EXPECT_EQ(g.view->RunOptionsDialog(FALSE, FALSE), 1) << "Exit without asking returns normally from the menu";
    EXPECT_TRUE(Shown("Use this to save the game in campaign mode"));
    EXPECT_EQ(g.view->GameMode, MODE_MAIN_MENU);
}

TEST(Options, VolumeLevelsStayInsideTheTables) {
    MenuGame g;
    COrvaneDoc* doc = g.view->GetDocument();
    struct Case {
        int music, effects;
        int musicLevel, effectsLevel;
    } const cases[] = {{15, -7, 9, 0}, {4, -1, 4, 0}, {-1, 12, 4, 9}, {0, 3, 0, 3}};
    for (const Case& c : cases) {
        g.view->ApplyVolumes(c.music, c.effects);
        EXPECT_EQ(doc->GetMusicLevel(), c.musicLevel) << c.music;
        EXPECT_EQ(doc->GetSoundLevel(), c.effectsLevel) << c.effects;
        EXPECT_EQ(g.view->SoundManager.GetMusicLevel(), 8200 + 200 * c.musicLevel);
        EXPECT_EQ(g.view->SoundManager.GetEffectsLevel(), 8200 + 200 * c.effectsLevel);
    }
}

TEST(Options, TheVolumeScreenSlidersSetTheMixersLevels) {
    MenuGame g;
    COrvaneDoc* doc = g.view->GetDocument();
    g.run.Click(445, 555);  // "Option" on the menu
    ASSERT_EQ(g.view->GameMode, MODE_OPTIONS);
    const int W = 1024, H = 768;
    CPoint music(W / 2 - 50, H / 2 - 105), effects(W / 2 - 50, H / 2 + 5);

    // Music: half way, then dragged past the end of its scale.
    g.run.Display().After(1, [&] { AfxInputMouseButton(0, true, music.x + 4 * 50 + 1, music.y + 5); });
    g.run.Run(20);
    EXPECT_EQ(doc->GetMusicLevel(), 5);
    g.run.MoveMouse(music.x + 4 * 300, music.y + 5);
    EXPECT_EQ(doc->GetMusicLevel(), 9);
    EXPECT_EQ(g.view->SoundManager.GetMusicLevel(), 10000);
    g.run.Display().After(1, [&] { AfxInputMouseButton(0, false, 900, music.y + 5); });
    g.run.Run(20);
    EXPECT_EQ(g.view->MusicDrag, 0);

    // Effects: dragged left of its scale gives the bottom.
    g.run.Display().After(1, [&] { AfxInputMouseButton(0, true, effects.x + 2, effects.y + 5); });
    g.run.Run(20);
    g.run.MoveMouse(effects.x - 300, effects.y + 5);
    g.run.Display().After(1, [&] { AfxInputMouseButton(0, false, 10, effects.y + 5); });
    g.run.Run(20);
    EXPECT_EQ(doc->GetSoundLevel(), 0);
    EXPECT_EQ(g.view->SoundManager.GetEffectsLevel(), 8200);

    // OK leads back to the menu.
    g.run.Click(W - 124 + 8, H - 26 + 8);
    EXPECT_EQ(g.view->GameMode, MODE_MAIN_MENU);
}

TEST(CommandButtons, AClickPressesTheButtonAndTheModeExecutesIt) {
    MenuGame g;
    g.view->ChangeMode(MODE_OPTIONS);
    CCommandButton* ok = g.view->GetButtons().FindById(4);
    ASSERT_NE(ok, nullptr);
    CPoint in = ok->GetRect().CenterPoint();
    EXPECT_FALSE(g.view->OnCmbClicked(2, 2, TRUE));
    EXPECT_TRUE(g.view->OnCmbClicked(in.x, in.y, TRUE));
    EXPECT_EQ(g.view->PressedButton, 4);
    EXPECT_TRUE(g.view->OnCmbClicked(in.x, in.y, TRUE));
    EXPECT_EQ(g.view->PressedButton, 4) << "released, then pressed again";
    // Buttons 225 and 226 never take the pressed look; a mode without a
    // table of buttons says so.
    g.view->ChangeMode(MODE_MAIN_MENU);
    g.view->PressedButton = -1;
    AfxClearShownMessages();
    g.view->ExecuteCmb(225);
    EXPECT_EQ(g.view->PressedButton, -1);
    EXPECT_TRUE(Shown("ERROR: Error in Execute Cmb, nCmbID not found!"));
}

TEST(TypedKeys, SpeedAndScrollLevelsStopAtTheirEnds) {
    MenuGame g;
    COrvaneDoc* doc = g.view->GetDocument();
    struct Case {
        int key;
        int speed, scroll;  // before
        int speedAfter, scrollAfter;
    } const cases[] = {
        {'+', 9, 4, 9, 4}, {'+', 3, 4, 4, 4}, {'-', 0, 4, 0, 4}, {'-', 5, 4, 4, 4},
        {'0', 2, 3, 9, 9}, {'/', 5, 0, 5, 0}, {'*', 5, 9, 5, 9}, {'*', 5, 2, 5, 3},
    };
    for (const Case& c : cases) {
        doc->SetSpeedLevel(c.speed);
        doc->SetScrollLevel(c.scroll);
        g.view->OnTypedKey(c.key, 1, 0);
        EXPECT_EQ(doc->GetSpeedLevel(), c.speedAfter) << char(c.key);
        EXPECT_EQ(doc->GetScrollLevel(), c.scrollAfter) << char(c.key);
    }
}

TEST(TypedKeys, TheKeywordShowsTheVersionOnce) {
    MenuGame g;
    AfxClearShownMessages();
    for (char c : std::string("xxVerSIONq")) g.view->OnTypedKey(c, 1, 0);
    EXPECT_TRUE(Shown("Velmor Inhouse Version Number: 100"));
}

}  // namespace
