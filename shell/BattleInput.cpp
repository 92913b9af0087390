// The battle screen's mouse: selecting divisions, choosing an order and its
// target point on the field, the army's order buttons, the rubber band and
// scrolling by the field's edges. Every order given here enters the order
// queue stamped with its tick (the current one, the next in a two-player
// game), as the peer and a demo read it.
#include <algorithm>
#include <cstdlib>

#include "Animate/DialogPictureNames.h"
#include "army/Army.h"
#include "core/Helpers.h"
#include "shell/OrvaneView.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Objective.h"
#include "Units/Unit.h"

namespace {
// A unit under the pointer: this close to its place, in field units.
const int kPickRadius = 14;
// Half the side of the box an order covers around its target point.
const int kOrderBox = 150;
// The band starts once the pointer has swept more than this many pixels.
const int kBandArea = 10;

bool IsDivisionButton(int id) { return id >= 59 && id <= 186; }
// The order type that waits for a target point, by order button; 0 for
// orders given where the division stands.
int TargetedOrderType(int id) {
    switch (id) {
    case 9: return ORDER_MOVE;
    case 11: return ORDER_ALLOUT_ATTACK;
    case 12: return ORDER_ATTACK;
    default: return 0;
    }
}
}  // namespace

void CCommandState::FaceToward(int x, int y) {
    if (targetIcon) targetIcon->m_nPhaseRow = FacingBetween(targetX, targetY, x, y);
}

int CCommandState::FacingBetween(int fromX, int fromY, int toX, int toY) {
    return GetDirection(fromX, fromY, toX, toY);
}

// ---------------------------------------------------------------------------
// Selection

void COrvaneView::SelectAllDivisions() {
    SelectDivision(nullptr, TRUE, FALSE);
    if (CArmy* army = Armies[LocalSide & 3])
        for (POSITION pos = army->m_divisions.GetHeadPosition(); pos;) {
            CDivision* d = army->m_divisions.GetDivision(pos);
            if (d->m_active) SelectDivision(d, FALSE, FALSE);
        }
}

void COrvaneView::FocusDivision(int index) {
    CArmy* army = Armies[LocalSide & 3];
    if (!army) return;
    int i = 0;
    for (POSITION pos = army->m_divisions.GetHeadPosition(); pos; ++i) {
        CDivision* d = army->m_divisions.GetDivision(pos);
        if (i != index) continue;
        if (!d->m_active) return;
        SelectDivision(d, TRUE, FALSE);
        FocusedDivision = index;
        CentreFieldOn(d->m_x, d->m_y);
        return;
    }
}

int COrvaneView::DivisionIndexOf(int number) const {
    const CArmy* army = Armies[LocalSide & 3];
    int i = 0;
    for (POSITION pos = army ? army->m_divisions.GetHeadPosition() : nullptr; pos; ++i)
        if (army->m_divisions.GetDivision(pos)->m_number == number) return i;
    return -1;
}

void COrvaneView::CentreFieldOn(int x, int y) {
    // The field point, not the small map's: CenterOn moves by cells from
    // where the marker stands.
    if (m_hWnd && m_pBackBuffer) ScrollBattleTo(x, y);
    else ScrollTo(x, y, TRUE, FALSE);
}

CRect COrvaneView::MinimapWindowRect() const {
    if (m_rcMinimap.IsRectEmpty()) return CRect();  // no battle screen
    CRect r(m_rcMinimap.left, m_rcMinimap.top, m_rcMinimap.right + 1, m_rcMinimap.bottom + 1);
    r.OffsetRect(m_frameOffset.x, m_frameOffset.y);
    return r;
}

CPoint COrvaneView::MinimapToField(CPoint point) const {
    const CRect map = MinimapWindowRect();
    if (map.IsRectEmpty()) return CPoint(0, 0);
    return CPoint((point.x - map.left) * 3000 / map.Width(), (point.y - map.top) * 2000 / map.Height());
}

