// Pictures: layout, pixel access, the copy routines and the three files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "Animate/DIB.h"
#include "Animate/DIBSurface.h"
#include "tests/animate/GfxFixtures.h"

namespace {

TEST(DIB, LayoutAndPixelAddress) {
    CDIB p24, p8;
    ASSERT_TRUE(p24.CreateEmpty(3, 2));
    CPalette pal;
    PALETTEENTRY pe[4] = {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}};
    pal.CreatePalette(pe, 4);
    ASSERT_TRUE(p8.CreateEmpty(3, 2, &pal));
    EXPECT_EQ(p24.GetStride(), 12u);
    EXPECT_EQ(p8.GetStride(), 4u);
    EXPECT_EQ(p8.GetBitCount(), 8);
    EXPECT_EQ(p8.GetBitmapInfo()->bmiHeader.biClrUsed, 4u);
    // Rows are bottom-up: pixel (0,0) lies in the last stored row.
    EXPECT_EQ(p24.GetPixelAddress(0, 0), p24.GetBits() + 12);
    EXPECT_EQ(p24.GetPixelAddress(2, 1), p24.GetBits() + 6);
    for (auto [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}}) EXPECT_EQ(p24.GetPixelAddress(x, y), nullptr);
}

TEST(DIB, CopyKeysAndPaths) {
    // 24-bit: magenta keyed out, everything else copied.
    CDIB src, dst;
    src.CreateEmpty(2, 1);
    dst.CreateEmpty(2, 1);
    SetPixel24(src, 0, 0, 0xFF00FF);
    SetPixel24(src, 1, 0, 0x123456);
    SetPixel24(dst, 0, 0, 0x010101);
    src.SetDepth(24);
    src.Copy(&dst, 0, 0, 2, 1, 0, 0, 0xFF00FF);
    EXPECT_EQ(Pixel24(dst, 0, 0), 0x010101u);
    EXPECT_EQ(Pixel24(dst, 1, 0), 0x123456u);
    src.Copy(&dst, 0, 0, 2, 1, 0, 0, DIB_NO_KEY);
    EXPECT_EQ(Pixel24(dst, 0, 0), 0xFF00FFu);

    // 8-bit into 8-bit copies indices; into 24-bit expands through the table.
    CDIB s8, d8, d24;
    MakeIndexed(s8, 2, 1, {7, 3});
    MakeIndexed(d8, 2, 1, {1, 1});
    d24.CreateEmpty(2, 1);
    s8.SetDepth(8);
    s8.Copy(&d8, 0, 0, 2, 1, 0, 0, 7 | DIB_INDEX_KEY);
    EXPECT_EQ(*d8.GetPixelAddress(0, 0), 1);
    EXPECT_EQ(*d8.GetPixelAddress(1, 0), 3);
    s8.SetDepth(16);
    s8.Copy(&d24, 0, 0, 2, 1, 0, 0, DIB_NO_KEY);
    EXPECT_EQ(Pixel24(d24, 0, 0), PaletteColour(7));
    EXPECT_EQ(Pixel24(d24, 1, 0), PaletteColour(3));
}

TEST(DIB, CopyClipsFaultyRectangles) {
    // A rectangle that runs off either picture is cut, never written past.
    CDIB src, dst;
    src.CreateEmpty(4, 4);
    dst.CreateEmpty(4, 4);
    FillPicture(src, 0x00FF00);
    src.Copy(&dst, 2, 2, 10, 10, -1, 0, DIB_NO_KEY);
    EXPECT_EQ(Pixel24(dst, 1, 2), 0u);
    EXPECT_EQ(Pixel24(dst, 3, 3), 0x00FF00u);
    EXPECT_EQ(Pixel24(dst, 2, 3), 0u);  // source column -1 does not exist
}

