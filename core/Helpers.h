// Small geometry helpers used across the game, and ShowMessage, the one way
// the game reports an error to the player.
//
// Facings are 0..7 clockwise from north (0 north, 2 east, 4 south, 6 west).
// Screen and field coordinates grow rightwards (x) and downwards (y), so
// north is the direction of smaller y.
#pragma once

#include "platform/afx/Object.h"
#include "platform/afx/Rect.h"

// The nearest integer; exact halves go up (2.5 -> 3, -2.5 -> -2). `v` must
// lie within the range of int. Inline: the battle rounds every probe of
// every moving unit. The truncation is the conversion's own, which is
// exactly the whole part for any value in range.
inline int Round(double v) {
    const int whole = int(v);
    const double f = v - double(whole);
    if (f >= 0.5) return whole + 1;
    if (f < -0.5) return whole - 1;
    return whole;
}

// Euclidean distance; with `scaled` each difference is first divided by 5.
double GetDistance(int x1, int y1, int x2, int y2, bool scaled);

// (x, y) scaled to `length`, each coordinate truncated towards zero. The
// divisor is the vector's length rounded by Round; a vector whose rounded
// length is 0 gives (0, 0).
CPoint ScaleToLength(int x, int y, int length);

// The facing of (x2, y2) seen from (x1, y1). The same point twice gives 6;
// a slope exactly on a sector border gives the straight facing, never the
// diagonal one.
int GetDirection(int x1, int y1, int x2, int y2);

// A two-dimensional vector of doubles.
class CVector : public CObject {
public:
    CVector() : x(0), y(0) {}
    CVector(int x_, int y_) : x(double(x_)), y(double(y_)) {}
    CVector(double x_, double y_) : x(x_), y(y_) {}
    CVector(const CVector& o) : CObject(), x(o.x), y(o.y) {}

    CVector operator=(const CVector& o) {
        x = o.x;
        y = o.y;
        return *this;
    }
    // A scaled copy; this vector is unchanged.
    CVector operator*(double factor) const { return CVector(x * factor, y * factor); }

    double GetLength() const;
    // Scales to length 1; the zero vector stays (0, 0).
    void Normalize();
    // Turns by whole degrees in place; positive degrees turn from +x to +y.
    void Rotate(int degrees);
    // The facing of the vector, y pointing down; the zero vector gives 6.
    int GetDirection8() const;

    double x;
    double y;
};

// A vector of `length` along `facing` (doubles), or (0, 0) for a facing
// outside 0..7. Builds the sine and cosine tables on first use.
CVector GetDirectionOffset(int facing, double length);
// The same, each coordinate truncated towards zero.
CPoint GetDirectionVector(int facing, double length);

// The point moved inside `rect` shrunk by `margin` on every side.
CPoint ClampPointToRect(const RECT& rect, POINT pt, int margin);

// Formats (at most 4095 characters) and shows the text in a plain OK message
// box; returns the box's result. Every "ERROR: ..." shown to the player goes
// through here, so headless runs record it.
int ShowMessage(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
