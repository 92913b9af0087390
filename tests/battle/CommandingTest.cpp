// Commanding a kit battle run headless through the view's own handlers:
// selecting with the mouse, orders given on the field and by the buttons and
// keys entering the order queue at the current tick, the army's messages
// and the pause as popups that hold the battle clock.
#include <gtest/gtest.h>

#include <cmath>

#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Objective.h"
#include "Units/Unit.h"
#include "army/Army.h"
#include "battle/BattleRunner.h"
#include "shell/OrvaneView.h"
#include "tests/support/Headless.h"
#include "tests/support/TestFolders.h"

namespace {

// A kit battle whose view shows the field 1:1 from its corner, with stand-in
// order buttons where the battle screen puts its own.
class Commanding : public ::testing::Test {
protected:
    void SetUp() override {
        CBattleSetupSpec spec;
        spec.kitFolder = KitFolder();
        spec.divisionsPerSide = 4;
        std::string error;
        ASSERT_TRUE(run.Load(spec, error)) << error;
        COrvaneView& v = run.View();
        v.PicturesFolder = (KitFolder().string() + "/Pictures/").c_str();
        // The whole field: the divisions stand in their army formation's
        // slots all over their side of it.
        v.m_rcFieldArea = CRect(0, 0, 3000, 2000);
        v.m_rcVisible = CRect(0, 0, 3000, 2000);
        v.GameMode = MODE_BATTLE;
        v.BattleReady = 1;
        std::string cmb = (KitFolder() / "Pictures" / "Cmb").string() + "/";
        for (int id : {9, 13, 29, 30})
            v.AddCommandButton(id, "Cmb OK Med", 20, 2020 + 0 * id, FALSE);
        v.GetButtons().LoadAll(cmb.c_str(), 24, nullptr);
    }
    COrvaneView& View() { return run.View(); }
    CDivision* Division(int side, int index) {
        int i = 0;
        for (POSITION pos = run.Army(side)->m_divisions.GetHeadPosition(); pos; ++i) {
            CDivision* d = run.Army(side)->m_divisions.GetDivision(pos);
            if (i == index) return d;
        }
        return nullptr;
    }
    // A window point on one of the division's units.
    CPoint OnDivision(CDivision* d) {
        POSITION bp = d->m_battalions.GetHeadPosition();
        const CBattalion* b = d->m_battalions.GetBattalion(bp);
        POSITION up = b->m_units.GetHeadPosition();
        const CUnit* u = b->m_units.GetUnit(up);
        return CPoint(u->m_x, u->m_y);
    }
    // Shows button `id` alone at the screen's bottom and clicks it.
    void ClickButton(int id) {
        for (POSITION pos = View().GetButtons().GetHeadPosition(); pos;) {
            auto* b = static_cast<CCommandButton*>(View().GetButtons().GetNext(pos));
            b->m_bEnabled = b->GetId() == id;
        }
        CPoint at = View().GetButtons().FindById(id)->GetRect().CenterPoint();
        View().OnLButtonDownBattle(0, at);
        View().OnLButtonUpBattle(0, at);
    }
    void Click(CPoint p) {
        View().OnLButtonDownBattle(0, p);
        View().OnLButtonUpBattle(0, p);
    }
    CBattleRunner run;
};

TEST_F(Commanding, AClickOnTheFieldQueuesTheMoveAtTheCurrentTickAndTheDivisionGoesThere) {
    run.Run(5);
    CDivision* d = Division(0, 1);
    Click(OnDivision(d));
    ASSERT_EQ(View().SelectedDivisions.GetCount(), 1);
    EXPECT_EQ(View().SelectedDivisions.GetAt(0), d);

    int queued = View().TargetOrders.GetCount();
    ClickButton(9);
    EXPECT_EQ(View().CommandPending, 1);
    EXPECT_EQ(View().TargetOrders.GetCount(), queued) << "the move waits for its point";
    CPoint target(d->m_x + 300, d->m_y + 60);
    Click(target);
    ASSERT_EQ(View().TargetOrders.GetCount(), queued + 1);
    EXPECT_EQ(View().CommandPending, 0);
    const TargetOrderRecord* r = nullptr;
    for (int i = 0; i < View().TargetOrders.GetCount(); ++i)
        if (View().TargetOrders.GetAt(i)->division == d) r = View().TargetOrders.GetAt(i);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->tick, View().BattleTick);
    EXPECT_EQ(r->GetSide(), 0);
    EXPECT_EQ(r->target->m_type, ORDER_MOVE);
    EXPECT_EQ(r->target->GetPoint(), target);
    EXPECT_EQ(r->target->m_extra1, target.x - 150);
    EXPECT_EQ(r->target->m_extra4, target.y + 150);

