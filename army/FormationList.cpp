#include "army/FormationList.h"

#include <vector>

#include "core/Helpers.h"
#include "core/Random.h"
#include "core/WorldNames.h"
#include "world/Person.h"

IMPLEMENT_SERIAL(CFormationList, CObList, 0)
IMPLEMENT_SERIAL(CBattFormationList, CObList, 0)
IMPLEMENT_SERIAL(CDivFormationList, CObList, 0)
IMPLEMENT_SERIAL(CArmyFormationList, CObList, 0)

namespace {

// The bits of a formation's flags that tell its family members apart, and
// the masks that ask for a whole-army change rather than one wing's.
constexpr DWORD kFamilyBits = 0x63fff000;
constexpr DWORD kWholeArmyMasks = 0x63800000;

struct ScenarioRow {
    int scenario;
    BOOL sideFlag;
    int formation;
};
constexpr ScenarioRow kScenarioFormations[] = {
    {1, TRUE, 114},   {3, TRUE, 116},   {10, TRUE, 121},  {11, TRUE, 126},  {12, TRUE, 133},  {13, TRUE, 125},
    {14, TRUE, 119},  {16, TRUE, 118},  {18, TRUE, 127},  {19, TRUE, 117},  {21, TRUE, 131},  {22, TRUE, 134},
    {23, TRUE, 132},  {25, TRUE, 123},  {29, TRUE, 130},  {31, TRUE, 113},  {32, TRUE, 120},  {5, FALSE, 115},
    {26, FALSE, 124}, {27, FALSE, 128}, {28, FALSE, 129},
};

}  // namespace

bool IsScenarioFormation(int id) { return (id >= 113 && id <= 121) || (id >= 123 && id <= 134); }

int PresetID(int scenario, BOOL sideFlag) {
    for (const ScenarioRow& row : kScenarioFormations)
        if (row.scenario == scenario && (row.sideFlag != 0) == (sideFlag != 0)) return row.formation;
    return -1;
}

const char* GeneralsOwnFormationHolder() { return kLeaderNames[3]; }

// ------------------------------------------------------- owning list bodies

namespace {
template <class T>
CRuntimeClass* ElementClass();
template <>
CRuntimeClass* ElementClass<CBattFormation>() { return RUNTIME_CLASS(CBattFormation); }
template <>
CRuntimeClass* ElementClass<CDivFormation>() { return RUNTIME_CLASS(CDivFormation); }
template <>
CRuntimeClass* ElementClass<CArmyFormation>() { return RUNTIME_CLASS(CArmyFormation); }
}  // namespace

template <class T>
void COwningFormationList<T>::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        CObList::Serialize(ar);
        return;
    }
    DWORD count = ar.ReadCount();
    while (count--) {
        CObject* p = ar.ReadObject(ElementClass<T>());
        // A null entry or a second reference to a formation already listed
        // would leave the list holding what it cannot own.
        if (p == nullptr || Find(p) != nullptr) ar.Fail(CArchiveException::badIndex);
        AddTail(p);
    }
}

template <class T>
T* COwningFormationList<T>::FindByID(int id) const {
    for (POSITION pos = GetTailPosition(); pos;) {
        T* f = static_cast<T*>(GetPrev(pos));
        if (f->m_nID == id) return f;
    }
    return nullptr;
}

template class COwningFormationList<CBattFormation>;
template class COwningFormationList<CDivFormation>;
template class COwningFormationList<CArmyFormation>;

// ------------------------------------------------------- CDivFormationList

CDivFormation* CDivFormationList::PickRandom(DWORD mask) const {
    std::vector<CDivFormation*> matches;  // ascending id
    for (POSITION pos = GetTailPosition(); pos;) {
        CDivFormation* f = static_cast<CDivFormation*>(GetPrev(pos));
        if (!f->HasFlag(mask)) continue;
        auto at = matches.begin();
        while (at != matches.end() && (*at)->m_nID < f->m_nID) ++at;
        matches.insert(at, f);
    }
    if (matches.empty()) return nullptr;
    int index = CountedRand() % int(matches.size());
    return matches[size_t(index)];
}

// ------------------------------------------------------ CArmyFormationList

CArmyFormation* CArmyFormationList::GetFormation(int id) const {
    if (id == -2) {
        int draw = CountedRand() & 15;
        id = ArmyFormationID::kPresets[draw];
    }
    return FindByID(id);
}

int CArmyFormationList::GetRootID(int id) const {
    int budget = GetCount();
    for (;;) {
        const CArmyFormation* f = FindByID(id);
        if (f == nullptr || f->m_nParentID < 0 || budget-- <= 0) return id;
        id = f->m_nParentID;
    }
}

int CArmyFormationList::GetRootIDOf(const CArmyFormation* formation) const {
    if (formation == nullptr) return -1;
    if (formation->m_nParentID < 0) return formation->m_nID;
    return GetRootID(formation->m_nParentID);
}

CArmyFormation* CArmyFormationList::GetRoot(CArmyFormation* formation) const {
    CArmyFormation* root = FindByID(GetRootIDOf(formation));
    return root ? root : formation;
}

CArmyFormation* CArmyFormationList::CycleFrom(int id, int scenario, BOOL sideFlag, bool forward) const {
    const int own = PresetID(scenario, sideFlag);
    auto passedOver = [&](const CArmyFormation* f) {
        return scenario != -1 && IsScenarioFormation(f->m_nID) && f->m_nID != own;
    };
    auto step = [&](POSITION& pos) {
        return static_cast<CArmyFormation*>(forward ? GetNext(pos) : GetPrev(pos));
    };
    bool found = false;
    for (POSITION pos = forward ? GetHeadPosition() : GetTailPosition(); pos;) {
        CArmyFormation* f = step(pos);
        if (passedOver(f)) continue;
        if (found && f->IsRoot()) return f;
        if (!found && f->m_nID == id) {
            if (!f->IsRoot()) return nullptr;
            found = true;
        }
    }
    if (!found) return nullptr;
    for (POSITION pos = forward ? GetHeadPosition() : GetTailPosition(); pos;) {
        CArmyFormation* f = step(pos);
        if (!passedOver(f) && f->IsRoot()) return f;
    }
    return nullptr;
}

