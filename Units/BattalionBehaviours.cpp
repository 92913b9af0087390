// A battalion's behaviours: what it does each tick about the enemy its watch
// zones hold. It advances on an enemy before it, sends its units at the
// enemy of one zone, answers the shooters that harass it, spreads its units
// over the enemies they fight, and goes back to its post when it has strayed
// beyond its engage radius. Orders go to the battalion itself as a new leg
// or straight to its units.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "core/Helpers.h"
#include "core/Random.h"
#include "field/BattleGrid.h"
#include "field/ZoneGrid.h"
#include "field/Terrain.h"
#include "Units/Battalion.h"
#include "Units/DivList.h"
#include "Units/Division.h"
#include "Units/Unit.h"

namespace {

int64_t Dist2(CPoint a, CPoint b) {
    int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    return dx * dx + dy * dy;
}

int64_t Square(int64_t v) { return v * v; }

CPoint Centre(const CRect& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

// One counted draw: an offset of up to 100 either way.
int Scatter() { return CountedRand() % 201 - 100; }

// A rectangle of `size`'s width and height centred on `c`.
CRect CentredOn(const CRect& size, CPoint c) {
    int hw = size.Width() / 2, hh = size.Height() / 2;
    return CRect(c.x - hw, c.y - hh, c.x + hw, c.y + hh);
}

// The three parts of a zone together, less a third of their width and
// height on every side.
CRect ShrunkUnion(const CRect (&parts)[3]) {
    CRect r = parts[0];
    r.UnionRect(&r, &parts[1]);
    r.UnionRect(&r, &parts[2]);
    int dx = r.Width() / 3, dy = r.Height() / 3;
    return CRect(r.left + dx, r.top + dy, r.right - dx, r.bottom - dy);
}

bool IsFootType(int battType) { return battType == 0 || battType == 1 || battType == 3; }

}  // namespace

int CBattalion::GetDivisionOrderType() const { return m_division ? m_division->m_order.m_type : -1; }

BOOL CBattalion::InContact(WatchZone zone, bool waiver) const {
    int enemies = CountWatch(true, zone), friends = CountWatch(false, zone);
    if (enemies == 0 || enemies < m_contactMin) return FALSE;
    if (waiver) {
        int order = GetDivisionOrderType();
        if (order == 512 || order == 128) return TRUE;
    }
    return friends <= 20 && friends / enemies < 3;
}

int CBattalion::GetMajorityZone() const {
    const CZoneGrid* zones = m_grid ? m_grid->GetZoneGrid() : nullptr;
    int n0 = 0, n75 = 0, n150 = 0;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        const CUnit* u = m_units.GetUnit(pos);
        if (!u->m_able) continue;
        int z = zones ? zones->GetZone(u->m_x, u->m_y) : 0;
        if (z == 0) ++n0;
        else if (z == 75) ++n75;
        else if (z == 150) ++n150;
    }
    if (n0 > n75 && n0 > n150) return 0;
    if (n75 > n150) return 75;
    if (n150 > 0) return 150;
    return 200;
}

CPoint CBattalion::GetDirectionPoint(const CRect& rect, double scale) const {
    CPoint c = Centre(rect);
    return CPoint(m_x + int(scale * (c.x - m_x)), m_y + int(scale * (c.y - m_y)));
}

CPoint CBattalion::GetEnemyPoint(WatchZone zone) const {
    CUnitList seen;
    int n = 0;
    int64_t sx = 0, sy = 0;
    for (const CUnitList& part : m_watch[0][zone])
        for (POSITION pos = part.GetHeadPosition(); pos;) {
            CUnit* u = part.GetUnit(pos);
            if (seen.Find(u)) continue;
            seen.AddTail(u);
            // Routed ones count; those gone from the field do not.
            if (!u->m_able || !u->m_active || u->m_x < 0) continue;
            ++n, sx += u->m_x, sy += u->m_y;
        }
    seen.RemoveAll(FALSE);
    if (n == 0) return CPoint(-1000, -1000);
    return CPoint(int(sx / n), int(sy / n));
}

