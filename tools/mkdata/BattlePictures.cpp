// The battle screen's pictures other than the soldiers: the division
// markers, the orientation pointer, highlight, colour bar, bullet and
// arrows, the panels' lacquer backings, the dust and splash puffs with their
// masks, fog banks and snow, the loading screen, the clans' waving field
// flags, every command button of the battle's panels, the division symbols
// of the deployment map and the generals' portraits. Names come from
// Animate/BattlePictureNames.h, which the battle screens read too.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "Animate/BattlePictureNames.h"
#include "Units/UnitSets.h"
#include "core/WorldNames.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/Style.h"

namespace kit {
namespace {

constexpr double kPi = 3.14159265358979323846;
const std::string kPictures = "Pictures\\";

void Save8(const KitContext& kit, const std::string& name, const Picture& p) {
    SavePicture(kit, kPictures + name + ".giz", p, PictureFormat::Giz8);
}

// The picture's coverage as an 8-bit mask whose index is the opacity, saved
// as "<name> Alpha".
void SaveAlphaMask(const KitContext& kit, const std::string& name, Picture& p) {
    std::vector<uint8_t> alpha(size_t(p.Width()) * p.Height());
    p.EditPixels([&](uint32_t* row, int y) {
        for (int x = 0; x < p.Width(); ++x) alpha[size_t(y) * p.Width() + x] = uint8_t(row[x] >> 24);
    });
    std::vector<Rgb> grey(256);
    for (int i = 0; i < 256; ++i) grey[size_t(i)] = {i / 255.0, i / 255.0, i / 255.0};
    SaveIndexed(kit, kPictures + name + kAlphaSuffix + ".giz", p.Width(), p.Height(), alpha, grey,
                PictureFormat::Giz8);
}

// Thins a soft picture into a keyed one: a pixel stays where its coverage
// beats an ordered 4 x 4 threshold, so thin haze shows as a fine screen.
void Dither(Picture& p) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    p.EditPixels([&](uint32_t* row, int y) {
        for (int x = 0; x < p.Width(); ++x) {
            const uint32_t a = row[x] >> 24;
            if (a * 17 / 256 <= uint32_t(bayer[y & 3][x & 3])) {
                row[x] = 0;
                continue;
            }
            // Un-premultiply and make opaque.
            const uint32_t r = ((row[x] >> 16) & 255) * 255 / a, g = ((row[x] >> 8) & 255) * 255 / a,
                           b = (row[x] & 255) * 255 / a;
            row[x] = 0xFF000000u | std::min(r, 255u) << 16 | std::min(g, 255u) << 8 | std::min(b, 255u);
        }
    });
}

const Rgb kGrass{0.36, 0.40, 0.24};

// A marker lying on the ground at the centre of `p`: `draw` paints it round
// the origin, and the ground's foreshortening flattens it.
void GroundMarker(Picture& p, const std::function<void(cairo_t*)>& draw) {
    cairo_t* cr = p.cr();
    cairo_save(cr);
    cairo_translate(cr, p.Width() / 2.0, p.Height() / 2.0);
    cairo_scale(cr, 1, 0.7);
    draw(cr);
    cairo_restore(cr);
    FlattenOnto(p, kGrass, 0.5);
}

// ------------------------------------------------------------ markers

void DrawMarkers(const KitContext& kit) {
    {  // The cross laid over a lost general's portrait: two brush strokes.
        Picture p(64, 80, true);
        cairo_t* cr = p.cr();
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (int pass = 0; pass < 2; ++pass) {
            SetColour(cr, pass ? ink::Vermilion : ink::VermilionDark, pass ? 0.95 : 0.8);
            cairo_set_line_width(cr, pass ? 8 : 11);
            cairo_move_to(cr, 10, 12);
            cairo_curve_to(cr, 24, 30, 40, 50, 54, 68);
            cairo_move_to(cr, 53, 11);
            cairo_curve_to(cr, 40, 32, 24, 50, 11, 69);
            cairo_stroke(cr);
        }
        FlattenOnto(p, ink::Washi, 0.5);
        Save8(kit, "AFBT Big Red X", p);
    }
    {  // A division's centre: a lacquer disc ringed in gold with a gold dot.
        Picture p(16, 12, true);
        GroundMarker(p, [](cairo_t* cr) {
            cairo_arc(cr, 0, 0, 7, 0, 2 * kPi);
            SetColour(cr, ink::GoldLight);
            cairo_fill(cr);
            cairo_arc(cr, 0, 0, 5.4, 0, 2 * kPi);
            SetColour(cr, ink::Lacquer);
            cairo_fill(cr);
            cairo_arc(cr, 0, 0, 2, 0, 2 * kPi);
            SetColour(cr, ink::Gold);
            cairo_fill(cr);
        });
        Save8(kit, "BTTL_div_center", p);
    }
    {  // A division's objective: a vermilion ring with a cross on the ground.
        Picture p(18, 14, true);
        GroundMarker(p, [](cairo_t* cr) {
            cairo_arc(cr, 0, 0, 7.5, 0, 2 * kPi);
            cairo_set_line_width(cr, 2.2);
            SetColour(cr, ink::Vermilion);
            cairo_stroke(cr);
            cairo_move_to(cr, -4, 0);
            cairo_line_to(cr, 4, 0);
            cairo_move_to(cr, 0, -4);
            cairo_line_to(cr, 0, 4);
            cairo_set_line_width(cr, 1.6);
            SetColour(cr, ink::GoldLight);
            cairo_stroke(cr);
        });
        Save8(kit, "BTTL_div_obj", p);
    }
}

// ------------------------------------------------------------ sprites

// A gold arrowhead on the ground pointing toward `facing` (0 north, then
// clockwise), foreshortened like the battlefield.
void GroundArrow(cairo_t* cr, double cx, double cy, double len, int facing, const Rgb& colour) {
    const double a = facing * kPi / 4;
    const double dx = std::sin(a), dy = -std::cos(a) * 0.6;
    const double px = -dy, py = dx;  // across
    cairo_move_to(cr, cx + dx * len, cy + dy * len);
    cairo_line_to(cr, cx + px * len * 0.45 - dx * len * 0.3, cy + py * len * 0.45 - dy * len * 0.3);
    cairo_line_to(cr, cx - dx * len * 0.05, cy - dy * len * 0.05);
    cairo_line_to(cr, cx - px * len * 0.45 - dx * len * 0.3, cy - py * len * 0.45 - dy * len * 0.3);
    cairo_close_path(cr);
    SetColour(cr, colour);
    cairo_fill_preserve(cr);
    SetColour(cr, ink::Sumi);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
}

void DrawSprites(const KitContext& kit) {
    {  // The orientation pointer: eight facings across.
        const int cw = 54, ch = 48;
        Picture p(cw * 8, ch, true);
        for (int f = 0; f < 8; ++f) {
            cairo_t* cr = p.cr();
            cairo_save(cr);
            cairo_translate(cr, cw * f + cw / 2.0, ch / 2.0);
            cairo_scale(cr, 1, 0.6);
            cairo_arc(cr, 0, 0, 20, 0, 2 * kPi);
            cairo_set_line_width(cr, 2.5);
            SetColour(cr, ink::GoldDark);
            cairo_stroke(cr);
            cairo_restore(cr);
            GroundArrow(cr, cw * f + cw / 2.0, ch / 2.0, 22, f, ink::GoldLight);
        }
        FlattenOnto(p, kGrass, 0.5);
        Save8(kit, "Orientation Pointer", p);
    }
    {  // The highlight under a chosen unit: three states down.
        const int cw = 40, ch = 20;
        Picture p(cw, ch * 3, true);
        const Rgb colours[3] = {ink::GoldLight, {1, 1, 1}, ink::Vermilion};
        for (int r = 0; r < 3; ++r) {
            cairo_t* cr = p.cr();
            cairo_save(cr);
            cairo_translate(cr, cw / 2.0, ch * r + ch / 2.0);
            cairo_scale(cr, 1, 0.45);
            cairo_arc(cr, 0, 0, 17, 0, 2 * kPi);
            cairo_restore(cr);
            cairo_set_line_width(cr, 2);
            SetColour(cr, colours[r]);
            cairo_stroke(cr);
        }
        FlattenOnto(p, kGrass, 0.5);
        Save8(kit, "Highlight", p);
    }
    {
        Picture p(24, 24, true);
        cairo_t* cr = p.cr();
        cairo_arc(cr, 12, 12, 10, 0, 2 * kPi);
        SetColour(cr, {0.05, 0.22, 0.10});
        cairo_fill(cr);
        cairo_pattern_t* g = cairo_pattern_create_radial(9, 9, 1, 12, 12, 9);
        cairo_pattern_add_color_stop_rgb(g, 0, 0.70, 0.95, 0.65);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.12, 0.52, 0.22);
        cairo_arc(cr, 12, 12, 8.6, 0, 2 * kPi);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        FlattenOnto(p, kGrass, 0.5);
        Save8(kit, "24Green Dot", p);
    }
    {  // The colour bar: six levels down, from fresh to spent.
        const int cw = 48, ch = 6;
        Picture p(cw, ch * 6, false);
        const Rgb levels[6] = {{0.20, 0.62, 0.25}, {0.55, 0.72, 0.22}, {0.90, 0.78, 0.20},
                               {0.92, 0.50, 0.12}, {0.78, 0.16, 0.10}, {0.35, 0.33, 0.32}};
        cairo_t* cr = p.cr();
        for (int r = 0; r < 6; ++r) {
            cairo_rectangle(cr, 0, ch * r, cw, ch);
            SetColour(cr, ink::Lacquer);
            cairo_fill(cr);
            cairo_rectangle(cr, 1, ch * r + 1, cw - 2, ch - 2);
            SetColour(cr, levels[r]);
            cairo_fill(cr);
            cairo_rectangle(cr, 1, ch * r + 1, cw - 2, 1);
            SetColour(cr, levels[r].Mix({1, 1, 1}, 0.4));
            cairo_fill(cr);
        }
        Save8(kit, "ColorBar", p);
    }
    // Missiles in flight. The battle places their cell's top left 15 to
    // the left of the missile and 19 above it, so the missile stands in
    // the middle of a 30 x 38 cell.
    constexpr int kMissileW = 30, kMissileH = 38;
    constexpr double kMissileX = 15, kMissileY = 19;
    {  // A matchlock ball with its glint.
        Picture p(kMissileW, kMissileH, true);
        cairo_t* cr = p.cr();
        cairo_arc(cr, kMissileX, kMissileY, 2.2, 0, 2 * kPi);
        SetColour(cr, {0.12, 0.12, 0.13});
        cairo_fill(cr);
        cairo_arc(cr, kMissileX - 0.7, kMissileY - 0.7, 0.8, 0, 2 * kPi);
        SetColour(cr, {0.80, 0.80, 0.82});
        cairo_fill(cr);
        FlattenOnto(p, kGrass, 0.4);
        Save8(kit, "Bullet", p);
    }
    {  // An arrow in flight, one heading a row: a dark shaft, a steel head
       // and pale fletching.
        Picture p(kMissileW, kMissileH * 8, true);
        cairo_t* cr = p.cr();
        for (int r = 0; r < 8; ++r) {
            const double a = r * kPi / 4, dx = std::sin(a), dy = -std::cos(a) * 0.8;
            const double cx = kMissileX, cy = kMissileH * r + kMissileY;
            cairo_move_to(cr, cx - dx * 10, cy - dy * 10);
            cairo_line_to(cr, cx + dx * 9, cy + dy * 9);
            cairo_set_line_width(cr, 1.6);
            SetColour(cr, {0.30, 0.19, 0.10});
            cairo_stroke(cr);
            // The head: a small triangle along the flight.
            const double hx = cx + dx * 11, hy = cy + dy * 11, nx = -dy, ny = dx;
            cairo_move_to(cr, hx + dx * 2.5, hy + dy * 2.5);
            cairo_line_to(cr, hx + nx * 1.8, hy + ny * 1.8);
            cairo_line_to(cr, hx - nx * 1.8, hy - ny * 1.8);
            cairo_close_path(cr);
            SetColour(cr, {0.78, 0.80, 0.84});
            cairo_fill(cr);
            // The fletching: two short feathers at the tail.
            for (int side = -1; side <= 1; side += 2) {
                cairo_move_to(cr, cx - dx * 10, cy - dy * 10);
                cairo_line_to(cr, cx - dx * 7 + nx * 2.2 * side, cy - dy * 7 + ny * 2.2 * side);
                cairo_set_line_width(cr, 1.6);
                SetColour(cr, {0.97, 0.95, 0.88});
                cairo_stroke(cr);
            }
        }
        FlattenOnto(p, kGrass, 0.4);
        Save8(kit, "Arrow", p);
    }
}

