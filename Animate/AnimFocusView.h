// CAnimFocusView: what a scrolled battlefield screen needs on top of
// CAnimView. The field picture is larger than the window; the visible
// rectangle of it (in field units, its corner being the scroll offset) is
// shown in the field area of the window. A frame picture (the panel along
// the bottom or right edge) carries its own icons and a minimap of 20 field
// units a cell, on which a marker shows the visible rectangle.
//
// Every scroll goes through ClampScroll, so the visible rectangle never
// leaves the field; a scroll that does not move the view redraws nothing.
//
// CAnimFrameWnd: the engine's own small frame window class.
#pragma once

#include "Animate/AnimView.h"
#include "platform/win/FrameWnd.h"

class CAnimFocusView : public CAnimView {
    DECLARE_DYNCREATE(CAnimFocusView)
public:
    CAnimFocusView();
    ~CAnimFocusView() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override { return CAnimView::PreCreateWindow(cs); }
    void OnInitialUpdate() override;
    void OnDraw(CDC* dc) override { CAnimView::OnDraw(dc); }

    // A window position in the field area to the field position shown
    // there (plus the scroll offset, less the field area's corner), and
    // back. Both always succeed.
    BOOL ScreenToField(CPoint& p) const;
    BOOL FieldToScreen(CPoint& p) const;
    void OffsetRectByOrigin(CRect& r) const;
    // Centres the visible rectangle on (x, y) as far as the field allows.
    void ClampScroll(int x, int y);
    // FALSE when the view did not move; else moves the minimap marker and
    // collects the icons now visible.
    BOOL ScrollToCell(int cellX, int cellY);
    void ScrollTo(int x, int y, BOOL fieldUnits, BOOL render);
    BOOL CenterOn(int x, int y, BOOL render);
    void CollectVisibleIcons();
    // Redraws `r` (the visible rectangle when null; window coordinates
    // unless `inBuffer`) from the background and the icons of `icons`.
    void RedrawRect(const RECT* r, CIconList* icons, BOOL inBuffer, BOOL shiftIcons);
    void RedrawRect(const RECT* r, CIconList* icons) override { RedrawRect(r, icons, TRUE, FALSE); }
    // Redraws every dirty rectangle with the icons visible now, then
    // renders them.
    void FlushDirtyRects(BOOL withButtons);

    BOOL LoadFrameImage(const char* name, BOOL render);
    void ComposeFrame(const RECT* r, CIconList* icons);
    BOOL LoadPanelSprite(const char* name, BOOL redraw);
    BOOL LoadMarkerSprite(const char* name);
    // The panel with the minimap dots and the marker of the visible area.
    void DrawFrame(BOOL full);

    void DrawCommandButton(CCommandButton* button, BOOL up, BOOL redrawUnder);
    void RenderFieldRect(const RECT& r);
    void ShowCommandButton(int id, int x, int y);
    void HideCommandButton(int id);
    void PlaceCommandButton(int id, int x, int y);
    void RedrawButtonRange(int first, int last);
    const CRect* SetButtonState(int id, BOOL up, BOOL redrawAll, BOOL render) override;
    // Highlights the button under (x, y): the one left is put back up, the
    // new one drawn down (not while another button is held).
    void TrackCommandButton(int x, int y, int heldId, BOOL redrawAll);

    CIconList& GetFrameIcons() { return m_frameIcons; }
    CIconList& GetVisibleIcons() { return VisibleIcons(); }
    CIconList& GetSpareIcons() { return m_spareIcons; }
    CDIB& GetFramePicture() { return m_framePicture; }
    CSprite* GetPanelSprite() const { return m_pPanelSprite; }
    CSprite* GetMarkerSprite() const { return m_pMarkerSprite; }

    CPoint m_minimapOrigin;
    CRect m_rcMinimap;  // in cells; inclusive right and bottom
    CPoint m_previousScroll;
    CRect m_rcVisible;  // field units
    CRect m_rcFieldArea;
    CPoint m_lastCentre;
    CRect m_rcPreviousMarker;
    CRect m_rcMarker;
    CPoint m_frameOffset;
    CAnimFocusView* m_pFocusView = nullptr;
    CSprite* m_pSpareSprites[4] = {};
    CSpriteList m_spareSpriteLists[2];
    int m_nSpareFlag = 0;

protected:
    // Draws one button where it lies: on the field, on the frame, or
    // nowhere (then it is disabled). Returns where it was drawn, in the
    // window, or an empty rectangle.
    CRect PlaceButtonDrawing(CCommandButton* b, BOOL up, BOOL redrawUnder);
    int MinimapWidthUnits() const { return (m_rcMinimap.right - m_rcMinimap.left + 1) * 20; }
    int MinimapHeightUnits() const { return (m_rcMinimap.bottom - m_rcMinimap.top + 1) * 20; }
    void RedrawAfterScroll(BOOL render);
    // The visible icons, collected again first when icons may have come,
    // gone or moved since they were last collected.
    CIconList& VisibleIcons() {
        if (m_bVisibleStale) CollectVisibleIcons();
        return m_visibleIcons;
    }

    CIconList m_spareIcons;
    CIconList m_frameIcons;
    CIconList m_visibleIcons;
    // Set by each flush: the icons may change before the next one, and a
    // deleted one must not be reached through the list.
    bool m_bVisibleStale = false;
    // The visible icons filed by tile for one flush; RedrawRect draws from
    // them while m_bFlushing is set.
    CIconBuckets m_visibleBuckets;
    BOOL m_bFlushing = FALSE;
    std::vector<CRect> m_flushRects;
    CSprite* m_pPanelSprite = nullptr;
    CSprite* m_pMarkerSprite = nullptr;
    CDIB m_framePicture;
};

class CAnimFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CAnimFrameWnd)
public:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
};
