// The deployment screen's state: what the view keeps while the player puts
// generals into the fifteen division slots of his army, picks the army
// formation and looks at the enemy's set-up before the battle.
//
// The view owns one CTacticState for its life; entering the screen resets
// it. The armies themselves are the view's (COrvaneView::OwnedArmies): the
// screen builds them and the battle takes them over.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/afx/Afx.h"

class CIcon;
class CSpriteList;

// Takes the sprite of `id` out of the list and deletes it (nothing when
// there is none).
void DeleteSpriteById(CSpriteList& sprites, int id);

// The fifteen division slots: 0 carries the commander, 0..11 stand in the
// army formation's slots, 12..14 are the detachments.
inline constexpr int kTacticSlots = 15;
inline constexpr int kTacticPreviewSlots = 12;
// Icon numbers of the screen.
inline constexpr int kTacticMapIcon = 51;
inline constexpr int kTacticFormationIcon = 52;
inline constexpr int kPortraitIconBase = 10000;
// The preview soldiers: own side 1001 + 40 slot + 10 row + unit, the enemy's
// 2001 + ...
inline constexpr int kOwnPreviewBase = 1001;
inline constexpr int kEnemyPreviewBase = 2001;
// The picture sets of the preview soldiers.
inline constexpr int kPreviewPlaced = 9;
inline constexpr int kPreviewSelected = 21;
inline constexpr int kPreviewEmpty = 40;
inline constexpr int kPreviewEnemy = 41;
// The posture mask a fresh screen starts from.
inline constexpr DWORD kFirstPostureMask = 0x1000000;
// The popups of the screen: a battle needs a commander, too many divisions,
// no detachments on this field.
inline constexpr int kPopupSelectGeneral = 9;
inline constexpr int kPopupMaxDivisions = 10;
inline constexpr int kPopupNoDetachment = 11;
// The screen's command buttons.
enum : int {
    kTacticOK = 1,
    kTacticCancel = 2,
    kTacticStrike = 3,
    kTacticDelay = 4,
    kTacticNextPage = 252,
    kTacticPreviousPage = 253,
};

// Whether a preview soldier's rectangle lies wholly inside the map area
// (only those are shown).
inline bool LiesWhollyInside(const CRect& r, const CRect& area) {
    return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

struct CTacticState {
    // The general id in each slot, -1 empty.
    int32_t slotGenerals[kTacticSlots];
    // Where a slot's general was picked up in the list, (-1, -1) empty.
    CPoint slotHome[kTacticSlots];
    CRect slotRects[kTacticSlots];
    CRect mapArea;
    int32_t portraitCount = 13;

    int32_t armyFormationId = -1;
    int32_t postureFormationId = -1;
    DWORD postureMask = kFirstPostureMask;
    int32_t scenario = 0;
    // The slot shown in the selected look, and the one before it.
    int32_t selectedSlot = -1;
    int32_t previousSlot = -1;

    // Dragging a portrait: its icon number (-1 none) and where it was
    // picked up.
    int32_t draggedIcon = -1;
    CPoint pickUp{0, 0};
    // The icon the last hit test found (-1 none) and where.
    int32_t hitIcon = -1;
    CPoint hitPoint{0, 0};
    // The pressed command button, -1 none.
    int32_t pressedButton = -1;

    // The generals offered for the slots, the page of them shown (from 1)
    // and the number of pages.
    int32_t commanderId = -1;
    std::vector<int32_t> offered;
    std::vector<int32_t> pageGenerals;
    int32_t page = 1;
    int32_t pageCount = 1;
    // Set while the commander stands in a slot.
    BYTE commanderPlaced = 0;
    // General portraits in the first and second row of the list (narrow
    // screens) and the two line pictures beside them.
    int32_t rowCounts[2] = {0, 0};
    CIcon* lines[2] = {nullptr, nullptr};
    // The deployment choice of buttons 3 and 4; 2 while no detachment is
    // placed.
    int32_t sideChoice = 2;
    // The last popup the screen showed (-1 none).
    int32_t lastPopup = -1;

    CTacticState() { Reset(); }
    void Reset();
    // The first slot whose rectangle holds the point, -1 none.
    int SlotAt(CPoint p) const;
    int FilledSlots() const;
};
