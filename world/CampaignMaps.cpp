// The battle maps of the campaign's battles and the random map pickers of
// the free battles.
#include "core/Random.h"
#include "world/Campaign.h"

namespace {
// Battle id -> battle map for the ids whose map never changes (index =
// battle id; -3 marks an id without a fixed map).
constexpr int kNone = -3;
constexpr int kFixedMaps[58] = {
    kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone,  // 0..8
    0,  1,  2,  3,  4,  5,  6,  7,  8,  kNone, 10,                  // 9..19
    11, 12, 13, 14, 15, 19, 20, 21, 18, 16,                         // 20..29
    29, 28, 20, 36, 4,  15, 18, 16, 29, 17,                         // 30..39
    27, 24, 25, 22, 23, 26, 28, 28, 30, 31,                         // 40..49
    32, 34, 35, 36, 37, 38, -1, -2,                                 // 50..57
};
// Map 9 stands in for every id the tables do not know.
constexpr int kOtherMap = 9;

constexpr int kFreeBattleMaps[15] = {0, 2, 4, 6, 7, 8, 9, 15, 20, 24, 30, 34, 36, 37, 38};
constexpr int kAttackBattleIds[39] = {9,  11, 13, 15, 16, 17, 18, 24, 26, 41, 48, 53, 54, 55, 51, 10, 12, 14, 19, 20,
                                      22, 23, 25, 27, 28, 29, 30, 31, 36, 37, 38, 39, 40, 42, 44, 45, 46, 49, 50};

// One counted draw: the first map when it is odd.
int OddPick(int first, int second) { return (CountedRand() & 1) ? first : second; }
// One draw of the range 0..1 (counted): the first map when it is 1.
int RangePick(int first, int second) { return RandomRange(0, 1, -1) != 0 ? first : second; }
}  // namespace

int CCampaign::getHostileATtackID(int battleId) {
    switch (battleId) {
    case 2: return OddPick(6, 8);
    case 3: return OddPick(15, 4);
    case 4: return OddPick(20, 4);
    case 5: return OddPick(37, 38);
    case 6: return OddPick(24, 15);
    case 7: return RangePick(36, 38);
    case 8: return RangePick(2, 0);
    default: break;
    }
    if (battleId < 0 || battleId >= 58 || kFixedMaps[battleId] == kNone) return kOtherMap;
    return kFixedMaps[battleId];
}

int CCampaign::RandomBattleMap() { return kFreeBattleMaps[CountedRand() % 15]; }

int CCampaign::RandomAttackMap(bool wide) { return kAttackBattleIds[CountedRand() % (wide ? 39 : 15)]; }
