// The campaign's endings: a full-screen picture for each end stage in both
// layouts (the narrow one with "_1024" after the name), the text that rises
// over it ("_text", one size for both), and the credits that roll up after
// the great victories. The names come from the campaign's own table.
#include <cmath>
#include <string>

#include "tools/mkdata/Kit.h"
#include "tools/mkdata/Style.h"
#include "world/Campaign.h"

namespace kit {
namespace {

enum class Mood { Victory, Defeat, Standstill };

struct Ending {
    int stage;
    Mood mood;
    const char* title;
    const char* lines[3];
};

const Ending kEndings[] = {
    {14, Mood::Victory, "Victory at Ashgrove",
     {"The last of the great houses has bowed to the Velmor banner.", "From the mountains of Kai to the sea,",
      "the land is one under the clan."}},
    {15, Mood::Defeat, "Defeat at Ashgrove",
     {"On the field of Ashgrove the Velmor host was broken.", "The clan's banners fell in the mud,",
      "and with them its hope of the capital."}},
    {16, Mood::Victory, "The Road to Kyoto Is Won",
     {"The Velmor army enters the capital in triumph.", "The court receives the clan,",
      "and the realm has found its master."}},
    {17, Mood::Victory, "Victory at Honoji",
     {"The temple walls held, and the traitors fled.", "The clan's lord lives, and his name",
      "is spoken with fear in every province."}},
    {18, Mood::Defeat, "Defeat at Yamazaki",
     {"At Yamazaki the clan's last army was scattered.", "The road to the capital is closed,",
      "and others will write the history of these years."}},
    {19, Mood::Defeat, "Kai Has Fallen",
     {"The enemy broke into Kai before the clan was strong.", "The home castles burn,",
      "and the Velmor name is carried into exile."}},
    {20, Mood::Defeat, "The Last Stand in Kai",
     {"After long years of war the clan fought at home once more.", "The walls did not hold.",
      "Kai belongs to its enemies now."}},
    {21, Mood::Standstill, "Kai Holds",
     {"The clan held its home against every enemy,", "but never marched beyond its mountains.",
      "The age of war passes it by."}},
    {22, Mood::Standstill, "The Long Watch",
     {"Kai stands, worn by the wars of many years.", "Its lord keeps watch from the castle walls,",
      "master of his valleys and of nothing more."}},
    {23, Mood::Standstill, "The Years of Retreat",
     {"The clan gave ground and gave ground again.", "Its army lives, its castles are few,",
      "and the great prize is won by others."}},
    {24, Mood::Victory, "Victory at Kawanakajima",
     {"On the river plain the old rival was beaten at last.", "The north is the clan's,",
      "and its banners fly from every ridge."}},
};

// The sky, the light and the ink of a mood.
struct MoodColours {
    Rgb skyTop, skyLow, ink;
    double sun;  // the sun's strength, 0 none
};

MoodColours ColoursOf(Mood mood) {
    switch (mood) {
    case Mood::Victory: return {ink::Washi.Mix(ink::GoldLight, 0.35), ink::Washi.Mix(ink::Gold, 0.25), ink::Sumi, 0.9};
    case Mood::Defeat:
        return {ink::VermilionDark.Mix(ink::Sumi, 0.35), ink::Vermilion.Mix(ink::Washi, 0.35), ink::Sumi, 0.0};
    case Mood::Standstill: return {ink::Washi.Mix(ink::SumiWash, 0.25), ink::Washi, ink::SumiWash, 0.35};
    }
    return {ink::Washi, ink::Washi, ink::Sumi, 0.0};
}

// Smoke rising from burning ground: soft ink columns leaning with the wind.
void PaintSmoke(cairo_t* cr, double x, double baseY, double height, double s, uint32_t seed) {
    KitRandom rnd(seed);
    for (int k = 0; k < 14; ++k) {
        double t = k / 13.0;
        double cx = x + t * height * 0.45 + rnd.Range(-12, 12) * s;
        double cy = baseY - t * height;
        double r = (18 + 60 * t) * s;
        cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
        cairo_pattern_add_color_stop_rgba(g, 0, ink::Sumi.r, ink::Sumi.g, ink::Sumi.b, 0.32 * (1 - t * 0.7));
        cairo_pattern_add_color_stop_rgba(g, 1, ink::Sumi.r, ink::Sumi.g, ink::Sumi.b, 0.0);
        cairo_set_source(cr, g);
        cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    }
}

void DrawEnding(Picture& p, const ScreenLayout& L, const Ending& e) {
    cairo_t* cr = p.cr();
    const double W = p.Width(), H = p.Height(), s = L.s();
    const MoodColours c = ColoursOf(e.mood);
    const uint32_t seed = 5000 + 37 * uint32_t(e.stage);
    PaintWashi(p, seed);
    // The sky washed over the paper.
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, H * 0.7);
    cairo_pattern_add_color_stop_rgba(sky, 0, c.skyTop.r, c.skyTop.g, c.skyTop.b, 0.75);
    cairo_pattern_add_color_stop_rgba(sky, 1, c.skyLow.r, c.skyLow.g, c.skyLow.b, 0.35);
    cairo_rectangle(cr, 0, 0, W, H);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);
    // The great victory on the road to the capital leaves its left half to
    // the text: the scene stands to the right.
    const double focus = e.stage == 16 ? 0.72 : 0.5;
    if (c.sun > 0) PaintSun(cr, W * (focus + 0.12), H * 0.24, 120 * s, c.sun);
    PaintLandscape(cr, 0, 0, W, H, H * 0.42, H * 0.80, s, seed + 1);
    PaintCastleKeep(cr, W * focus, H * 0.66, 240 * s, c.ink.Mix(ink::Indigo, 0.15), 0.92);
    if (e.mood == Mood::Defeat) {
        PaintSmoke(cr, W * (focus - 0.06), H * 0.62, H * 0.5, s, seed + 2);
        PaintSmoke(cr, W * (focus + 0.18), H * 0.70, H * 0.4, s, seed + 3);
    } else {
        PaintBirds(cr, W * (focus - 0.2), H * 0.18, 90 * s, 7, 11 * s, seed + 4);
    }
    // Banners on the ridge: upright after a victory, fallen and few after a
    // defeat, the home clan's alone in a standstill.
    const int banners = e.mood == Mood::Defeat ? 2 : e.mood == Mood::Standstill ? 3 : 6;
    for (int i = 0; i < banners; ++i) {
        double x = W * (focus - 0.3 + 0.12 * i);
        PaintBanner(cr, 1, x, H * (0.86 + 0.01 * (i % 2)), 130 * s, seed + 10 + i);
    }
    // A mist band where the text will rise.
    cairo_pattern_t* mist = cairo_pattern_create_linear(0, H * 0.78, 0, H);
    cairo_pattern_add_color_stop_rgba(mist, 0, ink::Washi.r, ink::Washi.g, ink::Washi.b, 0.0);
    cairo_pattern_add_color_stop_rgba(mist, 1, ink::Washi.r, ink::Washi.g, ink::Washi.b, 0.7);
    cairo_rectangle(cr, 0, H * 0.78, W, H * 0.22);
    cairo_set_source(cr, mist);
    cairo_fill(cr);
    cairo_pattern_destroy(mist);
    PaintSeal(cr, W * 0.92, H * 0.90, 56 * s, 1);
    const double m = 10 * s;
    PaintGoldFrame(cr, m, m, W - 2 * m, H - 2 * m, 6 * s);
}

