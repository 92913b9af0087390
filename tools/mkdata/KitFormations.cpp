// The formation list file "Default Formation Lists A.fed": battalion,
// division and army formations, written by the game's own Serialize code.
//
// Every shape is drawn once, for an army facing north (x across the front,
// left to right; y growing towards the rear), and turned for the other seven
// facings; a facing four steps on is the half turn of its opposite, so the
// table for facing 6 is exactly the one for facing 2 with both components
// negated.
//
// The army formations: the sixteen presets, 91 (drawn as 92), 103 and the
// scenario formations of the battle catalogue's battles, each the root of a
// family: for every posture flag a member pushes the flag's group of
// divisions forward by grades 2, 3 and 4, and two whole-army members (grade
// 1) advance all divisions together. Each slot names a division formation,
// each division row a battalion formation, so a division of any facing and
// any formation finds its places. The generator checks that the men of a
// battalion never stand on each other, that the battalions of a division
// leave room between them, that no two divisions of an army formation
// come within a marshal's body of each other, that an army at either
// start point of a battle stands inside the field and that no division
// stands on the posts the computer's commander sends his guards to; a
// design that breaks any of these stops the kit.
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "army/CommanderGuards.h"
#include "army/FormationList.h"
#include "core/Helpers.h"
#include "platform/afx/Afx.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/KitFormations.h"

