#include "Units/Zones.h"

namespace Zones {

CRect WidenTo(CRect r, int w, int h) {
    if (r.Width() < w) r.InflateRect((w - r.Width()) / 2, 0);
    if (r.Height() < h) r.InflateRect(0, (h - r.Height()) / 2);
    return r;
}

CRect Push(const CRect& base, int direction, double factor, bool keepOnly) {
    int w = base.Width(), h = base.Height();
    int dw = int(0.7 * w), dh = int(0.7 * h);
    static constexpr int kSign[8][2] = {{0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
    direction = ((direction % 8) + 8) % 8;
    bool diagonal = direction & 1;
    int sx = kSign[direction][0] * (diagonal ? dw : w);
    int sy = kSign[direction][1] * (diagonal ? dh : h);
    CRect near = base, far = base;
    near.OffsetRect(sx, sy);
    far.OffsetRect(int(sx * factor * 1.1), int(sy * factor * 1.1));
    if (keepOnly) return far;
    CRect both;
    both.UnionRect(&near, &far);
    return both;
}

}  // namespace Zones
