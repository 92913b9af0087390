// CArmyElement: the common base of everything that stands in an army (unit,
// battalion, division, army): a position on the 3000 x 2000 field
// (-1000,-1000 = not placed), an eight-way facing, an owned waypoint route,
// the link to the battle grid used for path search, a name, a kind and a
// few state flags. Army elements are never written to files; Serialize does
// nothing.
//
// The battle grid files elements by their occupied rectangle (inclusive)
// and asks them a few things through the virtual functions below; the unit
// class answers them, the base gives the answers of an element that has no
// strength and faces nowhere.
#pragma once

#include "field/ArmyLinks.h"
#include "field/Route.h"
#include "platform/afx/Afx.h"

class CBattleGrid;
class CTerrainList;

class CArmyElement : public CObject {
    DECLARE_SERIAL(CArmyElement)
public:
    CArmyElement();
    ~CArmyElement() override;

    void Serialize(CArchive& ar) override;

    BOOL SetPosition(int x, int y) {
        m_x = x, m_y = y;
        return TRUE;
    }
    CPoint GetPosition() const { return CPoint(m_x, m_y); }

    // Clockwise steps from one facing to another (0..7 for facings 0..7).
    static int DirectionDelta(int from, int to) { return to - from + (to < from ? 8 : 0); }
    static int DirectionDeltaCCW(int from, int to) { return from - to + (from < to ? 8 : 0); }
    static int NormalizeDirection(int d);

    // Cuts the rectangle into the left (A), centre (B) and right (C) parts
    // seen from an element facing `m_facing`; a facing outside 0..7 writes
    // nothing.
    int SplitPerimeter(int left, int top, int right, int bottom, CRect& a, CRect& b, CRect& c) const;

    // A point at a terrain area ahead in `facing` near (x, y); feeds the
    // route with the areas that qualify. The element's own position when
    // none does.
    CPoint FindApproachPoint(int facing, int x, int y, const CTerrainList& areas, CRoute& route, int spare,
                             int maxDistance, DWORD mask, BOOL cluster, int clusterSize) const;
    // Rebuilds the route by path search; TRUE when it holds a waypoint.
    // Needs the battle grid.
    BOOL MoveTo(int fromX, int fromY, int toX, int toY, int spare, int pathLimit);
    CPoint MakePoint(int x, int y) const { return CPoint(x, y); }

    // Forward to the battle's sounds (FALSE without them).
    BOOL PlaySound(int id, DWORD flags, int value, int volume);
    BOOL CountEvent(int id);

    // --- what the battle grid and terrain features ask -------------------
    virtual int GetStrengthA() const { return 0; }
    virtual int GetStrengthB() const { return 0; }
    // TRUE when the facing from the element to the point lies within
    // `tolerance` steps of the element's facing.
    virtual BOOL IsFacingToward(int x, int y, int tolerance) const;
    // The battalion a unit belongs to (key-point captures); null for others.
    virtual IBattleBattalion* GetBattalionLink() const { return nullptr; }
    // Counted by garrison features as an occupant (not routed, and for
    // units not in a state that excludes it).
    virtual BOOL IsCountedOccupant() const { return !m_routed; }

    DWORD m_reservedA = 0;
    DWORD m_reservedB = 0;
    BYTE m_routeReady = 0;
    CRoute m_route;
    BYTE m_contact = 0;
    BYTE m_stateByte2 = 0;
    int32_t m_ownerNumber = -1;
    CBattleGrid* m_grid = nullptr;
    BYTE m_flag64 = 1;
    BYTE m_active = 1;
    BYTE m_routed = 0;
    BYTE m_able = 1;
    int32_t m_kind = 0;
    CString m_name;
    int32_t m_number = 0;
    int32_t m_facing = 0;
    IBattleSounds* m_sounds = nullptr;
    int32_t m_x = -1000;
    int32_t m_y = -1000;
    int32_t m_spare = 0;
    int32_t m_counters[4] = {0, 0, 0, 0};

    // Filing on the battle grid: the occupied rectangle (inclusive; the
    // grid changes it through MoveElement), the army the element belongs to,
    // its type value 0..8 and whether it stands on the field.
    CRect m_rcOccupied{-1000, -1000, -1000, -1000};
    int32_t m_armyId = -1;
    int32_t m_typeValue = 0;
    BYTE m_present = 1;
    // The grid's stamp of the last rectangle query that reported this
    // element: an element filed in several cells is reported once.
    mutable uint32_t m_queryStamp = 0;
};
