// The names of the campaign's description pictures: one for every battle of
// every stage, and one for each of the campaign's endings. Stems below the
// Pictures folder, without the suffixes and extension the screens add.
#include "world/Campaign.h"

namespace {

struct BattleFile {
    int stage, battle;
    const char* name;
};

const BattleFile kBattleFiles[] = {
    {1, 9, "shinano_sezawa"}, {1, 10, "shinano_uehara"}, {1, 11, "shinano_ankokuji"}, {1, 12, "shinano_merrowby"},
    {2, 15, "nshinano_uedehara"}, {2, 16, "nshinano_kawanakajima1"}, {2, 17, "nshinano_kawanakajima2"},
    {2, 18, "nshinano_kawanakajima3"}, {2, 19, "nshinano_katsurao"}, {2, 20, "nshinano_iiyamajo"},
    {3, 21, "echigo_highmountains"}, {3, 22, "echigo_totsusakajo"}, {3, 23, "echigo_kasugayamajo"},
    {4, 24, "surugu_sachevalley"}, {4, 25, "surugu_brenmoor"}, {4, 26, "surugu_mimasetoge"},
    {4, 27, "surugu_fukazawa"}, {4, 28, "surugu_siege_hanazawa_I"}, {4, 29, "surugu_siege_sunpu_I"},
    {4, 30, "surugu_siege_hollendane_I"}, {4, 31, "surugu_defending_hollendane_T"},
    {4, 36, "surugu_siege_hanazawa_T"}, {4, 37, "surugu_siege_sunpu_T"}, {4, 38, "surugu_siege_hollendane_T"},
    {4, 39, "surugu_defending_sunpu_T"}, {4, 40, "surugu_defending_hanazawa_T"},
    {5, 32, "dorneth_kakegawa1"}, {5, 33, "dorneth_kakegawa2"}, {5, 34, "dorneth_kakegawa3"},
    {5, 35, "dorneth_satsutavalley"}, {5, 36, "dorneth_siege_hanazawa_T"}, {5, 37, "dorneth_siege_sunpu_T"},
    {5, 38, "dorneth_siege_hollendane_T"}, {5, 39, "dorneth_defending_sunpu_T"},
    {5, 40, "dorneth_defending_hanazawa_T"},
    {6, 41, "mikawa_mikatagahara"}, {6, 42, "mikawa_hamamatsu"}, {6, 43, "mikawa_nagashino"},
    {6, 44, "mikawa_okazaki"}, {6, 45, "mikawa_defendinghamamatsu"},
    {7, 24, "retreat_satsutavalley"}, {7, 36, "retreat_siege_hanazawa_T"}, {7, 37, "retreat_siege_sunpu_T"},
    {7, 38, "retreat_siege_hollendane_T"}, {7, 39, "retreat_defendingsunpu_T"},
    {7, 40, "retreat_defendinghanazawa_T"}, {7, 46, "retreat_defendinghollendane1"},
    {7, 47, "retreat_defendinghollendane2"},
    {8, 48, "kyoto_nagakute"}, {8, 49, "kyoto_nagashima"}, {8, 50, "kyoto_gifu"}, {8, 51, "kyoto_sekigahara"},
    {8, 53, "kyoto_yamazaki"}, {8, 54, "kyoto_ashgrove"}, {8, 55, "kyoto_anegawa"},
    {9, 52, "honoji_defendinghonojivelmor"}, {9, 53, "honoji_yamazaki"},
    {10, 13, "earlydefkai_temmokuzan"}, {10, 14, "earlydefkai_defendingiwadono"},
    {11, 13, "latedefkai_temmokuzan"}, {11, 14, "latedefkai_defendingiwadono"},
    {12, 54, "ashgrove_ashgrove"},
    {13, 2, "enemyattack_karsin"}, {13, 3, "enemyattack_dorneth"}, {13, 4, "enemyattack_lask"},
    {13, 5, "enemyattack_zem"}, {13, 6, "enemyattack_wenmarch"}, {13, 7, "enemyattack_sabe"},
    {13, 8, "enemyattack_quarnith"},
};

// The endings, stage 14 first.
const char* const kEndFiles[] = {
    "final_victory_ashgrove",       "final_defeat_ashgrove",        "final_victory_kyoto",
    "final_victory_honoji",         "final_defeat_yamazaki",        "final_defeat_earlydefkai",
    "final_defeat_latedefkai",      "final_standstill_earlydefkai", "final_standstill_latedefkai",
    "final_standstill_retreat",     "final_victory_kawanakajima",
};

}  // namespace

CString CCampaign::GetBattleDescriptionFile(int stage, int battle) {
    if (stage >= kFirstEndStage && stage <= kLastEndStage)
        return CString("end screens\\") + kEndFiles[stage - kFirstEndStage];
    for (const BattleFile& f : kBattleFiles)
        if (f.stage == stage && f.battle == battle) return CString("battle descriptions\\") + f.name;
    // Ashgrove's stage meets the enemy attacks of the last stage, and an
    // enemy attack of no clan is the last victory's.
    if (stage == 12) return GetBattleDescriptionFile(13, battle);
    if (stage == 13) return GetBattleDescriptionFile(kFirstEndStage, battle);
    return CString();
}
