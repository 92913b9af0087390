// The player leaves a historical battle early, on the real game headless:
// the army's retreat button asks first, while the whole game waits; no
// keeps the battle as it was, yes sends every division off the field. The
// battle then ends lost, its results are shown once and OK leads back to
// the single-battle menu.
#include <gtest/gtest.h>

#include "Animate/DialogPictureNames.h"
#include "Animate/GameDialog.h"
#include "Units/Division.h"
#include "Units/Objective.h"
#include "army/Army.h"
#include "tests/support/HistoricalBattle.h"

namespace {

// The screen point of the army's retreat button.
CPoint RetreatButton(COrvaneView& view) {
    CCommandButton* b = view.GetButtons().FindById(32);
    EXPECT_NE(b, nullptr) << "no retreat button";
    return b ? b->GetRect().CenterPoint() : CPoint(-1, -1);
}

// What the game looked like while the question was up.
struct DuringQuestion {
    bool seen = false;
    bool stuck = false;
    int intervals[3] = {-9, -9, -9};
    BYTE popupOpen = 0;
    uint32_t tick = 0;
};

// Clicks the retreat button; `answer` runs `after` ms later, while the
// question is up, and answers it.
DuringQuestion AskRetreat(CGameRun& run, const std::function<void(const CRect&)>& answer, DWORD after = 300) {
    COrvaneView& view = *run.View();
    DuringQuestion during;
    run.Display().After(after, [&] {
        CWnd* question = CWnd::GetCapture();
        if (!question || question == &view) return;
        during.seen = true;
        for (int n = 0; n < 3; ++n) during.intervals[n] = view.Channels[n].Interval;
        during.popupOpen = view.PopupOpen;
        during.tick = view.BattleTick;
        CRect r;
        question->GetWindowRect(&r);
        answer(r);
    });
    // A question the answer did not end is ended here, so the test fails
    // instead of waiting for ever.
    run.Display().After(after + 500, [&] {
        if (auto* dlg = dynamic_cast<CDialog*>(CWnd::GetCapture())) {
            during.stuck = true;
            dlg->EndDialog(2);
        }
    });
    CPoint at = RetreatButton(view);
    run.Click(at.x, at.y);
    run.Run(after + 700);
    EXPECT_FALSE(during.stuck) << "the answer did not end the question";
    return during;
}

}  // namespace

TEST(ArmyRetreat, NoKeepsTheBattleYesLeavesItLostAndTheResultsLeadBackToTheMenu) {
    CGameRun run;
    ASSERT_TRUE(run.Start());
    CHistoricalBattleWay way;
    ASSERT_TRUE(way.ToBattle(run));
    COrvaneView& view = *run.View();
    COrvaneDoc* doc = view.GetDocument();
    const int side = view.LocalSide;
    run.Run(2000);
    ASSERT_EQ(view.GameMode, MODE_BATTLE);
    int intervals[3];
    for (int n = 0; n < 3; ++n) intervals[n] = view.Channels[n].Interval;

    // No: the battle goes on as it was, and the clocks run again.
    DuringQuestion no = AskRetreat(run, [](const CRect&) { AfxInputKey('N', true), AfxInputKey('N', false); });
    ASSERT_TRUE(no.seen) << "no question was asked";
    EXPECT_EQ(no.popupOpen, 1);
    EXPECT_EQ(no.intervals[0], 0);
    EXPECT_EQ(no.intervals[1], 0);
    EXPECT_EQ(no.intervals[2], 0);
    EXPECT_EQ(view.GameMode, MODE_BATTLE);
    for (int n = 0; n < 3; ++n) EXPECT_EQ(view.Channels[n].Interval, intervals[n]) << "channel " << n;
    EXPECT_EQ(view.PopupOpen, 0);
    for (int i = 0; i < view.UnitOrders.GetCount(); ++i) EXPECT_NE(view.UnitOrders.GetAt(i)->commandId, 32);
    CArmy* own = view.Armies[side];
    ASSERT_NE(own, nullptr);
    EXPECT_FALSE(own->m_withdrawn);

    // Yes, by its button: the clock stood still while it was asked, and
    // every division is sent off the field.
    const int losses = doc->GetCurrentPlayer()->Losses;
    DuringQuestion yes = AskRetreat(run, [&](const CRect& r) {
        CWnd* question = CWnd::GetCapture();
        auto* dlg = dynamic_cast<CGameDialog*>(question);
        ASSERT_NE(dlg, nullptr);
        CPoint at = dlg->GetButtons().FindById(1)->GetRect().CenterPoint();
        AfxInputMouseButton(0, true, r.left + at.x, r.top + at.y);
        AfxInputMouseButton(0, false, r.left + at.x, r.top + at.y);
    });
    ASSERT_TRUE(yes.seen);
    if (view.GameMode == MODE_BATTLE) {
        EXPECT_TRUE(own->m_withdrawn);
        for (POSITION pos = own->m_divisions.GetHeadPosition(); pos;) {
            CDivision* d = own->m_divisions.GetDivision(pos);
            EXPECT_TRUE(!d->m_active || d->m_order.m_type == 256) << "division " << d->m_number;
        }
    }
    // The army marches off; the battle ends, lost, and its results show.
    for (int s = 0; s < 300 && view.GameMode == MODE_BATTLE; ++s) run.Run(1000);
    ASSERT_EQ(view.GameMode, MODE_AFTER_BATTLE) << "the battle never ended";
    EXPECT_FALSE(view.SideResults[side].won);
    EXPECT_TRUE(view.SideResults[1 - side].won);
    EXPECT_EQ(doc->GetCurrentPlayer()->Losses, losses + 1);
    const int shown = view.ResultsShown;

    // OK leads back to the menu, once.
    CCommandButton* ok = view.GetButtons().FindById(1);
    ASSERT_NE(ok, nullptr);
    CPoint at = ok->GetRect().CenterPoint();
    run.Run(1000);
    run.Click(at.x, at.y);
    EXPECT_EQ(view.GameMode, MODE_SBTTL_MENU);
    EXPECT_EQ(view.ResultsShown, shown);
}
