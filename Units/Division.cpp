#include "Units/Division.h"

#include <algorithm>

#include "Units/Battalion.h"
#include "Units/Unit.h"
#include "Units/Zones.h"
#include "core/Helpers.h"
#include "world/PersonList.h"

IMPLEMENT_SERIAL(CDivision, CArmyElement, 0)

CDivision::CDivision() : CDivision(0, -1000, -1000, nullptr) {}

CDivision::CDivision(int number, int x, int y, IUnitsArmy* army) {
    m_number = number;
    SetPosition(x, y);
    m_army = army;
    Reset();
    m_battalionCount = kMaxBattalions;
    m_firstDivision = number == 0;
    for (int i = 0; i < kMaxBattalions; ++i) {
        CBattalion* b = new CBattalion(i, x + 10 * i, y, kMaxUnits, 0, nullptr);
        b->m_division = this;
        b->m_lead = i == 0;
        m_battalions.AddBattalion(b);
    }
}

CDivision::~CDivision() {
    EmptyZoneLists(6);
    m_pendingOrders.DeleteAll();
    m_plan.DeleteAll();
    DeleteBattalions();
    m_history.RemoveAll();
}

void CDivision::DeleteBattalions() { m_battalions.RemoveAll(TRUE); }

void CDivision::EmptyZoneLists(int zones) {
    for (auto& group : m_zoneUnits)
        for (int z = 0; z < zones; ++z)
            for (auto& list : group[z]) list.RemoveAll(FALSE);
}

void CDivision::Reset() {
    std::fill(std::begin(m_flagBlock), std::end(m_flagBlock), BYTE(0));
    m_wait = 0;
    m_routeFlag = 0;
    m_marchTimer = 0;
    m_columnByte = 0;
    m_defensive = 0;
    m_fourthFigure = 0.0;
    m_activeBattalions = m_ableBattalions = 0;
    m_strength1 = 1000, m_strength2 = 0, m_strength3 = 200;
    m_flagTimer = m_busyTimer = 0;
    m_detachCountdown = 0;
    m_flags = 0;
    m_ready = 1;
    m_unitRecount = 0;
    std::fill(std::begin(m_bytes3), std::end(m_bytes3), BYTE(0));
    m_clampCounter = 0;
    m_referenceFigure = 8000;
    m_initialUnits = 0;
    m_resend = 0;
    m_order = CObjective();
    m_busy = 0;
    m_formationByte = 1;
    m_idle = 1;
    m_phase = 4;
    m_pressure = 0;
    m_formationNumber = 15;
    m_turn = 0;
    m_contactCounter = 0;
    m_moraleEvent = 0;
    m_coolDown = 0;
    m_contactFlag = 0;
    m_counters2[0] = m_counters2[1] = 0;
    m_history.RemoveAll();
}

BOOL CDivision::Setup(IDivFormationList* formations, int formationId, CBattleGrid* grid, int x, int y,
                      int facing) {
    m_formationList = formations;
    m_formation = formations ? formations->FindByID(formationId) : nullptr;
    m_grid = grid;
    SetPosition(x, y);
    m_facing = facing;
    if (m_army) m_ownerNumber = m_army->GetArmyNumber();
    m_battalionCount = m_battalions.GetCount(TRUE);
    return TRUE;
}

void CDivision::SetupBattalions(IBattFormationList* formations) {
    const IDivFormation* df = m_formation;
    int row = 0;
    for (POSITION bp = m_battalions.GetHeadPosition(); bp; ++row) {
        CBattalion* b = m_battalions.GetBattalion(bp);
        const CPoint p = df ? df->GetSlotPoint(row, m_facing) : CPoint(0, 0);
        const int code = df ? df->GetSlotCode(row, m_facing) : m_facing;
        b->Setup(formations, df ? df->GetSlotValue(row) : 0, nullptr, m_x + p.x, m_y + p.y, code);
    }
}

