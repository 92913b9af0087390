#include "army/Army.h"
#include "army/DivisionState.h"

#include <algorithm>
#include <cmath>

#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Objective.h"
#include "Units/Thinking.h"
#include "Units/Unit.h"
#include "core/Helpers.h"
#include "core/Random.h"
#include "field/BattleGrid.h"
#include "field/Terrain.h"
#include "field/ZoneGrid.h"

IMPLEMENT_SERIAL(CArmy, CArmyElement, 0)

namespace {
using namespace ArmyDivision;

int Rounded(int x1, int y1, int x2, int y2) { return Round(GetDistance(x1, y1, x2, y2, false)); }

}  // namespace

// --------------------------------------------------------- AI state records

void CThinkingMap::DeleteAll() {
    for (POSITION pos = GetStartPosition(); pos;) {
        DWORD key;
        CThinking* record;
        GetNextAssoc(pos, key, record);
        delete record;
    }
    RemoveAll();
}

void CThinkingMap::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(GetCount()));
        for (POSITION pos = GetStartPosition(); pos;) {
            DWORD key;
            CThinking* record;
            GetNextAssoc(pos, key, record);
            ar << key;
            record->Serialize(ar);
        }
        return;
    }
    DeleteAll();
    for (DWORD count = ar.ReadCount(); count > 0; --count) {
        DWORD key;
        ar >> key;
        auto record = std::make_unique<CThinking>();
        record->Serialize(ar);
        CThinking*& slot = (*this)[key];
        delete slot;
        slot = record.release();
    }
}

// ---------------------------------------------------------------- lifetime

CArmy::CArmy() { Construct(0, 0, 10, -1000, -1000); }

CArmy::CArmy(int side, int x, int y) { Construct(side, 0, 10, x, y); }

CArmy::CArmy(int side, int lastIndex, bool) { Construct(side, 0, lastIndex, 0, 0); }

void CArmy::Construct(int side, int first, int last, int x, int y) {
    m_commandValue = 10000;
    m_number = side;
    m_side = side;
    m_armyId = side;
    InitMembers();
    m_lastIndex = last;
    for (int i = first; i <= last; ++i) {
        CDivision* d = new CDivision(i, x + 10 * i, y, this);
        m_divisions.InsertSorted(d);
    }
    SetPosition(x, y);
    BuildGrid();
    m_headquarters[0] = m_headquarters[1] = nullptr;
    m_markers[0] = m_markers[1] = nullptr;
}

void CArmy::InitMembers() {
    m_resultFactor = 1.0;
    m_localRatio = 0.5;
    m_conditionValue = 50;
    m_strengthMultiplier = 1.0;
    m_holding = 0;
    m_withdrawn = 0;
    m_messageFlags[0] = m_messageFlags[1] = 0;
    m_strengthTotal = 0;
    m_casualties = 0;
    m_weakestRow = m_strongestRow = 0;
    m_detachmentsInPlay = m_reinforcement = 0;
    m_detachmentMode = 2;
    m_aiMode = 2;
    m_postureOrderMask = 0x20000;
    m_slotCountdown = 0;
    m_posture = 1;
    m_humanControlled = 0;
    m_formationList = nullptr;
    m_forceRatio = 0.5f;
    m_formation = nullptr;
    m_headquartersIntact = 1;
    m_messageCounter = 0;
    m_battleJoined = 0;
    m_pendingFrontStep = 0;
    m_armyStrength = 0.0;
    std::fill(std::begin(m_aiValues), std::end(m_aiValues), 0);
    m_frontOrigin = CPoint(0, 0);
    m_centre = CPoint(-1000, -1000);
    m_frontOffset = CPoint(0, 0);
    m_slotCounter = 0;
    m_tickCount = 0;
    m_formationAbandoned = 0;
    m_opening = 1;
    m_budgets = DivisionBudgets();
    m_warDrum.Reset(this);
    // The tie first, then the level: one counted draw each.
    int tie = CountedRand() % 3;
    m_randomTie = tie + 1;
    int level = CountedRand() % 5;
    m_aiLevel = level + 1;
    m_queue.RemoveAll(FALSE);
}

CArmy::~CArmy() {
    m_aiStates.DeleteAll();
    m_queue.RemoveAll(FALSE);
    m_divisions.RemoveAll(TRUE);
}

// ------------------------------------------------------------------ roster