CDivision* COrvaneView::DivisionMarkerAt(CPoint point) {
    CArmy* army = Armies[LocalSide & 3];
    if (!army) return nullptr;
    const CPoint inFrame(point.x - m_frameOffset.x, point.y - m_frameOffset.y);
    for (POSITION pos = GetFrameIcons().GetHeadPosition(); pos;) {
        const CIcon* icon = static_cast<const CIcon*>(GetFrameIcons().GetNext(pos));
        if (icon->m_nId < 500 || icon->m_nId > 599 || !icon->m_bEnabled) continue;
        if (!icon->GetRect().PtInRect(inFrame)) continue;
        // Only the markers that stand for a division of the army count.
        if (CDivision* d = army->m_divisions.FindByID(icon->m_nId - 500, 0, 0)) return d;
    }
    return nullptr;
}

CDivision* COrvaneView::DivisionAtPoint(CPoint point) const {
    CPoint field = point;
    ScreenToField(field);
    CArmy* army = Armies[LocalSide & 3];
    if (!army) return nullptr;
    // The nearest live unit of the local side within reach decides.
    CDivision* best = nullptr;
    int bestDistance = kPickRadius * kPickRadius + 1;
    for (POSITION dp = army->m_divisions.GetHeadPosition(); dp;) {
        CDivision* d = army->m_divisions.GetDivision(dp);
        if (!d->m_active) continue;
        for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
            const CBattalion* b = d->m_battalions.GetBattalion(bp);
            for (POSITION up = b->m_units.GetHeadPosition(); up;) {
                const CUnit* u = b->m_units.GetUnit(up);
                if (u->m_dead || u->m_lost) continue;
                int dx = u->m_x - field.x, dy = u->m_y - field.y;
                if (dx * dx + dy * dy < bestDistance) {
                    bestDistance = dx * dx + dy * dy;
                    best = d;
                }
            }
        }
    }
    return best;
}

// ---------------------------------------------------------------------------
// Buttons and clicks

void COrvaneView::CloseBattlePanels() {
    // Only an open panel is closed: each close lets the battle clock run.
    if (OverlayFlags & 1) ShowOrderPanel(FALSE);
    if (OverlayFlags & 2) ShowFormationPanel(FALSE);
    if (OverlayFlags & 8) PlaceDivisionPanel(FALSE, -1, 0, 0);
    if (OverlayFlags & 4) CloseDivisionPanels(FALSE, 0, 0);
}

void COrvaneView::ToggleDivisionPanel(CDivision* division) {
    // Only an open panel closes: a division focused from its marker or a
    // key, its panel not shown, gets it.
    const bool open = (OverlayFlags & 8) && PanelDivision == division->m_number;
    CloseBattlePanels();
    if (open) {
        FocusedDivision = -1;
        return;
    }
    FocusDivision(DivisionIndexOf(division->m_number));
    PlaceDivisionPanel(TRUE, division->m_number, -1000, -1000);
}

BOOL COrvaneView::AskArmyRetreat() {
    IViewArmy* own = BattleArmies[LocalSide & 3];
    if (!own || !own->IsInBattle()) return FALSE;
    // Alone against the computer, the whole game waits for the answer.
    const bool hold = !IsConnected();
    int saved[3];
    for (int n = 0; n < 3 && hold; ++n) {
        saved[n] = Channels[n].Interval;
        SetTimerInterval(n, 0);
    }
    BOOL yes = DoChoicePopup(kArmyRetreatQuestion);
    for (int n = 0; n < 3 && hold; ++n) SetTimerInterval(n, saved[n]);
    return yes && GameMode == MODE_BATTLE;
}