void CBattalion::UpdateBehaviour() {
    if (!m_able || m_routed) return;
    AnswerMissileFire();
    if (AssaultHeadquarters()) WarnHeadquartersInDanger();
    AttackEnemyLeader();
    CaptureKeyPoints();
    AttackNearbyLeaders();
    SpreadAttacks();
    if (m_busy) {
        if (m_action.m_type == 4) BusyAttack();
        return;
    }

    // The standing point: a battalion that has reached it and strayed
    // beyond its engage radius goes back, unless its own ground is pressed.
    const CObjective& post = m_standingOrder;
    if (post.HasPoint()) {
        CPoint centre = Centre(GetAreaRect());
        if (m_standingReached) {
            if (Dist2(centre, post.GetPoint()) > Square(m_engageRadius)) {
                if (InContact(ZONE_OWN, true))
                    EngageOwnGround();
                else
                    MoveToPoint(post.m_x, post.m_y);
                return;
            }
        } else if (Dist2(centre, post.GetPoint()) <= 10000) {
            const CZoneGrid* zones = m_grid ? m_grid->GetZoneGrid() : nullptr;
            if ((zones ? zones->GetZone(post.m_x, post.m_y) : 0) == GetMajorityZone()) m_standingReached = 1;
        }
    }

    if (IsFootType(m_battType))
        SelectFoot();
    else if (IsMissileBattalion())
        SelectMounted();
}

// Whether the division's order keeps the battalion from engaging its own
// ground and flanks: an all-out attack or a move still under way, a regroup.
bool CBattalion::IsHeldByDivision() const {
    int order = GetDivisionOrderType();
    if (order == 1 && !m_standingReached) return true;
    if (order == 16 && (!(m_division && m_division->m_idle) || !m_standingReached)) return true;
    return order > 0 && (order & 64);
}

CPoint CBattalion::GetUnitCentre() const {
    int n = 0;
    int64_t sx = 0, sy = 0;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        const CUnit* u = m_units.GetUnit(pos);
        if (!u->m_able || u->m_routed) continue;
        ++n, sx += u->m_x, sy += u->m_y;
    }
    return n ? CPoint(int(sx / n), int(sy / n)) : CPoint(-1000, -1000);
}

bool CBattalion::IsNearPost(int distance) const {
    if (!m_standingOrder.HasPoint()) return false;
    CPoint c = GetUnitCentre();
    if (c == CPoint(-1000, -1000)) return false;
    return Dist2(c, m_standingOrder.GetPoint()) <= Square(distance);
}

bool CBattalion::RunFirst(std::initializer_list<ZoneRule> rules) {
    for (const ZoneRule& r : rules)
        if (InContact(r.zone, r.waiver)) {
            (this->*r.act)();
            return true;
        }
    return false;
}

