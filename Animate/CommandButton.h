// Command buttons: every clickable picture button of the screens and
// dialogs. A button has an up and a down picture, loaded from the button
// picture folder as base name + " Up.giz" and " Dn.giz", a rectangle, an
// identifier and an enabled flag. CCmbList holds the buttons of one screen
// or dialog and owns them.
#pragma once

#include "Animate/Sprite.h"

class CCommandButton : public CObject {
    DECLARE_DYNAMIC(CCommandButton)
public:
    // An order key of -1 sorts the button by its y position.
    CCommandButton(int id, const char* baseName, int x, int y, int orderKey = -1);
    ~CCommandButton() override;
    CCommandButton(const CCommandButton&) = delete;
    CCommandButton& operator=(const CCommandButton&) = delete;

    // Loads both pictures from `folder`; when either fails both are dropped
    // and the result is FALSE.
    BOOL LoadImages(const char* folder, int colourDepth, HPALETTE palette);
    BOOL HitTest(int x, int y, BOOL rectOnly, BOOL needEnabled) const;
    // Draws the up or down picture (nothing while disabled).
    virtual void Draw(CDIB* target, BOOL up);
    // The same, shifted by (dx, dy) in the target (a button of the window
    // drawn into a scrolled buffer or a panel).
    // Draws the button moved by (dx, dy); only its part inside `clip`
    // (before the move) when one is given.
    void DrawAt(CDIB* target, BOOL up, int dx, int dy, const CRect* clip = nullptr);
    // Moves the button and its pictures; the new place becomes its home and
    // its order key.
    void SetPosition(int x, int y);

    CRect GetRect() const { return m_rect; }
    CRect GetBounds() const { return m_rect; }
    CPoint GetPosition() const { return CPoint(m_x, m_y); }
    CPoint GetHome() const { return m_home; }
    int GetId() const { return m_nId; }
    const CString& GetUpName() const { return m_strUp; }
    const CString& GetDownName() const { return m_strDown; }
    CSprite* GetUpSprite() const { return m_pUp; }

    BOOL m_bEnabled = TRUE;
    BOOL m_bPressed = FALSE;
    int m_nOrder = 1;

private:
    void DropImages();

    CRect m_rect{0, 0, 36, 36};
    CSprite* m_pUp = nullptr;
    CSprite* m_pDown = nullptr;
    int m_nId;
    CString m_strUp;
    CString m_strDown;
    int m_x;
    int m_y;
    CPoint m_home;
};

class CCmbList : public CObList {
    DECLARE_SERIAL(CCmbList)
public:
    CCmbList() = default;
    ~CCmbList() override { DeleteAll(); }

    void Add(CCommandButton* button);
    void InsertByOrder(CCommandButton* button);
    void SortByOrder();
    // Loads every button's pictures in list order; at the first failure it
    // reports the folder and picture and stops (later buttons keep what
    // they had).
    BOOL LoadAll(const char* folder, int colourDepth, HPALETTE palette);
    CCommandButton* HitTest(int x, int y, BOOL rectOnly = FALSE) const;
    // The id of the button hit, or 0 (so no button may use id 0).
    int HitTestId(int x, int y, BOOL rectOnly = FALSE) const;
    void DrawAll(CDIB* target);
    void EnableButton(int id, BOOL enabled);
    CCommandButton* FindById(int id) const;
    void DeleteAll();
};
