// One generator per designed battlefield, so that the fields are laid out,
// painted and given their path databases in parallel.
#include <stdexcept>

#include "battle/AltitudeMap.h"
#include "battle/BattleGrid.h"
#include "battle/PathGrid.h"
#include "battle/TerrainList.h"
#include "tools/mkdata/FieldPaint.h"
#include "tools/mkdata/Kit.h"

namespace fields {
namespace {

// The battle's own path grid must reach both deployment areas and all four
// headquarters: the grid keeps only the ground connected to the west edge's
// first open cell, so a design that cuts off a corner or walls in a side is
// refused here rather than found in play.
void CheckReachable(const FieldRaster& raster) {
    CAltitudeMap altitude;
    const std::vector<uint8_t>& bytes = raster.AltitudeBytes();
    for (int r = 0; r < kCellsY; ++r)
        for (int c = 0; c < kCellsX; ++c) altitude.SetByte(c, r, bytes[size_t(r) * kCellsX + c]);
    CTerrainList none;
    CBattleGrid grid;
    grid.SetTerrainList(&none);
    grid.Rebuild(&altitude);
    grid.BuildPathGrids("");
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

void GenerateField(KitContext& kit, const char* key) {
    const FieldDesign* design = FindFieldDesign(key);
    if (!design) throw std::runtime_error(std::string("no design for battlefield ") + key);
    FieldRaster raster(*design);
    CheckReachable(raster);
    WriteFieldData(kit, raster);
    WriteFieldMenuMaps(kit, raster);
}

}  // namespace
}  // namespace fields

#define FIELD_GENERATOR(key) \
    KIT_GENERATOR(Battlefield_##key) { fields::GenerateField(kit, #key); }

FIELD_GENERATOR(A2M)
FIELD_GENERATOR(C4M)
FIELD_GENERATOR(A7L)
FIELD_GENERATOR(C7L)
FIELD_GENERATOR(A3L)
FIELD_GENERATOR(A5L)
FIELD_GENERATOR(A6L)
FIELD_GENERATOR(C5L)
FIELD_GENERATOR(C6L)
FIELD_GENERATOR(A8L)
FIELD_GENERATOR(C2L)
FIELD_GENERATOR(C3L)
FIELD_GENERATOR(A9L)
FIELD_GENERATOR(C8M)
FIELD_GENERATOR(C9L)
FIELD_GENERATOR(C10L)
FIELD_GENERATOR(A10M)
FIELD_GENERATOR(C12M)
FIELD_GENERATOR(A11L)
FIELD_GENERATOR(C13L)
FIELD_GENERATOR(A12L)
FIELD_GENERATOR(C14L)
FIELD_GENERATOR(C15L)
FIELD_GENERATOR(C16L)
FIELD_GENERATOR(C17M)
FIELD_GENERATOR(C18M)
FIELD_GENERATOR(A13M)
FIELD_GENERATOR(C11L)
FIELD_GENERATOR(C19L)
FIELD_GENERATOR(C20L)
FIELD_GENERATOR(A14L)
FIELD_GENERATOR(C21L)
FIELD_GENERATOR(A15L)
FIELD_GENERATOR(A16M)
FIELD_GENERATOR(A17L)
