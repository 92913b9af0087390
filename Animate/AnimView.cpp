#include "Animate/AnimView.h"

#include "platform/win/Win.h"
#include "core/Helpers.h"

IMPLEMENT_DYNCREATE(CAnimView, COSBView)

CSprite* CAnimView::s_pFallbackSprite = nullptr;

namespace {

// The walking and standing sequences every icon starts with. A step is
// {-, -, -, column, row, -}; {0, 0, 0, -1, -1, 0} ends a sequence.
struct SequenceTables {
    CAnimStep walk[kAnimFacings][7];
    CAnimStep fight[kAnimFacings][7];
    CAnimStep still[2];
    SequenceTables() {
        const int walkRows[6] = {0, 1, 0, 1, 0, 1};
        const int fightRows[6] = {3, 3, 2, 3, 2, 3};
        for (int f = 0; f < kAnimFacings; ++f) {
            for (int i = 0; i < 6; ++i) {
                walk[f][i] = CAnimStep{{-1, -1, -1}, f, walkRows[i], 0};
                fight[f][i] = CAnimStep{{-1, -1, -1}, f, fightRows[i], 0};
            }
            walk[f][6] = fight[f][6] = CAnimStep{{0, 0, 0}, -1, -1, 0};
        }
        still[0] = CAnimStep{{-1, -1, -1}, 0, 4, 0};
        still[1] = CAnimStep{{0, 0, 0}, -1, -1, 0};
    }
};

const SequenceTables& Sequences() {
    static const SequenceTables tables;
    return tables;
}

constexpr int kDefaultSequence = 4 * kAnimFacings + 0;

}  // namespace

CAnimView::CAnimView() {
    m_icons.SetOwnerView(this);
    InitSequenceTables();
}

CAnimView::~CAnimView() {
    m_icons.DeleteAll();
    m_buttons.DeleteAll();
    m_sprites.DeleteAll();
    m_alphaSprites.DeleteAll();
}

void CAnimView::InitSequenceTables() {
    const SequenceTables& t = Sequences();
    for (auto& s : m_sequences) s = nullptr;
    for (int f = 0; f < kAnimFacings; ++f) {
        m_sequences[0 * kAnimFacings + f] = t.walk[f];
        m_sequences[2 * kAnimFacings + f] = t.fight[f];
    }
    m_sequences[kDefaultSequence] = t.still;
}

BOOL CAnimView::PreCreateWindow(CREATESTRUCT& cs) {
    CDC dc(GetParent());
    m_nScreenWidth = dc.GetDeviceCaps(HORZRES);
    m_nScreenHeight = dc.GetDeviceCaps(VERTRES);
    m_nColourDepth = dc.GetDeviceCaps(BITSPIXEL);
    return COSBView::PreCreateWindow(cs);
}

void CAnimView::OnInitialUpdate() {
    CDC dc(this);
    m_nColourDepth = dc.GetDeviceCaps(BITSPIXEL);
    m_nViewValues[4] = -1;
    m_icons.DeleteAll();
    m_sprites.DeleteAll();
    m_buttons.DeleteAll();
    if (CFrameWnd* frame = GetParentFrame()) frame->RecalcLayout();
    m_icons.SetOwnerView(this);
}

void CAnimView::OnDraw(CDC*) { Render(nullptr, FALSE); }

BOOL CAnimView::LoadBackground(const char* name, BOOL fitFrame, BOOL render, BOOL redraw) {
    CDIB picture;
    if (!picture.LoadPicture(m_nColourDepth, name, nullptr)) return FALSE;
    if (m_nColourDepth > 8 && picture.GetBitCount() == 8 && !picture.ConvertTo24Bit()) return FALSE;
    if (!CreateBackBuffer(&picture)) return FALSE;
    // Take over the rows rather than copying a screen-sized picture.
    m_background.Swap(picture);
    m_background.SetDepth(m_nColourDepth);
    if (m_background.PictureWidth() > m_nScreenWidth || m_background.PictureHeight() > m_nScreenHeight)
        m_bFullWindow = FALSE;
    if (fitFrame) {
        if (CFrameWnd* frame = GetParentFrame()) {
            frame->RecalcLayout();
            CRect wr;
            frame->GetWindowRect(&wr);
            frame->MoveWindow(wr.left, wr.top, m_background.PictureWidth(), m_background.PictureHeight());
            frame->CenterWindow();
        }
    }
    if (redraw) RedrawRect(nullptr, nullptr);
    if (render) Render(nullptr, FALSE);
    return TRUE;
}

void CAnimView::RedrawRect(const RECT* r, CIconList* icons) {
    ComposeArea(m_background, m_pBackBuffer.get(), r, icons, FALSE);
}

void CAnimView::DrawBackground(const RECT* r) { ComposeArea(m_background, m_pBackBuffer.get(), r, nullptr, FALSE); }

CIcon* CAnimView::AddIcon(CSprite* sprite, int x, int y, int id, BOOL staticPicture, UINT state, int fl, int ft, int fr,
                          int fb, CIconList* list) {
    CIcon* icon = new CIcon(sprite, CRect(fl, ft, fr, fb), state, sprite ? sprite->GetWidth() : 0,
                            sprite ? sprite->GetHeight() : 0);
    icon->SetPosition(x, y, TRUE);
    icon->SetDepth(32767 - (y + fb), FALSE);
    icon->m_nId = id;
    icon->m_bStatic = staticPicture;
    icon->SetSequenceTable(m_sequences, m_sequences[kDefaultSequence]);
    (list ? list : &m_icons)->Insert(icon);
    return icon;
}

