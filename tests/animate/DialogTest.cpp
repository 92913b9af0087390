// The dialog base run modally on the window layer, headless, over a view
// whose timers keep running.
#include <gtest/gtest.h>

#include "Animate/AnimView.h"
#include "Animate/GameDialog.h"
#include "tests/animate/GfxFixtures.h"
#include "tests/support/Headless.h"

namespace {

// The screen under the dialog: its timer ends the dialog by changing the
// watched word after `endAfter` ticks.
class CTickingView : public CAnimView {
public:
    DWORD watched = 3;
    int ticks = 0;
    int endAfter = 10;

protected:
    void OnTimer(UINT_PTR) override {
        if (++ticks == endAfter) watched = 4;
    }
};

class CPanelDialog : public CGameDialog {
public:
    std::string folder;
    std::vector<int> clicked;

    BOOL OnInitDialog() override {
        AddCommandButton(7, "1024Cmb Exit", 20, 20, TRUE);
        if (!m_buttons.LoadAll(folder.c_str(), 24, nullptr)) return FALSE;
        return CGameDialog::OnInitDialog();
    }

protected:
    void OnLButtonDown(UINT, CPoint p) override {
        int id = m_buttons.HitTestId(p.x, p.y, TRUE);
        clicked.push_back(id);
        if (id) DrawButton(id, FALSE, TRUE);
    }
};

// "Bg.giz" in `dir`: 200 x 100 of dark grey 0x202020.
void WriteGreyBackground(const CScratchFolder& dir) {
    CDIB bg;
    ASSERT_TRUE(bg.CreateEmpty(200, 100));
    FillPicture(bg, 0x202020);
    ASSERT_TRUE(bg.SaveAs(dir.Name("Bg.giz").c_str()));
}

// A 4 x 4 sprite of index 8 keyed on its top-left pixel, in the dialog's list.
CSprite* AddSquareSprite(CGameDialog& dlg) {
    CSprite* sprite = new CSprite;
    MakeIndexed(*sprite, 4, 4, std::vector<BYTE>(16, 8));
    *sprite->GetPixelAddress(0, 0) = 0;
    sprite->AfterLoad();
    dlg.GetSprites().InsertByDepth(sprite);
    return sprite;
}

TEST(GameDialog, RunsModallyOverTheViewAndEndsOnItsWatchedWord) {
    std::string panel = KitFile("Pictures/1024Panel.giz");
    std::string folder = KitFile("Pictures/Cmb");
    CHeadlessScope scope;
    auto* view = new CTickingView;
    ASSERT_TRUE(view->CreateEx(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, CRect(0, 0, 1024, 768), nullptr, 0));
    view->SetTimer(1, 20);

    CPanelDialog dlg;
    dlg.folder = folder + "/";
    dlg.m_strBackgroundName = panel.c_str();
    dlg.m_pWatched = &view->watched;
    dlg.m_nExpected = 3;
    CSprite down;
    ASSERT_TRUE(down.LoadPicture((folder + "/1024Cmb Exit Dn.giz").c_str(), 24, nullptr));
    uint32_t seen = 0, expected = 0;
    CRect placed;
    scope.Display().After(50, [&] {
        dlg.GetWindowRect(&placed);
        AfxInputMouseButton(0, true, placed.left + 20 + 40, placed.top + 20 + 16);
        AfxInputMouseButton(0, false, placed.left + 20 + 40, placed.top + 20 + 16);
    });
    scope.Display().After(80, [&] {
        seen = AfxGetScreen().GetPixel(placed.left + 20 + 40, placed.top + 20 + 16) & 0xFFFFFF;
        const RGBQUAD& c = down.GetBitmapInfo()->bmiColors[*down.GetPixelAddress(40, 16)];
        expected = c.rgbBlue | (uint32_t(c.rgbGreen) << 8) | (uint32_t(c.rgbRed) << 16);
    });
    EXPECT_EQ(dlg.DoModal(), CGameDialog::kEndedByWatch);
    // Sized to its picture and centred on the view; it drew its pressed button.
    EXPECT_EQ(placed, CRect(0, (768 - 128) / 2, 1024, (768 - 128) / 2 + 128));
    EXPECT_EQ(dlg.clicked, (std::vector<int>{7}));
    EXPECT_EQ(seen, expected);
    // The view's timer kept running under the dialog and ended it on time.
    EXPECT_EQ(view->ticks, 10);
    EXPECT_EQ(dlg.GetSurface(), nullptr);  // freed with the window
    view->DestroyWindow();
}

TEST(GameDialog, DirtyRectanglesButtonsAndLetterText) {
    CScratchFolder dir;
    WriteGreyBackground(dir);
    std::string set = KitFile("Pictures/Letter Set.giz");
    CGameDialog dlg;
    ASSERT_TRUE(dlg.LoadBackground(dir.Name("Bg.giz").c_str(), FALSE));
    EXPECT_FALSE(dlg.LoadBackground(dir.Name("None.giz").c_str(), FALSE));
    ASSERT_NE(dlg.GetSurface(), nullptr);  // the old surface stays
    EXPECT_EQ(*dlg.DrawButton(5, TRUE, FALSE), CRect(0, 0, 1, 1));

    dlg.AddDirtyRect(CRect(10, 10, 20, 20));
    dlg.AddDirtyRect(CRect(15, 15, 30, 30));
    dlg.AddDirtyRect(CRect(50, 50, 60, 60));
    ASSERT_EQ(dlg.GetDirtyRects().size(), 2u);
    EXPECT_EQ(dlg.GetDirtyRects()[1], CRect(10, 10, 30, 30));

    // Icons added lower on the screen lie deeper and are drawn first.
    CSprite* sprite = AddSquareSprite(dlg);
    CIcon* high = dlg.AddIcon(sprite, 20, 100, 1, TRUE, 0, CRect(0, 0, 4, 4));
    CIcon* low = dlg.AddIcon(sprite, 20, 300, 2, TRUE, 0, CRect(0, 0, 4, 4));
    EXPECT_EQ(low->GetDepth(), 32767 - 300 - 4);
    EXPECT_EQ(dlg.GetIcons().GetHead(), low);
    EXPECT_EQ(dlg.GetIcons().GetTail(), high);

    dlg.m_strPictureFolder = (KitFolder().string() + "/Pictures/").c_str();
    ASSERT_TRUE(dlg.LoadLetterSet());
    const CRect* r = dlg.DrawLetterText("Hi\nAll", 5, 5);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(*r, CRect(5, 5, 5 + 4 * GetLetterWidth(), 5 + 2 * GetLetterHeight()));
    const CRect* again = dlg.DrawLetterTextFormat(5, 5, 1.0, "Hi\nAll", "%d", 42);
    EXPECT_EQ(*again, CRect(5, 5, 5 + 4 * GetLetterWidth(), 5 + 2 * GetLetterHeight()));  // union with the old text
}

TEST(GameDialog, AFlushComposesTheDirtyRectanglesAndShowsThemOnce) {
    CScratchFolder dir;
    WriteGreyBackground(dir);
    CHeadlessScope scope;
    CGameDialog dlg;
    dlg.m_strBackgroundName = dir.Name("Bg.giz").c_str();
    ASSERT_TRUE(dlg.Create(0));
    CRect placed;
    dlg.GetWindowRect(&placed);
    auto screen = [&](int x, int y) { return AfxGetScreen().GetPixel(placed.left + x, placed.top + y) & 0xFFFFFF; };

    CSprite* sprite = AddSquareSprite(dlg);
    CIcon* left = dlg.AddIcon(sprite, 10, 10, 1, TRUE, 0, CRect(0, 0, 4, 4));
    CIcon* right = dlg.AddIcon(sprite, 150, 60, 2, TRUE, 0, CRect(0, 0, 4, 4));
    left->SetPosition(12, 12, TRUE);
    right->SetPosition(152, 62, TRUE);
    ASSERT_EQ(dlg.GetDirtyRects().size(), 2u);
    // Outside every dirty rectangle: a flush must not show it.
    dlg.FillSurfaceRect(100, 40, 110, 50, 0x00FF00);
    EXPECT_EQ(Pixel24(*dlg.GetSurface(), 105, 45), 0x00FF00u);

    int before = scope.Display().GetPresentCount();
    dlg.FlushDirtyRects();
    EXPECT_EQ(scope.Display().GetPresentCount() - before, 1);
    EXPECT_TRUE(dlg.GetDirtyRects().empty());
    EXPECT_EQ(screen(13, 13), PaletteColour(8));
    EXPECT_EQ(screen(153, 63), PaletteColour(8));
    EXPECT_EQ(screen(10, 10), 0x202020u);  // the old places are background again
    EXPECT_EQ(screen(150, 60), 0x202020u);
    EXPECT_EQ(screen(105, 45), 0x202020u);
    dlg.DestroyWindow();
}

}  // namespace
