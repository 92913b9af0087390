#include "shell/ViewStandIn.h"

#include "shell/Helpers.h"

#include <algorithm>
#include <cctype>
#include <cstring>

IMPLEMENT_DYNAMIC(CShellViewStandIn, CView)

namespace {
// The transparent key of a picture: its pixel (0, 0).
bool IsKeyPixel(const CDIB& pic, int x, int y) {
    const BYTE* p = pic.GetPixelAddress(x, y);
    const BYTE* k = pic.GetPixelAddress(0, 0);
    if (!p || !k) return true;
    if (pic.GetBitCount() == 8) return *p == *k;
    return p[0] == k[0] && p[1] == k[1] && p[2] == k[2];
}

int32_t KeyOf(const CDIB& pic) {
    const BYTE* k = pic.GetPixelAddress(0, 0);
    if (!k) return DIB_NO_KEY;
    if (pic.GetBitCount() == 8) return int32_t(*k) | DIB_INDEX_KEY;
    return int32_t(k[0]) | (int32_t(k[1]) << 8) | (int32_t(k[2]) << 16);
}

int GlyphOf(char ch) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (std::isalpha(c)) return std::toupper(c) - 'A';
    if (std::isdigit(c)) return 26 + (c - '0');
    return -1;
}
}  // namespace

CShellViewStandIn::CShellViewStandIn() = default;
CShellViewStandIn::~CShellViewStandIn() = default;

BOOL CShellViewStandIn::PreCreateWindow(CREATESTRUCT& cs) {
    CClientDC dc(cs.hwndParent);
    m_nScreenWidth = dc.GetDeviceCaps(HORZRES);
    m_nScreenHeight = dc.GetDeviceCaps(VERTRES);
    m_nColorDepth = dc.GetDeviceCaps(BITSPIXEL);
    return CView::PreCreateWindow(cs);
}

void CShellViewStandIn::OnDraw(CDC*) { Render(nullptr); }

BOOL CShellViewStandIn::LoadBackground(const char* name, BOOL, BOOL render, BOOL redraw) {
    CDIB pic;
    if (!pic.LoadPicture(24, name)) return FALSE;
    if (pic.GetBitCount() == 8 && !pic.ConvertTo24Bit()) return FALSE;
    if (!m_background.CreateEmpty(pic.GetWidth(), pic.GetHeight())) return FALSE;
    pic.Copy(&m_background, 0, 0, pic.GetWidth(), pic.GetHeight(), 0, 0, DIB_NO_KEY);
    if (!m_backBuffer.CreateEmpty(pic.GetWidth(), pic.GetHeight())) return FALSE;
    m_bFullWindow = pic.GetWidth() <= m_nScreenWidth && pic.GetHeight() <= m_nScreenHeight;
    if (redraw) RedrawRect(nullptr);
    if (render) Render(nullptr);
    return TRUE;
}

void CShellViewStandIn::RedrawRect(const CRect* r) {
    if (m_backBuffer.IsEmpty() || m_background.IsEmpty()) return;
    CRect area = m_background.GetRect();
    if (r) area &= *r;
    if (area.IsRectEmpty()) return;
    m_background.Copy(&m_backBuffer, area.left, area.top, area.Width(), area.Height(), area.left, area.top,
                      DIB_NO_KEY);
}

void CShellViewStandIn::FillRect(const CRect& r, COLORREF rgb) {
    if (m_backBuffer.IsEmpty()) return;
    CRect area = r & m_backBuffer.GetRect();
    m_backBuffer.TintRect(rgb, 1.0, area.Width(), area.Height(), area.left, area.top);
}

void CShellViewStandIn::Render(const CRect* r) {
    if (!m_hWnd) return;
    CPixelSurface& surface = GetSurface();
    CRect client;
    GetClientRect(&client);
    CRect area = r ? (CRect(*r) & client) : client;
    if (area.IsRectEmpty()) return;
    if (!m_backBuffer.IsEmpty()) {
        surface.BlitBGR24(area.left, area.top, m_backBuffer.GetBits(), m_backBuffer.GetWidth(),
                          m_backBuffer.GetHeight(), int(m_backBuffer.GetStride()), true, area.left, area.top,
                          area.Width(), area.Height());
    }
    PresentRects(&area, 1);
}

void CShellViewStandIn::AddCommandButton(int id, const char* baseName, int x, int y, int orderKey, BOOL enabled) {
    auto b = std::make_unique<Button>();
    b->id = id;
    b->up = CString(baseName) + " Up.giz";
    b->down = CString(baseName) + " Dn.giz";
    b->x = x;
    b->y = y;
    b->order = orderKey == -1 ? y : orderKey;
    b->enabled = enabled;
    b->rect = CRect(x, y, x + 36, y + 36);
    m_buttons.push_back(std::move(b));
}

