// The view chain driven headless on the data kit: real screens composed
// from background, sprites, icons, letter text and buttons; dirty
// rectangles; the scrolled field; "ANIM" clips.
#include <gtest/gtest.h>

#include <fstream>

#include "Animate/AnimFocusView.h"
#include "Animate/LetterSet.h"
#include "tests/animate/GfxFixtures.h"
#include "tests/support/Headless.h"

namespace {

uint32_t ScreenAt(int x, int y) { return AfxGetScreen().GetPixel(x, y) & 0xFFFFFF; }

// A view made as a top-level window of the screen's size; it deletes
// itself when destroyed.
template <typename View>
View* MakeView(int w = 1024, int h = 768) {
    View* v = new View;
    CREATESTRUCT cs;
    v->PreCreateWindow(cs);
    EXPECT_TRUE(v->CreateEx(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, CRect(0, 0, w, h), nullptr, 0));
    return v;
}

TEST(OSBView, DirtyRectanglesMergeOnlyWithTheNewest) {
    COSBView view;
    view.AddDirtyRect(CRect(10, 10, 20, 20));
    view.AddDirtyRect(CRect(15, 15, 30, 30));
    ASSERT_EQ(view.GetDirtyRects().size(), 1u);
    EXPECT_EQ(view.GetDirtyRects()[0], CRect(10, 10, 30, 30));
    view.AddDirtyRect(CRect(40, 40, 50, 50));
    view.AddDirtyRect(CRect(12, 12, 14, 14));
    ASSERT_EQ(view.GetDirtyRects().size(), 3u);
    EXPECT_EQ(view.GetDirtyRects()[0], CRect(12, 12, 14, 14));
    EXPECT_EQ(view.GetDirtyRects()[1], CRect(40, 40, 50, 50));
}

TEST(AnimView, ComposesAScreenAndPresentsOnlyTheMergedChanges) {
    std::string bg = KitFile("Pictures/1024Bkgnd Main Menu.giz");
    std::string set = KitFile("Pictures/Letter Set.giz");
    CHeadlessScope scope;
    CAnimView* view = MakeView<CAnimView>();
    ASSERT_TRUE(view->LoadBackground(bg.c_str(), FALSE, TRUE, TRUE));
    EXPECT_TRUE(view->m_bFullWindow);
    CDIB reference;
    ASSERT_TRUE(reference.Load(bg.c_str()));
    EXPECT_EQ(ScreenAt(500, 400), Pixel24(reference, 500, 400));

    // An icon on a phased sheet of two 4x4 cells: cell 1 is index 9.
    std::vector<BYTE> px(8 * 4, 5);
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 8; ++x) px[y * 8 + x] = 9;
    px[0] = 0;
    CPhasedSprite* sheet = new CPhasedSprite;
    MakeIndexed(*sheet, 8, 4, px);
    sheet->AfterLoad();
    sheet->SetColumnCount(2);
    view->GetSprites().InsertByDepth(sheet);
    CIcon* icon = view->AddIcon(sheet, 100, 100, 1, FALSE, 0, 0, 0, 4, 4);
    icon->m_nPhaseColumn = 1;
    icon->m_nPhaseRow = 0;
    EXPECT_EQ(icon->GetDepth(), 32767 - (100 + 4));
    view->ClearDirtyRects();

    // Scribble on the back buffer where nothing is dirty: it must not reach
    // the screen, since only the dirty rectangles are presented.
    view->FillRect(600, 600, 610, 610, 0x00FF00, FALSE);
    int before = scope.Display().GetPresentCount();
    icon->SetPosition(102, 101, TRUE);  // old and new rectangles overlap: one merged change
    ASSERT_EQ(view->GetDirtyRects().size(), 1u);
    view->DrawAllSprites(FALSE);
    EXPECT_EQ(scope.Display().GetPresentCount() - before, 1);
    EXPECT_TRUE(view->GetDirtyRects().empty());
    EXPECT_EQ(ScreenAt(103, 102), PaletteColour(9));
    EXPECT_EQ(ScreenAt(100, 100), Pixel24(reference, 100, 100));  // the old place is background again
    EXPECT_EQ(ScreenAt(605, 605), Pixel24(reference, 605, 605));

