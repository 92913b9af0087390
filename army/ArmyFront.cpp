// The army's view of the field (a grid of 6 rows by 12 columns laid from
// its own rear edge, with its zones and strength planes), its front line,
// the repositioning of divisions onto the slots of a formation, and the
// choice of deployment routine.
#include <algorithm>
#include <cstdlib>

#include "army/Army.h"
#include "army/DivisionState.h"
#include "core/Helpers.h"
#include "field/BattleGrid.h"

using namespace ArmyDivision;

namespace {

constexpr int kFacingEast = 2;
constexpr int kFacingWest = 6;

CRect UnionOf(const CRect* cells, int r0, int r1, int c0, int c1) {
    CRect u = cells[r0 * CArmy::kGridColumns + c0];
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const CRect& x = cells[r * CArmy::kGridColumns + c];
            u = CRect(std::min(u.left, x.left), std::min(u.top, x.top), std::max(u.right, x.right),
                      std::max(u.bottom, x.bottom));
        }
    return u;
}

CPoint CentreOf(const CRect& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

bool IsEngaged(const CDivision* d) { return d->m_contact != 0; }

}  // namespace

// -------------------------------------------------------------------- grid

void CArmy::BuildGrid() {
    if (m_facing != kFacingEast && m_facing != kFacingWest) return;
    for (int r = 0; r < kGridRows; ++r)
        for (int c = 0; c < kGridColumns; ++c) {
            CRect& cell = m_cells[r * kGridColumns + c];
            if (m_facing == kFacingEast) {
                cell = CRect(250 * c, 333 * r, c == 11 ? 2999 : 250 * c + 249, r == 5 ? 1999 : 333 * r + 332);
            } else {
                int top = r == 5 ? 0 : 2000 - 333 * (r + 1);
                cell = CRect(250 * (11 - c), top, 250 * (11 - c) + 249, 2000 - 333 * (r + 1) + 332);
            }
        }
    m_zones[kRear] = UnionOf(m_cells, 0, 5, 0, 1);
    m_zones[kRearHalf] = UnionOf(m_cells, 0, 5, 0, 5);
    m_zones[kCentre] = UnionOf(m_cells, 0, 5, 4, 7);
    m_zones[kFrontThird] = UnionOf(m_cells, 0, 5, 8, 11);
    m_zones[kFront] = UnionOf(m_cells, 0, 5, 10, 11);
    m_zones[kRightWing] = UnionOf(m_cells, 4, 5, 0, 11);
    m_zones[kMiddle] = UnionOf(m_cells, 2, 3, 0, 11);
    m_zones[kLeftWing] = UnionOf(m_cells, 0, 1, 0, 11);
    m_zones[kWholeField] = UnionOf(m_cells, 0, 5, 0, 11);
}

void CArmy::EvaluateGrid() {
    std::fill(std::begin(m_counters), std::end(m_counters), 0);
    for (int i = 0; i < kCells; ++i) {
        int ownA = 0, ownB = 0, enemyA = 0, enemyB = 0;
        float share = 0.5f;
        if (m_grid) share = m_grid->GetForceRatio(m_side, m_cells[i], ownA, ownB, enemyA, enemyB);
        m_ownA[i] = ownA, m_ownB[i] = ownB, m_enemyA[i] = enemyA, m_enemyB[i] = enemyB;
        m_ownShare[i] = share;
        m_counters[0] += ownA, m_counters[1] += ownB, m_counters[2] += enemyA, m_counters[3] += enemyB;
    }
    int strongest = 0, weakest = 0;
    long best = 0, worst = 0;
    for (int r = 0; r < kGridRows; ++r) {
        long strong = 0, weak = 0;
        for (int c = 0; c < kGridColumns; ++c) {
            int i = r * kGridColumns + c;
            strong += m_ownA[i] - m_enemyB[i];
            weak += m_ownB[i] - m_enemyA[i];
        }
        if (r == 0 || strong > best) best = strong, strongest = r;
        if (r == 0 || weak < worst) worst = weak, weakest = r;
    }
    m_strongestRow = strongest;
    m_weakestRow = weakest;
}

