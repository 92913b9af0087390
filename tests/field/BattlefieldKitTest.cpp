// Every battlefield of the generated kit, read the way the game reads it: the
// background, altitude map, terrain file and path database load without a
// message, each side's headquarters can reach the other's, the ground that
// blocks on the altitude map is the water, stone, crag and stakes painted on
// the background and nothing else, and the menus' maps fit where their
// screens show them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "Animate/DIB.h"
#include "field/AltitudeMap.h"
#include "platform/afx/MessageBox.h"
#include "core/GameTables.h"
#include "core/PointList.h"
#include "tests/support/LoadedBattlefield.h"

namespace {

// Every battlefield key once (some fields serve two table entries).
std::vector<std::string> AllKeys() {
    std::vector<std::string> keys;
    for (int id = 0; id < kBattlefieldCount; ++id) {
        std::string key = GetBattlefieldKey(id).GetString();
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
    }
    return keys;
}

std::string KitPath(const std::string& gameName) {
    std::string path = KitFolder().string() + "/" + gameName;
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

// The background's palette holds 16 shades of each ground; ground 15 is a
// river's shallows, troops wade through it.
bool RiverGround(int index) { return index / 16 == 15; }

// The grounds no one can stand on.
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

// The position of the terrain feature of a map-object type (-1000 when none).
CPoint FeatureOf(CTerrainList& list, int type) {
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        CTerrain* t = list.GetTerrain(pos);
        if (t->m_objectType == GetObjectResourceNumber(type)) return CPoint(t->m_x, t->m_y);
    }
    return CPoint(-1000, -1000);
}

}  // namespace

// Both sides' headquarters places stand on the field and each side can march
// to the other's, through the path database, on every battlefield.
TEST(BattlefieldKit, EveryFieldLoadsAndItsSidesReachEachOther) {
    for (int id = 0; id < kBattlefieldCount; ++id) {
        CString key = GetBattlefieldKey(id);
        SCOPED_TRACE(key.GetString());
        AfxClearShownMessages();
        CDIB background;
        ASSERT_TRUE(background.Load(GetBkgndName((KitFolder().string() + "/Data/").c_str(), id)));
        EXPECT_EQ(background.GetWidth(), 3000);
        EXPECT_EQ(background.GetHeight(), 2000);
        LoadedField f(id);
        EXPECT_TRUE(AfxGetShownMessages().empty()) << AfxGetShownMessages().front();
        ASSERT_NE(f.grid.GetFineGrid()->GetDatabase(), nullptr);
        CPoint west = FeatureOf(f.terrain, 361), east = FeatureOf(f.terrain, 363);
        ASSERT_NE(west.x, -1000);
        ASSERT_NE(east.x, -1000);
        ASSERT_NE(FeatureOf(f.terrain, 362).x, -1000);
        ASSERT_NE(FeatureOf(f.terrain, 364).x, -1000);
        for (auto [from, to] : {std::pair{west, east}, std::pair{east, west}}) {
            CPointList way;
            ASSERT_TRUE(f.grid.FindPathForElement(from.x, from.y, to.x, to.y, way, 3000));
            CPoint last;
            while (!way.IsEmpty()) last = way.PopHead();
            EXPECT_EQ(last, to);
        }
    }
}

TEST(BattlefieldKit, BlockedCellsAreThePaintedWaterAndWalls) {
    const std::vector<std::string> keys = AllKeys();
    ASSERT_EQ(keys.size(), 38u);
    for (const std::string& key : keys) {
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
        int blockedOrWaded = 0;
        // Every third cell both ways: a cell blocks exactly when some unit of
        // its 5 x 5 square is painted as blocking ground; else it is waded
        // exactly when most of the square is river.
        for (int c = 0; c < 600; c += 3)
            for (int r = 1; r < 400; r += 3) {
                bool painted = false;
                int river = 0;
                for (int y = r * 5; y < r * 5 + 5; ++y)
                    for (int x = c * 5; x < c * 5 + 5; ++x) {
                        painted = painted || BlockingGround(*background.GetPixelAddress(x, y));
                        river += RiverGround(*background.GetPixelAddress(x, y));
                    }
                BYTE b = altitude.GetByte(c, r);
                ASSERT_EQ(b == 250, painted) << "cell " << c << "," << r << " byte " << int(b);
                ASSERT_EQ(b == 200, !painted && river > 12) << "cell " << c << "," << r << " byte " << int(b);
                ASSERT_TRUE(b < 128 || b == 200 || b == 250) << "cell " << c << "," << r;
                blockedOrWaded += b >= 128;
            }
        EXPECT_GT(blockedOrWaded, 0);
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
    for (const std::string& key : AllKeys())
        for (const Picture& p : pictures) {
            std::string name = std::string("Data\\MapData\\") + p.prefix + key + p.suffix + ".giz";
            CDIB dib;
            ASSERT_TRUE(dib.Load(KitPath(name).c_str())) << name;
            EXPECT_LE(p.x + dib.GetWidth(), p.screenW) << name;
            EXPECT_LE(p.y + dib.GetHeight(), p.screenH) << name;
            EXPECT_GE(dib.GetWidth(), p.screenW / 8) << name;
        }
}

// The battle draws a castle's walls, towers and keep higher up the picture
// than the ground they block, by the height of their terrace; the ground
// they block must show there as the yard or the slope, never as a dark band
// under each wall.
TEST(BattlefieldKit, GroundUnderCastleWallsLooksLikeTheGroundAroundIt) {
    int castles = 0;
    for (const std::string& key : AllKeys()) {
        SCOPED_TRACE(key);
        CDIB background;
        ASSERT_TRUE(background.Load(KitPath(std::string("Data\\MapData\\Bkgnd ") + key + ".giz").c_str()));
        ASSERT_EQ(background.GetBitCount(), 8);
        const RGBQUAD* colours = background.GetBitmapInfo()->bmiColors;
        auto luma = [&](BYTE i) { return 0.3 * colours[i].rgbRed + 0.59 * colours[i].rgbGreen + 0.11 * colours[i].rgbBlue; };
        double footing = 0, around = 0;
        int footings = 0, grounds = 0;
        for (int y = 0; y < 2000; y += 2)
            for (int x = 0; x < 3000; x += 2) {
                BYTE i = *background.GetPixelAddress(x, y);
                if (i / 16 < 7 || i / 16 > 9) continue;  // wall, tower and keep
                footing += luma(i), ++footings;
                // The open ground (grass, earth, road) 40 units about it.
                for (auto [dx, dy] : {std::pair{40, 0}, {-40, 0}, {0, 40}, {0, -40}}) {
                    if (x + dx < 0 || y + dy < 0 || x + dx >= 3000 || y + dy >= 2000) continue;
                    BYTE o = *background.GetPixelAddress(x + dx, y + dy);
                    if (o / 16 == 0 || o / 16 == 4 || o / 16 == 6) around += luma(o), ++grounds;
                }
            }
        if (footings == 0) continue;
        ++castles;
        ASSERT_GT(grounds, 0);
        EXPECT_NEAR(footing / footings, around / grounds, 0.12 * around / grounds);
    }
    EXPECT_GT(castles, 10);
}