    // Letter text lands on the back buffer with its rectangle.
    CPhasedSprite letters;
    ASSERT_TRUE(letters.LoadPicture(set.c_str(), 24, nullptr));
    letters.SetColumnCount(kLetterSetCells);
    SetLetterCellSize(letters.GetWidth(), letters.GetHeight());
    CRect text = LetterTextRect("Velmor", 300, 50);
    EXPECT_EQ(text, CRect(300, 50, 300 + 6 * letters.GetWidth(), 50 + letters.GetHeight()));
    DrawLetters(&letters, view->GetBackBuffer(), view->GetBackground().PictureRect(), "Velmor", 300, 50, 1.0);
    view->Render(&text);
    int changed = 0;
    for (int x = text.left; x < text.right; ++x)
        for (int y = text.top; y < text.bottom; ++y) changed += ScreenAt(x, y) != Pixel24(reference, x, y);
    EXPECT_GT(changed, 20);
    // A picture drawn straight to the window.
    CDIB patch;
    patch.CreateEmpty(2, 2);
    FillPicture(patch, 0xFF0000);
    CDC dc(view);
    EXPECT_EQ(patch.DrawTo(&dc, 10, 10), 2);
    EXPECT_EQ(ScreenAt(11, 11), 0xFF0000u);
    view->DestroyWindow();
}

TEST(AnimView, CommandButtonsPressAndRelease) {
    std::string bg = KitFile("Pictures/1024Bkgnd Main Menu.giz");
    std::string up = KitFile("Pictures/Cmb/1024Cmb Exit Up.giz");
    CHeadlessScope scope;
    CAnimView* view = MakeView<CAnimView>();
    ASSERT_TRUE(view->LoadBackground(bg.c_str(), FALSE, TRUE, TRUE));
    view->AddCommandButton(7, "1024Cmb Exit", 400, 600, TRUE);
    std::string folder = KitFile("Pictures/Cmb") + "/";
    ASSERT_TRUE(view->GetButtons().LoadAll(folder.c_str(), 24, nullptr));
    CSprite upPic, downPic;
    ASSERT_TRUE(upPic.LoadPicture(up.c_str(), 24, nullptr));
    ASSERT_TRUE(downPic.LoadPicture((folder + "1024Cmb Exit Dn.giz").c_str(), 24, nullptr));
    // A pixel where the two pictures differ and neither is transparent.
    CPoint probe(-1, -1);
    for (int y = 1; y < upPic.GetHeight() && probe.x < 0; ++y)
        for (int x = 1; x < upPic.GetWidth(); ++x) {
            BYTE u = *upPic.GetPixelAddress(x, y), d = *downPic.GetPixelAddress(x, y);
            if (u != d && u != upPic.GetTransparentIndex() && d != downPic.GetTransparentIndex()) {
                probe = CPoint(x, y);
                break;
            }
        }
    ASSERT_GE(probe.x, 0);
    auto colourOf = [](CSprite& s, CPoint p) {
        const RGBQUAD& c = s.GetBitmapInfo()->bmiColors[*s.GetPixelAddress(p.x, p.y)];
        return c.rgbBlue | (uint32_t(c.rgbGreen) << 8) | (uint32_t(c.rgbRed) << 16);
    };
    const CRect* r = view->SetButtonState(7, FALSE, FALSE, TRUE);
    EXPECT_EQ(*r, CRect(400, 600, 484, 632));
    EXPECT_EQ(ScreenAt(400 + probe.x, 600 + probe.y), colourOf(downPic, probe));
    view->SetButtonState(7, TRUE, FALSE, TRUE);
    EXPECT_EQ(ScreenAt(400 + probe.x, 600 + probe.y), colourOf(upPic, probe));
    EXPECT_EQ(view->GetButtons().HitTestId(400 + probe.x, 600 + probe.y), 7);
    EXPECT_EQ(*view->SetButtonState(99, FALSE, FALSE, TRUE), CRect(0, 0, 1, 1));
    view->DestroyWindow();
}

