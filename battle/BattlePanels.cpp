// The battle screen's panels: the division panel of eight order buttons
// beside a division's portrait, the target panel, the army's order and
// formation panels, and each division's row of order markers with the one
// of its standing order lit. Opening a panel outside a networked battle
// holds the battle clock; closing it lets the clock run again.
#include <algorithm>

#include "Units/Division.h"
#include "Units/Objective.h"
#include "army/Army.h"
#include "shell/OrvaneView.h"

namespace {
// The marker kind (9..16) of a standing order type; 0 for another type.
int MarkerKindOf(int orderType) {
    switch (orderType) {
    case 1: return 11;
    case 2: return 12;
    case 16: return 9;
    case 64: return 15;
    case 128: return 14;
    case 256: return 16;
    case 512: return 13;
    default: return 0;
    }
}

// Hides buttons first..last and clears their pressed state.
void HideButtons(COrvaneView& view, int first, int last) {
    for (int id = first; id <= last; ++id) {
        if (CCommandButton* b = view.GetButtons().FindById(id)) b->m_bPressed = FALSE;
        view.HideCommandButton(id);
    }
}
}  // namespace

void COrvaneView::HoldBattleClock(BOOL hold) {
    if (IsConnected()) return;
    SetTimerInterval1(hold ? 0 : -1);
}

BOOL COrvaneView::PlaceDivisionPanel(BOOL show, int divisionIndex, int x, int y) {
    if (x == -1000 && y == -1000) {
        const int column = divisionIndex >= 0 && divisionIndex < 15 ? DivisionSlots[divisionIndex].Column : 0;
        const bool narrow = m_nScreenWidth <= 1024;
        x = narrow ? column * 66 + 154 : column * 68 + 218;
        y = m_nScreenHeight - 160;
    }
    PanelDivision = -1;
    HideButtons(*this, 9, 16);
    if (!show) {
        HoldBattleClock(FALSE);
        OverlayFlags &= ~8;
        return TRUE;
    }
    for (int i = 0; i < 8; ++i) ShowCommandButton(9 + i, x, y + 20 * i);
    if (divisionIndex != -1) PanelDivision = divisionIndex;
    HoldBattleClock(TRUE);
    DivisionPanelPos = CPoint(x, y);
    OverlayFlags |= 8;
    return TRUE;
}

void COrvaneView::CloseDivisionPanels(BOOL show, int x, int y) {
    HideButtons(*this, 17, 28);
    if (!show) {
        HoldBattleClock(FALSE);
        OverlayFlags &= ~4;
        return;
    }
    for (int r = 0; r < TargetRows; ++r)
        for (int c = 0; c < TargetColumns; ++c) {
            const int id = r * TargetColumns + c + 17;
            if (id < 29) ShowCommandButton(id, x + 48 * r, y + 48 * c);
        }
    HoldBattleClock(TRUE);
    OverlayFlags |= 4;
    TargetPanelPos = CPoint(x, y);
}

void COrvaneView::OpenTargetPanel(CPoint button) {
    // The grid runs 48 pixels a row across and 48 a column down.
    CSize cell(0, 0);
    if (CCommandButton* first = GetButtons().FindById(17)) cell = first->GetRect().Size();
    const int width = 48 * std::max(0, TargetRows - 1) + cell.cx;
    const int height = 48 * std::max(0, TargetColumns - 1) + cell.cy;
    const CRect& f = m_rcFieldArea;
    const int x = std::max<int>(f.left, std::min<int>(button.x + 100, f.right - width));
    const int y = std::max<int>(f.top, std::min<int>(button.y - 20, f.bottom - height));
    CloseDivisionPanels(TRUE, x, y);
}

int COrvaneView::TargetButtonFormation(int button) {
    static const int kFormations[12] = {38, 12, 16, 37, 4, 39, 6, 30, 19, 22, 23, 31};
    return button >= 17 && button <= 28 ? kFormations[button - 17] : -1;
}