CDivision* CArmy::GetDivision(int index, BOOL onlyLive) const { return m_divisions.FindByID(index, onlyLive, FALSE); }

void CArmy::ForgetDivision(const CDivision* division) {
    for (CArmy* army : {this, m_opponent}) {
        if (!army) continue;
        for (POSITION pos = army->m_queue.GetHeadPosition(); pos;) {
            POSITION at = pos;
            if (army->m_queue.GetDivision(pos) == division) army->m_queue.RemoveAt(at);
        }
        for (CDivision*& t : army->m_chaseTargets)
            if (t == division) t = nullptr;
        if (army->m_hunted == division) army->m_hunted = nullptr;
    }
}

BOOL CArmy::RemoveDivision(int index) {
    CDivision* d = m_divisions.FindByID(index, FALSE, FALSE);
    if (!d) return FALSE;
    ForgetDivision(d);
    m_divisions.RemoveAt(m_divisions.Find(d));
    delete d;
    return FALSE;
}

BOOL CArmy::Setup(CArmyFormationList* list, int formationId, CBattleGrid* grid, int x, int y, int facing) {
    m_formationList = list;
    m_formation = list ? list->GetFormation(formationId) : nullptr;
    if (!m_formation && list && !list->IsEmpty()) m_formation = list->At(list->GetHeadPosition());
    m_grid = grid;
    SetPosition(x, y);
    m_facing = facing;
    m_lastIndex = m_divisions.GetCount();
    BuildGrid();
    return TRUE;
}

void CArmy::TakeOntoGrid(CBattleGrid& grid) {
    m_grid = &grid;
    for (POSITION dp = m_divisions.GetHeadPosition(); dp;) {
        CDivision* d = m_divisions.GetDivision(dp);
        d->m_grid = &grid;
        for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
            CBattalion* b = d->m_battalions.GetBattalion(bp);
            b->m_grid = &grid;
            b->StandUnits(b->m_facing);
        }
    }
}

void CArmy::SetCommandValue(int value) {
    m_commandValue = value;
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        d->m_sounds = m_sounds;
        d->SetArmyValueAll(value);
    }
}

void CArmy::SetCommandValueOnly(int value) {
    m_commandValue = value;
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) m_divisions.GetDivision(pos)->SetArmyValueOnlyAll(value);
}

void CArmy::RecountDivisions() {
    m_strengthTotal = 0;
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) m_strengthTotal += m_divisions.GetDivision(pos)->RecountBattalions();
}

void CArmy::ResetUnits() {
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        for (POSITION b = d->m_battalions.GetHeadPosition(); b;) d->m_battalions.GetBattalion(b)->ResetUnits();
    }
}

void CArmy::ShakeDivisions(double delta, bool anyHeld) {
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        int v = DetachmentValue(d);
        if (d->m_active && (anyHeld ? v >= 0 : v == 0)) d->UpdateBattalionUnits(delta);
    }
}

void CArmy::OnDivisionLost(CDivision* division) {
    if (!division || IsLost(division)) return;
    MarkLost(division);
    --m_lastIndex;
    ShakeDivisions(-300.0, false);
    if (m_opponent) m_opponent->ShakeDivisions(180.0, false);
}

int CArmy::QueryLeadBattalion(int flag) const { return GetLeadUnit(flag) != nullptr ? 1 : 0; }

CUnit* CArmy::GetLeadUnit(BOOL allowRouted) const {
    CDivision* d = m_divisions.FindByID(0, FALSE, FALSE);
    if (!d || d->m_battalions.IsEmpty()) return nullptr;
    POSITION pos = d->m_battalions.GetHeadPosition();
    return d->m_battalions.GetBattalion(pos)->GetLeadUnit(FALSE, TRUE, allowRouted);
}

int CArmy::SumDetachments(bool first) const {
    int sum = 0;
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        const CDivision* d = m_divisions.GetDivision(pos);
        if (d->m_number > 11 && DetachmentValue(d) != 0) sum += DetachmentFigure(d, first);
    }
    return sum;
}

void CArmy::ScaleDetachments(double factor) {
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        if (d->m_number > 11 && DetachmentValue(d) > 0)
            d->m_detachCountdown = int(d->m_detachCountdown * (1.0 + factor) * (1.0 + factor));
    }
}

