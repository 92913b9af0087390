// The shell's own screens: introduction, demo introduction, main menu and
// credits backgrounds in both layouts, the main menu's buttons, the battle
// panel, the mini-map frames and the empty sprite.
#include <cmath>
#include <string>

#include "tools/mkdata/Kit.h"
#include "tools/mkdata/Style.h"

namespace kit {
namespace {

// A thin gold border just inside the screen edge.
void ScreenBorder(Picture& p, const ScreenLayout& L) {
    double m = 10 * L.s(), band = 6 * L.s();
    PaintGoldFrame(p.cr(), m, m, p.Width() - 2 * m, p.Height() - 2 * m, band);
}

void Title(cairo_t* cr, const std::string& text, double cx, double baseline, double size) {
    TextStyle st;
    st.face = Face::Serif;
    st.size = size;
    st.fill = ink::Sumi.Mix(ink::Indigo, 0.25);
    st.fillLow = ink::Sumi;
    st.outline = size * 0.012;
    st.outlineColour = ink::Gold;
    st.shadow = size * 0.025;
    st.shadowAlpha = 0.25;
    st.tracking = size * 0.14;
    DrawText(cr, text, cx, baseline, Align::Centre, st);
}

// A brush line under a title: thick in the middle, dry at the ends.
void BrushStroke(cairo_t* cr, double cx, double y, double halfWidth, double thickness, const Rgb& colour,
                 uint32_t seed) {
    KitRandom rnd(seed);
    for (int k = 0; k < 7; ++k) {
        double off = (k - 3) * thickness * 0.12;
        double len = halfWidth * (1.0 - std::abs(k - 3) * 0.07) * rnd.Range(0.92, 1.0);
        cairo_move_to(cr, cx - len, y + off + rnd.Range(-1, 1));
        cairo_curve_to(cr, cx - len * 0.3, y + off - thickness * 0.25, cx + len * 0.3, y + off + thickness * 0.15,
                       cx + len, y + off - thickness * 0.1);
        SetColour(cr, colour, 0.55 + 0.4 * (1 - std::abs(k - 3) / 3.0));
        cairo_set_line_width(cr, thickness * 0.22);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
}

void DrawIntroduction(Picture& p, const ScreenLayout& L) {
    cairo_t* cr = p.cr();
    const double W = p.Width(), H = p.Height(), s = L.s();
    PaintWashi(p, 101);
    PaintSun(cr, W * 0.5, H * 0.30, 150 * s);
    PaintBirds(cr, W * 0.68, H * 0.22, 80 * s, 7, 11 * s, 5);
    PaintLandscape(cr, 0, 0, W, H, H * 0.40, H * 0.78, s, 202);
    // The keep on its hill, the hill's foot lost in mist.
    cairo_move_to(cr, W * 0.18, H * 0.80);
    cairo_curve_to(cr, W * 0.32, H * 0.66, W * 0.40, H * 0.61, W * 0.5, H * 0.605);
    cairo_curve_to(cr, W * 0.60, H * 0.61, W * 0.68, H * 0.66, W * 0.82, H * 0.80);
    cairo_close_path(cr);
    cairo_pattern_t* hill = cairo_pattern_create_linear(0, H * 0.6, 0, H * 0.8);
    cairo_pattern_add_color_stop_rgba(hill, 0, ink::Sumi.r, ink::Sumi.g, ink::Sumi.b, 0.78);
    cairo_pattern_add_color_stop_rgba(hill, 1, ink::Sumi.r, ink::Sumi.g, ink::Sumi.b, 0.0);
    cairo_set_source(cr, hill);
    cairo_fill(cr);
    cairo_pattern_destroy(hill);
    for (int i = 0; i < 6; ++i) {
        double px = W * (0.36 + 0.056 * i) + (i > 2 ? 40 * s : -40 * s);
        PaintPine(cr, px, H * (0.645 + 0.012 * std::abs(i - 2.5)), (70 + 12 * (i % 3)) * s, ink::Sumi, 0.9, 300 + i);
    }
    PaintCastleKeep(cr, W * 0.5, H * 0.615, 290 * s, ink::Sumi.Mix(ink::Indigo, 0.2), 0.94);
    // A band of mist across the keep's foot, where the title stands.
    cairo_pattern_t* g = cairo_pattern_create_linear(0, H * 0.60, 0, H * 0.95);
    cairo_pattern_add_color_stop_rgba(g, 0, ink::Washi.r, ink::Washi.g, ink::Washi.b, 0.0);
    cairo_pattern_add_color_stop_rgba(g, 0.35, ink::Washi.r, ink::Washi.g, ink::Washi.b, 0.85);
    cairo_pattern_add_color_stop_rgba(g, 1, ink::Washi.r, ink::Washi.g, ink::Washi.b, 0.6);
    cairo_rectangle(cr, 0, H * 0.6, W, H * 0.4);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    for (int i = 0; i < 3; ++i) {
        PaintBanner(cr, 1, W * (0.06 + 0.045 * i), H * 0.97, H * (0.36 - 0.03 * i), 40 + i);
        PaintBanner(cr, 2, W * (0.90 - 0.045 * i), H * 0.97, H * (0.36 - 0.03 * i), 50 + i);
    }
    Title(cr, "VELMOR", W / 2 + 10 * s, H * 0.80, 150 * s);
    BrushStroke(cr, W / 2, H * 0.835, 330 * s, 18 * s, ink::Vermilion, 7);
    TextStyle sub;
    sub.size = 30 * s;
    sub.fill = ink::Sumi;
    sub.fillLow = ink::SumiWash;
    sub.tracking = 6 * s;
    DrawText(cr, "THE AGE OF WARRING CLANS", W / 2, H * 0.89, Align::Centre, sub);
    PaintSeal(cr, W / 2 + 305 * s, H * 0.878, 40 * s, 1);
    ScreenBorder(p, L);
}

void DrawDemoIntroduction(Picture& p, const ScreenLayout& L) {
    cairo_t* cr = p.cr();
    const double W = p.Width(), H = p.Height(), s = L.s();
    PaintWashi(p, 303, ink::Indigo.Mix(ink::Washi, 0.55), 0.35);
    PaintSun(cr, W * 0.78, H * 0.26, 110 * s, 0.8);
    PaintLandscape(cr, 0, 0, W, H, H * 0.30, H * 0.58, s, 404);
    // Two armies face each other across the plain: rows of banners.
    for (int row = 0; row < 3; ++row) {
        double y = H * (0.70 + row * 0.09), hgt = H * (0.16 + row * 0.05);
        for (int i = 0; i < 6 - row; ++i) {
            PaintBanner(cr, 1, W * (0.05 + i * 0.055 + row * 0.02), y, hgt, 600 + row * 10 + i);
            PaintBanner(cr, 4, W * (0.92 - i * 0.055 - row * 0.02), y, hgt, 700 + row * 10 + i);
        }
        // The ranks under the banners, facing the enemy.
        double sh = hgt * 0.42;
        for (int i = 0; i < 9 - row; ++i) {
            PaintFootSoldier(cr, 1, W * (0.04 + i * 0.036 + row * 0.02), y + sh * 0.05, sh, 1, 1000 + row * 20 + i);
            PaintFootSoldier(cr, 4, W * (0.96 - i * 0.036 - row * 0.02), y + sh * 0.05, sh, -1, 2000 + row * 20 + i);
        }
    }
    PaintLacquerPanel(cr, W * 0.25, H * 0.06, W * 0.50, H * 0.12, 12 * s, 4 * s, ink::Lacquer, 0.92);
    TextStyle st;
    st.size = 50 * s;
    st.fill = ink::GoldLight;
    st.fillLow = ink::Gold;
    st.tracking = 7 * s;
    st.outline = 1.2 * s;
    st.outlineColour = ink::Sumi;
    DrawText(cr, "DEMONSTRATION", W / 2, H * 0.137, Align::Centre, st);
    ScreenBorder(p, L);
}

// The main menu's buttons: (base name, caption, x and y in the 1280 layout).
struct MenuButton {
    const char* base;
    const char* caption;
    int x1024, y1024, x1280, y1280;
};
const MenuButton kMenuButtons[] = {
    {"Cmb New Campaign", "New Campaign", 365, 396, 458, 529},
    {"Cmb Load Campaign", "Load Campaign", 356, 433, 447, 579},
    {"Cmb Historical Battle", "Historical Battle", 319, 471, 399, 629},
    {"Cmb Head to Head", "Head to Head", 310, 508, 389, 679},
    {"Cmb Option", "Options", 427, 546, 536, 729},
    {"Cmb Credits", "Credits", 430, 583, 538, 779},
    {"Cmb Exit", "Exit", 470, 621, 589, 830},
    {"Cmb Demo", "Demo", 270, 681, 339, 909},
};

// Buttons are centred on the screen: their widths follow from their x.
int MenuButtonHeight(const ScreenLayout& L) { return L.width > 1024 ? 42 : 32; }

void DrawMainMenu(Picture& p, const ScreenLayout& L) {
    cairo_t* cr = p.cr();
    const double W = p.Width(), H = p.Height(), s = L.s(), sx = L.sx(), sy = L.sy();
    PaintWashi(p, 505);
    PaintSun(cr, W * 0.86, 300 * sy, 78 * s);
    PaintBirds(cr, W * 0.80, 120 * sy, 60 * s, 6, 9 * s, 17);
    PaintLandscape(cr, 0, 0, W, H, 250 * sy, 520 * sy, s, 606);
    PaintCastleKeep(cr, 175 * sx, 470 * sy, 230 * s, ink::SumiWash.Mix(ink::Indigo, 0.2), 0.7);
    Title(cr, "VELMOR", W / 2 + 8 * s, 205 * sy, 132 * s);
    BrushStroke(cr, W / 2, 240 * sy, 300 * s, 16 * s, ink::Vermilion, 9);
    PaintSeal(cr, W / 2 + 360 * s, 122 * sy, 46 * s, 1);

    // The scroll that holds the buttons, between the banners of the clans.
    double px = 310 * sx, pw = 660 * sx, py = 488 * sy, ph = 500 * sy;
    cairo_rectangle(cr, px, py, pw, ph);
    SetColour(cr, ink::Washi.Mix({1, 1, 1}, 0.25), 0.93);
    cairo_fill(cr);
    PaintGrain(p, px, py, pw, ph, 77, 0.6);
    PaintGoldFrame(cr, px, py, pw, ph, 9 * s);
    // Faint crest watermark in the scroll.
    DrawMon(cr, 1, W / 2, py + ph * 0.45, 180 * s, ink::Vermilion, 0.07);
    for (int i = 0; i < 4; ++i) {
        PaintBanner(cr, 1 + i, W * (0.045 + 0.05 * i), H * 0.985, H * (0.42 - 0.035 * i), 800 + i);
        PaintBanner(cr, 5 + i, W * (0.915 - 0.05 * i), H * 0.985, H * (0.42 - 0.035 * i), 900 + i);
    }
    ScreenBorder(p, L);
}

void DrawCredits(Picture& p, const ScreenLayout& L) {
    cairo_t* cr = p.cr();
    const double W = p.Width(), H = p.Height(), s = L.s();
    PaintWashi(p, 707);
    // Hills along the foot and a pine bough from the upper left frame the scroll.
    PaintLandscape(cr, 0, H * 0.72, W, H * 0.28, H * 0.82, H * 0.96, s * 0.7, 808);
    PaintCastleKeep(cr, W * 0.80, H * 0.835, 110 * s, ink::SumiWash, 0.6);
    PaintBirds(cr, W * 0.2, H * 0.16, 60 * s, 5, 9 * s, 23);
    PaintSun(cr, W * 0.88, H * 0.13, 60 * s, 0.85);
    Title(cr, "VELMOR", W / 2, H * 0.11, 72 * s);
    BrushStroke(cr, W / 2, H * 0.13, 170 * s, 10 * s, ink::Vermilion, 11);
    PaintSeal(cr, W * 0.90, H * 0.88, 60 * s, 1);
    ScreenBorder(p, L);
}

// The battle screen's panel along the bottom: lacquer with the mini-map well
// at its left.
void DrawPanel(Picture& p, const ScreenLayout& L) {
    cairo_t* cr = p.cr();
    const double W = p.Width(), H = p.Height();
    PaintLacquerPanel(cr, 0, 0, W, H, 0, 0);
    PaintWaves(cr, 0, 4, W, H - 4, 22, ink::Gold, 0.07);
    cairo_rectangle(cr, 0, 0, W, 3);
    SetColour(cr, ink::Gold);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 3, W, 1);
    SetColour(cr, ink::GoldDark);
    cairo_fill(cr);
    double mx = L.width > 1024 ? 35 : 4, my = 12, mw = 149, mh = 99;
    PaintGoldFrame(cr, mx - 4, my - 4, mw + 8, mh + 8, 4);
    cairo_rectangle(cr, mx, my, mw, mh);
    SetColour(cr, ink::IndigoDark);
    cairo_fill(cr);
    // Crest of the house in the right corner.
    DrawMon(cr, 1, W - 40, H / 2 + 2, 24, ink::Gold, 0.35);
}

// A mini-map view frame: a gold rectangle with an ink edge, hollow.
void SaveMapFrame(const KitContext& kit, const std::string& name, int w, int h) {
    Picture p(w, h, true);
    cairo_t* cr = p.cr();
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    SetColour(cr, ink::Sumi);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, 1.5, 1.5, w - 3, h - 3);
    SetColour(cr, ink::GoldLight);
    cairo_stroke(cr);
    cairo_rectangle(cr, 2.5, 2.5, w - 5, h - 5);
    SetColour(cr, ink::Sumi, 0.9);
    cairo_stroke(cr);
    SavePicture(kit, "Pictures\\" + name + ".giz", p, PictureFormat::Giz8);
}

// The program's cursors, 32 x 32 sprites: the arrow (hot spot 1, 1: the
// key takes pixel 0, 0), the wait cursor and the battle cursor (hot spot at
// the centre, 16, 16).
void SaveCursors(const KitContext& kit) {
    {
        Picture p(32, 32, true);
        cairo_t* cr = p.cr();
        cairo_move_to(cr, 1.5, 1.5);
        cairo_line_to(cr, 1.5, 23);
        cairo_line_to(cr, 7, 18);
        cairo_line_to(cr, 11, 27);
        cairo_line_to(cr, 15, 25.5);
        cairo_line_to(cr, 11, 17);
        cairo_line_to(cr, 18, 17);
        cairo_close_path(cr);
        SetColour(cr, ink::Sumi);
        cairo_fill_preserve(cr);
        SetColour(cr, ink::GoldLight);
        cairo_set_line_width(cr, 1.4);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        cairo_stroke(cr);
        SavePicture(kit, "Pictures\\Cursors\\Arrow.giz", p, PictureFormat::Giz8);
    }
    {
        // An hourglass of lacquer and gold.
        Picture p(32, 32, true);
        cairo_t* cr = p.cr();
        cairo_rectangle(cr, 7, 3, 18, 3);
        cairo_rectangle(cr, 7, 26, 18, 3);
        SetColour(cr, ink::Sumi);
        cairo_fill(cr);
        cairo_move_to(cr, 9, 6);
        cairo_line_to(cr, 23, 6);
        cairo_curve_to(cr, 23, 12, 17, 14, 17, 16);
        cairo_curve_to(cr, 17, 18, 23, 20, 23, 26);
        cairo_line_to(cr, 9, 26);
        cairo_curve_to(cr, 9, 20, 15, 18, 15, 16);
        cairo_curve_to(cr, 15, 14, 9, 12, 9, 6);
        cairo_close_path(cr);
        SetColour(cr, ink::Washi);
        cairo_fill_preserve(cr);
        SetColour(cr, ink::Sumi);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        cairo_move_to(cr, 11, 25);
        cairo_line_to(cr, 21, 25);
        cairo_line_to(cr, 16, 20);
        cairo_close_path(cr);
        cairo_move_to(cr, 12, 9);
        cairo_line_to(cr, 20, 9);
        cairo_line_to(cr, 16, 13);
        cairo_close_path(cr);
        SetColour(cr, ink::Gold);
        cairo_fill(cr);
        SavePicture(kit, "Pictures\\Cursors\\Wait.giz", p, PictureFormat::Giz8);
    }
    {
        // The battle cursor: a gold ring with ink ticks and a red centre.
        Picture p(32, 32, true);
        cairo_t* cr = p.cr();
        cairo_arc(cr, 16, 16, 10, 0, 6.2832);
        SetColour(cr, ink::Sumi);
        cairo_set_line_width(cr, 4);
        cairo_stroke_preserve(cr);
        SetColour(cr, ink::GoldLight);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        for (int i = 0; i < 4; ++i) {
            cairo_save(cr);
            cairo_translate(cr, 16, 16);
            cairo_rotate(cr, i * 1.5708);
            cairo_rectangle(cr, -1.5, -15, 3, 7);
            cairo_restore(cr);
        }
        SetColour(cr, ink::Sumi);
        cairo_fill(cr);
        cairo_arc(cr, 16, 16, 2.5, 0, 6.2832);
        SetColour(cr, ink::Vermilion);
        cairo_fill(cr);
        SavePicture(kit, "Pictures\\Cursors\\Battle.giz", p, PictureFormat::Giz8);
    }
}

}  // namespace
}  // namespace kit