void CBattalion::SelectFoot() {
    using B = CBattalion;
    const ZoneRule own{ZONE_OWN, true, &B::EngageOwnGround}, ownNear{ZONE_OWN, true, &B::EngageNearFront},
        left{ZONE_LEFT, false, &B::EngageLeft}, right{ZONE_RIGHT, false, &B::EngageRight},
        rear{ZONE_REAR, false, &B::EngageRear}, nearAdvance{ZONE_NEAR_FRONT, false, &B::AdvanceNear},
        farAdvance{ZONE_FAR_FRONT, false, &B::AdvanceFar};
    switch (m_standingOrder.m_type) {
    case 1:
    case 2:
    case 4:
        if (RunFirst({farAdvance, {ZONE_NEAR_FRONT, false, m_battType == 3 ? &B::EngageNearFront : &B::AdvanceFar}}))
            return;
        if (!IsHeldByDivision()) RunFirst({own, left, right, rear});
        return;
    case 256:
    case 32:
        if (IsHeldByDivision()) return;
        if (IsNearPost(200))
            RunFirst({nearAdvance, ownNear, left, right});
        else
            RunFirst({ownNear});
        return;
    case 8:
        if (IsNearPost(200))
            RunFirst({nearAdvance, ownNear, left, right, rear});
        else
            RunFirst({ownNear});
        return;
    case 512: RunFirst({{ZONE_NEAR_FRONT, false, &B::EngageNearFront}, own, rear}); return;
    case 65536:
        if (InContact(ZONE_NEAR_FRONT) || InContact(ZONE_OWN, true) || InContact(ZONE_LEFT) || InContact(ZONE_RIGHT))
            return FallBackBeforeContact();
        RunFirst({{ZONE_FAR_FRONT, false, &B::EngageNearFront}, rear});
        return;
    case 131072:
        if (m_action.m_spare != 131072) {
            if ((InContact(ZONE_FAR_FRONT) || InContact(ZONE_NEAR_FRONT)) && !InContact(ZONE_OWN, true)) AdvanceFar();
            return;
        }
        if (RunFirst({farAdvance, {ZONE_NEAR_FRONT, false, &B::AdvanceFar}})) return;
        if (!IsHeldByDivision()) RunFirst({own, left, right, rear});
        return;
    case 2048: RunFirst({rear}); return;
    default: return;
    }
}

void CBattalion::SelectMounted() {
    using B = CBattalion;
    const ZoneRule own{ZONE_OWN, true, &B::EngageOwnGround}, nearFront{ZONE_NEAR_FRONT, false, &B::EngageNearFront},
        left{ZONE_LEFT, false, &B::EngageLeft}, right{ZONE_RIGHT, false, &B::EngageRight},
        rear{ZONE_REAR, false, &B::EngageRear};
    switch (m_standingOrder.m_type) {
    case 1:
    case 2:
    case 4: RunFirst({nearFront, own, left, right, rear}); return;
    case 8: RunFirst({{ZONE_OWN, true, &B::EngageNearFront}, left, right, rear}); return;
    case 512:
        // The rear is answered in the same tick as the front.
        RunFirst({nearFront, own});
        RunFirst({rear});
        return;
    case 2048:
        RunFirst({own});
        RunFirst({rear});
        return;
    case 131072:
        if (m_action.m_spare != 131072) {
            if (InContact(ZONE_FAR_FRONT) && !InContact(ZONE_NEAR_FRONT) && !InContact(ZONE_OWN, true)) AdvanceFar();
            return;
        }
        RunFirst({{ZONE_FAR_FRONT, false, &B::AdvanceFar}, nearFront, own, left, right, rear});
        return;
    default: return;
    }
}

// Falling back before contact: toward the rear, kept off the field's
// edges; with the army's own edge close behind, the battalion fights where
// it stands.
void CBattalion::FallBackBeforeContact() {
    CPoint p = GetDirectionPoint(m_zones[ZONE_REAR][1], 0.8);
    int armyFacing = m_division && m_division->m_army ? m_division->m_army->GetUnitConditions().facing : 2;
    if (armyFacing == 2 || armyFacing == 6) {
        int y = std::clamp(int(p.y), 200, 1800);
        if (y != p.y) p.x += armyFacing == 2 ? -200 : 200;
        p.y = y;
        if ((armyFacing == 2 && p.x < 350) || (armyFacing == 6 && p.x > 2650)) return EngageOwnGround();
    }
    MoveToPoint(p.x, p.y);
}

int CBattalion::PickPart(WatchZone zone) const {
    int pick = 1;
    for (int part = 0; part < 3; ++part)
        if (m_watch[0][zone][part].GetCount() > 1.3 * m_watch[0][zone][pick].GetCount()) pick = part;
    return pick;
}

