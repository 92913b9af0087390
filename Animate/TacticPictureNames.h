// The pictures of the tactic screen, by name: one table for the screen that
// loads them and for the data kit that draws them. Names are below the
// Pictures folder and go without the ".giz" extension the loaders add;
// command buttons lie in its "Cmb\" folder as the pair " Up"/" Dn". The
// division symbols and strength flags are the battle's (BattlePictureNames.h).
#pragma once

#include <string>
#include <vector>

// The screen's background, "1024" before the name on narrow screens.
inline constexpr const char* kTacticBackground = "Bkgnd Tactic Mode";

// The picture of each army formation, by formation id; every other id
// shows the castle.
struct TacticFormationPicture {
    int id;
    const char* name;
};
inline constexpr TacticFormationPicture kTacticFormationPictures[] = {
    {3, "Line Formation"},       {10, "Scale Formation"},     {26, "Square2 Formation"},
    {70, "ArrowLine Formation"}, {90, "Circle Formation"},    {92, "HalfMoon Formation"},
    {93, "Fish Formation"},      {94, "Wing Formation"},      {95, "York Formation"},
    {96, "Wave Formation"},      {97, "Tiger Formation"},     {98, "Dragon Formation"},
    {99, "Snake Formation"},     {100, "Spear Formation"},    {101, "Square1 Formation"},
    {102, "Open Wing Formation"},
};
inline constexpr const char* kTacticDefaultFormation = "Default Castle Formation";

inline const char* TacticFormationPictureName(int formationId) {
    for (const TacticFormationPicture& f : kTacticFormationPictures)
        if (f.id == formationId) return f.name;
    return kTacticDefaultFormation;
}

// The formation picture's file: "1024" on narrow screens, then "Tactic ".
inline std::string TacticFormationFile(int screenWidth, const char* pictureName) {
    return std::string(screenWidth <= 1024 ? "1024" : "") + "Tactic " + pictureName;
}

// The two lines beside the rows of generals on narrow screens.
inline constexpr const char* kTacticLinePictures[] = {"Line Top", "Line Bottom"};

// The small soldiers of the deployment preview, by the picture set number
// the screen gives them: a placed division, the selected one, an empty
// place (nothing shows) and the enemy's. Cells of 24 x 40 pixels, one per
// facing across.
struct TacticPreviewSet {
    int set;
    const char* name;
};
inline constexpr TacticPreviewSet kTacticPreviewSets[] = {
    {9, "Tactic Unit"},
    {21, "Tactic Unit Selected"},
    {40, "Tactic Unit Empty"},
    {41, "Tactic Unit Enemy"},
};
inline constexpr int kTacticPreviewCellWidth = 24;
inline constexpr int kTacticPreviewCellHeight = 40;
inline constexpr int kTacticPreviewFacings = 8;

// The screen's command buttons; the page-turning button of the generals'
// list is "Cmb Tactic Flip " + the side's clan name.
inline constexpr const char* kTacticButtons[] = {"Cmb Strike", "Cmb Delay", "Cmb OK Med", "Cmb Cancel Med"};
inline constexpr const char* kTacticFlipPrefix = "Cmb Tactic Flip ";

// Every picture below the Pictures folder, without extension, that the
// tactic screen loads on a screen of that width for sides of these clans.
inline std::vector<std::string> TacticPictureNames(int screenWidth, const std::vector<std::string>& clans) {
    std::vector<std::string> names;
    names.push_back(std::string(screenWidth <= 1024 ? "1024" : "") + kTacticBackground);
    for (const TacticFormationPicture& f : kTacticFormationPictures)
        names.push_back(TacticFormationFile(screenWidth, f.name));
    names.push_back(TacticFormationFile(screenWidth, kTacticDefaultFormation));
    for (const char* n : kTacticLinePictures) names.push_back(n);
    for (const TacticPreviewSet& s : kTacticPreviewSets) names.push_back(s.name);
    std::vector<std::string> buttons(std::begin(kTacticButtons), std::end(kTacticButtons));
    for (const std::string& clan : clans) buttons.push_back(kTacticFlipPrefix + clan);
    for (const std::string& b : buttons) {
        names.push_back("Cmb\\" + b + " Up");
        names.push_back("Cmb\\" + b + " Dn");
    }
    return names;
}
