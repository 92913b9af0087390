// A division's own decisions in battle, taken every tick from its strength
// and its battalions' contact: a shaken and depleted division retreats off
// the field, and a division whose front is only partly engaged sends a free
// battalion to help a pressed one. Orders go through the army's gate.
#include <algorithm>
#include <cmath>

#include "core/Helpers.h"
#include "core/Random.h"
#include "field/BattleGrid.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/GeneralFigures.h"
#include "Units/Unit.h"

double CDivision::GetLeadership() const {
    const CPerson* commander = m_army ? m_army->GetCommander() : nullptr;
    double mixed = (5.0 * GeneralFigures::Leadership(m_general) + 3.0 * GeneralFigures::Leadership(commander)) / 8.0;
    return std::max(0.1, mixed);
}

void CDivision::SendOrderThroughArmy(CObjective* order) {
    if (m_army)
        m_army->ResendOrder(this, order);
    else
        ReceiveOrder(order, TRUE);
}

void CDivision::Retreat() {
    if (m_routed) return;
    int x = ArmyFacing() == 2 ? -1000 : 4000;
    int y = CountedRand() % 1999 + 1;
    int formation = m_formation ? m_formation->GetNumber() : -1;
    SendOrderThroughArmy(new CObjective(256, x, y, formation, NormalizeDirection(m_facing)));
    m_resend = 0;
    m_busy = 1;
}

namespace {

constexpr int kFrontNear = 0, kOwnZone = 1, kFrontFar = 3;

// The battalion order code of a close defense under the action's type.
int CloseDefenseCode(int actionType) {
    switch (actionType) {
    case 1: return 4;
    case 2: return 2;
    case 16:
    case 32:
    case 64: return 32;
    case 128: return 2048;
    case 256: return 4096;
    default: return 8;
    }
}

// The men have thinned: the battalions hold fewer than seven in ten of the
// units their lists were made with (or have no list left at all).
bool Depleted(const CBattList& battalions) {
    int stored = 0, listed = 0;
    for (POSITION pos = battalions.GetHeadPosition(); pos;) {
        const CBattalion* b = battalions.GetBattalion(pos);
        stored += b->m_liveUnits;
        listed += b->m_units.GetCount();
    }
    return listed == 0 || stored < 0.7 * listed;
}

}  // namespace

