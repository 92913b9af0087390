// The one message queue of the program, with timers, mouse capture, focus,
// cursors and key state. Single threaded and re-entrant: a modal dialog or a
// wait loop pumps it from inside a handler, and timers of every window keep
// firing meanwhile.
//
// Order of retrieval, as the game expects: posted messages and input first
// (in arrival order), then paint requests, then due timers. A timer is due
// once more than its period has passed since it last fired (timers come
// late, never early, and code that runs on them tests "more than its
// interval"); it never queues up more than one WM_TIMER. Input goes to the topmost modal dialog while one is up.
#pragma once

#include <cstdint>

#include "platform/win/WinDefs.h"

BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Waits for a message; FALSE when it is WM_QUIT.
BOOL GetMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);
// Keys arrive as WM_KEYDOWN/WM_KEYUP and characters as WM_CHAR from the
// back end, so translation has nothing to do.
inline BOOL TranslateMessage(const MSG*) { return FALSE; }
LRESULT DispatchMessage(const MSG* msg);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// The code given to PostQuitMessage.
int AfxGetQuitCode();
// Waits until a message or input may be there.
BOOL WaitMessage();
// The same, but for no longer than `ms`: for loops that also watch the
// clock (a clip's next frame), so they sleep instead of spinning.
BOOL WaitMessageTimeout(DWORD ms);

// Arms (or re-arms) timer `id` of the window; returns id, 0 on failure.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND hwnd);
HWND GetFocus();

// The cursor is shown while the display count is 0 or more.
int ShowCursor(BOOL show);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// The layer's own cursors (IDC_ARROW, IDC_WAIT, ...); instance is ignored.
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
// A cursor from 32-bit pixels (0xAARRGGBB, rows top down); the layer keeps
// it for the rest of the run.
HCURSOR AfxCreateCursor(const uint32_t* argb, int width, int height, int hotX, int hotY);
struct CursorShape {
    int systemId = IDC_ARROW;  // a layer cursor, or 0 for one made from pixels
    int width = 0, height = 0, hotX = 0, hotY = 0;
    const uint32_t* pixels = nullptr;
};
BOOL GetCursorPos(POINT* p);

// Bit 0x8000 set while the key is down.
int16_t GetKeyState(int vk);
int16_t GetAsyncKeyState(int vk);
UINT GetDoubleClickTime();

// Input from the back end (or a test), in screen coordinates. Buttons are
// 0 left, 1 right, 2 middle. A press close in time and place to the last
// press of the same button becomes a double click.
void AfxInputMouseMove(int x, int y);
void AfxInputMouseButton(int button, bool down, int x, int y);
void AfxInputWheel(int delta, int x, int y);
void AfxInputKey(UINT vk, bool down);
void AfxInputChar(UINT ch);
// The player asked to close the program (window closed): the main window
// gets WM_CLOSE.
void AfxInputClose();

// Modal windows, innermost last; input goes to the innermost.
void AfxPushModal(HWND hwnd);
void AfxPopModal(HWND hwnd);
HWND AfxGetModal();

// Window register: the queue delivers only to live windows.
void AfxRegisterWindow(HWND hwnd);
void AfxUnregisterWindow(HWND hwnd);
bool AfxIsWindow(HWND hwnd);
// Marks a window as needing WM_PAINT (or clears that).
void AfxSetPaintPending(HWND hwnd, bool pending);

// Empties the queue, timers, capture, focus, modal stack and key state;
// for tests that start a fresh program in one process.
void AfxResetMessageQueue();