CUnit* CBattalion::TargetFor(CUnit* unit, const CRect& area, CUnitList& enemies) const {
    // Shooters pick only what they can reach; the others close with anyone.
    CUnit* t = unit->ChooseTarget(area, &enemies, CUnit::IsMissileKind(unit->m_kind) ? FALSE : TRUE);
    // The watch lists are refreshed a division at a time: the list's first
    // unit, the choice of last resort, may have fallen or left the field.
    if (t && (!t->m_active || t->m_headCount <= 0 || t->m_x < 0 || t->m_y < 0)) return nullptr;
    return t;
}

// The slot of `unit` in the battalion's formation where the battalion stands.
CPoint CBattalion::OwnSlot(const CUnit* unit) const {
    return GetPosition() + SlotPointOf(m_formation, unit->m_number, NormalizeDirection(m_facing));
}

// A unit that has strayed from its slot by more than its arrival distance
// goes back to hold it; in a battalion of three or fewer it rallies instead.
void CBattalion::SendToSlot(CUnit* unit) {
    if (m_units.GetCount(FALSE, TRUE) <= 3) return Regroup(unit);
    CPoint slot = OwnSlot(unit);
    int reach = int(unit->m_speed) + unit->m_coverBonus;
    if (Dist2(unit->GetPosition(), slot) > Square(reach))
        OrderUnit(unit, new CObjective(11, slot.x, slot.y, -1, NormalizeDirection(m_facing)), TRUE, FALSE, 10);
}

void CBattalion::Engage(WatchZone zone) {
    const int part = PickPart(zone);
    const CRect& area = m_zones[zone][part];
    if (zone != ZONE_OWN && m_standingReached && m_standingOrder.HasPoint()) {
        int leash = std::max(0, m_engageRadius - 50);
        if (Dist2(Centre(area), m_standingOrder.GetPoint()) > Square(leash)) return;
    }
    CUnitList& enemies = m_watch[0][zone][part];
    enemies.ClearMarks();
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        CUnit* u = m_units.GetUnit(pos);
        if (u->IsOutOfAction()) continue;
        CUnit* target = TargetFor(u, area, enemies);
        if (!target && zone == ZONE_REAR && m_grid) {
            // Behind the battalion any enemy close to the unit will do.
            CObList own, others;
            m_grid->GetElementsInRect(CRect(u->m_x - 150, u->m_y - 150, u->m_x + 150, u->m_y + 150), &own, &others,
                                      m_ownerNumber);
            for (POSITION e = others.GetHeadPosition(); e && !target;)
                if (auto* c = dynamic_cast<CUnit*>(others.GetNext(e)); c && c->m_active) target = c;
        }
        if (target) {
            int x = target->m_x, y = target->m_y;
            if (zone != ZONE_LEFT) {
                x += Scatter();
                y += Scatter();
            }
            int facing = GetDirection(u->m_x, u->m_y, target->m_x, target->m_y);
            OrderUnit(u, new CObjective(1, x, y, -1, facing), TRUE, FALSE, 50);
        } else if (zone == ZONE_OWN) {
            SendToSlot(u);
        }
    }
    enemies.ClearMarks();
}

void CBattalion::EngageNearFront() { Engage(ZONE_NEAR_FRONT); }
void CBattalion::EngageOwnGround() { Engage(ZONE_OWN); }
void CBattalion::EngageRear() { Engage(ZONE_REAR); }
void CBattalion::EngageLeft() { Engage(ZONE_LEFT); }
void CBattalion::EngageRight() { Engage(ZONE_RIGHT); }

void CBattalion::BusyAttack() {
    const int part = PickPart(ZONE_OWN);
    const CRect& area = m_zones[ZONE_OWN][part];
    CUnitList& enemies = m_watch[0][ZONE_OWN][part];
    enemies.ClearMarks();
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        CUnit* u = m_units.GetUnit(pos);
        if (u->IsOutOfAction() || !u->m_arrived) continue;
        if (CUnit* target = TargetFor(u, area, enemies)) {
            int x = target->m_x + Scatter();
            int y = target->m_y + Scatter();
            int facing = GetDirection(u->m_x, u->m_y, target->m_x, target->m_y);
            OrderUnit(u, new CObjective(1, x, y, -1, facing), TRUE, FALSE, 50);
        } else {
            SendToSlot(u);
        }
    }
    enemies.ClearMarks();
}

