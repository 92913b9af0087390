#include "world/Campaign.h"

#include <vector>

#include "world/Castle.h"
#include "world/Nation.h"
#include "world/PersonList.h"
#include "core/WorldNames.h"

CCampaign::CCampaign() {
    for (int32_t& s : m_aNationSlot) s = -1;
}

CCampaign::~CCampaign() = default;

void CCampaign::Reset() {
    m_nYear = 1542;
    m_nBattle = 0;
    m_nBattleStage = 0;
    m_nStage = 0;
    m_nStoryFlags = 0;
    m_nClanFlags = 0;
    m_nFallenMask = 0;
    m_nEvent5Year = 100000;
    m_nEvent9Year = 100000;
    m_nEndYear = 1570;
    m_bStageJump = 0;
    m_bEconomyFlag = 0;
    m_bYearDone = 0;
    m_bAttackThisYear = 0;
    m_pPersons = nullptr;
    m_pNations = nullptr;
    m_pCastles = nullptr;
    m_lstShownEvents.RemoveAll();
    m_lstPendingEvents.RemoveAll();
    m_lstHistory.DeleteAll();
}

// A 32-bit count and that many values; values are appended at the tail.
static void SerializeValues(CArchive& ar, CDWordList& list) {
    if (ar.IsStoring()) {
        ar << int32_t(list.GetCount());
        for (POSITION pos = list.GetHeadPosition(); pos;) ar << list.GetNext(pos);
        return;
    }
    int32_t n;
    ar >> n;
    if (n < 0) ThrowRecordError("ERROR: The campaign record holds a negative count of story events.");
    for (int32_t i = 0; i < n; ++i) {
        DWORD v;
        ar >> v;
        list.AddTail(v);
    }
}

BOOL CCampaign::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << int32_t(7) << m_nYear << m_nBattle << m_nBattleStage << m_nStage << m_nStoryFlags << m_nClanFlags
           << m_nFallenMask << m_bAttackThisYear << m_bEconomyFlag << m_bYearDone << m_bStageJump << m_nEvent5Year
           << m_nEvent9Year << m_nEndYear << m_nLevel;
        SerializeValues(ar, m_lstShownEvents);
        SerializeValues(ar, m_lstPendingEvents);
        m_lstHistory.Serialize(ar);
        return TRUE;
    }
    int32_t version;
    ar >> version;
    if (version < 5 || version > 7) return FALSE;
    if (version == 5) AfxMessageBox("Old format (5) saved game.  Converting.", MB_OK);
    ar >> m_nYear >> m_nBattle >> m_nBattleStage >> m_nStage >> m_nStoryFlags >> m_nClanFlags >> m_nFallenMask >>
        m_bAttackThisYear >> m_bEconomyFlag >> m_bYearDone;
    if (version >= 6) ar >> m_bStageJump;
    ar >> m_nEvent5Year >> m_nEvent9Year >> m_nEndYear;
    if (version == 7) ar >> m_nLevel;
    SerializeValues(ar, m_lstShownEvents);
    SerializeValues(ar, m_lstPendingEvents);
    m_lstHistory.Serialize(ar);
    return TRUE;
}

static void MoveValues(CDWordList& to, CDWordList& from) {
    to.RemoveAll();
    while (!from.IsEmpty()) to.AddTail(from.RemoveHead());
}

void CCampaign::AdoptLoaded(CCampaign& o) {
    m_nYear = o.m_nYear;
    m_nBattle = o.m_nBattle;
    m_nBattleStage = o.m_nBattleStage;
    m_nStage = o.m_nStage;
    m_nStoryFlags = o.m_nStoryFlags;
    m_nClanFlags = o.m_nClanFlags;
    m_nFallenMask = o.m_nFallenMask;
    m_bAttackThisYear = o.m_bAttackThisYear;
    m_bEconomyFlag = o.m_bEconomyFlag;
    m_bYearDone = o.m_bYearDone;
    m_bStageJump = o.m_bStageJump;
    m_nEvent5Year = o.m_nEvent5Year;
    m_nEvent9Year = o.m_nEvent9Year;
    m_nEndYear = o.m_nEndYear;
    m_nLevel = o.m_nLevel;
    MoveValues(m_lstShownEvents, o.m_lstShownEvents);
    MoveValues(m_lstPendingEvents, o.m_lstPendingEvents);
    m_lstHistory.DeleteAll();
    while (!o.m_lstHistory.IsEmpty()) m_lstHistory.AddTail(o.m_lstHistory.RemoveHead());
}

BOOL CCampaign::LinkNations(CCastleList* castles, CNationList* nations, CPersonList* persons) {
    m_pCastles = castles;
    m_pNations = nations;
    m_pPersons = persons;
    for (int k = 1; k <= 13; ++k) m_aNationSlot[k] = nations ? nations->FindIDByName(kClanNames[k]) : -1;
    return UpdateClanPresence();
}

int CCampaign::PresenceBit(int index) {
    static const int kBits[13] = {0, 23, 25, 20, 19, 22, 24, 21, 26, 27, 28, 29, 30};
    return (index >= 1 && index <= 12) ? kBits[index] : 0;
}

