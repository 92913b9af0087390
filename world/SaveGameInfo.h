// CSaveGameInfo: the 12-byte header at the head of a saved game: the
// campaign year shown to the player (-1: empty header), the stage of the
// campaign's current battle and the time of saving (seconds since 1970).
// It is written and read on the file itself, ahead of the archive.
#pragma once

#include <cstdint>

#include "platform/afx/Afx.h"

class CSaveGameInfo {
public:
    CSaveGameInfo(int32_t year_ = -1, int32_t battle_ = -1, int32_t saveTime_ = 0)
        : year(year_), battle(battle_), saveTime(saveTime_) {}
    virtual ~CSaveGameInfo() = default;

    bool IsEmpty() const { return year == -1; }
    // Reads the three values; false (and the header left empty) when the
    // file holds fewer than 12 bytes.
    bool Read(CFile& file);
    void Write(CFile& file) const;

    int32_t year;
    int32_t battle;
    int32_t saveTime;
};
