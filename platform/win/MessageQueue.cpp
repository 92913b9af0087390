#include "platform/win/MessageQueue.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/afx/Time.h"
#include "platform/win/Display.h"
#include "platform/win/WinApp.h"
#include "platform/win/Wnd.h"

namespace {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT period;
    DWORD last;  // when it was armed or last fired
    TIMERPROC proc;
};

struct QueueState {
    std::deque<MSG> posted;
    std::vector<Timer> timers;
    std::set<HWND> live;
    std::vector<HWND> paintPending;  // in order of invalidation
    std::vector<HWND> modal;
    HWND capture = nullptr;
    HWND focus = nullptr;
    bool quit = false;
    int quitCode = 0;
    int cursorCount = 0;
    HCURSOR cursor = nullptr;
    POINT mouse{0, 0};
    bool keys[256] = {};
    bool buttons[3] = {};
    // Double-click detection: the last press.
    int lastButton = -1;
    DWORD lastTime = 0;
    POINT lastPos{0, 0};
    HWND lastWnd = nullptr;
};

QueueState& Q() {
    static QueueState q;
    return q;
}

CursorShape g_systemCursors[] = {{IDC_ARROW}, {IDC_IBEAM}, {IDC_WAIT}, {IDC_CROSS}, {IDC_HAND}};
std::vector<std::unique_ptr<CursorShape>> g_madeCursors;
std::vector<std::unique_ptr<std::vector<uint32_t>>> g_cursorPixels;

bool InFilter(UINT message, UINT lo, UINT hi) {
    if (lo == 0 && hi == 0) return true;
    return message >= lo && message <= hi;
}

bool ForWindow(HWND target, HWND filter) { return !filter || target == filter || (target && target->IsChildOf(filter)); }

void Backend(int timeoutMs) {
    if (CDisplayBackend* b = AfxGetDisplayBackend()) b->PumpEvents(timeoutMs);
}

// The next message in retrieval order that passes the filter; removed when
// asked. Paint and timer messages are made on the spot.
bool FindMessage(LPMSG msg, HWND hwnd, UINT lo, UINT hi, bool remove) {
    QueueState& q = Q();
    DWORD now = GetTickCount();
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (!InFilter(it->message, lo, hi) || !ForWindow(it->hwnd, hwnd)) continue;
        *msg = *it;
        if (remove) q.posted.erase(it);
        return true;
    }
    if (q.quit && (InFilter(WM_QUIT, lo, hi)) && !hwnd) {
        *msg = MSG{nullptr, WM_QUIT, WPARAM(q.quitCode), 0, now, q.mouse};
        if (remove) q.quit = false;
        return true;
    }
    if (InFilter(WM_PAINT, lo, hi)) {
        for (auto it = q.paintPending.begin(); it != q.paintPending.end(); ++it) {
            if (!ForWindow(*it, hwnd)) continue;
            *msg = MSG{*it, WM_PAINT, 0, 0, now, q.mouse};
            // WM_PAINT stays pending until the window validates itself.
            return true;
        }
    }
    if (InFilter(WM_TIMER, lo, hi)) {
        for (Timer& t : q.timers) {
            if (!ForWindow(t.hwnd, hwnd)) continue;
            if (int32_t(now - t.last) <= int32_t(t.period)) continue;
            *msg = MSG{t.hwnd, WM_TIMER, WPARAM(t.id), LPARAM(reinterpret_cast<intptr_t>(t.proc)), now, q.mouse};
            if (remove) t.last = now;
            return true;
        }
    }
    return false;
}

// Milliseconds until the next timer is due; -1 when there is none.
int NextTimerWait() {
    QueueState& q = Q();
    DWORD now = GetTickCount();
    int best = -1;
    for (const Timer& t : q.timers) {
        int32_t left = int32_t(t.period) + 1 - int32_t(now - t.last);
        int wait = std::max(0, int(left));
        if (best < 0 || wait < best) best = wait;
    }
    return best;
}

bool AnythingPending() {
    MSG m;
    return FindMessage(&m, nullptr, 0, 0, false);
}

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    QueueState& q = Q();
    q.posted.push_back(MSG{hwnd, message, wParam, lParam, GetTickCount(), q.mouse});
}

