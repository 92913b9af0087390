// The command buttons of the battle screen: each division's eight order
// markers in its panel column, the army's commands, the directions of the
// all-out attack, the army formations, and the pictures of the division
// panel and the target panel. What a button does when pressed is the
// command handling's; here they are made, placed and drawn.
#include "Animate/BattlePictureNames.h"
#include "Units/Division.h"
#include "army/Army.h"
#include "world/Person.h"
#include "shell/OrvaneView.h"

namespace {
// Buttons stand above everything of the field.
constexpr int kButtonDepth = 32767;

struct ButtonLayout {
    int panelLeft, panelRow, blockX, blockY, columnStep;
};
ButtonLayout LayoutFor(int screenWidth) {
    if (screenWidth <= 1024) return {174, 738, 960, 658, 66};
    return {238, 994, 1115, 912, 68};
}
}  // namespace

BOOL COrvaneView::LoadBattleButtons() {
    if (GameMode != MODE_BATTLE) return FALSE;
    GetButtons().DeleteAll();
    const bool narrow = m_nScreenWidth <= 1024;
    const ButtonLayout L = LayoutFor(m_nScreenWidth);
    COrvaneDoc* doc = GetDocument();

    // The division slots: a portrait for every division of the player's
    // army, and a panel column for every filled slot, in slot order.
    for (CDivisionSlot& slot : DivisionSlots) {
        slot.Portrait = "-+-";
        slot.Division = nullptr;
    }
    if (CArmy* army = Armies[LocalSide & 1]) {
        for (POSITION pos = army->m_divisions.GetHeadPosition(); pos;) {
            CDivision* d = army->m_divisions.GetDivision(pos);
            if (d->m_number < 0 || d->m_number >= 15) continue;
            CDivisionSlot& slot = DivisionSlots[d->m_number];
            const CString general = d->m_general && !d->m_general->text3.IsEmpty() ? d->m_general->text3 : CString("Generic General");
            slot.Portrait = (doc ? doc->GetPortraitPath() : CString("Pictures\\Portrait\\")) + general + ".giz";
            slot.Division = d;
        }
    }
    int column = 0;
    for (CDivisionSlot& slot : DivisionSlots)
        if (slot.Portrait != "-+-") slot.Column = BYTE(column++);

    // Each filled slot's eight order markers, hidden, all in its column.
    for (int k = 0; k < 15; ++k) {
        if (DivisionSlots[k].Portrait == "-+-") continue;
        const int x = DivisionSlots[k].Column * L.columnStep + L.panelLeft;
        for (int i = 0; i < 8; ++i)
            AddCommandButton(59 + 8 * k + i, kDivisionOrderMarkers[i], x, L.panelRow, FALSE, kButtonDepth);
    }

    // The army's commands, shown.
    const int c = L.blockX, d = L.blockY;
    if (narrow) {
        static const int kIds[6] = {31, 34, 30, 33, 32, 29};
        for (int i = 0; i < 6; ++i)
            AddCommandButton(kIds[i], kNarrowArmyCommandButtons[i], 967, 658 + 17 * i, TRUE, kButtonDepth);
    } else {
        const bool otherSide = (LocalSide & 1) == 1;
        AddCommandButton(30, kArmyCommandButtons[otherSide ? 6 : 0], c, d, TRUE, kButtonDepth);
        AddCommandButton(31, kArmyCommandButtons[otherSide ? 7 : 1], c + 103, d, TRUE, kButtonDepth);
        AddCommandButton(34, kArmyCommandButtons[2], c + 51, d, TRUE, kButtonDepth);
        AddCommandButton(33, kArmyCommandButtons[3], c, d + 42, TRUE, kButtonDepth);
        AddCommandButton(32, kArmyCommandButtons[4], c + 103, d + 42, TRUE, kButtonDepth);
        AddCommandButton(29, kArmyCommandButtons[5], c + 51, d + 42, TRUE, kButtonDepth);
    }

    // The directions of the all-out attack, hidden.
    struct Placed {
        int id, dx, dy;
    };
    static const Placed kDirections[9] = {{41, -145, -68}, {40, -97, -68},  {42, -49, -68},
                                          {35, -97, -116}, {37, -193, -164}, {39, -145, -164},
                                          {36, -97, -164}, {43, -49, -164}, {38, -1, -164}};
    for (int i = 0; i < 9; ++i)
        AddCommandButton(kDirections[i].id, kAllOutAttackButtons[i], c + kDirections[i].dx, d + kDirections[i].dy,
                         FALSE, kButtonDepth);

    // The army formations, hidden, in rows above the army's block.
    static const Placed kFormations[14] = {
        {44, -193, -260}, {45, -133, -260}, {46, -73, -260}, {47, 0, -260},   {48, -193, -200},
        {49, -133, -200}, {50, -73, -200},  {51, 0, -200},   {52, -193, -140}, {53, -133, -140},
        {54, -73, -140},  {55, -133, -80},  {56, -73, -80},  {57, 0, -140},
    };
    for (int i = 0; i < 14; ++i)
        AddCommandButton(kFormations[i].id, kFormationButtons[i], c + kFormations[i].dx, d + kFormations[i].dy, FALSE,
                         kButtonDepth);

    // The division panel's orders and the target panel's formations, hidden
    // until a panel opens.
    for (int i = 0; i < 8; ++i) AddCommandButton(9 + i, kDivisionOrderButtons[i], 0, 0, FALSE, kButtonDepth);
    for (int i = 0; i < 12; ++i)
        AddCommandButton(17 + i, CString(kFormationCommandFolder) + kFormationCommandButtons[i], 0, 0, FALSE,
                         kButtonDepth);

    GetButtons().LoadAll(doc ? doc->GetCmbPath() : CString("Pictures\\Cmb\\"), m_nColourDepth, nullptr);
    return TRUE;
}
