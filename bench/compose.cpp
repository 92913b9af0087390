// Composing a 1280 x 1024 battle screen: background, icons of a unit's size
// on a shared phased sheet, and letter text, presented through the window
// layer (headless). The full recompose redraws and presents the whole
// screen; the moving benchmark moves every icon of screens of 10 to 2,000
// icons a frame and flushes only the changed rectangles. Its cost should
// grow about linearly with the icons, under the goal of 4 ms a frame at
// 1,200: "per icon" and "time/4ms goal" are printed beside the times.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include <unistd.h>
#include <memory>

#include "Animate/AnimView.h"
#include "Animate/LetterSet.h"
#include "platform/win/HeadlessDisplay.h"
#include "platform/win/Win.h"

namespace {

constexpr int kW = 1280, kH = 1024;

struct Screen {
    CAnimView* view = nullptr;
    CPhasedSprite* sheet = nullptr;
    CPhasedSprite letters;

    explicit Screen(int icons) {
        AfxResetMessageQueue();
        AfxSetDisplayBackend(std::make_unique<CHeadlessDisplay>(DisplayMode{kW, kH, 32}));
        CDIB bg;
        bg.CreateEmpty(kW, kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                BYTE* p = bg.GetPixelAddress(x, y);
                p[0] = BYTE(x), p[1] = BYTE(y), p[2] = BYTE(x ^ y);
            }
        std::string path = (std::filesystem::temp_directory_path() / ("velmor-bench-bg-" + std::to_string(::getpid()) + ".giz")).string();
        bg.SaveAs(path.c_str());
        view = new CAnimView;
        CREATESTRUCT cs;
        view->PreCreateWindow(cs);
        view->CreateEx(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, CRect(0, 0, kW, kH), nullptr, 0);
        view->LoadBackground(path.c_str(), FALSE, FALSE, FALSE);
        std::filesystem::remove(path);

        // A sheet of 8 x 4 cells of 32 x 32: a disc on the key colour.
        CPalette pal;
        PALETTEENTRY pe[256];
        for (int i = 0; i < 256; ++i) pe[i] = PALETTEENTRY{BYTE(i), BYTE(255 - i), BYTE(i * 3), 0};
        pal.CreatePalette(pe, 256);
        sheet = new CPhasedSprite;
        sheet->CreateEmpty(256, 128, &pal);
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 256; ++x) {
                int dx = x % 32 - 16, dy = y % 32 - 16;
                *sheet->GetPixelAddress(x, y) = dx * dx + dy * dy < 196 ? BYTE(1 + (x / 32 + y / 32 * 8)) : 0;
            }
        sheet->AfterLoad();
        sheet->SetColumnCount(8);
        sheet->SetRowCount(4);
        view->GetSprites().InsertByDepth(sheet);
        for (int i = 0; i < icons; ++i) {
            CIcon* icon = view->AddIcon(sheet, (i * 37) % (kW - 32), (i * 53) % (kH - 32), i + 1, FALSE, 0, 0, 0, 32, 32);
            icon->m_nPhaseColumn = i % 8;
            icon->m_nPhaseRow = (i / 8) % 4;
        }

        // Letter glyphs: 55 cells of 12 x 16.
        letters.CreateEmpty(55 * 12, 16, &pal);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 55 * 12; ++x) *letters.GetPixelAddress(x, y) = (x % 12 > 2 && y % 5 != 0) ? 200 : 0;
        letters.AfterLoad();
        letters.SetColumnCount(kLetterSetCells);
        SetLetterCellSize(12, 16);
        view->ClearDirtyRects();
    }
    ~Screen() {
        view->DestroyWindow();
        AfxSetDisplayBackend(nullptr);
    }
    void Text() {
        for (int line = 0; line < 10; ++line)
            DrawLetters(&letters, view->GetBackBuffer(), view->GetBackground().PictureRect(),
                        "The clan gathers at dawn: 1,000 men", 40, 40 + 20 * line, 1.0);
    }
};

// One view at a time on the display: the screen of another icon count
// takes its window down before the next one is made, so that no earlier
// view is composed into the frames measured. The last one is kept to the
// end of the program: the window layer's own state is gone by the time
// static objects are destroyed.
Screen& TheScreen(int icons = 1000) {
    static Screen* screen = nullptr;
    static int made = -1;
    if (!screen || made != icons) {
        delete screen;
        screen = new Screen(icons);
        made = icons;
    }
    return *screen;
}

// The whole back buffer recomposed: background, every icon, text.
void BM_FullRecompose(benchmark::State& state) {
    Screen& s = TheScreen();
    for (auto _ : state) {
        s.view->RedrawRect(nullptr, &s.view->GetIcons());
        s.Text();
    }
    state.SetLabel("1280x1024, 1000 icons, text");
}
BENCHMARK(BM_FullRecompose)->Unit(benchmark::kMillisecond);

// The same, then shown: the window layer composes the screen from it.
void BM_FullRecomposeAndPresent(benchmark::State& state) {
    Screen& s = TheScreen();
    for (auto _ : state) {
        s.view->RedrawRect(nullptr, &s.view->GetIcons());
        s.Text();
        s.view->Render(nullptr, FALSE);
    }
}
BENCHMARK(BM_FullRecomposeAndPresent)->Unit(benchmark::kMillisecond);

// A screen of `n` icons, every one moved by a few pixels each frame, as the
// units of a battle walk; only their rectangles are redrawn and presented.
void BM_MoveIcons(benchmark::State& state) {
    const int n = int(state.range(0));
    Screen& s = TheScreen(n);
    int frame = 0;
    double seconds = 0;
    for (auto _ : state) {
        ++frame;
        for (POSITION pos = s.view->GetIcons().GetHeadPosition(); pos;) {
            CIcon* icon = static_cast<CIcon*>(s.view->GetIcons().GetNext(pos));
            CPoint p = icon->GetPosition();
            icon->SetPosition(p.x + ((frame & 1) ? 2 : -2), p.y + ((frame & 2) ? 1 : -1), TRUE);
        }
        auto t0 = std::chrono::steady_clock::now();
        s.view->DrawAllSprites(FALSE);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const double perFrame = seconds / double(state.iterations());
    state.counters["icons"] = n;
    state.counters["flush us"] = perFrame * 1e6;
    state.counters["per icon us"] = perFrame * 1e6 / n;
    state.counters["time/4ms goal"] = perFrame / 4e-3;
}
BENCHMARK(BM_MoveIcons)->Arg(10)->Arg(100)->Arg(1000)->Arg(1200)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
