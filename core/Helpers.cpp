#include "core/Helpers.h"

#include "core/ExactMath.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "platform/afx/MessageBox.h"
#include "core/GameTables.h"

double GetDistance(int x1, int y1, int x2, int y2, bool scaled) {
    double dx = double(x2) - x1;
    double dy = double(y2) - y1;
    if (scaled) {
        dx /= 5.0;
        dy /= 5.0;
    }
    return std::sqrt(dx * dx + dy * dy);
}

CPoint ScaleToLength(int x, int y, int length) {
    double fx = x, fy = y;
    int r = Round(std::sqrt(fx * fx + fy * fy));
    if (r == 0) return CPoint(0, 0);
    double k = double(length) / r;
    return CPoint(int(fx * k), int(fy * k));
}

namespace {
// The eight-way sector of an offset whose second component points up.
int SectorOf(double dx, double du) {
    if (du == 0) return dx > 0 ? 2 : 6;
    if (dx == 0) return du > 0 ? 0 : 4;
    double s = du / dx;
    if (dx > 0 && du > 0) return s <= 0.4142 ? 2 : s < 2.4142 ? 1 : 0;
    if (dx > 0) return s <= -2.4142 ? 4 : s < -0.4142 ? 3 : 2;
    if (du > 0) return s <= -2.4142 ? 0 : s < -0.4142 ? 7 : 6;
    return s <= 0.4142 ? 6 : s < 2.4142 ? 5 : 4;
}
}  // namespace

int GetDirection(int x1, int y1, int x2, int y2) { return SectorOf(double(x2) - x1, double(y1) - y2); }

double CVector::GetLength() const { return std::sqrt(x * x + y * y); }

void CVector::Normalize() {
    double len = GetLength();
    if (len == 0) {
        x = y = 0;
        return;
    }
    x /= len;
    y /= len;
}

void CVector::Rotate(int degrees) {
    double a = ExactMath::Atan2(y, x) + degrees * 0.017453292;
    double r = std::sqrt(x * x + y * y);
    y = ExactMath::Sin(a) * r;
    x = ExactMath::Cos(a) * r;
}

int CVector::GetDirection8() const { return SectorOf(x, -y); }

namespace {
// The table angle of a facing: 90 - 45 * facing degrees, within 0..359.
int FacingAngle(int facing) { return ((90 - 45 * facing) % 360 + 360) % 360; }
}  // namespace

CVector GetDirectionOffset(int facing, double length) {
    if (facing < 0 || facing > 7) return CVector(0.0, 0.0);
    if (!SinCosTablesBuilt) BuildSinCosTables();
    int a = FacingAngle(facing);
    return CVector(CosTable[a] * length, -(SinTable[a] * length));
}

CPoint GetDirectionVector(int facing, double length) {
    if (facing < 0 || facing > 7) return CPoint(0, 0);
    if (!SinCosTablesBuilt) BuildSinCosTables();
    int a = FacingAngle(facing);
    return CPoint(int(CosTable[a] * length), -int(SinTable[a] * length));
}

CPoint ClampPointToRect(const RECT& rect, POINT pt, int margin) {
    CPoint p(pt);
    if (p.x > rect.right - margin) p.x = rect.right - margin;
    else if (p.x < rect.left + margin) p.x = rect.left + margin;
    if (p.y > rect.bottom - margin) p.y = rect.bottom - margin;
    else if (p.y < rect.top + margin) p.y = rect.top + margin;
    return p;
}

int ShowMessage(const char* fmt, ...) {
    static char buffer[4096];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    return AfxMessageBox(buffer, MB_OK);
}
