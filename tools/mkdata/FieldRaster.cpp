#include "tools/mkdata/FieldRaster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "field/TerrainDB.h"
#include "tools/mkdata/Style.h"
#include "tools/mkdata/TerrainObjects.h"

namespace fields {

namespace {

constexpr double kPi = 3.14159265358979323846;

bool OverOpenGround(uint8_t m) { return m == kGrass || m == kMarsh || m == kPaddy || m == kSand || m == kForest; }
bool OverPlainGround(uint8_t m) { return m == kGrass || m == kForest || m == kPaddy || m == kMarsh; }
bool OverNotWater(uint8_t m) { return m != kWater && m != kRiver && m != kCrag; }
bool OverWater(uint8_t m) { return m == kWater || m == kRiver || m == kSand; }

double Noise(double x, double y, double scale, uint32_t seed) { return kit::ValueNoise(x, y, scale, seed); }

// Rolling ground: three octaves of value noise in [-1, 1].
double Rolling(double x, double y, uint32_t seed) {
    double v = 0.55 * Noise(x, y, 420, seed) + 0.30 * Noise(x, y, 170, seed + 1) + 0.15 * Noise(x, y, 60, seed + 2);
    return v * 2 - 1;
}

double Bell(double q) { return q >= 1 ? 0 : (1 - q) * (1 - q); }

// The length of one wall piece of the terrain set, along its wall.
constexpr int kPiece = 104;
// The width of an opening left in a palisade.
constexpr double kPalisadeGap = 40;

const CTerrainDB& TerrainDB() {
    static const struct Built {
        CTerrainDB db;
        Built() { kit::BuildTerrainDB(db); }
    } built;
    return built.db;
}

// `count` pieces of a straight run of wall `pieces` long spread evenly
// along it; never the pieces at its ends, where the corner towers stand.
std::vector<int> SpreadPieces(int pieces, int count) {
    std::vector<int> at;
    for (int g = 0; g < count; ++g) at.push_back(std::clamp(int((g + 0.5) * pieces / count), 1, pieces - 2));
    at.erase(std::unique(at.begin(), at.end()), at.end());
    return at;
}

// The ways through a run: one in the middle, two more on a run of 700
// units or longer.
int WayCount(int pieces) { return 2 * (pieces * kPiece / 700) + 1; }

// The gatehouses of an east-west run of wall: its ways, or two on a run of
// six pieces, so that a wall a step shorter than its side keeps about as
// many ways in as a wall the side's full length.
std::vector<int> GatePieces(int pieces) {
    const int count = WayCount(pieces);
    return SpreadPieces(pieces, count == 1 && pieces >= 6 ? 2 : count);
}

// The pieces of a north-south run of wall left open as its ways through:
// where a run has a single way and room for it, two pieces side by side,
// so that a column can pass.
std::vector<int> PortPieces(int pieces) {
    std::vector<int> at = SpreadPieces(pieces, WayCount(pieces));
    if (at.size() == 1 && pieces >= 4) at.insert(at.begin(), at.front() - 1);
    return at;
}

// The rows of pieces a ring's straight north-south walls run at least,
// between two steps of a ring that follows a slanting outline: shorter
// steps would leave pockets between the walls that every path past the
// castle has to work its way round.
constexpr int kMinStepRows = 3;

// The outline's span across the horizontal line at `y`: false when the line
// misses it.
bool SpanAt(const Path& poly, double y, double& left, double& right) {
    left = 1e18, right = -1e18;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Pt &a = poly[i], &b = poly[j];
        if ((a.y > y) == (b.y > y)) continue;
        const double x = a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y);
        left = std::min(left, x), right = std::max(right, x);
    }
    return left < right;
}

// Steps shorter than kMinStepRows along a ring's side are evened out with
// the longer stretch next to them, so the side steps only where the
// outline leaves it by a whole piece or more.
void EvenSteps(std::vector<int>& edge, int first, int last) {
    for (int round = 0; round < 20; ++round) {
        bool changed = false;
        for (int j = first; j <= last;) {
            int e = j;
            while (e + 1 <= last && edge[size_t(e + 1)] == edge[size_t(j)]) ++e;
            const bool alone = j == first && e == last;
            if (!alone && e - j + 1 < kMinStepRows) {
                // Take the value of the longer neighbouring stretch.
                int before = 0, after = 0;
                for (int k = j - 1; k >= first && edge[size_t(k)] == edge[size_t(j - 1)]; --k) ++before;
                for (int k = e + 1; k <= last && edge[size_t(k)] == edge[size_t(e + 1)]; ++k) ++after;
                const int value = before >= after ? edge[size_t(j - 1)] : edge[size_t(e + 1)];
                for (int k = j; k <= e; ++k) edge[size_t(k)] = value;
                changed = true;
                break;
            }
            j = e + 1;
        }
        if (!changed) return;
    }
}

// A ring of wall on the grid of whole wall pieces, following the design's
// outline: each row of pieces spans as far as the outline reaches in it, so a
// slanting side becomes a wall that steps out or in a piece at a time, each
// straight stretch at least kMinStepRows pieces long. One empty cell of
// margin all round. The outline is first scaled onto a whole number of
// pieces each way. A side without a gate (`stepWest`, `stepEast` false)
// runs straight along the edge of the outline's extent: steps in a wall no one
// passes through would only make pockets for the paths round it.
std::vector<std::vector<bool>> RingCells(const Path& outline, bool stepWest, bool stepEast, double& gx, double& gy) {
    double l = 1e9, t = 1e9, r = -1e9, b = -1e9;
    for (const Pt& p : outline) l = std::min(l, p.x), t = std::min(t, p.y), r = std::max(r, p.x), b = std::max(b, p.y);
    const int nx = std::max(3, int(std::lround((r - l) / kPiece))), ny = std::max(3, int(std::lround((b - t) / kPiece)));
    gx = std::round((l + r) / 2 - nx * kPiece / 2.0) - kPiece;
    gy = std::round((t + b) / 2 - ny * kPiece / 2.0) - kPiece;
    const int W = nx + 2, H = ny + 2;
    // Each row's span in pieces: the furthest the outline reaches either
    // way on six lines through the row.
    std::vector<int> from(size_t(H), 1), to(size_t(H), nx + 1);
    for (int j = 1; j <= ny; ++j) {
        double west = 1e18, east = -1e18;
        for (int sy = 0; sy < 6; ++sy) {
            const double y = t + (j - 1 + (sy + 0.5) / 6) * (b - t) / ny;
            double left, right;
            if (!SpanAt(outline, y, left, right)) continue;
            west = std::min(west, (left - l) / (r - l) * nx), east = std::max(east, (right - l) / (r - l) * nx);
        }
        if (west > east) continue;
        from[size_t(j)] = std::clamp(int(std::lround(west)), 0, nx - 3) + 1;
        to[size_t(j)] = std::clamp(int(std::lround(east)), from[size_t(j)] + 2, nx) + 1;
    }
    EvenSteps(from, 1, ny);
    EvenSteps(to, 1, ny);
    for (int j = 1; j <= ny; ++j) {
        if (!stepWest) from[size_t(j)] = 1;
        if (!stepEast) to[size_t(j)] = nx + 1;
    }
    std::vector<std::vector<bool>> in(size_t(W), std::vector<bool>(size_t(H), false));
    for (int j = 1; j <= ny; ++j)
        for (int i = from[size_t(j)]; i < to[size_t(j)]; ++i) in[size_t(i)][size_t(j)] = true;
    return in;
}