namespace {

struct Pt {
    int x, y;
};

// `p` turned from facing 0 to `facing`, rounded half away from zero.
Pt Turn(Pt p, int facing) {
    facing &= 7;
    if (facing >= 4) {
        Pt q = Turn(p, facing - 4);
        return {-q.x, -q.y};
    }
    const double a = facing * 45.0 * M_PI / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    return {int(std::lround(p.x * c - p.y * s)), int(std::lround(p.x * s + p.y * c))};
}

// A formation's places at `facing`: turned, and on the four slanting
// facings spread a quarter wider. A man's body on the field is an upright
// rectangle whatever way he faces, so ranks that stand clear of each other
// square on would overlap at a slant without the spread.
Pt Spread(Pt p, int facing) {
    Pt q = Turn(p, facing);
    if (facing & 1) q = {int(std::lround(q.x * 1.25)), int(std::lround(q.y * 1.25))};
    return q;
}

// The body of a man on foot (the widest and deepest of the foot kinds'
// pictures): the battalion formations stand their men farther apart than
// this, across and in depth, so that close ranks do not meet at any facing.
constexpr int kFootWidth = 24, kFootDepth = 32;

// ------------------------------------------------------------ battalions

struct BattDesign {
    int id;
    const char* name;
    Pt units[10];  // row 0 the leader
};

// The block's ranks stand 40 apart, a man's depth and 8 more: a man
// jostled off his place by a neighbour finds the room to step back onto it.
// The ranks stand a little behind the block's point and the leader 36 ahead
// of the front rank, so that the whole block keeps within 40 ahead of its
// point and 76 behind it, the ground the division and army shapes leave it.
const BattDesign kBattalions[] = {
    {1, "Block", {{0, -40}, {0, -4}, {-34, -4}, {34, -4}, {0, 36}, {-34, 36}, {34, 36}, {0, 76}, {-34, 76}, {34, 76}}},
    {2, "Line", {{0, -40}, {0, 0}, {-34, 0}, {34, 0}, {-68, 0}, {68, 0}, {-17, 36}, {17, 36}, {-51, 36}, {51, 36}}},
    {3, "Column",
     {{0, -40}, {-17, 0}, {17, 0}, {-17, 36}, {17, 36}, {-17, 72}, {17, 72}, {-17, 108}, {17, 108}, {-17, 144}}},
    {4, "Wedge",
     {{0, -46}, {-17, -10}, {17, -10}, {-34, 26}, {0, 26}, {34, 26}, {-51, 62}, {-17, 62}, {17, 62}, {51, 62}}},
    {5, "Loose", {{0, -38}, {0, 0}, {-40, 0}, {40, 0}, {-80, 0}, {80, 0}, {-20, 38}, {20, 38}, {-60, 38}, {60, 38}}},
    {6, "Ring", {{0, 0}, {0, -60}, {39, -46}, {59, -10}, {52, 30}, {21, 56}, {-21, 56}, {-52, 30}, {-59, -10}, {-39, -46}}},
};

const BattDesign* BattByID(int id) {
    for (const BattDesign& b : kBattalions)
        if (b.id == id) return &b;
    return nullptr;
}

// ------------------------------------------------------------- divisions

// Order types of the division orders (and 2, which detachments ask for).
enum : DWORD {
    kAllOut = 1, kAttack = 2, kOrder4 = 4, kOrder8 = 8, kMove = 16, kOrder32 = 32, kRegroup = 64,
    kStand = 128, kRetreat = 256, kDefense = 512, kOrder1024 = 1024, kOrder2048 = 2048, kOrder4096 = 4096,
};

struct DivDesign {
    int id;
    const char* name;
    DWORD flags;
    int link;  // the formation a step switches to where its order calls for the linked one
    int batt;  // battalion formation of every row
    Pt rows[4];
};

// The block, the formation divisions stand and defend in, leaves a lane
// wider than a man between its battalions side by side: men coming up
// from behind pass the ranks already standing in their places.
// The commander's division (slot 0 of every army formation) holds in
// kHeadquarters: the square's four rings of men set back behind its centre,
// his front 55 ahead of it, so that a guard posted straight ahead of him
// stands clear of his men (see CheckGuardPosts). No other division takes it.
constexpr int kHeadquarters = 43;

const DivDesign kDivisions[] = {
    {15, "Line", kMove | kStand | kOrder1024, 37, 2, {{-90, 0}, {90, 0}, {-270, 0}, {270, 0}}},
    {37, "Wedge", kAllOut | kAttack | kOrder4 | kOrder8, 39, 1, {{0, -79}, {-110, 0}, {110, 0}, {0, 79}}},
    {38, "Column", kMove | kRegroup | kRetreat, 39, 3, {{0, -338}, {0, -113}, {0, 113}, {0, 338}}},
    {39, "Double Column", kMove | kOrder32 | kOrder2048 | kOrder4096, 37, 3, {{-38, -113}, {38, -113}, {-38, 113}, {38, 113}}},
    {40, "Block", kStand | kDefense | kOrder1024 | kRegroup, 37, 1, {{-64, -79}, {64, -79}, {-64, 79}, {64, 79}}},
    {41, "Skirmish", kAttack | kOrder32 | kOrder2048 | kOrder4096, 37, 5, {{-103, -68}, {103, -68}, {0, 68}, {0, 187}}},
    {42, "Square", kStand | kDefense | kOrder1024, 37, 6, {{-80, -80}, {80, -80}, {-80, 80}, {80, 80}}},
    {43, "Headquarters", kStand | kDefense | kOrder1024, 37, 6, {{-80, 5}, {80, 5}, {-80, 165}, {80, 165}}},
};

const DivDesign* DivByID(int id) {
    for (const DivDesign& d : kDivisions)
        if (d.id == id) return &d;
    return nullptr;
}

// The formation a division of each type 0..4 holds with: infantry and
// spearmen in blocks, cavalry in a wedge, archers and riflemen loose.
const int kHoldByType[5] = {40, 37, 41, 40, 41};

// ---------------------------------------------------------------- armies

// A preset army formation. Its places, one per slot, are for an army
// facing north (x across the front, left to right; y towards the rear),
// drawn with the rear rank's centres 150 behind the army point; DrawUpRear
// then moves the whole so that its rearmost men, most often the
// commander's, stand 300 behind it.
//
// The commander (slot 0) holds in his headquarters square. His guards (7
// and 11) leave him for posts diagonally ahead of him on either side, a
// lone guard for one straight ahead, measured from him while he stands
// near the army point and from the army point otherwise (see
// CheckGuardPosts). No other division may stand on that ground, so every
// shape keeps it open: most put the commander at the rear, behind an empty
// stretch that the shape's front, wings or hollow close round; the circle
// stands him inside, behind the middle, and keeps the middle of its hollow
// free.
struct ArmyDesign {
    int id;
    const char* name;
    DWORD flags;
    Pt places[12];
    int wedges[2];  // slots whose divisions stand in a wedge (0: none); the others in blocks
    DWORD slotOrder = kStand;
    int turns[12] = {};  // each slot's facing relative to the army
};

const ArmyDesign kPresetDesigns[] = {
    // Two long ranks: seven in the front one, the commander in the middle
    // of the rear one.
    {3, "Line", 0x20000000 | 0x1000 | 0x400000,
     {{0, 150}, {0, -530}, {-240, -530}, {240, -530}, {-600, 150}, {-480, -530},
      {480, -530}, {-320, 150}, {600, 150}, {-720, -530}, {720, -530}, {320, 150}},
     {}},
    // Scales: rows of two, three and four, widening towards the rear.
    {10, "Scale", 0x1000 | 0x40000000,
     {{0, 150}, {-130, -1130}, {-260, -810}, {260, -810}, {0, -810}, {-130, -490},
      {130, -490}, {-320, 150}, {130, -1130}, {-390, -490}, {390, -490}, {320, 150}},
     {}},
    // A hollow square whose sides face outwards and whose rear corners face
    // backwards, a front on every side; the commander in the middle of the
    // rear, his guards and a reserve inside.
    {26, "Square2", 0x80000 | 0x400000 | 0x800000,
     {{0, 150}, {-240, -900}, {-680, -900}, {680, -900}, {0, -560}, {-660, -420},
      {660, -420}, {-330, -150}, {240, -900}, {-680, 150}, {680, 150}, {330, -150}},
     {},
     kDefense,
     {0, 0, 0, 0, 0, 6, 2, 0, 0, 4, 4, 0}},
    // An arrowhead pointing at the enemy over the commander's rank.
    {70, "ArrowLine", 0x40000000 | 0x20000000,
     {{0, 150}, {0, -1100}, {-240, -790}, {240, -790}, {-560, 150}, {-480, -480},
      {480, -480}, {-320, 150}, {560, 150}, {-720, -170}, {720, -170}, {320, 150}},
     {1}},
    // Eleven evenly round an ellipse 1280 across and 1200 deep, front first
    // and then clockwise (1, 3, 6, 10, 11, 8, 4, 7, 9, 5, 2); the commander
    // inside, behind the middle.
    {90, "Circle", 0x800000 | 0x200000,
     {{0, 192}, {0, -600}, {-346, -505}, {346, -505}, {-180, 576}, {-582, -249},
      {582, -249}, {-484, 393}, {180, 576}, {-633, 79}, {633, 79}, {484, 393}},
     {},
     kDefense},
    // The half moon's bow of seven, its reserve beside the commander.
    {91, "HalfMoon Reserve", 0x10000 | 0x20000 | 0x1000000,
     {{0, 150}, {0, -660}, {-240, -610}, {240, -610}, {-560, 150}, {-480, -456},
      {480, -456}, {-320, 150}, {560, 150}, {-720, -200}, {720, -200}, {320, 150}},
     {}},
    // A bow bent towards the enemy whose ends come back level with the
    // commander.
    {92, "HalfMoon", 0x10000 | 0x20000 | 0x1000000,
     {{0, 150}, {0, -660}, {-240, -610}, {240, -610}, {-720, 150}, {-480, -456},
      {480, -456}, {-320, 150}, {720, 150}, {-720, -200}, {720, -200}, {320, 150}},
     {}},
    // A diamond, one, two, three, three, two, one from the head back to the
    // commander at its tail.
    {93, "Fish", 0x1000 | 0x40000,
     {{0, 150}, {0, -1205}, {-290, -1130}, {290, -1130}, {0, -822}, {-360, -810},
      {360, -810}, {-300, -150}, {0, -500}, {-600, -450}, {600, -450}, {300, -150}},
     {1}},
    // A crane's wings: two arms reaching forward and out from the
    // commander, the neck running straight ahead between them.
    {94, "Wing", 0x10000 | 0x20000 | 0x2000000,
     {{0, 150}, {0, -1200}, {-720, -1130}, {720, -1130}, {0, -560}, {-600, -450},
      {600, -450}, {-300, -150}, {0, -880}, {-720, -780}, {720, -780}, {300, -150}},
     {}},
    // Two columns yoked side by side, the commander between their rear ends
    // and a vanguard between their heads.
    {95, "York", 0x100000 | 0x200000,
     {{0, 150}, {0, -900}, {-600, -840}, {600, -840}, {-600, -1170}, {-600, -510},
      {600, -510}, {-600, 150}, {600, -1170}, {-600, -180}, {600, -180}, {600, 150}},
     {}},
    // One swell of a wave across the front: up on the left, down on the
    // right.
    {96, "Wave", 0x1000000 | 0x40000 | 0x80000,
     {{0, 150}, {0, -700}, {-240, -920}, {240, -480}, {-640, 150}, {-480, -920},
      {480, -480}, {-320, 150}, {640, 150}, {-720, -700}, {720, -700}, {320, 150}},
     {}},
    // A wide front closing in on the commander, its two ends thrust forward
    // like claws.
    {97, "Tiger", 0x40000000 | 0x10000,
     {{0, 150}, {0, -820}, {-290, -820}, {290, -820}, {-620, -450}, {-580, -820},
      {580, -820}, {-300, -150}, {620, -450}, {-720, -1150}, {720, -1150}, {300, -150}},
     {1, 4}},
    // A body sweeping from the left rear up to the head at the right front;
    // the commander's rank behind its tail.
    {98, "Dragon", 0x80000 | 0x2000000,
     {{0, 150}, {-240, -700}, {-480, -500}, {240, -1000}, {0, -860}, {-620, -180},
      {480, -1130}, {-320, 150}, {560, 150}, {-720, 150}, {720, -1205}, {320, 150}},
     {}},
    // A column winding like an S: from its tail at the right rear along the
    // commander's rank, forward on the left, across the middle, forward on
    // the right and back across the front to its head.
    {99, "Snake", 0x40000 | 0x80000 | 0x100000,
     {{0, 150}, {80, -540}, {-200, -540}, {360, -480}, {120, -1200}, {-480, -480},
      {600, -800}, {-320, 150}, {560, 150}, {-600, -120}, {360, -1120}, {320, 150}},
     {}},
    // A spear: its head, the shaft with a crossguard, and the commander's
    // rank across its butt.
    {100, "Spear", 0x1000 | 0x20000000,
     {{0, 150}, {0, -1205}, {-260, -940}, {260, -940}, {0, -870}, {-440, -560},
      {440, -560}, {-320, 150}, {0, -500}, {-580, 150}, {580, 150}, {320, 150}},
     {1}},
    // A solid square, three by three, before the commander.
    {101, "Square1", 0x800000 | 0x400000,
     {{0, 150}, {0, -1185}, {-340, -1185}, {340, -1185}, {0, -850}, {-340, -850},
      {340, -850}, {-320, 150}, {0, -490}, {-340, -490}, {340, -490}, {320, 150}},
     {},
     kDefense},
    // Wings spread wide open from the commander's rank, a vanguard far out
    // between their tips.
    {102, "Open Wing", 0x10000 | 0x20000 | 0x100000,
     {{0, 150}, {0, -1100}, {-720, -680}, {720, -680}, {-580, -20}, {-720, -350},
      {720, -350}, {-320, 150}, {580, -20}, {-670, -1010}, {670, -1010}, {320, 150}},
     {9, 10}},
    // A gate: two pillars under a lintel across the front, the commander in
    // the gateway.
    {103, "Iron Gate", 0x10000 | 0x20000 | 0x40000000,
     {{0, 150}, {0, -1130}, {-600, -1130}, {600, -1130}, {-600, -470}, {-300, -1130},
      {300, -1130}, {-600, -140}, {600, -470}, {-600, -800}, {600, -800}, {600, -140}},
     {}},
};

// The scenario formations of the battle catalogue: a preset's shape held
// with the named orders and division formations.
struct ScenarioDesign {
    int id;
    const char* name;
    int shape;  // the preset whose layout it takes
    DWORD slotOrder;
    int divFormation;  // of the ordinary slots
};

const ScenarioDesign kScenarios[] = {
    {113, "Mountain Pass", 99, kDefense, 40},    {114, "River Bank", 3, kStand, 40},
    {115, "Castle Siege", 101, kAttack, 40},     {116, "Forest Edge", 96, kStand, 40},
    {117, "Village Hold", 26, kDefense, 42},     {118, "Ridge Line", 3, kDefense, 40},
    {119, "Valley Trap", 92, kStand, 40},        {120, "Plain Charge", 70, kAttack, 40},
    {121, "Ford Crossing", 100, kAttack, 40},    {123, "Temple Guard", 90, kDefense, 40},
    {124, "Border Fort", 101, kDefense, 42},     {125, "Hill Crown", 90, kDefense, 40},
    {126, "Marsh Road", 99, kStand, 40},         {127, "Bridge Head", 100, kStand, 40},
    {128, "Night March", 98, kMove, 40},         {129, "Harbour Wall", 26, kDefense, 42},
    {130, "Broken Ground", 96, kStand, 40},      {131, "Twin Hills", 94, kStand, 40},
    {132, "Long Road", 10, kAttack, 40},         {133, "Outer Keep", 26, kDefense, 42},
    {134, "Inner Keep", 101, kDefense, 42},
};

// The division groups the family flags move forward.
const int kWingA[3] = {2, 5, 9};
const int kWingB[3] = {3, 6, 10};
const int kCentre[3] = {1, 4, 8};

struct Family {
    DWORD flag;
    const char* name;
    std::vector<int> slots;
};

const std::vector<Family>& Families() {
    static const std::vector<Family> families = {
        {0x1000, "Centre Push", {1, 4, 8}},
        {0x10000, "Left Wing Forward", {2, 5, 9}},
        {0x20000, "Right Wing Forward", {3, 6, 10}},
        {0x40000, "Left Oblique", {2, 5, 9, 1}},
        {0x80000, "Right Oblique", {3, 6, 10, 1}},
    };
    return families;
}

// The masks the tactic screen's posture cycle hands to ApplyFormation.
const DWORD kPostureCycle[9] = {0x1000000, 0x20000, 0x80000, 4096, 0x40000, 0x10000, 0x20000000, 0x2000000, 0x800000};

// Two divisions' units never stand nearer than this across and in depth at
// once: the rectangles of the largest bodies (a marshal's, 36 by 38) stay
// apart.
constexpr int kClearance = 40;

bool TooNear(Pt p, Pt q) { return std::abs(p.x - q.x) < kClearance && std::abs(p.y - q.y) < kClearance; }

struct Shape {
    Pt pts[12];
    int turns[12];
    int divFormation[12];
};

// Every unit centre of slot `s` at facing 0, relative to the army point.
std::vector<Pt> UnitsOf(const Shape& sh, int s) {
    std::vector<Pt> out;
    const DivDesign* div = DivByID(sh.divFormation[s]);
    const BattDesign* batt = BattByID(div->batt);
    for (const Pt& row : div->rows) {
        Pt r = Spread(row, sh.turns[s]);
        for (const Pt& u : batt->units) {
            Pt v = Spread(u, sh.turns[s]);
            out.push_back({sh.pts[s].x + r.x + v.x, sh.pts[s].y + r.y + v.y});
        }
    }
    return out;
}

// The two nearest slots of a shape, for the generator's complaint.
std::string Closest(const Shape& sh) {
    double best = 1e9;
    int ba = -1, bb = -1;
    for (int a = 0; a < 12; ++a)
        for (int b = a + 1; b < 12; ++b)
            for (const Pt& p : UnitsOf(sh, a))
                for (const Pt& q : UnitsOf(sh, b)) {
                    double d = std::hypot(double(p.x - q.x), double(p.y - q.y));
                    if (d < best) {
                        best = d;
                        ba = a;
                        bb = b;
                    }
                }
    return " (slots " + std::to_string(ba) + " and " + std::to_string(bb) + ": " + std::to_string(int(best)) + ")";
}

bool Clear(const Shape& sh) {
    std::vector<std::vector<Pt>> units(12);
    for (int s = 0; s < 12; ++s) units[s] = UnitsOf(sh, s);
    for (int a = 0; a < 12; ++a)
        for (int b = a + 1; b < 12; ++b)
            for (const Pt& p : units[a])
                for (const Pt& q : units[b])
                    if (TooNear(p, q)) return false;
    return true;
}

// Moves the whole shape so that its rearmost unit stands 300 behind the
// army point: an army placed 500 from its own edge keeps its rear on the
// field's inner ground.
void DrawUpRear(Shape& sh) {
    int rear = -100000;
    for (int s = 0; s < 12; ++s)
        for (const Pt& p : UnitsOf(sh, s)) rear = std::max(rear, p.y);
    int shift = 300 - rear;
    for (Pt& p : sh.pts) p.y += shift;
}

// An army at either start point of a battle (500 in from the west or the
// east edge, facing across the field) keeps every man on the inner field:
// within 820 of the army point across its front (the far edge itself is
// off it) and from 1400 ahead of it to 300 behind.
void CheckOnField(const Shape& sh, const char* name) {
    for (int s = 0; s < 12; ++s)
        for (const Pt& p : UnitsOf(sh, s))
            if (std::abs(p.x) >= 820 || p.y > 300 || p.y < -1400)
                throw std::runtime_error(std::string("formation ") + name + " leaves the field at slot " +
                                         std::to_string(s) + " (" + std::to_string(p.x) + ", " +
                                         std::to_string(p.y) + ")");
}

Shape ShapeOf(const ArmyDesign& d) {
    Shape sh{};
    for (int s = 0; s < 12; ++s) {
        sh.pts[s] = d.places[s];
        sh.turns[s] = d.turns[s];
        sh.divFormation[s] = s == 0 ? kHeadquarters : d.wedges[0] == s || d.wedges[1] == s ? 37 : 40;
    }
    return sh;
}

// The men of division formation `div` standing at `at`, facing `code`.
std::vector<Pt> MenOf(const DivDesign& div, Pt at, int code) {
    std::vector<Pt> out;
    for (const Pt& row : div.rows) {
        const Pt r = Spread(row, code);
        for (const Pt& u : BattByID(div.batt)->units) {
            const Pt v = Spread(u, code);
            out.push_back({at.x + r.x + v.x, at.y + r.y + v.y});
        }
    }
    return out;
}

// Every unit centre of slot `s` for an army facing `facing`, relative to
// the army point, as the game composes the slot's, its rows' and their
// men's places.
std::vector<Pt> UnitsAt(const Shape& sh, int s, int facing) {
    return MenOf(*DivByID(sh.divFormation[s]), Spread(sh.pts[s], facing), (sh.turns[s] + facing) & 7);
}

// How far the men of a division holding its ground stand from its centre:
// the farthest man, square on, of the formations a defence order draws on
// a guard (the commander's headquarters is his alone).
double DivisionReach() {
    double reach = 0;
    for (const DivDesign& d : kDivisions) {
        if (!(d.flags & kDefense) || d.id == kHeadquarters) continue;
        for (const Pt& row : d.rows)
            for (const Pt& u : BattByID(d.batt)->units) reach = std::max(reach, std::hypot(row.x + u.x, row.y + u.y));
    }
    return reach;
}

// The computer's commander posts his two guards (divisions 7 and 11)
// diagonally ahead of his division on either side while no enemy is near; a
// lone guard (division 7, while a division is held out of the army's
// working divisions) stands straight ahead. The posts are measured from the
// commander's division while it stands near the army point, else from the
// army point (army/CommanderGuards.h has the distances).
// A guard sent to a post that another division's men stand on stays short
// of it however it moves, so at both start facings no man of another
// division stands within a division's reach of a post. The commander's own
// men stand nearer: a guard holding its post, in any formation a defence
// order draws and facing the way the post sends it, keeps a body's room
// clear of them, or the guard coming up gets caught on them (mounted men
// give way to nobody). The commander's own slot stays clear of the
// distance at which the posts change their base, by more than a division
// settling on its place strays from it.
void CheckGuardPosts(const Shape& sh, const std::string& name) {
    using namespace CommanderGuards;
    constexpr int kSettling = 60;
    // The largest body, a marshal's, and as much again between two men.
    constexpr int kRoomAcross = 2 * 36, kRoomInDepth = 2 * 38;
    const double reach = DivisionReach();
    for (int facing : {2, 6}) {
        const Pt commander = Spread(sh.pts[0], facing);
        const double away = std::hypot(commander.x, commander.y);
        if (std::abs(away - kBaseRadius) < kSettling)
            throw std::runtime_error("formation " + name + " stands its commander " + std::to_string(int(away)) +
                                     " from the army point, too near the " + std::to_string(kBaseRadius) +
                                     " at which his guards' posts change their base");
        const Pt base = away <= kBaseRadius ? commander : Pt{0, 0};
        struct Post {
            CPoint offset;
            int turn;       // the guard's facing there, relative to the army
            int guards[2];  // the divisions that stand there, or leave for the other post
        };
        const Post posts[3] = {
            {GetDirectionVector((facing + kPairTurns[0]) & 7, kPairDistance), kPairTurns[0], {7, 11}},
            {GetDirectionVector((facing + kPairTurns[1]) & 7, kPairDistance), kPairTurns[1], {7, 11}},
            {GetDirectionVector(facing, kLoneDistance), 0, {7, 0}}};
        const std::vector<Pt> commandersMen = UnitsAt(sh, 0, facing);
        for (const Post& post : posts) {
            const Pt at{base.x + post.offset.x, base.y + post.offset.y};
            const std::string where = "formation " + name + " at facing " + std::to_string(facing) + " stands ";
            const std::string postAt =
                " the commander's guard post at (" + std::to_string(at.x) + ", " + std::to_string(at.y) + ")";
            for (int s = 0; s < 12; ++s) {
                if (s == post.guards[0] || s == post.guards[1]) continue;
                for (const Pt& u : UnitsAt(sh, s, facing)) {
                    const double d = std::hypot(u.x - at.x, u.y - at.y);
                    if (d <= reach)
                        throw std::runtime_error(where + "division " + std::to_string(s) + " " +
                                                 std::to_string(int(d)) + " from" + postAt +
                                                 ", within a division's reach of " + std::to_string(int(reach)));
                }
            }
            for (const DivDesign& guard : kDivisions) {
                if (!(guard.flags & kDefense) || guard.id == kHeadquarters) continue;
                for (const Pt& g : MenOf(guard, at, (facing + post.turn) & 7))
                    for (const Pt& c : commandersMen)
                        if (std::abs(g.x - c.x) < kRoomAcross && std::abs(g.y - c.y) < kRoomInDepth)
                            throw std::runtime_error(where + "its commander's man at (" + std::to_string(c.x) + ", " +
                                                     std::to_string(c.y) + ") within a body's room of a guard's man " +
                                                     "at (" + std::to_string(g.x) + ", " + std::to_string(g.y) +
                                                     ") in " + guard.name + " at" + postAt);
            }
        }
    }
}

// Preferred division types of a slot, best first: cavalry on the wings,
// spearmen in the centre, missile troops in the reserve.
void SlotValues(int slot, int32_t (&v)[4]) {
    static const int32_t wing[4] = {1, 0, 3, 0};
    static const int32_t centre[4] = {3, 0, 0, 3};
    static const int32_t reserve[4] = {2, 0, 3, 0};
    static const int32_t command[4] = {1, 0, 3, 0};
    const int32_t* src = command;
    for (int s : kWingA)
        if (s == slot) src = wing;
    for (int s : kWingB)
        if (s == slot) src = wing;
    for (int s : kCentre)
        if (s == slot) src = centre;
    if (slot == 7 || slot == 11) src = reserve;
    for (int k = 0; k < 4; ++k) v[k] = src[k];
}

CArmyFormation* MakeArmy(int id, const std::string& name, const char* picture, DWORD flags, int parent, int level,
                         const Shape& sh, const DWORD (&orders)[12]) {
    CArmyFormation* f = new CArmyFormation(id);
    f->m_strName = name.c_str();
    f->m_strSecondName = picture;
    f->m_dwFlags = flags;
    f->m_nParentID = parent;
    f->m_nLevel = BYTE(level);
    f->m_fInPlace = 0.75f;
    for (int s = 0; s < 12; ++s) {
        for (int facing = 0; facing < 8; ++facing) {
            Pt p = Spread(sh.pts[s], facing);
            f->m_points[s][facing] = CPoint(p.x, p.y);
            f->m_codes[s][facing] = BYTE((sh.turns[s] + facing) & 7);
        }
        f->m_divFormationIDs[s] = sh.divFormation[s];
        f->m_orderTypes[s] = int32_t(orders[s]);
        f->m_slotBytes[s] = BYTE(s);
        SlotValues(s, f->m_slotValues[s]);
    }
    return f;
}

// A member of the family: `slots` pushed forward by `ahead`. A division of
// another group that stands in the way is pushed along with them, so the
// divisions stay clear of each other.
Shape Advanced(const Shape& root, const std::vector<int>& slots, int ahead) {
    bool moving[12] = {};
    for (int s : slots) moving[s] = true;
    for (;;) {
        Shape sh = root;
        for (int s = 0; s < 12; ++s)
            if (moving[s]) sh.pts[s].y -= ahead;
        bool blocked = false;
        for (int a = 0; a < 12; ++a) {
            if (!moving[a]) continue;
            std::vector<Pt> mine = UnitsOf(sh, a);
            for (int b = 0; b < 12; ++b) {
                if (moving[b]) continue;
                for (const Pt& q : UnitsOf(sh, b)) {
                    bool near = false;
                    for (const Pt& p : mine) near = near || TooNear(p, q);
                    if (near) {
                        moving[b] = true;
                        blocked = true;
                        break;
                    }
                }
            }
        }
        if (!blocked) return sh;
    }
}

void AddFamily(CArmyFormationList& list, int rootID, const std::string& name, const char* picture, DWORD flags,
               Shape root, DWORD slotOrder) {
    if (!Clear(root)) throw std::runtime_error("formation " + name + " has divisions too close" + Closest(root));
    DrawUpRear(root);
    CheckOnField(root, name.c_str());
    CheckGuardPosts(root, name);
    DWORD holding[12], advancing[12];
    for (int s = 0; s < 12; ++s) holding[s] = slotOrder;
    int next = 1000 + 20 * rootID;
    // The root heads its family in the list: a formation that falls back
    // to the list's first one finds a root, and an advanced grade asked for
    // a whole-army change goes back to the root itself.
    list.AddTail(MakeArmy(rootID, name, picture, flags, -1, 0, root, holding));
    const struct {
        DWORD flag;
        const char* suffix;
        int ahead;
        DWORD order;
    } whole[2] = {{0x20000000, "General Advance", 150, kMove}, {0x40000000, "Full Attack", 250, kAttack}};
    for (const auto& w : whole) {
        Shape sh = root;
        for (Pt& p : sh.pts) p.y -= w.ahead;
        for (int s = 0; s < 12; ++s) advancing[s] = w.order;
        list.AddTail(MakeArmy(next++, name + " " + w.suffix, picture, w.flag, rootID, 1, sh, advancing));
    }
    for (const Family& fam : Families()) {
        int parent = rootID;
        for (int level = 2; level <= 4; ++level) {
            Shape sh = Advanced(root, fam.slots, 100 * (level - 1));
            for (int s = 0; s < 12; ++s) advancing[s] = slotOrder;
            if (level >= 3)
                for (int s : fam.slots) advancing[s] = kAttack;
            int id = next++;
            list.AddTail(MakeArmy(id, name + " " + fam.name + " " + std::to_string(level), picture, fam.flag, parent,
                                  level, sh, advancing));
            parent = id;
        }
    }
}

// The roots' linked ids: for each posture the tactic screen cycles through,
// the first preset that serves it.
void LinkRoots(CArmyFormationList& list) {
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        CArmyFormation* f = list.At(pos);
        list.GetNext(pos);
        if (!f->IsRoot()) continue;
        for (int k = 0; k < 9; ++k) {
            for (int preset : ArmyFormationID::kPresets) {
                CArmyFormation* p = list.FindByID(preset);
                if (p && p->HasFlag(kPostureCycle[k])) {
                    f->m_linkedIDs[DWORD(k)] = DWORD(preset);
                    break;
                }
            }
        }
    }
}

