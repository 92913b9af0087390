// A unit's tick: its counters, its neighbours, its next step along the way
// it was given, its speed, and the move step that carries it across the
// battle grid without ever entering an occupied or blocked rectangle.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <typeinfo>
#include <vector>

#include "core/ExactMath.h"
#include "core/Helpers.h"
#include "core/PointList.h"
#include "core/Random.h"
#include "field/BattleGrid.h"
#include "field/PathGrid.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/GeneralFigures.h"
#include "Units/Unit.h"

namespace {

int64_t Dist2(int x1, int y1, int x2, int y2) {
    int64_t dx = int64_t(x2) - x1, dy = int64_t(y2) - y1;
    return dx * dx + dy * dy;
}

// The search budget of a unit's route.
constexpr int kRouteBudget = 3000;

}  // namespace

void CUnit::UpdateCoverBonus() {
    m_coverBonus = 0;
    if (!m_grid) return;
    CRect r = m_moveRect;
    r.OffsetRect(m_action.m_x, m_action.m_y);
    if (m_grid->IsRectOccupied(r, this)) m_coverBonus = 2 * m_blockedTicks + 10;
}

BOOL CUnit::IsGroundBlocked(const CRect& rect) const {
    if (!m_grid) return FALSE;
    if (rect.left < 0 || rect.top < 0 || rect.right >= 3000 || rect.bottom >= 2000) return TRUE;
    std::vector<CTerrain*> features;
    m_grid->NotifyElementsInRect(rect, features);
    if (!features.empty()) return TRUE;
    constexpr int kCell = CBattleGrid::kCellSize;
    for (int c = rect.left / kCell; c <= rect.right / kCell; ++c)
        for (int r = rect.top / kCell; r <= rect.bottom / kCell; ++r)
            for (const CRect& o : m_grid->GetCell(c, r).obstacleRects)
                if (o.left <= rect.right && rect.left <= o.right && o.top <= rect.bottom && rect.top <= o.bottom)
                    return TRUE;
    return FALSE;
}

void CUnit::BuildRouteGrid(const CBattleGrid& grid, CPathGrid& out) {
    const CPathGrid* fine = grid.GetFineGrid();
    if (!fine) return;
    CUnit probe;
    probe.m_grid = const_cast<CBattleGrid*>(&grid);
    // The widest body of a unit set, half on each side of the cell.
    constexpr int kHalfW = 14, kHalfH = 16;
    const int w = fine->GetCellWidth(), h = fine->GetCellHeight();
    for (int c = 0; c < fine->GetColumns(); ++c)
        for (int r = 0; r < fine->GetRows(); ++r) {
            BYTE code = fine->GetCode(c, r);
            int cx = c * w + w / 2, cy = r * h + h / 2;
            if ((code == 2 || code == 3) && probe.IsGroundBlocked(CRect(cx - kHalfW, cy - kHalfH, cx + kHalfW, cy + kHalfH)))
                code = 0;
            out.SetCode(c, r, code);
        }
}

CPoint CUnit::FindStandingPoint(int x, int y) const {
    auto clear = [&](int px, int py) {
        CRect r = m_moveRect;
        r.OffsetRect(px, py);
        return !IsGroundBlocked(r);
    };
    if (!m_grid || clear(x, y)) return CPoint(x, y);
    for (int radius = 10; radius <= 200; radius += 10)
        for (int facing = 0; facing < 8; ++facing) {
            CPoint d = GetDirectionVector(facing, radius);
            if (clear(x + d.x, y + d.y)) return CPoint(x + d.x, y + d.y);
        }
    return CPoint(x, y);
}

void CUnit::RefreshNeighbours() {
    if (!m_grid) {
        m_friends.RemoveAll(FALSE);
        m_enemies.RemoveAll(FALSE);
        return;
    }
    CRect r = m_moveRect;
    r.OffsetRect(m_x, m_y);
    r.InflateRect(100, 100);
    static thread_local std::vector<CArmyElement*> near;
    m_grid->GetElementsInRect(r, near);
    // The lists' nodes are reused in order; what is left over goes.
    POSITION at[2] = {m_friends.GetHeadPosition(), m_enemies.GetHeadPosition()};
    CUnitList* lists[2] = {&m_friends, &m_enemies};
    for (CArmyElement* e : near) {
        // Nearly every element is a plain unit: its type is checked before
        // the full cast.
        auto* u = typeid(*e) == typeid(CUnit) ? static_cast<CUnit*>(e) : dynamic_cast<CUnit*>(e);
        if (!u || u == this) continue;
        const int i = e->m_armyId == m_armyId ? 0 : 1;
        if (POSITION pos = at[i]) {
            lists[i]->GetNext(at[i]);
            lists[i]->SetAt(pos, u);
        } else {
            lists[i]->AddTail(u);
        }
    }
    for (int i = 0; i < 2; ++i)
        while (POSITION pos = at[i]) {
            lists[i]->GetNext(at[i]);
            lists[i]->RemoveAt(pos);
        }
}