void COrvaneView::OnLButtonDownBattle(UINT flags, CPoint point) {
    CCommandButton* button = GetButtons().HitTest(point.x, point.y, FALSE);
    if (button && CommandPending) {
        // A button click only gives up the order that waits.
        CancelPendingCommand();
        return;
    }
    uint32_t tick = IsConnected() ? BattleTick + 1 : BattleTick;
    if (button) {
        int id = button->GetId();
        if (IsDivisionButton(id)) {
            // A division's buttons are numbered by its slot.
            CArmy* army = Armies[LocalSide & 3];
            CDivision* d = army ? army->GetDivision((id - 59) / 8, FALSE) : nullptr;
            if (!d || !d->m_active) return;
            ToggleDivisionPanel(d);
        } else if (id == 9 || (id >= 11 && id <= 16)) {
            int type = TargetedOrderType(id);
            for (int i = 0; i < SelectedDivisions.GetCount(); ++i) {
                CDivision* d = SelectedDivisions.GetAt(i);
                IssueDivisionOrder(d->m_number, id, type ? 1 : 0, -1, 1);
                Command.Reset();
                if (!type) continue;
                // The order waits for its target point on the field.
                Command.division = d->m_number;
                Command.orderType = type;
                Command.value = d->GetLeaderID();
                CommandPending = 1;
                OrderCursorShown = 1;
            }
            if (OverlayFlags & 1) ShowOrderPanel(FALSE);
            if (OverlayFlags & 2) ShowFormationPanel(FALSE);
        } else if (id == 10) {
            OpenTargetPanel(button->GetRect().TopLeft());
        } else if (id >= 17 && id <= 28) {
            for (int i = 0; i < SelectedDivisions.GetCount(); ++i)
                QueueDivisionAction(SelectedDivisions.GetAt(i)->m_number, id);
            CloseBattlePanels();
        } else if (id >= 29 && id <= 57) {
            PressedOrderButton = -1;
            // The army leaves the field only on the player's yes.
            if (id == 32 && !AskArmyRetreat()) return;
            if (IsConnected()) PostNetUnitOrder(id, 1, 0);
            QueueUnitOrder(id, 1, 0, LocalSide, tick, 255);
            // The army's formations are chosen on their own panel, which
            // closes once one is taken.
            if (id == 33) ShowFormationPanel(!(OverlayFlags & 2));
            else if (id >= 44 && OverlayFlags & 2) ShowFormationPanel(FALSE);
            else if (id >= 35 && id <= 43 && OverlayFlags & 1) ShowOrderPanel(FALSE);
        }
        return;
    }

    // The panel below the field: the small map, and the divisions' markers.
    const CRect map = MinimapWindowRect();
    if (!map.IsRectEmpty() && point.y >= map.top) {
        if (map.PtInRect(point)) {
            const CPoint field = MinimapToField(point);
            if (CommandPending && Command.division >= 0) {
                // The waiting order takes the point shown there at once.
                Command.targetX = field.x;
                Command.targetY = field.y;
                Command.targetIcon = nullptr;
                CompletePendingCommand();
                return;
            }
            CentreFieldOn(field.x, field.y);
            if (OverlayFlags & 2) ShowFormationPanel(FALSE);
            if (OverlayFlags & 1) ShowOrderPanel(FALSE);
            return;
        }
        if (!CommandPending)
            if (CDivision* d = DivisionMarkerAt(point); d && d->m_active) FocusDivision(DivisionIndexOf(d->m_number));
        return;
    }

    if (!m_rcFieldArea.PtInRect(point)) return;
    // A click on the field closes the open panels; one that closes the
    // army's formations does nothing more. Past a division's panel the
    // click goes on to take the target point of the order just chosen there.
    if (OverlayFlags & 2) {
        CloseBattlePanels();
        return;
    }
    if (OverlayFlags & (1 | 4 | 8)) CloseBattlePanels();
    CPoint field = point;
    ScreenToField(field);
    if (CommandPending && Command.division >= 0) {
        Command.targetX = field.x;
        Command.targetY = field.y;
        Command.targetIcon = CommandCursor;
        if (CommandCursor) {
            CommandCursor->SetPosition(field.x, field.y, TRUE);
            CommandCursor->m_bEnabled = TRUE;
            const CDivision* d = BattleArmies[LocalSide & 3] ? BattleArmies[LocalSide & 3]->FindDivision(Command.division)
                                                             : nullptr;
            if (d) CommandCursor->m_nPhaseRow = CCommandState::FacingBetween(d->m_x, d->m_y, field.x, field.y);
        }
        return;
    }
    BOOL shift = (flags & MK_SHIFT) || ShiftHeld;
    if (CDivision* d = DivisionAtPoint(point)) {
        SelectDivision(d, !shift, FALSE);
        return;
    }
    if (!shift) SelectDivision(nullptr, TRUE, FALSE);
    ButtonDownOnField = 1;
    BandStart = BandEnd = field;
}