void CArmy::FindFrontColumns() {
    const int p = m_posture;
    if (p == 4096) return;
    const bool crowd = p == 2 || p == 4 || p == 64 || p == 128 || p == 256 || p == 512 || p == 1024;
    if (!crowd) {
        for (int r = 0; r < kGridRows; ++r) {
            int found = -1;
            for (int c = 0; c < kGridColumns && found < 0; ++c) {
                int i = r * kGridColumns + c;
                if (m_ownShare[i] > 0.1f && m_ownShare[i] < 0.9f && m_enemyA[i] > 100) found = c;
            }
            if (found < 0 && (p == 1024 || p == 2048)) {
                for (int c = kGridColumns - 1; c >= 0 && found < 0; --c)
                    if (m_ownB[r * kGridColumns + c] > 200) found = c;
            } else if (found < 0) {
                for (int c = 0; c < kGridColumns && found < 0; ++c)
                    if (m_enemyA[r * kGridColumns + c] > 200) found = c;
            }
            m_frontColumns[r] = found;
        }
        return;
    }
    // The crowd method: where the enemy's elements gather, and how far the
    // army's own reach toward them.
    int first[kGridRows], own[kGridRows];
    for (int r = 0; r < kGridRows; ++r) {
        int first3 = 11, first20 = 11;
        std::vector<int> ownCount(kGridColumns, 0);
        for (int c = 0; c < kGridColumns; ++c) {
            CObList mine, theirs;
            if (m_grid) m_grid->GetElementsInRect(m_cells[r * kGridColumns + c], &mine, &theirs, m_side);
            if (theirs.GetCount() >= 3 && first3 == 11) first3 = c;
            if (theirs.GetCount() >= 20 && first20 == 11) first20 = c;
            ownCount[c] = mine.GetCount();
        }
        int last = 0;
        for (int c = 0; c <= first20; ++c)
            if (ownCount[c] >= 6) last = c;
        first[r] = first3;
        own[r] = last;
    }
    for (int r = 0; r < kGridRows; ++r) {
        // Edge rows stand in for their missing neighbour with their own.
        int above = r > 0 ? first[r - 1] : first[r];
        int below = r < kGridRows - 1 ? first[r + 1] : first[r];
        int mean = std::min((above + below) / 2, first[r]);
        int result;
        if (p == 64 || p == 128) {
            result = mean < 1 ? 0 : mean;
            if (own[r] != 0) result = own[r];
        } else {
            result = std::max(mean, own[r]);
        }
        if (result < 2) result = first[r] < 3 ? first[r] : 2;
        m_frontColumns[r] = result;
    }
}

CPoint CArmy::FindGridColumn(int row) const {
    if (row < 0 || row >= kGridRows) return CPoint(-1000, -1000);
    for (int c = 0; c < kGridColumns; ++c)
        if (m_enemyA[row * kGridColumns + c] > 200) return CentreOf(GetCell(row, c));
    const int middle = CentreOf(GetCell(row, 0)).y;
    if (m_facing == kFacingEast) return CPoint(3000, middle);
    if (m_facing == kFacingWest) return CPoint(0, middle);
    return CPoint(-1000, -1000);
}

CPoint CArmy::FindOwnFrontCell(int row) const {
    if (row < 0 || row >= kGridRows) return CPoint(-1000, -1000);
    for (int c = kGridColumns - 1; c >= 0; --c)
        if (m_ownA[row * kGridColumns + c] > 200) return CentreOf(GetCell(row, c));
    const int middle = CentreOf(GetCell(row, 0)).y;
    if (m_facing == kFacingEast) return CPoint(0, middle);
    if (m_facing == kFacingWest) return CPoint(3000, middle);
    return CPoint(-1000, -1000);
}

// ------------------------------------------------------------- front line

CPoint CArmy::GetCentre() {
    std::vector<CDivision*> picked;
    for (int pass = 0; pass < 3 && picked.empty(); ++pass) {
        for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
            CDivision* d = m_divisions.GetDivision(pos);
            if (IsLost(d) || d->m_number < 1 || d->m_number > 11) continue;
            if (pass == 0 && (!Slotted(d) || HasFlagBit(d, 0) || HasFlagBit(d, 14))) continue;
            if (pass == 1 && HasFlagBit(d, 0)) continue;
            picked.push_back(d);
        }
    }
    CPoint centre;
    const int n = int(picked.size());
    if (n > 1) {
        long objX = 0, diffX = 0, diffY = 0;
        for (const CDivision* d : picked) {
            objX += d->m_order.m_x;
            diffX += d->m_order.m_x - d->m_x;
            diffY += d->m_order.m_y - d->m_y;
        }
        m_frontOffset.x = int(objX / n) - m_x;
        m_frontOffset.y = 1000 - m_y;
        centre = CPoint(m_x + m_frontOffset.x - int(diffX / n), 1000 - int(diffY / n));
    } else if (n == 1) {
        centre = picked[0]->GetPosition();
    } else {
        CDivision* first = nullptr;
        for (POSITION pos = m_divisions.GetHeadPosition(); pos && !first;) {
            CDivision* d = m_divisions.GetDivision(pos);
            if (!IsLost(d)) first = d;
        }
        centre = first ? first->GetPosition() : GetPosition();
    }
    m_centre = ClampPointToRect(CRect(0, 0, 3000, 2000), centre, 500);
    return m_centre;
}

