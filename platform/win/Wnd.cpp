#include "platform/win/Wnd.h"

#include <algorithm>

#include "platform/win/FrameWnd.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/WinApp.h"

IMPLEMENT_DYNAMIC(CWnd, CObject)

namespace {
std::vector<CWnd*>& TopLevel() {
    static std::vector<CWnd*> windows;
    return windows;
}

CPoint PointOf(LPARAM lParam) { return CPoint(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam))); }
}  // namespace

const std::vector<CWnd*>& AfxGetTopLevelWindows() { return TopLevel(); }

int CDC::GetDeviceCaps(int index) const {
    switch (index) {
    case BITSPIXEL: return AfxGetCurrentMode().bitsPerPixel > 0 ? AfxGetCurrentMode().bitsPerPixel : 32;
    case PLANES: return 1;
    case HORZRES: return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return GetSystemMetrics(SM_CYSCREEN);
    case RASTERCAPS: return 0;
    default: return 0;
    }
}

int CDC::GetClipBox(LPRECT rect) const {
    if (!rect) return 0;
    if (m_pWnd) m_pWnd->GetClientRect(rect);
    else *rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return 1;
}

CPaintDC::CPaintDC(CWnd* wnd) : CDC(wnd) {
    if (wnd) wnd->ValidateRect(nullptr);
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd) DestroyWindow();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  void* context) {
    return CreateEx(0, className, windowName, style, rect, parent, id, context);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, void* context) {
    if (m_hWnd) return FALSE;
    CREATESTRUCT cs;
    cs.lpCreateParams = context;
    cs.hwndParent = parent;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.style = LONG(style);
    cs.dwExStyle = exStyle;
    cs.lpszName = windowName;
    cs.lpszClass = className;
    if (!PreCreateWindow(cs)) return FALSE;

    m_hWnd = this;
    m_pParent = (DWORD(cs.style) & WS_CHILD) ? static_cast<CWnd*>(cs.hwndParent) : nullptr;
    m_style = DWORD(cs.style);
    m_exStyle = cs.dwExStyle;
    m_id = id;
    m_text = cs.lpszName ? cs.lpszName : "";
    m_rect = CRect(cs.x, cs.y, cs.x + std::max(0, cs.cx), cs.y + std::max(0, cs.cy));
    m_bEnabled = (m_style & WS_DISABLED) ? FALSE : TRUE;
    m_bVisible = FALSE;
    AfxRegisterWindow(this);
    if (m_pParent) m_pParent->m_children.push_back(this);
    else TopLevel().push_back(this);

    m_bCreating = true;
    if (WindowProc(WM_CREATE, 0, LPARAM(&cs)) == -1) DestroyWindow();
    if (m_hWnd) WindowProc(WM_SIZE, SIZE_RESTORED, MAKELONG(m_rect.Width(), m_rect.Height()));
    if (m_hWnd && (m_style & WS_VISIBLE)) ShowWindow(SW_SHOW);
    m_bCreating = false;
    return m_hWnd ? TRUE : FALSE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    // Children go first, newest first, so they can still reach their parent.
    while (!m_children.empty()) {
        CWnd* child = m_children.back();
        if (!child->DestroyWindow()) std::erase(m_children, child);
    }
    bool wasMain = AfxGetApp() && AfxGetApp()->m_pMainWnd == this;
    WindowProc(WM_DESTROY, 0, 0);
    CRect screenRect;
    GetWindowRect(&screenRect);
    bool wasVisible = IsWindowVisible();
    DetachWindow();
    if (wasVisible) AfxPresentScreen(&screenRect, 1);
    if (wasMain) {
        AfxGetApp()->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    // A window that never finished its Create stays its caller's object.
    if (!m_bCreating) PostNcDestroy();  // may delete this
    return TRUE;
}

void CWnd::DetachWindow() {
    if (m_pParent) std::erase(m_pParent->m_children, this);
    else std::erase(TopLevel(), this);
    AfxUnregisterWindow(this);
    m_hWnd = nullptr;
    m_bVisible = FALSE;
    m_pParent = nullptr;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    MSG saved = m_current;
    m_current = MSG{this, message, wParam, lParam, 0, POINT{0, 0}};
    LRESULT result = 0;
    switch (message) {
    case WM_CREATE: result = OnCreate(reinterpret_cast<CREATESTRUCT*>(lParam)); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_PAINT: OnPaint(); break;
    case WM_ERASEBKGND: result = OnEraseBkgnd(reinterpret_cast<CDC*>(wParam)); break;
    case WM_SIZE: OnSize(UINT(wParam), LOWORD(lParam), HIWORD(lParam)); break;
    case WM_MOVE: OnMove(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam))); break;
    case WM_SETFOCUS: OnSetFocus(reinterpret_cast<CWnd*>(wParam)); break;
    case WM_KILLFOCUS: OnKillFocus(reinterpret_cast<CWnd*>(wParam)); break;
    case WM_CLOSE: OnClose(); break;
    case WM_TIMER: OnTimer(UINT_PTR(wParam)); break;
    case WM_MOUSEMOVE: OnMouseMove(UINT(wParam), PointOf(lParam)); break;
    case WM_LBUTTONDOWN: OnLButtonDown(UINT(wParam), PointOf(lParam)); break;
    case WM_LBUTTONUP: OnLButtonUp(UINT(wParam), PointOf(lParam)); break;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(UINT(wParam), PointOf(lParam)); break;
    case WM_RBUTTONDOWN: OnRButtonDown(UINT(wParam), PointOf(lParam)); break;
    case WM_RBUTTONUP: OnRButtonUp(UINT(wParam), PointOf(lParam)); break;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(UINT(wParam), PointOf(lParam)); break;
    case WM_MBUTTONDOWN: OnMButtonDown(UINT(wParam), PointOf(lParam)); break;
    case WM_MBUTTONUP: OnMButtonUp(UINT(wParam), PointOf(lParam)); break;
    case WM_MBUTTONDBLCLK: OnMButtonDblClk(UINT(wParam), PointOf(lParam)); break;
    case WM_MOUSEWHEEL:
        result = OnMouseWheel(LOWORD(wParam), short(HIWORD(wParam)), PointOf(lParam));
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: OnKeyDown(UINT(wParam), LOWORD(lParam), HIWORD(lParam)); break;
    case WM_KEYUP:
    case WM_SYSKEYUP: OnKeyUp(UINT(wParam), LOWORD(lParam), HIWORD(lParam)); break;
    case WM_CHAR: OnChar(UINT(wParam), LOWORD(lParam), HIWORD(lParam)); break;
    case WM_COMMAND: result = OnCommand(wParam, lParam); break;
    case WM_CAPTURECHANGED: OnCaptureChanged(reinterpret_cast<CWnd*>(lParam)); break;
    default: result = DefWindowProc(message, wParam, lParam); break;
    }
    // A handler may have destroyed (and deleted) this window: then nothing
    // of it may be touched any more.
    if (AfxIsWindow(this)) m_current = saved;
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_PAINT: ValidateRect(nullptr); return 0;
    case WM_CLOSE: DestroyWindow(); return 0;
    case WM_ERASEBKGND: return 1;
    default: return 0;
    }
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam); }

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_hWnd ? ::PostMessage(m_hWnd, message, wParam, lParam) : FALSE;
}