TEST(DIB, ShadedBlendedAndTinted) {
    CDIB src, dst, ref;
    src.CreateEmpty(2, 2);
    dst.CreateEmpty(2, 2);
    ref.CreateEmpty(2, 2);
    FillPicture(src, 0xC9C9C9);  // 201 in every channel
    FillPicture(dst, 0x101010);
    FillPicture(ref, 0x101010);
    src.CopyShaded(&dst, 0, 0, 2, 2, 0, 0, 0.0, DIB_NO_KEY);
    EXPECT_EQ(Pixel24(dst, 0, 0), 0x101010u);
    src.CopyShaded(&dst, 0, 0, 2, 2, 0, 0, 1.0, DIB_NO_KEY);
    src.Copy(&ref, 0, 0, 2, 2, 0, 0, DIB_NO_KEY);
    EXPECT_EQ(Pixel24(dst, 1, 1), Pixel24(ref, 1, 1));
    src.CopyShaded(&dst, 0, 0, 2, 2, 0, 0, 0.5, DIB_NO_KEY);
    EXPECT_EQ(Pixel24(dst, 0, 0), 0x646464u);  // 201 x 0.5 = 100

    // Blend: an 8-bit mask of 128 goes half way; 0 is skipped.
    CDIB mask;
    MakeIndexed(mask, 2, 2, {128, 0, 255, 0});
    FillPicture(dst, 0x000000);
    FillPicture(src, 0xC8C8C8);
    src.CopyBlended(&mask, &dst, 0, 0, 2, 2, 0, 0, 1.0);
    EXPECT_EQ(Pixel24(dst, 0, 0), 0x646464u);
    EXPECT_EQ(Pixel24(dst, 1, 0), 0u);
    // A mask of another size is refused instead of being read out of bounds.
    CDIB small;
    MakeIndexed(small, 1, 1, {255});
    FillPicture(dst, 0);
    src.CopyBlended(&small, &dst, 0, 0, 2, 2, 0, 0, 1.0);
    EXPECT_EQ(Pixel24(dst, 0, 0), 0u);

    // Tint: 2.0 fills, 0 leaves, 8-bit pictures are untouched.
    FillPicture(dst, 0x000000);
    dst.TintRect(RGB(255, 0, 0), 2.0, 1, 1, 0, 0);
    EXPECT_EQ(Pixel24(dst, 0, 0), 0xFF0000u);
    dst.TintRect(RGB(0, 255, 0), 0.0, 1, 1, 0, 0);
    EXPECT_EQ(Pixel24(dst, 0, 0), 0xFF0000u);
    dst.BlendRect(RGB(0, 0, 0), 0.5, 1, 1, 0, 0);
    EXPECT_EQ(Pixel24(dst, 0, 0), 0x7F0000u);  // 255 + (-255 x 128 >> 8), shifted arithmetically
    CDIB idx;
    MakeIndexed(idx, 1, 1, {9});
    idx.TintRect(RGB(255, 255, 255), 2.0, 1, 1, 0, 0);
    EXPECT_EQ(*idx.GetPixelAddress(0, 0), 9);
}

// Rows of indices for the drawing tests below: every pattern of key
// pixels that the copies treat apart (none, all, alternating, runs that end
// on either side of 4 and 16 pixels, a lone pixel at either edge) and
// a scattering.
std::vector<std::vector<BYTE>> KeyPatterns(int w, BYTE key) {
    std::vector<std::vector<BYTE>> rows;
    auto make = [&](auto drawn) {
        std::vector<BYTE> row(w);
        for (int x = 0; x < w; ++x) row[x] = drawn(x) ? BYTE(key + 1 + (x * 7) % 200) : key;
        rows.push_back(row);
    };
    make([](int) { return true; });
    make([](int) { return false; });
    make([](int x) { return x % 2 == 0; });
    for (int edge : {3, 4, 5, 15, 16, 17}) {
        make([edge](int x) { return x < edge; });
        make([edge](int x) { return x >= edge; });
    }
    make([w](int x) { return x == 0 || x == w - 1; });
    make([](int x) { return (x * 2654435761u) >> 31; });
    return rows;
}

