// A battlefield design laid out on the ground: one material per field unit
// (3000 x 2000), the height of the land on the 5-unit grid of the altitude
// map, and the terrain objects (trees, houses, rocks, headquarters flags)
// that stand on it. The background, the altitude map, the terrain file and
// every menu map of a battlefield are made from one FieldRaster, so what the
// player reads on the tactic map is the ground the battle is fought on.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/mkdata/FieldDesign.h"

namespace fields {

// What covers one field unit. The order is the background's palette order
// (16 shades per material), so a background pixel's index tells its ground.
enum Material : uint8_t {
    kGrass,
    kForest,
    kWater,
    kFord,
    kRoad,
    kPaddy,
    kEarth,
    kWall,
    kTower,
    kKeep,
    kBridge,
    kCrag,
    kSand,
    kMarsh,
    kPalisade,
    kRiver,  // running water shallow enough to wade
    kMaterialCount
};

// Water, stone, crag and stakes: no one stands there.
bool IsBlockingMaterial(uint8_t m);

constexpr int kFieldWidth = 3000;
constexpr int kFieldHeight = 2000;
constexpr int kCellsX = 600;  // altitude map cells of 5 x 5 field units
constexpr int kCellsY = 400;

// The altitude byte of ground that blocks: the battle grid turns every cell
// of this value into an obstacle, so deep water and walls stop paths and
// feet.
constexpr uint8_t kBlockedByte = 250;
// The altitude byte of a river troops wade through: no height of its own,
// not an obstacle to the paths.
constexpr uint8_t kWadeByte = 200;

struct PlacedObject {
    int type;  // map-object type of the catalogue (0..390)
    int x, y;
    int facing;
    bool fixed = false;  // a castle piece or a flag place: stands whatever lies about it
};

// One piece of a ring of castle wall, along the grid of whole pieces: an
// east-west piece (its middle on the wall's line) or a north-south one,
// facing out north (0), east (1), south (2) or west (3); a gate or plain
// wall.
struct WallPiece {
    Pt mid;
    bool vertical;
    int facing;
    bool gate;
    bool port = false;  // left open: a way through a north-south wall
};

// A ring of wall as it is built: its outline (the corners where it turns,
// clockwise from the north-west), its pieces in order round it and the
// towers on its corners.
struct RingPlan {
    Path outline;
    std::vector<WallPiece> pieces;
    std::vector<Pt> towers;
};

class FieldRaster {
public:
    explicit FieldRaster(const FieldDesign& design);

    const FieldDesign& Design() const { return m_design; }
    uint8_t MaterialAt(int x, int y) const;  // clamped to the field
    // Whether the battle shows a castle's yard at this point of the
    // picture: the yards, walls and keeps stand on level terraces and are
    // drawn as much higher up as their height lifts them.
    bool ShowsCastleYard(double x, double y) const;
    // Height in altitude bytes at any field point (bilinear between cells).
    double HeightAt(double x, double y) const;
    // The altitude map: 600 x 400 bytes, row-major (cell (c, r) at r * 600 + c):
    // kBlockedByte where any unit of the cell is blocking ground, else
    // kWadeByte where most of it is river, else the ground's height.
    const std::vector<uint8_t>& AltitudeBytes() const { return m_altitude; }
    const std::vector<PlacedObject>& Objects() const { return m_objects; }
    // The material most of a w x h block starting at (x, y) is made of,
    // blocking ground counting double so thin walls and streams survive.
    uint8_t DominantMaterial(int x, int y, int w, int h) const;

private:
    void BuildHeights();
    void PaintGround();
    void PaintWater();
    void PaintWorks();
    void BuildCastle(const Castle& c, const std::vector<RingPlan>& rings);
    void PlacePiece(int type, double x, double y, int facing, uint8_t m, int rects);
    void CloseMountainPockets();
    void PlaceObjects();
    void BuildAltitude();
    void Fill(int x0, int y0, int x1, int y1, uint8_t m, bool (*onlyOver)(uint8_t));
    template <class Inside>
    void FillWhere(double left, double top, double right, double bottom, uint8_t m, Inside inside,
                   bool (*onlyOver)(uint8_t) = nullptr);

    FieldDesign m_design;
    std::vector<float> m_heights;      // (kCellsX + 1) x (kCellsY + 1) nodes, row-major
    std::vector<uint8_t> m_material;   // kFieldWidth x kFieldHeight, row-major
    std::vector<uint8_t> m_altitude;
    std::vector<PlacedObject> m_objects;
    std::vector<std::vector<RingPlan>> m_rings;  // each castle's rings as built
    std::vector<int> m_castleLift;               // each castle's terrace, in units up the picture
};

// Geometry shared by the painters.
double DistanceToSegment(const Pt& p, const Pt& a, const Pt& b);
double DistanceToPath(const Pt& p, const Path& path, bool closed = false);
bool InsidePolygon(const Pt& p, const Path& poly);
// A designer's coarse path made smooth (Catmull-Rom, `steps` per segment).
Path SmoothPath(const Path& path, int steps);

}  // namespace fields
