// Weather and daylight over a battle's clock, and what of it both peers
// must compute alike.
#include <gtest/gtest.h>

#include <set>

#include "tests/battle/BattleFixture.h"

using namespace WeatherColour;

namespace {
constexpr int kYear = 1560 + 428;

// The first seed whose first raw draw, taken modulo `mod`, satisfies `want`.
template <typename Want>
uint32_t SeedWhereFirstDraw(int mod, Want want) {
    for (uint32_t seed = 1;; ++seed) {
        GameSrand(seed);
        if (want(GameRand() % mod)) return seed;
    }
}
uint32_t ClearSkySeed(double clearChance) {
    return SeedWhereFirstDraw(101, [&](int r) { return clearChance * 100 > r; });
}
uint32_t OvercastSeed(double clearChance) {
    return SeedWhereFirstDraw(101, [&](int r) { return !(clearChance * 100 > r); });
}
}  // namespace

TEST(Weather, LightOfTheMomentBySkyHourAndFog) {
    // July: clear-sky chance 0.9, daylight 5..20. March: 0.4, daylight 6..18.
    struct Case {
        int month, day, hour, minute;
        bool clear;
        double fog;
        COLORREF colour;
        double tint;
    } cases[] = {
        {7, 3, 5, 30, true, 0.0, Dawn, 0.3},
        {7, 3, 5, 30, true, 0.3, Day, 0.0},  // fog hides the dawn
        {7, 3, 5, 29, true, 0.0, Day, 0.0},
        {7, 3, 20, 45, true, 0.0, Dusk, 0.3},
        {7, 3, 12, 0, true, 0.0, Day, 0.0},
        {7, 3, 22, 0, true, 0.0, Night, 0.68},
        {7, 15, 22, 0, true, 0.0, MoonlitNight, 0.65},
        {3, 15, 22, 0, false, 0.0, Night, 0.68},  // the moon shows only under a clear sky
        {3, 3, 6, 0, false, 0.0, Overcast, 0.4},
        {3, 3, 18, 0, false, 0.0, Overcast, 0.5},
        {3, 3, 12, 0, false, 0.0, Overcast, 0.2},
        {3, 3, 4, 0, false, 0.0, Night, 0.68},
    };
    for (const Case& c : cases) {
        COrvaneView view;
        view.Weather.fogLevel = c.fog;
        double chance = c.month == 7 ? 0.9 : 0.4;
        GameSrand(c.clear ? ClearSkySeed(chance) : OvercastSeed(chance));
        int before = RandCallCount;
        COLORREF got = view.RollWeatherChange(CGameTime(kYear, c.month, c.day, c.hour, c.minute));
        EXPECT_EQ(got, c.colour) << c.month << "/" << c.day << " " << c.hour << ":" << c.minute;
        EXPECT_EQ(view.Weather.tintStrength, c.tint) << c.hour;
        EXPECT_EQ(RandCallCount - before, 1);
    }
}

TEST(Weather, JulyNoonWithTheFirstDrawZeroHasThinFog) {
    COrvaneView view;
    AddEffectPictures(view);
    GameSrand(SeedWhereFirstDraw(101, [](int r) { return r == 0; }));
    view.InitWeather(CGameTime(kYear, 7, 3, 12, 0));
    EXPECT_GE(view.Weather.fogLevel, 0.55);
    EXPECT_LE(view.Weather.fogLevel, 0.571 + 1e-9);
    EXPECT_GE(view.Weather.cloudDx, -4);
    EXPECT_LE(view.Weather.cloudDx, 4);
    EXPECT_EQ(view.Weather.targetColour, Day);
}

