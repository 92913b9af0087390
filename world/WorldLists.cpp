#include "world/WorldLists.h"

#include <unordered_set>

void SerializeWorldLists(CArchive& ar, CStateList& states, CNationList& nations, CPersonList& persons,
                         CCastleList& castles, CPathList& paths) {
    states.Serialize(ar);
    nations.Serialize(ar);
    persons.Serialize(ar);
    castles.Serialize(ar);
    paths.Serialize(ar);
}

void CWorldLists::Serialize(CArchive& ar) { SerializeWorldLists(ar, states, nations, persons, castles, paths); }

bool CWorldLists::Unshare() {
    std::unordered_set<CObject*> seen;
    bool unique = true;
    for (CObList* list : {static_cast<CObList*>(&states), static_cast<CObList*>(&nations),
                          static_cast<CObList*>(&persons), static_cast<CObList*>(&castles),
                          static_cast<CObList*>(&paths)}) {
        for (POSITION pos = list->GetHeadPosition(); pos;) {
            POSITION at = pos;
            CObject* ob = list->GetNext(pos);
            if (!seen.insert(ob).second) {
                list->RemoveAt(at);
                unique = false;
            }
        }
    }
    return unique;
}