UINT MouseFlags() {
    QueueState& q = Q();
    UINT f = 0;
    if (q.buttons[0]) f |= MK_LBUTTON;
    if (q.buttons[1]) f |= MK_RBUTTON;
    if (q.buttons[2]) f |= MK_MBUTTON;
    if (q.keys[VK_SHIFT]) f |= MK_SHIFT;
    if (q.keys[VK_CONTROL]) f |= MK_CONTROL;
    return f;
}

// The window that takes the mouse at a screen point: a window inside the
// innermost modal dialog, the capturing window, or the window under it.
HWND MouseTarget(POINT p) {
    QueueState& q = Q();
    HWND modal = AfxGetModal();
    if (modal) {
        if (q.capture && q.capture->IsChildOf(modal)) return q.capture;
        CWnd* hit = modal->ChildWindowFromScreenPoint(p);
        return hit && hit->IsWindowEnabled() ? hit : nullptr;
    }
    if (q.capture) return q.capture;
    const std::vector<CWnd*>& tops = AfxGetTopLevelWindows();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        CWnd* hit = (*it)->ChildWindowFromScreenPoint(p);
        if (hit) return hit->IsWindowEnabled() && hit->GetTopLevelParent()->IsWindowEnabled() ? hit : nullptr;
    }
    return nullptr;
}

// Keys go to the focus window; while a dialog is modal, to a window inside
// it.
HWND KeyTarget() {
    QueueState& q = Q();
    HWND modal = AfxGetModal();
    if (modal) return q.focus && q.focus->IsChildOf(modal) ? q.focus : modal;
    if (q.focus) return q.focus;
    const std::vector<CWnd*>& tops = AfxGetTopLevelWindows();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it)
        if ((*it)->IsWindowVisible()) return *it;
    return nullptr;
}

LPARAM PackPoint(int x, int y) { return LPARAM(MAKELONG(WORD(int16_t(x)), WORD(int16_t(y)))); }

}  // namespace

BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT lo, UINT hi, UINT removeFlags) {
    bool remove = (removeFlags & PM_REMOVE) != 0;
    if (FindMessage(msg, hwnd, lo, hi, remove)) return TRUE;
    Backend(0);
    return FindMessage(msg, hwnd, lo, hi, remove) ? TRUE : FALSE;
}

BOOL GetMessage(LPMSG msg, HWND hwnd, UINT lo, UINT hi) {
    for (;;) {
        if (PeekMessage(msg, hwnd, lo, hi, PM_REMOVE)) return msg->message == WM_QUIT ? FALSE : TRUE;
        if (!AfxGetDisplayBackend()) {
            // Nothing can ever arrive: end the loop rather than hang.
            PostQuitMessage(1);
            continue;
        }
        Backend(NextTimerWait());
    }
}

BOOL WaitMessage() {
    if (AnythingPending()) return TRUE;
    if (!AfxGetDisplayBackend()) return FALSE;
    Backend(NextTimerWait());
    return TRUE;
}

BOOL WaitMessageTimeout(DWORD ms) {
    if (AnythingPending()) return TRUE;
    if (!AfxGetDisplayBackend()) return FALSE;
    int limit = int(std::min<DWORD>(ms, 0x7FFFFFFF));
    int timer = NextTimerWait();
    Backend(timer < 0 ? limit : std::min(timer, limit));
    return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg || !msg->hwnd || !AfxIsWindow(msg->hwnd)) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, UINT_PTR(msg->wParam), GetTickCount());
        return 0;
    }
    return msg->hwnd->WindowProc(msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd && !AfxIsWindow(hwnd)) return FALSE;
    Post(hwnd, message, wParam, lParam);
    return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!hwnd || !AfxIsWindow(hwnd)) return 0;
    return hwnd->WindowProc(message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    Q().quit = true;
    Q().quitCode = exitCode;
}

int AfxGetQuitCode() { return Q().quitCode; }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    if (!hwnd || !AfxIsWindow(hwnd)) return 0;
    QueueState& q = Q();
    UINT period = std::max<UINT>(elapseMs, 1);
    for (Timer& t : q.timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.period = period;
            t.last = GetTickCount();
            t.proc = proc;
            return id;
        }
    }
    q.timers.push_back(Timer{hwnd, id, period, GetTickCount(), proc});
    return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    QueueState& q = Q();
    auto it = std::find_if(q.timers.begin(), q.timers.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == q.timers.end()) return FALSE;
    q.timers.erase(it);
    // A WM_TIMER already queued by the caller's own loop is not recalled;
    // timers are never queued, so there is nothing else to remove.
    return TRUE;
}

