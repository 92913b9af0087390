// The main menu's buttons, and the mouse and key routing of the view.
#include "core/GameTables.h"
#include "shell/OrvaneView.h"

// While set, the timers of modal popups also process the game's network
// messages; a click on the logo sets it.
BYTE ModalMessageFlag = 0;

namespace {
struct MenuButton {
    int id;
    const char* picture;
    int x1024, y1024, x1280, y1280;
};
const MenuButton kMenuButtons[] = {
    {1, "Cmb New Campaign", 365, 396, 458, 529},  {4, "Cmb Load Campaign", 356, 433, 447, 579},
    {5, "Cmb Historical Battle", 319, 471, 399, 629}, {3, "Cmb Head to Head", 310, 508, 389, 679},
    {6, "Cmb Option", 427, 546, 536, 729},        {7, "Cmb Credits", 430, 583, 538, 779},
    {8, "Cmb Exit", 470, 621, 589, 830},          {2, "Cmb Demo", 270, 681, 339, 909},
};
// Menu buttons stand above everything else of the screen.
const int kMenuButtonDepth = 32766;
}  // namespace

void COrvaneView::LoadMainMenuButtons() {
    GetButtons().DeleteAll();
    HoverButton = 0;
    bool small = m_nScreenWidth <= 1024;
    for (const MenuButton& b : kMenuButtons) {
        CString name = CString(small ? "1024" : "") + b.picture;
        AddCommandButton(b.id, name, small ? b.x1024 : b.x1280, small ? b.y1024 : b.y1280, TRUE, kMenuButtonDepth);
    }
    COrvaneDoc* doc = GetDocument();
    GetButtons().LoadAll(doc ? doc->GetCmbPath() : CString("Pictures\\Cmb\\"), m_nColourDepth, nullptr);
}

void COrvaneView::OnLButtonDownMainMenu(UINT, CPoint point) {
    switch (GetButtons().HitTestId(point.x, point.y, FALSE)) {
    case 1: ChangeMode(MODE_CAMPAIGN_SETTING); break;
    case 4: PrintMessage("ERROR: Loading a saved campaign is not available."); break;
    case 5: ChangeMode(MODE_SBTTL_MENU); break;
    case 3: ChangeMode(MODE_DUAL); break;
    case 6: ChangeMode(MODE_OPTIONS); break;
    case 7: ChangeMode(MODE_CREDITS); break;
    case 8: ChangeMode(MODE_CLOSING_CREDITS); break;
    case 2: PrintMessage("ERROR: Demo playback is not available."); break;
    default: break;
    }
}

void COrvaneView::OnLButtonDown(UINT flags, CPoint point) {
    if (!IsWindowEnabled()) EnableFrameAndView();
    switch (GameMode) {
    case MODE_LOGO: ModalMessageFlag = 1; break;
    case MODE_INTRO: ChangeMode(MODE_MAIN_MENU); break;
    case MODE_DEMO_INTRO:
        BattleNumber = 18;
        DemoBattle = 9;
        ChangeMode(MODE_MAIN_MENU);
        break;
    case MODE_MAIN_MENU: OnLButtonDownMainMenu(flags, point); break;
    case MODE_TACTIC: OnLButtonDownTactic(flags, point); break;
    case MODE_OPTIONS: OnVolumeSliderDown(point); break;
    case MODE_SBTTL_MENU: OnLButtonDownSbttlMenu(flags, point); break;
    case MODE_AFTER_BATTLE: OnLButtonDownAfterBattle(flags, point); break;
    case MODE_CREDITS: ChangeMode(MODE_MAIN_MENU); break;
    case MODE_END_SCREENS: {
        MSG msg;
        while (PeekMessage(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYUP, PM_REMOVE)) {
        }
        ChangeMode(MODE_MAIN_MENU);
        break;
    }
    case MODE_BATTLE:
        if (BattleReady && !DemoPlayback) OnLButtonDownBattle(flags, point);
        break;
    case MODE_CLOSING_CREDITS:
        if (CWnd* frame = GetParentFrame()) frame->PostMessage(WM_CLOSE);
        break;
    default: break;
    }
}

void COrvaneView::OnLButtonDblClk(UINT flags, CPoint point) { OnLButtonDown(flags, point); }

void COrvaneView::OnLButtonUp(UINT flags, CPoint point) {
    if (!IsWindowEnabled()) EnableFrameAndView();
    switch (GameMode) {
    case MODE_TACTIC: OnLButtonUpTactic(flags, point); break;
    case MODE_OPTIONS: OnVolumeSliderUp(point); break;
    case MODE_BATTLE:
        if (BattleReady && !DemoPlayback) OnLButtonUpBattle(flags, point);
        break;
    case MODE_SBTTL_MENU: OnLButtonUpSbttlMenu(flags, point); break;
    case MODE_AFTER_BATTLE: OnLButtonUpAfterBattle(flags, point); break;
    default: break;
    }
}

void COrvaneView::OnRButtonDown(UINT flags, CPoint point) {
    if (GameMode == MODE_TACTIC) OnRButtonDownTactic(flags, point);
    else if (GameMode == MODE_BATTLE && BattleReady) OnRButtonDownBattle(flags, point);
    else if (GameMode == MODE_SBTTL_MENU) OnRButtonDownSbttlMenu(flags, point);
}

void COrvaneView::OnRButtonDblClk(UINT flags, CPoint point) {
    if (GameMode == MODE_SBTTL_MENU || GameMode == MODE_TACTIC || GameMode == MODE_BATTLE) OnRButtonDown(flags, point);
}

void COrvaneView::OnRButtonUp(UINT flags, CPoint point) {
    if (GameMode == MODE_BATTLE && !DemoPlayback && BattleReady && PressedOrderButton > 0) {
        SetButtonState(PressedOrderButton, TRUE, FALSE, TRUE);
        PressedOrderButton = -1;
    }
    COrvaneViewBase::OnRButtonUp(flags, point);
}

void COrvaneView::OnMouseMove(UINT flags, CPoint point) {
    if (GameMode == MODE_TACTIC) OnMouseMoveTactic(flags, point);
    if (GameMode == MODE_MAIN_MENU) {
        int hit = GetButtons().HitTestId(point.x, point.y, FALSE);
        if (hit != HoverButton) {
            if (HoverButton != 0) SetButtonState(HoverButton, TRUE, FALSE, TRUE);
            if (hit != 0) SetButtonState(hit, FALSE, FALSE, TRUE);
            HoverButton = hit;
        }
    } else if (GameMode == MODE_OPTIONS) {
        if (MusicDrag || EffectsDrag) OnVolumeSliderDrag(point, TRUE);
    } else if (GameMode == MODE_BATTLE && BattleReady) {
        OnMouseMoveBattle(flags, point);
    }
    if (GameMode == MODE_SBTTL_MENU) OnMouseMoveSbttlMenu(flags, point);
    if (GameMode == MODE_AFTER_BATTLE) OnMouseMoveAfterBattle(flags, point);
    COrvaneViewBase::OnMouseMove(flags, point);
}