BOOL COrvaneView::QueueDivisionAction(int divisionId, int button) {
    IViewArmy* link = BattleArmies[LocalSide & 3];
    CDivision* d = link ? link->FindDivision(divisionId) : nullptr;
    if (!d) return FALSE;
    const bool networked = IsConnected();
    if (!networked) d->m_formationByte = 0;
    // The standing order again, in the button's formation; an all-out
    // attack becomes an attack.
    auto* order = new CObjective(&d->m_order);
    order->m_targetId = TargetButtonFormation(button);
    if (order->m_type == ORDER_ALLOUT_ATTACK) order->m_type = ORDER_ATTACK;
    const int type = order->m_type;
    if (networked)
        PostNetOrder(type, order->m_x, order->m_y, order->m_targetId, order->m_facing, divisionId, 0, 1, 1, 0,
                     order->m_extra1, order->m_extra2, order->m_extra3, order->m_extra4);
    const int formation = order->m_targetId;
    QueueTargetOrder(d, order, LocalSide, networked ? BattleTick + 1 : BattleTick, 0, 0, 1, 1);
    Command.Reset();
    if (type == ORDER_REGROUP || type == ORDER_RETREAT) {
        CommandPending = 0;
        return TRUE;
    }
    // The same order then waits for its point on the field.
    Command.value = formation;
    Command.carriesValue = 1;
    Command.division = divisionId;
    Command.orderType = type;
    CommandPending = 1;
    LastSendFlag = 1;
    OrderCursorShown = 1;
    return TRUE;
}

void COrvaneView::DrawOrderMarker(int divisionId, int kind, BYTE) {
    if (divisionId < 0 || divisionId >= 15) return;
    CArmy* army = Armies[LocalSide & 1];
    const bool hidden = divisionId >= 12 && !(army && army->m_detachmentsInPlay);
    for (int k = 9; k <= 16; ++k) {
        const int id = divisionId * 8 + 50 + k;
        CCommandButton* b = GetButtons().FindById(id);
        if (!b) continue;
        const BOOL lit = k == kind && !hidden;
        if (b->m_bEnabled == lit) continue;
        if (lit)
            ShowCommandButton(id, 0, 0);
        else
            HideCommandButton(id);
    }
}

void COrvaneView::UpdateOrderMarkers() {
    CArmy* army = Armies[LocalSide & 1];
    if (!army) return;
    for (POSITION pos = army->m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = army->m_divisions.GetDivision(pos);
        if (d->m_number >= 12 && !army->m_detachmentsInPlay) continue;
        int kind = MarkerKindOf(d->GetStandingOrder());
        if (kind == 0) {
            // A division without a known order stands on the defence.
            IssueDivisionOrder(d->m_number, 13, 0, -1, 1);
            kind = 13;
        }
        DrawOrderMarker(d->m_number, kind, 1);
    }
}

void COrvaneView::ShowArmyPanel(BOOL show, int first, int last, BYTE bit) {
    if (!show) {
        HideButtons(*this, first, last);
        HoldBattleClock(FALSE);
        OverlayFlags &= BYTE(~bit);
        return;
    }
    for (int id = first; id <= last; ++id) ShowCommandButton(id, 0, 0);
    HoldBattleClock(TRUE);
    OverlayFlags |= bit;
}

void COrvaneView::ShowOrderPanel(BOOL show) { ShowArmyPanel(show, 35, 43, 1); }

void COrvaneView::ShowFormationPanel(BOOL show) { ShowArmyPanel(show, 44, 57, 2); }

int COrvaneView::TacticSymbolIndex(int arm, int grade) {
    static const int kSymbols[5][4] = {{6, 16, 11, 21}, {5, 15, 10, 20}, {4, 14, 9, 19}, {8, 18, 13, 23}, {7, 17, 12, 22}};
    if (arm < 0 || arm > 4 || grade < 0 || grade > 3) return -1;
    return kSymbols[arm][grade];
}

CPoint& COrvaneView::GetResultIconPos(CPoint& point, int index) const {
    const bool narrow = m_nScreenWidth <= 1024;
    if (index == 0) return point = narrow ? CPoint(480, 52) : CPoint(608, 219);
    const CArmy* army = Armies[LocalSide & 1];
    const int n = army ? army->m_divisions.GetCount() : 0;
    const int step = narrow ? 77 : 94;
    const int x = (narrow ? 480 : 608) + (n % 2 ? (narrow ? 38 : 47) : 0) - ((n - 1) / 2) * step + (index - 1) * step;
    return point = CPoint(x, narrow ? 225 : 394);
}