TEST(AnimView, SpriteSetsWithMasksAndMissingPictures) {
    CScratchFolder dir;
    CDIB flag, mask;
    MakeIndexed(flag, 4, 4, std::vector<BYTE>(16, 3));
    MakeIndexed(mask, 4, 4, std::vector<BYTE>(16, 255));
    ASSERT_TRUE(flag.SaveAs(dir.Name("Flag.giz").c_str()));
    ASSERT_TRUE(mask.SaveAs(dir.Name("Flag Alpha.giz").c_str()));
    CAnimView view;
    CSprite* s = view.LoadSpriteSet(dir.Name("Flag.giz").c_str(), TRUE, 12, 1, 1, 0);
    ASSERT_NE(s, nullptr);
    ASSERT_NE(view.GetAlphaSprites().Find(12), nullptr);
    EXPECT_EQ(s->GetAlphaMask(), view.GetAlphaSprites().Find(12));
    AfxClearShownMessages();
    EXPECT_EQ(view.LoadSpriteSet(dir.Name("Nothing.giz").c_str(), TRUE, 13, 1, 1, -1), nullptr);
    ASSERT_EQ(AfxGetShownMessages().size(), 1u);
    EXPECT_EQ(AfxGetShownMessages()[0], dir.Name("Nothing.giz") + " cannot be loaded!");
    EXPECT_EQ(view.LoadRLESprite(dir.Name("Nothing.giz").c_str(), 14, 1, 1), CAnimView::s_pFallbackSprite);
    EXPECT_EQ(AfxGetShownMessages().back(), "ERROR: could not load image \"" + dir.Name("Nothing.giz") + "\"");
    CSprite* rle = view.LoadRLESprite(dir.Name("Flag.giz").c_str(), 15, 1, 2);
    ASSERT_NE(rle, nullptr);
    EXPECT_EQ(rle->GetWidth(), 2);
    EXPECT_EQ(view.GetSprites().Find(15), rle);
}

// --- the scrolled field -----------------------------------------------------------

TEST(AnimFocusView, ScrollsTheFieldAndClampsAtItsEdges) {
    CScratchFolder dir;
    CDIB field;
    ASSERT_TRUE(field.CreateEmpty(3000, 2000));
    for (int y = 0; y < 2000; y += 100) SetPixel24(field, 5, y, 0x0000FF);
    ASSERT_TRUE(field.SaveAs(dir.Name("Field.giz").c_str()));
    CDIB panel;
    ASSERT_TRUE(panel.CreateEmpty(1024, 200));
    ASSERT_TRUE(panel.SaveAs(dir.Name("Panel.giz").c_str()));

    CHeadlessScope scope;
    CAnimFocusView* view = MakeView<CAnimFocusView>();
    ASSERT_TRUE(view->LoadBackground(dir.Name("Field.giz").c_str(), FALSE, FALSE, FALSE));
    EXPECT_FALSE(view->m_bFullWindow);  // larger than the screen
    ASSERT_TRUE(view->LoadFrameImage(dir.Name("Panel.giz").c_str(), FALSE));
    EXPECT_TRUE(view->m_bHorizontalFrame);
    EXPECT_EQ(view->m_frameOffset, CPoint(0, 768 - 199));

    const CPoint o(10, 5);
    view->m_minimapOrigin = o;
    view->m_rcMinimap = CRect(0, 0, 149, 99);  // 150 x 100 cells: 3000 x 2000
    view->m_rcVisible = CRect(0, 0, 1024, 600);
    view->m_rcFieldArea = CRect(0, 0, 1024, 600);
    view->m_rcMarker = CRect(0, 0, 51, 30);
    ASSERT_TRUE(view->ScrollToCell(o.x + 149, o.y + 99));
    EXPECT_EQ(view->m_rcVisible.TopLeft(), CPoint(3000 - 1024, 2000 - 600));
    EXPECT_FALSE(view->ScrollToCell(o.x + 149, o.y + 99));  // already there
    ASSERT_TRUE(view->ScrollToCell(o.x - 50, o.y - 50));
    EXPECT_EQ(view->m_rcVisible.TopLeft(), CPoint(0, 0));
    // A window position shows the field at that position plus the scroll
    // offset; the conversion goes both ways.
    view->ScrollTo(1500, 1000, TRUE, TRUE);
    CRect v = view->m_rcVisible;
    EXPECT_EQ(v.TopLeft(), CPoint(1500 - 512, 1000 - 300));
    CPoint p(700, 300);
    view->ScreenToField(p);
    EXPECT_EQ(p, CPoint(700 + v.left, 300 + v.top));
    view->FieldToScreen(p);
    EXPECT_EQ(p, CPoint(700, 300));
    // The scrolled field reaches the screen: a marker dot of column 5 lies
    // off screen here, and the field's own pixels show at their offset.
    EXPECT_EQ(ScreenAt(0, 0), Pixel24(field, v.left, v.top));
    // A button half on the field and half off becomes disabled.
    CCommandButton* b = view->AddCommandButton(3, "None", 0, 0, TRUE);
    b->SetPosition(1000, 100);  // 36 x 36 until its pictures load
    view->DrawCommandButton(b, TRUE, FALSE);
    EXPECT_FALSE(b->m_bEnabled);
    view->DestroyWindow();
}

