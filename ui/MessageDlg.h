// The game's notices: small dialogs drawn by the game that hold the input
// until they close.
//
// CNoticeDlg is what they share: a background picture loaded by Run/Show
// before the dialog runs, the mouse captured so that a click anywhere
// reaches it, and a timer that raises the window on its first tick, ends
// the dialog with 1 when the watched word changes or, with auto-close, once
// more than the given seconds have passed. Every way of closing gives 1.
//
// CMessageDlg is the simplest notice: one picture that is the whole
// message ("popup Must Pick Army"); any key or mouse button released ends
// it. Escape alone does not: the dialog keeps it.
#pragma once

#include "Animate/GameDialog.h"

class CNoticeDlg : public CGameDialog {
public:
    enum : int { kClosed = 1 };

    CNoticeDlg(UINT templateId, int colourDepth, CImagePalette* palette, CWnd* parent, BOOL autoClose,
               int autoCloseSeconds, UINT_PTR timerId);

    BOOL OnInitDialog() override;
    BOOL DestroyWindow() override;
    // Escape does not close a notice.
    void OnCancel() override {}

    BOOL m_bAutoClose;
    int m_nAutoCloseSeconds;
    DWORD m_dwStart = 0;  // when the timer was armed; 0 until then
    BYTE m_bShown = 0;    // set by the first timer tick

protected:
    void OnTimer(UINT_PTR id) override;
    void OnSetFocus(CWnd* oldWnd) override;
    // The background loader shared by the notices: FALSE, with nothing
    // shown, when the picture cannot be read.
    bool LoadNoticeBackground(const char* pictureName);
};

class CMessageDlg : public CNoticeDlg {
public:
    // `pictureName` is the full name of the picture (folder and extension).
    CMessageDlg(const char* pictureName, int colourDepth, CImagePalette* palette, CWnd* parent, BOOL autoClose,
                int autoCloseSeconds, UINT_PTR timerId);

    // Loads the picture; true when the dialog can be run.
    bool Run();
    bool LoadBackground(const char* pictureName) { return LoadNoticeBackground(pictureName); }

    CString m_strPicture;

protected:
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;
    void OnKeyUp(UINT ch, UINT repeat, UINT flags) override;
};