namespace {
// The front offset goes back to the army's centre when the line has drifted
// more than 100 from it (or, with `shortStep`, always); else it returns to
// the origin kept since then.
void ResetOrRestoreFront(CArmy& army, bool shortStep) {
    if (std::abs(army.m_x + army.m_frontOffset.x - army.m_centre.x) > 100 || shortStep) {
        army.m_frontOffset.x = army.m_centre.x - army.m_x;
        army.m_frontOrigin = army.m_frontOffset;
    } else {
        army.m_frontOffset.x = army.m_frontOrigin.x;
    }
}
}  // namespace

void CArmy::AdvanceFront(BOOL slotMode, BOOL skipFlanks, int step) {
    CPoint move(0, 0);
    if (m_facing == kFacingEast) {
        m_pendingFrontStep = step;
        move = CPoint(step, 0);
    } else if (m_facing == kFacingWest) {
        m_pendingFrontStep = -step;
        move = CPoint(-step, 0);
    }
    if (slotMode) {
        if (m_formationAbandoned || !m_formation) return;
        ResetOrRestoreFront(*this, std::abs(step) <= 10);
        m_frontOffset.Offset(move.x, move.y);
        if (m_facing == kFacingEast) m_frontOffset.x = std::clamp<int>(m_frontOffset.x, 0, 2000);
        if (m_facing == kFacingWest) m_frontOffset.x = std::clamp<int>(m_frontOffset.x, -2000, 0);
    }
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        const int i = d->m_number;
        if (slotMode ? i > 11 : !d->CanReceiveOrders()) continue;
        if (skipFlanks && (i == 0 || i == 7 || i == 11)) continue;
        if (Ordered(d) || !d->m_ready || IsLost(d) || IsEngaged(d) || d->m_order.m_type == 64 || HasFlagBit(d, 14))
            continue;
        Slotted(d) = 1;
        CPoint target;
        if (slotMode) {
            CPoint slot = m_formation->GetSlotPoint(i, m_facing);
            target = CPoint(slot.x + m_x + m_frontOffset.x, slot.y + m_y + m_frontOffset.y);
        } else {
            target = CPoint(d->m_x + move.x, d->m_y + move.y);
        }
        if (m_facing == kFacingEast || m_facing == kFacingWest) target.x = std::clamp<int>(target.x, 250, 2750);
        const int ahead = (target.x - d->m_order.m_x) / 2;
        if (m_facing == kFacingEast) d->UpdateBattalionUnits(ahead);
        if (m_facing == kFacingWest) d->UpdateBattalionUnits(-ahead);
        CObjective* order;
        if (slotMode)
            order = new CObjective(m_formation->GetOrderType(i), target.x, target.y, m_formation->GetDivFormationID(i),
                                   m_formation->GetSlotValue(i, m_facing));
        else
            order = new CObjective(d->m_order.m_type, target.x, target.y, d->GetLeaderID(), d->m_facing);
        SendOrder(d, order, TRUE, 1);
    }
}

void CArmy::ApplyFrontStep() {
    if (m_pendingFrontStep == 0) return;
    AdvanceFront(FALSE, TRUE, m_pendingFrontStep < 0 ? -10 : 10);
    m_pendingFrontStep = 0;
}

