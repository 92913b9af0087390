// The contact sheet drawn from a kit that already exists: nothing is
// generated or written into the kit, and the pictures come out on pages
// small enough for ordinary image tools.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Width and height from a PNG's header; 0 x 0 when it is not a PNG.
std::pair<uint32_t, uint32_t> PngSize(const fs::path& p) {
    unsigned char b[24] = {};
    std::ifstream(p, std::ios::binary).read(reinterpret_cast<char*>(b), 24);
    if (b[1] != 'P' || b[2] != 'N' || b[3] != 'G') return {0, 0};
    auto be = [&](int at) { return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3]; };
    return {be(16), be(20)};
}

int MkData(const std::string& args) {
    return std::system(("\"" VELMOR_BINARY_DIR "/velmor-mkdata\" " + args + " >/dev/null 2>&1").c_str());
}

TEST(ContactSheet, DrawsAnExistingKitOnPagesWithoutTouchingIt) {
    const char* env = std::getenv("VELMOR_KIT");
    const fs::path kit = env ? env : VELMOR_BINARY_DIR "/kit";
    const fs::path work = fs::temp_directory_path() / ("velmor-sheet-" + std::to_string(::getpid()));
    fs::remove_all(work);
    // 130 of the kit's terrain pictures: one full page of 128 and a second.
    const fs::path small = work / "kit" / "Pictures" / "Terrain";
    fs::create_directories(small);
    int copied = 0;
    for (const auto& e : fs::directory_iterator(kit / "Pictures" / "Terrain"))
        if (e.path().extension() == ".giz" && copied < 130 && fs::file_size(e.path()) < 100000)
            fs::copy_file(e.path(), small / e.path().filename()), ++copied;
    ASSERT_EQ(copied, 130);
    const auto before = std::distance(fs::recursive_directory_iterator(work / "kit"), {});

    ASSERT_EQ(MkData("--contact-sheet \"" + (work / "sheet.png").string() + "\" --existing \"" + (work / "kit").string() + "\""), 0);
    for (const char* page : {"sheet-01.png", "sheet-02.png"}) {
        auto [w, h] = PngSize(work / page);
        EXPECT_GT(w, 0u) << page;
        EXPECT_LE(w, 4096u) << page;
        EXPECT_LE(h, 4096u) << page;
    }
    EXPECT_FALSE(fs::exists(work / "sheet-03.png"));
    EXPECT_FALSE(fs::exists(work / "sheet.png"));
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(work / "kit"), {}), before);  // nothing generated

    // No kit there: an error, and no page.
    EXPECT_NE(MkData("--contact-sheet \"" + (work / "none.png").string() + "\" --existing \"" + (work / "missing").string() + "\""), 0);
    EXPECT_FALSE(fs::exists(work / "none-01.png"));
    fs::remove_all(work);
}

}  // namespace
