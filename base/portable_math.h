// base/portable_math.h - the trigonometry the viewer uses, computed the same way on every
// platform: from + - * / and sqrt alone, which IEEE 754 rounds exactly alike everywhere.
// The C libraries of the platforms Tarne is built for answer sin, cos, tan, atan and acos
// differently in the last bits (up to dozens of units in the last place), and a world
// turned or projected with one or the other comes out a pixel apart; with these, the
// Linux build and the Windows DLL draw the same bytes.
//
// Accuracy: within a few units in the last place of double for arguments up to about
// 1e6 in size; beyond that the argument is reduced modulo a double 2 pi, which is still
// the same on every platform. Not a number or an infinity gives not a number.
// Entry points: portable::sin, cos, tan, atan, atan2, acos, asin (double and float).
#pragma once

#include <cmath>

namespace portable {

namespace detail {

// pi/2 in three parts, the first two of 33 significant bits, so that k times each is
// exact for the k that reduction meets (|k| < 2^20): the remainder keeps its bits.
constexpr double kHalfPi1 = 1.5707963267341256;
constexpr double kHalfPi2 = 6.077100506303966e-11;
constexpr double kHalfPi3 = 2.0222662487959506e-21;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;
constexpr double kTwoOverPi = 0.63661977236758134;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kReducible = 1.0e6; // beyond this, k times the parts is no longer exact

// sin and cos of r in [-pi/4, pi/4], by their Taylor series: the first term left out is
// below 1e-19 there.
inline double sinKernel(double r)
{
    const double r2 = r * r;
    double sum = 1.0 / 355687428096000.0;   // 1/17!
    sum = sum * r2 - 1.0 / 1307674368000.0; // 1/15!
    sum = sum * r2 + 1.0 / 6227020800.0;    // 1/13!
    sum = sum * r2 - 1.0 / 39916800.0;      // 1/11!
    sum = sum * r2 + 1.0 / 362880.0;        // 1/9!
    sum = sum * r2 - 1.0 / 5040.0;          // 1/7!
    sum = sum * r2 + 1.0 / 120.0;           // 1/5!
    sum = sum * r2 - 1.0 / 6.0;             // 1/3!
    return r + r * r2 * sum;
}

inline double cosKernel(double r)
{
    const double r2 = r * r;
    double sum = -1.0 / 6402373705728000.0;  // 1/18!
    sum = sum * r2 + 1.0 / 20922789888000.0; // 1/16!
    sum = sum * r2 - 1.0 / 87178291200.0;    // 1/14!
    sum = sum * r2 + 1.0 / 479001600.0;      // 1/12!
    sum = sum * r2 - 1.0 / 3628800.0;        // 1/10!
    sum = sum * r2 + 1.0 / 40320.0;          // 1/8!
    sum = sum * r2 - 1.0 / 720.0;            // 1/6!
    sum = sum * r2 + 1.0 / 24.0;             // 1/4!
    return 1.0 - 0.5 * r2 + r2 * r2 * sum;
}

// x as k quarter turns and a remainder r in about [-pi/4, pi/4]: x = k pi/2 + r.
inline double reduce(double x, long long& quarter)
{
    if (!(std::fabs(x) < kReducible)) x = std::fmod(x, kTwoPi); // exact on every platform
    const double k = std::nearbyint(x * kTwoOverPi);
    quarter = static_cast<long long>(k); // |k| < 2^20: in range
    return ((x - k * kHalfPi1) - k * kHalfPi2) - k * kHalfPi3;
}

// atan of x in [0, 1]: halved twice by atan(x) = 2 atan(x / (1 + sqrt(1 + x^2))), which
// leaves at most tan(pi/16) = 0.199, then its series x - x^3/3 + x^5/5 ... to x^23/23
// (the first term left out is below 1e-18 of the sum).
inline double atanKernel(double x)
{
    for (int halving = 0; halving < 2; ++halving) x = x / (1.0 + std::sqrt(1.0 + x * x));
    const double x2 = x * x;
    double sum = -1.0 / 23.0;
    for (int n = 21; n >= 1; n -= 2) sum = sum * x2 + ((n / 2) % 2 ? -1.0 : 1.0) / n;
    return 4.0 * x * sum;
}

} // namespace detail

inline double sin(double x)
{
    if (!std::isfinite(x)) return x - x;
    long long quarter = 0;
    const double r = detail::reduce(x, quarter);
    switch (quarter & 3) {
    case 0: return detail::sinKernel(r);
    case 1: return detail::cosKernel(r);
    case 2: return -detail::sinKernel(r);
    default: return -detail::cosKernel(r);
    }
}

inline double cos(double x)
{
    if (!std::isfinite(x)) return x - x;
    long long quarter = 0;
    const double r = detail::reduce(x, quarter);
    switch (quarter & 3) {
    case 0: return detail::cosKernel(r);
    case 1: return -detail::sinKernel(r);
    case 2: return -detail::cosKernel(r);
    default: return detail::sinKernel(r);
    }
}

inline double tan(double x)
{
    if (!std::isfinite(x)) return x - x;
    long long quarter = 0;
    const double r = detail::reduce(x, quarter);
    const double s = detail::sinKernel(r);
    const double c = detail::cosKernel(r);
    return (quarter & 1) ? -c / s : s / c;
}

inline double atan(double x)
{
    if (x != x) return x;
    const double magnitude = std::fabs(x);
    const double angle = magnitude <= 1.0 ? detail::atanKernel(magnitude)
                                          : detail::kHalfPi - detail::atanKernel(1.0 / magnitude);
    return x < 0.0 ? -angle : angle;
}

inline double atan2(double y, double x)
{
    if (x != x || y != y) return x + y;
    if (x == 0.0 && y == 0.0) return std::signbit(x) ? std::copysign(detail::kPi, y) : y;
    if (std::fabs(y) <= std::fabs(x)) {
        const double angle = atan(y / x);
        if (x > 0.0) return angle;
        return y < 0.0 || (y == 0.0 && std::signbit(y)) ? angle - detail::kPi : angle + detail::kPi;
    }
    const double angle = -atan(x / y);
    return y > 0.0 ? angle + detail::kHalfPi : angle - detail::kHalfPi;
}

inline double asin(double x)
{
    if (!(std::fabs(x) <= 1.0)) return (x - x) / (x - x);
    return atan2(x, std::sqrt((1.0 - x) * (1.0 + x)));
}

inline double acos(double x)
{
    if (!(std::fabs(x) <= 1.0)) return (x - x) / (x - x);
    return atan2(std::sqrt((1.0 - x) * (1.0 + x)), x);
}

// The float forms: computed in double, rounded once.
inline float sin(float x)
{
    return static_cast<float>(sin(static_cast<double>(x)));
}
inline float cos(float x)
{
    return static_cast<float>(cos(static_cast<double>(x)));
}
inline float tan(float x)
{
    return static_cast<float>(tan(static_cast<double>(x)));
}
inline float atan(float x)
{
    return static_cast<float>(atan(static_cast<double>(x)));
}
inline float atan2(float y, float x)
{
    return static_cast<float>(atan2(static_cast<double>(y), static_cast<double>(x)));
}
inline float asin(float x)
{
    return static_cast<float>(asin(static_cast<double>(x)));
}
inline float acos(float x)
{
    return static_cast<float>(acos(static_cast<double>(x)));
}

} // namespace portable
