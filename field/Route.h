// CRoute: the waypoint list of an army element, a terrain feature or a
// terrain rectangle record, with the route's goal (the current target,
// -1000,-1000 for none). Inserted waypoints keep the list ordered from far
// to near along the way to the goal: a new point goes in front of the first
// waypoint that lies nearer to it than to the goal.
//
// Stored as the point count (archive count form) and x, y per point; the
// target is not stored.
#pragma once

#include "platform/afx/Afx.h"

class CPointList;

class CRoute : public CObject, public CListCore<CPoint> {
public:
    CRoute() = default;
    ~CRoute() override = default;

    void InsertOrdered(int x, int y);
    void AppendPath(const CRoute& points);
    void AppendElements(const CRoute& points, int dx, int dy);
    // Only the points whose rounded distance to (x, y) is at most `radius`.
    void InsertWaypointsInRange(const CRoute& points, int radius, int x, int y);
    // Empties the route and appends the list's points in order; the target
    // stays.
    void Assign(const CPointList& points);
    // Empties the route, takes the other's target and points.
    void Copy(const CRoute& other);
    // The waypoint nearest to (x, y) (earliest on ties); (x, y) itself when
    // none lies nearer than 50000.
    CPoint FindNearestPoint(int x, int y) const;
    // Moves every waypoint `distance` along (or against) facing 0..7.
    void Offset(int facing, int distance, BOOL forward);
    // Must not be called on an empty route.
    CPoint PopFront() { return RemoveHead(); }

    void Serialize(CArchive& ar) override;

    int targetX = -1000;
    int targetY = -1000;
};
