#include "shell/MainFrm.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style = LONG(WS_POPUP | WS_VISIBLE);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    if (sw > 1280) {
        cs.cx = 1284;
        cs.cy = 1028;
        cs.x = sw / 2 - 642;
        cs.y = sh / 2 - 514;
    } else {
        cs.cx = sw + 4;
        cs.cy = sh + 4;
        cs.x = 0;
        cs.y = 0;
    }
    return CFrameWnd::PreCreateWindow(cs);
}
