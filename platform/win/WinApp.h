// CWinApp: the one application object. AfxWinMain runs InitInstance, the
// message loop and ExitInstance. The loop gives every message to
// PreTranslateMessage before dispatch and calls OnIdle while the queue is
// empty, for as long as OnIdle asks for more.
#pragma once

#include <functional>
#include <vector>

#include "platform/afx/Object.h"
#include "platform/afx/String.h"
#include "platform/win/WinDefs.h"

class CSingleDocTemplate;

// What the command line asks of the framework: always a new document here
// (the game reads its own switches).
class CCommandLineInfo {
public:
    enum { FileNew = 0, FileOpen = 1, FileNothing = 5 };
    int m_nShellCommand = FileNew;
    CString m_strFileName;
};

class CWinApp : public CObject {
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    // Returns the program's exit code.
    virtual int ExitInstance();
    // The message loop: until WM_QUIT, then ExitInstance's result.
    virtual int Run();
    // Idle work while the queue is empty; TRUE asks for another idle pass
    // before waiting for a message.
    virtual BOOL OnIdle(LONG count);
    // Offered every message before dispatch; TRUE swallows it. By default
    // the target window and its parents are asked.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // One turn of the loop: gets one message (waiting if needed) and
    // dispatches it. FALSE on WM_QUIT.
    BOOL PumpMessage();
    // Runs the loop (idle passes included) until `stop` says so or WM_QUIT
    // arrives; TRUE when stopped by `stop`. Used by tests and the headless
    // runner.
    BOOL RunUntil(const std::function<bool()>& stop);

    void SetRegistryKey(LPCSTR key) { m_strRegistryKey = key; }
    const CString& GetRegistryKey() const { return m_strRegistryKey; }
    // The recent-file list is not kept.
    void LoadStdProfileSettings(UINT = 4) {}
    void AddDocTemplate(CSingleDocTemplate* tmpl);
    CSingleDocTemplate* GetDocTemplate() const { return m_templates.empty() ? nullptr : m_templates.front(); }
    void ParseCommandLine(CCommandLineInfo& info);
    BOOL ProcessShellCommand(CCommandLineInfo& info);

    CWnd* m_pMainWnd = nullptr;
    CString m_strAppName;
    // The process arguments as given to AfxWinMain.
    std::vector<CString> m_args;

protected:
    CString m_strRegistryKey;
    std::vector<CSingleDocTemplate*> m_templates;
    MSG m_msgCur;
    bool m_bIdle = true;
    LONG m_lIdleCount = 0;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The whole run: back end, InitInstance, Run, ExitInstance. Returns the
// exit code (InitInstance failing gives 1 after ExitInstance).
int AfxWinMain(int argc, char** argv);
// Takes the process arguments (done by AfxWinMain; tests that run the
// application themselves call it).
void AfxSetCommandLine(int argc, const char* const* argv);
// The process command line as one string (arguments joined by blanks,
// those holding blanks in double quotes).
const char* GetCommandLine();
