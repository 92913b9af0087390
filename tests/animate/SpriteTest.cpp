// Sprites, phased sprites, letter sets, run-length sprites, icons, command
// buttons and level meters, drawn into real pictures.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "Animate/CommandButton.h"
#include "Animate/Icon.h"
#include "Animate/LetterSet.h"
#include "Animate/LevelMeter.h"
#include "Animate/RLESprite.h"
#include "tests/animate/GfxFixtures.h"

namespace {

// A sink that records what a list asks to redraw.
struct RecordingSink : CDirtyRectSink {
    std::vector<CRect> rects;
    void AddDirtyRect(const RECT& r) override { rects.push_back(r); }
};

// An 8-bit sprite from rows of indices; pixel (0,0) is its key.
CSprite* IndexedSprite(int w, int h, const std::vector<BYTE>& px, CSprite* s = new CSprite) {
    MakeIndexed(*s, w, h, px);
    s->AfterLoad();
    return s;
}

TEST(Sprite, KeyHitTestAndOpaqueMode) {
    std::unique_ptr<CSprite> s(IndexedSprite(3, 3, {7, 7, 7, 7, 2, 7, 7, 7, 3}));
    s->Move(10, 10, FALSE);
    CDIB screen;
    screen.CreateEmpty(20, 20);
    FillPicture(screen, 0x0000FF);
    s->Draw(&screen, nullptr, 1.0);
    EXPECT_EQ(Pixel24(screen, 10, 10), 0x0000FFu);  // index 7 keyed out
    EXPECT_EQ(Pixel24(screen, 11, 11), PaletteColour(2));
    EXPECT_EQ(Pixel24(screen, 12, 12), PaletteColour(3));
    EXPECT_TRUE(s->HitTest(11, 11));
    EXPECT_FALSE(s->HitTest(10, 10));  // the first row and column never hit
    EXPECT_FALSE(s->HitTest(12, 11));  // transparent pixel
    s->SetTransparent(false);
    EXPECT_TRUE(s->HitTest(12, 11));
    s->Draw(&screen, nullptr, 1.0);
    EXPECT_EQ(Pixel24(screen, 10, 10), PaletteColour(7));
    // A clip limits the drawing; a sprite off the screen is cut, not written past.
    FillPicture(screen, 0);
    s->Move(18, -1, FALSE);
    CRect clip(0, 0, 19, 20);
    s->Draw(&screen, &clip, 1.0);
    EXPECT_EQ(Pixel24(screen, 18, 0), PaletteColour(7));
    EXPECT_EQ(Pixel24(screen, 19, 0), 0u);
}

TEST(Sprite, TrueColourCopyFollowsEveryChange) {
    // A sprite drawn onto 24 bits keeps a true-colour copy of its pixels;
    // after each way its pixels or colours change, the next draw shows the
    // new ones. 21 pixels wide: a block of 16 and a ragged end.
    constexpr int w = 21, h = 2;
    std::vector<BYTE> px(w * h);
    for (int i = 0; i < w * h; ++i) px[i] = i % 5 == 0 ? 0 : BYTE(1 + i * 3 % 200);
    PALETTEENTRY grey[256];
    for (int i = 0; i < 256; ++i) grey[i] = PALETTEENTRY{BYTE(i), BYTE(i), BYTE(i), 0};
    CPalette greys;
    greys.CreatePalette(grey, 256);
    const std::pair<const char*, std::function<void(CSprite&)>> changes[] = {
        {"mapped to another palette", [&](CSprite& s) { s.MapToPalette(greys); }},
        {"filled", [](CSprite& s) { s.FillPixels(CRect(1, 0, 19, 2), 77); }},
        {"flipped", [](CSprite& s) { s.FlipRows(); }},
        {"swapped", [&](CSprite& s) {
             CDIB other;
             MakeIndexed(other, w, h, std::vector<BYTE>(w * h, 42));
             s.Swap(other);
         }},
        {"made again", [&](CSprite& s) { MakeIndexed(s, w, h, std::vector<BYTE>(w * h, 43)); }},
        {"drawn on by another picture", [&](CSprite& s) {
             CDIB other;
             MakeIndexed(other, w, h, std::vector<BYTE>(w * h, 44));
             other.Copy(&s, 0, 0, w, h, 0, 0, DIB_NO_KEY);
         }},
        {"pixels written, then AfterLoad", [](CSprite& s) {
             *s.GetPixelAddress(7, 1) = 99;
             s.AfterLoad();
         }},
        {"colours written, then PixelsChanged", [](CSprite& s) {
             for (RGBQUAD& c : s.GetBitmapInfo()->bmiColors) c.rgbGreen ^= 0x55;
             s.PixelsChanged();
         }},
    };
    for (const auto& [name, change] : changes) {
        std::unique_ptr<CSprite> s(IndexedSprite(w, h, px));
        CDIB screen;
        screen.CreateEmpty(w, h);
        s->Draw(&screen, nullptr, 1.0);
        ASSERT_GT(s->GetTrueColourBytes(), 0u) << name;
        change(*s);
        FillPicture(screen, 0x123456);
        s->Draw(&screen, nullptr, 1.0);
        const BYTE key = s->GetTransparentIndex();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const BYTE i = *s->GetPixelAddress(x, y);
                const RGBQUAD& c = s->GetBitmapInfo()->bmiColors[i];
                const uint32_t want = i == key ? 0x123456u : c.rgbBlue | (uint32_t(c.rgbGreen) << 8) | (uint32_t(c.rgbRed) << 16);
                ASSERT_EQ(Pixel24(screen, x, y), want) << name << " at " << x << "," << y;
            }
    }
}