// A new leg of type 4 toward `goal`, with a hold of `hold` ticks.
void CBattalion::AdvanceTo(CPoint goal, const CRect& goalRect, int facing, int hold) {
    m_incoming.DeleteAll();
    int formation = m_formation ? m_formation->GetNumber() : -1;
    ReceiveOrder(new CObjective(4, goal.x, goal.y, formation, facing, goalRect.left, goalRect.top, goalRect.right,
                                goalRect.bottom),
                 TRUE);
    if (CountedRand() % 3 + 1 == 3) {
        bool local = m_division && m_division->m_army && m_division->m_army->GetUnitConditions().localPlayer;
        PlaySound(9, 0, int(m_armyValue * (local ? 0.95 : 0.9)), 10000);
    }
    m_divisionOrder = 1;
    m_busy = 1;
    m_holdCountdown = hold;
}

void CBattalion::AdvanceNear() {
    if (m_busy) return;
    m_intakeSource = 4;
    CRect goalRect(CObjective::kUnset, CObjective::kUnset, CObjective::kUnset, CObjective::kUnset);
    CPoint enemy = GetEnemyPoint(ZONE_NEAR_FRONT);
    if (enemy.x != -1000 || enemy.y != -1000) goalRect = CentredOn(GetAreaRect(), enemy);
    CPoint goal = GetDirectionPoint(ShrunkUnion(m_zones[ZONE_NEAR_FRONT]), 1.0);
    if (m_standingReached && m_standingOrder.HasPoint() &&
        Dist2(goal, m_standingOrder.GetPoint()) > Square(m_engageRadius + 50))
        return;
    AdvanceTo(goal, goalRect, NormalizeDirection(m_facing), 80);
}

void CBattalion::AdvanceFar() {
    if ((m_division && m_division->m_routeFlag) || m_column) return EngageNearFront();
    if (m_busy || InContact(ZONE_OWN, true) || m_units.AverageExertion() > 4000 || m_units.AverageValue() < 700 ||
        !m_advance)
        return;
    m_intakeSource = 5;
    CRect goalRect(CObjective::kUnset, CObjective::kUnset, CObjective::kUnset, CObjective::kUnset);
    CPoint goal;
    CPoint far = GetEnemyPoint(ZONE_FAR_FRONT);
    if (far.x != -1000 || far.y != -1000) {
        goalRect = CentredOn(GetAreaRect(), far);
        goal = GetDirectionPoint(goalRect, 1.3);
    } else if (CPoint near = GetEnemyPoint(ZONE_NEAR_FRONT); near.x != -1000 || near.y != -1000) {
        goalRect = CentredOn(GetAreaRect(), near);
        goal = near;
    } else {
        goal = GetDirectionPoint(ShrunkUnion(m_zones[ZONE_FAR_FRONT]), 1.0);
    }
    if (m_standingReached && m_standingOrder.HasPoint() &&
        Dist2(goal, m_standingOrder.GetPoint()) > Square(2 * m_engageRadius + 50))
        return;
    int facing = NormalizeDirection(m_facing);
    if (m_division && m_division->m_formation) {
        const IDivFormation* f = m_division->m_formation;
        int divisionFacing = NormalizeDirection(m_division->m_facing);
        if ((f->GetSlotCode(m_number, divisionFacing) & 0xFF) != facing) return;
        if (f->GetNumber() == 38 || f->GetNumber() == 39) facing = divisionFacing;
    }
    AdvanceTo(goal, goalRect, facing, 100);
}

