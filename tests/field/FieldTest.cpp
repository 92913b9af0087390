// Altitude map, zone grid, battlefield tables and the army element's
// geometry.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "Animate/DIB.h"
#include "field/ArmyElement.h"
#include "field/AltitudeMap.h"
#include "field/BattlefieldTables.h"
#include "field/Terrain.h"
#include "field/TerrainDB.h"
#include "field/ZoneGrid.h"
#include "core/GameTables.h"
#include "core/PointList.h"

namespace {
// An 8-bit picture whose index i has the colour (i, i, i).
void CreateGrey8(CDIB& dib, int width, int height) {
    PALETTEENTRY pe[256];
    for (int i = 0; i < 256; ++i) pe[i] = PALETTEENTRY{BYTE(i), BYTE(i), BYTE(i), 0};
    CPalette palette;
    palette.CreatePalette(pe, 256);
    dib.CreateEmpty(width, height, &palette);
}

std::string TempPicture(const char* name, int width, int height, int bits) {
    std::filesystem::create_directories(VELMOR_BINARY_DIR "/test-tmp");
    std::string path = std::string(VELMOR_BINARY_DIR "/test-tmp/") + name;
    CDIB dib;
    CreateGrey8(dib, width, height);
    if (bits == 24) dib.ConvertTo24Bit();
    dib.SaveAs(path.c_str());
    return path;
}
}  // namespace

TEST(AltitudeMap, HeightsShiftsAndBlockedBytes) {
    CAltitudeMap map;
    map.SetByte(10, 20, 100);
    EXPECT_DOUBLE_EQ(map.GetAltitude(50, 100), 13.0);
    CPoint shift;
    map.GetSlopeOffset(shift, 50, 100);
    EXPECT_EQ(shift, CPoint(0, -65));
    EXPECT_DOUBLE_EQ(map.GetAltitude(0, 0), 0.0);
    // 250 takes the nearest true height of its row, left first.
    map.SetByte(30, 5, 250), map.SetByte(29, 5, 40), map.SetByte(31, 5, 60);
    EXPECT_NEAR(map.GetAltitude(150, 25), 5.2, 1e-12);
    struct { BYTE b; bool blocked; } cases[] = {{250, false}, {127, false}, {128, true}, {255, true}};
    for (auto c : cases) {
        map.SetByte(7, 7, c.b);
        EXPECT_EQ(map.IsBlockedAt(7, 7, TRUE) != 0, c.blocked) << int(c.b);
    }
    // As drawn: a point at y 1000 on ground of height 13 reads row 187.
    map.SetByte(100, 200, 100);
    map.SetByte(100, 187, 200);
    EXPECT_TRUE(map.IsBlockedAt(500, 1000, FALSE));
    map.SetByte(0, 399, 20);
    EXPECT_NEAR(map.GetAltitude(-20, 2500), 2.6, 1e-12);
}

TEST(AltitudeMap, RefusesPicturesOfTheWrongSizeOrDepth) {
    struct { const char* name; int w, h, bits; } cases[] = {
        {"small.giz", 599, 400, 8}, {"short.giz", 600, 399, 8}, {"deep.giz", 600, 400, 24}, {"missing.giz", 0, 0, 0}};
    for (auto c : cases) {
        CAltitudeMap map;
        map.SetByte(3, 3, 77);
        std::string path = c.w ? TempPicture(c.name, c.w, c.h, c.bits) : std::string("no such map.giz");
        AfxClearShownMessages();
        EXPECT_FALSE(map.Load(path.c_str())) << c.name;
        EXPECT_EQ(map.GetByte(3, 3), 77) << c.name;  // unchanged
        EXPECT_FALSE(map.IsLoaded());
        auto shown = AfxGetShownMessages();
        ASSERT_EQ(shown.size(), 1u) << c.name;
        EXPECT_EQ(shown[0].rfind("ERROR: ", 0), 0u);
    }
    // A good picture whose rows have no height is reported once, at load.
    CAltitudeMap map;
    CDIB dib;
    CreateGrey8(dib, 600, 400);
    dib.GetBitmapInfo()->bmiColors[0].rgbRed = 200;
    std::string path = std::string(VELMOR_BINARY_DIR "/test-tmp/water.giz");
    dib.SaveAs(path.c_str());
    AfxClearShownMessages();
    EXPECT_TRUE(map.Load(path.c_str()));
    EXPECT_EQ(AfxGetShownMessages(), std::vector<std::string>{"ERROR: Problem getting altitude!!"});
    map.GetAltitude(100, 100);
    EXPECT_EQ(AfxGetShownMessages().size(), 1u);
}

