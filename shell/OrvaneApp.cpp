#include "shell/OrvaneApp.h"

#include "shell/MainFrm.h"
#include "shell/OrvaneView.h"

BYTE CtrlKeyHeld = 0;

COrvaneApp* GetOrvaneApp() { return dynamic_cast<COrvaneApp*>(AfxGetApp()); }

COrvaneApp::COrvaneApp() : CWinApp("Velmor") {}

BOOL COrvaneApp::InitInstance() {
    SetRegistryKey("Pelliwar Corporation\\Velmor");
    LoadStdProfileSettings(4);
    AddDocTemplate(new CSingleDocTemplate(128, RUNTIME_CLASS(COrvaneDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(COrvaneView)));
    CCommandLineInfo info;
    ParseCommandLine(info);
    if (!ProcessShellCommand(info)) return FALSE;
    if (!m_pMainWnd) return FALSE;
    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    m_pMainWnd->DragAcceptFiles(TRUE);
    return TRUE;
}

int COrvaneApp::ExitInstance() {
    m_pIdleView = nullptr;
    return CWinApp::ExitInstance();
}

BOOL COrvaneApp::OnIdle(LONG) {
    if (!m_pIdleView) return FALSE;
    m_pIdleView->OnIdle();
    return TRUE;
}

BOOL COrvaneApp::PreTranslateMessage(MSG* msg) {
    bool ctrl = msg->wParam == VK_CONTROL || msg->wParam == VK_LCONTROL || msg->wParam == VK_RCONTROL;
    if (msg->message == WM_KEYDOWN && ctrl) {
        CtrlKeyHeld = 1;
        return FALSE;
    }
    if (msg->message == WM_KEYUP && ctrl) {
        CtrlKeyHeld = 0;
        return FALSE;
    }
    if (msg->message == WM_KEYUP && CtrlKeyHeld &&
        (msg->wParam == 0x53 || msg->wParam == 0x73 || msg->wParam == 0x4F || msg->wParam == 0x6F))
        return TRUE;
    return FALSE;
}
