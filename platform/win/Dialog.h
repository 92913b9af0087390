// CDialog: a window over its parent. DoModal shows it, gives all input to
// it and pumps the one message queue until EndDialog; timers of other
// windows keep firing meanwhile (the application's idle work does not run).
// The parent's top-level window is disabled while the dialog is up and
// enabled again afterwards.
//
// There are no dialog templates: a dialog starts 320 x 240, centred on its
// parent, and sets its own size in OnInitDialog. Escape calls OnCancel and
// Enter OnOK unless a derived PreTranslateMessage takes the keys first.
#pragma once

#include "platform/win/Wnd.h"

typedef intptr_t INT_PTR;

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr);
    ~CDialog() override;

    // Returns the value given to EndDialog, or -1 when the window could not
    // be made. A WM_QUIT met in the loop ends the dialog with IDCANCEL and
    // is posted again for the outer loop.
    virtual INT_PTR DoModal();
    // Ends the modal loop with `result` after the current message.
    void EndDialog(int result);
    // Modeless: creates and shows the dialog; OnInitDialog runs.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    using CWnd::Create;

    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    BOOL PreTranslateMessage(MSG* msg) override;

    bool IsModalRunning() const { return m_bInModal; }
    UINT GetTemplateId() const { return m_nIDTemplate; }

protected:
    BOOL CreateDialogWindow();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bInModal = false;
    bool m_bEndRequested = false;
    int m_nModalResult = -1;
};
