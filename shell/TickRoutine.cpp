// The tick routine: the body of the game loop, run by the due channels.
#include "shell/OrvaneView.h"

void COrvaneView::OnTimerStep(int channel) {
    // Overlays are drawn before the guard, so they stay up to date even
    // while a nested call holds it.
    if (ScreenshotRequest) {
        ScreenshotRequest = 0;
        SaveScreenshot(0, 1);
    }
    if (GameMode != MODE_BATTLE && LogChanged) DrawMessages();

    if (TickGuard) return;
    TickGuard = 1;
    // The timed work of the screens that have it (the battle-select menu,
    // the world map, the lobby and the battle) runs here by mode, with the
    // channel.
    if (GameMode == MODE_SBTTL_MENU) DrawWaitForBattle(channel);
    if (GameMode == MODE_BATTLE && Channels[0].Active) {
        BattleStep();
        DrawBattleScene();
    }
    // What the armies have to tell the player, once the step has run.
    if (GameMode == MODE_BATTLE) ShowArmyMessages();
    TickGuard = 0;
}
