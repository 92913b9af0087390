#include "Animate/AnimFocusView.h"

#include <algorithm>
#include <map>
#include <vector>

IMPLEMENT_DYNCREATE(CAnimFocusView, CAnimView)
IMPLEMENT_DYNCREATE(CAnimFrameWnd, CFrameWnd)

namespace {
constexpr int kCell = 20;  // field units per minimap cell
constexpr int kDotColumns = 150, kDotRows = 100;
}  // namespace

CAnimFocusView::CAnimFocusView() {
    m_spareIcons.SetOwnerView(this);
    m_frameIcons.SetOwnerView(this);
}

CAnimFocusView::~CAnimFocusView() {
    m_spareIcons.DeleteAll();
    m_visibleIcons.RemoveAll();
    m_frameIcons.DeleteAll();
    for (CSpriteList& list : m_spareSpriteLists) list.DeleteAll();
    for (CSprite*& s : m_pSpareSprites) delete s;
    delete m_pPanelSprite;
    delete m_pMarkerSprite;
}

void CAnimFocusView::OnInitialUpdate() {
    CAnimView::OnInitialUpdate();
    m_pFocusView = this;
}

BOOL CAnimFocusView::ScreenToField(CPoint& p) const {
    p.Offset(m_rcVisible.left - m_rcFieldArea.left, m_rcVisible.top - m_rcFieldArea.top);
    return TRUE;
}

BOOL CAnimFocusView::FieldToScreen(CPoint& p) const {
    p.Offset(m_rcFieldArea.left - m_rcVisible.left, m_rcFieldArea.top - m_rcVisible.top);
    return TRUE;
}

void CAnimFocusView::OffsetRectByOrigin(CRect& r) const { r.OffsetRect(r.left + m_rcVisible.left, r.top + m_rcVisible.top); }

void CAnimFocusView::ClampScroll(int x, int y) {
    int w = m_rcVisible.Width(), h = m_rcVisible.Height();
    int left = std::clamp(x - w / 2, 0, std::max(0, MinimapWidthUnits() - w));
    int top = std::clamp(y - h / 2, 0, std::max(0, MinimapHeightUnits() - h));
    m_rcVisible = CRect(left, top, left + w, top + h);
}

BOOL CAnimFocusView::ScrollToCell(int cellX, int cellY) {
    CRect before = m_rcVisible;
    ClampScroll((cellX - m_minimapOrigin.x) * kCell, (cellY - m_minimapOrigin.y) * kCell);
    if (m_rcVisible == before) return FALSE;
    m_previousScroll = m_rcVisible.TopLeft();
    m_rcPreviousMarker = m_rcMarker;
    CPoint corner(m_rcVisible.left / kCell + m_minimapOrigin.x - m_rcFrame.left,
                  m_rcVisible.top / kCell + m_minimapOrigin.y - m_rcFrame.top);
    m_rcMarker = CRect(corner, m_rcMarker.Size());
    CollectVisibleIcons();
    return TRUE;
}

void CAnimFocusView::RedrawAfterScroll(BOOL render) {
    RedrawRect(nullptr, &m_visibleIcons, TRUE, FALSE);
    if (render) {
        if (m_bFullWindow) {
            CRect area = m_rcFieldArea;
            area.OffsetRect(m_rcVisible.left - m_rcFieldArea.left, m_rcVisible.top - m_rcFieldArea.top);
            Render(&area, FALSE);
        } else {
            Render(&m_rcVisible, FALSE);
        }
    }
    DrawFrame(FALSE);
}

void CAnimFocusView::ScrollTo(int x, int y, BOOL fieldUnits, BOOL render) {
    if (fieldUnits) {
        x = x / kCell + m_minimapOrigin.x;
        y = y / kCell + m_minimapOrigin.y;
    }
    if (ScrollToCell(x, y)) RedrawAfterScroll(render);
}

BOOL CAnimFocusView::CenterOn(int x, int y, BOOL render) {
    CPoint cell(x + (m_rcMarker.left + m_rcMarker.right) / 2 + 1 + m_frameOffset.x,
                y + (m_rcMarker.top + m_rcMarker.bottom) / 2 + 1 + m_frameOffset.y);
    m_lastCentre = cell;
    if (ScrollToCell(cell.x, cell.y)) RedrawAfterScroll(render);
    return TRUE;
}

