// CNation: a clan, a province with two more maps. Its id and name are the
// castle's `id` and `name`. The clan's leader (its marshal) is kept as a
// general id in the province figure figures[0].
// CNationList: the world's clans (owning).
#pragma once

#include "world/State.h"

class CNation : public CState {
    DECLARE_SERIAL(CNation)
public:
    // The province part, then clanMapA and clanMapB.
    void Serialize(CArchive& ar) override;

    int GetLeaderId() const { return figures[0]; }
    void SetLeaderId(int personId) { figures[0] = personId; }

    CMapDWordToDWord clanMapA, clanMapB;
};

class CNationList : public CObList {
    DECLARE_SERIAL(CNationList)
public:
    ~CNationList() override { DeleteAll(); }

    CNation* GetNation(POSITION& pos) const { return static_cast<CNation*>(GetNext(pos)); }

    CNation* FindByID(int id) const;
    // Exact, case-sensitive; -1 when no clan has the name.
    int FindIDByName(const char* name) const;
    // Empty when no clan has the id.
    CString GetNameByID(int id) const;

    void DeleteAll() { DeleteListElements(*this); }
    void Serialize(CArchive& ar) override;
};