BOOL CUnit::Tick() {
    CDivision* division = GetDivision();
    if (division && division->IsDetachment() &&
        (division->m_detachCountdown != 0 || !GetArmyConditions().detachmentsInPlay))
        return FALSE;
    if (!m_active) return TRUE;
    if (m_tickCount == 10000) {
        m_tickCount = 0;
        if (m_lastTick > 0) m_lastTick -= 10000;
    }
    if (m_tickCount % 5 == 0 && !m_atSlot) UpdateCoverBonus();
    ++m_tickCount;
    if (m_strikeTimer > 0) --m_strikeTimer;
    m_busyCounter = std::max(0, m_busyCounter - 1);
    if (m_headCount <= 0) return Die();
    if (m_tickCount % 8 == 0 && m_parry < m_parryMax) m_parry = std::min(m_parryMax, m_parry + m_parryMax * 0.25);
    m_meleeLosses = std::max(0, m_meleeLosses - 1);
    UpdateCondition();
    RecomputeParryMax();
    if (m_indexInBattalion % 4 == m_tickCount % 4) RefreshNeighbours();
    CheckRout();
    if (IUnitsArmy* army = GetArmy(); army && army->GetTick() > 24 * 360) {
        SetExertion(GetArmyConditions().exertionRelief ? 3 : 4);
        if (m_exertion > 4900) m_morale -= 1.0;
    }
    // A new order is taken up at once: its place is moved off the woods
    // and walls it may fall on, and its route is planned now.
    if (m_newOrder) {
        m_newOrder = 0;
        if (CObjective* head = m_pending.GetHead(); head && head->HasPoint()) {
            CPoint p = FindStandingPoint(head->m_x, head->m_y);
            if (m_slot.m_x == head->m_x && m_slot.m_y == head->m_y) m_slot.m_x = p.x, m_slot.m_y = p.y;
            if (m_action.m_x == head->m_x && m_action.m_y == head->m_y) m_action.m_x = p.x, m_action.m_y = p.y;
            head->m_x = p.x, head->m_y = p.y;
        }
        m_steps.DeleteAll();
        NextStep(TRUE);
    }
    int b = GetBehaviour();
    if (b != 7 && b != 8 && m_blockedTicks > 15) {
        CObjective copy(m_steps.GetTail() ? m_steps.GetTail() : static_cast<const CObjective*>(&m_action));
        if (b == 5) copy.m_type = 5;
        m_blockedTicks = 0;
        m_steps.DeleteAll();
        if (PlanRoute(copy)) NextStep(TRUE);
    }
    return RunBehaviour(GetBehaviour());
}

BOOL CUnit::RunBehaviour(int code) {
    switch (code) {
    case 0: return Advance();
    case 1: return CloseWithTarget();
    case 2: return Charge();
    case 3: return AttackArea();
    case 4: return FallBack();
    case 5: return Flee();
    case 6: return BackOffStep();
    case 7: return Melee();
    case 8: return ShootBehaviour();
    case 10:
        m_inMelee = 1, m_fleeing = 0;
        AdjustMorale(-5.0);
        return FALSE;
    case 11: return HoldPlace();
    case 12: return StepAside();
    case 15: return Withdraw();
    case 9:
    case 13:
    case 14:
    case 16: return GoToPoint();
    default: return FALSE;
    }
}

