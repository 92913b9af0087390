// Command buttons of the screens that need no handler of their own: the
// click is hit-tested against the view's buttons, the button is drawn
// pressed and its id executed by the current mode.
#include "core/Helpers.h"
#include "shell/OrvaneView.h"

namespace {
// Buttons that never take the pressed look.
bool KeepsItsLook(int id) { return id == 225 || id == 226; }
// The roster's army-slot icons are executed as these ids.
bool IsArmySlot(int id) { return id >= 237 && id <= 241; }
}  // namespace

BOOL COrvaneView::OnCmbClicked(int x, int y, BOOL rectangleOnly) {
    // The first enabled button that holds the point, in list order.
    for (POSITION pos = GetButtons().GetHeadPosition(); pos;) {
        auto* b = static_cast<CCommandButton*>(GetButtons().GetNext(pos));
        if (!b->HitTest(x, y, rectangleOnly, TRUE)) continue;
        ExecuteCmb(b->GetId());
        return TRUE;
    }
    return FALSE;
}

void COrvaneView::ExecuteCmb(int id) {
    if (PressedButton > 0) SetButtonState(PressedButton, TRUE, FALSE, TRUE);
    if (!IsArmySlot(id) && !KeepsItsLook(id)) {
        SetButtonState(id, FALSE, FALSE, TRUE);
        PressedButton = id;
    }
    switch (GameMode) {
    case MODE_SINGLE_BATTLE:
    case MODE_NEW_CAMPAIGN:
    case MODE_TACTIC:
    case MODE_AFTER_BATTLE:
        // Their screens act on their own ids.
        break;
    case MODE_CAMPAIGN_SETTING:
        if (id == 1) ChangeMode(MODE_NEW_CAMPAIGN);
        else if (id == 2) ChangeMode(MODE_MAIN_MENU);
        break;
    case MODE_INTRO:
    case MODE_SBTTL_MENU:
    case MODE_LOAD_GAME:
    case MODE_WORLD_MAP:
    case MODE_OPTIONS:
    case MODE_DUAL:
    case MODE_BATTLE: break;
    default: ShowMessage("ERROR: Error in Execute Cmb, nCmbID not found!"); break;
    }
}
