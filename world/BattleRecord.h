// CBattleRecord: the tally of one side's battle results, twenty counters with
// two derived scores. Generals carry one for their career, campaign battles
// one per side. c1 is the running total fed by AddScore; c2..c6 are its parts
// per category.
#pragma once

#include <cstdint>

#include "platform/afx/Afx.h"

class CBattleRecord : public CObject {
public:
    CBattleRecord() = default;
    CBattleRecord(const CBattleRecord&) = default;
    CBattleRecord& operator=(const CBattleRecord&) = default;

    // All counters 0; returns 0.
    int Reset();
    // Copies c7..c20 only; c1..c6 and the version stay as they are.
    void Assign(const CBattleRecord& other);
    // Adds all twenty counters of `other`.
    CBattleRecord& Add(const CBattleRecord& other);
    // c1 += value; category 0 also to c3, 1 to c2, 2 to c4, 3 to c6, 4 to c5.
    void AddScore(int category, int value);
    int GetMeritScore() const;
    int GetKillScore() const;
    int GetLosses() const { return c18 + c19; }

    // Version 1: twenty-one 32-bit values (84 bytes). Any other version
    // throws: its length is unknown, so nothing after it could be read.
    void Serialize(CArchive& ar) override;

    int32_t c1 = 0, c2 = 0, c3 = 0, c4 = 0, c5 = 0, c6 = 0, c7 = 0, c8 = 0, c9 = 0, c10 = 0;
    int32_t c11 = 0, c12 = 0, c13 = 0, c14 = 0, c15 = 0, c16 = 0, c17 = 0, c18 = 0, c19 = 0, c20 = 0;
    int32_t version = 1;

    bool operator==(const CBattleRecord& o) const;
};
