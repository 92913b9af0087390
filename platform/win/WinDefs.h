// Message numbers, key codes, styles and the small structures of the window
// layer. The values are the classic ones so that code written against them
// reads the same here; nothing depends on them being sent to another process.
#pragma once

#include "platform/afx/AfxTypes.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/Rect.h"

class CWnd;
struct CursorShape;

// A window handle is the window itself. The message queue keeps a register
// of live windows and never delivers to one that has been destroyed.
typedef CWnd* HWND;
typedef const CursorShape* HCURSOR;
typedef uintptr_t UINT_PTR;
typedef void* HINSTANCE;
typedef POINT* LPPOINT;
typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt{0, 0};
};
typedef MSG* LPMSG;

// Window messages.
enum : UINT {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_ENABLE = 0x000A,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014,
    WM_SHOWWINDOW = 0x0018,
    WM_SETCURSOR = 0x0020,
    WM_KEYFIRST = 0x0100,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_KEYLAST = 0x0109,
    WM_INITDIALOG = 0x0110,
    WM_COMMAND = 0x0111,
    WM_TIMER = 0x0113,
    WM_MOUSEFIRST = 0x0200,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MBUTTONDBLCLK = 0x0209,
    WM_MOUSEWHEEL = 0x020A,
    WM_MOUSELAST = 0x020A,
    WM_CAPTURECHANGED = 0x0215,
    WM_DROPFILES = 0x0233,
    WM_QUERYNEWPALETTE = 0x030F,
    WM_PALETTECHANGED = 0x0311,
    WM_USER = 0x0400,
    WM_APP = 0x8000,
};

// Mouse-message key state flags (wParam of mouse messages).
enum : UINT {
    MK_LBUTTON = 0x0001,
    MK_RBUTTON = 0x0002,
    MK_SHIFT = 0x0004,
    MK_CONTROL = 0x0008,
    MK_MBUTTON = 0x0010,
};
// One notch of the wheel.
enum : int { WHEEL_DELTA = 120 };

// PeekMessage options.
enum : UINT { PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001 };

// Virtual-key codes. Letters and digits are their upper-case ASCII codes.
enum : UINT {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_NUMPAD0 = 0x60,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F12 = 0x7B,
    VK_LSHIFT = 0xA0,
    VK_RSHIFT = 0xA1,
    VK_LCONTROL = 0xA2,
    VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4,
    VK_RMENU = 0xA5,
    VK_OEM_1 = 0xBA,       // ;:
    VK_OEM_PLUS = 0xBB,    // =+
    VK_OEM_COMMA = 0xBC,   // ,<
    VK_OEM_MINUS = 0xBD,   // -_
    VK_OEM_PERIOD = 0xBE,  // .>
    VK_OEM_2 = 0xBF,       // /?
    VK_OEM_3 = 0xC0,       // `~
    VK_OEM_4 = 0xDB,       // [{
    VK_OEM_5 = 0xDC,       // backslash |
    VK_OEM_6 = 0xDD,       // ]}
    VK_OEM_7 = 0xDE,       // '"
};

// Window styles. Only what the game sets is given meaning: WS_VISIBLE,
// WS_CHILD, WS_POPUP and WS_DISABLED; the rest are kept but ignored (no
// window has a border or caption of its own).
enum : DWORD {
    WS_OVERLAPPED = 0x00000000,
    WS_POPUP = 0x80000000,
    WS_CHILD = 0x40000000,
    WS_VISIBLE = 0x10000000,
    WS_DISABLED = 0x08000000,
    WS_CLIPSIBLINGS = 0x04000000,
    WS_CLIPCHILDREN = 0x02000000,
    WS_CAPTION = 0x00C00000,
    WS_BORDER = 0x00800000,
    WS_SYSMENU = 0x00080000,
    WS_THICKFRAME = 0x00040000,
    WS_OVERLAPPEDWINDOW = 0x00CF0000,
    FWS_ADDTOTITLE = 0x00008000,
};
enum : DWORD { WS_EX_TOPMOST = 0x00000008, WS_EX_ACCEPTFILES = 0x00000010 };

// ShowWindow commands.
enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOW = 5, SW_SHOWNA = 8 };

// GetSystemMetrics indices.
enum : int { SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37 };

// GetDeviceCaps indices and the raster capability bit of palette displays.
enum : int { HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, RASTERCAPS = 38, RC_PALETTE = 0x0100 };

// Cursors the layer provides (LoadCursor with a null instance).
enum : int { IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515, IDC_HAND = 32649 };
#define MAKEINTRESOURCE(i) ((LPCSTR)(uintptr_t)(WORD)(i))

// Results of ChangeDisplaySettings.
enum : LONG { DISP_CHANGE_SUCCESSFUL = 0, DISP_CHANGE_RESTART = 1, DISP_CHANGE_FAILED = -1, DISP_CHANGE_BADMODE = -2 };
enum : DWORD { CDS_FULLSCREEN = 0x00000004 };
enum : DWORD { DM_BITSPERPEL = 0x00040000, DM_PELSWIDTH = 0x00080000, DM_PELSHEIGHT = 0x00100000 };
enum : DWORD { ENUM_CURRENT_SETTINGS = 0xFFFFFFFFu };

// A display mode: what EnumDisplaySettings lists and ChangeDisplaySettings
// takes. Only the three fields named by dmFields are read.
struct DEVMODE {
    DWORD dmFields = 0;
    DWORD dmBitsPerPel = 0;
    DWORD dmPelsWidth = 0;
    DWORD dmPelsHeight = 0;
};

// Screen-saver requests of SystemParametersInfo.
enum : UINT { SPI_GETSCREENSAVEACTIVE = 0x0010, SPI_SETSCREENSAVEACTIVE = 0x0011 };

// What PreCreateWindow may change before a window is made.
struct CREATESTRUCT {
    LPVOID lpCreateParams = nullptr;
    HWND hwndParent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    LONG style = 0;
    LPCSTR lpszName = nullptr;
    LPCSTR lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

// Size types of WM_SIZE.
enum : UINT { SIZE_RESTORED = 0 };