void COrvaneView::CompletePendingCommand() {
    uint32_t tick = IsConnected() ? BattleTick + 1 : BattleTick;
    IViewArmy* army = BattleArmies[LocalSide & 3];
    for (int i = 0; i < SelectedDivisions.GetCount(); ++i) {
        CDivision* d = SelectedDivisions.GetAt(i);
        if (!army || army->FindDivision(d->m_number) != d) continue;
        int facing = Command.targetIcon
                         ? Command.targetIcon->m_nPhaseRow
                         : CCommandState::FacingBetween(d->m_x, d->m_y, Command.targetX, Command.targetY);
        int second = Command.carriesValue ? Command.value : d->GetLeaderID();
        auto* order = new CObjective(Command.orderType, Command.targetX, Command.targetY, second, facing,
                                     Command.targetX - kOrderBox, Command.targetY - kOrderBox,
                                     Command.targetX + kOrderBox, Command.targetY + kOrderBox);
        if (IsConnected())
            PostNetOrder(order->m_type, order->m_x, order->m_y, second, facing, d->m_number, 0, 1, 1, 0,
                         order->m_extra1, order->m_extra2, order->m_extra3, order->m_extra4);
        QueueTargetOrder(d, order, LocalSide, tick, 255, 0, 1, 1);
    }
    CancelPendingCommand();
}

void COrvaneView::CancelPendingCommand() {
    Command.Reset();
    CommandPending = 0;
    if (CommandCursor) {
        CommandCursor->SetPosition(-1000, -1000, TRUE);
        CommandCursor->SetDepth(32767, FALSE);
        CommandCursor->m_bEnabled = FALSE;
    }
    if (OrderCursorShown) {
        ::SetCursor(NormalCursor);
        OrderCursorShown = 0;
    }
}

void COrvaneView::OnLButtonUpBattle(UINT, CPoint) {
    if (CommandPending) {
        if (!Command.armed) {
            // The release of the click that chose the order.
            Command.armed = 1;
        } else if (Command.HasTarget()) {
            CompletePendingCommand();
        }
    }
    if (PressedOrderButton > 0) {
        SetButtonState(PressedOrderButton, TRUE, FALSE, TRUE);
        PressedOrderButton = -1;
    }
    BandActive = 0;
    ButtonDownOnField = 0;
    BandStart = BandEnd = CPoint(0, 0);
}

void COrvaneView::OnRButtonDownBattle(UINT flags, CPoint point) {
    if (CommandPending) {
        CancelPendingCommand();
        return;
    }
    CDivision* d = nullptr;
    if (!DemoPlayback) {
        // A division's marker on the panel, then its buttons.
        if (CDivision* marked = DivisionMarkerAt(point); marked && marked->m_active) {
            ToggleDivisionPanel(marked);
            return;
        }
        if (CCommandButton* b = GetButtons().HitTest(point.x, point.y, FALSE); b && IsDivisionButton(b->GetId())) {
            CArmy* army = Armies[LocalSide & 3];
            CDivision* hit = army ? army->GetDivision((b->GetId() - 59) / 8, FALSE) : nullptr;
            if (hit && hit->m_active) {
                ToggleDivisionPanel(hit);
                return;
            }
        }
        if (m_rcFieldArea.PtInRect(point)) d = DivisionAtPoint(point);
    }
    if (d) {
        BOOL shift = (flags & MK_SHIFT) || ShiftHeld;
        SelectDivision(d, !shift, FALSE);
        // Its panel opens at the pointer, kept inside the field view.
        CloseBattlePanels();
        const CRect& f = m_rcFieldArea;
        PlaceDivisionPanel(TRUE, d->m_number, std::clamp<int>(point.x, f.left, f.right - 100),
                           std::clamp<int>(point.y, f.top, f.bottom - 160));
        return;
    }
    CloseBattlePanels();
    if (point.y < m_rcFieldArea.bottom) {
        CPoint field = point;
        ScreenToField(field);
        CentreFieldOn(field.x, field.y);
    }
}

