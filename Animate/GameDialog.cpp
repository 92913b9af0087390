#include "Animate/GameDialog.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "platform/win/Win.h"
#include "core/Helpers.h"

CGameDialog::CGameDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) { m_icons.SetOwnerDialog(this); }

CGameDialog::~CGameDialog() {
    if (m_hWnd) DestroyWindow();
    m_buttons.DeleteAll();
    m_sprites.DeleteAll();
    m_icons.DeleteAll();
    delete m_pLetterSet;
}

BOOL CGameDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CDC dc(this);
    m_nColourDepth = dc.GetDeviceCaps(BITSPIXEL);
    if (m_nColourDepth <= 0) m_nColourDepth = 24;
    m_icons.SetOwnerDialog(this);
    if (m_background.IsEmpty() && !m_strBackgroundName.IsEmpty()) LoadBackground(m_strBackgroundName, FALSE);
    if (m_nTimer == 0) m_nTimer = SetTimer(m_nTimerEvent, kTimerMs);
    if (!m_background.IsEmpty()) {
        CRect wr;
        GetWindowRect(&wr);
        MoveWindow(wr.left, wr.top, m_background.PictureWidth(), m_background.PictureHeight(), FALSE);
        CenterWindow(GetParent());
    }
    DrawButton(0, TRUE, TRUE);
    PaintRect(nullptr);
    return TRUE;
}

void CGameDialog::OnTimer(UINT_PTR id) {
    if (id != m_nTimerEvent || m_pWatched == nullptr || *m_pWatched == m_nExpected) return;
    KillTimer(m_nTimerEvent);
    m_nTimer = 0;
    EndDialog(kEndedByWatch);
}

void CGameDialog::OnPaint() {
    CPaintDC dc(this);
    PaintRect(nullptr);
}

BOOL CGameDialog::LoadBackground(const char* fileName, BOOL resize) {
    CDIB picture;
    if (!picture.LoadPicture(m_nColourDepth, fileName, nullptr)) return FALSE;
    // The surface is always true colour: the screen never has a palette.
    if (picture.GetBitCount() == 8 && !picture.ConvertTo24Bit()) return FALSE;
    auto surface = std::make_unique<CDIBSurface>();
    if (!surface->Create(picture.PictureWidth(), picture.PictureHeight(), nullptr)) return FALSE;
    m_background.Swap(picture);
    m_background.SetDepth(m_nColourDepth);
    m_pSurface = std::move(surface);
    if (resize && m_hWnd) {
        CRect wr;
        GetWindowRect(&wr);
        MoveWindow(wr.left, wr.top, m_background.PictureWidth(), m_background.PictureHeight(), FALSE);
        CenterWindow(GetParent());
    }
    ComposeRect(nullptr, nullptr);
    DrawButton(0, TRUE, FALSE);
    return TRUE;
}

void CGameDialog::ComposeRect(const RECT* r, CIconList* icons) {
    ComposeArea(m_background, m_pSurface.get(), r, icons, TRUE);
}

CRect CGameDialog::BlitRect(const RECT* r, bool present) {
    if (!m_pSurface || !m_hWnd) return CRect();
    CRect area;
    if (r)
        area = *r;
    else
        GetClientRect(&area);
    area &= m_pSurface->PictureRect();
    if (area.IsRectEmpty()) return CRect();
    return GfxBlit(this, area.left, area.top, area.Width(), area.Height(), m_pSurface->AsPicture(), area.left, area.top,
                   present);
}

void CGameDialog::PaintRect(const RECT* r) { BlitRect(r, true); }

void CGameDialog::AddDirtyRect(const RECT& r) { AddMergedDirtyRect(m_dirty, r); }

void CGameDialog::FlushDirtyRects() {
    std::vector<CRect> rects(m_dirty.begin(), m_dirty.end());
    m_dirty.clear();
    ComposeAreas(m_background, m_pSurface.get(), rects, &m_icons, TRUE);
    // Shown together: one presentation for the whole flush, not one each.
    std::vector<CRect> shown;
    for (const CRect& r : rects) {
        CRect written = BlitRect(&r, false);
        if (!written.IsRectEmpty()) shown.push_back(written);
    }
    if (!shown.empty()) PresentRects(shown.data(), int(shown.size()));
}

