// CMainFrame: the game's frame, a borderless window over the whole screen
// (a 1280 x 1024 area centred on a wider screen) that holds the main view.
#pragma once

#include "platform/win/Win.h"

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    // Keys go to the window's default handling and nowhere else.
    void OnKeyDown(UINT, UINT, UINT) override { Default(); }
    void OnChar(UINT, UINT, UINT) override { Default(); }
};
