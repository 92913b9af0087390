#include "core/WorldNames.h"

const char* const kClanNames[14] = {"",        "Velmor", "Karsin",  "Dorneth",       "Lask",    "Zem",
                                    "Wenmarch", "Sabe",  "Quarnith", "Ruel",         "Feyrond", "Warrior Monks",
                                    "Emperor", "Independent"};

const char* const kLeaderFamilyNames[14] = {"",        "Kagemura", "Shirasagi", "Ishizue", "Hayamizu",
                                            "Kurogane", "Matsugaya", "Tsukishima", "Ogiwara", "Asakage",
                                            "Hinoki",  "Kenshobo", "Emperor",   ""};
const char* const kLeaderGivenNames[14] = {"",        "Tokinari", "Terumasa", "Norikage", "Sadamitsu",
                                           "Akihide", "Ieharu",   "Hidemori", "Nagatoki", "Munenori",
                                           "Tadazumi", "Raiun",   "",         ""};
const char* const kLeaderNames[14] = {"",
                                      "Kagemura, Tokinari",
                                      "Shirasagi, Terumasa",
                                      "Ishizue, Norikage",
                                      "Hayamizu, Sadamitsu",
                                      "Kurogane, Akihide",
                                      "Matsugaya, Ieharu",
                                      "Tsukishima, Hidemori",
                                      "Ogiwara, Nagatoki",
                                      "Asakage, Munenori",
                                      "Hinoki, Tadazumi",
                                      "Kenshobo, Raiun",
                                      "Emperor, ",
                                      ""};

const char* const kPlayerHeirName = "Kagemura, Yoshiharu";
const char* const kKarsinHeirName = "Shirasagi, Harutsugu";
const char* const kConsortName = "Ogiwara, Sayohime";
const char* const kSpecialGeneralNames[2] = {"Yamabuki, Tessai", "Hoshino, Genba"};

const char* const kSuccessorNames[8][3] = {
    {nullptr, nullptr, nullptr},
    {kPlayerHeirName, "Kagemura, Nobutoki", nullptr},
    {kKarsinHeirName, "Shirasagi, Masakage", nullptr},
    {"Ishizue, Tomoyuki", nullptr, nullptr},
    {"Hayamizu, Ujinao", nullptr, nullptr},
    {"Kurogane, Hidetaka", "Kurogane, Nobukatsu", nullptr},
    {"Matsugaya, Tadayoshi", nullptr, nullptr},
    {"Tsukishima, Hideyori", nullptr, nullptr},
};