// Each ring laid out in wall pieces round the outline the design gives it.
// A gated edge of the design gates every straight run of wall that faces
// the same way; north and south gates are gatehouses in an east-west wall,
// east and west ones ways left open through a north-south wall.
RingPlan PlanRing(const WallRing& ring) {
    // The ways the design's gated edges face.
    double area = 0;
    const size_t m = ring.corners.size();
    for (size_t i = 0; i < m; ++i)
        area += ring.corners[i].x * ring.corners[(i + 1) % m].y - ring.corners[(i + 1) % m].x * ring.corners[i].y;
    bool gatedFacing[4] = {false, false, false, false};
    for (int e : ring.gateEdges) {
        const Pt &a = ring.corners[size_t(e) % m], &z = ring.corners[(size_t(e) + 1) % m];
        double dx = z.x - a.x, dy = z.y - a.y, ox = area > 0 ? dy : -dy, oy = area > 0 ? -dx : dx;
        gatedFacing[std::abs(ox) > std::abs(oy) ? (ox > 0 ? 1 : 3) : (oy > 0 ? 2 : 0)] = true;
    }
    double gx, gy;
    std::vector<std::vector<bool>> in = RingCells(ring.corners, gatedFacing[3], gatedFacing[1], gx, gy);
    const int W = int(in.size()), H = int(in[0].size());
    auto at = [&](int i, int j) { return i >= 0 && j >= 0 && i < W && j < H && in[size_t(i)][size_t(j)]; };
    RingPlan plan;
    // The boundary walked clockwise (the enclosure on the right): each
    // vertex of the grid has at most one way on.
    std::map<std::pair<int, int>, std::pair<int, int>> next;
    for (int i = 0; i < W; ++i)
        for (int j = 0; j < H; ++j) {
            if (!at(i, j)) continue;
            if (!at(i, j - 1)) next[{i, j}] = {i + 1, j};
            if (!at(i + 1, j)) next[{i + 1, j}] = {i + 1, j + 1};
            if (!at(i, j + 1)) next[{i + 1, j + 1}] = {i, j + 1};
            if (!at(i - 1, j)) next[{i, j + 1}] = {i, j};
        }
    auto point = [&](std::pair<int, int> v) { return Pt{gx + kPiece * v.first, gy + kPiece * v.second}; };
    // Start at the north-west corner (the first vertex of the top-most row).
    std::pair<int, int> start = next.begin()->first;
    for (const auto& [v, n] : next)
        if (v.second < start.second || (v.second == start.second && v.first < start.first)) start = v;
    std::vector<std::pair<int, int>> loop;
    for (std::pair<int, int> v = start;;) {
        loop.push_back(v);
        v = next.at(v);
        if (v == start || loop.size() > next.size()) break;
    }
    const size_t n = loop.size();
    // Straight runs between the turns; towers on the turns.
    std::vector<size_t> turns;
    for (size_t k = 0; k < n; ++k) {
        auto p = loop[(k + n - 1) % n], v = loop[k], q = loop[(k + 1) % n];
        if ((v.first - p.first) != (q.first - v.first) || (v.second - p.second) != (q.second - v.second)) turns.push_back(k);
    }
    // A tower on each corner that juts out; the wall runs on round the
    // corners that turn in.
    for (size_t k : turns) {
        auto p = loop[(k + n - 1) % n], v = loop[k], q = loop[(k + 1) % n];
        plan.outline.push_back(point(v));
        if ((v.first - p.first) * (q.second - v.second) - (v.second - p.second) * (q.first - v.first) > 0)
            plan.towers.push_back(point(v));
    }
    struct Run {
        int facing;
        std::vector<WallPiece*> pieces;
    };
    for (size_t k = 0; k < n; ++k) {
        Pt a = point(loop[k]), b = point(loop[(k + 1) % n]);
        bool vertical = a.x == b.x;
        int facing = vertical ? (b.y > a.y ? 1 : 3) : (b.x > a.x ? 0 : 2);
        plan.pieces.push_back({{(a.x + b.x) / 2, (a.y + b.y) / 2}, vertical, facing, false});
    }
    std::vector<Run> runs;
    for (size_t t = 0; t < turns.size(); ++t) {
        size_t from = turns[t], to = turns[(t + 1) % turns.size()];
        Run run{plan.pieces[from].facing, {}};
        for (size_t k = from; k != to; k = (k + 1) % n) run.pieces.push_back(&plan.pieces[k]);
        runs.push_back(run);
    }
    // Every straight run facing a gated way has its gates (a ring that
    // steps along a slanting side has several such runs), so no stretch of
    // the side is much further from a way in than on a straight wall.
    std::vector<Run*> gated;
    for (Run& run : runs)
        if (gatedFacing[run.facing] && run.pieces.size() >= 3) gated.push_back(&run);
    for (Run* run : gated) {
        const bool northSouth = run->facing == 1 || run->facing == 3;
        const int pieces = int(run->pieces.size());
        for (int i : northSouth ? PortPieces(pieces) : GatePieces(pieces))
            (northSouth ? run->pieces[size_t(i)]->port : run->pieces[size_t(i)]->gate) = true;
    }
    return plan;
}

