// Stands in for the historical-battle menu and the deployment screen: fills
// the fields through which they hand a battle to the battle mode (the
// battlefield, the clans, the player's side, the date and the two armies,
// built of the clans' generals of the document's world on the view's
// battle grid and formations).
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "Units/Battalion.h"
#include "Units/Division.h"
#include "army/Army.h"
#include "shell/OrvaneView.h"
#include "world/Person.h"

struct CBattleChoice {
    int battlefield = 0;      // 0 is "A1M"
    int clans[2] = {1, 3};    // Velmor against Dorneth
    int divisions = 4;        // at most, per side
    int localSide = 0;
    int frontX[2] = {500, 2500};  // where each army's divisions stand
    int rowGap = 150;             // between divisions, down the field
};

// Builds both armies of `generals` (the clans' generals that are alive
// and veterans, in list order) with the formation lists of the data folder
// `dataFolder`, and fills the view's fields; false, with `error` saying why,
// when a clan has no general or the formations cannot be read.
inline bool ChooseBattle(COrvaneView& view, CPersonList& generals, const CString& dataFolder,
                         const CBattleChoice& choice, std::string& error) {
    view.Battle.reset();
    CBattleState& b = view.GetBattleState();
    if (!view.LoadDefaultFormationLists(dataFolder + "Default Formation Lists A.fed"))
        return error = "formation lists", false;
    CFormationLists& formations = view.FormationLists;
    view.BattleMap = choice.battlefield;
    view.LocalSide = choice.localSide;
    view.OtherSide = 1 - choice.localSide;
    view.BattleDate = CGameTime(1560 + 428, 6, 15, 9, 15);
    static constexpr int kFacing[2] = {2, 6};
    for (int side = 0; side < 2; ++side) {
        view.BattleClans[side] = choice.clans[side];
        std::vector<CPerson*> clan;
        for (POSITION pos = generals.GetHeadPosition(); pos;) {
            CPerson* p = generals.GetPerson(pos);
            if (p->clan == choice.clans[side] && p->alive && p->IsVeteran()) clan.push_back(p);
        }
        if (clan.empty()) return error = "clan " + std::to_string(choice.clans[side]) + " has no general", false;
        auto army = std::make_unique<CArmy>(side, -1, true);
        const int count = std::min<int>(int(clan.size()), std::clamp(choice.divisions, 1, 15));
        const int x = choice.frontX[side];
        for (int i = 0; i < count; ++i) {
            const int y = 1000 - (count - 1) * choice.rowGap / 2 + choice.rowGap * i;
            auto* d = new CDivision(i, x, y, army.get());
            d->CreateBattalions(clan[size_t(i)]->id, generals);
            d->Setup(&formations.div, 15, &b.grid, x, y, kFacing[side]);
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;)
                d->m_battalions.GetBattalion(bp)->Setup(&formations.batt, 0, &b.grid, d->m_x, d->m_y, d->m_facing);
            army->m_divisions.InsertSorted(d);
        }
        army->Setup(&formations.army, -2, &b.grid, x, 1000, kFacing[side]);
        b.armies[side] = std::move(army);
    }
    return true;
}

// The same with the generals of the view's document.
inline bool ChooseBattle(COrvaneView& view, const CBattleChoice& choice, std::string& error) {
    COrvaneDoc* doc = view.GetDocument();
    if (!doc) return error = "no document", false;
    return ChooseBattle(view, doc->m_persons, doc->GetDataPath(), choice, error);
}
