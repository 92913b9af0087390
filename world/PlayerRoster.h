// CPlayerRoster: the player profile: ten player records, the current player
// and the player's settings. Its Serialize is the whole profile file. The
// document owns one for the whole run.
#pragma once

#include <cstdint>

#include "platform/afx/Afx.h"
#include "world/PlayerRecord.h"

class CPlayerRoster : public CObject {
public:
    CPlayerRoster();
    CPlayerRoster(const CPlayerRoster& o) : CObject() { *this = o; }
    CPlayerRoster& operator=(const CPlayerRoster& o);

    // Stores version 8 (bringing LastStored up to now, never back). Loads
    // versions 0..8 (0 holds only the players); a newer version throws.
    // Loaded settings are brought into their ranges (see Validate).
    void Serialize(CArchive& ar) override;
    // Brings loaded values the game indexes with into range: the current
    // player to -1..9, levels to 0..9, the speed to 0..360 and the scroll
    // speed to -20..180 (the values the level setters write), the graphic
    // choice to 0..2, switches to 0 or 1, clans to -1 or 1..8 and
    // tournament clans to 1..8 or 14.
    void Validate();

    // The identity text of the current player; empty without one.
    void GetCurrentIdentity(CString& out) const;
    // The current player's record, or null when there is none.
    CPlayerRecord* GetCurrent();

    int32_t SettingA = 1;
    int32_t TournamentClan = 14;
    int32_t TournamentOpponent = 14;
    uint8_t TournamentRestart = 1;
    CString SettingText;
    uint8_t MusicOn = 1;
    uint8_t SoundOn = 1;
    uint8_t DisplayOptionA = 0;
    uint8_t DisplayOptionB = 0;
    int32_t SpeedValue = 125;
    int32_t ScrollValue = 75;
    int32_t MusicLevel = 9;
    int32_t SoundLevel = 9;
    int32_t GraphicChoice = 0;
    CPlayerRecord Players[10];
    int32_t CurrentPlayer = -1;
    CTime LastStored;
    uint32_t Version = 8;
};