TEST(DIB, IndexedCopiesAndBlendsMatchThePixelRule) {
    // The 8-bit source drawn onto 24 bits, keyed or through a mask, against
    // the rule spelt out pixel by pixel: odd widths and offsets, every key
    // pattern, and nothing written outside the rectangle.
    for (int w : {1, 2, 3, 4, 5, 7, 15, 16, 17, 31, 32, 33, 47}) {
        for (int sx : {0, 1}) {
            for (BYTE key : {BYTE(0), BYTE(250)}) {
                for (const std::vector<BYTE>& row : KeyPatterns(w, key)) {
                    const int pw = w + sx, dw = w + 3;
                    std::vector<BYTE> px(pw * 2, BYTE(key + 3));
                    std::copy(row.begin(), row.end(), px.begin() + pw + sx);  // second row
                    CDIB src, dst, want;
                    MakeIndexed(src, pw, 2, px);
                    auto paint = [&] {
                        for (CDIB* d : {&dst, &want}) {
                            d->CreateEmpty(dw, 3);
                            for (int y = 0; y < 3; ++y)
                                for (int x = 0; x < dw; ++x) SetPixel24(*d, x, y, 0x10203 * (x + 5 * y + 1));
                        }
                    };
                    // Through the colour table, and from a true-colour copy.
                    for (bool keep : {false, true}) {
                        src.KeepTrueColour(keep);
                        paint();
                        for (int32_t k : {int32_t(DIB_NO_KEY), int32_t(key | DIB_INDEX_KEY)}) {
                            src.Copy(&dst, 1, 1, w, 1, sx, 1, k);
                            for (int x = 0; x < w; ++x)
                                if (k == DIB_NO_KEY || row[x] != key) SetPixel24(want, 1 + x, 1, PaletteColour(row[x]));
                            for (int y = 0; y < 3; ++y)
                                for (int x = 0; x < dw; ++x)
                                    ASSERT_EQ(Pixel24(dst, x, y), Pixel24(want, x, y))
                                        << "width " << w << " from " << sx << " key " << k << " copy " << keep << " at "
                                        << x << "," << y;
                        }
                        EXPECT_EQ(src.GetTrueColourBytes() > 0, keep);
                    }
                    // The same row as a mask: 0 leaves the pixel, any other
                    // value mixes toward the source by value / 256, scaled
                    // by the factor.
                    paint();
                    CDIB mask, src24, dst24;
                    MakeIndexed(mask, pw, 2, px);
                    MakeIndexed(src24, pw, 2, px);
                    ASSERT_TRUE(src24.ConvertTo24Bit());
                    for (double factor : {1.0, 0.5}) {
                        // A true colour source of the same colours mixes the same.
                        dst24.CreateEmpty(dw, 3);
                        dst.Copy(&dst24, 0, 0, dw, 3, 0, 0, DIB_NO_KEY);
                        src24.CopyBlended(&mask, &dst24, 1, 1, w, 1, sx, 1, factor);
                        src.CopyBlended(&mask, &dst, 1, 1, w, 1, sx, 1, factor);
                        for (int x = 0; x < w; ++x) {
                            const BYTE m = row[x];
                            if (m == 0) continue;
                            const int a = factor == 1.0 ? m : BYTE(int(m * factor));
                            const uint32_t s = PaletteColour(row[x]), d = Pixel24(want, 1 + x, 1);
                            uint32_t mixed = 0;
                            for (int c = 0; c < 24; c += 8) {
                                const int sc = (s >> c) & 255, dc = (d >> c) & 255;
                                mixed |= uint32_t(BYTE(dc + (((sc - dc) * a) >> 8))) << c;
                            }
                            SetPixel24(want, 1 + x, 1, mixed);
                        }
                        for (int y = 0; y < 3; ++y)
                            for (int x = 0; x < dw; ++x)
                                for (CDIB* d : {&dst, &dst24})
                                    ASSERT_EQ(Pixel24(*d, x, y), Pixel24(want, x, y))
                                        << "blend from " << (d == &dst ? 8 : 24) << " bits, width " << w << " from " << sx
                                        << " factor " << factor << " at " << x;
                    }
                }
            }
        }
    }
}

TEST(DIB, StretchToDoubleMatchesDoubled) {
    CDIB src, a, b;
    std::vector<BYTE> px(100);
    for (int i = 0; i < 100; ++i) px[i] = BYTE(i * 7 % 13);
    MakeIndexed(src, 10, 10, px);
    MakeIndexed(a, 20, 20, std::vector<BYTE>(400, 99));
    MakeIndexed(b, 20, 20, std::vector<BYTE>(400, 99));
    src.CopyStretched(&a, 0, 0, 20, 20, 0, 0, 10, 10, DIB_NO_KEY);
    src.CopyDoubled(&b, 0, 0, 0, 0, 10, 10, DIB_NO_KEY);
    EXPECT_EQ(0, memcmp(a.GetBits(), b.GetBits(), 20 * 20));
    EXPECT_EQ(*a.GetPixelAddress(5, 7), *src.GetPixelAddress(2, 3));
    // A 3:1 shrink reads every third pixel.
    CDIB c;
    MakeIndexed(c, 3, 3, std::vector<BYTE>(9, 0));
    src.CopyStretched(&c, 0, 0, 3, 3, 0, 0, 9, 9, DIB_NO_KEY);
    EXPECT_EQ(*c.GetPixelAddress(1, 2), *src.GetPixelAddress(3, 6));
}

