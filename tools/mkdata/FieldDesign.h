// The design records of the battlefields: what each field is made of, in
// field units (the 3000 x 2000 field, x east, y south). A design says where
// the hills, rivers, roads, woods, villages, paddies, castles and palisades
// lie and where each side deploys and keeps its headquarters; FieldRaster
// turns it into the ground, height and passability that the background, the
// altitude map and the menu maps are all drawn from, so the three always
// show the same place.
//
// Side 0 deploys on the west and faces east, side 1 on the east facing west.
// Designs are plain data; building one has no side effects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fields {

struct Pt {
    double x, y;
};
using Path = std::vector<Pt>;

// A smooth rise: height in altitude bytes (0..127, 0.13 height units each)
// at the centre, falling to nothing at the ellipse's edge. Peaks above
// kCragLevel become bare crags that no one can climb.
struct Hill {
    Pt c;
    double rx, ry, height, angleDeg;
};

// A long ridge along a path: `height` on its crest, `width` across.
struct Ridge {
    Path path;
    double width, height;
};

// A river along a path, `width` across: troops wade through it, slowly;
// fords and bridges cross it on dry feet.
struct River {
    Path path;
    double width;
};

struct Lake {
    Pt c;
    double rx, ry;
};

// A place where a river can be crossed: a ford (shallow water, passable) or
// a wooden bridge from a to b.
struct Crossing {
    Pt a, b;
    double width;
    bool bridge;
};

// A road; where it meets a river it crosses on a wooden bridge.
struct Road {
    Path path;
    double width;
};

enum class WoodKind { Pine, Broadleaf, Bamboo };

struct Wood {
    Pt c;
    double rx, ry;
    WoodKind kind;
};

enum class VillageKind { Farm, Town, Temple };

struct Village {
    Pt c;
    double radius;
    int houses;
    VillageKind kind;
};

// A block of rice paddies, divided into plots by dikes.
struct Paddies {
    double left, top, right, bottom;
};

// Marsh: wet reed ground, passable but slow to look at and to cross.
struct Marsh {
    Pt c;
    double rx, ry;
};

// One ring of castle wall round the outline of its corners. The walls are
// built of the terrain set's wall pieces, which run east-west or
// north-south, so a ring follows its outline in whole pieces: its east and
// west sides step out or in a piece at a time where the outline leaves
// them by a piece or more, with a tower on each corner that juts out. Each
// listed edge (edge i runs from corner i to corner i + 1) gates every
// straight run of wall that faces the same way: one way in the middle, two
// more on a run of 700 units or longer; a north or south way is a
// gatehouse of an east-west wall (two on a run of six pieces), an east or
// west one a way left open through a north-south wall, two pieces wide
// where the run has room. A side without a gated edge runs straight.
struct WallRing {
    Path corners;
    std::vector<int> gateEdges;
    double thickness;
};

struct Castle {
    std::vector<WallRing> rings;  // outermost first
    Pt keep;                      // the keep stands here, inside the last ring
    double keepSize;
    double moat;                  // width of the water outside the first ring, 0 none
    int side;                     // the side that holds it
};

// A single object of the terrain set standing where the design puts it (a
// well, a shrine, a cart, a sign), kept only where its ground is free.
struct Landmark {
    int type;
    Pt at;
};

// A palisade of stakes: blocks except where gaps are left.
struct Palisade {
    Path path;
    std::vector<Pt> gaps;  // openings (40 units wide) centred on these points
};

struct SidePlan {
    double left, top, right, bottom;  // where the side's divisions deploy
    Pt hq[2];                         // its two headquarters flags
};

struct FieldDesign {
    std::string key;  // the battlefield key of the data file names
    uint32_t seed = 1;
    double baseHeight = 12;  // the plain's height in altitude bytes
    double roughness = 6;    // amplitude of the rolling ground
    double dryness = 0.3;    // 0 lush green .. 1 dry autumn grass
    std::vector<Hill> hills;
    std::vector<Ridge> ridges;
    std::vector<River> rivers;
    std::vector<Lake> lakes;
    std::vector<Crossing> crossings;
    std::vector<Road> roads;
    std::vector<Wood> woods;
    std::vector<Village> villages;
    std::vector<Paddies> paddies;
    std::vector<Marsh> marshes;
    std::vector<Castle> castles;
    std::vector<Palisade> palisades;
    std::vector<Landmark> landmarks;
    SidePlan sides[2];
};

// Height in altitude bytes above which hills are bare, impassable crag.
constexpr double kCragLevel = 112;

// Every battlefield designed here, in the order of the battlefield table.
const std::vector<FieldDesign>& FieldDesigns();
// The display name the battlefield table gives the design's key.
std::string FieldName(const FieldDesign& d);
// The design of a battlefield key; null when there is none.
const FieldDesign* FindFieldDesign(const std::string& key);

}  // namespace fields
