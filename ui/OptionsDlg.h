// COptionsDlg: the options the player opens with Escape during play. A main
// page with five page buttons (shown while the mouse is over them), the
// graphic page (game and scroll speed, two display switches, the screen
// layout), the sound page (switches and volume levels), the help pages and
// the save page (six slots, the autosave never written from here).
//
// The dialog only edits the copies below: its creator fills them, and
// applies and stores them afterwards, and saves the slots the save page
// marked. Every level stays in 0..9. The result is 1 when the player chose
// Exit (and confirmed it), else 2.
#pragma once

#include "Animate/GameDialog.h"
#include "world/SaveGameInfo.h"

class COptionsDlg : public CGameDialog {
public:
    enum Page { kMain = 0, kGraphic = 1, kSound = 2, kHelp = 3, kSave = 4 };
    enum : int { kExit = 1, kClosed = 2 };
    // The level bars: effects, music, speed, scroll.
    enum Bar { kEffectsBar = 0, kMusicBar, kSpeedBar, kScrollBar, kBars };

    COptionsDlg(BOOL askQuit, BOOL saveAllowed, BOOL bringToFront, const char* savedDataFolder,
                CImagePalette* palette, CWnd* parent);

    BOOL OnInitDialog() override;
    BOOL DestroyWindow() override;
    void OnOK() override;
    void OnCancel() override { EndDialog(kClosed); }

    // The level a click at window x gives on bar `bar`: 0..9.
    int LevelAt(int bar, int x) const;
    // Where a bar's icon stands.
    static CPoint BarPosition(int bar);
    int GetPage() const { return m_nPage; }
    int GetSelectedSlot() const { return m_nSelectedSlot; }
    int GetHelpTopic() const { return m_nHelpTopic; }
    const CString& GetSlotLabel(int slot) const { return m_slotLabels[slot]; }

    // The settings edited (filled by the creator).
    BYTE MusicOn = 1, SoundOn = 1;
    int SpeedLevel = 0, ScrollLevel = 0, MusicLevel = 0, SoundLevel = 0;
    BYTE DisplayOptionA = 0, DisplayOptionB = 0;
    int GraphicChoice = 0;
    int Stage = 0, Year = 0;
    BYTE SaveMarks[6] = {0, 0, 0, 0, 0, 0};
    CSaveGameInfo SaveHeaders[6];

protected:
    void OnLButtonDown(UINT flags, CPoint point) override;
    // A quick second click is a click like the first.
    void OnLButtonDblClk(UINT flags, CPoint point) override { OnLButtonDown(flags, point); }
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnTimer(UINT_PTR id) override;
    void OnSetFocus(CWnd* oldWnd) override;

private:
    void ShowPage(int page);
    void ShowHelpTopic(int topic);
    void MakeSlotLabels();
    // Composes the whole dialog for the page and shows it.
    void Redraw();
    void DrawBar(int bar, int level);
    int* BarLevel(int bar);
    void ClickGraphic(int id);
    void ClickSave(int id);
    bool IsHelpButton(int id) const { return id >= 22 && id <= 47; }

    BOOL m_bAskQuit, m_bSaveAllowed, m_bBringToFront;
    CString m_strSavedData;
    int m_nPage = kMain;
    int m_nHover = 0;  // the button under the mouse on the main and help pages
    BYTE m_drag[kBars] = {0, 0, 0, 0};
    CIcon* m_bars[kBars] = {nullptr, nullptr, nullptr, nullptr};
    CString m_slotLabels[6];
    int m_nSelectedSlot = -1;
    BYTE m_okPressed = 0, m_cancelPressed = 0;
    int m_nHelpTopic = -1;
    CIcon* m_pTopic = nullptr;
};
