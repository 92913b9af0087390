// The engagement evaluation: before a posture's behaviour orders the wings,
// every division is given its role (commander, detachment, too weak, centre
// guard, or one of the three wings), and the wings are sized by posture, by
// the number of fighting divisions and by where the opposing strength stands.
#include <cmath>

#include "army/ArmyAI.h"
#include "army/Army.h"
#include "army/DivisionState.h"
#include "core/Helpers.h"

using namespace ArmyDivision;

namespace {

constexpr int kLeftWing = 0x20, kCentreWing = 0x80, kRightWing = 0x40;

WingCounts W(int l, int c, int r) { return WingCounts{l, c, r}; }

// The shared-evenly postures: each wing m / 3, the rest by the bands.
WingCounts Even(int code, int m, int e1, int e2, int e3) {
    WingCounts w = W(m / 3, m / 3, m / 3);
    const int rest = m % 3;
    if (code == 2) {
        if (rest == 1) {
            if (e2 > e3 && e2 > e1) ++w.centre;
            else if (e3 > e1) ++w.right;
            else ++w.left;
        } else if (rest == 2) {
            if (e2 < e3 && e2 < e1) ++w.left, ++w.right;
            else if (e3 >= e1) ++w.centre, ++w.right;
            else ++w.centre, ++w.left;
        }
    } else {
        if (rest == 1) {
            if (e1 > e2 && e1 > e3) ++w.left;
            else if (e3 > e2) ++w.right;
            else ++w.centre;
        } else if (rest == 2) {
            ++w.centre;
            if (e1 > e3) ++w.left;
            else ++w.right;
        }
    }
    return w;
}

}  // namespace

WingCounts WingCountsFor(int code, int m, int e1, int e2, int e3) {
    if (m <= 0 || m > 11) return W(0, 0, 0);
    switch (code) {
    case 2:
    case 1024: return Even(code, m, e1, e2, e3);
    case 64:
        switch (m) {
        case 1: return W(1, 0, 0);
        case 2: return W(2, 0, 0);
        case 3: return e2 > e3 ? W(2, 1, 0) : W(2, 0, 1);
        case 4: return W(2, 1, 1);
        case 5: return W(3, 1, 1);
        case 6: return e1 > e2 && e1 > e3 ? W(4, 1, 1) : e3 > e2 ? W(3, 1, 2) : W(3, 2, 1);
        case 7: return e3 > e2 ? W(4, 1, 2) : W(4, 2, 1);
        case 8: return W(4, 2, 2);
        case 9: return W(5, 2, 2);
        case 10: return e1 > e2 && e1 > e3 ? W(6, 2, 2) : e3 > e2 ? W(5, 2, 3) : W(5, 3, 2);
        default: return e3 > e2 ? W(6, 2, 3) : W(6, 3, 2);
        }
    case 128:
        switch (m) {
        case 1: return W(0, 0, 1);
        case 2: return W(0, 0, 2);
        case 3: return e2 > e1 ? W(0, 1, 2) : W(1, 0, 2);
        case 4: return W(1, 1, 2);
        case 5: return W(1, 1, 3);
        case 6: return e3 > e2 && e3 > e1 ? W(1, 1, 4) : e1 > e2 ? W(2, 1, 3) : W(1, 2, 3);
        case 7: return e1 > e2 ? W(2, 1, 4) : W(1, 2, 4);
        case 8: return W(2, 2, 4);
        case 9: return W(2, 2, 5);
        case 10: return e3 > e2 && e3 > e1 ? W(2, 2, 6) : e1 > e2 ? W(3, 2, 5) : W(2, 3, 5);
        default: return e1 > e2 ? W(3, 2, 6) : W(2, 3, 6);
        }
    case 4:
        switch (m) {
        case 1: return W(0, 1, 0);
        case 2: return W(0, 2, 0);
        case 3: return e1 > e3 ? W(1, 2, 0) : W(0, 2, 1);
        case 4: return W(1, 2, 1);
        case 5: return W(1, 3, 1);
        case 6: return e2 > e1 && e2 > e3 ? W(1, 4, 1) : e3 > e1 ? W(1, 3, 2) : W(2, 3, 1);
        case 7: return e3 > e1 ? W(1, 4, 2) : W(2, 4, 1);
        case 8: return W(2, 4, 2);
        case 9: return W(2, 5, 2);
        case 10: return e2 > e1 && e2 > e3 ? W(2, 6, 2) : e3 > e1 ? W(2, 5, 3) : W(3, 5, 2);
        default: return e3 > e1 ? W(2, 6, 3) : W(3, 6, 2);
        }
    case 256: {
        const bool leftHeavy = e1 > e2 && e1 > e3;
        switch (m) {
        case 1: return W(1, 0, 0);
        case 2: return W(1, 1, 0);
        case 3: return e2 > e3 ? W(2, 1, 0) : W(2, 0, 1);
        case 4: return W(2, 1, 1);
        case 5: return W(3, 1, 1);
        case 6: return leftHeavy ? W(4, 1, 1) : W(3, 2, 1);
        case 7: return W(4, 2, 1);
        case 8: return W(4, 2, 2);
        case 9: return leftHeavy ? W(5, 2, 2) : W(4, 3, 2);
        case 10: return leftHeavy ? W(6, 2, 2) : W(5, 3, 2);
        default: return W(6, 3, 2);
        }
    }
    case 512: {
        const bool leftHeavy = e1 > e2 && e1 > e3;
        switch (m) {
        case 1: return W(0, 0, 1);
        case 2: return W(0, 1, 1);
        case 3: return e2 > e3 ? W(0, 1, 2) : W(0, 2, 1);
        case 4: return W(1, 1, 2);
        case 5: return W(1, 1, 3);
        case 6: return leftHeavy ? W(1, 1, 4) : W(1, 2, 3);
        case 7: return W(1, 2, 4);
        case 8: return W(2, 2, 4);
        case 9: return leftHeavy ? W(2, 2, 5) : W(2, 3, 4);
        case 10: return leftHeavy ? W(2, 2, 6) : W(2, 3, 5);
        default: return W(2, 3, 6);
        }
    }
    default: return W(0, 0, 0);
    }
}

