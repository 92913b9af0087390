// CObjective: what an army element is to do. An order to an army or a
// division, a leg queued for a battalion, a step queued for a unit, and the
// core of every element's current action (CAction) are all this one record.
// Above the unit level Type is an order bit code (OrderType); in a unit's
// queues it is a unit behaviour code 0..16.
//
// CObjectiveList: a queue of owned records; the head is current or next.
// Whoever pops a record owns it; the list deletes the rest.
#pragma once

#include "platform/afx/Afx.h"

// Order bit codes of armies, divisions and battalions.
enum OrderType : int {
    ORDER_NONE = -1,
    ORDER_ALLOUT_ATTACK = 1,
    ORDER_ATTACK = 2,
    ORDER_MOVE = 16,
    ORDER_REGROUP = 64,
    ORDER_STAND_GROUND = 128,
    ORDER_RETREAT = 256,
    ORDER_DEFENSE = 512,
};

class CObjective : public CObject {
public:
    static constexpr int kUnset = -1000;

    // A placeholder: nothing to do.
    CObjective() = default;
    CObjective(int type, int x, int y, int targetId = -1, int facing = -1, int extra1 = kUnset,
               int extra2 = kUnset, int extra3 = kUnset, int extra4 = kUnset)
        : m_x(x), m_y(y), m_extra1(extra1), m_extra2(extra2), m_extra3(extra3), m_extra4(extra4),
          m_facing(facing), m_type(type), m_targetId(targetId) {}
    // A copy of `source`, or a placeholder when it is null.
    explicit CObjective(const CObjective* source) { CopyFrom(source); }
    CObjective(const CObjective&) = default;
    CObjective& operator=(const CObjective&) = default;
    ~CObjective() override = default;

    // Copies all nine fields; FALSE and nothing changed for a null source.
    BOOL CopyFrom(const CObjective* source) {
        if (!source) return FALSE;
        *this = *source;
        return TRUE;
    }
    CPoint GetPoint() const { return CPoint(m_x, m_y); }
    bool HasPoint() const { return !(m_x == kUnset && m_y == kUnset); }
    bool operator==(const CObjective& o) const {
        return m_x == o.m_x && m_y == o.m_y && m_extra1 == o.m_extra1 && m_extra2 == o.m_extra2 &&
               m_extra3 == o.m_extra3 && m_extra4 == o.m_extra4 && m_facing == o.m_facing && m_type == o.m_type &&
               m_targetId == o.m_targetId;
    }

    int32_t m_x = kUnset;
    int32_t m_y = kUnset;
    int32_t m_extra1 = kUnset;  // left, or the second point's x
    int32_t m_extra2 = kUnset;  // top, or the second point's y
    int32_t m_extra3 = kUnset;  // right
    int32_t m_extra4 = kUnset;  // bottom, or a value of its own
    int32_t m_facing = -1;
    int32_t m_type = -1;
    int32_t m_targetId = -1;  // owner number of a target element, or a formation's number
};

class CObjectiveList : public CObList {
public:
    CObjectiveList() : CObList(10) {}
    ~CObjectiveList() override { DeleteAll(); }

    void AddHead(CObjective* objective) { CObList::AddHead(objective); }
    void Add(CObjective* objective) { CObList::AddTail(objective); }
    void AddTail(CObjective* objective) { CObList::AddTail(objective); }
    // Null when empty.
    CObjective* GetHead() const { return IsEmpty() ? nullptr : static_cast<CObjective*>(CObList::GetHead()); }
    CObjective* GetTail() const { return IsEmpty() ? nullptr : static_cast<CObjective*>(CObList::GetTail()); }
    // Takes the head off; the caller owns it. Null when empty.
    CObjective* PopHead() { return IsEmpty() ? nullptr : static_cast<CObjective*>(CObList::RemoveHead()); }
    CObjective* RemoveHead() { return PopHead(); }
    void DeleteHead() { delete PopHead(); }
    void DeleteAll() {
        while (!IsEmpty()) DeleteHead();
    }
    // The head's point, or (-1000, -1000) when empty.
    CPoint GetHeadPoint() const {
        const CObjective* h = GetHead();
        return h ? h->GetPoint() : CPoint(CObjective::kUnset, CObjective::kUnset);
    }
    // The head's facing, or -1 when empty.
    int GetHeadFacing() const {
        const CObjective* h = GetHead();
        return h ? h->m_facing : -1;
    }
};