TEST(ZoneGrid, ZonesClampingAndLoad) {
    CDIB dib;
    CreateGrey8(dib, 600, 400);
    dib.GetBitmapInfo()->bmiColors[9] = RGBQUAD{0, 0, 75, 0};
    *dib.GetPixelAddress(7, 3) = 9;
    std::string path = std::string(VELMOR_BINARY_DIR "/test-tmp/zones.giz");
    std::filesystem::create_directories(VELMOR_BINARY_DIR "/test-tmp");
    dib.SaveAs(path.c_str());
    CZoneGrid zones;
    ASSERT_TRUE(zones.Load(path.c_str()));
    EXPECT_EQ(zones.GetZone(35, 15), 75);
    EXPECT_EQ(zones.GetZone(39, 19), 75);
    EXPECT_EQ(zones.GetZone(40, 15), 0);
    zones.SetCell(0, 399, 150), zones.SetCell(599, 0, 75);
    EXPECT_EQ(zones.GetZone(-10, 5000), 150);
    EXPECT_EQ(zones.GetZone(3000, 0), 75);
    // Four corners in one zone do not cross, whatever lies between.
    EXPECT_FALSE(zones.CrossesZones(20, 0, 60, 40));
    EXPECT_TRUE(zones.CrossesZones(20, 0, 36, 16));
}

TEST(ZoneGrid, RoutesThroughTheGates) {
    CZoneGrid zones;
    for (int c = 0; c < 200; ++c)
        for (int r = 0; r < 400; ++r) zones.SetCell(c, r, 150);
    for (int c = 200; c < 400; ++c)
        for (int r = 0; r < 400; ++r) zones.SetCell(c, r, 75);
    CTerrain low(0, 0, -1, 2000, 500, -1000, -1000), high(0, 0, -1, 1000, 600, -1000, -1000);
    zones.GetFirstGates().AddTail(&low);
    zones.GetSecondGates().AddTail(&high);
    CPointList route;
    zones.FindRoute(route, 100, 100, 2500, 100, FALSE);  // zone 150 to zone 0
    std::vector<CPoint> got;
    while (!route.IsEmpty()) got.push_back(route.PopHead());
    EXPECT_EQ(got, (std::vector<CPoint>{{1000, 600}, {2000, 500}, {2500, 100}}));
    zones.FindRoute(route, 2400, 100, 2500, 100, FALSE);  // same zone
    EXPECT_EQ(route.GetCount(), 1);
    CZoneGrid empty;
    empty.SetCell(0, 0, 75);
    CPointList alone;
    empty.FindRoute(alone, 0, 0, 2500, 100, TRUE);  // no gates: no waypoint
    EXPECT_EQ(alone.GetCount(), 1);
}