void CArmy::RepositionDivisions(CArmyFormation* formation, BOOL all) {
    if (!formation) return;
    if (m_centre == CPoint(-1000, -1000)) {
        m_frontOrigin = CPoint(0, 0);
        m_centre = GetPosition();
    } else {
        GetCentre();
    }
    ResetOrRestoreFront(*this, false);
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        const int i = d->m_number;
        if (i >= 12) continue;
        d->m_wait = 0;
        if (!all) {
            if (m_humanControlled && (i == 0 || i == 7 || i == 11)) continue;
            if (!m_humanControlled && (HasFlagBit(d, 0) || HasFlagBit(d, 8))) continue;
        }
        if (Ordered(d) && d->IsBelowStrength(0.5) && !d->m_ready) continue;
        Slotted(d) = 1;
        CPoint slot = formation->GetSlotPoint(i, m_facing);
        SendOrder(d,
                  new CObjective(formation->GetOrderType(i), slot.x + m_x + m_frontOffset.x,
                                 slot.y + m_y + m_frontOffset.y, formation->GetDivFormationID(i),
                                 formation->GetSlotValue(i, m_facing)),
                  TRUE, 1);
    }
    m_formation = formation;
}

BOOL CArmy::CheckSlots(int limit) {
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;)
        if (m_divisions.GetDivision(pos)->m_wait > 0) return FALSE;
    int n = 0, inPlace = 0;
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        if (d->m_number >= 12 || HasFlagBit(d, 0) || Ordered(d) || d->IsBelowStrength(0.5) || IsLost(d) ||
            !d->m_ready || DetachmentValue(d) != 0)
            continue;
        ++n;
        // In place: standing on the target of its current order.
        if (Round(GetDistance(d->m_x, d->m_y, d->m_order.m_x, d->m_order.m_y, false)) <= 50) ++inPlace;
    }
    if (n > 0) {
        const double threshold = m_formation ? m_formation->m_fInPlace : 1.0;
        if (double(inPlace) / n > threshold || m_slotCountdown <= 0) {
            m_slotCounter = 0;
            m_slotCountdown = 200;
            return TRUE;
        }
        --m_slotCountdown;
    }
    if (++m_slotCounter > limit) {
        m_slotCounter = 0;
        return TRUE;
    }
    return FALSE;
}

void CArmy::GiveUpFormation() {
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) ClearFlagBit(m_divisions.GetDivision(pos), 14);
    m_aiMode = 1;
    m_formationAbandoned = 1;
}

void CArmy::Deploy() {
    const int root = m_formationList ? m_formationList->GetRootIDOf(m_formation) : -1;
    if (m_posture == 2) {
        GiveUpFormation();
        m_ai->RunPosture(*this, m_posture);
        return;
    }
    const int limit = (root == 133 || root == 134) ? 3 : 6;
    if (m_divisions.GetCount(TRUE) < limit && !m_holding) {
        GiveUpFormation();
        m_ai->RunPosture(*this, m_posture);
        return;
    }
    if (m_formation && !m_formation->IsRoot() && m_aiValues[0] == 0) {
        if (!CheckSlots(100)) {
            if (m_slotCounter >= 1001) GiveUpFormation();
            return;
        }
        CArmyFormation* next = m_formationList ? m_formationList->FindEquivalent(m_formation, m_postureOrderMask) : nullptr;
        if (next && next != m_formation) {
            RepositionDivisions(next, TRUE);
            AdvanceFront(TRUE, TRUE, 200);
        } else if (m_formation->m_nLevel >= 4) {
            if (root != 91 && root != 133 && root != 134) m_ai->RunFormationRoutine(*this, root);
            m_ai->FinishDeployment(*this);
        } else {
            for (POSITION pos = m_divisions.GetHeadPosition(); pos;) ClearFlagBit(m_divisions.GetDivision(pos), 14);
            m_aiMode = 1;
        }
        return;
    }
    m_ai->RunFormationRoutine(*this, root);
    m_ai->FinishDeployment(*this);
    if (m_slotCounter >= 1001 && !m_holding) GiveUpFormation();
}

void CArmy::MeasureHeadquartersThreat() {
    CDivision* strongest = nullptr;
    int best = 0;
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        int figure = DetachmentFigure(d, true) + DetachmentFigure(d, false);
        if (!strongest || figure > best) strongest = d, best = figure;
    }
    if (!strongest) {
        m_localRatio = 0.0;
        return;
    }
    CPoint target = m_ai->GetHeadquartersTarget(*this, strongest->m_x, strongest->m_y);
    CDivision* near = m_divisions.FindNearest(target.x, target.y, FALSE, TRUE, 100000);
    if (!near || !m_grid) {
        m_localRatio = 0.0;
        return;
    }
    CObList own, others;
    m_grid->GetElementsInRect(CRect(target.x - 200, target.y - 200, target.x + 200, target.y + 200), &own, &others,
                              m_side);
    m_localRatio = double(own.GetCount()) / double(others.GetCount() + 1);
}
