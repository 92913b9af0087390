// CPoint, CSize and CRect with the Win32 rules the game relies on: a
// rectangle holds its left and top edges but not its right and bottom ones
// (PtInRect), it is empty when its width or height is not positive, and a
// union ignores empty rectangles.
#pragma once

#include <algorithm>

#include "platform/afx/AfxTypes.h"

struct POINT {
    LONG x, y;
};
struct SIZE {
    LONG cx, cy;
};
struct RECT {
    LONG left, top, right, bottom;
};
typedef const RECT* LPCRECT;
typedef RECT* LPRECT;

class CSize : public SIZE {
public:
    CSize() : SIZE{0, 0} {}
    CSize(int cx_, int cy_) : SIZE{cx_, cy_} {}
    bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
    bool operator!=(const CSize& o) const { return !(*this == o); }
};

class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int x_, int y_) : POINT{x_, y_} {}
    CPoint(POINT p) : POINT(p) {}
    void Offset(int dx, int dy) {
        x += dx;
        y += dy;
    }
    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
    CPoint operator+(const CPoint& o) const { return CPoint(x + o.x, y + o.y); }
    CPoint operator-(const CPoint& o) const { return CPoint(x - o.x, y - o.y); }
    CPoint& operator+=(const CPoint& o) {
        Offset(o.x, o.y);
        return *this;
    }
    CPoint& operator-=(const CPoint& o) {
        Offset(-o.x, -o.y);
        return *this;
    }
};

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& r) : RECT(r) {}
    CRect(CPoint topLeft, CSize size) : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
    CRect(CPoint topLeft, CPoint bottomRight) : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(const RECT* r) { *static_cast<RECT*>(this) = *r; }
    void OffsetRect(int dx, int dy) {
        left += dx, right += dx;
        top += dy, bottom += dy;
    }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    void InflateRect(int dx, int dy) {
        left -= dx, right += dx;
        top -= dy, bottom += dy;
    }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void NormalizeRect() {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }

    // Each of these sets this rectangle and returns whether it is not empty;
    // an empty intersection becomes (0,0,0,0) as on Win32.
    bool IntersectRect(const RECT* a, const RECT* b);
    bool UnionRect(const RECT* a, const RECT* b);

    bool operator==(const RECT& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    // Spelled out for two CRects so that C++20's reversed comparisons do not
    // find two equally good candidates.
    bool operator==(const CRect& o) const { return *this == static_cast<const RECT&>(o); }
    bool operator!=(const RECT& o) const { return !(*this == o); }
    bool operator!=(const CRect& o) const { return !(*this == o); }
    CRect& operator&=(const RECT& o) {
        IntersectRect(this, &o);
        return *this;
    }
    CRect& operator|=(const RECT& o) {
        UnionRect(this, &o);
        return *this;
    }
    CRect operator&(const RECT& o) const {
        CRect r;
        r.IntersectRect(this, &o);
        return r;
    }
    CRect operator|(const RECT& o) const {
        CRect r;
        r.UnionRect(this, &o);
        return r;
    }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};

inline bool PtInRect(const RECT* r, POINT p) { return CRect(*r).PtInRect(p); }
inline bool IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
    CRect r;
    bool ok = r.IntersectRect(a, b);
    *dst = r;
    return ok;
}
inline bool UnionRect(RECT* dst, const RECT* a, const RECT* b) {
    CRect r;
    bool ok = r.UnionRect(a, b);
    *dst = r;
    return ok;
}
inline void SetRect(RECT* r, int l, int t, int rr, int b) { *r = RECT{l, t, rr, b}; }
inline bool IsRectEmpty(const RECT* r) { return CRect(*r).IsRectEmpty(); }
inline void OffsetRect(RECT* r, int dx, int dy) {
    r->left += dx, r->right += dx, r->top += dy, r->bottom += dy;
}
