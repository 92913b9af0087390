// Weather and daylight of a battle: fog from the month and hour, the light
// of the hour, and their slow change while the battle clock runs. Every draw
// that moves the simulation is counted, in the order written here; only the
// fog pictures, whose number is the player's own option, draw from this
// machine's uncounted stream.
#include <algorithm>
#include <cmath>

#include "Animate/BattlePictureNames.h"
#include "core/Random.h"
#include "shell/OrvaneView.h"

namespace {
struct MonthWeather {
    double fogChance, clearChance;
    int firstDaylight, lastDaylight;  // real hours of the day
};
constexpr MonthWeather kMonths[12] = {
    {0.1, 0.6, 7, 17},  {0.02, 0.5, 7, 17}, {0.15, 0.4, 6, 18}, {0.25, 0.5, 6, 18},
    {0.3, 0.6, 5, 19},  {0.15, 0.75, 5, 19}, {0.07, 0.9, 5, 20}, {0.05, 0.9, 5, 20},
    {0.1, 0.7, 5, 20},  {0.25, 0.4, 5, 20}, {0.1, 0.7, 5, 20},  {0.05, 0.65, 5, 20},
};
// By hour 0..23; the 25th entry is the next hour's factor at hour 23.
constexpr double kHourFog[25] = {0.25, 0.23, 0.22, 0.21, 0.2,    0.18,   0.15,  0.1,  0.05,
                                 0.03, 0.01, 0.005, 0.0001, 0.0001, 0.005, 0.01, 0.03, 0.05,
                                 0.1,  0.12, 0.14,  0.15,   0.16,   0.19,  0.2};

// The fields the tables read. A battle without a date is fought on a
// summer noon rather than read outside the tables.
struct Moment {
    int month, day, hour, minute;
};
Moment MomentOf(const CGameTime& t) {
    Moment m{t.GetMonth(), t.GetDay(), t.GetHour(), t.GetMinute()};
    if (m.month < 1 || m.month > 12 || m.hour < 0 || m.hour > 23) m = {6, 1, 12, 0};
    return m;
}

int Channel(COLORREF c, int i) { return int((c >> (8 * i)) & 0xFF); }

// A counted draw 0..n-1 for n >= 1.
int CountedBelow(int n) { return CountedRand() % std::max(n, 1); }
}  // namespace

COLORREF COrvaneView::RollWeatherChange(const CGameTime& time) {
    using namespace WeatherColour;
    Moment t = MomentOf(time);
    const MonthWeather& w = kMonths[t.month - 1];
    int A = w.firstDaylight, B = w.lastDaylight;
    int r = CountedBelow(101);
    double& tint = Weather.tintStrength;
    if (w.clearChance * 100 > r) {
        if ((t.hour == A || t.hour == B) && t.minute >= 30) {
            if (Weather.fogLevel < 0.3) {
                tint = 0.3;
                return t.hour == A ? Dawn : Dusk;
            }
            tint = 0;
            return Day;
        }
        if (t.hour >= A && t.hour <= B) {
            tint = 0;
            return Day;
        }
        if (t.day == 15) {
            tint = 0.65;
            return MoonlitNight;
        }
        tint = 0.68;
        return Night;
    }
    if (t.hour == A) return tint = 0.4, Overcast;
    if (t.hour == B) return tint = 0.5, Overcast;
    if (t.hour > A && t.hour < B) return tint = 0.2, Overcast;
    tint = 0.68;
    return Night;
}

// The scene starts again from the previous colour toward the target, in 180
// even steps.
static void AimColour(CWeatherState& w) {
    for (int i = 0; i < 3; ++i) {
        w.channelStep[i] = double(Channel(w.targetColour, i) - Channel(w.previousColour, i)) / 180;
        w.channelValue[i] = Channel(w.previousColour, i);
    }
}

void COrvaneView::InitWeather(const CGameTime& time) {
    using namespace WeatherColour;
    CWeatherState& w = Weather;
    Moment t = MomentOf(time);
    w.lightTarget = 0;
    double p = kMonths[t.month - 1].fogChance * (1 + kHourFog[t.hour]) * 100;
    int top = int(p) + 1;
    int r = CountedBelow(101);
    if (r < p) {
        int k = CountedBelow(top);
        w.fogLevel = std::min(k * 0.003 + 0.55, 0.85);
    } else {
        w.fogLevel = 0;
    }
    int k = CountedBelow(top);
    w.visibility = std::min((k * 0.01 + 1) * w.fogLevel, 1.0);
    w.cloudDx = CountedBelow(9) - 4;
    w.cloudDy = CountedBelow(9) - 4;
    COLORREF c = RollWeatherChange(time);
    if ((c == Dawn || c == Dusk) && w.fogLevel > 0) c = Day;
    w.targetColour = w.sceneColour = w.previousColour = c;
    AimColour(w);
    w.shownLevel = w.fogLevel > 0 ? w.fogLevel : w.tintStrength;

    static const int kWeatherIds[4] = {401, 402, 403, 421};
    const COrvaneDoc* doc = GetDocument();
    CString folder = doc ? doc->GetPicturesPath() : CString("Pictures\\");
    for (int i = 0; i < 4; ++i)
        if (!GetSprites().Find(kWeatherIds[i]))
            LoadSpriteSet(folder + kWeatherPictures[i] + ".giz", TRUE, kWeatherIds[i], 1, 1, -1);

    if (w.visibility > 0.3) {
        for (int i = 0; i < w.fogSpriteCount; ++i) {
            int roll = LocalRand() % 10 + 1;
            int id = roll >= 4 ? 401 : roll >= 2 ? 402 : 403;
            CIcon* icon = AddIcon(GetSprites().Find(id), 0, 0, 401, TRUE, 1, 0, 0, 0, 0, &GetIcons());
            FogIcons.Insert(icon);
            KeepInViewList(icon);
            icon->m_nPhaseColumn = icon->m_nPhaseRow = 0;
            icon->SetDepth(21000, FALSE);
            int y = LocalRand() % 2001;
            int x = LocalRand() % 3001;
            icon->SetPosition(x, y, FALSE);
            icon->m_dFactor = w.visibility;
            icon->m_bEnabled = w.fogToggle ? TRUE : FALSE;
        }
    }
    w.hourLevel = w.lightTarget = w.shownLevel;
    if (w.fogLevel > 0) UpdateLightLevel(time);
}