TEST(DIB, MapToPaletteAndConvert) {
    CDIB p;
    MakeIndexed(p, 2, 1, {3, 150});
    CPalette pal;
    std::vector<PALETTEENTRY> pe(20);
    for (int i = 0; i < 20; ++i) {
        RGBQUAD c = p.GetBitmapInfo()->bmiColors[i == 5 ? 3 : i * 5 + 100];
        pe[i] = PALETTEENTRY{c.rgbRed, c.rgbGreen, c.rgbBlue, 0};
    }
    ASSERT_TRUE(pal.CreatePalette(pe.data(), 20));
    ASSERT_TRUE(p.MapToPalette(&pal));
    EXPECT_EQ(p.GetBitmapInfo()->bmiHeader.biClrUsed, 20u);
    EXPECT_EQ(p.GetColorCount(), 20);
    EXPECT_EQ(*p.GetPixelAddress(0, 0), 5);
    EXPECT_EQ(*p.GetPixelAddress(1, 0), 10);
    EXPECT_EQ(p.GetBitmapInfo()->bmiColors[20].rgbRed, 0);
    EXPECT_FALSE(p.MapToPalette((HPALETTE) nullptr));

    ASSERT_TRUE(p.ConvertTo24Bit());
    EXPECT_EQ(p.GetBitCount(), 24);
    EXPECT_EQ(p.GetStride(), 8u);
    EXPECT_EQ(Pixel24(p, 0, 0), PaletteColour(3));
}

// --- files -----------------------------------------------------------------

TEST(DIBFiles, GizLayoutOf3x2Picture) {
    CDIB p;
    p.CreateEmpty(3, 2);
    SetPixel24(p, 0, 0, 0x112233);
    CMemFile f;
    ASSERT_TRUE(p.WriteGiz(&f));
    const auto& b = f.Data();
    ASSERT_EQ(b.size(), 1120u);
    auto d = [&](size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; };
    EXPECT_EQ(d(0), 1120u);
    EXPECT_EQ(d(12), 1084u);
    EXPECT_EQ(d(16), 0x3819u);
    EXPECT_EQ(d(20), 40u);
    EXPECT_EQ(d(24), 3u);
    EXPECT_EQ(d(28), 2u);
    // Row block: the bottom row first, so pixel (0,0) is at 1096 + 12.
    EXPECT_EQ(b[1096 + 12], 0x33);
    EXPECT_EQ(b[1096 + 14], 0x11);
}

