// The game loop of the real game, headless on the data kit: timer channels,
// the mode controller, the message log and the on-screen text entry.
#include <gtest/gtest.h>

#include "core/Random.h"
#include "tests/support/GameRun.h"

namespace {

using MenuGame = CMenuGame;

}  // namespace

TEST(GameLoop, LogoLeadsToTheIntroductionAndAClickToTheMainMenu) {
    CGameRun run;
    ASSERT_TRUE(run.Start());
    COrvaneView* view = run.View();
    ASSERT_NE(view, nullptr);
    // The introduction is entered from the logo without leaving it.
    EXPECT_EQ(view->GameMode, MODE_INTRO);
    EXPECT_EQ(view->PreviousMode, -1);
    uint32_t intro = run.ScreenPixel(512, 300);
    EXPECT_NE(intro, 0u);
    run.Run(500);
    EXPECT_EQ(run.ScreenPixel(512, 300), intro);  // nothing redraws it away
    // The introduction's music plays; the menu has no sounds of its own.
    ASSERT_NE(view->SoundManager.FindBuffer(25), nullptr);
    ASSERT_NE(view->SoundManager.FindBuffer(25)->GetBuffer(), nullptr);
    DWORD status = 0;
    view->SoundManager.FindBuffer(25)->GetBuffer()->GetStatus(&status);
    EXPECT_TRUE(status & DSBSTATUS_PLAYING);
    run.Click(500, 500);
    EXPECT_EQ(view->GameMode, MODE_MAIN_MENU);
    EXPECT_EQ(view->PreviousMode, MODE_INTRO);
    EXPECT_EQ(view->SoundManager.FindBuffer(25), nullptr);
    EXPECT_EQ(view->GetButtons().GetCount(), 8);
    EXPECT_NE(run.ScreenPixel(512, 300), intro);
}

TEST(GameLoop, TheLogoMoviePlaysFittedToTheScreenUntilItEndsOrAClick) {
    for (bool click : {false, true}) {
        CGameRun run;
        DWORD start = run.Now();
        uint32_t top = 1, middle = 0;
        run.Display().After(1000, [&] {
            top = AfxGetScreen().GetPixel(512, 20);  // black above the picture
            middle = AfxGetScreen().GetPixel(512, 384);
        });
        if (click) run.Display().ClickAfter(1500, 300, 300);
        ASSERT_TRUE(run.Start());
        EXPECT_EQ(run.View()->GameMode, MODE_INTRO);
        EXPECT_EQ(top, 0u);
        EXPECT_NE(middle, 0u);
        EXPECT_EQ(run.View()->PopupOpen, 0);
        // The kit's logo runs a little over three seconds.
        DWORD took = run.Now() - start;
        if (click) EXPECT_LT(took, 1600u);
        else EXPECT_GT(took, 3000u);
    }
}

TEST(GameLoop, ChannelIntervalsArmOneTimerAtTheShortestAndTheIdlePass) {
    MenuGame g;
    COrvaneView* v = g.view;
    struct Case {
        int i1, i2, i3;
        bool timer, idle;
    } cases[] = {
        {-1, 80, 50, true, true},
        {0, 0, 0, false, false},
        {-1, 0, 0, false, true},
        {200, 0, 10, true, false},
    };
    for (const Case& c : cases) {
        v->SetTimerInterval1(c.i1);
        v->SetTimerInterval2(c.i2);
        v->SetTimerInterval3(c.i3);
        EXPECT_EQ(v->TimerHandle != 0, c.timer) << c.i1 << " " << c.i2 << " " << c.i3;
        EXPECT_EQ(g.run.App().GetIdleView() == v, c.idle) << c.i1 << " " << c.i2 << " " << c.i3;
    }
    // The one timer fires at the shortest positive interval.
    v->SetTimerInterval1(-1);
    v->SetTimerInterval2(80);
    v->SetTimerInterval3(50);
    EXPECT_EQ(v->Channels[1].PrevInterval, 0);
    EXPECT_EQ(v->Channels[0].Active, 1);
    EXPECT_EQ(v->Channels[2].Active, 1);
    v->SetTimerInterval1(0);
    v->SetTimerInterval2(0);
    v->SetTimerInterval3(0);
}

