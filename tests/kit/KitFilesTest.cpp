// The generated data kit, read the way the game reads it: full-screen
// pictures in both layouts, button pairs that hit-test, letter sets with a
// glyph in every cell, and a logo movie the game's player shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Animate/CommandButton.h"
#include "tests/support/TestFolders.h"
#include "Animate/DIB.h"
#include "platform/movie/Movie.h"

namespace {

std::string Kit() { return KitFolder().string(); }

// Loads a kit file by its game name (backslashes, the game's case).
bool LoadKit(CDIB& dib, const std::string& gameName) {
    std::string path = Kit() + "/" + gameName;
    for (char& c : path)
        if (c == '\\') c = '/';
    return dib.Load(path.c_str()) != FALSE;
}

// The packed colour of a pixel (blue + green x 256 + red x 65536), through
// the colour table for 8-bit pictures.
uint32_t Colour(const CDIB& dib, int x, int y) {
    const BYTE* p = dib.GetPixelAddress(x, y);
    if (dib.GetBitCount() == 8) {
        const RGBQUAD& q = dib.GetBitmapInfo()->bmiColors[*p];
        return q.rgbBlue | q.rgbGreen << 8 | q.rgbRed << 16;
    }
    return p[0] | p[1] << 8 | p[2] << 16;
}

TEST(KitPictures, FullScreenPicturesComeInBothLayouts) {
    const char* names[] = {"Bkgnd Introduction Screen.giz", "Bkgnd Main Menu.giz", "Bkgnd Credits Screen.giz",
                           "Bkgnd Demo Intro Screen.jpg"};
    for (const char* name : names) {
        for (auto [prefix, w, h] : {std::tuple{"", 1280, 1024}, std::tuple{"1024", 1024, 768}}) {
            CDIB dib;
            std::string gameName = std::string("Pictures\\") + prefix + name;
            ASSERT_TRUE(LoadKit(dib, gameName)) << gameName;
            EXPECT_EQ(dib.GetWidth(), w) << gameName;
            EXPECT_EQ(dib.GetHeight(), h) << gameName;
            EXPECT_EQ(dib.GetBitCount(), 24) << gameName;
        }
    }
}

// The main menu's buttons stand at fixed positions: each plaque is centred
// on the screen and hit-tests as the game does it, solid on its caption and
// open at its rounded corner; its pressed picture looks different.
TEST(KitPictures, MainMenuButtonsAreCentredAndHitTest) {
    struct Button {
        const char* name;
        int x1024, y1024, x1280, y1280;
    };
    const Button buttons[] = {{"Cmb New Campaign", 365, 396, 458, 529},  {"Cmb Load Campaign", 356, 433, 447, 579},
                              {"Cmb Historical Battle", 319, 471, 399, 629}, {"Cmb Head to Head", 310, 508, 389, 679},
                              {"Cmb Option", 427, 546, 536, 729},        {"Cmb Credits", 430, 583, 538, 779},
                              {"Cmb Exit", 470, 621, 589, 830},          {"Cmb Demo", 270, 681, 339, 909}};
    const std::string folder = Kit() + "/Pictures/Cmb/";
    for (const Button& b : buttons) {
        for (auto [prefix, x, y, screen] :
             {std::tuple{"1024", b.x1024, b.y1024, 1024}, std::tuple{"", b.x1280, b.y1280, 1280}}) {
            const std::string base = std::string(prefix) + b.name;
            CCommandButton button(1, base.c_str(), x, y);
            ASSERT_TRUE(button.LoadImages(folder.c_str(), 32, nullptr)) << base;
            const CRect r = button.GetRect();
            EXPECT_EQ(r.left + r.Width() / 2, screen / 2) << base << " is not centred";
            EXPECT_TRUE(button.HitTest(r.CenterPoint().x, r.CenterPoint().y, FALSE, TRUE)) << base;
            EXPECT_FALSE(button.HitTest(r.left + 1, r.top + 1, FALSE, TRUE)) << base << " corner is solid";

            CDIB up, dn;
            ASSERT_TRUE(LoadKit(up, "Pictures\\Cmb\\" + base + " Up.giz"));
            ASSERT_TRUE(LoadKit(dn, "Pictures\\Cmb\\" + base + " Dn.giz"));
            EXPECT_EQ(up.GetBitCount(), 8) << base;
            EXPECT_EQ(up.GetWidth(), dn.GetWidth()) << base;
            EXPECT_EQ(up.GetHeight(), dn.GetHeight()) << base;
            EXPECT_NE(Colour(up, up.GetWidth() / 2, 2), Colour(dn, dn.GetWidth() / 2, 2))
                << base << ": pressed looks the same as released";
        }
    }
}

// A letter set is one row of 55 cells; text advances by the cell width, so
// a cell without ink would print a gap where a letter belongs.
TEST(KitPictures, LetterSetsHaveInkInEveryCell) {
    const char* names[] = {"Letter Set", "Credits screen text", "Letter Sets Black", "Letter Sets Arial Bold",
                           "Letter Sets Light Gold 2", "Letter Sets Small Light Gold"};
    for (const char* name : names) {
        CDIB dib;
        ASSERT_TRUE(LoadKit(dib, std::string("Pictures\\") + name + ".giz")) << name;
        ASSERT_EQ(dib.GetWidth() % 55, 0) << name;
        const int cell = dib.GetWidth() / 55;
        const uint32_t key = Colour(dib, 0, 0);
        for (int c = 0; c < 55; ++c) {
            int inked = 0;
            for (int y = 0; y < dib.GetHeight(); ++y)
                for (int x = c * cell; x < (c + 1) * cell; ++x) inked += Colour(dib, x, y) != key;
            EXPECT_GT(inked, 2) << name << " cell " << c;
        }
    }
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return at + 4 <= b.size() ? b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24 : 0;
}

// The logo movie as the game's player reads it: a few seconds of wide
// pictures with 16-bit sound, the right way up (rows are stored bottom
// first, so the name under the seal lies low in the picture and the sky
// above the circle is bare paper), opening and closing in black, the drum
// heard.
TEST(KitMovie, LogoMoviePlaysInTheGamesPlayer) {
    CMovie movie;
    std::string error;
    ASSERT_TRUE(movie.Open((Kit() + "/Sound/Publisher Logo.avi").c_str(), error)) << error;
    const int w = movie.GetWidth(), h = movie.GetHeight(), frames = movie.GetFrameCount();
    EXPECT_GT(w, h) << "the player fits a wide movie to the screen";
    EXPECT_GE(frames * int(movie.GetFrameMs()), 2000);
    ASSERT_TRUE(movie.HasSound());
    const WAVEFORMATEX& f = movie.GetSoundFormat();
    EXPECT_EQ(f.wBitsPerSample, 16);
    const std::vector<uint8_t>& sound = movie.GetSound();
    EXPECT_NEAR(double(sound.size()) / f.nAvgBytesPerSec, frames * movie.GetFrameMs() / 1000.0, 0.1);
    int loudest = 0;
    for (size_t i = 0; i + 1 < sound.size(); i += 2)
        loudest = std::max(loudest, std::abs(int(int16_t(sound[i] | sound[i + 1] << 8))));
    EXPECT_GT(loudest, 8000);

    auto red = [&](int frame, int x, int y) {  // y from the top
        return movie.GetFrame(frame)[size_t(h - 1 - y) * size_t(movie.GetStride()) + size_t(x) * 3 + 2];
    };
    auto inkIn = [&](int frame, int left, int right, int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += red(frame, x, y) < 90;
        return n;
    };
    const int hold = frames * 4 / 5;
    // The name's first letters, left of the circle and below it.
    EXPECT_GT(inkIn(hold, w / 2 - 130, w / 2 - 75, h * 7 / 10, h * 4 / 5), 50) << "no name below the seal";
    EXPECT_EQ(inkIn(hold, 0, w, h / 25, h / 10), 0) << "ink above the circle";
    const uint8_t* seal = movie.GetFrame(hold) + size_t(h - 1 - h * 2 / 5) * size_t(movie.GetStride()) + size_t(w / 2 + 12) * 3;
    EXPECT_GT(seal[2], 150);
    EXPECT_LT(seal[1], 110) << "the vermilion seal stands in the circle";
    EXPECT_LT(red(0, w / 2, h / 2), 40);
    EXPECT_LT(red(frames - 1, w / 2, h / 2), 40);
}

// Players that seek use the index: each entry must name a chunk of its id
// and size inside 'movi', one per frame.
TEST(KitMovie, LogoMovieIndexMatchesItsChunks) {
    std::ifstream in(Kit() + "/Sound/Publisher Logo.avi", std::ios::binary);
    ASSERT_TRUE(in);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(b.size(), 1000u);
    EXPECT_EQ(U32(b, 4) + 8, b.size());
    size_t movi = 0, idx1 = 0, idx1Size = 0;
    for (size_t at = 12; at + 8 <= b.size(); at += 8 + ((U32(b, at + 4) + 1) & ~1u)) {
        if (!std::memcmp(b.data() + at, "LIST", 4) && !std::memcmp(b.data() + at + 8, "movi", 4)) movi = at + 8;
        if (!std::memcmp(b.data() + at, "idx1", 4)) {
            idx1 = at + 8;
            idx1Size = U32(b, at + 4);
        }
    }
    ASSERT_TRUE(movi && idx1);
    CMovie movie;
    std::string error;
    ASSERT_TRUE(movie.Parse(b, error)) << error;
    int pictures = 0;
    for (size_t e = idx1; e + 16 <= idx1 + idx1Size; e += 16) {
        size_t chunk = movi + U32(b, e + 8);
        ASSERT_LE(chunk + 8 + U32(b, e + 12), b.size());
        EXPECT_EQ(std::memcmp(b.data() + chunk, b.data() + e, 4), 0);
        EXPECT_EQ(U32(b, chunk + 4), U32(b, e + 12));
        pictures += !std::memcmp(b.data() + e, "00db", 4);
    }
    EXPECT_EQ(pictures, movie.GetFrameCount());
}

}  // namespace
