// A battalion's tick and its orders: legs planned from each order, every
// live unit sent to its slot of the battalion formation, or the battalion
// marching in column when the ground is crowded.
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/Helpers.h"
#include "core/Random.h"
#include "field/BattleGrid.h"
#include "field/Terrain.h"
#include "field/TerrainList.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"

namespace {

int64_t Dist2(int x1, int y1, int x2, int y2) {
    int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    return dx * dx + dy * dy;
}

}  // namespace

// Terrain areas of the grid's list B whose anchor point lies in the rectangle.
int CountAreaPoints(const CBattleGrid* grid, const CRect& r) {
    if (!grid) return 0;
    int n = 0;
    for (const CTerrain* t : grid->GetListB())
        if (t->m_x >= r.left && t->m_x < r.right && t->m_y >= r.top && t->m_y < r.bottom) ++n;
    return n;
}

int CountAreaSlots(const CBattleGrid* grid, const CRect& r) {
    if (!grid) return 0;
    int n = 0;
    for (const CTerrain* t : grid->GetListB())
        for (POSITION pos = t->m_slotRoute.GetHeadPosition(); pos;)
            if (r.PtInRect(t->m_slotRoute.GetNext(pos))) ++n;
    return n;
}

namespace {

// The grid's features as a terrain list for the searches that take one;
// the features stay the grid's.
class CBorrowedAreas : public CTerrainList {
public:
    explicit CBorrowedAreas(const std::vector<CTerrain*>& areas) {
        for (CTerrain* t : areas) AddTail(t);
    }
    ~CBorrowedAreas() override { CObList::RemoveAll(); }
};

}  // namespace

bool CBattalion::GroundAllowsDirectOrders() const {
    if ((m_division && m_division->m_routeFlag) || m_units.GetCount(TRUE, FALSE) <= 3) return false;
    CRect area = GetAreaRect();
    // The commander's division of an army keeping to its ground forms up
    // among the features it holds.
    if (m_division && m_division->m_number == 0 && m_division->m_army &&
        m_division->m_army->GetUnitConditions().terrainFlag)
        return CountAreaSlots(m_grid, area) <= 10;
    area.InflateRect(200, 200);
    return CountAreaSlots(m_grid, area) <= 3;
}

void CBattalion::GatherApproachRoute(int x, int y, int facing, CRoute& route) const {
    if (!m_grid) return;
    if (IsMounted()) {
        int reach = m_division && m_division->m_number == 0 ? 150 : m_engageRadius;
        CBorrowedAreas areas(m_grid->GetListB());
        FindApproachPoint(facing, x, y, areas, route, 1, reach, 4, TRUE, 10);
    } else {
        CBorrowedAreas areas(m_grid->GetListA());
        FindApproachPoint(facing, x, y, areas, route, 1, m_engageRadius, 0, FALSE, 10);
    }
}

int CBattalion::ColumnSpacing(int liveUnits) {
    static constexpr int kSpacing[11] = {0, 70, 70, 70, 70, 120, 120, 120, 200, 200, 200};
    return kSpacing[std::clamp(liveUnits, 0, 10)];
}

void CBattalion::UpdateFlags() {
    int active = 0, contact = 0, live = 0;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        const CUnit* u = m_units.GetUnit(pos);
        if (!u->m_routed) ++live;
        if (!u->m_active) continue;
        ++active;
        if (u->m_contact) ++contact;
    }
    m_active = active != 0;
    m_contact = active && contact >= 0.2 * active;
    const UnitArmyConditions army =
        m_division && m_division->m_army ? m_division->m_army->GetUnitConditions() : UnitArmyConditions{};
    m_contactMin = 1;
    if (!army.opponentRouted && army.balance <= 0.85f) m_contactMin = std::max(1, live / 3);
}

void CBattalion::UpdateExposure() {
    if (IsMissileBattalion()) {
        m_nearbyEnemies.RemoveAll(FALSE);
        if (!m_grid) return;
        int half = m_battType == 2 ? 300 : 600;
        static thread_local std::vector<CArmyElement*> near;
        m_grid->GetElementsInRect(CRect(m_x - half, m_y - half, m_x + half, m_y + half), near);
        for (CArmyElement* e : near)
            if (e->m_armyId != m_ownerNumber)
                if (auto* u = dynamic_cast<CUnit*>(e); u && u->m_active) m_nearbyEnemies.AddTail(u);
        m_exposure = m_nearbyEnemies.GetCount(TRUE, TRUE) ? 1.0 : 0.0;
        return;
    }
    int a = m_units.GetCount(FALSE, TRUE), b = m_units.GetCount(TRUE, TRUE);
    m_exposure = a + b ? 1.0 - double(a) / (a + b) : 0.0;
}