// ------------------------------------------------------------ panels

void Backing(const KitContext& kit, const std::string& name, int w, int h, uint32_t seed) {
    Picture p(w, h, true);
    PaintLacquerPanel(p.cr(), 1, 1, w - 2, h - 2, 10, 3);
    PaintWaves(p.cr(), 8, 8, w - 16, h - 16, 12, ink::Gold, 0.08);
    PaintGrain(p, 4, 4, w - 8, h - 8, seed, 0.05);
    FlattenOnto(p, ink::Lacquer, 0.5);
    Save8(kit, name, p);
}

void DrawPanels(const KitContext& kit) {
    Backing(kit, "Army Orders RightClick Backdrop", 250, 162, 31);
    Backing(kit, "army orders cmb backdrop", 262, 256, 32);
    Picture p(68, 18, true);
    PaintLacquerPanel(p.cr(), 0.5, 0.5, 67, 17, 4, 2);
    FlattenOnto(p, ink::Lacquer, 0.5);
    Save8(kit, "Portrait\\Portrait Bottom", p);
}

// ------------------------------------------------------------ effects

// A soft puff of round blobs, for dust and splashes.
void Puff(Picture& p, const Rgb& colour, int blobs, double spread, uint32_t seed, bool droplets) {
    KitRandom rnd(seed);
    cairo_t* cr = p.cr();
    const double w = p.Width(), h = p.Height();
    for (int i = 0; i < blobs; ++i) {
        const double x = w / 2 + rnd.Range(-spread, spread) * w / 2;
        const double y = h * 0.6 + rnd.Range(-spread, spread) * h / 3;
        const double r = rnd.Range(0.18, 0.3) * std::min(w, h);
        cairo_pattern_t* g = cairo_pattern_create_radial(x - r * 0.3, y - r * 0.3, 0, x, y, r);
        const Rgb hi = colour.Mix({1, 1, 1}, 0.35);
        cairo_pattern_add_color_stop_rgba(g, 0, hi.r, hi.g, hi.b, 0.8);
        cairo_pattern_add_color_stop_rgba(g, 1, colour.r, colour.g, colour.b, 0.0);
        cairo_arc(cr, x, y, r, 0, 2 * kPi);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
    if (droplets)
        for (int i = 0; i < blobs * 2; ++i) {
            const double a = rnd.Range(-kPi * 0.9, -kPi * 0.1), d = rnd.Range(0.25, 0.48);
            cairo_arc(cr, w / 2 + std::cos(a) * d * w, h * 0.7 + std::sin(a) * d * h * 1.2, rnd.Range(0.8, 1.5), 0,
                      2 * kPi);
            SetColour(cr, {0.93, 0.97, 1.0}, 0.9);
            cairo_fill(cr);
        }
}

// Saves a soft puff as the battle blends it: its coverage as the mask, and
// every pixel it covers in its full colour, so that no edge pixel falls to
// the key colour while its mask still shows it. The faintest fringe is cut
// from both: puffs laid over one another every step would grow it into a
// haze over the men.
void SavePuff(const KitContext& kit, const std::string& name, Picture& p) {
    constexpr uint32_t kFringe = 80;
    p.EditPixels([&](uint32_t* row, int) {
        for (int x = 0; x < p.Width(); ++x)
            if ((row[x] >> 24) < kFringe) row[x] = 0;
    });
    SaveAlphaMask(kit, name, p);
    p.EditPixels([&](uint32_t* row, int) {
        for (int x = 0; x < p.Width(); ++x) {
            const uint32_t a = row[x] >> 24;
            if (a == 0) continue;
            auto unmul = [&](int shift) { return std::min<uint32_t>(255, ((row[x] >> shift) & 0xFF) * 255 / a); };
            row[x] = 0xFF000000u | unmul(16) << 16 | unmul(8) << 8 | unmul(0);
        }
    });
    Save8(kit, name, p);
}

void DrawEffects(const KitContext& kit) {
    for (int i = 0; i < 4; ++i) {  // dust and gun smoke, growing and thinning
        Picture p(28 + 4 * i, 22 + 3 * i, true);
        Puff(p, Rgb{0.72, 0.64, 0.50}.Mix({0.85, 0.84, 0.80}, i * 0.15), 5 + i, 0.5 + i * 0.1, 400u + i, false);
        SavePuff(kit, kBattleEffectPictures[i], p);
    }
    for (int i = 0; i < 8; ++i) {  // splashes: four of riders, four of men on foot
        const bool mounted = i < 4;
        Picture p(mounted ? 36 : 26, mounted ? 28 : 20, true);
        Puff(p, {0.70, 0.82, 0.90}, 4 + i % 4, 0.45 + (i % 4) * 0.1, 440u + i, true);
        SavePuff(kit, kBattleEffectPictures[4 + i], p);
    }
}

void DrawWeather(const KitContext& kit) {
    const int sizes[3][2] = {{220, 110}, {300, 140}, {380, 170}};
    for (int f = 0; f < 3; ++f) {
        const int w = sizes[f][0], h = sizes[f][1];
        Picture p(w, h, true);
        p.EditPixels([&](uint32_t* row, int y) {
            for (int x = 0; x < w; ++x) {
                const double nx = (x - w / 2.0) / (w / 2.0), ny = (y - h / 2.0) / (h / 2.0);
                const double edge = std::max(0.0, 1 - (nx * nx + ny * ny));
                const double n = ValueNoise(x, y, 28, 500u + f) * 0.6 + ValueNoise(x, y, 9, 510u + f) * 0.4;
                const double a = std::clamp(edge * (n * 1.3 - 0.1), 0.0, 0.85);
                const uint32_t A = uint32_t(a * 255), c = uint32_t(a * 240);
                row[x] = A << 24 | c << 16 | c << 8 | uint32_t(a * 246);
            }
        });
        Dither(p);
        Save8(kit, kWeatherPictures[f], p);
    }
    Picture snow(64, 64, true);
    KitRandom rnd(421);
    for (int i = 0; i < 36; ++i) {
        const double x = rnd.Range(2, 62);
        const double y = rnd.Range(2, 62);
        const double r = rnd.Range(0.7, 1.6);
        cairo_arc(snow.cr(), x, y, r, 0, 2 * kPi);
        SetColour(snow.cr(), {0.97, 0.98, 1.0});
        cairo_fill(snow.cr());
    }
    FlattenOnto(snow, {0.75, 0.78, 0.82}, 0.45);
    Save8(kit, kWeatherPictures[3], snow);
}

// ------------------------------------------------------------ loading

void DrawLoading(Picture& p, const ScreenLayout& L) {
    PaintWashi(p, 601, ink::Washi, 0);
    cairo_t* cr = p.cr();
    const double w = L.width, h = L.height, s = L.s();
    PaintLandscape(cr, 0, 0, w, h, h * 0.3, h * 0.62, s, 602);
    PaintSun(cr, w * 0.86, h * 0.29, 46 * s);
    // Two armies drawn up under their banners.
    for (int side = 0; side < 2; ++side) {
        const int clan = side == 0 ? 1 : 2;
        const double x0 = side == 0 ? w * 0.06 : w * 0.58, dir = side == 0 ? 1 : -1;
        for (int b = 0; b < 5; ++b)
            PaintBanner(cr, clan, x0 + b * w * 0.075, h * 0.8, 170 * s, 610u + side * 10 + b);
        for (int r = 0; r < 2; ++r)
            for (int i = 0; i < 9; ++i)
                PaintFootSoldier(cr, clan, x0 + i * w * 0.04 + r * w * 0.02, h * 0.78 + r * 36 * s, (72 + r * 10) * s,
                                 int(dir), 620u + side * 40 + r * 10 + i);
    }
    PaintGoldFrame(cr, 10 * s, 10 * s, w - 20 * s, h - 20 * s, 8 * s);
    TextStyle title;
    title.face = Face::SerifBold;
    title.size = 64 * s;
    title.fill = ink::Sumi;
    title.shadow = 2 * s;
    title.shadowAlpha = 0.25;
    title.tracking = 6 * s;
    DrawText(cr, "The armies take the field", w / 2, h * 0.16, Align::Centre, title);
    TextStyle line = title;
    line.face = Face::Serif;
    line.size = 28 * s;
    line.tracking = 2 * s;
    line.shadow = 0;
    DrawText(cr, "Preparing the battle\xe2\x80\xa6", w / 2, h * 0.94, Align::Centre, line);
    PaintSeal(cr, w * 0.9, h * 0.9, 60 * s, 1);
}

// ------------------------------------------------------------ flags

// A clan's field flag flying from its pole, one frame of its waving, in a
// cell of the battlefield objects' size whose pole stands at the objects'
// ground point. Variants 1 and 2 are cloth of the clan's colour, 3 and 4
// of its second colour; 2 and 4 carry bands above and below the crest.
constexpr int kFlagCellWidth = 52, kFlagCellHeight = 104;
constexpr double kFlagPoleX = 10, kFlagPoleBase = 100;

void DrawFlagFrame(Picture& sheet, int clan, int variant, int frame) {
    const Rgb ground = variant <= 2 ? ClanColour(clan) : ClanAccent(clan);
    const Rgb mark = variant <= 2 ? ClanAccent(clan) : ClanColour(clan);
    const int fw = 36, fh = 26;
    Picture cloth(fw, fh, false);
    cairo_t* cr = cloth.cr();
    SetColour(cr, ground);
    cairo_paint(cr);
    if (variant % 2 == 0) {
        for (double y : {2.0, fh - 6.0}) {
            cairo_rectangle(cr, 0, y, fw, 4);
            SetColour(cr, mark);
            cairo_fill(cr);
        }
    }
    DrawMon(cr, clan, fw * 0.5, fh * 0.5, fh * 0.3, mark);
    // Pole and its gilt finial.
    cairo_t* s = sheet.cr();
    const double x0 = kFlagCellWidth * frame + kFlagPoleX - 1, top = 10;
    cairo_rectangle(s, x0, top, 2, kFlagPoleBase - top);
    SetColour(s, ink::Lacquer);
    cairo_fill(s);
    cairo_arc(s, x0 + 1, top - 2, 2.2, 0, 2 * kPi);
    SetColour(s, ink::Gold);
    cairo_fill(s);
    // The cloth, column by column, riding a wave that runs out to its free
    // end and shaded where it turns from the light.
    const double phase = 2 * kPi * frame / kFlagFrames;
    for (int x = 0; x < fw; ++x) {
        const double t = double(x) / fw;
        const double dy = 3.2 * t * std::sin(t * 7.0 - phase) + t * 3;
        const double slope = std::cos(t * 7.0 - phase);
        const double cx = x0 + 2 + x, cy = top + 1 + dy;
        cairo_save(s);
        cairo_rectangle(s, cx, 0, 1, kFlagCellHeight);
        cairo_clip(s);
        cairo_set_source_surface(s, cloth.Surface(), x0 + 2, cy);
        cairo_paint(s);
        if (slope > 0)
            cairo_set_source_rgba(s, 0, 0, 0, 0.22 * slope * t);
        else
            cairo_set_source_rgba(s, 1, 1, 1, -0.16 * slope * t);
        cairo_rectangle(s, cx, cy, 1, fh);
        cairo_fill(s);
        cairo_restore(s);
    }
}

void DrawFlags(const KitContext& kit) {
    for (int clan = UnitSets::kFirstBattleClan; clan <= UnitSets::kLastBattleClan; ++clan)
        for (int v = 1; v <= kFlagVariants; ++v) {
            Picture p(kFlagCellWidth * kFlagFrames, kFlagCellHeight, true);
            for (int f = 0; f < kFlagFrames; ++f) DrawFlagFrame(p, clan, v, f);
            FlattenOnto(p, kGrass, 0.5);
            Save8(kit, kFlagPicturePrefix + std::string(kClanNames[clan]) + std::to_string(v), p);
        }
}

// ------------------------------------------------------------ buttons

struct ButtonSpec {
    const char* name;
    const char* caption;
};

void Buttons(const KitContext& kit, const std::vector<ButtonSpec>& list, int w, int h, double font,
             const std::string& folder = kPictures + "Cmb\\") {
    for (const ButtonSpec& b : list) SavePlaqueButton(kit, folder, b.name, w, h, b.caption, PlaqueKind::Lacquer, font);
}

void DrawButtons(const KitContext& kit) {
    const char* orders[8] = {"Move", "Formation", "All Out", "Attack", "Defend", "Hold", "Regroup", "Retreat"};
    std::vector<ButtonSpec> markers, panel;
    for (int i = 0; i < 8; ++i) {
        markers.push_back({kDivisionOrderMarkers[i], orders[i]});
        panel.push_back({kDivisionOrderButtons[i], orders[i]});
    }
    Buttons(kit, markers, 62, 22, 11);
    Buttons(kit, panel, 64, 20, 11);
    const char* army[8] = {"Back", "Forward", "Halt", "Formation", "Retreat", "War Drum", "Forward", "Back"};
    std::vector<ButtonSpec> wide, narrow;
    for (int i = 0; i < 8; ++i) wide.push_back({kArmyCommandButtons[i], army[i]});
    const char* narrowCaptions[6] = {"Forward", "Halt", "Back", "Formation", "Retreat", "War Drum"};
    for (int i = 0; i < 6; ++i) narrow.push_back({kNarrowArmyCommandButtons[i], narrowCaptions[i]});
    // Three to a row, 51 apart: each fits in 50.
    Buttons(kit, wide, 50, 40, 10);
    Buttons(kit, narrow, 56, 17, 10);
    const char* ao[9] = {"Left", "Centre", "Right", "Ahead", "Far L", "Out L", "Push", "Out R", "Far R"};
    std::vector<ButtonSpec> aoButtons;
    for (int i = 0; i < 9; ++i) aoButtons.push_back({kAllOutAttackButtons[i], ao[i]});
    Buttons(kit, aoButtons, 46, 46, 11);
    const char* forms[14] = {"Arrow", "Wing", "Circle", "Dragon", "Fish",   "Line", "Scale",
                             "Snake", "Spear", "Tiger", "Square", "Yoke",  "Wave", "Crescent"};
    std::vector<ButtonSpec> formations;
    for (int i = 0; i < 14; ++i) formations.push_back({kFormationButtons[i], forms[i]});
    Buttons(kit, formations, 58, 56, 12);
    const char* targets[12] = {"Spear", "Crescent", "Inner", "Line", "Square", "Spear II",
                               "Cross II", "Cross",  "Column", "Standby", "Arc",    "Box"};
    std::vector<ButtonSpec> targetButtons;
    for (int i = 0; i < 12; ++i) targetButtons.push_back({kFormationCommandButtons[i], targets[i]});
    Buttons(kit, targetButtons, 46, 46, 10, kPictures + "Formation Cmb\\");
}

// ------------------------------------------------------------ tactic map

// An arm's glyph in ink inside a symbol of radius r.
void ArmGlyph(cairo_t* cr, int arm, double cx, double cy, double r) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, r * 0.16);
    SetColour(cr, ink::Sumi);
    switch (arm) {
    case 0:  // crossed swords
        cairo_move_to(cr, cx - r * 0.55, cy + r * 0.55);
        cairo_line_to(cr, cx + r * 0.55, cy - r * 0.55);
        cairo_move_to(cr, cx + r * 0.55, cy + r * 0.55);
        cairo_line_to(cr, cx - r * 0.55, cy - r * 0.55);
        cairo_stroke(cr);
        break;
    case 1:  // a horseshoe
        cairo_arc_negative(cr, cx, cy, r * 0.45, kPi * 0.8, kPi * 0.2);
        cairo_stroke(cr);
        break;
    case 2:  // a bow and arrow
        cairo_arc(cr, cx + r * 0.5, cy, r * 0.7, kPi * 0.7, kPi * 1.3);
        cairo_move_to(cr, cx - r * 0.6, cy);
        cairo_line_to(cr, cx + r * 0.6, cy);
        cairo_stroke(cr);
        break;
    case 3:  // a matchlock
        cairo_move_to(cr, cx - r * 0.6, cy + r * 0.3);
        cairo_line_to(cr, cx + r * 0.6, cy - r * 0.3);
        cairo_stroke(cr);
        cairo_arc(cr, cx - r * 0.45, cy + r * 0.3, r * 0.16, 0, 2 * kPi);
        cairo_fill(cr);
        break;
    default:  // a spear
        cairo_move_to(cr, cx, cy + r * 0.65);
        cairo_line_to(cr, cx, cy - r * 0.4);
        cairo_stroke(cr);
        cairo_move_to(cr, cx, cy - r * 0.7);
        cairo_line_to(cr, cx + r * 0.15, cy - r * 0.4);
        cairo_line_to(cr, cx - r * 0.15, cy - r * 0.4);
        cairo_close_path(cr);
        cairo_fill(cr);
        break;
    }
}