    // At its tick the order leaves the queue for the division itself.
    uint32_t due = View().BattleTick;
    run.Step();
    for (int i = 0; i < View().TargetOrders.GetCount(); ++i)
        EXPECT_FALSE(View().TargetOrders.GetAt(i)->division == d && View().TargetOrders.GetAt(i)->tick == due);
    bool taken = false;
    for (POSITION pos = d->m_pendingOrders.GetHeadPosition(); pos;) {
        const auto* o = static_cast<const CObjective*>(d->m_pendingOrders.GetNext(pos));
        taken |= o->m_type == ORDER_MOVE && o->GetPoint() == target;
    }
    for (POSITION pos = d->m_plan.GetHeadPosition(); pos;) {
        const auto* o = static_cast<const CObjective*>(d->m_plan.GetNext(pos));
        taken |= o->GetPoint() == target;
    }
    EXPECT_TRUE(taken || d->m_action.GetPoint() == target) << "the division holds the move to the point";
}

TEST_F(Commanding, ARightClickCancelsTheWaitingOrderAndSelectsNothing) {
    CDivision* d = Division(0, 0);
    CDivision* other = Division(0, 2);
    Click(OnDivision(d));
    ClickButton(9);
    ASSERT_EQ(View().CommandPending, 1);
    int queued = View().TargetOrders.GetCount();
    View().OnRButtonDownBattle(0, OnDivision(other));
    EXPECT_EQ(View().CommandPending, 0);
    EXPECT_EQ(View().Command.division, -1);
    EXPECT_FALSE(View().IsDivisionSelected(other));
    Click(CPoint(d->m_x + 200, d->m_y));
    EXPECT_EQ(View().TargetOrders.GetCount(), queued) << "no order after the cancel";
    // Without a waiting order a right click selects.
    View().OnRButtonDownBattle(0, OnDivision(other));
    EXPECT_TRUE(View().IsDivisionSelected(other));
    EXPECT_FALSE(View().IsDivisionSelected(d));
}

TEST_F(Commanding, ShiftAddsToTheSelectionAndTheBandSelectsWhatItCovers) {
    CDivision* a = Division(0, 0);
    CDivision* b = Division(0, 1);
    Click(OnDivision(a));
    View().OnLButtonDownBattle(MK_SHIFT, OnDivision(b));
    EXPECT_EQ(View().SelectedDivisions.GetCount(), 2);
    // An empty spot clears the selection; a 3 x 3 sweep starts no band.
    CPoint empty(1400, 1950);
    View().OnLButtonDownBattle(0, empty);
    EXPECT_EQ(View().SelectedDivisions.GetCount(), 0);
    View().OnMouseMoveBattle(0, CPoint(empty.x - 3, empty.y - 3));
    EXPECT_EQ(View().BandActive, 0);
    // A sweep over every division of side 0 selects them all.
    View().OnMouseMoveBattle(0, CPoint(5, 5));
    EXPECT_EQ(View().BandActive, 1);
    View().OnLButtonUpBattle(0, CPoint(5, 5));
    EXPECT_EQ(View().SelectedDivisions.GetCount(), run.Army(0)->m_divisions.GetCount());
    EXPECT_EQ(View().BandActive, 0);
}

