// Showing a change on the screen: one small rectangle (36 x 32, a unit)
// against the whole 1280 x 1024 screen, and an outline drawn as four thin
// rectangles shown in one flush, through the window layer to the display.
// The display is the SDL back end when a display is there (under Xvfb:
// `Xvfb :91 -screen 0 1280x1024x24 &` then DISPLAY=:91; SDL_RENDER_DRIVER
// picks the renderer), else the headless one; VELMOR_HEADLESS=1 forces the
// headless one. "small/whole" is the share of a whole screen that a small
// change costs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include <time.h>

#include "platform/win/HeadlessDisplay.h"
#include "platform/win/SdlDisplay.h"
#include "platform/win/Win.h"

namespace {

constexpr int kW = 1280, kH = 1024;

class CPlainWnd : public CWnd {};

struct Screen {
    CPlainWnd wnd;
    bool sdl = false;
    Screen() {
        AfxResetMessageQueue();
        const char* headless = std::getenv("VELMOR_HEADLESS");
        std::unique_ptr<CDisplayBackend> backend;
        if (!(headless && *headless == '1') && std::getenv("DISPLAY")) {
            CString error;
            backend = CSdlDisplay::Open(error);
            sdl = backend != nullptr;
        }
        if (!backend) backend = std::make_unique<CHeadlessDisplay>(DisplayMode{kW, kH, 32});
        AfxSetDisplayBackend(std::move(backend));
        AfxGetDisplayBackend()->SetMode(DisplayMode{kW, kH, 32});
        wnd.CreateEx(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, CRect(0, 0, kW, kH), nullptr, 0);
        wnd.GetSurface().Fill(CRect(0, 0, kW, kH), 0x335577);
        wnd.PresentRects();
    }
    ~Screen() {
        wnd.DestroyWindow();
        AfxSetDisplayBackend(nullptr);
    }
};

Screen& TheScreen() {
    static Screen screen;
    return screen;
}

// Seconds of CPU of the presenting thread.
double CpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Wall and CPU seconds a whole screen takes, for the ratios. On a loaded
// machine the wall time of an X display holds the server's own delays; the
// CPU time is the presenting thread's.
double g_whole = 0, g_wholeCpu = 0;

void TimeShows(benchmark::State& state, const CRect* rects, int count, const char* ratio) {
    Screen& s = TheScreen();
    double seconds = 0, cpu = 0;
    uint32_t colour = 0;
    for (auto _ : state) {
        colour += 0x010203;
        for (int i = 0; i < count; ++i) s.wnd.GetSurface().Fill(rects[i], colour & 0xFFFFFF);
        auto t0 = std::chrono::steady_clock::now();
        double c0 = CpuSeconds();
        s.wnd.PresentRects(rects, count);
        cpu += CpuSeconds() - c0;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.SetLabel(s.sdl ? "SDL" : "headless");
    seconds /= double(state.iterations());
    cpu /= double(state.iterations());
    state.counters["us"] = seconds * 1e6;
    state.counters["cpu us"] = cpu * 1e6;
    if (!ratio) {
        g_whole = seconds, g_wholeCpu = cpu;
    } else if (g_whole > 0 && g_wholeCpu > 0) {
        state.counters[std::string(ratio)] = seconds / g_whole;
        state.counters[std::string("cpu ") + ratio] = cpu / g_wholeCpu;
    }
}

void BM_PresentWholeScreen(benchmark::State& state) {
    CRect whole(0, 0, kW, kH);
    TimeShows(state, &whole, 1, nullptr);
}
BENCHMARK(BM_PresentWholeScreen)->Unit(benchmark::kMicrosecond);

void BM_PresentSmallRect(benchmark::State& state) {
    CRect small(600, 500, 636, 532);
    TimeShows(state, &small, 1, "small/whole");
}
BENCHMARK(BM_PresentSmallRect)->Unit(benchmark::kMicrosecond);

void BM_PresentOutline(benchmark::State& state) {
    const CRect sides[4] = {{400, 300, 700, 302}, {400, 598, 700, 600}, {400, 300, 402, 600}, {698, 300, 700, 600}};
    TimeShows(state, sides, 4, "outline/whole");
}
BENCHMARK(BM_PresentOutline)->Unit(benchmark::kMicrosecond);

}  // namespace