TEST(Sprite, AlphaMaskBlends) {
    CSprite s;
    s.CreateEmpty(2, 1);
    FillPicture(s, 0xC8C8C8);
    SetPixel24(s, 0, 0, 0xC8C8C8);
    s.AfterLoad();
    CDIB mask;
    MakeIndexed(mask, 2, 1, {128, 255});
    s.SetAlphaMask(&mask);
    CDIB screen;
    screen.CreateEmpty(2, 1);
    s.Draw(&screen, nullptr, 1.0);
    EXPECT_EQ(Pixel24(screen, 0, 0), 0x646464u);
    EXPECT_EQ(Pixel24(screen, 1, 0), 0xC7C7C7u);  // 200 x 255 >> 8
}

TEST(SpriteList, DepthOrderAndLookups) {
    CSpriteList list;
    EXPECT_EQ(list.GetMaxId(), 0);
    CSprite* a = new CSprite;
    CSprite* b = new CSprite;
    CSprite* c = new CSprite;
    a->SetDepth(50), a->SetId(1);
    b->SetDepth(10), b->SetId(2);
    c->SetDepth(50), c->SetId(3);
    list.InsertByDepth(a);
    list.InsertByDepth(b);
    list.InsertByDepth(c);
    std::vector<int> ids;
    for (POSITION p = list.GetHeadPosition(); p;) ids.push_back(static_cast<CSprite*>(list.GetNext(p))->GetId());
    EXPECT_EQ(ids, (std::vector<int>{2, 3, 1}));
    // The list's link ignores depth changes: no re-sort.
    a->SetDepth(0);
    EXPECT_EQ(static_cast<CSprite*>(list.GetHead())->GetId(), 2);
    EXPECT_EQ(list.Find(9), nullptr);
    EXPECT_EQ(list.GetMaxId(), 3);
    EXPECT_EQ(list.RemoveById(3, FALSE), c);
    delete c;
    EXPECT_EQ(list.RemoveById(1, TRUE), nullptr);
    EXPECT_EQ(list.GetCount(), 1);
    list.DeleteAll();
}

// A 3-column, 2-row sheet of 2x2 cells: cell (c, r) is filled with index
// 10 + c + 3r, except pixel (0,0) of the sheet, the key 0.
CPhasedSprite* Sheet() {
    std::vector<BYTE> px(6 * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) px[y * 6 + x] = BYTE(10 + x / 2 + 3 * (y / 2));
    px[0] = 0;
    auto* s = new CPhasedSprite;
    MakeIndexed(*s, 6, 4, px);
    s->AfterLoad();
    return s;
}

