// Terrain objects of the battlefield, drawn from above at a slant as on an
// ink-painted map: sumi outlines, washes of pine green, thatch, tile, plaster
// and vermilion lacquer.
#include "tools/mkdata/TerrainObjects.h"

#include <cmath>
#include <stdexcept>

#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "field/BattlefieldFiles.h"
#include "field/TerrainList.h"
#include "core/GameTables.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/Style.h"

namespace kit {
namespace {

enum class Family {
    Acacia, Willow, Water, Field, Bush, Bamboo, FarmHouse, TownHouse, LuxuryHouse, Temple, Gate, Keep, Tower, Wall,
    StoneBase, Well, Rocks, Cart, Tomb, Sign, Blockade, Flag
};

struct Kind {
    Family family;
    int variant;     // index within the family
    bool mountain;   // the "M_" castle of wooden stockades on a hill
    int letter;      // A = 0, B = 1 ... of the name
};

Kind KindOf(int type) {
    auto k = [](Family f, int v, int letter = 0, bool m = false) { return Kind{f, v, m, letter}; };
    if (type < 12) return k(Family::Acacia, type);
    if (type < 20) return k(Family::Willow, type - 12);
    if (type < 30) return k(Family::Water, type - 20);
    if (type < 40) return k(Family::Field, type - 30);
    if (type < 50) return k(Family::Bush, type - 40);
    if (type < 60) return k(Family::Bamboo, type - 50);
    if (type < 76) return k(Family::FarmHouse, type - 60, (type - 60) / 2);
    if (type < 92) return k(Family::TownHouse, type - 76, (type - 76) / 2);
    if (type < 104) return k(Family::LuxuryHouse, type - 92, (type - 92) / 2);
    if (type < 115) return k(Family::Temple, type - 104, (type - 104) / 2);
    if (type == 115) return k(Family::Gate, 15, 4);
    if (type < 131) return k(Family::Gate, type - 116, (type - 116) / 3);
    if (type < 143) return k(Family::Gate, type - 131 + 16, (type - 131) / 3);
    if (type < 161) return k(Family::Keep, type - 143, (type - 143) / 3);
    if (type < 167) return k(Family::Tower, type - 161, (type - 161) / 3);
    if (type < 199) return k(Family::Wall, (type - 167) % 16, (type - 167) / 16);
    if (type < 231) return k(Family::StoneBase, (type - 199) % 16, (type - 199) / 16);
    if (type < 240) return k(Family::Gate, type - 231, (type - 231) / 3, true);
    if (type < 255) return k(Family::Keep, type - 240, (type - 240) / 3, true);
    if (type < 261) return k(Family::Tower, type - 255, (type - 255) / 3, true);
    if (type < 293) return k(Family::Wall, (type - 261) % 16, (type - 261) / 16, true);
    if (type < 296) return k(Family::Well, type - 293);
    if (type < 304) return k(Family::Rocks, type - 296, type - 296);
    if (type < 314) return k(Family::Cart, type - 304, (type - 304) / 5);
    if (type < 323) return k(Family::Tomb, type - 314, (type - 314) / 3);
    if (type < 327) return k(Family::Sign, type - 323);
    if (type < 359) return k(Family::Blockade, (type - 327) % 16, (type - 327) / 16);
    return k(Family::Flag, (type - 359) % 4, (type - 359) / 4);
}

// Wall-like pieces run east-west for pieces 1..8 and north-south for 9..16.
bool Vertical(const Kind& k) { return k.variant >= 8; }

// The second gate of each three is the gatehouse of a north-south wall,
// its way through running east-west.
bool SideGate(const Kind& k) { return k.family == Family::Gate && k.variant % 3 == 1; }

struct Geometry {
    int w, h, frames, ox, oy;
};

Geometry GeometryOf(const Kind& k) {
    switch (k.family) {
    case Family::Acacia: return {64, 72, 1, 32, 66};
    case Family::Willow: return {64, 76, 1, 32, 70};
    case Family::Water: return {112, 64, 4, 56, 32};
    case Family::Field: return {128, 88, 1, 64, 44};
    case Family::Bush: return {40, 32, 1, 20, 28};
    case Family::Bamboo: return {56, 84, 1, 28, 78};
    case Family::FarmHouse:
    case Family::TownHouse: return {88, 80, 1, 44, 74};
    case Family::LuxuryHouse: return {108, 92, 1, 54, 86};
    case Family::Temple: return {124, 108, 1, 62, 102};
    case Family::Gate: return SideGate(k) ? Geometry{64, 144, 4, 32, 136} : Geometry{104, 88, 4, 52, 82};
    case Family::Keep: return {172, 196, 1, 86, 186};
    case Family::Tower: return {80, 104, 1, 40, 98};
    case Family::Wall:
    case Family::StoneBase:
    case Family::Blockade: return Vertical(k) ? Geometry{40, 128, 1, 20, 116} : Geometry{104, 64, 1, 52, 52};
    case Family::Well: return {36, 36, 1, 18, 28};
    case Family::Rocks: return {60, 48, 1, 30, 42};
    case Family::Cart: return {48, 38, 1, 24, 32};
    case Family::Tomb: return {36, 48, 1, 18, 44};
    case Family::Sign: return {28, 44, 1, 14, 40};
    case Family::Flag: return {52, 104, 18, 10, 100};  // drawn with the soldiers (BattlePictures)
    }
    return {32, 32, 1, 16, 16};
}

void SetRect(CTerrainStateRecord& s, int i, int l, int t, int r, int b) { s.rects[i] = CRect(l, t, r, b); }

void Describe(int type, CTerrainRectRecord& rec) {
    Kind k = KindOf(type);
    Geometry g = GeometryOf(k);
    rec.frameCount = g.frames;
    rec.originX = g.ox, rec.originY = g.oy;
    rec.flagC = BYTE(k.family);
    CTerrainStateRecord& s0 = rec.states[0];
    s0.used = 1;
    s0.firstFrame = 0, s0.lastFrame = 0;
    const int ox = g.ox, oy = g.oy;
    auto foot = [&](CTerrainStateRecord& s, int halfW, int depth) { SetRect(s, 0, ox - halfW, oy - depth, ox + halfW, oy); };
    switch (k.family) {
    case Family::Acacia:
    case Family::Willow:
        foot(s0, 12, 22);
        s0.valueC = 700;  // the crowns stop many shots
        break;
    case Family::Bamboo:
        foot(s0, 16, 30);
        s0.valueC = 850;
        break;
    case Family::Bush:
        foot(s0, 12, 12);
        s0.valueC = 300;
        break;
    case Family::Water:
        // Ponds ripple; troops wade through them (the altitude map says so).
        s0.lastFrame = 3, s0.loop = 1, s0.blocking = 1, s0.valueC = 0;
        break;
    case Family::Field:
        s0.valueC = 0;
        break;
    case Family::FarmHouse:
    case Family::TownHouse:
    case Family::LuxuryHouse:
    case Family::Temple:
    case Family::Keep:
    case Family::Tower:
    case Family::Rocks: {
        int halfW = g.w / 2 - 8, depth = g.h * 2 / 5;
        if (k.family == Family::Rocks) halfW = 22, depth = 20;
        foot(s0, halfW, depth);
        rec.snapToCells = 1;
        s0.blocking = 1;
        s0.valueC = 1500;  // nothing shoots through a building
        s0.depthMode = 0;
        if (type == 160) {  // the keep that a garrison holds
            rec.countdownActive = 1, rec.countdown = 400, rec.moralePenalty = 400;
            for (int i = 0; i < 6; ++i) rec.routes[0].AddTail(CPoint(ox - 50 + 20 * i, oy + 12));
        }
        break;
    }
    case Family::Wall:
    case Family::StoneBase:
    case Family::Blockade: {
        if (Vertical(k))
            SetRect(s0, 0, ox - 8, oy - 104, ox + 7, oy - 1);
        else
            SetRect(s0, 0, ox - 52, oy - 15, ox + 51, oy - 1);
        rec.snapToCells = 1;
        s0.blocking = 1;
        s0.valueC = k.family == Family::Blockade ? 1100 : 1500;
        break;
    }
    case Family::Gate: {
        // A gate a garrison holds: closed (state 0), opening and manned
        // (state 1), taken (state 3, then 4). Its towers stand in every state;
        // the leaves only while it is shut. A side gate's towers stand north
        // and south of its way.
        rec.countdownActive = 1, rec.countdown = 150, rec.moralePenalty = 250;
        const bool side = SideGate(k);
        auto towers = [&](CTerrainStateRecord& s) {
            if (side) {
                SetRect(s, 0, ox - 14, oy - 104, ox + 13, oy - 77);
                SetRect(s, 1, ox - 14, oy - 28, ox + 13, oy - 1);
            } else {
                SetRect(s, 0, ox - 50, oy - 30, ox - 22, oy - 1);
                SetRect(s, 1, ox + 22, oy - 30, ox + 50, oy - 1);
            }
        };
        towers(s0);
        if (side)
            SetRect(s0, 2, ox - 7, oy - 76, ox + 6, oy - 29);
        else
            SetRect(s0, 2, ox - 21, oy - 14, ox + 21, oy - 1);
        s0.valueC = 1500, s0.blocking = 1;
        for (int st : {1, 3, 4}) {
            CTerrainStateRecord& s = rec.states[st];
            s.used = 1, s.valueC = 1500, s.blocking = 1;
            towers(s);
        }
        rec.states[1].firstFrame = 0, rec.states[1].lastFrame = 3;
        rec.states[3].firstFrame = 3, rec.states[3].lastFrame = 3;
        rec.states[4].firstFrame = 3, rec.states[4].lastFrame = 3;
        if (side) {
            for (int i = 0; i < 4; ++i) rec.routes[0].AddTail(CPoint(ox + 22, oy - 88 + 24 * i));
            rec.routes[1].AddTail(CPoint(ox - 40, oy - 52));
            rec.routes[1].AddTail(CPoint(ox + 30, oy - 52));
        } else {
            for (int i = 0; i < 4; ++i) rec.routes[0].AddTail(CPoint(ox - 36 + 24 * i, oy + 14));
            rec.routes[1].AddTail(CPoint(ox, oy - 40));
            rec.routes[1].AddTail(CPoint(ox, oy + 30));
        }
        break;
    }
    case Family::Well:
        foot(s0, 8, 12);
        s0.valueC = 150;
        break;
    case Family::Cart:
        foot(s0, 16, 16);
        s0.valueC = 600;
        break;
    case Family::Tomb:
        foot(s0, 10, 18);
        s0.valueC = 500;
        break;
    case Family::Sign:
        foot(s0, 4, 8);
        s0.valueC = 40;
        break;
    case Family::Flag:
        // A headquarters banner: it flutters until taken, then falls.
        rec.countdownActive = 1, rec.countdown = 300, rec.moralePenalty = 500;
        foot(s0, 6, 10);
        s0.lastFrame = 17, s0.loop = 1, s0.blocking = 1, s0.valueC = 50;
        for (int st : {3, 4}) {
            CTerrainStateRecord& s = rec.states[st];
            s.used = 1, s.firstFrame = 0, s.lastFrame = 0, s.valueC = 0;
        }
        for (int i = 0; i < 3; ++i) rec.routes[0].AddTail(CPoint(ox - 30 + 30 * i, oy + 20));
        break;
    }
}

// ------------------------------------------------------------------ drawing

const Rgb kPine{0.20, 0.30, 0.17}, kLeaf{0.36, 0.46, 0.22}, kLeafLight{0.56, 0.62, 0.32};
const Rgb kThatch{0.62, 0.50, 0.30}, kTile{0.24, 0.25, 0.29}, kPlaster{0.90, 0.86, 0.76}, kWood{0.36, 0.24, 0.15};
const Rgb kStone{0.55, 0.53, 0.49}, kWater{0.22, 0.34, 0.46}, kEarth{0.60, 0.50, 0.34};

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void Fill(cairo_t* cr, const Rgb& c, double a = 1.0) {
    SetColour(cr, c, a);
    cairo_fill(cr);
}

void InkStroke(cairo_t* cr, double width, double alpha = 0.9) {
    SetColour(cr, ink::Sumi, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

// Fills the current path and inks its outline.
void FillInk(cairo_t* cr, const Rgb& c, double width) {
    SetColour(cr, c);
    cairo_fill_preserve(cr);
    InkStroke(cr, width);
}

void Shadow(cairo_t* cr, double cx, double cy, double rx, double ry) {
    Ellipse(cr, cx, cy, rx, ry);
    Fill(cr, ink::Sumi, 0.22);
}

// A crown of overlapping ink-washed leaf clouds.
void Crown(cairo_t* cr, double cx, double cy, double r, const Rgb& base, uint32_t seed, int blobs) {
    KitRandom rnd(seed);
    for (int i = 0; i < blobs; ++i) {
        double a = rnd.Range(0, 2 * M_PI), d = rnd.Range(0, r * 0.55);
        double br = r * rnd.Range(0.38, 0.6);
        double x = cx + std::cos(a) * d, y = cy + std::sin(a) * d * 0.8;
        Ellipse(cr, x, y, br, br * 0.85);
        double shade = 0.75 + 0.35 * (1.0 - (y - cy + r) / (2 * r));
        Fill(cr, base.Scaled(shade));
        Ellipse(cr, x - br * 0.25, y - br * 0.3, br * 0.45, br * 0.35);
        Fill(cr, kLeafLight, 0.35);
    }
}

void DrawTree(cairo_t* cr, const Geometry& g, int variant, bool willow, bool castleMap) {
    KitRandom rnd(1000u + uint32_t(variant) * 31u + (willow ? 7u : 0u));
    double cx = g.ox + rnd.Range(-3, 3), base = g.oy;
    double r = rnd.Range(18, 26);
    Shadow(cr, cx + 6, base - 4, r * 0.9, r * 0.35);
    cairo_move_to(cr, cx - 2, base);
    cairo_curve_to(cr, cx - 3, base - 10, cx + 2, base - 18, cx + rnd.Range(-3, 3), base - 28);
    cairo_line_to(cr, cx + 3, base - 28);
    cairo_curve_to(cr, cx + 4, base - 16, cx + 2, base - 8, cx + 3, base);
    cairo_close_path(cr);
    Fill(cr, kWood.Scaled(0.8));
    Rgb leaf = castleMap ? kPine.Mix(Rgb{0.45, 0.32, 0.15}, 0.25) : (willow ? kLeaf.Mix(kLeafLight, 0.3) : kLeaf);
    double cy = base - 28 - r * 0.6;
    if (willow) {
        Crown(cr, cx, cy, r * 0.9, leaf, uint32_t(variant) * 13u + 5u, 7);
        // Hanging fronds.
        for (int i = 0; i < 14; ++i) {
            double x = cx + rnd.Range(-r, r);
            cairo_move_to(cr, x, cy + rnd.Range(-4, 6));
            const double endY = cy + rnd.Range(18, 26), endX = x + rnd.Range(-2, 2);
            cairo_curve_to(cr, x + 2, cy + 8, x - 1, cy + 16, endX, endY);
            SetColour(cr, leaf.Scaled(0.7), 0.8);
            cairo_set_line_width(cr, 1.2);
            cairo_stroke(cr);
        }
    } else {
        Crown(cr, cx, cy, r, leaf, uint32_t(variant) * 17u + 3u, 9);
    }
}

void DrawBush(cairo_t* cr, const Geometry& g, int variant, bool castleMap) {
    Shadow(cr, g.ox + 4, g.oy - 3, 16, 5);
    Crown(cr, g.ox, g.oy - 11, 12 + variant % 3, castleMap ? kPine : kLeaf.Mix(kPine, 0.4), 500u + uint32_t(variant), 6);
}

void DrawBamboo(cairo_t* cr, const Geometry& g, int variant, bool castleMap) {
    KitRandom rnd(2000u + uint32_t(variant));
    Shadow(cr, g.ox + 6, g.oy - 6, 22, 8);
    Rgb stem = castleMap ? Rgb{0.42, 0.50, 0.26} : Rgb{0.50, 0.60, 0.28};
    for (int i = 0; i < 11; ++i) {
        double x = g.ox + rnd.Range(-16, 16), top = g.oy - rnd.Range(48, 74), lean = rnd.Range(-6, 6);
        cairo_move_to(cr, x, g.oy - rnd.Range(0, 8));
        cairo_line_to(cr, x + lean, top);
        SetColour(cr, stem.Scaled(rnd.Range(0.75, 1.05)));
        cairo_set_line_width(cr, 2.2);
        cairo_stroke(cr);
        for (double y = g.oy - 12; y > top + 4; y -= 11) {
            double t = (g.oy - y) / (g.oy - top);
            cairo_move_to(cr, x + lean * t - 1.5, y);
            cairo_line_to(cr, x + lean * t + 1.5, y);
            InkStroke(cr, 0.8, 0.6);
        }
        for (int l = 0; l < 5; ++l) {
            double lx = x + lean * 0.8 + rnd.Range(-6, 6), ly = top + rnd.Range(0, 20), dir = rnd.Range(-1, 1);
            cairo_move_to(cr, lx, ly);
            cairo_curve_to(cr, lx + 5 * dir + 3, ly - 2, lx + 9 * dir + 5, ly + 1, lx + 12 * dir + 6, ly + 3);
            SetColour(cr, kLeaf.Scaled(0.8), 0.85);
            cairo_set_line_width(cr, 1.6);
            cairo_stroke(cr);
        }
    }
}

void DrawWater(cairo_t* cr, const Geometry& g, int variant, int frame) {
    KitRandom rnd(3000u + uint32_t(variant));
    double rx = g.w / 2.0 - 6 - variant % 3 * 3, ry = g.h / 2.0 - 6;
    cairo_save(cr);
    cairo_translate(cr, g.ox, g.oy);
    cairo_move_to(cr, rx, 0);
    for (int i = 1; i <= 24; ++i) {
        double a = i * 2 * M_PI / 24, wob = 1.0 + 0.12 * std::sin(a * 3 + variant);
        cairo_line_to(cr, std::cos(a) * rx * wob, std::sin(a) * ry * wob);
    }
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 2, 0, 0, rx);
    cairo_pattern_add_color_stop_rgb(p, 0, kWater.r * 1.3, kWater.g * 1.3, kWater.b * 1.25);
    cairo_pattern_add_color_stop_rgb(p, 1, kWater.r * 0.8, kWater.g * 0.8, kWater.b * 0.9);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    InkStroke(cr, 1.6, 0.8);
    // Ripple rings that widen frame by frame.
    for (int i = 0; i < 3; ++i) {
        double x = rnd.Range(-rx * 0.5, rx * 0.5), y = rnd.Range(-ry * 0.4, ry * 0.4);
        double s = 3 + ((frame + i) % 4) * 3;
        Ellipse(cr, x, y, s, s * 0.45);
        SetColour(cr, Rgb{0.85, 0.90, 0.95}, 0.55 - 0.1 * ((frame + i) % 4));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void DrawField(cairo_t* cr, const Geometry& g, int variant, bool castleMap) {
    KitRandom rnd(4000u + uint32_t(variant));
    double x0 = 6, y0 = 6, w = g.w - 12, h = g.h - 12;
    cairo_rectangle(cr, x0, y0, w, h);
    Rgb crop = variant % 3 == 0 ? Rgb{0.74, 0.66, 0.34} : Rgb{0.48, 0.58, 0.28};
    if (castleMap) crop = crop.Mix(Rgb{0.70, 0.55, 0.30}, 0.3);
    Fill(cr, crop);
    // Paddy bunds and rows of plants.
    int cols = 2 + variant % 2;
    for (int i = 1; i < cols; ++i) {
        cairo_move_to(cr, x0 + w * i / cols, y0);
        cairo_line_to(cr, x0 + w * i / cols, y0 + h);
    }
    cairo_move_to(cr, x0, y0 + h / 2);
    cairo_line_to(cr, x0 + w, y0 + h / 2);
    SetColour(cr, kEarth, 0.9);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    for (double y = y0 + 4; y < y0 + h - 2; y += 5) {
        cairo_move_to(cr, x0 + 3, y);
        cairo_line_to(cr, x0 + w - 3, y + rnd.Range(-1, 1));
        SetColour(cr, crop.Scaled(0.72), 0.6);
        cairo_set_line_width(cr, 1.4);
        cairo_stroke(cr);
    }
    cairo_rectangle(cr, x0, y0, w, h);
    InkStroke(cr, 1.4, 0.7);
}

// A house seen from above at a slant: walls below, a hipped roof above.
// One block of a house: a front wall of posts and plaster under a roof,
// hipped (a ridge shorter than the eaves) or gabled (the ridge runs the
// whole length), seen from the south at a slant.
void HouseBlock(cairo_t* cr, double left, double w, double base, double wallH, double depth, const Rgb& roof,
                bool curved, bool gabled, bool vermilion, int posts) {
    cairo_rectangle(cr, left + 4, base - wallH, w - 8, wallH);
    Fill(cr, kPlaster);
    for (int i = 0; i <= posts; ++i) {
        double x = left + 4 + (w - 8) * i / posts;
        cairo_rectangle(cr, x - 1.5, base - wallH, 3, wallH);
        Fill(cr, vermilion ? ink::Vermilion : kWood);
    }
    cairo_rectangle(cr, left + 4, base - wallH, w - 8, wallH);
    InkStroke(cr, 1.2);
    double eaveY = base - wallH + 3, topY = eaveY - depth, inset = gabled ? 2 : w * 0.22;
    cairo_move_to(cr, left - 2, eaveY);
    if (curved)
        cairo_curve_to(cr, left + 6, eaveY - 6, left + inset - 4, topY + 6, left + inset, topY);
    else
        cairo_line_to(cr, left + inset, topY);
    cairo_line_to(cr, left + w - inset, topY);
    if (curved)
        cairo_curve_to(cr, left + w - inset + 4, topY + 6, left + w - 6, eaveY - 6, left + w + 2, eaveY);
    else
        cairo_line_to(cr, left + w + 2, eaveY);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, topY, 0, eaveY);
    cairo_pattern_add_color_stop_rgb(p, 0, roof.r * 1.2, roof.g * 1.2, roof.b * 1.2);
    cairo_pattern_add_color_stop_rgb(p, 1, roof.r * 0.8, roof.g * 0.8, roof.b * 0.8);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    InkStroke(cr, 1.5);
    // Thatch strokes or tile rows.
    for (double y = topY + 4; y < eaveY - 2; y += 4) {
        double t = (y - topY) / (eaveY - topY);
        double l = left + inset * (1 - t) - 2 * t, r = left + w - inset * (1 - t) + 2 * t;
        cairo_move_to(cr, l + 2, y);
        cairo_line_to(cr, r - 2, y);
        SetColour(cr, roof.Scaled(0.6), 0.5);
        cairo_set_line_width(cr, 0.9);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, left + inset, topY);
    cairo_line_to(cr, left + w - inset, topY);
    InkStroke(cr, 2.4);
}

// Each variant is its own house: its length and depth, hipped or gabled
// roof and its shade, the number of bays, and what stands beside it (a
// lean-to, a storehouse, a fence, a woodpile or rice bales).
void DrawHouse(cairo_t* cr, const Geometry& g, int variant, const Rgb& baseRoof, bool curved, bool vermilion) {
    const int v = variant % 20;
    const double full = g.w - 16, base = g.oy;
    const double w = full * (0.66 + 0.34 * ((v * 5) % 7) / 6.0);
    const bool gabled = v % 2 == 1, annexLeft = v % 4 >= 2;
    const int extra = (v / 2) % 5;  // 0 lean-to, 1 storehouse, 2 fence, 3 woodpile, 4 rice bales
    const Rgb roof = baseRoof.Scaled(0.84 + 0.08 * (v % 4));
    double left = (g.w - w) / 2 + (annexLeft ? 6 : -6) * (extra <= 1 ? 1 : 0);
    left = std::clamp(left, 4.0, g.w - w - 4);
    const double wallH = g.h * (0.19 + 0.03 * (v % 3)), depth = g.h * (0.36 + 0.025 * (v % 5));
    Shadow(cr, left + w / 2 + 8, base - 2, w * 0.55, 8);
    double side = annexLeft ? 3 : g.w - 3;  // the free side beside the house
    double dir = annexLeft ? 1 : -1;
    if (extra == 1) {  // a white-walled storehouse behind, at the free side
        double sw = 24, sl = annexLeft ? 4 : g.w - 4 - sw;
        HouseBlock(cr, sl, sw, base - 14, g.h * 0.2, g.h * 0.2, kTile, false, true, false, 1);
    }
    HouseBlock(cr, left, w, base, wallH, depth, roof, curved, gabled, vermilion, 3 + v % 3);
    switch (extra) {
    case 0: {  // a lean-to against one end
        double lw = 18, ll = annexLeft ? left - lw + 6 : left + w - 6;
        cairo_rectangle(cr, ll, base - wallH * 0.8, lw, wallH * 0.8);
        FillInk(cr, kWood.Scaled(1.3), 1.0);
        cairo_move_to(cr, ll - 2, base - wallH * 0.8 + 2);
        cairo_line_to(cr, ll + lw + 2, base - wallH * 0.8 + 2);
        cairo_line_to(cr, ll + lw + 2, base - wallH * 0.8 - 8);
        cairo_line_to(cr, ll - 2, base - wallH * 0.8 - 8);
        cairo_close_path(cr);
        FillInk(cr, roof.Scaled(1.1), 1.0);
        break;
    }
    case 2:  // a bamboo fence along the front
        for (double x = left - 2; x <= left + w + 2; x += 5) {
            cairo_move_to(cr, x, base + 4);
            cairo_line_to(cr, x, base - 4);
        }
        cairo_move_to(cr, left - 2, base - 1);
        cairo_line_to(cr, left + w + 2, base - 1);
        InkStroke(cr, 1.0, 0.7);
        break;
    case 3:  // a woodpile at the free side
        for (int i = 0; i < 5; ++i) {
            Ellipse(cr, side + dir * (4 + (i % 3) * 4), base - 3 - (i / 3) * 4, 2.5, 2.5);
            FillInk(cr, kWood.Scaled(1.4), 0.6);
        }
        break;
    case 4:  // rice bales stacked at the free side
        for (int i = 0; i < 3; ++i) {
            Ellipse(cr, side + dir * (6 + i * 7), base - 4, 4, 3.2);
            FillInk(cr, kThatch.Scaled(1.2), 0.7);
        }
        break;
    default:
        break;
    }
}

void DrawWallPiece(cairo_t* cr, const Geometry& g, const Kind& k) {
    bool vertical = Vertical(k);
    Rgb face = k.family == Family::Blockade ? kWood : (k.family == Family::StoneBase ? kStone : kPlaster);
    if (k.mountain) face = face.Mix(kWood, 0.5);
    double bodyH = k.family == Family::StoneBase ? 10 : (k.family == Family::Blockade ? 16 : 24);
    if (!vertical) {
        double l = 0, r = g.w - 1, base = g.oy;
        Shadow(cr, g.ox + 4, base, g.w / 2.0, 5);
        if (k.family == Family::Blockade) {
            // A palisade: sharpened stakes lashed to a rail.
            for (double x = l + 1; x + 6 <= r; x += 7) {
                double top = base - bodyH - 12 - (int(x) % 3) * 2;
                cairo_move_to(cr, x, base);
                cairo_line_to(cr, x, top + 5);
                cairo_line_to(cr, x + 3, top);
                cairo_line_to(cr, x + 6, top + 5);
                cairo_line_to(cr, x + 6, base);
                cairo_close_path(cr);
                FillInk(cr, kWood.Scaled(0.9 + 0.2 * ((int(x) / 7) % 2)), 0.9);
            }
            cairo_move_to(cr, l, base - bodyH * 0.6);
            cairo_line_to(cr, r, base - bodyH * 0.6);
            SetColour(cr, kThatch.Scaled(0.7));
            cairo_set_line_width(cr, 2.0);
            cairo_stroke(cr);
            return;
        }
        cairo_rectangle(cr, l, base - 15 - bodyH, r - l, 15);  // top face
        Fill(cr, k.family == Family::Wall ? kTile : face.Scaled(1.1));
        cairo_rectangle(cr, l, base - bodyH, r - l, bodyH);  // front face
        Fill(cr, face);
        // Loopholes and a stone footing.
        for (double x = l + 10 + k.variant % 3 * 4; x < r - 6; x += 22) {
            cairo_rectangle(cr, x, base - bodyH * 0.65, 5, 4);
            Fill(cr, ink::Sumi, 0.8);
        }
        cairo_rectangle(cr, l, base - 4, r - l, 4);
        Fill(cr, kStone);
        cairo_rectangle(cr, l, base - 15 - bodyH, r - l, 15 + bodyH);
        InkStroke(cr, 1.3);
    } else if (k.family == Family::Blockade) {
        // A palisade running away from the viewer: stakes one behind the
        // other, the nearer ones lower and drawn over the farther.
        double cx = g.ox, base = g.oy, height = bodyH + 12;
        Shadow(cr, cx + 6, base - 50, 8, 56);
        cairo_move_to(cr, cx, 8 + height * 0.4);
        cairo_line_to(cr, cx, base - height * 0.4);
        SetColour(cr, kThatch.Scaled(0.7));
        cairo_set_line_width(cr, 2.0);
        cairo_stroke(cr);
        // Two staggered rows of stakes, as thick as the ground they block.
        for (double y = 8 + height; y <= base; y += 5) {
            int n = int(y) / 5;
            double x = cx + (n % 2 ? 3 : -4) + (n % 3 - 1) * 0.6, top = y - height + (n % 4);
            cairo_move_to(cr, x - 4, y);
            cairo_line_to(cr, x - 4, top + 5);
            cairo_line_to(cr, x, top);
            cairo_line_to(cr, x + 4, top + 5);
            cairo_line_to(cr, x + 4, y);
            cairo_close_path(cr);
            FillInk(cr, kWood.Scaled(0.82 + 0.3 * ((n / 2) % 2)), 0.9);
        }
    } else {
        double cx = g.ox, top = 4, base = g.oy;
        Shadow(cr, cx + 6, base - 50, 9, 56);
        cairo_rectangle(cr, cx - 8, top, 16, base - top - bodyH);  // top face, foreshortened run
        Fill(cr, k.family == Family::Wall ? kTile : face.Scaled(1.1));
        // The end of the run seen from the south: in a long run it meets
        // the next piece's roof, so it is drawn in the roof's shade and the
        // run reads as one. The last four pieces of a set end a run where a
        // way is left open: their end shows the plastered wall under its
        // eaves, a loophole and the stone footing.
        const bool runEnd = k.family == Family::Wall && k.variant >= 12;
        cairo_rectangle(cr, cx - 8, base - bodyH, 16, bodyH);
        Fill(cr, k.family == Family::Wall && !runEnd ? kTile.Scaled(0.8) : face);
        if (runEnd) {
            cairo_rectangle(cr, cx - 8, base - 5, 16, 5);
            Fill(cr, kStone);
            cairo_rectangle(cr, cx - 2, base - bodyH * 0.65, 4, 4);
            Fill(cr, ink::Sumi, 0.8);
            cairo_rectangle(cr, cx - 10, base - bodyH - 3, 20, 4);  // the eaves
            Fill(cr, kTile.Scaled(0.85));
            cairo_rectangle(cr, cx - 10, base - bodyH - 3, 20, 4);
            InkStroke(cr, 1.0);
            cairo_rectangle(cr, cx - 8, base - bodyH, 16, bodyH);
            InkStroke(cr, 1.0);
        }
        for (double y = top + 6; y < base - bodyH; y += 8) {
            cairo_move_to(cr, cx - 8, y);
            cairo_line_to(cr, cx + 8, y);
            SetColour(cr, ink::Sumi, 0.35);
            cairo_set_line_width(cr, 0.8);
            cairo_stroke(cr);
        }
        cairo_rectangle(cr, cx - 8, top, 16, base - top);
        InkStroke(cr, 1.3);
    }
}

void DrawGate(cairo_t* cr, const Geometry& g, const Kind& k, int frame) {
    double base = g.oy, cx = g.ox;
    Rgb wood = k.mountain ? kWood.Scaled(0.8) : kWood;
    Shadow(cr, cx + 6, base - 2, 52, 8);
    // Two gate towers.
    for (int side = -1; side <= 1; side += 2) {
        double x = cx + side * 36 - 14;
        cairo_rectangle(cr, x, base - 30, 28, 30);
        FillInk(cr, k.mountain ? wood : kPlaster, 1.2);
    }
    // The leaves swing open frame by frame.
    double open = frame / 3.0;
    for (int side = -1; side <= 1; side += 2) {
        double hinge = cx + side * 21, leafW = 21 * (1 - open * 0.85);
        cairo_rectangle(cr, side < 0 ? hinge : hinge - leafW, base - 24, leafW, 24);
        FillInk(cr, wood.Scaled(0.9), 1.0);
    }
    // Roof over the gate.
    cairo_move_to(cr, cx - 54, base - 28);
    cairo_curve_to(cr, cx - 40, base - 34, cx - 30, base - 52, cx - 24, base - 58);
    cairo_line_to(cr, cx + 24, base - 58);
    cairo_curve_to(cr, cx + 30, base - 52, cx + 40, base - 34, cx + 54, base - 28);
    cairo_close_path(cr);
    Fill(cr, k.mountain ? kThatch.Scaled(0.8) : kTile);
    cairo_move_to(cr, cx - 54, base - 28);
    cairo_curve_to(cr, cx - 40, base - 34, cx - 30, base - 52, cx - 24, base - 58);
    cairo_line_to(cr, cx + 24, base - 58);
    cairo_curve_to(cr, cx + 30, base - 52, cx + 40, base - 34, cx + 54, base - 28);
    InkStroke(cr, 1.6);
    // Gold ridge ornaments.
    Ellipse(cr, cx - 24, base - 59, 3, 3);
    Ellipse(cr, cx + 24, base - 59, 3, 3);
    Fill(cr, ink::Gold);
}

// A gatehouse in a north-south wall, seen from the south: its two towers
// one behind the other along the wall, the leaves between them, the roof
// running over both.
void DrawSideGate(cairo_t* cr, const Geometry& g, const Kind& k, int frame) {
    const double base = g.oy, cx = g.ox, tall = 30;
    const Rgb wood = k.mountain ? kWood.Scaled(0.8) : kWood, face = k.mountain ? wood : kPlaster;
    Shadow(cr, cx + 10, base - 52, 16, 58);
    auto tower = [&](double north, double south) {
        cairo_rectangle(cr, cx - 14, north - tall, 28, south - north);  // top face
        Fill(cr, face.Scaled(0.92));
        cairo_rectangle(cr, cx - 14, south - tall, 28, tall);  // south face
        Fill(cr, face);
        cairo_rectangle(cr, cx - 4, south - tall + 9, 8, 7);
        Fill(cr, ink::Sumi, 0.85);
        cairo_rectangle(cr, cx - 14, north - tall, 28, south - north + tall);
        InkStroke(cr, 1.2);
    };
    tower(base - 104, base - 77);
    // The way through in the wall's shade, the leaves swinging open frame by
    // frame from their hinges on the towers.
    cairo_rectangle(cr, cx - 10, base - 100, 20, 71);
    Fill(cr, kEarth.Scaled(0.6));
    const double open = frame / 3.0, leaf = 23 * (1 - open * 0.85);
    for (double top : {base - 76.0, base - 29 - leaf}) {
        cairo_rectangle(cr, cx - 3, top - 24, 6, leaf + 24);
        FillInk(cr, wood.Scaled(0.9), 1.0);
    }
    // The roof over the passage between the towers, hipped, its eaves
    // reaching out over the wall on both sides.
    const double top = base - 76 - tall - 12, eave = base - 29 - tall;
    auto roof = [&] {
        cairo_move_to(cr, cx - 18, top);
        cairo_line_to(cr, cx + 18, top);
        cairo_curve_to(cr, cx + 24, top + 6, cx + 28, eave - 10, cx + 30, eave);
        cairo_line_to(cr, cx - 30, eave);
        cairo_curve_to(cr, cx - 28, eave - 10, cx - 24, top + 6, cx - 18, top);
        cairo_close_path(cr);
    };
    roof();
    Fill(cr, k.mountain ? kThatch.Scaled(0.8) : kTile);
    roof();
    InkStroke(cr, 1.5);
    cairo_move_to(cr, cx, top + 3);  // the ridge
    cairo_line_to(cr, cx, eave - 12);
    SetColour(cr, k.mountain ? kThatch : kTile.Scaled(1.6));
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    tower(base - 28, base);
    // Gold ridge ornaments at both ends.
    Ellipse(cr, cx, top + 3, 3, 3);
    Ellipse(cr, cx, eave - 12, 3, 3);
    Fill(cr, ink::Gold);
}

void DrawKeep(cairo_t* cr, const Geometry& g, const Kind& k) {
    double cx = g.ox, base = g.oy;
    Shadow(cr, cx + 12, base - 4, 84, 14);
    // Sloped stone base.
    cairo_move_to(cr, cx - 80, base);
    cairo_line_to(cr, cx - 66, base - 46);
    cairo_line_to(cr, cx + 66, base - 46);
    cairo_line_to(cr, cx + 80, base);
    cairo_close_path(cr);
    Fill(cr, kStone);
    for (double y = base - 8; y > base - 46; y -= 8) {
        double t = (base - y) / 46;
        cairo_move_to(cr, cx - 80 + 14 * t, y);
        cairo_line_to(cr, cx + 80 - 14 * t, y);
        SetColour(cr, ink::Sumi, 0.3);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, cx - 80, base);
    cairo_line_to(cr, cx - 66, base - 46);
    cairo_line_to(cr, cx + 66, base - 46);
    cairo_line_to(cr, cx + 80, base);
    InkStroke(cr, 1.4);
    // Stories, each narrower, with flared roofs.
    Rgb wall = k.mountain ? kWood.Mix(kPlaster, 0.3) : kPlaster;
    int stories = 3 + k.letter % 2;
    double y = base - 46, half = 60;
    for (int s = 0; s < stories; ++s) {
        double h = 26;
        cairo_rectangle(cr, cx - half, y - h, 2 * half, h);
        Fill(cr, wall);
        for (double x = cx - half + 10; x < cx + half - 6; x += 18) {
            cairo_rectangle(cr, x, y - h + 8, 6, 7);
            Fill(cr, ink::Sumi, 0.85);
        }
        cairo_rectangle(cr, cx - half, y - h, 2 * half, h);
        InkStroke(cr, 1.2);
        double ry = y - h;
        cairo_move_to(cr, cx - half - 14, ry + 4);
        cairo_curve_to(cr, cx - half, ry - 2, cx - half + 6, ry - 10, cx - half + 12, ry - 14);
        cairo_line_to(cr, cx + half - 12, ry - 14);
        cairo_curve_to(cr, cx + half - 6, ry - 10, cx + half, ry - 2, cx + half + 14, ry + 4);
        cairo_close_path(cr);
        Fill(cr, k.mountain ? kThatch.Scaled(0.75) : kTile);
        cairo_move_to(cr, cx - half - 14, ry + 4);
        cairo_curve_to(cr, cx - half, ry - 2, cx - half + 6, ry - 10, cx - half + 12, ry - 14);
        cairo_line_to(cr, cx + half - 12, ry - 14);
        cairo_curve_to(cr, cx + half - 6, ry - 10, cx + half, ry - 2, cx + half + 14, ry + 4);
        InkStroke(cr, 1.4);
        y = ry - 14;
        half -= 12;
    }
    // Golden shachi on the ridge.
    Ellipse(cr, cx - half - 6, y - 3, 4, 5);
    Ellipse(cr, cx + half + 6, y - 3, 4, 5);
    Fill(cr, ink::Gold);
}

void DrawTower(cairo_t* cr, const Geometry& g, const Kind& k) {
    double cx = g.ox, base = g.oy;
    Shadow(cr, cx + 8, base - 2, 36, 8);
    cairo_move_to(cr, cx - 34, base);
    cairo_line_to(cr, cx - 28, base - 22);
    cairo_line_to(cr, cx + 28, base - 22);
    cairo_line_to(cr, cx + 34, base);
    cairo_close_path(cr);
    Fill(cr, kStone);
    cairo_rectangle(cr, cx - 26, base - 52, 52, 30);
    Fill(cr, k.mountain ? kWood : kPlaster);
    cairo_rectangle(cr, cx - 16, base - 42, 8, 8);
    cairo_rectangle(cr, cx + 8, base - 42, 8, 8);
    Fill(cr, ink::Sumi, 0.85);
    cairo_rectangle(cr, cx - 26, base - 52, 52, 30);
    InkStroke(cr, 1.2);
    cairo_move_to(cr, cx - 38, base - 50);
    cairo_curve_to(cr, cx - 28, base - 58, cx - 20, base - 70, cx - 12, base - 76);
    cairo_line_to(cr, cx + 12, base - 76);
    cairo_curve_to(cr, cx + 20, base - 70, cx + 28, base - 58, cx + 38, base - 50);
    cairo_close_path(cr);
    Fill(cr, k.mountain ? kThatch.Scaled(0.8) : kTile);
    cairo_move_to(cr, cx - 38, base - 50);
    cairo_curve_to(cr, cx - 28, base - 58, cx - 20, base - 70, cx - 12, base - 76);
    cairo_line_to(cr, cx + 12, base - 76);
    cairo_curve_to(cr, cx + 20, base - 70, cx + 28, base - 58, cx + 38, base - 50);
    InkStroke(cr, 1.4);
}

void DrawSmall(cairo_t* cr, const Geometry& g, const Kind& k) {
    double cx = g.ox, base = g.oy;
    KitRandom rnd(7000u + uint32_t(k.variant) * 3u + uint32_t(k.family) * 101u);
    switch (k.family) {
    case Family::Well:
        Shadow(cr, cx + 3, base - 2, 14, 5);
        Ellipse(cr, cx, base - 10, 12, 7);
        Fill(cr, kStone);
        Ellipse(cr, cx, base - 11, 8, 4.5);
        Fill(cr, kWater.Scaled(0.6));
        Ellipse(cr, cx, base - 10, 12, 7);
        InkStroke(cr, 1.1);
        cairo_move_to(cr, cx - 11, base - 10);
        cairo_line_to(cr, cx - 11, base - 26);
        cairo_line_to(cr, cx + 11, base - 26);
        cairo_line_to(cr, cx + 11, base - 10);
        InkStroke(cr, 1.6);
        break;
    case Family::Rocks:
        Shadow(cr, cx + 5, base - 4, 26, 7);
        for (int i = 0; i < 4; ++i) {
            double x = cx + rnd.Range(-16, 16), y = base - rnd.Range(8, 16), r = rnd.Range(7, 13);
            cairo_move_to(cr, x - r, y + r * 0.5);
            cairo_line_to(cr, x - r * 0.6, y - r * 0.7);
            cairo_line_to(cr, x + r * 0.3, y - r);
            cairo_line_to(cr, x + r, y - r * 0.1);
            cairo_line_to(cr, x + r * 0.7, y + r * 0.5);
            cairo_close_path(cr);
            FillInk(cr, kStone.Scaled(rnd.Range(0.8, 1.1)), 1.2);
        }
        break;
    case Family::Cart:
        Shadow(cr, cx + 3, base - 3, 20, 5);
        cairo_rectangle(cr, cx - 16, base - 22, 32, 12);
        FillInk(cr, kWood.Scaled(1.2), 1.1);
        for (int s = -1; s <= 1; s += 2) {
            Ellipse(cr, cx + s * 12, base - 8, 6, 6);
            Fill(cr, kWood.Scaled(0.7));
            Ellipse(cr, cx + s * 12, base - 8, 6, 6);
            InkStroke(cr, 1.1);
        }
        if (k.letter == 1) {  // laden with rice bales
            Ellipse(cr, cx - 6, base - 26, 7, 5);
            Ellipse(cr, cx + 6, base - 26, 7, 5);
            Fill(cr, kThatch.Scaled(1.15));
        }
        break;
    case Family::Tomb:
        Shadow(cr, cx + 3, base - 2, 12, 4);
        cairo_rectangle(cr, cx - 10, base - 8, 20, 8);
        Fill(cr, kStone.Scaled(0.9));
        cairo_rectangle(cr, cx - 6, base - 34 + k.letter * 4, 12, 26 - k.letter * 4);
        Fill(cr, kStone.Scaled(1.1));
        cairo_rectangle(cr, cx - 6, base - 34 + k.letter * 4, 12, 26 - k.letter * 4);
        cairo_rectangle(cr, cx - 10, base - 8, 20, 8);
        InkStroke(cr, 1.0);
        break;
    case Family::Sign:
        cairo_move_to(cr, cx, base);
        cairo_line_to(cr, cx, base - 34);
        InkStroke(cr, 2.0);
        cairo_rectangle(cr, cx - 10, base - 34, 20, 12);
        FillInk(cr, kPlaster, 1.0);
        for (int i = 0; i < 3; ++i) {
            cairo_move_to(cr, cx - 6 + i * 5, base - 31);
            cairo_line_to(cr, cx - 6 + i * 5, base - 25);
            InkStroke(cr, 1.0, 0.8);
        }
        break;
    default:
        break;
    }
}

}  // namespace

ObjectLook GetObjectLook(int type) {
    Geometry g = GeometryOf(KindOf(type));
    return ObjectLook{g.w, g.h, g.frames};
}

void BuildTerrainDB(CTerrainDB& db) {
    for (int type = 0; type < kTerrainRecordCount; ++type) Describe(type, db.GetRecord(type));
}

CRect ObjectFootprint(const CTerrainDB& db, int type, int x, int y) {
    const CTerrainRectRecord& rec = db.GetRecord(type);
    CRect box;
    bool any = false;
    for (const CRect& r : rec.states[0].rects) {
        if (r.IsRectNull()) continue;
        box = any ? (box | r) : r;
        any = true;
    }
    if (!any) {
        ObjectLook look = GetObjectLook(type);
        box = CRect(8, look.frameHeight / 4, look.frameWidth - 8, look.frameHeight - 4);
    }
    box.OffsetRect(x - rec.originX, y - rec.originY);
    return box;
}

void WriteTerrainAndPaths(const KitContext& kit, const std::string& key, const std::string& name,
                          CTerrainList& objects, const CTerrainDB& db, CAltitudeMap& altitude,
                          const std::function<void(const CBattleGrid&)>& check) {
    CTerrainFileInfo info;
    info.texts[0] = name.c_str();
    info.texts[1] = key.c_str();
    std::string ted = kit.PathFor("Data\\MapData\\Terrain " + key + ".TED");
    if (!StoreTerrainFile(ted.c_str(), info, objects)) throw std::runtime_error("cannot write " + ted);

    CBattleGrid grid;
    grid.Rebuild(&altitude);
    SetupTerrainFeatures(objects, db, grid);
    grid.BuildPathGrids("");
    if (check) check(grid);
    std::string paths = kit.PathFor("Data\\MapData\\Paths " + key + ".pth");
    if (!BuildPathDatabaseFile(grid, paths.c_str())) throw std::runtime_error("cannot write " + paths);
    grid.RemoveAll();
}

void DrawObjectFrame(cairo_t* cr, int type, int frame, bool castleMap) {
    Kind k = KindOf(type);
    Geometry g = GeometryOf(k);
    cairo_save(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    switch (k.family) {
    case Family::Acacia: DrawTree(cr, g, k.variant, false, castleMap); break;
    case Family::Willow: DrawTree(cr, g, k.variant, true, castleMap); break;
    case Family::Water: DrawWater(cr, g, k.variant, frame); break;
    case Family::Field: DrawField(cr, g, k.variant, castleMap); break;
    case Family::Bush: DrawBush(cr, g, k.variant, castleMap); break;
    case Family::Bamboo: DrawBamboo(cr, g, k.variant, castleMap); break;
    case Family::FarmHouse: DrawHouse(cr, g, k.variant, kThatch, false, false); break;
    case Family::TownHouse: DrawHouse(cr, g, k.variant + 20, kTile, false, false); break;
    case Family::LuxuryHouse: DrawHouse(cr, g, k.variant + 40, kTile.Mix(ink::Indigo, 0.3), true, false); break;
    case Family::Temple: DrawHouse(cr, g, k.variant + 60, kTile, true, true); break;
    case Family::Gate:
        if (SideGate(k))
            DrawSideGate(cr, g, k, frame);
        else
            DrawGate(cr, g, k, frame);
        break;
    case Family::Keep: DrawKeep(cr, g, k); break;
    case Family::Tower: DrawTower(cr, g, k); break;
    case Family::Wall:
    case Family::StoneBase:
    case Family::Blockade: DrawWallPiece(cr, g, k); break;
    case Family::Flag: {
        int nation = (type - 359) / 4 + 1;
        cairo_save(cr);
        // The cloth flutters: each frame leans it a little differently.
        cairo_translate(cr, g.ox, g.oy);
        cairo_scale(cr, 1.0 + 0.05 * std::sin(frame * M_PI / 2), 1.0);
        cairo_translate(cr, -g.ox, -g.oy);
        Shadow(cr, g.ox + 10, g.oy - 2, 14, 4);
        PaintBanner(cr, nation, g.ox, g.oy, 92, 9000u + uint32_t(type) * 4u + uint32_t(frame));
        cairo_restore(cr);
        break;
    }
    default: DrawSmall(cr, g, k); break;
    }
    cairo_restore(cr);
}

}  // namespace kit

KIT_GENERATOR(TerrainObjects) {
    CTerrainDB db;
    kit::BuildTerrainDB(db);
    std::vector<BYTE> bytes = db.Store();
    kit.WriteBytes("Data\\terrain_rect_db.trm", std::vector<uint8_t>(bytes.begin(), bytes.end()));
    for (int type = 0; type < kTerrainRecordCount; ++type) {
        // The clans' field flags wave in the battle's own pictures, drawn
        // with the soldiers in the clans' colours.
        if (kit::KindOf(type).family == kit::Family::Flag) continue;
        kit::ObjectLook look = kit::GetObjectLook(type);
        // Types up to 59 have a look for the open maps ("A") and one for the
        // castle maps ("C").
        for (int variant = 0; variant < (type <= 59 ? 2 : 1); ++variant) {
            kit::Picture p(look.frameWidth * look.frames, look.frameHeight, true);
            for (int f = 0; f < look.frames; ++f) {
                cairo_save(p.cr());
                cairo_translate(p.cr(), f * look.frameWidth, 0);
                cairo_rectangle(p.cr(), 0, 0, look.frameWidth, look.frameHeight);
                cairo_clip(p.cr());
                kit::DrawObjectFrame(p.cr(), type, f, variant == 1);
                cairo_restore(p.cr());
            }
            std::string prefix = type <= 59 ? (variant == 0 ? "A" : "C") : "";
            kit::SavePicture(kit, "Pictures\\Terrain\\" + prefix + GetObjectImageName(type, true).str(), p,
                             kit::PictureFormat::Giz8);
        }
    }
}
