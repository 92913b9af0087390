// The special placements: the column and zone guards of formation 99, the
// spare group and responders of formations 94 and 97, and the supporters of
// formations 133 and 134.
#include <initializer_list>

#include "army/Army.h"
#include "army/Deployment.h"
#include "army/DivisionState.h"
#include "core/Helpers.h"
#include "Units/DivList.h"

using namespace ArmyDivision;

namespace {

constexpr int kFacingWest = 6;

int Distance(int x1, int y1, int x2, int y2) { return Round(GetDistance(x1, y1, x2, y2, false)); }

bool AttackGate(const CArmy& a) { return a.m_tickCount % 50 == 0 || a.m_tickCount == 10; }

// The id of the division formation a division stands in; -1 for none.
int DivFormationId(const CDivision* d) { return d->m_formation ? d->m_formation->GetNumber() : -1; }

// Hard pressed: three or more enemies in the front zone and few of its own
// there (35 against fewer than 15 enemies, else 70).
bool NeedsSupport(const CDivision* d) {
    int enemies = 0, own = 0;
    for (int p = 0; p < 3; ++p) {
        enemies += d->m_zoneUnits[0][0][p].GetCount();
        own += d->m_zoneUnits[1][0][p].GetCount();
    }
    if (enemies < 3) return false;
    return enemies < 15 ? own <= 35 : own <= 70;
}

// Takes `d` out of `from` into `to`; nothing when `from` does not hold it.
void MoveBetween(CDivList& from, CDivList& to, CDivision* d) {
    if (!d) return;
    POSITION pos = from.Find(d);
    if (!pos) return;
    from.RemoveAt(pos);
    to.InsertSortedByX(d);
}

CDivision* At(const CDivList& list, int position) {
    int i = 0;
    for (POSITION pos = list.GetHeadPosition(); pos; ++i) {
        CDivision* d = list.GetDivision(pos);
        if (i == position) return d;
    }
    return nullptr;
}

}  // namespace

void CDeployment::HandOverToPostures() {
    for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) a.m_divisions.GetDivision(pos)->m_flags &= ~0x4000;
    a.m_aiMode = 1;
    m_ai.RunPosture(a, 2);
}

void CDeployment::AssignResponders(CDivList& wingA, CDivList& centre, CDivList& wingB, CDivList& spare) {
    struct Band {
        CArmy::Zone zone;
        CDivList* list;
        int divisions[3];
    };
    // The three targets first, then the bands in order.
    const Band bands[3] = {{CArmy::kLeftWing, &wingA, {2, 5, 9}},
                           {CArmy::kMiddle, &centre, {1, 4, 8}},
                           {CArmy::kRightWing, &wingB, {3, 6, 10}}};
    CDivision* targets[3];
    for (int b = 0; b < 3; ++b) targets[b] = FindNearestTargetInRect(a.GetZone(bands[b].zone), false, true);
    for (int b = 0; b < 3; ++b) {
        int budget = targets[b] ? targets[b]->CountBattalions(TRUE, TRUE) / 2 : 0;
        for (int index : bands[b].divisions) {
            CDivision* d = Own(index);
            if (!d) continue;
            if (targets[b] && budget >= 1) {
                bands[b].list->InsertSortedByX(d);
                budget -= d->CountBattalions(TRUE, TRUE);
            } else {
                spare.InsertSortedByX(d);
            }
        }
    }
}

namespace {
void Fill(CDivList& list, std::initializer_list<int> divisions, const CArmy& a) {
    for (int i : divisions)
        if (CDivision* d = a.m_divisions.FindByID(i, TRUE, FALSE)) list.InsertSortedByX(d);
}
}  // namespace

