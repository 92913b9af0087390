// CWnd: a window of the game. Windows form a tree (a frame holds its view, a
// dialog its controls); top-level windows are stacked, the last shown on
// top. A window has no border or caption: its client area is all of it.
//
// Messages reach a window through WindowProc, which calls the virtual OnXxx
// handler for each message number; a derived class overrides the handlers it
// needs (the rest fall to DefWindowProc, which does nothing). Mouse
// positions are in client coordinates.
//
// Drawing: a window draws into its own surface (GetSurface, the size of the
// client area, created on first use) and presents what it changed with
// PresentRects. The layer composes the screen from all windows.
//
// Ownership: a window never deletes itself unless PostNcDestroy says so
// (frames and views do); DestroyWindow removes it from the screen and from
// the queue and destroys its children first. A window destroyed before its
// Create returns gets no PostNcDestroy: after a failed Create the object is
// always the caller's to delete.
#pragma once

#include <vector>

#include "platform/afx/Object.h"
#include "platform/afx/Rect.h"
#include "platform/afx/String.h"
#include "platform/win/Display.h"
#include "platform/win/WinDefs.h"

class CWnd;

// A drawing context: which window (or the screen) and its capabilities. The
// pixels are reached through the window's surface.
class CDC {
public:
    explicit CDC(CWnd* wnd = nullptr) : m_pWnd(wnd) {}
    virtual ~CDC() = default;
    CWnd* GetWindow() const { return m_pWnd; }
    // BITSPIXEL, HORZRES and VERTRES (the current mode of the screen),
    // RASTERCAPS (never a palette display), PLANES (1).
    int GetDeviceCaps(int index) const;
    // The window's client rectangle (the screen without a window).
    int GetClipBox(LPRECT rect) const;

protected:
    CWnd* m_pWnd;
};

// The context of a window's client area.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd) : CDC(wnd) {}
};

// The context handed to OnPaint/OnDraw; constructing it validates the window.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
};

class CWnd : public CObject {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;  // this, while the window exists
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Creation: PreCreateWindow may change the structure or refuse (FALSE);
    // then the window exists, gets WM_CREATE (OnCreate returning -1 destroys
    // it again and Create fails) and, when visible, is shown. TRUE only when
    // the window still exists at the end.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id, void* context = nullptr);
    BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, void* context = nullptr);
    virtual BOOL DestroyWindow();
    // Called after the window is gone; frames delete themselves here.
    virtual void PostNcDestroy() {}

    // Message handling.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Seen before dispatch by the loops of the application and of modal
    // dialogs; TRUE swallows the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The message being handled (for Default()).
    LRESULT Default();

    // Geometry. Window rectangles are in screen coordinates, client ones
    // start at 0, 0.
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    void CenterWindow(CWnd* alternateOwner = nullptr);
    void ClientToScreen(LPPOINT p) const;
    void ClientToScreen(LPRECT r) const;
    void ScreenToClient(LPPOINT p) const;
    void ScreenToClient(LPRECT r) const;

    // State.
    BOOL ShowWindow(int cmd);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const { return m_bEnabled; }
    void BringWindowToTop();
    CWnd* SetFocus();
    CWnd* SetCapture();
    static CWnd* GetFocus();
    static CWnd* GetCapture();
    CWnd* GetParent() const { return m_pParent; }
    class CFrameWnd* GetParentFrame() const;
    CWnd* GetTopLevelParent() const;
    DWORD GetStyle() const { return m_style; }
    DWORD GetExStyle() const { return m_exStyle; }
    void SetWindowText(LPCSTR text) { m_text = text; }
    CString GetWindowText() const { return m_text; }
    UINT GetDlgCtrlID() const { return m_id; }
    bool IsChildOf(const CWnd* ancestor) const;  // true for the window itself
    const std::vector<CWnd*>& GetChildren() const { return m_children; }

    // Painting: invalid windows get WM_PAINT when the queue is empty.
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void ValidateRect(LPCRECT rect);
    void UpdateWindow();
    CDC* GetDC();
    int ReleaseDC(CDC* dc);

    // Timers of this window.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT_PTR id);

    // The window's pixels (client size; created black on first use).
    CPixelSurface& GetSurface();
    // Shows the given client rectangles of the surface (none: all of it).
    void PresentRects(const CRect* rects = nullptr, int count = 0);
    // Draws this window and its children into the screen within `clip`
    // (screen coordinates); used by the compositor.
    void ComposeInto(CPixelSurface& screen, const CRect& clip) const;
    // Whether ComposeInto writes every pixel of `clip`: the window is shown
    // and its surface, or that of a window inside it, spans the clip (the
    // screen need not be cleared there).
    bool ComposesWhole(const CRect& clip) const;

    // Accepting dropped files is remembered, nothing more.
    void DragAcceptFiles(BOOL accept = TRUE) { m_bAcceptFiles = accept; }

    // The window that lies at a screen point, searching children first;
    // invisible windows are skipped.
    CWnd* ChildWindowFromScreenPoint(POINT screen);

protected:
    // The handlers WindowProc calls. Defaults do nothing but Default().
    virtual int OnCreate(CREATESTRUCT* cs);
    virtual void OnDestroy();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC* dc);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnMove(int x, int y);
    virtual void OnSetFocus(CWnd* oldWnd);
    virtual void OnKillFocus(CWnd* newWnd);
    virtual void OnClose();
    virtual void OnTimer(UINT_PTR id);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnRButtonDown(UINT flags, CPoint point);
    virtual void OnRButtonUp(UINT flags, CPoint point);
    virtual void OnRButtonDblClk(UINT flags, CPoint point);
    virtual void OnMButtonDown(UINT flags, CPoint point);
    virtual void OnMButtonUp(UINT flags, CPoint point);
    virtual void OnMButtonDblClk(UINT flags, CPoint point);
    virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint screenPoint);
    virtual void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    virtual void OnKeyUp(UINT ch, UINT repeat, UINT flags);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnCaptureChanged(CWnd* wnd);

    // Leaves the window tree and queue; used by DestroyWindow.
    void DetachWindow();
    const MSG* GetCurrentMessage() const { return &m_current; }

    CWnd* m_pParent = nullptr;
    std::vector<CWnd*> m_children;
    CRect m_rect;  // window rectangle in the parent's client coordinates (screen for top level)
    DWORD m_style = 0;
    DWORD m_exStyle = 0;
    UINT m_id = 0;
    BOOL m_bEnabled = TRUE;
    BOOL m_bVisible = FALSE;
    BOOL m_bAcceptFiles = FALSE;
    bool m_bCreating = false;  // inside Create: destruction leaves the object alone
    CString m_text;
    CPixelSurface m_surface;
    MSG m_current;  // the message WindowProc is handling
};

// Top-level windows, bottom first.
const std::vector<CWnd*>& AfxGetTopLevelWindows();
