// The battle screen commanded with the mouse and keys, in the real game
// headless on the data kit and in both layouts: the divisions' markers on
// the panel, the division panel and its target panel, the army's
// formations, the small map, the hover of the panels' buttons and the menu
// key. Each click goes through the
// window's message queue; every order it gives must stand in the order
// queue at the tick current when it was clicked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <cstdlib>

#include "Units/Division.h"
#include "Units/Objective.h"
#include "army/Army.h"
#include "tests/support/BattleGame.h"

namespace {

// Handles what is queued now, without the idle pass that steps the battle.
void Dispatch() {
    MSG m;
    while (::PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessage(&m);
}
void ClickNow(CPoint p, int button = 0) {
    AfxInputMouseMove(p.x, p.y);
    AfxInputMouseButton(button, true, p.x, p.y);
    AfxInputMouseButton(button, false, p.x, p.y);
    Dispatch();
}
void MoveNow(CPoint p) {
    AfxInputMouseMove(p.x, p.y);
    Dispatch();
}
void KeyNow(UINT key) {
    AfxInputKey(key, true);
    AfxInputKey(key, false);
    Dispatch();
}

class BattleMouse : public ::testing::TestWithParam<CScreenLayout> {
protected:
    void SetUp() override {
        game = std::make_unique<CBattleGame>(GetParam());
        ASSERT_TRUE(game->Enter());
        view = game->view;
        // Past the opening orders, which would follow the player's at tick 0.
        game->run.Run(300);
        ASSERT_GT(view->BattleTick, 0u);
    }
    CDivision* Division(int number) { return view->Armies[0]->m_divisions.FindByID(number, 0, 0); }
    // The middle of a division's marker (its portrait) on the panel.
    CPoint Marker(int number) {
        CIcon* icon = view->DivisionSlots[number].PortraitIcon;
        EXPECT_NE(icon, nullptr);
        return icon ? icon->GetRect().CenterPoint() + view->m_frameOffset : CPoint(0, 0);
    }
    CPoint Button(int id) {
        CCommandButton* b = view->GetButtons().FindById(id);
        EXPECT_NE(b, nullptr) << id;
        EXPECT_TRUE(b && b->m_bEnabled) << "button " << id << " is not shown";
        return b ? b->GetRect().CenterPoint() : CPoint(-1, -1);
    }
    CPoint OnScreen(CPoint field) {
        view->FieldToScreen(field);
        return field;
    }
    // The queued division order of `d` whose point is `at` (any point when
    // null), or null.
    const TargetOrderRecord* Queued(const CDivision* d, const CPoint* at = nullptr) {
        const TargetOrderRecord* found = nullptr;
        for (int i = 0; i < view->TargetOrders.GetCount(); ++i) {
            const TargetOrderRecord* r = view->TargetOrders.GetAt(i);
            if (r->division == d && (!at || r->target->GetPoint() == *at)) found = r;
        }
        return found;
    }
    bool ArmyCommandQueued(int id) {
        for (int i = 0; i < view->UnitOrders.GetCount(); ++i)
            if (view->UnitOrders.GetAt(i)->commandId == id && view->UnitOrders.GetAt(i)->tick == view->BattleTick)
                return true;
        return false;
    }
    static double Distance(CPoint a, CPoint b) { return std::hypot(double(a.x - b.x), double(a.y - b.y)); }
    std::unique_ptr<CBattleGame> game;
    COrvaneView* view = nullptr;
};

// A left click on a division's marker selects it alone and brings it into
// view, wherever the view stood; a right click opens its panel, a second
// one closes it. From the panel, Move and a click on the field queue the
// move at the current tick, and the division sets off towards the point.
TEST_P(BattleMouse, AMarkerBringsItsDivisionIntoViewAndItsPanelMovesIt) {
    CDivision* d = Division(2);
    ASSERT_NE(d, nullptr);
    ASSERT_FALSE(view->m_rcVisible.PtInRect(CPoint(d->m_x, d->m_y))) << "the battle opens away from the army";
    ClickNow(Marker(2));
    ASSERT_EQ(view->SelectedDivisions.GetCount(), 1);
    EXPECT_EQ(view->SelectedDivisions.GetAt(0), d);
    EXPECT_TRUE(view->m_rcVisible.PtInRect(CPoint(d->m_x, d->m_y)))
        << "view at " << view->m_rcVisible.left << "," << view->m_rcVisible.top << " for a division at " << d->m_x
        << "," << d->m_y;

    // The division focused from its marker has no panel yet: a right click
    // opens it, and a second one closes it.
    for (int open : {1, 0, 1}) {
        ClickNow(Marker(2), 1);
        EXPECT_EQ(view->OverlayFlags & 8, open ? 8 : 0);
        EXPECT_EQ(view->PanelDivision, open ? 2 : -1);
        EXPECT_EQ(view->Channels[0].Interval, open ? 0 : -1) << "the battle waits while the panel is open";
    }
    ASSERT_EQ(view->PanelDivision, 2);
    ClickNow(Button(9));
    EXPECT_EQ(view->CommandPending, 1) << "the move waits for its point";
    const CPoint from = UnitsCentre(d);
    const CPoint target(d->m_x + 300, d->m_y - 40);
    ASSERT_TRUE(view->m_rcFieldArea.PtInRect(OnScreen(target)));
    ClickNow(OnScreen(target));
    EXPECT_EQ(view->OverlayFlags, 0) << "the panel closed";
    EXPECT_EQ(view->CommandPending, 0);
    const TargetOrderRecord* r = Queued(d, &target);
    ASSERT_NE(r, nullptr) << "no move to the clicked point";
    EXPECT_EQ(r->tick, view->BattleTick);
    EXPECT_EQ(r->target->m_type, ORDER_MOVE);
    EXPECT_EQ(r->target->m_targetId, d->GetLeaderID());

    // Men on foot cover about a pixel a tick: eight seconds take the
    // division well on its way.
    game->run.Run(8000);
    EXPECT_LT(Distance(UnitsCentre(d), target), Distance(from, target) - 40) << "the division did not set off";
}

// The target panel opens beside the division panel; each of its buttons
// gives the division its standing order again in that formation at once,
// and the same order then waits for a point. The army's formation button
// opens the formation panel, from which a formation goes to the army.
TEST_P(BattleMouse, TheTargetAndFormationPanelsGiveTheirOrders) {
    CDivision* d = Division(0);
    ASSERT_NE(d, nullptr);
    ClickNow(Marker(0), 1);
    ASSERT_EQ(view->PanelDivision, 0);
    ClickNow(Button(10));
    EXPECT_EQ(view->OverlayFlags & 4, 4);
    for (int id = 17; id <= 28; ++id) {
        CCommandButton* b = view->GetButtons().FindById(id);
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->m_bEnabled) << id;
        CRect meet;
        EXPECT_EQ(meet.IntersectRect(b->GetRect(), view->m_rcFieldArea), TRUE) << id;
        EXPECT_EQ(meet, b->GetRect()) << "button " << id << " leaves the field view";
    }

    // The pointer over a panel button shows it down; off it, up again.
    MoveNow(Button(19));
    EXPECT_TRUE(view->GetButtons().FindById(19)->m_bPressed);
    MoveNow(Button(20));
    EXPECT_FALSE(view->GetButtons().FindById(19)->m_bPressed);
    EXPECT_TRUE(view->GetButtons().FindById(20)->m_bPressed);

    const int standing = d->GetStandingOrder();
    ClickNow(Button(19));
    EXPECT_EQ(view->OverlayFlags, 0) << "the panels closed";
    const TargetOrderRecord* now = Queued(d);
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->tick, view->BattleTick);
    EXPECT_EQ(now->target->m_targetId, 16) << "button 19's formation";
    EXPECT_EQ(now->target->m_type, standing == ORDER_ALLOUT_ATTACK ? ORDER_ATTACK : standing);
    const bool waits = standing != ORDER_REGROUP && standing != ORDER_RETREAT;
    ASSERT_EQ(view->CommandPending, waits ? 1 : 0);
    if (waits) {
        const CPoint target(d->m_x + 200, d->m_y);
        ASSERT_TRUE(view->m_rcFieldArea.PtInRect(OnScreen(target)));
        ClickNow(OnScreen(target));
        const TargetOrderRecord* r = Queued(d, &target);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->tick, view->BattleTick);
        EXPECT_EQ(r->target->m_targetId, 16) << "the formation goes with the point";
    }

    ClickNow(Button(33));
    EXPECT_EQ(view->OverlayFlags & 2, 2);
    EXPECT_EQ(view->Channels[0].Interval, 0);
    EXPECT_TRUE(ArmyCommandQueued(33));
    ClickNow(Button(48));
    EXPECT_TRUE(ArmyCommandQueued(48));
    EXPECT_EQ(view->OverlayFlags & 2, 0);
    EXPECT_EQ(view->Channels[0].Interval, -1);
}

