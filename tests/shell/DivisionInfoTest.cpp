// The division information dialog of the real game on the kit's world: the
// arm a general opens with, the arm buttons, Cancel in the tactic set-up and
// dragging the window.
#include <gtest/gtest.h>

#include <functional>

#include "Units/Division.h"
#include "tests/support/GameRun.h"
#include "ui/DivisionSelectDlg.h"
#include "world/Person.h"

namespace {

// A general of the kit's world with men enough for every arm but those the
// case takes away.
CPerson* AnyGeneral(COrvaneDoc* doc) {
    for (POSITION pos = doc->m_persons.GetHeadPosition(); pos;) {
        CPerson* p = doc->m_persons.GetPerson(pos);
        if (p->IsVeteran() && p->alive) return p;
    }
    return nullptr;
}

// Runs `steps` against the dialog that holds the mouse, 30 ms apart, each
// with the dialog's window rectangle.
void Script(CGameRun& run, std::vector<std::function<void(const CRect&)>> steps) {
    DWORD at = 50;
    for (auto& step : steps) {
        run.Display().After(at, [step] {
            CWnd* dlg = CWnd::GetCapture();
            ASSERT_NE(dlg, nullptr);
            CRect r;
            dlg->GetWindowRect(&r);
            step(r);
        });
        at += 30;
    }
}
std::function<void(const CRect&)> ClickAt(int x, int y) {
    return [x, y](const CRect& r) {
        AfxInputMouseButton(0, true, r.left + x, r.top + y);
        AfxInputMouseButton(0, false, r.left + x, r.top + y);
    };
}
const auto kCancel = ClickAt(448, 417);
const auto kRifle = ClickAt(473, 15);
const auto kSpear = ClickAt(372, 15);

TEST(DivisionInfo, ArmsThatCannotBeFieldedFallBack) {
    CMenuGame g;
    CPerson* general = AnyGeneral(g.view->GetDocument());
    ASSERT_NE(general, nullptr);
    general->units = 12;

    // A cavalry general without horses opens with spears.
    general->state = CDivisionSelectDlg::kCavalry;
    general->horses = 0;
    int pressedAtOpen = -1;
    Script(g.run, {[&](const CRect&) {
                       auto* dlg = dynamic_cast<CDivisionSelectDlg*>(CWnd::GetCapture());
                       if (dlg) pressedAtOpen = dlg->GetPressedButton();
                   },
                   kCancel});
    EXPECT_EQ(g.view->RunDivisionSelectDlg(*general), CDivisionSelectDlg::kCancel);
    EXPECT_EQ(pressedAtOpen, 5);
    EXPECT_EQ(general->state, CDivisionSelectDlg::kSpears) << "outside the set-up the arm written stays";

    // Rifle for a general without rifles who already has archers changes nothing.
    general->state = CDivisionSelectDlg::kArchers;
    general->rifles = 0;
    Script(g.run, {kRifle, kCancel});
    g.view->ShowDivisionInfo(general->id, -1);
    EXPECT_EQ(general->state, CDivisionSelectDlg::kArchers);
}

TEST(DivisionInfo, CancelInTheSetUpPutsTheOldArmBack) {
    CMenuGame g;
    CPerson* general = AnyGeneral(g.view->GetDocument());
    ASSERT_NE(general, nullptr);
    general->units = 12;
    general->state = CDivisionSelectDlg::kInfantry;
    int during = -1;
    Script(g.run, {kSpear, [&](const CRect&) { during = general->state; }, kCancel});
    g.view->GameMode = MODE_TACTIC;
    g.view->ShowDivisionInfo(general->id, -1);
    g.view->GameMode = MODE_MAIN_MENU;
    EXPECT_EQ(during, CDivisionSelectDlg::kSpears) << "the arm is written at once";
    EXPECT_EQ(general->state, CDivisionSelectDlg::kInfantry);
}

TEST(DivisionInfo, DraggingMovesTheWindowAndKeepsItOnTheScreen) {
    CMenuGame g;
    CPerson* general = AnyGeneral(g.view->GetDocument());
    ASSERT_NE(general, nullptr);
    CRect opened, afterSmall, afterFar;
    auto drag = [](int dx, int dy) {
        return [dx, dy](const CRect& r) {
            AfxInputMouseButton(0, true, r.left + 300, r.top + 300);
            AfxInputMouseMove(r.left + 300 + dx, r.top + 300 + dy);
            AfxInputMouseButton(0, false, r.left + 300 + dx, r.top + 300 + dy);
        };
    };
    auto keep = [](CRect& into) { return [&into](const CRect& r) { into = r; }; };
    Script(g.run, {keep(opened), drag(3, 3), keep(afterSmall), drag(-290, 40), keep(afterFar), kCancel});
    g.view->ShowDivisionInfo(general->id, -1);
    EXPECT_EQ(afterSmall, opened) << "three pixels are a click";
    EXPECT_EQ(afterFar.left, 0);
    EXPECT_EQ(afterFar.top, opened.top + 40);
    EXPECT_EQ(afterFar.Width(), opened.Width());
}

}  // namespace