CKeyPoint* CArmy::GetNearestMarker(int x, int y, bool skipLost) const {
    CKeyPoint* best = nullptr;
    int bestDistance = 10000;
    for (CKeyPoint* k : m_markers) {
        if (!k) continue;
        if (skipLost && (k->m_currentState == 3 || k->m_currentState == 4)) continue;
        int d = Rounded(x, y, k->GetX(), k->GetY());
        if (d < bestDistance) {
            best = k;
            bestDistance = d;
        }
    }
    return best;
}

BOOL CArmy::TestOpposingCommand() const {
    if (!m_opponent) return FALSE;
    if (m_opponent->m_hqShockPending) return TRUE;
    CDivision* d = m_opponent->m_divisions.FindByID(0, FALSE, FALSE);
    CBattalion* b = d ? d->m_battalions.FindByID(0, FALSE, TRUE) : nullptr;
    CUnit* lead = b ? b->GetLeadUnit(FALSE, TRUE, TRUE) : nullptr;
    if (!lead || !lead->m_present || lead->m_lost) return FALSE;
    return m_zones[kFront].PtInRect(lead->GetPosition());
}

void CArmy::ResetDetachments() {
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        if (!IsDetachmentIndex(d->m_number)) continue;
        d->Reset();
        d->m_active = 0;
    }
}

CKeyPoint* CArmy::GetHeadquarters(int place) const {
    if (place == 0 || place == 1) return m_headquarters[place];
    if ((place == 2 || place == 3) && m_opponent) return m_opponent->m_headquarters[place - 2];
    return nullptr;
}

CRect CArmy::GetHomeRect() const { return m_zones[kRearHalf]; }

CKeyPoint* CArmy::CreateHeadquarters(int resource, int place, int x, int y) {
    if (place < 0 || place > 1) return nullptr;
    if (x == -1000 && y == -1000) {
        // Behind the commander: 30 back from the first man of the first
        // battalion of the first division, or at the army's own edge of
        // the field; the two places above and below that point.
        const CUnit* lead = nullptr;
        if (const CDivision* d = GetDivision(0, FALSE)) {
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp && !lead;) {
                const CBattalion* b = d->m_battalions.GetBattalion(bp);
                if (b->m_number != 0) continue;
                for (POSITION up = b->m_units.GetHeadPosition(); up && !lead;) {
                    const CUnit* u = b->m_units.GetUnit(up);
                    if (u->m_number == 0) lead = u;
                }
            }
        }
        const bool east = m_facing == 2;
        if (lead) {
            x = lead->m_x + (east ? -30 : 30);
            y = lead->m_y;
        } else {
            x = east ? 250 : 2750;
            y = 1000;
        }
        y += place == 0 ? 70 : -70;
    }
    if (m_grid) {
        const CPoint spot = m_grid->FindFreeSpot(x, y);
        x = spot.x, y = spot.y;
    }
    auto* hq = new CKeyPoint(resource, place + (m_ownerNumber == 1 ? 2 : 0), x, y, this);
    m_headquarters[place] = hq;
    return hq;
}

// ------------------------------------------------------------- tick, orders

namespace {
bool HeadquartersLost(const CKeyPoint* k) { return k && (k->m_currentState == 3 || k->m_currentState == 4); }
}  // namespace

