// The posture behaviours: how the chosen posture becomes division orders,
// wing by wing, and the steps about the commander's division and its guards.
#include <algorithm>
#include <cmath>
#include <functional>

#include "army/AIRules.h"
#include "army/ArmyAI.h"
#include "army/Army.h"
#include "army/DivisionState.h"
#include "core/Helpers.h"
#include "Units/Unit.h"

using namespace ArmyDivision;
using namespace ArmyAIRules;

namespace {

constexpr int kLeft = 32, kCentre = 128, kRight = 64;
constexpr int kFacingWest = 6;

int Dist(CPoint a, CPoint b) { return Round(GetDistance(a.x, a.y, b.x, b.y, false)); }
CPoint Centre(const CRect& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
CPoint CellCentre(const CArmy& a, int row, int column) {
    return Centre(a.GetCell(row, std::clamp(column, 0, CArmy::kGridColumns - 1)));
}
int MiddleY(const CRect& r) { return (r.top + r.bottom) / 2; }

// The divisions that take part in the wing behaviours, by wing flags.
struct Wings {
    CDivList left, centre, right;
    CDivList& Of(int flags) { return flags == kLeft ? left : flags == kCentre ? centre : right; }
};

void BuildWings(const CArmy& army, Wings& w) {
    for (POSITION pos = army.m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = army.m_divisions.GetDivision(pos);
        if (IsLost(d) || !IsStrongEnough(d)) continue;
        if (d->m_flags == kLeft || d->m_flags == kCentre || d->m_flags == kRight) w.Of(d->m_flags).InsertSorted(d);
    }
}

void Order(CArmy& army, CDivision* d, int type, CPoint p, int facingMode) {
    army.OrderDivision(d, type, p.x, p.y, d->m_flags, facingMode, FALSE, 50, 0);
}

// Matches up to four divisions of `list` (a copy is worked on) to points;
// any other count fills no slot.
void AssignToPoints(const CDivList& list, const CPoint* points, CDivision* out[4]) {
    std::fill(out, out + 4, nullptr);
    CDivList copy;
    for (POSITION pos = list.GetHeadPosition(); pos;) copy.AddTail(list.GetDivision(pos));
    switch (copy.GetCount()) {
    case 1: out[0] = copy.PopFront(TRUE); break;
    case 2:
        out[0] = copy.PopNearest(points[0].x, points[0].y, 65535);
        out[1] = copy.PopNearest(points[1].x, points[1].y, 65535);
        break;
    case 3:
        out[2] = copy.PopMaxX();
        out[1] = copy.PopNearest(points[1].x, points[1].y, 65535);
        out[0] = copy.PopNearest(points[0].x, points[0].y, 65535);
        break;
    case 4: {
        CDivision* a = copy.PopMaxX();
        CDivision* b = copy.PopMaxX();
        if (a && b && Dist(b->GetPosition(), points[3]) < Dist(a->GetPosition(), points[3])) std::swap(a, b);
        out[3] = a;
        out[2] = b;
        out[1] = copy.PopNearest(points[1].x, points[1].y, 65535);
        out[0] = copy.PopNearest(points[0].x, points[0].y, 65535);
        break;
    }
    default: break;
    }
    copy.RemoveAll(FALSE);
}

// Lines the wing up on the points: defence (or `type`) facing the army,
// again when a division within 100 faces elsewhere.
void LineUp(CArmy& army, const CDivList& wing, const CPoint* points, int type, bool staggered) {
    CDivision* slots[4];
    AssignToPoints(wing, points, slots);
    for (int i = 0; i < 4; ++i) {
        CDivision* d = slots[i];
        if (!d || (staggered && !OnTurn(army, d))) continue;
        const int dist = Dist(d->GetPosition(), points[i]);
        if (dist < 100 && d->m_facing == army.m_facing) continue;
        Order(army, d, type, dist < 400 ? points[i] : StepPoint(d->GetPosition(), points[i]), 0);
    }
}

// The points of a line across a band: n = 1..4 divisions.
// The third point stands at `thirdX` + 150 on the line.
void LinePoints(int n, CPoint single, CPoint p0, CPoint p1, int lineY, int thirdX, CPoint out[4]) {
    out[0] = n == 1 ? single : p0;
    out[1] = p1;
    out[2] = CPoint(thirdX + 150, lineY);
    out[3] = CPoint(p1.x + 150, p1.y);
    if (n == 4) out[2] = CPoint(p0.x + 150, p0.y);
}

}  // namespace

namespace ArmyAIRules {

CPoint StepPoint(CPoint from, CPoint to) {
    const double dx = to.x - from.x, dy = to.y - from.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0) return from;
    return CPoint(from.x + int(400 * (dx / length)), from.y + int(400 * (dy / length)));
}

bool StepToward(CArmy& army, CDivision* d, CPoint p, int type, int facingMode, bool mayStep, const CRect* band) {
    const int dist = Dist(d->GetPosition(), p);
    if (dist < 100) return false;
    if (dist < 400) {
        Order(army, d, type, p, facingMode);
        return true;
    }
    if (!mayStep) return false;
    CPoint s = StepPoint(d->GetPosition(), p);
    if (band && !band->PtInRect(d->GetPosition()) && band->PtInRect(s)) s.y = MiddleY(*band);
    Order(army, d, type, s, facingMode);
    return true;
}

}  // namespace ArmyAIRules