// A click on the small map shows that part of the field; with a move
// waiting, it gives the move that point at once.
TEST_P(BattleMouse, TheSmallMapScrollsTheViewAndTakesAnOrdersPoint) {
    const CRect map = view->MinimapWindowRect();
    ASSERT_FALSE(map.IsRectEmpty());
    // Three quarters across and a quarter down: the field point 2250, 500.
    ClickNow(CPoint(map.left + map.Width() * 3 / 4, map.top + map.Height() / 4));
    const CPoint centre = view->m_rcVisible.CenterPoint();
    EXPECT_LE(std::abs(centre.x - 2250), 25) << centre.x;
    EXPECT_LE(std::abs(centre.y - std::max(500, int(view->m_rcVisible.Height() / 2))), 25) << centre.y;

    CDivision* d = Division(1);
    ASSERT_NE(d, nullptr);
    ClickNow(Marker(1), 1);
    ClickNow(Button(9));
    ASSERT_EQ(view->CommandPending, 1);
    ClickNow(CPoint(map.left + map.Width() / 2, map.top + map.Height() / 2));
    EXPECT_EQ(view->CommandPending, 0);
    const TargetOrderRecord* r = Queued(d);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->tick, view->BattleTick);
    EXPECT_EQ(r->target->m_type, ORDER_MOVE);
    EXPECT_LE(Distance(r->target->GetPoint(), CPoint(1500, 1000)), 30);
}

