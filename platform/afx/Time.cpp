#include "platform/afx/Time.h"

#include <chrono>
#include <climits>
#include <mutex>

#include "platform/afx/Archive.h"

namespace {
std::mutex g_clockLock;
std::function<DWORD()> g_tickSource;
std::function<int64_t()> g_wallClock;

DWORD RealTicks() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return DWORD(duration_cast<milliseconds>(steady_clock::now() - start).count());
}
}  // namespace

DWORD GetTickCount() {
    std::function<DWORD()> source;
    {
        std::lock_guard<std::mutex> lock(g_clockLock);
        source = g_tickSource;
    }
    return source ? source() : RealTicks();
}

void AfxSetTickSource(std::function<DWORD()> source) {
    std::lock_guard<std::mutex> lock(g_clockLock);
    g_tickSource = std::move(source);
}

void AfxSetWallClock(std::function<int64_t()> source) {
    std::lock_guard<std::mutex> lock(g_clockLock);
    g_wallClock = std::move(source);
}

CTime::CTime(int year, int month, int day, int hour, int minute, int second) {
    // Fields may come from files: the year and month are shifted in a
    // wider type, and a date no time_t can count is -1.
    if (int64_t(year) - 1900 < INT_MIN || int64_t(month) - 1 < INT_MIN) {
        m_time = -1;
        return;
    }
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    m_time = int64_t(timegm(&t));
}

CTime CTime::GetCurrentTime() {
    std::function<int64_t()> source;
    {
        std::lock_guard<std::mutex> lock(g_clockLock);
        source = g_wallClock;
    }
    return CTime(source ? source() : int64_t(std::time(nullptr)));
}

std::tm CTime::Fields() const {
    std::tm t{};
    time_t tt = time_t(m_time);
    // A time beyond what the calendar can break down reads as 1970.
    if (!gmtime_r(&tt, &t)) {
        t = std::tm{};
        t.tm_mday = 1;
        t.tm_year = 70;
    }
    return t;
}

int CTime::GetYear() const {
    int64_t year = int64_t(Fields().tm_year) + 1900;
    return year > INT_MAX ? INT_MAX : int(year);
}
int CTime::GetMonth() const { return Fields().tm_mon + 1; }
int CTime::GetDay() const { return Fields().tm_mday; }
int CTime::GetHour() const { return Fields().tm_hour; }
int CTime::GetMinute() const { return Fields().tm_min; }
int CTime::GetSecond() const { return Fields().tm_sec; }
int CTime::GetDayOfWeek() const { return Fields().tm_wday + 1; }

CArchive& operator<<(CArchive& ar, const CTime& t) { return ar << LONG(int32_t(t.m_time)); }

CArchive& operator>>(CArchive& ar, CTime& t) {
    LONG v;
    ar >> v;
    t.m_time = v;
    return ar;
}
