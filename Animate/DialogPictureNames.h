// The pictures of the battle's dialogs and popups, by name: one table for
// the dialogs that load them and for the data kit that draws them. Names are
// below the Pictures folder and go without the ".giz" extension the loaders
// add; command buttons lie in its "Cmb\" folder as the pair " Up"/" Dn".
// The dialogs are the same size on every screen, so both layouts load the
// same files.
#pragma once

#include <string>
#include <vector>

// ------------------------------------------------------------ the popups

// The battle popup's four backgrounds, by the kind of message: 1 battle
// status, 2 detachments, 3 system notices, 4 unit information.
inline constexpr const char* kPopupBackgrounds[5] = {
    "",
    "popup dialog battle status bkgnd",
    "popup dialog detachment arrival bkgnd",
    "popup dialog system message bkgnd",
    "popup dialog unit info bkgnd",
};
inline constexpr int kPopupMessageCount = 56;
// The message pictures, by message id, each under "msg/msg ".
inline constexpr const char* kPopupMessagePrefix = "msg/msg ";
inline constexpr const char* kPopupMessages[kPopupMessageCount] = {
    "bttl friendly detachment approaching", "bttl friendly detachment delayed",
    "bttl friendly detachment stopped",     "bttl enemy detachment approaching",
    "bttl enemy detachment delayed",        "bttl enemy detachment stopped",
    "bttl enemy detachment not stopped",    "bttl enemy detachment not found",
    "bttl friendly detachment too tired",   "tctc select general",
    "tctc max divisions",                   "tctc no detachment allowed",
    "divdlg not enough horses",             "paused",
    "army friendly hq killed",              "army enemy hq killed",
    "army friendly hq in danger",           "army enemy hq in danger",
    "army morale up significantly",         "army morale up",
    "army morale up slightly",              "army morale no effect",
    "army morale run out",                  "army morale drum broken",
    "div broke down gate",                  "div self regroup",
    "div self retreat",                     "div rear guard",
    "div no retreat",                       "general dead",
    "div enemy general good1",              "div enemy general normal1",
    "div enemy general weak1",              "div enemy general good2",
    "div enemy general normal2",            "div enemy general weak2",
    "div enemy general retreating",         "div casualty high",
    "div general injured",                  "div troop ready",
    "div fog too heavy",                    "div too dark",
    "div order all out attack",             "div order attack",
    "div order defense",                    "div order stand ground",
    "div order regroup",                    "div order retreat",
    "div order move",                       "div order all out attack2",
    "div order attack2",                    "div order defense2",
    "div order stand ground2",              "div morale high",
    "div morale med",                       "div morale low",
};
// The kind of a message id, 0 (nothing shown) outside the table.
inline int PopupKind(int id) {
    if (id < 0 || id >= kPopupMessageCount) return 0;
    return id <= 8 ? 2 : id <= 13 ? 3 : id <= 28 ? 1 : 4;
}

// The generic speaker: "Portrait\" + this + the clan name.
inline constexpr const char* kGenericSoldierPortrait = "Per Generic Soldier ";

// Unit icons: "Icon " + clan prefix + name, the prefix being the clan name
// and a blank, none for the player's own house.
inline constexpr const char* kUnitIconPrefix = "Icon ";
inline constexpr const char* kUnitIconNames[] = {"Swordman", "Captain",  "General",  "Marshall",        "Cavalry",
                                                 "Archer",   "Spearman", "Rifleman", "Captain On Horse"};
inline constexpr const char* kHomeClan = "Velmor";
inline std::string UnitIconName(const std::string& clan, const char* unit) {
    return std::string(kUnitIconPrefix) + (clan.empty() || clan == kHomeClan ? "" : clan + " ") + unit;
}

// Notices shown whole as a picture, and the small choice dialogs.
inline constexpr const char* kArmyRetreatQuestion = "popup dialog army retreat";
inline constexpr const char* kNoticePictures[] = {
    "popup Must Pick Army",        "popup Too Many Divisions", "popup Must Recruite Div",
    "popup dialog SBTTL delete",   kArmyRetreatQuestion,        "dialog confirm delete",
    "dialog demo select",
};
// The answers of a question asked as a picture.
inline constexpr const char* kYesNoButtons[] = {"cmb yes", "cmb no"};

// ----------------------------------------------------- division dialog

inline constexpr const char* kDivInfoBackground = "Bkgnd DivInfo";
// Sheets cut into phases: arm symbols (5 arms across, 4 grades down), and
// the commander's seven data symbols and their hints (one column).
struct DialogSheet {
    const char* name;
    int columns;
    int rows;
};
inline constexpr DialogSheet kDivInfoSheets[] = {
    {"Tactic Div Type Symbols", 5, 4},
    {"Person Data Symbols", 1, 7},
    {"Person Data Hints", 1, 7},
};
inline constexpr const char* kDivInfoButtons[] = {"Cmb OK Med", "Cmb Cancel Med", "Cmb Cav",
                                                  "Cmb Inf",    "Cmb Spear",      "Cmb Rifle"};