TEST(DIBFiles, RoundTripsEachFormat) {
    CScratchFolder dir;
    CDIB p8, p24;
    std::vector<BYTE> px(12 * 5);
    for (size_t i = 0; i < px.size(); ++i) px[i] = BYTE(i * 11);
    MakeIndexed(p8, 12, 5, px, 20);
    p24.CreateEmpty(33, 17);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 33; ++x) SetPixel24(p24, x, y, RGB(x * 7, y * 13, 128));
    for (const char* ext : {"giz", "bmp", "GIZ"}) {
        for (CDIB* pic : {&p8, &p24}) {
            std::string name = dir.Name(std::string("pic.") + ext);
            ASSERT_TRUE(pic->SaveAs(name.c_str())) << ext;
            CDIB back;
            ASSERT_TRUE(back.Load(name.c_str())) << ext;
            ASSERT_EQ(back.GetBitCount(), pic->GetBitCount());
            EXPECT_EQ(back.GetColorCount(), pic->GetColorCount());  // 20 entries for the 8-bit one
            ASSERT_EQ(back.GetWidth(), pic->GetWidth());
            EXPECT_EQ(0, memcmp(back.GetBits(), pic->GetBits(), pic->GetStride() * pic->GetHeight())) << ext;
        }
    }
    // JPEG: lossy, so compare loosely; the picture keeps its row order.
    std::string jpg = dir.Name("shot.jfif");
    ASSERT_TRUE(p24.SaveAs(jpg.c_str()));
    std::filesystem::copy_file(jpg, dir.Name("shot.jpg"));
    CDIB back;
    ASSERT_TRUE(back.Load(dir.Name("shot.jpg").c_str()));
    ASSERT_EQ(back.GetBitCount(), 24);
    ASSERT_EQ(back.GetWidth(), 33);
    ASSERT_EQ(back.GetHeight(), 17);
    for (auto [x, y] : {std::pair{0, 0}, {32, 16}, {10, 3}}) {
        uint32_t a = Pixel24(back, x, y), e = Pixel24(p24, x, y);
        for (int s = 0; s < 24; s += 8) EXPECT_NEAR(int((a >> s) & 255), int((e >> s) & 255), 24) << x << "," << y;
    }
    // An 8-bit picture cannot be written as JPEG, and is left bottom-up.
    std::vector<BYTE> before(p8.GetBits(), p8.GetBits() + p8.GetStride() * 5);
    EXPECT_FALSE(p8.SaveAs(dir.Name("x.jpg").c_str()));
    EXPECT_EQ(0, memcmp(before.data(), p8.GetBits(), before.size()));
}

TEST(DIBFiles, CoreHeaderBmpAndGiz) {
    // A BMP with a 12-byte core header and 256 three-byte entries loads as
    // an 8-bit picture with a 40-byte header.
    std::vector<BYTE> b{'B', 'M'};
    PutLE32(b, 14 + 12 + 768 + 8);
    PutLE32(b, 0);
    PutLE32(b, 14 + 12 + 768);
    PutLE32(b, 12);
    PutLE16(b, 2), PutLE16(b, 2), PutLE16(b, 1), PutLE16(b, 8);
    for (int i = 0; i < 256; ++i) b.insert(b.end(), {BYTE(i), BYTE(255 - i), 7});
    b.insert(b.end(), {1, 2, 0, 0, 3, 4, 0, 0});
    CMemFile f(b.data(), b.size());
    CDIB p;
    ASSERT_TRUE(p.Read(&f));
    EXPECT_EQ(p.GetBitmapInfo()->bmiHeader.biSize, 40u);
    EXPECT_EQ(p.GetBitCount(), 8);
    EXPECT_EQ(*p.GetPixelAddress(1, 0), 4);
    EXPECT_EQ(p.GetBitmapInfo()->bmiColors[1].rgbGreen, 254);

    // The colour count comes from the core header's bit count, even when
    // the whole file is shorter than a 40-byte header would be.
    for (int bits : {1, 4}) {
        const int colours = 1 << bits;
        std::vector<BYTE> c{'B', 'M'};
        PutLE32(c, DWORD(14 + 12 + 3 * colours + 4));
        PutLE32(c, 0);
        PutLE32(c, DWORD(14 + 12 + 3 * colours));
        PutLE32(c, 12);
        PutLE16(c, 1), PutLE16(c, 1), PutLE16(c, 1), PutLE16(c, WORD(bits));
        for (int i = 0; i < colours; ++i) c.insert(c.end(), {BYTE(10 + i), BYTE(20 + i), BYTE(30 + i)});
        c.insert(c.end(), {0x80, 0, 0, 0});
        CMemFile cf(c.data(), c.size());
        CDIB small;
        ASSERT_TRUE(small.Read(&cf)) << bits << " bits, " << c.size() << " bytes";
        EXPECT_EQ(small.GetColorCount(), colours);
        EXPECT_EQ(small.GetBitmapInfo()->bmiColors[colours - 1].rgbRed, BYTE(30 + colours - 1));
    }
}