// The spare group and the responders of formations 94 and 97.
void CDeployment::SparePlacement(bool form94) {
    const int posture = a.m_posture;
    if (posture == 2) return HandOverToPostures();
    if (posture == 4096) return m_ai.RunPosture(a, 4096);
    const bool engage = posture == 1024 || posture == 2048;
    if (!engage && posture != 4 && posture != 64 && posture != 128 && posture != 256 && posture != 512) return;

    CDivList spare, wingA, centre, wingB;
    CDivision* n = FindNearestTargetInRect(a.GetZone(CArmy::kMiddle), false, true);
    if (!n) n = FindNearestTargetInRect(a.GetZone(CArmy::kRightWing), false, true);
    if (!n) n = FindNearestTargetInRect(a.GetZone(CArmy::kLeftWing), false, true);
    CDivision* ta = FindTargetWingA(false, false);
    CDivision* tb = FindTargetWingB(false, false);

    CDivision* t = nullptr;
    switch (posture) {
    case 4:
        t = n;
        Fill(spare, form94 ? std::initializer_list<int>{1, 4, 8} : std::initializer_list<int>{1, 4, 8, 2, 3}, a);
        Fill(wingA, form94 ? std::initializer_list<int>{2, 5, 9} : std::initializer_list<int>{5, 9}, a);
        Fill(wingB, form94 ? std::initializer_list<int>{3, 6, 10} : std::initializer_list<int>{6, 10}, a);
        break;
    case 64:
        t = ta;
        Fill(spare, form94 ? std::initializer_list<int>{2, 5, 9} : std::initializer_list<int>{2, 5, 9, 1, 3}, a);
        Fill(centre, form94 ? std::initializer_list<int>{1, 4, 8} : std::initializer_list<int>{4, 8}, a);
        Fill(wingB, form94 ? std::initializer_list<int>{3, 6, 10} : std::initializer_list<int>{6, 10}, a);
        break;
    case 128:
        t = tb;
        Fill(spare, {3, 6, 10}, a);
        Fill(wingA, {2, 5, 9}, a);
        Fill(centre, {1, 4, 8}, a);
        break;
    case 256:
    case 512:
        if (form94) {
            t = posture == 256 ? ta : tb;
            Fill(spare, posture == 256 ? std::initializer_list<int>{2, 5, 9, 8} : std::initializer_list<int>{3, 6, 10, 8}, a);
            Fill(posture == 256 ? wingB : wingA,
                 posture == 256 ? std::initializer_list<int>{3, 6, 10} : std::initializer_list<int>{2, 5, 9}, a);
            Fill(centre, {1, 4}, a);
        } else {
            t = posture == 256 ? (ta ? ta : tb ? tb : n) : (tb ? tb : n);
            Fill(spare, {1, 4, 8, 2, 3}, a);
            Fill(wingA, {5, 9}, a);
            Fill(wingB, {6, 10}, a);
        }
        break;
    default:
        t = FindTargetInRect(a.GetZone(CArmy::kRearHalf), false, true);
        AssignResponders(wingA, centre, wingB, spare);
        break;
    }

    if (!engage && spare.GetCount(TRUE) < 2) {
        // Two divisions come over to the spare group from their lists.
        struct Move {
            int division;
            char from;
        };
        Move moves[2];
        switch (posture) {
        case 4: moves[0] = {5, 'a'}, moves[1] = {6, 'b'}; break;
        case 64: moves[0] = {8, 'c'}, moves[1] = {6, 'b'}; break;
        case 128: moves[0] = {8, 'c'}, moves[1] = {5, 'a'}; break;
        case 256: moves[0] = form94 ? Move{4, 'c'} : Move{5, 'a'}, moves[1] = {6, 'b'}; break;
        default:
            if (form94) moves[0] = {4, 'c'}, moves[1] = {5, 'a'};
            else moves[0] = {6, 'b'}, moves[1] = {5, 'a'};
            break;
        }
        for (const Move& m : moves) {
            CDivList& from = m.from == 'a' ? wingA : m.from == 'b' ? wingB : centre;
            MoveBetween(from, spare, Own(m.division));
        }
    }

    if (spare.IsEmpty() || !t) return;
    spare.SortByX(TRUE);
    const CPoint p = t->GetPosition();
    bool near = false;

    // Stand ground at `q` while farther than `far` from the target (450 and
    // up: at least; 500 and up for the engage postures' "more than"), else
    // attack it, all-out when fresh and more than 200 away.
    auto standOrAttack = [&](CDivision* d, CPoint q, int far, bool atLeast) {
        const int dist = Distance(d->m_x, d->m_y, p.x, p.y);
        if (atLeast ? dist >= far : dist > far) {
            a.OrderDivision(d, 128, q.x, q.y, 0x4000, -2, FALSE, 100, 50);
            return false;
        }
        AttackOn(d, t, d->IsFresh() && dist > 200 ? 1 : 2);
        return true;
    };
    // Sends a copy of the division's order carrying the division formation
    // of `slot` when it stands in another one.
    auto takeSlotFormation = [&](CDivision* d, int slot) {
        const int wanted = a.m_formation ? a.m_formation->GetDivFormationID(slot) : -1;
        if (DivFormationId(d) == wanted) return;
        auto* order = new CObjective(&d->m_order);
        order->m_targetId = wanted;
        a.SendOrder(d, order, TRUE, 1);
    };
    auto slotEx = [&](CDivision* d, int slot, int dx, int dy, int side, int radius, int reachA, int reachB, int facing,
                      int code) {
        if (!d) return;
        const CPoint s = SlotTarget(slot, dx, dy);
        SetDivisionTargetEx(a, d, side, s.x, s.y, radius, reachA, reachB, facing, code, 0);
    };

    if (form94) {
        int i = 0;
        for (POSITION pos = spare.GetHeadPosition(); pos; ++i) {
            CDivision* d = spare.GetDivision(pos);
            if (posture == 4) {
                takeSlotFormation(d, i == 0 ? 1 : i == 1 ? 4 : 8);
                standOrAttack(d, p, 500, true);
            } else if (engage) {
                near |= standOrAttack(d, p, 500, false);
            } else {
                bool sweep;
                CPoint q;
                switch (posture) {
                case 128: sweep = d->m_y < 500, q = CPoint(p.x, 1600); break;
                case 64: sweep = d->m_y < 1500, q = CPoint(p.x, 1600); break;
                case 256: sweep = d->m_y < 1200, q = CPoint(p.x, 1400); break;
                default: sweep = d->m_y > 800, q = CPoint(p.x, 700); break;
                }
                if (sweep && d->m_x > p.x + 150) {
                    a.OrderDivision(d, 128, q.x, q.y, 0x4000, -2, FALSE, 100, 50);
                } else {
                    AttackOn(d, t, d->IsFresh() ? 1 : 2);
                    near = true;
                }
            }
        }
        // The responders hold close, with short reach.
        auto wide = [&](int k) { return k == 0 && posture != 64 && posture != 128; };
        // A wing list: slots front to rear, the facing modes of its first two.
        auto placeWing = [&](const CDivList& list, const int (&slot)[3], int facing0, int facing1) {
            static const int side[3] = {3, 2, 1}, radius[3] = {100, 100, 200}, reach[3] = {120, 120, 300};
            const int facing[3] = {facing0, facing1, 0};
            for (int k = 0; k < 3; ++k) {
                const int o = wide(k) ? -150 : -100;
                slotEx(At(list, k), slot[k], o, o, side[k], radius[k], reach[k], 400, facing[k], 128);
            }
        };
        static const int kSlotsB[3] = {3, 6, 10}, kSlotsA[3] = {2, 5, 9};
        auto placeB = [&] { placeWing(wingB, kSlotsB, 1, 2); };
        auto placeA = [&] { placeWing(wingA, kSlotsA, 7, 6); };
        auto placeC = [&] {
            for (int k = 0; k < 3; ++k) {
                CDivision* d = At(centre, k);
                if (!d) continue;
                if (near && k > 0) {
                    const bool strong = (posture == 64 || posture == 128) ? (d->m_type == 0 || d->m_type == 1)
                                                                          : d->IsFresh() != 0;
                    AttackOn(d, t, strong ? 1 : 2);
                    continue;
                }
                static const int slot[3] = {1, 4, 8}, side[3] = {3, 2, 1}, radius[3] = {100, 100, 200},
                                 reach[3] = {120, 120, 300}, code[3] = {128, 128, 2};
                slotEx(d, slot[k], -100, -100, side[k], radius[k], reach[k], 400, 0, code[k]);
            }
        };
        switch (posture) {
        case 4: placeB(), placeA(); break;
        case 64:
        case 256: placeB(), placeC(); break;
        case 128:
        case 512: placeA(), placeC(); break;
        default: placeB(), placeA(), placeC(); break;
        }
        return;
    }

    if (engage) {
        for (POSITION pos = spare.GetHeadPosition(); pos;) near |= standOrAttack(spare.GetDivision(pos), p, 500, false);
        slotEx(At(wingB, 0), 3, -150, 100, 3, 250, 500, 700, 0, 128);
        slotEx(At(wingB, 1), 6, 0, 0, 1, 250, 500, 700, 0, 512);
        slotEx(At(wingB, 2), 10, 100, 100, 1, 250, 500, 700, 0, 2);
        slotEx(At(wingA, 0), 2, -150, -100, 3, 250, 500, 700, 0, 128);
        slotEx(At(wingA, 1), 5, 0, 0, 1, 250, 500, 700, 0, 512);
        slotEx(At(wingA, 2), 9, 100, -100, 1, 250, 500, 700, 0, 2);
        if (near) {
            for (int k = 0; k < 3; ++k)
                if (CDivision* d = At(centre, k)) AttackOn(d, t, d->IsFresh() ? 1 : 2);
        } else {
            slotEx(At(centre, 0), 1, -300, 0, 3, 250, 500, 700, 0, 128);
            slotEx(At(centre, 1), 4, 200, 0, 2, 250, 500, 700, 0, 512);
            slotEx(At(centre, 2), 8, 200, 0, 1, 250, 500, 700, 0, 512);
        }
        return;
    }

    // Five aims: the spare division nearest each aim slot goes for the
    // target or stands ground at its aim point.
    const int wide = posture == 512 ? 150 : 350;
    const CPoint aims[5] = {p, CPoint(p.x - 100, a.m_facing == kFacingWest ? p.y - wide : p.y + wide),
                            CPoint(p.x - 100, p.y + (posture == 256 ? 150 : 350)), CPoint(p.x - 100, p.y + 150),
                            CPoint(p.x - 100, p.y - 150)};
    static const int kAimSlots[5] = {1, 3, 2, 4, 8};
    for (int k = 0; k < 5; ++k) {
        const CPoint s = SlotTarget(kAimSlots[k], 0, 0);
        CDivision* d = spare.FindNearest(s.x, s.y, TRUE, TRUE, 65535);
        if (!d) continue;
        takeSlotFormation(d, kAimSlots[k]);
        standOrAttack(d, aims[k], 450, true);
        spare.RemoveAt(spare.Find(d));
    }
    if (!spare.IsEmpty()) standOrAttack(spare.PopFront(TRUE), aims[4], 450, true);
    slotEx(At(wingB, 0), 6, 0, 0, 3, 250, 500, 700, 0, 128);
    slotEx(At(wingB, 1), 10, 0, 0, 1, 250, 500, 700, 0, 512);
    slotEx(At(wingA, 0), 2, -150, -150, 3, 250, 500, 700, 0, 128);
    slotEx(At(wingA, 1), 5, -100, -100, 1, 250, 500, 700, 0, 128);
}

