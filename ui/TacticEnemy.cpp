// The computer's army on the deployment screen: its commander, detachments,
// formation and generals, and the glimpse of its set-up the player may get.
// Every choice is a counted draw, in the order the comments give.
#include <algorithm>
#include <climits>

#include "army/Army.h"
#include "core/Random.h"
#include "field/BattlefieldTables.h"
#include "shell/OrvaneView.h"
#include "ui/TacticScreen.h"
#include "Units/Battalion.h"
#include "Units/Division.h"

namespace {
// Posture masks of the formation kept for one general, by rand() % 20.
DWORD PostureMaskFor(int draw) {
    switch (draw) {
    case 0: return 0x10000;
    case 1: return 0x20000;
    case 2: case 16: case 17: return 0x40000;
    case 3: case 18: case 19: return 0x80000;
    case 4: return 0x100000;
    case 6: return 0x200000;
    case 7: return 0x400000;
    case 8: return 0x800000;
    case 10: return 0x1000000;
    case 11: return 0x2000000;
    case 12: return 0x40000000;
    case 13: return 0x20000000;
    default: return 4096;
    }
}

// The candidates who qualify for a kind with the given strength.
int CountQualified(const CPersonList& candidates, int kind, int strength) {
    int n = 0;
    for (POSITION pos = candidates.GetHeadPosition(); pos;) n += candidates.GetPerson(pos)->PassesCheck(kind, 0.7, strength);
    return n;
}

// How many kind-1 (a) and kind-4 (b) generals a clan keeps back from the
// ordinary divisions on a battlefield.
void HeldBack(int clan, int field, int& a, int& b) {
    a = 5, b = 3;
    if (clan == 7) a = field == 34 ? 0 : 4, b = field == 34 ? 0 : 3;
    if (clan == 2) {
        if (field == 9) a = 1, b = 0;
        else if (field == 14) a = 0, b = 0;
        else a = 4, b = 3;
    }
    if (clan == 8) a = (field == 6 || field == 11) ? 0 : 4, b = (field == 6 || field == 11) ? 0 : 3;
    if (clan == 3) {
        if (field == 15) a = 4, b = 4;
        else if (field == 18) a = 3, b = 3;
        else a = 4, b = 5;
    }
}

void Forget(CPersonList& list, CPerson* p) {
    if (POSITION pos = list.Find(p)) list.RemoveAt(pos);
}

// Gives `general` the division of `index` with `kind` as his division type.
void Assign(CArmy& army, CPersonList& persons, CPersonList& candidates, CPerson* general, int index, int kind) {
    general->state = kind;
    if (CDivision* d = army.GetDivision(index, FALSE)) d->CreateBattalions(general->id, persons);
    Forget(candidates, general);
}
}  // namespace

