// Stands in for the battle catalogue in tests of the screens that follow
// it: sets the view up as a chosen battle leaves it (the scenario's world in
// the document, the two clans, the battlefield, the player's side and the
// formation lists), so a test can enter the deployment screen directly.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "shell/OrvaneView.h"

struct CChosenBattle {
    int battlefield = 0;
    std::string scenario = "Default.STE";  // a world file of the data folder
    std::string clans[2] = {"Velmor", "Karsin"};
    int localSide = 0;
    int playKind = 1;  // a single battle
};

// False (with a failed expectation) when the scenario or a clan is missing.
inline bool ChooseBattle(COrvaneView& view, const CChosenBattle& battle) {
    COrvaneDoc* doc = view.GetDocument();
    if (!doc) return false;
    CString data = doc->GetDataPath();
    bool loaded = doc->SerializeWorldFile(data + battle.scenario.c_str(), false);
    EXPECT_TRUE(loaded) << battle.scenario;
    view.BattleMap = battle.battlefield;
    view.LocalSide = battle.localSide;
    view.OtherSide = battle.localSide ^ 1;
    view.PlayKind = battle.playKind;
    for (int side = 0; side < 2; ++side) {
        view.BattleClans[side] = doc->m_nations.FindIDByName(battle.clans[side].c_str());
        EXPECT_GE(view.BattleClans[side], 0) << battle.clans[side];
    }
    bool lists = view.LoadDefaultFormationLists(data + "Default Formation Lists A.fed") != FALSE;
    EXPECT_TRUE(lists);
    return loaded && lists && view.BattleClans[0] >= 0 && view.BattleClans[1] >= 0;
}
