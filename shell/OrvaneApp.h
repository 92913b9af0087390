// COrvaneApp: the application. InitInstance registers the one document
// template (document, main frame, main view) and makes them; OnIdle drives
// the view whose timer channels ask for idle passes; PreTranslateMessage
// keeps Ctrl+S and Ctrl+O releases from the game.
#pragma once

#include "platform/win/Win.h"

class COrvaneView;

// Set while a Ctrl key is held, as seen before dispatch.
extern BYTE CtrlKeyHeld;

class COrvaneApp : public CWinApp {
public:
    COrvaneApp();

    BOOL InitInstance() override;
    int ExitInstance() override;
    // Runs the idle view's idle entry and asks for more idle time while one
    // is registered; no idle view, no idle work.
    BOOL OnIdle(LONG count) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // The view whose idle entry runs on every idle pass (null: none).
    void SetIdleView(COrvaneView* view) { m_pIdleView = view; }
    COrvaneView* GetIdleView() const { return m_pIdleView; }

private:
    COrvaneView* m_pIdleView = nullptr;
};

// The running application as a COrvaneApp, or null.
COrvaneApp* GetOrvaneApp();