void CAnimFocusView::CollectVisibleIcons() {
    m_visibleIcons.RemoveAll();
    m_bVisibleStale = false;
    const CRect& v = m_rcVisible;
    if (v.IsRectEmpty()) return;
    for (POSITION pos = m_icons.GetTailPosition(); pos;) {
        CIcon* icon = static_cast<CIcon*>(m_icons.GetPrev(pos));
        // The icon's rectangle meets the visible one (an empty icon never does).
        const int left = icon->m_x, top = icon->m_y, right = left + icon->m_nWidth, bottom = top + icon->m_nHeight;
        if (left >= right || top >= bottom || left >= v.right || right <= v.left || top >= v.bottom || bottom <= v.top)
            continue;
        // Inserted by depth without taking the icon over: its link stays
        // the view's own list. Walking the sorted list from its tail, each
        // icon goes in front of all those taken so far.
        if (m_visibleIcons.IsEmpty() || static_cast<CIcon*>(m_visibleIcons.GetHead())->GetDepth() >= icon->GetDepth()) {
            m_visibleIcons.AddHead(icon);
            continue;
        }
        CViewLink* link = icon->GetOwnerLink();
        m_visibleIcons.Insert(icon);
        icon->SetOwnerLink(link);
    }
}

void CAnimFocusView::RedrawRect(const RECT* r, CIconList* icons, BOOL inBuffer, BOOL shiftIcons) {
    if (m_bFullWindow) return CAnimView::RedrawRect(r, icons);
    if (!m_pBackBuffer) return;
    m_rcBuffer = m_rcVisible;
    CRect area = m_rcVisible;
    if (r) {
        CRect given(*r);
        if (!inBuffer) given.OffsetRect(m_rcVisible.left - m_rcFieldArea.left, m_rcVisible.top - m_rcFieldArea.top);
        area &= given;
    }
    area &= m_background.PictureRect();
    if (area.IsRectEmpty()) return;
    m_background.Copy(m_pBackBuffer.get(), area.left, area.top, area.Width(), area.Height(), area.left, area.top,
                      DIB_NO_KEY);
    if (icons) {
        CPoint shift = shiftIcons ? CPoint(m_rcFieldArea.left - m_rcVisible.left, m_rcFieldArea.top - m_rcVisible.top)
                                  : CPoint(0, 0);
        auto draw = [&](CIcon* icon) {
            icon->SelectPhase();
            icon->m_pSprite->Move(icon->m_x + shift.x, icon->m_y + shift.y, FALSE);
            icon->m_pSprite->Draw(m_pBackBuffer.get(), &area, 1.0);
        };
        if (m_bFlushing && icons == &m_visibleIcons && shift == CPoint(0, 0)) {
            m_visibleBuckets.ForEachMeeting(area, draw);
        } else {
            for (POSITION pos = icons->GetHeadPosition(); pos;) {
                CIcon* icon = static_cast<CIcon*>(icons->GetNext(pos));
                if (!icon->m_bEnabled || icon->m_pSprite == nullptr) continue;
                CRect meet, ir = icon->GetRect();
                ir.OffsetRect(shift.x, shift.y);
                if (!meet.IntersectRect(&ir, &area)) continue;
                draw(icon);
            }
        }
    }
    if (m_dShadeAmount > 0 && m_bShade)
        m_pBackBuffer->TintRect(m_tintColour, m_dShadeAmount, area.Width(), area.Height(), area.left, area.top);
}

void CAnimFocusView::FlushDirtyRects(BOOL withButtons) {
    CRect buffer = m_bFullWindow ? m_background.PictureRect() : m_rcBuffer;
    m_flushRects.clear();
    for (const CRect& d : m_dirty) m_flushRects.push_back(d & buffer);
    m_dirty.clear();
    CoalesceFlush(m_flushRects, buffer);
    // Most ticks change nothing on screen: the icons are looked at only when
    // there is something to draw. Icons come and go between scrolls, so they
    // are collected afresh for a flush that draws: a new one must show, and
    // one deleted since the last scroll must not be drawn from a stale list.
    if (m_pBackBuffer &&
        std::any_of(m_flushRects.begin(), m_flushRects.end(), [](const CRect& r) { return !r.IsRectEmpty(); })) {
        CollectVisibleIcons();
        // The icons under each rectangle are found through tiles filed once
        // for the whole flush, not by looking at every icon for every
        // rectangle.
        if (m_bFullWindow) {
            ComposeAreas(m_background, m_pBackBuffer.get(), m_flushRects, &m_visibleIcons, FALSE);
        } else {
            m_visibleBuckets.Build(&m_visibleIcons);
            m_bFlushing = TRUE;
            for (const CRect& r : m_flushRects)
                if (!r.IsRectEmpty()) RedrawRect(&r, &m_visibleIcons, TRUE, FALSE);
            m_bFlushing = FALSE;
        }
    }
    m_bVisibleStale = true;
    if (withButtons) SetButtonState(0, TRUE, FALSE, TRUE);
    RenderAll(m_flushRects);
}

