// The kit's battlefields. Each is described by one design record (hills,
// rivers, roads, woods, villages, paddies, a castle, loose objects, the two
// headquarters of each side and the deployment areas) from which one
// generator paints the 3000 x 2000 background, writes the altitude map, the
// terrain file and the path database built by the game's own builder. The
// painted field and the altitude map come from the same shapes, so water is
// water in both and a wall blocks in both.
#pragma once

#include <string>
#include <vector>

#include "platform/afx/Rect.h"

namespace kit {

struct FieldHill {
    double x, y, rx, ry, height;  // height in altitude bytes (0..127)
};
struct FieldLine {  // a river or a road
    std::vector<CPoint> points;
    double width;
};
struct FieldCluster {  // a wood, a bamboo grove, a village
    double x, y, radius;
    int count;
    int firstType, lastType;  // object types drawn from
    int facing;               // -1 none
};
struct FieldPaddies {
    CRect area;
    int firstType, lastType;
};
struct FieldObject {
    int type;
    int x, y;
    int facing;
};
struct FieldCastle {
    CRect walls;              // the outer wall ring, in field units
    int wallType;             // first east-west piece; +8 gives the north-south pieces
    int gateType, keepType, towerType;
    int northGate, southGate;  // the piece of that wall that is a gate, -1 none
    bool present;
};
struct FieldDesign {
    const char* key;
    const char* name;
    unsigned seed;
    bool castleMap;           // the "C" looks of trees and fields
    double greenness;         // 0 dry ochre .. 1 lush
    std::vector<FieldHill> hills;
    std::vector<FieldLine> rivers;
    std::vector<FieldLine> roads;
    std::vector<FieldCluster> clusters;
    std::vector<FieldPaddies> paddies;
    std::vector<FieldObject> objects;
    FieldCastle castle;
    CPoint headquarters[2][2];  // [side][kind - 1]
    CRect deploy[2];
};

// The designs of the kit's battlefields.
const std::vector<FieldDesign>& FieldDesigns();

}  // namespace kit

class KitContext;
namespace kit {
// Writes one battlefield's background, altitude map, terrain file and path
// database.
void GenerateBattlefield(const KitContext& kit, const FieldDesign& d);
}  // namespace kit
