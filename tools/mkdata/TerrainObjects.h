// The kit's terrain objects: the 391 map-object types of the catalogue, each
// with its terrain rectangle record (frames, origin, states, cover,
// countdown, cell snapping, slot routes) and its picture. The battlefield
// generator places them and builds the same database in memory.
#pragma once

#include <cairo.h>

#include <functional>
#include <string>

#include "field/TerrainDB.h"

class CAltitudeMap;
class CBattleGrid;
class CTerrainList;
class KitContext;

namespace kit {

// The frame size of an object's picture (one row of `frames` frames).
struct ObjectLook {
    int frameWidth = 0, frameHeight = 0, frames = 1;
};
ObjectLook GetObjectLook(int type);

// Fills the whole database as "terrain_rect_db.trm" holds it.
void BuildTerrainDB(CTerrainDB& db);

// The ground an object of `type` standing at (x, y) covers, in field units:
// the union of its record's first-state rectangles, or the lower part of its
// picture when the record has none.
CRect ObjectFootprint(const CTerrainDB& db, int type, int x, int y);

// Writes a battlefield's "Terrain <key>.TED" (its objects, with the name and
// key as the file's texts) and "Paths <key>.pth", the path database the
// game's own builder makes of the grid the game builds over `altitude` and
// the objects. `check` sees that grid first and may throw to refuse the
// field before its database is written. Throws when a file cannot be written.
void WriteTerrainAndPaths(const KitContext& kit, const std::string& key, const std::string& name,
                          CTerrainList& objects, const CTerrainDB& db, CAltitudeMap& altitude,
                          const std::function<void(const CBattleGrid&)>& check = nullptr);

// Draws frame `frame` of an object into a context whose origin is the
// frame's top-left corner; `castleMap` picks the look of the "C" maps for
// the types that have two.
void DrawObjectFrame(cairo_t* cr, int type, int frame, bool castleMap);

}  // namespace kit