TEST(GameLoop, AChannelIsDueOnlyAfterMoreThanItsIntervalAndSurvivesTheClockWrapping) {
    for (DWORD start : {DWORD(1000), DWORD(0xFFFFFF00u)}) {
        CGameRun run({1024, 768, 32}, {"velmor"});
        run.Display().SetTime(start);
        ASSERT_TRUE(run.Start());
        COrvaneView* v = run.View();
        v->SetTimerInterval3(100);
        DWORD last = run.Now();
        v->Channels[2].LastRun = last;
        run.Display().SetTime(last + 100);
        v->SendMessage(WM_TIMER, 1);
        EXPECT_EQ(v->Channels[2].LastRun, last) << "ran at exactly its interval";
        run.Display().SetTime(last + 101);
        v->SendMessage(WM_TIMER, 1);
        EXPECT_EQ(v->Channels[2].LastRun, last + 101);
        // Left running, the channel keeps its period across the wrap.
        DWORD before = v->Channels[2].LastRun;
        run.Run(1000);
        EXPECT_NE(v->Channels[2].LastRun, before);
        EXPECT_LE(DWORD(run.Now() - v->Channels[2].LastRun), 101u);
        v->SetTimerInterval3(0);
    }
}

TEST(GameLoop, ChangingToTheCurrentModeLeavesAndEntersItAgain) {
    MenuGame g;
    int32_t draws = RandCallCount;
    g.view->ChangeMode(MODE_MAIN_MENU);
    EXPECT_EQ(g.view->GameMode, MODE_MAIN_MENU);
    EXPECT_EQ(g.view->PreviousMode, MODE_MAIN_MENU);
    // Entering the menu makes its one counted draw again and rebuilds it.
    EXPECT_EQ(RandCallCount, draws + 1);
    EXPECT_EQ(g.view->GetButtons().GetCount(), 8);
    EXPECT_EQ(g.view->RequestedMode, -1);
}

TEST(GameLoop, MenuButtonsHighlightAndLeadToTheirScreens) {
    MenuGame g;
    // "Credits" (id 7) at (430, 583) on the small layout.
    uint32_t before = g.run.ScreenPixel(470, 595);
    g.run.MoveMouse(470, 595);
    EXPECT_EQ(g.view->HoverButton, 7);
    EXPECT_NE(g.run.ScreenPixel(470, 595), before);
    g.run.MoveMouse(10, 10);
    EXPECT_EQ(g.view->HoverButton, 0);
    EXPECT_EQ(g.run.ScreenPixel(470, 595), before);

    g.run.Click(470, 595);
    EXPECT_EQ(g.view->GameMode, MODE_CREDITS);
    EXPECT_EQ(g.view->GetButtons().GetCount(), 0);
    g.run.Click(500, 500);
    EXPECT_EQ(g.view->GameMode, MODE_MAIN_MENU);
}

TEST(GameLoop, AScreenTheGameLacksStaysInTheMenuWithAnErrorLine) {
    MenuGame g;
    // "Load Campaign" (id 4) at (356, 433).
    g.run.Click(420, 447);
    EXPECT_EQ(g.view->GameMode, MODE_MAIN_MENU);
    EXPECT_EQ(g.view->GetButtons().GetCount(), 8);
    EXPECT_TRUE(LogHas(g.view, "ERROR: ")) << "no error line in the log";
    EXPECT_EQ(g.view->Channels[1].Interval, 50);  // the log's redraw channel
}

TEST(GameLoop, ExitGoesThroughTheClosingCreditsAndAClickEndsTheProgram) {
    MenuGame g;
    g.run.Click(500, 635);  // "Exit" (id 8) at (470, 621)
    EXPECT_EQ(g.view->GameMode, MODE_CLOSING_CREDITS);
    g.run.Display().ClickAfter(1, 500, 500);
    EXPECT_FALSE(g.run.App().RunUntil(nullptr));  // ended by WM_QUIT
    EXPECT_EQ(g.run.App().m_pMainWnd, nullptr);
    EXPECT_EQ(AfxGetQuitCode(), 0);
}