CArmyFormation* CArmyFormationList::GetNextFormation(int id, int scenario, int, BOOL sideFlag) const {
    return CycleFrom(id, scenario, sideFlag, true);
}

CArmyFormation* CArmyFormationList::GetPreviousFormation(int id, int scenario, int, BOOL sideFlag) const {
    return CycleFrom(id, scenario, sideFlag, false);
}

CArmyFormation* CArmyFormationList::PickRandom(DWORD mask, const CPerson* general) const {
    std::vector<CArmyFormation*> candidates;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CArmyFormation* f = At(pos);
        GetNext(pos);
        if (f->IsRoot() && f->HasFlag(mask)) candidates.push_back(f);
    }
    while (!candidates.empty()) {
        int index = CountedRand() % int(candidates.size());
        CArmyFormation* f = candidates[size_t(index)];
        candidates.erase(candidates.begin() + index);
        if (f->m_nID == ArmyFormationID::kHalfMoonAlias) f = FindByID(ArmyFormationID::kHalfMoon);
        else if (f->m_nID == ArmyFormationID::kGeneralsOwn &&
                 (general == nullptr || general->GetFullName() != GeneralsOwnFormationHolder()))
            continue;
        else if (IsScenarioFormation(f->m_nID)) continue;
        if (f != nullptr) return f;
    }
    return GetFormation(-2);
}

CArmyFormation* CArmyFormationList::GetByTypeAndSide(int scenario, DWORD mask, const CPerson* general,
                                                     BOOL sideFlag) const {
    int id = PresetID(scenario, sideFlag);
    if (id != -1) return GetFormation(id);
    return mask ? PickRandom(mask, general) : GetFormation(-2);
}

CArmyFormation* CArmyFormationList::ApplyFormation(int id, DWORD mask) const {
    return PickLinked(GetFormation(id), mask);
}

CArmyFormation* CArmyFormationList::PickLinked(const CArmyFormation* formation, DWORD mask) const {
    if (formation == nullptr) return nullptr;
    POSITION pos = formation->m_linkedIDs.GetStartPosition();
    if (pos == nullptr) return nullptr;
    CArmyFormation* best = nullptr;
    CArmyFormation* first = nullptr;
    double bestRatio = 0.0;
    bool isFirst = true;
    while (pos) {
        DWORD key, value;
        formation->m_linkedIDs.GetNextAssoc(pos, key, value);
        CArmyFormation* f = FindByID(int(value));
        if (isFirst) first = f;
        isFirst = false;
        if (f == nullptr || !f->HasFlag(mask)) continue;
        double ratio = f->GetCounterRatio();
        if (ratio >= bestRatio) {
            best = f;
            bestRatio = ratio;
        }
    }
    return best ? best : first;
}

CArmyFormation* CArmyFormationList::FindEquivalent(const CArmyFormation* formation, DWORD mask) const {
    if (formation == nullptr) return nullptr;
    const int root = GetRootIDOf(formation);
    const int level = formation->m_nLevel;
    const DWORD family = formation->m_dwFlags & kFamilyBits;
    if (level > 4) return nullptr;
    const bool special = (mask & kWholeArmyMasks) != 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CArmyFormation* c = At(pos);
        GetNext(pos);
        if ((mask & c->m_dwFlags) == 0 || GetRootIDOf(c) != root) continue;
        const int l = c->m_nLevel;
        bool fits;
        if (special) {
            fits = level <= 2 ? l == 1 : l < 2;
        } else if (level <= 1) {
            fits = l == 2;
        } else if (level == 2) {
            fits = family == mask ? l == 3 : l == 2;
        } else if (level == 3) {
            fits = family != mask ? l == 3 : l >= 4;
        } else {
            fits = l == 4;
        }
        if (fits) return c;
    }
    return nullptr;
}

CArmyFormation* CArmyFormationList::FindInFamily(const CArmyFormation* formation, DWORD mask, int level) const {
    if (formation == nullptr) return nullptr;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CArmyFormation* c = At(pos);
        GetNext(pos);
        if (c->m_nParentID == formation->m_nID && c->HasFlag(mask) && c->m_nLevel == level) return c;
    }
    return nullptr;
}

// --------------------------------------------------------- CFormationLists

void CFormationLists::Serialize(CArchive& ar) {
    batt.Serialize(ar);
    div.Serialize(ar);
    army.Serialize(ar);
}

BOOL CFormationLists::Load(const char* fileName) {
    CFile file;
    if (!file.Open(fileName, CFile::modeRead)) {
        ShowMessage("ERROR: Default Formation Lists could not be opened!");
        return FALSE;
    }
    CFormationLists fresh;
    try {
        CArchive ar(&file, CArchive::load, 4096);
        fresh.Serialize(ar);
        ar.Close();
    } catch (const CException&) {
        ShowMessage("ERROR: Default Formation Lists could not be opened!");
        return FALSE;
    }
    batt.DeleteAll();
    div.DeleteAll();
    army.DeleteAll();
    batt.TakeAll(fresh.batt);
    div.TakeAll(fresh.div);
    army.TakeAll(fresh.army);
    return TRUE;
}
