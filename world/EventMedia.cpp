#include "world/EventMedia.h"

#include <cctype>

#include "core/WorldNames.h"

// "family_given" in lower case, as the story's file names spell persons.
static CString StemName(const char* fullName) {
    CString out;
    for (const char* p = fullName; *p; ++p) {
        if (*p == ',') continue;
        if (*p == ' ') {
            if (!out.IsEmpty() && out[out.GetLength() - 1] != '_') out += '_';
            continue;
        }
        out += char(std::tolower((unsigned char)*p));
    }
    return out;
}

void CEventMedia::SetEvent(int n) {
    static const char* const kStages[] = {"shinano", "n_shinano", "echigo", "surugu",
                                          "dorneth", "mikawa",    "retreat", "kyoto"};
    static const char* const kTimeouts[] = {"echigo", "surugu", "dorneth", "mikawa", "retreat"};
    static const char* const kEliminated[] = {"lask",    "dorneth", "sabe",    "zem",           "wenmarch", "karsin",
                                              "quarnith", "ruel",   "feyrond", "warrior_monks", "emperor"};
    static const char* const kFixed[] = {
        nullptr,
        "events\\attack_echigo",
        nullptr,
        "events\\find_the_body_double",
        "events\\choose_to_use_the_body_double",
        "events\\generals_discover_body_double",
        nullptr,
        nullptr,
        "events\\dorneth_alliance",
        "events\\dorneth_attack_zem",
        "events\\zem_ambushes_dorneth",
        "events\\break_dorneth_alliance",
        "events\\the_anti_zem_alliance",
        "events\\the_anti_zem_alliance_without_velmor",
        "events\\the_battle_of_anegawa",
        "events\\the_battle_of_anegawa_no_velmor_alliance",
        "events\\the_fall_of_ruel",
        "events\\the_fall_of_ruel_no_velmor_alliance",
        "events\\the_fall_of_feyrond",
        "events\\the_fall_of_feyrond_no_velmor_alliance",
        "events\\the_death_of_the_emperor",
        "events\\the_death_of_the_emperor_no_velmor_alliance",
        "events\\the_fall_of_the_warrior_monks",
        "events\\the_fall_of_the_warrior_monks_no_velmor_alliance",
        "events\\zem_got_assassinated_at_honoji",
        "events\\the_death_and_alliance_of_lask",
        "events\\the_alliance_of_lask",
        "events\\1543_the_first_rifle_introduced_to_japan",
        "events\\1549_the_first_time_rifle_been_used_in_battle_in_japan",
        nullptr,
        "events\\the_rebel_of_velmor",
    };
    // Death events 32..39 name the leader of: Karsin, Wenmarch, Velmor, Zem,
    // Quarnith, Sabe, Dorneth, Lask.
    static const int kDeathClan[8] = {2, 6, 1, 5, 8, 7, 3, 4};
    static const int kChoice[] = {1, 2, 3, 4, 7, 8, 11, 12, 25, 26, 30};

    eventNumber = n;
    CString stem;
    if (n >= 1 && n <= 30 && kFixed[n]) {
        stem = kFixed[n];
    } else if (n == 2) {
        stem = "events\\marriage_with_" + StemName(kConsortName);
    } else if (n == 6) {
        stem = "events\\natural_death_of_" + StemName(kLeaderNames[2]);
    } else if (n == 7) {
        stem = "events\\" + StemName(kKarsinHeirName) + "_asks_for_help";
    } else if (n >= 32 && n <= 39) {
        stem = "events\\death_of_" + StemName(kLeaderNames[kDeathClan[n - 32]]);
    } else if (n >= 40 && n <= 47) {
        stem = CString("events\\stage_end_warning_") + kStages[n - 40];
    } else if (n == 48 || n == 51) {
        stem = "events\\stage_timeout_n_shinano_late";
    } else if (n == 49) {
        stem = "events\\stage_timeout_shinano";
    } else if (n == 50) {
        stem = "events\\stage_timeout_n_shinano_early";
    } else if (n >= 52 && n <= 56) {
        stem = CString("events\\stage_timeout_") + kTimeouts[n - 52];
    } else if (n >= 57 && n <= 67) {
        stem = CString("events\\clan_elimination_") + kEliminated[n - 57];
    } else if (n == 68) {
        stem = "events\\clan_arrival_wenmarch";
    } else if (n == 69) {
        stem = "events\\clan_arrival_sabe";
    }
    fileStem = stem;
    // Event 37 asks nothing either: an entry reused for it must not carry
    // over another event's question.
    asksChoice = 0;
    for (int c : kChoice)
        if (c == n) asksChoice = 1;
}
