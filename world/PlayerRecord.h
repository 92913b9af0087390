// CPlayerRecord: one player of the roster: name, clan, rating, win, loss and
// battle counters and five army slots (CGameInfoRecord), the player's stored
// single-battle armies. Both records are part of the profile file; the
// player's identity text announces him to the peer in two-player play.
#pragma once

#include <cstdint>

#include "platform/afx/Afx.h"

// The program's version word, carried in every identity text.
constexpr int kProgramVersionWord = 0x108;

class CGameInfoRecord : public CObject {
public:
    CGameInfoRecord();
    CGameInfoRecord(const CGameInfoRecord& o) : CObject() { *this = o; }
    // Copies everything but ValueE, ValueF and Layout.
    CGameInfoRecord& operator=(const CGameInfoRecord& o);

    // Every field but Layout back to its default; both times now.
    void Reset();
    // Stores layout 3; loads layouts 0..3 (0 holds no fields). A newer
    // layout throws.
    void Serialize(CArchive& ar) override;

    uint8_t Flag = 0;
    int32_t ValueA = 0;
    CTime Created;
    CTime Modified;
    CString FileName;  // the army state file; empty = free slot
    CString Title;
    int32_t PointsA = 0;
    int32_t PointsB = 0;
    int32_t ValueB = 0, ValueC = 0, ValueD = 0, ValueE = 0, ValueF = 0;
    uint32_t Layout = uint32_t(-1);
};

class CPlayerRecord : public CObject {
public:
    CPlayerRecord();
    // A record described by an identity text ("name|clan|rating|..."); the
    // pieces missing from the text keep their defaults.
    explicit CPlayerRecord(const char* identity);
    CPlayerRecord(const CPlayerRecord& o) : CObject() { *this = o; }
    // Copies every field but Version.
    CPlayerRecord& operator=(const CPlayerRecord& o);

    void Reset();
    void ResetSub(int slot);
    void GetIdentityString(CString& out) const;
    // The new rating of a player rated `own` after a battle against one
    // rated `opponent`; the change is truncated toward zero.
    static int32_t UpdateRating(int32_t own, int32_t opponent, uint8_t won);

    // Stores version 3; loads versions 0..3 (0 holds only the slots). A
    // newer version throws.
    void Serialize(CArchive& ar) override;

    int32_t SpareValueA = 0, SpareValueB = 0;
    int32_t BattlesBegun = 0;
    int32_t BattlesUnfinished = 0;
    int32_t SpareValueC = 0, SpareValueD = 0;
    CGameInfoRecord ArmySlots[5];
    CString Name;  // empty: a free roster place
    CString SpareTextB, SpareTextA;
    int32_t SpareCount = 0;
    int32_t Wins = 0;
    int32_t Losses = 0;
    int32_t Rating = 1000;
    int32_t Clan = -1;  // 1..8, -1 none
    uint32_t Version = 1;
};