void COrvaneView::HoverPanelButton(CPoint point) {
    int id = -1;
    if (OverlayFlags & (1 | 2 | 4 | 8)) {
        CCommandButton* b = GetButtons().HitTest(point.x, point.y, FALSE);
        const int hit = b ? b->GetId() : -1;
        if ((hit >= 9 && hit <= 28) || (hit >= 34 && hit <= 57)) id = hit;
    }
    if (id == m_nHighlightedButton) return;
    if (m_nHighlightedButton != -1) SetButtonState(m_nHighlightedButton, TRUE, FALSE, TRUE);
    m_nHighlightedButton = id;
    if (id != -1) SetButtonState(id, FALSE, FALSE, TRUE);
}

void COrvaneView::OnMouseMoveBattle(UINT flags, CPoint point) {
    HoverPanelButton(point);
    if (CommandPending && Command.targetIcon) {
        CPoint field = point;
        ScreenToField(field);
        Command.targetIcon->m_bEnabled = TRUE;
        Command.FaceToward(field.x, field.y);
    }
    if (ButtonDownOnField) {
        CPoint p(point.x, std::min<int>(point.y, m_rcFieldArea.bottom));
        ScreenToField(p);
        BandEnd = p;
        int dx = BandEnd.x - BandStart.x, dy = BandEnd.y - BandStart.y;
        if (std::abs(dx * dy) > kBandArea) BandActive = 1;
        if (BandActive) {
            CRect band(std::min(BandStart.x, BandEnd.x), std::min(BandStart.y, BandEnd.y),
                       std::max(BandStart.x, BandEnd.x), std::max(BandStart.y, BandEnd.y));
            BOOL shift = (flags & MK_SHIFT) || ShiftHeld;
            if (CArmy* army = Armies[LocalSide & 3]) {
                for (POSITION pos = army->m_divisions.GetHeadPosition(); pos;) {
                    CDivision* d = army->m_divisions.GetDivision(pos);
                    bool inside = band.PtInRect(CPoint(d->m_x, d->m_y));
                    for (POSITION bp = d->m_battalions.GetHeadPosition(); bp && !inside;) {
                        const CBattalion* b = d->m_battalions.GetBattalion(bp);
                        inside = band.PtInRect(CPoint(b->m_x, b->m_y));
                    }
                    if (inside && d->m_active) SelectDivision(d, FALSE, FALSE);
                    else if (!inside && !shift) SelectDivision(d, FALSE, TRUE);
                }
            }
        }
    }
    // Scrolling by the field's edges, unless the pointer is over a panel.
    int margin = m_nScreenWidth > 1024 ? 20 : 15;
    ScrollVelocityX = ScrollVelocityY = 0;
    const CRect& f = m_rcFieldArea;
    if (point.x >= f.right - margin) ScrollVelocityX = ScrollStep;
    else if (point.x < f.left + margin) ScrollVelocityX = -ScrollStep;
    if (point.y >= f.bottom - margin && point.y < f.bottom) ScrollVelocityY = ScrollStep;
    else if (point.y < f.top + margin) ScrollVelocityY = -ScrollStep;
    bool overPanel = PanelRects[0].PtInRect(point) || PanelRects[1].PtInRect(point);
    if (overPanel) ScrollVelocityX = ScrollVelocityY = 0;
    // No scrolling past the field's limits.
    if ((ScrollVelocityX < 0 && m_rcVisible.left <= 0) || (ScrollVelocityX > 0 && m_rcVisible.right >= 3000))
        ScrollVelocityX = 0;
    if ((ScrollVelocityY < 0 && m_rcVisible.top <= 0) || (ScrollVelocityY > 0 && m_rcVisible.bottom >= 2000))
        ScrollVelocityY = 0;
    Scrolling = (ScrollVelocityX || ScrollVelocityY) ? 1 : 0;
}
