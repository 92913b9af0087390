// The battle's popups from the view's side: which dialog shows what, how the
// battle clock waits while one is up, and the army messages and the pause
// that open them.
#include <strings.h>

#include "Animate/DialogPictureNames.h"
#include "army/Army.h"
#include "core/WorldNames.h"
#include "platform/win/Win.h"
#include "shell/OrvaneView.h"
#include "ui/MessageDlg.h"
#include "ui/PopupMessageDlg.h"
#include "ui/YesNoImageDlg.h"

namespace {
const int kPauseMessage = 13;
const UINT_PTR kPopupTimer = 4;
const int kAutoCloseSeconds = 5;
const int kPauseKey = VK_PAUSE;
}  // namespace

CString COrvaneView::GetPicturesFolder() const {
    const COrvaneDoc* doc = GetDocument();
    return doc ? doc->GetPicturesPath() : PicturesFolder;
}

CString COrvaneView::BattleClanName(int side) const {
    int clan = BattleClans[side & 3];
    return clan >= 1 && clan <= 13 ? CString(kClanNames[clan]) : CString();
}

void COrvaneView::DoMessagePopup(const char* name) {
    CMessageDlg dlg(GetPicturesFolder() + name + ".giz", m_nColourDepth, nullptr, nullptr, FALSE, kAutoCloseSeconds, kPopupTimer);
    if (dlg.Run()) dlg.DoModal();
}

BOOL COrvaneView::DoChoicePopup(const char* name) {
    bool networked = IsConnected();
    bool hold = Channels[0].Active && !networked;
    if (hold) SetTimerInterval1(0);
    const COrvaneDoc* doc = GetDocument();
    CString buttons = doc ? doc->GetCmbPath() : GetPicturesFolder() + "Cmb\\";
    CYesNoImageDlg dlg(GetPicturesFolder() + name + ".giz", buttons, m_nColourDepth, nullptr, nullptr, FALSE,
                       kAutoCloseSeconds, 0, kPopupTimer);
    dlg.InitButtons();
    if (networked) NetworkPopup = 1;
    PopupOpen = 1;
    INT_PTR answer = dlg.DoModal();
    PopupOpen = 0;
    if (hold) SetTimerInterval1(-1);
    return answer == CYesNoImageDlg::kYes;
}

void COrvaneView::DoSoldierInfoPopup(int message, int person, CArmyElement* element, int valueA, int valueB) {
    bool networked = IsConnected();
    bool pause = message == kPauseMessage;
    // A single-player battle waits; a played-back demo runs on; the pause
    // stops the clock in every case.
    bool hold = Channels[0].Active && (pause || (!networked && !DemoPlayback));
    if (hold) SetTimerInterval1(0);

    CString clan;
    if (element) clan = BattleClanName(element->m_armyId);
    CString speaker;
    if (person == -4 || person == -3) {
        speaker = CString(kGenericSoldierPortrait) + BattleClanName(person == -4 ? 1 : 0);
    } else if (person != -1) {
        const COrvaneDoc* doc = GetDocument();
        if (const CPerson* general = doc ? doc->m_persons.FindByID(person) : nullptr) speaker = general->text3;
    }

    CString folder = GetPicturesFolder();
    BOOL autoClose = !pause && (networked || DemoPlayback);
    CPopupMessageDlg dlg(folder, message, speaker, element, clan, m_nColourDepth, nullptr, nullptr, autoClose,
                         kAutoCloseSeconds, pause ? kPauseKey : 0, kPopupTimer);
    dlg.m_nInfoLevel = valueA;
    dlg.m_nSpare = valueB;
    dlg.Show();

    if (networked) NetworkPopup = 1;
    PopupOpen = 1;
    // A pending order waits no longer: its cursor goes.
    if (CommandPending) {
        Command.Reset();
        if (CommandCursor) {
            CommandCursor->SetPosition(-1000, -1000, TRUE);
            CommandCursor->SetDepth(32767, FALSE);
        }
    }
    if (BandActive || ButtonDownOnField) {
        BandActive = 0;
        ButtonDownOnField = 0;
    }
    dlg.DoModal();
    // The popup drew with a letter set of its own.
    if (GetDocument()) LoadLetterSet("Letter Set");
    if (hold) SetTimerInterval1(-1);
    PopupOpen = 0;
}

void COrvaneView::ShowArmyMessages() {
    int sides[2] = {LocalSide, OtherSide};
    int mode = GameMode;
    for (int side : sides) {
        CArmy* army = Armies[side & 3];
        if (!army) continue;
        CBattleMessage m;
        while (GameMode == mode && army->TakeBattleMessage(m))
            DoSoldierInfoPopup(m.messageId, m.speaker, nullptr, -1, -1);
    }
}

void COrvaneView::PauseBattle() {
    if (PauseRunning) return;
    PauseRunning = 1;
    DWORD now = GetTickCount();
    RunningTime += now - ResumeTime;
    BandActive = 0;
    ButtonDownOnField = 0;
    DoSoldierInfoPopup(kPauseMessage, -1, nullptr, -1, -1);
    PauseRunning = 0;
    ResumeTime = GetTickCount();
}
