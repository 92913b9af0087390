// The real game started headless in one of its two screen layouts with a
// battle chosen as the menus hand it over, ready to enter the battle mode.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/PathResolver.h"
#include "platform/afx/Time.h"
#include "tests/support/BattleChoice.h"
#include "tests/support/GameRun.h"
#include "tests/support/ScreenLayouts.h"

struct CBattleGame {
    CGameRun run;
    COrvaneView* view = nullptr;
    explicit CBattleGame(const CScreenLayout& layout, CBattleChoice choice = {}) : run(layout.desktop) {
        // Every run of a test fights the same battle.
        AfxSetWallClock([] { return kFixedWallClock; });
        if (layout.width == 1280) {
            EXPECT_TRUE(ChooseLargeLayout());
        }
        EXPECT_TRUE(run.Start());
        run.Run(100);
        view = run.View();
        EXPECT_NE(view, nullptr);
        std::string error;
        EXPECT_TRUE(ChooseBattle(*view, choice, error)) << error;
    }
    ~CBattleGame() { AfxSetWallClock(nullptr); }
    CBattleGame(const CBattleGame&) = delete;
    CBattleGame& operator=(const CBattleGame&) = delete;

    bool Enter() {
        AfxClearMissingNames();
        AfxClearShownMessages();
        view->ChangeMode(MODE_BATTLE);
        return view->GameMode == MODE_BATTLE;
    }
    // The screen pixel at a window point.
    uint32_t Screen(int x, int y) const { return run.ScreenPixel(x, y); }
};

// Where a division's standing units are, on average (its own position when
// none stands).
inline CPoint UnitsCentre(const CDivision* d) {
    long long x = 0, y = 0, n = 0;
    for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
        const CBattalion* b = d->m_battalions.GetBattalion(bp);
        for (POSITION up = b->m_units.GetHeadPosition(); up;) {
            const CUnit* u = b->m_units.GetUnit(up);
            if (u->m_dead || u->m_lost) continue;
            x += u->m_x, y += u->m_y, ++n;
        }
    }
    return n ? CPoint(int(x / n), int(y / n)) : CPoint(d->m_x, d->m_y);
}
