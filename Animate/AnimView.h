// CAnimView: the middle of the view chain (COSBView -> CAnimView ->
// CAnimFocusView -> the main view). It owns what a screen is made of: a
// background picture, a depth-sorted list of icons, a list of sprites, a
// list of alpha-mask sprites and a list of command buttons. It redraws any
// rectangle of the back buffer from background and icons, turns the dirty
// rectangles into window updates, and draws buttons up or down.
//
// Everything that draws needs the back buffer, which the first background
// load makes: before that, drawing operations do nothing (or return null).
#pragma once

#include "Animate/CommandButton.h"
#include "Animate/Icon.h"
#include "Animate/OSBView.h"
#include "Animate/RLESprite.h"

class CAnimView : public COSBView {
    DECLARE_DYNCREATE(CAnimView)
public:
    CAnimView();
    ~CAnimView() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnInitialUpdate() override;
    void OnDraw(CDC* dc) override;

    // Loads the screen's background (FALSE, without a message, when it
    // cannot be read) and makes a back buffer of its size.
    virtual BOOL LoadBackground(const char* name, BOOL fitFrame, BOOL render, BOOL redraw);
    // Copies the background over `r` (all of it when null) into the back
    // buffer and draws the icons of `icons` that meet it.
    virtual void RedrawRect(const RECT* r, CIconList* icons);
    virtual CIcon* AddIcon(CSprite* sprite, int x, int y, int id, BOOL staticPicture, UINT state, int frameLeft,
                           int frameTop, int frameRight, int frameBottom, CIconList* list = nullptr);
    // Id 0: every button; -1: every enabled button redrawn in its state;
    // another id: that button up or down. Returns one shared rectangle.
    virtual const CRect* SetButtonState(int id, BOOL up, BOOL redrawAll, BOOL render);
    // Redraws and renders every dirty rectangle, newest first, once each.
    virtual void DrawAllSprites(BOOL withButtons);
    virtual void DrawBackground(const RECT* r);
    virtual void InitSequenceTables();

    void DrawButtons(int id, BOOL up);
    CCommandButton* AddCommandButton(int id, const char* baseName, int x, int y, BOOL enabled, int orderKey = -1);
    // Loads a sprite (plain) or phased sprite into the sprite list; alpha -1
    // for no mask, 0 to load "<name> Alpha" beside it, another value for
    // the alpha-list sprite of that id. Reports "<name> cannot be loaded!".
    CSprite* LoadSpriteSet(const char* name, BOOL plain, int id, int columns, int rows, int alpha);
    // Encodes a picture as a run-length sprite of rows x columns cells.
    // Reports a picture that cannot be read and returns the fallback sprite.
    CSprite* LoadRLESprite(const char* name, int id, int rows, int columns);

    CIconList& GetIcons() { return m_icons; }
    CSpriteList& GetSprites() { return m_sprites; }
    CSpriteList& GetAlphaSprites() { return m_alphaSprites; }
    CCmbList& GetButtons() { return m_buttons; }
    CDIB& GetBackground() { return m_background; }
    const CAnimStep* const* GetSequenceTable() const { return m_sequences; }

    // The sprite LoadRLESprite gives when a picture is missing; the main
    // view sets it.
    static CSprite* s_pFallbackSprite;

    // Kept for the main view, which gives them their meaning.
    int m_nViewValues[5] = {-1, -1, -1, -1, -1};
    BYTE m_bViewFlags[2] = {1, 0};
    int m_nViewCounters[3] = {0, 0, 0};
    COLORREF m_tintColour = 0xFFFFFF;
    double m_dShadeAmount = 0.0;
    BOOL m_bShade = FALSE;

    int m_nScreenWidth = 1024;
    int m_nScreenHeight = 768;
    int m_nColourDepth = 24;
    int m_nHighlightedButton = -1;

protected:
    // Each button redrawn under and drawn in `up` (or its pressed state).
    const CRect* DrawOneButton(CCommandButton* b, BOOL up, BOOL render);

    const CAnimStep* m_sequences[kAnimSequences] = {};
    CIconList m_icons;
    CSpriteList m_sprites;
    CSpriteList m_alphaSprites;
    CCmbList m_buttons;
    CDIB m_background;
    std::vector<CRect> m_flushed;  // the rectangles of the flush in progress
};
