// The game's bitmap fonts: one row of 55 equal cells, letters A-Z (lower case
// shares them), digits, then the punctuation marks in the game's order.
// Text advances by the cell width, so each glyph is centred in its cell and
// narrowed when it would not fit.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/mkdata/Kit.h"
#include "tools/mkdata/Style.h"

namespace kit {
namespace {

// The 55 cells of a sheet, left to right, in the order the game looks them up.
const char kLetterSetGlyphs[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/.,;:'\"?-%![]()+*@\\";

struct LetterSetLook {
    const char* name;
    int cellWidth, cellHeight;
    Face face;
    double size;
    Rgb fill, fillLow;
    double outline;
    Rgb outlineColour;
    double shadow;
    Rgb matte;  // the ground the letters are drawn for (soft edges resolved on it)
};

const LetterSetLook kLooks[] = {
    // The screens' own font: gold leaf edged in ink, legible on any ground.
    {"Letter Set", 13, 18, Face::SerifBold, 17, ink::GoldLight, ink::Gold, 1.1, ink::Sumi, 1.0, ink::Sumi},
    // Closing credits on the paper scroll: ink.
    {"Credits screen text", 17, 26, Face::SerifBold, 24, ink::Sumi, ink::Indigo.Mix(ink::Sumi, 0.4), 0.5,
     ink::Sumi.Mix(ink::Indigo, 0.2), 0, ink::Washi},
    // Dialog paper: plain ink.
    {"Letter Sets Black", 11, 15, Face::SerifBold, 15, ink::Sumi, ink::Sumi, 0, ink::Sumi, 0, ink::Washi},
    // Figures on the world panels: a bold sans in cream with an ink edge.
    {"Letter Sets Arial Bold", 11, 15, Face::SansBold, 13, {0.98, 0.95, 0.86}, {0.90, 0.84, 0.70}, 1.0, ink::Sumi, 0,
     ink::Sumi},
    {"Letter Sets Light Gold 2", 13, 18, Face::Serif, 18, ink::GoldLight, ink::Gold, 1.0, ink::Sumi, 1.0, ink::Sumi},
    {"Letter Sets Small Light Gold", 9, 12, Face::SansBold, 10.5, ink::GoldLight, ink::Gold, 0, ink::Sumi, 1.0,
     ink::Sumi},
};

void DrawLetterSet(const KitContext& kit, const LetterSetLook& look) {
    const int cells = int(sizeof(kLetterSetGlyphs) - 1);
    Picture p(cells * look.cellWidth, look.cellHeight, true);
    cairo_t* cr = p.cr();
    SelectFace(cr, look.face, look.size);
    cairo_text_extents_t cap;
    cairo_text_extents(cr, "H", &cap);
    const double pad = look.outline + 0.5;
    // Baseline so that capitals sit in the middle, leaving room below for
    // the tails of commas and brackets.
    const double baseline = std::floor((look.cellHeight - look.shadow + (-cap.y_bearing)) / 2.0 + 0.5);
    for (int i = 0; i < cells; ++i) {
        std::string g(1, kLetterSetGlyphs[i]);
        // Garamond's figures are old-style; figures in a row must line up.
        const bool digit = g[0] >= '0' && g[0] <= '9';
        const Face face = digit && (look.face == Face::Serif || look.face == Face::SerifBold) ? Face::Figures : look.face;
        SelectFace(cr, face, look.size * (face == look.face ? 1.0 : 0.86));
        cairo_text_extents_t e;
        cairo_text_extents(cr, g.c_str(), &e);
        double room = look.cellWidth - 2 * pad - look.shadow;
        double squeeze = e.width > room ? room / e.width : 1.0;
        double cellX = i * look.cellWidth;
        double inkLeft = (look.cellWidth - look.shadow - e.width * squeeze) / 2.0;
        cairo_save(cr);
        cairo_rectangle(cr, cellX, 0, look.cellWidth, look.cellHeight);
        cairo_clip(cr);
        cairo_translate(cr, cellX + inkLeft, baseline);
        cairo_scale(cr, squeeze, 1.0);
        TextStyle st;
        st.face = face;
        st.size = look.size * (face == look.face ? 1.0 : 0.86);
        st.fill = look.fill;
        st.fillLow = look.fillLow;
        st.outline = look.outline / squeeze;
        st.outlineColour = look.outlineColour;
        st.shadow = look.shadow;
        st.shadowAlpha = 0.8;
        DrawText(cr, g, -e.x_bearing, 0, Align::Left, st);
        cairo_restore(cr);
    }
    FlattenOnto(p, look.matte, look.outline > 0 ? 0.45 : 0.3);
    SavePicture(kit, std::string("Pictures\\") + look.name + ".giz", p, PictureFormat::Giz24);
}

}  // namespace

}  // namespace kit

KIT_GENERATOR(LetterSets) {
    for (const kit::LetterSetLook& look : kit::kLooks) kit::DrawLetterSet(kit, look);
}