const char* PictureName(int id) {
    switch (id) {
    case 3: return "Line Formation";
    case 10: return "Scale Formation";
    case 26: return "Square2 Formation";
    case 70: return "ArrowLine Formation";
    case 90: return "Circle Formation";
    case 92: return "HalfMoon Formation";
    case 93: return "Fish Formation";
    case 94: return "Wing Formation";
    case 95: return "York Formation";
    case 96: return "Wave Formation";
    case 97: return "Tiger Formation";
    case 98: return "Dragon Formation";
    case 99: return "Snake Formation";
    case 100: return "Spear Formation";
    case 101: return "Square1 Formation";
    case 102: return "Open Wing Formation";
    default: return "Default Castle Formation";
    }
}

// Two men's bodies at these centres meet (touching edges count, as on the
// battle grid), or stand closer than `gap`.
bool Crowded(Pt a, Pt b, int gap) {
    return std::abs(a.x - b.x) <= kFootWidth + gap && std::abs(a.y - b.y) <= kFootDepth + gap;
}

// The generator's check of the battalion and division shapes: at every
// facing no two men of a battalion stand on each other, and the men of two
// battalions of a division keep a little room between them. A shape that
// breaks either stops the kit.
void CheckSpacing() {
    constexpr int kBattalionGap = 8;
    for (const BattDesign& b : kBattalions)
        for (int facing = 0; facing < 8; ++facing)
            for (int i = 0; i < 10; ++i)
                for (int j = i + 1; j < 10; ++j)
                    if (Crowded(Spread(b.units[i], facing), Spread(b.units[j], facing), 0))
                        throw std::runtime_error(std::string("battalion formation ") + b.name + " crowds rows " +
                                                 std::to_string(i) + " and " + std::to_string(j) + " at facing " +
                                                 std::to_string(facing));
    for (const DivDesign& d : kDivisions) {
        const BattDesign* batt = BattByID(d.batt);
        for (int facing = 0; facing < 8; ++facing)
            for (int r = 0; r < 4; ++r)
                for (int q = r + 1; q < 4; ++q)
                    for (const Pt& u : batt->units)
                        for (const Pt& v : batt->units) {
                            const Pt a = Spread(d.rows[r], facing), b = Spread(d.rows[q], facing);
                            const Pt ua = Spread(u, facing), ub = Spread(v, facing);
                            if (Crowded({a.x + ua.x, a.y + ua.y}, {b.x + ub.x, b.y + ub.y}, kBattalionGap))
                                throw std::runtime_error(std::string("division formation ") + d.name +
                                                         " crowds rows " + std::to_string(r) + " and " +
                                                         std::to_string(q) + " at facing " + std::to_string(facing));
                        }
    }
}

