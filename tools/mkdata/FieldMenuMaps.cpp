// The maps of a battlefield that the menus and the deployment screen show:
// an ink-and-wash survey on washi paper drawn straight from the field's own
// ground and heights.
#include <algorithm>
#include <cmath>

#include "tools/mkdata/FieldPaint.h"
#include "tools/mkdata/Kit.h"

namespace fields {

namespace {

using kit::Rgb;
namespace ink = kit::ink;

// Map colours: paper for open ground, washes of ink for the rest.
Rgb MapColour(uint8_t m, double dryness) {
    switch (m) {
        case kGrass: return ink::Washi.Mix({0.62, 0.68, 0.45}, 0.35 - 0.15 * dryness);
        case kForest: return Rgb{0.30, 0.40, 0.28}.Mix(ink::Washi, 0.25);
        case kWater: return ink::Indigo.Mix({0.35, 0.48, 0.62}, 0.55);
        case kFord: return Rgb{0.50, 0.62, 0.68};
        case kRoad: return Rgb{0.58, 0.44, 0.30};
        case kPaddy: return ink::Washi.Mix({0.45, 0.62, 0.55}, 0.45);
        case kEarth: return ink::Washi.Mix({0.70, 0.58, 0.42}, 0.45);
        case kWall: return ink::Sumi;
        case kTower: return ink::Sumi;
        case kKeep: return ink::Vermilion;
        case kBridge: return Rgb{0.48, 0.32, 0.18};
        case kCrag: return ink::SumiWash.Mix(ink::Washi, 0.35);
        case kSand: return ink::Washi.Mix({0.86, 0.78, 0.58}, 0.6);
        case kMarsh: return ink::Washi.Mix({0.42, 0.52, 0.42}, 0.5);
        case kPalisade: return ink::VermilionDark;
        default: return ink::Indigo.Mix({0.45, 0.58, 0.70}, 0.7);  // a river's shallows
    }
}

void Banner(cairo_t* cr, double x, double y, double s, const Rgb& colour) {
    cairo_set_line_width(cr, std::max(1.0, s * 0.12));
    kit::SetColour(cr, ink::Sumi);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x, y - s);
    cairo_stroke(cr);
    cairo_rectangle(cr, x, y - s, s * 0.45, s * 0.62);
    kit::SetColour(cr, colour);
    cairo_fill_preserve(cr);
    kit::SetColour(cr, ink::Sumi, 0.8);
    cairo_set_line_width(cr, std::max(0.6, s * 0.05));
    cairo_stroke(cr);
}

}  // namespace