BOOL CShellViewStandIn::LoadCommandButtons(const char* folder) {
    for (auto& b : m_buttons) {
        auto up = std::make_unique<CDIB>();
        auto down = std::make_unique<CDIB>();
        if (!up->LoadPicture(24, CString(folder) + b->up) || !down->LoadPicture(24, CString(folder) + b->down)) {
            b->upPic.reset();
            b->downPic.reset();
            ShowMessage("ERROR: ERROR: Some Command Buttons could not be loaded.\n  See InitCommandButtons \n%s%s",
                        folder, (const char*)b->up);
            return FALSE;
        }
        b->rect = CRect(b->x, b->y, b->x + up->GetWidth(), b->y + up->GetHeight());
        b->upPic = std::move(up);
        b->downPic = std::move(down);
    }
    return TRUE;
}

void CShellViewStandIn::RemoveAllButtons() { m_buttons.clear(); }

int CShellViewStandIn::HitTestButton(CPoint p, BOOL rectOnly) const {
    for (const auto& b : m_buttons) {
        if (!b->enabled) continue;
        if (rectOnly) {
            if (b->rect.PtInRect(p)) return b->id;
            continue;
        }
        if (p.x <= b->rect.left || p.y <= b->rect.top || p.x >= b->rect.right || p.y >= b->rect.bottom) continue;
        if (b->upPic && !IsKeyPixel(*b->upPic, p.x - b->rect.left, p.y - b->rect.top)) return b->id;
    }
    return 0;
}

const CShellViewStandIn::Button* CShellViewStandIn::FindButton(int id) const {
    for (const auto& b : m_buttons)
        if (b->id == id) return b.get();
    return nullptr;
}

void CShellViewStandIn::DrawButton(const Button& b, BOOL up) {
    CDIB* pic = up ? b.upPic.get() : b.downPic.get();
    if (!b.enabled || !pic || m_backBuffer.IsEmpty()) return;
    pic->Copy(&m_backBuffer, b.rect.left, b.rect.top, b.rect.Width(), b.rect.Height(), 0, 0, KeyOf(*pic));
}

CRect CShellViewStandIn::SetButtonState(int id, BOOL up, BOOL, BOOL render) {
    if (id == 0) {
        for (const auto& b : m_buttons) DrawButton(*b, TRUE);
        return CRect(0, 0, 1, 1);
    }
    Button* b = const_cast<Button*>(FindButton(id));
    if (!b || !b->enabled) return CRect(0, 0, 1, 1);
    b->pressed = !up;
    RedrawRect(&b->rect);
    DrawButton(*b, up);
    if (render) Render(&b->rect);
    return b->rect;
}

BOOL CShellViewStandIn::LoadLetterSet(const char* path) {
    CDIB pic;
    if (!pic.LoadPicture(24, path)) return FALSE;
    if (pic.GetBitCount() == 8 && !pic.ConvertTo24Bit()) return FALSE;
    if (!m_letterSet.CreateEmpty(pic.GetWidth(), pic.GetHeight())) return FALSE;
    pic.Copy(&m_letterSet, 0, 0, pic.GetWidth(), pic.GetHeight(), 0, 0, DIB_NO_KEY);
    m_nLetterWidth = std::max(1, pic.GetWidth() / 55);
    m_nLetterHeight = std::max(1, pic.GetHeight());
    return TRUE;
}

CRect CShellViewStandIn::DrawLetterText(const char* text, int x, int y) {
    int cx = x, cy = y, widest = 0, lines = 1;
    for (const char* c = text; *c; ++c) {
        if (*c == '\n') {
            cy += m_nLetterHeight;
            cx = x;
            ++lines;
            continue;
        }
        int glyph = GlyphOf(*c);
        if (glyph >= 0 && !m_letterSet.IsEmpty() && !m_backBuffer.IsEmpty()) {
            int32_t key = KeyOf(m_letterSet);
            CRect cell(cx, cy, cx + m_nLetterWidth, cy + m_nLetterHeight);
            CRect clip = cell & m_backBuffer.GetRect();
            if (!clip.IsRectEmpty())
                m_letterSet.Copy(&m_backBuffer, clip.left, clip.top, clip.Width(), clip.Height(),
                                 glyph * m_nLetterWidth + (clip.left - cell.left), clip.top - cell.top, key);
        }
        cx += m_nLetterWidth;
        widest = std::max(widest, cx - x);
    }
    return CRect(x, y, x + widest, y + lines * m_nLetterHeight);
}
