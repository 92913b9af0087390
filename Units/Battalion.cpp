#include "Units/Battalion.h"

#include <algorithm>

#include "field/BattleGrid.h"
#include "field/Terrain.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "Units/Zones.h"
#include "core/Helpers.h"
#include "core/Random.h"

IMPLEMENT_SERIAL(CBattalion, CArmyElement, 0)

CBattalion::CBattalion() : CBattalion(0, -1000, -1000, 10, 0, nullptr) {}

CBattalion::CBattalion(int number, int x, int y, int units, int spare, CPerson* general) {
    (void)spare;
    m_number = number;
    SetPosition(x, y);
    m_general = general;
    m_armyValue = 10000;
    units = std::clamp(units, 0, 100);
    MakeUnits(units);
    m_liveUnits = units;
    m_initialStrength = BYTE(units);
    Reset();
}

CBattalion::~CBattalion() {
    EmptyWatchLists();
    m_nearbyEnemies.RemoveAll(FALSE);
    m_units.RemoveAll(TRUE);
}

void CBattalion::MakeUnits(int count) {
    for (int i = 0; i < count; ++i) {
        CUnit* u = new CUnit(i, nullptr, 0, m_x + 10 * i, m_y);
        u->m_battalion = this;
        m_units.InsertSorted(u, FALSE);
    }
}

void CBattalion::EmptyWatchLists() {
    for (auto& group : m_watch)
        for (auto& zone : group)
            for (auto& list : zone) list.RemoveAll(FALSE);
}

void CBattalion::Reset() {
    m_contactMin = 1;
    m_holdCountdown = 0;
    m_spareA = 1;
    m_exposure = 0.0;
    m_orderSeen = 0;
    m_commandFactor = 0.0;
    m_column = 0;
    m_ableUnits = m_activeUnits = 0;
    m_spareWordA = m_spareWordB = 0;
    m_referenceValue = 10000;
    m_spareWordD = 0;
    m_advance = 1;
    m_spareB = 1;
    m_engageRadius = 0;
    m_standingReached = 0;
    m_lastShooter = nullptr;
    m_lowHits = 0;
    m_spareWordE = 0;
    m_sparePoint = CPoint(-1000, -1000);
    m_spareIndex = -1;
    m_spareC = 0;
    m_intakeSource = 0;
    m_armyValue = 8000;
    m_spareD = 0;
    m_busy = 0;
    m_divisionOrder = 0;
    m_halted = 1;
    m_spareE = 0;
    m_tickPhase = 0;
    m_noUnits = 0;
}

BOOL CBattalion::Setup(IBattFormationList* formations, int formationId, CBattleGrid* grid, int x, int y,
                       int facing) {
    m_formationList = formations;
    m_formation = formations ? formations->FindByID(formationId) : nullptr;
    m_grid = grid;
    SetPosition(x, y);
    m_facing = facing;
    if (m_division && m_division->m_army) m_ownerNumber = m_division->m_army->GetArmyNumber();
    m_liveUnits = m_ableUnits = m_activeUnits = m_units.GetCount();
    return TRUE;
}

void CBattalion::StandUnits(int facing) {
    const CPoint at = GetPosition();
    for (POSITION up = m_units.GetHeadPosition(); up;) {
        CUnit* u = m_units.GetUnit(up);
        CPoint p = at.x < 0 ? at : at + (m_formation ? m_formation->GetSlotPoint(u->m_number, facing) : CPoint(0, 0));
        u->m_facing = facing;
        u->SetPositionExact(CVector(p.x, p.y), FALSE, FALSE);
        u->m_slot = CObjective(11, p.x, p.y, -1, facing);
        u->m_action.SetOrder(&u->m_slot, nullptr);
        u->SetBehaviour(11);
    }
}

void CBattalion::SetArmyValue(int value) {
    m_armyValue = value;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) m_units.GetUnit(pos)->m_sounds = m_sounds;
}

void CBattalion::AdjustMorale(double delta) {
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        CUnit* u = m_units.GetUnit(pos);
        if (u->m_able) u->ShiftMorale(delta);
    }
}

void CBattalion::ResetUnits() {
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        CUnit* u = m_units.GetUnit(pos);
        u->m_steps.DeleteAll();
        u->m_pending.DeleteAll();
        u->m_action.SetTarget(u, nullptr, FALSE, FALSE);
    }
}

void CBattalion::RenumberUnits() {
    int n = 0;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        CUnit* u = m_units.GetUnit(pos);
        if (!u->m_routed) u->m_number = n++;
    }
}

