// CZoneGrid: the battlefield's zones (0, 75 and 150, painted in a map
// picture, one byte per 5 x 5 field units) and the gates between them: the
// first gate list joins zones 0 and 75, the second 75 and 150. A gate is a
// terrain feature: its position is the waypoint, the bounds of its current
// region its area. The lists do not own the gates (the terrain list does).
#pragma once

#include <vector>

#include "field/MapPicture.h"
#include "platform/afx/Afx.h"

class CPointList;
class CTerrain;

class CZoneGrid {
public:
    CZoneGrid();
    virtual ~CZoneGrid();

    void Reset();
    // An empty name only marks the grid loaded. A picture that is missing,
    // not 8-bit or smaller than 600 x 400 leaves the grid as it was.
    BOOL Load(const char* name);
    BOOL IsLoaded() const { return m_loaded; }

    BYTE GetZone(int x, int y) const;
    void SetCell(int c, int r, BYTE v);
    // TRUE when a corner of the rectangle other than (x1, y1) lies in
    // another zone than (x1, y1).
    BOOL CrossesZones(int x1, int y1, int x2, int y2) const;
    void CollectNodes(CObList& list) const;
    // Prepends the goal and the gate waypoints between the two points' zones
    // to `route`, so that it runs start gate(s), then the goal.
    void FindRoute(CPointList& route, int x1, int y1, int x2, int y2, BOOL useArea) const;

    CObList& GetFirstGates() { return m_firstGates; }
    CObList& GetSecondGates() { return m_secondGates; }

private:
    const CTerrain* NearestGate(const CObList& list, CPoint p, CPoint q) const;
    static CPoint GateWaypoint(const CTerrain* gate, CPoint p, BOOL useArea);

    CObList m_firstGates;
    CObList m_secondGates;
    BYTE m_loaded = FALSE;
    std::vector<BYTE> m_grid;
};
