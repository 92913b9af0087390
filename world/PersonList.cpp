#include "world/PersonList.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "world/RecordIO.h"

IMPLEMENT_SERIAL(CPersonList, CObList, 1)

CPersonList::~CPersonList() { DeleteAll(m_bOwns); }

void CPersonList::DeleteAll(bool deleteElements) {
    if (deleteElements)
        DeleteListElements(*this);
    else
        RemoveAll();
}

static bool Rested(const CPerson* p, int turn) { return int64_t(turn) - p->lastAction >= 16; }

CPerson* CPersonList::FindByID(int id) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (p->id == id) return p;
    }
    return nullptr;
}

CPerson* CPersonList::FindByName(const char* fullName) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (p->GetFullName() == fullName) return p;
    }
    return nullptr;
}

int CPersonList::GetMaxID(int clan) const {
    int best = 0;
    bool any = false;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (clan != -1 && p->clan != clan) continue;
        if (!any || p->id > best) best = p->id;
        any = true;
    }
    return any ? best : 0;
}

int CPersonList::CountPassing(int arm, int minimum) const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (p->alive && p->PassesCheck(arm, 0.7, minimum)) ++n;
    }
    return n;
}

int CPersonList::CountQualified(int id, int turn, int minUnits, bool aliveOnly) const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        bool his = (p->IsVeteran() && p->commanderId == id) || p->id == id;
        if (his && Rested(p, turn) && p->units >= minUnits && (!aliveOnly || p->alive)) ++n;
    }
    return n;
}

int CPersonList::CountSubordinates(const CPerson* c, int turn) const {
    if (c == nullptr || !c->IsVeteran()) return 0;
    int n = 0;
    POSITION pos = c->subordinates.GetStartPosition();
    while (pos) {
        DWORD k, v;
        c->subordinates.GetNextAssoc(pos, k, v);
        CPerson* s = FindByID(int(k));
        if (s && s->CanActAgain(turn) && s->IsCaptain()) ++n;
    }
    return n;
}

int CPersonList::SumOverVeterans(int32_t CPerson::*field) const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (p->alive && p->IsVeteran()) n += p->*field;
    }
    return n;
}

int CPersonList::SumRifles() const { return SumOverVeterans(&CPerson::rifles); }
int CPersonList::SumHorses() const { return SumOverVeterans(&CPerson::horses); }
int CPersonList::SumUnits() const { return SumOverVeterans(&CPerson::units); }

int CPersonList::GetClanTotals(int& horses, int& rifles, int& units, int& strength, bool includeInactive) const {
    int counted = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (!p->IsVeteran() || !(p->alive || includeInactive)) continue;
        horses = AddCounts(horses, p->horses);
        rifles = AddCounts(rifles, p->rifles);
        units = AddCounts(units, p->units);
        strength = AddCounts(strength, int64_t(p->GetArmStrengthEx(1, -1)) + p->GetArmStrengthEx(4, -1) +
                                           p->GetArmStrengthEx(0, -1));
        ++counted;
    }
    if (counted < 13) return strength;
    return strength / counted * 12;
}

CPerson* CPersonList::FindStrongestForArm(int arm) const {
    CPerson* best = nullptr;
    int bestStrength = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        int s = p->GetArmStrength(arm, -1);
        if (best == nullptr || s >= bestStrength) {
            best = p;
            bestStrength = s;
        }
    }
    return best;
}

CPerson* CPersonList::FindFreeGeneral(int arm, int minimum) const {
    POSITION pos = GetHeadPosition();
    CPerson* best = nullptr;
    while (pos && best == nullptr) {
        CPerson* p = GetPerson(pos);
        if (p->PassesCheck(arm, 0.7, 1)) best = p;
    }
    if (best == nullptr) return nullptr;
    CPerson* confirmed = best;
    while (pos) {
        CPerson* g = GetPerson(pos);
        if (!g->PassesCheck(arm, 0.7, 1)) continue;
        if (g->GetArmStrengthEx(arm, -1) >= best->GetArmStrengthEx(arm, -1) && g->GetTroopLimit(arm) >= minimum)
            best = confirmed = g;
        else
            best = confirmed;
    }
    if (best->GetTroopLimit(arm) < minimum) return nullptr;
    best->assigned = 1;
    return best;
}