void CBattalion::DisableAll() {
    for (POSITION pos = m_units.GetHeadPosition(); pos;) m_units.GetUnit(pos)->m_able = 0;
    m_able = 0;
}

BOOL CBattalion::OrderUnit(CUnit* unit, CObjective* order, BOOL clear, BOOL setCurrent, int busyTicks) {
    if (!unit) {
        delete order;
        return FALSE;
    }
    if (clear) {
        unit->m_steps.DeleteAll();
        unit->m_pending.DeleteAll();
    }
    if (m_grid) {
        CPoint p = m_grid->FindFreePointNear(order->m_x, order->m_y, unit, 10000, FALSE);
        order->m_x = p.x, order->m_y = p.y;
    }
    unit->m_pending.AddHead(order);
    if (setCurrent) {
        unit->m_action.CopyFrom(order);
        unit->m_slot = *order;
    }
    if (clear) unit->m_newOrder = 1;
    unit->m_arrived = 0;
    unit->m_busyCounter = busyTicks;
    return TRUE;
}

BOOL CBattalion::OrderToUnit(int unitNumber, CObjective* order, BOOL clear, BOOL setCurrent, int busyTicks) {
    return OrderUnit(m_units.FindById(unitNumber, TRUE, FALSE), order, clear, setCurrent, busyTicks);
}

CPoint CBattalion::GetCentre() const {
    if (!m_action.HasPoint()) return GetPosition();
    int count = 0, sx = 0, sy = 0;
    const CUnit* only = nullptr;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        const CUnit* u = m_units.GetUnit(pos);
        if (u->m_outOfFormation || u->m_routed) continue;
        ++count;
        only = u;
        CPoint slot = m_action.GetPoint() + SlotPointOf(m_formation, u->m_number, m_action.m_facing);
        int dx = slot.x - u->m_x, dy = slot.y - u->m_y;
        if (!m_halted && (std::abs(dx) > 10 || std::abs(dy) > 10)) sx += dx, sy += dy;
    }
    if (count == 0) return GetPosition();
    if (count == 1) return only->GetPosition();
    return CPoint(m_action.m_x - sx / count, m_action.m_y - sy / count);
}


int CBattalion::GetWeightedCountA(BOOL flag) const {
    int n = m_units.SumA(flag);
    return m_battType == 2 ? 2 * n : m_battType == 4 ? 5 * n : n;
}

int CBattalion::GetWeightedCountB(BOOL flag) const {
    int n = m_units.SumB(flag);
    return m_battType == 2 ? 2 * n : m_battType == 4 ? 5 * n : n;
}

CUnit* CBattalion::GetLeadUnit(BOOL allowInactive, BOOL requireAble, BOOL allowRouted) const {
    CUnit* u = m_units.GetHead();
    if (!u) return nullptr;
    if (!allowInactive && !u->m_active) return nullptr;
    if (requireAble && !u->m_able) return nullptr;
    if (!allowRouted && u->m_routed) return nullptr;
    return u;
}

double CBattalion::GetFightingShare() const {
    int live = 0, fighting = 0;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        const CUnit* u = m_units.GetUnit(pos);
        if (u->m_routed) continue;
        ++live;
        if (u->m_state >= 7 && u->m_state <= 10) ++fighting;
    }
    return live ? double(fighting) / live : 0.0;
}

int CBattalion::CountWatch(bool enemy, WatchZone zone) const {
    int n = 0;
    for (const CUnitList& list : m_watch[enemy ? 0 : 1][zone]) n += list.GetCount();
    return n;
}

int CBattalion::CountEnemyNearFront(BOOL flag) const {
    if (flag && m_units.GetCount(FALSE, TRUE) > 0) return 0;
    return CountWatch(true, ZONE_NEAR_FRONT);
}

BOOL CBattalion::HasEnemyNear(int n) const {
    return CountWatch(true, ZONE_OWN) >= n || CountEnemyNearFront(FALSE) > n;
}

BOOL CBattalion::IsNearHeadquarters() const {
    IBattleArmy* army = m_division ? m_division->GetArmyLink() : nullptr;
    if (!army) return FALSE;
    for (int place = 0; place < 2; ++place) {
        const CKeyPoint* hq = army->GetHeadquarters(place);
        if (!hq || hq->m_currentState == 3 || hq->m_currentState == 4) continue;
        for (POSITION pos = m_units.GetHeadPosition(); pos;) {
            const CUnit* u = m_units.GetUnit(pos);
            if (u->m_routed || u->m_state == 14) continue;
            int64_t dx = u->m_x - hq->m_x, dy = u->m_y - hq->m_y;
            if (dx * dx + dy * dy < 160001) return TRUE;
        }
    }
    return FALSE;
}