void CDivision::UpdateBehaviour() {
    if (m_routed || m_turn) return;
    if (m_contactCounter < 0 && --m_clampCounter < 0) m_contactCounter = 0;
    if (m_order.m_type == 256) return;

    const DivisionArmyFigures army = m_army ? m_army->GetDivisionFigures() : DivisionArmyFigures{};
    DivisionBudgets* budgets = m_army ? m_army->GetDivisionBudgets() : nullptr;
    // Only the player who commands the army hears of its divisions' events.
    const bool tell = army.control && army.acknowledge;
    const CUnit* lead = GetLeadUnit();
    const int level = GeneralFigures::Level(m_general);
    // A division never counted has lost nothing.
    const double r = m_unitRecount > 0 ? GetStrengthRatio(FALSE) : 1.0;

    // A rear guard: a strong division under a general who would hold the
    // line takes heart once the battle has begun.
    if (!m_moraleEvent && m_number != 0 && budgets && budgets->rearGuards > 0 && !army.opening && lead &&
        lead->m_headCount > 150 && GeneralFigures::HasFlag(m_general, 3) && m_battalions.GetCount(TRUE) > 5) {
        if (tell) AddBattleMessage(27, -2, m_number);
        UpdateBattalionUnits(level * 30.0);
        m_moraleEvent = 1;
        --budgets->rearGuards;
    }

    // Low strength: a shaken division whose men are thinning may give up
    // the field, unless its general makes a stand.
    if (r < 0.3 / GetLeadership() || m_strength1 < 1200) {
        const int limit = lead ? (200 - GeneralFigures::Experience(m_general)) * 5 : 1200;
        if (m_strength3 < CountedRand() % 301) {
            const int bar = RandomRange(0, limit, -1);
            if (m_strength1 < bar && CountedRand() % 100 + 1 < 31) {
                if (!army.control || m_number == 0 || !budgets || budgets->noRetreats <= 0 || m_moraleEvent || !lead ||
                    !GeneralFigures::HasFlag(m_general, 4)) {
                    Retreat();
                    return;
                }
                if (tell) AddBattleMessage(28, -2, m_number);
                UpdateBattalionUnits(level * 20.0);
                m_moraleEvent = 1;
                --budgets->noRetreats;
            }
        }
    }

    // Rout check: badly thinned, in an army that is losing, a division not
    // already attacking all out, regrouping or standing its ground falls
    // back to regroup.
    if (!m_turn) {
        const int t = m_order.m_type;
        if (r < (85 - GeneralFigures::Experience(m_general)) * 0.01 / GetLeadership() &&
            2 * army.strength < 3 * army.opposingStrength && t != 64 && t != 1 && t != 128) {
            if (CountedRand() % 1501 > m_strength1 + 500) {
                Regroup(-1000, -1000);
                return;
            }
        }
    }

    // A player's division may give up the field or regroup of its own
    // accord, the more readily the worse its army stands. Either ends the
    // update: a division leaving sends no battalion forward.
    if (!m_moraleEvent && army.control && m_number != 0 && r < 0.7 && Depleted(m_battalions) && lead &&
        GeneralFigures::HasFlag(m_general, 0)) {
        const int chance = GetSelfRetreatChance(r);
        if (GeneralFigures::BaseAttribute(m_general) < 90 && budgets && budgets->selfRetreats > 0 &&
            CountedRand() % 100 + 1 < chance) {
            if (tell) AddBattleMessage(26, -2, m_number);
            m_moraleEvent = 1;
            --budgets->selfRetreats;
            Retreat();
            return;
        }
        if (budgets && budgets->selfRegroups > 0 && CountedRand() % 100 + 1 < chance) {
            if (tell) AddBattleMessage(25, -2, m_number);
            m_moraleEvent = 1;
            --budgets->selfRegroups;
            UpdateBattalionUnits(-1000.0);
            Regroup(-1000, -1000);
            return;
        }
    }

    // Contact: with half its battalions engaged or more, a free front
    // battalion goes to help a pressed one, once until contact is lost.
    if (m_battalionCount > 1) {
        int engaged = 0;
        for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
            const CBattalion* b = m_battalions.GetBattalion(pos);
            if (!b->m_routed && b->m_contact) ++engaged;
        }
        const int order = m_order.m_type;
        if (engaged < m_battalionCount / 2) {
            if (m_idle && order > 0 && (order & 0x1C0F)) {
                if (engaged > 0 && !m_contactFlag) SendFlankHelp();
            } else {
                m_contactFlag = 0;
            }
        } else if (!m_contactFlag) {
            SendFlankHelp();
        }
    }

    ReactToPressure();
}

void CDivision::ReactToPressure() {
    if (m_busy) return;
    const int t = m_order.m_type;
    // Under standing order 1024 a pressed division holds for a while, then
    // falls back to defend.
    auto holdThenFallBack = [&](int limit, double factor) {
        if (++m_contactCounter <= limit) return;
        m_contactCounter = -1;
        FallBack(FALSE, factor);
        m_order.m_type = 512;
    };
    // The close defense is asked for before the wait is armed, so that a
    // threatened division closes up at once and again whenever both the
    // wait and the cool-down have run out.
    auto closeUp = [&](BOOL flag) {
        CloseDefense(flag);
        if (m_wait <= 0) m_wait = 20;
    };
    switch (m_type) {
    case 0:
    case 1:
    case 3:
        if (t == 8 && IsZonePressed(kOwnZone)) {
            if (m_strength2 < 3000) {
                FallBack(TRUE, 1.5);
            } else {
                SendOrderThroughArmy(new CObjective(512, m_x, m_y, GetLeaderID(), NormalizeDirection(m_facing)));
            }
        } else if (t == 128 || t == 512) {
            const CBattalion* support = m_battalions.FindByID(3, TRUE, TRUE);
            if (support && support->HasEnemyNear(1) && m_type == 3) closeUp(TRUE);
        } else if (t == 1024 && IsZonePressed(kOwnZone)) {
            holdThenFallBack(60, 3.0);
        }
        break;
    case 2:
    case 4:
        if (t == 1024 && IsZonePressed(kOwnZone))
            holdThenFallBack(10, 1.7);
        else if ((t == 128 || t == 512) && IsZonePressed(kFrontNear))
            closeUp(FALSE);
        else if (t == 2048 && IsZonePressed(kFrontFar))
            Charge(-1000, -1000);
        break;
    default: break;  // a division of no known type keeps its orders
    }
}

