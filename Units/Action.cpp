#include "Units/Action.h"

#include "Units/Unit.h"

BOOL CAction::SetOrder(const CObjective* order, const IFormation* formation) {
    m_formation = formation;
    if (order) {
        m_startX = order->m_x;
        m_startY = order->m_y;
    }
    CopyFrom(order);
    return TRUE;
}

BOOL CAction::SetTarget(CUnit* acting, CUnit* target, BOOL close, BOOL limit) {
    if (target && limit && target->m_engagers.GetCount() >= 3) return FALSE;
    m_targetStamp = target && acting ? acting->m_tickCount : -1000;
    if (target == m_target) return TRUE;
    if (m_target) (m_closeEngager ? m_target->m_engagers : m_target->m_engagers2).RemoveUnit(acting);
    if (target) (close ? target->m_engagers : target->m_engagers2).AddUnique(acting);
    m_closeEngager = close ? 1 : 0;
    m_target = target;
    return TRUE;
}