namespace {

// Battalion types and the kind of officer each further battalion needs, by
// the general's kind; battalion 3 is the support battalion.
struct CommandPlan {
    int types[4];
    int officerKinds[4];  // [0] unused: the general commands battalion 0
};

CommandPlan PlanFor(int kind) {
    switch (kind) {
    case 0: return {{0, 0, 0, 3}, {0, 0, 0, 2}};
    case 1: return {{1, 1, 1, 1}, {1, 1, 1, 1}};
    case 2: return {{2, 2, 2, 3}, {2, 2, 2, 3}};
    case 3: return {{3, 3, 3, 2}, {3, 3, 3, 2}};
    case 4: return {{4, 4, 4, 3}, {4, 4, 4, 3}};
    default: return {{0, 0, 0, 0}, {0, 0, 0, 0}};
    }
}

// The share of a full command a general's troops fill.
double SizeFactor(int troops) {
    if (troops >= 40) return 1.0;
    if (troops >= 32) return 0.8;
    if (troops >= 24) return 0.6;
    if (troops >= 16) return 0.4;
    return 1.0;
}

}  // namespace

void CDivision::ReleaseGeneral() {
    DeleteBattalions();
    m_general = nullptr;
    m_battalionCount = 0;
}

BOOL CDivision::CreateBattalions(int generalId, CPersonList& persons) {
    CPerson* general = persons.FindByID(generalId);
    if (!general) return FALSE;

    // His captains who are free to command a battalion, in list order.
    std::vector<CPerson*> candidates;
    for (POSITION pos = persons.GetHeadPosition(); pos;) {
        CPerson* p = persons.GetPerson(pos);
        if (p != general && p->commanderId == general->id && p->merit >= 100 && p->merit <= 200 && p->alive &&
            !p->assigned)
            candidates.push_back(p);
    }

    DeleteBattalions();
    m_counters2[0] = m_counters2[1] = 0;
    m_formation = nullptr;
    m_formationList = nullptr;
    m_general = general;
    m_battalionCount = 1;
    m_phase = 4;

    // A kind outside the five arms commands infantry.
    int kind = general->state >= 0 && general->state <= 4 ? general->state : -1;
    int troops = std::max(1, general->GetTroopLimit(kind < 0 ? 0 : kind));
    double f = SizeFactor(troops);
    CommandPlan plan = PlanFor(kind);

    CBattalion* made[kMaxBattalions] = {};
    CPerson* officers[kMaxBattalions] = {general};
    int remaining = troops;
    for (int i = 0; i < kMaxBattalions && remaining > 0; ++i) {
        int size = std::min(kMaxUnits, remaining);
        if (i == 0) {
            size = std::min(size, int(15 * f));
        } else {
            if (i < 3) size = std::min(size, int((kind == 0 ? 12 : 10) * f));
            if (size < 3) break;
            auto it = std::find_if(candidates.begin(), candidates.end(),
                                   [&](const CPerson* p) { return p->state == plan.officerKinds[i]; });
            if (it == candidates.end()) break;
            officers[i] = *it;
            (*it)->assigned = 1;
            candidates.erase(it);
        }
        if (size <= 0) break;
        CBattalion* b = new CBattalion(i, m_x + 10 * i, m_y, size, 0, officers[i]);
        b->m_division = this;
        b->m_battType = plan.types[i];
        b->m_lead = i == 0;
        made[i] = b;
        remaining -= size;
    }
    if (m_number == 0 && m_army) m_army->SetCommander(general);

    m_type = kind < 0 ? 0 : kind;
    m_initialUnits = 0;
    int count = 0;
    for (int i = 0; i < kMaxBattalions; ++i) {
        if (!made[i]) continue;
        m_battalions.AddBattalion(made[i]);
        if (i > 0) officers[i]->state = made[i]->m_battType;
        m_initialUnits += made[i]->m_units.GetCount();
        ++count;
    }
    // Every battalion made counts, so that the division is lost with its
    // last battalion and not with its first.
    m_battalionCount = count;
    m_lostReported = 0;
    return TRUE;
}

int CDivision::GetLeaderID() const { return m_formation ? m_formation->GetNumber() : -1; }

int CDivision::GetBattalionCount(BOOL liveOnly) const {
    return liveOnly ? m_battalions.GetCount(TRUE) : m_battalionCount;
}

int CDivision::GetStrength() const { return m_battalions.SumUnitCounts(FALSE, FALSE); }

