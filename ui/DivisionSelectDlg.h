// CDivisionSelectDlg: a general's division before the battle. His portrait,
// an overview of the arms he can field, a preview of the division's
// battalions laid out by arm, four arm buttons (cavalry, infantry, spears,
// rifles) and OK and Cancel. The arm chosen is written into the general at
// once; the creator puts the old one back when it wants Cancel to undo it.
// The window can be dragged by any spot that is not a button.
//
// Ends with 1 (OK) or 2 (Cancel, or the watched word changed).
#pragma once

#include <memory>

#include "Animate/GameDialog.h"

class CDivision;
class CPerson;
class CPersonList;

class CDivisionSelectDlg : public CGameDialog {
public:
    enum : int { kOK = 1, kCancel = 2 };
    // Arms as the general's state holds them.
    enum : int { kInfantry = 0, kCavalry = 1, kArchers = 2, kSpears = 3, kRifles = 4 };

    explicit CDivisionSelectDlg(CImagePalette* palette = nullptr, CWnd* parent = nullptr);
    ~CDivisionSelectDlg() override;

    // The arm symbols and the unit icons of the clan (none: the player's
    // own house).
    void LoadClanSprites(const char* clan);
    void InitButtons();
    // Loads the background picture; FALSE when it cannot be read.
    bool LoadBackground(const char* pictureName);

    BOOL OnInitDialog() override;
    BOOL DestroyWindow() override;
    void OnCancel() override {}

    // The button lit for an arm.
    static int ButtonOfArm(int arm);
    int GetArm() const;
    const CDivision* GetPreview() const { return m_pDivision.get(); }
    int GetPressedButton() const { return m_nPressed; }

    CString m_strPictures, m_strButtons, m_strPortraits;  // folders, each ending with a separator
    CPerson* m_pGeneral = nullptr;                          // not owned
    CPersonList* m_pPersons = nullptr;                      // where the battalion commanders come from

protected:
    void OnLButtonDown(UINT flags, CPoint point) override;
    // A quick second click is a click like the first.
    void OnLButtonDblClk(UINT flags, CPoint point) override { OnLButtonDown(flags, point); }
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnTimer(UINT_PTR id) override;
    void OnSetFocus(CWnd* oldWnd) override;

private:
    void SetArm(int arm);
    void BuildPreview();
    void PressButton(int id);

    std::unique_ptr<CDivision> m_pDivision;
    int m_nPressed = -1;
    BYTE m_dragArmed = 0, m_dragMoved = 0;
    CPoint m_press{-1000, -1000};
    BYTE m_bShown = 0;
};