void DrawFieldMap(kit::Picture& p, const FieldRaster& raster, double x0, double y0, double w, double h, bool armies) {
    const FieldDesign& d = raster.Design();
    const double sx = kFieldWidth / w, sy = kFieldHeight / h;
    const int ix0 = int(x0), iy0 = int(y0), iw = int(w), ih = int(h);
    p.EditPixels([&](uint32_t* row, int py) {
        if (py < iy0 || py >= iy0 + ih) return;
        double fy = (py - y0) * sy;
        for (int px = ix0; px < ix0 + iw && px < p.Width(); ++px) {
            double fx = (px - x0) * sx;
            uint8_t m = raster.DominantMaterial(int(fx), int(fy), std::max(1, int(sx)), std::max(1, int(sy)));
            Rgb c = MapColour(m, d.dryness);
            // Wash of the heights: slopes away from the light darker, high
            // ground a touch lighter, contour lines every 11 bytes.
            double hgt = raster.HeightAt(fx, fy);
            const double step = std::max(25.0, sx);
            double gx = raster.HeightAt(fx + step, fy) - raster.HeightAt(fx - step, fy);
            double gy = raster.HeightAt(fx, fy + step) - raster.HeightAt(fx, fy - step);
            double slope = (gx + gy) * 0.7071 / (2 * step) * 14;
            double shade = std::clamp(1.0 - slope * 0.3, 0.7, 1.12) + (hgt - d.baseHeight) / 500;
            if (m != kWall && m != kTower && m != kKeep) c = c.Scaled(std::min(shade, 1.1));
            if (m == kGrass || m == kForest || m == kCrag || m == kSand) {
                int band = int(hgt / 11);
                if (band != int(raster.HeightAt(fx + sx, fy) / 11) || band != int(raster.HeightAt(fx, fy + sy) / 11))
                    c = c.Mix(ink::GoldDark, 0.35);
            }
            double grain = kit::ValueNoise(px, py, 3, d.seed + 41) - 0.5;
            c = c.Scaled(1 + grain * 0.06);
            row[px] = kit::OpaquePixel(c);
        }
    });
    cairo_t* cr = p.cr();
    cairo_save(cr);
    cairo_rectangle(cr, x0, y0, w, h);
    cairo_clip(cr);
    // Woods: a dab of ink for every tree, as a surveyor marks them.
    const double k = w / kFieldWidth;
    for (const PlacedObject& o : raster.Objects()) {
        double ox = x0 + o.x * k, oy = y0 + o.y * k;
        if (o.type < 60) {
            double r = std::max(0.6, 9 * k);
            kit::SetColour(cr, o.type >= 50 ? Rgb{0.22, 0.36, 0.20} : ink::Sumi.Mix({0.15, 0.30, 0.18}, 0.5), 0.55);
            cairo_arc(cr, ox, oy, r, 0, 2 * M_PI);
            cairo_fill(cr);
        } else if (o.type < 115) {
            double r = std::max(0.8, 14 * k);
            cairo_rectangle(cr, ox - r, oy - r * 0.7, 2 * r, 1.4 * r);
            kit::SetColour(cr, o.type >= 104 ? ink::VermilionDark : ink::SumiWash, 0.85);
            cairo_fill(cr);
        }
    }
    // Castle keeps get a gold ring, so the eye finds them at once.
    for (const Castle& c : d.castles) {
        cairo_arc(cr, x0 + c.keep.x * k, y0 + c.keep.y * k, std::max(2.5, c.keepSize * 0.9 * k), 0, 2 * M_PI);
        kit::SetColour(cr, ink::Gold, 0.95);
        cairo_set_line_width(cr, std::max(1.0, 6 * k));
        cairo_stroke(cr);
    }
    if (armies) {
        static const Rgb kSideColour[2] = {ink::Vermilion, ink::Indigo};
        for (int side = 0; side < 2; ++side) {
            const SidePlan& s = d.sides[side];
            double l = x0 + s.left * k, t = y0 + s.top * k, r = x0 + s.right * k, b = y0 + s.bottom * k;
            cairo_rectangle(cr, l, t, r - l, b - t);
            kit::SetColour(cr, kSideColour[side], 0.14);
            cairo_fill_preserve(cr);
            double dash[2] = {std::max(2.0, 24 * k), std::max(1.5, 14 * k)};
            cairo_set_dash(cr, dash, 2, 0);
            cairo_set_line_width(cr, std::max(1.0, 7 * k));
            kit::SetColour(cr, kSideColour[side], 0.85);
            cairo_stroke(cr);
            cairo_set_dash(cr, nullptr, 0, 0);
            // An arrow toward the enemy from the middle of the area.
            double cx = (l + r) / 2, cy = (t + b) / 2, dir = side == 0 ? 1 : -1, len = 150 * k;
            cairo_move_to(cr, cx - dir * len * 0.4, cy);
            cairo_line_to(cr, cx + dir * len * 0.5, cy);
            cairo_set_line_width(cr, std::max(1.5, 14 * k));
            kit::SetColour(cr, kSideColour[side], 0.7);
            cairo_stroke(cr);
            cairo_move_to(cr, cx + dir * len * 0.8, cy);
            cairo_line_to(cr, cx + dir * len * 0.4, cy - len * 0.3);
            cairo_line_to(cr, cx + dir * len * 0.4, cy + len * 0.3);
            cairo_close_path(cr);
            cairo_fill(cr);
            for (const Pt& hq : s.hq) Banner(cr, x0 + hq.x * k, y0 + hq.y * k, std::max(5.0, 60 * k), kSideColour[side]);
        }
    }
    cairo_restore(cr);
}

