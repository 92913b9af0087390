// CAction: what an army element is doing now: the objective it carries out,
// the point where it began it, the formation the objective names and the
// unit it attacks. Every unit, battalion and division holds one. The action
// owns nothing: the formation and the target belong to others.
#pragma once

#include "Units/ArmyInterfaces.h"
#include "Units/Objective.h"

class CUnit;

class CAction : public CObjective {
public:
    CAction() = default;
    ~CAction() override = default;

    // Takes over every field of `order` (a null order leaves them), starts
    // the order at its target point and remembers its formation. TRUE.
    BOOL SetOrder(const CObjective* order, const IFormation* formation);
    // Makes `target` the attack target of `acting` (whose action this is),
    // moving `acting` between the targets' engager lists: the close list
    // when `close`, else the second list. With `limit` a target that
    // already has 3 close engagers is refused (FALSE, nothing changed).
    BOOL SetTarget(CUnit* acting, CUnit* target, BOOL close, BOOL limit);

    int32_t m_targetStamp = -1000;  // the acting unit's tick when the target was set
    BYTE m_closeEngager = 0;        // 1: listed as a close engager of the target
    int32_t m_spare = -1;           // divisions and battalions: the type of the step taken last
    int32_t m_startX = -1000;
    int32_t m_startY = -1000;
    const IFormation* m_formation = nullptr;
    CUnit* m_target = nullptr;
};