void CBattalion::MoveToPoint(int x, int y) {
    if (m_busy) return;
    m_intakeSource = 4;
    CRect r = CentredOn(GetAreaRect(), CPoint(x, y));
    r.InflateRect(150, 150);
    m_incoming.DeleteAll();
    int formation = m_formation ? m_formation->GetNumber() : -1;
    ReceiveOrder(new CObjective(32, x, y, formation, NormalizeDirection(m_facing), r.left, r.top, r.right, r.bottom),
                 TRUE);
    m_divisionOrder = 1;
}

void CBattalion::Regroup(CUnit* unit) {
    const CUnit* lead = m_units.FindById(0, TRUE, FALSE);
    CPoint at = lead ? lead->GetPosition() : CPoint(-1000, -1000);
    if (!unit) {
        // The places run on from the lead, each a step on from the last.
        for (POSITION pos = m_units.GetHeadPosition(); pos;) {
            CUnit* u = m_units.GetUnit(pos);
            if (u->IsMeleeType()) continue;
            if (Dist2(u->GetPosition(), at) <= 14400) break;
            if (u->m_routed || u->m_held) continue;
            int odd = CountedRand() & 1;
            at.x += odd ? CountedRand() % 51 + 50 : RandomRange(-50, -100, -1);
            int down = RandomRange(0, 1, -1);
            at.y += down == 1 ? RandomRange(50, 100, -1) : RandomRange(-50, -100, -1);
            OrderToUnit(u->m_number, new CObjective(13, at.x, at.y, -1, NormalizeDirection(m_facing)), TRUE, FALSE,
                        50);
            u->m_busyCounter = 80;
        }
        return;
    }
    if (unit->IsMeleeType()) return;
    if (Dist2(unit->GetPosition(), at) <= 14400) return;
    auto offset = [] {
        int odd = CountedRand() & 1;
        return odd ? CountedRand() % 51 + 50 : CountedRand() % 51 - 100;
    };
    int dx = offset();
    int dy = offset();
    OrderUnit(unit, new CObjective(13, at.x + dx, at.y + dy, -1, NormalizeDirection(m_facing)), TRUE, FALSE, 50);
    unit->m_busyCounter = 80;
}

BOOL CBattalion::AnswerMissileFire() {
    if (!m_halted || (m_division && m_division->m_type == 4) || GetDivisionOrderType() == 64) return FALSE;
    int live = m_units.GetCount(TRUE, FALSE);
    int t = Round(live / 3.0);
    if (m_lowHits <= t || InContact(ZONE_OWN, true)) return FALSE;
    const CBattalion* shooter = m_lastShooter;
    if (!shooter || shooter->m_ownerNumber == m_ownerNumber) return FALSE;
    BOOL acted = FALSE;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        CUnit* u = m_units.GetUnit(pos);
        if (u->m_routed || u->IsOutOfAction()) continue;
        int dy = Scatter();
        int dx = Scatter();
        OrderUnit(u, new CObjective(2, shooter->m_x + dx, shooter->m_y + dy, -1, NormalizeDirection(m_facing)), TRUE,
                  TRUE, 10);
        acted = TRUE;
    }
    return acted;
}

void CBattalion::SpreadAttacks() {
    int order = GetDivisionOrderType();
    if (!IsFootType(m_battType) || order == 128 || order == 64 || order == 256) return;
    CUnitList targets;
    int live = 0;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        const CUnit* u = m_units.GetUnit(pos);
        if (u->m_routed) continue;
        ++live;
        CUnit* t = u->m_action.m_target;
        if (t && !t->m_routed && t->GetRating() > 20) targets.AddUnique(t);
    }
    if (targets.IsEmpty() || double(targets.GetCount()) / live < 0.3) {
        targets.RemoveAll(FALSE);
        return;
    }
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        CUnit* u = m_units.GetUnit(pos);
        if (u->IsOutOfAction() || !u->m_arrived) continue;
        CUnit* t = targets.FindTarget(u->m_x, u->m_y, m_engageRadius, 3, TRUE, CRect());
        if (t) {
            targets.RemoveUnit(t);
            int x = t->m_x + Scatter();
            int y = t->m_y + Scatter();
            OrderUnit(u, new CObjective(1, x, y, -1, GetDirection(u->m_x, u->m_y, t->m_x, t->m_y)), TRUE, FALSE, 50);
        } else if (live < 4) {
            Regroup(u);
        } else {
            SendToSlot(u);
        }
    }
    targets.RemoveAll(FALSE);
}