void BuildLists(CFormationLists& lists) {
    CheckSpacing();
    for (const BattDesign& b : kBattalions) {
        CBattFormation* f = new CBattFormation(b.id);
        f->m_strName = b.name;
        for (int r = 0; r < 10; ++r)
            for (int facing = 0; facing < 8; ++facing) {
                Pt p = Spread(b.units[r], facing);
                f->m_points[r][facing] = CPoint(p.x, p.y);
                f->m_codes[r][facing] = facing;
            }
        f->ComputeExtents();
        lists.batt.AddTail(f);
    }
    for (const DivDesign& d : kDivisions) {
        CDivFormation* f = new CDivFormation(d.id);
        f->m_strName = d.name;
        f->m_dwFlags = d.flags;
        f->m_nParentID = d.link;
        for (int type = 0; type < 5; ++type) f->m_linkedIDs[DWORD(type)] = DWORD(kHoldByType[type]);
        for (int r = 0; r < 4; ++r) {
            for (int facing = 0; facing < 8; ++facing) {
                Pt p = Spread(d.rows[r], facing);
                f->m_points[r][facing] = CPoint(p.x, p.y);
                f->m_codes[r][facing] = facing;
            }
            f->m_battFormationIDs[r] = d.batt;
        }
        lists.div.AddTail(f);
    }
    for (const ArmyDesign& d : kPresetDesigns)
        AddFamily(lists.army, d.id, d.name, PictureName(d.id), d.flags, ShapeOf(d), d.slotOrder);
    for (const ScenarioDesign& sc : kScenarios) {
        const ArmyDesign* base = nullptr;
        for (const ArmyDesign& d : kPresetDesigns)
            if (d.id == sc.shape) base = &d;
        Shape sh = ShapeOf(*base);
        for (int s = 1; s < 12; ++s)
            if (sh.divFormation[s] == 40) sh.divFormation[s] = sc.divFormation;
        AddFamily(lists.army, sc.id, sc.name, PictureName(sc.id), base->flags, sh, sc.slotOrder);
    }
    LinkRoots(lists.army);
}

}  // namespace

std::vector<kit::FormationPlace> kit::PresetFormationPlaces(int id) {
    std::vector<FormationPlace> out;
    for (const ArmyDesign& d : kPresetDesigns) {
        if (d.id != id) continue;
        Shape sh = ShapeOf(d);
        DrawUpRear(sh);
        for (int s = 0; s < 12; ++s) out.push_back({s, sh.pts[s].x, sh.pts[s].y, sh.turns[s]});
    }
    return out;
}

KIT_GENERATOR(Formations) {
    CFormationLists lists;
    BuildLists(lists);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        lists.Serialize(ar);
        ar.Close();
    }
    kit.WriteBytes("Data\\Default Formation Lists A.fed", file.Data());
}