BOOL CAnimFocusView::LoadFrameImage(const char* name, BOOL render) {
    CDIB picture;
    if (!picture.LoadPicture(m_nColourDepth, name, nullptr)) return FALSE;
    if (picture.GetBitCount() == 8 && !picture.ConvertTo24Bit()) return FALSE;
    if (!CreateFrameBuffer(&picture)) return FALSE;
    m_framePicture.Swap(picture);
    m_framePicture.SetDepth(m_nColourDepth);
    if (m_bHorizontalFrame)
        m_frameOffset = CPoint(0, m_nScreenHeight - (m_rcFrame.bottom - m_rcFrame.top));
    else
        m_frameOffset = CPoint(m_nScreenWidth - (m_rcFrame.right - m_rcFrame.left) - 1, 0);
    m_rcFrame.OffsetRect(m_frameOffset);
    ComposeFrame(nullptr, &m_frameIcons);
    if (render) Render(nullptr, FALSE);
    return TRUE;
}

void CAnimFocusView::ComposeFrame(const RECT* r, CIconList* icons) {
    if (!m_pFrameSurface) return;
    m_rcBuffer = m_rcVisible;
    ComposeArea(m_framePicture, m_pFrameSurface.get(), r, icons, TRUE);
}

// Replaces `slot` by the picture `name` as a sprite; FALSE (the old one
// kept) when it cannot be read.
static BOOL ReplaceSprite(CSprite*& slot, const char* name, int depth) {
    auto* sprite = new CSprite;
    if (!sprite->LoadPicture(name, depth, nullptr)) {
        delete sprite;
        return FALSE;
    }
    delete slot;
    slot = sprite;
    return TRUE;
}

BOOL CAnimFocusView::LoadPanelSprite(const char* name, BOOL redraw) {
    if (!ReplaceSprite(m_pPanelSprite, name, m_nColourDepth)) return FALSE;
    m_pPanelSprite->Move(m_rcMinimap.left, m_rcMinimap.top, FALSE);
    m_pPanelSprite->SetHidden(false);
    if (redraw) DrawFrame(TRUE);
    return TRUE;
}

BOOL CAnimFocusView::LoadMarkerSprite(const char* name) {
    if (!ReplaceSprite(m_pMarkerSprite, name, m_nColourDepth)) return FALSE;
    m_pMarkerSprite->Move(m_rcMarker.left, m_rcMarker.top, FALSE);
    return TRUE;
}

void CAnimFocusView::DrawFrame(BOOL full) {
    if (!m_pBackBuffer || !m_pPanelSprite || !m_pFrameSurface) return;
    CDIBSurface* frame = m_pFrameSurface.get();
    CRect panel = m_pPanelSprite->GetBounds();
    if (full) {
        m_pPanelSprite->Draw(frame, &panel, 1.0);
    } else if (m_pMarkerSprite && !m_rcPreviousMarker.IsRectNull()) {
        // Erase the old marker by redrawing the panel under it.
        m_pMarkerSprite->Move(m_rcPreviousMarker.left, m_rcPreviousMarker.top, FALSE);
        CRect old = m_pMarkerSprite->GetBounds();
        m_pPanelSprite->Draw(frame, &old, 1.0);
        Render(&old, TRUE);
    }
    // One dot per minimap cell: the first icon (from the tail) claims it;
    // dots are drawn top row first.
    std::vector<bool> claimed(kDotColumns * kDotRows, false);
    std::multimap<int, std::pair<CSprite*, CPoint>> dots;
    for (POSITION pos = m_icons.GetTailPosition(); pos;) {
        CIcon* icon = static_cast<CIcon*>(m_icons.GetPrev(pos));
        if (icon->m_bStatic || icon->m_pMapSprite == nullptr) continue;
        CPoint centre = icon->m_rcFrame.CenterPoint();
        CPoint cell((icon->m_x + centre.x) / kCell + m_minimapOrigin.x - m_rcFrame.left,
                    (icon->m_y + centre.y) / kCell + m_minimapOrigin.y - m_rcFrame.top);
        if (!panel.PtInRect(cell)) continue;
        int gx = cell.x - panel.left, gy = cell.y - panel.top;
        if (gx >= kDotColumns || gy >= kDotRows || claimed[gy * kDotColumns + gx]) continue;
        claimed[gy * kDotColumns + gx] = true;
        dots.emplace(cell.y, std::make_pair(icon->m_pMapSprite, cell));
    }
    for (auto& [y, dot] : dots) {
        dot.first->Move(dot.second.x, dot.second.y, FALSE);
        dot.first->Draw(frame, &panel, 1.0);
    }
    if (full && m_dShadeAmount > 0 && m_bShade)
        frame->TintRect(m_tintColour, m_dShadeAmount, panel.Width(), panel.Height(), panel.left, panel.top);
    if (m_pMarkerSprite) {
        int y = m_rcMarker.top + 1;
        if (y == 66) y = 67;
        m_pMarkerSprite->Move(m_rcMarker.left, y, FALSE);
        m_pMarkerSprite->Draw(frame, nullptr, 1.0);
        if (!full) {
            CRect mr = m_pMarkerSprite->GetBounds();
            Render(&mr, TRUE);
            return;
        }
    } else if (!full) {
        return;
    }
    Render(&panel, TRUE);
}