// A paper card with the ending's title and its few lines, one size for both
// layouts (it must fit the narrow screen).
void SaveEndingText(const KitContext& kit, const std::string& stem, const Ending& e) {
    const int w = 840, h = 260;
    Picture p(w, h, true);
    cairo_t* cr = p.cr();
    RoundedRect(cr, 6, 6, w - 12, h - 12, 10);
    SetColour(cr, ink::Washi, 0.96);
    cairo_fill_preserve(cr);
    SetColour(cr, e.mood == Mood::Defeat ? ink::VermilionDark : ink::GoldDark);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    TextStyle title;
    title.face = Face::SerifBold;
    title.size = 46;
    title.fill = e.mood == Mood::Defeat ? ink::VermilionDark : ink::Sumi;
    title.fillLow = title.fill;
    title.tracking = 2;
    DrawText(cr, e.title, w / 2.0, 76, Align::Centre, title);
    cairo_move_to(cr, w * 0.3, 96);
    cairo_line_to(cr, w * 0.7, 96);
    SetColour(cr, ink::Vermilion, 0.8);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    TextStyle body;
    body.face = Face::Serif;
    body.size = 27;
    body.fill = ink::Sumi;
    body.fillLow = ink::Sumi;
    for (int i = 0; i < 3; ++i) DrawText(cr, e.lines[i], w / 2.0, 146 + 38 * i, Align::Centre, body);
    FlattenOnto(p, ink::Washi, 0.5);
    SavePicture(kit, "Pictures\\" + stem + "_text.giz", p, PictureFormat::Giz24);
}

