// The rectangles that divisions and battalions keep around themselves to
// find the units near them: a base rectangle pushed out in a direction.
#pragma once

#include "platform/afx/Afx.h"

namespace Zones {

// Grows `r` about its centre to at least `w` by `h`, half the shortfall on
// each side (integer halves).
CRect WidenTo(CRect r, int w, int h);

// `base` pushed one of its own sizes toward `direction` 0..7 (diagonals
// by 0.7 of each size) and that push scaled by `factor` x 1.1; the scaled
// one alone with `keepOnly`, else both together.
CRect Push(const CRect& base, int direction, double factor, bool keepOnly);

}  // namespace Zones
