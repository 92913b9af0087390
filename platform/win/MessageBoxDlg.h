// The message box of the window layer: a modal dialog with the text and one
// or two buttons (OK; OK and Cancel; Yes and No), drawn by the layer itself
// on washi paper with ink lettering. AfxWinMain installs it as the handler
// of AfxMessageBox when a real display runs; headless runs keep recording
// the texts instead.
#pragma once

#include <vector>

#include "platform/win/Dialog.h"

class CMessageBoxDlg : public CDialog {
public:
    CMessageBoxDlg(const char* text, const char* caption, UINT type);

    BOOL OnInitDialog() override;
    // Enter gives the first button, Escape the last one.
    void OnOK() override;
    void OnCancel() override;

    // The button results, left to right.
    const std::vector<int>& GetButtons() const { return m_results; }
    // A button's rectangle in client coordinates.
    CRect GetButtonRect(int index) const;

protected:
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnPaint() override;

private:
    void Draw();

    CString m_text;
    CString m_caption;
    std::vector<CString> m_lines;
    std::vector<CString> m_labels;
    std::vector<int> m_results;
    int m_width = 0, m_height = 0;
};

// Shows the box modally; the handler AfxWinMain installs.
int AfxShowMessageBoxDialog(const char* text, const char* caption, UINT type);