// A road that comes to a castle runs on to its nearest gate and through it
// into the yard: the stretch of it that would meet the wall is dropped.
void LeadRoadsToGates(FieldDesign& d, const std::vector<std::vector<RingPlan>>& plans) {
    static const double kOut[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    for (Road& road : d.roads)
        for (size_t ci = 0; ci < d.castles.size(); ++ci) {
            const Castle& c = d.castles[ci];
            if (c.rings.empty()) continue;
            const Path& ring = c.rings.front().corners;
            const RingPlan& plan = plans[ci].front();
            auto near = [&](const Pt& p) { return InsidePolygon(p, ring) || DistanceToPath(p, ring, true) < 40 + c.moat; };
            for (bool atEnd : {true, false}) {
                if (road.path.size() < 2) break;
                if (!atEnd) std::reverse(road.path.begin(), road.path.end());
                const Pt last = road.path.back();
                if (!InsidePolygon(last, ring) && DistanceToPath(last, ring, true) > 200 + c.moat) {
                    if (!atEnd) std::reverse(road.path.begin(), road.path.end());
                    continue;  // it does not come to the castle
                }
                size_t keep = road.path.size();
                while (keep > 1 && near(road.path[keep - 1])) --keep;
                const Pt end = road.path[keep - 1];
                // Each gate by the middle of its way: a way two pieces wide
                // is entered between them.
                const WallPiece* best = nullptr;
                Pt bestMid{};
                double bestDist = 1e18;
                const size_t n = plan.pieces.size();
                for (size_t k = 0; k < n; ++k) {
                    const WallPiece& piece = plan.pieces[k];
                    if (!piece.gate && !piece.port) continue;
                    const WallPiece& next = plan.pieces[(k + 1) % n];
                    const WallPiece& prev = plan.pieces[(k + n - 1) % n];
                    if (piece.port && prev.port && prev.facing == piece.facing) continue;  // the pair's second piece
                    Pt mid = piece.mid;
                    if (piece.port && next.port && next.facing == piece.facing)
                        mid = {(piece.mid.x + next.mid.x) / 2, (piece.mid.y + next.mid.y) / 2};
                    Pt mouth{mid.x + kOut[piece.facing][0] * (60 + c.moat), mid.y + kOut[piece.facing][1] * (60 + c.moat)};
                    double dist = std::hypot(mouth.x - end.x, mouth.y - end.y);
                    if (dist < bestDist) best = &piece, bestMid = mid, bestDist = dist;
                }
                if (best) {
                    road.path.resize(keep);
                    const double dx = kOut[best->facing][0], dy = kOut[best->facing][1];
                    for (double out : {60 + c.moat, 0.0, -60.0})
                        road.path.push_back({bestMid.x + dx * out, bestMid.y + dy * out});
                }
                if (!atEnd) std::reverse(road.path.begin(), road.path.end());
            }
        }
}

}  // namespace

bool IsBlockingMaterial(uint8_t m) {
    return m == kWater || m == kWall || m == kTower || m == kKeep || m == kCrag || m == kPalisade;
}

double DistanceToSegment(const Pt& p, const Pt& a, const Pt& b) {
    double vx = b.x - a.x, vy = b.y - a.y, len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((p.x - a.x) * vx + (p.y - a.y) * vy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    double dx = p.x - (a.x + t * vx), dy = p.y - (a.y + t * vy);
    return std::sqrt(dx * dx + dy * dy);
}

double DistanceToPath(const Pt& p, const Path& path, bool closed) {
    double best = 1e18;
    size_t n = path.size();
    if (n == 1) return std::hypot(p.x - path[0].x, p.y - path[0].y);
    for (size_t i = 0; i + 1 < n + (closed ? 1 : 0); ++i)
        best = std::min(best, DistanceToSegment(p, path[i], path[(i + 1) % n]));
    return best;
}

bool InsidePolygon(const Pt& p, const Path& poly) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Pt &a = poly[i], &b = poly[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

Path SmoothPath(const Path& path, int steps) {
    if (path.size() < 3) return path;
    Path out;
    size_t n = path.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        const Pt& p0 = path[i == 0 ? 0 : i - 1];
        const Pt& p1 = path[i];
        const Pt& p2 = path[i + 1];
        const Pt& p3 = path[std::min(i + 2, n - 1)];
        for (int s = 0; s < steps; ++s) {
            double t = double(s) / steps, t2 = t * t, t3 = t2 * t;
            auto cr = [&](double a, double b, double c, double d) {
                return 0.5 * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (-a + 3 * b - 3 * c + d) * t3);
            };
            out.push_back({cr(p0.x, p1.x, p2.x, p3.x), cr(p0.y, p1.y, p2.y, p3.y)});
        }
    }
    out.push_back(path.back());
    return out;
}

FieldRaster::FieldRaster(const FieldDesign& design) : m_design(design) {
    for (Castle& c : m_design.castles) {
        m_rings.emplace_back();
        for (WallRing& ring : c.rings) {
            m_rings.back().push_back(PlanRing(ring));
            ring.corners = m_rings.back().back().outline;
        }
    }
    LeadRoadsToGates(m_design, m_rings);
    for (River& r : m_design.rivers) r.path = SmoothPath(r.path, 8);
    for (Road& r : m_design.roads) r.path = SmoothPath(r.path, 6);
    for (Ridge& r : m_design.ridges) r.path = SmoothPath(r.path, 6);
    BuildHeights();
    m_material.assign(size_t(kFieldWidth) * kFieldHeight, kGrass);
    PaintGround();
    PaintWater();
    PaintWorks();
    CloseMountainPockets();
    PlaceObjects();
    BuildAltitude();
}

bool FieldRaster::ShowsCastleYard(double x, double y) const {
    for (size_t i = 0; i < m_design.castles.size(); ++i)
        if (!m_design.castles[i].rings.empty() &&
            InsidePolygon({x, y + m_castleLift[i]}, m_design.castles[i].rings.front().corners))
            return true;
    return false;
}

