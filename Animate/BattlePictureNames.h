// The pictures of the battle screen, by name: one table for the battle
// screens that load them and for the data kit that draws them. Names are
// below the Pictures folder and go without the ".giz" extension the loaders
// add; command buttons lie in its "Cmb\" folder as the pair " Up"/" Dn".
// The unit sets are listed in Units/UnitSets.h, the portraits by the general
// records that name them.
#pragma once

#include <string>
#include <vector>

// A picture cut into equal phases: `rows` down and `columns` across.
struct BattlePictureName {
    const char* name;
    int rows;
    int columns;
};

// Run-length sprites of the division markers and the popup's cross.
inline constexpr BattlePictureName kBattleMarkerPictures[] = {
    {"AFBT Big Red X", 1, 1},
    {"BTTL_div_center", 1, 1},
    {"BTTL_div_obj", 1, 1},
};

// The shared sprites. The pointer turns with the eight facings across; the
// arrow's rows are the eight headings of its flight; the highlight's and
// the colour bar's rows are their states.
inline constexpr BattlePictureName kBattleSpritePictures[] = {
    {"Orientation Pointer", 1, 8},
    {"Highlight", 3, 1},
    {"24Green Dot", 1, 1},
    {"ColorBar", 6, 1},
    {"Bullet", 1, 1},
    {"Arrow", 8, 1},
    {"Army Orders RightClick Backdrop", 1, 1},
    {"army orders cmb backdrop", 1, 1},
    {"Portrait\\Portrait Bottom", 1, 1},
};

// Dust and splash puffs, each with its alpha mask "<name> Alpha" beside it
// (8 bits, the index being the opacity).
inline constexpr const char* kBattleEffectPictures[] = {
    "Dust 1",   "Dust 2",   "Dust 3",   "Dust 4",   "Splash 1", "Splash 2",
    "Splash 3", "Splash 4", "Splash 5", "Splash 6", "Splash 7", "Splash 8",
};
inline constexpr const char* kAlphaSuffix = " Alpha";

// Fog banks and the snow.
inline constexpr const char* kWeatherPictures[] = {"Fog 1", "Fog 2", "Fog 3", "Snow"};

// Shown while a battle loads; "1024" before the name on narrow screens.
inline constexpr const char* kLoadingScreenPicture = "Loading Screen";

// The battlefield flags of a clan: "Terrain\Flag" + clan name + variant 1
// to 4, each one row of waving frames.
inline constexpr const char* kFlagPicturePrefix = "Terrain\\Flag";
inline constexpr int kFlagVariants = 4;
inline constexpr int kFlagFrames = 18;

// The eight order markers of every division's panel column, in the order of
// the order kinds (move, formations, all-out attack, attack, defence, stand
// ground, regroup, retreat).
inline constexpr const char* kDivisionOrderMarkers[8] = {
    "ST battle cmb move",    "ST battle cmb formations", "ST battle cmb A-O-Atk", "ST battle cmb attk",
    "ST battle cmb defence", "ST battle cmb st ground",  "ST battle cmb regroup", "ST battle cmb retreat",
};
// The division panel's order buttons, in the same order.
inline constexpr const char* kDivisionOrderButtons[8] = {
    "Battle Cmb Move",    "Battle Cmb Formations", "Battle Cmb All out Attack", "Battle Cmb Attk",
    "Battle Cmb Defence", "Battle Cmb St Ground",  "Battle Cmb Regroup",        "Battle Cmb Retreat",
};
// The army's commands on wide screens; side 1 swaps forward and backward
// through the pictures with a "2".
inline constexpr const char* kArmyCommandButtons[] = {
    "Cmb Army Backward Command",  "Cmb Army Forward Command", "Cmb Army Halt Command",
    "Cmb Army Formation COmmand", "Cmb Army Retreat Command", "Cmb Army Morale Command",
    "Cmb Army Forward Command2",  "Cmb Army Backward Command2",
};
// The army's commands on narrow screens, one column.
inline constexpr const char* kNarrowArmyCommandButtons[] = {
    "1024Cmb Army Forward Command",   "1024Cmb Army Halt Command",    "1024Cmb Army Backward Command",
    "1024Cmb Army Formation COmmand", "1024Cmb Army Retreat Command", "1024Cmb Army Morale Command",
};
// Directions of the all-out attack.
inline constexpr const char* kAllOutAttackButtons[] = {
    "Cmb AO MDL", "Cmb AO MDC", "Cmb AO MDR", "Cmb AO AD", "Cmb AO FL",
    "Cmb AO LO",  "Cmb AO CP",  "Cmb AO RO",  "Cmb AO FR",
};
// The army formations.
inline constexpr const char* kFormationButtons[] = {
    "Cmb Formation ArrowLine", "Cmb Formation Wing",  "Cmb Formation Circle", "Cmb Formation Dragon",
    "Cmb Formation Fish",      "Cmb Formation Line",  "Cmb Formation Scale",  "Cmb Formation Snake",
    "Cmb Formation Spear",     "Cmb Formation Tiger", "Cmb Formation Square1", "Cmb Formation York",
    "Cmb Formation Wave",      "Cmb Formation HalfMoon",
};
// The target panel's formation commands, in the "Formation Cmb" folder
// beside "Cmb".
inline constexpr const char* kFormationCommandFolder = "../Formation Cmb/";
inline constexpr const char* kFormationCommandButtons[] = {
    "Battle Cmb Spear1", "Battle Cmb Half Moon", "Battle Cmb Inner Moon", "Battle Cmb Line",
    "Battle Cmb Square", "Battle Cmb Spear2",    "Battle Cmb Cross2",     "Battle Cmb Cross",
    "Battle Cmb Column", "Battle Cmb HQ Standby", "Battle Cmb HQ Arc",     "Battle Cmb Box",
};