KIT_GENERATOR(ShellBackgrounds) {
    using namespace kit;
    SaveForBothLayouts(kit, "Pictures\\", "Bkgnd Introduction Screen", PictureFormat::Giz24, DrawIntroduction);
    SaveForBothLayouts(kit, "Pictures\\", "Bkgnd Demo Intro Screen", PictureFormat::Jpeg, DrawDemoIntroduction);
    SaveForBothLayouts(kit, "Pictures\\", "Bkgnd Main Menu", PictureFormat::Giz24, DrawMainMenu);
    SaveForBothLayouts(kit, "Pictures\\", "Bkgnd Credits Screen", PictureFormat::Giz24, DrawCredits);
}

KIT_GENERATOR(ShellPieces) {
    using namespace kit;
    for (const ScreenLayout& L : kLayouts) {
        int h = MenuButtonHeight(L);
        for (const MenuButton& b : kMenuButtons) {
            int x = L.width > 1024 ? b.x1280 : b.x1024;
            int w = 2 * (L.width / 2 - x);
            SavePlaqueButton(kit, "Pictures\\Cmb\\", std::string(L.prefix) + b.base, w, h, b.caption,
                             PlaqueKind::Lacquer, h * 0.64);
        }
        Picture panel(L.width, 128);
        DrawPanel(panel, L);
        SavePicture(kit, std::string("Pictures\\") + L.prefix + "Panel.giz", panel, PictureFormat::Giz24);
    }
    SaveMapFrame(kit, "Frame 51 x 33", 51, 33);
    SaveMapFrame(kit, "Frame 64 x 45", 64, 45);
    // The empty sprite: nothing but the key colour.
    Picture none(4, 4, true);
    SavePicture(kit, "Pictures\\null.giz", none, PictureFormat::Giz8);
    SaveCursors(kit);
}