TEST(PhasedSprite, CellsDrawAndHit) {
    std::unique_ptr<CPhasedSprite> s(Sheet());
    ASSERT_TRUE(s->SetColumnCount(3));
    ASSERT_TRUE(s->SetRowCount(2));
    EXPECT_EQ(s->GetWidth(), 2);
    EXPECT_FALSE(s->SetColumnCount(0));
    EXPECT_FALSE(s->SetColumnCount(7));  // cells under one pixel
    EXPECT_FALSE(s->SetColumn(3));
    EXPECT_TRUE(s->SetColumn(2));
    EXPECT_TRUE(s->SetRow(1));
    CDIB screen;
    MakeIndexed(screen, 4, 4, std::vector<BYTE>(16, 1));
    s->Move(1, 1, FALSE);
    s->Draw(&screen, nullptr, 1.0);
    EXPECT_EQ(*screen.GetPixelAddress(1, 1), 15);
    EXPECT_EQ(*screen.GetPixelAddress(3, 3), 1);
    EXPECT_FALSE(s->HitTestPhase(1, 1, 2, 1));  // on the edge
    s->Move(0, 0, FALSE);
    EXPECT_TRUE(s->HitTestPhase(1, 1, -1, -1));  // cell 0
    EXPECT_TRUE(s->HitTestPhase(1, 1, 2, 1));
    *s->GetPixelAddress(5, 3) = 0;
    EXPECT_FALSE(s->HitTestPhase(1, 1, 2, 1));  // the key index, whatever the transparent flag
}

TEST(LetterSet, GlyphsLayoutAndRectangle) {
    EXPECT_EQ(LetterGlyph('a'), LetterGlyph('A'));
    EXPECT_EQ(LetterGlyph('9'), 35);
    EXPECT_EQ(LetterGlyph('\\'), 54);
    EXPECT_EQ(LetterGlyph('#'), -1);
    EXPECT_EQ(LetterGlyph('\0'), -1);

    // A sheet of 55 cells of 2x3, glyph g drawn in index g + 1 (key 0 at (0,0)).
    std::vector<BYTE> px(110 * 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 110; ++x) px[y * 110 + x] = BYTE(x / 2 + 1);
    px[0] = 0;
    CPhasedSprite set;
    MakeIndexed(set, 110, 3, px);
    set.AfterLoad();
    set.SetRowCount(1);
    set.SetColumnCount(kLetterSetCells);
    SetLetterCellSize(2, 3);
    CDIB screen;
    MakeIndexed(screen, 20, 10, std::vector<BYTE>(200, 99));
    DrawLetters(&set, &screen, screen.GetRect(), "b#c\nA", 1, 1, 1.0);
    EXPECT_EQ(*screen.GetPixelAddress(1, 1), 1 + 1);  // 'b' is glyph 1
    EXPECT_EQ(*screen.GetPixelAddress(3, 1), 2 + 1);  // '#' takes no room
    EXPECT_EQ(*screen.GetPixelAddress(1, 4), 99);     // 'A' on the next line: its key pixel
    EXPECT_EQ(*screen.GetPixelAddress(2, 5), 0 + 1);  // ... and its body
    SetLetterCellSize(12, 16);
    EXPECT_EQ(LetterTextRect("A\nBC", 10, 20), CRect(10, 20, 10 + 3 * 12, 20 + 2 * 16));
    EXPECT_EQ(LetterTextRect("ab cd", 0, 0), CRect(0, 0, 60, 16));
}

