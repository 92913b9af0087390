#include "platform/afx/Lists.h"

IMPLEMENT_SERIAL(CObList, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_SERIAL(CDWordList, CObject, 0)
IMPLEMENT_SERIAL(CStringList, CObject, 0)

void CObList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(GetCount()));
        for (Node* n = m_pHead; n; n = n->next) ar.WriteObject(n->data);
    } else {
        DWORD count = ar.ReadCount();
        while (count--) AddTail(ar.ReadObject(nullptr));
    }
}

namespace {
// Count, then each value as the archive writes that type.
template <typename T>
void SerializeValues(CListCore<T>& list, CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(list.GetCount()));
        for (POSITION pos = list.GetHeadPosition(); pos;) ar << list.GetNext(pos);
    } else {
        DWORD count = ar.ReadCount();
        while (count--) {
            T v;
            ar >> v;
            list.AddTail(v);
        }
    }
}
}  // namespace

void CDWordList::Serialize(CArchive& ar) { SerializeValues<DWORD>(*this, ar); }

void CStringList::Serialize(CArchive& ar) { SerializeValues<CString>(*this, ar); }