bool CBattalion::LastLegAllowsAssault() const {
    switch (m_action.m_spare) {
    case 2: case 4: case 8: case 16: case 256: case 512: case 1024: case 2048: case 8192: case 16384: case 65536:
    case 131072: return true;
    default: return false;
    }
}

IUnitsArmy* CBattalion::GetOpposingArmy() const {
    IUnitsArmy* army = m_division ? m_division->m_army : nullptr;
    return army ? dynamic_cast<IUnitsArmy*>(army->GetOpposingArmy()) : nullptr;
}

namespace {

int RoundedDistance(CPoint a, CPoint b) { return Round(GetDistance(a.x, a.y, b.x, b.y, false)); }

// Inserts `u` after every unit of `list` not farther from `to` than it.
void InsertNearestFirst(std::vector<std::pair<int, CUnit*>>& list, CUnit* u, CPoint to) {
    int d = RoundedDistance(u->GetPosition(), to);
    auto at = std::find_if(list.begin(), list.end(), [d](const auto& e) { return e.first > d; });
    list.insert(at, {d, u});
}

CPoint ObjectivePoint(const CUnit* u) { return CPoint(u->m_action.m_x, u->m_action.m_y); }

}  // namespace

int CBattalion::SendNearestTo(CPoint point, int code, bool clearLine) {
    int free = 3;
    std::vector<std::pair<int, CUnit*>> nearest;
    for (POSITION pos = m_units.GetHeadPosition(); pos;) {
        CUnit* u = m_units.GetUnit(pos);
        if (u->m_state == code && ObjectivePoint(u) == point) {
            --free;
            continue;
        }
        if (u->m_routed || u->m_contact || RoundedDistance(u->GetPosition(), point) >= 100) continue;
        if (clearLine && m_grid && m_grid->IsLineBlocked(u->m_x, u->m_y, point.x, point.y)) continue;
        InsertNearestFirst(nearest, u, point);
        if (nearest.size() > 3) nearest.pop_back();
    }
    int sent = 0;
    for (const auto& [d, u] : nearest) {
        if (sent >= free) break;
        OrderUnit(u, new CObjective(code, point.x, point.y, -1, GetDirection(u->m_x, u->m_y, point.x, point.y)), TRUE,
                  FALSE, 10);
        ++sent;
    }
    return sent;
}

BOOL CBattalion::AssaultHeadquarters() {
    IUnitsArmy* army = m_division ? m_division->m_army : nullptr;
    if (!army || !LastLegAllowsAssault()) return FALSE;
    BOOL sent = FALSE;
    // The enemy's two headquarters, as the army knows them.
    for (int place = 2; place < 4; ++place) {
        const CKeyPoint* hq = army->GetHeadquarters(place);
        if (!hq || hq->m_currentState == 3 || hq->m_currentState == 4) continue;
        CPoint at(hq->m_x, hq->m_y);
        if (Dist2(GetPosition(), at) > 160000 && !IsNearHeadquarters()) continue;
        if (SendNearestTo(at, 14, false) > 0) sent = TRUE;
    }
    return sent;
}