int CWnd::OnCreate(CREATESTRUCT*) { return int(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return BOOL(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDblClk(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return BOOL(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }

void CWnd::GetClientRect(LPRECT rect) const {
    if (rect) *rect = RECT{0, 0, m_rect.Width(), m_rect.Height()};
}

void CWnd::GetWindowRect(LPRECT rect) const {
    if (!rect) return;
    CRect r = m_rect;
    if (m_pParent) {
        POINT origin{0, 0};
        m_pParent->ClientToScreen(&origin);
        r.OffsetRect(origin);
    }
    *rect = r;
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    CRect before;
    GetWindowRect(&before);
    CRect next(x, y, x + std::max(0, width), y + std::max(0, height));
    bool moved = next.TopLeft() != m_rect.TopLeft();
    bool sized = next.Size() != m_rect.Size();
    m_rect = next;
    if (!m_hWnd) return;
    if (sized && !m_surface.IsEmpty()) m_surface.Resize(m_rect.Width(), m_rect.Height());
    if (moved) WindowProc(WM_MOVE, 0, MAKELONG(WORD(int16_t(x)), WORD(int16_t(y))));
    if (sized) WindowProc(WM_SIZE, SIZE_RESTORED, MAKELONG(m_rect.Width(), m_rect.Height()));
    if (repaint && IsWindowVisible() && (moved || sized)) {
        CRect after;
        GetWindowRect(&after);
        CRect both[2] = {before, after};
        AfxPresentScreen(both, 2);
        Invalidate();
    }
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
    if (rect) MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    CWnd* owner = alternateOwner ? alternateOwner : m_pParent;
    CRect area;
    if (owner && owner->m_hWnd) {
        owner->GetWindowRect(&area);
    } else if (CWnd* main = AfxGetMainWnd(); main && main != this && main->m_hWnd) {
        main->GetWindowRect(&area);
    } else {
        area = CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    }
    int x = area.left + (area.Width() - m_rect.Width()) / 2;
    int y = area.top + (area.Height() - m_rect.Height()) / 2;
    if (m_pParent) {
        POINT p{x, y};
        m_pParent->ScreenToClient(&p);
        x = p.x, y = p.y;
    }
    MoveWindow(x, y, m_rect.Width(), m_rect.Height());
}

void CWnd::ClientToScreen(LPPOINT p) const {
    if (!p) return;
    for (const CWnd* w = this; w; w = w->m_pParent) {
        p->x += w->m_rect.left;
        p->y += w->m_rect.top;
    }
}

void CWnd::ClientToScreen(LPRECT r) const {
    if (!r) return;
    POINT o{0, 0};
    ClientToScreen(&o);
    ::OffsetRect(r, o.x, o.y);
}

void CWnd::ScreenToClient(LPPOINT p) const {
    if (!p) return;
    POINT o{0, 0};
    ClientToScreen(&o);
    p->x -= o.x;
    p->y -= o.y;
}

void CWnd::ScreenToClient(LPRECT r) const {
    if (!r) return;
    POINT o{0, 0};
    ClientToScreen(&o);
    ::OffsetRect(r, -o.x, -o.y);
}

BOOL CWnd::ShowWindow(int cmd) {
    BOOL was = m_bVisible;
    if (!m_hWnd) return was;
    m_bVisible = cmd != SW_HIDE;
    if (m_bVisible) m_style |= WS_VISIBLE;
    else m_style &= ~DWORD(WS_VISIBLE);
    if (was != m_bVisible) {
        WindowProc(WM_SHOWWINDOW, WPARAM(m_bVisible), 0);
        CRect r;
        GetWindowRect(&r);
        AfxPresentScreen(&r, 1);
        if (m_bVisible) Invalidate();
    }
    return was;
}

BOOL CWnd::IsWindowVisible() const {
    for (const CWnd* w = this; w; w = w->m_pParent)
        if (!w->m_hWnd || !w->m_bVisible) return FALSE;
    return TRUE;
}

BOOL CWnd::EnableWindow(BOOL enable) {
    BOOL wasDisabled = !m_bEnabled;
    m_bEnabled = enable ? TRUE : FALSE;
    if (m_hWnd && wasDisabled == BOOL(m_bEnabled)) WindowProc(WM_ENABLE, WPARAM(m_bEnabled), 0);
    return wasDisabled;
}

void CWnd::BringWindowToTop() {
    CWnd* top = GetTopLevelParent();
    if (!top || !top->m_hWnd) return;
    auto& tops = TopLevel();
    auto it = std::find(tops.begin(), tops.end(), top);
    if (it == tops.end() || it + 1 == tops.end()) return;
    // A topmost window stays above the others.
    tops.erase(it);
    auto pos = tops.end();
    if (!(top->m_exStyle & WS_EX_TOPMOST))
        while (pos != tops.begin() && ((*(pos - 1))->m_exStyle & WS_EX_TOPMOST) && !AfxGetModal()) --pos;
    tops.insert(pos, top);
    CRect r;
    top->GetWindowRect(&r);
    if (top->IsWindowVisible()) AfxPresentScreen(&r, 1);
}

CWnd* CWnd::SetFocus() { return ::SetFocus(m_hWnd); }
CWnd* CWnd::SetCapture() { return ::SetCapture(m_hWnd); }
CWnd* CWnd::GetFocus() { return ::GetFocus(); }
CWnd* CWnd::GetCapture() { return ::GetCapture(); }

CFrameWnd* CWnd::GetParentFrame() const {
    for (CWnd* w = m_pParent; w; w = w->m_pParent)
        if (w->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(w);
    return nullptr;
}

CWnd* CWnd::GetTopLevelParent() const {
    const CWnd* w = this;
    while (w->m_pParent) w = w->m_pParent;
    return const_cast<CWnd*>(w);
}

bool CWnd::IsChildOf(const CWnd* ancestor) const {
    for (const CWnd* w = this; w; w = w->m_pParent)
        if (w == ancestor) return true;
    return false;
}

void CWnd::Invalidate(BOOL erase) { InvalidateRect(nullptr, erase); }

void CWnd::InvalidateRect(LPCRECT, BOOL) {
    if (m_hWnd) AfxSetPaintPending(this, true);
}

void CWnd::ValidateRect(LPCRECT) {
    if (m_hWnd) AfxSetPaintPending(this, false);
}

void CWnd::UpdateWindow() {
    MSG msg;
    if (m_hWnd && ::PeekMessage(&msg, this, WM_PAINT, WM_PAINT, PM_NOREMOVE) && msg.hwnd == this)
        WindowProc(WM_PAINT, 0, 0);
}

CDC* CWnd::GetDC() { return new CClientDC(this); }

int CWnd::ReleaseDC(CDC* dc) {
    delete dc;
    return 1;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc) { return ::SetTimer(m_hWnd, id, elapseMs, proc); }
BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

CPixelSurface& CWnd::GetSurface() {
    if (m_surface.GetWidth() != m_rect.Width() || m_surface.GetHeight() != m_rect.Height())
        m_surface.Resize(m_rect.Width(), m_rect.Height());
    return m_surface;
}

void CWnd::PresentRects(const CRect* rects, int count) {
    if (!m_hWnd || !IsWindowVisible()) return;
    CRect client;
    GetClientRect(&client);
    // Kept from call to call: showing a frame takes nothing from the heap.
    static thread_local std::vector<CRect> screen;
    screen.clear();
    if (!rects || count <= 0) {
        screen.push_back(client);
    } else {
        for (int i = 0; i < count; ++i) screen.push_back(CRect(rects[i]) & client);
    }
    for (CRect& r : screen) ClientToScreen(&r);
    std::erase_if(screen, [](const CRect& r) { return r.IsRectEmpty(); });
    if (!screen.empty()) AfxPresentScreen(screen.data(), int(screen.size()));
}

void CWnd::ComposeInto(CPixelSurface& screen, const CRect& clip) const {
    if (!m_hWnd || !m_bVisible) return;
    CRect mine;
    GetWindowRect(&mine);
    CRect area = mine & clip;
    if (area.IsRectEmpty()) return;
    if (!m_surface.IsEmpty()) {
        for (int y = area.top; y < area.bottom; ++y) {
            int sy = y - mine.top;
            if (sy >= m_surface.GetHeight()) break;
            int x0 = area.left - mine.left;
            int n = std::min(area.Width(), m_surface.GetWidth() - x0);
            if (n <= 0) continue;
            std::copy(m_surface.GetRow(sy) + x0, m_surface.GetRow(sy) + x0 + n, screen.GetRow(y) + area.left);
        }
    }
    for (const CWnd* child : m_children) child->ComposeInto(screen, area);
}

bool CWnd::ComposesWhole(const CRect& clip) const {
    if (!m_hWnd || !m_bVisible || clip.IsRectEmpty()) return false;
    CRect mine;
    GetWindowRect(&mine);
    if ((mine & clip) != clip) return false;
    if (!m_surface.IsEmpty() && clip.right - mine.left <= m_surface.GetWidth() &&
        clip.bottom - mine.top <= m_surface.GetHeight())
        return true;
    // A frame without pixels of its own is covered by the view inside it.
    return std::any_of(m_children.begin(), m_children.end(), [&](const CWnd* c) { return c->ComposesWhole(clip); });
}

CWnd* CWnd::ChildWindowFromScreenPoint(POINT screen) {
    if (!m_hWnd || !m_bVisible) return nullptr;
    CRect mine;
    GetWindowRect(&mine);
    if (!mine.PtInRect(screen)) return nullptr;
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it)
        if (CWnd* hit = (*it)->ChildWindowFromScreenPoint(screen)) return hit;
    return this;
}