void CDeployment::PlaceForm94() { SparePlacement(true); }

void CDeployment::PlaceForm97() { SparePlacement(false); }

void CDeployment::PlaceForm99() {
    CRect outer = a.GetZone(CArmy::kWholeField);
    CDivision* t = nullptr;
    switch (a.m_posture) {
    case 2:
    case 4096: m_ai.RunPosture(a, 4096); break;
    case 1024:
    case 2048:
        t = FindTargetInRect(a.GetZone(CArmy::kRearHalf), false, true);
        outer = a.GetZone(CArmy::kRearHalf);
        break;
    case 512:
    case 128: t = FindTargetWingB(false, true); break;
    case 256:
    case 64: t = FindTargetWingA(false, true); break;
    case 4: t = FindTargetCentre(false, true); break;
    default: break;
    }

    CDivList column;
    for (int i : {1, 4, 3, 2, 5})
        if (CDivision* d = Own(i)) column.AddTail(d);
    const CPoint home = a.m_opponent ? a.m_opponent->m_armyPoint : CPoint(0, 0);
    if (column.IsEmpty()) {
        for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) a.m_divisions.GetDivision(pos)->m_flags &= ~0x4000;
        a.m_aiMode = 1;
    } else {
        column.SortByX(TRUE);
        const int xMin = column.PopFront(FALSE)->m_x, xMax = column.GetLast()->m_x;
        column.SortByY(TRUE);
        const int yMin = column.PopFront(FALSE)->m_y, yMax = column.GetLast()->m_y;
        const CPoint aim = t ? t->GetPosition() : m_ai.GetHeadquartersTarget(a, home.x, home.y);
        const int d = Distance(home.x, home.y, (xMin + xMax) / 2, (yMin + yMax) / 2);
        auto everyone = [&](auto&& order) {
            for (POSITION pos = column.GetHeadPosition(); pos;) order(column.GetDivision(pos));
        };
        if (d < 600) {
            everyone([&](CDivision* c) {
                const CPoint q = m_ai.GetHeadquartersTarget(a, c->m_x, c->m_y);
                a.OrderDivision(c, 1, q.x, q.y, 0x4000, -2, FALSE, 50, 50);
            });
        } else if (CRect(xMin, yMin, xMax, yMax).PtInRect(aim)) {
            if (t && AttackGate(a) && t->m_present)
                everyone([&](CDivision* c) { a.OrderDivision(c, 1, t->m_x, t->m_y, 0x4000, -2, FALSE, 100, 0); });
        } else {
            CDivision* g = column.GetHighestGrade();
            CDivision* n = g && g->m_grade >= 1 && a.m_opponent
                               ? a.m_opponent->m_divisions.FindNearest(g->m_x, g->m_y, TRUE, TRUE, 500)
                               : nullptr;
            if (n) {
                if (AttackGate(a) && n->m_present)
                    everyone([&](CDivision* c) { a.OrderDivision(c, 1, n->m_x, n->m_y, 0x4000, -2, FALSE, 100, 0); });
            } else {
                if (aim.x != xMax) column.SortByX(aim.x <= xMax);
                if (aim.y < yMin || aim.y > yMax) column.SortByY(aim.y <= yMax);
                if (t) {
                    CDivision* leader = column.PopFront(TRUE);
                    if (!outer.PtInRect(t->GetPosition())) {
                        const CRect rear = a.GetZone(CArmy::kRearHalf);
                        if (CDivision* g2 = FindTargetInRect(rear, true, true)) {
                            ChaseTarget(leader, g2, 500, 512, rear, outer, 0);
                        } else {
                            const int ahead = a.m_facing == kFacingWest ? -800 : 800;
                            SetDivisionTarget(a, leader, 1, a.m_x + a.m_frontOffset.x + ahead, a.m_y + a.m_frontOffset.y,
                                              500, 0, 512, 0);
                        }
                    } else if (AttackGate(a) && t->m_present) {
                        a.OrderDivision(leader, 1, t->m_x, t->m_y, 0x4000, -2, FALSE, 100, 0);
                    }
                    CDivision* previous = leader;
                    for (POSITION pos = column.GetHeadPosition(); pos;) {
                        CDivision* c = column.GetDivision(pos);
                        FollowDivision(c, previous, 200, 128, 0, 0, 0);
                        previous = c;
                    }
                }
            }
        }
    }

    // Zone guards.
    struct Guard {
        int division;
        std::initializer_list<CArmy::Zone> zones;
    };
    const Guard guards[4] = {{6, {CArmy::kRightWing, CArmy::kMiddle}},
                             {9, {CArmy::kLeftWing, CArmy::kMiddle}},
                             {8, {CArmy::kMiddle, CArmy::kRightWing, CArmy::kLeftWing}},
                             {10, {CArmy::kRightWing, CArmy::kMiddle}}};
    for (const Guard& g : guards) {
        CDivision* d = a.m_divisions.FindByID(g.division, FALSE, FALSE);
        if (!d) continue;
        CDivision* e = nullptr;
        for (CArmy::Zone z : g.zones)
            if (!e) e = FindNearestTargetInRect(a.GetZone(z), false, true);
        if (e) {
            ChaseTarget(d, e, 350, 512, a.GetZone(CArmy::kRearHalf), outer, -3);
        } else {
            const CPoint q = m_ai.GetHeadquartersTarget(a, d->m_x, d->m_y);
            SetDivisionTargetNear(a, d, 1, q.x, q.y, 300, 150, 100, 0, 2, 0);
        }
    }
    column.RemoveAll(FALSE);
}

