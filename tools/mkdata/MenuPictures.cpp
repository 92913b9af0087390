// The single-battle menu and the results screen: the map of the country
// with its sixteen battle spots ("Bkgnd Arrow"), the fire marker that burns
// on the spot under the mouse, the menu's buttons, the results screen's
// background, the clans' result panels and the division heading.
#include <algorithm>
#include <cmath>
#include <string>

#include "Animate/MenuPictureNames.h"
#include "core/WorldNames.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/Style.h"

namespace kit {
namespace {

using MenuPictures::SpotRect;

const SpotRect* SpotsOf(const ScreenLayout& L) {
    return L.width > 1024 ? MenuPictures::kSpotsLarge : MenuPictures::kSpots1024;
}

double CentreX(const SpotRect& r) { return (r.left + r.right) / 2.0; }
double CentreY(const SpotRect& r) { return (r.top + r.bottom) / 2.0; }

// The land runs along the spots in these chains, from the western capes to
// the northern coast.
const int kMainChain[] = {12, 10, 9, 8, 7, 6, 15, 14, 13, 1, 0, 5, 2, 3, 4};
const int kWestChain[] = {11, 12};

// The land as overlapping discs along the chains and round every spot,
// their radii swelling and shrinking with a slow noise so that the coast
// has its bays and capes. `grow` widens every disc (the coast line).
void LandPath(cairo_t* cr, const SpotRect* spots, double radius, double grow, double s) {
    auto disc = [&](double x, double y) {
        double r = radius * (0.72 + 0.55 * ValueNoise(x, y, 90 * s, 5150)) + grow;
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    };
    auto chain = [&](const int* ids, int n) {
        for (int i = 0; i + 1 < n; ++i) {
            const SpotRect& a = spots[ids[i]];
            const SpotRect& b = spots[ids[i + 1]];
            double dx = CentreX(b) - CentreX(a), dy = CentreY(b) - CentreY(a);
            int steps = std::max(1, int(std::hypot(dx, dy) / (8 * s)));
            for (int k = 0; k < steps; ++k) disc(CentreX(a) + dx * k / steps, CentreY(a) + dy * k / steps);
        }
    };
    chain(kMainChain, 15);
    chain(kWestChain, 2);
    for (int i = 0; i < MenuPictures::kSpotCount; ++i) disc(CentreX(spots[i]), CentreY(spots[i]));
}

// The land mass: an ink coast first, then the land laid over it a little
// smaller, so that only the union's edge keeps the ink.
void PaintLand(Picture& p, const ScreenLayout& L) {
    cairo_t* cr = p.cr();
    const SpotRect* spots = SpotsOf(L);
    const double s = L.s(), radius = 82 * s, coast = 4 * s;
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    // Shallows, coast, land.
    LandPath(cr, spots, radius, 14 * s, s);
    SetColour(cr, ink::Indigo, 0.10);
    cairo_fill(cr);
    LandPath(cr, spots, radius, coast, s);
    SetColour(cr, ink::Sumi, 0.85);
    cairo_fill(cr);
    const Rgb land = ink::Washi.Mix({0.62, 0.66, 0.46}, 0.45);
    LandPath(cr, spots, radius, 0, s);
    SetColour(cr, land);
    cairo_fill(cr);
    // Ranges of hills along the land's spine, in faint ink.
    KitRandom rnd(4242);
    for (int i = 0; i + 1 < 15; ++i) {
        const SpotRect& a = spots[kMainChain[i]];
        const SpotRect& b = spots[kMainChain[i + 1]];
        for (int k = 0; k < 3; ++k) {
            double t = (k + 0.5) / 3.0;
            double x = CentreX(a) + (CentreX(b) - CentreX(a)) * t + rnd.Range(-20, 20) * s;
            double y = CentreY(a) + (CentreY(b) - CentreY(a)) * t + rnd.Range(-30, -10) * s;
            double w = rnd.Range(14, 24) * s;
            cairo_move_to(cr, x - w, y);
            cairo_curve_to(cr, x - w / 3, y - w * 0.9, x + w / 3, y - w * 0.9, x + w, y);
            SetColour(cr, ink::SumiWash, 0.35);
            cairo_set_line_width(cr, 2 * s);
            cairo_stroke(cr);
        }
    }
}

// A battle spot: an ink ring with a vermilion heart and crossed strokes.
void PaintSpot(cairo_t* cr, const SpotRect& r, double s) {
    const double cx = CentreX(r), cy = CentreY(r), rad = std::min(r.right - r.left, r.bottom - r.top) / 2.0 - 1;
    cairo_arc(cr, cx, cy, rad, 0, 2 * M_PI);
    SetColour(cr, ink::Washi, 0.9);
    cairo_fill_preserve(cr);
    SetColour(cr, ink::Sumi);
    cairo_set_line_width(cr, 2.2 * s);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, rad * 0.45, 0, 2 * M_PI);
    SetColour(cr, ink::Vermilion);
    cairo_fill(cr);
    for (int k = -1; k <= 1; k += 2) {
        cairo_move_to(cr, cx - rad * 0.8, cy + k * rad * 0.8);
        cairo_line_to(cr, cx + rad * 0.8, cy - k * rad * 0.8);
    }
    SetColour(cr, ink::Sumi, 0.7);
    cairo_set_line_width(cr, 1.2 * s);
    cairo_stroke(cr);
}

void DrawMenuMap(Picture& p, const ScreenLayout& L) {
    cairo_t* cr = p.cr();
    const double W = p.Width(), H = p.Height(), s = L.s();
    PaintWashi(p, 5101, ink::Indigo.Mix(ink::Washi, 0.6), 0.25);
    PaintWaves(cr, 0, 0, W, H, 26 * s, ink::Indigo, 0.12);
    PaintLand(p, L);
    for (int i = 0; i < MenuPictures::kSpotCount; ++i) PaintSpot(cr, SpotsOf(L)[i], s);
    // The title plaque in the open sea of the upper left.
    PaintLacquerPanel(cr, 40 * s, 40 * s, 520 * s, 96 * s, 10 * s, 4 * s, ink::Lacquer, 0.94);
    TextStyle st;
    st.size = 38 * s;
    st.fill = ink::GoldLight;
    st.fillLow = ink::Gold;
    st.tracking = 3 * s;
    st.outline = 1.0 * s;
    st.outlineColour = ink::Sumi;
    DrawText(cr, "HISTORICAL BATTLES", 300 * s, 102 * s, Align::Centre, st);
    TextStyle hint;
    hint.size = 20 * s;
    hint.fill = ink::Sumi;
    DrawText(cr, "Choose a battlefield", 300 * s, 170 * s, Align::Centre, hint);
    PaintSeal(cr, W - 70 * s, 70 * s, 50 * s, 1);
    PaintGoldFrame(cr, 10 * s, 10 * s, W - 20 * s, H - 20 * s, 6 * s);
}

// One frame of the fire marker: tongues of flame that rise and sway.
void PaintFlame(cairo_t* cr, double x0, double cell, int frame) {
    const double cx = x0 + cell / 2, base = cell * 0.92;
    const double phase = frame * 2 * M_PI / 12.0;
    struct Tongue {
        double dx, height, width;
        Rgb colour;
        double alpha;
    };
    const Tongue tongues[] = {
        {0.0, 0.80, 0.34, ink::VermilionDark, 0.95},
        {0.0, 0.66, 0.26, ink::Vermilion, 1.0},
        {0.0, 0.46, 0.16, ink::Gold, 1.0},
        {0.0, 0.28, 0.08, ink::GoldLight, 1.0},
    };
    for (int i = 0; i < 4; ++i) {
        const Tongue& t = tongues[i];
        double sway = std::sin(phase + i * 0.9) * cell * 0.06;
        double h = cell * t.height * (0.9 + 0.1 * std::sin(phase * 2 + i));
        double w = cell * t.width;
        cairo_move_to(cr, cx - w, base);
        cairo_curve_to(cr, cx - w * 1.1, base - h * 0.5, cx + sway - w * 0.2, base - h * 0.8, cx + sway, base - h);
        cairo_curve_to(cr, cx + sway + w * 0.2, base - h * 0.8, cx + w * 1.1, base - h * 0.5, cx + w, base);
        cairo_close_path(cr);
        SetColour(cr, t.colour, t.alpha);
        cairo_fill(cr);
    }
}

void SaveFireSet(const KitContext& kit, const ScreenLayout& L) {
    const int cell = MenuPictures::kFireCell[L.width > 1024 ? 1 : 0];
    Picture p(cell * MenuPictures::kFireFrames, cell, true);
    for (int f = 0; f < MenuPictures::kFireFrames; ++f) PaintFlame(p.cr(), f * cell, cell, f);
    SavePicture(kit, std::string("Pictures\\") + L.prefix + MenuPictures::kFireSet + ".giz", p, PictureFormat::Giz8);
}

void DrawResultsBackground(Picture& p, const ScreenLayout& L) {
    cairo_t* cr = p.cr();
    const double W = p.Width(), H = p.Height(), s = L.s();
    PaintWashi(p, 6101);
    PaintLandscape(cr, 0, H * 0.62, W, H * 0.38, H * 0.70, H * 0.95, s * 0.8, 6102);
    // The field after the battle: the houses' banners at either edge.
    for (int i = 0; i < 2; ++i) {
        PaintBanner(cr, 1 + i, W * (0.035 + 0.04 * i), H * 0.99, H * (0.34 - 0.04 * i), 6200 + i);
        PaintBanner(cr, 7 + i, W * (0.965 - 0.04 * i), H * 0.99, H * (0.34 - 0.04 * i), 6210 + i);
    }
    // The lacquer scroll that holds the panels, the row of divisions and the
    // table of battalions under it.
    PaintLacquerPanel(cr, W * 0.115, H * 0.055, W * 0.77, H * 0.87, 14 * s, 4 * s, ink::Lacquer, 0.9);
    PaintWaves(cr, W * 0.115, H * 0.055, W * 0.77, H * 0.87, 22 * s, ink::Gold, 0.05);
    TextStyle st;
    st.size = 30 * s;
    st.fill = ink::Sumi;
    st.tracking = 6 * s;
    DrawText(cr, "THE BATTLE IS DONE", W / 2, H * 0.042, Align::Centre, st);
    PaintGoldFrame(cr, 10 * s, 10 * s, W - 20 * s, H - 20 * s, 6 * s);
}

// The small cross laid over a lost battalion's leader and its fallen men.
void SaveLittleCross(const KitContext& kit) {
    Picture p(28, 32, true);
    cairo_t* cr = p.cr();
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int pass = 0; pass < 2; ++pass) {
        SetColour(cr, pass ? ink::Vermilion : ink::VermilionDark, pass ? 0.95 : 0.8);
        cairo_set_line_width(cr, pass ? 4 : 6);
        cairo_move_to(cr, 5, 5);
        cairo_curve_to(cr, 11, 12, 17, 20, 23, 27);
        cairo_move_to(cr, 23, 5);
        cairo_curve_to(cr, 17, 13, 11, 20, 5, 27);
        cairo_stroke(cr);
    }
    FlattenOnto(p, ink::Washi, 0.5);
    SavePicture(kit, "Pictures\\AFBT Little Red X.giz", p, PictureFormat::Giz8);
}

