// The files of the single-battle menu and the results screen, shared by the
// screens that load them and the data kit that makes them: the battles'
// scenario files, the map's spots, the pictures and the buttons.
#pragma once

namespace MenuPictures {

// The scenario files of the historical battles, in the data folder.
inline constexpr const char* kScenarioFiles[18] = {
    "Sezawa.vmd",       "Uehara.vmd",      "Shiojinitouge.vmd", "Hayashi.vmd",    "Temmokuzan.vmd",
    "Iwadono.vmd",      "Uedahara.vmd",    "Kawanakajima.vmd",  "Katsurao.vmd",   "Kasugayamajo.vmd",
    "Brenmoor.vmd",     "Mimasetoge.vmd",  "Sunpu.vmd",         "Mikata ga Hara.vmd", "Nagashino.vmd",
    "Gifu.vmd",         "Sekigahara.vmd",  "Anegawa.vmd",
};

// The sixteen battle spots of the map: left, top, right, bottom.
struct SpotRect {
    int left, top, right, bottom;
};
inline constexpr int kSpotCount = 16;
inline constexpr SpotRect kSpotsLarge[kSpotCount] = {
    {861, 444, 891, 474},  {783, 520, 813, 550}, {897, 355, 927, 385},   {874, 319, 904, 349},
    {936, 191, 966, 221},  {904, 388, 934, 418}, {1104, 687, 1134, 717}, {883, 785, 913, 815},
    {668, 833, 698, 863},  {628, 805, 658, 835}, {393, 619, 423, 649},   {410, 295, 440, 325},
    {269, 548, 299, 578},  {940, 543, 970, 573}, {1019, 516, 1049, 546}, {1091, 565, 1121, 595},
};
inline constexpr SpotRect kSpots1024[kSpotCount] = {
    {687, 333, 711, 357}, {627, 389, 651, 413}, {720, 263, 744, 287}, {698, 237, 722, 261},
    {748, 142, 772, 166}, {723, 290, 757, 314}, {884, 514, 908, 538}, {706, 588, 730, 612},
    {534, 624, 558, 648}, {502, 603, 526, 627}, {313, 462, 337, 486}, {326, 220, 350, 244},
    {214, 410, 248, 434}, {751, 405, 775, 429}, {814, 386, 838, 410}, {873, 422, 897, 448},
};
// Spot -> battle number.
inline constexpr int kSpotBattles[kSpotCount] = {9, 12, 19, 18, 23, 15, 25, 29, 41, 43, 50, 55, 51, 13, 14, 26};

// The menu's background (with "1024" in front in the small layout) and the
// fire marker: 25 frames in one row, each a square of kFireCell pixels.
inline constexpr const char* kMenuBackground = "Bkgnd Arrow";
inline constexpr const char* kFireSet = "Fire Set";
inline constexpr int kFireFrames = 25;
inline constexpr int kFireCell[2] = {32, 40};  // 1024, large

// The results screen.
inline constexpr const char* kResultsBackground = "Bkgnd After Battle";
inline constexpr const char* kResultsPanel = "Battle Results ";  // + clan name
inline constexpr const char* kResultsHeading = "Battle Results Div Heading";
inline constexpr const char* kLostCross = "AFBT Big Red X";

// Command buttons of the two screens (" Up" / " Dn" in the button folder).
struct ButtonPicture {
    const char* name;
    const char* caption;
};
inline constexpr ButtonPicture kButtons[] = {
    {"Cmb Random", "Random"},
    {"Cmb Campaign Med", "Campaign"},
    {"Cmb Velmor Strength", "Strength"},
};

}  // namespace MenuPictures
