// Sine, cosine and arc tangent computed with nothing but the operations that
// IEEE 754 rounds exactly (add, subtract, multiply, divide, square root), in
// a fixed order. The C library's versions may differ by a rounding step from
// one library to the next, and two machines of a lockstep battle, or a demo
// and its playback, must turn a vector by exactly the same amount. The
// simulation uses these, never <cmath>'s transcendental functions.
//
// Accurate to a few units in the last place over the range the game uses;
// arguments beyond +-1e6 radians are not reduced precisely (none occur).
#pragma once

namespace ExactMath {

inline constexpr double kPi = 3.141592653589793;

double Sin(double x);
double Cos(double x);
// The angle of (x, y) in -pi..pi, as atan2: Atan2(0, 0) is 0, and the signs
// of zeros and infinities are not distinguished (they never reach here).
double Atan2(double y, double x);
// The natural logarithm of x > 0; minus infinity for 0 and a quiet NaN
// below 0, as the library's.
double Log(double x);

}  // namespace ExactMath