void CBattalion::ApplyShock(double severity, double spread) {
    if (severity == 0) return;
    // The spread's range mirrors for a negative spread; its bound is never
    // zero, so -0.01 draws from -1..0 like 0.01 from 0..1.
    int reach = int(spread * 100);
    int bound = std::abs(reach) + 1;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        CUnit* u = m_units.GetUnit(pos);
        if (!u->m_active) continue;
        int r = CountedRand() % bound;
        if (reach < 0) r = -r;
        int sign = CountedRand() % 3 - 1;
        int roll = CountedRand() % 100 + 1;
        if (roll < sign * r - int(severity * -100) && !u->IsMeleeType()) {
            u->m_iconValue = 0;
            u->m_contact = 0;
            u->m_active = 0;
            u->m_able = 0;
            u->m_outOfFormation = 1;
            if (m_grid) m_grid->MoveElement(CRect(-1000, -1000, -1000, -1000), u);
            u->SetPosition(-1000, -1000);
            OnUnitLost(u);
            continue;
        }
        u->ShiftMorale(int(severity * -500));
        u->m_strengthValue = int(severity * 1000);
    }
}

CRect CBattalion::GetBoundsA() const {
    CRect r = m_zones[ZONE_NEAR_FRONT][0];
    r.UnionRect(&r, &m_zones[ZONE_NEAR_FRONT][1]);
    r.UnionRect(&r, &m_zones[ZONE_NEAR_FRONT][2]);
    return r;
}

CRect CBattalion::GetBoundsB() const {
    CRect r = m_zones[ZONE_OWN][0];
    r.UnionRect(&r, &m_zones[ZONE_OWN][1]);
    r.UnionRect(&r, &m_zones[ZONE_OWN][2]);
    return r;
}

void CBattalion::OnUnitLost(CUnit* unit) {
    if (!unit) return;
    if (!unit->m_routed) {
        unit->m_routed = 1;
        --m_liveUnits;
        AdjustMorale(-50.0);
        RenumberUnits();
        if (m_liveUnits <= 0 && m_division) m_division->OnBattalionRouted(this);
    }
    m_activeUnits = m_units.GetCount(FALSE, TRUE);
    m_ableUnits = 0;
    for (POSITION pos = m_units.GetHeadPosition(); pos;)
        if (m_units.GetUnit(pos)->m_able) ++m_ableUnits;
    if (m_activeUnits == 0) m_active = 0;
    if (m_ableUnits == 0) m_able = 0;
    if ((!m_active || !m_able) && m_division) m_division->OnBattalionRouted(this);
}

void CBattalion::NoteMissileHit(int missileValue, CBattalion* shooter) {
    if (missileValue < 128 && m_lowHits < 255) ++m_lowHits;
    m_lastShooter = shooter;
}

int CBattalion::EngageRadiusFor(int orderType, int battType) {
    switch (orderType) {
    case 1: return 500;
    case 2: case 4: case 131072: return battType == 1 ? 600 : 450;
    case 8: case 16: case 256: case 65536: return 300;
    case 32: case 64: case 128: case 1024: case 4096: return 100;
    case 512: case 2048: return 250;
    default: return 0;
    }
}

void CBattalion::SetEngageRadius() { m_engageRadius = EngageRadiusFor(m_standingOrder.m_type, m_battType); }

IBattleDivision* CBattalion::GetDivisionLink() const { return m_division; }

CRect CBattalion::GetAreaRect() const {
    if (m_routed) return CRect();
    CPoint centre(-1000, -1000);
    if (m_liveUnits <= 3) {
        if (const CUnit* first = m_units.FindById(0, TRUE, FALSE)) centre = first->GetPosition();
    } else {
        int n = 0, sx = 0, sy = 0;
        for (POSITION pos = m_units.GetHeadPosition(); pos;) {
            const CUnit* u = m_units.GetUnit(pos);
            if (!u->m_able || u->m_routed) continue;
            ++n, sx += u->m_x, sy += u->m_y;
        }
        centre = n ? CPoint(sx / n, sy / n) : GetPosition();
    }
    int n = m_units.GetCount(TRUE, FALSE);
    if (n == 0) return CRect();
    int half = (m_battType == 1 ? 20 : 15) * n;
    CRect square(centre.x - half, centre.y - half, centre.x + half, centre.y + half);
    CRect order(m_standingOrder.m_extra1, m_standingOrder.m_extra2, m_standingOrder.m_extra3,
                m_standingOrder.m_extra4);
    CRect area;
    return area.UnionRect(&square, &order) ? area : square;
}

