#include "world/Nation.h"

IMPLEMENT_SERIAL(CNation, CState, VERSIONABLE_SCHEMA | 2)

void CNation::Serialize(CArchive& ar) {
    CState::Serialize(ar);
    clanMapA.Serialize(ar);
    clanMapB.Serialize(ar);
}

IMPLEMENT_SERIAL(CNationList, CObList, 1)

CNation* CNationList::FindByID(int id) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CNation* n = GetNation(pos);
        if (n->id == id) return n;
    }
    return nullptr;
}

int CNationList::FindIDByName(const char* name) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CNation* n = GetNation(pos);
        if (n->name == name) return n->id;
    }
    return -1;
}

CString CNationList::GetNameByID(int id) const {
    CNation* n = FindByID(id);
    return n ? n->name : CString();
}

void CNationList::Serialize(CArchive& ar) { SerializeOwnedList(ar, *this, RUNTIME_CLASS(CNation)); }