BOOL CUnit::PlanRoute(const CObjective& objective) {
    if (!objective.HasPoint()) return FALSE;
    CPointList points;
    if (m_grid && m_routeGrid) {
        // Both ends go to the nearest open cell of the route grid: a unit
        // pressed against a wood, or a goal on the field's edge, still has a way.
        auto nearestOpen = [&](int x, int y) {
            CPoint cell = m_routeGrid->WorldToCell(x, y);
            for (int k = 0; k <= 8; ++k)
                for (int dc = -k; dc <= k; ++dc)
                    for (int dr = -k; dr <= k; ++dr) {
                        int c = cell.x + dc, r = cell.y + dr;
                        if ((std::abs(dc) != k && std::abs(dr) != k) || c < 0 || r < 0 ||
                            c >= m_routeGrid->GetColumns() || r >= m_routeGrid->GetRows() ||
                            !m_routeGrid->IsPassableCell(c, r))
                            continue;
                        return k == 0 ? CPoint(x, y) : m_routeGrid->CellToWorld(c, r);
                    }
            return CPoint(x, y);
        };
        CPoint from = nearestOpen(m_x, m_y), to = nearestOpen(objective.m_x, objective.m_y);
        if (m_grid->GetPathSearch().FindPath(from.x, from.y, to.x, to.y, TRUE, points, *m_routeGrid, kRouteBudget,
                                             nullptr)) {
            if (from != CPoint(m_x, m_y)) points.AddHead(from.x, from.y);
        } else {
            points.RemoveAll();
            if (!m_grid->FindPathForElement(m_x, m_y, objective.m_x, objective.m_y, points, kRouteBudget)) return FALSE;
        }
    } else if (m_grid && m_grid->GetFineGrid()) {
        if (!m_grid->FindPathForElement(m_x, m_y, objective.m_x, objective.m_y, points, kRouteBudget)) return FALSE;
    }
    // Every waypoint but the goal is a step of its own; the objective ends the route.
    while (!points.IsEmpty()) {
        CPoint p = points.PopHead();
        if (Dist2(p.x, p.y, objective.m_x, objective.m_y) <= 25) continue;
        if (m_steps.IsEmpty() && Dist2(p.x, p.y, m_x, m_y) <= 25) continue;
        m_steps.AddTail(new CObjective(objective.m_type == 5 ? 5 : 0, p.x, p.y, -1, -1));
    }
    m_steps.AddTail(new CObjective(&objective));
    return TRUE;
}

void CUnit::NextStep(BOOL force) {
    // A slot copy is pushed at most once a call, so the loop ends.
    for (int round = 0; round < 3; ++round) {
        if (m_steps.IsEmpty()) {
            if (CObjective* next = m_pending.PopHead()) {
                BOOL planned = PlanRoute(*next);
                delete next;
                if (!planned) {
                    if (m_action.m_type == 5 || m_lost) return;
                    SetBehaviour(11);
                    m_routeFailed = 1;
                    return;
                }
            }
        }
        if (!m_active || !m_placed) return;
        if ((round > 0 || !force) && (m_fleeing || m_lost || m_dead)) return;
        if (CObjective* head = m_steps.GetHead()) {
            AdjustMorale(1.0);
            m_atSlot = 0;
            m_action.SetTarget(this, nullptr, FALSE, FALSE);
            int type = head->m_type;
            if (m_kind == KIND_CAPTAIN && type == 2 && (GetBattType() == 2 || GetBattType() == 4)) {
                int order = GetDivisionOrder();
                type = order == 64 || order == 16 ? 0 : 11;
            }
            if (IsMissileKind(m_kind) && (type == 1 || type == 2 || type == 3 || type == 11 || type == 13)) type = 0;
            head->m_type = type;
            m_action.SetOrder(head, m_action.m_formation);
            SetBehaviour(type);
            m_blockedTicks = 0;
            m_headingCheck = 1;
            UpdateCoverBonus();
            m_steps.DeleteHead();
            return;
        }
        int reach = m_coverBonus + int(m_speed);
        if (!m_slot.HasPoint() || Dist2(m_x, m_y, m_slot.m_x, m_slot.m_y) <= int64_t(reach) * reach) {
            m_atSlot = 1;
            m_arrived = 1;
            int b = GetBehaviour();
            if (b == 0 && IsMissileKind(m_kind)) SetBehaviour(11);
            if (b == 7 || b == 8) SetBehaviour(m_slot.m_type == 2 ? 11 : m_slot.m_type);
            if (m_slot.m_type == 2) {
                int order = GetDivisionOrder();
                int t = order == 64 || order == 16 ? 0 : 11;
                SetBehaviour(t);
            }
            return;
        }
        auto* back = new CObjective(&m_slot);
        if (back->m_type == 2) back->m_type = 0;
        m_pending.AddHead(back);
        force = FALSE;
    }
}