int CDivision::GetSelfRetreatChance(double r) const {
    const CPerson* commander = m_army ? m_army->GetCommander() : nullptr;
    const float morale = m_army ? m_army->GetDivisionFigures().morale : 1.0f;
    int chance = GeneralFigures::Level(commander) < GeneralFigures::Level(m_general) ? 30 : 0;
    chance -= int(100 * r - 80);
    if (morale < 0.8f) chance -= int(100 * double(morale) - 80);
    return chance;
}

BOOL CDivision::IsZonePressed(int zone) const {
    int enemies = 0, friends = 0;
    for (int part = 0; part < 3; ++part) {
        enemies += m_zoneUnits[0][zone][part].GetCount();
        friends += m_zoneUnits[1][zone][part].GetCount();
    }
    return enemies >= 3 && friends <= (enemies < 15 ? 35 : 70);
}

int CDivision::ArmyFacing() const { return m_army ? m_army->GetUnitConditions().facing : 2; }

void CDivision::Regroup(int x, int y) {
    if (m_turn || m_routed || m_busyTimer >= 1) return;
    const DivisionArmyFigures army = m_army ? m_army->GetDivisionFigures() : DivisionArmyFigures{};
    const CPoint at = GetPosition();
    if (army.homeRects[0].PtInRect(at) || army.homeRects[1].PtInRect(at)) return;
    CPoint point(x, y);
    if (x == -1000 && y == -1000 && !FindRegroupPoint(point)) return;
    SendOrderThroughArmy(new CObjective(64, point.x, point.y, GetLeaderID(), NormalizeDirection(m_facing)));
    m_resend = 0;
    m_busy = 1;
    m_busyTimer = 300;
    m_turn = 1;
}

BOOL CDivision::FindRegroupPoint(CPoint& out) const {
    if (!m_grid) return FALSE;
    const int side = m_army ? m_army->GetArmyNumber() : m_ownerNumber;
    // Positive multiples of `back` point behind the army's front.
    const int back = ArmyFacing() == 2 ? -1 : 1;
    auto enemiesAt = [&](int dx, int dy, int* own) {
        CObList mine, others;
        m_grid->GetElementsInRect(CRect(m_x - 200 + dx, m_y - 200 + dy, m_x + 200 + dx, m_y + 200 + dy), &mine,
                                  &others, side);
        if (own) *own = mine.GetCount();
        return int(others.GetCount());
    };
    int ownHere = 0;
    const int here = enemiesAt(0, 0, &ownHere);
    const int behind = enemiesAt(400 * back, 0, nullptr);
    const int farBehind = enemiesAt(800 * back, 0, nullptr);
    CPoint p;
    if (behind <= here) {
        p = CPoint(m_x + (farBehind <= here ? 800 : 400) * back, m_y);
    } else if (enemiesAt(300 * back, 300 * back, nullptr) < here) {
        p = CPoint(m_x + 300 * back, m_y + 300 * back);
    } else if (enemiesAt(300 * back, -300 * back, nullptr) < here) {
        p = CPoint(m_x + 300 * back, m_y - 300 * back);
    } else if (here < ownHere / 2) {
        p = GetPosition();
    } else {
        return FALSE;
    }
    out = CPoint(std::clamp(p.x, 100, 2900), std::clamp(p.y, 100, 1900));
    return TRUE;
}

void CDivision::FallBack(BOOL resend, double factor) {
    CPoint p = GetZoneRect(4, factor, true, CRect()).CenterPoint();
    // Never back to the army's own edge of the field.
    const int facing = ArmyFacing();
    if (facing == 2) p.x = std::max(p.x, 450);
    if (facing == 6) p.x = std::min(p.x, 2550);
    // A zone pushed far beyond a division near the edge lies off the field.
    p.x = std::clamp(int(p.x), 0, 3000);
    p.y = std::clamp(int(p.y), 0, 2000);
    SendOrderThroughArmy(new CObjective(16, p.x, p.y, GetLeaderID(), NormalizeDirection(m_facing)));
    m_resend = resend ? 1 : 0;
    m_busy = 1;
}

void CDivision::Charge(int x, int y) {
    if (m_busy) return;
    if (x == -1000 && y == -1000) {
        // The part of the far front with the most enemies; with none, the
        // middle of the whole far front.
        int best = -1, most = 0;
        for (int part = 0; part < 3; ++part) {
            const int n = m_zoneUnits[0][kFrontFar][part].GetCount();
            if (n > most) most = n, best = part;
        }
        CPoint c;
        if (best >= 0) {
            c = m_zones[kFrontFar][best].CenterPoint();
        } else {
            CRect all = m_zones[kFrontFar][0];
            all.UnionRect(&all, &m_zones[kFrontFar][1]);
            all.UnionRect(&all, &m_zones[kFrontFar][2]);
            c = all.CenterPoint();
        }
        x = c.x, y = c.y;
    }
    SendOrderThroughArmy(new CObjective(2, x, y, GetLeaderID(), NormalizeDirection(m_facing)));
    m_resend = 1;
    m_busy = 1;
}

