// The kit's battlefields loaded by the game's own code: terrain file,
// terrain rectangle database, altitude map, battle grid, path grids with the
// path database, path search across the field, and a rendering of each to a
// picture under the build folder (build/battlefield-<key>.jpg) to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "Animate/DIB.h"
#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "field/BattlefieldFiles.h"
#include "field/BattlefieldTables.h"
#include "field/FileBytes.h"
#include "field/PathSearch.h"
#include "field/RouteDatabase.h"
#include "core/GameTables.h"
#include "core/PointList.h"
#include "core/Random.h"
#include "tests/support/LoadedBattlefield.h"

namespace {

const int kFields[] = {0, 1, 7};  // A1M, C1M, A4L

// The passable points of a row of the fine grid nearest to each side.
CPoint EdgePoint(const CPathGrid& g, int row, bool west) {
    for (int i = 0; i < g.GetColumns(); ++i) {
        int c = west ? i : g.GetColumns() - 1 - i;
        if (g.IsPassableCell(c, row)) return g.CellToWorld(c, row);
    }
    return CPoint(-1000, -1000);
}

}  // namespace

TEST(KitBattlefields, LoadWithoutMessagesAndAnswerQueries) {
    for (int id : kFields) {
        SCOPED_TRACE(GetBattlefieldKey(id).GetString());
        AfxClearShownMessages();
        LoadedField f(id);
        EXPECT_TRUE(AfxGetShownMessages().empty()) << (AfxGetShownMessages().empty() ? "" : AfxGetShownMessages()[0]);
        EXPECT_GT(f.terrain.GetCount(), 40);
        // The four headquarters placeholders are there.
        for (int type = 361; type <= 364; ++type) {
            int found = 0;
            for (POSITION pos = f.terrain.GetHeadPosition(); pos;)
                found += f.terrain.GetTerrain(pos)->m_objectType == GetObjectResourceNumber(type);
            EXPECT_EQ(found, 1) << type;
        }
        const CPathGrid& fine = *f.grid.GetFineGrid();
        ASSERT_NE(fine.GetDatabase(), nullptr);
        // Whatever blocks a fine cell is a feature or an obstacle byte of the
        // altitude map, and the deployment areas are open ground.
        int blocked = 0;
        for (int c = 0; c < fine.GetColumns(); ++c)
            for (int r = 0; r < fine.GetRows(); ++r) blocked += !fine.IsPassableCell(c, r);
        EXPECT_GT(blocked, 0);
        EXPECT_LT(blocked, fine.GetColumns() * fine.GetRows() / 4);
        // Features count down and animate without complaint.
        for (int tick = 0; tick < 60; ++tick) f.terrain.UpdateAll();
        EXPECT_TRUE(AfxGetShownMessages().empty());
        // Water in the altitude map is water the troops wade through.
        bool anyWater = false;
        for (int c = 0; c < 600 && !anyWater; ++c)
            for (int r = 0; r < 400 && !anyWater; ++r) anyWater = f.altitude.GetByte(c, r) == 200;
        EXPECT_TRUE(anyWater);
    }
}

TEST(KitBattlefields, PathsCrossTheFieldTheSameWayEveryTime) {
    for (int id : kFields) {
        SCOPED_TRACE(GetBattlefieldKey(id).GetString());
        LoadedField f(id);
        CPathGrid& fine = *f.grid.GetFineGrid();
        for (int row : {20, 66, 110}) {
            CPoint a = EdgePoint(fine, row, true), b = EdgePoint(fine, 132 - row, false);
            ASSERT_NE(a.x, -1000);
            ASSERT_NE(b.x, -1000);
            CPointList first, second;
            int before = RandCallCount;
            ASSERT_TRUE(f.grid.FindPathForElement(a.x, a.y, b.x, b.y, first, 3000)) << row;
            ASSERT_TRUE(f.grid.FindPathForElement(a.x, a.y, b.x, b.y, second, 3000)) << row;
            EXPECT_EQ(RandCallCount, before);
            std::vector<CPoint> p1, p2;
            while (!first.IsEmpty()) p1.push_back(first.PopHead());
            while (!second.IsEmpty()) p2.push_back(second.PopHead());
            EXPECT_EQ(p1, p2);
            EXPECT_EQ(p1.back(), b);
        }
        // A search on the grid alone never steps between two blocked cells.
        CPathSearch search;
        CPathGrid bare(15, 15, "", 0);
        for (int c = 0; c < 200; ++c)
            for (int r = 0; r < 133; ++r) bare.SetCode(c, r, fine.GetCode(c, r));
        CPoint a = EdgePoint(fine, 66, true), b = EdgePoint(fine, 66, false);
        CPointList way;
        ASSERT_TRUE(search.FindPath(a.x, a.y, b.x, b.y, FALSE, way, bare, 100000, nullptr));
        CPoint prev = bare.WorldToCell(a.x, a.y);
        while (!way.IsEmpty()) {
            CPoint p = way.PopHead(), cell = bare.WorldToCell(p.x, p.y);
            EXPECT_TRUE(bare.IsPassableCell(cell.x, cell.y));
            if (cell.x != prev.x && cell.y != prev.y) {
                EXPECT_TRUE(bare.IsPassableCell(prev.x, cell.y) || bare.IsPassableCell(cell.x, prev.y));
            }
            prev = cell;
        }
    }
}