uint8_t FieldRaster::MaterialAt(int x, int y) const {
    x = std::clamp(x, 0, kFieldWidth - 1);
    y = std::clamp(y, 0, kFieldHeight - 1);
    return m_material[size_t(y) * kFieldWidth + x];
}

double FieldRaster::HeightAt(double x, double y) const {
    double fx = std::clamp(x / 5.0, 0.0, double(kCellsX)), fy = std::clamp(y / 5.0, 0.0, double(kCellsY));
    int ix = std::min(int(fx), kCellsX - 1), iy = std::min(int(fy), kCellsY - 1);
    double tx = fx - ix, ty = fy - iy;
    const int W = kCellsX + 1;
    auto h = [&](int cx, int cy) { return double(m_heights[size_t(cy) * W + cx]); };
    return (h(ix, iy) * (1 - tx) + h(ix + 1, iy) * tx) * (1 - ty) + (h(ix, iy + 1) * (1 - tx) + h(ix + 1, iy + 1) * tx) * ty;
}

void FieldRaster::BuildHeights() {
    const FieldDesign& d = m_design;
    const int W = kCellsX + 1, H = kCellsY + 1;
    m_heights.assign(size_t(W) * H, 0.f);
    for (int j = 0; j < H; ++j) {
        for (int i = 0; i < W; ++i) {
            double x = i * 5.0, y = j * 5.0;
            double h = d.baseHeight + d.roughness * Rolling(x, y, d.seed);
            for (const Hill& hill : d.hills) {
                double a = hill.angleDeg * kPi / 180, ca = std::cos(a), sa = std::sin(a);
                double dx = x - hill.c.x, dy = y - hill.c.y;
                double u = (dx * ca + dy * sa) / hill.rx, v = (-dx * sa + dy * ca) / hill.ry;
                double q = (u * u + v * v) * (0.85 + 0.3 * Noise(x, y, 140, d.seed + 7));
                h += hill.height * Bell(q);
            }
            for (const Ridge& r : d.ridges) {
                double t = DistanceToPath({x, y}, r.path) / (r.width / 2);
                h += r.height * Bell(t * t) * (0.75 + 0.5 * Noise(x, y, 260, d.seed + 11));
            }
            m_heights[size_t(j) * W + i] = float(h);
        }
    }
    // Rivers and lakes cut their beds: the ground falls gently to the water,
    // which lies a little below the plain around it.
    auto carve = [&](auto distanceOf, double halfWidth, double reach) {
        for (int j = 0; j < H; ++j)
            for (int i = 0; i < W; ++i) {
                float& h = m_heights[size_t(j) * W + i];
                double dist = distanceOf(Pt{i * 5.0, j * 5.0});
                if (dist > halfWidth + reach) continue;
                double bed = std::max(0.0, d.baseHeight - 6);
                double limit = bed + std::max(0.0, dist - halfWidth) * 0.12;
                if (h > limit) h = float(h + (limit - h) * Bell(std::max(0.0, dist - halfWidth) / reach));
            }
    };
    for (const River& r : d.rivers) carve([&](const Pt& p) { return DistanceToPath(p, r.path); }, r.width / 2, 160);
    for (const Lake& l : d.lakes)
        carve([&](const Pt& p) { return std::max(0.0, std::hypot((p.x - l.c.x) / l.rx, (p.y - l.c.y) / l.ry) - 1) * std::min(l.rx, l.ry); },
              0, 160);
    // Castle grounds are level terraces, never bare crag, at the mean height
    // of the ground inside the outer ring; the land round them eases down
    // (or up) to meet them.
    m_castleLift.clear();
    for (const Castle& c : d.castles) {
        if (c.rings.empty()) {
            m_castleLift.push_back(0);
            continue;
        }
        const Path& ring = c.rings.front().corners;
        double sum = 0;
        int count = 0;
        for (int j = 0; j < H; ++j)
            for (int i = 0; i < W; ++i)
                if (InsidePolygon({i * 5.0, j * 5.0}, ring)) sum += m_heights[size_t(j) * W + i], ++count;
        const double level = std::round(std::min(count ? sum / count : d.baseHeight, kCragLevel - 22));
        // The terrace's edge eases into the ground about it over a width
        // that grows with the height it has to make up, so a castle high on
        // its hill sits on a gentle rise, never in a dark ring of steep
        // slope.
        std::vector<double> dists(size_t(W) * H);
        double drop = 0;
        for (int j = 0; j < H; ++j)
            for (int i = 0; i < W; ++i) {
                Pt p{i * 5.0, j * 5.0};
                double& dist = dists[size_t(j) * W + i];
                dist = InsidePolygon(p, ring) ? 0 : DistanceToPath(p, ring, true);
                if (dist >= 70 && dist < 220) drop = std::max(drop, std::abs(m_heights[size_t(j) * W + i] - level));
            }
        const double ease = std::clamp(drop * 10, 150.0, 450.0);
        for (int j = 0; j < H; ++j)
            for (int i = 0; i < W; ++i) {
                const double dist = dists[size_t(j) * W + i];
                if (dist >= 70 + ease) continue;
                float& h = m_heights[size_t(j) * W + i];
                double t = std::clamp((dist - 70) / ease, 0.0, 1.0);
                h = float(level + (h - level) * t * t * (3 - 2 * t));
            }
        // The battle draws whatever stands on the terrace this much higher
        // up the picture than where it stands.
        m_castleLift.push_back(int(double(std::lround(level)) * 0.13 * 5.0));
    }
    for (float& h : m_heights) h = float(std::clamp(double(h), 0.0, 240.0));
}

void FieldRaster::Fill(int x0, int y0, int x1, int y1, uint8_t m, bool (*onlyOver)(uint8_t)) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, kFieldWidth - 1), y1 = std::min(y1, kFieldHeight - 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            uint8_t& c = m_material[size_t(y) * kFieldWidth + x];
            if (!onlyOver || onlyOver(c)) c = m;
        }
}

