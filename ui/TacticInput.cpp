// The deployment screen's mouse: dragging generals between the list, the
// slots and the soldiers on the map, cycling the formation, the pages of
// generals, and the way into the battle or back to the menu.
#include <algorithm>

#include "army/Army.h"
#include "field/BattlefieldTables.h"
#include "shell/OrvaneView.h"
#include "ui/TacticScreen.h"
#include "Units/Division.h"
#include "world/Person.h"

bool CloseTacticPopup(COrvaneView& view);

namespace {
// Where portraits are dragged from and to, narrow layout then wide.
const CRect kNarrowSlotArea(16, 16, 384, 436), kWideSlotArea(20, 20, 436, 627);
const CRect kNarrowListArea(16, 478, 609, 754), kWideListArea(17, 628, 760, 1003);
// The strip beside the list where the line pictures stand.
const CRect kLineStrip(110, 530, 160, 675);
// A marker soldier on the map counts as hit this far around it.
constexpr int kMarkerReach = 20;
// Where each side's army stands when the battle starts.
constexpr int kArmyX[2] = {500, 2500};
constexpr int kArmyY = 1000;
constexpr int kArmyFacing[2] = {2, 6};
}  // namespace

void COrvaneView::OnLButtonDownTactic(UINT, CPoint point) {
    CTacticState& t = GetTacticState();
    if (CloseTacticPopup(*this)) return;
    if (t.selectedSlot != -1) {
        PlaceDivisionFormation(t.selectedSlot, kPreviewPlaced, LocalSide & 1);
        t.previousSlot = t.selectedSlot;
        t.selectedSlot = -1;
    }
    int button = GetButtons().HitTestId(point.x, point.y, FALSE);
    if (button != 0) {
        t.pressedButton = button;
        SetButtonState(button, FALSE, FALSE, TRUE);
        return;
    }
    CIcon* formation = GetIcons().FindById(kTacticFormationIcon);
    if (formation && formation->HitTest(point.x, point.y, FALSE)) {
        DeployDivisions(FALSE, FALSE, TRUE);
        ShowFormationPicture(FALSE);
        Render();
        return;
    }
    if (HitTestIcons(point.x, point.y)) {
        t.draggedIcon = t.hitIcon;
        if (CIcon* icon = GetIcons().FindById(t.draggedIcon)) t.pickUp = icon->GetPosition();
    }
}

void COrvaneView::OnRButtonDownTactic(UINT, CPoint point) {
    CTacticState& t = GetTacticState();
    if (t.draggedIcon != -1) return;
    CIcon* formation = GetIcons().FindById(kTacticFormationIcon);
    if (formation && formation->HitTest(point.x, point.y, FALSE)) {
        DeployDivisions(FALSE, FALSE, FALSE);
        ShowFormationPicture(FALSE);
        Render();
    } else if (HitTestIcons(point.x, point.y)) {
        const CRect& slotArea = m_nScreenWidth > 1024 ? kWideSlotArea : kNarrowSlotArea;
        ShowDivisionInfo(t.hitIcon - kPortraitIconBase, slotArea.PtInRect(point) ? t.SlotAt(point) : -1);
    }
    t.hitIcon = -1;
}

void COrvaneView::OnMouseMoveTactic(UINT, CPoint point) {
    CTacticState& t = GetTacticState();
    if (t.draggedIcon == -1) return;
    CIcon* icon = GetIcons().FindById(t.draggedIcon);
    if (!icon) return;
    icon->SetPosition(point.x - icon->m_nWidth / 2, point.y - icon->m_nHeight / 2, TRUE);
    icon->SetDepth(32767, TRUE);
    DrawAllSprites(FALSE);
}