// Each hostile file is refused and leaves the loaded picture as it was.
TEST(DIBFiles, RefusesHostileFiles) {
    CDIB good;
    good.CreateEmpty(3, 2);
    CMemFile gf;
    good.WriteGiz(&gf);
    const std::vector<BYTE> giz = gf.Data();
    CMemFile bf;
    good.Write(&bf);
    const std::vector<BYTE> bmp = bf.Data();

    struct Case {
        const char* what;
        bool isGiz;
        size_t at;
        std::vector<BYTE> bytes;  // written at `at`
        size_t truncateTo;        // 0: keep the length
    };
    const Case cases[] = {
        {"bad magic", true, 16, {0x18, 0x38}, 0},
        {"header size 41", true, 20, {41}, 0},
        {"width 0", true, 24, {0, 0, 0, 0}, 0},
        {"negative height", true, 28, {0xFF, 0xFF, 0xFF, 0xFF}, 0},
        {"bit count 32", true, 34, {32}, 0},
        {"compressed rows", true, 36, {1}, 0},
        {"width disagrees with the row block", true, 24, {0, 1, 0, 0}, 0},
        {"row block shorter than stride x height", true, 0, {0x50, 4}, 0},
        {"rows cut short", true, 0, {}, 1110},
        {"row offset past the end", true, 12, {0xFF, 0xFF, 0xFF, 0x7F}, 0},
        {"not BM", false, 0, {'B', 'N'}, 0},
        {"bmp header cut", false, 0, {}, 30},
        {"bmp rows past the end", false, 10, {0xF0, 0xFF, 0xFF, 0xFF}, 0},
        {"bmp height 40000", false, 22, {0x40, 0x9C}, 0},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> bytes = c.isGiz ? giz : bmp;
        std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + c.at);
        if (c.truncateTo) bytes.resize(c.truncateTo);
        CDIB p;
        MakeIndexed(p, 1, 1, {42});
        CMemFile f(bytes.data(), bytes.size());
        EXPECT_FALSE(c.isGiz ? p.ReadGiz(&f) : p.Read(&f)) << c.what;
        EXPECT_EQ(p.GetWidth(), 1) << c.what;
        EXPECT_EQ(*p.GetPixelAddress(0, 0), 42) << c.what;
    }
    // A colours-used field past 256 is capped to the table, not trusted.
    std::vector<BYTE> many = giz;
    many[52] = 0xA0, many[53] = 0x86, many[54] = 0x01;
    CMemFile mf(many.data(), many.size());
    CDIB m;
    ASSERT_TRUE(m.ReadGiz(&mf));
    EXPECT_EQ(m.GetColorCount(), 256);
    // The constant block is never checked.
    std::vector<BYTE> odd = giz;
    odd[1084] ^= 0xFF;
    CMemFile f(odd.data(), odd.size());
    CDIB p;
    EXPECT_TRUE(p.ReadGiz(&f));
}

TEST(DIBFiles, LoadChoosesByEnding) {
    CScratchFolder dir;
    CDIB p;
    p.CreateEmpty(2, 2);
    ASSERT_TRUE(p.SaveAs(dir.Name("a.giz").c_str()));
    std::filesystem::copy_file(dir.Name("a.giz"), dir.Name("b.png"));
    std::filesystem::copy_file(dir.Name("a.giz"), dir.Name("c.bmp"));
    CDIB q;
    EXPECT_FALSE(q.Load(dir.Name("b.png").c_str()));
    EXPECT_FALSE(q.Load(dir.Name("c.bmp").c_str()));  // a ".giz" is not a BMP
    EXPECT_FALSE(q.Load(""));
    EXPECT_FALSE(q.Load(dir.Name("missing.giz").c_str()));
    std::ofstream(dir.Name("bad.jpg")) << "not a jpeg at all";
    EXPECT_FALSE(q.Load(dir.Name("bad.jpg").c_str()));
    EXPECT_TRUE(q.IsEmpty());
    // Saving into a folder that does not exist reports and fails.
    AfxClearShownMessages();
    EXPECT_FALSE(p.SaveAs(dir.Name("no/such/dir/x.giz").c_str()));
    ASSERT_EQ(AfxGetShownMessages().size(), 1u);
    EXPECT_EQ(AfxGetShownMessages()[0], "ERROR: Could not open file");
}

