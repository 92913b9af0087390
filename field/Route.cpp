#include "field/Route.h"

#include "core/Helpers.h"
#include "core/PointList.h"

static int RoundedDistance(int x1, int y1, int x2, int y2) { return Round(GetDistance(x1, y1, x2, y2, false)); }

void CRoute::InsertOrdered(int x, int y) {
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION at = pos;
        CPoint w = GetNext(pos);
        int d1 = RoundedDistance(x, y, w.x, w.y);
        int d2 = RoundedDistance(targetX, targetY, w.x, w.y);
        if (d1 < d2) {
            InsertBefore(at, CPoint(x, y));
            return;
        }
    }
    AddTail(CPoint(x, y));
}

void CRoute::AppendPath(const CRoute& points) { AppendElements(points, 0, 0); }

void CRoute::AppendElements(const CRoute& points, int dx, int dy) {
    for (POSITION pos = points.GetHeadPosition(); pos;) {
        CPoint p = points.GetNext(pos);
        InsertOrdered(p.x + dx, p.y + dy);
    }
}

void CRoute::InsertWaypointsInRange(const CRoute& points, int radius, int x, int y) {
    for (POSITION pos = points.GetHeadPosition(); pos;) {
        CPoint p = points.GetNext(pos);
        if (RoundedDistance(p.x, p.y, x, y) <= radius) InsertOrdered(p.x, p.y);
    }
}

void CRoute::Assign(const CPointList& points) {
    RemoveAll();
    CPointList copy;
    copy.AppendList(points);
    while (!copy.IsEmpty()) AddTail(copy.PopHead());
}

void CRoute::Copy(const CRoute& other) {
    RemoveAll();
    targetX = other.targetX;
    targetY = other.targetY;
    for (POSITION pos = other.GetHeadPosition(); pos;) AddTail(other.GetNext(pos));
}

CPoint CRoute::FindNearestPoint(int x, int y) const {
    CPoint best(x, y);
    int bestDistance = 50000;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CPoint p = GetNext(pos);
        int d = RoundedDistance(p.x, p.y, x, y);
        if (d < bestDistance) {
            bestDistance = d;
            best = p;
        }
    }
    return best;
}

void CRoute::Offset(int facing, int distance, BOOL forward) {
    if (facing < 0 || facing > 7) return;
    static const int kDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    static const int kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    int step = (facing & 1) ? int(double(distance) * 0.7072135785007072) : distance;
    int dx = kDx[facing] * step, dy = kDy[facing] * step;
    if (!forward) dx = -dx, dy = -dy;
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION at = pos;
        CPoint p = GetNext(pos);
        SetAt(at, CPoint(p.x + dx, p.y + dy));
    }
}

void CRoute::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(DWORD(GetCount()));
        for (POSITION pos = GetHeadPosition(); pos;) {
            CPoint p = GetNext(pos);
            ar << LONG(p.x) << LONG(p.y);
        }
    } else {
        DWORD count = ar.ReadCount();
        while (count--) {
            LONG x, y;
            ar >> x >> y;
            AddTail(CPoint(x, y));
        }
    }
}
