// A division's orders: the pending stack, the plan of steps each order
// becomes, and the step carried out by placing every battalion at its slot
// of the division formation or marching them in column.
#include <algorithm>
#include <cmath>

#include "core/GameTables.h"
#include "core/Helpers.h"
#include "core/PointList.h"
#include "core/Random.h"
#include "field/BattleGrid.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"

namespace {

int64_t Dist2(int x1, int y1, int x2, int y2) {
    int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    return dx * dx + dy * dy;
}

int RoundedDistance(int x1, int y1, int x2, int y2) { return Round(GetDistance(x1, y1, x2, y2, false)); }

CPoint Snap(const CBattleGrid* grid, int x, int y) {
    return grid ? grid->FindNearestPassable(x, y, nullptr, 10000, 200) : CPoint(x, y);
}

CPoint FreePoint(const CBattleGrid* grid, int x, int y, const CArmyElement* e) {
    return grid ? grid->FindFreePointNear(x, y, e, 10000, FALSE) : CPoint(x, y);
}

// Most steps one order may expand into.
constexpr int kMaxPlanSteps = 64;

}  // namespace

int CDivision::PrepareCode(int orderType, int i) {
    switch (orderType) {
    case 1: return 4;
    case 2: return 2;
    case 4: return i == 0 || i == 3 ? 8 : 2;
    case 8: return 65536;
    case 16: return 256;
    case 64: return 32;
    case 128:
    case 1024: return 2048;
    case 256: return 4096;
    default: return 8;
    }
}

void IUnitsArmy::ResendOrder(CDivision* division, CObjective* order) {
    if (division)
        division->ReceiveOrder(order, TRUE);
    else
        delete order;
}

namespace {

// The action a division falls back to under its standing order `t` when it
// has nothing left to do; `keep` for the action as it is.
constexpr int kKeep = -2;
int FallbackAction(int t, int posture) {
    switch (t) {
    case 1: case 2: case 8: case 128: case 1024: case 2048: return t;
    case 16: case 64: return 128;
    default: return t != posture ? 512 : kKeep;
    }
}

}  // namespace

void CDivision::ReceiveOrder(CObjective* order, BOOL clearPlan) {
    // A pass takes the order, or plans the newest pending one; a plan is
    // never empty, so the second pass carries out its first step.
    for (int round = 0; round < 3; ++round) {
        if (m_battalions.GetCount(TRUE) == 0) {
            delete order;
            return;
        }
        if (order) {
            m_pendingOrders.AddHead(order);
            const double share = m_army ? m_army->GetAcknowledgeVolume() : 0.0;
            if (share > 0) PlaySound(OrderTypeToSoundId(order->m_type), 0, int(m_armyValue * share), 10000);
            m_order = *order;
            PrepareOrder(*order);
            order = nullptr;
        }
        if (clearPlan) m_plan.DeleteAll();
        if (CObjective* step = m_plan.PopHead()) {
            m_idle = 0;
            const IFormation* f = m_formationList ? m_formationList->FindByID(step->m_targetId) : nullptr;
            m_action.SetOrder(step, f ? f : m_formation);
            m_action.m_spare = step->m_type;
            delete step;
            m_defensive = m_action.m_type == 128 || m_action.m_type == 512;
            ExecuteStep(m_plan.IsEmpty() && m_pendingOrders.IsEmpty());
            return;
        }
        if (CObjective* pending = m_pendingOrders.PopHead()) {
            PlanOrder(*pending);
            delete pending;
            clearPlan = FALSE;
            continue;
        }
        if (m_resend && m_order.m_type != -1) {
            // Cleared first: the army hands the order straight back here.
            m_resend = m_busy = m_idle = 0;
            auto* copy = new CObjective(&m_order);
            if (m_army)
                m_army->ResendOrder(this, copy);
            else
                ReceiveOrder(copy, TRUE);
            return;
        }
        if (m_clampCounter < 0) m_clampCounter = 0;
        const int t = m_order.m_type;
        const int want = FallbackAction(t, m_army ? m_army->GetPostureFor(this) : -1);
        // A fallback needs somewhere to stand: an action that never had a
        // point stays as it is.
        if (m_action.m_type == (want == kKeep ? t : want) || !m_action.HasPoint()) {
            m_idle = 1, m_turn = 0, m_ready = 1, m_busy = 0;
            return;
        }
        if (want != kKeep) m_action.m_type = want;
        // Planned afresh: the plan holds at least the order itself, so this
        // takes its first step and comes back.
        ReceiveOrder(new CObjective(static_cast<const CObjective*>(&m_action)), TRUE);
        m_turn = 0, m_ready = 1, m_busy = 0;
        return;
    }
}

