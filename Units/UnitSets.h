// The unit sets: one animated picture per kind of soldier and clan, eight
// rows for the eight facings and a column per animation frame. The cell size
// of a set is the unit's body on the field (a unit bound to its icon takes
// the icon's rectangle as its footprint), so the data kit draws the sets at
// exactly these sizes and the game and the tests read them from here.
#pragma once

namespace UnitSets {

struct Spec {
    const char* suffix;  // after the clan's name: "<clan> Infantry"
    int id;              // sprite identifier (both sides use the same ones)
    int slot;            // slot within the side's ten unit-set slots
    int rows;            // facings
    int columns;         // animation frames
    int cellWidth;       // pixels of one frame
    int cellHeight;
    bool mounted;        // drawn on horseback
};

// The clans whose armies take the field (clan numbers of the world's name
// table): the battle catalogue and the random battle draw from these.
inline constexpr int kFirstBattleClan = 1;
inline constexpr int kLastBattleClan = 8;

// In the order the battle loads them.
inline constexpr Spec kSets[] = {
    {" Infantry", 0, 0, 8, 56, 24, 28, false},
    {" Captain", 1, 1, 8, 48, 24, 30, false},
    {" CavalryCaptain", 4, 4, 8, 40, 34, 34, true},
    {" General", 2, 2, 8, 40, 34, 36, true},
    {" Marshall", 3, 3, 8, 40, 36, 38, true},
    {" Cavalry", 5, 5, 8, 40, 34, 34, true},
    {" Rifleman", 6, 6, 8, 32, 24, 28, false},
    {" Spearman", 8, 8, 8, 48, 24, 32, false},
    {" Archer", 7, 7, 8, 40, 24, 28, false},
};
inline constexpr int kSetCount = sizeof(kSets) / sizeof(kSets[0]);

// The " Dot" set: one small marker frame per side's unit, shown when zoomed out.
inline constexpr Spec kDot = {" Dot", 9, 9, 1, 1, 4, 4, false};

// The set of a unit-set slot, or null for an empty slot number.
inline const Spec* BySlot(int slot) {
    for (const auto& s : kSets)
        if (s.slot == slot) return &s;
    return slot == kDot.slot ? &kDot : nullptr;
}

// The set that draws a unit of `kind` 0..8 (Swordman .. Captain On Horse),
// or null for another kind.
inline const Spec* ForKind(int kind) {
    constexpr int kSlotOfKind[] = {0, 1, 2, 3, 5, 7, 8, 6, 4};
    return kind >= 0 && kind < 9 ? BySlot(kSlotOfKind[kind]) : nullptr;
}

}  // namespace UnitSets