template <class Inside>
void FieldRaster::FillWhere(double left, double top, double right, double bottom, uint8_t m, Inside inside,
                            bool (*onlyOver)(uint8_t)) {
    int x0 = std::max(0, int(std::floor(left))), y0 = std::max(0, int(std::floor(top)));
    int x1 = std::min(kFieldWidth - 1, int(std::ceil(right))), y1 = std::min(kFieldHeight - 1, int(std::ceil(bottom)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            uint8_t& c = m_material[size_t(y) * kFieldWidth + x];
            if ((!onlyOver || onlyOver(c)) && inside(Pt{x + 0.5, y + 0.5})) c = m;
        }
}

void FieldRaster::PaintGround() {
    const FieldDesign& d = m_design;
    // Bare crag where the mountains rise above the tree line.
    for (int y = 0; y < kFieldHeight; y += 1)
        for (int x = 0; x < kFieldWidth; ++x) {
            if (HeightAt(x, y) < kCragLevel - 8) continue;
            if (HeightAt(x, y) + (Noise(x, y, 40, d.seed + 3) - 0.5) * 16 > kCragLevel)
                m_material[size_t(y) * kFieldWidth + x] = kCrag;
        }
    for (const Marsh& m : d.marshes)
        FillWhere(m.c.x - m.rx * 1.3, m.c.y - m.ry * 1.3, m.c.x + m.rx * 1.3, m.c.y + m.ry * 1.3, kMarsh,
                  [&](const Pt& p) {
                      double q = std::hypot((p.x - m.c.x) / m.rx, (p.y - m.c.y) / m.ry);
                      return q < 0.8 + 0.45 * Noise(p.x, p.y, 70, d.seed + 5);
                  },
                  OverOpenGround);
    for (const Paddies& f : d.paddies) {
        // Plots of about 90 x 60 with earth dikes between them.
        FillWhere(f.left, f.top, f.right, f.bottom, kPaddy,
                  [&](const Pt& p) {
                      double px = std::fmod(p.x - f.left, 92), py = std::fmod(p.y - f.top, 64);
                      return px > 5 && py > 5;
                  },
                  OverOpenGround);
        FillWhere(f.left, f.top, f.right, f.bottom, kEarth,
                  [&](const Pt& p) {
                      double px = std::fmod(p.x - f.left, 92), py = std::fmod(p.y - f.top, 64);
                      return px <= 5 || py <= 5;
                  },
                  OverOpenGround);
    }
    for (const Wood& w : d.woods)
        FillWhere(w.c.x - w.rx * 1.3, w.c.y - w.ry * 1.3, w.c.x + w.rx * 1.3, w.c.y + w.ry * 1.3, kForest,
                  [&](const Pt& p) {
                      double q = std::hypot((p.x - w.c.x) / w.rx, (p.y - w.c.y) / w.ry);
                      return q < 0.78 + 0.4 * Noise(p.x, p.y, 90, d.seed + 9 + uint32_t(w.c.x));
                  },
                  OverPlainGround);
    // The castle yards of beaten earth, painted where the battle shows them:
    // as high up the picture as the walls round them are lifted.
    for (size_t i = 0; i < d.castles.size(); ++i)
        if (!d.castles[i].rings.empty()) {
            const Path& ring = d.castles[i].rings.front().corners;
            const double lift = m_castleLift[i];
            double l = 1e9, t = 1e9, r = -1e9, b = -1e9;
            for (const Pt& p : ring) l = std::min(l, p.x), t = std::min(t, p.y), r = std::max(r, p.x), b = std::max(b, p.y);
            FillWhere(l, t - lift, r, b - lift, kEarth, [&](const Pt& p) { return InsidePolygon({p.x, p.y + lift}, ring); },
                      [](uint8_t m) { return m != kWater && m != kRiver; });
        }
    for (const Road& road : d.roads)
        for (size_t i = 0; i + 1 < road.path.size(); ++i) {
            const Pt &a = road.path[i], &b = road.path[i + 1];
            double half = road.width / 2;
            FillWhere(std::min(a.x, b.x) - half, std::min(a.y, b.y) - half, std::max(a.x, b.x) + half,
                      std::max(a.y, b.y) + half, kRoad, [&](const Pt& p) { return DistanceToSegment(p, a, b) < half; },
                      OverNotWater);
        }
}

void FieldRaster::PaintWater() {
    const FieldDesign& d = m_design;
    auto width = [&](const Pt& p, double w) { return w * (0.85 + 0.3 * Noise(p.x, p.y, 150, d.seed + 13)); };
    // Shores first, water over them, so that one stretch of river never
    // paints its sand over the water of the next.
    for (int pass = 0; pass < 2; ++pass) {
        uint8_t m = pass == 0 ? kSand : kWater;  // lakes and moats are deep
        double shore = pass == 0 ? 9 : 0;
        for (const River& r : d.rivers)
            for (size_t i = 0; i + 1 < r.path.size(); ++i) {
                const Pt &a = r.path[i], &b = r.path[i + 1];
                double half = r.width * 0.6 + shore + 2;
                FillWhere(std::min(a.x, b.x) - half, std::min(a.y, b.y) - half, std::max(a.x, b.x) + half,
                          std::max(a.y, b.y) + half, pass == 0 ? m : uint8_t(kRiver),
                          [&](const Pt& p) { return DistanceToSegment(p, a, b) < width(p, r.width) / 2 + shore; },
                          pass == 0 ? OverOpenGround : nullptr);
            }
        for (const Lake& l : d.lakes)
            FillWhere(l.c.x - l.rx * 1.3 - shore, l.c.y - l.ry * 1.3 - shore, l.c.x + l.rx * 1.3 + shore,
                      l.c.y + l.ry * 1.3 + shore, m,
                      [&](const Pt& p) {
                          double q = std::hypot((p.x - l.c.x) / l.rx, (p.y - l.c.y) / l.ry);
                          double edge = 0.9 + 0.2 * Noise(p.x, p.y, 120, d.seed + 17);
                          return (q - edge) * std::min(l.rx, l.ry) < shore;
                      },
                      pass == 0 ? OverOpenGround : nullptr);
        for (const Castle& c : d.castles) {
            if (c.moat <= 0 || c.rings.empty()) continue;
            const WallRing& ring = c.rings.front();
            double inner = 38, outer = inner + c.moat + shore;  // clear of the corner towers
            double l = 1e9, t = 1e9, r = -1e9, b = -1e9;
            for (const Pt& p : ring.corners)
                l = std::min(l, p.x), t = std::min(t, p.y), r = std::max(r, p.x), b = std::max(b, p.y);
            FillWhere(l - outer, t - outer, r + outer, b + outer, m,
                      [&](const Pt& p) {
                          if (InsidePolygon(p, ring.corners)) return false;
                          double dist = DistanceToPath(p, ring.corners, true);
                          return dist > inner && dist < outer;
                      },
                      pass == 0 ? OverOpenGround : nullptr);
        }
    }
    for (const Road& road : d.roads)
        for (size_t i = 0; i + 1 < road.path.size(); ++i) {
            const Pt &a = road.path[i], &b = road.path[i + 1];
            double half = road.width / 2 + 4;
            FillWhere(std::min(a.x, b.x) - half, std::min(a.y, b.y) - half, std::max(a.x, b.x) + half,
                      std::max(a.y, b.y) + half, kBridge, [&](const Pt& p) { return DistanceToSegment(p, a, b) < half; },
                      [](uint8_t m) { return m == kWater || m == kRiver; });
        }
    // A bridge is a straight deck; a ford a shoal of gravel that the current
    // has spread along the stream, widest in mid-river, ragged at its edges.
    for (const Crossing& x : d.crossings) {
        double half = x.width / 2, reach = x.bridge ? half : half * 1.3;
        double dx = x.b.x - x.a.x, dy = x.b.y - x.a.y, len2 = std::max(1.0, dx * dx + dy * dy);
        auto inside = [&](const Pt& p) {
            if (x.bridge) return DistanceToSegment(p, x.a, x.b) < half;
            double t = std::clamp(((p.x - x.a.x) * dx + (p.y - x.a.y) * dy) / len2, 0.0, 1.0);
            double w = half * (0.8 + 0.4 * std::sin(kPi * t)) * (0.82 + 0.36 * Noise(p.x, p.y, 36, d.seed + 19));
            return DistanceToSegment(p, x.a, x.b) < w;
        };
        FillWhere(std::min(x.a.x, x.b.x) - reach, std::min(x.a.y, x.b.y) - reach, std::max(x.a.x, x.b.x) + reach,
                  std::max(x.a.y, x.b.y) + reach, x.bridge ? kBridge : kFord, inside, x.bridge ? nullptr : OverWater);
    }
}

void FieldRaster::PaintWorks() {
    const FieldDesign& d = m_design;
    for (size_t i = 0; i < d.castles.size(); ++i) BuildCastle(d.castles[i], m_rings[i]);
    // Palisades of stake fences, east-west or north-south pieces along
    // each stretch, leaving their gaps and the roads open and the water to
    // itself. Each closed run between two openings is covered by whole
    // pieces, the last ones overlapping, so that an opening is as wide as
    // the design asks and no wider.
    for (const Palisade& pal : d.palisades)
        for (size_t i = 0; i + 1 < pal.path.size(); ++i) {
            const Pt &a = pal.path[i], &b = pal.path[i + 1];
            bool across = std::abs(b.x - a.x) >= std::abs(b.y - a.y);
            double span = across ? std::abs(b.x - a.x) : std::abs(b.y - a.y);
            auto at = [&](double s) {
                double t = span > 0 ? s / span : 0;
                return Pt{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
            };
            const int steps = std::max(1, int(span / 4));
            std::vector<bool> open(size_t(steps) + 1, false);
            for (int k = 0; k <= steps; ++k) {
                Pt p = at(span * k / steps);
                uint8_t under = MaterialAt(int(p.x), int(p.y));
                bool shut = !(IsBlockingMaterial(under) || under == kRiver || under == kBridge || under == kRoad);
                for (const Pt& g : pal.gaps) shut = shut && std::hypot(p.x - g.x, p.y - g.y) >= kPalisadeGap / 2;
                open[size_t(k)] = !shut;
            }
            int piece = 0;
            for (int k = 0; k <= steps;) {
                if (open[size_t(k)]) {
                    ++k;
                    continue;
                }
                int e = k;
                while (e + 1 <= steps && !open[size_t(e + 1)]) ++e;
                double u = span * k / steps, v = span * e / steps, run = v - u;
                k = e + 1;
                if (run < kPiece * 0.55) continue;
                int n = std::max(1, int(std::ceil(run / kPiece)));
                for (int j = 0; j < n; ++j) {
                    double centre = n == 1 ? (u + v) / 2 : u + kPiece / 2.0 + (run - kPiece) * j / (n - 1);
                    Pt mid = at(centre);
                    if (across)
                        PlacePiece(327 + piece++ % 4, mid.x, mid.y + 8, -1, kPalisade, 1);
                    else
                        PlacePiece(335 + piece++ % 4, mid.x, mid.y + kPiece / 2.0, -1, kPalisade, 1);
                }
            }
        }
}

void FieldRaster::PlacePiece(int type, double x, double y, int facing, uint8_t m, int rects) {
    const CTerrainRectRecord& rec = TerrainDB().GetRecord(type);
    int ox = int(std::lround(x)), oy = int(std::lround(y));
    for (int i = 0; i < rects; ++i) {
        const CRect& r = rec.states[0].rects[i];
        if (r.IsRectNull()) continue;
        Fill(ox - rec.originX + r.left, oy - rec.originY + r.top, ox - rec.originX + r.right, oy - rec.originY + r.bottom, m,
             nullptr);
    }
    m_objects.push_back({type, ox, oy, facing, true});
}

// The castle's walls, gates, corner towers and keep, each a terrain piece
// standing on ground painted as blocking exactly where the piece blocks: its
// first state's rectangles (a gatehouse's two towers, not its leaves, which
// open).
void FieldRaster::BuildCastle(const Castle& c, const std::vector<RingPlan>& rings) {
    const FieldDesign& d = m_design;
    // Plastered walls on stone; the set's letters vary with the field.
    const int wall = 167 + 16 * int(d.seed % 2), gate = 116 + 3 * int(d.seed % 3), tower = 161 + 3 * int(d.seed / 2 % 2);
    for (size_t k = 0; k < rings.size(); ++k) {
        const RingPlan& plan = rings[k];
        // A plank bridge over the moat before each gate of the outer ring.
        auto bridge = [&](const WallPiece& piece, double half) {
            if (k != 0 || c.moat <= 0) return;
            static const int kOut[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
            double dx = kOut[piece.facing][0], dy = kOut[piece.facing][1], reach = 38 + c.moat + 24;
            double x = piece.mid.x, y = piece.mid.y;
            double x0 = std::min(x, x + dx * reach), x1 = std::max(x, x + dx * reach);
            double y0 = std::min(y, y + dy * reach), y1 = std::max(y, y + dy * reach);
            if (dx == 0) x0 -= half, x1 += half;
            else y0 -= half, y1 += half;
            Fill(int(x0), int(y0), int(x1), int(y1), kBridge, nullptr);
        };
        // A way through a north-south wall is left open, the wall's ends
        // standing bare on either side: a tower beside it would jut out into
        // the way round the castle, and every path past it would bend.
        const size_t n = plan.pieces.size();
        for (size_t i = 0; i < n; ++i) {
            const WallPiece& piece = plan.pieces[i];
            const double x = piece.mid.x, y = piece.mid.y;
            if (piece.port) {
                bridge(piece, kPiece / 2.0);
            } else if (piece.gate) {
                bridge(piece, 34);
                PlacePiece(gate, x, y + 16, piece.facing == 0 ? 0 : 4, kWall, 2);
            } else if (!piece.vertical) {
                PlacePiece(wall + int(i % 4), x, y + 8, -1, kWall, 1);
            } else {
                // The piece whose south end stands by a way shows that end
                // finished.
                const size_t south = piece.facing == 1 ? (i + 1) % n : (i + n - 1) % n;
                PlacePiece(wall + (plan.pieces[south].port ? 12 : 8) + int(i % 4), x, y + kPiece / 2.0, -1, kWall, 1);
            }
        }
        int corner = 0;
        for (const Pt& p : plan.towers) PlacePiece(tower + corner++ % 3, p.x, p.y + 20, -1, kTower, 1);
    }
    // The keep the garrison holds, its footprint centred where the design
    // puts it.
    PlacePiece(160, c.keep.x, c.keep.y + 39, 4, kKeep, 1);
}

void FieldRaster::CloseMountainPockets() {
    // Open ground that the armies cannot reach from the west side's camp,
    // cut off behind a mountain's crags, is mountain too: the crag runs on
    // to the field's edge. (Ground cut off by water is the design's to
    // bridge.)
    const int C = kFieldWidth / 15, R = kFieldHeight / 15;
    std::vector<uint8_t> state(size_t(C) * R, 0);  // 0 open, 1 blocked, 2 reached, 3 crag, 5 water
    for (int r = 0; r < R; ++r)
        for (int c = 0; c < C; ++c) {
            bool blocked = false, crag = false, water = false;
            for (int y = r * 15; y < r * 15 + 15; ++y)
                for (int x = c * 15; x < c * 15 + 15; ++x) {
                    uint8_t m = m_material[size_t(y) * kFieldWidth + x];
                    blocked = blocked || IsBlockingMaterial(m);
                    crag = crag || m == kCrag;
                    water = water || m == kWater;
                }
            state[size_t(r) * C + c] = water ? 5 : crag ? 3 : blocked ? 1 : 0;
        }
    auto flood = [&](int c0, int r0, uint8_t from, uint8_t to, bool& touchesCrag, bool& touchesWater) {
        std::vector<int> queue{r0 * C + c0};
        state[size_t(queue[0])] = to;
        for (size_t head = 0; head < queue.size(); ++head) {
            int c = queue[head] % C, r = queue[head] / C;
            static const int dc[4] = {0, 1, 0, -1}, dr[4] = {-1, 0, 1, 0};
            for (int k = 0; k < 4; ++k) {
                int nc = c + dc[k], nr = r + dr[k];
                if (nc < 0 || nr < 0 || nc >= C || nr >= R) continue;
                uint8_t& st = state[size_t(nr) * C + nc];
                touchesCrag = touchesCrag || st == 3;
                touchesWater = touchesWater || st == 5;
                if (st != from) continue;
                st = to;
                queue.push_back(nr * C + nc);
            }
        }
        return queue;
    };
    const Pt& camp = m_design.sides[0].hq[0];
    int c0 = std::clamp(int(camp.x) / 15, 0, C - 1), r0 = std::clamp(int(camp.y) / 15, 0, R - 1);
    bool unused = false, unusedToo = false;
    if (state[size_t(r0) * C + c0] == 0) flood(c0, r0, 0, 2, unused, unusedToo);
    for (int r = 0; r < R; ++r)
        for (int c = 0; c < C; ++c) {
            if (state[size_t(r) * C + c] != 0) continue;
            bool crag = false, water = false;
            std::vector<int> pocket = flood(c, r, 0, 4, crag, water);
            if (!crag || water) continue;
            for (int cell : pocket)
                Fill((cell % C) * 15, (cell / C) * 15, (cell % C) * 15 + 14, (cell / C) * 15 + 14, kCrag,
                     [](uint8_t m) { return m != kWater; });
        }
}

void FieldRaster::PlaceObjects() {
    const FieldDesign& d = m_design;
    kit::KitRandom rnd(d.seed * 31 + 5);
    auto free = [&](int x, int y, int r) {
        for (int dy = -r; dy <= r; dy += r)
            for (int dx = -r; dx <= r; dx += r)
                if (IsBlockingMaterial(MaterialAt(x + dx, y + dy)) || MaterialAt(x + dx, y + dy) == kRoad) return false;
        return true;
    };
    // Trees on a jittered lattice inside the woods; bushes along their edges.
    for (const Wood& w : d.woods) {
        double step = w.kind == WoodKind::Bamboo ? 40 : 46;
        for (double y = w.c.y - w.ry * 1.3; y < w.c.y + w.ry * 1.3; y += step)
            for (double x = w.c.x - w.rx * 1.3; x < w.c.x + w.rx * 1.3; x += step) {
                int px = int(x + rnd.Range(-step * 0.35, step * 0.35)), py = int(y + rnd.Range(-step * 0.35, step * 0.35));
                int pick = rnd.Int(0, 99);
                if (px < 20 || py < 20 || px > kFieldWidth - 20 || py > kFieldHeight - 20) continue;
                if (MaterialAt(px, py) != kForest || !free(px, py, 12)) continue;
                int type;
                if (w.kind == WoodKind::Bamboo)
                    type = 50 + pick % 10;
                else if (w.kind == WoodKind::Pine)
                    type = pick < 85 ? pick % 12 : 40 + pick % 10;
                else
                    type = pick < 45 ? pick % 12 : pick < 85 ? 12 + pick % 8 : 40 + pick % 10;
                m_objects.push_back({type, px, py, -1});
            }
    }
    // Houses around each village's centre, on yards of beaten earth.
    for (const Village& v : d.villages) {
        for (int i = 0; i < v.houses; ++i) {
            double a = rnd.Range(0, 2 * kPi), r = v.radius * std::sqrt(rnd.Range(0.05, 1.0));
            int px = int(v.c.x + r * std::cos(a)), py = int(v.c.y + r * std::sin(a));
            if (!free(px, py, 20)) continue;
            int type;
            int pick = rnd.Int(0, 99);
            if (v.kind == VillageKind::Farm)
                type = 60 + pick % 16;
            else if (v.kind == VillageKind::Town)
                type = pick < 75 ? 76 + pick % 16 : 92 + pick % 12;
            else
                type = i == 0 ? 114 : (pick < 60 ? 104 + pick % 10 : 92 + pick % 12);
            Fill(px - 34, py - 34, px + 34, py + 12, kEarth, OverPlainGround);
            m_objects.push_back({type, px, py, -1});
        }
        if (v.kind != VillageKind::Town) {
            int wx = int(v.c.x + rnd.Range(-20, 20)), wy = int(v.c.y + rnd.Range(-20, 20));
            if (free(wx, wy, 10)) m_objects.push_back({293 + rnd.Int(0, 2), wx, wy, -1});
        }
    }
    // The garrison's halls and storehouses in the corners of a roomy inner
    // ring, clear of the ways from the gates to the keep.
    for (const Castle& c : d.castles) {
        if (c.rings.empty()) continue;
        const Path& ring = c.rings.back().corners;
        double l = 1e9, t = 1e9, r = -1e9, b = -1e9;
        for (const Pt& p : ring) l = std::min(l, p.x), t = std::min(t, p.y), r = std::max(r, p.x), b = std::max(b, p.y);
        if (r - l < 540 || b - t < 540) continue;
        for (auto [fx, fy] : {std::pair{0.2, 0.22}, {0.8, 0.22}, {0.2, 0.86}, {0.8, 0.86}}) {
            int px = int(l + (r - l) * fx), py = int(t + (b - t) * fy);
            int type = 92 + rnd.Int(0, 11);
            if (std::hypot(px - c.keep.x, py - c.keep.y) < c.keepSize + 140 || !free(px, py, 40) ||
                !InsidePolygon({double(px), double(py)}, ring) || DistanceToPath({double(px), double(py)}, ring, true) < 70)
                continue;
            m_objects.push_back({type, px, py, -1});
        }
    }
    for (const Landmark& l : d.landmarks)
        if (free(int(l.at.x), int(l.at.y), 10)) m_objects.push_back({l.type, int(l.at.x), int(l.at.y), -1});
    // Boulders at the foot of the crags, fallen from them: never on ground
    // that only slopes (a castle's terrace) with no rock above it.
    auto underCrag = [&](int x, int y) {
        for (int a = 0; a < 8; ++a)
            if (MaterialAt(int(x + 70 * std::cos(a * kPi / 4)), int(y + 70 * std::sin(a * kPi / 4))) == kCrag) return true;
        return false;
    };
    for (int k = 0; k < 400; ++k) {
        int px = rnd.Int(40, kFieldWidth - 40), py = rnd.Int(40, kFieldHeight - 40);
        double h = HeightAt(px, py);
        if (h > kCragLevel - 30 && h < kCragLevel - 6 && free(px, py, 25) && MaterialAt(px, py) == kGrass && underCrag(px, py))
            m_objects.push_back({296 + rnd.Int(0, 7), px, py, -1});
    }
    // The headquarters flag places: side 0's two, then side 1's two.
    static const int kFlagPlace[2][2] = {{361, 362}, {363, 364}};
    for (int side = 0; side < 2; ++side)
        for (int k = 0; k < 2; ++k)
            m_objects.push_back({kFlagPlace[side][k], int(d.sides[side].hq[k].x), int(d.sides[side].hq[k].y), -1, true});
}

void FieldRaster::BuildAltitude() {
    m_altitude.assign(size_t(kCellsX) * kCellsY, 0);
    for (int r = 0; r < kCellsY; ++r)
        for (int c = 0; c < kCellsX; ++c) {
            bool blocked = false;
            int river = 0;
            for (int y = r * 5; y < r * 5 + 5; ++y)
                for (int x = c * 5; x < c * 5 + 5; ++x) {
                    uint8_t m = m_material[size_t(y) * kFieldWidth + x];
                    blocked = blocked || IsBlockingMaterial(m);
                    river += m == kRiver;
                }
            m_altitude[size_t(r) * kCellsX + c] =
                blocked      ? kBlockedByte
                : river > 12 ? kWadeByte
                             : uint8_t(std::clamp(std::lround(HeightAt(c * 5 + 2.5, r * 5 + 2.5)), 0L, 127L));
        }
}

uint8_t FieldRaster::DominantMaterial(int x, int y, int w, int h) const {
    std::array<int, kMaterialCount> count{};
    int sx = std::max(1, w / 4), sy = std::max(1, h / 4);
    for (int yy = y; yy < y + h; yy += sy)
        for (int xx = x; xx < x + w; xx += sx) {
            uint8_t m = MaterialAt(xx, yy);
            count[m] += IsBlockingMaterial(m) || m == kBridge || m == kRoad || m == kRiver ? 3 : 1;
        }
    return uint8_t(std::max_element(count.begin(), count.end()) - count.begin());
}

}  // namespace fields
