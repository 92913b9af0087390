#include "ui/YesNoImageDlg.h"

#include "Animate/DialogPictureNames.h"
#include "platform/win/Win.h"

namespace {
// The buttons' corners, from the picture's right and bottom edges.
constexpr int kYesFromRight = 264, kNoFromRight = 137, kButtonsFromBottom = 39;
}  // namespace

CYesNoImageDlg::CYesNoImageDlg(const char* pictureName, const char* buttonFolder, int colourDepth,
                               CImagePalette* palette, CWnd* parent, BOOL autoClose, int timeoutSeconds, int endKey,
                               UINT_PTR timerId)
    : CNoticeDlg(101, colourDepth, palette, parent, autoClose, timeoutSeconds, timerId),
      m_strQuestion(pictureName),
      m_nEndKey(endKey) {
    m_strButtonFolder = buttonFolder;
}

BOOL CYesNoImageDlg::InitButtons() {
    if (!LoadNoticeBackground(m_strQuestion)) return FALSE;
    const int width = m_background.GetWidth(), height = m_background.GetHeight();
    AddCommandButton(kYes, kYesNoButtons[0], width - kYesFromRight, height - kButtonsFromBottom, TRUE);
    AddCommandButton(kNo, kYesNoButtons[1], width - kNoFromRight, height - kButtonsFromBottom, TRUE);
    m_buttons.LoadAll(m_strButtonFolder, m_nColourDepth, nullptr);
    DrawButton(0, TRUE, FALSE);
    return TRUE;
}

void CYesNoImageDlg::OnLButtonDown(UINT, CPoint point) {
    int id = m_buttons.HitTestId(point.x, point.y, FALSE);
    if (id == kYes || id == kNo) EndDialog(id);
}

void CYesNoImageDlg::OnKeyUp(UINT ch, UINT, UINT) {
    if (ch == 'N' || ch == VK_ESCAPE) EndDialog(kNo);
    else if (ch == 'Y' || ch == VK_RETURN) EndDialog(kYes);
    else if (m_nEndKey == -1 || (m_nEndKey > 0 && UINT(m_nEndKey) == ch)) EndDialog(kYes);
}