bool IsStrongEnough(const CDivision* d) { return d->GetStrengthRatio(FALSE) >= 0.35 / d->GetMorale(); }

CDivision* PopGuard(CDivList& list, int x, int y) {
    for (int wanted : {7, 11})
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            POSITION here = pos;
            CDivision* d = list.GetDivision(pos);
            if (d->m_number == wanted) {
                list.RemoveAt(here);
                return d;
            }
        }
    POSITION best = nullptr;
    CDivision* chosen = nullptr;
    int bestDistance = 10000;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        POSITION here = pos;
        CDivision* d = list.GetDivision(pos);
        const int dist = Round(GetDistance(x, y, d->m_x, d->m_y, false));
        if (dist < bestDistance) best = here, chosen = d, bestDistance = dist;
    }
    if (best) list.RemoveAt(best);
    return chosen;
}

int CArmyAI::CountCentreGuards(const CArmy& army, int code, int count) const {
    if (army.m_battlefieldFlag || (army.m_aiMode != 1 && army.m_aiMode != 2)) return 0;
    if (army.m_aiMode == 2 && army.m_randomTie >= 2 && army.m_formation && army.m_formation->m_nID == 99) return 1;
    const bool wingCode = (code & 0x3FE) != 0;
    switch (count) {
    case 0: return 0;
    case 1: return wingCode ? 0 : 1;
    case 2: return army.m_detachmentsInPlay ? 1 : (wingCode ? 0 : 1);
    default: break;
    }
    if (count >= 5 && !wingCode) return 2;
    if (count == 10) return army.m_detachmentsInPlay ? 2 : 1;
    if (count == 11) return 2;
    return 1;
}

void CArmyAI::EvaluateEngagement(CArmy& army, int code) {
    CDivList& all = army.m_divisions;
    if (code == 4096) {
        for (POSITION pos = all.GetHeadPosition(); pos;) all.GetDivision(pos)->m_flags = 8;
        return;
    }
    const bool fighting = code == 2 || code == 4 || code == 64 || code == 128 || code == 256 || code == 512 ||
                          code == 1024;
    if (!fighting) {
        const CRect left = [&] {
            CRect u = army.GetCell(0, 0);
            u.UnionRect(&u, &army.GetCell(1, 7));
            return u;
        }();
        auto inside = [&](const CDivision* d, int r0, int r1) {
            CRect u = army.GetCell(r0, 2);
            u.UnionRect(&u, &army.GetCell(r1, 7));
            return u.PtInRect(d->GetPosition());
        };
        for (POSITION pos = all.GetHeadPosition(); pos;) {
            CDivision* d = all.GetDivision(pos);
            d->m_ready = 1;
            const int i = d->m_number;
            if (i > 11) d->m_flags = 0x808;
            else if (i == 7 || i == 11) d->m_flags = 1;
            else if (i == 0) d->m_flags = 0x100;
            else if (left.PtInRect(d->GetPosition())) d->m_flags = 0x28;
            else if (inside(d, 2, 3)) d->m_flags = 0x88;
            else if (inside(d, 4, 5)) d->m_flags = 0x48;
        }
        return;
    }

    CDivList working;
    for (POSITION pos = all.GetHeadPosition(); pos;) {
        CDivision* d = all.GetDivision(pos);
        if (IsLost(d) || HasFlagBit(d, 14)) continue;
        if (d->m_number == 0) d->m_flags = 0x100;
        else if (IsDetachmentIndex(d->m_number)) d->m_flags = 0x808;
        else if (IsStrongEnough(d)) {
            d->m_ready = 1;
            working.AddTail(d);
        } else {
            d->m_flags = 0x200;
        }
    }
    int m = int(working.GetCount());
    const int guards = CountCentreGuards(army, code, m);
    const CRect& rear = army.GetZone(CArmy::kRear);
    for (int g = 0; g < guards && !working.IsEmpty(); ++g) {
        if (CDivision* d = PopGuard(working, (rear.left + rear.right) / 2, (rear.top + rear.bottom) / 2)) {
            d->m_flags = 0x101;
            --m;
        }
    }
    int e[3] = {1, 1, 1};
    for (int band = 0; band < 3; ++band)
        for (int r = 2 * band; r <= 2 * band + 1; ++r)
            for (int c = 0; c < CArmy::kGridColumns; ++c) e[band] += army.m_enemyB[r * CArmy::kGridColumns + c];
    const WingCounts w = WingCountsFor(code, m, e[0], e[1], e[2]);
    auto give = [&](int n, int flags) {
        for (int i = 0; i < n && !working.IsEmpty(); ++i) {
            CDivision* d = working.PopMaxY();
            if (!d) return;
            d->m_flags = flags | (d->m_flags & 0x1000);
        }
    };
    give(w.left, kLeftWing);
    give(w.centre, kCentreWing);
    give(w.right, kRightWing);
    working.RemoveAll(FALSE);
}