void COrvaneView::OnLButtonUpTactic(UINT, CPoint point) {
    CTacticState& t = GetTacticState();
    int pressed = t.pressedButton;
    t.pressedButton = -1;
    if (pressed == -1) {
        if (t.draggedIcon != -1) DropTacticIcon(point);
        // With no detachment placed the deployment choice is neither.
        if (t.slotHome[12] == CPoint(-1, -1) && t.slotHome[13] == CPoint(-1, -1) && t.slotHome[14] == CPoint(-1, -1)) {
            t.sideChoice = 2;
            SetButtonState(kTacticStrike, FALSE, FALSE, TRUE);
            SetButtonState(kTacticDelay, FALSE, FALSE, TRUE);
        }
        return;
    }
    bool released = GetButtons().HitTestId(point.x, point.y, FALSE) == pressed;
    if (!released) {
        SetButtonState(pressed, TRUE, FALSE, TRUE);
        return;
    }
    switch (pressed) {
    case kTacticOK:
        SetButtonState(kTacticOK, TRUE, FALSE, TRUE);
        StartTacticBattle();
        break;
    case kTacticCancel:
        SetButtonState(kTacticCancel, TRUE, FALSE, TRUE);
        for (int side = 0; side < 2; ++side) {
            Armies[side] = nullptr;
            OwnedArmies[side].reset();
        }
        ChangeMode(MODE_SBTTL_MENU);
        break;
    case kTacticNextPage: TurnGeneralPage(1); break;
    case kTacticPreviousPage: TurnGeneralPage(-1); break;
    case kTacticStrike:
    case kTacticDelay:
        t.sideChoice = pressed == kTacticStrike ? 0 : 1;
        SetButtonState(pressed, TRUE, FALSE, TRUE);
        break;
    default: SetButtonState(pressed, TRUE, FALSE, TRUE); break;
    }
}

void COrvaneView::StartTacticBattle() {
    CTacticState& t = GetTacticState();
    // A battle needs a commander in the first slot.
    if (t.slotGenerals[0] == -1) {
        ShowTacticPopup(kPopupSelectGeneral);
        return;
    }
    int own = LocalSide & 1;
    if (CArmy* army = Armies[own])
        for (int slot = 0; slot < kTacticSlots; ++slot)
            if (t.slotGenerals[slot] == -1) army->RemoveDivision(slot);
    for (int side = 0; side < 2; ++side) PlaceArmyAt(side, kArmyX[side], kArmyY, kArmyFacing[side]);
    // The computer's skill is its commander's rank; it opens the battle
    // choosing its posture.
    if (CArmy* enemy = Armies[OtherSide & 1]; enemy && !IsConnected()) {
        const CPerson* commander = enemy->GetCommander();
        enemy->SetAILevel(commander ? commander->GetRankLevel() : 1);
        enemy->m_aiMode = 3;
    }
    ChangeMode(MODE_BATTLE);
}

void COrvaneView::TurnGeneralPage(int step) {
    CTacticState& t = GetTacticState();
    int page = std::clamp(t.page + step, 1, std::max(1, t.pageCount));
    SetButtonState(step > 0 ? kTacticNextPage : kTacticPreviousPage, FALSE, FALSE, TRUE);
    if (page == t.page) return;
    // Portraits standing in no slot leave with their page.
    for (int id : t.pageGenerals) {
        if (std::find(std::begin(t.slotGenerals), std::end(t.slotGenerals), id) != std::end(t.slotGenerals)) continue;
        GetIcons().RemoveById(kPortraitIconBase + id, TRUE);
        DeleteSpriteById(GetSprites(), kPortraitIconBase + id);
    }
    t.page = page;
    SetupSideGenerals();
    CRect list = m_nScreenWidth > 1024 ? kWideListArea : kNarrowListArea;
    RedrawRect(&list, &GetIcons());
    Render(&list, FALSE);
}

void COrvaneView::CountPlaced(CPoint home) {
    CTacticState& t = GetTacticState();
    if (m_nScreenWidth == 1024) {
        if (home.x <= 100) {
            t.commanderPlaced = 1;
        } else {
            int& count = t.rowCounts[home.y > 550 ? 1 : 0];
            count = std::max(0, count - 1);
        }
        ShowTacticLines();
    } else if (home.y < 755) {
        t.commanderPlaced = 1;
    }
}

void COrvaneView::CountRemoved(CPoint home, int general) {
    CTacticState& t = GetTacticState();
    if (m_nScreenWidth == 1024) {
        if (home.x <= 100)
            t.commanderPlaced = 0;
        else if (std::find(t.pageGenerals.begin(), t.pageGenerals.end(), general) != t.pageGenerals.end())
            ++t.rowCounts[home.y > 550 ? 1 : 0];
        ShowTacticLines();
    } else if (home.y < 755) {
        t.commanderPlaced = 0;
    }
}

void COrvaneView::ShowTacticLines() {
    CTacticState& t = GetTacticState();
    for (int i = 0; i < 2; ++i)
        if (t.lines[i]) t.lines[i]->m_bEnabled = t.rowCounts[i] > 0 && !t.commanderPlaced;
    RedrawRect(&kLineStrip, &GetIcons());
    Render(&kLineStrip, FALSE);
}