TEST(GameLoop, MessageLogWrapsInReadingOrderBelowOlderLines) {
    MenuGame g;
    COrvaneView* v = g.view;
    v->AddMessage("first");
    v->AddMessage("second");
    // Wider than the screen: cut at blanks, 1024 / 13 - 2 = 76 characters.
    std::string longText;
    for (int i = 0; i < 20; ++i) longText += "word" + std::to_string(i) + " ";
    longText += "end";
    v->AddMessage(longText.c_str());
    v->AddMessage(std::string(200, 'x').c_str());  // no blank: stays whole
    v->AddMessage("two\nlines");

    std::vector<std::string> texts;
    for (int i = 0; i < v->GetMessageLog().GetCount(); ++i)
        texts.push_back((const char*)v->GetMessageLog().GetAt(i)->Text);
    ASSERT_EQ(texts.size(), 6u);
    // The list's front is drawn lowest: newest wrapped parts first.
    EXPECT_EQ(texts[0], std::string(200, 'x'));
    EXPECT_EQ(texts[2] + " " + texts[1], longText);
    EXPECT_LE(texts[2].size(), 76u);
    EXPECT_GT(texts[2].size(), 60u);
    EXPECT_EQ(texts[3], "first");
    EXPECT_EQ(texts[4], "second");
    EXPECT_EQ(texts[5], "two\nlines");
    EXPECT_EQ(v->GetMessageLog().GetAt(5)->Height, 2 * v->GetLetterHeight());
}

TEST(GameLoop, AMessageIsShownForFourSecondsAndGoneAtTheFirstRedrawAfter) {
    MenuGame g;
    COrvaneView* v = g.view;
    uint32_t clean = g.run.ScreenPixel(40, 760);
    DWORD t = g.run.Now();
    v->AddMessage("HELLO WORLD");
    g.run.Run(100);
    EXPECT_NE(g.run.ScreenPixel(40, 760 - v->GetLetterHeight() / 2) , 0u);
    g.run.Display().SetTime(t + 4000);
    v->DrawMessages();
    EXPECT_EQ(v->GetMessageLog().GetCount(), 1);
    g.run.Display().SetTime(t + 4001);
    v->DrawMessages();
    EXPECT_EQ(v->GetMessageLog().GetCount(), 0);
    EXPECT_EQ(v->LogChanged, 0);
    EXPECT_EQ(v->Channels[1].Interval, 0);
    EXPECT_EQ(g.run.ScreenPixel(40, 760), clean);
}

TEST(GameLoop, TextEntryTakesKeysLosesClicksAndClosesWithEnter) {
    CGameRun run;
    ASSERT_TRUE(run.Start());
    COrvaneView* v = run.View();
    run.Display().After(5, [] {
        AfxInputKey('H', true);
        AfxInputKey('H', false);
        AfxInputMouseButton(0, true, 500, 500);  // lost: the intro stays
        AfxInputMouseButton(0, false, 500, 500);
        AfxInputKey('I', true);
        AfxInputKey(VK_BACK, true);
        AfxInputKey('I', true);
        AfxInputKey(VK_RETURN, true);
    });
    CString text = "Me: ";
    v->EditTextOnScreen(text, 0, 100, 40, 4);
    EXPECT_EQ(v->TextEntryActive, 0);
    EXPECT_STREQ(v->EntryText, "Me: hi");
    EXPECT_EQ(v->GameMode, MODE_INTRO);
    // Without a session the edited text is not handed back.
    EXPECT_STREQ(text, "Me: ");
}