void CBattalion::KeepLeaderBehind() {
    if (!IsMissileBattalion() || m_routed) return;
    CUnit* u0 = m_units.FindById(0, TRUE, FALSE);
    CUnit* u1 = m_units.FindById(1, TRUE, FALSE);
    if (!u0 || !u1 || u0->m_routed || u1->m_routed || u0->m_mode == 5 || !u0->IsMeleeType()) return;
    if (Dist2(u0->m_action.m_x, u0->m_action.m_y, u1->m_x, u1->m_y) <= 2500) return;
    CPoint back = GetDirectionVector(NormalizeDirection(m_action.m_facing), 50);
    auto* order = new CObjective(&u0->m_action);
    order->m_x = u1->m_x - back.x, order->m_y = u1->m_y - back.y;
    OrderUnit(u0, order, TRUE, TRUE, 10);
}

BOOL CBattalion::Tick() {
    if (m_division && m_division->IsDetachment() &&
        (m_division->m_detachCountdown != 0 ||
         !(m_division->m_army && m_division->m_army->GetUnitConditions().detachmentsInPlay)))
        return FALSE;
    if (m_routed || !m_able || m_units.GetCount(TRUE, FALSE) == 0) return FALSE;
    CPoint c = GetCentre();
    SetPosition(c.x, c.y);
    UpdateFlags();
    if (m_holdCountdown > 0) {
        --m_holdCountdown;
        m_busy = 1;
    } else {
        m_busy = 0;
    }
    UpdateBehaviour();
    KeepLeaderBehind();
    if (m_tickPhase == 4) {
        if (m_lowHits > 0) --m_lowHits;
        UpdateExposure();
        m_tickPhase = 0;
    } else {
        ++m_tickPhase;
    }
    int live = 0, arrived = 0;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        const CUnit* u = m_units.GetUnit(pos);
        if (u->m_routed) continue;
        ++live;
        if (u->m_arrived) ++arrived;
    }
    m_noUnits = live == 0;
    double threshold = m_standingOrder.m_type == 32 ? 0.25 : double(0.6f);
    if (live > 0 && double(arrived) / live >= threshold) {
        m_facing = m_action.m_facing >= 0 ? m_action.m_facing : m_facing;
        m_formation = dynamic_cast<IBattFormation*>(const_cast<IFormation*>(m_action.m_formation));
        if (!m_formation && m_formationList) m_formation = m_formationList->FindByID(m_action.m_targetId);
        ReceiveOrder(nullptr, FALSE);
    }
    return TRUE;
}

CObjective* CBattalion::PlanLeg(int x, int y, int facing, CObjective* order) const {
    (void)facing;
    if (order->m_type == 131072 && Dist2(x, y, order->m_x, order->m_y) > 90000) {
        CVector v(double(x - order->m_x), double(y - order->m_y));
        v.Normalize();
        int ax = order->m_x + int(v.x * 200), ay = order->m_y + int(v.y * 200);
        return new CObjective(256, ax, ay, order->m_targetId, GetDirection(x, y, ax, ay));
    }
    return order;
}

void CBattalion::ReceiveOrder(CObjective* order, BOOL replace) {
    if (m_units.GetCount(TRUE, FALSE) == 0) {
        delete order;
        return;
    }
    m_orderSeen = 0;
    if (order) {
        m_incoming.AddHead(order);
        m_standingReached = 0;
    }
    if (replace) {
        bool runsOn = false;
        if (order && order->m_type == m_prevStandingOrder.m_type && m_prevStandingOrder.HasPoint() &&
            Round(GetDistance(m_prevStandingOrder.m_x, m_prevStandingOrder.m_y, order->m_x, order->m_y, false)) < 200 &&
            order->m_facing == m_prevStandingOrder.m_facing) {
            // Some of the live units are still fighting.
            runsOn = GetFightingShare() > 0;
        }
        m_objectives.DeleteAll();
        if (runsOn) {
            m_divisionOrder = 1;
            return;
        }
    }
    // Legs are planned and taken in turn; each round takes one step.
    for (int round = 0; round < 4; ++round) {
        if (m_units.GetCount(TRUE, FALSE) == 0) return;
        CObjective* leg = m_objectives.PopHead();
        if (!leg) {
            CObjective* next = m_incoming.PopHead();
            if (!next) {
                m_standingReached = 1;
                if (m_divisionOrder && m_standingOrder.m_type != -1) {
                    auto* copy = new CObjective(&m_standingOrder);
                    SetEngageRadius();
                    m_incoming.DeleteAll();
                    m_divisionOrder = 0;
                    m_intakeSource = 1;
                    m_busy = 0;
                    m_holdCountdown = 0;
                    m_incoming.AddHead(copy);
                    continue;
                }
                int idle = m_standingOrder.m_type == 2048                                   ? 2048
                           : (m_standingOrder.m_type > 0 && (m_standingOrder.m_type & (2 | 131072))) ? 2
                                                                                                     : 8;
                m_busy = 0;
                m_holdCountdown = 0;
                if (m_action.m_type == idle) {
                    m_halted = 1;
                    return;
                }
                m_action.m_type = idle;
                // A battalion that never had a place holds the one it stands on.
                if (!m_action.HasPoint()) {
                    m_action.m_x = m_x, m_action.m_y = m_y;
                    if (m_action.m_facing < 0) m_action.m_facing = m_facing;
                }
                m_incoming.AddHead(new CObjective(static_cast<const CObjective*>(&m_action)));
                continue;
            }
            m_objectives.DeleteAll();
            CPoint from = GetCentre();
            int facing = m_facing;
            for (int legs = 0; legs < 4; ++legs) {
                CObjective* planned = PlanLeg(from.x, from.y, facing, next);
                m_objectives.AddTail(planned);
                if (planned == next) break;
                from = planned->GetPoint();
                facing = planned->m_facing;
            }
            continue;
        }
        const IBattFormation* formation = m_formationList ? m_formationList->FindByID(leg->m_targetId) : nullptr;
        if (!formation) formation = m_formation;
        m_action.SetOrder(leg, formation);
        m_action.m_spare = leg->m_type;
        m_halted = 0;
        delete leg;
        int type = m_action.m_type;
        bool mounted = m_battType == 2 || m_battType == 4;
        int code;
        switch (type) {
        case 2: case 65536: case 131072: code = mounted ? 11 : 1; break;
        case 4: code = mounted ? 11 : 2; break;
        case 8: code = 11; break;
        case 32: case 256: code = 0; break;
        case 2048: code = 3; break;
        case 4096: code = 5; break;
        default: return;
        }
        if (type != 4096 && !GroundAllowsDirectOrders()) {
            MarchInColumn(type == 2048 ? 11 : code, m_action.m_x, m_action.m_y);
            return;
        }
        for (POSITION pos = m_units.GetHeadPosition(); pos;) {
            CUnit* u = m_units.GetUnit(pos);
            if (u->m_routed) continue;
            CPoint slot = m_action.GetPoint() + SlotPointOf(formation, u->m_number, NormalizeDirection(m_action.m_facing));
            int facing = SlotCodeOf(formation, u->m_number, NormalizeDirection(m_action.m_facing)) & 0xFF;
            if (!formation) facing = NormalizeDirection(m_action.m_facing);
            OrderUnit(u, new CObjective(code, slot.x, slot.y, -1, facing), TRUE, TRUE, 10);
        }
        return;
    }
}