void CPersonList::InsertByMerit(CPerson* g) {
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION at = pos;
        CPerson* p = GetPerson(pos);
        if (p->merit <= g->merit) {
            InsertBefore(at, g);
            return;
        }
    }
    AddTail(g);
}

int CPersonList::InsertByName(CPerson* g) {
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION at = pos;
        CPerson* p = GetPerson(pos);
        if (p->familyName.Compare(g->familyName) >= 0) {
            InsertBefore(at, g);
            return 1;
        }
    }
    AddTail(g);
    return 1;
}

void CPersonList::CollectByClan(int clan, CPersonList& out, int turn) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (p->clan == clan && Rested(p, turn)) out.InsertByMerit(p);
    }
}

void CPersonList::CollectCandidates(int clan, CPersonList& out, int turn, int minUnits, bool aliveOnly) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (p->clan == clan && p->merit >= 201 && Rested(p, turn) && p->units >= minUnits && (!aliveOnly || p->alive))
            out.InsertByMerit(p);
    }
}

void CPersonList::CollectActive(int clan, CPersonList& out, int turn, int minUnits) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (p->clan == clan && Rested(p, turn) && p->units >= minUnits) out.InsertByMerit(p);
    }
}

void CPersonList::CollectSubordinates(const CPerson* c, CPersonList& out, int turn, bool captainsOnly) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (p->commanderId == c->id && Rested(p, turn) && p->alive && (!captainsOnly || p->IsCaptain()))
            out.InsertByMerit(p);
    }
}

void CPersonList::ClearAssigned() {
    for (POSITION pos = GetHeadPosition(); pos;) GetPerson(pos)->assigned = 0;
}

void CPersonList::TwoPhaseSort(const std::function<bool(const CPerson*, const CPerson*)>& phase1Before,
                               const std::function<int64_t(const CPerson*)>& key) {
    // Phase 1: into a temporary list, each before the first element it
    // belongs in front of. Phase 2: back, each before the first element of
    // a key not above its own. Every general comes back, duplicate ids too.
    std::vector<CPerson*> temp;
    while (!IsEmpty()) {
        CPerson* g = static_cast<CPerson*>(RemoveHead());
        auto it = std::find_if(temp.begin(), temp.end(), [&](const CPerson* p) { return phase1Before(g, p); });
        temp.insert(it, g);
    }
    for (CPerson* g : temp) {
        int64_t k = key(g);
        POSITION pos = GetHeadPosition();
        bool placed = false;
        while (pos) {
            POSITION at = pos;
            CPerson* p = GetPerson(pos);
            if (key(p) <= k) {
                InsertBefore(at, g);
                placed = true;
                break;
            }
        }
        if (!placed) AddTail(g);
    }
}

static bool NameBefore(const CPerson* g, const CPerson* p) { return p->familyName.Compare(g->familyName) >= 0; }

void CPersonList::SortByScore() {
    TwoPhaseSort([](const CPerson* g, const CPerson* p) { return p->id <= g->id; },
                 [](const CPerson* p) { return int64_t(p->GetScore()); });
}

void CPersonList::SortByUnits() {
    TwoPhaseSort(NameBefore, [](const CPerson* p) { return int64_t(p->units); });
}

void CPersonList::SortByArmStrength(int arm) {
    TwoPhaseSort(NameBefore, [arm](const CPerson* p) { return int64_t(p->GetArmStrengthEx(arm, -1)); });
}

void CPersonList::SortBySortKey() {
    TwoPhaseSort(NameBefore, [](const CPerson* p) { return int64_t(p->sortKey); });
}

void CPersonList::UpdateAll() {
    for (POSITION pos = GetHeadPosition(); pos;) GetPerson(pos)->RecalcFromRecord();
}

void CPersonList::SetAllFlags(uint8_t flag) {
    for (POSITION pos = GetHeadPosition(); pos;) GetPerson(pos)->flags[0] = flag;
}

void CPersonList::ApplyBattleResult(double factor, int clan, int mask) {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (p->clan == clan && (p->groupMask & mask))
            p->workTableB.experience = std::clamp(int(p->workTableB.experience * factor), 1, 99);
    }
}

