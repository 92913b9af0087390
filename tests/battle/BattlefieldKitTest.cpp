// Every designed battlefield of the generated kit, read the way the game
// reads it: the background and altitude map load without a message, the
// ground that blocks on the altitude map is the water, stone, crag and
// stakes painted on the background and nothing else, and the menus' maps are
// there in the sizes their screens give them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Animate/DIB.h"
#include "battle/AltitudeMap.h"
#include "platform/afx/MessageBox.h"

namespace {

const char* const kKeys[] = {"A2M",  "C4M",  "A7L",  "C7L",  "A3L",  "A5L",  "A6L",  "C5L",  "C6L",
                             "A8L",  "C2L",  "C3L",  "A9L",  "C8M",  "C9L",  "C10L", "A10M", "C12M",
                             "A11L", "C13L", "A12L", "C14L", "C15L", "C16L", "C17M", "C18M", "A13M",
                             "C11L", "C19L", "C20L", "A14L", "C21L", "A15L", "A16M", "A17L"};

std::string KitPath(const std::string& gameName) {
    const char* k = std::getenv("VELMOR_KIT");
    std::string path = std::string(k ? k : VELMOR_BINARY_DIR "/kit") + "/" + gameName;
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

// The background's palette holds 16 shades of each ground, in this order;
// these are the grounds no one can stand on.
bool BlockingGround(int index) {
    switch (index / 16) {
        case 2:   // water
        case 7:   // wall
        case 8:   // tower
        case 9:   // keep
        case 11:  // crag
        case 14:  // palisade
            return true;
        default:
            return false;
    }
}

}  // namespace

TEST(BattlefieldKit, BlockedCellsAreThePaintedWaterAndWalls) {
    for (const char* key : kKeys) {
        SCOPED_TRACE(key);
        AfxClearShownMessages();
        CDIB background;
        ASSERT_TRUE(background.Load(KitPath(std::string("Data\\MapData\\Bkgnd ") + key + ".giz").c_str()));
        ASSERT_EQ(background.GetWidth(), 3000);
        ASSERT_EQ(background.GetHeight(), 2000);
        ASSERT_EQ(background.GetBitCount(), 8);
        CAltitudeMap altitude;
        ASSERT_TRUE(altitude.Load(KitPath(std::string("Data\\MapData\\Data Map ") + key + ".giz").c_str()));
        EXPECT_TRUE(AfxGetShownMessages().empty());
        int blocked = 0;
        // Every third cell both ways: a cell blocks exactly when some unit of
        // its 5 x 5 square is painted as blocking ground.
        for (int c = 0; c < 600; c += 3)
            for (int r = 1; r < 400; r += 3) {
                bool painted = false;
                for (int y = r * 5; y < r * 5 + 5 && !painted; ++y)
                    for (int x = c * 5; x < c * 5 + 5 && !painted; ++x)
                        painted = BlockingGround(*background.GetPixelAddress(x, y));
                BYTE b = altitude.GetByte(c, r);
                ASSERT_EQ(b == 250, painted) << "cell " << c << "," << r << " byte " << int(b);
                ASSERT_TRUE(b < 128 || b == 250) << "cell " << c << "," << r;
                blocked += painted;
            }
        EXPECT_GT(blocked, 0);
    }
}

// The menus' maps stand where their screens put them and must fit there:
// the tactic map at (393, 30) / (456, 38), the preview of the single-battle
// menu at (341, 14) / (476, 101), the roster's picture in its region
// (546, 83, 978, 353), the mini-map in its 150 x 100 panel.
TEST(BattlefieldKit, MenuMapsFitWhereTheScreensShowThem) {
    struct Picture {
        const char* prefix;
        const char* suffix;
        int x, y, screenW, screenH;
    } pictures[] = {{"", " Tactic", 456, 38, 1280, 1024},       {"1024", " Tactic", 393, 30, 1024, 768},
                    {"Battle ", " sbttl", 546, 83, 978, 353},   {"Battle ", " Info", 341, 14, 1024, 768},
                    {"Battle ", " Info", 476, 101, 1280, 1024}, {"Map Small ", "", 0, 0, 150, 100},
                    {"Battle ", " Hint", 0, 0, 1280, 1024},     {"1024Battle ", " Hint", 0, 0, 1024, 768}};
    for (const char* key : kKeys)
        for (const Picture& p : pictures) {
            std::string name = std::string("Data\\MapData\\") + p.prefix + key + p.suffix + ".giz";
            CDIB dib;
            ASSERT_TRUE(dib.Load(KitPath(name).c_str())) << name;
            EXPECT_LE(p.x + dib.GetWidth(), p.screenW) << name;
            EXPECT_LE(p.y + dib.GetHeight(), p.screenH) << name;
            EXPECT_GE(dib.GetWidth(), p.screenW / 8) << name;
        }
}
