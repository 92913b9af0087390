// The battle's dialogs and popups: the popup backgrounds and their message
// cards, the generic soldiers' portraits, the unit icons of every clan, the
// whole-picture notices, the division dialog with its symbol sheets, the
// options dialog's pages, buttons and help pages, and the volume screen's
// pieces. Names come from Animate/DialogPictureNames.h, which the dialogs
// read too.
#include <string>
#include <vector>

#include "Animate/DialogPictureNames.h"
#include "core/WorldNames.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/Style.h"

namespace kit {
namespace {

constexpr double kPi = 3.14159265358979323846;
const std::string kPictures = "Pictures\\";
const std::string kCmb = "Pictures\\Cmb\\";

void Save24(const KitContext& kit, const std::string& name, const Picture& p) {
    SavePicture(kit, kPictures + name + ".giz", p, PictureFormat::Giz24);
}
void Save8(const KitContext& kit, const std::string& name, const Picture& p) {
    SavePicture(kit, kPictures + name + ".giz", p, PictureFormat::Giz8);
}

TextStyle Ink(double size, Face face = Face::Serif, Rgb fill = ink::Sumi) {
    TextStyle st;
    st.face = face;
    st.size = size;
    st.fill = st.fillLow = fill;
    return st;
}

// Words set in lines no wider than `width`, centred on cx from baseline y.
void DrawWrapped(cairo_t* cr, const std::string& text, double cx, double y, double width, const TextStyle& st,
                 double leading) {
    SelectFace(cr, st.face, st.size);
    std::vector<std::string> lines;
    std::string line, word;
    auto flush = [&] {
        if (word.empty()) return;
        const std::string tried = line.empty() ? word : line + " " + word;
        if (!line.empty() && TextWidth(cr, tried) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = tried;
        }
        word.clear();
    };
    for (char c : text) {
        if (c == ' ') flush();
        else word += c;
    }
    flush();
    if (!line.empty()) lines.push_back(line);
    for (const std::string& l : lines) {
        DrawText(cr, l, cx, y, Align::Centre, st);
        y += leading;
    }
}

// A dialog ground: washi inside a lacquer rim with a gold band.
void DialogGround(Picture& p, uint32_t seed) {
    PaintWashi(p, seed);
    cairo_t* cr = p.cr();
    const double w = p.Width(), h = p.Height();
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_rectangle(cr, 6, 6, w - 12, h - 12);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    SetColour(cr, ink::Lacquer);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    PaintGoldFrame(cr, 6, 6, w - 12, h - 12, 3);
}

void Well(cairo_t* cr, double x, double y, double w, double h) {
    cairo_rectangle(cr, x, y, w, h);
    SetColour(cr, ink::WashiShade, 0.5);
    cairo_fill(cr);
    cairo_rectangle(cr, x - 0.5, y - 0.5, w + 1, h + 1);
    SetColour(cr, ink::Sumi, 0.8);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// ------------------------------------------------------------- popups

const char* const kMessageTexts[kPopupMessageCount] = {
    "Our detachment is approaching the field.",
    "Our detachment has been delayed.",
    "Our detachment has been stopped on the road.",
    "An enemy detachment is approaching!",
    "The enemy detachment has been delayed.",
    "The enemy detachment has been stopped.",
    "We could not stop the enemy detachment!",
    "No enemy detachment was found.",
    "Our detachment is too tired to march on.",
    "Choose a general to command the army.",
    "No more divisions may take the field.",
    "No detachment is allowed on this field.",
    "There are not enough horses for cavalry.",
    "The battle is paused.",
    "Our commander has fallen!",
    "The enemy commander has fallen!",
    "Our headquarters is in danger!",
    "The enemy headquarters is in danger!",
    "The army's morale rises greatly!",
    "The army's morale rises.",
    "The army's morale rises a little.",
    "The drums have no effect on morale.",
    "The drummers are spent.",
    "The war drum is broken!",
    "The division has broken down the gate!",
    "The division regroups of its own accord.",
    "The division retreats of its own accord.",
    "The division holds as the rear guard.",
    "The division will not retreat!",
    "The general is dead.",
    "A strong enemy general leads them.",
    "A capable enemy general leads them.",
    "A weak enemy general leads them.",
    "The enemy general is a great warrior.",
    "The enemy general is a seasoned warrior.",
    "The enemy general is a poor warrior.",
    "The enemy general is retreating!",
    "The division's losses are heavy!",
    "The general is wounded!",
    "The troops stand ready.",
    "The fog is too heavy to see the enemy.",
    "It is too dark to see the enemy.",
    "All-out attack!",
    "Attack!",
    "Take up the defence!",
    "Stand your ground!",
    "Regroup!",
    "Retreat!",
    "Forward, march!",
    "We charge with everything we have!",
    "We attack as ordered!",
    "We hold the line as ordered!",
    "We stand our ground as ordered!",
    "Morale is high.",
    "Morale is steady.",
    "Morale is low.",
};

struct PopupLook {
    int w, h;        // the background
    int mx, my;      // where the message card lies
    int mw, mh;      // the message card
    Rgb tint;
    const char* title;
};
const PopupLook kPopupLooks[5] = {
    {0, 0, 0, 0, 0, 0, ink::Washi, ""},
    {420, 112, 90, 16, 314, 80, ink::Gold, "Battle Report"},
    {420, 112, 90, 16, 314, 80, ink::Indigo, "Detachments"},
    {360, 80, 12, 11, 336, 58, ink::SumiWash, ""},
    {400, 260, 83, 18, 304, 80, ink::Vermilion, "Division Report"},
};

void DrawPopups(const KitContext& kit) {
    for (int k = 1; k <= 4; ++k) {
        const PopupLook& L = kPopupLooks[k];
        Picture p(L.w, L.h);
        PaintWashi(p, 2500 + k, L.tint, 0.12);
        cairo_t* cr = p.cr();
        PaintGoldFrame(cr, 0, 0, L.w, L.h, 4);
        Well(cr, L.mx - 2, L.my - 2, L.mw + 4, L.mh + 4);
        if (k != 3) Well(cr, 17, 16, 64, 80);
        if (k == 4) {
            Well(cr, 17, 140, 60, 68);
            const char* labels[4] = {"Troops", "Morale", "Attack", "Defence"};
            for (int i = 0; i < 4; ++i)
                DrawText(cr, labels[i], 100, 120 + 30 * i, Align::Left, Ink(14, Face::SerifBold));
        }
        Save24(kit, kPopupBackgrounds[k], p);
    }
    for (int id = 0; id < kPopupMessageCount; ++id) {
        const PopupLook& L = kPopupLooks[PopupKind(id)];
        Picture p(L.mw, L.mh, true);
        cairo_t* cr = p.cr();
        RoundedRect(cr, 0.5, 0.5, L.mw - 1, L.mh - 1, 4);
        SetColour(cr, ink::Washi);
        cairo_fill(cr);
        const bool urgent = kMessageTexts[id][std::string(kMessageTexts[id]).size() - 1] == '!';
        cairo_rectangle(cr, 6, 6, 3, L.mh - 12);
        SetColour(cr, urgent ? ink::Vermilion : L.tint);
        cairo_fill(cr);
        const double size = L.mh < 70 ? 17 : 19;
        const int lines = L.mh < 70 ? 1 : 2;
        DrawWrapped(cr, kMessageTexts[id], L.mw / 2.0 + 4, L.mh / 2.0 + size * 0.35 - (lines - 1) * size * 0.55,
                    L.mw - 30, Ink(size, urgent ? Face::SerifBold : Face::Serif), size * 1.15);
        FlattenOnto(p, ink::Washi, 0.5);
        Save8(kit, std::string(kPopupMessagePrefix) + kPopupMessages[id], p);
    }
}

// A soldier of the clan on paper, as a portrait or a unit icon; `mounted`
// sets him on a horse, `rank` 0 soldier, 1 captain, 2 general, 3 marshal.
void DrawSoldierCard(Picture& p, int clan, bool mounted, int rank, uint32_t seed) {
    const double w = p.Width(), h = p.Height();
    PaintWashi(p, seed, ClanAccent(clan), 0.15);
    cairo_t* cr = p.cr();
    if (mounted) {
        cairo_save(cr);
        cairo_translate(cr, w / 2, h * 0.78);
        cairo_scale(cr, w * 0.38, h * 0.12);
        cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
        cairo_restore(cr);
        SetColour(cr, {0.30, 0.20, 0.13});
        cairo_fill(cr);
        cairo_rectangle(cr, w * 0.72, h * 0.56, w * 0.1, h * 0.2);
        cairo_fill(cr);
        for (double lx : {0.22, 0.34, 0.62, 0.74}) {
            cairo_rectangle(cr, w * lx, h * 0.82, 2, h * 0.16);
            cairo_fill(cr);
        }
    }
    PaintFootSoldier(cr, clan, w / 2, mounted ? h * 0.74 : h * 0.95, mounted ? h * 0.6 : h * 0.85, 1, seed);
    for (int i = 0; i < rank; ++i) {
        cairo_arc(cr, 7 + 8 * i, 7, 3, 0, 2 * kPi);
        SetColour(cr, ink::Gold);
        cairo_fill_preserve(cr);
        SetColour(cr, ink::Sumi);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    SetColour(cr, ink::Sumi);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void DrawSoldiers(const KitContext& kit) {
    for (int clan = 1; clan <= kClanCount; ++clan) {
        {
            Picture p(64, 80);
            DrawSoldierCard(p, clan, false, 0, 2600 + clan);
            Save24(kit, std::string("Portrait\\") + kGenericSoldierPortrait + kClanNames[clan], p);
        }
        for (const char* unit : kUnitIconNames) {
            const std::string u = unit;
            const bool mounted = u == "Cavalry" || u == "Captain On Horse" || u == "General" || u == "Marshall";
            const int rank = u == "Marshall" ? 3 : u == "General" ? 2 : u.rfind("Captain", 0) == 0 ? 1 : 0;
            Picture p(56, 64);
            DrawSoldierCard(p, clan, mounted, rank, 2700 + clan * 16 + uint32_t(u.size()));
            Save24(kit, UnitIconName(kClanNames[clan], unit), p);
        }
    }
}

const char* const kNoticeTexts[] = {
    "Choose an army before you go on.",
    "Too many divisions: the army can take no more.",
    "Recruit a division before you go on.",
    "Delete this battle?",
    "Sound the retreat and leave the field?",
    "Delete this saved game?",
    "Choose a demonstration battle.",
};

void DrawNotices(const KitContext& kit) {
    for (size_t i = 0; i < std::size(kNoticePictures); ++i) {
        Picture p(380, 140);
        DialogGround(p, 2800 + uint32_t(i));
        cairo_t* cr = p.cr();
        PaintSeal(cr, 40, 40, 34, 1, 0.85);
        // A question leaves the lower right corner to its answers.
        const bool question = std::string(kNoticePictures[i]).rfind("popup dialog", 0) == 0;
        DrawWrapped(cr, kNoticeTexts[i], 205, question ? 44 : 66, 260, Ink(21, Face::SerifBold), 26);
        Save24(kit, kNoticePictures[i], p);
    }
    // The answers sit in the lower right corner of a question's picture.
    SavePlaqueButton(kit, kCmb, kYesNoButtons[0], 110, 30, "Yes", PlaqueKind::Vermilion, 18);
    SavePlaqueButton(kit, kCmb, kYesNoButtons[1], 110, 30, "No", PlaqueKind::Lacquer, 18);
}

// ---------------------------------------------------- division dialog

void DrawArmSymbol(cairo_t* cr, int arm, int grade, double cx, double cy, double r) {
    const Rgb grades[4] = {ink::Gold, {0.78, 0.80, 0.84}, {0.50, 0.47, 0.45}, {0.66, 0.48, 0.28}};
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    SetColour(cr, grades[grade]);
    cairo_fill_preserve(cr);
    SetColour(cr, ink::Sumi);
    cairo_set_line_width(cr, 1.3);
    cairo_stroke(cr);
    const char* letters[5] = {"I", "C", "A", "S", "R"};
    DrawText(cr, letters[arm], cx, cy + r * 0.45, Align::Centre, Ink(r * 1.3, Face::SerifBold));
}

void DrawDivInfo(const KitContext& kit) {
    {
        Picture p(580, 460);
        DialogGround(p, 2900);
        cairo_t* cr = p.cr();
        Well(cr, 12, 41, 64, 80);
        Well(cr, 90, 60, 476, 330);
        DrawText(cr, "Division", 12, 30, Align::Left, Ink(18, Face::SerifBold));
        Save24(kit, kDivInfoBackground, p);
    }
    {
        const int c = 30;
        Picture p(c * 5, c * 4, true);
        for (int g = 0; g < 4; ++g)
            for (int a = 0; a < 5; ++a) DrawArmSymbol(p.cr(), a, g, a * c + c / 2.0, g * c + c / 2.0, 13);
        FlattenOnto(p, ink::Washi, 0.5);
        Save8(kit, kDivInfoSheets[0].name, p);
    }
    const char* hints[7] = {"Standing", "Infantry", "Cavalry", "Archery", "Firearms", "Merit", "Losses"};
    {
        const int c = 20;
        Picture p(c, c * 7, true);
        cairo_t* cr = p.cr();
        for (int i = 0; i < 7; ++i) {
            RoundedRect(cr, 1, i * c + 1, c - 2, c - 2, 3);
            SetColour(cr, i == 6 ? ink::Vermilion : ink::Indigo);
            cairo_fill(cr);
            DrawText(cr, std::string(1, hints[i][0]), c / 2.0, i * c + 15, Align::Centre,
                     Ink(13, Face::SerifBold, ink::GoldLight));
        }
        FlattenOnto(p, ink::Washi, 0.5);
        Save8(kit, kDivInfoSheets[1].name, p);
    }
    {
        const int cw = 120, ch = 28;
        Picture p(cw, ch * 7);
        for (int i = 0; i < 7; ++i) {
            cairo_t* cr = p.cr();
            cairo_rectangle(cr, 0, i * ch, cw, ch);
            SetColour(cr, ink::Washi);
            cairo_fill(cr);
            cairo_rectangle(cr, 0.5, i * ch + 0.5, cw - 1, ch - 1);
            SetColour(cr, ink::Sumi);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            DrawText(cr, hints[i], cw / 2.0, i * ch + 19, Align::Centre, Ink(15));
        }
        Save24(kit, kDivInfoSheets[2].name, p);
    }
    const char* arms[4][2] = {{"Cmb Cav", "Cavalry"}, {"Cmb Inf", "Infantry"}, {"Cmb Spear", "Spears"},
                              {"Cmb Rifle", "Rifles"}};
    for (auto& a : arms) SavePlaqueButton(kit, kCmb, a[0], 96, 28, a[1], PlaqueKind::Paper, 16);
}

// ----------------------------------------------------- options dialog

void DrawOptions(const KitContext& kit) {
    const char* titles[5] = {"Options", "Graphics", "Sound", "Help", "Save Game"};
    for (int i = 0; i < 5; ++i) {
        Picture p(600, 470);
        DialogGround(p, 3000 + i);
        cairo_t* cr = p.cr();
        TextStyle t = Ink(28, Face::SerifBold);
        DrawText(cr, titles[i], 300, i == 0 ? 200 : 44, Align::Centre, t);
        if (i == 0) PaintLandscape(cr, 12, 230, 576, 228, 250, 420, 0.5, 3010);
        if (i == 1) {
            const char* rows[5] = {"Show unit figures", "Show field detail", "Detail", "Game speed", "Scroll speed"};
            const int ys[5] = {118, 161, 270, 385, 431};
            for (int r = 0; r < 5; ++r) DrawText(cr, rows[r], r < 2 ? 120 : 40, ys[r], Align::Left, Ink(17));
            DrawText(cr, "High", 120, 301, Align::Left, Ink(15));
            DrawText(cr, "Low", 309, 301, Align::Left, Ink(15));
            DrawText(cr, "Medium", 120, 261, Align::Left, Ink(15));
            Well(cr, 229, 359, 200, 40);
            Well(cr, 229, 405, 200, 40);
        }
        if (i == 2) {
            DrawText(cr, "Effects", 40, 92, Align::Left, Ink(17));
            DrawText(cr, "Music", 40, 157, Align::Left, Ink(17));
            DrawText(cr, "Effects on", 205, 227, Align::Left, Ink(17));
            DrawText(cr, "Music on", 205, 267, Align::Left, Ink(17));
            Well(cr, 118, 65, 200, 40);
            Well(cr, 118, 130, 200, 40);
        }
        if (i == 3) Well(cr, 80, 56, 442, 332);
        Save24(kit, kOptionBackgrounds[i], p);
    }
    const char* pages[5][2] = {{"Cmb Option Graphic", "Graphics"}, {"Cmb Option Sound", "Sound"},
                               {"Cmb Option Help", "Help"},       {"Cmb Option Save", "Save"},
                               {"Cmb Option Exit", "Exit"}};
    for (auto& b : pages) SavePlaqueButton(kit, kCmb, b[0], 170, 40, b[1], PlaqueKind::Lacquer, 22);
    // The tick box: empty when up, ticked in vermilion when down.
    for (bool down : {false, true}) {
        Picture p(28, 28, true);
        cairo_t* cr = p.cr();
        RoundedRect(cr, 2, 2, 24, 24, 3);
        SetColour(cr, ink::Washi);
        cairo_fill_preserve(cr);
        SetColour(cr, ink::Sumi);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        if (down) {
            cairo_move_to(cr, 7, 14);
            cairo_line_to(cr, 12, 20);
            cairo_line_to(cr, 22, 7);
            SetColour(cr, ink::Vermilion);
            cairo_set_line_width(cr, 3.5);
            cairo_stroke(cr);
        }
        FlattenOnto(p, ink::Washi, 0.5);
        SavePicture(kit, kCmb + std::string("Cmb Tick") + (down ? " Dn" : " Up") + ".giz", p, PictureFormat::Giz8);
    }
    for (int i = 0; i < kSaveSlots; ++i)
        SavePlaqueButton(kit, kCmb, kSaveSlotButton + std::to_string(i), 329, 56, "", PlaqueKind::Paper, 16);
    // The level bar: ten steps rising left to right.
    {
        Picture p(200, 40, true);
        cairo_t* cr = p.cr();
        for (int l = 0; l < 10; ++l) {
            const double bh = 8 + 3 * l;
            cairo_rectangle(cr, l * 20 + 3, 38 - bh, 15, bh);
            SetColour(cr, ink::Gold.Mix(ink::Vermilion, l / 9.0));
            cairo_fill_preserve(cr);
            SetColour(cr, ink::Sumi);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        }
        FlattenOnto(p, ink::WashiShade, 0.5);
        Save8(kit, kOptionSlider, p);
    }
    for (const char* b : kHelpButtons) {
        std::string caption = std::string(b).substr(std::string(b).find("btn_") + 4);
        if (caption == "helpcontents") caption = "contents";
        caption[0] = char(caption[0] - 'a' + 'A');
        SavePlaqueButton(kit, kCmb + kHelpFolder, b, 200, 26, caption, PlaqueKind::Paper, 15);
    }
}

const char* const kHelpTexts[25][2] = {
    {"Contents", "Choose a subject below."},
    {"About", "A war game of the warring provinces."},
    {"Getting Ready", "Before each battle you choose the army's formation and its generals."},
    {"Placing Generals", "Drag a general's portrait into a division slot. The first slot is the commander's."},
    {"Division Types", "Right-click a general to choose the arm his division fights with."},
    {"Army Formations", "Click the formation card to step through the formations your commander knows."},
    {"Detachments", "The three lower slots march round the field and arrive behind the enemy."},
    {"Control", "Select divisions with the mouse and give them orders with the panel buttons."},
    {"Unit Types", "Foot soldiers, spearmen, archers, riflemen and cavalry each have their strengths."},
    {"Morale", "Troops who lose heart waver and flee. Drums and victories restore them."},
    {"Orders", "Each division obeys the last order it was given."},
    {"Selecting", "Click a division to select it; hold Shift to select several."},
    {"Destinations", "Right-click the field to send the selected divisions there."},
    {"Division Orders", "Attack, defend, stand ground, regroup or retreat."},
    {"Army Orders", "Advance, halt, change formation or retreat the whole army."},
    {"Feedback", "Reports from your generals appear in small messages."},
    {"Tactics", "Fight with the ground, the weather and the enemy's weakness."},
    {"Formations", "Each formation suits a purpose: a line to hold, a spear to break through."},
    {"Breaking Through", "A deep formation can break an enemy line at one point."},
    {"Using Detachments", "Time your detachments to strike when the enemy is engaged."},
    {"Generals", "A strong general holds his division together. Protect the commander."},
    {"Retreat", "A timely retreat saves an army to fight another day."},
    {"Attacking a Castle", "Break down the gates before you storm the walls."},
    {"Defending a Castle", "Hold the gates and let the walls do the work."},
    {"Score", "Victory is judged by losses, generals lost and ground held."},
};

void DrawHelpPages(const KitContext& kit) {
    for (int i = 0; i < 25; ++i) {
        Picture p(440, 330);
        PaintWashi(p, 3100 + i);
        cairo_t* cr = p.cr();
        DrawText(cr, kHelpTexts[i][0], 220, 40, Align::Centre, Ink(26, Face::SerifBold));
        cairo_rectangle(cr, 120, 52, 200, 1.5);
        SetColour(cr, ink::Vermilion);
        cairo_fill(cr);
        // Topics with sub-topics leave room for their buttons on the left.
        const bool list = i == 0 || i == 2 || i == 7 || i == 16;
        DrawWrapped(cr, kHelpTexts[i][1], list ? 330 : 220, list ? 100 : 110, list ? 190 : 380, Ink(18), 24);
        Save24(kit, kHelpFolder + std::string(kHelpTopics[i]), p);
    }
}

// ------------------------------------------------------ volume screen

void DrawVolume(const KitContext& kit) {
    const char* captions[2] = {"Music", "Effects"};
    for (int i = 0; i < 2; ++i) {
        Picture p(280, 100, true);
        cairo_t* cr = p.cr();
        PaintLacquerPanel(cr, 1, 1, 278, 98, 8, 3);
        DrawEngraved(cr, captions[i], 140, 64, Face::SerifBold, 38, ink::GoldLight, {0, 0, 0}, ink::Gold);
        FlattenOnto(p, ink::Sumi, 0.5);
        Save8(kit, kVolumePictures[i], p);
    }
    Picture p(408, 100, true);
    cairo_t* cr = p.cr();
    for (int l = 0; l <= 100; ++l) {
        const double bh = 20 + 0.7 * l;
        cairo_rectangle(cr, l * 4 + 1, 98 - bh, 3, bh);
        SetColour(cr, ink::Gold.Mix(ink::Vermilion, l / 100.0));
        cairo_fill(cr);
    }
    FlattenOnto(p, ink::Sumi, 0.5);
    Save8(kit, kVolumeSlider, p);
}

}  // namespace
}  // namespace kit

KIT_GENERATOR(BattlePopups) {
    kit::DrawPopups(kit);
    kit::DrawSoldiers(kit);
    kit::DrawNotices(kit);
}

KIT_GENERATOR(BattleDialogs) {
    kit::DrawDivInfo(kit);
    kit::DrawOptions(kit);
    kit::DrawHelpPages(kit);
    kit::DrawVolume(kit);
}
