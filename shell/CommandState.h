// CCommandState: the order the player has chosen in battle and that waits
// for its target point on the field. One per view. The order choosers fill
// the division, order type and value; the battle screen's mouse handlers
// fill the target point and the icon that shows it.
#pragma once

#include <cstdint>

#include "platform/afx/Afx.h"

class CIcon;

class CCommandState : public CObject {
public:
    CCommandState() { Reset(); }

    // No command: every field unset.
    void Reset() {
        armed = 0;
        carriesValue = 0;
        value = -1;
        division = -1;
        orderType = -1;
        targetX = -1000;
        targetY = -1000;
        targetIcon = nullptr;
    }
    bool HasTarget() const { return targetX != -1000 || targetY != -1000; }
    // Turns the target icon to face from the target point toward the field
    // point (x, y). Must not be called without a target icon.
    void FaceToward(int x, int y);
    // The facing 0..7 from (fromX, fromY) to (toX, toY) on the field, whose
    // y grows downwards.
    static int FacingBetween(int fromX, int fromY, int toX, int toY);

    BYTE armed;         // set by the first button-up after the command was chosen
    BYTE carriesValue;  // the value goes into the order instead of the leader
    int32_t value;
    int32_t division;   // -1: no command
    int32_t orderType;
    int32_t targetX, targetY;
    CIcon* targetIcon;  // not owned
};
