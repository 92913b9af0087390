// CPopupMessageDlg: the battle's picture popup. A general's portrait beside
// a message picture on one of four backgrounds, chosen by the message id:
// 0..8 detachment news, 9..13 system notices (13 is the pause), 14..28
// battle status, 29..55 unit information, which adds the unit's icon and
// eight figures hidden by how much the player knows. Any other id shows
// nothing.
//
// It ends with 1 on a left click, on the release of its close key (0 none,
// -1 any), or by the notice timer (auto-close, watched word).
#pragma once

#include "ui/MessageDlg.h"

class CArmyElement;

class CPopupMessageDlg : public CNoticeDlg {
public:
    // `picturesFolder` ends with a separator; `subject` is the division the
    // message is about (for unit information the unit; not owned).
    CPopupMessageDlg(const char* picturesFolder, int messageId, const char* speakerName, CArmyElement* subject,
                     const char* clanName, int colourDepth, CImagePalette* palette, CWnd* parent, BOOL autoClose,
                     int autoCloseSeconds, int closeKey, UINT_PTR timerId);

    // Loads the background and the pictures of the popup's kind; kind 0
    // loads nothing.
    void Show();
    BOOL OnInitDialog() override;

    // The figure texts of the unit information, A to H, as shown.
    const CString& GetFigure(int index) const { return m_figures[index]; }
    int GetKind() const { return m_nKind; }
    // The unit icon's picture name, without folder and extension.
    static CString UnitIconName(const char* clanPrefix, int unitKind);

    CString m_strPictures;
    int m_nMessage;
    int m_nKind;
    CString m_strSpeaker;
    CArmyElement* m_pSubject;
    CString m_strClanPrefix;  // the clan and a blank; empty for the home clan
    int m_nInfoLevel = -1;
    int m_nCloseKey;

protected:
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnKeyUp(UINT ch, UINT repeat, UINT flags) override;

private:
    // Loads a plain picture as sprite `id` and places it as icon `id`.
    CIcon* PlacePicture(const CString& name, int id, int x, int y);
    void MakeFigures();

    CString m_figures[8];
};
