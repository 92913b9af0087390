// Division orders as the screens give them, and the opening orders of a
// battle. Both end in the division order queue.
#include "army/Army.h"
#include "army/FormationList.h"
#include "Units/Division.h"
#include "Units/Objective.h"
#include "shell/OrvaneView.h"

namespace {
// The order kind a formation slot's order type stands for.
int KindOfOrderType(int type) {
    switch (type) {
    case ORDER_ALLOUT_ATTACK: return 11;
    case ORDER_ATTACK: return 12;
    case ORDER_MOVE: return 9;
    case ORDER_REGROUP: return 15;
    case ORDER_STAND_GROUND: return 14;
    case ORDER_RETREAT: return 16;
    default: return 13;
    }
}
}  // namespace

BOOL COrvaneView::IssueDivisionOrder(int divisionId, int orderKind, BYTE markersOnly, int side, int sendFlag) {
    if (side == -1) side = LocalSide;
    IViewArmy* link = BattleArmies[side & 3];
    CDivision* d = link ? link->FindDivision(divisionId) : nullptr;
    if (!d) return FALSE;
    const CArmy* army = Armies[side & 3];
    bool networked = IsConnected();
    if (!networked) d->m_formationByte = 0;
    int x = d->m_x, y = d->m_y, target = d->GetLeaderID(), facing = d->m_facing, type = sendFlag;
    switch (orderKind) {
    case 9: type = ORDER_MOVE; break;
    case 11: type = ORDER_ALLOUT_ATTACK; break;
    case 12: type = ORDER_ATTACK; break;
    case 13: type = ORDER_DEFENSE; break;
    case 14: type = ORDER_STAND_GROUND; break;
    case 15:
        // Regroup where the division stands, on its army.
        type = ORDER_REGROUP;
        if (army) target = army->m_number, facing = army->m_facing;
        break;
    case 16:
        type = ORDER_RETREAT;
        if (army && army->m_facing == 2) x = -1000, facing = 6;
        else x = 4000, facing = 2;
        break;
    default: break;
    }
    LastSendFlag = (orderKind == 15 || orderKind == 16) ? 0 : BYTE(sendFlag);
    if (!markersOnly) {
        bool send = networked && sendFlag;
        if (send)
            PostNetOrder(type, x, y, target, facing, divisionId, 0, 1, 1, 0, CObjective::kUnset, CObjective::kUnset,
                         CObjective::kUnset, CObjective::kUnset);
        QueueTargetOrder(d, new CObjective(type, x, y, target, facing), side, send ? BattleTick + 1 : BattleTick, 0,
                         0, 1, 1);
    }
    return TRUE;
}

void COrvaneView::IssueOpeningOrders() {
    BYTE recording = Recording;
    Recording = 0;  // no opening order reaches a demo
    bool localOnly = !IsConnected();
    int sides[2] = {LocalSide, 1};
    int count = localOnly ? 1 : 2;
    if (!localOnly) sides[0] = 0;
    auto orderDetachments = [&](int side, bool ownSide) {
        CArmy* army = Armies[side & 3];
        for (int id = 12; id <= 14; ++id) {
            CDivision* d = army->m_divisions.FindByID(id, 0, 0);
            if (!d) continue;
            bool south = d->m_y >= 0;
            const CRect& region = army->GetZone(ownSide == south ? CArmy::kFront : CArmy::kRearHalf);
            CPoint centre = region.CenterPoint();
            if (auto* list = dynamic_cast<CDivFormationList*>(d->m_formationList))
                if (CDivFormation* f = list->PickRandom(2)) d->m_formation = f;
            int formationId = d->m_formation ? d->m_formation->GetNumber() : -1;
            int facing = ownSide ? (south ? 0 : 4) : 0;
            QueueTargetOrder(d, new CObjective(ORDER_ATTACK, centre.x, centre.y, formationId, facing), side, BattleTick,
                             255, 0, 1, 1);
        }
    };
    for (int i = 0; i < count; ++i) {
        int side = sides[i];
        CArmy* army = Armies[side & 3];
        if (!army) continue;
        for (int id = 0; id <= 11; ++id) {
            if (!army->m_divisions.FindByID(id, 0, 0)) continue;
            int type = army->m_formation ? army->m_formation->GetOrderType(id) : -1;
            IssueDivisionOrder(id, KindOfOrderType(type), 0, side, 0);
        }
        orderDetachments(side, true);
    }
    if (localOnly) {
        CArmy* other = Armies[OtherSide & 3];
        if (other) {
            orderDetachments(OtherSide, false);
            if (other->m_formation) other->RepositionDivisions(other->m_formation, TRUE);
        }
    }
    Recording = recording;
}