void CDeployment::DeployForm133() {
    if (!a.m_battleJoined) return;
    struct Watch {
        int supporter, first, second, slot, dx12, dx3;
    };
    static const Watch kWatches[2] = {{10, 3, 6, 10, 0, 0}, {5, 2, 4, 5, -200, -300}};
    for (const Watch& w : kWatches) {
        CDivision* s = Own(w.supporter);
        if (!s) continue;
        CDivision* watched = Own(w.first);
        if (!watched) watched = Own(w.second);
        if (watched) {
            if (!NeedsSupport(watched)) continue;
            CDivision* e = a.m_opponent ? a.m_opponent->m_divisions.FindNearest(watched->m_x, watched->m_y, TRUE, TRUE, 300)
                                        : nullptr;
            if (e && AttackGate(a) && e->m_present) a.OrderDivision(s, 512, e->m_x, e->m_y, 0x4000, -2, FALSE, 100, 0);
            continue;
        }
        if (a.m_randomTie == 3) {
            const CPoint t = SlotTarget(w.slot, w.dx3, 0);
            SetDivisionTargetEx(a, s, 3, t.x, t.y, 300, 1000, 1000, 0, 512, 0);
        } else {
            const CPoint t = SlotTarget(w.slot, w.dx12, 0);
            SetDivisionTargetEx(a, s, 1, t.x, t.y, 200, 400, 400, 0, 512, 0);
        }
    }
    if (CDivision* five = Own(5)) {
        const CPoint t = SlotTarget(5, -300, 0);
        SetDivisionTargetEx(a, five, 3, t.x, t.y, 300, 1000, 1000, 0, 512, 0);
    }
}
