#include "world/RecordIO.h"

void SerializeOwnedList(CArchive& ar, CObList& list, const CRuntimeClass* cls) {
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(list.GetCount()));
        POSITION pos = list.GetHeadPosition();
        while (pos) ar.WriteObject(list.GetNext(pos));
        return;
    }
    std::unordered_set<const CObject*> seen;
    POSITION pos = list.GetHeadPosition();
    while (pos) seen.insert(list.GetNext(pos));
    DWORD count = ar.ReadCount();
    while (count--) {
        CObject* ob = ar.ReadObject(cls);
        if (ob == nullptr) ThrowRecordError("ERROR: A list of the file holds an empty entry.");
        // An object index pointing back at an element read before would
        // give the list the same object twice.
        if (!seen.insert(ob).second) ThrowRecordError("ERROR: A list of the file holds one entry twice.");
        list.AddTail(ob);
    }
}

void DeleteListElements(CObList& list) {
    while (!list.IsEmpty()) delete list.RemoveHead();
}

int32_t ClampCount(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return int32_t(value);
}

int32_t CountFromFigure(double value) {
    if (value != value) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return int32_t(value);
}
