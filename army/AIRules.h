// Rules the battle AI's behaviours share.
#pragma once

#include "platform/afx/Afx.h"

class CArmy;
class CDivision;

namespace ArmyAIRules {

// The behaviours order a division only on every fifth think: indices k,
// k + 5 and k + 10 with k = (tick mod 50) / 10.
bool OnTurn(const CArmy& army, const CDivision* d);
// The root id of the army's formation; -1 without one.
int RootOf(const CArmy& army);
// The opponent's headquarters stand, or its commander is within the army's
// own zone.
bool CanReachCommander(const CArmy& army);

// Sends `d` toward `p`: nothing below 100, to `p` itself below 400, else one
// 400 step along the way (only when `mayStep`). A band given moves the step
// point onto the band's middle y when `d` stands outside the band and the
// step point inside it. Returns true when an order was given.
bool StepToward(CArmy& army, CDivision* d, CPoint p, int type, int facingMode, bool mayStep,
                const CRect* band = nullptr);
// The 400 step point from `from` toward `to`.
CPoint StepPoint(CPoint from, CPoint to);

}  // namespace ArmyAIRules
