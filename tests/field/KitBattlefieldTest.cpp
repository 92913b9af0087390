// The kit's battlefields loaded by the game's own code: terrain file,
// terrain rectangle database, altitude map, battle grid, path grids with the
// path database, path search across the field, and the pictures of each
// field with its terrain objects that the generator's --render-fields draws
// (build/field-renders/battlefield-<key>.jpg) to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "Animate/DIB.h"
#include "Animate/RLESprite.h"
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

// Every battlefield once (some fields serve two table entries).
std::vector<int> AllFields() {
    std::vector<int> ids;
    std::set<std::string> keys;
    for (int id = 0; id < kBattlefieldCount; ++id)
        if (keys.insert(GetBattlefieldKey(id).GetString()).second) ids.push_back(id);
    return ids;
}

// The passable point of a row of the fine grid nearest to a side, looking
// inward from where the sides deploy (300 units from the edge): ground
// beyond a mountain at the very edge is reached only the long way round.
CPoint EdgePoint(const CPathGrid& g, int row, bool west) {
    for (int i = 20; i < g.GetColumns(); ++i) {
        int c = west ? i : g.GetColumns() - 1 - i;
        if (g.IsPassableCell(c, row)) return g.CellToWorld(c, row);
    }
    return CPoint(-1000, -1000);
}

}  // namespace

TEST(KitBattlefields, LoadWithoutMessagesAndAnswerQueries) {
    for (int id : AllFields()) {
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
        // Most of the field is open ground.
        int blocked = 0;
        for (int c = 0; c < fine.GetColumns(); ++c)
            for (int r = 0; r < fine.GetRows(); ++r) blocked += !fine.IsPassableCell(c, r);
        EXPECT_GT(blocked, 0);
        EXPECT_LT(blocked, fine.GetColumns() * fine.GetRows() / 4);
        // Features count down and animate without complaint.
        for (int tick = 0; tick < 60; ++tick) f.terrain.UpdateAll();
        EXPECT_TRUE(AfxGetShownMessages().empty());
    }
}

TEST(KitBattlefields, PathsCrossTheFieldTheSameWayEveryTime) {
    for (int id : AllFields()) {
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

// Terrain objects are drawn over an 8-bit field in their own colours, both
// as the battle view draws them (the field taken to full colour, each
// sprite through its own palette) and in the pictures of the render command.
TEST(KitBattlefields, TerrainObjectsKeepTheirOwnColoursOnEveryField) {
    const std::string renders = VELMOR_BINARY_DIR "/field-renders";
    const std::string cmd = std::string("\"") + VELMOR_BINARY_DIR + "/velmor-mkdata\" --render-fields \"" + renders +
                            "\" \"" + KitFolder().string() + "\" >/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::string data = KitFolder().string() + "/Data/", pictures = KitFolder().string() + "/Pictures/Terrain/";
    for (int id : AllFields()) {
        CString key = GetBattlefieldKey(id);
        SCOPED_TRACE(key.GetString());
        LoadedField f(id);
        CDIB field, render;
        ASSERT_TRUE(field.Load(GetBkgndName(data.c_str(), id)));
        ASSERT_EQ(field.GetBitCount(), 8);
        ASSERT_TRUE(field.ConvertTo24Bit());
        ASSERT_TRUE(render.Load((renders + "/battlefield-" + key.GetString() + ".jpg").c_str()));
        // Where each object's picture lies; only objects no other covers are
        // compared in the render, which draws them all, deepest first.
        struct Placed {
            CTerrain* t;
            int type;
            CRect box;
        };
        std::vector<Placed> placed;
        for (POSITION pos = f.terrain.GetHeadPosition(); pos;) {
            CTerrain* t = f.terrain.GetTerrain(pos);
            int type = GetObjectTypeFromResource(t->m_objectType);
            const CTerrainRectRecord& rec = f.db.GetRecord(type);
            CPoint shift;
            f.altitude.GetSlopeOffset(shift, t->m_x, t->m_y);
            int left = t->m_x - rec.originX, top = t->m_y - rec.originY + shift.y;
            CDIB look;
            ASSERT_TRUE(look.Load(GetTerrainObjectPictureName(pictures.c_str(), id, type))) << type;
            placed.push_back({t, type, CRect(left, top, left + look.GetWidth() / rec.frameCount, top + look.GetHeight())});
        }
        int compared = 0;
        for (const Placed& p : placed) {
            if (p.type >= 359 || compared >= 12) continue;  // any object but the flags
            auto above = [](const Placed& a, const Placed& b) {  // a drawn after b
                return a.t->GetDepth() > b.t->GetDepth() || (a.t->GetDepth() == b.t->GetDepth() && &a > &b);
            };
            bool alone = true;
            for (const Placed& o : placed)
                alone = alone && (&o == &p || above(p, o) || !CRect().IntersectRect(&p.box, &o.box));
            if (!alone || p.box.left < 0 || p.box.top < 0 || p.box.right > 3000 || p.box.bottom > 2000) continue;
            CDIB look;
            ASSERT_TRUE(look.Load(GetTerrainObjectPictureName(pictures.c_str(), id, p.type)));
            ASSERT_EQ(look.GetBitCount(), 8);
            const int frames = f.db.GetRecord(p.type).frameCount;
            RLESprite sprite;
            sprite.Encode(look, 1, frames);
            sprite.Move(p.box.left, p.box.top, FALSE);
            sprite.Draw(&field, nullptr, 1.0);
            const RGBQUAD* own = look.GetBitmapInfo()->bmiColors;
            const BYTE key = *look.GetPixelAddress(0, 0);
            double drawn[3] = {0, 0, 0}, rendered[3] = {0, 0, 0}, expected[3] = {0, 0, 0};
            int opaque = 0;
            for (int y = 0; y < p.box.Height(); ++y)
                for (int x = 0; x < p.box.Width(); ++x) {
                    BYTE index = *look.GetPixelAddress(x, y);
                    if (index == key) continue;
                    const BYTE* a = field.GetPixelAddress(p.box.left + x, p.box.top + y);
                    const BYTE* b = render.GetPixelAddress(p.box.left + x, p.box.top + y);
                    const BYTE want[3] = {own[index].rgbBlue, own[index].rgbGreen, own[index].rgbRed};
                    for (int c = 0; c < 3; ++c) {
                        ASSERT_EQ(a[c], want[c]) << "type " << p.type << " at " << x << "," << y;
                        drawn[c] += a[c], rendered[c] += b[c], expected[c] += want[c];
                    }
                    ++opaque;
                }
            ASSERT_GT(opaque, 0);
            // The render is a JPEG: its colours are compared on average.
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(rendered[c] / opaque, expected[c] / opaque, 10.0) << "type " << p.type << " channel " << c;
            ++compared;
        }
        EXPECT_GT(compared, 0);
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