// A clan's result panel: lacquer with its crest and its name in gold.
void SaveResultPanel(const KitContext& kit, int clan) {
    const int w = 200, h = 80;
    Picture p(w, h, true);
    cairo_t* cr = p.cr();
    PaintLacquerPanel(cr, 1, 1, w - 2, h - 2, 8, 3, ink::Lacquer, 1.0);
    DrawMon(cr, clan, 40, h / 2.0, 26, ClanColour(clan).Mix(ink::GoldLight, 0.3));
    TextStyle st;
    st.face = Face::SerifBold;
    st.size = 22;
    st.fill = ink::GoldLight;
    st.fillLow = ink::Gold;
    DrawText(cr, kClanNames[clan], 128, h / 2.0 + 8, Align::Centre, st);
    FlattenOnto(p, ink::Lacquer, 0.5);
    SavePicture(kit, std::string("Pictures\\") + MenuPictures::kResultsPanel + kClanNames[clan] + ".giz", p,
                PictureFormat::Giz8);
}

void SaveHeading(const KitContext& kit) {
    const int w = 180, h = 36;
    Picture p(w, h, true);
    cairo_t* cr = p.cr();
    PaintLacquerPanel(cr, 1, 1, w - 2, h - 2, 6, 2, ink::VermilionDark, 1.0);
    DrawEngraved(cr, "DIVISIONS", w / 2.0, h / 2.0 + 7, Face::SerifBold, 19, ink::GoldLight, ink::Sumi, ink::Gold, 2);
    FlattenOnto(p, ink::VermilionDark, 0.5);
    SavePicture(kit, std::string("Pictures\\") + MenuPictures::kResultsHeading + ".giz", p, PictureFormat::Giz8);
}

}  // namespace
}  // namespace kit

KIT_GENERATOR(SingleBattleMenu) {
    using namespace kit;
    SaveForBothLayouts(kit, "Pictures\\", MenuPictures::kMenuBackground, PictureFormat::Giz24, DrawMenuMap);
    for (const ScreenLayout& L : kLayouts) SaveFireSet(kit, L);
    for (const MenuPictures::ButtonPicture& b : MenuPictures::kButtons)
        SavePlaqueButton(kit, "Pictures\\Cmb\\", b.name, 120, 32, b.caption, PlaqueKind::Lacquer, 20);
}

KIT_GENERATOR(ResultsScreen) {
    using namespace kit;
    SaveForBothLayouts(kit, "Pictures\\", MenuPictures::kResultsBackground, PictureFormat::Giz24,
                       DrawResultsBackground);
    for (int clan = 1; clan <= kClanCount; ++clan) SaveResultPanel(kit, clan);
    SaveHeading(kit);
    SaveLittleCross(kit);
}
