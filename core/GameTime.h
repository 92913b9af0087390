// CGameTime: the calendar date and time of the game world (a battle's date
// and hour, a campaign battle record, the weather and daylight of a battle).
//
// It wraps a 32-bit count of seconds since 1970-01-01 00:00 read as universal
// time, so a time built from fields decodes to the same fields on every
// machine. Sixteenth-century campaign years are stored shifted into the
// range that count can hold; the callers add that shift, this class does not.
// Years outside 1970..2037 have no defined time.
#pragma once

#include <cstdint>

class CArchive;
class CTime;

class CGameTime {
public:
    // No time yet: every getter gives -1 until a time is assigned (a battle
    // without a date reads as one).
    CGameTime() = default;
    // A normalising constructor: the month is wrapped into 1..12 without
    // changing the year (month 13 is January of the same year), the hour
    // into 0..23; day and minute overflows carry into the next month or
    // hour. Seconds are 0. A date the 32-bit count cannot hold gives an
    // undecodable time.
    CGameTime(int year, int month, int day, int hour, int minute);
    // Copies the time and year offset; the version starts again at -1.
    CGameTime(const CGameTime& other) : time(other.time), yearOffset(other.yearOffset) {}
    CGameTime& operator=(const CGameTime& other) {
        CopyFrom(other);
        return *this;
    }
    virtual ~CGameTime() = default;

    void CopyFrom(const CGameTime& other) {
        time = other.time;
        yearOffset = other.yearOffset;
    }
    // Sets the time and clears the year offset.
    void Assign(int32_t seconds) {
        time = seconds;
        yearOffset = 0;
    }
    void Assign(const CTime& t);
    int32_t GetRaw() const { return time; }

    void AddSpan(int days, int hours, int minutes, int seconds);

    // Decoded fields; -1 when the time cannot be decoded (before 1970).
    int GetMinute() const;
    int GetHour() const;
    int GetDay() const;
    int GetMonth() const;

    // Rebuilds the time with `hour` (not normalised) from the decoded year
    // less the year offset, month, day and minute; seconds become 0. Does
    // nothing to a time that cannot be decoded.
    void SetHour(int hour);

    // Twelve bytes: version 1, time, year offset. Loading another version
    // throws CArchiveException (badSchema) and leaves this time unchanged;
    // a short archive throws endOfFile, likewise.
    void Serialize(CArchive& ar);

    int32_t version = -1;
    int32_t time = -1;  // undecodable until assigned
    int32_t yearOffset = 0;
};