CRect CAnimFocusView::PlaceButtonDrawing(CCommandButton* b, BOOL up, BOOL redrawUnder) {
    if (!b->m_bEnabled) return CRect();
    CRect r = b->GetRect();
    CRect inField, inFrame;
    if (inField.IntersectRect(&r, &m_rcFieldArea) && inField == r) {
        CPoint shift(m_rcVisible.left - m_rcFieldArea.left, m_rcVisible.top - m_rcFieldArea.top);
        if (redrawUnder) RedrawRect(&r, &VisibleIcons(), FALSE, FALSE);
        b->DrawAt(m_pBackBuffer.get(), up, shift.x, shift.y);
        return r;
    }
    CRect frameWindow(m_rcFrame.left, m_rcFrame.top, m_rcFrame.right + 1, m_rcFrame.bottom + 1);
    if (inFrame.IntersectRect(&r, &frameWindow) && inFrame == r && m_pFrameSurface) {
        CRect local = r;
        local.OffsetRect(-m_frameOffset.x, -m_frameOffset.y);
        if (redrawUnder) ComposeFrame(&local, &m_frameIcons);
        b->DrawAt(m_pFrameSurface.get(), up, -m_frameOffset.x, -m_frameOffset.y);
        return r;
    }
    // A button across the border of the field and the panel (a division's
    // panel stands on both) is drawn in two parts, one on each.
    if (!inField.IsRectEmpty() && !inFrame.IsRectEmpty() && m_pFrameSurface) {
        CPoint shift(m_rcVisible.left - m_rcFieldArea.left, m_rcVisible.top - m_rcFieldArea.top);
        if (redrawUnder) RedrawRect(&inField, &VisibleIcons(), FALSE, FALSE);
        b->DrawAt(m_pBackBuffer.get(), up, shift.x, shift.y, &inField);
        CRect local = inFrame;
        local.OffsetRect(-m_frameOffset.x, -m_frameOffset.y);
        if (redrawUnder) ComposeFrame(&local, &m_frameIcons);
        b->DrawAt(m_pFrameSurface.get(), up, -m_frameOffset.x, -m_frameOffset.y, &inFrame);
        return r;
    }
    b->m_bEnabled = FALSE;
    return CRect();
}

void CAnimFocusView::DrawCommandButton(CCommandButton* button, BOOL up, BOOL redrawUnder) {
    if (button && m_pBackBuffer) PlaceButtonDrawing(button, up, redrawUnder);
}

void CAnimFocusView::RenderFieldRect(const RECT& rect) {
    CRect r(rect), meet;
    if (!meet.IntersectRect(&r, &m_rcFieldArea)) {
        r.OffsetRect(-m_frameOffset.x, -m_frameOffset.y);
        Render(&r, TRUE);
        return;
    }
    // The part below or beside the field lies on the panel.
    CRect frameWindow(m_rcFrame.left, m_rcFrame.top, m_rcFrame.right + 1, m_rcFrame.bottom + 1), onFrame;
    if (meet != r && onFrame.IntersectRect(&r, &frameWindow)) {
        onFrame.OffsetRect(-m_frameOffset.x, -m_frameOffset.y);
        Render(&onFrame, TRUE);
    }
    meet.OffsetRect(m_rcVisible.left - m_rcFieldArea.left, m_rcVisible.top - m_rcFieldArea.top);
    Render(&meet, FALSE);
}