BOOL CCampaign::IsFlagSet(int index) const {
    int bit = PresenceBit(index);
    return bit != 0 && (uint32_t(m_nClanFlags) >> bit & 1u);
}

BOOL CCampaign::UpdateClanPresence() {
    // The order in which a castle's owner is matched to a clan index.
    static const int kOrder[12] = {4, 3, 7, 5, 1, 6, 2, 8, 9, 10, 11, 12};
    const uint32_t presenceMask = 0x7FF80000u;  // bits 19..30
    uint32_t oldFlags = uint32_t(m_nClanFlags);
    uint32_t flags = oldFlags & ~presenceMask;
    if (m_pCastles) {
        for (POSITION pos = m_pCastles->GetHeadPosition(); pos;) {
            CCastle* c = m_pCastles->GetCastle(pos);
            for (int k : kOrder) {
                // A clan missing from the world (slot -1) owns no castle.
                if (m_aNationSlot[k] != -1 && m_aNationSlot[k] == c->owner) {
                    flags |= 1u << PresenceBit(k);
                    break;
                }
            }
        }
    }
    m_nClanFlags = int32_t(flags);
    std::vector<int> appeared, vanished;
    for (int k : kOrder) {
        uint32_t bit = 1u << PresenceBit(k);
        bool was = oldFlags & bit, now = flags & bit;
        if (was != now) (now ? appeared : vanished).push_back(k);
    }
    // Arrivals are told before falls.
    if (m_nYear != 1542) {
        for (int k : appeared) {
            if (k == 6) m_lstPendingEvents.AddTail(68);
            if (k == 7) m_lstPendingEvents.AddTail(69);
        }
        static const int kVanished[13] = {0, 0, 62, 58, 57, 60, 61, 59, 63, 64, 65, 66, 67};
        for (int k : vanished)
            if (kVanished[k]) m_lstPendingEvents.AddTail(DWORD(kVanished[k]));
    }
    return !appeared.empty() || !vanished.empty();
}

void CCampaign::AdvanceYear() {
    m_bAttackThisYear = 0;
    m_bYearDone = 0;
    ++m_nYear;
}

BOOL CCampaign::HasBattle(int stage, int battleId) const {
    for (POSITION pos = m_lstHistory.GetHeadPosition(); pos;) {
        CBattle* b = m_lstHistory.GetBattle(pos);
        if (b->battleId == battleId && b->stage == stage) return TRUE;
    }
    return FALSE;
}

void CCampaign::SetCurrentBattle(const CBattle* b) {
    m_nBattle = b->battleId;
    m_nBattleStage = b->stage;
}

BOOL CCampaign::BuildCatalogue(CNationList* nations) {
    struct Entry {
        int stage, battleId, opponent, map;
    };
    // In number order 1..54: stage, battle id, opponent clan index, map.
    static const Entry kCatalogue[54] = {
        {1, 9, 8, 0},    {1, 10, 8, 1},   {1, 11, 8, 2},   {1, 12, 8, 3},   {2, 15, 8, 6},   {2, 16, 2, 7},
        {2, 17, 2, 8},   {2, 18, 2, 9},   {2, 19, 8, 10},  {2, 20, 8, 11},  {3, 21, 2, 12},  {3, 22, 2, 13},
        {3, 23, 2, 14},  {10, 13, 2, 4},  {10, 14, 2, 5},  {5, 32, 6, 20},  {5, 33, 6, 36},  {5, 34, 6, 4},
        {5, 36, 6, 18},  {5, 35, 6, 15},  {5, 37, 6, 16},  {5, 38, 6, 29},  {5, 39, 6, 17},  {5, 40, 6, 27},
        {4, 24, 3, 15},  {4, 28, 3, 18},  {4, 25, 4, 19},  {4, 26, 4, 20},  {4, 27, 4, 21},  {4, 29, 3, 16},
        {4, 30, 3, 29},  {11, 13, 5, 4},  {11, 14, 5, 5},  {6, 41, 6, 24},  {6, 42, 6, 25},  {6, 43, 5, 22},
        {6, 44, 6, 23},  {6, 45, 6, 26},  {7, 46, 6, 28},  {7, 47, 6, 28},  {7, 40, 6, 27},  {7, 38, 6, 29},
        {7, 24, 6, 15},  {7, 36, 6, 18},  {7, 39, 6, 17},  {7, 37, 6, 16},  {12, 54, 7, 37}, {8, 48, 5, 30},
        {8, 49, 5, 31},  {8, 50, 5, 32},  {8, 51, 7, 34},  {8, 53, 7, 36},  {8, 55, 7, 38},  {8, 54, 7, 37},
    };
    int velmor = nations ? nations->FindIDByName(kClanNames[1]) : -1;
    POSITION last = nullptr;
    for (int i = 0; i < 54; ++i) {
        const Entry& e = kCatalogue[i];
        CBattle* b = new CBattle;
        b->number = i + 1;
        b->battleId = e.battleId;
        b->stage = e.stage;
        b->extraB = e.map;
        b->sideClan[0] = velmor;
        b->sideClan[1] = nations ? nations->FindIDByName(kClanNames[e.opponent]) : -1;
        last = m_lstCatalogue.AddTail(b);
    }
    return last != nullptr;
}