// A flush draws the icons that are there now, not those of the last scroll.
TEST(AnimFocusView, FlushDrawsIconsAddedAndDroppedSinceTheScroll) {
    CScratchFolder dir;
    CDIB field;
    ASSERT_TRUE(field.CreateEmpty(3000, 2000));
    ASSERT_TRUE(field.SaveAs(dir.Name("Field.giz").c_str()));
    CHeadlessScope scope;
    CAnimFocusView* view = MakeView<CAnimFocusView>();
    ASSERT_TRUE(view->LoadBackground(dir.Name("Field.giz").c_str(), FALSE, FALSE, FALSE));
    view->m_rcMinimap = CRect(0, 0, 149, 99);
    view->m_rcVisible = CRect(0, 0, 1024, 600);
    view->m_rcFieldArea = CRect(0, 0, 1024, 600);
    CSprite block;
    MakeIndexed(block, 4, 4, std::vector<BYTE>(16, 9));
    block.SetTransparent(false);
    CIcon* gone = view->AddIcon(&block, 1100, 800, 1, TRUE, 0, 0, 0, 4, 4);
    view->ScrollTo(1500, 1000, TRUE, FALSE);
    ASSERT_EQ(view->GetVisibleIcons().GetCount(), 1);
    view->GetIcons().RemoveById(gone->m_nId, TRUE);
    CIcon* fresh = view->AddIcon(&block, 1200, 900, 2, TRUE, 0, 0, 0, 4, 4);
    view->AddDirtyRect(fresh->GetRect());
    view->AddDirtyRect(CRect(1100, 800, 1104, 804));
    view->FlushDirtyRects(FALSE);
    EXPECT_EQ(Pixel24(*view->GetBackBuffer(), 1201, 901), PaletteColour(9));
    EXPECT_EQ(Pixel24(*view->GetBackBuffer(), 1101, 801), 0u);
    EXPECT_TRUE(view->GetDirtyRects().empty());
    // After a flush with nothing to draw, a button put away uncovers the
    // icons there now, not those of an earlier flush.
    CIcon* later = view->AddIcon(&block, 100, 100, 3, TRUE, 0, 0, 0, 4, 4);
    view->ClearDirtyRects();
    view->FlushDirtyRects(FALSE);
    later->SetPosition(1210, 910, FALSE);
    view->GetIcons().RemoveById(fresh->m_nId, TRUE);
    const CRect& v = view->m_rcVisible;
    view->AddCommandButton(7, "None", 0, 0, TRUE)->SetPosition(1200 - v.left, 900 - v.top);  // 36 x 36 over both
    view->HideCommandButton(7);
    EXPECT_EQ(Pixel24(*view->GetBackBuffer(), 1201, 901), 0u);
    EXPECT_EQ(Pixel24(*view->GetBackBuffer(), 1211, 911), PaletteColour(9));
    view->DestroyWindow();
}

