// The pictures of a battlefield, all drawn from its FieldRaster: the
// 3000 x 2000 background and the altitude map the battle reads, and the maps
// the menus and the deployment screen show of it.
#pragma once

#include <string>
#include <vector>

#include "tools/mkdata/FieldRaster.h"
#include "tools/mkdata/Style.h"

class KitContext;

namespace fields {

// The background, painted at full colour and kept as palette indices, one
// per field unit, top row first. The palette is the field's own: 16 shades
// of each material chosen from its painting, so index / 16 is the ground's
// Material.
struct PaintedBackground {
    std::vector<uint8_t> indices;
    std::vector<kit::Rgb> palette;
};
PaintedBackground PaintBackground(const FieldRaster& raster);

// "Bkgnd <key>" (8-bit) and "Data Map <key>" (8-bit, the red of each colour
// is the altitude byte) in the MapData folder.
void WriteFieldData(const KitContext& kit, const FieldRaster& raster);

// "Terrain <key>.TED" (the objects on the field and the headquarters flag
// places) and "Paths <key>.pth", built by the game's own builder. Refuses a
// design whose deployment areas or headquarters the battle grid cannot reach.
void WriteFieldTerrain(const KitContext& kit, const FieldRaster& raster);

// "<key> Tactic", "1024<key> Tactic", "Battle <key> sbttl", "Battle <key>
// Hint", "1024Battle <key> Hint", "Battle <key> Info" and "Map Small <key>".
void WriteFieldMenuMaps(const KitContext& kit, const FieldRaster& raster);

// A map of the field drawn into a rectangle of a picture in the house style:
// ground, heights, water, woods, roads, castles; with `armies` the
// deployment areas and headquarters of both sides.
void DrawFieldMap(kit::Picture& p, const FieldRaster& raster, double x, double y, double w, double h, bool armies);

}  // namespace fields
