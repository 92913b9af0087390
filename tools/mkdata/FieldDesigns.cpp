// The battlefields of the campaign and the historical battles, each laid out
// after the place it is named for: castles on their hills and in their river
// bends, the river plains, the mountain passes, the open moors. Coordinates
// are field units (3000 x 2000); heights are altitude bytes.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <tuple>

#include "field/BattlefieldTables.h"
#include "tools/mkdata/FieldDesign.h"
#include "tools/mkdata/Style.h"

namespace fields {

namespace {

using W = WoodKind;
using V = VillageKind;

constexpr double kRoadWidth = 58;

// Side 0 on the west facing east, side 1 on the east facing west.
void OpenSides(FieldDesign& d, double top = 300, double bottom = 1700) {
    d.sides[0] = {200, top, 800, bottom, {{320, (top + bottom) / 2 - 110}, {320, (top + bottom) / 2 + 110}}};
    d.sides[1] = {2200, top, 2800, bottom, {{2680, (top + bottom) / 2 - 110}, {2680, (top + bottom) / 2 + 110}}};
}

FieldDesign Start(const char* key, uint32_t seed, double base, double rough, double dry) {
    FieldDesign d;
    d.key = key;
    d.seed = seed;
    d.baseHeight = base;
    d.roughness = rough;
    d.dryness = dry;
    OpenSides(d);
    return d;
}

void AddRoad(FieldDesign& d, Path p, double w = kRoadWidth) { d.roads.push_back({std::move(p), w}); }
void AddRiver(FieldDesign& d, Path p, double w) { d.rivers.push_back({std::move(p), w}); }
void AddFord(FieldDesign& d, Pt a, Pt b, double w) { d.crossings.push_back({a, b, w, false}); }
void AddWood(FieldDesign& d, double x, double y, double rx, double ry, W kind) { d.woods.push_back({{x, y}, rx, ry, kind}); }
void AddHill(FieldDesign& d, double x, double y, double rx, double ry, double h, double angle = 0) {
    d.hills.push_back({{x, y}, rx, ry, h, angle});
}
void AddVillage(FieldDesign& d, double x, double y, double r, int houses, V kind) {
    d.villages.push_back({{x, y}, r, houses, kind});
}
void AddSide(FieldDesign& d, int side, double l, double t, double r, double b, Pt hq1, Pt hq2) {
    d.sides[side] = {l, t, r, b, {hq1, hq2}};
}

// A castle of concentric rings: ring i is {corners, gate edges}; walls 16
// thick on the outer ring, 14 inside.
void CastleOf(FieldDesign& d, int side, std::vector<std::pair<Path, std::vector<int>>> rings, Pt keep, double keepSize,
              double moat) {
    Castle c;
    for (size_t i = 0; i < rings.size(); ++i) c.rings.push_back({rings[i].first, rings[i].second, i == 0 ? 16.0 : 14.0});
    c.keep = keep;
    c.keepSize = keepSize;
    c.moat = moat;
    c.side = side;
    d.castles.push_back(std::move(c));
}

void AddLandmark(FieldDesign& d, int type, double x, double y) { d.landmarks.push_back({type, {x, y}}); }
void AddRect(FieldDesign& d, double l, double t, double r, double b) { d.paddies.push_back({l, t, r, b}); }

// A loose scatter of `count` objects of types first..last round (x, y):
// willows along a bank, bushes in a meadow.
void Scatter(FieldDesign& d, double x, double y, double radius, int count, int first, int last) {
    kit::KitRandom rnd(d.seed * 7u + uint32_t(x) * 13u + uint32_t(y));
    for (int i = 0; i < count; ++i) {
        double a = rnd.Range(0, 2 * 3.14159265358979), r = radius * std::sqrt(rnd.Unit());
        double px = x + std::cos(a) * r, py = y + std::sin(a) * r * 0.8;
        AddLandmark(d, rnd.Int(first, last), px, py);
    }
}

// The same ground seen from the other bank: east and west exchanged, and
// with them the sides.
FieldDesign Mirrored(FieldDesign d, const char* key, uint32_t seed) {
    auto flip = [](Pt& p) { p.x = 3000 - p.x; };
    auto flipPath = [&](Path& path) {
        for (Pt& p : path) flip(p);
    };
    d.key = key;
    d.seed = seed;
    for (Hill& h : d.hills) flip(h.c), h.angleDeg = -h.angleDeg;
    for (Ridge& r : d.ridges) flipPath(r.path);
    for (auto& r : d.rivers) flipPath(r.path);
    for (Lake& l : d.lakes) flip(l.c);
    for (Crossing& c : d.crossings) flip(c.a), flip(c.b);
    for (auto& r : d.roads) flipPath(r.path);
    for (auto& w : d.woods) flip(w.c);
    for (auto& v : d.villages) flip(v.c);
    for (Paddies& p : d.paddies) {
        double l = 3000 - p.right, r = 3000 - p.left;
        p.left = l, p.right = r;
    }
    for (Marsh& m : d.marshes) flip(m.c);
    for (Castle& c : d.castles) {
        for (WallRing& ring : c.rings) {
            flipPath(ring.corners);
            // Flipping reverses the winding; keep each gate on its own wall.
            size_t n = ring.corners.size();
            std::reverse(ring.corners.begin(), ring.corners.end());
            for (int& e : ring.gateEdges) e = int((2 * n - 2 - size_t(e)) % n);
        }
        flip(c.keep);
        c.side = 1 - c.side;
    }
    for (Landmark& l : d.landmarks) flip(l.at);
    for (Palisade& p : d.palisades) {
        flipPath(p.path);
        for (Pt& g : p.gaps) flip(g);
    }
    SidePlan s0 = d.sides[0], s1 = d.sides[1];
    for (SidePlan* s : {&s0, &s1}) {
        double l = 3000 - s->right, r = 3000 - s->left;
        s->left = l, s->right = r;
        flip(s->hq[0]), flip(s->hq[1]);
    }
    d.sides[0] = s1;
    d.sides[1] = s0;
    return d;
}

std::vector<FieldDesign> Build() {
    std::vector<FieldDesign> all;

    {  // A stream through rolling farmland, a road across it, woods on the rises.
        FieldDesign d = Start("A1M", 101, 8, 3, 0.25);
        AddHill(d, 1500, 700, 490, 340, 34);
        AddHill(d, 2350, 1500, 390, 310, 26);
        AddHill(d, 700, 1650, 340, 260, 18);
        AddHill(d, 1000, 420, 290, 200, 14);
        AddRiver(d, {{1900, -40}, {1850, 400}, {1960, 800}, {1800, 1200}, {1900, 1600}, {1820, 2040}}, 36);
        AddRoad(d, {{-40, 1100}, {600, 1050}, {1200, 1150}, {1800, 1100}, {2400, 1000}, {3040, 1050}}, 34);
        AddRoad(d, {{1200, 1150}, {1300, 1500}, {1250, 2040}}, 26);
        AddWood(d, 1500, 560, 230, 180, W::Pine);
        AddWood(d, 2520, 420, 200, 160, W::Pine);
        AddWood(d, 560, 150, 200, 90, W::Broadleaf);
        AddWood(d, 2200, 1720, 130, 100, W::Bamboo);
        Scatter(d, 1620, 1420, 320, 12, 40, 49);
        Scatter(d, 2050, 760, 90, 6, 12, 19);
        AddVillage(d, 1020, 1360, 150, 7, V::Farm);
        AddRect(d, 820, 1480, 1240, 1760);
        AddRect(d, 1340, 1220, 1760, 1500);
        AddFord(d, {1800, 1500}, {1990, 1500}, 90);
        for (auto [type, x, y] : {std::tuple{104, 1480, 800}, {314, 1380, 830}, {315, 1410, 850}, {316, 1440, 860},
                                  {293, 1080, 1290}, {298, 2060, 520}, {300, 2650, 1250}, {304, 880, 1090},
                                  {323, 1230, 1100}, {324, 2380, 970}, {296, 800, 1800}})
            AddLandmark(d, type, x, y);
        AddSide(d, 0, 180, 400, 800, 1600, {380, 1000}, {380, 760});
        AddSide(d, 1, 2200, 400, 2820, 1600, {2620, 1000}, {2620, 760});
        all.push_back(d);
    }
    {  // A castle on its hill east of the farmland, a river along the south.
        // The castle stands before its holders' camp: the army draws up
        // round (2500, 1000), so the commander, his guards' posts and the
        // way through the east wall stay on open ground behind it, and the
        // front divisions hold the bailey.
        FieldDesign d = Start("C1M", 202, 8, 3, 0.4);
        AddHill(d, 1960, 970, 550, 470, 30);
        AddHill(d, 600, 1700, 390, 290, 14);
        AddHill(d, 900, 350, 360, 260, 18);
        CastleOf(d, 1, {{{{1698, 658}, {2218, 658}, {2218, 1282}, {1698, 1282}}, {0, 1, 2, 3}}}, {1958, 830}, 110, 0);
        AddRiver(d, {{-40, 1800}, {500, 1880}, {1100, 1820}, {1500, 1900}, {1800, 2040}}, 44);
        AddRoad(d, {{-40, 1000}, {800, 980}, {1300, 1100}, {1600, 1400}, {1958, 1420}, {1958, 1300}}, 34);
        AddRoad(d, {{1958, 640}, {1800, 450}, {1500, 280}, {1200, -40}}, 26);
        AddWood(d, 700, 420, 260, 200, W::Pine);
        AddWood(d, 820, 1560, 220, 170, W::Pine);
        AddWood(d, 1320, 460, 120, 100, W::Bamboo);
        AddWood(d, 2800, 1700, 150, 120, W::Broadleaf);
        AddWood(d, 2780, 300, 150, 120, W::Pine);
        AddVillage(d, 1480, 1000, 200, 10, V::Town);
        Scatter(d, 1200, 1500, 200, 10, 40, 49);
        AddRect(d, 900, 1180, 1500, 1460);
        AddRect(d, 1500, 1500, 1900, 1720);
        AddFord(d, {600, 1760}, {600, 1990}, 100);
        AddLandmark(d, 293, 1440, 880);
        AddLandmark(d, 305, 1620, 1460);
        AddLandmark(d, 326, 1850, 1420);
        AddLandmark(d, 299, 1100, 800);
        AddSide(d, 0, 180, 400, 800, 1600, {350, 1000}, {350, 760});
        AddSide(d, 1, 1810, 820, 2110, 1120, {1840, 1100}, {2080, 1100});
        all.push_back(d);
    }

    {  // A pass between two massifs; the defenders hold the saddle.
        FieldDesign d = Start("A2M", 202, 24, 8, 0.35);
        AddHill(d, 1500, 230, 950, 400, 150, 5);
        AddHill(d, 1400, 1800, 950, 380, 150, -8);
        AddHill(d, 2450, 1000, 380, 300, 45);
        AddRiver(d, {{1750, 1180}, {1300, 1260}, {800, 1240}, {350, 1320}, {0, 1300}}, 30);
        // The stream rises in a spring pond among reeds below the pass.
        d.lakes.push_back({{1790, 1180}, 80, 50});
        d.marshes.push_back({{1830, 1200}, 170, 90});
        AddRoad(d, {{0, 1050}, {600, 1000}, {1100, 1080}, {1500, 980}, {1950, 1020}, {2450, 960}, {3000, 1000}});
        AddWood(d, 900, 640, 260, 140, W::Pine);
        AddWood(d, 1900, 1400, 300, 150, W::Pine);
        AddWood(d, 2600, 520, 200, 140, W::Pine);
        AddFord(d, {700, 1180}, {700, 1380}, 90);
        AddSide(d, 0, 200, 700, 800, 1400, {300, 940}, {300, 1160});
        AddSide(d, 1, 2200, 700, 2800, 1350, {2650, 900}, {2650, 1110});
        all.push_back(d);
    }
    {  // A castle on a low hill above the paddies, a river along the south.
        // The castle stands before its holders' camp round (2500, 1000): the
        // commander and his guards' posts stay on open ground behind it.
        // Its headquarters flags stay in the camp, beyond the reach of the
        // attackers' front as the battle opens.
        FieldDesign d = Start("C4M", 304, 14, 5, 0.25);
        AddHill(d, 1860, 1000, 520, 520, 40);
        CastleOf(d, 1,
                 {{{{1630, 700}, {2130, 680}, {2160, 1300}, {1660, 1320}}, {0, 1, 2, 3}}},
                 {1910, 970}, 110, 40);
        d.paddies.push_back({450, 300, 1200, 800});
        d.paddies.push_back({500, 1300, 1300, 1680});
        AddRiver(d, {{0, 1830}, {800, 1760}, {1600, 1850}, {2400, 1780}, {3000, 1840}}, 70);
        AddFord(d, {1200, 1660}, {1200, 1940}, 130);
        AddRoad(d, {{0, 1000}, {900, 1020}, {1540, 1025}});
        AddVillage(d, 1350, 500, 110, 7, V::Farm);
        AddWood(d, 1750, 1600, 250, 130, W::Broadleaf);
        AddWood(d, 2800, 300, 150, 120, W::Bamboo);
        AddSide(d, 1, 1630, 700, 2130, 1300, {2350, 1100}, {2500, 1100});
        all.push_back(d);
    }
    {  // The last stand on the mountain's western slopes.
        // The summit's crags rise at the field's eastern edge, behind the
        // holders' camp round (2500, 1000); the camp stands on the slopes.
        FieldDesign d = Start("A7L", 407, 22, 10, 0.55);
        AddHill(d, 3100, 1000, 650, 800, 130);
        AddHill(d, 700, 180, 600, 300, 120);
        AddRiver(d, {{0, 600}, {500, 700}, {1100, 620}, {1700, 720}, {2100, 500}, {2400, 0}}, 60);
        AddFord(d, {1100, 540}, {1100, 720}, 110);
        AddRoad(d, {{0, 1200}, {800, 1150}, {1400, 1000}, {2000, 1050}, {2300, 950}});
        AddRoad(d, {{1400, 1000}, {1600, 600}, {1700, 0}});
        AddWood(d, 1300, 1350, 350, 250, W::Pine);
        AddWood(d, 2000, 1700, 300, 150, W::Pine);
        AddVillage(d, 900, 1000, 90, 5, V::Farm);
        AddSide(d, 0, 200, 800, 800, 1700, {300, 1150}, {300, 1350});
        AddSide(d, 1, 1850, 500, 2300, 1500, {2150, 900}, {2150, 1100});
        all.push_back(d);
    }
    {  // A mountain castle held by the smaller army on the west.
        FieldDesign d = Start("C7L", 507, 26, 8, 0.4);
        AddHill(d, 700, 1000, 620, 720, 85);
        AddHill(d, 600, 180, 500, 250, 130);
        AddHill(d, 700, 1870, 600, 250, 125);
        CastleOf(d, 0,
                 {{{{450, 700}, {900, 620}, {1050, 950}, {950, 1350}, {500, 1400}, {380, 1050}}, {0, 1, 2, 3}}},
                 {700, 1000}, 120, 0);
        AddRiver(d, {{3000, 300}, {2000, 700}, {1500, 1300}, {1300, 2000}}, 40);
        AddRoad(d, {{3000, 1050}, {2300, 1100}, {1700, 1050}, {1300, 1120}, {1000, 1150}});
        AddWood(d, 1500, 600, 250, 200, W::Pine);
        AddWood(d, 1850, 1500, 300, 200, W::Pine);
        AddWood(d, 2500, 1600, 200, 150, W::Broadleaf);
        AddSide(d, 0, 420, 750, 1000, 1300, {600, 920}, {780, 1080});
        AddSide(d, 1, 2200, 400, 2800, 1600, {2680, 900}, {2680, 1120});
        all.push_back(d);
    }
    {  // Winter on the plain above the river; low hills to the north.
        FieldDesign d = Start("A3L", 603, 16, 6, 0.8);
        AddRiver(d, {{0, 1500}, {700, 1620}, {1400, 1550}, {2100, 1700}, {3000, 1600}}, 90);
        AddFord(d, {900, 1500}, {900, 1720}, 120);
        AddFord(d, {2300, 1580}, {2300, 1800}, 120);
        AddHill(d, 1500, 300, 800, 300, 60);
        AddHill(d, 2600, 500, 300, 250, 45, 20);
        d.paddies.push_back({1000, 900, 1700, 1350});
        AddVillage(d, 600, 700, 120, 7, V::Farm);
        AddVillage(d, 2200, 1200, 100, 5, V::Farm);
        AddWood(d, 1900, 700, 200, 150, W::Broadleaf);
        AddWood(d, 400, 1200, 150, 100, W::Bamboo);
        AddRoad(d, {{0, 900}, {900, 850}, {1800, 950}, {3000, 900}});
        OpenSides(d, 300, 1400);
        all.push_back(d);
    }
    {  // The great river plain: the river and its tributary, paddies on the banks.
        FieldDesign d = Start("A4L", 303, 8, 2, 0.15);
        AddHill(d, 500, 1000, 420, 340, 10);
        AddHill(d, 2500, 700, 420, 340, 14);
        AddHill(d, 2700, 1700, 330, 260, 8);
        AddRiver(d, {{1450, -60}, {1550, 350}, {1400, 800}, {1600, 1250}, {1500, 1650}, {1580, 2060}}, 90);
        AddRiver(d, {{3060, 300}, {2500, 460}, {1900, 560}, {1510, 620}}, 40);
        AddFord(d, {1380, 330}, {1700, 330}, 110);
        AddFord(d, {1350, 1050}, {1700, 1050}, 110);
        AddRoad(d, {{-40, 1500}, {700, 1450}, {1500, 1450}, {2200, 1200}, {3040, 1100}});
        Scatter(d, 1300, 700, 150, 10, 12, 19);
        Scatter(d, 1720, 1320, 150, 10, 12, 19);
        Scatter(d, 1680, 220, 130, 8, 12, 19);
        AddWood(d, 2300, 950, 130, 100, W::Bamboo);
        AddWood(d, 1000, 420, 180, 140, W::Pine);
        Scatter(d, 2500, 1600, 180, 12, 40, 49);
        AddVillage(d, 620, 1640, 170, 9, V::Farm);
        AddRect(d, 200, 150, 900, 390);
        AddRect(d, 1950, 1640, 2750, 1880);
        AddRect(d, 1750, 700, 2150, 950);
        AddLandmark(d, 293, 700, 1480);
        AddLandmark(d, 310, 1150, 1470);
        AddLandmark(d, 320, 2600, 520);
        AddLandmark(d, 325, 1900, 1300);
        AddSide(d, 0, 180, 400, 900, 1600, {350, 1000}, {350, 760});
        AddSide(d, 1, 2100, 400, 2820, 1600, {2650, 1000}, {2650, 1280});
        all.push_back(d);
    }
    {  // Between the two rivers, around the shrine wood.
        FieldDesign d = Start("A5L", 805, 10, 4, 0.3);
        AddRiver(d, {{0, 250}, {800, 350}, {1600, 250}, {2400, 400}, {3000, 300}}, 110);
        AddRiver(d, {{0, 1720}, {900, 1650}, {1800, 1780}, {3000, 1700}}, 100);
        AddFord(d, {1200, 1560}, {1200, 1850}, 140);
        d.marshes.push_back({{1500, 1480}, 250, 110});
        AddWood(d, 1260, 760, 200, 150, W::Broadleaf);
        AddVillage(d, 1300, 880, 90, 4, V::Temple);
        AddVillage(d, 2250, 720, 120, 6, V::Farm);
        AddWood(d, 2000, 1350, 110, 90, W::Bamboo);
        Scatter(d, 700, 460, 350, 10, 12, 19);
        Scatter(d, 2300, 1560, 350, 10, 12, 19);
        Scatter(d, 900, 1300, 250, 8, 40, 49);
        d.paddies.push_back({400, 600, 1000, 880});
        d.paddies.push_back({1900, 1100, 2500, 1380});
        AddRoad(d, {{0, 1000}, {1500, 1060}, {3000, 1050}});
        AddRoad(d, {{1500, 1060}, {1560, 500}, {1600, 0}});
        OpenSides(d, 500, 1550);
        all.push_back(d);
    }
    {  // The river runs across the field: two fords and a bridge.
        FieldDesign d = Start("A6L", 906, 14, 6, 0.35);
        AddHill(d, 1600, 1950, 700, 380, 140);
        AddRiver(d, {{0, 420}, {900, 600}, {1500, 1100}, {2000, 1300}, {3000, 1350}}, 95);
        AddFord(d, {1130, 700}, {1300, 860}, 130);
        AddFord(d, {1800, 1120}, {1760, 1330}, 120);
        AddRoad(d, {{0, 1200}, {1200, 1300}, {2400, 1100}, {3000, 1000}});
        AddWood(d, 1300, 1600, 300, 150, W::Pine);
        AddWood(d, 600, 1000, 180, 120, W::Bamboo);
        AddVillage(d, 2500, 700, 110, 6, V::Farm);
        d.paddies.push_back({500, 1150, 1000, 1500});
        AddSide(d, 0, 200, 800, 800, 1650, {300, 1150}, {300, 1350});
        AddSide(d, 1, 2200, 300, 2800, 1150, {2680, 620}, {2680, 830});
        all.push_back(d);
    }
    {  // A castle on a summit between crags, a long road up.
        // The summit and its crags stand before the holders' camp round
        // (2500, 1000): the commander and his guards' posts stay on open
        // ground behind the castle.
        // Its headquarters flags stay in the camp, beyond the reach of the
        // attackers' front as the battle opens.
        FieldDesign d = Start("C5L", 1005, 30, 9, 0.45);
        AddHill(d, 1880, 1000, 600, 700, 95);
        AddHill(d, 1780, 230, 550, 250, 145);
        AddHill(d, 1780, 1800, 550, 250, 145);
        CastleOf(d, 1,
                 {{{{1630, 800}, {2080, 700}, {2180, 1150}, {1730, 1300}}, {0, 1, 2, 3}}},
                 {1960, 990}, 90, 0);
        AddRoad(d, {{0, 1000}, {700, 950}, {1100, 1100}, {1400, 980}, {1680, 1050}});
        AddRiver(d, {{600, 0}, {700, 700}, {500, 1300}, {650, 2000}}, 35);
        AddWood(d, 1150, 550, 250, 200, W::Pine);
        AddWood(d, 1250, 1450, 250, 200, W::Pine);
        AddSide(d, 1, 1630, 780, 2130, 1250, {2330, 1120}, {2620, 1120});
        AddSide(d, 0, 200, 500, 500, 1500, {300, 900}, {300, 1100});
        all.push_back(d);
    }
    {  // A flatland castle with a wet moat, a lake and its castle town.
        // The castle stands before its holders' camp round (2500, 1000): the
        // commander and his guards' posts stay on open ground behind it.
        FieldDesign d = Start("C6L", 1106, 12, 5, 0.3);
        CastleOf(d, 1,
                 {{{{1500, 600}, {2100, 650}, {2050, 1400}, {1450, 1350}}, {0, 1, 2, 3}}},
                 {1780, 990}, 120, 60);
        d.lakes.push_back({{900, 350}, 350, 180});
        AddVillage(d, 1050, 1080, 200, 12, V::Town);
        AddRoad(d, {{0, 1100}, {700, 1150}, {1050, 1080}, {1465, 975}});
        AddRoad(d, {{1050, 1080}, {1350, 1600}, {1750, 1385}});
        d.paddies.push_back({300, 1300, 1000, 1750});
        AddWood(d, 1650, 380, 200, 150, W::Broadleaf);
        AddSide(d, 1, 1550, 700, 2050, 1300, {1700, 1080}, {1850, 1120});
        all.push_back(d);
    }
    {  // High mountains: crags on every side, a mountain tarn, narrow ways.
        FieldDesign d = Start("A8L", 1208, 40, 14, 0.6);
        AddHill(d, 800, 280, 600, 350, 150, 10);
        AddHill(d, 1500, 1000, 350, 300, 145);
        AddHill(d, 2300, 1770, 700, 350, 150, -10);
        AddHill(d, 2600, 230, 400, 250, 140);
        AddHill(d, 600, 1770, 500, 300, 135);
        AddRiver(d, {{1300, 0}, {1200, 500}, {1080, 800}}, 30);
        d.lakes.push_back({{1050, 860}, 120, 80});
        AddWood(d, 1100, 1400, 250, 150, W::Pine);
        AddWood(d, 2000, 600, 250, 180, W::Pine);
        AddRoad(d, {{0, 1050}, {700, 1100}, {1150, 1250}, {1800, 1350}, {2300, 1000}, {3000, 1000}}, 50);
        AddSide(d, 0, 200, 800, 700, 1300, {300, 980}, {300, 1150});
        AddSide(d, 1, 2300, 700, 2800, 1300, {2680, 900}, {2680, 1100});
        all.push_back(d);
    }
    {  // A castle in a river bend, open only to the west.
        // The castle stands at the bend's open neck, before its holders' camp
        // round (2500, 1000): the commander and his guards' posts stay on
        // open ground behind it.
        // Its headquarters flags stay in the camp, beyond the reach of the
        // attackers' front as the battle opens.
        FieldDesign d = Start("C2L", 1302, 14, 6, 0.3);
        AddRiver(d, {{1900, 0}, {2000, 500}, {2700, 560}, {2880, 1100}, {2650, 1620}, {2000, 1720}, {1900, 2000}}, 80);
        AddFord(d, {2300, 390}, {2300, 690}, 120);
        CastleOf(d, 1,
                 {{{{1950, 750}, {2350, 800}, {2350, 1350}, {1950, 1350}}, {0, 1, 2, 3}}},
                 {2180, 1060}, 100, 0);
        AddRoad(d, {{0, 1050}, {1000, 1000}, {1600, 1080}, {1940, 1050}});
        AddWood(d, 1200, 500, 200, 150, W::Bamboo);
        AddWood(d, 1300, 1500, 250, 150, W::Broadleaf);
        AddVillage(d, 700, 600, 110, 6, V::Farm);
        AddSide(d, 1, 2000, 780, 2320, 1320, {2450, 1170}, {2560, 1180});
        all.push_back(d);
    }
    {  // The great mountain castle, bailey above bailey, held from the west.
        FieldDesign d = Start("C3L", 1403, 28, 8, 0.4);
        AddHill(d, 650, 1000, 650, 750, 95);
        AddHill(d, 300, 230, 400, 300, 150);
        AddHill(d, 350, 1830, 450, 250, 150);
        CastleOf(d, 0,
                 {{{{380, 600}, {950, 560}, {1100, 1000}, {950, 1440}, {420, 1400}, {300, 1000}}, {0, 1, 2, 3}}},
                 {680, 980}, 100, 0);
        AddVillage(d, 1600, 1000, 220, 14, V::Town);
        AddRoad(d, {{3000, 1000}, {2300, 1050}, {1600, 1000}, {1090, 1120}});
        AddRiver(d, {{2000, 0}, {2100, 700}, {1950, 1400}, {2100, 2000}}, 70);
        AddFord(d, {1980, 320}, {2140, 320}, 110);
        AddWood(d, 1500, 400, 300, 200, W::Pine);
        AddWood(d, 1600, 1650, 300, 180, W::Pine);
        AddSide(d, 0, 380, 650, 1000, 1350, {640, 1070}, {740, 1060});
        all.push_back(d);
    }
    {  // The coast road under the cliffs, the sea on the south.
        FieldDesign d = Start("A9L", 1509, 18, 6, 0.4);
        d.lakes.push_back({{1500, 2150}, 1350, 420});
        for (Hill h : {Hill{{200, 250}, 350, 330, 150, 15}, Hill{{800, 420}, 300, 280, 140, -10},
                       Hill{{1350, 230}, 420, 300, 150, 5}, Hill{{2000, 380}, 350, 320, 145, 25},
                       Hill{{2600, 200}, 420, 280, 150, -5}, Hill{{2950, 450}, 250, 250, 140, 0}})
            d.hills.push_back(h);
        AddRoad(d, {{0, 1250}, {800, 1200}, {1500, 1330}, {2200, 1230}, {3000, 1300}});
        AddWood(d, 1000, 880, 250, 120, W::Pine);
        AddWood(d, 2500, 900, 200, 110, W::Pine);
        AddVillage(d, 2200, 1480, 100, 5, V::Farm);
        AddSide(d, 0, 200, 900, 800, 1450, {300, 1080}, {300, 1280});
        AddSide(d, 1, 2200, 900, 2800, 1450, {2680, 1080}, {2680, 1280});
        all.push_back(d);
    }
    {  // A great plain castle: three rings and a wide moat; a river to cross.
        // The castle stands before its holders' camp round (2500, 1000): the
        // commander and his guards' posts stay on open ground behind it.
        FieldDesign d = Start("C8M", 1608, 12, 4, 0.3);
        CastleOf(d, 1,
                 {{{{1510, 620}, {2160, 620}, {2160, 1380}, {1510, 1380}}, {0, 1, 2, 3}}},
                 {1825, 1000}, 110, 70);
        AddRiver(d, {{700, 0}, {800, 700}, {650, 1400}, {750, 2000}}, 100);
        AddFord(d, {600, 1600}, {820, 1600}, 120);
        AddVillage(d, 1150, 1000, 250, 16, V::Town);
        AddRoad(d, {{0, 1000}, {1000, 1000}, {1330, 1000}});
        AddRoad(d, {{1300, 300}, {1810, 300}, {1810, 430}});
        AddWood(d, 1300, 1650, 220, 140, W::Bamboo);
        AddSide(d, 0, 200, 300, 560, 1700, {300, 900}, {300, 1100});
        AddSide(d, 1, 1580, 680, 2090, 1320, {1760, 1080}, {1890, 1080});
        all.push_back(d);
    }
    {  // A hilltop castle in the north-east above a ravine.
        // The castle hill stands before its holders' camp round (2500, 1000),
        // the ravine's stream below it on the west and south: the commander
        // and his guards' posts stay on open ground behind it.
        // Its headquarters flags stay in the camp, beyond the reach of the
        // attackers' front as the battle opens.
        FieldDesign d = Start("C9L", 1809, 20, 7, 0.35);
        AddHill(d, 1800, 600, 500, 450, 80);
        CastleOf(d, 1,
                 {{{{1500, 350}, {2100, 300}, {2200, 800}, {1600, 900}}, {0, 1, 2, 3}}},
                 {1880, 590}, 90, 0);
        AddRiver(d, {{1200, 0}, {1300, 800}, {1700, 1150}, {2200, 1200}, {3000, 1300}}, 45);
        AddRoad(d, {{0, 1400}, {900, 1300}, {1400, 1150}, {1900, 860}});
        AddWood(d, 750, 600, 300, 200, W::Pine);
        AddWood(d, 2500, 1600, 300, 200, W::Broadleaf);
        AddVillage(d, 900, 1600, 120, 6, V::Farm);
        AddSide(d, 1, 1550, 380, 2150, 850, {2330, 680}, {2450, 680});
        all.push_back(d);
    }
    {  // The greatest castle of the east: a walled town by the sea.
        // The castle stands before its holders' camp round (2500, 1000): the
        // commander and his guards' posts stay on open ground behind it.
        FieldDesign d = Start("C10L", 1910, 16, 6, 0.3);
        d.lakes.push_back({{3400, 1750}, 650, 700});
        CastleOf(d, 1,
                 {{{{1200, 450}, {1950, 400}, {2100, 900}, {1900, 1450}, {1250, 1550}, {1100, 1000}}, {0, 1, 2, 3, 4, 5}}},
                 {1650, 915}, 110, 50);
        AddVillage(d, 1430, 1250, 110, 7, V::Town);
        AddVillage(d, 1800, 400, 80, 4, V::Temple);
        AddHill(d, 500, 600, 450, 350, 70);
        AddWood(d, 700, 1400, 300, 200, W::Pine);
        AddRoad(d, {{0, 1000}, {550, 950}, {930, 1000}});
        AddSide(d, 0, 200, 300, 1100, 1700, {300, 900}, {300, 1100});
        AddSide(d, 1, 1250, 550, 1900, 1350, {1600, 1030}, {1710, 1040});
        all.push_back(d);
    }
    {  // A long valley between ridges; the ambush waits on the heights.
        FieldDesign d = Start("A10M", 2010, 26, 9, 0.5);
        // Two mountain chains, their crests rising and falling, and the pass
        // between them.
        d.ridges.push_back({{{-60, 230}, {600, 330}, {1250, 170}, {1900, 320}, {2500, 210}, {3060, 360}}, 600, 62});
        d.ridges.push_back({{{-60, 1790}, {700, 1690}, {1350, 1860}, {2000, 1720}, {2600, 1840}, {3060, 1760}}, 580, 62});
        AddHill(d, 1250, 140, 420, 190, 60, 8);
        AddHill(d, 2600, 200, 260, 170, 55, -20);
        AddHill(d, 500, 260, 200, 150, 48);
        AddHill(d, 2250, 1840, 460, 190, 60, -6);
        AddHill(d, 700, 1720, 240, 200, 52, 25);
        AddHill(d, 2400, 1000, 350, 400, 50);
        AddRiver(d, {{0, 1150}, {1000, 1060}, {1800, 1150}, {2400, 1320}, {3000, 1250}}, 35);
        AddFord(d, {700, 990}, {700, 1230}, 110);
        AddFord(d, {2000, 1080}, {2000, 1330}, 110);
        AddFord(d, {2750, 1150}, {2750, 1380}, 110);
        AddRoad(d, {{0, 950}, {900, 900}, {1600, 980}, {2100, 900}, {3000, 950}});
        AddWood(d, 1300, 660, 300, 150, W::Pine);
        AddWood(d, 1900, 1380, 250, 130, W::Pine);
        AddSide(d, 0, 200, 700, 800, 1350, {300, 880}, {300, 1060});
        AddSide(d, 1, 2200, 650, 2800, 1250, {2680, 850}, {2680, 1050});
        all.push_back(d);
    }
    {  // A square castle south of a river, marsh on its approaches.
        // The castle stands before its holders' camp round (2500, 1000): the
        // commander and his guards' posts stay on open ground behind it.
        FieldDesign d = Start("C12M", 2112, 12, 5, 0.3);
        AddRiver(d, {{0, 500}, {1200, 700}, {2000, 600}, {3000, 650}}, 70);
        CastleOf(d, 1,
                 {{{{1420, 850}, {2120, 850}, {2120, 1500}, {1420, 1500}}, {0, 1, 2, 3}}},
                 {1770, 1175}, 100, 45);
        d.marshes.push_back({{970, 1550}, 300, 200});
        d.marshes.push_back({{900, 1200}, 200, 150});
        d.paddies.push_back({350, 1350, 800, 1750});
        AddVillage(d, 1000, 900, 100, 6, V::Farm);
        AddWood(d, 700, 250, 260, 130, W::Pine);
        AddWood(d, 2600, 280, 220, 120, W::Broadleaf);
        AddWood(d, 1250, 1850, 200, 100, W::Pine);
        Scatter(d, 1270, 760, 180, 8, 12, 19);
        AddRoad(d, {{0, 1100}, {1000, 1130}, {1380, 1175}});
        AddRoad(d, {{1500, 0}, {1320, 700}, {1100, 1130}});
        AddSide(d, 0, 200, 800, 800, 1700, {300, 1150}, {300, 1350});
        AddSide(d, 1, 1470, 900, 2070, 1450, {1690, 1300}, {1850, 1300});
        all.push_back(d);
    }
    {  // The stream, and behind it the palisade and the guns.
        FieldDesign d = Start("A11L", 2211, 14, 5, 0.25);
        AddRiver(d, {{1650, 0}, {1600, 600}, {1700, 1200}, {1620, 2000}}, 40);
        AddFord(d, {1520, 400}, {1720, 400}, 110);
        AddFord(d, {1560, 1600}, {1760, 1600}, 110);
        d.palisades.push_back({{{1850, 200}, {1900, 700}, {1880, 1300}, {1920, 1900}},
                                {{1860, 330}, {1885, 620}, {1895, 900}, {1885, 1180}, {1895, 1480}, {1910, 1760}}});
        d.ridges.push_back({{{2200, 200}, {2250, 1000}, {2200, 1800}}, 500, 45});
        AddHill(d, 600, 600, 350, 250, 35);
        d.paddies.push_back({800, 1200, 1400, 1700});
        AddWood(d, 2550, 500, 200, 250, W::Broadleaf);
        AddWood(d, 500, 1500, 200, 150, W::Pine);
        AddRoad(d, {{0, 1000}, {900, 980}, {1700, 1000}, {2300, 950}, {3000, 980}});
        AddSide(d, 1, 2100, 300, 2800, 1700, {2680, 900}, {2680, 1100});
        all.push_back(d);
    }
    {  // A riverside castle where two rivers meet.
        // The castle stands before its holders' camp round (2500, 1000): the
        // commander and his guards' posts stay on open ground behind it.
        // Its headquarters flags stay in the camp, beyond the reach of the
        // attackers' front as the battle opens.
        FieldDesign d = Start("C13L", 2313, 12, 5, 0.3);
        AddRiver(d, {{0, 350}, {1200, 300}, {2400, 400}, {3000, 330}}, 80);
        AddRiver(d, {{2870, 330}, {2880, 1000}, {2860, 2000}}, 80);
        AddFord(d, {650, 220}, {650, 460}, 130);
        CastleOf(d, 1,
                 {{{{1420, 550}, {2120, 580}, {2170, 1250}, {1470, 1300}}, {0, 1, 2, 3}}},
                 {1810, 910}, 110, 40);
        AddVillage(d, 1130, 1250, 200, 12, V::Town);
        d.paddies.push_back({300, 1300, 900, 1800});
        AddRoad(d, {{0, 1000}, {800, 960}, {1430, 925}});
        AddRoad(d, {{1200, 2000}, {1300, 1550}, {1820, 1300}});
        AddWood(d, 700, 650, 200, 130, W::Bamboo);
        AddSide(d, 1, 1520, 650, 2070, 1200, {2330, 1040}, {2450, 1050});
        all.push_back(d);
    }
    {  // The bare winter plateau: dry grass and scrub, copses of pine and
       // oak, the road the army came down from the north and the road down
       // to the castle town, and the ravine cut deep at its eastern foot.
        FieldDesign d = Start("A12L", 2412, 35, 5, 0.9);
        AddHill(d, 1350, 850, 1500, 950, 26);
        AddHill(d, 900, 500, 520, 330, 12, 15);
        AddHill(d, 1800, 1150, 600, 360, 10, -10);
        // The ravine: its stream cut deep below the plateau, a bridge
        // where the road to the castle town crosses, one ford lower down.
        AddRiver(d, {{1900, 2040}, {2080, 1700}, {2300, 1520}, {2600, 1380}, {2820, 1180}, {3040, 1120}}, 34);
        AddFord(d, {2180, 1540}, {2290, 1680}, 100);
        AddRoad(d, {{-40, 1250}, {700, 1180}, {1500, 1120}, {2200, 1180}, {2700, 1450}, {3040, 1560}});
        AddRoad(d, {{900, -40}, {1000, 500}, {1250, 900}, {1500, 1120}}, 44);
        AddRoad(d, {{1500, 1120}, {1560, 1600}, {1450, 2040}}, 40);
        // Copses on the open plateau; pines on the ravine's lip.
        AddWood(d, 850, 380, 170, 110, W::Broadleaf);
        AddWood(d, 1600, 560, 140, 90, W::Pine);
        AddWood(d, 2250, 720, 170, 120, W::Broadleaf);
        AddWood(d, 620, 1620, 230, 130, W::Pine);
        AddWood(d, 1180, 1420, 110, 80, W::Pine);
        AddWood(d, 2600, 1700, 220, 120, W::Pine);
        AddWood(d, 2000, 300, 120, 80, W::Bamboo);
        // Scrub and lone trees all over the moor.
        for (auto [x, y, r, n] : {std::tuple{1000, 950, 200, 8}, {1200, 300, 260, 10}, {1250, 760, 240, 10},
                                  {1900, 900, 260, 11}, {1800, 380, 200, 8}, {1000, 1650, 180, 7},
                                  {1850, 1750, 180, 7}, {2150, 1000, 180, 7}, {950, 1350, 150, 6}})
            Scatter(d, x, y, r, n, 40, 49);
        Scatter(d, 1500, 900, 500, 10, 0, 11);
        Scatter(d, 2050, 1350, 140, 6, 0, 11);
        // A pond of reeds in a hollow, the hamlets at the plateau's foot,
        // a temple among its trees by the northern road.
        d.lakes.push_back({{1230, 1720}, 120, 70});
        d.marshes.push_back({{1200, 1780}, 210, 110});
        AddVillage(d, 1820, 1550, 110, 6, V::Farm);
        AddVillage(d, 1150, 170, 90, 4, V::Temple);
        AddVillage(d, 2700, 1750, 90, 4, V::Farm);
        d.paddies.push_back({2400, 1800, 2950, 1990});
        for (auto [type, x, y] : {std::tuple{323, 1470, 1080}, {324, 980, 560}, {314, 1640, 1020}, {315, 1665, 1030},
                                  {316, 1690, 1040}, {298, 2420, 1410}, {300, 2760, 1240}, {304, 2140, 1230}})
            AddLandmark(d, type, x, y);
        OpenSides(d, 300, 1450);
        all.push_back(d);
    }
    {  // A terrace castle above the coast pines.
        // The terrace castle stands before its holders' camp round
        // (2500, 1000): the commander and his guards' posts stay on open
        // ground behind it.
        // Its headquarters flags stay in the camp, beyond the reach of the
        // attackers' front as the battle opens.
        FieldDesign d = Start("C14L", 2514, 18, 5, 0.35);
        d.lakes.push_back({{1500, 2420}, 2200, 560});
        AddHill(d, 1830, 800, 600, 600, 35);
        CastleOf(d, 1,
                 {{{{1480, 400}, {2130, 450}, {2180, 1200}, {1530, 1250}}, {0, 1, 2, 3}}},
                 {1840, 760}, 100, 0);
        AddVillage(d, 1080, 880, 230, 14, V::Town);
        AddWood(d, 1000, 1580, 500, 120, W::Pine);
        AddWood(d, 2300, 1560, 400, 100, W::Pine);
        AddRoad(d, {{0, 900}, {1000, 850}, {1510, 825}});
        AddSide(d, 1, 1560, 450, 2130, 1150, {2330, 880}, {2450, 880});
        AddSide(d, 0, 200, 300, 800, 1350, {300, 730}, {300, 930});
        all.push_back(d);
    }
    {  // The same castle from the north-west: a river, marsh and open fields.
        // The castle stands before its holders' camp round (2500, 1000): the
        // commander and his guards' posts stay on open ground behind it.
        // Its headquarters flags stay in the camp, beyond the reach of the
        // attackers' front as the battle opens.
        FieldDesign d = Start("C15L", 2615, 14, 5, 0.5);
        CastleOf(d, 1,
                 {{{{1370, 800}, {2020, 750}, {2070, 1550}, {1420, 1600}}, {0, 1, 2, 3}}},
                 {1730, 1170}, 110, 50);
        AddRiver(d, {{800, 0}, {900, 800}, {750, 1400}, {850, 2000}}, 60);
        d.marshes.push_back({{1080, 1580}, 230, 170});
        d.paddies.push_back({1050, 250, 1650, 650});
        AddRoad(d, {{0, 1150}, {900, 1200}, {1385, 1175}});
        AddWood(d, 1100, 900, 150, 100, W::Bamboo);
        AddWood(d, 2500, 350, 250, 150, W::Pine);
        AddSide(d, 0, 200, 400, 700, 1700, {300, 950}, {300, 1150});
        AddSide(d, 1, 1470, 850, 2020, 1500, {2330, 1300}, {2480, 1300});
        all.push_back(d);
    }
    {  // Hanazawa again, from the south-west: the castle hill and its tarn.
        // The castle hill stands before its holders' camp round (2500, 1000),
        // and the tarn lies north of the camp: the commander and his guards'
        // posts stay on open ground.
        // Its headquarters flags stay in the camp, beyond the reach of the
        // attackers' front as the battle opens.
        FieldDesign d = Start("C16L", 2716, 18, 7, 0.6);
        AddHill(d, 1880, 1450, 500, 400, 75);
        CastleOf(d, 1,
                 {{{{1530, 1150}, {2180, 1100}, {2230, 1750}, {1580, 1800}}, {0, 1, 2, 3}}},
                 {1890, 1450}, 90, 0);
        d.lakes.push_back({{2200, 430}, 350, 220});
        AddRiver(d, {{1850, 430}, {1300, 300}, {0, 250}}, 40);
        AddWood(d, 1400, 650, 300, 200, W::Pine);
        AddWood(d, 900, 1550, 250, 150, W::Pine);
        AddRoad(d, {{0, 1200}, {900, 1150}, {1300, 1300}, {1550, 1475}});
        AddSide(d, 1, 1580, 1150, 2180, 1750, {2330, 1540}, {2490, 1530});
        all.push_back(d);
    }
    FieldDesign takatenjin = Start("C17M", 2817, 24, 8, 0.4);
    {  // A ridge castle of two baileys, held from the west.
        FieldDesign& d = takatenjin;
        d.ridges.push_back({{{200, 700}, {700, 1000}, {1000, 1300}}, 600, 55});
        AddHill(d, 300, 1850, 450, 300, 150);
        AddHill(d, 500, 150, 400, 250, 145);
        CastleOf(d, 0,
                 {{{{300, 650}, {850, 700}, {1050, 1150}, {900, 1450}, {400, 1300}}, {0, 1, 2, 3}}},
                 {650, 1020}, 90, 0);
        AddRiver(d, {{2000, 0}, {1900, 900}, {2100, 2000}}, 60);
        AddRoad(d, {{3000, 1000}, {1950, 950}, {1500, 1000}, {1200, 1050}, {975, 930}});
        AddWood(d, 1500, 500, 300, 200, W::Pine);
        AddWood(d, 1500, 1600, 250, 150, W::Pine);
        AddSide(d, 0, 350, 700, 1000, 1350, {560, 1100}, {740, 1110});
        AddSide(d, 1, 2300, 400, 2800, 1600, {2680, 900}, {2680, 1100});
        all.push_back(d);
    }
    {  // The same castle, now taken and held from the east; autumn.
        FieldDesign d = Mirrored(takatenjin, "C18M", 2918);
        d.dryness = 0.75;
        d.woods.clear();
        AddWood(d, 1650, 450, 250, 180, W::Broadleaf);
        AddWood(d, 1300, 1500, 300, 200, W::Broadleaf);
        AddVillage(d, 700, 1000, 120, 6, V::Farm);
        all.push_back(d);
    }
    {  // Rolling wooded hills with ponds: a battle of flanks.
        FieldDesign d = Start("A13M", 3013, 20, 12, 0.35);
        AddHill(d, 800, 500, 300, 250, 50);
        AddHill(d, 1500, 1200, 350, 300, 55, 30);
        AddHill(d, 2300, 600, 300, 250, 45);
        AddHill(d, 2000, 1700, 300, 200, 40);
        AddWood(d, 1100, 800, 200, 150, W::Broadleaf);
        AddWood(d, 1900, 1100, 220, 150, W::Pine);
        AddWood(d, 600, 1400, 250, 150, W::Broadleaf);
        AddWood(d, 2500, 1400, 200, 200, W::Pine);
        AddWood(d, 1500, 400, 200, 120, W::Bamboo);
        d.lakes.push_back({{1200, 1620}, 120, 80});
        d.lakes.push_back({{2400, 1050}, 90, 70});
        AddRoad(d, {{0, 900}, {1000, 1000}, {2000, 850}, {3000, 900}});
        AddVillage(d, 1700, 750, 100, 5, V::Farm);
        all.push_back(d);
    }
    {  // A plain castle with the river for its western moat.
        // The castle stands before its holders' camp round (2500, 1000): the
        // commander and his guards' posts stay on open ground behind it.
        FieldDesign d = Start("C11L", 3111, 10, 4, 0.3);
        AddRiver(d, {{1650, 0}, {1600, 700}, {1700, 1300}, {1600, 2000}}, 80);
        CastleOf(d, 1,
                 {{{{1800, 600}, {2350, 600}, {2350, 1400}, {1800, 1400}}, {0, 1, 2, 3}}},
                 {2075, 1000}, 110, 40);
        AddVillage(d, 1150, 1000, 250, 15, V::Town);
        d.paddies.push_back({300, 300, 1000, 800});
        d.paddies.push_back({400, 1300, 1100, 1750});
        AddWood(d, 1350, 380, 220, 140, W::Pine);
        AddWood(d, 1400, 1640, 170, 110, W::Broadleaf);
        AddWood(d, 2850, 250, 130, 110, W::Bamboo);
        AddVillage(d, 700, 1100, 90, 4, V::Farm);
        Scatter(d, 1400, 700, 160, 8, 12, 19);
        AddRoad(d, {{0, 1000}, {1150, 1000}, {1770, 1000}});
        AddRoad(d, {{1250, 2040}, {1470, 1720}, {1830, 1660}, {2075, 1440}});
        AddSide(d, 1, 1850, 650, 2300, 1350, {2000, 1100}, {2150, 1100});
        all.push_back(d);
    }
    {  // The castle on the mountain's summit above the wide river.
        // The summit stands before its holders' camp round (2500, 1000): the
        // commander and his guards' posts stay on open ground behind the
        // castle.
        // Its headquarters flags stay in the camp, beyond the reach of the
        // attackers' front as the battle opens.
        FieldDesign d = Start("C19L", 3219, 22, 8, 0.4);
        AddHill(d, 1930, 900, 650, 700, 118);
        CastleOf(d, 1,
                 {{{{1730, 700}, {2130, 650}, {2180, 1100}, {1780, 1150}}, {0, 1, 2, 3}}},
                 {1970, 900}, 90, 0);
        AddRoad(d, {{0, 1300}, {900, 1250}, {1300, 1100}, {1760, 925}});
        AddRiver(d, {{0, 300}, {1000, 400}, {2000, 200}, {3000, 300}}, 110);
        AddFord(d, {600, 200}, {600, 500}, 140);
        AddVillage(d, 1300, 1500, 200, 14, V::Town);
        AddWood(d, 1450, 530, 200, 130, W::Pine);
        AddWood(d, 1850, 1500, 250, 150, W::Pine);
        AddSide(d, 1, 1780, 700, 2130, 1100, {2330, 990}, {2450, 980});
        all.push_back(d);
    }
    {  // The fortress island of the delta, channels on two sides.
        // The castle stands before its holders' camp round (2500, 1000): the
        // commander and his guards' posts stay on open ground behind it.
        FieldDesign d = Start("C20L", 3320, 8, 3, 0.3);
        AddRiver(d, {{1700, 0}, {1780, 900}, {1700, 2000}}, 130);
        AddRiver(d, {{1780, 900}, {2300, 700}, {3000, 800}}, 90);
        AddFord(d, {2500, 600}, {2500, 900}, 130);
        CastleOf(d, 1,
                 {{{{1900, 1300}, {2450, 1250}, {2500, 1800}, {1950, 1850}}, {0, 1, 2, 3}}},
                 {2210, 1550}, 90, 30);
        AddVillage(d, 2780, 1870, 120, 6, V::Temple);
        d.marshes.push_back({{1900, 1960}, 150, 100});
        d.marshes.push_back({{1200, 600}, 300, 200});
        AddRoad(d, {{0, 1300}, {1000, 1250}, {1750, 1400}, {1920, 1575}});
        AddFord(d, {1560, 1800}, {1860, 1800}, 120);
        d.paddies.push_back({300, 300, 1000, 800});
        AddWood(d, 1100, 1600, 200, 130, W::Pine);
        AddWood(d, 2450, 320, 240, 120, W::Broadleaf);
        AddVillage(d, 1250, 1000, 110, 5, V::Farm);
        Scatter(d, 1600, 1150, 140, 8, 12, 19);
        AddSide(d, 1, 1800, 1200, 2600, 1800, {2160, 1620}, {2260, 1610});
        all.push_back(d);
    }
    {  // The basin of the crossroads, ringed by the hills the armies held.
        FieldDesign d = Start("A14L", 3414, 18, 7, 0.45);
        AddHill(d, 450, 700, 250, 200, 55);
        AddHill(d, 700, 1150, 200, 200, 45);
        AddHill(d, 1200, 1830, 450, 300, 110);
        AddHill(d, 2700, 1700, 400, 350, 120);
        AddHill(d, 700, 180, 500, 250, 100);
        AddRoad(d, {{0, 1000}, {1000, 1050}, {2000, 1000}, {3000, 1100}});
        AddRoad(d, {{1100, 1040}, {900, 400}, {800, 0}});
        AddRoad(d, {{1300, 1050}, {1500, 1500}, {1700, 2000}});
        AddRiver(d, {{1250, 0}, {1150, 600}, {1250, 1300}, {1100, 2000}}, 30);
        AddFord(d, {1080, 800}, {1300, 800}, 100);
        AddWood(d, 1700, 600, 200, 150, W::Pine);
        AddWood(d, 2100, 1300, 200, 120, W::Broadleaf);
        AddVillage(d, 1550, 1000, 100, 6, V::Farm);
        d.paddies.push_back({1800, 650, 2400, 950});
        AddSide(d, 0, 250, 450, 900, 1400, {300, 900}, {330, 1100});
        all.push_back(d);
    }
    {  // A walled temple in the city's streets; one guard against an army.
        // The temple stands before its holders' camp round (500, 1000): the
        // commander and his guards' posts stay on open ground behind it.
        // Its headquarters flags stay in the camp, beyond the reach of the
        // attackers' front as the battle opens.
        FieldDesign d = Start("C21L", 3521, 10, 3, 0.3);
        CastleOf(d, 0, {{{{850, 700}, {1350, 700}, {1350, 1300}, {850, 1300}}, {0, 1, 2, 3}}}, {1100, 980}, 120, 25);
        AddVillage(d, 1750, 600, 230, 16, V::Town);
        AddVillage(d, 1750, 1400, 230, 16, V::Town);
        AddVillage(d, 2300, 1000, 230, 12, V::Town);
        AddVillage(d, 800, 1750, 200, 10, V::Town);
        AddVillage(d, 800, 250, 200, 10, V::Town);
        AddRoad(d, {{0, 500}, {3000, 500}});
        AddRoad(d, {{1390, 1000}, {3000, 1000}});
        AddRoad(d, {{0, 1550}, {3000, 1550}});
        AddRoad(d, {{1500, 0}, {1500, 2000}});
        AddRoad(d, {{2050, 0}, {2050, 2000}});
        AddRoad(d, {{1100, 1340}, {1100, 1550}});
        AddRiver(d, {{2650, 0}, {2700, 1000}, {2600, 2000}}, 70);
        AddSide(d, 0, 910, 760, 1290, 1240, {560, 1150}, {670, 1150});
        AddSide(d, 1, 2100, 300, 2550, 1700, {2450, 900}, {2450, 1100});
        all.push_back(d);
    }
    {  // Between the mountain and the great river: who holds the height?
        FieldDesign d = Start("A15L", 3615, 14, 6, 0.35);
        AddHill(d, 1400, 280, 600, 400, 140);
        AddRiver(d, {{0, 1900}, {1000, 1700}, {2000, 1500}, {3000, 1450}}, 120);
        AddFord(d, {500, 1660}, {500, 1960}, 140);
        AddFord(d, {2500, 1330}, {2500, 1610}, 140);
        AddRiver(d, {{1800, 0}, {1900, 800}, {2000, 1480}}, 35);
        AddFord(d, {1760, 300}, {1960, 300}, 110);
        d.marshes.push_back({{1500, 1450}, 300, 110});
        AddRoad(d, {{0, 1100}, {1000, 1000}, {2000, 1050}, {3000, 1000}});
        d.paddies.push_back({2200, 1100, 2800, 1300});
        AddWood(d, 1000, 640, 250, 150, W::Pine);
        AddVillage(d, 700, 1300, 180, 8, V::Town);
        OpenSides(d, 500, 1350);
        all.push_back(d);
    }
    {  // Mountain forts above the lake.
        FieldDesign d = Start("A16M", 3716, 30, 9, 0.4);
        d.lakes.push_back({{1500, 1500}, 380, 260});
        AddHill(d, 1600, 700, 300, 280, 120);
        d.ridges.push_back({{{200, 300}, {700, 600}, {900, 1200}}, 400, 70});
        d.ridges.push_back({{{2800, 200}, {2400, 700}, {2500, 1400}}, 400, 65});
        d.palisades.push_back({{{1420, 880}, {1600, 900}, {1780, 870}}, {{1600, 900}}});
        AddRoad(d, {{0, 1000}, {900, 1150}, {1500, 1100}, {2100, 1100}, {3000, 1000}});
        AddWood(d, 1100, 400, 250, 150, W::Pine);
        AddWood(d, 2000, 1250, 200, 150, W::Pine);
        AddVillage(d, 2200, 1800, 110, 5, V::Farm);
        OpenSides(d, 500, 1500);
        all.push_back(d);
    }
    {  // The broad shallow river between the two armies, ford after ford.
        FieldDesign d = Start("A17L", 3817, 12, 4, 0.25);
        AddRiver(d, {{1500, 0}, {1450, 700}, {1560, 1300}, {1480, 2000}}, 150);
        AddFord(d, {1330, 400}, {1640, 400}, 160);
        AddFord(d, {1350, 1000}, {1680, 1000}, 180);
        AddFord(d, {1360, 1650}, {1670, 1650}, 160);
        d.paddies.push_back({400, 300, 1000, 700});
        d.paddies.push_back({2000, 1300, 2600, 1700});
        AddVillage(d, 700, 1400, 110, 6, V::Farm);
        AddVillage(d, 2300, 600, 110, 6, V::Farm);
        AddWood(d, 2550, 1150, 200, 150, W::Broadleaf);
        AddWood(d, 500, 1000, 150, 120, W::Bamboo);
        AddRoad(d, {{0, 950}, {1300, 1000}, {1700, 1000}, {3000, 1050}});
        all.push_back(d);
    }
    return all;
}

}  // namespace

const std::vector<FieldDesign>& FieldDesigns() {
    static const std::vector<FieldDesign> all = Build();
    return all;
}

std::string FieldName(const FieldDesign& d) {
    for (int id = 0; id < kBattlefieldCount; ++id)
        if (d.key == GetBattlefieldKey(id).GetString()) return GetBattlefieldName(id).GetString();
    throw std::runtime_error("no battlefield " + d.key + " in the table");
}

const FieldDesign* FindFieldDesign(const std::string& key) {
    for (const FieldDesign& d : FieldDesigns())
        if (d.key == key) return &d;
    return nullptr;
}

}  // namespace fields