void CArmyAI::RunPosture(CArmy& army, int code) {
    switch (code) {
    case 2: PostureGeneralAttack(army); break;
    case 4: PostureCentreAttack(army); break;
    case 64: PostureWingAttack(army, true); break;
    case 128: PostureWingAttack(army, false); break;
    case 256: PostureStaggeredAdvance(army, true); break;
    case 512: PostureStaggeredAdvance(army, false); break;
    case 1024:
    case 2048: PostureHoldLine(army); break;
    case 4096: PosturePursuit(army); break;
    default: break;
    }
}

void CArmyAI::PostureGeneralAttack(CArmy& army) {
    Wings wings;
    BuildWings(army, wings);
    struct Role {
        int flags;
        CPoint fallback;
        CArmy::Zone band;
    };
    const Role roles[] = {{kLeft, CellCentre(army, 1, 11), CArmy::kLeftWing},
                          {kCentre, Centre(army.GetZone(CArmy::kFront)), CArmy::kMiddle},
                          {kRight, CellCentre(army, 4, 11), CArmy::kRightWing}};
    for (const Role& role : roles) {
        CDivList& list = wings.Of(role.flags);
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            CDivision* d = list.GetDivision(pos);
            if (!OnTurn(army, d)) continue;
            const bool forward = army.GetZone(CArmy::kFrontThird).PtInRect(d->GetPosition());
            const CPoint t = forward ? GetHeadquartersTarget(army, d->m_x, d->m_y) : role.fallback;
            StepToward(army, d, t, 2, forward ? -2 : 0, true, &army.GetZone(role.band));
        }
    }
}

void CArmyAI::PostureCentreAttack(CArmy& army) {
    Wings wings;
    BuildWings(army, wings);
    for (POSITION pos = wings.centre.GetHeadPosition(); pos;) {
        CDivision* d = wings.centre.GetDivision(pos);
        StepToward(army, d, GetHeadquartersTarget(army, d->m_x, d->m_y), 2, -2, true);
    }
    // The flanks hold at their front column, or fall back to the front edge.
    for (int row : {1, 4}) {
        CDivList& list = wings.Of(row == 1 ? kLeft : kRight);
        const CPoint w = CellCentre(army, row, army.m_frontColumns[row]);
        const CPoint k = CellCentre(army, row, 11);
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            CDivision* d = list.GetDivision(pos);
            if (d->m_x < w.x - 400) {
                if (Dist(d->GetPosition(), k) < Dist(d->GetPosition(), w))
                    Order(army, d, 512, k, row == 1 ? 2 : 6);
                else
                    Order(army, d, 512, w, 0);
            } else {
                Order(army, d, 512, CPoint(std::max(k.x, d->m_x - 300), w.y), 0);
            }
        }
    }
}