HWND SetCapture(HWND hwnd) {
    QueueState& q = Q();
    HWND old = q.capture;
    q.capture = hwnd && AfxIsWindow(hwnd) ? hwnd : nullptr;
    if (old && old != q.capture && AfxIsWindow(old)) SendMessage(old, WM_CAPTURECHANGED, 0, LPARAM(q.capture));
    return old;
}

BOOL ReleaseCapture() {
    SetCapture(nullptr);
    return TRUE;
}

HWND GetCapture() { return Q().capture; }

HWND SetFocus(HWND hwnd) {
    QueueState& q = Q();
    HWND old = q.focus;
    if (hwnd && !AfxIsWindow(hwnd)) return old;
    if (old == hwnd) return old;
    q.focus = hwnd;
    if (old && AfxIsWindow(old)) SendMessage(old, WM_KILLFOCUS, WPARAM(hwnd), 0);
    if (hwnd && q.focus == hwnd) SendMessage(hwnd, WM_SETFOCUS, WPARAM(old), 0);
    return old;
}

HWND GetFocus() { return Q().focus; }

int ShowCursor(BOOL show) {
    QueueState& q = Q();
    q.cursorCount += show ? 1 : -1;
    if (CDisplayBackend* b = AfxGetDisplayBackend()) b->SetCursorVisible(q.cursorCount >= 0);
    return q.cursorCount;
}

HCURSOR SetCursor(HCURSOR cursor) {
    QueueState& q = Q();
    HCURSOR old = q.cursor;
    q.cursor = cursor;
    if (cursor && cursor != old)
        if (CDisplayBackend* b = AfxGetDisplayBackend()) b->SetCursorShape(cursor);
    return old;
}

HCURSOR GetCursor() { return Q().cursor; }

HCURSOR LoadCursor(HINSTANCE, LPCSTR name) {
    int id = int(reinterpret_cast<uintptr_t>(name));
    for (const CursorShape& c : g_systemCursors)
        if (c.systemId == id) return &c;
    return nullptr;
}

HCURSOR AfxCreateCursor(const uint32_t* argb, int width, int height, int hotX, int hotY) {
    if (!argb || width <= 0 || height <= 0 || width > 256 || height > 256) return nullptr;
    auto pixels = std::make_unique<std::vector<uint32_t>>(argb, argb + size_t(width) * size_t(height));
    auto shape = std::make_unique<CursorShape>();
    shape->systemId = 0;
    shape->width = width;
    shape->height = height;
    shape->hotX = std::clamp(hotX, 0, width - 1);
    shape->hotY = std::clamp(hotY, 0, height - 1);
    shape->pixels = pixels->data();
    g_cursorPixels.push_back(std::move(pixels));
    g_madeCursors.push_back(std::move(shape));
    return g_madeCursors.back().get();
}

BOOL GetCursorPos(POINT* p) {
    if (!p) return FALSE;
    *p = Q().mouse;
    return TRUE;
}

int16_t GetKeyState(int vk) { return vk >= 0 && vk < 256 && Q().keys[vk] ? int16_t(0x8000) : 0; }
int16_t GetAsyncKeyState(int vk) { return GetKeyState(vk); }
UINT GetDoubleClickTime() { return 500; }

void AfxInputMouseMove(int x, int y) {
    QueueState& q = Q();
    q.mouse = POINT{x, y};
    HWND target = MouseTarget(q.mouse);
    if (!target) return;
    POINT c = q.mouse;
    target->ScreenToClient(&c);
    // Consecutive moves to one window collapse into the newest, as on the
    // original platform, so a slow handler never falls behind the mouse.
    if (!q.posted.empty() && q.posted.back().message == WM_MOUSEMOVE && q.posted.back().hwnd == target)
        q.posted.pop_back();
    Post(target, WM_MOUSEMOVE, MouseFlags(), PackPoint(c.x, c.y));
}

