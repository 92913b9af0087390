// Composing many icons: the icons under each changed rectangle are found
// through tiles of the screen, and a frame of moves composes, flushes and
// presents without taking memory from the heap once it has run before.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "Animate/AnimView.h"
#include "tests/animate/GfxFixtures.h"
#include "tests/support/Headless.h"
#include "tests/support/TestFolders.h"

namespace {

// Heap allocations counted while `counting` is set.
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

}  // namespace

// The replacements pair malloc with free on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t size) {
    if (counting) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

constexpr int kW = 640, kH = 480;

// A screen of a patterned background and `n` overlapping icons of 32 x 32
// on one sheet, some partly off the screen, every tenth disabled.
struct Screen {
    CHeadlessScope scope{DisplayMode{kW, kH, 32}};
    CAnimView* view = nullptr;
    CPhasedSprite* sheet = nullptr;

    explicit Screen(int n) {
        CDIB bg;
        bg.CreateEmpty(kW, kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) SetPixel24(bg, x, y, (uint32_t(x * 3) << 16 | uint32_t(y) << 8 | uint32_t(x ^ y)) & 0xFFFFFF);
        // A folder of this run's own: the tests run side by side.
        CScratchFolder scratch("velmor-compose");
        std::string path = (scratch.Path() / "bg.giz").string();
        bg.SaveAs(path.c_str());
        view = new CAnimView;
        CREATESTRUCT cs;
        view->PreCreateWindow(cs);
        view->CreateEx(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, CRect(0, 0, kW, kH), nullptr, 0);
        EXPECT_TRUE(view->LoadBackground(path.c_str(), FALSE, FALSE, FALSE));
        std::vector<BYTE> px(256 * 128);
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 256; ++x) {
                int dx = x % 32 - 16, dy = y % 32 - 16;
                px[size_t(y) * 256 + size_t(x)] = dx * dx + dy * dy < 200 ? BYTE(1 + x / 32 + y / 32 * 8) : 0;
            }
        sheet = new CPhasedSprite;
        MakeIndexed(*sheet, 256, 128, px);
        sheet->AfterLoad();
        sheet->SetColumnCount(8);
        sheet->SetRowCount(4);
        view->GetSprites().InsertByDepth(sheet);
        for (int i = 0; i < n; ++i) {
            CIcon* icon = view->AddIcon(sheet, (i * 37) % (kW + 40) - 20, (i * 53) % (kH + 40) - 20, i + 1, FALSE, 0, 0, 0,
                                        32, 32);
            icon->m_nPhaseColumn = i % 8;
            icon->m_nPhaseRow = (i / 8) % 4;
            icon->m_bEnabled = i % 10 != 9;
        }
        view->ClearDirtyRects();
    }
    ~Screen() { view->DestroyWindow(); }
    // Moves every k-th icon a few pixels, as units walking.
    void Move(int frame, int every) {
        int i = 0;
        for (POSITION pos = view->GetIcons().GetHeadPosition(); pos; ++i) {
            CIcon* icon = static_cast<CIcon*>(view->GetIcons().GetNext(pos));
            if (i % every) continue;
            CPoint p = icon->GetPosition();
            icon->SetPosition(p.x + ((frame & 1) ? 3 : -3), p.y + ((frame & 2) ? 2 : -2), TRUE);
        }
    }
    std::vector<uint32_t> Buffer() const {
        std::vector<uint32_t> all;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) all.push_back(Pixel24(*view->GetBackBuffer(), x, y));
        return all;
    }
};

TEST(Compose, ManyRectanglesDrawWhatOneWholeScreenDraws) {
    // Rectangles of every size, from inside one tile to across many, cut
    // through icons that overlap and that reach off the screen: each must
    // draw every icon under it, once, in the list's depth order.
    for (int step : {7, 40, 150, 700}) {
        Screen s(400);
        s.view->RedrawRect(nullptr, &s.view->GetIcons());
        const std::vector<uint32_t> whole = s.Buffer();
        s.view->GetBackBuffer()->FillPixels(CRect(0, 0, kW, kH), 0);
        std::vector<CRect> pieces;
        for (int y = 0; y < kH; y += step)
            for (int x = 0; x < kW; x += step) pieces.push_back(CRect(x, y, x + step, y + step));
        ComposeAreas(s.view->GetBackground(), s.view->GetBackBuffer(), pieces, &s.view->GetIcons(), FALSE);
        EXPECT_TRUE(s.Buffer() == whole) << "rectangles of " << step;
    }
}

TEST(Compose, AFrameOfMovesTakesNothingFromTheHeapOnceWarm) {
    Screen s(1200);
    for (int frame = 0; frame < 4; ++frame) {  // the tables grow to the screen
        s.Move(frame, frame < 2 ? 1 : 7);
        s.view->DrawAllSprites(FALSE);
    }
    for (int every : {1, 7}) {
        s.Move(5, every);
        allocations = 0;
        counting = true;
        s.view->DrawAllSprites(FALSE);
        counting = false;
        EXPECT_EQ(allocations.load(), 0) << "moving every " << every << " icons";
    }
}

}  // namespace
