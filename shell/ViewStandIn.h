// STAND-IN until the animation view chain (offscreen view, animation view,
// focus view) is in: the few drawing services the main view uses, with the
// chain's names, so that switching COrvaneView to its real base is a change
// of one alias. It draws backgrounds, command buttons and letter text into a
// 24-bit back buffer and presents changed rectangles; nothing more.
#pragma once

#include <memory>
#include <vector>

#include "Animate/DIB.h"
#include "platform/win/Win.h"

class CShellViewStandIn : public CView {
    DECLARE_DYNAMIC(CShellViewStandIn)
public:
    CShellViewStandIn();
    ~CShellViewStandIn() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnDraw(CDC* dc) override;

    int GetScreenWidth() const { return m_nScreenWidth; }
    int GetScreenHeight() const { return m_nScreenHeight; }
    int GetColorDepth() const { return m_nColorDepth; }

    // The background becomes the back buffer's content.
    BOOL LoadBackground(const char* name, BOOL fitFrame, BOOL render, BOOL redraw);
    // Copies the back buffer to the window (all of it without a rectangle).
    void Render(const CRect* r = nullptr);
    // The background over `r` (all without one) into the back buffer.
    void RedrawRect(const CRect* r = nullptr);
    void FillRect(const CRect& r, COLORREF rgb);

    // Command buttons: pictures base + " Up.giz" / " Dn.giz".
    void AddCommandButton(int id, const char* baseName, int x, int y, int orderKey, BOOL enabled);
    BOOL LoadCommandButtons(const char* folder);
    void RemoveAllButtons();
    // The first enabled button under the point (picture pixels unless
    // rectOnly), 0 for none.
    int HitTestButton(CPoint p, BOOL rectOnly) const;
    // Draws button `id` up or down; 0 draws every button up. Returns the
    // rectangle drawn, (0, 0, 1, 1) for none.
    CRect SetButtonState(int id, BOOL up, BOOL redrawAll, BOOL render);
    int GetButtonCount() const { return int(m_buttons.size()); }

    // Letter-set text.
    BOOL LoadLetterSet(const char* path);
    int GetLetterWidth() const { return m_nLetterWidth; }
    int GetLetterHeight() const { return m_nLetterHeight; }
    CRect DrawLetterText(const char* text, int x, int y);

    BOOL m_bFullWindow = TRUE;

protected:
    struct Button {
        int id;
        CString up, down;
        int x, y, order;
        BOOL enabled;
        BOOL pressed = FALSE;
        std::unique_ptr<CDIB> upPic, downPic;
        CRect rect;
    };
    const Button* FindButton(int id) const;
    void DrawButton(const Button& b, BOOL up);

    int m_nScreenWidth = 1024;
    int m_nScreenHeight = 768;
    int m_nColorDepth = 32;
    CDIB m_background;
    CDIB m_backBuffer;
    std::vector<std::unique_ptr<Button>> m_buttons;
    CDIB m_letterSet;
    int m_nLetterWidth = 13;
    int m_nLetterHeight = 18;
};
