// What the army reads and writes of a division, named once. The division
// keeps these in fields of its own; the army gives them their meaning.
#pragma once

#include "Units/Division.h"

namespace ArmyDivision {

inline bool IsLost(const CDivision* d) { return d->m_routed != 0; }
inline void MarkLost(CDivision* d) { d->m_routed = 1; }
// 0 in play, positive held back (ticks to wait), -1 never coming.
inline int DetachmentValue(const CDivision* d) { return d->m_detachCountdown; }
// Set while the division stands under the army's own orders.
inline BYTE& Ordered(CDivision* d) { return d->m_flagBlock[0]; }
inline BYTE Ordered(const CDivision* d) { return d->m_flagBlock[0]; }
// Set while the division keeps its slot in the army's formation.
inline BYTE& Slotted(CDivision* d) { return d->m_formationByte; }
// 1: a division whose hold orders become defence. Kept apart from the
// defensive byte, which only tells what the division does now.
inline BYTE& Stance(CDivision* d) { return d->m_bytes3[0]; }
inline int Stance(const CDivision* d) { return d->m_bytes3[0]; }
inline bool HasFlagBit(const CDivision* d, int bit) { return (d->m_flags >> bit) & 1; }
inline void ClearFlagBit(CDivision* d, int bit) { d->m_flags &= ~(1 << bit); }
// Detachments 12..14.
inline bool IsDetachmentIndex(int index) { return index >= 12 && index <= 14; }
// The division's figures summed by the detachment arbitration: its live
// units, and its battalions' unit counts.
inline int DetachmentFigure(const CDivision* d, bool first) {
    return first ? d->CountUnits(TRUE, TRUE) : d->GetStrength();
}

}  // namespace ArmyDivision