void CArmyAI::PostureHoldLine(CArmy& army) {
    Wings wings;
    BuildWings(army, wings);
    struct Pass {
        int flags, a, b, lineY;
    };
    for (const Pass& p : {Pass{kCentre, 2, 3, 1000}, Pass{kLeft, 0, 1, 1667}, Pass{kRight, 4, 5, 333}}) {
        const CDivList& list = wings.Of(p.flags);
        const int fa = army.m_frontColumns[p.a], fb = army.m_frontColumns[p.b];
        const CPoint single(CellCentre(army, p.a, std::min(fa, fb)).x, p.lineY);
        CPoint points[4];
        LinePoints(int(list.GetCount()), single, CellCentre(army, p.a, fa), CellCentre(army, p.b, fb), p.lineY,
                   single.x, points);
        LineUp(army, list, points, 512, true);
    }
}

void CArmyAI::PosturePursuit(CArmy& army) {
    if (!army.m_opponent) return;
    for (POSITION pos = army.m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = army.m_divisions.GetDivision(pos);
        if (IsLost(d) || !IsStrongEnough(d) || DetachmentValue(d) != 0 || d->IsFlagSet() || !OnTurn(army, d)) continue;
        if (const CDivision* e = army.m_opponent->m_divisions.FindNearest(d->m_x, d->m_y, TRUE, FALSE, 65535))
            Order(army, d, 2, e->GetPosition(), -2);
    }
}

void CArmyAI::PostureStaggeredAdvance(CArmy& army, bool leadLeft) {
    Wings wings;
    BuildWings(army, wings);
    const int leadFlags = leadLeft ? kLeft : kRight, trailFlags = leadLeft ? kRight : kLeft;
    const CRect& leadBand = army.GetZone(leadLeft ? CArmy::kLeftWing : CArmy::kRightWing);
    const CRect& trailBand = army.GetZone(leadLeft ? CArmy::kRightWing : CArmy::kLeftWing);
    const CPoint front = Centre(army.GetZone(CArmy::kFront));
    const CPoint leadFallback = CellCentre(army, leadLeft ? 1 : 4, 11);
    CPoint trailFallback = CellCentre(army, leadLeft ? 4 : 1, 11);

    // The lead division of a wing: the one with the smallest x.
    auto leadOf = [](const CDivList& list) {
        CDivision* best = nullptr;
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            CDivision* d = list.GetDivision(pos);
            if (!best || d->m_x < best->m_x) best = d;
        }
        return best;
    };
    const CDivision* leadA = leadOf(wings.Of(leadFlags));
    const CDivision* leadC = leadOf(wings.centre);
    const CDivision* leadT = leadOf(wings.Of(trailFlags));
    auto block = [](CPoint from, const CDivision* lead) {
        return CRect(from.x, std::min(from.y, lead->m_y) - 125, lead->m_x, std::max(from.y, lead->m_y) + 125);
    };
    bool centreBlocked = false, trailBlocked = false;
    if (army.m_opponent) {
        for (POSITION pos = army.m_opponent->m_divisions.GetHeadPosition(); pos;) {
            const CDivision* e = army.m_opponent->m_divisions.GetDivision(pos);
            if (IsLost(e) || e->GetStrengthRatio(FALSE) <= 0.25 || DetachmentValue(e) != 0) continue;
            if (leadC && block(front, leadC).PtInRect(e->GetPosition())) centreBlocked = true;
            if (leadT && block(trailFallback, leadT).PtInRect(e->GetPosition())) trailBlocked = true;
        }
    }
    // One wing: forward ones go for the headquarters, the others for their
    // fallback point; followers regroup when the point lies east of them.
    auto advance = [&](const CDivList& list, CPoint fallback, const CRect& band, bool follower) {
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            CDivision* d = list.GetDivision(pos);
            if (!OnTurn(army, d)) continue;
            const bool forward = army.GetZone(CArmy::kFrontThird).PtInRect(d->GetPosition());
            const CPoint t = forward ? GetHeadquartersTarget(army, d->m_x, d->m_y) : fallback;
            const int type = follower && t.x > d->m_x ? 64 : 2;
            const int facing = forward ? -2 : 0;
            const int dist = Dist(d->GetPosition(), t);
            if (dist < 100) continue;
            if (dist < 400) {
                Order(army, d, type, t, facing);
                continue;
            }
            CPoint s = StepPoint(d->GetPosition(), t);
            if (!band.PtInRect(d->GetPosition()) && band.PtInRect(t)) s.y = MiddleY(band);
            Order(army, d, type, s, facing);
        }
    };
    advance(wings.Of(leadFlags), leadFallback, leadBand, false);
    CPoint centreFallback = front;
    if (leadA && centreBlocked && front.x <= leadA->m_x + 200) centreFallback = CPoint(leadA->m_x + 200, front.y);
    advance(wings.centre, centreFallback, army.GetZone(CArmy::kMiddle), true);
    if (leadC && trailBlocked && trailFallback.x <= leadC->m_x + 200)
        trailFallback = CPoint(leadC->m_x + 200, trailFallback.y);
    advance(wings.Of(trailFlags), trailFallback, trailBand, true);
}