void COrvaneView::SetupEnemyArmy(BOOL reset) {
    COrvaneDoc* doc = GetDocument();
    int side = (LocalSide & 1) ^ 1;
    int field = BattleMap;
    int year = doc ? doc->GetCurrentYear() : 1572;
    int kind = PlayKind == 2 ? 2 : 1;
    OwnedArmies[side] = std::make_unique<CArmy>(side, kTacticSlots - 1, true);
    Armies[side] = OwnedArmies[side].get();
    CArmy& army = *Armies[side];
    army.m_detachmentMode = 2;
    if (!doc) return;

    // 1. The clan's generals by rank; the first commands.
    CPersonList candidates;
    doc->m_persons.CollectCandidates(BattleClans[side], candidates, INT_MAX, 0, true);
    CPerson* commander = nullptr;
    if (!candidates.IsEmpty()) {
        commander = static_cast<CPerson*>(candidates.RemoveHead());
        army.SetCommander(commander);
    }

    // 2. Detachments, in campaign battles of the later years only.
    int n = std::min(candidates.GetCount() + 1, 12);
    int k1 = GetBattlefieldEnemyClan(field, 1, 1, year, kind);
    int k4 = GetBattlefieldEnemyClan(field, 1, 4, year, kind);
    int v = GetBattlefieldDivisionLimit(field, side, kind);
    int d = 0;
    if (commander && IsBattlefieldSideOption(field, side) && n > 3 && PlayKind == 2 && year > 1545) {
        int threshold = v - n + 6;
        int r = CountedRand() % (n + 1);
        if (r > threshold) {
            army.m_detachmentMode = 0;
            if (commander->GetRankLevel() > 3 && GetBattlefieldFlag(side, field))
                d = 3;
            else
                d = CountedRand() % 3 + 1;
        } else {
            r = CountedRand() % (n + 1);
            if (r > threshold) {
                army.m_detachmentMode = 1;
                d = CountedRand() % 2 + 1;
            }
        }
        d = std::clamp(d, 0, 3);
        int clan = BattleClans[side];
        int chance = clan == 5 ? 25 : (clan == 6 || clan == 7) ? 10 : 0;
        for (int index = 12; index < 12 + d; ++index) {
            int want = 3, strength = 10;
            if (army.m_detachmentMode == 0) {
                strength = 15;
                if (CountedRand() % 100 + 1 <= chance) {
                    want = k4 > 1 ? 4 : 0;
                    if (k4 > 1) --k4;
                } else if (k1 > 1) {
                    want = 1;
                    --k1;
                } else {
                    want = CountedRand() % 100 + 1 <= 30 ? 3 : 0;
                }
            }
            int found = want;
            CPerson* g = candidates.FindFreeGeneral(want, strength);
            if (!g) {
                if (commander->GetRankLevel() > 3) {
                    found = want == 1 ? 4 : 1;
                    g = candidates.FindFreeGeneral(found, strength - 3);
                    if (!g) g = candidates.FindFreeGeneral(found = 0, strength - 3);
                } else {
                    found = CountedRand() % 10 + 1 <= 2 ? 3 : 0;
                    g = candidates.FindFreeGeneral(found, strength - 3);
                }
            }
            if (!g) break;
            Assign(army, doc->m_persons, candidates, g, index, found);
        }
    }

    // 3. The formation.
    CArmyFormationList& list = FormationLists.army;
    CArmyFormation* formation = nullptr;
    if (GetBattlefieldFlag(side, field) || GetBattlefieldWeatherFlag(side, field)) {
        formation = list.GetByTypeAndSide(field, 0, commander, 1);
    } else if (commander && commander->GetFullName() == GeneralsOwnFormationHolder() &&
               CountedRand() % 100 + 1 > 25) {
        formation = list.GetByTypeAndSide(-1, PostureMaskFor(CountedRand() % 20), commander, 1);
    } else {
        formation = list.GetFormation(-2);
    }
    if (!formation && !list.IsEmpty()) formation = list.At(list.GetHeadPosition());
    army.m_formation = formation;
    army.m_formationList = &list;

    // 4. The ordinary divisions, in the order of the formation's slot bytes;
    // each slot asks for the kinds its slot values name, strongest first.
    int m = std::min(n - d, v);
    bool fieldFlag = GetBattlefieldFlag(side, field);
    int a = 0, b = 0;
    HeldBack(BattleClans[side], field, a, b);
    int q4 = CountQualified(candidates, 4, 25) - b;
    int q1 = CountQualified(candidates, 1, 25) - a;
    if (field == 22) q1 = q4 = 0;
    for (int c = 1; formation && commander && c <= m; ++c) {
        int slot = formation->FindSlot(c);
        if (slot < 0) continue;
        if (slot == 0) {
            int k = 0;
            if (commander->PassesCheck(1, 0.7, 1) && !GetBattlefieldFlag(1, field)) {
                k = 1;
            } else {
                for (int j = 0; j < 4; ++j) {
                    int value = formation->m_slotValues[0][j] == 2 ? 4 : formation->m_slotValues[0][j];
                    if (commander->PassesCheck(value, 0.7, 1)) {
                        k = value;
                        break;
                    }
                    if (value == 4 && commander->PassesCheck(2, 0.7, 1)) {
                        k = 2;
                        break;
                    }
                }
            }
            commander->state = k;
            if (CDivision* div = army.GetDivision(0, FALSE)) div->CreateBattalions(commander->id, doc->m_persons);
            continue;
        }
        if (candidates.IsEmpty()) break;
        CPerson* g = nullptr;
        int found = 3;
        for (double ratio = 0.5; !g && ratio > 0;) {
            ratio -= 0.1;
            int strength = int(ratio * 40);
            for (int j = 0; j < 4 && !g; ++j) {
                int value = formation->m_slotValues[slot][j];
                int k = value;
                if (j == 0 && !fieldFlag) {
                    if (q4 > 0 && k4 > 0) k = 4;
                    else if (q1 > 0 && k1 > 0) k = 1;
                }
                if (k == 1 && k1 <= 0) continue;
                if (k == 4 && value != 2) {
                    if (k4 <= 0 && !fieldFlag) continue;
                    if (k4 <= 0) k = 2;
                }
                if (value == 2 && k == 2) k = 4;
                if (k != 0 && k != 1 && k != 2 && k != 3 && k != 4) k = 3;
                g = candidates.FindFreeGeneral(k, strength);
                if (g) {
                    found = k;
                    break;
                }
                if (k == 4 && q4 > 0) q4 = 0;
                if (k == 1 && q1 > 0) q1 = 0;
                if ((k == 4 && fieldFlag) || field == 22) {
                    k = 2;
                } else {
                    k = CountedRand() % 2 == 0 ? 3 : 0;
                }
                g = candidates.FindFreeGeneral(k, 5);
                if (g) found = k;
                // Nobody at the lowest strength either: the next round.
                break;
            }
        }
        if (!g) {
            POSITION head = candidates.GetHeadPosition();
            g = candidates.GetPerson(head);
            found = 3;
        }
        if (found == 1) --k1, --q1;
        if (found == 4) --k4, --q4;
        Assign(army, doc->m_persons, candidates, g, slot, found);
    }
    army.SetCommander(commander);
    for (int index = 0; index < kTacticSlots; ++index) {
        CDivision* div = army.GetDivision(index, FALSE);
        if (div && !div->m_general) army.RemoveDivision(index);
    }
    if (formation) PlaceEnemyArmy(formation, reset);
}