TEST(BattlefieldTables, NamesKeysAndFactors) {
    EXPECT_EQ(GetMapDataName("Data\\", 19, 1024), CString("Data\\MapData\\1024C10L Tactic.giz"));
    EXPECT_EQ(GetMapDataName("Data\\", 19, 1280), CString("Data\\MapData\\C10L Tactic.giz"));
    EXPECT_EQ(GetBattlefieldKey(6), GetBattlefieldKey(17));
    EXPECT_EQ(GetBattlefieldKey(6), CString("A3L"));
    EXPECT_EQ(GetBattlefieldKey(99), CString("A1M"));
    EXPECT_EQ(GetPathDBName("", 7), CString("MapData\\Paths A4L.pth"));
    EXPECT_EQ(GetTerrainName("", 1), CString("MapData\\Terrain C1M.TED"));
    EXPECT_EQ(GetTerrainObjectPictureName("Pictures\\Terrain\\", 1, 0), CString("Pictures\\Terrain\\CTree_Acacia_Sum_1.giz"));
    EXPECT_EQ(GetTerrainObjectPictureName("", 7, 59), CString("ABamboo_A10.giz"));
    EXPECT_EQ(GetTerrainObjectPictureName("", 7, 60), CString("Farm_House_A1.giz"));
    // The names are shown to the player as they stand.
    for (int id = 0; id < kBattlefieldCount; ++id)
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(GetBattlefieldName(id)[0]))) << GetBattlefieldName(id);
    EXPECT_EQ(GetBattlefieldName(3), CString("Hayashi Castle"));
    EXPECT_EQ(GetClanName(0), CString(""));
    EXPECT_EQ(GetClanName(11), CString("Warrior Monks"));
    EXPECT_EQ(GetBattlefieldEnemyClan(6, 1, 1, 1552, 2), 3);
    EXPECT_EQ(GetBattlefieldEnemyClan(6, 1, 1, 1553, 2), 12);
    EXPECT_EQ(GetBattlefieldDivisionLimit(1, 1, 2), 4);
    EXPECT_EQ(GetBattlefieldDivisionLimit(1, 1, 1), 6);
    EXPECT_DOUBLE_EQ(GetBattlefieldScale(32, 1), 0.2);
    EXPECT_TRUE(IsBattlefieldSideOption(14, 1));
    EXPECT_FALSE(IsBattlefieldSideOption(14, 0));
    EXPECT_TRUE(GetBattlefieldFlag(1, 1));
    EXPECT_FALSE(GetBattlefieldFlag(0, 1));
    BYTE first, second;
    EXPECT_EQ(GetLoadingBattlefieldFlags(5, first, second), 0);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(GetLoadingBattlefieldFlags(1, first, second), 1);
    EXPECT_EQ(second, 1);
    // Every campaign-less pair keeps its product near 1.
    for (int id = 0; id < kBattlefieldCount; ++id) {
        double p = GetBattlefieldScale(id, 0) * GetBattlefieldScale(id, 1);
        EXPECT_GE(p, 0.9 - 1e-9) << id;
        EXPECT_LE(p, 1.1 + 1e-9) << id;
    }
    AfxClearShownMessages();
    EXPECT_EQ(GetBattlefieldDivisionLimit(40, 0, 1), 12);
    EXPECT_EQ(AfxGetShownMessages(), std::vector<std::string>{"Invalid battlefield ID: 40"});
}

TEST(BattlefieldTables, SideFlagsFallBackForClansWithoutFlags) {
    EXPECT_EQ(GetSideFlagObjectType("Karsin", 1, 2), GetFlagObjectType(2, 2));
    EXPECT_EQ(GetSideFlagObjectType("Karsin", 0, 1), GetFlagObjectType(2, 3));
    // The monks and the emperor have no flags: the first clan's stand in.
    EXPECT_EQ(GetSideFlagObjectType("Warrior Monks", 0, 1), GetFlagObjectType(1, 3));
    EXPECT_EQ(GetSideFlagObjectType("nobody", 1, 1), GetFlagObjectType(1, 1));
}

TEST(ArmyElement, FacingArithmeticAndSplit) {
    EXPECT_EQ(CArmyElement::DirectionDelta(7, 0), 1);
    EXPECT_EQ(CArmyElement::DirectionDeltaCCW(0, 7), 1);
    EXPECT_EQ(CArmyElement::DirectionDelta(3, 3), 0);
    EXPECT_EQ(CArmyElement::NormalizeDirection(-9), 7);
    EXPECT_EQ(CArmyElement::NormalizeDirection(16), 0);
    CArmyElement e;
    CRect a, b, c;
    e.m_facing = 0;
    e.SplitPerimeter(0, 0, 299, 99, a, b, c);
    EXPECT_EQ(a, CRect(0, 0, 99, 99));
    EXPECT_EQ(b, CRect(100, 0, 198, 99));
    EXPECT_EQ(c, CRect(199, 0, 296, 99));
    for (int bad : {8, -1}) {
        CRect x(1, 2, 3, 4), y = x, z = x;
        e.m_facing = bad;
        e.SplitPerimeter(0, 0, 299, 99, x, y, z);
        EXPECT_EQ(x, CRect(1, 2, 3, 4));
    }
}