TEST(RLESprite, EncodeRunsAndDrawClipped) {
    // 300 transparent pixels become two runs (255 and 45).
    CDIB wide;
    MakeIndexed(wide, 300, 2, std::vector<BYTE>(600, 0));
    *wide.GetPixelAddress(5, 1) = 4;
    RLESprite r;
    r.Encode(wide, 1, 1);
    ASSERT_TRUE(r.HasFrames());
    EXPECT_EQ(r.GetFrameRow(0, 0, 0), nullptr);  // wholly transparent row
    const BYTE* row = r.GetFrameRow(0, 0, 1);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(row[1], 5);
    EXPECT_EQ(row[2], 4);
    EXPECT_EQ(row[4], 255);  // 294 more: 255 then 39
    EXPECT_EQ(row[6], 39);
    EXPECT_FALSE(r.SetRowCount(2));
    EXPECT_FALSE(r.SetRow(1));
    CDIB rgb;
    rgb.CreateEmpty(4, 4);
    RLESprite none;
    none.Encode(rgb, 1, 1);
    EXPECT_FALSE(none.HasFrames());

    // Widths 1 and 3 of alternating pixels need more than 1.6 bytes a pixel.
    for (int w : {1, 3, 5}) {
        std::vector<BYTE> px(w);
        for (int i = 0; i < w; ++i) px[i] = BYTE(i % 2 ? 0 : 9);
        px[0] = 0;  // key
        CDIB src;
        MakeIndexed(src, w, 1, px);
        RLESprite s;
        s.Encode(src, 1, 1);
        EXPECT_TRUE(s.HasFrames()) << w;
    }

    // Cells: a 100-wide source in 3 columns gives 33-wide cells; drawing is
    // clipped to the clip and the target, keyed out where transparent.
    std::vector<BYTE> px(100 * 4, 0);
    for (int x = 1; x < 100; ++x)
        for (int y = 0; y < 4; ++y) px[y * 100 + x] = BYTE(x < 33 ? 1 : x < 66 ? 2 : 3);
    CDIB src;
    MakeIndexed(src, 100, 4, px);
    RLESprite s;
    s.Encode(src, 1, 3);
    EXPECT_EQ(s.GetWidth(), 33);
    s.SetColumn(1);
    CDIB screen;
    screen.CreateEmpty(40, 4);
    FillPicture(screen, 0x111111);
    s.Move(20, 0, FALSE);
    CRect clip(0, 0, 30, 2);
    s.Draw(&screen, &clip, 1.0);
    EXPECT_EQ(Pixel24(screen, 20, 0), PaletteColour(2));
    EXPECT_EQ(Pixel24(screen, 29, 1), PaletteColour(2));
    EXPECT_EQ(Pixel24(screen, 30, 1), 0x111111u);
    EXPECT_EQ(Pixel24(screen, 25, 2), 0x111111u);
    s.Move(-30, 0, FALSE);  // mostly off the left edge
    s.Draw(&screen, nullptr, 1.0);
    EXPECT_EQ(Pixel24(screen, 2, 3), PaletteColour(2));
    EXPECT_TRUE(s.HitTestPhase(-30 + 5, 1, -1, -1));
    EXPECT_FALSE(s.HitTestPhase(-30, 0, 0, 0));  // the key pixel of cell 0
}

TEST(Icon, DrawOrderTransparencyAndNotices) {
    std::unique_ptr<CSprite> red(IndexedSprite(4, 4, std::vector<BYTE>(16, 5)));
    std::unique_ptr<CSprite> blue(IndexedSprite(4, 4, std::vector<BYTE>(16, 6)));
    *red->GetPixelAddress(0, 0) = 0;  // key index 0 at (0,0) only
    *blue->GetPixelAddress(0, 0) = 0;
    red->AfterLoad();
    blue->AfterLoad();
    CIconList list;
    RecordingSink dialog;
    list.SetOwnerDialog(&dialog);
    CIcon* low = new CIcon(red.get(), CRect(0, 0, 4, 4), 1, 4, 4);
    CIcon* high = new CIcon(blue.get(), CRect(0, 0, 4, 4), 2, 4, 4);
    low->SetPosition(0, 0, FALSE);
    high->SetPosition(2, 2, FALSE);
    low->SetDepth(10, FALSE);
    high->SetDepth(20, FALSE);
    list.Insert(high);
    list.Insert(low);
    CDIB screen;
    screen.CreateEmpty(8, 8);
    list.DrawAll(&screen, TRUE, 0, CRect());
    EXPECT_EQ(Pixel24(screen, 3, 3), PaletteColour(6));  // the deeper icon on top
    EXPECT_EQ(Pixel24(screen, 0, 0), 0u);                // keyed out
    EXPECT_EQ(Pixel24(screen, 2, 2), PaletteColour(5));  // blue's key pixel shows red
    // Depth 10 -> 90 moves it behind the other; moving reports two rectangles.
    low->SetDepth(90, TRUE);
    EXPECT_EQ(list.GetTail(), low);
    dialog.rects.clear();
    high->SetPosition(3, 3, TRUE);
    ASSERT_EQ(dialog.rects.size(), 2u);
    EXPECT_EQ(dialog.rects[0], CRect(2, 2, 6, 6));
    EXPECT_EQ(dialog.rects[1], CRect(3, 3, 7, 7));
    EXPECT_EQ(high->GetPreviousPosition(), CPoint(2, 2));
    // After a resort the icons still reach their owner.
    list.Resort();
    dialog.rects.clear();
    low->SetPosition(1, 1, TRUE);
    EXPECT_EQ(dialog.rects.size(), 2u);
    // A disabled icon is not drawn; a phased icon is drawn by DrawAll only.
    FillPicture(screen, 0);
    high->m_bEnabled = FALSE;
    list.DrawAll(&screen, TRUE, 0, CRect());
    EXPECT_EQ(Pixel24(screen, 6, 6), 0u);
    EXPECT_EQ(high->Draw(&screen, CRect()), nullptr);
    low->m_bStatic = FALSE;
    EXPECT_EQ(low->Draw(&screen, CRect()), nullptr);
    // State masks, counts, ids, margins.
    EXPECT_EQ(list.CountByState(0), 2);
    EXPECT_EQ(list.CountByState(2), 1);
    high->m_nId = 7;
    EXPECT_EQ(list.GetLargestId(), 7);
    EXPECT_TRUE(high->HitTest(1, 3, TRUE, 5, 5, 5, 5));
    EXPECT_FALSE(high->HitTest(1, 3, TRUE));
    CIconList empty;
    EXPECT_EQ(empty.GetLargestId(), 0);
    list.DeleteAll();
}