IDivFormation* CDivision::GetStepFormation(BOOL flag, int number, BOOL keep) const {
    if ((m_type == 2 || m_type == 4) && !keep) flag = TRUE;
    IDivFormation* fallback = number != -1 && m_formationList ? m_formationList->FindByID(number) : nullptr;
    int id = 0;
    if (m_formation) id = flag ? m_formation->GetLinkID() : m_formation->LookupMappedID(number);
    if (id > 0 && m_formationList) {
        if (IDivFormation* f = m_formationList->FindByID(id)) return f;
    }
    return fallback;
}

void CDivision::CloseDefense(BOOL flag) {
    if (m_wait >= 1 || m_coolDown >= 2) return;
    IDivFormation* f = GetStepFormation(flag, -1, TRUE);
    if (!f) return;
    const bool same = f == m_formation;
    m_formation = f;
    if (same && m_coolDown == 1) return;
    const int code = CloseDefenseCode(m_action.m_type);
    const int facing = NormalizeDirection(m_action.m_facing >= 0 ? m_action.m_facing : m_facing);
    const int live = m_battalions.GetCount(TRUE);
    for (int i = 0; i < kMaxBattalions; ++i) {
        CBattalion* b = m_battalions.FindByID(i, TRUE, FALSE);
        if (!b) continue;
        const CPoint slot = m_action.GetPoint() + f->GetSlotPoint(i, facing);
        CPoint dest;
        int bf;
        if (live == 1 && (!b->m_standingReached || b->m_action.GetPoint() != slot)) {
            dest = m_action.GetPoint(), bf = facing;
        } else {
            CPoint off = f->GetSlotPoint(b->m_number, facing);
            const int n = b->m_liveUnits;
            if (n <= 5) {
                // A small battalion keeps about n eighths of its distance;
                // a zero offset stays on the target.
                const int d = Round(std::sqrt(double(off.x) * off.x + double(off.y) * off.y));
                if (d > 0) {
                    const int k = int(d * n * 0.125);
                    off = CPoint(off.x * k / d, off.y * k / d);
                }
            }
            dest = m_action.GetPoint() + off;
            bf = f->GetSlotCode(b->m_number, facing) & 0xFF;
        }
        b->m_objectives.DeleteAll();
        if (m_grid) dest = m_grid->FindFreePointNear(dest.x, dest.y, b, 10000, FALSE);
        b->ReceiveOrder(new CObjective(code, dest.x, dest.y, f->GetSlotValue(i), bf), TRUE);
        b->m_flankSent = 1;
    }
    m_wait = 0;
    m_coolDown = 200;
}

void CDivision::ArriveDetachment() {
    // The strength it arrives with.
    int64_t value = 0, counted = 0;
    for (POSITION pos = m_battalions.GetHeadPosition(); pos;) {
        const CBattalion* b = m_battalions.GetBattalion(pos);
        if (b->m_routed) continue;
        value += int64_t(b->m_units.AverageValue()) * b->m_liveUnits;
        counted += b->m_units.GetCount(TRUE, TRUE);
    }
    m_strength1 = counted ? int(value / counted) : 0;

    DivisionBudgets* budgets = m_army ? m_army->GetDivisionBudgets() : nullptr;
    if (!budgets) return;
    const DivisionArmyFigures army = m_army->GetDivisionFigures();
    const bool fresh = GetStrengthRatio(FALSE) > 0.3 && m_strength1 > 1200;
    const bool ack = army.acknowledge, reinforced = army.reinforcement;
    BYTE& announced = budgets->arrivalAnnounced;
    int message = -1;
    bool stays = false;  // the countdown runs on: the detachment comes
    auto announce = [&](int id) {
        if (announced) return;
        message = id;
        announced = 1;
    };
    if (reinforced && army.sideMode != 0 && army.sideMode != 1) {
        stays = true;
    } else if (!ack && reinforced && army.sideMode == 0) {
        if (fresh) message = 3, stays = true;
    } else if (!ack && reinforced && army.sideMode == 1) {
        if (army.opposingSideMode == 0 && army.opposingEntry) announce(1);
    } else if (ack && !reinforced && army.sideMode == 0) {
        announce(2);
    } else if (ack && !reinforced && army.sideMode == 1) {
        announce(army.opposingSideMode == 0 ? 6 : 7);
    } else if (ack && reinforced && army.sideMode == 0) {
        message = fresh ? 0 : 8;
        stays = fresh;
    } else if (ack && reinforced && army.sideMode == 1) {
        announce(army.opposingEntry ? 4 : 5);
    }
    if (message >= 0) {
        if (!ack) {
            if (IBattleArmy* opposing = m_army->GetOpposingArmy()) opposing->AddBattleMessage(message, -2, 0);
        } else {
            m_army->AddBattleMessage(message, m_general ? m_general->id : -2, -1);
        }
    }
    if (!stays) m_detachCountdown = -1;
}

