// Placing the armies for a battle: the part that needs no screen. Every
// element joins the view's battle lists in army order (side 0, then 1), so
// the battle step visits them alike on every machine.
#include "army/Army.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "shell/OrvaneView.h"

int COrvaneView::BattleUnitKind(int division, int battalion, int unit, int battalionType) {
    if (unit == 0 && battalion == 0) return division == 0 ? KIND_MARSHALL : KIND_GENERAL;
    if (unit == 0) return battalionType == 1 ? KIND_CAPTAIN_ON_HORSE : KIND_CAPTAIN;
    switch (battalionType) {
    case 1: return KIND_CAVALRY;
    case 2: return KIND_ARCHER;
    case 3: return KIND_SPEARMAN;
    case 4: return KIND_RIFLEMAN;
    default: return KIND_SWORDMAN;
    }
}

BOOL COrvaneView::SetupBattleArmies() {
    for (int s = 0; s < 2; ++s) {
        CArmy* army = Armies[s];
        if (!army) continue;
        int di = 0;
        for (POSITION dp = army->m_divisions.GetHeadPosition(); dp; ++di) {
            CDivision* d = army->m_divisions.GetDivision(dp);
            BattleDivisions.InsertSorted(d);
            d->m_centreIcon = MakeDivisionIcon(225);
            d->m_targetIcon = MakeDivisionIcon(226);
            int bi = 0;
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp; ++bi) {
                CBattalion* b = d->m_battalions.GetBattalion(bp);
                BattleBattalions.AddBattalion(b);
                int ui = 0;
                for (POSITION up = b->m_units.GetHeadPosition(); up; ++ui) {
                    CUnit* u = b->m_units.GetUnit(up);
                    const int kind = BattleUnitKind(di, bi, ui, b->m_battType);
                    IUnitIcon* icon = MakeUnitIcon(s, kind, di);
                    u->SetKindAndIcon(kind, icon ? icon : u->m_icon, u->m_iconId);
                    BattleUnits.InsertSorted(u, TRUE);
                }
            }
        }
    }
    CArmy* local = Armies[LocalSide & 3];
    CArmy* other = Armies[OtherSide & 3];
    if (local && other) {
        local->m_opponent = other;
        other->m_opponent = local;
    }
    for (CArmy* army : {local, other})
        if (army) army->ResetUnits();
    for (CArmy* army : {local, other})
        if (army) army->RecountDivisions();
    const CRect none(0, 0, 0, 0);
    for (int s = 0; s < 2; ++s) {
        if (!Armies[s]) continue;
        for (POSITION dp = Armies[s]->m_divisions.GetHeadPosition(); dp;) {
            CDivision* d = Armies[s]->m_divisions.GetDivision(dp);
            if (d->m_routed) continue;
            d->SetPerimiters(none);
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
                CBattalion* b = d->m_battalions.GetBattalion(bp);
                if (!b->m_routed) b->SetPerimiters(none);
            }
        }
    }
    return TRUE;
}

void COrvaneView::PlaceBattleUnits(CBattleGrid* grid, CPathGrid* routes) {
    BattleGrid = grid;
    for (POSITION pos = BattleUnits.GetHeadPosition(); pos;) {
        CUnit* u = BattleUnits.GetUnit(pos);
        CDivision* d = u->GetDivision();
        const int side = d && d->m_army ? d->m_army->GetArmyNumber() : 0;
        u->m_grid = grid;
        u->m_routeGrid = routes;
        u->m_sideId = u->m_armyId = u->m_ownerNumber = side;
    }
    // A unit that waits off the field (a detachment not yet arrived) stays
    // off the grid.
    for (POSITION pos = BattleUnits.GetHeadPosition(); pos;) {
        CUnit* u = BattleUnits.GetUnit(pos);
        if (u->m_x >= 0 && u->m_y >= 0 && u->m_x < 3000 && u->m_y < 2000) u->PlaceFree();
    }
    BattleUnits.UpdateAll();
}