TEST_F(Commanding, OrderButtonsAndKeysGiveTheirOrders) {
    run.Run(3);
    CDivision* d = Division(0, 0);
    Click(OnDivision(d));
    // Defence is given where the division stands, at once.
    int queued = View().TargetOrders.GetCount();
    ClickButton(13);
    ASSERT_EQ(View().TargetOrders.GetCount(), queued + 1);
    EXPECT_EQ(View().CommandPending, 0);
    // Army orders by button and by key, each at the current tick.
    ClickButton(29);
    ClickButton(30);
    for (int c : {'s', 'd', 'f', ' '}) View().OnTypedKey(c, 1, 0);
    std::vector<int> ids;
    for (int i = 0; i < View().UnitOrders.GetCount(); ++i) {
        EXPECT_EQ(View().UnitOrders.GetAt(i)->tick, View().BattleTick);
        ids.push_back(View().UnitOrders.GetAt(i)->commandId);
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<int>{29, 29, 30, 30, 31, 34}));
    // "a" selects every division; digits with Ctrl focus one.
    View().OnTypedKey('a', 1, 0);
    EXPECT_EQ(View().SelectedDivisions.GetCount(), run.Army(0)->m_divisions.GetCount());
    View().CtrlHeld = 1;
    View().OnTypedKey('3', 1, 0);
    View().CtrlHeld = 0;
    ASSERT_EQ(View().SelectedDivisions.GetCount(), 1);
    EXPECT_EQ(View().SelectedDivisions.GetAt(0), Division(0, 2));
    // Outside the battle the keys command nothing.
    View().GameMode = MODE_MAIN_MENU;
    int before = View().UnitOrders.GetCount();
    View().OnTypedKey('s', 1, 0);
    View().OnCommandKey('`');
    EXPECT_EQ(View().UnitOrders.GetCount(), before);
}

TEST(CommandFacing, TheSectorsOfTheFacingRule) {
    struct Case {
        int dx, dy;  // field offsets, y down
        int facing;
    };
    const Case cases[] = {{10, 0, 2},  {-10, 0, 6},  {0, -10, 0},  {0, 10, 4},  {0, 0, 6},
                          {10, -10, 1}, {10, 10, 3}, {-10, 10, 5}, {-10, -10, 7}, {100, -41, 2},
                          {100, -42, 1}, {42, -100, 1}, {41, -100, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(CCommandState::FacingBetween(500, 500, 500 + c.dx, 500 + c.dy), c.facing) << c.dx << "," << c.dy;
}

TEST_F(Commanding, ArmyMessagesPopUpWhileTheClockWaits) {
    CHeadlessScope scope;
    COrvaneView& v = View();
    v.SetTimerInterval1(-1);
    CArmy* own = run.Army(0);
    own->m_messageFlags[0] = own->m_messageFlags[1] = 1;
    own->AddBattleMessage(16, -2, -1);
    own->AddBattleMessage(20, -2, -1);
    std::vector<int> clockDuring;
    std::vector<BYTE> openDuring;
    for (DWORD at : {100u, 300u}) {
        scope.Display().After(at, [&] {
            clockDuring.push_back(v.Channels[0].Interval);
            openDuring.push_back(v.PopupOpen);
            CWnd* popup = CWnd::GetCapture();
            CRect r;
            if (popup) popup->GetWindowRect(&r);
            AfxInputMouseButton(0, true, r.left + 4, r.top + 4);
            AfxInputMouseButton(0, false, r.left + 4, r.top + 4);
        });
    }
    v.ShowArmyMessages();
    EXPECT_EQ(clockDuring, (std::vector<int>{0, 0}));
    EXPECT_EQ(openDuring, (std::vector<BYTE>{1, 1}));
    EXPECT_EQ(v.Channels[0].Interval, -1) << "the clock runs again";
    EXPECT_EQ(v.PopupOpen, 0);
    CBattleMessage left;
    EXPECT_FALSE(own->TakeBattleMessage(left));
}

TEST_F(Commanding, ThePauseStopsTheClockUntilThePauseKey) {
    CHeadlessScope scope;
    COrvaneView& v = View();
    v.SetTimerInterval1(-1);
    v.ResumeTime = scope.Now();
    int during = 99;
    BYTE running = 0;
    scope.Display().After(200, [&] {
        during = v.Channels[0].Interval;
        running = v.PauseRunning;
        AfxInputKey('P', true);
        AfxInputKey('P', false);
    });
    scope.Display().After(400, [] {
        AfxInputKey(VK_PAUSE, true);
        AfxInputKey(VK_PAUSE, false);
    });
    DWORD start = scope.Now();
    v.PauseBattle();
    EXPECT_EQ(during, 0);
    EXPECT_EQ(running, 1);
    EXPECT_GE(scope.Now() - start, 400u) << "another key does not end the pause";
    EXPECT_EQ(v.Channels[0].Interval, -1);
    EXPECT_EQ(v.PauseRunning, 0);
    EXPECT_EQ(v.ResumeTime, scope.Now());
}

}  // namespace
