#include "Animate/CommandButton.h"

#include "core/Helpers.h"

IMPLEMENT_DYNAMIC(CCommandButton, CObject)
IMPLEMENT_SERIAL(CCmbList, CObList, 0)

namespace {
const char* const kPictureExtension = ".giz";
}

CCommandButton::CCommandButton(int id, const char* baseName, int x, int y, int orderKey)
    : m_nId(id), m_x(x), m_y(y), m_home(x, y) {
    m_strUp = CString(baseName) + " Up" + kPictureExtension;
    m_strDown = CString(baseName) + " Dn" + kPictureExtension;
    m_nOrder = orderKey == -1 ? y : orderKey;
}

CCommandButton::~CCommandButton() { DropImages(); }

void CCommandButton::DropImages() {
    delete m_pUp;
    delete m_pDown;
    m_pUp = m_pDown = nullptr;
}

BOOL CCommandButton::LoadImages(const char* folder, int colourDepth, HPALETTE palette) {
    CSprite** slots[2] = {&m_pUp, &m_pDown};
    const CString* names[2] = {&m_strUp, &m_strDown};
    for (int i = 0; i < 2; ++i) {
        delete *slots[i];
        *slots[i] = new CSprite;
        CString path = CString(folder) + *names[i];
        if (!(*slots[i])->LoadPicture(path, colourDepth, palette)) {
            DropImages();
            return FALSE;
        }
        m_rect = (*slots[i])->GetBounds();
        m_rect.OffsetRect(m_x, m_y);
        (*slots[i])->Move(m_rect.left, m_rect.top, TRUE);
    }
    return TRUE;
}

BOOL CCommandButton::HitTest(int x, int y, BOOL rectOnly, BOOL needEnabled) const {
    if (needEnabled && !m_bEnabled) return FALSE;
    if (rectOnly) return m_rect.PtInRect(CPoint(x, y));
    if (!(x > m_rect.left && x < m_rect.right && y > m_rect.top && y < m_rect.bottom) || m_pUp == nullptr) return FALSE;
    const BYTE* p = m_pUp->GetPixelAddress(x - m_rect.left, y - m_rect.top);
    if (p == nullptr) return FALSE;
    if (m_pUp->GetBitCount() == 8) return p[0] != m_pUp->GetTransparentIndex();
    // A true-colour picture is keyed by its whole colour: its first byte
    // alone would make every pixel of the key's blue a miss.
    return (p[0] | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16)) != m_pUp->GetTransparentColor();
}

void CCommandButton::Draw(CDIB* target, BOOL up) { DrawAt(target, up, 0, 0); }

void CCommandButton::DrawAt(CDIB* target, BOOL up, int dx, int dy, const CRect* clip) {
    CSprite* s = up ? m_pUp : m_pDown;
    if (!m_bEnabled || s == nullptr) return;
    CRect r = m_rect;
    if (clip) r &= *clip;
    r.OffsetRect(dx, dy);
    s->Move(m_rect.left + dx, m_rect.top + dy, FALSE);
    s->Draw(target, &r, 1.0);
    s->Move(m_rect.left, m_rect.top, FALSE);
}

void CCommandButton::SetPosition(int x, int y) {
    if (m_pUp) m_pUp->Move(x, y, TRUE);
    if (m_pDown) m_pDown->Move(x, y, TRUE);
    m_rect.OffsetRect(x - m_x, y - m_y);
    m_x = x, m_y = y;
    m_home = CPoint(x, y);
    m_nOrder = y;
}

// --- list ------------------------------------------------------------------------

void CCmbList::Add(CCommandButton* button) {
    if (button) AddTail(button);
}

void CCmbList::InsertByOrder(CCommandButton* button) {
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION at = pos;
        if (static_cast<CCommandButton*>(GetNext(pos))->m_nOrder >= button->m_nOrder) {
            InsertBefore(at, button);
            return;
        }
    }
    AddTail(button);
}

void CCmbList::SortByOrder() {
    CObList all;
    while (!IsEmpty()) all.AddTail(RemoveHead());
    while (!all.IsEmpty()) InsertByOrder(static_cast<CCommandButton*>(all.RemoveHead()));
}

BOOL CCmbList::LoadAll(const char* folder, int colourDepth, HPALETTE palette) {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CCommandButton* b = static_cast<CCommandButton*>(GetNext(pos));
        if (!b->LoadImages(folder, colourDepth, palette)) {
            ShowMessage("ERROR: ERROR: Some Command Buttons could not be loaded.\n  See InitCommandButtons \n%s%s", folder,
                        b->GetUpName().GetString());
            return FALSE;
        }
    }
    return TRUE;
}

CCommandButton* CCmbList::HitTest(int x, int y, BOOL rectOnly) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CCommandButton* b = static_cast<CCommandButton*>(GetNext(pos));
        if (b->HitTest(x, y, rectOnly, TRUE)) return b;
    }
    return nullptr;
}

int CCmbList::HitTestId(int x, int y, BOOL rectOnly) const {
    CCommandButton* b = HitTest(x, y, rectOnly);
    return b ? b->GetId() : 0;
}

void CCmbList::DrawAll(CDIB* target) {
    for (POSITION pos = GetHeadPosition(); pos;) static_cast<CCommandButton*>(GetNext(pos))->Draw(target, TRUE);
}

void CCmbList::EnableButton(int id, BOOL enabled) {
    if (CCommandButton* b = FindById(id)) b->m_bEnabled = enabled;
}

CCommandButton* CCmbList::FindById(int id) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CCommandButton* b = static_cast<CCommandButton*>(GetNext(pos));
        if (b->GetId() == id) return b;
    }
    return nullptr;
}

void CCmbList::DeleteAll() {
    while (!IsEmpty()) delete RemoveHead();
}