// The panel's minimap: a dot per unit icon and a marker that follows the
// visible rectangle, the old marker erased.
TEST(AnimFocusView, MinimapDotsAndMarkerFollowTheScroll) {
    CScratchFolder dir;
    CDIB field, panel, map, marker, dot;
    ASSERT_TRUE(field.CreateEmpty(3000, 2000));
    ASSERT_TRUE(panel.CreateEmpty(1024, 200));
    ASSERT_TRUE(map.CreateEmpty(150, 100));
    FillPicture(map, 0x404040);
    SetPixel24(map, 0, 0, 0x000001);  // the key colour
    ASSERT_TRUE(marker.CreateEmpty(51, 30));
    FillPicture(marker, 0xFFFFFF);
    for (int y = 1; y < 29; ++y)
        for (int x = 1; x < 50; ++x) SetPixel24(marker, x, y, 0xFF00FF);
    SetPixel24(marker, 0, 0, 0xFF00FF);  // a hollow white frame: magenta is its key
    for (auto [pic, name] : {std::pair{&field, "Field.giz"}, {&panel, "Panel.giz"}, {&map, "Map.giz"},
                             {&marker, "Marker.giz"}})
        ASSERT_TRUE(pic->SaveAs(dir.Name(name).c_str()));
    CHeadlessScope scope;
    CAnimFocusView* view = MakeView<CAnimFocusView>();
    ASSERT_TRUE(view->LoadBackground(dir.Name("Field.giz").c_str(), FALSE, FALSE, FALSE));
    ASSERT_TRUE(view->LoadFrameImage(dir.Name("Panel.giz").c_str(), TRUE));
    // The minimap sits at cells (850, 20) of the panel; its origin is in
    // window cells, the panel starting at line 569.
    view->m_minimapOrigin = CPoint(850, 569 + 20);
    view->m_rcMinimap = CRect(850, 20, 999, 119);
    view->m_rcVisible = CRect(0, 0, 1024, 600);
    view->m_rcFieldArea = CRect(0, 0, 1024, 600);
    view->m_rcMarker = CRect(0, 0, 51, 30);
    ASSERT_TRUE(view->LoadPanelSprite(dir.Name("Map.giz").c_str(), FALSE));
    ASSERT_TRUE(view->LoadMarkerSprite(dir.Name("Marker.giz").c_str()));

    CSprite unitDot;
    MakeIndexed(unitDot, 2, 1, {0, 200});  // a 1-pixel dot after its key pixel
    unitDot.AfterLoad();
    CIcon* unit = view->AddIcon(nullptr, 1000, 600, 1, FALSE, 0, 0, 0, 4, 4);
    unit->m_pMapSprite = &unitDot;
    view->DrawFrame(TRUE);
    // (1000 + 2) / 20 + 850 = 900, (600 + 2) / 20 + 20 = 50; the dot's pixel
    // is one to the right of its key pixel.
    EXPECT_EQ(ScreenAt(901, 569 + 50), PaletteColour(200));
    EXPECT_EQ(ScreenAt(905, 569 + 50), 0x404040u);

    view->ScrollTo(1500, 1000, TRUE, TRUE);
    EXPECT_EQ(view->m_rcVisible.TopLeft(), CPoint(988, 700));
    EXPECT_EQ(view->m_rcMarker.TopLeft(), CPoint(988 / 20 + 850, 700 / 20 + 20));
    const int mx = 988 / 20 + 850 + 1, my = 700 / 20 + 20 + 1;  // its top edge, drawn one line lower
    EXPECT_EQ(ScreenAt(mx, 569 + my), 0xFFFFFFu);
    view->ScrollTo(0, 0, TRUE, TRUE);
    EXPECT_EQ(ScreenAt(mx, 569 + my), 0x404040u);  // the old marker is gone
    EXPECT_EQ(ScreenAt(851, 569 + 21), 0xFFFFFFu);
    view->GetIcons().RemoveAll();
    delete unit;
    view->DestroyWindow();
}

