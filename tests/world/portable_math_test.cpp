// The trigonometry computed alike on every platform stays within a few units in the
// last place of the C library's, and answers not a number where it should.
#include "base/portable_math.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// How many doubles lie between a and b (0 when equal).
double unitsApart(double a, double b)
{
    if (a == b) return 0.0;
    return std::fabs(a - b) / std::fabs(std::nextafter(b, INFINITY) - b);
}

} // namespace

TEST(PortableMath, StaysWithinAFewUnitsInTheLastPlaceOfTheLibrary)
{
    double worst[7] = {};
    for (int step = -40000; step <= 40000; ++step) {
        const double x = step * 0.000731 + (step % 7) * 1.37; // angles to about +-60 radians
        const double far = step * 12.3456789;                 // to about +-5e5
        const double unit = step / 40000.0;                   // [-1, 1]
        const double pairs[7][2] = {{portable::sin(x), std::sin(x)},
                                    {portable::cos(far), std::cos(far)},
                                    {portable::tan(x), std::tan(x)},
                                    {portable::atan(x), std::atan(x)},
                                    {portable::atan2(x, unit), std::atan2(x, unit)},
                                    {portable::acos(unit), std::acos(unit)},
                                    {portable::asin(unit), std::asin(unit)}};
        for (int f = 0; f < 7; ++f)
            worst[f] = std::max(worst[f], unitsApart(pairs[f][0], pairs[f][1]));
    }
    for (int f = 0; f < 7; ++f) EXPECT_LE(worst[f], 8.0) << "function " << f;
}

TEST(PortableMath, QuadrantsSignsAndNonNumbers)
{
    EXPECT_EQ(portable::atan2(0.0, -1.0), M_PI);
    EXPECT_EQ(portable::atan2(-1.0, 0.0), -M_PI / 2);
    EXPECT_EQ(portable::atan(HUGE_VAL), M_PI / 2);
    EXPECT_EQ(portable::cos(0.0), 1.0);
    EXPECT_EQ(portable::sin(-0.0), -0.0);
    for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        EXPECT_TRUE(std::isnan(portable::sin(bad)));
        EXPECT_TRUE(std::isnan(portable::tan(bad)));
    }
    EXPECT_TRUE(std::isnan(portable::acos(1.5)));
    EXPECT_TRUE(std::isnan(portable::asin(-2.0)));
}