// The division symbols of the deployment map: "Tactic Symbol " + grade +
// " " + arm, and the strength flags beside them.
inline constexpr const char* kTacticSymbolPrefix = "Tactic Symbol ";
inline constexpr const char* kTacticSymbolGrades[4] = {"Gold", "Silver", "Metal", "Wooden"};
inline constexpr const char* kTacticSymbolArms[5] = {"Infantry", "Cavalry", "Archers", "Riflemen", "Spearmen"};
inline constexpr const char* kTacticStrengthFlags = "Tactic div strength flag";

// Every command button's base name (below "Pictures\Cmb\") the battle screen
// loads on a screen of that width.
inline std::vector<std::string> BattleButtonNames(int screenWidth) {
    std::vector<std::string> names;
    for (const char* n : kDivisionOrderMarkers) names.push_back(n);
    for (const char* n : kDivisionOrderButtons) names.push_back(n);
    if (screenWidth <= 1024)
        for (const char* n : kNarrowArmyCommandButtons) names.push_back(n);
    else
        for (const char* n : kArmyCommandButtons) names.push_back(n);
    for (const char* n : kAllOutAttackButtons) names.push_back(n);
    for (const char* n : kFormationButtons) names.push_back(n);
    for (const char* n : kFormationCommandButtons) names.push_back(std::string(kFormationCommandFolder) + n);
    return names;
}

// Every picture below the Pictures folder, without extension, that the
// battle screen loads on a screen of that width for armies of these clans
// (unit sets and portraits aside): markers, sprites, effects with their
// masks, weather, the loading screen, the clans' flags, the buttons (as
// "Cmb\" + name + " Up" and " Dn") and the division symbols.
inline std::vector<std::string> BattlePictureNames(int screenWidth, const std::vector<std::string>& clans) {
    std::vector<std::string> names;
    for (const BattlePictureName& p : kBattleMarkerPictures) names.push_back(p.name);
    for (const BattlePictureName& p : kBattleSpritePictures) names.push_back(p.name);
    for (const char* n : kBattleEffectPictures) {
        names.push_back(n);
        names.push_back(std::string(n) + kAlphaSuffix);
    }
    for (const char* n : kWeatherPictures) names.push_back(n);
    names.push_back(std::string(screenWidth <= 1024 ? "1024" : "") + kLoadingScreenPicture);
    for (const std::string& clan : clans)
        for (int v = 1; v <= kFlagVariants; ++v) names.push_back(kFlagPicturePrefix + clan + std::to_string(v));
    for (const std::string& b : BattleButtonNames(screenWidth)) {
        names.push_back("Cmb\\" + b + " Up");
        names.push_back("Cmb\\" + b + " Dn");
    }
    for (const char* g : kTacticSymbolGrades)
        for (const char* a : kTacticSymbolArms) names.push_back(std::string(kTacticSymbolPrefix) + g + " " + a);
    names.push_back(kTacticStrengthFlags);
    return names;
}