// ------------------------------------------------------ options dialog

inline constexpr const char* kOptionBackgrounds[] = {"Bkgnd Option Main", "Bkgnd Option Graphic", "Bkgnd Option Sound",
                                                     "Bkgnd Option Help", "Bkgnd Option Save"};
inline constexpr const char* kOptionButtons[] = {"Cmb Option Graphic", "Cmb Option Sound", "Cmb Option Help",
                                                 "Cmb Option Save",    "Cmb Option Exit",  "Cmb OK Med",
                                                 "Cmb Cancel Med",     "Cmb Tick"};
inline constexpr const char* kSaveSlotButton = "Cmb file scroll ";  // + 0..5
inline constexpr int kSaveSlots = 6;
// The level bar of the options dialog (ten levels, 20 pixels each).
inline constexpr const char* kOptionSlider = "Cmb Volume Slider";
// The help pages: buttons under "Cmb\help mode\", topic pictures under
// "help mode\".
inline constexpr const char* kHelpFolder = "help mode\\";
inline constexpr const char* kHelpButtons[] = {
    "btn_back",
    "btn_helpcontents",
    "contents_btn_about",
    "contents_btn_ready",
    "contents_btn_control",
    "contents_btn_tactics",
    "ready_btn_placing",
    "ready_btn_divtypes",
    "ready_btn_armyform",
    "ready_btn_detach",
    "control_btn_unittypes",
    "control_btn_morale",
    "control_btn_orders",
    "control_btn_select",
    "control_btn_dest",
    "control_btn_divorders",
    "control_btn_armyorders",
    "control_btn_feedback",
    "tactics_btn_formations",
    "tactics_btn_penetrating",
    "tactics_btn_detachments",
    "tactics_btn_general",
    "tactics_btn_retreat",
    "tactics_btn_attackcastle",
    "tactics_btn_defendcastle",
    "tactics_btn_score",
};
inline constexpr const char* kHelpTopics[25] = {
    "contents_txt_main",         "about_txt_main",          "ready_txt_main",         "ready_txt_placing",
    "ready_txt_divtypes",        "ready_txt_armyform",      "ready_txt_detach",       "control_txt_main",
    "control_txt_unittypes",     "control_txt_morale",      "control_txt_orders",     "control_txt_select",
    "control_txt_dest",          "control_txt_divorders",   "control_txt_armyorders", "control_txt_feedback",
    "tactics_txt_main",          "tactics_txt_formations",  "tactics_txt_penetrating", "tactics_txt_detachments",
    "tactics_txt_general",       "tactics_txt_retreat",     "tactics_txt_attackcastle", "tactics_txt_defendcastle",
    "tactics_txt_score",
};

// ------------------------------------------------------- volume screen

inline constexpr const char* kVolumePictures[] = {"Music", "Effects"};
// The volume screen's slider: 0..100, four pixels a step.
inline constexpr const char* kVolumeSlider = "volume Slider";
inline constexpr const char* kVolumeOkButton = "Cmb OK med";

// Every picture below the Pictures folder, without extension, that the
// battle's dialogs and popups load for armies of these clans.
inline std::vector<std::string> DialogPictureNames(const std::vector<std::string>& clans) {
    std::vector<std::string> names;
    for (int k = 1; k <= 4; ++k) names.push_back(kPopupBackgrounds[k]);
    for (const char* m : kPopupMessages) names.push_back(std::string(kPopupMessagePrefix) + m);
    for (const std::string& clan : clans) {
        names.push_back(std::string("Portrait\\") + kGenericSoldierPortrait + clan);
        for (const char* u : kUnitIconNames) names.push_back(UnitIconName(clan, u));
    }
    for (const char* n : kNoticePictures) names.push_back(n);
    names.push_back(kDivInfoBackground);
    for (const DialogSheet& s : kDivInfoSheets) names.push_back(s.name);
    for (const char* n : kOptionBackgrounds) names.push_back(n);
    names.push_back(kOptionSlider);
    for (const char* n : kHelpTopics) names.push_back(std::string(kHelpFolder) + n);
    for (const char* n : kVolumePictures) names.push_back(n);
    names.push_back(kVolumeSlider);
    std::vector<std::string> buttons(std::begin(kDivInfoButtons), std::end(kDivInfoButtons));
    buttons.insert(buttons.end(), std::begin(kOptionButtons), std::end(kOptionButtons));
    for (int i = 0; i < kSaveSlots; ++i) buttons.push_back(kSaveSlotButton + std::to_string(i));
    for (const char* n : kHelpButtons) buttons.push_back(std::string(kHelpFolder) + n);
    buttons.push_back(kVolumeOkButton);
    buttons.insert(buttons.end(), std::begin(kYesNoButtons), std::end(kYesNoButtons));
    for (const std::string& b : buttons) {
        names.push_back("Cmb\\" + b + " Up");
        names.push_back("Cmb\\" + b + " Dn");
    }
    return names;
}
