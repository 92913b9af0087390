// What the army reads and writes of a division, named once. The division
// keeps these in fields of its own; the army gives them their meaning.
#pragma once

#include "Units/Division.h"
#include "Units/Objective.h"

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
// 1: a division whose hold orders become defence.
inline int Stance(const CDivision* d) { return d->m_defensive; }
inline bool HasFlagBit(const CDivision* d, int bit) { return (d->m_flags >> bit) & 1; }
inline void ClearFlagBit(CDivision* d, int bit) { d->m_flags &= ~(1 << bit); }
// Detachments 12..14.
inline bool IsDetachmentIndex(int index) { return index >= 12 && index <= 14; }
// The division's figures summed by the detachment arbitration: its live
// units, and its battalions' unit counts.
inline int DetachmentFigure(const CDivision* d, bool first) {
    return first ? d->CountUnits(TRUE, TRUE) : d->GetStrength();
}

// What a division does first with an order: the order becomes its current
// one and waits on top of its pending orders; with `clearPlan` the steps it
// was carrying out are dropped.
inline void DeliverOrder(CDivision* d, CObjective* order, int clearPlan) {
    if (clearPlan) d->m_plan.DeleteAll();
    d->m_order.CopyFrom(order);
    d->m_pendingOrders.AddHead(order);
}

}  // namespace ArmyDivision