void CArmyAI::PostureWingAttack(CArmy& army, bool attackLeft) {
    Wings wings;
    BuildWings(army, wings);
    const int attackFlags = attackLeft ? kLeft : kRight, flankFlags = attackLeft ? kRight : kLeft;
    const CRect& attackBand = army.GetZone(attackLeft ? CArmy::kLeftWing : CArmy::kRightWing);
    const CRect& middle = army.GetZone(CArmy::kMiddle);
    const CRect& front = army.GetZone(CArmy::kFront);
    const CPoint attackFallback = CellCentre(army, attackLeft ? 1 : 4, 11);
    const bool west = army.m_facing == kFacingWest;
    const int attackLineY = attackLeft == west ? 1667 : 333;
    const int flankLineY = attackLeft == west ? 333 : 1667;

    // The attack wing goes for what stands on its band before it, or the
    // middle band's enemy nobody else is after.
    CDivList& attackWing = wings.Of(attackFlags);
    for (POSITION pos = attackWing.GetHeadPosition(); pos;) {
        CDivision* d = attackWing.GetDivision(pos);
        if (!OnTurn(army, d)) continue;
        const bool inFront = front.PtInRect(d->GetPosition());
        const bool inBand = attackBand.PtInRect(d->GetPosition());
        const CDivision *a = nullptr, *b = nullptr;
        if (army.m_opponent) {
            CDivList copy;
            for (POSITION p = army.m_opponent->m_divisions.GetHeadPosition(); p;)
                copy.AddTail(army.m_opponent->m_divisions.GetDivision(p));
            while (!copy.IsEmpty() && !(a && b)) {
                const CDivision* e = copy.PopMaxX();
                if (!e) break;
                if (e->GetStrengthRatio(FALSE) < 0.35 || !e->m_present || IsLost(e)) continue;
                if (!a && attackBand.PtInRect(e->GetPosition()) && d->m_x - 500 < e->m_x && e->m_x < d->m_x + 100) {
                    a = e;
                } else if (!b && middle.PtInRect(e->GetPosition()) && d->m_x - 250 < e->m_x &&
                           e->m_x < d->m_x + 250) {
                    bool taken = false;
                    for (POSITION q = attackWing.GetHeadPosition(); q;) {
                        const CDivision* o = attackWing.GetDivision(q);
                        if (o == d || !o->m_present || IsLost(o)) continue;
                        const double dx = o->m_order.m_x - e->m_x, dy = o->m_order.m_y - e->m_y;
                        if (dx * dx + dy * dy <= 40000) taken = true;
                    }
                    if (!taken) b = e;
                }
            }
            copy.RemoveAll(FALSE);
        }
        if (inFront) {
            StepToward(army, d, GetHeadquartersTarget(army, d->m_x, d->m_y), 2, -2, d->m_ready);
        } else if (b) {
            const CPoint t = (a ? a : b)->GetPosition();
            if (Dist(d->GetPosition(), t) >= 100) Order(army, d, 2, t, -2);
        } else {
            const int dist = Dist(d->GetPosition(), attackFallback);
            if (dist >= 100 && dist < 400) {
                Order(army, d, 2, attackFallback, -2);
            } else if (dist >= 400 && d->m_ready) {
                CPoint s = StepPoint(d->GetPosition(), attackFallback);
                if (!inBand) s.y = attackLineY;
                Order(army, d, 2, s, -2);
            }
        }
    }

    // The flank wing meets what threatens the centre, covers its band, or
    // lines up.
    CDivList flank;
    for (POSITION pos = wings.Of(flankFlags).GetHeadPosition(); pos;) flank.AddTail(wings.Of(flankFlags).GetDivision(pos));
    const CRect& flankBand = army.GetZone(attackLeft ? CArmy::kRightWing : CArmy::kLeftWing);
    auto unionOf = [&](int r0, int r1, int c0, int c1) {
        CRect u = army.GetCell(r0, c0);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) u.UnionRect(&u, &army.GetCell(r, c));
        return u;
    };
    const CRect rearBlock = attackLeft ? unionOf(3, 5, 0, 3) : unionOf(0, 2, 0, 3);
    const CRect threatBlock = attackLeft ? unionOf(3, 4, 2, 9) : unionOf(1, 2, 2, 9);
    const CPoint flankFallback = CellCentre(army, attackLeft ? 4 : 1, 11);
    CDivList bandList, rearList, threatList;
    if (army.m_opponent) {
        for (POSITION pos = army.m_opponent->m_divisions.GetHeadPosition(); pos;) {
            CDivision* e = army.m_opponent->m_divisions.GetDivision(pos);
            if (IsLost(e)) continue;
            if (flankBand.PtInRect(e->GetPosition())) bandList.AddTail(e);
            if (rearBlock.PtInRect(e->GetPosition())) rearList.AddTail(e);
            const CPoint target(e->m_order.m_x, e->m_order.m_y);
            if (!middle.PtInRect(target) || !threatBlock.PtInRect(e->GetPosition())) continue;
            CDivList centreCopy;
            for (POSITION q = wings.centre.GetHeadPosition(); q;) centreCopy.AddTail(wings.centre.GetDivision(q));
            const CDivision* guard = centreCopy.PopNearest(target.x, target.y, 65535);
            centreCopy.RemoveAll(FALSE);
            if (!guard) continue;
            const double dx = guard->m_x - e->m_x, dy = guard->m_y - e->m_y;
            if (dx * dx + dy * dy <= 250000) threatList.AddTail(e);
        }
    }
    bool lineUp = false;
    if (!threatList.IsEmpty()) {
        const CDivision* threat = nullptr;
        for (POSITION pos = flank.GetHeadPosition(); pos;) {
            CDivision* d = flank.GetDivision(pos);
            if (!threatList.IsEmpty()) threat = threatList.PopMaxX();
            if (!threat || !OnTurn(army, d)) continue;
            const CPoint off = ScaleToLength(d->m_x - threat->m_x, d->m_y - threat->m_y, 150);
            StepToward(army, d, CPoint(threat->m_x + off.x, threat->m_y + off.y), 512, -2, d->m_ready);
        }
    } else {
        const double bandCount = double(bandList.GetCount());
        const double r = bandCount > 0 ? double(flank.GetCount()) / bandCount : 1e9;
        if (r > 1.2) {
            for (POSITION pos = flank.GetHeadPosition(); pos;) {
                CDivision* d = flank.GetDivision(pos);
                if (!OnTurn(army, d)) continue;
                const bool inFront = front.PtInRect(d->GetPosition());
                const CPoint t = inFront ? GetHeadquartersTarget(army, d->m_x, d->m_y) : flankFallback;
                const int dist = Dist(d->GetPosition(), t);
                if (dist >= 100 && dist < 400) {
                    Order(army, d, 2, t, -2);
                } else if (dist >= 400 && d->m_ready) {
                    CPoint step = StepPoint(d->GetPosition(), t);
                    if (!inFront && !flankBand.PtInRect(d->GetPosition())) step.y = MiddleY(flankBand);
                    Order(army, d, 2, step, -2);
                }
            }
        } else if (r > 0.8 && rearList.IsEmpty()) {
            const CDivision* s = bandList.PopMaxX();
            const CPoint p(s->m_x + 400, s->m_y);
            for (POSITION pos = flank.GetHeadPosition(); pos;) {
                CDivision* d = flank.GetDivision(pos);
                if (!OnTurn(army, d)) continue;
                const bool past = west ? p.x > d->m_x : p.x < d->m_x;
                if (past) {
                    if (Dist(d->GetPosition(), p) > 50) {
                        const int facing = CArmyElement::NormalizeDirection(GetDirection(p.x, p.y, d->m_x, d->m_y) -
                                                                            army.m_facing);
                        Order(army, d, 64, p, facing);
                    }
                } else {
                    StepToward(army, d, p, 128, -2, d->m_ready);
                }
            }
        } else {
            while (!rearList.IsEmpty() && !flank.IsEmpty()) {
                const CDivision* e = rearList.PopMaxX();
                CDivision* d = flank.PopNearest(e->m_x, e->m_y, 65535);
                if (!d) break;
                if (OnTurn(army, d)) Order(army, d, 512, e->GetPosition(), -2);
            }
            lineUp = true;
        }
    }
    if (lineUp) {
        const int fr = attackLeft ? 4 : 1;
        const int flankColumn = attackLeft ? std::min(army.m_frontColumns[4], army.m_frontColumns[5]) : 3;
        CPoint flankPoints[4];
        LinePoints(int(flank.GetCount()), CPoint(CellCentre(army, fr, flankColumn).x, flankLineY),
                   CellCentre(army, attackLeft ? 4 : 1, 3), CellCentre(army, attackLeft ? 5 : 0, 3), flankLineY,
                   CellCentre(army, attackLeft ? 4 : 1, 3).x, flankPoints);
        LineUp(army, flank, flankPoints, 512, true);
    }
    for (CDivList* list : {&flank, &bandList, &rearList, &threatList}) list->RemoveAll(FALSE);

    // The centre lines up on the middle band and moves in when the attack
    // wing aims into it.
    bool shift = false;
    for (POSITION pos = army.m_divisions.GetHeadPosition(); pos;) {
        const CDivision* d = army.m_divisions.GetDivision(pos);
        if (d->m_flags == attackFlags && !IsLost(d) && middle.PtInRect(CPoint(d->m_order.m_x, d->m_order.m_y)))
            shift = true;
    }
    const int centreColumn = attackLeft ? std::min(army.m_frontColumns[2], army.m_frontColumns[3]) : 3;
    CPoint centrePoints[4];
    LinePoints(int(wings.centre.GetCount()), CPoint(CellCentre(army, 2, centreColumn).x, 1000),
               CellCentre(army, 2, 3), CellCentre(army, 3, 3), 1000, CellCentre(army, 2, 3).x, centrePoints);
    if (shift)
        for (CPoint& p : centrePoints) p.x += west ? -150 : 150;
    LineUp(army, wings.centre, centrePoints, shift ? 2 : 512, true);
}