const CRect* CGameDialog::DrawButton(int id, BOOL up, BOOL paint) {
    static CRect result;
    result = CRect(0, 0, 1, 1);
    if (!m_pSurface) return &result;
    if (id == 0) {
        m_buttons.DrawAll(m_pSurface.get());
        return &result;
    }
    CCommandButton* b = m_buttons.FindById(id);
    if (b == nullptr) return &result;
    result = b->GetRect();
    ComposeRect(&result, nullptr);
    b->Draw(m_pSurface.get(), up);
    if (paint) PaintRect(&result);
    return &result;
}

CCommandButton* CGameDialog::AddCommandButton(int id, const char* baseName, int x, int y, BOOL enabled, int orderKey) {
    CCommandButton* b = new CCommandButton(id, baseName, x, y, orderKey);
    b->m_bEnabled = enabled;
    m_buttons.Add(b);
    return b;
}

CSprite* CGameDialog::AddSprite(const char* fileName, BOOL plain, int id, int rows, int columns) {
    CSprite* sprite = plain ? new CSprite : new CPhasedSprite;
    if (!sprite->LoadPicture(fileName, m_nColourDepth, m_pPalette)) {
        ShowMessage("%s cannot be loaded!", fileName);
        delete sprite;
        return nullptr;
    }
    sprite->SetId(id);
    sprite->Move(0, 0, TRUE);
    sprite->SetDepth(0);
    if (auto* phased = DYNAMIC_DOWNCAST(CPhasedSprite, sprite)) {
        phased->SetRowCount(rows);
        phased->SetColumnCount(columns);
    }
    m_sprites.InsertByDepth(sprite);
    return sprite;
}

CIcon* CGameDialog::AddIcon(CSprite* sprite, int x, int y, int id, BOOL staticPicture, UINT value, const RECT& frame) {
    CIcon* icon = new CIcon(sprite, frame, value, sprite ? sprite->GetWidth() : 0, sprite ? sprite->GetHeight() : 0);
    icon->SetPosition(x, y, TRUE);
    icon->SetDepth(32767 - y - frame.bottom, FALSE);
    icon->m_nId = id;
    icon->m_bStatic = staticPicture;
    m_icons.Insert(icon);
    return icon;
}

void CGameDialog::FillSurfaceRect(int left, int top, int right, int bottom, DWORD colour) {
    if (m_pSurface) m_pSurface->FillPixels(CRect(left, top, right, bottom), colour);
}

BOOL CGameDialog::LoadLetterSet(const char* name) {
    FreeLetterSet();
    CString file = m_strPictureFolder + (name && *name ? name : "Letter Set") + ".giz";
    auto* set = new CPhasedSprite;
    if (!set->LoadPicture(file, m_nColourDepth, m_pPalette)) {
        delete set;
        return FALSE;
    }
    set->SetRowCount(1);
    set->SetColumnCount(kLetterSetCells);
    set->SetRow(0);
    set->SetColumn(0);
    SetLetterCellSize(set->GetWidth(), set->GetHeight());
    m_pLetterSet = set;
    return TRUE;
}

void CGameDialog::FreeLetterSet() {
    delete m_pLetterSet;
    m_pLetterSet = nullptr;
}

const CRect* CGameDialog::DrawLetterText(const char* text, int x, int y, const char* oldText, double factor) {
    static CRect covered;
    if (!m_pSurface || !m_pLetterSet) return nullptr;
    m_pLetterSet->SetRow(0);
    CRect old;
    if (oldText) {
        old = LetterTextRect(oldText, x, y);
        ComposeRect(&old, &m_icons);
    }
    DrawLetters(m_pLetterSet, m_pSurface.get(), m_background.PictureRect(), text ? text : "", x, y, factor);
    covered = LetterTextRect(text ? text : "", x, y);
    if (oldText) covered |= old;
    return &covered;
}

const CRect* CGameDialog::DrawLetterTextFormat(int x, int y, double factor, const char* oldText, const char* format,
                                                ...) {
    static char buffer[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return DrawLetterText(buffer, x, y, oldText, factor);
}

BOOL CGameDialog::DestroyWindow() {
    if (m_nTimer) {
        KillTimer(m_nTimerEvent);
        m_nTimer = 0;
    }
    m_pSurface.reset();
    m_dirty.clear();
    m_buttons.DeleteAll();
    m_sprites.DeleteAll();
    m_icons.DeleteAll();
    FreeLetterSet();
    return CDialog::DestroyWindow();
}
