#include "ui/MessageDlg.h"

#include "platform/win/Win.h"

namespace {
// The notice's own timer once it is armed.
const UINT kNoticeTimerMs = 10;
}  // namespace

CNoticeDlg::CNoticeDlg(UINT templateId, int colourDepth, CImagePalette* palette, CWnd* parent, BOOL autoClose,
                       int autoCloseSeconds, UINT_PTR timerId)
    : CGameDialog(templateId, parent), m_bAutoClose(autoClose), m_nAutoCloseSeconds(autoCloseSeconds) {
    m_nColourDepth = colourDepth;
    m_pPalette = palette;
    m_nTimerEvent = timerId;
}

bool CNoticeDlg::LoadNoticeBackground(const char* pictureName) {
    m_strBackgroundName = pictureName;
    return CGameDialog::LoadBackground(pictureName, FALSE) != FALSE;
}

BOOL CNoticeDlg::OnInitDialog() {
    CGameDialog::OnInitDialog();
    ComposeRect(nullptr, &m_icons);
    DrawButton(0, TRUE, FALSE);
    PaintRect(nullptr);
    if (m_bAutoClose || m_pWatched) {
        if (m_nTimer) KillTimer(m_nTimerEvent);
        m_nTimer = SetTimer(m_nTimerEvent, kNoticeTimerMs);
        m_dwStart = GetTickCount();
    }
    return TRUE;
}

void CNoticeDlg::OnTimer(UINT_PTR id) {
    if (!m_bShown) {
        BringWindowToTop();
        m_bShown = 1;
    }
    if (id != m_nTimerEvent) return;
    bool watchChanged = m_pWatched && *m_pWatched != m_nExpected;
    // Exactly the given time does not close it yet; the next tick does.
    bool timedOut = m_bAutoClose && double(GetTickCount() - m_dwStart) * 0.001 > double(m_nAutoCloseSeconds);
    if (watchChanged || timedOut) {
        KillTimer(m_nTimerEvent);
        m_nTimer = 0;
        EndDialog(kClosed);
    }
}

void CNoticeDlg::OnSetFocus(CWnd* oldWnd) {
    CGameDialog::OnSetFocus(oldWnd);
    SetCapture();
    ::SetCursor(LoadCursor(nullptr, MAKEINTRESOURCE(IDC_ARROW)));
}

BOOL CNoticeDlg::DestroyWindow() {
    // The palette is the creator's.
    m_pPalette = nullptr;
    if (GetCapture() == this) ReleaseCapture();
    return CGameDialog::DestroyWindow();
}

CMessageDlg::CMessageDlg(const char* pictureName, int colourDepth, CImagePalette* palette, CWnd* parent,
                         BOOL autoClose, int autoCloseSeconds, UINT_PTR timerId)
    : CNoticeDlg(101, colourDepth, palette, parent, autoClose, autoCloseSeconds, timerId), m_strPicture(pictureName) {}

bool CMessageDlg::Run() { return LoadBackground(m_strPicture); }

void CMessageDlg::OnLButtonUp(UINT, CPoint) { EndDialog(kClosed); }
void CMessageDlg::OnRButtonUp(UINT, CPoint) { EndDialog(kClosed); }
void CMessageDlg::OnKeyUp(UINT ch, UINT, UINT) {
    if (ch != VK_ESCAPE) EndDialog(kClosed);
}