void CDivision::PlanOrder(const CObjective& source) {
    CObjective order(source);
    if (order.m_type == -1) order.m_type = 2;
    m_plan.DeleteAll();
    if (order.m_type == 256 || order.m_type == 1 || order.m_type == 64 || !m_grid) {
        m_plan.AddTail(new CObjective(order));
        return;
    }
    CPointList path;
    m_grid->FindPath(path, m_x, m_y, order.m_x, order.m_y, TRUE);
    CPoint prev(m_x, m_y);
    int facing = m_facing;
    int steps = 0;
    while (!path.IsEmpty() && steps < kMaxPlanSteps) {
        CPoint w = path.PopHead();
        CPoint p = Snap(m_grid, w.x, w.y);
        bool last = path.IsEmpty() || (p.x == order.m_x && p.y == order.m_y);
        CObjective* step = last ? new CObjective(order)
                                : new CObjective(16, p.x, p.y, order.m_targetId, GetDirection(prev.x, prev.y, p.x, p.y));
        for (; steps < kMaxPlanSteps; ++steps) {
            CObjective* next = ExpandStep(prev.x, prev.y, facing, step);
            m_plan.AddTail(next);
            prev = next->GetPoint();
            facing = next->m_facing;
            if (next == step) break;
        }
        if (last) break;
    }
    if (m_plan.IsEmpty()) m_plan.AddTail(new CObjective(order));
}

CObjective* CDivision::ExpandStep(int x, int y, int facing, CObjective* step) {
    int d = RoundedDistance(x, y, step->m_x, step->m_y);
    int delta = step->m_facing - facing;
    int r = std::abs(delta);
    int half = r == 4 ? (delta > 0 ? 2 : -2) : delta / 2;
    int quarter = NormalizeDirection(facing + half);
    CObjective* made = nullptr;
    if (d < 300) {
        if (r != 4 || step->m_facing < 0 || facing < 0) return step;
        made = new CObjective(*step);
        made->m_facing = quarter;
    } else if (d < 400 || m_formationByte) {
        CPoint p = ScaleToLength(step->m_x - x, step->m_y - y, 200);
        made = new CObjective(step->m_type, x + p.x, y + p.y, step->m_targetId, r == 4 ? quarter : step->m_facing);
    } else {
        int dir = GetDirection(x, y, step->m_x, step->m_y);
        int dd = dir - facing;
        if (std::abs(dd) == 4) {
            made = new CObjective(16, x, y, step->m_targetId, NormalizeDirection(facing + (dd > 0 ? 2 : -2)));
        } else {
            CPoint p = ScaleToLength(step->m_x - x, step->m_y - y, 200);
            made = new CObjective(16, x + p.x, y + p.y, step->m_targetId, dir);
        }
    }
    CPoint snapped = Snap(m_grid, made->m_x, made->m_y);
    if (made->m_facing == facing && snapped == CPoint(x, y)) {
        // Push along the line until the snap moves the step, or give up.
        int covered = 0;
        for (int k = 1; k < 100; ++k) {
            CPoint p = ScaleToLength(step->m_x - x, step->m_y - y, 200 + 50 * k);
            CPoint q = Snap(m_grid, x + p.x, y + p.y);
            if (q != CPoint(x, y)) {
                made->m_x = q.x, made->m_y = q.y;
                return made;
            }
            int now = RoundedDistance(x, y, x + p.x, y + p.y);
            if (Dist2(x + p.x, y + p.y, step->m_x, step->m_y) < 2501 || now <= covered) break;
            covered = now;
        }
        delete made;
        return step;
    }
    made->m_x = snapped.x, made->m_y = snapped.y;
    return made;
}

