// The kit's terrain objects: the 391 map-object types of the catalogue, each
// with its terrain rectangle record (frames, origin, states, cover,
// countdown, cell snapping, slot routes) and its picture. The battlefield
// generator places them and builds the same database in memory.
#pragma once

#include <cairo.h>

#include "battle/TerrainDB.h"

namespace kit {

// The frame size of an object's picture (one row of `frames` frames).
struct ObjectLook {
    int frameWidth = 0, frameHeight = 0, frames = 1;
};
ObjectLook GetObjectLook(int type);

// Fills the whole database as "terrain_rect_db.trm" holds it.
void BuildTerrainDB(CTerrainDB& db);

// Draws frame `frame` of an object into a context whose origin is the
// frame's top-left corner; `castleMap` picks the look of the "C" maps for
// the types that have two.
void DrawObjectFrame(cairo_t* cr, int type, int frame, bool castleMap);

}  // namespace kit