void CDivision::DropOldHistory() {
    if (!m_army || !m_army->GetDivisionFigures().control || m_army->GetTick() % 40 != 0) return;
    if (m_history.IsEmpty()) return;
    m_history.RemoveHead();
    if (m_history.IsEmpty()) m_history.RemoveAll();
}

void CDivision::PlaceMarkers() {
    if (m_battalions.GetCount(TRUE) == 0) {
        if (m_centreIcon) m_centreIcon->SetVisible(false);
        if (m_targetIcon) m_targetIcon->SetVisible(false);
        return;
    }
    if (m_centreIcon) {
        m_centreIcon->MoveTo(m_x - 14, m_y - 71);
        m_centreIcon->SetDepth(m_y + 16021);
    }
    if (m_targetIcon) {
        const CRect r = m_targetIcon->GetRect();
        m_targetIcon->MoveTo(m_order.m_x - r.Width() / 2, m_order.m_y - r.Height() / 2);
        m_targetIcon->SetDepth(m_order.m_y + 16020);
    }
}

void CDivision::SendFlankHelp() {
    CBattalion* b[4] = {};
    double share[4] = {};
    for (int i = 0; i < 4; ++i) {
        b[i] = m_battalions.FindByID(i, TRUE, TRUE);
        share[i] = b[i] ? b[i]->GetFightingShare() : 0.0;
    }
    auto free = [&](int i) { return share[i] < 0.3; };
    auto pressed = [&](int i) { return share[i] > 0.3; };
    auto either = [&](int i, int j) { return b[i] ? i : j; };
    int sent = -1, toward = -1;
    if (free(0) && pressed(1) && pressed(2))
        sent = 0, toward = either(1, 2);
    else if (pressed(0) && free(1) && free(2))
        sent = either(1, 2), toward = 0;
    else if (pressed(0) && pressed(1) && free(2))
        sent = 2, toward = either(0, 1);
    else if (pressed(0) && free(1) && pressed(2))
        sent = 1, toward = either(0, 2);
    if (sent >= 0) {
        // A battalion missing from the pair stops the help altogether.
        if (!b[sent] || !b[toward]) return;
        const CPoint at = b[toward]->GetUnitCentre();
        auto help = [&](int i) {
            const CPoint from = b[i]->GetUnitCentre();
            const int value = m_formation ? m_formation->GetSlotValue(i) : -1;
            b[i]->m_objectives.DeleteAll();
            const CPoint p = m_grid ? m_grid->FindFreePointNear(at.x, at.y, b[i], 10000, FALSE) : at;
            if (i == 3 && (p.x > 10000 || p.y > 10000))
                ShowMessage("Invalid objective issued to supporting battalion in div self activated flank function.");
            b[i]->ReceiveOrder(new CObjective(2, p.x, p.y, value, GetDirection(from.x, from.y, at.x, at.y)), TRUE);
            b[i]->m_flankSent = 1;
        };
        help(sent);
        if (b[3] && share[3] < 0.3 && b[3]->m_battType == 1) help(3);
    }
    m_contactFlag = 1;
}

void CDivision::UpdatePressure() {
    int active = 0, engagers = 0;
    for (POSITION bp = m_battalions.GetHeadPosition(); bp;) {
        const CBattalion* b = m_battalions.GetBattalion(bp);
        for (POSITION up = b->m_units.GetHeadPosition(); up;) {
            const CUnit* u = b->m_units.GetUnit(up);
            if (!u->m_active) continue;
            ++active;
            engagers += u->m_engagers.GetCount();
        }
    }
    if (active == 0 || engagers == 0) {
        m_pressure = 0;
        return;
    }
    double share = double(active) / (active + engagers);
    m_pressure = share >= 0.75 ? 1 : share >= 0.5 ? 2 : 3;
}