void CAnimFocusView::ShowCommandButton(int id, int x, int y) {
    CCommandButton* b = m_buttons.FindById(id);
    if (b == nullptr) return;
    b->m_bEnabled = TRUE;
    if (x || y) b->SetPosition(x, y);
    DrawCommandButton(b, TRUE, TRUE);
    RenderFieldRect(b->GetRect());
}

void CAnimFocusView::HideCommandButton(int id) {
    CCommandButton* b = m_buttons.FindById(id);
    if (b == nullptr) return;
    b->m_bEnabled = FALSE;
    CRect r = b->GetRect(), meet;
    const bool onField = meet.IntersectRect(&r, &m_rcFieldArea);
    if (onField) RedrawRect(&meet, &VisibleIcons(), FALSE, FALSE);
    if (!onField || meet != r) {
        r.OffsetRect(-m_frameOffset.x, -m_frameOffset.y);
        ComposeFrame(&r, &m_frameIcons);
    }
    RenderFieldRect(b->GetRect());
}

void CAnimFocusView::PlaceCommandButton(int id, int x, int y) {
    CCommandButton* b = m_buttons.FindById(id);
    if (b == nullptr) return;
    if (x || y) b->SetPosition(x, y);
    DrawCommandButton(b, !b->m_bPressed, TRUE);
}

void CAnimFocusView::RedrawButtonRange(int first, int last) {
    for (POSITION pos = m_buttons.GetHeadPosition(); pos;) {
        CCommandButton* b = static_cast<CCommandButton*>(m_buttons.GetNext(pos));
        if (b->GetId() >= first && b->GetId() <= last) DrawCommandButton(b, !b->m_bPressed, TRUE);
    }
}

const CRect* CAnimFocusView::SetButtonState(int id, BOOL up, BOOL redrawAll, BOOL render) {
    static CRect result;
    if (m_bFullWindow) {
        const CRect* r = CAnimView::SetButtonState(id, up, redrawAll, render);
        if (r == nullptr) return nullptr;
        result = *r;
        return &result;
    }
    if (!m_pBackBuffer) return nullptr;
    result = CRect(0, 0, 1, 1);
    if (id == 0 || id == -1) {
        for (POSITION pos = m_buttons.GetHeadPosition(); pos;) {
            CCommandButton* b = static_cast<CCommandButton*>(m_buttons.GetNext(pos));
            CRect drawn = PlaceButtonDrawing(b, id == 0 ? TRUE : !b->m_bPressed, id == -1);
            if (render && id == -1 && !drawn.IsRectEmpty()) RenderFieldRect(drawn);
        }
        return &result;
    }
    CCommandButton* b = m_buttons.FindById(id);
    if (b == nullptr || !b->m_bEnabled) return &result;
    b->m_bPressed = !up;
    if (!redrawAll) {
        CRect drawn = PlaceButtonDrawing(b, up, TRUE);
        if (render && !drawn.IsRectEmpty()) RenderFieldRect(drawn);
        result = b->GetRect();
        return &result;
    }
    RedrawRect(nullptr, nullptr, TRUE, FALSE);
    ComposeFrame(nullptr, &m_frameIcons);
    CollectVisibleIcons();
    m_buttons.SortByOrder();
    for (POSITION pos = m_buttons.GetHeadPosition(); pos;) {
        CCommandButton* other = static_cast<CCommandButton*>(m_buttons.GetNext(pos));
        PlaceButtonDrawing(other, other == b ? up : TRUE, FALSE);
    }
    Render(nullptr, FALSE);
    return &result;
}

void CAnimFocusView::TrackCommandButton(int x, int y, int heldId, BOOL redrawAll) {
    CCommandButton* under = m_buttons.HitTest(x, y, TRUE);
    int id = under ? under->GetId() : -1;
    if (id == m_nHighlightedButton) return;
    if (m_nHighlightedButton != -1) SetButtonState(m_nHighlightedButton, TRUE, redrawAll, TRUE);
    m_nHighlightedButton = id;
    if (id != -1 && (heldId == 0 || heldId == id)) SetButtonState(id, FALSE, redrawAll, TRUE);
}

BOOL CAnimFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    cs.dwExStyle |= WS_EX_TOPMOST;
    cs.style = WS_CAPTION | WS_SYSMENU | FWS_ADDTOTITLE;
    cs.x = 150;
    cs.y = 150;
    cs.cx = 300;
    cs.cy = 200;
    return CFrameWnd::PreCreateWindow(cs);
}
