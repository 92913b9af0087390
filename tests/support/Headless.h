// A headless display with a virtual clock for the length of one test, and a
// pump that dispatches messages while the clock moves on.
#pragma once

#include <memory>

#include "platform/win/HeadlessDisplay.h"
#include "platform/win/Win.h"

class CHeadlessScope {
public:
    explicit CHeadlessScope(DisplayMode desktop = {1024, 768, 32}, DWORD startTime = 1000) {
        AfxResetMessageQueue();
        auto display = std::make_unique<CHeadlessDisplay>(desktop, startTime);
        m_display = display.get();
        AfxSetDisplayBackend(std::move(display));
    }
    ~CHeadlessScope() {
        AfxSetDisplayBackend(nullptr);
        AfxResetMessageQueue();
    }
    CHeadlessScope(const CHeadlessScope&) = delete;
    CHeadlessScope& operator=(const CHeadlessScope&) = delete;

    CHeadlessDisplay& Display() { return *m_display; }
    DWORD Now() const { return m_display->Now(); }

    // Dispatches messages until the clock has moved by `ms`; returns false
    // when WM_QUIT came first (it is posted again for the caller's loop).
    bool Pump(DWORD ms) {
        DWORD end = Now() + ms;
        MSG msg;
        while (int32_t(Now() - end) < 0) {
            if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
            if (msg.message == WM_QUIT) {
                PostQuitMessage(int(msg.wParam));
                return false;
            }
            DispatchMessage(&msg);
        }
        return true;
    }

private:
    CHeadlessDisplay* m_display;
};
