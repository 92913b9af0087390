// The AVI player: a small movie written here, the kit's logo, hostile
// files, and a movie played in a game dialog over a view.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "Animate/GameDialog.h"
#include "platform/movie/Movie.h"
#include "tests/animate/GfxFixtures.h"
#include "tests/support/Headless.h"

namespace {

struct Riff {
    std::vector<BYTE> b;
    void Id(const char* s) { b.insert(b.end(), s, s + 4); }
    void D(DWORD v) { PutD(b, v); }
    void W(WORD v) { PutW(b, v); }
    size_t Open(const char* id) {
        Id(id);
        D(0);
        return b.size();
    }
    void Close(size_t at) {
        DWORD n = DWORD(b.size() - at);
        std::memcpy(&b[at - 4], &n, 4);
        if (n & 1) b.push_back(0);
    }
};

// A w x h movie of `frames` frames at 100 ms, frame i filled with blue i x
// 40, and 8 kHz mono 16-bit sound of 800 samples a frame when `sound`.
std::vector<BYTE> SmallAvi(int w, int h, int frames, bool sound) {
    const int stride = (w * 3 + 3) & ~3;
    Riff r;
    size_t riff = r.Open("RIFF");
    r.Id("AVI ");
    size_t hdrl = r.Open("LIST");
    r.Id("hdrl");
    size_t avih = r.Open("avih");
    r.D(100000);
    for (int i = 0; i < 13; ++i) r.D(i == 3 ? frames : 0);
    r.Close(avih);
    size_t strl = r.Open("LIST");
    r.Id("strl");
    size_t strh = r.Open("strh");
    r.Id("vids");
    r.Id("DIB ");
    for (int i = 0; i < 12; ++i) r.D(0);
    r.Close(strh);
    size_t strf = r.Open("strf");
    r.D(40), r.D(w), r.D(h), r.W(1), r.W(24);
    for (int i = 0; i < 6; ++i) r.D(0);
    r.Close(strf);
    r.Close(strl);
    if (sound) {
        size_t s = r.Open("LIST");
        r.Id("strl");
        size_t sh = r.Open("strh");
        r.Id("auds");
        for (int i = 0; i < 12; ++i) r.D(0);
        r.Close(sh);
        size_t sf = r.Open("strf");
        r.W(1), r.W(1), r.D(8000), r.D(16000), r.W(2), r.W(16);
        r.Close(sf);
        r.Close(s);
    }
    r.Close(hdrl);
    size_t movi = r.Open("LIST");
    r.Id("movi");
    for (int f = 0; f < frames; ++f) {
        if (sound) {
            size_t wb = r.Open("01wb");
            for (int i = 0; i < 800; ++i) r.W(WORD(i * 37));
            r.Close(wb);
        }
        size_t db = r.Open("00db");
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) r.b.insert(r.b.end(), {BYTE(f * 40), 0, BYTE(y == 0 ? 200 : 0)});
            for (int p = w * 3; p < stride; ++p) r.b.push_back(0);
        }
        r.Close(db);
    }
    r.Close(movi);
    r.Close(riff);
    return r.b;
}

TEST(Movie, ReadsASmallMovieAndTheKitLogo) {
    CMovie m;
    std::string error;
    ASSERT_TRUE(m.Parse(SmallAvi(5, 3, 4, true), error)) << error;
    EXPECT_EQ(m.GetWidth(), 5);
    EXPECT_EQ(m.GetStride(), 16);
    EXPECT_EQ(m.GetFrameCount(), 4);
    EXPECT_EQ(m.GetFrameMs(), 100u);
    EXPECT_EQ(m.GetFrame(2)[0], 80);    // bottom row, first pixel, blue
    EXPECT_EQ(m.GetFrame(2)[2], 200);   // ... red marks the bottom row
    EXPECT_EQ(m.GetFrame(4), nullptr);
    EXPECT_EQ(m.GetSound().size(), 4u * 1600);
    std::string logo = KitFile("Sound/Publisher Logo.avi");
    CMovie kit;
    ASSERT_TRUE(kit.Open(logo.c_str(), error)) << error;
    EXPECT_GT(kit.GetFrameCount(), 1);
}

