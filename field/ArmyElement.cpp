#include "field/ArmyElement.h"

#include "field/BattleGrid.h"
#include "field/TerrainList.h"
#include "core/Helpers.h"
#include "core/PointList.h"

IMPLEMENT_SERIAL(CArmyElement, CObject, 0)

CArmyElement::CArmyElement() = default;

CArmyElement::~CArmyElement() { m_sounds = nullptr; }

void CArmyElement::Serialize(CArchive& ar) { (void)ar; }

int CArmyElement::NormalizeDirection(int d) {
    while (d < 0) d += 8;
    while (d >= 8) d -= 8;
    return d;
}

int CArmyElement::SplitPerimeter(int L, int T, int R, int B, CRect& a, CRect& b, CRect& c) const {
    int x1 = L + (R - L) / 3, y1 = T + (B - T) / 3;
    int mx = (L + R) / 2, my = (T + B) / 2;
    switch (m_facing) {
    case 0:
        a = CRect(L, T, x1, B);
        b = CRect(a.right + 1, T, 2 * a.right - a.left, B);
        c = CRect(b.right + 1, T, 2 * b.right - b.left, B);
        break;
    case 4:
        c = CRect(L, T, x1, B);
        b = CRect(c.right + 1, T, 2 * c.right - c.left, B);
        a = CRect(b.right + 1, T, 2 * b.right - b.left, B);
        break;
    case 2:
        a = CRect(L, T, R, y1);
        b = CRect(L, a.bottom + 1, R, 2 * a.bottom - a.top);
        c = CRect(L, b.bottom + 1, R, 2 * b.bottom - b.top);
        break;
    case 6:
        c = CRect(L, T, R, y1);
        b = CRect(L, c.bottom + 1, R, 2 * c.bottom - c.top);
        a = CRect(L, b.bottom + 1, R, 2 * b.bottom - b.top);
        break;
    case 1:
        a = CRect(L, T, mx, my);
        b = CRect(a.right + 1, a.top, R, a.bottom);
        c = CRect(a.right + 1, a.bottom + 1, R, B);
        break;
    case 3:
        b = CRect(mx, my, R, B);
        a = CRect(b.left, T, R, b.top - 1);
        c = CRect(L, b.top, b.left - 1, B);
        break;
    case 5:
        c = CRect(L, T, mx, my);
        b = CRect(L, c.bottom + 1, c.right, B);
        a = CRect(b.right + 1, b.top, R, B);
        break;
    case 7:
        b = CRect(L, T, mx, my);
        a = CRect(L, b.bottom + 1, b.right, B);
        c = CRect(b.right + 1, T, R, b.bottom);
        break;
    default:
        break;
    }
    return 0;
}

BOOL CArmyElement::IsFacingToward(int x, int y, int tolerance) const {
    int facing = GetDirection(m_x, m_y, x, y);
    int diff = std::abs(facing - m_facing) % 8;
    if (diff > 4) diff = 8 - diff;
    return diff <= tolerance;
}

CPoint CArmyElement::FindApproachPoint(int facing, int x, int y, const CTerrainList& areas, CRoute& route, int spare,
                                       int maxDistance, DWORD mask, BOOL cluster, int clusterSize) const {
    (void)spare;
    std::vector<CTerrain*> candidates;
    for (POSITION pos = areas.GetHeadPosition(); pos;) candidates.push_back(areas.GetTerrain(pos));
    if (cluster) {
        CTerrain* nearest = areas.FindNearest(x, y, maxDistance, 0x20C2);
        bool useCluster = false;
        if (nearest) {
            // Grow a cluster of touching areas from the nearest one.
            std::vector<CTerrain*> work = candidates, group;
            work.erase(std::find(work.begin(), work.end(), nearest));
            group.push_back(nearest);
            for (int pass = 0; pass < clusterSize && !work.empty() && int(group.size()) < clusterSize; ++pass) {
                for (auto it = work.begin(); it != work.end();) {
                    bool touches = false;
                    for (CTerrain* g : group) touches = touches || g->CrossesLine(**it);
                    if (touches) {
                        group.push_back(*it);
                        it = work.erase(it);
                    } else {
                        ++it;
                    }
                }
            }
            if (group.size() >= 3) {
                candidates = group;
                useCluster = true;
            }
        }
        cluster = useCluster;
    }
    CPoint best(m_x, m_y);
    int bestDistance = 50000;
    for (CTerrain* area : candidates) {
        if (area->m_flags & mask) continue;
        if (area->GetFlagBit2() && (area->m_flags & CTerrain::kFlagCrowded)) continue;
        int diff = std::abs(area->m_facing - facing);
        if (diff > 4) diff = 8 - diff;
        if (diff > 1) continue;
        CPoint anchor;
        area->GetAnchorPoint(anchor);
        int d = Round(GetDistance(anchor.x, anchor.y, x, y, false));
        if (d > maxDistance && !cluster) continue;
        if (d < bestDistance) {
            bestDistance = d;
            best = anchor;
        }
        if (area->m_slotRoute.IsEmpty())
            route.InsertOrdered(anchor.x, anchor.y);
        else
            route.InsertWaypointsInRange(area->m_slotRoute, maxDistance, x, y);
    }
    return best;
}

BOOL CArmyElement::MoveTo(int fromX, int fromY, int toX, int toY, int spare, int pathLimit) {
    (void)spare;
    m_route.RemoveAll();
    m_routeReady = 0;
    if (!m_grid) return FALSE;
    CPoint to = m_grid->FindFreePointNear(toX, toY, nullptr, 10000, FALSE);
    CPoint from = m_grid->FindFreePointNear(fromX, fromY, nullptr, 10000, FALSE);
    CPointList path;
    m_grid->FindPathForElement(from.x, from.y, to.x, to.y, path, pathLimit);
    m_route.Assign(path);
    return m_route.IsEmpty() ? FALSE : TRUE;
}

BOOL CArmyElement::PlaySound(int id, DWORD flags, int value, int volume) {
    return m_sounds ? m_sounds->Play(id, flags, value, volume) : FALSE;
}

BOOL CArmyElement::CountEvent(int id) { return m_sounds ? m_sounds->CountEvent(id) : FALSE; }
