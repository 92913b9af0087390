// The generator writes the same bytes on every run: a second run of a
// sample of generators into a fresh folder must match the kit that the build
// generated, file for file.
#include <gtest/gtest.h>

#include "tests/support/TestFolders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(KitDeterminism, SecondRunGivesIdenticalBytes) {
    const fs::path kit = KitFolder();
    CScratchFolder scratch("velmor-kit-again");
    const fs::path again = scratch.Path() / "kit";
    const std::string cmd = std::string("\"") + VELMOR_BINARY_DIR + "/velmor-mkdata\" --only "
                            "LetterSets,ShellBackgrounds,ShellPieces,LogoMovie,UnitSetsVelmor \"" + again.string() + "\" >/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    int compared = 0;
    for (const auto& entry : fs::recursive_directory_iterator(again)) {
        if (!entry.is_regular_file()) continue;
        const fs::path rel = fs::relative(entry.path(), again);
        ASSERT_TRUE(fs::exists(kit / rel)) << rel;
        EXPECT_TRUE(Bytes(entry.path()) == Bytes(kit / rel)) << rel << " differs between two runs";
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

}  // namespace
