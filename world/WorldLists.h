// CWorldLists: the five world lists of one world file or saved game,
// provinces, clans, generals, castles and paths, read apart from the
// document's so that a file is taken over only when it was read whole.
#pragma once

#include "world/Castle.h"
#include "world/Nation.h"
#include "world/Path.h"
#include "world/PersonList.h"
#include "world/State.h"

// Stores or loads the five lists in file order. The one place that order
// is written down: the document stores its own lists through it and loads
// into a CWorldLists, whose Serialize calls it too.
void SerializeWorldLists(CArchive& ar, CStateList& states, CNationList& nations, CPersonList& persons,
                         CCastleList& castles, CPathList& paths);

class CWorldLists {
public:
    // The five lists in file order.
    void Serialize(CArchive& ar);

    // A damaged file can name one object in two lists (clans and castles
    // share a base class). Keeps each object in the first list that holds
    // it, so that every object is freed once; false when any was shared.
    bool Unshare();

    CStateList states;
    CNationList nations;
    CPersonList persons{true};
    CCastleList castles;
    CPathList paths;
};