void CDivision::PrepareOrder(const CObjective& order) {
    if (m_formationList) {
        if (IDivFormation* f = m_formationList->FindByID(order.m_targetId)) m_formation = f;
    }
    for (int i = 0; i < kMaxBattalions; ++i) {
        CBattalion* b = m_battalions.FindByID(i, TRUE, TRUE);
        if (!b) continue;
        int facing = NormalizeDirection(order.m_facing);
        CPoint place = order.GetPoint() + SlotPointOf(m_formation, i, facing);
        int bf = SlotCodeOf(m_formation, i, facing) & 0xFF;
        if (!m_formation) bf = facing;
        if (m_battalions.GetCount(TRUE) == 1) place = order.GetPoint(), bf = facing;
        int value = m_formation ? m_formation->GetSlotValue(i) : b->m_action.m_targetId;
        b->m_prevStandingOrder = m_order;
        b->m_standingOrder = CObjective(PrepareCode(order.m_type, i), place.x, place.y, value, bf);
        b->SetEngageRadius();
    }
}

void CDivision::ExecuteStep(BOOL lastStep) {
    m_marchTimer = 0;
    CBattalion* first = m_battalions.FindByID(0, TRUE, TRUE);
    CUnit* lead = first ? first->GetLeadUnit(TRUE, FALSE, TRUE) : nullptr;
    CPoint start = lead ? lead->GetPosition() : GetPosition();
    if (m_grid && CArmyElement::MoveTo(start.x, start.y, m_action.m_x, m_action.m_y, 0, 3000)) m_marchTimer = 40;
    int units = 0;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) units += m_battalions.GetBattalion(pos)->m_liveUnits;
    int features = CountAreaPoints(m_grid, CRect(m_action.m_x - 150, m_action.m_y - 150, m_action.m_x + 150,
                                                 m_action.m_y + 150));
    if (units > 6 && features < 6)
        PlaceBattalions(lastStep);
    else
        MarchAlongRoute(lastStep);
}

void CDivision::PlaceBattalions(BOOL lastStep) {
    int type = m_action.m_type;
    int code;
    BYTE flag = 1;
    switch (type) {
    case 1: code = m_formation && m_action.m_targetId == m_formation->GetNumber() ? 4 : 2; break;
    case 2: code = 2; break;
    case 8: code = 65536; break;
    case 16: code = 256; break;
    case 64: code = 32; break;
    case 128: code = 2048, flag = 0; break;
    case 256: code = 4096; break;
    case 512: code = 8; break;
    case 1024: code = 2048; break;
    case 2048: code = 8; break;
    default: MarchAlongRoute(lastStep); return;
    }
    if (m_formationList) {
        if (IDivFormation* f = m_formationList->FindByID(m_action.m_targetId)) m_formation = f;
    }
    int facing = NormalizeDirection(m_action.m_facing >= 0 ? m_action.m_facing : m_facing);
    int count = m_battalions.GetCount(TRUE);
    for (int i = 0; i < kMaxBattalions; ++i) {
        CBattalion* b = m_battalions.FindByID(i, TRUE, TRUE);
        if (!b) continue;
        CPoint off = SlotPointOf(m_formation, b->m_number, facing);
        int bf = m_formation ? SlotCodeOf(m_formation, b->m_number, facing) & 0xFF : facing;
        int n = b->m_liveUnits;
        if (n <= 5) {
            int d = Round(std::sqrt(double(off.x) * off.x + double(off.y) * off.y));
            // A zero offset stays: the battalion stands on the target.
            if (d > 0) {
                int k = int(d * n * 0.125);
                off = CPoint(off.x * k / d, off.y * k / d);
            }
        }
        CPoint dest = m_action.GetPoint() + off;
        CPoint slot = m_action.GetPoint() + SlotPointOf(m_formation, i, facing);
        if (count == 1 && (!b->m_standingReached || b->m_action.GetPoint() != slot))
            dest = m_action.GetPoint(), bf = facing;
        CRect r = b->GetAreaRect();
        int hw = r.Width() / 2, hh = r.Height() / 2;
        int value = m_formation ? m_formation->GetSlotValue(i) : -1;
        dest = FreePoint(m_grid, dest.x, dest.y, b);
        auto* o = new CObjective(code, dest.x, dest.y, value, bf, dest.x - hw, dest.y - hh, dest.x + hw, dest.y + hh);
        b->m_objectives.DeleteAll();
        if (lastStep) {
            b->m_standingOrder = *o;
            b->SetEngageRadius();
        }
        b->ReceiveOrder(o, TRUE);
        b->m_divisionOrder = flag;
    }
}