TEST(Icon, SerializeRoundTripAndUnknownLayout) {
    CIcon a;
    a.m_nId = 4, a.m_nState = 0x30, a.m_strName = "Flag";
    a.m_rcFrame = CRect(1, 2, 3, 4);
    a.SetPosition(10, 20, FALSE);
    a.SetDepth(77, FALSE);
    auto bytes = StoreBytes([&](CArchive& ar) { a.Serialize(ar); });
    CIcon b;
    LoadBytes(bytes, [&](CArchive& ar) { b.Serialize(ar); });
    EXPECT_EQ(b.m_nId, 4);
    EXPECT_EQ(b.m_nState, 0x30u);
    EXPECT_EQ(b.m_strName, CString("Flag"));
    EXPECT_EQ(b.GetRect().TopLeft(), CPoint(10, 20));
    EXPECT_EQ(b.GetDepth(), 77);
    EXPECT_EQ(b.m_rcFrame, CRect(1, 2, 3, 4));
    bytes[0] = 2;
    EXPECT_THROW(LoadBytes(bytes, [&](CArchive& ar) { b.Serialize(ar); }), CArchiveException);
}

TEST(CommandButton, LoadHitDrawAndSort) {
    CScratchFolder dir;
    CSprite up, dn;
    MakeIndexed(up, 4, 4, std::vector<BYTE>(16, 3));
    MakeIndexed(dn, 4, 4, std::vector<BYTE>(16, 4));
    *up.GetPixelAddress(0, 0) = 0;
    *dn.GetPixelAddress(0, 0) = 0;
    ASSERT_TRUE(up.SaveAs(dir.Name("Ok Up.giz").c_str()));
    ASSERT_TRUE(dn.SaveAs(dir.Name("Ok Dn.giz").c_str()));
    CCmbList list;
    list.Add(new CCommandButton(5, "Ok", 10, 300, 300));
    list.Add(new CCommandButton(6, "Ok", 10, 100, 100));
    list.Add(new CCommandButton(7, "Ok", 10, 250));
    list.Add(new CCommandButton(8, "Ok", 10, 200, 200));
    std::string folder = dir.Path().string() + "/";
    ASSERT_TRUE(list.LoadAll(folder.c_str(), 24, nullptr));
    list.SortByOrder();
    std::vector<int> ids;
    for (POSITION p = list.GetHeadPosition(); p;) ids.push_back(static_cast<CCommandButton*>(list.GetNext(p))->GetId());
    EXPECT_EQ(ids, (std::vector<int>{6, 8, 7, 5}));

    CCommandButton* b = list.FindById(6);
    EXPECT_EQ(b->GetRect(), CRect(10, 100, 14, 104));
    EXPECT_EQ(list.HitTestId(12, 102), 6);
    EXPECT_EQ(list.HitTestId(10, 100), 0);  // edge and key pixel
    EXPECT_EQ(list.HitTestId(10, 100, TRUE), 6);
    list.EnableButton(6, FALSE);
    EXPECT_EQ(list.HitTestId(12, 102, TRUE), 0);
    list.EnableButton(6, TRUE);
    CDIB screen;
    screen.CreateEmpty(20, 320);
    b->Draw(&screen, FALSE);
    EXPECT_EQ(Pixel24(screen, 12, 102), PaletteColour(4));
    b->Draw(&screen, TRUE);
    EXPECT_EQ(Pixel24(screen, 12, 102), PaletteColour(3));
    b->SetPosition(0, 0);
    EXPECT_EQ(b->GetRect(), CRect(0, 0, 4, 4));
    EXPECT_EQ(b->m_nOrder, 0);

    // A missing picture stops the load at that button and reports it.
    CCmbList two;
    two.Add(new CCommandButton(1, "Missing", 0, 0));
    two.Add(new CCommandButton(2, "Ok", 0, 0));
    AfxClearShownMessages();
    EXPECT_FALSE(two.LoadAll(folder.c_str(), 24, nullptr));
    ASSERT_EQ(AfxGetShownMessages().size(), 1u);
    EXPECT_NE(AfxGetShownMessages()[0].find("ERROR: Some Command Buttons could not be loaded."), std::string::npos);
    EXPECT_NE(AfxGetShownMessages()[0].find("Missing Up.giz"), std::string::npos);
    EXPECT_EQ(two.FindById(1)->GetUpSprite(), nullptr);
    EXPECT_EQ(two.FindById(2)->GetUpSprite(), nullptr);  // never reached

    // True-colour pictures hit on every colour but the key, including one
    // that shares the key's blue.
    CDIB up24;
    ASSERT_TRUE(up24.CreateEmpty(4, 4));
    FillPicture(up24, 0xFFFFFF);
    SetPixel24(up24, 0, 0, 0xFF00FF);
    SetPixel24(up24, 2, 2, 0xFF00FF);
    ASSERT_TRUE(up24.SaveAs(dir.Name("True Up.giz").c_str()));
    ASSERT_TRUE(up24.SaveAs(dir.Name("True Dn.giz").c_str()));
    CCommandButton truth(9, "True", 0, 0, -1);
    ASSERT_TRUE(truth.LoadImages(folder.c_str(), 24, nullptr));
    EXPECT_TRUE(truth.HitTest(1, 1, FALSE, TRUE));
    EXPECT_FALSE(truth.HitTest(2, 2, FALSE, TRUE));
}

