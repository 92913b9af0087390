// Pictures reaching the screen through the window layer: every pixel of a
// 24-bit row lands whatever the width and offset, and the screen is black
// exactly where no window draws.
#include <gtest/gtest.h>

#include "Animate/DIBSurface.h"
#include "tests/animate/GfxFixtures.h"
#include "tests/support/Headless.h"

namespace {

class CPlainWnd : public CWnd {};

TEST(Present, EveryPixelOfA24BitRectangleLandsAtAnyWidthAndOffset) {
    CHeadlessScope scope;
    CPlainWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, CRect(0, 0, 64, 16), nullptr, 0));
    // Widths 13 and 14 leave no row padding, so a read past a row's own
    // bytes would run into the next row or off the end of the picture.
    for (int width : {1, 2, 3, 4, 5, 7, 8, 9, 13, 14}) {
        CDIB picture;
        ASSERT_TRUE(picture.CreateEmpty(width, 3));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x) SetPixel24(picture, x, y, 0x010203u * (x + 1) + 0x100000u * y);
        for (int sx : {0, 1}) {
            if (sx >= width) continue;
            wnd.GetSurface().Fill(CRect(0, 0, 64, 16), 0xABCDEF);
            CRect done = GfxBlit(&wnd, 5, 2, width - sx, 3, GfxPictureOf(picture), sx, 0);
            ASSERT_EQ(done, CRect(5, 2, 5 + width - sx, 5)) << width;
            for (int y = 0; y < 3; ++y)
                for (int x = sx; x < width; ++x)
                    ASSERT_EQ(AfxGetScreen().GetPixel(5 + x - sx, 2 + y), Pixel24(picture, x, y))
                        << "width " << width << " from " << sx << " at " << x << "," << y;
            // Nothing beside the rectangle is written.
            EXPECT_EQ(wnd.GetSurface().GetPixel(5 + width - sx, 2), 0xABCDEFu);
            EXPECT_EQ(wnd.GetSurface().GetPixel(4, 2), 0xABCDEFu);
        }
    }
    wnd.DestroyWindow();
}

TEST(Present, TheScreenIsBlackWhereNoWindowDraws) {
    CHeadlessScope scope;
    CPlainWnd wide, narrow;
    ASSERT_TRUE(wide.CreateEx(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
    wide.GetSurface().Fill(CRect(0, 0, 200, 100), 0xFF0000);
    wide.PresentRects();
    ASSERT_TRUE(narrow.CreateEx(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0));
    narrow.GetSurface().Fill(CRect(0, 0, 100, 100), 0x00FF00);
    wide.DestroyWindow();
    CRect all(0, 0, 200, 100);
    AfxPresentScreen(&all, 1);
    EXPECT_EQ(AfxGetScreen().GetPixel(50, 50), 0x00FF00u);
    EXPECT_EQ(AfxGetScreen().GetPixel(150, 50), 0u);
    narrow.DestroyWindow();
}

}  // namespace