// The credits: a tall paper scroll with the game's name and who made it.
void SaveCredits(const KitContext& kit) {
    struct Line {
        const char* text;
        bool heading;
    };
    const Line lines[] = {
        {"Design", true},          {"The Velmor team", false},  {"", false},
        {"Programming", true},     {"The Velmor team", false},  {"", false},
        {"Pictures and soldiers", true}, {"Drawn by the data kit", false}, {"", false},
        {"Music and sounds", true}, {"Composed by the data kit", false}, {"", false},
        {"Thanks", true},          {"To every player who led the clan", false},
        {"from Kai to the capital", false},
    };
    const int w = 620, lineStep = 42, top = 200;
    const int h = top + lineStep * int(std::size(lines)) + 120;
    Picture p(w, h, true);
    cairo_t* cr = p.cr();
    RoundedRect(cr, 10, 10, w - 20, h - 20, 14);
    SetColour(cr, ink::Washi);
    cairo_fill_preserve(cr);
    SetColour(cr, ink::GoldDark);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    TextStyle title;
    title.face = Face::SerifBold;
    title.size = 72;
    title.fill = ink::Sumi;
    title.fillLow = ink::Sumi.Mix(ink::Indigo, 0.3);
    title.tracking = 10;
    DrawText(cr, "VELMOR", w / 2.0, 120, Align::Centre, title);
    DrawMon(cr, 1, w / 2.0, 160, 18, ink::Vermilion, 0.9);
    for (size_t i = 0; i < std::size(lines); ++i) {
        TextStyle st;
        st.face = lines[i].heading ? Face::SerifBold : Face::Serif;
        st.size = lines[i].heading ? 30 : 26;
        st.fill = lines[i].heading ? ink::VermilionDark : ink::Sumi;
        st.fillLow = st.fill;
        DrawText(cr, lines[i].text, w / 2.0, top + 30 + lineStep * double(i), Align::Centre, st);
    }
    PaintSeal(cr, w / 2.0, h - 60, 50, 1);
    FlattenOnto(p, ink::Washi, 0.5);
    SavePicture(kit, "Pictures\\end screens\\credits.giz", p, PictureFormat::Giz24);
}

}  // namespace
}  // namespace kit

KIT_GENERATOR(EndScreens) {
    using namespace kit;
    for (const Ending& e : kEndings) {
        const std::string stem = CCampaign::GetBattleDescriptionFile(e.stage, 1).GetString();
        for (const ScreenLayout& L : kLayouts) {
            Picture p(L.width, L.height);
            DrawEnding(p, L, e);
            SavePicture(kit, "Pictures\\" + stem + (L.width < 1280 ? "_1024" : "") + ".giz", p, PictureFormat::Giz24);
        }
        SaveEndingText(kit, stem, e);
    }
    SaveCredits(kit);
}
