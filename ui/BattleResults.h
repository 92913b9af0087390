// The result a battle leaves for each side: its score, whether it won and
// what became of each of its fifteen division slots. The battle fills it
// while it runs (or the aftermath from the armies when it did not); the
// aftermath turns it into the player's points and the results screen shows
// it.
#pragma once

#include <cstdint>

class CPerson;

// One battalion of a division's result.
struct CBattalionResult {
    CPerson* commander = nullptr;  // not owned; null when none
    int32_t kind = 0;              // 0 sword, 1 cavalry, 2 archers, 3 spears, 4 rifles
    uint8_t lost = 0;
    // Its units in three runs: those that stood, those lost, those fled.
    int32_t runs[3] = {0, 0, 0};
    int32_t flagsTaken = 0;
    int32_t headsTaken[2] = {0, 0};
};

struct CSideResultEntry {
    CPerson* commander = nullptr;  // the division's general, not owned; null when none
    int32_t kind = 0;              // the division's arm: 1 cavalry, 4 riflemen, ...
    int32_t count = 0;             // casualty figure: negative for men lost
    int32_t flag = 0;              // set when the division took part in the fighting
    uint8_t lost = 0;              // the division was lost
    int32_t battalions = 0;        // battalions it led into the battle (0..4)
    CBattalionResult battalion[4];
};

struct CSideResult {
    static constexpr int kSlots = 15;
    int32_t score = 0;
    uint8_t won = 0;
    uint8_t filled = 0;  // the battle (or the aftermath) has filled it
    int32_t divisor = 1;
    CSideResultEntry* slots[kSlots] = {};  // owned; null for an empty slot

    CSideResult() = default;
    CSideResult(const CSideResult&) = delete;
    CSideResult& operator=(const CSideResult&) = delete;
    ~CSideResult() { Clear(); }
    void Clear() {
        for (CSideResultEntry*& e : slots) {
            delete e;
            e = nullptr;
        }
        score = 0;
        won = 0;
        filled = 0;
        divisor = 1;
    }
    int Divisions() const {
        int n = 0;
        for (const CSideResultEntry* e : slots) n += e != nullptr;
        return n;
    }
};

// The casualty factor of the award rules: 1.0 for a loss (n < 0), 0.15 past
// 400, else the curve through (0, 1.0), (90, 0.15), (95, 0.145),
// (220, 0.105), (310, 0.15), (400, 0.15).
double CasualtyFactor(int n);