CPoint CDivision::GetColumnPoint(int i, int n, int facing, int x, int y, BOOL flag) const {
    int s = m_routeReady ? 5 * n : 9 * n;
    int dx = 0, dy = 0;
    switch (i) {
    case 0: dy = flag ? -s : s; break;
    case 1: dx = -s; break;
    case 2: dx = s; break;
    default: dy = flag ? s : -s; break;
    }
    if (!SinCosTablesBuilt) BuildSinCosTables();
    int a = (NormalizeDirection(facing) * 45) % 360;
    double c = CosTable[a], sn = SinTable[a];
    return CPoint(x + int(dx * c - dy * sn), y + int(dx * sn + dy * c));
}

void CDivision::MarchAlongRoute(BOOL lastStep) {
    CPoint target = FreePoint(m_grid, m_action.m_x, m_action.m_y, nullptr);
    m_columnByte = 0;
    int facing = NormalizeDirection(m_action.m_facing >= 0 ? m_action.m_facing : m_facing);
    bool flag = m_action.m_type == 16 ? (m_order.m_type > 0 && (m_order.m_type & 0x1C0F)) : true;
    int count = m_battalions.GetCount(TRUE);
    for (int i = 0; i < kMaxBattalions; ++i) {
        CBattalion* b = m_battalions.FindByID(i, TRUE, TRUE);
        if (!b) continue;
        CPoint place = GetColumnPoint(i, b->m_liveUnits, facing, target.x, target.y, flag);
        int bf = m_formation ? SlotCodeOf(m_formation, i, facing) & 0xFF : facing;
        CPoint slot = m_action.GetPoint() + SlotPointOf(m_formation, i, facing);
        if (count == 1 && (!b->m_standingReached || b->m_action.GetPoint() != slot))
            place = m_action.GetPoint(), bf = facing;
        CRect r = b->GetAreaRect();
        int hw = r.Width() / 2, hh = r.Height() / 2;
        int value = m_formation ? m_formation->GetSlotValue(i) : -1;
        place = FreePoint(m_grid, place.x, place.y, b);
        auto* o = new CObjective(PrepareCode(m_action.m_type, i), place.x, place.y, value, bf, place.x - hw,
                                 place.y - hh, place.x + hw, place.y + hh);
        b->m_objectives.DeleteAll();
        if (lastStep) {
            b->m_standingOrder = *o;
            b->SetEngageRadius();
        }
        b->ReceiveOrder(o, TRUE);
        b->m_divisionOrder = 1;
    }
}