void CPersonList::ApplyTroopFactor(double factor, int clan, int mask, int32_t CPerson::*field) {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (p->alive && p->clan == clan && (p->groupMask & mask) && p->*field >= 1)
            p->*field = std::clamp(int(p->*field * factor), 1, 40);
    }
}

void CPersonList::ApplyFactorA(double f, int clan, int mask) { ApplyTroopFactor(f, clan, mask, &CPerson::rifles); }
void CPersonList::ApplyFactorB(double f, int clan, int mask) { ApplyTroopFactor(f, clan, mask, &CPerson::horses); }
void CPersonList::ApplyFactorC(double f, int clan, int mask) { ApplyTroopFactor(f, clan, mask, &CPerson::units); }

void CPersonList::AppointMarshal(CPerson* m, int p) {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* g = GetPerson(pos);
        if (g->clan != m->clan) continue;
        if (g == m) {
            g->commanderId = 0;
            g->merit = 2000;
            g->title = "Marshal";
            continue;
        }
        bool joins = g->IsVeteran() || (g->IsCaptain() && g->commanderId == p) ||
                     (g->IsCaptain() && g->commanderId == 0 && p == -1);
        if (!joins) continue;
        m->subordinates[DWORD(g->id)] = DWORD(g->id);
        // Appointed again (a leader who stays inactive is), he keeps each
        // general once.
        if (m->subordinateList.Find(g) == nullptr) m->subordinateList.AddTail(g);
        g->commander = m;
        g->commanderId = m->id;
        g->clan = m->clan;
    }
}

void CPersonList::RemoveFromChains(CPerson* g, bool withSubordinates) {
    std::unordered_set<const CPerson*> removing;
    RemoveChain(g, withSubordinates, removing);
}

void CPersonList::RemoveChain(CPerson* g, bool withSubordinates, std::unordered_set<const CPerson*>& removing) {
    if (g == nullptr || Find(g) == nullptr) return;
    removing.insert(g);
    std::vector<DWORD> keys;
    POSITION mp = g->subordinates.GetStartPosition();
    while (mp) {
        DWORD k, v;
        g->subordinates.GetNextAssoc(mp, k, v);
        keys.push_back(k);
    }
    for (DWORD k : keys) {
        CPerson* s = FindByID(int(k));
        // A chain that leads back to a general being removed (only a
        // damaged file holds one) stops there.
        if (s && removing.count(s) == 0) {
            if (!withSubordinates)
                s->commanderId = g->commanderId != 0 ? g->commanderId : -1;
            else
                RemoveChain(s, true, removing);
        }
        g->subordinates.RemoveKey(k);
    }
    if (g->commanderId != 0)
        if (CPerson* c = FindByID(g->commanderId)) c->subordinates.RemoveKey(DWORD(g->id));
    // No pointer to g may outlive him.
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* p = GetPerson(pos);
        if (p->commander == g) p->commander = nullptr;
        while (POSITION at = p->subordinateList.Find(g)) p->subordinateList.RemoveAt(at);
    }
    RemoveAt(Find(g));
    delete g;
}

void CPersonList::Relink() {
    // Generals by the commander they name, newest first, so that a stable
    // sort by merit gives merit order (among equal merit the later first).
    std::unordered_map<int32_t, std::vector<CPerson*>> byCommander;
    for (POSITION pos = GetTailPosition(); pos;) {
        CPerson* h = static_cast<CPerson*>(GetPrev(pos));
        if (h->alive && 65535 - int64_t(h->lastAction) >= 16) byCommander[h->commanderId].push_back(h);
    }
    for (auto& [id, under] : byCommander)
        std::stable_sort(under.begin(), under.end(), [](const CPerson* a, const CPerson* b) { return a->merit > b->merit; });
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPerson* g = GetPerson(pos);
        g->subordinates.RemoveAll();
        auto it = byCommander.find(g->id);
        if (it == byCommander.end()) continue;
        for (CPerson* h : it->second)
            if (g->commanderId == 0 || h->IsCaptain()) g->subordinates[DWORD(h->id)] = DWORD(h->id);
    }
}

void CPersonList::Serialize(CArchive& ar) {
    SerializeOwnedList(ar, *this, RUNTIME_CLASS(CPerson));
    Relink();
}
