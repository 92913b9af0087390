// CGameDialog: the base of every modal dialog of the game. The dialog is
// drawn entirely by the game: a background picture fills it, command
// buttons, icons and sprites are composed over it in an offscreen surface,
// text is drawn with a letter set, and only changed rectangles are copied
// to the window.
//
// A 10 ms timer lets the creator end the dialog from outside: when the
// watched word (set by the creator) no longer holds the expected value, the
// dialog ends with result 2. The timers of the view under it keep running
// meanwhile (the modal loop pumps the one queue).
#pragma once

#include <deque>
#include <memory>

#include "Animate/CommandButton.h"
#include "Animate/DIBSurface.h"
#include "Animate/Icon.h"
#include "Animate/LetterSet.h"
#include "platform/win/Dialog.h"

class CGameDialog : public CDialog, public CDirtyRectSink {
public:
    enum : UINT_PTR { kTimerId = 4 };
    enum : UINT { kTimerMs = 10 };
    // The result of a dialog ended by its watched word.
    enum : int { kEndedByWatch = 2 };

    explicit CGameDialog(UINT templateId = 0, CWnd* parent = nullptr);
    ~CGameDialog() override;

    // Loads the background named by m_strBackgroundName when none is loaded
    // yet, starts the timer, takes the background's size centred on the
    // parent and draws every button up.
    BOOL OnInitDialog() override;
    BOOL DestroyWindow() override;

    // Loads the dialog's picture; FALSE (the old surface kept) when it
    // cannot be read. A new surface of its size is composed with all
    // buttons up; with `resize` the window takes its size, centred.
    BOOL LoadBackground(const char* fileName, BOOL resize);
    // The background over `r` (all when null) and the enabled icons of
    // `icons` that meet it, into the surface.
    void ComposeRect(const RECT* r, CIconList* icons);
    // Copies `r` (the client area when null) of the surface to the window.
    void PaintRect(const RECT* r);
    void AddDirtyRect(const RECT& r) override;
    // Composes every dirty rectangle once and shows them all together.
    void FlushDirtyRects();
    // Id 0: every button drawn up into the surface. Another id: that button
    // redrawn up or down over the background (and painted with `paint`).
    // Returns one shared rectangle ((0, 0, 1, 1) when no button has the id).
    const CRect* DrawButton(int id, BOOL up, BOOL paint);
    CCommandButton* AddCommandButton(int id, const char* baseName, int x, int y, BOOL enabled, int orderKey = -1);
    // A plain or phased sprite in the sprite list; reports "<name> cannot
    // be loaded!" and returns null on failure.
    CSprite* AddSprite(const char* fileName, BOOL plain, int id, int rows, int columns);
    CIcon* AddIcon(CSprite* sprite, int x, int y, int id, BOOL staticPicture, UINT value, const RECT& frame);
    void FillSurfaceRect(int left, int top, int right, int bottom, DWORD colour);

    // The letter set "<picture folder><name or Letter Set>.giz"; its cell
    // size becomes the one all text is laid out with.
    BOOL LoadLetterSet(const char* name = nullptr);
    void FreeLetterSet();
    // Draws text into the surface (erasing `oldText` at the same place
    // first) and returns the area covered, in one shared rectangle; null
    // without a surface or letter set.
    const CRect* DrawLetterText(const char* text, int x, int y, const char* oldText = nullptr, double factor = 1.0);
    const CRect* DrawLetterTextFormat(int x, int y, double factor, const char* oldText, const char* format, ...)
        __attribute__((format(printf, 6, 7)));

    CDIBSurface* GetSurface() const { return m_pSurface.get(); }
    CDIB& GetBackground() { return m_background; }
    CCmbList& GetButtons() { return m_buttons; }
    CIconList& GetIcons() { return m_icons; }
    CSpriteList& GetSprites() { return m_sprites; }
    CPhasedSprite* GetLetterSet() const { return m_pLetterSet; }
    const std::deque<CRect>& GetDirtyRects() const { return m_dirty; }

    DWORD* m_pWatched = nullptr;
    DWORD m_nExpected = 0;
    CString m_strBackgroundName;
    int m_nColourDepth = 24;
    CString m_strPictureFolder;
    CString m_strButtonFolder;
    CImagePalette* m_pPalette = nullptr;  // borrowed; never on a true-colour screen
    UINT_PTR m_nTimer = 0;
    UINT_PTR m_nTimerEvent = kTimerId;
    int m_nPressedButton = -1;
    int m_nSpare = -1;

protected:
    void OnTimer(UINT_PTR id) override;
    void OnPaint() override;
    // Copies `r` (the client area when null) of the surface into the
    // window, presenting it only with `present`; returns the window
    // rectangle written, empty when nothing was.
    CRect BlitRect(const RECT* r, bool present);

    CDIB m_background;
    CCmbList m_buttons;
    CIconList m_icons;
    CSpriteList m_sprites;
    std::unique_ptr<CDIBSurface> m_pSurface;
    std::deque<CRect> m_dirty;  // newest first
    CPhasedSprite* m_pLetterSet = nullptr;
};