TEST(LevelMeter, CountsAndOnValue) {
    // Segments are 2x2 cells of a sheet whose row 0 is dark (index 1) and
    // row 1 lit (index 2); rows 2 and 3 are other lit colours.
    std::vector<BYTE> px(2 * 8);
    for (int y = 0; y < 8; ++y) px[y * 2] = px[y * 2 + 1] = BYTE(1 + y / 2);
    px[0] = 0;
    CPhasedSprite sheet;
    MakeIndexed(sheet, 2, 8, px);
    sheet.AfterLoad();
    sheet.SetRowCount(4);
    CLevelMeterGroup meter(5, 0, 0, 0, 0, 0, 1, 0);
    for (int i = 0; i < 5; ++i) {
        CIcon* segment = new CIcon(&sheet, CRect(0, 0, 2, 2), 0, 2, 2);
        segment->m_bStatic = FALSE;
        segment->SetPosition(i * 3, 0, FALSE);
        meter.SetMeter(segment, i);
    }
    auto rows = [&] {
        std::vector<int> r;
        for (int i = 0; i < 5; ++i) r.push_back(meter.GetSegment(i)->m_nPhaseRow);
        return r;
    };
    meter.SetCount(5);
    meter.SetCount(2);
    EXPECT_EQ(rows(), (std::vector<int>{1, 1, 0, 0, 0}));
    meter.SetOnValue(3);
    EXPECT_EQ(rows(), (std::vector<int>{3, 3, 0, 0, 0}));
    meter.SetCount(4);
    EXPECT_EQ(rows(), (std::vector<int>{3, 3, 3, 3, 0}));
    // Drawn by its owner: lit segments in the on colour, the rest dark.
    CDIB screen;
    screen.CreateEmpty(15, 2);
    meter.GetIcons().DrawAll(&screen, TRUE, 0, CRect());
    EXPECT_EQ(Pixel24(screen, 1, 1), PaletteColour(4));
    EXPECT_EQ(Pixel24(screen, 10, 1), PaletteColour(4));
    EXPECT_EQ(Pixel24(screen, 13, 1), PaletteColour(1));
    // Past the segments: all lit, nothing written beyond the row.
    meter.SetCount(40);
    EXPECT_EQ(meter.GetCount(), 5);
    EXPECT_EQ(rows(), (std::vector<int>{3, 3, 3, 3, 3}));
    meter.SetCount(-3);
    EXPECT_EQ(rows(), (std::vector<int>{0, 0, 0, 0, 0}));
}

}  // namespace
