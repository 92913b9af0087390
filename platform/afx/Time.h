// Time. GetTickCount and every millisecond clock of the game come from one
// monotonic source that tests may replace; CTime is seconds since 1970 in
// UTC, stored as 32 bits so that files and peers do not depend on the time
// zone or on the width of time_t.
#pragma once

#include <ctime>
#include <functional>

#include "platform/afx/AfxTypes.h"

class CArchive;

// Milliseconds since an arbitrary start; wraps like the 32-bit original.
DWORD GetTickCount();
// Replaces the millisecond source (null restores the real clock).
void AfxSetTickSource(std::function<DWORD()> source);
// Replaces the wall clock behind CTime::GetCurrentTime (null restores it).
void AfxSetWallClock(std::function<int64_t()> source);

class CTime {
public:
    CTime() = default;
    explicit CTime(int64_t t) : m_time(t) {}
    // A UTC date and time; fields outside their ranges are normalised.
    CTime(int year, int month, int day, int hour, int minute, int second);

    static CTime GetCurrentTime();

    int64_t GetTime() const { return m_time; }
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;  // 1 = Sunday

    bool operator==(const CTime& o) const { return m_time == o.m_time; }
    bool operator!=(const CTime& o) const { return m_time != o.m_time; }
    bool operator<(const CTime& o) const { return m_time < o.m_time; }
    bool operator<=(const CTime& o) const { return m_time <= o.m_time; }
    bool operator>(const CTime& o) const { return m_time > o.m_time; }
    bool operator>=(const CTime& o) const { return m_time >= o.m_time; }

    friend CArchive& operator<<(CArchive& ar, const CTime& t);
    friend CArchive& operator>>(CArchive& ar, CTime& t);

private:
    std::tm Fields() const;
    int64_t m_time = 0;
};