int CBattalion::GetHeading() const {
    if (m_halted || !m_standingOrder.HasPoint()) return m_facing;
    int64_t dx = m_standingOrder.m_x - m_x, dy = m_standingOrder.m_y - m_y;
    if (dx * dx + dy * dy <= 2500) return m_standingOrder.m_facing;
    int d = GetDirection(m_x, m_y, m_standingOrder.m_x, m_standingOrder.m_y);
    const IFormation* f = m_division ? m_division->m_action.m_formation : nullptr;
    d = f ? (f->GetSlotCode(m_number, d) & 0xFF) : m_facing;
    int diff = std::abs(d - m_facing);
    return diff < 2 || diff == 7 ? m_facing : d;
}

bool CBattalion::ScalesFor(int battType, int orderType, double v, double a, double b, ZoneScales& out) {
    switch (battType) {
    case 0:
    case 3:
        if (orderType == 2) out = {1.4 * v, v, 0.6 * a, 0.7 * b, 0.7 * b};
        else if (orderType == 4 || orderType == 131072) out = {1.5 * v, v, 0.5 * a, 0.3 * b, 0.3 * b};
        else if (orderType == 65536) out = {1.2, 0.7, 0.8, 1.0, 1.0};
        else if (orderType == 256 || orderType == 32) out = {0.5, 0.3, 0.2, 0.2, 0.2};
        else out = {1.25, 1.0, 0.8, 1.0, 1.0};
        return true;
    case 1:
        if (orderType == 2) out = {1.8 * v, 1.4 * v, 0.3 * a, 0.6 * b, 0.6 * b};
        else if (orderType == 4 || orderType == 131072) out = {1.9 * v, 1.5 * v, 0.3 * a, 0.3 * b, 0.3 * b};
        else if (orderType == 65536) out = {1.2 * v, 0.5 * v, 0.8 * a, b, b};
        else if (orderType == 256 || orderType == 32) out = {0.5, 0.3, 0.2, 0.2, 0.2};
        else out = {1.6, 1.4, 1.0, 1.3, 1.3};
        return true;
    case 2:
    case 4:
        if (orderType == 65536) out = {1.7, 1.0, 0.8, 1.0, 1.0};
        else out = {3.0, 0.1, 1.0, 1.2, 1.2};
        return true;
    default:
        return false;
    }
}

void CBattalion::SetPerimiters(const CRect& rect) {
    if (m_routed) return;
    EmptyWatchLists();
    CRect base = rect.IsRectNull() ? GetAreaRect() : rect;

    // A missing army looks nowhere beyond the battalion's own reach.
    double v = (m_division && m_division->m_army ? m_division->m_army->GetViewValue() : 0.0) + 0.1;
    double a = v, b = v;
    int formation = m_division && m_division->m_formation ? m_division->m_formation->GetNumber() : -1;
    if (formation == 37) a = 0.8 * v, b = 0.3 * v;
    if (formation == 38 || formation == 39) a = b = 0.2 * v;

    ZoneScales s;
    if (!ScalesFor(m_battType, m_standingOrder.m_type, v, a, b, s)) {
        ShowMessage("ERROR: Wrong batt type in CBattalion::SetPerimiters()");
        return;
    }
    int heading = GetHeading();
    auto zone = [&](int offset, double scale, bool frontOnly) {
        CRect r = base.IsRectNull() ? GetAreaRect() : base;
        return Zones::Push(Zones::WidenTo(r, 200, 200), heading + offset, scale, frontOnly);
    };
    CRect zones[ZONE_COUNT];
    zones[ZONE_FAR_FRONT] = zone(0, s.farFront, true);
    zones[ZONE_NEAR_FRONT] = zone(0, s.nearFront, false);
    zones[ZONE_OWN] = Zones::WidenTo(base, base.Width() < 150 ? 200 : 0, base.Height() < 150 ? 200 : 0);
    zones[ZONE_REAR] = zone(4, s.rear, false);
    zones[ZONE_LEFT] = zone(6, s.left, false);
    zones[ZONE_RIGHT] = zone(2, s.right, false);
    for (int z = 0; z < ZONE_COUNT; ++z)
        SplitPerimeter(zones[z].left, zones[z].top, zones[z].right, zones[z].bottom, m_zones[z][0], m_zones[z][1],
                       m_zones[z][2]);
}