void CBattalion::MarchInColumn(int unitCode, int x, int y) {
    int order = m_division ? m_division->m_order.m_type : -1;
    m_column = order > 0 && (order & (128 | 512)) ? 1 : 0;
    int live = m_units.GetCount(TRUE, FALSE);
    int base = ColumnSpacing(live);
    int facing = NormalizeDirection(m_action.m_facing);
    CRoute route;
    int routePoints = 0, stride = 0, onRoute = 0;
    for (int i = 0; i < live; ++i) {
        CUnit* u = m_units.FindById(i, FALSE, FALSE);
        if (!u || u->m_routed) continue;
        if (i == 0) {
            OrderUnit(u, new CObjective(unitCode, x, y, -1, facing), TRUE, TRUE, 10);
            if (m_column) {
                GatherApproachRoute(x, y, facing, route);
                if (route.IsEmpty()) {
                    m_column = 0;
                } else {
                    routePoints = route.GetCount();
                    stride = routePoints / live;
                }
            }
            continue;
        }
        if (m_column && !route.IsEmpty() && onRoute < routePoints) {
            // Every follower takes one place in `stride` along the route.
            CPoint place = route.PopFront();
            if (onRoute > 0)
                for (int skip = 1; skip < stride && !route.IsEmpty(); ++skip) place = route.PopFront();
            ++onRoute;
            OrderUnit(u, new CObjective(unitCode, place.x, place.y, -1, facing), TRUE, TRUE, 10);
            continue;
        }
        int d = Round(GetDistance(u->m_x, u->m_y, x, y, false));
        if (d > 25 * i - 205 + base) {
            CPoint off = GetColumnPoint(x, y, u->m_x, u->m_y, facing, i % 2 == 0 ? 25 : 50);
            OrderUnit(u, new CObjective(unitCode, x + off.x, y + off.y, -1, facing), TRUE, TRUE, 10);
        } else if (u->m_state == -1) {
            OrderUnit(u, new CObjective(unitCode, u->m_x, u->m_y, -1, facing), TRUE, TRUE, 10);
        }
    }
}

CPoint CBattalion::GetColumnPoint(int x, int y, int unitX, int unitY, int facing, int s) const {
    int h = s / 2, d = int(0.7 * s);
    facing = NormalizeDirection(facing);
    if (facing % 2 == 0) {
        int c = RandomRange(10, h, -1);
        int l = RandomRange(20, s, -1);
        int r = RandomRange(1, 100, -1);
        bool vertical = facing == 0 || facing == 4;
        int across = vertical ? unitX - x : unitY - y;
        int e = std::min(80, std::abs(across));
        int ownSide = across > 0 ? 1 : -1;
        int side = r < e ? -ownSide : ownSide;
        int along = facing == 0 || facing == 6 ? l : -l;
        return vertical ? CPoint(side * c, along) : CPoint(along, side * c);
    }
    int p = RandomRange(15, d, -1);
    int q = RandomRange(15, d, -1);
    switch (facing) {
    case 1: return CPoint(-p, q);
    case 3: return CPoint(-p, -q);
    case 5: return CPoint(p, -q);
    default: return CPoint(p, q);
    }
}