void CBattalion::WarnHeadquartersInDanger() {
    IUnitsArmy* army = m_division ? m_division->m_army : nullptr;
    if (!army) return;
    if (army->ShowsBattleMessages()) {
        if (army->GetMessageCounter() <= 0) army->AddBattleMessage(17, -2, m_division->m_number);
        army->SetMessageCounter(1);
    } else if (IUnitsArmy* enemy = GetOpposingArmy()) {
        if (enemy->GetMessageCounter() <= 0) enemy->AddBattleMessage(16, -2, 0);
        enemy->SetMessageCounter(1);
    }
}

void CBattalion::CloseWithLeader(CUnit* leader, int free, bool stopWhenFull, bool needsAction) {
    CUnitList gathered;
    std::vector<std::pair<int, CUnit*>> nearest;
    for (POSITION pos = m_units.GetHeadPosition(); pos && gathered.GetCount(TRUE, TRUE) <= free;) {
        if (stopWhenFull && free < 1) break;
        CUnit* u = m_units.GetUnit(pos);
        bool available = !u->m_routed && !u->m_contact && !(needsAction && u->IsOutOfAction()) && !u->m_action.m_target;
        if (available) {
            if (RoundedDistance(u->GetPosition(), leader->GetPosition()) < 150 &&
                RoundedDistance(ObjectivePoint(u), leader->GetPosition()) < 150) {
                gathered.AddTail(u);
                InsertNearestFirst(nearest, u, leader->GetPosition());
            }
        } else if (u->m_action.m_target == leader) {
            --free;  // already on him
        }
    }
    gathered.RemoveAll(FALSE);
    for (const auto& [d, u] : nearest)
        OrderUnit(u, new CObjective(1, leader->m_x, leader->m_y, -1, GetDirection(u->m_x, u->m_y, leader->m_x, leader->m_y)),
                  TRUE, FALSE, 100);
}

void CBattalion::AttackEnemyLeader() {
    if (!IsFootType(m_battType) || !LastLegAllowsAssault()) return;
    IUnitsArmy* enemy = GetOpposingArmy();
    CUnit* target = enemy ? enemy->GetLeadUnit(TRUE) : nullptr;
    if (!target || Dist2(GetPosition(), target->GetPosition()) > 22500) return;
    int free = 7 - target->m_engagers.GetCount() - target->m_engagers2.GetCount();
    if (free >= 3) CloseWithLeader(target, free, true, false);
}

void CBattalion::CaptureKeyPoints() {
    const UnitArmyConditions army =
        m_division && m_division->m_army ? m_division->m_army->GetUnitConditions() : UnitArmyConditions{};
    if (army.terrainFlag || !m_grid || !LastLegAllowsAssault()) return;
    for (CTerrain* area : m_grid->GetListA()) {
        // A feature whose capture is already counting down is being taken.
        if (area->m_currentState == 3 || area->m_currentState == 4 || area->m_countdownActive == 1) continue;
        CPoint point;
        if (area->GetCurrentRegion() && !area->m_route.IsEmpty())
            point = area->m_route.FindNearestPoint(m_x, m_y);
        else
            area->GetAnchorPoint(point);
        if (Dist2(GetPosition(), point) >= 160001) continue;
        SendNearestTo(point, 16, true);
    }
}

void CBattalion::AttackNearbyLeaders() {
    if (!IsFootType(m_battType) || !LastLegAllowsAssault() || IsHeldByDivision() || m_standingOrder.m_type == 2048)
        return;
    IUnitsArmy* enemy = GetOpposingArmy();
    const CDivList* divisions = enemy ? enemy->GetDivisionList() : nullptr;
    if (!divisions) return;
    CUnitList leaders;
    divisions->CollectLeadsInRange(m_x, m_y, 200, leaders);
    for (POSITION at = leaders.GetHeadPosition(); at;) {
        CUnit* leader = leaders.GetUnit(at);
        int free = 5 - leader->m_engagers.GetCount() - leader->m_engagers2.GetCount();
        if (free > 0) CloseWithLeader(leader, free, false, true);
    }
    leaders.RemoveAll(FALSE);
}