void CUnit::SetSpeed(double factor) {
    CDivision* division = GetDivision();
    bool fast = IsMounted() && GetBattType() != 1 && GetBehaviour() != 5 &&
                ((division && division->m_battalions.GetCount() > 1) ||
                 (m_battalion && m_battalion->m_units.GetCount(FALSE, TRUE) >= 2));
    m_speed = fast ? factor * 4.0 : factor * m_baseSpeed;
    if (m_slope > 0)
        --m_readiness;
    else
        ++m_readiness;
    m_speed = m_speed * (1 - 0.5 * m_slope);
    if (m_readiness < 0) m_readiness = 0;
    if (m_onWater) {
        m_speed *= 0.7;
        m_readiness = int8_t(std::max(2, m_readiness - 3));
    }
    if (m_exertion > 4000) m_speed = m_speed * 4000 / m_exertion;
    if (m_speed < 1.0) m_speed = 1.0;
}

void CUnit::BuildReadiness() {
    if (m_readiness < 10)
        m_readiness = int8_t(m_readiness + (IsMounted() ? 2 : 1));
    else
        m_readiness = 10;
}

BOOL CUnit::MeleeStrike(CUnit* target) {
    if (!target) return FALSE;
    m_strikeTimer = 16;
    target->m_strikeTimer = 16;
    m_lastTick = m_tickCount;
    double damage = 0;
    int roll = CountedRand() % 100 + 1;
    if (roll <= GetAttackChance(target)) {
        int strength = std::max(14, int(m_combat * m_condition * m_trainingFactor));
        damage = std::clamp(double(strength / 7), 2.0, 127.0);
        if (target->m_lost) {
            const CPerson* g = target->GetBattalionGeneral();
            if (IsOfficerKind(target->m_kind) && g) {
                int guard = CountedRand() % 100 + 1;
                damage = guard > GeneralFigures::Protection(g) ? damage * 2 : damage / 2;
            } else if (!IsOfficerKind(target->m_kind)) {
                damage *= 5;
            }
        }
        AdjustMorale(3.0);
    }
    m_lastDamage = damage;
    target->TakeBlow(damage, this);
    return damage != 0;
}

void CUnit::GiveWay(CUnit* other) {
    if (!other || !m_atSlot || IsMounted() || other->m_sideId != m_sideId) return;
    int b = GetBehaviour();
    if (b == 2 || b == 4 || b == 5 || b == 7 || b == 12) return;
    m_atSlot = 0;
    SetBehaviour(12);
    CVector step = other->m_heading;
    int side = RandomRange(0, 1, -1);
    step.Rotate(side ? 90 : -90);
    step.Normalize();
    step = step * 10.0;
    int x = m_x + int(step.x), y = m_y + int(step.y);
    CPathGrid* fine = m_grid ? m_grid->GetFineGrid() : nullptr;
    if (!fine || fine->IsPassableAt(x, y)) m_action.m_x = x, m_action.m_y = y;
    m_frame = m_frames.close[0];
}

void CUnit::BackOff(CUnit* other) {
    if (!other || other->GetBehaviour() == 2) return;
    m_atSlot = 0;
    CVector step(double(m_x - other->m_x), double(m_y - other->m_y));
    if (step.x == 0 && step.y == 0) step = GetDirectionOffset(NormalizeDirection(m_facing + 4), 1.0);
    step.Normalize();
    step = step * 10.0;
    m_action.m_x = m_x + int(step.x);
    m_action.m_y = m_y + int(step.y);
    SetBehaviour(6);
}

