// The unit sets: for every clan that fights battles, one animated picture
// per kind of soldier, eight rows for the eight facings and a column for
// every animation frame, plus the small " Dot" that stands for a unit seen
// from afar. Each kind is one small 3-D model (SoldierModel.h) posed frame by
// frame and turned to each facing: swordsmen in lacquered hats, spearmen with
// long spears, archers with bows, riflemen with matchlocks and their smoke,
// riders on horses, and officers with helmets, banners and horses of their
// own. The clan shows in the armour, the back banner and its crest.
//
// The columns follow the frame ranges the units animate through: for foot
// soldiers walking, running, striking, parrying and taking a blow, advancing
// on guard, dying (the last frame is the fallen man) and, for swordsmen,
// fleeing; for riders walking, galloping, striking, rearing and dying; for
// archers and riflemen walking, shooting (the rifle's flash and smoke on the
// third and fourth frame of its firing range), fighting close and dying.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "Units/UnitSets.h"
#include "core/WorldNames.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/SoldierModel.h"
#include "tools/mkdata/Style.h"

namespace kit {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Materials of the soldiers.
const Rgb kSkin{0.86, 0.66, 0.50};
const Rgb kCloth{0.20, 0.20, 0.24};   // hakama and sleeves
const Rgb kLacquer{0.10, 0.09, 0.09};  // hats, helmets, matchlocks
const Rgb kSteel{0.86, 0.88, 0.90};
const Rgb kWood{0.40, 0.26, 0.14};
const Rgb kBowWood{0.80, 0.64, 0.36};
const Rgb kString{0.92, 0.90, 0.82};
const Rgb kBarrel{0.30, 0.30, 0.33};
const Rgb kSmoke{0.90, 0.89, 0.86};
const Rgb kFlash{1.00, 0.72, 0.20};
// The ground the sprites' soft edges are resolved against, and the shadow.
const Rgb kGrass{0.36, 0.40, 0.24};
const Rgb kShadow{0.19, 0.21, 0.12};

enum class Arm { Sword, Spear, Bow, Gun, Fan };
enum class Hat { Jingasa, Headband, Kabuto, Crested, Grand };
enum class Banner { Small, Tall, Horo, Standard };

struct Gear {
    Arm arm;
    Hat hat;
    Banner banner;
    bool mounted;
    Rgb horse{};
    Rgb mane{};
    bool caparison = false;
};

// What each animation of a set shows.
enum class Act { Walk, Run, Ready, Attack, Hit, Flee, Shoot, Die };
struct Segment {
    Act act;
    int frames;
};

struct KindArt {
    const char* suffix;  // the set it draws
    Gear gear;
    std::vector<Segment> columns;
    double scale;    // pixels per figure unit
    double groundY;  // the ground point's row, from the cell's bottom
};

const std::vector<KindArt>& Kinds() {
    static const std::vector<KindArt> kinds = {
        {" Infantry",
         {Arm::Sword, Hat::Jingasa, Banner::Small, false},
         {{Act::Walk, 8}, {Act::Run, 8}, {Act::Attack, 8}, {Act::Hit, 8}, {Act::Ready, 8}, {Act::Die, 8}, {Act::Flee, 8}},
         22, 4},
        {" Captain",
         {Arm::Sword, Hat::Crested, Banner::Tall, false},
         {{Act::Walk, 8}, {Act::Run, 8}, {Act::Attack, 8}, {Act::Hit, 8}, {Act::Ready, 8}, {Act::Die, 8}},
         22, 4},
        {" CavalryCaptain",
         {Arm::Sword, Hat::Crested, Banner::Tall, true, {0.30, 0.17, 0.09}, {0.08, 0.06, 0.05}},
         {{Act::Walk, 8}, {Act::Run, 8}, {Act::Attack, 8}, {Act::Hit, 8}, {Act::Die, 8}},
         20, 6},
        {" General",
         {Arm::Sword, Hat::Crested, Banner::Horo, true, {0.84, 0.82, 0.78}, {0.55, 0.53, 0.50}},
         {{Act::Walk, 8}, {Act::Run, 8}, {Act::Attack, 8}, {Act::Hit, 8}, {Act::Die, 8}},
         20, 6},
        {" Marshall",
         {Arm::Fan, Hat::Grand, Banner::Standard, true, {0.13, 0.11, 0.11}, {0.05, 0.04, 0.04}, true},
         {{Act::Walk, 8}, {Act::Run, 8}, {Act::Attack, 8}, {Act::Hit, 8}, {Act::Die, 8}},
         19, 6},
        {" Cavalry",
         {Arm::Spear, Hat::Kabuto, Banner::Small, true, {0.50, 0.31, 0.16}, {0.12, 0.08, 0.05}},
         {{Act::Walk, 8}, {Act::Run, 8}, {Act::Attack, 8}, {Act::Hit, 8}, {Act::Die, 8}},
         20, 6},
        {" Rifleman",
         {Arm::Gun, Hat::Jingasa, Banner::Small, false},
         {{Act::Walk, 8}, {Act::Shoot, 10}, {Act::Attack, 6}, {Act::Die, 8}},
         22, 4},
        {" Spearman",
         {Arm::Spear, Hat::Jingasa, Banner::Small, false},
         {{Act::Walk, 8}, {Act::Run, 8}, {Act::Attack, 8}, {Act::Hit, 8}, {Act::Ready, 8}, {Act::Die, 8}},
         20, 4},
        {" Archer",
         {Arm::Bow, Hat::Headband, Banner::Small, false},
         {{Act::Walk, 8}, {Act::Shoot, 8}, {Act::Attack, 8}, {Act::Hit, 8}, {Act::Die, 8}},
         22, 4},
    };
    return kinds;
}

V3 Norm(V3 v) {
    double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return l > 1e-9 ? v * (1 / l) : V3{0, 0, 1};
}
// A direction in the figure's upright plane: `deg` up from straight ahead.
V3 Ahead(double deg, double side = 0) {
    const double a = deg * kPi / 180;
    return Norm({side, std::cos(a), std::sin(a)});
}
V3 Mix(V3 a, V3 b, double t) { return a + (b - a) * t; }

// A man's pose in his own space (feet on the ground at the origin).
struct Pose {
    double lean = 0;                   // upper body forward (radians)
    double lift = 0;                   // off the ground (running)
    double thigh[2] = {0, 0};          // left, right: forward swing
    double knee[2] = {0.1, 0.1};       // bend
    V3 hand[2] = {{-0.14, 0.04, 0.5}, {0.14, 0.04, 0.5}};
    V3 weapon{0, 0, 1};                // direction of the weapon from the right hand
    double reach = 0;                  // the weapon slid along itself (a thrust)
    double bowDraw = -1;               // archers: -1 arrow not nocked, 0..1 drawn
    int smoke = 0;                     // riflemen: 1 flash, 2 smoke, 3 smoke drifting
    bool ramrod = false;
    bool unarmed = false;
    double fall = 0;                   // dying: fallen backwards (radians)
};

// How far a blow has thrown him at frame i of n: struck at once, slow to
// recover.
double Recoil(int i, int n) {
    static const double k[8] = {0.15, 0.5, 0.85, 1.0, 0.9, 0.7, 0.45, 0.2};
    return k[std::min(7, i * 8 / n)];
}

// Walking legs at phase t (0..1) with swing `amp`.
void Stride(Pose& p, double t, double amp) {
    const double s = std::sin(2 * kPi * t);
    p.thigh[0] = amp * s;
    p.thigh[1] = -amp * s;
    p.knee[0] = 0.15 + amp * 0.9 * std::max(0.0, std::cos(2 * kPi * t));
    p.knee[1] = 0.15 + amp * 0.9 * std::max(0.0, -std::cos(2 * kPi * t));
}

// The free hand swinging against the legs.
V3 SwingHand(int side, double t, double amp) {
    const double s = std::sin(2 * kPi * t) * (side == 0 ? -1 : 1);
    return {side == 0 ? -0.14 : 0.14, 0.04 - amp * 0.25 * s, 0.5 + amp * 0.05 * std::abs(s)};
}

// The weapon held ready in each arm's guard.
void Guard(Pose& p, Arm arm) {
    switch (arm) {
    case Arm::Sword:
        p.hand[1] = {0.05, 0.17, 0.58};
        p.hand[0] = {-0.01, 0.15, 0.55};
        p.weapon = Ahead(50);
        break;
    case Arm::Spear:
        p.hand[1] = {0.11, 0.0, 0.58};
        p.hand[0] = {0.02, 0.2, 0.6};
        p.weapon = Ahead(8);
        p.reach = 0.25;
        break;
    case Arm::Bow:
        p.hand[0] = {-0.13, 0.12, 0.56};
        break;
    case Arm::Gun:
        p.hand[1] = {0.1, 0.06, 0.5};
        p.hand[0] = {-0.02, 0.14, 0.7};
        p.weapon = Norm(p.hand[0] - p.hand[1]);
        break;
    case Arm::Fan:
        p.hand[1] = {0.14, 0.12, 0.7};
        p.weapon = Ahead(70);
        break;
    }
}

// The weapon carried on the march.
void Carry(Pose& p, Arm arm, double t, double amp) {
    p.hand[0] = SwingHand(0, t, amp);
    p.hand[1] = SwingHand(1, t, amp);
    switch (arm) {
    case Arm::Sword:  // drawn and held up before him
        p.hand[1] = {0.1, 0.12, 0.56};
        p.weapon = Ahead(72);
        break;
    case Arm::Spear:  // upright, a little forward
        p.hand[1] = {0.13, 0.08, 0.58};
        p.weapon = Ahead(84);
        p.reach = 0.05;
        break;
    case Arm::Bow:
        p.hand[0] = {-0.14, 0.1, 0.55};
        break;
    case Arm::Gun:  // carried high at the right side, muzzle up
        p.hand[1] = {0.15, 0.1, 0.55};
        p.hand[0] = {0.06, 0.2, 0.78};
        p.weapon = Ahead(66, 0.1);
        p.reach = 0.05;
        break;
    case Arm::Fan:
        Guard(p, arm);
        break;
    }
}

Pose FootPose(Act act, int i, int n, Arm arm) {
    Pose p;
    const double t = double(i) / n;
    switch (act) {
    case Act::Walk:
        Stride(p, t, 0.42);
        Carry(p, arm, t, 0.42);
        break;
    case Act::Ready:
        Stride(p, t, 0.3);
        p.lean = 0.1;
        Guard(p, arm);
        break;
    case Act::Run:
        Stride(p, t, 0.75);
        p.lean = 0.3;
        p.lift = 0.03 * std::abs(std::sin(2 * kPi * t));
        Guard(p, arm);
        if (arm == Arm::Sword) {
            p.hand[1] = {0.06, 0.2, 0.72};
            p.hand[0] = {0.0, 0.18, 0.7};
            p.weapon = Ahead(40);
        } else if (arm == Arm::Bow) {
            p.hand[0] = SwingHand(0, t, 0.7);
            p.hand[1] = SwingHand(1, t, 0.7);
        }
        break;
    case Act::Flee:
        Stride(p, t, 0.8);
        p.lean = 0.35;
        p.lift = 0.03 * std::abs(std::sin(2 * kPi * t));
        p.unarmed = true;
        p.hand[0] = {-0.17, 0.06 + 0.12 * std::sin(2 * kPi * t), 0.62};
        p.hand[1] = {0.17, 0.06 - 0.12 * std::sin(2 * kPi * t), 0.62};
        break;
    case Act::Attack: {
        // Wind up, strike, follow through, recover.
        static const double cut[8] = {75, 110, 140, 150, 40, -25, 5, 45};
        static const double thrust[8] = {0.2, 0.05, -0.1, -0.12, 0.35, 0.5, 0.35, 0.25};
        static const double step[8] = {0, 0, -0.1, -0.15, 0.3, 0.35, 0.2, 0.05};
        const int k = n == 8 ? i : std::min(7, i * 8 / n + (i >= n / 2 ? 1 : 0));
        p.thigh[0] = step[k];
        p.thigh[1] = -step[k] * 0.8;
        p.knee[0] = p.knee[1] = 0.25;
        p.lean = step[k] * 0.6;
        if (arm == Arm::Spear) {
            Guard(p, arm);
            p.reach = thrust[k];
            p.hand[1].y += thrust[k] * 0.4;
            p.hand[0].y += thrust[k] * 0.4;
        } else {
            const double a = cut[k];
            const V3 d = Ahead(a);
            p.hand[1] = V3{0.05, 0.1, 0.66} + V3{0, d.y * 0.16, d.z * 0.14};
            p.hand[0] = arm == Arm::Bow ? V3{-0.15, 0.05, 0.52} : p.hand[1] + V3{-0.05, -0.01, -0.03};
            p.weapon = d;
        }
        break;
    }
    case Act::Hit: {
        // Parry high and stagger back from the blow.
        const double e = Recoil(i, n);
        p.lean = -0.28 * e;
        p.thigh[0] = -0.2 * e;
        p.thigh[1] = 0.15 * e;
        p.knee[0] = p.knee[1] = 0.2 + 0.2 * e;
        Guard(p, arm);
        if (arm == Arm::Sword || arm == Arm::Spear || arm == Arm::Gun) {
            p.hand[1] = Mix(p.hand[1], {0.12, 0.12, 0.86}, e);
            p.hand[0] = Mix(p.hand[0], {-0.12, 0.12, 0.84}, e);
            p.weapon = Norm(Mix(p.weapon, {-1, 0.15, 0.2}, e));
            p.reach = arm == Arm::Spear ? 0.6 * e + p.reach * (1 - e) : arm == Arm::Gun ? 0.2 * e : 0;
        }
        break;
    }
    case Act::Shoot:
        if (arm == Arm::Bow) {
            static const double draw[8] = {0, 0.15, 0.6, 1.0, -1, -1, -1, -1};
            static const V3 bowHand[8] = {{-0.06, 0.2, 0.6},   {-0.03, 0.3, 0.72}, {-0.02, 0.35, 0.76},
                                          {-0.02, 0.37, 0.77}, {-0.02, 0.37, 0.77}, {-0.03, 0.33, 0.74},
                                          {-0.09, 0.22, 0.62}, {-0.13, 0.12, 0.56}};
            static const V3 pull[8] = {{0.0, 0.18, 0.6},   {0.03, 0.2, 0.72},  {0.06, 0.06, 0.76}, {0.08, -0.03, 0.78},
                                       {0.13, -0.08, 0.8}, {0.14, -0.04, 0.7}, {0.14, 0.0, 0.56}, {0.14, 0.03, 0.5}};
            p.bowDraw = draw[i];
            p.hand[0] = bowHand[i];
            p.hand[1] = pull[i];
            p.knee[0] = p.knee[1] = 0.15;
            p.thigh[0] = 0.12;
            p.thigh[1] = -0.12;
        } else {
            // Shoulder, aim, fire, smoke, lower and ram the next charge home.
            p.thigh[0] = 0.15;
            p.thigh[1] = -0.15;
            if (i <= 4) {
                p.hand[1] = {0.07, 0.04, 0.74};
                p.hand[0] = {0.0, 0.3, 0.74};
                p.weapon = Ahead(i == 2 ? 9 : i == 0 ? 14 : 4);
                p.lean = i == 2 ? -0.08 : i == 0 ? 0.0 : 0.06;
                p.reach = i == 2 ? -0.04 : 0;
                p.smoke = i >= 2 ? i - 1 : 0;
            } else if (i <= 8) {
                p.hand[0] = {-0.03, 0.16, 0.62};
                p.hand[1] = i == 5 ? V3{0.06, 0.14, 0.56} : V3{0.02, 0.17, (i % 2) ? 1.0 : 0.86};
                p.weapon = Ahead(82);
                p.reach = -0.3;
                p.ramrod = i > 5;
                p.smoke = i == 5 ? 3 : 0;
            } else {
                Guard(p, arm);
            }
        }
        break;
    case Act::Die: {
        static const double fall[8] = {0.0, 0.08, 0.22, 0.45, 0.8, 1.15, 1.38, 1.47};
        const double f = fall[std::min(i, 7)];
        p.fall = f;
        p.lean = i < 3 ? -0.15 * i : -0.3;
        p.knee[0] = p.knee[1] = 0.15 + 0.35 * std::sin(kPi * std::min(1.0, i / 5.0));
        p.thigh[0] = 0.25 * std::sin(kPi * std::min(1.0, i / 5.0));
        Guard(p, arm);
        p.hand[0] = Mix(p.hand[0], {-0.28, 0.02, 0.7}, std::min(1.0, i / 4.0));
        p.hand[1] = Mix(p.hand[1], {0.28, 0.05, 0.72}, std::min(1.0, i / 4.0));
        p.weapon = Norm(Mix(p.weapon, {0.6, 0.3, -0.2}, std::min(1.0, i / 5.0)));
        p.bowDraw = -1;
        break;
    }
    }
    return p;
}

// ------------------------------------------------------------- the figure

struct Dress {
    int clan;
    Rgb armour, accent, skirt;
    Rgb trim;  // shoulder guards: the livery's second colour
};

void Headgear(Figure& f, const Gear& g, V3 head) {
    switch (g.hat) {
    case Hat::Jingasa:
        f.Cone(head + V3{0, 0, 0.04}, 0.2, 0.1, kLacquer);
        break;
    case Hat::Headband:  // bare-headed, hair tied under a white band
        f.Sphere(head + V3{0, -0.02, 0.04}, 0.07, kLacquer);
        f.Capsule(head + V3{-0.07, 0.0, 0.03}, head + V3{0.07, 0.0, 0.03}, 0.035, kString);
        break;
    case Hat::Kabuto:
    case Hat::Crested:
    case Hat::Grand: {
        f.Sphere(head + V3{0, -0.005, 0.025}, 0.078, kLacquer);
        f.Cone(head + V3{0, -0.01, -0.005}, 0.115, 0.05, kLacquer);
        if (g.hat == Hat::Kabuto) break;
        // The gold crest rising from the brow.
        const double h = g.hat == Hat::Grand ? 0.2 : 0.13, w = g.hat == Hat::Grand ? 0.12 : 0.08;
        const V3 brow = head + V3{0, 0.07, 0.05};
        f.Curve(brow, brow + V3{-w * 0.7, 0.03, h * 0.5}, brow + V3{-w, 0.02, h}, 1.5, ink::GoldLight);
        f.Curve(brow, brow + V3{w * 0.7, 0.03, h * 0.5}, brow + V3{w, 0.02, h}, 1.5, ink::GoldLight);
        break;
    }
    }
}

// Banners stand a little askew on the back, so that no facing sees their
// cloth edge-on.
V3 Cloth(double width, double sway) {
    constexpr double c = 0.924, s = 0.383;  // a turn of an eighth of a half circle
    return {width * c, -width * s - sway, 0};
}

void BackBanner(Figure& f, const Gear& g, const Dress& d, V3 neck, double sway) {
    const V3 back = neck + V3{0, -0.075, -0.04};
    switch (g.banner) {
    case Banner::Small:
    case Banner::Tall: {
        const bool tall = g.banner == Banner::Tall;
        const double top = tall ? 0.6 : 0.38, drop = tall ? 0.36 : 0.22, w = tall ? 0.15 : 0.17;
        const V3 poleTop = back + V3{0, -0.01, top};
        f.Line(back, poleTop + V3{0, 0, 0.02}, 1.0, kLacquer);
        const V3 a = poleTop, b = poleTop + Cloth(w, sway), c = b + V3{0, 0, -drop},
                 e = poleTop + V3{0, 0, -drop};
        f.Quad(a, b, c, e, d.armour, d.clan, d.accent, 0.5, tall ? 0.3 : 0.5, tall ? 0.38 : 0.36);
        break;
    }
    case Banner::Horo:
        f.Sphere(back + V3{0, -0.1, 0.1}, 0.15, d.armour);
        f.Sphere(back + V3{0, -0.2, 0.12}, 0.05, d.accent, false);
        break;
    case Banner::Standard: {
        const V3 poleTop = back + V3{0, -0.02, 0.68};
        f.Line(back, poleTop + V3{0, 0, 0.03}, 1.2, kLacquer);
        const double w = 0.18, drop = 0.5;
        const V3 a = poleTop, b = poleTop + Cloth(w, sway), c = b + V3{0, 0.02, -drop},
                 e = poleTop + V3{0, 0, -drop};
        f.Quad(a, b, c, e, d.armour, d.clan, d.accent, 0.5, 0.22, 0.4);
        f.Line(a, b, 1.0, ink::GoldLight);
        f.Sphere(poleTop + V3{0, 0, 0.04}, 0.025, ink::Gold, false);
        break;
    }
    }
}

void Weapon(Figure& f, const Gear& g, const Pose& p, V3 grip, double reachScale) {
    if (p.unarmed) return;
    const V3 w = p.weapon;
    switch (g.arm) {
    case Arm::Sword: {
        f.Line(grip - w * 0.07, grip + w * 0.02, 1.6, kLacquer);
        f.Line(grip + w * 0.02, grip + w * 0.4, 1.3, kSteel);
        break;
    }
    case Arm::Spear: {
        const V3 base = grip + w * (p.reach * reachScale - 0.45);
        const V3 tip = grip + w * (p.reach * reachScale + 0.95);
        f.Line(base, tip - w * 0.1, 1.4, kWood);
        f.Line(tip - w * 0.14, tip, 2.2, kSteel);
        break;
    }
    case Arm::Gun: {
        const V3 butt = grip + w * (p.reach - 0.14), muzzle = grip + w * (p.reach + 0.52);
        f.Capsule(butt, grip + w * (p.reach + 0.12), 0.075, kWood);
        f.Line(grip + w * (p.reach + 0.1), muzzle, 1.8, kBarrel);
        if (p.ramrod) f.Line(muzzle - w * 0.15, p.hand[1] + V3{0, 0, 0.05}, 1.0, kWood);
        // The shot: a flash, then a cloud that drifts up and away.
        if (p.smoke == 1) {
            f.Sphere(muzzle + w * 0.06, 0.08, kFlash, false);
            f.Sphere(muzzle + w * 0.16 + V3{0, 0, 0.03}, 0.09, kSmoke);
        } else if (p.smoke == 2) {
            f.Sphere(muzzle + w * 0.08, 0.11, kSmoke);
            f.Sphere(muzzle + w * 0.22 + V3{0.03, 0, 0.07}, 0.14, kSmoke);
            f.Sphere(muzzle + w * 0.1 + V3{-0.05, 0, 0.16}, 0.1, kSmoke);
        } else if (p.smoke == 3) {
            f.Sphere(muzzle + w * 0.2 + V3{0, 0, 0.2}, 0.12, kSmoke.Scaled(0.93));
            f.Sphere(muzzle + w * 0.3 + V3{0.05, 0, 0.34}, 0.09, kSmoke.Scaled(0.93));
        }
        break;
    }
    case Arm::Fan:  // the commander's gilded war fan
        f.Line(grip, grip + w * 0.1, 1.2, kLacquer);
        f.Sphere(grip + w * 0.16, 0.065, ink::Gold);
        break;
    case Arm::Bow: {
        const V3 h = p.hand[0];
        const V3 top = h + V3{0, -0.03, 0.58}, bottom = h + V3{0, -0.03, -0.38};
        f.Curve(top, h + V3{0, 0.08, 0.02}, bottom, 1.8, kBowWood);
        const V3 nock = p.bowDraw > 0 ? p.hand[1] : Mix(top, bottom, 0.38) + V3{0, -0.02, 0};
        f.Line(top, nock, 0.7, kString);
        f.Line(nock, bottom, 0.7, kString);
        if (p.bowDraw >= 0) f.Line(p.hand[1], h + V3{0, 0.1, 0}, 0.9, kString.Mix(kWood, 0.3));
        break;
    }
    }
}

// A man with his gear, standing or seated at `seat` (mounted).
void Man(Figure& f, const Gear& g, const Dress& d, const Pose& p, bool seated, V3 seat) {
    V3 pelvis;
    if (seated) {
        pelvis = seat;
        for (int s = 0; s < 2; ++s) {
            const double x = s == 0 ? -1 : 1;
            const V3 hip = pelvis + V3{x * 0.06, 0, 0}, knee = pelvis + V3{x * 0.17, 0.12, -0.1},
                     foot = pelvis + V3{x * 0.15, 0.04, -0.3};
            f.Capsule(hip, knee, 0.08, kCloth);
            f.Capsule(knee, foot, 0.065, kCloth);
        }
    } else {
        // Legs first: their lowest foot decides how high he stands.
        V3 knee[2], foot[2];
        double low = 1;
        const V3 hip0{0, 0, 0.47};
        for (int s = 0; s < 2; ++s) {
            const double a = p.thigh[s], k = p.knee[s];
            const V3 hip = hip0 + V3{s == 0 ? -0.065 : 0.065, 0, 0};
            knee[s] = hip + V3{0, std::sin(a) * 0.24, -std::cos(a) * 0.24};
            foot[s] = knee[s] + V3{0, std::sin(a - k) * 0.23, -std::cos(a - k) * 0.23};
            low = std::min(low, foot[s].z);
        }
        const V3 up{0, 0, p.lift - low};
        pelvis = hip0 + up;
        for (int s = 0; s < 2; ++s) {
            const V3 hip = pelvis + V3{s == 0 ? -0.065 : 0.065, 0, 0};
            f.Capsule(hip, knee[s] + up, 0.1, kCloth);
            f.Capsule(knee[s] + up, foot[s] + up, 0.085, kCloth);
            f.Capsule(foot[s] + up, foot[s] + up + V3{0, 0.05, 0}, 0.05, kLacquer);
        }
    }
    // The upper body leans about the hips.
    f.PushTurn(pelvis, 'x', -p.lean);
    const V3 hipOffset = pelvis - V3{0, 0, 0.47};
    const V3 neck = pelvis + V3{0, 0, 0.32};
    f.Cone(pelvis + V3{0, 0, -0.1}, seated ? 0.13 : 0.12, 0.16, d.skirt);
    f.Capsule(pelvis + V3{0, 0, 0.05}, neck + V3{0, 0, -0.05}, 0.24, d.armour);
    const V3 head = neck + V3{0, 0.01, 0.1};
    f.Sphere(head, 0.08, kSkin);
    Headgear(f, g, head);
    for (int s = 0; s < 2; ++s) {
        const double x = s == 0 ? -1 : 1;
        const V3 shoulder = neck + V3{x * 0.11, 0, -0.04};
        const V3 hand = p.hand[s] + hipOffset;
        V3 elbow = Mix(shoulder, hand, 0.5) + V3{x * 0.05, -0.02, -0.04};
        f.Capsule(shoulder, elbow, 0.075, d.armour.Scaled(0.8));
        f.Capsule(elbow, hand, 0.065, kCloth);
        f.Sphere(hand, 0.03, kSkin, false);
        f.Capsule(shoulder + V3{0, 0, 0.01}, shoulder + V3{x * 0.03, 0, -0.08}, 0.08, d.trim);  // sode
    }
    if (g.arm == Arm::Bow) {  // the quiver on the right hip, fletchings up
        const V3 q0 = pelvis + V3{0.1, -0.1, 0.0}, q1 = pelvis + V3{0.13, -0.14, 0.3};
        f.Capsule(q0, q1, 0.06, kLacquer);
        f.Line(q1, q1 + V3{0.01, -0.01, 0.07}, 1.6, kString);
    }
    Pose held = p;
    held.hand[0] = p.hand[0] + hipOffset;
    held.hand[1] = p.hand[1] + hipOffset;
    Weapon(f, g, held, held.hand[1], 1.0);
    BackBanner(f, g, d, neck, 0.02 * std::sin(p.thigh[0] * 4));
    f.PopTurn();
}

// ------------------------------------------------------------- the horse

struct Gait {
    double t = 0;        // phase 0..1
    double stride = 0;   // leg swing
    bool gallop = false;
    double rear = 0;     // front raised (radians)
    double roll = 0;     // fallen on its side (radians)
};

// Draws the horse and returns the saddle point for its rider.
V3 Horse(Figure& f, const Gear& g, const Dress& d, const Gait& gait) {
    const double phase = 2 * kPi * gait.t;
    const double bob = gait.gallop ? 0.04 * std::sin(2 * phase) : 0.012 * std::sin(2 * phase);
    const double pitch = gait.gallop ? 0.06 * std::sin(phase) : 0;
    const V3 centre{0, 0, 0.6 + bob};
    f.PushTurn({0, -0.28, 0}, 'x', gait.rear);
    f.PushTurn(centre, 'x', pitch);
    const V3 chest = centre + V3{0, 0.27, 0.02}, rump = centre + V3{0, -0.28, 0.02};
    f.Capsule(chest, rump, 0.34, g.horse);
    const V3 poll = chest + V3{0, 0.2, 0.32 + (gait.gallop ? -0.06 : 0)};
    f.Capsule(chest + V3{0, 0.02, 0.06}, poll, 0.15, g.horse);
    f.Capsule(poll, poll + V3{0, 0.17, -0.15}, 0.11, g.horse);
    f.Line(chest + V3{0, -0.02, 0.16}, poll + V3{0, -0.03, 0.04}, 1.6, g.mane);
    f.Line(poll, poll + V3{0, -0.02, 0.06}, 1.2, g.horse.Scaled(0.7));
    const double tailLift = gait.gallop ? 0.12 : 0.0;
    f.Capsule(rump + V3{0, -0.12, 0.06}, rump + V3{0, -0.26, -0.22 + tailLift}, 0.06, g.mane);
    // Legs: four phases of a walk, or the paired beat of a gallop.
    const double offs[4] = {gait.gallop ? 0.55 : 0.25, gait.gallop ? 0.65 : 0.75, 0.0, gait.gallop ? 0.1 : 0.5};
    for (int leg = 0; leg < 4; ++leg) {
        const bool front = leg < 2;
        const double x = (leg % 2 == 0) ? -0.085 : 0.085;
        const V3 top = (front ? chest + V3{0, 0.02, -0.08} : rump + V3{0, 0.02, -0.08}) + V3{x, 0, 0};
        double a = gait.stride * std::sin(phase + 2 * kPi * offs[leg]);
        double bend = gait.stride > 0 ? std::max(0.0, std::cos(phase + 2 * kPi * offs[leg])) * 1.1 : 0.05;
        if (front && gait.rear > 0.1) a = 0.9, bend = 1.6;
        const V3 knee = top + V3{0, std::sin(a) * 0.26, -std::cos(a) * 0.26};
        const double b = front ? a - bend : a + bend * 0.4;
        const V3 hoof = knee + V3{0, std::sin(b) * 0.27, -std::cos(b) * 0.27};
        f.Capsule(top, knee, 0.085, g.horse);
        f.Capsule(knee, hoof, 0.05, g.horse.Scaled(0.85));
        f.Capsule(hoof, hoof + V3{0, 0.02, 0}, 0.055, ink::Sumi);
    }
    // Saddle cloth in the clan's colour; the commander's horse is caparisoned.
    const double drop = g.caparison ? 0.3 : 0.16, len = g.caparison ? 0.26 : 0.14;
    for (double x : {-0.155, 0.155}) {
        const V3 a = centre + V3{x, len, 0.12}, b = centre + V3{x, -len, 0.12};
        f.Quad(a, b, b + V3{0, 0, -drop}, a + V3{0, 0, -drop}, d.armour.Scaled(0.85), g.caparison ? d.clan : 0,
               d.accent, 0.5, 0.45, 0.35);
    }
    const V3 seat = centre + V3{0, -0.02, 0.2};
    f.PopTurn();
    f.PopTurn();
    return seat;
}

Pose RiderPose(Act act, int i, int n, Arm arm, Gait& gait) {
    Pose p;
    const double t = double(i) / n;
    gait.t = t;
    switch (act) {
    case Act::Walk:
        gait.stride = 0.35;
        Carry(p, arm, t, 0.05);
        if (arm == Arm::Sword) p.weapon = Ahead(80);
        if (arm == Arm::Spear) p.hand[1] = {0.14, 0.06, 0.6}, p.weapon = Ahead(86);
        break;
    case Act::Run:
        gait.stride = 0.6;
        gait.gallop = true;
        p.lean = 0.25;
        Guard(p, arm);
        if (arm == Arm::Sword) p.hand[1] = {0.14, 0.2, 0.8}, p.weapon = Ahead(55);
        if (arm == Arm::Spear) p.hand[1] = {0.15, 0.0, 0.55}, p.hand[0] = {0.05, 0.18, 0.57}, p.weapon = Ahead(-8);
        if (arm == Arm::Fan) p.hand[1] = {0.16, 0.2, 0.85};
        break;
    case Act::Attack: {
        static const double cut[8] = {80, 115, 145, 150, 30, -35, -10, 40};
        static const double thrust[8] = {0.2, 0.0, -0.15, -0.2, 0.35, 0.55, 0.4, 0.25};
        gait.stride = 0.12;
        const double a = cut[i % 8];
        if (arm == Arm::Spear) {
            p.hand[1] = {0.15, 0.0 + thrust[i % 8] * 0.4, 0.55};
            p.hand[0] = {0.05, 0.18 + thrust[i % 8] * 0.4, 0.55};
            p.weapon = Ahead(-20, 0.25);
            p.reach = thrust[i % 8];
            p.lean = thrust[i % 8] * 0.4;
        } else {
            const V3 d = Ahead(a, 0.3);
            p.hand[1] = V3{0.16, 0.08, 0.7} + V3{0, d.y * 0.16, d.z * 0.14};
            p.hand[0] = {-0.14, 0.12, 0.5};
            p.weapon = d;
            p.lean = a < 60 ? 0.2 : -0.05;
        }
        break;
    }
    case Act::Hit: {
        const double e = Recoil(i, n);
        gait.rear = 0.55 * e;
        p.lean = 0.45 * e;
        Carry(p, arm, 0, 0);
        p.hand[0] = {-0.08, 0.18, 0.52};
        break;
    }
    case Act::Die: {
        static const double roll[8] = {0, 0.06, 0.16, 0.35, 0.7, 1.05, 1.3, 1.42};
        gait.roll = roll[i % 8];
        p.lean = -0.1 * i;
        Guard(p, arm);
        p.hand[1] = Mix(p.hand[1], {0.3, 0.05, 0.75}, std::min(1.0, i / 4.0));
        p.hand[0] = Mix(p.hand[0], {-0.3, 0.05, 0.75}, std::min(1.0, i / 4.0));
        break;
    }
    default:
        break;
    }
    return p;
}

// One frame of a kind as a figure.
Figure Frame(const KindArt& k, const Dress& d, Act act, int i, int n) {
    Figure f;
    if (k.gear.mounted) {
        Gait gait;
        Pose p = RiderPose(act, i, n, k.gear.arm, gait);
        f.PushTurn({0, 0, 0}, 'y', gait.roll);
        const V3 seat = Horse(f, k.gear, d, gait);
        // The rider sits the horse's every turn: lean him with the saddle.
        Pose rider = p;
        const double pitchUp = gait.rear;
        f.PushTurn({0, -0.28, 0}, 'x', pitchUp);
        Man(f, k.gear, d, rider, true, seat);
        f.PopTurn();
        f.PopTurn();
    } else {
        Pose p = FootPose(act, i, n, k.gear.arm);
        f.PushTurn({0, -0.06, 0}, 'x', p.fall);
        Man(f, k.gear, d, p, false, {});
        f.PopTurn();
    }
    return f;
}

void DrawUnitSet(Picture& sheet, const UnitSets::Spec& spec, int clan) {
    const KindArt* art = nullptr;
    for (const KindArt& k : Kinds())
        if (std::string(k.suffix) == spec.suffix) art = &k;
    if (!art) throw std::runtime_error(std::string("no drawing for the unit set") + spec.suffix);
    int columns = 0;
    for (const Segment& s : art->columns) columns += s.frames;
    if (columns != spec.columns || spec.rows != 8 || sheet.Width() != spec.columns * spec.cellWidth ||
        sheet.Height() != spec.rows * spec.cellHeight)
        throw std::runtime_error(std::string("unit set of the wrong grid:") + spec.suffix);
    const Rgb colour = ClanColour(clan);
    const Dress dress{clan, colour, ClanAccent(clan), colour.Scaled(0.72).Mix(kCloth, 0.25),
                      ClanAccent(clan).Mix(colour, 0.3)};
    const int w = spec.cellWidth, h = spec.cellHeight;
    cairo_surface_t* shadow = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    int column = 0;
    for (const Segment& seg : art->columns) {
        for (int i = 0; i < seg.frames; ++i, ++column) {
            const Figure fig = Frame(*art, dress, seg.act, i, seg.frames);
            for (int facing = 0; facing < 8; ++facing) {
                Picture cell(w, h, true);
                const double gx = w / 2.0, gy = h - art->groundY;
                fig.Paint(cell.cr(), gx, gy, art->scale, facing);
                FlattenOnto(cell, kGrass, 0.5);
                cairo_t* m = cairo_create(shadow);
                cairo_set_operator(m, CAIRO_OPERATOR_CLEAR);
                cairo_paint(m);
                cairo_set_operator(m, CAIRO_OPERATOR_OVER);
                fig.ShadowFootprint(m, gx, gy, art->scale, facing);
                cairo_destroy(m);
                DitherShadow(cell, shadow, kShadow);
                cairo_set_source_surface(sheet.cr(), cell.Surface(), column * w, facing * h);
                cairo_paint(sheet.cr());
            }
        }
    }
    cairo_surface_destroy(shadow);
}

void DrawUnitDot(Picture& dot, int clan) {
    cairo_t* cr = dot.cr();
    const double w = dot.Width(), h = dot.Height();
    cairo_arc(cr, w / 2, h / 2, w / 2, 0, 2 * kPi);
    SetColour(cr, ClanColour(clan).Scaled(0.45));
    cairo_fill(cr);
    cairo_arc(cr, w / 2, h / 2, w / 2 - 0.9, 0, 2 * kPi);
    SetColour(cr, ClanColour(clan));
    cairo_fill(cr);
    FlattenOnto(dot, kGrass, 0.5);
}

}  // namespace
}  // namespace kit

