#include "tools/mkdata/FieldPaint.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "tools/mkdata/Kit.h"

namespace fields {

namespace {

using kit::Rgb;
namespace ink = kit::ink;

Rgb MaterialColour(int m, double dryness) {
    switch (m) {
        case kGrass: return Rgb{0.54, 0.61, 0.37}.Mix({0.74, 0.67, 0.43}, dryness).Mix(ink::Washi, 0.22);
        case kForest: return Rgb{0.22, 0.32, 0.21}.Mix({0.36, 0.33, 0.20}, dryness * 0.5);
        case kWater: return {0.25, 0.37, 0.49};
        case kFord: return {0.46, 0.57, 0.59};
        case kRoad: return {0.79, 0.71, 0.55};
        case kPaddy: return Rgb{0.50, 0.63, 0.52}.Mix({0.70, 0.64, 0.45}, dryness * 0.6);
        case kEarth: return {0.72, 0.64, 0.50};
        case kWall: return {0.64, 0.62, 0.58};
        case kTower: return {0.34, 0.35, 0.39};
        case kKeep: return {0.30, 0.31, 0.37};
        case kBridge: return {0.56, 0.41, 0.26};
        case kCrag: return {0.56, 0.54, 0.51};
        case kSand: return {0.84, 0.78, 0.62};
        case kMarsh: return Rgb{0.46, 0.53, 0.40}.Mix({0.60, 0.56, 0.40}, dryness * 0.5);
        case kPalisade: return {0.36, 0.26, 0.17};
        default: return {0.30, 0.43, 0.55};  // a river's shallows
    }
}

// Materials drawn with an ink outline where they meet other ground.
bool Outlined(uint8_t m) {
    return m == kWater || m == kWall || m == kTower || m == kKeep || m == kPalisade || m == kBridge || m == kRiver ||
           m == kCrag;
}

const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

}  // namespace

std::vector<Rgb> BackgroundPalette(double dryness) {
    std::vector<Rgb> pal;
    for (int m = 0; m < kMaterialCount; ++m) {
        Rgb base = MaterialColour(m, dryness);
        for (int s = 0; s < 16; ++s) {
            double f = 0.50 + 0.055 * s;
            Rgb c{std::min(1.0, base.r * f), std::min(1.0, base.g * f), std::min(1.0, base.b * f)};
            // The darkest shades go toward ink, the lightest toward paper.
            if (s < 3) c = c.Mix(ink::Sumi, (3 - s) * 0.12);
            if (s > 12) c = c.Mix(ink::Washi, (s - 12) * 0.06);
            pal.push_back(c);
        }
    }
    return pal;
}

std::vector<uint8_t> PaintBackground(const FieldRaster& raster) {
    const FieldDesign& d = raster.Design();
    // Light from the north-west, on the altitude grid first.
    const int NW = kCellsX + 1, NH = kCellsY + 1;
    std::vector<float> light(size_t(NW) * NH);
    for (int j = 0; j < NH; ++j)
        for (int i = 0; i < NW; ++i) {
            double x = i * 5.0, y = j * 5.0;
            double gx = (raster.HeightAt(x + 15, y) - raster.HeightAt(x - 15, y)) / 30;
            double gy = (raster.HeightAt(x, y + 15) - raster.HeightAt(x, y - 15)) / 30;
            double s = (gx + gy) * 0.7071 * 22;  // facing away from the light darkens
            light[size_t(j) * NW + i] = float(std::clamp(-s, -5.5, 4.5) + (raster.HeightAt(x, y) - d.baseHeight) / 45);
        }
    auto lightAt = [&](int x, int y) {
        double fx = x / 5.0, fy = y / 5.0;
        int ix = std::min(int(fx), NW - 2), iy = std::min(int(fy), NH - 2);
        double tx = fx - ix, ty = fy - iy;
        auto L = [&](int a, int b) { return double(light[size_t(b) * NW + a]); };
        return (L(ix, iy) * (1 - tx) + L(ix + 1, iy) * tx) * (1 - ty) + (L(ix, iy + 1) * (1 - tx) + L(ix + 1, iy + 1) * tx) * ty;
    };
    std::vector<uint8_t> out(size_t(kFieldWidth) * kFieldHeight);
    const uint32_t seed = d.seed;
    for (int y = 0; y < kFieldHeight; ++y)
        for (int x = 0; x < kFieldWidth; ++x) {
            uint8_t m = raster.MaterialAt(x, y);
            double s = 9.5 + lightAt(x, y);
            double n1 = kit::ValueNoise(x, y, 34, seed + 101), n2 = kit::ValueNoise(x, y, 7, seed + 102);
            switch (m) {
                case kGrass: {
                    // Broad swells of tone, then tufts: short dark strokes
                    // scattered on a jittered lattice.
                    double broad = kit::ValueNoise(x, y, 190, seed + 107);
                    s += (broad - 0.5) * 2.6 + (n1 - 0.5) * 1.4 + (n2 - 0.5) * 1.2;
                    uint32_t cell = uint32_t(x / 7) * 73856093u ^ uint32_t(y / 10) * 19349663u ^ seed;
                    cell = (cell ^ (cell >> 13)) * 0x5bd1e995u;
                    if ((cell >> 24) % 5 == 0 && x % 7 == int(cell >> 8) % 5 && y % 10 < 4) s -= 2.2;
                    break;
                }
                case kForest: {
                    // Crowns of the canopy: round blobs with dark gaps.
                    double c = kit::ValueNoise(x, y, 13, seed + 103);
                    s = 6 + lightAt(x, y) * 0.7 + (c - 0.5) * 9 + (n2 - 0.5) * 2;
                    break;
                }
                case kWater:
                case kRiver: {
                    // Mid-stream is lighter, with the current's streaks.
                    int deep = 0;
                    for (auto [dx, dy] : {std::pair{9, 0}, std::pair{-9, 0}, std::pair{0, 9}, std::pair{0, -9}})
                        deep += raster.MaterialAt(x + dx, y + dy) == m;
                    s = 6.5 + (deep == 4 ? 1.5 : 0) + (n1 - 0.5) * 2 +
                        (kit::ValueNoise(x * 0.5, y * 2.0, 9, seed + 104) - 0.5) * 3;
                    break;
                }
                case kFord: s = 9 + (n2 - 0.5) * 4; break;
                case kRoad: {
                    // Worn edges and a trodden middle.
                    int edge = 0;
                    for (auto [dx, dy] : {std::pair{4, 0}, std::pair{-4, 0}, std::pair{0, 4}, std::pair{0, -4}})
                        edge += raster.MaterialAt(x + dx, y + dy) != kRoad;
                    s = 10.5 - edge * 1.2 + (n2 - 0.5) * 2.5 + lightAt(x, y) * 0.5;
                    break;
                }
                case kPaddy: s = 9 + (n1 - 0.5) * 2 + ((x / 3 + y / 3) % 5 == 0 ? -1.5 : 0); break;
                case kEarth: s = 10 + (n2 - 0.5) * 2.5 + (n1 - 0.5) * 2; break;
                case kWall: s = 9 + (((x / 9) + (y / 6)) % 2 ? 1.5 : -0.5) + (n2 - 0.5) * 3; break;
                case kTower: s = ((x + y) / 4) % 3 == 0 ? 6 : 10; break;
                case kKeep: s = (std::min({x % 24, y % 24, 23 - x % 24, 23 - y % 24}) < 3) ? 13 : ((y / 4) % 2 ? 8 : 10); break;
                case kBridge: s = ((x + y) / 5) % 3 == 0 ? 6 : 10 + (n2 - 0.5) * 2; break;
                case kCrag: s += (kit::ValueNoise(x, y, 9, seed + 105) - 0.5) * 8 + (n2 - 0.5) * 2; break;
                case kSand: s = 11 + (n2 - 0.5) * 2.5; break;
                case kMarsh: s = 8 + (n1 - 0.5) * 3 + (kit::ValueNoise(x * 3, y * 0.4, 6, seed + 106) - 0.5) * 5; break;
                case kPalisade: s = (x + y) % 4 < 2 ? 4 : 8; break;
                default: s = 8 + (n2 - 0.5) * 2; break;
            }
            // Ink where outlined ground meets other ground; faint contour
            // lines on the open slopes.
            uint8_t right = raster.MaterialAt(x + 2, y), below = raster.MaterialAt(x, y + 2);
            if ((right != m || below != m) && (Outlined(m) || Outlined(right) || Outlined(below))) s -= 4.5;
            if (m == kGrass || m == kSand || m == kCrag || m == kForest) {
                int band = int(raster.HeightAt(x, y) / 6);
                if (band != int(raster.HeightAt(x + 2, y) / 6) || band != int(raster.HeightAt(x, y + 2) / 6)) s -= 1.4;
            }
            s += (kBayer[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
            int shade = std::clamp(int(std::lround(s)), 0, 15);
            out[size_t(y) * kFieldWidth + x] = uint8_t(m * 16 + shade);
        }
    return out;
}

void WriteFieldData(const KitContext& kit, const FieldRaster& raster) {
    const std::string& key = raster.Design().key;
    kit::SaveIndexed(kit, "Data\\MapData\\Bkgnd " + key + ".giz", kFieldWidth, kFieldHeight, PaintBackground(raster),
                     BackgroundPalette(raster.Design().dryness), kit::PictureFormat::Giz8);
    // The altitude map: the red of each entry is the byte the game reads;
    // green and blue only make the picture readable to a person.
    std::vector<Rgb> pal(256);
    for (int i = 0; i < 256; ++i) pal[i] = {i / 255.0, std::min(1.0, i / 127.0 * 0.8 + 0.1), 0.25};
    pal[kBlockedByte] = {kBlockedByte / 255.0, 0.05, 0.55};
    kit::SaveIndexed(kit, "Data\\MapData\\Data Map " + key + ".giz", kCellsX, kCellsY, raster.AltitudeBytes(), pal,
                     kit::PictureFormat::Giz8);
}

}  // namespace fields
