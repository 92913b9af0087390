#include "platform/win/HeadlessDisplay.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>

#include "platform/afx/Time.h"
#include "platform/win/MessageQueue.h"

CHeadlessDisplay::CHeadlessDisplay(DisplayMode desktop, DWORD startTime)
    : m_desktop(desktop), m_modes(CDisplayBackend::GetModes()), m_abs(startTime) {
    AfxSetTickSource([this] { return Now(); });
}

CHeadlessDisplay::~CHeadlessDisplay() { AfxSetTickSource(nullptr); }

void CHeadlessDisplay::At(DWORD time, std::function<void()> action) {
    int64_t when = m_abs + int32_t(time - Now());
    m_actions.emplace(when, std::move(action));
}

void CHeadlessDisplay::ClickAfter(DWORD delay, int x, int y) {
    After(delay, [x, y] {
        AfxInputMouseMove(x, y);
        AfxInputMouseButton(0, true, x, y);
    });
    After(delay + 1, [x, y] { AfxInputMouseButton(0, false, x, y); });
}

bool CHeadlessDisplay::SetMode(const DisplayMode&) { return !m_failSwitch; }

void CHeadlessDisplay::Present(const CPixelSurface&, const CRect*, int) { ++m_presents; }

bool CHeadlessDisplay::RunDue() {
    bool any = false;
    while (!m_actions.empty() && m_actions.begin()->first <= m_abs) {
        auto action = std::move(m_actions.begin()->second);
        m_actions.erase(m_actions.begin());
        action();
        any = true;
    }
    if (any) m_starved = 0;
    return any;
}

void CHeadlessDisplay::PumpEvents(int timeoutMs) {
    if (RunDue()) return;
    if (timeoutMs == 0) {
        m_abs += 1;
        RunDue();
        return;
    }
    int64_t next = m_actions.empty() ? INT64_MAX : m_actions.begin()->first;
    if (timeoutMs > 0) {
        m_abs = std::min<int64_t>(m_abs + timeoutMs, next);
        m_starved = 0;
        RunDue();
        return;
    }
    if (next != INT64_MAX) {
        m_abs = next;
        RunDue();
        return;
    }
    // Nothing will ever happen by itself: let time pass a little, and give
    // up after a long while.
    m_abs += 10;
    m_starved += 10;
    if (m_starved >= m_starveLimit) {
        std::fprintf(stderr, "ERROR: the headless run has nothing left to wait for; ending it.\n");
        m_starved = 0;
        PostQuitMessage(2);
    }
}
