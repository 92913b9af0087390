#include "platform/win/Dialog.h"

#include "platform/win/MessageQueue.h"
#include "platform/win/WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

namespace {
const int kDefaultWidth = 320;
const int kDefaultHeight = 240;
}  // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    if (m_hWnd) DestroyWindow();
}

BOOL CDialog::CreateDialogWindow() {
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    CRect area(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (owner && owner->m_hWnd) owner->GetWindowRect(&area);
    int x = area.left + (area.Width() - kDefaultWidth) / 2;
    int y = area.top + (area.Height() - kDefaultHeight) / 2;
    // A dialog is a top-level window: it stacks over its owner.
    if (!CreateEx(WS_EX_TOPMOST, "CDialog", nullptr, WS_POPUP, CRect(x, y, x + kDefaultWidth, y + kDefaultHeight),
                  nullptr, m_nIDTemplate))
        return FALSE;
    m_bEndRequested = false;
    WindowProc(WM_INITDIALOG, 0, 0);
    BOOL setFocus = OnInitDialog();
    if (!m_hWnd) return FALSE;
    ShowWindow(SW_SHOW);
    BringWindowToTop();
    if (setFocus) SetFocus();
    return TRUE;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    return CreateDialogWindow();
}

INT_PTR CDialog::DoModal() {
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    CWnd* ownerTop = owner && owner->m_hWnd ? owner->GetTopLevelParent() : nullptr;
    BOOL ownerWasEnabled = ownerTop ? ownerTop->IsWindowEnabled() : FALSE;
    HWND oldFocus = ::GetFocus();

    m_nModalResult = -1;
    m_bInModal = true;
    AfxPushModal(this);
    if (ownerTop) ownerTop->EnableWindow(FALSE);
    if (!CreateDialogWindow()) {
        AfxPopModal(this);
        m_bInModal = false;
        if (ownerTop && AfxIsWindow(ownerTop)) ownerTop->EnableWindow(ownerWasEnabled);
        return m_bEndRequested ? m_nModalResult : -1;
    }

    CWinApp* app = AfxGetApp();
    MSG msg;
    while (!m_bEndRequested && m_hWnd) {
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            // The program is ending: give up the dialog and let the outer
            // loop see the quit as well.
            m_nModalResult = IDCANCEL;
            PostQuitMessage(AfxGetQuitCode());
            break;
        }
        // The dialog's own windows see the message first (Escape, Enter),
        // then the application's filter.
        bool taken = false;
        for (CWnd* w = msg.hwnd; w && AfxIsWindow(w) && !taken; w = w->GetParent())
            taken = w->PreTranslateMessage(&msg);
        if (!taken && app) taken = app->PreTranslateMessage(&msg);
        if (!taken) DispatchMessage(&msg);
    }

    AfxPopModal(this);
    m_bInModal = false;
    if (ownerTop && AfxIsWindow(ownerTop)) ownerTop->EnableWindow(ownerWasEnabled);
    if (m_hWnd) DestroyWindow();
    if (oldFocus && AfxIsWindow(oldFocus)) ::SetFocus(oldFocus);
    return m_nModalResult;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    m_bEndRequested = true;
    if (!m_bInModal && m_hWnd) DestroyWindow();
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->hwnd && msg->hwnd->IsChildOf(this)) {
        if (msg->wParam == VK_ESCAPE) {
            OnCancel();
            return TRUE;
        }
        if (msg->wParam == VK_RETURN) {
            OnOK();
            return TRUE;
        }
    }
    return FALSE;
}
