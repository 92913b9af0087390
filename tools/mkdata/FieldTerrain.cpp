// The terrain file and the path database of a designed battlefield: the
// objects the layout stands on the ground (woods, houses, wells, boulders,
// the headquarters flag places) kept where their footprints are free, saved
// as the game's terrain list, and the path database built by the game's own
// builder over the grid the game itself makes of the field.
#include <stdexcept>

#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "field/PathGrid.h"
#include "field/TerrainDB.h"
#include "field/TerrainList.h"
#include "core/GameTables.h"
#include "tools/mkdata/FieldPaint.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/TerrainObjects.h"

namespace fields {

namespace {

// Keeps the castle pieces and flag places, and the other objects whose
// footprints lie on open ground, inside the field's
// margin and clear of each other.
std::vector<PlacedObject> FreeObjects(const FieldRaster& raster, const CTerrainDB& db) {
    std::vector<PlacedObject> kept;
    std::vector<CRect> taken;
    for (const PlacedObject& o : raster.Objects()) {
        CRect f = kit::ObjectFootprint(db, o.type, o.x, o.y);
        if (!o.fixed) {
            CRect grown = f;
            grown.InflateRect(6, 6);
            if (grown.left < 120 || grown.top < 120 || grown.right > 2880 || grown.bottom > 1880) continue;
            bool clear = true;
            for (const CRect& t : taken) clear = clear && !CRect().IntersectRect(&grown, &t);
            for (int y = f.top; clear && y <= f.bottom; y += 6)
                for (int x = f.left; clear && x <= f.right; x += 6) {
                    uint8_t m = raster.MaterialAt(x, y);
                    clear = !IsBlockingMaterial(m) && m != kRoad && m != kBridge && m != kRiver && m != kFord;
                }
            if (!clear) continue;
        }
        kept.push_back(o);
        taken.push_back(f);
    }
    return kept;
}

// The battle's own path grid must reach both deployment areas and all four
// headquarters: the grid keeps only the ground connected to the west edge's
// first open cell, so a design that cuts off a corner or walls in a side is
// refused here rather than found in play.
void CheckReachable(const FieldRaster& raster, const CBattleGrid& grid) {
    const std::vector<uint8_t>& bytes = raster.AltitudeBytes();
    const FieldDesign& d = raster.Design();
    // The game takes a blocked cell's height from open ground in its row.
    for (int r = 0; r < kCellsY; ++r) {
        bool open = false;
        for (int c = 0; c < kCellsX && !open; ++c) open = bytes[size_t(r) * kCellsX + c] != kBlockedByte;
        if (!open) throw std::runtime_error(d.key + ": row " + std::to_string(r) + " of the altitude map is all blocked");
    }
    const CPathGrid& fine = *grid.GetFineGrid();
    auto fail = [&](const std::string& what, int side) {
        throw std::runtime_error(d.key + ": " + what + " of side " + std::to_string(side) + " cannot be reached");
    };
    for (int side = 0; side < 2; ++side) {
        const SidePlan& s = d.sides[side];
        for (int k = 0; k < 2; ++k)
            if (!fine.IsPassableAt(int(s.hq[k].x), int(s.hq[k].y)))
                fail("headquarters " + std::to_string(k + 1) + " at " + std::to_string(int(s.hq[k].x)) + "," +
                         std::to_string(int(s.hq[k].y)),
                     side);
        // Most of the deployment area must be open ground the others reach.
        int open = 0, all = 0;
        for (int y = int(s.top); y < int(s.bottom); y += 15)
            for (int x = int(s.left); x < int(s.right); x += 15, ++all) open += fine.IsPassableAt(x, y) ? 1 : 0;
        if (open * 2 < all) fail("the deployment area (" + std::to_string(open) + " of " + std::to_string(all) + " cells open)", side);
    }
    // Ground that is open but out of everyone's reach is a flaw of the design.
    int lost = 0, open = 0;
    for (int c = 0; c < fine.GetColumns(); ++c)
        for (int r = 0; r < fine.GetRows(); ++r) {
            BYTE code = fine.GetCode(c, r);
            lost += code == 4, open += code == 2 || code == 3 || code == 4;
        }
    if (lost * 25 > open)
        throw std::runtime_error(d.key + ": " + std::to_string(lost) + " of " + std::to_string(open) +
                                 " open cells cannot be reached");
}

}  // namespace

void WriteFieldTerrain(const KitContext& kit, const FieldRaster& raster) {
    const FieldDesign& d = raster.Design();
    CTerrainDB db;
    kit::BuildTerrainDB(db);
    CTerrainList list;
    for (const PlacedObject& o : FreeObjects(raster, db))
        list.AddTail(new CTerrain(GetObjectResourceNumber(o.type), 0, -1, o.x, o.y, -1000, -1000));
    CAltitudeMap altitude;
    const std::vector<uint8_t>& bytes = raster.AltitudeBytes();
    for (int r = 0; r < kCellsY; ++r)
        for (int c = 0; c < kCellsX; ++c) altitude.SetByte(c, r, bytes[size_t(r) * kCellsX + c]);
    kit::WriteTerrainAndPaths(kit, d.key, FieldName(d), list, db, altitude,
                              [&](const CBattleGrid& grid) { CheckReachable(raster, grid); });
}

}  // namespace fields