int CDivision::CountUnits(BOOL a, BOOL b) const {
    if (!(a && b)) return m_battalions.SumUnitCounts(a, b);
    int n = 0;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) n += m_battalions.GetBattalion(pos)->m_liveUnits;
    return n;
}

int CDivision::RecountBattalions() {
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        CBattalion* b = m_battalions.GetBattalion(pos);
        b->m_liveUnits = b->m_units.GetCount(TRUE, FALSE);
    }
    m_unitRecount = CountUnits(TRUE, TRUE);
    return m_unitRecount;
}

double CDivision::GetStrengthRatio(BOOL byUnits) const {
    if (byUnits) {
        int all = CountUnits(FALSE, FALSE);
        return all ? double(CountUnits(FALSE, TRUE)) / all : 0.0;
    }
    return m_unitRecount > 0 ? double(CountUnits(TRUE, TRUE)) / m_unitRecount : 0.0;
}

BOOL CDivision::IsBelowStrength(double threshold) const { return GetStrengthRatio(FALSE) < threshold; }

double CDivision::GetMorale() const {
    // A missing commander or general contributes nothing.
    const CPerson* commander = m_army ? m_army->GetCommander() : nullptr;
    double c = commander ? commander->ratio : 0.0;
    double g = m_general ? m_general->ratio : 0.0;
    return std::max(0.1, (3 * c + 5 * g) / 8);
}

BOOL CDivision::IsInsideParentArea() const {
    if (!m_army) return FALSE;
    return m_army->GetHomeRect().PtInRect(m_zones[1][1].CenterPoint());
}

BOOL CDivision::IsOnField(BOOL countRouted) const {
    if (m_routed) return countRouted && m_battalions.CountLive() > 0;
    if (!IsDetachment()) return TRUE;
    return m_detachCountdown == 0 && CRect(0, 0, 3000, 2000).PtInRect(GetPosition());
}

BOOL CDivision::CanReceiveOrders() const {
    if (m_routed) return FALSE;
    if (IsDetachment() && m_detachCountdown != 0) return FALSE;
    CRect field = m_army ? m_army->GetFieldRect() : CRect(0, 0, 3000, 2000);
    field.InflateRect(300, 300);
    return field.PtInRect(GetPosition());
}

int CDivision::CountBattalions(BOOL a, BOOL b) const { return m_battalions.SumUnitCounts(a, b); }

int CDivision::SumUnitCounters() {
    m_counters[0] = m_battalions.SumWeightedA(FALSE);
    m_counters[1] = m_battalions.SumWeightedB(FALSE);
    return m_counters[0] + m_counters[1];
}

CUnit* CDivision::GetLeadUnit() const {
    CBattalion* b = m_battalions.FindByID(0, FALSE, TRUE);
    return b ? b->GetLeadUnit(TRUE, FALSE, TRUE) : nullptr;
}

void CDivision::SetArmyValueAll(int value) {
    m_armyValue = value;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        CBattalion* b = m_battalions.GetBattalion(pos);
        b->m_sounds = m_sounds;
        b->SetArmyValue(value);
    }
}

void CDivision::SetArmyValueOnlyAll(int value) {
    m_armyValue = value;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) m_battalions.GetBattalion(pos)->SetArmyValueOnly(value);
}

void CDivision::ResetBattalions() {
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        CBattalion* b = m_battalions.GetBattalion(pos);
        b->Reset();
        b->DisableAll();
    }
}

void CDivision::UpdateBattalionUnits(double delta) {
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        CBattalion* b = m_battalions.GetBattalion(pos);
        if (b->m_able) b->AdjustMorale(delta);
    }
}

void CDivision::AddBattleMessage(int id, int speaker, int index) {
    (void)index;
    if (m_army) m_army->AddBattleMessage(id, speaker, m_number);
}