void CArmy::Update() {
    if (!m_active) return;
    ++m_tickCount;
    m_opening = 0;
    GetCentre();
    m_ai->UpdateAverageValue(*this);

    const int thinkPhase = m_humanControlled ? 5 - 5 * m_side : 0;
    if (m_tickCount % 10 == thinkPhase) {
        m_ai->Think(*this);
        const bool hqLost = HeadquartersLost(m_headquarters[0]) || HeadquartersLost(m_headquarters[1]);
        const float ratio = m_forceRatio * 1200.0f;
        if (!hqLost && QueryLeadBattalion(0) != 0)
            m_armyStrength = double(m_forceRatio) * 1200.0 * (m_strengthMultiplier + 0.5);
        else
            m_armyStrength = std::min(double(ratio), (m_strengthMultiplier + 0.5) * m_armyStrength * 0.97);
    }

    if (HeadquartersLost(m_headquarters[0]) && HeadquartersLost(m_headquarters[1]) && m_headquartersIntact) {
        ShakeDivisions(-2100.0, true);
        if (m_opponent) m_opponent->ShakeDivisions(300.0, true);
        m_headquartersIntact = 0;
    }

    const int guardPhase = m_humanControlled ? 2 - 2 * m_side : 0;
    if (m_tickCount % 4 == guardPhase) m_ai->GuardHeadquarters(*this);

    // One division a tick, in a random order drawn whenever the queue runs
    // dry (no division on that tick).
    if (!m_queue.IsEmpty()) {
        CDivision* d = m_queue.PopFront(TRUE);
        bool inPlay = !IsDetachmentIndex(d->m_number) || (m_detachmentsInPlay && DetachmentValue(d) == 0);
        if (!IsLost(d) && d->m_active && inPlay) {
            m_lastQueued = d->m_number;
            ProcessQueuedDivision(d->m_number);
        }
    } else {
        for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
            CDivision* d = m_divisions.GetDivision(pos);
            if (IsLost(d)) {
                d->m_sortKeyA = 0;
                continue;
            }
            int key = CountedRand() % 1000;
            d->m_sortKeyA = key + 1;
            m_queue.InsertSorted(d);
        }
    }

    if (m_divisions.CountActive(m_detachmentsInPlay) == 0) {
        m_routed = 1;  // broken
        bool busy = false;
        for (POSITION pos = m_divisions.GetHeadPosition(); pos && !busy;) {
            CDivision* d = m_divisions.GetDivision(pos);
            if (IsDetachmentIndex(d->m_number) && !(m_detachmentsInPlay && DetachmentValue(d) == 0)) continue;
            // A battalion still in the fight holds the army on the field; a
            // routed one's stragglers running off do not.
            for (POSITION b = d->m_battalions.GetHeadPosition(); b;) {
                const CBattalion* bt = d->m_battalions.GetBattalion(b);
                if (bt->m_active && !bt->m_routed) {
                    busy = true;
                    break;
                }
            }
        }
        if (!busy) {
            m_contact = 0;  // engaged
            m_active = 0;
        }
    }
}

void CArmy::SendOrder(CDivision* division, CObjective* order, BOOL clearQueue, int mode) {
    if (!division) {
        delete order;
        return;
    }
    if (clearQueue) division->m_pendingOrders.DeleteAll();
    if (!order) return;
    const bool refusedDetachment =
        IsDetachmentIndex(division->m_number) && (!m_detachmentsInPlay || DetachmentValue(division) == -1);
    if (IsLost(division) || refusedDetachment || division->m_order.m_type == 256) {
        delete order;
        return;
    }
    if (!m_humanControlled && order->m_type == 128 && Stance(division) == 1) order->m_type = 512;
    if (m_grid && order->HasPoint()) {
        int zone = 0;
        if (CZoneGrid* zones = m_grid->GetZoneGrid()) zone = zones->GetZone(order->m_x, order->m_y);
        CPoint p = m_grid->FindNearestPassable(order->m_x, order->m_y, division, 10000, zone);
        order->m_x = p.x;
        order->m_y = p.y;
    }
    division->ReceiveOrder(order, mode);
}

void CArmy::OrderDivision(CDivision* division, int type, int x, int y, int flags, int facingMode,
                          BOOL useDivisionFormation, int value, int jitter) {
    if (!division) return;
    int targetId = division->GetLeaderID();
    if (useDivisionFormation && division->m_order.m_type != type) {
        // The division draws from its own list; with none, or no formation
        // for the order, it keeps the one it leads with.
        auto* list = dynamic_cast<CDivFormationList*>(division->m_formationList);
        if (CDivFormation* f = list ? list->PickRandom(DWORD(type)) : nullptr) targetId = f->m_nID;
    }
    int facing;
    switch (facingMode) {
    case -1: facing = m_formation ? m_formation->GetSlotValue(division->m_number, m_facing & 0xFF) : m_facing; break;
    case -2: facing = GetDirection(division->m_x, division->m_y, x, y); break;
    case -3: facing = GetDirection(division->m_x, division->m_y, m_armyPoint.x, m_armyPoint.y); break;
    default: facing = ((m_facing + facingMode) % 8 + 8) % 8; break;
    }
    int dx = 0, dy = 0;
    if (jitter != 0) {
        const int j = std::abs(jitter);
        dx = CountedRand() % (2 * j + 1) - j;
        dy = CountedRand() % (2 * j + 1) - j;
    }
    const int tx = std::clamp(x + dx, 0, 3000), ty = std::clamp(y + dy, 0, 2000);
    if (type == 1 && !(division->IsFresh() && Rounded(division->m_x, division->m_y, tx, ty) <= 700)) type = 2;
    SendOrder(division, new CObjective(type, tx, ty, targetId, facing), TRUE, 1);
    Ordered(division) = 1;
    division->m_ready = 0;
    division->m_flags = flags;
    division->m_counters2[0] = value;
}