void COrvaneView::DropTacticIcon(CPoint point) {
    CTacticState& t = GetTacticState();
    CIcon* icon = GetIcons().FindById(t.draggedIcon);
    int general = t.draggedIcon - kPortraitIconBase;
    t.draggedIcon = -1;
    if (!icon) return;
    bool wide = m_nScreenWidth > 1024;
    const CRect& slotArea = wide ? kWideSlotArea : kNarrowSlotArea;
    const CRect& listArea = wide ? kWideListArea : kNarrowListArea;
    const CPoint home = t.pickUp;
    const int own = LocalSide & 1;
    CPoint place = home;
    int target = -1;

    // The slot of the first preview soldier near the point whose slot
    // satisfies `wanted`.
    auto markerSlot = [&](auto wanted) {
        for (POSITION pos = GetIcons().GetHeadPosition(); pos;) {
            CIcon* m = static_cast<CIcon*>(GetIcons().GetNext(pos));
            if (m->m_nId < 1000 || m->m_nId > 1999 || m->m_dKey < 0) continue;
            CRect r = m->GetRect();
            r.InflateRect(kMarkerReach, kMarkerReach);
            int slot = int(m->m_dKey);
            if (r.PtInRect(point) && slot >= 0 && slot < kTacticSlots && wanted(slot)) return slot;
        }
        return -1;
    };
    // A refusal of the field: too many divisions or no detachments.
    auto refused = [&](int slot, bool countLimit) {
        if (countLimit && t.FilledSlots() >= GetBattlefieldDivisionLimit(BattleMap, own, PlayKind == 2 ? 2 : 1)) {
            ShowTacticPopup(kPopupMaxDivisions);
            return true;
        }
        if (slot >= 12 && !IsBattlefieldSideOption(BattleMap, own)) {
            ShowTacticPopup(kPopupNoDetachment);
            return true;
        }
        return false;
    };

    bool fromList = listArea.PtInRect(home), fromSlot = slotArea.PtInRect(home);
    bool toSlot = slotArea.PtInRect(point), toList = listArea.PtInRect(point), toMap = t.mapArea.PtInRect(point);
    if (fromList && (toSlot || toMap)) {
        // From the list into a free slot.
        if (toSlot) {
            for (int i = 0; i < kTacticSlots && target == -1; ++i)
                if (t.slotRects[i].PtInRect(point) && t.slotGenerals[i] == -1) target = i;
        } else {
            target = markerSlot([&](int slot) { return t.slotGenerals[slot] == -1; });
        }
        if (target != -1 && refused(target, true)) target = -1;
        if (target != -1) {
            t.slotHome[target] = home;
            place = t.slotRects[target].TopLeft();
            CountPlaced(home);
        }
    } else if (fromSlot && toList) {
        // From a slot back into the list.
        int source = t.SlotAt(home);
        if (source != -1) {
            CPoint back = t.slotHome[source];
            place = back;
            CountRemoved(back, general);
            t.slotHome[source] = CPoint(-1, -1);
            ReleaseTacticSlot(source);
            if (std::find(t.pageGenerals.begin(), t.pageGenerals.end(), general) == t.pageGenerals.end() &&
                general != t.commanderId) {
                GetIcons().RemoveById(kPortraitIconBase + general, TRUE);
                icon = nullptr;
            }
        }
    } else if (fromSlot && (toSlot || toMap)) {
        // From one slot to another.
        int source = t.SlotAt(home);
        if (source != -1) {
            if (toSlot) {
                for (int i = 0; i < kTacticSlots && target == -1; ++i)
                    if (t.slotRects[i].PtInRect(point) && i != source && t.slotHome[i] == CPoint(-1, -1)) target = i;
            } else {
                target = markerSlot([&](int slot) { return slot != source && t.slotHome[slot] == CPoint(-1, -1); });
            }
            if (target != -1 && refused(target, false)) target = -1;
            if (target != -1) {
                place = t.slotRects[target].TopLeft();
                t.slotHome[target] = t.slotHome[source];
                t.slotHome[source] = CPoint(-1, -1);
            }
        }
    }

    if ((t.slotHome[12] != CPoint(-1, -1) || t.slotHome[13] != CPoint(-1, -1) || t.slotHome[14] != CPoint(-1, -1)) &&
        t.sideChoice == 2) {
        t.sideChoice = 0;
        SetButtonState(kTacticStrike, TRUE, FALSE, TRUE);
    }
    if (icon) {
        icon->SetPosition(place.x, place.y, TRUE);
        icon->SetDepth(32767 - (place.y + icon->m_rcFrame.bottom), TRUE);
    }
    if (target != -1) AssignDivisionSlots(general, target, TRUE);
    DrawAllSprites(FALSE);
}
