#include "world/Battle.h"

IMPLEMENT_SERIAL(CBattle, CObject, 0)

CBattle::CBattle() : timeA(1978, 9, 25, 18, 15), timeB(1978, 9, 25, 18, 15) {}

void CBattle::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        version = 3;
        ar << version << flagB << extraA << extraB << battleId << number << stage << flagA;
        timeB.Serialize(ar);
        timeA.Serialize(ar);
        for (int s = 0; s < 2; ++s) {
            ar << sideClan[s] << sideValue[s];
            sideRecord[s].Serialize(ar);
        }
        return;
    }
    ar >> version;
    if (version < 0 || version > 3) ThrowRecordError("ERROR: Unknown version of battle file.");
    ar >> flagB >> extraA >> extraB >> battleId >> number >> stage;
    if (version == 3) ar >> flagA;
    if (version >= 1) {
        timeB.Serialize(ar);
        timeA.Serialize(ar);
    }
    for (int s = 0; s < 2; ++s) {
        ar >> sideClan[s];
        if (version >= 2) ar >> sideValue[s];
        sideRecord[s].Serialize(ar);
    }
}

IMPLEMENT_SERIAL(CBattleList, CObList, 1)

int CBattleList::GetMaxNumber() const {
    int best = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CBattle* b = GetBattle(pos);
        if (b->number > best) best = b->number;
    }
    return best;
}

CBattle* CBattleList::FindByKeys(int battleId, int stage) const {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CBattle* b = GetBattle(pos);
        if (b->battleId == battleId && b->stage == stage) return b;
    }
    return nullptr;
}

int CBattleList::CountByKeys(int stage, int battleId) const {
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CBattle* b = GetBattle(pos);
        if (b->stage == stage && b->battleId == battleId) ++n;
    }
    return n;
}

CBattle* CBattleList::FindFirstOpen() const {
    for (POSITION pos = GetTailPosition(); pos;) {
        CBattle* b = static_cast<CBattle*>(GetPrev(pos));
        if (b->stage != 13) return b;
    }
    return nullptr;
}

void CBattleList::Serialize(CArchive& ar) { SerializeOwnedList(ar, *this, RUNTIME_CLASS(CBattle)); }