// --- "ANIM" clips ---------------------------------------------------------------

void PutD32(std::vector<BYTE>& v, DWORD d) { PutD(v, d); }

// A 4x2 clip of pixel size 3 with three frames: a whole red picture, a
// change list that skips 5 pixels (across the row end) then writes one blue
// pixel, and one that writes green over pixel 0.
std::vector<BYTE> ThreeFrameClip(DWORD key = 0x010203) {
    std::vector<BYTE> frame0;
    for (int i = 0; i < 8; ++i) frame0.insert(frame0.end(), {0, 0, 255});
    std::vector<BYTE> frame1 = {BYTE(key), BYTE(key >> 8), BYTE(key >> 16), 5, 255, 0, 0};
    std::vector<BYTE> frame2 = {0, 255, 0};
    std::vector<BYTE> f = {'A', 'N', 'I', 'M'};
    PutD32(f, 3), PutD32(f, 3), PutD32(f, key), PutD32(f, 4), PutD32(f, 2);
    DWORD at = 24 + 8 * 3;
    for (auto* fr : {&frame0, &frame1, &frame2}) {
        PutD32(f, at), PutD32(f, DWORD(fr->size()));
        at += DWORD(fr->size());
    }
    for (auto* fr : {&frame0, &frame1, &frame2}) f.insert(f.end(), fr->begin(), fr->end());
    return f;
}

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes) {
    std::ofstream(path, std::ios::binary).write((const char*)bytes.data(), bytes.size());
}

TEST(AnimClip, PlaysFramesStopsAndLoops) {
    CScratchFolder dir;
    CDIB bg;
    bg.CreateEmpty(64, 64);
    ASSERT_TRUE(bg.SaveAs(dir.Name("Bg.giz").c_str()));
    WriteFile(dir.Name("Arrow.anm"), ThreeFrameClip());
    CHeadlessScope scope;
    CAnimView* view = MakeView<CAnimView>();
    ASSERT_TRUE(view->LoadBackground(dir.Name("Bg.giz").c_str(), FALSE, TRUE, FALSE));
    CAnimClip* clip = view->LoadAnimClip(dir.Name("Arrow.anm").c_str(), 150, 10, 20, TRUE);
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->rect, CRect(10, 20, 14, 22));
    // A click made before the play is discarded; the clip plays to its end.
    AfxInputMouseButton(0, true, 5, 5);
    AfxInputMouseButton(0, false, 5, 5);
    DWORD start = scope.Now();
    view->PlayAnimClip(clip, FALSE, FALSE);
    EXPECT_FALSE(clip->stoppedByClick);
    EXPECT_EQ(clip->currentFrame, 3);
    EXPECT_GE(scope.Now() - start, 300u);  // two intervals of 150 ms
    EXPECT_EQ(ScreenAt(10, 20), 0x00FF00u);  // frame 2
    EXPECT_EQ(ScreenAt(11, 21), 0x0000FFu);  // frame 1: the skip of 5 ran into row 2
    EXPECT_EQ(ScreenAt(13, 21), 0xFF0000u);  // red since frame 0
    // Looping wraps to frame 0, which repaints the whole clip.
    clip->currentFrame = 2;
    clip->loop = true;
    view->StepAnimClip(clip);
    EXPECT_EQ(clip->currentFrame, 0);
    view->StepAnimClip(clip);
    view->Render(&clip->rect);
    EXPECT_EQ(ScreenAt(10, 20), 0xFF0000u);
    // A left click during the play stops it at once.
    clip->currentFrame = 0;
    scope.Display().ClickAfter(200, 5, 5);
    view->PlayAnimClip(clip, TRUE, FALSE);
    EXPECT_TRUE(clip->stoppedByClick);
    EXPECT_FALSE(clip->playing);
    DeleteAnimClip(clip);
    view->DestroyWindow();
}