// Fog banks are only pictures, and how many there are is the player's own
// option: two machines with different options still draw alike.
TEST(Weather, TheFogPictureOptionNeverChangesTheCountedDraws) {
    struct Run {
        int32_t count;
        std::vector<int32_t> calls;
        double level = 0, visibility = 0;
        COLORREF colour = 0;
        int fogIcons = 0;
    };
    auto run = [](int fogCount) {
        BattleViewFixture f;
        AddEffectPictures(f.view);
        f.view.Weather.fogSpriteCount = fogCount;
        GameSrand(SeedWhereFirstDraw(101, [](int r) { return r == 0; }));
        RandCallCount = 0;
        f.view.Weather.clock = CGameTime(kYear, 5, 3, 5, 0);
        f.view.InitWeather(f.view.Weather.clock);
        Run r{fogCount, {}};
        for (f.view.BattleTick = 0; f.view.BattleTick < 2000; ++f.view.BattleTick) {
            f.view.UpdateWeather();
            r.calls.push_back(RandCallCount);
            const CWeatherState& w = f.view.Weather;
            if (w.fogLevel > 0) { EXPECT_EQ(f.Army(0).visibility, 1 - w.fogLevel); }
        }
        r.level = f.view.Weather.shownLevel;
        r.visibility = f.view.Weather.visibility;
        r.colour = f.view.Weather.sceneColour;
        r.fogIcons = f.view.FogIcons.GetCount();
        return r;
    };
    Run many = run(30), none = run(0);
    EXPECT_GT(many.fogIcons, none.fogIcons) << "the option does change the pictures";
    EXPECT_EQ(many.calls, none.calls);
    EXPECT_EQ(many.level, none.level);
    EXPECT_EQ(many.visibility, none.visibility);
    EXPECT_EQ(many.colour, none.colour);
}

TEST(Weather, ABattlesClockChangesTheLightAndTheArmiesSight) {
    BattleViewFixture f;
    AddEffectPictures(f.view);
    GameSrand(ClearSkySeed(0.9));
    // A clear August evening: day turns to dusk and then to night.
    f.view.Weather.clock = CGameTime(kYear, 8, 3, 19, 0);
    f.view.InitWeather(f.view.Weather.clock);
    ASSERT_EQ(f.view.Weather.fogLevel, 0.0) << "pick a seed without fog";
    std::set<COLORREF> targets;
    double lowestSight = 1.0;
    for (f.view.BattleTick = 0; f.view.BattleTick < 180 * 16; ++f.view.BattleTick) {
        f.view.UpdateWeather();
        const CWeatherState& w = f.view.Weather;
        targets.insert(w.targetColour);
        double level = w.shownLevel;
        EXPECT_TRUE(level == 0 || level >= 0.01) << "tick " << f.view.BattleTick << " level " << level;
        EXPECT_FALSE(level > 0.68 && level <= 0.75) << "tick " << f.view.BattleTick;
        EXPECT_EQ(f.Army(0).visibility, 1 - w.tintStrength);
        EXPECT_EQ(f.Army(1).visibility, f.Army(0).visibility);
        lowestSight = std::min(lowestSight, f.Army(0).visibility);
    }
    // 16 x 180 ticks: 48 ten-minute steps, eight hours on the clock.
    EXPECT_EQ(f.view.Weather.clock.GetHour(), 3);
    EXPECT_TRUE(targets.count(Night) || targets.count(MoonlitNight));
    EXPECT_LE(lowestSight, 1 - 0.65);
    // The scene colour is on its way to the night's.
    EXPECT_LT(f.view.Weather.sceneColour & 0xFF, 255u);
}

TEST(Weather, TintBlendsChannelByChannelAndStopsAtTheTarget) {
    COrvaneView view;
    CWeatherState& w = view.Weather;
    w.previousColour = Day;
    w.targetColour = Night;
    for (int i = 0; i < 3; ++i) {
        int from = int((Day >> (8 * i)) & 0xFF), to = int((Night >> (8 * i)) & 0xFF);
        w.channelStep[i] = double(to - from) / 180;
        w.channelValue[i] = from;
    }
    COLORREF c = 0;
    for (int n = 0; n < 200; ++n) c = view.BlendWeatherTint();
    EXPECT_EQ(c, Night);
}