void CDivision::OnBattalionRouted(CBattalion* battalion) {
    bool lost = false;
    if (battalion && !battalion->m_routed) {
        battalion->m_routed = 1;
        for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
            CBattalion* b = m_battalions.GetBattalion(pos);
            if (b->m_able) b->AdjustMorale(-120);
        }
        if (--m_battalionCount <= 0) lost = true;
    }
    m_activeBattalions = m_ableBattalions = 0;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        const CBattalion* b = m_battalions.GetBattalion(pos);
        if (b->m_active) ++m_activeBattalions;
        if (b->m_able) ++m_ableBattalions;
    }
    if (m_activeBattalions == 0) m_active = 0;
    if (m_ableBattalions == 0) m_able = 0;
    if (m_activeBattalions == 0 || m_ableBattalions == 0) lost = true;
    // However many battalions report, the army hears of the loss once.
    if (lost && !m_lostReported) {
        m_lostReported = 1;
        if (m_army) m_army->OnDivisionLost(this);
    }
}

CRect CDivision::GetBaseRect() const {
    CRect r;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        const CBattalion* b = m_battalions.GetBattalion(pos);
        if (b->m_routed) continue;
        CRect area = b->GetAreaRect();
        r.UnionRect(&r, &area);
    }
    // At most 500 either way, about the same centre.
    if (r.Width() > 500) {
        int excess = r.Width() - 500;
        r.left += excess / 2, r.right -= excess - excess / 2;
    }
    if (r.Height() > 500) {
        int excess = r.Height() - 500;
        r.top += excess / 2, r.bottom -= excess - excess / 2;
    }
    return r;
}

CRect CDivision::GetZoneRect(int offset, double factor, bool keepOnly, const CRect& base) const {
    int d = m_facing;
    if (m_order.HasPoint()) {
        int64_t dx = m_order.m_x - m_x, dy = m_order.m_y - m_y;
        if (dx * dx + dy * dy > 2500) d = GetDirection(m_x, m_y, m_order.m_x, m_order.m_y);
    }
    d = NormalizeDirection(d + offset);
    CRect r = Zones::WidenTo(base.IsRectNull() ? GetBaseRect() : base, 200, 200);
    return Zones::Push(r, d, factor, keepOnly);
}

void CDivision::SetPerimiters(const CRect& rect) {
    EmptyZoneLists(4);
    CRect base = rect.IsRectEmpty() ? GetBaseRect() : rect;

    struct Step {
        int offset;
        double factor;
    };
    // front far, front near, rear, left, right
    Step steps[5];
    if (m_type == -1 || m_type == 0 || m_type == 3)
        steps[0] = {0, 2.0}, steps[1] = {0, 1.0}, steps[2] = {4, 1.0}, steps[3] = {6, 0.5}, steps[4] = {2, 0.5};
    else if (m_type == 1 && m_order.m_type == 2048)
        steps[0] = {0, 0.7}, steps[1] = {0, 0.5}, steps[2] = {4, 1.5}, steps[3] = {6, 2.0}, steps[4] = {2, 2.0};
    else if (m_type == 1)
        steps[0] = {0, 2.0}, steps[1] = {0, 1.5}, steps[2] = {4, 1.0}, steps[3] = {6, 0.5}, steps[4] = {2, 0.5};
    else if (m_type == 2 || m_type == 4)
        steps[0] = {0, 3.0}, steps[1] = {0, 1.5}, steps[2] = {4, 1.0}, steps[3] = {6, 0.5}, steps[4] = {2, 0.5};
    else {
        ShowMessage("ERROR: Wrong batt type in CDivision::SetPerimiters()");
        return;
    }

    CRect side = base.IsRectNull() ? GetBaseRect() : base;
    if (side.Width() < 150) side = Zones::WidenTo(side, 200, side.Height());
    if (side.Height() < 150) side = Zones::WidenTo(side, side.Width(), 200);

    CRect zones[6];
    zones[3] = GetZoneRect(steps[0].offset, steps[0].factor, true, base);
    zones[0] = GetZoneRect(steps[1].offset, steps[1].factor, false, base);
    zones[1] = side;
    zones[2] = GetZoneRect(steps[2].offset, steps[2].factor, false, base);
    zones[4] = GetZoneRect(steps[3].offset, steps[3].factor, false, base);
    zones[5] = GetZoneRect(steps[4].offset, steps[4].factor, false, base);
    for (int z = 0; z < 6; ++z)
        SplitPerimeter(zones[z].left, zones[z].top, zones[z].right, zones[z].bottom, m_zones[z][0], m_zones[z][1],
                       m_zones[z][2]);
}
