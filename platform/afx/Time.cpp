#include "platform/afx/Time.h"

#include <chrono>
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
    gmtime_r(&tt, &t);
    return t;
}

int CTime::GetYear() const { return Fields().tm_year + 1900; }
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
