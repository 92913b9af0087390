#include "field/ZoneGrid.h"

#include <algorithm>

#include "field/Terrain.h"
#include "core/PointList.h"

CZoneGrid::CZoneGrid() : m_grid(size_t(kMapColumns) * kMapRows, 0) {}

CZoneGrid::~CZoneGrid() { Reset(); }

void CZoneGrid::Reset() {
    std::fill(m_grid.begin(), m_grid.end(), 0);
    m_firstGates.RemoveAll();
    m_secondGates.RemoveAll();
    m_loaded = FALSE;
}

BOOL CZoneGrid::Load(const char* name) {
    if (!name || !*name) {
        m_loaded = TRUE;
        return TRUE;
    }
    std::vector<BYTE> cells;
    if (!ReadMapPicture(name, "zone", cells)) return FALSE;
    m_grid.swap(cells);
    m_loaded = TRUE;
    return TRUE;
}

BYTE CZoneGrid::GetZone(int x, int y) const {
    x = std::clamp(x, 0, 2999);
    y = std::clamp(y, 0, 1999);
    return m_grid[size_t(x / 5) * kMapRows + size_t(y / 5)];
}

void CZoneGrid::SetCell(int c, int r, BYTE v) {
    c = std::clamp(c, 0, kMapColumns - 1);
    r = std::clamp(r, 0, kMapRows - 1);
    m_grid[size_t(c) * kMapRows + size_t(r)] = v;
}

BOOL CZoneGrid::CrossesZones(int x1, int y1, int x2, int y2) const {
    BYTE z = GetZone(x1, y1);
    return GetZone(x2, y1) != z || GetZone(x2, y2) != z || GetZone(x1, y2) != z;
}

void CZoneGrid::CollectNodes(CObList& list) const {
    list.AddTail(&m_firstGates);
    list.AddTail(&m_secondGates);
}

const CTerrain* CZoneGrid::NearestGate(const CObList& list, CPoint p, CPoint q) const {
    const CTerrain* best = nullptr;
    long long bestDistance = 1000000000LL;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const CTerrain* gate = static_cast<const CTerrain*>(list.GetNext(pos));
        long long dx1 = gate->GetX() - p.x, dy1 = gate->GetY() - p.y;
        long long dx2 = gate->GetX() - q.x, dy2 = gate->GetY() - q.y;
        long long d = dx1 * dx1 + dy1 * dy1 + dx2 * dx2 + dy2 * dy2;
        if (d < bestDistance) {
            bestDistance = d;
            best = gate;
        }
    }
    return best;
}

CPoint CZoneGrid::GateWaypoint(const CTerrain* gate, CPoint p, BOOL useArea) {
    if (!gate) return CPoint(-1000, -1000);
    if (!useArea) return CPoint(gate->GetX(), gate->GetY());
    CRect area;
    gate->CollectRegion(area, FALSE);
    return CPoint(std::clamp<int>(p.x, std::min(area.left, area.right), std::max(area.left, area.right)),
                  std::clamp<int>(p.y, std::min(area.top, area.bottom), std::max(area.top, area.bottom)));
}

void CZoneGrid::FindRoute(CPointList& route, int x1, int y1, int x2, int y2, BOOL useArea) const {
    CPoint s(std::clamp(x1, 0, 2999), std::clamp(y1, 0, 1999));
    CPoint e(std::clamp(x2, 0, 2999), std::clamp(y2, 0, 1999));
    int a = GetZone(s.x, s.y), b = GetZone(e.x, e.y);
    route.AddHead(e.x, e.y);
    if (a == b) return;
    auto prepend = [&](CPoint w) {
        if (w != CPoint(-1000, -1000)) route.AddHead(w.x, w.y);
        return w;
    };
    if ((a == 0 && b == 75) || (a == 75 && b == 0)) {
        prepend(GateWaypoint(NearestGate(m_firstGates, s, e), s, useArea));
    } else if ((a == 75 && b == 150) || (a == 150 && b == 75)) {
        prepend(GateWaypoint(NearestGate(m_secondGates, s, e), s, useArea));
    } else if (a == 0 && b == 150) {
        CPoint w2 = prepend(GateWaypoint(NearestGate(m_secondGates, s, e), s, useArea));
        prepend(GateWaypoint(NearestGate(m_firstGates, w2, e), w2, useArea));
    } else if (a == 150 && b == 0) {
        CPoint w1 = prepend(GateWaypoint(NearestGate(m_firstGates, s, e), s, useArea));
        prepend(GateWaypoint(NearestGate(m_secondGates, w1, e), w1, useArea));
    }
}