namespace {

// One generator per clan, so the clans draw side by side.
void WriteClanSets(KitContext& kit, int clan) {
    const std::string folder = std::string("Pictures\\Unit Sets\\") + kClanNames[clan];
    for (const UnitSets::Spec& spec : UnitSets::kSets) {
        kit::Picture sheet(spec.columns * spec.cellWidth, spec.rows * spec.cellHeight, true);
        kit::DrawUnitSet(sheet, spec, clan);
        kit::SavePicture(kit, folder + spec.suffix + ".giz", sheet, kit::PictureFormat::Giz8);
    }
    kit::Picture dot(UnitSets::kDot.cellWidth, UnitSets::kDot.cellHeight, true);
    kit::DrawUnitDot(dot, clan);
    kit::SavePicture(kit, folder + UnitSets::kDot.suffix + ".giz", dot, kit::PictureFormat::Giz8);
}

template <int Clan>
void ClanSets(KitContext& kit) {
    WriteClanSets(kit, Clan);
}

static_assert(UnitSets::kFirstBattleClan == 1 && UnitSets::kLastBattleClan == 8,
              "one generator per clan that fights battles");
KitRegistrar kUnitSetGenerators[] = {
    {"UnitSetsVelmor", ClanSets<1>}, {"UnitSetsKarsin", ClanSets<2>},   {"UnitSetsDorneth", ClanSets<3>},
    {"UnitSetsLask", ClanSets<4>},   {"UnitSetsZem", ClanSets<5>},      {"UnitSetsWenmarch", ClanSets<6>},
    {"UnitSetsSabe", ClanSets<7>},   {"UnitSetsQuarnith", ClanSets<8>},
};

}  // namespace
