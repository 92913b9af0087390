// The view's formation lists and its two after-battle summaries.
#include <gtest/gtest.h>

#include <filesystem>

#include "army/Army.h"
#include "tests/support/GameRun.h"
#include "tests/support/KitFormations.h"

namespace {

TEST(ViewFormations, TheViewLoadsTheKitsListsAndKeepsThemOnAFailedLoad) {
    CGameRun run;
    ASSERT_TRUE(run.Start());
    COrvaneView* view = run.View();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->ReloadDefaultFormations("Default Formation Lists A.fed"));
    const CFormationLists& kit = KitFormationLists();
    EXPECT_EQ(view->FormationLists.army.GetCount(), kit.army.GetCount());
    EXPECT_EQ(view->FormationLists.div.GetCount(), kit.div.GetCount());
    EXPECT_EQ(view->FormationLists.batt.GetCount(), kit.batt.GetCount());
    ASSERT_NE(view->FormationLists.army.GetFormation(3), nullptr);

    AfxClearShownMessages();
    EXPECT_FALSE(view->ReloadDefaultFormations("No Such Formations.fed"));
    auto shown = AfxGetShownMessages();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), "ERROR: Default Formation Lists could not be opened!");
    EXPECT_FALSE(std::filesystem::exists(KitFolder() / "Data" / "No Such Formations.fed"));  // never made
    EXPECT_EQ(view->FormationLists.army.GetCount(), kit.army.GetCount());
    EXPECT_NE(view->FormationLists.army.GetFormation(3), nullptr);
}

TEST(ViewFormations, EachArmyFillsItsSideOfTheSummaries) {
    CGameRun run;
    ASSERT_TRUE(run.Start());
    COrvaneView* view = run.View();
    CArmy a(0, 3, true), b(1, 1, true);
    a.m_opponent = &b;
    b.m_opponent = &a;
    view->Armies[0] = &a;
    view->Armies[1] = &b;
    view->FillStatusSummaries();
    EXPECT_EQ(view->StatusSummaries[0].m_childCount, 4);
    EXPECT_EQ(view->StatusSummaries[1].m_childCount, 2);
    EXPECT_NE(view->StatusSummaries[1].GetChild(1), nullptr);
    view->ResetStatusSummaries();
    EXPECT_EQ(view->StatusSummaries[1].GetChild(1), nullptr);
    EXPECT_EQ(view->StatusSummaries[0].m_childCount, 0);
    view->Armies[0] = view->Armies[1] = nullptr;
}

}  // namespace
