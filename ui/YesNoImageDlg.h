// CYesNoImageDlg: a question asked as a picture, answered with the "cmb yes"
// and "cmb no" buttons that stand in its lower right corner. It holds the
// input until answered: 1 for yes, 2 for no.
//
// A button-down on yes or no answers at once (only on the button's drawn
// pixels). Keys answer when released: Y or Enter yes, N or Escape no; an end
// key of -1 makes any other key a yes, a positive end key that key. The
// notice timer (auto-close, watched word) ends it with 1.
#pragma once

#include "ui/MessageDlg.h"

class CYesNoImageDlg : public CNoticeDlg {
public:
    enum : int { kYes = 1, kNo = 2 };

    // `pictureName`: the question's picture, folder and extension included;
    // `buttonFolder` ends with a separator.
    CYesNoImageDlg(const char* pictureName, const char* buttonFolder, int colourDepth, CImagePalette* palette,
                   CWnd* parent, BOOL autoClose, int timeoutSeconds, int endKey, UINT_PTR timerId);

    // Loads the question as the background and places the two buttons by
    // its corner; without the picture there are no buttons and FALSE.
    BOOL InitButtons();

    CString m_strQuestion;
    int m_nEndKey;

protected:
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnKeyUp(UINT ch, UINT repeat, UINT flags) override;
};