namespace {

void Frame(kit::Picture& p, double band) {
    kit::PaintGoldFrame(p.cr(), 0, 0, p.Width(), p.Height(), band);
}

void Title(cairo_t* cr, const std::string& text, double x, double baseline, double size, kit::Align align,
           const Rgb& fill = ink::Sumi) {
    kit::TextStyle st;
    st.face = kit::Face::SerifBold;
    st.size = size;
    st.fill = fill;
    st.fillLow = fill.Mix(ink::Sumi, 0.4);
    st.outline = size * 0.05;
    st.outlineColour = ink::Washi;
    st.tracking = size * 0.04;
    kit::DrawText(cr, text, x, baseline, align, st);
}

// A paper label with the field's name, pinned to a corner of a map.
void NameLabel(kit::Picture& p, const std::string& name, double x, double y, double size) {
    cairo_t* cr = p.cr();
    kit::SelectFace(cr, kit::Face::SerifBold, size);
    double tw = kit::TextWidth(cr, name) + size * 0.04 * double(name.size()) + size * 1.6, th = size * 1.55;
    cairo_rectangle(cr, x, y, tw, th);
    kit::SetColour(cr, ink::Washi, 0.92);
    cairo_fill_preserve(cr);
    kit::SetColour(cr, ink::Sumi, 0.85);
    cairo_set_line_width(cr, std::max(1.0, size * 0.06));
    cairo_stroke(cr);
    cairo_rectangle(cr, x + 2, y + 2, size * 0.32, th - 4);
    kit::SetColour(cr, ink::Vermilion);
    cairo_fill(cr);
    Title(cr, name, x + size * 0.9, y + th * 0.72, size, kit::Align::Left);
}

// A small compass: north up, a vermilion needle.
void Compass(cairo_t* cr, double cx, double cy, double r) {
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    kit::SetColour(cr, ink::Washi, 0.85);
    cairo_fill_preserve(cr);
    kit::SetColour(cr, ink::Sumi, 0.8);
    cairo_set_line_width(cr, std::max(1.0, r * 0.08));
    cairo_stroke(cr);
    cairo_move_to(cr, cx, cy - r * 0.85);
    cairo_line_to(cr, cx + r * 0.22, cy);
    cairo_line_to(cr, cx - r * 0.22, cy);
    cairo_close_path(cr);
    kit::SetColour(cr, ink::Vermilion);
    cairo_fill(cr);
    cairo_move_to(cr, cx, cy + r * 0.85);
    cairo_line_to(cr, cx + r * 0.22, cy);
    cairo_line_to(cr, cx - r * 0.22, cy);
    cairo_close_path(cr);
    kit::SetColour(cr, ink::Sumi);
    cairo_fill(cr);
}

void Tactic(const KitContext& kit, const FieldRaster& raster, int w, int h, const char* prefix) {
    kit::Picture p(w, h);
    kit::PaintWashi(p, raster.Design().seed + 7);
    double band = std::max(5.0, w * 0.011);
    DrawFieldMap(p, raster, band, band, w - 2 * band, h - 2 * band, true);
    Frame(p, band);
    NameLabel(p, FieldName(raster.Design()), band + 8, band + 8, std::max(13.0, w * 0.026));
    Compass(p.cr(), w - band - w * 0.045, band + w * 0.045, w * 0.03);
    kit::SavePicture(kit, "Data\\MapData\\" + std::string(prefix) + raster.Design().key + " Tactic.giz", p,
                     kit::PictureFormat::Giz8Dithered);
}

void Hint(const KitContext& kit, const FieldRaster& raster, int w, const char* prefix) {
    // A small card: the map, the name beneath it.
    int mapH = w * 2 / 3, h = mapH + w / 6;
    kit::Picture p(w, h);
    kit::PaintWashi(p, raster.Design().seed + 9);
    double band = std::max(3.0, w * 0.018);
    DrawFieldMap(p, raster, band, band, w - 2 * band, mapH - band, false);
    Frame(p, band);
    Title(p.cr(), FieldName(raster.Design()), w / 2.0, mapH + (h - mapH) * 0.66, std::max(11.0, w * 0.075), kit::Align::Centre);
    kit::SavePicture(kit, "Data\\MapData\\" + std::string(prefix) + "Battle " + raster.Design().key + " Hint.giz", p,
                     kit::PictureFormat::Giz8Dithered);
}

}  // namespace

void WriteFieldMenuMaps(const KitContext& kit, const FieldRaster& raster) {
    const FieldDesign& d = raster.Design();
    Tactic(kit, raster, 780, 520, "");
    Tactic(kit, raster, 600, 400, "1024");
    Hint(kit, raster, 240, "");
    Hint(kit, raster, 192, "1024");
    {  // The roster screen's picture: the field under a title band.
        kit::Picture p(432, 270);
        kit::PaintWashi(p, d.seed + 11);
        DrawFieldMap(p, raster, 8, 44, 416, 218, true);
        kit::PaintGoldFrame(p.cr(), 0, 0, 432, 270, 6);
        kit::PaintLacquerPanel(p.cr(), 6, 6, 420, 36, 3, 2);
        Title(p.cr(), FieldName(d), 216, 33, 24, kit::Align::Centre, ink::GoldLight);
        kit::SavePicture(kit, "Data\\MapData\\Battle " + d.key + " sbttl.giz", p, kit::PictureFormat::Giz8Dithered);
    }
    {  // The preview of the single-battle menu: a lacquer card with the map.
        const int w = 560, h = 470;
        kit::Picture p(w, h);
        kit::PaintWashi(p, d.seed + 13);
        kit::PaintLacquerPanel(p.cr(), 0, 0, w, 70, 8, 4);
        kit::PaintLacquerPanel(p.cr(), 0, h - 26, w, 26, 6, 3);
        Title(p.cr(), FieldName(d), w / 2.0, 48, 32, kit::Align::Centre, ink::GoldLight);
        DrawFieldMap(p, raster, 20, 84, w - 40, (w - 40) * 2.0 / 3.0, true);
        cairo_rectangle(p.cr(), 20, 84, w - 40, (w - 40) * 2.0 / 3.0);
        kit::SetColour(p.cr(), ink::Sumi);
        cairo_set_line_width(p.cr(), 2);
        cairo_stroke(p.cr());
        kit::PaintGoldFrame(p.cr(), 0, 0, w, h, 5);
        kit::SavePicture(kit, "Data\\MapData\\Battle " + d.key + " Info.giz", p, kit::PictureFormat::Giz8Dithered);
    }
    {  // The mini-map of the battle panel: one pixel for 20 field units.
        kit::Picture p(150, 100);
        DrawFieldMap(p, raster, 0, 0, 150, 100, false);
        kit::SavePicture(kit, "Data\\MapData\\Map Small " + d.key + ".giz", p, kit::PictureFormat::Giz24);
    }
}

}  // namespace fields