void DrawTacticSymbols(const KitContext& kit) {
    const Rgb grades[4][2] = {{ink::GoldLight, ink::GoldDark},
                              {{0.92, 0.93, 0.95}, {0.50, 0.52, 0.56}},
                              {{0.62, 0.58, 0.55}, {0.28, 0.26, 0.25}},
                              {{0.78, 0.60, 0.38}, {0.40, 0.26, 0.13}}};
    for (int g = 0; g < 4; ++g)
        for (int a = 0; a < 5; ++a) {
            Picture p(30, 30, true);
            cairo_t* cr = p.cr();
            cairo_arc(cr, 15, 15, 13.5, 0, 2 * kPi);
            cairo_pattern_t* pat = cairo_pattern_create_linear(4, 4, 26, 26);
            cairo_pattern_add_color_stop_rgb(pat, 0, grades[g][0].r, grades[g][0].g, grades[g][0].b);
            cairo_pattern_add_color_stop_rgb(pat, 1, grades[g][1].r, grades[g][1].g, grades[g][1].b);
            cairo_set_source(cr, pat);
            cairo_fill_preserve(cr);
            cairo_pattern_destroy(pat);
            SetColour(cr, ink::Sumi);
            cairo_set_line_width(cr, 1.4);
            cairo_stroke(cr);
            ArmGlyph(cr, a, 15, 15, 11);
            FlattenOnto(p, kGrass, 0.5);
            Save8(kit, std::string(kTacticSymbolPrefix) + kTacticSymbolGrades[g] + " " + kTacticSymbolArms[a], p);
        }
    // Strength pennants, five across from full strength to spent.
    const Rgb levels[5] = {{0.20, 0.62, 0.25}, {0.55, 0.72, 0.22}, {0.90, 0.78, 0.20}, {0.92, 0.50, 0.12},
                           {0.78, 0.16, 0.10}};
    Picture p(12 * 5, 20, true);
    for (int i = 0; i < 5; ++i) {
        cairo_t* cr = p.cr();
        cairo_rectangle(cr, i * 12 + 1, 1, 1.4, 18);
        SetColour(cr, ink::Lacquer);
        cairo_fill(cr);
        cairo_move_to(cr, i * 12 + 2.4, 2);
        cairo_line_to(cr, i * 12 + 11, 5.5);
        cairo_line_to(cr, i * 12 + 2.4, 9);
        cairo_close_path(cr);
        SetColour(cr, levels[i]);
        cairo_fill_preserve(cr);
        SetColour(cr, ink::Sumi);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }
    FlattenOnto(p, kGrass, 0.5);
    Save8(kit, kTacticStrengthFlags, p);
}

