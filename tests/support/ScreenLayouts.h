// The game's two screen layouts, for tests that run a screen in both: the
// desktop the headless display offers and the screen the game then uses.
#pragma once

#include <ostream>

#include "platform/win/Display.h"

struct CScreenLayout {
    DisplayMode desktop;
    int width, height;
};
inline void PrintTo(const CScreenLayout& l, std::ostream* os) { *os << l.width << "x" << l.height; }

inline constexpr CScreenLayout kScreenLayouts[] = {{{1024, 768, 32}, 1024, 768}, {{1280, 1024, 32}, 1280, 1024}};
