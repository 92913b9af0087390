#include "platform/win/WinApp.h"

#include <string>

#include "platform/win/Display.h"
#include "platform/win/Document.h"
#include "platform/win/MessageBoxDlg.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Wnd.h"

namespace {
CWinApp* g_app = nullptr;
std::string g_commandLine;
}  // namespace

CWinApp* AfxGetApp() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }
const char* GetCommandLine() { return g_commandLine.c_str(); }

CWinApp::CWinApp(LPCSTR appName) : m_strAppName(appName ? appName : "Velmor") { g_app = this; }

CWinApp::~CWinApp() {
    for (CSingleDocTemplate* t : m_templates) delete t;
    m_templates.clear();
    if (g_app == this) g_app = nullptr;
}

int CWinApp::ExitInstance() { return AfxGetQuitCode(); }

BOOL CWinApp::OnIdle(LONG) { return FALSE; }

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    for (CWnd* w = msg->hwnd; w && AfxIsWindow(w); w = w->GetParent())
        if (w->PreTranslateMessage(msg)) return TRUE;
    return FALSE;
}

BOOL CWinApp::PumpMessage() {
    if (!GetMessage(&m_msgCur, nullptr, 0, 0)) return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) DispatchMessage(&m_msgCur);
    return TRUE;
}

BOOL CWinApp::RunUntil(const std::function<bool()>& stop) {
    MSG peek;
    for (;;) {
        if (stop && stop()) return TRUE;
        // Idle passes while the queue is empty, as long as they are wanted.
        while (m_bIdle && !PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(m_lIdleCount++)) m_bIdle = false;
            if (stop && stop()) return TRUE;
        }
        // With a stop condition the wait is cut short now and then, so the
        // condition is seen even when no message comes.
        if (stop && !PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            WaitMessage();
            continue;
        }
        if (!PumpMessage()) return FALSE;
        // Paint and timer messages do not end an idle period.
        if (m_msgCur.message != WM_PAINT && m_msgCur.message != WM_TIMER) {
            m_bIdle = true;
            m_lIdleCount = 0;
        } else if (!m_bIdle) {
            m_bIdle = true;
        }
    }
}

int CWinApp::Run() {
    RunUntil(nullptr);
    return ExitInstance();
}

void CWinApp::AddDocTemplate(CSingleDocTemplate* tmpl) {
    if (tmpl) m_templates.push_back(tmpl);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) { info.m_nShellCommand = CCommandLineInfo::FileNew; }

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    if (info.m_nShellCommand == CCommandLineInfo::FileNothing) return TRUE;
    CSingleDocTemplate* tmpl = GetDocTemplate();
    return tmpl && tmpl->OpenDocumentFile(nullptr) ? TRUE : FALSE;
}

void AfxSetCommandLine(int argc, const char* const* argv) {
    CWinApp* app = AfxGetApp();
    g_commandLine.clear();
    if (app) app->m_args.clear();
    for (int i = 0; i < argc; ++i) {
        if (app) app->m_args.push_back(argv[i]);
        std::string a = argv[i];
        if (!g_commandLine.empty()) g_commandLine += ' ';
        if (a.find(' ') != std::string::npos || a.empty()) g_commandLine += '"' + a + '"';
        else g_commandLine += a;
    }
}

int AfxWinMain(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    AfxSetCommandLine(argc, argv);
    if (!AfxGetDisplayBackend()) AfxSetDisplayBackend(AfxCreateDefaultBackend());
    if (!AfxGetDisplayBackend()) return 1;
    // On a real display the player reads message boxes; headless runs keep
    // them in the record.
    if (!AfxGetDisplayBackend()->IsHeadless()) AfxSetMessageBoxHandler(AfxShowMessageBoxDialog);
    int code;
    if (!app->InitInstance()) {
        if (CWnd* main = app->m_pMainWnd) main->DestroyWindow();
        app->ExitInstance();
        code = 1;
    } else {
        code = app->Run();
    }
    AfxSetMessageBoxHandler(nullptr);
    AfxSetDisplayBackend(nullptr);
    return code;
}