// ------------------------------------------------------------ portraits

// A general's portrait in ink and colour on paper: armour of his clan with
// its crest on the breast, a helmet whose crest is his own.
void DrawPortrait(const KitContext& kit, const std::string& name, int clan, uint32_t seed) {
    const int w = 64, h = 80;
    Picture p(w, h, false);
    PaintWashi(p, seed, ClanAccent(clan), 0.15);
    cairo_t* cr = p.cr();
    KitRandom rnd(seed);
    const Rgb armour = ClanColour(clan);
    // Shoulders and breastplate.
    cairo_move_to(cr, 4, h);
    cairo_curve_to(cr, 6, 58, 18, 52, 32, 52);
    cairo_curve_to(cr, 46, 52, 58, 58, 60, h);
    cairo_close_path(cr);
    SetColour(cr, armour);
    cairo_fill_preserve(cr);
    SetColour(cr, ink::Sumi);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, 10 + i * 2, 64 + i * 5);
        cairo_line_to(cr, 54 - i * 2, 64 + i * 5);
    }
    SetColour(cr, armour.Scaled(0.55));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    DrawMon(cr, clan, 32, 70, 6, ClanAccent(clan));
    // Face.
    const double face = rnd.Range(0.95, 1.05);
    cairo_save(cr);
    cairo_translate(cr, 32, 38);
    cairo_scale(cr, 11 * face, 13);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    SetColour(cr, {0.88, 0.72, 0.56});
    cairo_fill_preserve(cr);
    SetColour(cr, ink::Sumi);
    cairo_set_line_width(cr, 1.1);
    cairo_stroke(cr);
    // Eyes, brows and moustache in ink.
    for (int s = -1; s <= 1; s += 2) {
        cairo_move_to(cr, 32 + s * 3, 36);
        cairo_line_to(cr, 32 + s * 7.5, 35 + rnd.Range(-0.6, 0.6));
        cairo_move_to(cr, 32 + s * 2.5, 32);
        cairo_line_to(cr, 32 + s * 8, 30.5 - rnd.Range(0, 1.2));
        cairo_move_to(cr, 32, 44);
        cairo_curve_to(cr, 32 + s * 3, 43, 32 + s * 6, 45, 32 + s * rnd.Range(7, 9), 47 + rnd.Range(-1, 1));
    }
    cairo_set_line_width(cr, 1.3);
    cairo_stroke(cr);
    // Helmet bowl, its flaring neck guard and the gilt crest.
    cairo_arc(cr, 32, 30, 14, kPi, 2 * kPi);
    cairo_close_path(cr);
    SetColour(cr, ink::Lacquer);
    cairo_fill(cr);
    cairo_move_to(cr, 14, 36);
    cairo_curve_to(cr, 18, 28, 46, 28, 50, 36);
    cairo_line_to(cr, 46, 31);
    cairo_curve_to(cr, 40, 26, 24, 26, 18, 31);
    cairo_close_path(cr);
    SetColour(cr, ink::Lacquer.Mix(armour, 0.25));
    cairo_fill(cr);
    const double spread = rnd.Range(6, 13), rise = rnd.Range(10, 16);
    cairo_move_to(cr, 32, 22);
    cairo_curve_to(cr, 32 - spread * 0.4, 16, 32 - spread, 14, 32 - spread, 22 - rise);
    cairo_move_to(cr, 32, 22);
    cairo_curve_to(cr, 32 + spread * 0.4, 16, 32 + spread, 14, 32 + spread, 22 - rise);
    cairo_set_line_width(cr, 2.4);
    SetColour(cr, ink::Gold);
    cairo_stroke(cr);
    PaintGoldFrame(cr, 0.5, 0.5, w - 1, h - 1, 2);
    SavePicture(kit, kPictures + "Portrait\\" + name + ".giz", p, PictureFormat::Giz24);
}

void DrawPortraits(const KitContext& kit) {
    DrawPortrait(kit, "Generic General", 13, 700);
    for (int k = 1; k <= 12; ++k)
        if (kLeaderNames[k][0])
            DrawPortrait(kit, std::string(kLeaderFamilyNames[k]) + " " + kLeaderGivenNames[k], k, 700u + k);
}

}  // namespace
}  // namespace kit

KIT_GENERATOR(BattleSprites) {
    kit::DrawMarkers(kit);
    kit::DrawSprites(kit);
    kit::DrawPanels(kit);
    kit::DrawEffects(kit);
}

KIT_GENERATOR(BattleWeather) { kit::DrawWeather(kit); }

KIT_GENERATOR(BattleLoadingScreen) {
    kit::SaveForBothLayouts(kit, "Pictures\\", kLoadingScreenPicture, kit::PictureFormat::Giz24, kit::DrawLoading);
}

KIT_GENERATOR(BattleFlags) { kit::DrawFlags(kit); }

KIT_GENERATOR(BattleButtons) {
    kit::DrawButtons(kit);
    kit::DrawTacticSymbols(kit);
}

KIT_GENERATOR(Portraits) { kit::DrawPortraits(kit); }
