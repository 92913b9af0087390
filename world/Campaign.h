// CCampaign: the whole state of one running campaign: year, stage, current
// battle, which clans hold castles, story events shown and pending, the
// battles fought and the catalogue of battles that can be fought. One lives
// in the document for the whole run; it points at (never owns) the
// document's castle, clan and general lists once LinkNations has run.
//
// Campaign clan indexes 1..13 name the clans of kClanNames
// (core/WorldNames.h); m_aNationSlot maps each to its clan id.
#pragma once

#include <cstdint>

#include "world/Battle.h"
#include "platform/afx/Afx.h"

class CCastleList;
class CNationList;
class CPersonList;

class CCampaign {
public:
    CCampaign();
    virtual ~CCampaign();
    CCampaign(const CCampaign&) = delete;
    CCampaign& operator=(const CCampaign&) = delete;

    // Starting values; keeps the level, the clan slots and the catalogue.
    void Reset();
    // Stores version 7 and returns TRUE. Loads 7, 6 and 5 (with the
    // conversion notice); any other version returns FALSE at once.
    BOOL Serialize(CArchive& ar);
    // Takes over the stored part of `loaded` (what Serialize reads); the
    // document loads a saved game into a fresh campaign and adopts it only
    // when the whole file was read.
    void AdoptLoaded(CCampaign& loaded);
    // Points at the world lists, fills the clan slots by name and runs the
    // presence pass; returns its result.
    BOOL LinkNations(CCastleList* castles, CNationList* nations, CPersonList* persons);
    // Sets the presence bits of the clans holding castles and queues the
    // arrival and elimination events (not in 1542); TRUE when a bit changed.
    BOOL UpdateClanPresence();
    // Appends the campaign's battle catalogue (without emptying it first).
    BOOL BuildCatalogue(CNationList* nations);
    void AdvanceYear();
    // The presence bit of clan index 1..12.
    BOOL IsFlagSet(int index) const;
    BOOL HasBattle(int stage, int battleId) const;
    void SetCurrentBattle(const CBattle* battle);
    BOOL IsEnemyAttackStage(int stage, int battle) const { (void)battle; return stage == 13; }

    // ---- Description pictures (world/CampaignFiles.cpp)
    // The stages a campaign can end in, each with its ending.
    static constexpr int kFirstEndStage = 14, kLastEndStage = 24;
    // The picture stem (below the Pictures folder) of a stage's battle, or
    // of the ending of an end stage (whatever the battle); "" for a pair
    // that has none.
    static CString GetBattleDescriptionFile(int stage, int battle);

    // ---- Battle maps (world/CampaignMaps.cpp)
    // The battle map a battle id is fought on: fixed for most ids, drawn
    // between two maps (counted) for the enemy attacks 2..8; -1 for the
    // random battle 56, -2 for the tournament battle 57, map 9 for any
    // other id.
    static int getHostileATtackID(int battleId);
    // A random battle map for a free battle (one counted draw).
    static int RandomBattleMap();
    // A random campaign battle id, from the first 15 or (wide) all 39
    // (one counted draw).
    static int RandomAttackMap(bool wide);

    // The presence bit of a campaign clan index (0 when it has none).
    static int PresenceBit(int index);

    int32_t m_nLevel = 3;
    uint8_t m_bStageJump = 0;
    int32_t m_nEndYear = 1570;
    int32_t m_nStage = 0;
    uint8_t m_bEconomyFlag = 0;
    int32_t m_nFallenMask = 0;
    uint8_t m_bYearDone = 0;
    int32_t m_nEvent5Year = 100000;
    int32_t m_nEvent9Year = 100000;
    uint8_t m_bAttackThisYear = 0;
    int32_t m_aNationSlot[14];
    CBattleList m_lstHistory;
    CDWordList m_lstShownEvents;
    int32_t m_nBattle = 0;
    int32_t m_nBattleStage = 0;
    CBattleList m_lstCatalogue;
    int32_t m_nClanFlags = 0;
    int32_t m_nStoryFlags = 0;
    CPersonList* m_pPersons = nullptr;
    CNationList* m_pNations = nullptr;
    CCastleList* m_pCastles = nullptr;
    int32_t m_nYear = 1542;
    CDWordList m_lstPendingEvents;
};