TEST(Movie, AnOpenedFileIsReadAsItPlays) {
    // The same movie parsed from memory and opened from its file gives the
    // same pictures and sound; pictures come from the file as they are
    // asked for, so a file cut short after opening shows black frames.
    const std::vector<BYTE> bytes = SmallAvi(7, 5, 6, true);
    const std::string path = std::string(VELMOR_BINARY_DIR) + "/test-movie-stream.avi";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    CMovie held, opened;
    std::string error;
    ASSERT_TRUE(held.Parse(bytes, error)) << error;
    ASSERT_TRUE(opened.Open(path.c_str(), error)) << error;
    ASSERT_EQ(opened.GetFrameCount(), 6);
    EXPECT_EQ(opened.GetSound(), held.GetSound());
    const size_t frameBytes = size_t(opened.GetStride()) * size_t(opened.GetHeight());
    for (int i : {0, 3, 3, 5, 1}) {
        const uint8_t* a = held.GetFrame(i);
        const uint8_t* b = opened.GetFrame(i);
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(std::equal(a, a + frameBytes, b)) << "frame " << i;
    }
    EXPECT_EQ(opened.GetFrame(6), nullptr);
    std::filesystem::resize_file(path, bytes.size() / 2);
    const uint8_t* last = opened.GetFrame(5);
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(std::all_of(last, last + frameBytes, [](uint8_t v) { return v == 0; }));
    std::filesystem::remove(path);
}

TEST(Movie, RefusesHostileFiles) {
    const std::vector<BYTE> good = SmallAvi(5, 3, 2, true);
    auto at = [&](const char* id) {
        auto it = std::search(good.begin(), good.end(), id, id + 4);
        return size_t(it - good.begin());
    };
    struct Case {
        const char* what;
        size_t offset;
        std::vector<BYTE> bytes;
        size_t truncateTo;
    };
    const Case cases[] = {
        {"not RIFF", 0, {'R', 'I', 'F', 'X'}, 0},
        {"32-bit pictures", at("strf") + 8 + 14, {32}, 0},
        {"compressed pictures", at("strf") + 8 + 16, {'M', 'J', 'P', 'G'}, 0},
        {"a picture 100000 wide", at("strf") + 8 + 4, {0xA0, 0x86, 0x01, 0}, 0},
        {"a chunk larger than its list", at("00db") + 4, {0xFF, 0xFF, 0xFF, 0x0F}, 0},
        {"a frame cut short", 0, {}, at("00db") + 8 + 20},
        {"sound of 12 bits", at("auds") + 52 + 8 + 14, {12}, 0},
        {"nothing but a header", 0, {}, 12},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> bytes = good;
        std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + c.offset);
        if (c.truncateTo) bytes.resize(c.truncateTo);
        CMovie m;
        std::string error;
        EXPECT_FALSE(m.Parse(bytes, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

// A dialog that plays its movie once it is up, then closes.
class CMovieTestDialog : public CGameDialog {
public:
    const CMovie* movie = nullptr;
    bool finished = false;

    BOOL OnInitDialog() override {
        CGameDialog::OnInitDialog();
        PostMessage(WM_USER);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM w, LPARAM l) override {
        if (message == WM_USER) {
            finished = PlayMovie(*movie, this, 10, 10, nullptr);
            EndDialog(IDOK);
            return 0;
        }
        return CGameDialog::WindowProc(message, w, l);
    }
};

TEST(Movie, PlaysInADialogFrameByFrame) {
    CScratchFolder dir;
    CDIB bg;
    ASSERT_TRUE(bg.CreateEmpty(100, 80));
    ASSERT_TRUE(bg.SaveAs(dir.Name("Bg.giz").c_str()));
    CMovie movie;
    std::string error;
    ASSERT_TRUE(movie.Parse(SmallAvi(8, 6, 5, true), error));
    CHeadlessScope scope;
    CMovieTestDialog dlg;
    dlg.movie = &movie;
    dlg.m_strBackgroundName = dir.Name("Bg.giz").c_str();
    // Sample the screen inside the movie's top row at 150 ms and 350 ms.
    std::vector<uint32_t> seen;
    DWORD t0 = scope.Now();
    for (DWORD t : {150u, 350u})
        scope.Display().At(t0 + t, [&] {
            CRect r;
            dlg.GetWindowRect(&r);
            seen.push_back(AfxGetScreen().GetPixel(r.left + 10, r.top + 10) & 0xFFFFFF);
        });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(dlg.finished);
    ASSERT_EQ(seen.size(), 2u);
    // The top row of each frame is blue f x 40 (rows are stored bottom-up).
    EXPECT_EQ(seen[0] & 0xFF, 40u);
    EXPECT_EQ(seen[1] & 0xFF, 120u);
    EXPECT_GE(scope.Now() - t0, 500u);
}

}  // namespace