TEST(GameLoop, ANewScreenSizeRebuildsTheScreenExceptOnTheLastScreens) {
    for (int mode : {MODE_MAIN_MENU, MODE_CLOSING_CREDITS}) {
        MenuGame g;
        if (mode != MODE_MAIN_MENU) g.view->ChangeMode(mode);
        int previous = g.view->PreviousMode;
        DEVMODE large;
        large.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        large.dmBitsPerPel = 32, large.dmPelsWidth = 1280, large.dmPelsHeight = 1024;
        ASSERT_EQ(ChangeDisplaySettings(&large, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
        g.view->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELONG(1280, 1024));
        EXPECT_EQ(g.view->GameMode, mode);
        if (mode == MODE_MAIN_MENU) {
            // Entered again, laid out for the larger screen.
            EXPECT_EQ(g.view->PreviousMode, MODE_MAIN_MENU);
            EXPECT_EQ(g.view->GetScreenWidth(), 1280);
            EXPECT_EQ(g.view->GetButtons().HitTestId(600, 545), 1);  // "New Campaign" at (458, 529)
        } else {
            EXPECT_EQ(g.view->PreviousMode, previous);
        }
    }
}

TEST(GameLoop, ADoubleClickOnAMenuButtonActsAsTwoClicks) {
    MenuGame g;
    // Credits, then the second press (a double click) leaves the credits.
    g.run.Display().After(1, [] {
        for (int i = 0; i < 2; ++i) {
            AfxInputMouseButton(0, true, 470, 595);
            AfxInputMouseButton(0, false, 470, 595);
        }
    });
    g.run.Run(50);
    EXPECT_EQ(g.view->GameMode, MODE_MAIN_MENU);
    EXPECT_EQ(g.view->PreviousMode, MODE_CREDITS);
}

TEST(GameLoop, WaitWhileFlagEndsOnItsTimeOutOrAModeChange) {
    MenuGame g;
    COrvaneView* v = g.view;
    v->TextEntryActive = 1;  // without a session only an open entry keeps a wait going
    BYTE flag = 1;
    DWORD t = g.run.Now();
    EXPECT_FALSE(v->WaitWhileFlag(&flag, 0));
    EXPECT_GT(g.run.Now(), t);
    EXPECT_LE(g.run.Now(), t + 2);

    t = g.run.Now();
    EXPECT_FALSE(v->WaitWhileFlag(&flag, 2));
    EXPECT_GE(g.run.Now() - t, 2000u);

    // A mode change ends it at once.
    g.run.Display().After(100, [v] { v->ChangeMode(MODE_CREDITS); });
    t = g.run.Now();
    EXPECT_FALSE(v->WaitWhileFlag(&flag, -1));
    EXPECT_LT(g.run.Now() - t, 200u);
    // A flag cleared by a handler ends it with success.
    g.run.Display().After(100, [&flag] { flag = 0; });
    flag = 1;
    EXPECT_TRUE(v->WaitWhileFlag(&flag, -1));
    v->TextEntryActive = 0;
}

TEST(GameLoop, TheLogIsDrawnEvenWhileATickIsRunning) {
    MenuGame g;
    COrvaneView* v = g.view;
    uint32_t before = g.run.ScreenPixel(6, 760);
    v->AddMessage("MMMMMMMM");
    v->TickGuard = 1;  // a tick is under way further up the stack
    v->OnTimerStep(2);
    EXPECT_NE(g.run.ScreenPixel(6, 760), before);
    v->TickGuard = 0;
}

TEST(GameLoop, TheDemoIntroductionShowsItsPictureAndAClickChoosesTheDemoBattle) {
    MenuGame g;
    uint32_t menu = g.run.ScreenPixel(512, 300);
    g.view->ChangeMode(MODE_DEMO_INTRO);
    EXPECT_EQ(g.view->GameMode, MODE_DEMO_INTRO);
    EXPECT_NE(g.run.ScreenPixel(512, 300), menu);
    EXPECT_NE(g.view->SoundManager.FindBuffer(25), nullptr);
    g.run.Click(500, 500);
    EXPECT_EQ(g.view->GameMode, MODE_MAIN_MENU);
    EXPECT_EQ(g.view->BattleNumber, 18);
    EXPECT_EQ(g.view->DemoBattle, 9);
}
