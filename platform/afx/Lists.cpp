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

void CDWordList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(GetCount()));
        for (Node* n = m_pHead; n; n = n->next) ar << n->data;
    } else {
        DWORD count = ar.ReadCount();
        while (count--) {
            DWORD v;
            ar >> v;
            AddTail(v);
        }
    }
}

void CStringList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(GetCount()));
        for (Node* n = m_pHead; n; n = n->next) ar << n->data;
    } else {
        DWORD count = ar.ReadCount();
        while (count--) {
            CString v;
            ar >> v;
            AddTail(v);
        }
    }
}
