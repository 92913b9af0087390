#include "core/ExactMath.h"

#include <array>
#include <cmath>
#include <limits>

namespace ExactMath {
namespace {

// pi/2 in three pieces whose products with a small whole number are exact.
constexpr double kHalfPi1 = 1.5707963267341256e+00;
constexpr double kHalfPi2 = 6.0771005065061922e-11;
constexpr double kHalfPi3 = 2.0222662487959506e-21;
constexpr double kTwoOverPi = 6.3661977236758138e-01;

// Taylor series of sin and cos on |r| <= pi/4, summed from the smallest
// term up; the first omitted term is below 1e-19.
double SinKernel(double r) {
    double r2 = r * r;
    double s = 1.0 / 355687428096000.0;             // 1/17!
    s = s * r2 - 1.0 / 1307674368000.0;              // 1/15!
    s = s * r2 + 1.0 / 6227020800.0;                 // 1/13!
    s = s * r2 - 1.0 / 39916800.0;                   // 1/11!
    s = s * r2 + 1.0 / 362880.0;                     // 1/9!
    s = s * r2 - 1.0 / 5040.0;                       // 1/7!
    s = s * r2 + 1.0 / 120.0;                        // 1/5!
    s = s * r2 - 1.0 / 6.0;                          // 1/3!
    return r + r * r2 * s;
}

double CosKernel(double r) {
    double r2 = r * r;
    double c = 1.0 / 6402373705728000.0;            // 1/18!
    c = c * r2 - 1.0 / 20922789888000.0;             // 1/16!
    c = c * r2 + 1.0 / 87178291200.0;                // 1/14!
    c = c * r2 - 1.0 / 479001600.0;                  // 1/12!
    c = c * r2 + 1.0 / 3628800.0;                    // 1/10!
    c = c * r2 - 1.0 / 40320.0;                      // 1/8!
    c = c * r2 + 1.0 / 720.0;                        // 1/6!
    c = c * r2 - 1.0 / 24.0;                         // 1/4!
    c = c * r2 + 0.5;                                // 1/2!
    return 1.0 - r2 * c;
}

// floor of 0 <= v < 2^62: the conversion's truncation is exact there.
double FloorNonNegative(double v) { return double((long long)v); }

// x = r + q pi/2 with |r| <= pi/4 (about); returns q mod 4.
int Reduce(double x, double& r) {
    double q = x * kTwoOverPi;
    q = q < 0 ? -FloorNonNegative(-q + 0.5) : FloorNonNegative(q + 0.5);
    r = ((x - q * kHalfPi1) - q * kHalfPi2) - q * kHalfPi3;
    long long n = (long long)q;
    return int(((n % 4) + 4) % 4);
}

// The coefficients +-1/k of the odd series, k = 41 down to 3, each the
// correctly rounded quotient the division gives.
constexpr auto kAtanTerms = [] {
    std::array<double, 20> terms{};
    for (int k = 41, i = 0; k >= 3; k -= 2, ++i) terms[size_t(i)] = ((k / 2) % 2 ? -1.0 : 1.0) / k;
    return terms;
}();

// atan on |t| <= tan(pi/16): odd series to t^41, below 1e-30 beyond.
double AtanKernel(double t) {
    double t2 = t * t;
    double s = 0.0;
    for (double term : kAtanTerms) s = s * t2 + term;
    return t + t * t2 * s;
}

// 1/k for the odd k = 27 down to 1 of the logarithm's series.
constexpr auto kLogTerms = [] {
    std::array<double, 14> terms{};
    for (int k = 27, i = 0; k >= 1; k -= 2, ++i) terms[size_t(i)] = 1.0 / k;
    return terms;
}();

// atan of t >= 0: folded below 1 by atan(t) = pi/2 - atan(1/t), then halved
// twice by atan(t) = 2 atan(t / (1 + sqrt(1 + t^2))).
double AtanPositive(double t) {
    bool inverted = t > 1.0;
    if (inverted) t = 1.0 / t;
    for (int i = 0; i < 2; ++i) t = t / (1.0 + std::sqrt(1.0 + t * t));
    double a = 4.0 * AtanKernel(t);
    return inverted ? kPi / 2 - a : a;
}

}  // namespace

double Sin(double x) {
    double r;
    switch (Reduce(x, r)) {
    case 0: return SinKernel(r);
    case 1: return CosKernel(r);
    case 2: return -SinKernel(r);
    default: return -CosKernel(r);
    }
}

double Cos(double x) {
    double r;
    switch (Reduce(x, r)) {
    case 0: return CosKernel(r);
    case 1: return -SinKernel(r);
    case 2: return -CosKernel(r);
    default: return SinKernel(r);
    }
}

double Atan2(double y, double x) {
    if (x == 0 && y == 0) return 0.0;
    if (x == 0) return y > 0 ? kPi / 2 : -kPi / 2;
    double a = AtanPositive(std::fabs(y) / std::fabs(x));
    if (x < 0) a = kPi - a;
    return y < 0 ? -a : a;
}

double Log(double x) {
    if (x == 0) return -HUGE_VAL;
    if (!(x > 0)) return std::numeric_limits<double>::quiet_NaN();
    if (std::isinf(x)) return x;
    // x = m x 2^e with m in [sqrt(1/2), sqrt(2)): frexp and the doubling are
    // exact, so only the series below rounds.
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < 0.70710678118654752) m *= 2.0, --e;
    // ln m = 2 atanh(s), s = (m - 1) / (m + 1), |s| < 0.172: the series
    // s + s^3/3 + ... up to s^29 leaves an error below 1e-22.
    double s = (m - 1.0) / (m + 1.0);
    double s2 = s * s;
    double sum = 1.0 / 29.0;
    for (double term : kLogTerms) sum = sum * s2 + term;
    constexpr double kLn2Hi = 6.93147180369123816490e-01;
    constexpr double kLn2Lo = 1.90821492927058770002e-10;
    return e * kLn2Hi + (2.0 * s * sum + e * kLn2Lo);
}

}  // namespace ExactMath
