// The tactic screen's pictures: its background with the map frame, the
// fifteen division slots and the generals' gallery; the army formation
// cards; the lines beside the gallery rows; the small soldiers of the
// deployment preview; and its command buttons. Names come from
// Animate/TacticPictureNames.h, which the screen reads too.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Animate/TacticPictureNames.h"
#include "core/WorldNames.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/KitFormations.h"
#include "tools/mkdata/Style.h"

namespace kit {
namespace {

constexpr double kPi = 3.14159265358979323846;
const std::string kPictures = "Pictures\\";

struct Box {
    int l, t, r, b;
};

// The screen's places, as the tactic screen lays them out per width.
struct TacticLayout {
    Box map;
    Box slots[15];
    int commanderX, commanderY;  // the commanding general's portrait
    int galleryX0, galleryStep, galleryCount, galleryY[2];
    int formationX, formationY, formationW, formationH;
};

const TacticLayout kNarrow = {
    {394, 32, 982, 421},
    {{24, 137, 88, 236}, {300, 137, 364, 236}, {300, 27, 364, 126}, {300, 246, 364, 345}, {218, 137, 282, 236},
     {218, 27, 282, 126}, {218, 246, 282, 345}, {31, 27, 95, 126}, {136, 137, 200, 236}, {136, 27, 200, 126},
     {136, 246, 200, 345}, {31, 246, 95, 345}, {218, 353, 282, 452}, {300, 353, 364, 452}, {136, 353, 200, 452}},
    38, 564, 167, 74, 6, {497, 634}, 633, 488, 180, 150,
};
const TacticLayout kWide = {
    {456, 38, 1245, 564},
    {{40, 190, 104, 289}, {348, 190, 412, 289}, {348, 60, 412, 159}, {348, 320, 412, 419}, {264, 190, 328, 289},
     {264, 60, 328, 159}, {264, 320, 328, 419}, {50, 60, 114, 159}, {180, 190, 244, 289}, {180, 60, 244, 159},
     {180, 320, 244, 419}, {50, 320, 114, 419}, {264, 470, 328, 569}, {348, 470, 412, 569}, {180, 470, 244, 569}},
    358, 655, 50, 77, 9, {770, 886}, 791, 663, 240, 200,
};
constexpr int kPortraitW = 64, kPortraitH = 80;

// A sunk frame: dark ink round a darker well, the place a picture drops into.
void Well(cairo_t* cr, double x, double y, double w, double h, double alpha = 0.35) {
    cairo_rectangle(cr, x, y, w, h);
    SetColour(cr, ink::Sumi, alpha);
    cairo_fill(cr);
    cairo_rectangle(cr, x - 0.5, y - 0.5, w + 1, h + 1);
    SetColour(cr, ink::Sumi, 0.85);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void DrawBackground(Picture& p, const ScreenLayout& L) {
    const TacticLayout& T = L.width > 1024 ? kWide : kNarrow;
    PaintWashi(p, 2401, ink::WashiShade, 0.25);
    cairo_t* cr = p.cr();
    const double W = L.width, H = L.height;
    // A faint ink-wash range along the foot, below the gallery.
    PaintLandscape(cr, 0, H * 0.55, W, H * 0.45, H * 0.62, H * 0.9, L.s(), 2402);
    cairo_rectangle(cr, 0, 0, W, H);
    SetColour(cr, ink::Washi, 0.45);
    cairo_fill(cr);

    // The map: a gold frame round an indigo well (the field's map lies over it).
    const Box& m = T.map;
    PaintGoldFrame(cr, m.l - 8, m.t - 8, m.r - m.l + 16, m.b - m.t + 16, 5);
    cairo_rectangle(cr, m.l, m.t, m.r - m.l, m.b - m.t);
    SetColour(cr, ink::IndigoDark);
    cairo_fill(cr);

    // The division slots on a lacquer board: the commander's slot in gold,
    // the detachments' row in vermilion.
    int bl = W, bt = H, br = 0, bb = 0;
    for (const Box& s : T.slots) {
        bl = std::min(bl, s.l), bt = std::min(bt, s.t), br = std::max(br, s.r), bb = std::max(bb, s.b);
    }
    PaintLacquerPanel(cr, bl - 10, bt - 10, br - bl + 20, bb - bt + 20, 8, 3);
    PaintWaves(cr, bl - 6, bt - 6, br - bl + 12, bb - bt + 12, 10, ink::Gold, 0.08);
    for (int i = 0; i < 15; ++i) {
        const Box& s = T.slots[i];
        const Rgb edge = i == 0 ? ink::GoldLight : i >= 12 ? ink::Vermilion : ink::GoldDark;
        cairo_rectangle(cr, s.l, s.t, s.r - s.l, s.b - s.t);
        SetColour(cr, ink::Washi.Scaled(0.22));
        cairo_fill(cr);
        cairo_rectangle(cr, s.l - 1.5, s.t - 1.5, s.r - s.l + 3, s.b - s.t + 3);
        SetColour(cr, edge);
        cairo_set_line_width(cr, i == 0 ? 2.5 : 1.5);
        cairo_stroke(cr);
        TextStyle st;
        st.face = Face::Figures;
        st.size = 13;
        st.fill = edge.Mix(ink::Washi, 0.3);
        DrawText(cr, std::to_string(i + 1), (s.l + s.r) / 2.0, s.b - 6, Align::Centre, st);
    }

    // The generals' gallery: the commander's place and two rows of portraits.
    const int gx0 = T.galleryX0 - 10, gx1 = T.galleryX0 + (T.galleryCount - 1) * T.galleryStep + kPortraitW + 10;
    PaintLacquerPanel(cr, gx0, T.galleryY[0] - 10, gx1 - gx0, T.galleryY[1] + kPortraitH + 10 - (T.galleryY[0] - 10),
                      8, 3, ink::Lacquer, 0.92);
    for (int row = 0; row < 2; ++row)
        for (int c = 0; c < T.galleryCount; ++c)
            Well(cr, T.galleryX0 + c * T.galleryStep, T.galleryY[row], kPortraitW, kPortraitH, 0.6);
    PaintGoldFrame(cr, T.commanderX - 6, T.commanderY - 6, kPortraitW + 12, kPortraitH + 12, 4);
    Well(cr, T.commanderX, T.commanderY, kPortraitW, kPortraitH, 0.5);
    TextStyle cap;
    cap.face = Face::SerifBold;
    cap.size = 15;
    cap.fill = ink::Sumi;
    DrawText(cr, "Commander", T.commanderX + kPortraitW / 2.0, T.commanderY + kPortraitH + 24, Align::Centre, cap);

    // The formation card's place.
    PaintGoldFrame(cr, T.formationX - 6, T.formationY - 6, T.formationW + 12, T.formationH + 12, 4);
    Well(cr, T.formationX, T.formationY, T.formationW, T.formationH);
    DrawText(cr, "Army Formation", T.formationX + T.formationW / 2.0, T.formationY - 12, Align::Centre, cap);
    PaintSeal(cr, W - 40 * L.s() - 10, H - 40 * L.s() - 10, 50 * L.s(), 1, 0.8);
}

// ------------------------------------------------------------ formations

// A formation card: the army's twelve divisions where the formation file
// puts them, the enemy's side at the top, the commander in gold; the
// castle's card (no places) shows its keep.
void DrawFormationCard(Picture& p, const std::string& name, const std::vector<FormationPlace>& places,
                       uint32_t seed) {
    const double w = p.Width(), h = p.Height();
    PaintWashi(p, seed);
    cairo_t* cr = p.cr();
    PaintGoldFrame(cr, 0, 0, w, h, 3);
    const double cx = w / 2;
    if (places.empty()) {
        // No field formation: the army holds its castle.
        PaintMountainRange(cr, 6, w - 6, h * 0.62, h * 0.08, h * 0.25, ink::SumiWash, 0.4, seed + 1);
        PaintCastleKeep(cr, cx, h * 0.76, h * 0.42, ink::Sumi, 0.9);
    } else {
        // The arrow of advance towards the enemy.
        cairo_move_to(cr, cx, h * 0.05);
        cairo_line_to(cr, cx - 8, h * 0.05 + 8);
        cairo_line_to(cr, cx + 8, h * 0.05 + 8);
        cairo_close_path(cr);
        SetColour(cr, ink::Vermilion, 0.6);
        cairo_fill(cr);
        // A division's ground, across and in depth when it faces north.
        // Every card has the one scale, at which the widest and the
        // deepest ground a formation may take fits the card's middle, so
        // that formations compare in size as on the field; each shape is
        // centred.
        constexpr double kAcross = 180, kDeep = 240, kFieldWidth = 1640, kFieldDepth = 1700;
        double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
        for (const FormationPlace& f : places) {
            x0 = std::min<double>(x0, f.x), x1 = std::max<double>(x1, f.x);
            y0 = std::min<double>(y0, f.y), y1 = std::max<double>(y1, f.y);
        }
        const double left = w * 0.08, right = w * 0.92, top = h * 0.13, bottom = h * 0.79;
        const double scale = std::min((right - left) / kFieldWidth, (bottom - top) / kFieldDepth);
        const double ox = cx - (x0 + x1) / 2 * scale, oy = (top + bottom) / 2 - (y0 + y1) / 2 * scale;
        for (const FormationPlace& f : places) {
            // A division turned to either side stands its depth across.
            const bool sideways = f.facing % 4 == 2;
            const double bw = (sideways ? kDeep : kAcross) * scale, bh = (sideways ? kAcross : kDeep) * scale;
            RoundedRect(cr, ox + f.x * scale - bw / 2, oy + f.y * scale - bh / 2, bw, bh, 1.5);
            SetColour(cr, f.slot == 0 ? ink::Gold : ink::Indigo);
            cairo_fill_preserve(cr);
            SetColour(cr, ink::Sumi);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        }
    }
    // The name, without the word every card shares.
    std::string caption = name.substr(0, name.rfind(" Formation"));
    if (caption == "Default Castle") caption = "Castle";
    TextStyle st;
    st.face = Face::SerifBold;
    st.size = h * 0.12;
    st.fill = ink::Sumi;
    DrawText(cr, caption, cx, h - h * 0.07, Align::Centre, st);
}

void DrawFormations(const KitContext& kit) {
    std::vector<std::pair<std::string, int>> cards;
    for (const TacticFormationPicture& f : kTacticFormationPictures) cards.push_back({f.name, f.id});
    cards.push_back({kTacticDefaultFormation, -1});
    for (const TacticLayout* T : {&kNarrow, &kWide}) {
        const int width = T == &kNarrow ? 1024 : 1280;
        for (size_t i = 0; i < cards.size(); ++i) {
            Picture p(T->formationW, T->formationH);
            DrawFormationCard(p, cards[i].first, PresetFormationPlaces(cards[i].second), 2410 + uint32_t(i));
            SavePicture(kit, kPictures + TacticFormationFile(width, cards[i].first.c_str()) + ".giz", p,
                        PictureFormat::Giz24);
        }
    }
}

// ----------------------------------------------------------- small pieces

// The gold lines that join a row of the gallery to the commander's place.
void DrawLines(const KitContext& kit) {
    for (int i = 0; i < 2; ++i) {
        Picture p(48, 70, true);
        cairo_t* cr = p.cr();
        const double y = i == 0 ? 8 : 62;
        cairo_move_to(cr, 2, 35);
        cairo_curve_to(cr, 20, 35, 24, y, 46, y);
        SetColour(cr, ink::Sumi);
        cairo_set_line_width(cr, 5);
        cairo_stroke_preserve(cr);
        SetColour(cr, ink::Gold);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
        FlattenOnto(p, ink::Washi, 0.5);
        SavePicture(kit, kPictures + kTacticLinePictures[i] + ".giz", p, PictureFormat::Giz8);
    }
}

// A preview soldier seen from above at a slant, one cell per facing: a
// body in the side's colour with a pale face toward the facing.
void DrawPreviewSet(const KitContext& kit, const char* name, const Rgb& body, const Rgb& rim, bool empty) {
    const int cw = kTacticPreviewCellWidth, ch = kTacticPreviewCellHeight;
    Picture p(cw * kTacticPreviewFacings, ch, true);
    cairo_t* cr = p.cr();
    for (int f = 0; !empty && f < kTacticPreviewFacings; ++f) {
        const double cx = f * cw + cw / 2.0, cy = ch * 0.55;
        const double a = f * kPi / 4;  // facing 0 north, clockwise
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, 1, 0.8);
        cairo_arc(cr, 0, 0, 7, 0, 2 * kPi);
        SetColour(cr, body);
        cairo_fill_preserve(cr);
        SetColour(cr, rim);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        cairo_arc(cr, 4.5 * std::sin(a), -4.5 * std::cos(a), 2.6, 0, 2 * kPi);
        SetColour(cr, ink::Washi);
        cairo_fill(cr);
        cairo_restore(cr);
        // The back banner.
        cairo_rectangle(cr, cx - 0.6, cy - 17, 1.2, 12);
        SetColour(cr, ink::Sumi);
        cairo_fill(cr);
        cairo_rectangle(cr, cx + 0.6, cy - 17, 5, 7);
        SetColour(cr, rim);
        cairo_fill(cr);
    }
    FlattenOnto(p, ink::IndigoDark, 0.5);
    SavePicture(kit, kPictures + name + ".giz", p, PictureFormat::Giz8);
}

void DrawPreview(const KitContext& kit) {
    for (const TacticPreviewSet& s : kTacticPreviewSets) {
        switch (s.set) {
        case 9: DrawPreviewSet(kit, s.name, ink::Indigo.Mix(ink::Washi, 0.25), ink::Washi, false); break;
        case 21: DrawPreviewSet(kit, s.name, ink::GoldLight, ink::Gold, false); break;
        case 41: DrawPreviewSet(kit, s.name, ink::Vermilion, ink::VermilionDark, false); break;
        default: DrawPreviewSet(kit, s.name, ink::Sumi, ink::Sumi, true); break;
        }
    }
}

// The page-turning button of the gallery in the clan's colour: its crest
// between two arrows.
void DrawFlip(const KitContext& kit, int clan) {
    const int w = 100, h = 40;
    for (bool pressed : {false, true}) {
        Picture p(w, h, true);
        DrawPlaque(p, "", PlaqueKind::Lacquer, pressed, 1);
        cairo_t* cr = p.cr();
        RoundedRect(cr, 3, 3, w - 6, h - 6, 6);
        SetColour(cr, ClanColour(clan), 0.55);
        cairo_fill(cr);
        const double dy = pressed ? 1 : 0;
        DrawMon(cr, clan, w / 2.0, h / 2.0 + dy, 13, ink::GoldLight);
        for (int s : {-1, 1}) {
            const double x = w / 2.0 + s * 34;
            cairo_move_to(cr, x + s * 8, h / 2.0 + dy);
            cairo_line_to(cr, x - s * 5, h / 2.0 - 9 + dy);
            cairo_line_to(cr, x - s * 5, h / 2.0 + 9 + dy);
            cairo_close_path(cr);
            SetColour(cr, ink::GoldLight);
            cairo_fill_preserve(cr);
            SetColour(cr, ink::Sumi);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        }
        SavePicture(kit,
                    kPictures + "Cmb\\" + kTacticFlipPrefix + kClanNames[clan] + (pressed ? " Dn" : " Up") + ".giz",
                    p, PictureFormat::Giz8);
    }
}

void DrawButtons(const KitContext& kit) {
    const std::string cmb = kPictures + "Cmb\\";
    SavePlaqueButton(kit, cmb, "Cmb Strike", 100, 24, "Strike", PlaqueKind::Vermilion, 15);
    SavePlaqueButton(kit, cmb, "Cmb Delay", 100, 24, "Delay", PlaqueKind::Lacquer, 15);
    SavePlaqueButton(kit, cmb, "Cmb OK Med", 120, 32, "OK", PlaqueKind::Vermilion, 20);
    SavePlaqueButton(kit, cmb, "Cmb Cancel Med", 120, 32, "Cancel", PlaqueKind::Lacquer, 20);
    for (int clan = 1; clan <= kClanCount; ++clan) DrawFlip(kit, clan);
}

}  // namespace
}  // namespace kit

KIT_GENERATOR(TacticScreen) {
    kit::SaveForBothLayouts(kit, "Pictures\\", kTacticBackground, kit::PictureFormat::Giz24, kit::DrawBackground);
    kit::DrawFormations(kit);
    kit::DrawLines(kit);
    kit::DrawPreview(kit);
    kit::DrawButtons(kit);
}