TEST(KitBattlefields, PathDatabaseRoundTripsAndAnswersReversedLookups) {
    std::string data = KitFolder().string() + "/Data/";
    CRouteDatabase db(GetPathDBName(data.c_str(), 1), 200, 133);
    ASSERT_GT(db.GetRecordCount(), 0);
    std::vector<BYTE> bytes;
    {
        CFile file(GetPathDBName(data.c_str(), 1), CFile::modeRead);
        bytes.resize(file.GetLength());
        file.Read(bytes.data(), UINT(bytes.size()));
    }
    // Every record answers both ways, the reverse being the reversed way.
    size_t at = 8;
    int checked = 0;
    while (at < bytes.size() && checked < 200) {
        int n = bytes[at];
        CPoint start(bytes[at + 1], bytes[at + 2]), goal(bytes[at + 2 * size_t(n) - 1], bytes[at + 2 * size_t(n)]);
        CPointList forward, backward;
        int flags = 0;
        ASSERT_TRUE(db.Lookup(start.x, start.y, goal.x, goal.y, forward, &flags));
        ASSERT_TRUE(db.Lookup(goal.x, goal.y, start.x, start.y, backward, &flags));
        std::vector<CPoint> f, b;
        while (!forward.IsEmpty()) f.push_back(forward.PopHead());
        while (!backward.IsEmpty()) b.push_back(backward.PopHead());
        EXPECT_EQ(f.back(), goal);
        EXPECT_EQ(b.back(), start);
        ASSERT_EQ(f.size(), b.size());
        at += 1 + 2 * size_t(n);
        ++checked;
    }
    EXPECT_EQ(checked, 200);
}

TEST(KitBattlefields, RenderEachFieldWithItsTerrainObjects) {
    for (int id : kFields) {
        CString key = GetBattlefieldKey(id);
        SCOPED_TRACE(key.GetString());
        LoadedField f(id);
        std::string data = KitFolder().string() + "/Data/";
        CDIB field;
        ASSERT_TRUE(field.Load(GetBkgndName(data.c_str(), id)));
        ASSERT_EQ(field.GetWidth(), 3000);
        ASSERT_EQ(field.GetHeight(), 2000);
        std::vector<CTerrain*> order;
        for (POSITION pos = f.terrain.GetHeadPosition(); pos;) order.push_back(f.terrain.GetTerrain(pos));
        std::stable_sort(order.begin(), order.end(), [](CTerrain* a, CTerrain* b) { return a->GetDepth() < b->GetDepth(); });
        for (CTerrain* t : order) {
            int type = GetObjectTypeFromResource(t->m_objectType);
            CDIB picture;
            ASSERT_TRUE(picture.Load(GetTerrainObjectPictureName((KitFolder().string() + "/Pictures/Terrain/").c_str(), id, type)))
                << type;
            const CTerrainRectRecord& rec = f.db.GetRecord(type);
            int w = picture.GetWidth() / rec.frameCount;
            CPoint shift;
            f.altitude.GetSlopeOffset(shift, t->m_x, t->m_y);
            int32_t keyIndex = DIB_INDEX_KEY | *picture.GetPixelAddress(0, 0);
            picture.Copy(&field, t->m_x - rec.originX, t->m_y - rec.originY + shift.y, w, picture.GetHeight(),
                         w * std::max(0, int(t->m_frame)), 0, keyIndex);
        }
        std::string out = std::string(VELMOR_BINARY_DIR "/battlefield-") + key.GetString() + ".jpg";
        ASSERT_TRUE(field.SaveAs(out.c_str()));
    }
}

TEST(KitBattlefields, PathDatabaseBuildWritesTheKitsBytes) {
    // The builder run on a kit field with walls gives the very file the kit
    // holds: a faster search that took its nodes in another order, or broke
    // a tie the other way, would store other ways or other pairs.
    const int id = 7;  // A4L
    std::string data = KitFolder().string() + "/Data/";
    LoadedField field(id);
    ASSERT_NE(field.grid.GetFineGrid(), nullptr);
    CScratchFolder scratch;
    std::string built = scratch.Name("built.pth");
    CPathSearch search;
    ASSERT_TRUE(CRouteDatabase::Build(built.c_str(), *field.grid.GetFineGrid(), search, nullptr, nullptr, 1));
    std::vector<BYTE> mine, kit;
    ASSERT_TRUE(ReadFileBytes(built.c_str(), mine));
    ASSERT_TRUE(ReadFileBytes(GetPathDBName(data.c_str(), id), kit));
    ASSERT_GT(kit.size(), 1000u);  // the field's walls give stored ways
    EXPECT_TRUE(mine == kit) << mine.size() << " bytes built, " << kit.size() << " in the kit";
}
