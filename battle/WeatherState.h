// The weather and light of a battle: the battle clock, the fog, the light
// the hour asks for and the level actually shown, the scene colour on its
// way to the target colour, and the clouds' drift. Owned by the main view
// for one battle; InitWeather sets it up, UpdateWeather moves it once per
// simulation step.
//
// Everything here but the fog sprites' positions is simulation state: both
// peers compute it from the same counted draws in the same order.
#pragma once

#include <cstdint>

#include "core/GameTime.h"
#include "platform/afx/AfxTypes.h"

struct CWeatherState {
    CGameTime clock;
    double fogLevel = 0.0;      // 0 (no fog) or 0.55..0.85
    double tintStrength = 0.0;  // the darkness the light of the hour asks for
    double lightTarget = 0.0;   // what the shown level drifts toward
    double shownLevel = 0.0;    // the darkness or fog drawn
    double visibility = 0.0;    // 0..1; fog sprites only above 0.3
    double hourLevel = 0.0;     // the hour fog factor last seen
    COLORREF sceneColour = 0xFFFFFF;
    COLORREF targetColour = 0xFFFFFF;
    COLORREF previousColour = 0xFFFFFF;
    double channelStep[3] = {0, 0, 0};   // red, green, blue
    double channelValue[3] = {0, 0, 0};
    BYTE driftCoin = 0;
    int32_t cloudDx = 0, cloudDy = 0;  // -4..4 each, per step
    BYTE fogToggle = 1;                // the fog pictures are shown
    int32_t fogSpriteCount = 30;       // the player's option: how many fog pictures
};

// The light colours (red in the low byte).
namespace WeatherColour {
constexpr COLORREF Day = 0xFFFFFF;
constexpr COLORREF Dawn = 253u | (198u << 8) | (137u << 16);
constexpr COLORREF Dusk = 237u | (108u << 8) | (28u << 16);
constexpr COLORREF Overcast = 193u | (193u << 8) | (193u << 16);
constexpr COLORREF Night = 4u | (0u << 8) | (20u << 16);
constexpr COLORREF MoonlitNight = 11u | (0u << 8) | (65u << 16);
inline bool IsNight(COLORREF c) { return c == Night || c == MoonlitNight; }
}  // namespace WeatherColour