BOOL CUnit::ReactToAttack(CUnit* attacker) {
    if (!attacker) return FALSE;
    int roll = RandomRange(1, 100, -1);
    if (roll <= GetHoldChance(attacker)) return FALSE;
    if (m_kind != KIND_RIFLEMAN) {
        if (Dist2(m_x, m_y, attacker->m_x, attacker->m_y) <= int64_t(m_reach) * m_reach) {
            if (m_action.SetTarget(this, attacker, TRUE, TRUE)) SetBehaviour(7);
        } else {
            m_action.m_x = attacker->m_x, m_action.m_y = attacker->m_y;
            SetBehaviour(1);
        }
        return TRUE;
    }
    // A rifleman steps back from the attacker, 100 away, and falls back.
    CPoint step = ScaleToLength(m_x - attacker->m_x, m_y - attacker->m_y, 100);
    if (step == CPoint(0, 0)) step = GetDirectionVector(NormalizeDirection(m_facing + 4), 100);
    int x = m_x + step.x, y = m_y + step.y;
    CPathGrid* fine = m_grid ? m_grid->GetFineGrid() : nullptr;
    if (!fine || fine->IsPassableAt(x, y)) m_action.m_x = x, m_action.m_y = y;
    m_action.SetTarget(this, nullptr, FALSE, FALSE);
    SetBehaviour(4);
    return TRUE;
}

BOOL CUnit::Die() {
    m_inMelee = m_fleeing = 0;
    SetSpeed(0);
    bool first = m_frame < std::min(m_frames.death[0], m_frames.death[1]) ||
                 m_frame > std::max(m_frames.death[0], m_frames.death[1]);
    StepFrame(m_frames.death[0], m_frames.death[1]);
    if (first) m_facing = CountedRand() & 7;
    if (m_frame != m_frames.death[1]) return TRUE;
    m_dead = 1;
    m_placed = m_active = 0;
    if (m_battalion) m_battalion->OnUnitLost(this);
    if (m_icon) m_icon->SetId(0);
    for (CUnitList* list : {&m_engagers, &m_engagers2}) {
        while (CUnit* u = list->GetHead()) u->m_action.SetTarget(u, nullptr, FALSE, FALSE);
    }
    m_action.SetTarget(this, nullptr, FALSE, FALSE);
    if (m_icon) {
        m_icon->SetDepth(16005);
        if (m_grid && !m_grid->IsPointFree(m_x, m_y)) m_icon->SetVisible(false);
    }
    if (m_marker) {
        m_marker->MoveTo(-1000, -1000);
        m_marker->SetId(0);
    }
    if (m_grid) m_grid->MoveElement(CRect(-1000, -1000, -1000, -1000), this);
    IUnitsArmy* army = GetArmy();
    CDivision* division = GetDivision();
    bool rifles = m_battalion && m_battalion->m_battType == 4;
    if (IsOfficerKind(m_kind) && m_kind != KIND_CAVALRY && m_battalion) m_battalion->AdjustMorale(rifles ? -500 : -200);
    if ((m_kind == KIND_GENERAL || m_kind == KIND_MARSHALL) && division) division->UpdateBattalionUnits(-400);
    if (m_kind == KIND_MARSHALL && army) army->AdjustMorale(-2000);
    return TRUE;
}

// --- the move step -----------------------------------------------------------

CRect CUnit::GetTestRect() const {
    int b = GetBehaviour();
    bool body = m_blockedTicks < 7 && (b == 1 || b == 2 || b == 4 || b == 6 || b == 7 || b == 8 || b == 9 ||
                                       b == 10 || (b == 5 && !IsMounted()));
    return body ? m_bodyRect : m_moveRect;
}

void CUnit::TurnToward(int facing) {
    facing = NormalizeDirection(facing);
    if (facing == m_facing) return;
    int cw = DirectionDelta(m_facing, facing), ccw = DirectionDeltaCCW(m_facing, facing);
    TurnOneStep(cw < ccw);
}

void CUnit::Rest() {
    SetExertion(-3);
    int lo = std::min(m_frames.death[0], m_frames.death[1]), hi = std::max(m_frames.death[0], m_frames.death[1]);
    bool dying = m_headCount <= 0;
    if (!dying || (m_frames.rest >= lo && m_frames.rest <= hi)) m_frame = m_frames.rest;
}

