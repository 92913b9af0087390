#include "core/GameTime.h"

#include <climits>

#include "platform/afx/Archive.h"
#include "platform/afx/Time.h"

namespace {
// The 32-bit count of a UTC date, or -1 (undecodable) when it does not fit.
// The year is wide: it may be a stored year less a stored offset.
int32_t ToSeconds(int64_t year, int month, int day, int hour, int minute) {
    if (year < INT_MIN || year > INT_MAX) return -1;
    int64_t t = CTime(int(year), month, day, hour, minute, 0).GetTime();
    if (t < 0 || t > INT32_MAX) return -1;
    return int32_t(t);
}
}  // namespace

CGameTime::CGameTime(int year, int month, int day, int hour, int minute) {
    // Wrapped without ever leaving int, whatever a caller passes.
    month = int((int64_t(month) - 1) % 12 + 12) % 12 + 1;
    hour = int(int64_t(hour) % 24 + 24) % 24;
    time = ToSeconds(year, month, day, hour, minute);
}

void CGameTime::Assign(const CTime& t) {
    int64_t s = t.GetTime();
    Assign(s < INT32_MIN || s > INT32_MAX ? -1 : int32_t(s));
}

void CGameTime::AddSpan(int days, int hours, int minutes, int seconds) {
    int64_t span = ((int64_t(days) * 24 + hours) * 60 + minutes) * 60 + seconds;
    time = int32_t(uint32_t(int64_t(time) + span));
}

int CGameTime::GetMinute() const { return time < 0 ? -1 : CTime(time).GetMinute(); }
int CGameTime::GetHour() const { return time < 0 ? -1 : CTime(time).GetHour(); }
int CGameTime::GetDay() const { return time < 0 ? -1 : CTime(time).GetDay(); }
int CGameTime::GetMonth() const { return time < 0 ? -1 : CTime(time).GetMonth(); }

void CGameTime::SetHour(int hour) {
    if (time < 0) return;
    CTime t(time);
    // The offset comes from a file and may be anything: an out-of-range
    // year makes the time undecodable.
    time = ToSeconds(int64_t(t.GetYear()) - yearOffset, t.GetMonth(), t.GetDay(), hour, t.GetMinute());
}

void CGameTime::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        version = 1;
        ar << LONG(version) << LONG(time) << LONG(yearOffset);
        return;
    }
    LONG v, t, offset;
    ar >> v;
    if (v != 1) ar.Fail(CArchiveException::badSchema);
    ar >> t >> offset;
    version = v;
    time = t;
    yearOffset = offset;
}
