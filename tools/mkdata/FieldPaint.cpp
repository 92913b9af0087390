#include "tools/mkdata/FieldPaint.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "tools/mkdata/Kit.h"

namespace fields {

namespace {

using kit::Rgb;
namespace ink = kit::ink;

double Noise(double x, double y, double scale, uint32_t seed) { return kit::ValueNoise(x, y, scale, seed); }

bool IsWet(uint8_t m) { return m == kWater || m == kRiver; }

// Light from the north-west on the altitude grid: soft relief shading, the
// high ground a touch lighter.
class Relief {
public:
    explicit Relief(const FieldRaster& raster) : m_light(size_t(kCellsX + 1) * (kCellsY + 1)) {
        for (int j = 0; j <= kCellsY; ++j)
            for (int i = 0; i <= kCellsX; ++i) {
                double x = i * 5.0, y = j * 5.0;
                double gx = (raster.HeightAt(x + 10, y) - raster.HeightAt(x - 10, y)) / 20;
                double gy = (raster.HeightAt(x, y + 10) - raster.HeightAt(x, y - 10)) / 20;
                double s = -(gx + gy) * 0.7071;
                double high = std::clamp(raster.HeightAt(x, y) - raster.Design().baseHeight, 0.0, 60.0);
                m_light[size_t(j) * (kCellsX + 1) + i] = float(1.0 + 0.3 * std::tanh(s * 3.5) + high * 0.0012);
            }
    }
    double At(int x, int y) const {
        double fx = x / 5.0, fy = y / 5.0;
        int ix = std::min(int(fx), kCellsX - 1), iy = std::min(int(fy), kCellsY - 1);
        double tx = fx - ix, ty = fy - iy;
        auto L = [&](int a, int b) { return double(m_light[size_t(b) * (kCellsX + 1) + a]); };
        return (L(ix, iy) * (1 - tx) + L(ix + 1, iy) * tx) * (1 - ty) + (L(ix, iy + 1) * (1 - tx) + L(ix + 1, iy + 1) * tx) * ty;
    }

private:
    std::vector<float> m_light;
};

// The block of an outcrop that a point lies on: blocks are the cells of a
// jittered lattice `size` units apart, their edges wavering, each point on
// the nearest block's centre. `facing` is how far the point lies toward the
// sun (north-west) from that centre, `drop` how far toward the south, where
// the block's face falls away, both in about [-1, 1]; `crack` its distance to
// the next block.
struct Block {
    double tone, facing, drop, crack;
};

uint32_t Hash(int32_t a, int32_t b, uint32_t seed) {
    uint32_t h = uint32_t(a) * 0x8da6b343u ^ uint32_t(b) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return h ^ (h >> 15);
}

Block BlockAt(int x, int y, double kSize, uint32_t seed) {
    // Seen from the south the blocks are flatter than they are wide.
    const double px = x + 16 * (Noise(x, y, 60, seed + 22) - 0.5), py = (y + 16 * (Noise(x, y, 60, seed + 23) - 0.5)) * 1.3;
    const int cx = int(std::floor(px / kSize)), cy = int(std::floor(py / kSize));
    double best = 1e18, second = 1e18, bx = 0, by = 0;
    uint32_t which = 0;
    for (int j = cy - 1; j <= cy + 1; ++j)
        for (int i = cx - 1; i <= cx + 1; ++i) {
            uint32_t h = Hash(i, j, seed);
            double sx = (i + 0.1 + 0.8 * (h & 1023) / 1023.0) * kSize;
            double sy = (j + 0.1 + 0.8 * ((h >> 10) & 1023) / 1023.0) * kSize;
            double d = std::hypot(px - sx, py - sy);
            if (d < best) second = best, best = d, bx = sx, by = sy, which = h;
            else if (d < second) second = d;
        }
    const double radius = kSize * 0.55;
    return {((which >> 20) & 255) / 255.0, std::clamp(-((px - bx) + (py - by)) * 0.7071 / radius, -1.0, 1.0),
            std::clamp((py - by) / radius, -1.0, 1.0), (second - best) / 2};
}

// The colour of one field unit, painted at full colour.
Rgb PaintUnit(const FieldRaster& raster, const Relief& relief, int x, int y) {
    const FieldDesign& d = raster.Design();
    const uint32_t seed = d.seed;
    const uint8_t m = raster.MaterialAt(x, y);
    double n1 = Noise(x, y, 220, seed), n2 = Noise(x, y, 48, seed + 1), n3 = Noise(x, y, 7, seed + 2);
    // The meadow: dry and lush grass in broad patches, darker swales.
    const Rgb dry{0.80, 0.74, 0.54}, lush{0.50, 0.60, 0.33}, deep{0.38, 0.49, 0.28};
    double green = std::clamp((1 - d.dryness) * (0.60 + 0.6 * (n1 - 0.5)) + 0.14 * (n2 - 0.5) + 0.1, 0.0, 1.0);
    Rgb ground = dry.Mix(lush, green);
    if (n2 > 0.76) ground = ground.Mix(deep, (n2 - 0.76) * 0.7);
    const Rgb rock{0.66, 0.63, 0.57}, rockDark{0.44, 0.42, 0.39};
    // Scree: the grass thins to stone as the ground climbs toward the crags.
    double height = raster.HeightAt(x, y);
    if (height > kCragLevel - 26)
        ground = ground.Mix(rock, std::min(1.0, (height - (kCragLevel - 26)) / 26) * (0.45 + 0.3 * n3));
    double light = relief.At(x, y);
    auto edgeOf = [&](int r, auto same) {
        int out = 0;
        for (auto [dx, dy] : {std::pair{r, 0}, std::pair{-r, 0}, std::pair{0, r}, std::pair{0, -r}})
            out += !same(raster.MaterialAt(x + dx, y + dy));
        return out;
    };
    // Undergrowth: dark beneath the woods, thinning out at their edges.
    auto undergrowth = [&](int r) {
        int in = 0;
        for (auto [dx, dy] : {std::pair{r, 0}, std::pair{-r, 0}, std::pair{0, r}, std::pair{0, -r}, std::pair{r, r},
                              std::pair{-r, -r}, std::pair{r, -r}, std::pair{-r, r}})
            in += raster.MaterialAt(x + dx, y + dy) == kForest;
        return in / 8.0;
    };
    const Rgb shadeOfWoods{0.20, 0.30, 0.17};
    Rgb c;
    bool shaded = true, contours = false;
    switch (m) {
        case kGrass:
            c = ground.Mix(shadeOfWoods, 0.16 * undergrowth(14));
            contours = true;
            break;
        case kForest:
            c = ground.Mix(shadeOfWoods, (0.2 + 0.24 * undergrowth(16)) + 0.16 * (n3 - 0.5));
            contours = true;
            break;
        case kEarth: {
            c = ground.Mix({0.74, 0.66, 0.50}, 0.75 + 0.2 * (n2 - 0.5));
            // A dike between paddies: a grassy bank, lit on its north-west
            // side, its foot in shade on the south-east.
            for (const Paddies& f : d.paddies) {
                if (x < f.left || x > f.right || y < f.top || y > f.bottom) continue;
                double px = std::fmod(x + 0.5 - f.left, 92), py = std::fmod(y + 0.5 - f.top, 64);
                double across = px <= 5 ? px : py;
                c = ground.Mix({0.70, 0.62, 0.44}, 0.55 + 0.25 * (n3 - 0.5));
                if (n3 > 0.6) c = c.Mix({0.36, 0.48, 0.24}, 0.4);  // grass on the bank
                if (across < 1.6) c = c.Mix({0.95, 0.92, 0.80}, 0.3);
                if (across > 4) c = c.Mix({0.22, 0.24, 0.20}, 0.35);
                break;
            }
            break;
        }
        case kRoad: {
            int edge = edgeOf(5, [](uint8_t o) { return o == kRoad || o == kBridge; });
            c = Rgb{0.84, 0.76, 0.58}.Mix({0.62, 0.54, 0.40}, std::min(1, edge) * 0.55);
            c = c.Scaled(0.96 + 0.06 * n2);
            break;
        }
        case kSand:  // the muddy bank
            c = Rgb{0.60, 0.57, 0.43}.Mix({0.72, 0.67, 0.50}, n3);
            break;
        case kRiver:
        case kWater: {
            int open = 4 - edgeOf(12, [](uint8_t o) { return IsWet(o) || o == kFord || o == kBridge; });
            Rgb deepWater = m == kWater ? Rgb{0.19, 0.29, 0.42} : Rgb{0.24, 0.35, 0.49};
            c = deepWater.Mix({0.42, 0.55, 0.66}, open * 0.08 + 0.12 * (n2 - 0.5) + 0.1);
            // The current's streaks and glints.
            if (Noise(x * 0.5, y * 0.5, 5, seed + 4) * Noise(x, y, 40, seed + 9) > 0.62) c = c.Mix({0.80, 0.86, 0.90}, 0.3);
            if (edgeOf(2, [](uint8_t o) { return IsWet(o) || o == kFord || o == kBridge; })) c = c.Mix(ink::Sumi, 0.45);
            shaded = false;
            break;
        }
        case kFord: {  // shallows over gravel, stones showing, deepening toward the open stream
            auto wet = [](uint8_t o) { return !IsWet(o); };
            double deepening = (edgeOf(8, wet) + edgeOf(16, wet) + edgeOf(26, wet)) / 12.0;
            c = Rgb{0.34, 0.46, 0.56}.Mix({0.58, 0.61, 0.58}, 0.2 + 0.3 * n2);
            if (Noise(x, y, 6, seed + 10) > 0.74 && deepening < 0.35) c = c.Mix(Rgb{0.68, 0.65, 0.58}.Scaled(0.85 + 0.2 * n3), 0.7);
            c = c.Mix({0.24, 0.35, 0.49}, std::min(1.0, deepening * 1.2));
            shaded = false;
            break;
        }
        case kBridge: {
            // Planks across the way, rails along both sides.
            bool across = IsWet(raster.MaterialAt(x, y - 40)) || IsWet(raster.MaterialAt(x, y + 40));
            int along = across ? x : y;
            c = Rgb{0.55, 0.40, 0.25}.Scaled(along % 7 == 0 ? 0.7 : 0.95 + 0.1 * n3);
            bool rail = across ? raster.MaterialAt(x, y - 4) != kBridge || raster.MaterialAt(x, y + 4) != kBridge
                               : raster.MaterialAt(x - 4, y) != kBridge || raster.MaterialAt(x + 4, y) != kBridge;
            if (rail) c = Rgb{0.30, 0.20, 0.12};
            shaded = false;
            break;
        }
        case kPaddy: {
            // Flooded plots, each its own green, with rows of seedlings.
            int px = x, py = y;
            for (const Paddies& f : d.paddies)
                if (x >= f.left && x <= f.right && y >= f.top && y <= f.bottom) px = int(x - f.left), py = int(y - f.top);
            uint32_t plot = uint32_t(px / 92 + 1) * 2654435761u ^ uint32_t(py / 64 + 1) * 40503u ^ seed;
            plot = (plot ^ (plot >> 15)) * 0x2c1b3c6du;
            double age = ((plot >> 8) % 100) / 100.0;
            c = Rgb{0.42, 0.58, 0.36}.Mix({0.64, 0.66, 0.38}, age * 0.6).Mix({0.72, 0.66, 0.40}, d.dryness * 0.6);
            c = c.Mix({0.50, 0.62, 0.66}, 0.35 * Noise(x, y, 70, seed + 11));  // water showing between the rows
            if (y % 6 < 2 && (x + y / 6 * 2) % 5 < 3) c = c.Mix({0.32, 0.50, 0.22}, 0.5);
            // Open water along the foot of the dikes, darkest next to them.
            double rim = std::min({std::fmod(px, 92) - 5, std::fmod(py, 64) - 5, 92 - std::fmod(px, 92), 64 - std::fmod(py, 64)});
            if (rim < 4) c = c.Mix({0.30, 0.40, 0.42}, 0.5 * (1 - rim / 4));
            break;
        }
        case kMarsh: {
            // Wet reed ground fading into the meadow at its edges, shallow
            // pools of open water among the reeds, the reeds in clumps.
            auto marsh = [](uint8_t o) { return o == kMarsh; };
            double inner = 1 - (edgeOf(10, marsh) + edgeOf(22, marsh) + edgeOf(40, marsh)) / 12.0;
            c = Rgb{0.44, 0.52, 0.38}.Mix({0.58, 0.55, 0.38}, d.dryness * 0.5);
            double pool = std::clamp((Noise(x, y, 34, seed + 5) - 0.62) / 0.14, 0.0, 1.0) * inner;
            c = c.Mix({0.33, 0.43, 0.47}, pool * pool * (3 - 2 * pool) * 0.55);
            if (pool < 0.5 && Noise(x, y, 16, seed + 3) > 0.45 && Noise(x * 2.5, y * 0.5, 5, seed + 6) > 0.66)
                c = c.Mix({0.30, 0.36, 0.20}, 0.35);  // reeds
            c = ground.Mix(c, 0.35 + 0.65 * inner);
            break;
        }
        case kCrag: {
            // An outcrop of weathered blocks: each block its own tone of
            // stone, its top lit from the north-west, its south face falling
            // away in shade and streaked, the cracks between blocks and the
            // outcrop's rim drawn in ink, moss in the hollows.
            // Great blocks split by lesser cracks.
            const Block block = BlockAt(x, y, 120, seed), chip = BlockAt(x, y, 42, seed + 30);
            Rgb stone = Rgb{0.72, 0.67, 0.58}.Mix({0.55, 0.55, 0.55}, block.tone);
            stone = stone.Mix({0.50, 0.46, 0.40}, 0.3 * Noise(x, y, 140, seed + 24)).Scaled(0.94 + 0.12 * chip.tone);
            if (block.drop > 0.45) {  // the face
                double f = (block.drop - 0.45) / 0.55;
                c = stone.Mix({0.28, 0.28, 0.30}, 0.35 + 0.25 * f);
                if (Noise(x * 3, y * 0.4, 6, seed + 25) > 0.6) c = c.Mix({0.20, 0.20, 0.22}, 0.35);
            } else {  // the top, each chip of it catching the light its own way
                double face = std::clamp(block.facing * 0.8 + chip.facing * 0.5, -1.0, 1.0);
                c = face > 0 ? stone.Mix({0.95, 0.91, 0.80}, face * 0.45) : stone.Mix({0.36, 0.36, 0.38}, -face * 0.3);
                if (block.drop > 0.39) c = c.Mix({0.96, 0.93, 0.84}, 0.2);  // the lit lip above the face
            }
            c = c.Mix(rockDark, 0.16 * (n3 - 0.5));
            if (block.crack < 2.6) c = c.Mix(ink::Sumi, 0.5 * (1 - block.crack / 2.6) + 0.25);
            else if (chip.crack < 1.4 && block.drop <= 0.45) c = c.Mix(ink::SumiWash, 0.35);
            else if (block.crack > 6 && block.drop < 0 && Noise(x, y, 22, seed + 21) > 0.68)
                c = c.Mix({0.40, 0.50, 0.30}, 0.5);  // moss
            auto crag = [](uint8_t o) { return o == kCrag; };
            if (edgeOf(2, crag)) c = c.Mix(ink::Sumi, 0.6);
            else if (edgeOf(5, crag)) c = c.Mix({0.34, 0.32, 0.30}, 0.25);
            light = 1 + (light - 1) * 0.8;
            break;
        }
        case kPalisade:  // earth thrown up along the stakes
            c = ground.Mix({0.50, 0.42, 0.30}, 0.65 + 0.2 * (n3 - 0.5));
            break;
        default:  // wall, tower and keep footings: the battle draws the pieces
            // higher up, so the ground shows here, the yard or the slope below
            c = raster.ShowsCastleYard(x, y) ? ground.Mix({0.74, 0.66, 0.50}, 0.75 + 0.2 * (n2 - 0.5)) : ground;
            break;
    }
    if (m != kCrag && !IsWet(m) && (raster.MaterialAt(x - 6, y - 6) == kCrag || raster.MaterialAt(x - 12, y - 10) == kCrag))
        c = c.Mix({0.22, 0.24, 0.22}, 0.3);  // an outcrop's shadow falls to the south-east
    if (shaded) {
        // Sunlit slopes go toward warm light, the others into cool shade.
        light = std::clamp(light, 0.55, 1.45);
        if (light > 1)
            c = c.Mix({0.98, 0.94, 0.80}, (light - 1) * 0.9);
        else
            c = c.Mix({0.20, 0.24, 0.26}, (1 - light) * 1.1);
        c = c.Scaled(0.96 + 0.07 * n3);
    }
    if (contours) {
        double f = std::fmod(height, 10.0);
        if (height > d.baseHeight + 12 && (f < 0.12 || f > 9.88)) c = c.Mix(ink::SumiWash, 0.14);
    }
    return {std::clamp(c.r, 0.0, 1.0), std::clamp(c.g, 0.0, 1.0), std::clamp(c.b, 0.0, 1.0)};
}

struct Colour3 {
    float r, g, b;
};

float Distance2(const Colour3& a, const Colour3& b) {
    float dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr * 0.30f + dg * dg * 0.59f + db * db * 0.11f;
}

// Sixteen colours for one ground, chosen from the field's own painting of
// it: k-means over a sample, started from its quantiles of brightness.
std::vector<Colour3> ChooseShades(std::vector<Colour3> sample, const Rgb& fallback) {
    std::vector<Colour3> shades(16);
    if (sample.empty()) {
        for (int i = 0; i < 16; ++i) {
            Rgb c = fallback.Scaled(0.6 + 0.05 * i);
            shades[size_t(i)] = {float(std::min(1.0, c.r)), float(std::min(1.0, c.g)), float(std::min(1.0, c.b))};
        }
        return shades;
    }
    auto luma = [](const Colour3& c) { return c.r * 0.3f + c.g * 0.59f + c.b * 0.11f; };
    std::sort(sample.begin(), sample.end(), [&](const Colour3& a, const Colour3& b) { return luma(a) < luma(b); });
    for (int i = 0; i < 16; ++i) shades[size_t(i)] = sample[(sample.size() - 1) * size_t(2 * i + 1) / 32];
    for (int round = 0; round < 8; ++round) {
        std::vector<double> sum(16 * 4, 0.0);
        for (const Colour3& c : sample) {
            int best = 0;
            for (int i = 1; i < 16; ++i)
                if (Distance2(c, shades[size_t(i)]) < Distance2(c, shades[size_t(best)])) best = i;
            sum[size_t(best) * 4] += c.r, sum[size_t(best) * 4 + 1] += c.g, sum[size_t(best) * 4 + 2] += c.b;
            sum[size_t(best) * 4 + 3] += 1;
        }
        for (int i = 0; i < 16; ++i)
            if (double n = sum[size_t(i) * 4 + 3]; n > 0)
                shades[size_t(i)] = {float(sum[size_t(i) * 4] / n), float(sum[size_t(i) * 4 + 1] / n),
                                     float(sum[size_t(i) * 4 + 2] / n)};
    }
    return shades;
}

}  // namespace

PaintedBackground PaintBackground(const FieldRaster& raster) {
    const Relief relief(raster);
    std::vector<Colour3> full(size_t(kFieldWidth) * kFieldHeight);
    for (int y = 0; y < kFieldHeight; ++y)
        for (int x = 0; x < kFieldWidth; ++x) {
            Rgb c = PaintUnit(raster, relief, x, y);
            full[size_t(y) * kFieldWidth + x] = {float(c.r), float(c.g), float(c.b)};
        }
    // The field's own palette: sixteen shades of each ground, so that a
    // pixel's index over 16 still tells what ground it is.
    std::vector<std::vector<Colour3>> samples(kMaterialCount);
    for (int y = 0; y < kFieldHeight; y += 3)
        for (int x = (y / 3) % 3; x < kFieldWidth; x += 3)
            samples[raster.MaterialAt(x, y)].push_back(full[size_t(y) * kFieldWidth + x]);
    PaintedBackground out;
    std::vector<Colour3> palette;
    for (int m = 0; m < kMaterialCount; ++m) {
        if (samples[size_t(m)].size() > 40000) {  // a thinner sample of the large grounds
            std::vector<Colour3> thin;
            for (size_t i = 0; i < samples[size_t(m)].size(); i += samples[size_t(m)].size() / 40000 + 1)
                thin.push_back(samples[size_t(m)][i]);
            samples[size_t(m)].swap(thin);
        }
        for (const Colour3& c : ChooseShades(samples[size_t(m)], {0.5, 0.5, 0.5})) {
            palette.push_back(c);
            out.palette.push_back({c.r, c.g, c.b});
        }
    }
    // Error diffusion within each ground, so its soft shading survives the
    // sixteen colours and no ground bleeds into another.
    out.indices.resize(full.size());
    std::vector<Colour3> err(size_t(kFieldWidth + 2) * 2, Colour3{0, 0, 0});
    for (int y = 0; y < kFieldHeight; ++y) {
        Colour3* cur = &err[size_t(y % 2) * (kFieldWidth + 2) + 1];
        Colour3* next = &err[size_t((y + 1) % 2) * (kFieldWidth + 2) + 1];
        for (int x = -1; x <= kFieldWidth; ++x) next[x] = {0, 0, 0};
        for (int x = 0; x < kFieldWidth; ++x) {
            uint8_t m = raster.MaterialAt(x, y);
            const Colour3& want = full[size_t(y) * kFieldWidth + x];
            Colour3 c{want.r + cur[x].r, want.g + cur[x].g, want.b + cur[x].b};
            int best = 0;
            const Colour3* shades = &palette[size_t(m) * 16];
            for (int i = 1; i < 16; ++i)
                if (Distance2(c, shades[i]) < Distance2(c, shades[best])) best = i;
            out.indices[size_t(y) * kFieldWidth + x] = uint8_t(m * 16 + best);
            Colour3 e{c.r - shades[best].r, c.g - shades[best].g, c.b - shades[best].b};
            auto spread = [&](Colour3* row, int at, int nx, int ny, float w) {
                if (raster.MaterialAt(nx, ny) != m) return;
                row[at].r += e.r * w, row[at].g += e.g * w, row[at].b += e.b * w;
            };
            if (x + 1 < kFieldWidth) spread(cur, x + 1, x + 1, y, 7 / 16.f);
            if (y + 1 < kFieldHeight) {
                spread(next, x - 1, x - 1, y + 1, 3 / 16.f);
                spread(next, x, x, y + 1, 5 / 16.f);
                spread(next, x + 1, x + 1, y + 1, 1 / 16.f);
            }
        }
    }
    return out;
}

void WriteFieldData(const KitContext& kit, const FieldRaster& raster) {
    const std::string& key = raster.Design().key;
    PaintedBackground background = PaintBackground(raster);
    kit::SaveIndexed(kit, "Data\\MapData\\Bkgnd " + key + ".giz", kFieldWidth, kFieldHeight, background.indices,
                     background.palette, kit::PictureFormat::Giz8);
    // The altitude map: the red of each entry is the byte the game reads;
    // green and blue only make the picture readable to a person.
    std::vector<Rgb> pal(256);
    for (int i = 0; i < 256; ++i) pal[i] = {i / 255.0, std::min(1.0, i / 127.0 * 0.8 + 0.1), 0.25};
    pal[kBlockedByte] = {kBlockedByte / 255.0, 0.05, 0.55};
    kit::SaveIndexed(kit, "Data\\MapData\\Data Map " + key + ".giz", kCellsX, kCellsY, raster.AltitudeBytes(), pal,
                     kit::PictureFormat::Giz8);
}

}  // namespace fields