CPoint CDivision::GetCentre() const {
    if (!m_action.HasPoint()) return GetPosition();
    int facing = NormalizeDirection(m_action.m_facing >= 0 ? m_action.m_facing : m_facing);
    int considered = 0, sx = 0, sy = 0;
    const CBattalion* only = nullptr;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        const CBattalion* b = m_battalions.GetBattalion(pos);
        if (!b->m_able || !b->m_active || b->m_routed) continue;
        ++considered;
        only = b;
        CPoint slot = m_action.GetPoint() + SlotPointOf(m_formation, b->m_number, facing);
        if (!b->m_standingReached && (std::abs(slot.x - b->m_x) >= 16 || std::abs(slot.y - b->m_y) >= 16))
            sx += slot.x - b->m_x, sy += slot.y - b->m_y;
    }
    if (considered == 1) return only->GetPosition();
    if (considered > 1) return CPoint(m_action.m_x - sx / considered, m_action.m_y - sy / considered);
    int n = 0, ax = 0, ay = 0;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        const CBattalion* b = m_battalions.GetBattalion(pos);
        if (b->m_routed) continue;
        ++n, ax += b->m_x, ay += b->m_y;
    }
    return n ? CPoint(ax / n, ay / n) : GetPosition();
}

void CDivision::UpdateFigures() {
    if (m_busyTimer > 0 && --m_busyTimer == 0) m_busy = 0;
    if (m_flagTimer > 0 && --m_flagTimer == 0) m_flags &= ~(1 << 12);
    int64_t s1 = 0, s2 = 0, s3 = 0, counted = 0;
    bool anyActive = false;
    double front = 0;
    int frontActive = 0;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        const CBattalion* b = m_battalions.GetBattalion(pos);
        if (b->m_active) anyActive = true;
        if (b->m_routed) continue;
        int n = b->m_liveUnits;
        s1 += int64_t(b->m_units.AverageValue()) * n;
        s2 += int64_t(b->m_units.AverageExertion()) * n;
        s3 += int64_t(b->m_units.AverageHeadCount()) * n;
        counted += b->m_units.GetCount(TRUE, TRUE);
        if (b->m_number <= 2) {
            int active = b->m_units.GetCount(FALSE, TRUE);
            front += b->GetFightingShare() * active;
            frontActive += active;
        }
    }
    m_strength1 = counted ? int(s1 / counted) : 0;
    m_strength2 = counted ? int(s2 / counted) : 0;
    m_strength3 = counted ? int(s3 / counted) : 0;
    m_active = anyActive;
    m_contact = frontActive > 0 && front / frontActive > 0.3;
}

BOOL CDivision::Tick() {
    PlaceMarkers();
    if (m_routed) return FALSE;
    if (IsDetachment()) {
        if (m_detachCountdown > 0) {
            // On its last tick of waiting the detachment announces itself;
            // one that does not come waits for good.
            if (m_detachCountdown == 1) ArriveDetachment();
            if (m_detachCountdown > 0) --m_detachCountdown;
            return TRUE;
        }
        if (!(m_army && m_army->GetUnitConditions().detachmentsInPlay) || m_detachCountdown == -1) return TRUE;
    }
    CPoint c = GetCentre();
    SetPosition(c.x, c.y);
    UpdateFigures();
    DropOldHistory();
    if (m_coolDown > 0) --m_coolDown;
    if (m_wait > 0) --m_wait;
    UpdateBehaviour();
    if (m_phase >= 4) {
        UpdatePressure();
        m_phase = 0;
    } else {
        ++m_phase;
    }
    int arrived = 0, stuck = 0, live = 0;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        const CBattalion* b = m_battalions.GetBattalion(pos);
        if (b->m_routed) continue;
        ++live;
        if (b->m_standingReached)
            ++arrived;
        else if (b->m_contact || b->m_column || (b->IsMounted() && b->GetFightingShare() > 0.5))
            ++stuck;
    }
    if (arrived > 0 && arrived + stuck == live && !m_idle) {
        if (const auto* f = dynamic_cast<const IDivFormation*>(m_action.m_formation))
            m_formation = const_cast<IDivFormation*>(f);
        if (m_action.m_facing >= 0) m_facing = NormalizeDirection(m_action.m_facing);
        ReceiveOrder(nullptr, FALSE);
    }
    return TRUE;
}