void CArmy::AdjustMorale(double delta, BOOL includeHeldBack) {
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        int v = DetachmentValue(d);
        if (d->m_active && (v == 0 || (includeHeldBack && v > 0))) d->UpdateBattalionUnits(delta);
    }
}

namespace {

// The zones the army fills: a division's first four (front near, own,
// rear, front far), every zone of a battalion.
constexpr int kDivisionZones = 4;

void EmptyProximity(CDivision* d) {
    for (auto& group : d->m_zoneUnits)
        for (int z = 0; z < kDivisionZones; ++z)
            for (CUnitList& part : group[z]) part.RemoveAll(FALSE);
    for (POSITION pos = d->m_battalions.GetHeadPosition(); pos;) {
        CBattalion* b = d->m_battalions.GetBattalion(pos);
        if (b->m_routed) continue;
        for (auto& group : b->m_watch)
            for (auto& zone : group)
                for (CUnitList& part : zone) part.RemoveAll(FALSE);
    }
}

// The span of the first `count` zones: a point outside it lies in none.
CRect ZoneSpan(const CRect (*zones)[3], int count) {
    CRect span(0, 0, 0, 0);  // a union passes over empty zones
    for (int z = 0; z < count; ++z)
        for (const CRect& r : zones[z]) span.UnionRect(&span, &r);
    return span;
}

// A division's zones to fill and those of its battalions not routed, each
// with its span, and the span of them all.
struct ZoneFiling {
    explicit ZoneFiling(CDivision* d) : division(d) {
        span = ownSpan = ZoneSpan(d->m_zones, kDivisionZones);
        for (POSITION pos = d->m_battalions.GetHeadPosition(); pos;) {
            CBattalion* b = d->m_battalions.GetBattalion(pos);
            if (b->m_routed) continue;
            battalions.emplace_back(b, ZoneSpan(b->m_zones, ZONE_COUNT));
            span.UnionRect(&span, &battalions.back().second);
        }
    }
    CDivision* division;
    CRect span, ownSpan;
    std::vector<std::pair<CBattalion*, CRect>> battalions;
};

// The lists were emptied and each unit comes once, so a unit is appended
// without looking for it first.
void FileUnit(const ZoneFiling& filing, CUnit* u, int group) {
    const CPoint c((u->m_rcOccupied.left + u->m_rcOccupied.right) / 2,
                   (u->m_rcOccupied.top + u->m_rcOccupied.bottom) / 2);
    if (!filing.span.PtInRect(c)) return;
    CDivision* d = filing.division;
    if (filing.ownSpan.PtInRect(c))
        for (int z = 0; z < kDivisionZones; ++z)
            for (int p = 0; p < 3; ++p)
                if (d->m_zones[z][p].PtInRect(c)) d->m_zoneUnits[group][z][p].AddTail(u);
    for (const auto& [b, span] : filing.battalions) {
        if (!span.PtInRect(c)) continue;
        for (int z = 0; z < ZONE_COUNT; ++z)
            for (int p = 0; p < 3; ++p)
                if (b->m_zones[z][p].PtInRect(c)) b->m_watch[group][z][p].AddTail(u);
    }
}

// Every unit on the field that is not lost, with 1 for this army's own.
template <typename F>
void ForEachUnitOnField(const CArmy& army, F&& fn) {
    for (const CArmy* side : {&army, static_cast<const CArmy*>(army.m_opponent)}) {
        if (!side) continue;
        for (POSITION dp = side->m_divisions.GetHeadPosition(); dp;) {
            CDivision* d = side->m_divisions.GetDivision(dp);
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
                CBattalion* b = d->m_battalions.GetBattalion(bp);
                for (POSITION up = b->m_units.GetHeadPosition(); up;) {
                    CUnit* u = b->m_units.GetUnit(up);
                    if (!u->m_lost && u->m_present) fn(u, side == &army ? 1 : 0);
                }
            }
        }
    }
}

}  // namespace

