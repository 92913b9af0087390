// The display: one logical screen of 32-bit pixels, the modes it can be
// switched between, and the back end that shows it.
//
// The window layer owns the screen. Every window draws into its own surface
// (CWnd::GetSurface) and presents the rectangles it changed
// (CWnd::PresentRects); the layer then composes those screen rectangles from
// the windows in their stacking order (a dialog over the view hides the view
// beneath it) and hands them to the back end. Nothing above this layer knows
// whether the SDL2 back end or the headless one is running.
//
// Pixels are 0x00RRGGBB in a 32-bit word (blue first in memory), rows top
// down, no padding.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/afx/Rect.h"
#include "platform/win/WinDefs.h"

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    bool operator==(const DisplayMode&) const = default;
};

// A block of 32-bit pixels: the logical screen, or the surface of a window.
class CPixelSurface {
public:
    CPixelSurface() = default;
    CPixelSurface(int width, int height) { Resize(width, height); }

    // Sets the size; the content becomes black.
    void Resize(int width, int height);
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    bool IsEmpty() const { return m_width <= 0 || m_height <= 0; }
    uint32_t* GetRow(int y) { return m_pixels.data() + size_t(y) * size_t(m_width); }
    const uint32_t* GetRow(int y) const { return m_pixels.data() + size_t(y) * size_t(m_width); }
    uint32_t GetPixel(int x, int y) const;  // 0 outside
    void SetPixel(int x, int y, uint32_t value);
    void Fill(const CRect& r, uint32_t value);  // clipped to the surface
    uint32_t* GetBits() { return m_pixels.data(); }
    const uint32_t* GetBits() const { return m_pixels.data(); }

    // Copies 24-bit pixels (blue, green, red bytes) of a DIB into this
    // surface: the source rectangle starting at (srcX, srcY) of width w and
    // height h (in top-down picture coordinates) lands at (dstX, dstY).
    // `bottomUp` says the first stored row is the bottom one; `stride` is the
    // stored row length in bytes. Everything is clipped to both sides, so a
    // caller may pass any rectangle.
    void BlitBGR24(int dstX, int dstY, const uint8_t* bits, int srcWidth, int srcHeight, int stride, bool bottomUp,
                   int srcX, int srcY, int w, int h);

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;
};

// What shows the logical screen and brings input: SDL2 or headless.
class CDisplayBackend {
public:
    virtual ~CDisplayBackend() = default;
    virtual bool IsHeadless() const = 0;
    // The desktop's mode when the program started.
    virtual DisplayMode GetDesktopMode() const = 0;
    // The modes the game may switch to, in listing order.
    virtual std::vector<DisplayMode> GetModes() const;
    // The logical screen now has this mode (a listed one, or the desktop's
    // when restoring); false when the back end cannot show it.
    virtual bool SetMode(const DisplayMode& mode) = 0;
    // Shows the given rectangles (already clipped) of the screen.
    virtual void Present(const CPixelSurface& screen, const CRect* rects, int count) = 0;
    // Turns pending input into messages (AfxInput... calls). With a timeout
    // above 0 it first waits that many milliseconds for something to happen,
    // with -1 without limit; 0 only polls.
    virtual void PumpEvents(int timeoutMs) = 0;
    virtual void SetCursorVisible(bool visible) = 0;
    virtual void SetCursorShape(HCURSOR cursor) = 0;
    virtual bool GetScreenSaverActive() const { return false; }
    virtual void SetScreenSaverActive(bool) {}
};

// Installs the back end (the layer takes it over); the logical screen takes
// the desktop's size. Null removes it.
void AfxSetDisplayBackend(std::unique_ptr<CDisplayBackend> backend);
CDisplayBackend* AfxGetDisplayBackend();
// The back end chosen by the environment: headless when VELMOR_HEADLESS=1,
// else SDL2; null (after an "ERROR: ..." on standard error) when no video
// device can be opened.
std::unique_ptr<CDisplayBackend> AfxCreateDefaultBackend();

// The composed logical screen (what the player sees).
const CPixelSurface& AfxGetScreen();
DisplayMode AfxGetCurrentMode();

// Recomposes the given screen rectangles from the windows and shows them;
// none means the whole screen.
void AfxPresentScreen(const CRect* rects = nullptr, int count = 0);

// The display-mode services the game's start-up uses.
int GetSystemMetrics(int index);
// Lists mode `index` (0, 1, 2, ...) of the primary display; FALSE past the
// end. ENUM_CURRENT_SETTINGS gives the current mode.
BOOL EnumDisplaySettings(LPCSTR device, DWORD index, DEVMODE* mode);
// Switches to a listed mode (null restores the desktop's). Returns
// DISP_CHANGE_SUCCESSFUL or the reason it failed.
LONG ChangeDisplaySettings(const DEVMODE* mode, DWORD flags);
// Only the screen-saver state is known here.
BOOL SystemParametersInfo(UINT action, UINT param, void* pv, UINT winIni);