BOOL CUnit::MoveTo(int firstFrame, int lastFrame, int effort, int x, int y, BOOL backwards, double arriveFactor) {
    if (x == -1000 && y == -1000) x = m_action.m_x, y = m_action.m_y;
    int reach = int(arriveFactor * m_speed) + m_coverBonus;
    if (Dist2(m_x, m_y, x, y) <= int64_t(reach) * reach) {
        if (m_steps.IsEmpty()) {
            int facing = m_action.m_facing;
            if (facing == -1000) facing = GetDirection(m_x, m_y, m_action.m_x, m_action.m_y);
            if (facing >= 0) {
                m_desiredFacing = NormalizeDirection(facing % 8);
                TurnToward(m_desiredFacing);
            }
            if (facing < 0 || NormalizeDirection(facing % 8) == m_facing) NextStep(TRUE);
            Rest();
            return TRUE;
        }
        int before = GetBehaviour();
        NextStep(TRUE);
        x = m_action.m_x, y = m_action.m_y;
        if (GetBehaviour() != before || Dist2(m_x, m_y, x, y) <= int64_t(reach) * reach) return TRUE;
    }
    if (m_headingCheck || m_stepsSinceCheck > 5) {
        if (ChooseHeading(m_speed, x, y)) {
            m_headingCheck = 0;
        } else {
            if (m_blockedTicks < 255) ++m_blockedTicks;
            if (m_heading.x == 0 && m_heading.y == 0) return FALSE;
        }
    }
    int direction;
    if (m_heading.x == 0 && m_heading.y == 0)
        direction = backwards ? 4 : GetDirection(m_x, m_y, m_action.m_x, m_action.m_y);
    else
        direction = m_heading.GetDirection8();
    if (backwards) direction = NormalizeDirection(direction + 4);
    m_desiredFacing = direction;
    ++m_stepsSinceCheck;
    if (direction != m_facing) {
        TurnToward(direction);
        return TRUE;
    }
    if (!StepForward()) return FALSE;
    if (backwards)
        StepFrame(lastFrame, firstFrame);
    else
        StepFrame(firstFrame, lastFrame);
    if (effort > 0 && m_prevHeight > 0 && m_height > 0) {
        int c = effort <= 3 ? 4 : effort <= 6 ? 8 : effort <= 10 ? 12 : 20;
        if (m_slope > 0)
            effort += c;
        else if (m_slope < 0)
            effort -= c / 3;
        effort = std::max(1, effort);
    }
    SetExertion(effort);
    return TRUE;
}