void COrvaneView::UpdateLightLevel(const CGameTime& time) {
    CWeatherState& w = Weather;
    Moment t = MomentOf(time);
    double d = kHourFog[t.hour];
    if (d != w.hourLevel) {
        w.hourLevel = d;
        d = kHourFog[t.hour + 1];
    }
    double base = w.shownLevel;
    double s = (d * 3 + 1) * 0.3;
    double target = base;
    bool rising = w.hourLevel < d, falling = d < w.hourLevel;
    if (rising) target = base + s;
    else if (falling) target = base - s;
    if (WeatherColour::IsNight(w.targetColour)) {
        if (rising) target = std::min(target, w.tintStrength);
        if (falling) target = std::max(target, w.tintStrength);
    } else {
        if (rising) target = std::min(target, 0.85);
        if (falling && target < 0.05) target = 0;
    }
    w.lightTarget = target;
    w.fogLevel = std::max(target, 0.0);
}

void COrvaneView::StepWeather(const CGameTime& time) {
    using namespace WeatherColour;
    CWeatherState& w = Weather;
    w.previousColour = w.targetColour;
    COLORREF c = RollWeatherChange(time);
    if ((IsNight(c) && w.fogLevel > 0) || w.fogLevel == 0) {
        w.lightTarget = w.tintStrength;
        w.targetColour = c;
    } else if (IsNight(w.previousColour)) {
        w.targetColour = Overcast;
        w.lightTarget = w.fogLevel * 0.75;
    } else {
        w.targetColour = Day;
        w.lightTarget = w.fogLevel;
    }
    // Every new target gets its steps, or the scene would never reach it.
    AimColour(w);
}

COLORREF COrvaneView::BlendWeatherTint() {
    CWeatherState& w = Weather;
    COLORREF out = 0;
    for (int i = 0; i < 3; ++i) {
        w.channelValue[i] += w.channelStep[i];
        int v = int(w.channelValue[i]);
        int target = Channel(w.targetColour, i);
        if (Channel(w.previousColour, i) < target) v = std::min(v, target);
        else v = std::max(v, target);
        out |= COLORREF(std::clamp(v, 0, 255)) << (8 * i);
    }
    return out;
}

void COrvaneView::UpdateWeather() {
    using namespace WeatherColour;
    CWeatherState& w = Weather;
    if (BattleTick % 60 == 0) {
        w.clock.AddSpan(0, 0, 10, 0);
        if (w.fogLevel > 0) UpdateLightLevel(w.clock);
        if (BattleTick % 180 == 0) StepWeather(w.clock);
        w.driftCoin = (CountedRand() % 2 == 0) ? 1 : 0;
        int k = CountedBelow(int(std::max(w.lightTarget, 0.0) * 100) + 1);
        w.visibility = std::min((k * 0.01 + 1) * w.lightTarget, 1.0);
    }
    int renew = CountedRand() % 11;
    if (renew > 2 && w.visibility > 0.3) AddFogSprite();
    MoveClouds();
    UpdateUnitEffects();
    FadeEffectSprites();

    double& level = w.shownLevel;
    double lo = w.lightTarget - 0.05, hi = w.lightTarget + 0.05;
    if (level < lo) {
        if (level <= 0) level = 0.01;
        level *= 1.009;
        bool anyBelow = false, anyAbove = false;
        for (int i = 0; i < 3; ++i) {
            anyBelow = anyBelow || Channel(w.sceneColour, i) < 115;
            anyAbove = anyAbove || Channel(w.sceneColour, i) > 115;
        }
        if (w.previousColour == Dusk && level > 0.45 && anyBelow) level = 0.45;
        if (w.previousColour == Dawn && level > 0.3 && anyAbove) level = 0.3;
    } else if (level > hi) {
        level *= 0.991;
    } else if (w.driftCoin) {
        level = std::min(level * 1.009, hi);
    } else {
        level = std::max(level * 0.991, lo);
    }
    if (level < 0.01) level = 0;
    else if (level > 0.68) level = level <= 0.75 ? 0.68 : level * 0.95;

    if (w.sceneColour != w.targetColour) w.sceneColour = BlendWeatherTint();

    double factor;
    if (w.fogLevel > 0) factor = 1 - w.fogLevel;
    else if (w.targetColour == RGB(249, 23, 39) || w.targetColour == RGB(255, 229, 121)) factor = 1.0;
    else factor = 1 - w.tintStrength;
    for (int side = 0; side < 2; ++side)
        if (BattleArmies[side]) BattleArmies[side]->SetVisibilityFactor(factor);
}
