// The headless back end: the screen stays in memory, time is a virtual
// millisecond clock, and input comes from a script of timed actions that a
// test (or the headless runner) lays out beforehand.
//
// Time moves only when the program waits: a wait for the next timer jumps
// the clock straight there (or to the next scripted action if that comes
// first), and a poll that finds nothing moves it by 1 ms, so busy loops that
// watch the clock still end. A wait with nothing left to happen moves it by
// 10 ms at a time; after `starveLimitMs` of such waiting in a row the run is
// ended with an "ERROR: ..." line, so a test never hangs.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "platform/win/Display.h"

class CHeadlessDisplay : public CDisplayBackend {
public:
    explicit CHeadlessDisplay(DisplayMode desktop = {1024, 768, 32}, DWORD startTime = 1000);
    ~CHeadlessDisplay() override;

    // The virtual clock (installed as the program's tick source while this
    // back end lives).
    DWORD Now() const { return DWORD(m_abs); }
    void Advance(DWORD ms) { m_abs += ms; }
    void SetTime(DWORD ms) { m_abs = ms; }

    // Runs `action` (typically AfxInput... calls) once the clock reaches
    // `time`; actions at one time run in the order given.
    void At(DWORD time, std::function<void()> action);
    // Same, `delay` ms from now.
    void After(DWORD delay, std::function<void()> action) { At(Now() + delay, std::move(action)); }
    // A left click (press and release) at a screen point, `delay` ms from now.
    void ClickAfter(DWORD delay, int x, int y);
    bool HasPendingActions() const { return !m_actions.empty(); }

    void SetModes(std::vector<DisplayMode> modes) { m_modes = std::move(modes); }
    // Makes every later mode switch fail (a driver that refuses).
    void SetFailModeSwitch(bool fail) { m_failSwitch = fail; }
    void SetStarveLimit(DWORD ms) { m_starveLimit = ms; }

    int GetPresentCount() const { return m_presents; }
    bool IsCursorVisible() const { return m_cursorVisible; }
    HCURSOR GetCursorShape() const { return m_cursor; }

    bool IsHeadless() const override { return true; }
    DisplayMode GetDesktopMode() const override { return m_desktop; }
    std::vector<DisplayMode> GetModes() const override { return m_modes; }
    bool SetMode(const DisplayMode& mode) override;
    void Present(const CPixelSurface& screen, const CRect* rects, int count) override;
    void PumpEvents(int timeoutMs) override;
    void SetCursorVisible(bool visible) override { m_cursorVisible = visible; }
    void SetCursorShape(HCURSOR cursor) override { m_cursor = cursor; }
    bool GetScreenSaverActive() const override { return m_screenSaver; }
    void SetScreenSaverActive(bool active) override { m_screenSaver = active; }
    void SetScreenSaverInitially(bool active) { m_screenSaver = active; }

private:
    bool RunDue();

    DisplayMode m_desktop;
    std::vector<DisplayMode> m_modes;
    int64_t m_abs;  // the clock without wrapping; Now() is its low 32 bits
    std::multimap<int64_t, std::function<void()>> m_actions;  // keyed by unwrapped time
    bool m_failSwitch = false;
    bool m_cursorVisible = true;
    HCURSOR m_cursor = nullptr;
    bool m_screenSaver = false;
    int m_presents = 0;
    DWORD m_starveLimit = 600000;
    DWORD m_starved = 0;
};