void CArmy::ProcessQueuedDivision(int index) {
    std::vector<CDivision*> targets;
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        if (!IsLost(d) && (index == -1 || d->m_number == index)) targets.push_back(d);
    }
    std::vector<ZoneFiling> filings;
    for (CDivision* d : targets) {
        EmptyProximity(d);
        filings.emplace_back(d);
    }
    ForEachUnitOnField(*this, [&](CUnit* u, int group) {
        for (const ZoneFiling& filing : filings) FileUnit(filing, u, group);
    });
}

void CArmy::ResolveDetachments() {
    CArmy* other = m_opponent;
    if (!other) return;
    const int mine = m_detachmentMode, theirs = other->m_detachmentMode;
    if (mine != 0 && theirs != 0) {
        m_detachmentsInPlay = m_reinforcement = 0;
        other->m_detachmentsInPlay = other->m_reinforcement = 0;
        return;
    }
    // Figures and bonuses: this army's, then the opponent's.
    auto figures = [](CArmy* army, int mode, double modeOneA, double modeOneB, double& a, double& b, double& bonus) {
        const double s1 = army->SumDetachments(true), s2 = army->SumDetachments(false);
        a = b = 0.0;
        bonus = 1.0;
        if (mode == 0) {
            a = 0.9 * s1;
            b = 0.8 * s2;
        } else if (mode == 1) {
            a = modeOneA * s1;
            b = modeOneB * s2;
            int draw = CountedRand() % 31;
            bonus = 1.0 + (draw + 70) * 0.01;
        }
    };
    double A, B, b, oA, oB, ob;
    figures(this, mine, 0.25, 2.0, A, B, b);
    figures(other, theirs, 0.3, 2.2, oA, oB, ob);
    int draw = CountedRand() % 51;
    const double t = std::min(1.0, (draw + 75) * 0.01 * oA * oA / (B * B + oA * oA + 1.0));
    draw = CountedRand() % 51;
    const double u = std::min(1.0, (draw + 75) * 0.01 * A * A / (oB * oB + A * A + 1.0));
    const double P = (A + B) * (1.0 - t) * 0.5, Q = (oA + oB) * (1.0 - u) * 0.5;
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        if (d->m_number > 11 && DetachmentValue(d) != 0) d->ApplyLosses(t, 0.1);
    }
    for (POSITION pos = other->m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = other->m_divisions.GetDivision(pos);
        if (d->m_number > 11 && DetachmentValue(d) != 0) d->ApplyLosses(u, 0.1);
    }
    auto ratio = [](double num, double den) { return num / (den == 0.0 ? 1.0 : den); };
    auto set = [](CArmy* army, int inPlay, int reinforce) {
        army->m_detachmentsInPlay = BYTE(inPlay);
        army->m_reinforcement = BYTE(reinforce);
    };
    if (mine == 0 && theirs == 0) {
        const double R = ratio(P, Q);
        set(this, 0, 0);
        set(other, 0, 0);
        if (R > 2.0 && t < 0.5) {
            set(this, 1, 1);
            ScaleDetachments(1.0 / R);
        } else if (R < 0.5 && u < 0.5) {
            set(other, 1, 1);
            other->ScaleDetachments(R);
        }
    } else if (mine == 0 && theirs == 1) {
        const double R = ratio(P, Q);
        if ((R > 1.0 && t < 0.5) || (R > 0.7 && t < 0.3)) {
            const double g = ob / R;
            set(this, 1, 1);
            set(other, 0, g > 0.7 ? 1 : 0);
            ScaleDetachments(g);
        } else {
            set(this, 0, 0);
            set(other, 0, 1);
        }
    } else if (mine == 0 && theirs == 2) {
        set(this, 1, 1);
        set(other, 0, 0);
    } else if (mine == 1 && theirs == 0) {
        const double R = ratio(Q, P);
        if ((R > 1.0 && u < 0.5) || (R > 0.7 && u < 0.3)) {
            const double g = b / R;
            set(this, 0, g > 0.7 ? 1 : 0);
            set(other, 1, 1);
            other->ScaleDetachments(g);
        } else {
            set(this, 0, 1);
            set(other, 0, 0);
        }
    } else {  // 2, 0
        set(this, 0, 0);
        set(other, 1, 1);
    }
    if (mine == 1 || !m_detachmentsInPlay) ResetDetachments();
    if (theirs == 1 || !other->m_detachmentsInPlay) other->ResetDetachments();
}