namespace {
// A way ahead, made unit length, turned through several angles: its angle
// is worked out once, and each turn is the vector's own Rotate.
class HeadingProbe {
public:
    explicit HeadingProbe(const CVector& way) {
        CVector unit = way;
        unit.Normalize();
        m_angle = ExactMath::Atan2(unit.y, unit.x);
        m_length = std::sqrt(unit.x * unit.x + unit.y * unit.y);
    }
    HeadingProbe(double angle, double length) : m_angle(angle), m_length(length) {}
    CVector Turned(int degrees) const {
        const double a = m_angle + degrees * 0.017453292;
        return CVector(ExactMath::Cos(a) * m_length, ExactMath::Sin(a) * m_length);
    }
    double Angle() const { return m_angle; }
    double Length() const { return m_length; }

private:
    double m_angle = 0.0;
    double m_length = 0.0;
};

// The point a step to `next` stands on: the exact position truncated, as
// the unit's own position is. A probe, the step's test and the rectangle
// the grid enters must all be placed alike: a rectangle tested a pixel away
// from where it is entered lets the grid refuse a step the test found free,
// and the unit then stands against its neighbour for good.
CPoint StepPoint(const CVector& next) { return CPoint(int(next.x), int(next.y)); }

bool SameBits(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

// The unit's test rectangle one step of `speed` along `way`.
CRect ProbeRect(const CUnit& unit, const CVector& way, double speed) {
    const CVector d = way * speed;
    CRect r = unit.GetTestRect();
    r.OffsetRect(StepPoint(CVector(unit.m_exactPos.x + d.x, unit.m_exactPos.y + d.y)));
    return r;
}
}  // namespace

BOOL CUnit::ChooseHeading(double speed, int x, int y) {
    m_stepsSinceCheck = 0;
    CVector base(double(x) - m_exactPos.x, double(y) - m_exactPos.y);
    int draw = RandomRange(0, 1, -1);
    int s = draw == 1 ? 1 : -1;
    const int angles[8] = {0, 45 * s, -45 * s, 90 * s, -90 * s, 135 * s, -135 * s, 180};
    HeadingMemo& memo = m_headingMemo;
    if (!memo.valid || !SameBits(memo.x, base.x) || !SameBits(memo.y, base.y)) {
        const HeadingProbe fresh(base);
        memo.x = base.x, memo.y = base.y;
        memo.angle = fresh.Angle(), memo.length = fresh.Length();
        memo.probed = memo.turned = 0;
        memo.valid = true;
    }
    const HeadingProbe probe(memo.angle, memo.length);
    for (int i = 0; i < 8; ++i) {
        const int k = (angles[i] + 180) / 45;
        const uint16_t bit = uint16_t(1u << k);
        if (!(memo.probed & bit)) {
            const CVector v = probe.Turned(angles[i]);
            memo.probe[k][0] = v.x, memo.probe[k][1] = v.y;
            memo.probed |= bit;
        }
        // Whatever the grid reports there blocks the way (every report
        // carries 0x2000).
        const CVector way(memo.probe[k][0], memo.probe[k][1]);
        const bool blocked = m_grid && m_grid->IsRectOccupied(ProbeRect(*this, way, speed), this);
        if (!blocked) {
            if (!(memo.turned & bit)) {
                CVector h = base;
                h.Rotate(angles[i]);
                h.Normalize();
                memo.heading[k][0] = h.x, memo.heading[k][1] = h.y;
                memo.turned |= bit;
            }
            m_heading = CVector(memo.heading[k][0], memo.heading[k][1]);
            return TRUE;
        }
    }
    // Nothing is free, the way back included: stand.
    m_heading = CVector();
    return FALSE;
}

DWORD CUnit::ProbeHeading(const CVector& direction, int angle, double speed) const {
    CRect r = ProbeRect(*this, HeadingProbe(direction).Turned(angle), speed);
    return m_grid ? m_grid->GetEnemiesInRect(r, this) : 0;
}

BOOL CUnit::StepForward() {
    CVector h = m_heading;
    h.Normalize();
    CVector next(m_exactPos.x + h.x * m_speed, m_exactPos.y + h.y * m_speed);
    const CPoint p = StepPoint(next);
    CRect r = GetTestRect();
    r.OffsetRect(p);
    // Only an empty rectangle is free (whatever the grid reports there
    // carries 0x2000, a spearman before a horseman too). The step draws
    // once all the same: the count of draws is part of the battle.
    const bool free = !(m_grid && m_grid->IsRectOccupied(r, this));
    (void)RandomRange(1, 10, -1);
    bool inside = next.x >= 0 && next.x < 3000 && next.y >= 0 && next.y < 2000;
    if (free && inside) {
        int sound = GetBattType() == 0 ? 19 : GetBattType() == 1 ? 0 : 22;
        if (GetBattType() == 1 && GetBehaviour() == 2) CountEvent(1);
        CountEvent(sound);
        const CRect& body = r;
        // The grid has the last word: a rectangle it refuses is not entered.
        if (!m_grid || m_grid->MoveElement(body, this)) {
            m_x = p.x, m_y = p.y;
            m_exactPos = next;
            m_fieldRect = body;
            m_blockedSteps = 0;
            m_failedMoves = 0;
            m_headingCheck = 0;
            return TRUE;
        }
    }
    // Blocked: friends in the way are asked to give way, a charge drives
    // others back.
    if (m_grid) {
        CObList own, others;
        m_grid->GetElementsInRect(r, &own, &others, m_armyId);
        if (IsMounted() || m_blockedTicks > 5) {
            for (POSITION pos = own.GetHeadPosition(); pos;)
                if (auto* u = dynamic_cast<CUnit*>(own.GetNext(pos)); u && u != this) u->GiveWay(this);
        }
        if (IsMounted() && GetBehaviour() == 2) {
            for (POSITION pos = others.GetHeadPosition(); pos;) {
                auto* u = dynamic_cast<CUnit*>(others.GetNext(pos));
                if (!u || u == this) continue;
                int roll = CountedRand() % 5 + 1;
                int ub = u->GetBehaviour();
                bool stands = u->m_kind == KIND_SPEARMAN && (ub == 1 || ub == 2 || ub == 7 || ub == 9 || ub == 11) &&
                              DirectionDelta(NormalizeDirection(m_facing), NormalizeDirection(u->m_facing)) == 4;
                if ((roll == 1 || !u->IsMounted()) && !stands) u->BackOff(this);
            }
        }
    }
    if (m_blockedTicks < 255) ++m_blockedTicks;
    ++m_blockedSteps;
    m_failedMoves = m_blockedSteps;
    m_headingCheck = 1;
    return FALSE;
}