// The kit's arrow clip plays over the whole small layout to its last frame,
// where the ink arrow stands in the target.
TEST(AnimClip, TheKitArrowClipPlaysToTheTarget) {
    std::string clipFile = KitFile("Pictures/1024Bkgnd Arrow.anm");
    std::string bg = KitFile("Pictures/1024Bkgnd Main Menu.giz");
    CHeadlessScope scope;
    CAnimView* view = MakeView<CAnimView>();
    ASSERT_TRUE(view->LoadBackground(bg.c_str(), FALSE, FALSE, FALSE));
    CAnimClip* clip = view->LoadAnimClip(clipFile.c_str(), 150, 0, 0, FALSE);
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->rect, CRect(0, 0, 1024, 768));
    view->PlayAnimClip(clip, FALSE, FALSE);
    EXPECT_EQ(clip->currentFrame, clip->frameCount);
    // On the shaft, just behind the head: sumi ink.
    uint32_t shaft = ScreenAt(int(1024 * 0.78) - 60, int(768 * 0.42));
    EXPECT_LT((shaft & 0xFF) + ((shaft >> 8) & 0xFF) + (shaft >> 16), 3u * 60);
    DeleteAnimClip(clip);
    view->DestroyWindow();
}

// Each malformed clip is refused or drawn within its bounds.
TEST(AnimClip, RefusesMalformedFilesAndClipsWrites) {
    CScratchFolder dir;
    CDIB bg;
    bg.CreateEmpty(16, 16);
    ASSERT_TRUE(bg.SaveAs(dir.Name("Bg.giz").c_str()));
    CHeadlessScope scope;
    CAnimView* view = MakeView<CAnimView>(16, 16);
    ASSERT_TRUE(view->LoadBackground(dir.Name("Bg.giz").c_str(), FALSE, FALSE, FALSE));
    const std::vector<BYTE> good = ThreeFrameClip();
    struct Case {
        const char* what;
        size_t at;
        std::vector<BYTE> bytes;
        size_t truncateTo;
    };
    const Case refused[] = {
        {"ANIN", 0, {'A', 'N', 'I', 'N'}, 0},
        {"pixel size 2", 8, {2}, 0},
        {"no frames", 4, {0}, 0},
        {"a billion frames", 4, {0, 0, 0, 0x40}, 0},
        {"width 0", 16, {0}, 0},
        {"frame past the end", 28, {0xFF, 0xFF}, 0},
        {"frame 0 smaller than the picture", 28, {4}, 0},
        {"table cut short", 0, {}, 40},
    };
    for (const Case& c : refused) {
        std::vector<BYTE> bytes = good;
        std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + c.at);
        if (c.truncateTo) bytes.resize(c.truncateTo);
        WriteFile(dir.Name("bad.anm"), bytes);
        EXPECT_EQ(view->LoadAnimClip(dir.Name("bad.anm").c_str(), 10, 0, 0, FALSE), nullptr) << c.what;
    }
    EXPECT_EQ(view->LoadAnimClip(dir.Name("missing.anm").c_str(), 10, 0, 0, FALSE), nullptr);
    // A clip placed past the buffer's corner, and a change list whose skip
    // runs past the clip: drawn in part, nothing written outside.
    WriteFile(dir.Name("edge.anm"), good);
    CAnimClip* clip = view->LoadAnimClip(dir.Name("edge.anm").c_str(), 10, 14, 15, FALSE);
    ASSERT_NE(clip, nullptr);
    for (int i = 0; i < 3; ++i) view->StepAnimClip(clip);
    EXPECT_EQ(Pixel24(*view->GetBackBuffer(), 14, 15), 0x00FF00u);
    EXPECT_EQ(Pixel24(*view->GetBackBuffer(), 15, 15), 0xFF0000u);
    DeleteAnimClip(clip);
    view->DestroyWindow();
}

}  // namespace