TEST(DIBFiles, LoadPictureNameRules) {
    CScratchFolder dir;
    CDIB p;
    MakeIndexed(p, 2, 1, {3, 4});
    std::filesystem::create_directories(dir.Name("Data/Pictures/8bit/Menu"));
    ASSERT_TRUE(p.SaveAs(dir.Name("Data/Pictures/8bit/Menu/Back.giz").c_str()));
    ASSERT_TRUE(p.SaveAs(dir.Name("Data/Pictures/8bit/Menu/Shade alpha.giz").c_str()));
    CPalette pal;
    PALETTEENTRY pe[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    pal.CreatePalette(pe, 2);

    CDIB a;
    std::string back = dir.Name("Data\\Pictures\\Menu\\Back.giz");
    ASSERT_TRUE(a.LoadPicture(8, back.c_str(), &pal));
    EXPECT_EQ(a.GetColorCount(), 2);  // mapped to the palette
    CDIB b;
    std::string shade = dir.Name("Data\\Pictures\\Menu\\Shade alpha.giz");
    ASSERT_TRUE(b.LoadPicture(8, shade.c_str(), &pal));
    EXPECT_EQ(*b.GetPixelAddress(1, 0), 4);  // masks keep raw values
    CDIB c;
    EXPECT_FALSE(c.LoadPicture(24, dir.Name("Data\\Pictures\\Menu\\Back.png").c_str()));
    EXPECT_TRUE(c.WasNameRefused());
    EXPECT_FALSE(c.LoadPicture(24, "ab"));
}

TEST(DIBFiles, SerializeAsBmpInArchive) {
    CDIB p;
    MakeIndexed(p, 3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    auto bytes = StoreBytes([&](CArchive& ar) {
        p.Serialize(ar);
        ar << DWORD(0xABCD);
    });
    CDIB q;
    DWORD after = 0;
    LoadBytes(bytes, [&](CArchive& ar) {
        q.Serialize(ar);
        ar >> after;
    });
    EXPECT_EQ(after, 0xABCDu);
    EXPECT_EQ(*q.GetPixelAddress(2, 2), 9);
    bytes.resize(60);
    EXPECT_THROW(LoadBytes(bytes, [&](CArchive& ar) { q.Serialize(ar); }), CArchiveException);
}

}  // namespace

namespace {

TEST(DIBSurface, CreateAndPalettes) {
    CDIBSurface s;
    ASSERT_TRUE(s.Create(800, 600));
    EXPECT_EQ(s.GetStride(), 2400u);
    EXPECT_EQ(s.GetDepth(), 24);
    CDIB indexed;
    MakeIndexed(indexed, 2, 2, {1, 2, 3, 4});
    CImagePalette pal;
    ASSERT_TRUE(pal.CreateFromDIB(&indexed));
    EXPECT_EQ(pal.GetEntryCount(), 256);
    ASSERT_TRUE(s.Create(800, 600, &pal));
    EXPECT_EQ(s.GetStride(), 800u);
    EXPECT_EQ(0, memcmp(s.GetBitmapInfo()->bmiColors, indexed.GetBitmapInfo()->bmiColors, 1024));
    // A new palette recolours the table; the indices stay.
    *s.GetPixelAddress(3, 3) = 9;
    PALETTEENTRY grey[256];
    for (int i = 0; i < 256; ++i) grey[i] = PALETTEENTRY{BYTE(i), BYTE(i), BYTE(i), 0};
    CPalette greys;
    greys.CreatePalette(grey, 256);
    ASSERT_TRUE(s.SetPalette(&greys));
    EXPECT_EQ(*s.GetPixelAddress(3, 3), 9);
    EXPECT_EQ(s.GetBitmapInfo()->bmiColors[9].rgbGreen, 9);
    EXPECT_FALSE(s.SetPalette(nullptr));
    // A 24-bit picture has no colour table to build a palette from.
    CDIB rgb;
    rgb.CreateEmpty(2, 2);
    CImagePalette none;
    EXPECT_FALSE(none.CreateFromDIB(&rgb));
    EXPECT_FALSE(none.MakeIdentity());
}

TEST(DIB, CopyOfAPartWithExtraRoom) {
    CDIB src;
    src.CreateEmpty(10, 10);
    SetPixel24(src, 4, 5, 0xABCDEF);
    CRect part(3, 3, 20, 8);  // cut to the picture: 7 x 5
    CDIB copy(src, 2, 1, &part);
    EXPECT_EQ(copy.GetWidth(), 9);
    EXPECT_EQ(copy.GetHeight(), 6);
    EXPECT_EQ(Pixel24(copy, 1, 2), 0xABCDEFu);
}

}  // namespace