void AfxInputMouseButton(int button, bool down, int x, int y) {
    static const UINT downMsg[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT upMsg[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    static const UINT dblMsg[3] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
    if (button < 0 || button > 2) return;
    QueueState& q = Q();
    q.mouse = POINT{x, y};
    q.buttons[button] = down;
    static const int vk[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    q.keys[vk[button]] = down;
    HWND target = MouseTarget(q.mouse);
    if (!target) return;
    POINT c = q.mouse;
    target->ScreenToClient(&c);
    UINT message = down ? downMsg[button] : upMsg[button];
    if (down) {
        DWORD now = GetTickCount();
        bool dbl = q.lastButton == button && q.lastWnd == target && DWORD(now - q.lastTime) <= GetDoubleClickTime() &&
                   std::abs(x - q.lastPos.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                   std::abs(y - q.lastPos.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        if (dbl) {
            message = dblMsg[button];
            q.lastButton = -1;  // a third press starts over
        } else {
            q.lastButton = button;
            q.lastTime = now;
            q.lastPos = q.mouse;
            q.lastWnd = target;
        }
    }
    Post(target, message, MouseFlags(), PackPoint(c.x, c.y));
}

void AfxInputWheel(int delta, int x, int y) {
    QueueState& q = Q();
    q.mouse = POINT{x, y};
    HWND target = AfxGetModal() ? KeyTarget() : (q.focus ? q.focus : MouseTarget(q.mouse));
    if (!target) return;
    Post(target, WM_MOUSEWHEEL, WPARAM(MAKELONG(MouseFlags(), WORD(int16_t(delta)))), PackPoint(x, y));
}

void AfxInputKey(UINT vk, bool down) {
    QueueState& q = Q();
    if (vk >= 256) return;
    bool repeat = down && q.keys[vk];
    q.keys[vk] = down;
    // The generic modifier follows its left and right keys.
    if (vk == VK_LSHIFT || vk == VK_RSHIFT) q.keys[VK_SHIFT] = q.keys[VK_LSHIFT] || q.keys[VK_RSHIFT] || down;
    if (vk == VK_LCONTROL || vk == VK_RCONTROL) q.keys[VK_CONTROL] = q.keys[VK_LCONTROL] || q.keys[VK_RCONTROL] || down;
    if (vk == VK_LMENU || vk == VK_RMENU) q.keys[VK_MENU] = q.keys[VK_LMENU] || q.keys[VK_RMENU] || down;
    HWND target = KeyTarget();
    if (!target) return;
    LPARAM flags = 1 | (repeat ? (LPARAM(1) << 30) : 0) | (down ? 0 : (LPARAM(3) << 30));
    Post(target, down ? WM_KEYDOWN : WM_KEYUP, WPARAM(vk), flags);
}

void AfxInputChar(UINT ch) {
    HWND target = KeyTarget();
    if (!target) return;
    Post(target, WM_CHAR, WPARAM(ch), 1);
}

void AfxInputClose() {
    CWnd* main = AfxGetMainWnd();
    if (main && AfxIsWindow(main)) Post(main, WM_CLOSE, 0, 0);
    else PostQuitMessage(0);
}

void AfxPushModal(HWND hwnd) {
    if (hwnd) Q().modal.push_back(hwnd);
}

void AfxPopModal(HWND hwnd) {
    auto& m = Q().modal;
    auto it = std::find(m.begin(), m.end(), hwnd);
    if (it != m.end()) m.erase(it);
}

HWND AfxGetModal() {
    auto& m = Q().modal;
    return m.empty() ? nullptr : m.back();
}

void AfxRegisterWindow(HWND hwnd) { Q().live.insert(hwnd); }

void AfxUnregisterWindow(HWND hwnd) {
    QueueState& q = Q();
    q.live.erase(hwnd);
    std::erase_if(q.posted, [&](const MSG& m) { return m.hwnd == hwnd; });
    std::erase_if(q.timers, [&](const Timer& t) { return t.hwnd == hwnd; });
    std::erase(q.paintPending, hwnd);
    std::erase(q.modal, hwnd);
    if (q.capture == hwnd) q.capture = nullptr;
    if (q.focus == hwnd) q.focus = nullptr;
    if (q.lastWnd == hwnd) q.lastWnd = nullptr, q.lastButton = -1;
}

bool AfxIsWindow(HWND hwnd) { return hwnd && Q().live.count(hwnd) != 0; }

void AfxSetPaintPending(HWND hwnd, bool pending) {
    QueueState& q = Q();
    auto it = std::find(q.paintPending.begin(), q.paintPending.end(), hwnd);
    if (pending && it == q.paintPending.end() && AfxIsWindow(hwnd)) q.paintPending.push_back(hwnd);
    if (!pending && it != q.paintPending.end()) q.paintPending.erase(it);
}

void AfxResetMessageQueue() {
    QueueState& q = Q();
    std::set<HWND> live = q.live;
    q = QueueState{};
    q.live = live;
}