void CAnimView::DrawAllSprites(BOOL withButtons) {
    m_flushed.assign(m_dirty.begin(), m_dirty.end());
    m_dirty.clear();
    if (m_pBackBuffer) CoalesceFlush(m_flushed, m_background.PictureRect());
    if (m_pBackBuffer) ComposeAreas(m_background, m_pBackBuffer.get(), m_flushed, &m_icons, FALSE);
    if (withButtons) SetButtonState(0, TRUE, FALSE, TRUE);
    RenderAll(m_flushed);
}

const CRect* CAnimView::DrawOneButton(CCommandButton* b, BOOL up, BOOL render) {
    static CRect drawn;
    drawn = b->GetRect();
    DrawBackground(&drawn);
    b->Draw(m_pBackBuffer.get(), up);
    if (render) Render(&drawn, FALSE);
    return &drawn;
}

const CRect* CAnimView::SetButtonState(int id, BOOL up, BOOL redrawAll, BOOL render) {
    static CRect none;
    if (!m_pBackBuffer) return nullptr;
    none = CRect(0, 0, 1, 1);
    if (id == 0) {
        m_buttons.DrawAll(m_pBackBuffer.get());
        return &none;
    }
    if (id == -1) {
        for (POSITION pos = m_buttons.GetHeadPosition(); pos;) {
            CCommandButton* b = static_cast<CCommandButton*>(m_buttons.GetNext(pos));
            if (!b->m_bEnabled) continue;
            CRect r = b->GetRect();
            RedrawRect(&r, &m_icons);
            b->Draw(m_pBackBuffer.get(), !b->m_bPressed);
            if (render) Render(&r, FALSE);
        }
        return &none;
    }
    CCommandButton* b = m_buttons.FindById(id);
    if (b == nullptr || !b->m_bEnabled) return &none;
    b->m_bPressed = !up;
    if (!redrawAll) return DrawOneButton(b, up, render);
    DrawBackground(nullptr);
    m_buttons.SortByOrder();
    for (POSITION pos = m_buttons.GetHeadPosition(); pos;) {
        CCommandButton* other = static_cast<CCommandButton*>(m_buttons.GetNext(pos));
        other->Draw(m_pBackBuffer.get(), other == b ? up : TRUE);
    }
    Render(nullptr, FALSE);
    return &none;
}

void CAnimView::DrawButtons(int id, BOOL up) {
    if (!m_pBackBuffer) return;
    for (POSITION pos = m_buttons.GetHeadPosition(); pos;) {
        CCommandButton* b = static_cast<CCommandButton*>(m_buttons.GetNext(pos));
        if (b->m_bEnabled && (id == 0 || b->GetId() == id)) b->Draw(m_pBackBuffer.get(), up);
    }
}

CCommandButton* CAnimView::AddCommandButton(int id, const char* baseName, int x, int y, BOOL enabled, int orderKey) {
    CCommandButton* b = new CCommandButton(id, baseName, x, y, orderKey);
    b->m_bEnabled = enabled;
    m_buttons.Add(b);
    return b;
}

CSprite* CAnimView::LoadSpriteSet(const char* name, BOOL plain, int id, int columns, int rows, int alpha) {
    auto make = [plain]() -> CSprite* { return plain ? new CSprite : new CPhasedSprite; };
    CSprite* mask = nullptr;
    CString file(name);
    if (alpha == 0 && file.GetLength() > 4) {
        CString maskName = file.Left(file.GetLength() - 4) + " Alpha" + file.Right(4);
        mask = make();
        if (mask->LoadPicture(maskName, m_nColourDepth, nullptr)) {
            mask->SetId(id);
            m_alphaSprites.InsertByDepth(mask);
        } else {
            ShowMessage("%s cannot be loaded!", maskName.GetString());
            delete mask;
            mask = nullptr;
        }
    } else if (alpha != -1 && alpha != 0) {
        mask = m_alphaSprites.Find(alpha);
    }
    CSprite* sprite = make();
    if (!sprite->LoadPicture(name, m_nColourDepth, nullptr)) {
        ShowMessage("%s cannot be loaded!", name);
        delete sprite;
        return nullptr;
    }
    sprite->SetId(id);
    sprite->Move(0, 0, TRUE);
    sprite->SetDepth(0);
    sprite->SetAlphaMask(mask);
    if (auto* phased = DYNAMIC_DOWNCAST(CPhasedSprite, sprite)) {
        phased->SetColumnCount(columns);
        phased->SetRowCount(rows);
    }
    m_sprites.InsertByDepth(sprite);
    return sprite;
}

CSprite* CAnimView::LoadRLESprite(const char* name, int id, int rows, int columns) {
    CDIB picture;
    if (!picture.LoadPicture(m_nColourDepth, name, nullptr)) {
        ShowMessage("ERROR: could not load image \"%s\"", name);
        return s_pFallbackSprite;
    }
    RLESprite* sprite = new RLESprite;
    sprite->Encode(picture, rows, columns);
    sprite->SetId(id);
    m_sprites.InsertByDepth(sprite);
    return sprite;
}