void COrvaneView::PlaceEnemyArmy(CArmyFormation* formation, BOOL redraw) {
    CTacticState& t = GetTacticState();
    int side = (LocalSide & 1) ^ 1;
    CArmy* army = Armies[side];
    if (!army || !formation) return;
    CIcon* map = GetIcons().FindById(kTacticMapIcon);
    CRect m = map ? map->GetRect() : t.mapArea;
    int left = m.left + 2 * (m.right - m.left) / 3;
    float xFactor = float((m.right - left) * 0.001);
    float yFactor = float((m.bottom - m.top) * 0.0005);
    CPoint origin((m.right + left) / 2, (m.top + m.bottom) / 2);
    army->m_formation = formation;

    // The player sees the enemy's deployment only when his scouts beat the
    // enemy commander's rank.
    int draw = CountedRand() % 7;
    CPerson* commander = army->GetCommander();
    if (!IsConnected() && commander && draw <= commander->GetRankLevel()) return;
    if (IsConnected()) return;
    CSprite* set = GetSprites().Find(kPreviewEnemy);
    if (!set) return;
    const int facing = 6;
    for (int slot = 0; slot < kTacticPreviewSlots; ++slot) {
        CDivision* d = army->GetDivision(slot, FALSE);
        const CDivFormation* df = FormationLists.div.FindByID(formation->GetDivFormationID(slot));
        if (!d || !df) continue;
        CPoint s = formation->GetSlotPoint(slot, facing);
        int code = formation->GetSlotValue(slot, facing);
        int row = 0;
        for (POSITION bp = d->m_battalions.GetHeadPosition(); bp && row < CDivFormation::kRows; ++row) {
            CBattalion* b = d->m_battalions.GetBattalion(bp);
            const CBattFormation* bf = FormationLists.batt.FindByID(df->GetBattFormationID(row));
            if (!bf) continue;
            CPoint r = df->GetSlotPoint(row, code);
            int rowCode = df->GetSlotCode(row, code);
            int units = std::min(b->m_units.GetCount(), CBattFormation::kRows);
            for (int u = 0; u < units; ++u) {
                CPoint p = bf->GetSlotPoint(u, rowCode);
                int x = origin.x + int((s.x + r.x + p.x) * xFactor);
                int y = origin.y + int((s.y + r.y + p.y) * yFactor);
                int id = kEnemyPreviewBase + 40 * slot + 10 * row + u;
                GetIcons().RemoveById(id, TRUE);
                CIcon* icon = AddIcon(set, x, y, id, TRUE, 0, 24, 40, 29, 42);
                icon->m_nPhaseRow = 0;
                icon->m_nPhaseColumn = icon->m_nFacing = facing;
                icon->SetDepth(y, TRUE);
                icon->m_dKey = -1.0;
                CRect rect = icon->GetRect();
                icon->m_bEnabled = LiesWhollyInside(rect, t.mapArea);
            }
        }
    }
    RedrawRect(nullptr, &GetIcons());
    if (redraw) Render();
}