// The menu key opens the panel of the selected division nearest the middle
// of the view, beside it, and closes the open panels again; F3 and the
// print key write screenshots.
TEST_P(BattleMouse, KeysOpenAndClosePanelsAndTakeScreenshots) {
    CDivision* d = Division(1);
    ASSERT_NE(d, nullptr);
    ClickNow(Marker(1));
    ASSERT_EQ(view->SelectedDivisions.GetCount(), 1);
    KeyNow(0x5D);
    EXPECT_EQ(view->OverlayFlags, 8);
    EXPECT_EQ(view->PanelDivision, 1);
    const CRect& f = view->m_rcFieldArea;
    const CPoint at = OnScreen(CPoint(d->m_x, d->m_y));
    EXPECT_EQ(view->DivisionPanelPos,
              CPoint(std::clamp<int>(at.x, f.left, f.right - 100), std::clamp<int>(at.y, f.top, f.bottom - 160)));
    KeyNow(0x5D);
    EXPECT_EQ(view->OverlayFlags, 0);
    EXPECT_EQ(view->Channels[0].Interval, -1);
    // No selected division in view: nothing opens.
    view->SelectDivision(nullptr, TRUE, FALSE);
    KeyNow(0x5D);
    EXPECT_EQ(view->OverlayFlags, 0);

    const std::filesystem::path folder = std::filesystem::path(AfxGetUserDataFolder()) / "Screenshots";
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    view->ShotCounter = 0;
    KeyNow(VK_F1 + 2);
    KeyNow(0x2C);
    EXPECT_TRUE(std::filesystem::exists(folder / "shot0000.jpg"));
    EXPECT_TRUE(std::filesystem::exists(folder / "shot0001.jpg"));
}

INSTANTIATE_TEST_SUITE_P(Layouts, BattleMouse, ::testing::ValuesIn(kScreenLayouts));

}  // namespace
