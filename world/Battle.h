// CBattle: one battle of the campaign between two sides: its number, the
// keys by which the campaign finds it (battle id and stage), two dates, and
// per side a clan id, a figure and the side's battle record.
// CBattleList owns its battles. CBattleKey names a battle by four values.
#pragma once

#include <cstdint>

#include "world/BattleRecord.h"
#include "world/RecordIO.h"
#include "platform/afx/Afx.h"
#include "core/GameTime.h"

class CBattle : public CObject {
    DECLARE_SERIAL(CBattle)
public:
    CBattle();

    // Stores format 3; loads formats 3, 2, 1 and the short format 0. Any
    // other format throws.
    void Serialize(CArchive& ar) override;

    uint8_t flagA = 1;
    int32_t sideValue[2] = {0, 0};
    uint8_t flagB = 0;
    int32_t number = -1;
    int32_t battleId = -1;
    int32_t stage = -1;  // 13: an enemy attack
    int32_t extraA = 0;
    CGameTime timeA;
    CGameTime timeB;
    int32_t extraB = -1;  // battle map number
    int32_t sideClan[2] = {-1, -1};
    CBattleRecord sideRecord[2];
    int32_t version = 0;
};

class CBattleList : public CObList {
    DECLARE_SERIAL(CBattleList)
public:
    ~CBattleList() override { DeleteAll(); }

    CBattle* GetBattle(POSITION& pos) const { return static_cast<CBattle*>(GetNext(pos)); }

    // Largest number, 0 for an empty list or when all are negative.
    int GetMaxNumber() const;
    CBattle* FindByKeys(int battleId, int stage) const;
    // Note the argument order: stage first.
    int CountByKeys(int stage, int battleId) const;
    // From the newest battle back, the first whose stage is not 13.
    CBattle* FindFirstOpen() const;

    void DeleteAll() { DeleteListElements(*this); }
    void Serialize(CArchive& ar) override;
};

class CBattleKey {
public:
    CBattleKey(int a, int b, int c, int d) : values{a, b, c, d} {}
    virtual ~CBattleKey() = default;
    int32_t values[4];
};
