// The way a player takes into a historical battle, on a game run headless:
// a player chosen in the profile, the main menu's "Historical Battle", a
// spot of the map, the commander dragged into the first slot of the
// deployment and OK. Each step records the screen point it clicked, so the
// real window under Xvfb can be driven through the same points.
#pragma once

#include <gtest/gtest.h>

#include "Animate/MenuPictureNames.h"
#include "tests/support/GameRun.h"
#include "ui/TacticScreen.h"

struct CHistoricalBattleWay {
    int spot = 0;
    // The points clicked, on the screen.
    CPoint menuButton, spotCentre, commander, firstSlot, ok;

    // From the introduction to the single-battle menu, with "Ann" of the
    // Velmor as the current player. False (with a failed expectation) when
    // a screen did not come.
    bool ToMenu(CGameRun& run) {
        COrvaneView* view = run.View();
        if (!view) return false;
        CPlayerRoster& roster = view->GetDocument()->GetRoster();
        roster.Players[0].Name = "Ann";
        roster.Players[0].Clan = 1;
        roster.CurrentPlayer = 0;
        run.Click(500, 500);
        EXPECT_EQ(view->GameMode, MODE_MAIN_MENU);
        const bool small = AfxGetScreen().GetWidth() <= 1024;
        menuButton = small ? CPoint(360, 485) : CPoint(450, 645);
        run.Click(menuButton.x, menuButton.y);
        EXPECT_EQ(view->GameMode, MODE_SBTTL_MENU);
        return view->GameMode == MODE_SBTTL_MENU;
    }

    // From the single-battle menu to the deployment of the spot's battle.
    bool ToDeployment(CGameRun& run) {
        COrvaneView* view = run.View();
        const bool small = AfxGetScreen().GetWidth() <= 1024;
        const MenuPictures::SpotRect& r = small ? MenuPictures::kSpots1024[spot] : MenuPictures::kSpotsLarge[spot];
        spotCentre = CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        run.Click(spotCentre.x, spotCentre.y);
        EXPECT_EQ(view->GameMode, MODE_TACTIC);
        return view->GameMode == MODE_TACTIC;
    }

    // The commander dragged from the list into the first slot.
    bool PlaceCommander(CGameRun& run) {
        COrvaneView* view = run.View();
        CTacticState& t = view->GetTacticState();
        CIcon* portrait = view->GetIcons().FindById(kPortraitIconBase + t.commanderId);
        EXPECT_NE(portrait, nullptr) << "no portrait of the commander";
        if (!portrait) return false;
        commander = portrait->GetRect().CenterPoint();
        firstSlot = t.slotRects[0].CenterPoint();
        run.Drag(commander, firstSlot);
        EXPECT_EQ(t.slotGenerals[0], t.commanderId);
        return t.slotGenerals[0] == t.commanderId;
    }

    // OK on the deployment: the battle begins.
    bool StartBattle(CGameRun& run) {
        COrvaneView* view = run.View();
        CCommandButton* button = view->GetButtons().FindById(kTacticOK);
        EXPECT_NE(button, nullptr);
        if (!button) return false;
        ok = button->GetRect().CenterPoint();
        // Far enough in time from the click before to stay a single click.
        run.Run(1000);
        run.Click(ok.x, ok.y);
        EXPECT_EQ(view->GameMode, MODE_BATTLE);
        return view->GameMode == MODE_BATTLE;
    }

    // The whole way, from the introduction into the battle.
    bool ToBattle(CGameRun& run) {
        return ToMenu(run) && ToDeployment(run) && PlaceCommander(run) && StartBattle(run);
    }
};
