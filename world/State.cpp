#include "world/State.h"

IMPLEMENT_SERIAL(CState, CCastle, VERSIONABLE_SCHEMA | 1)

CState::CState() : values(6, 0), texts(6) {}

void CState::Serialize(CArchive& ar) {
    CCastle::Serialize(ar);
    int32_t* const order[8] = {&figures[1], &figures[0], &figures[4], &figures[5],
                               &figures[2], &figures[3], &figures[6], &figures[7]};
    if (ar.IsStoring()) {
        stateVersion = 3;
        ar << stateVersion;
        for (int32_t* f : order) ar << *f;
        ar.WriteCount(DWORD(texts.size()));
        for (const CString& t : texts) ar << t;
        ar.WriteCount(DWORD(values.size()));
        for (int32_t v : values) ar << v;
        ar << label << title;
        return;
    }
    ar >> stateVersion;
    if (stateVersion < 0 || stateVersion > 3) ThrowRecordError("ERROR: Unknown version of state file.");
    for (int32_t* f : order) ar >> *f;
    if (stateVersion >= 2) {
        // Arrays grow only as far as the file really holds entries, so a
        // hostile count cannot reserve memory ahead of the bytes.
        std::vector<CString> t;
        for (DWORD n = ar.ReadCount(); n > 0; --n) t.push_back(ar.ReadStringValue());
        std::vector<int32_t> v;
        for (DWORD n = ar.ReadCount(); n > 0; --n) {
            int32_t x;
            ar >> x;
            v.push_back(x);
        }
        texts = std::move(t);
        values = std::move(v);
        ar >> label;
        if (stateVersion == 3) ar >> title;
    } else if (stateVersion == 0) {
        mapB.RemoveAll();
        mapB.Serialize(ar);
    }
}

IMPLEMENT_SERIAL(CStateList, CObList, 1)

void CStateList::Serialize(CArchive& ar) { SerializeOwnedList(ar, *this, RUNTIME_CLASS(CState)); }
