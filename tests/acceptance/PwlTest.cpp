// Percent within limits: the estimator against the published table, against a numerical
// integration of the beta density written here, and the combination of two limits.
#include "acceptance/Pwl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace lum1 {
namespace {

// FHWA Technical Advisory T 5080.12, Table 1B (quality level analysis by the standard deviation
// method): the quality index Q at which the percent within limits reaches the row's value, for
// n = 3..9 and the column "n = 10 to 11". A negative Q of the same size gives 100 minus the row.
struct TableRow {
    int pwl;
    double q[8]; // n = 3 .. 10
};
const TableRow kPublished[] = {
    {73, {0.76, 0.69, 0.66, 0.65, 0.64, 0.63, 0.63, 0.63}},
    {70, {0.68, 0.60, 0.57, 0.56, 0.55, 0.55, 0.54, 0.54}},
    {65, {0.52, 0.45, 0.43, 0.41, 0.41, 0.40, 0.40, 0.40}},
    {60, {0.36, 0.30, 0.28, 0.27, 0.27, 0.27, 0.26, 0.26}},
    {56, {0.22, 0.18, 0.17, 0.16, 0.16, 0.16, 0.16, 0.16}},
};

TEST(Pwl, AgreesWithThePublishedTableForThreeToTenValues) {
    for (const TableRow& row : kPublished)
        for (int n = 3; n <= 10; ++n) {
            const double q = row.q[n - 3];
            // The table's Q is rounded to two decimals; half a unit of it moves the PWL by less
            // than 0.2 % at these sample sizes, so the rounded PWL must match.
            EXPECT_NEAR(PercentWithinLimit(q, n), row.pwl, 0.5) << "n " << n << " Q " << q;
            EXPECT_NEAR(PercentWithinLimit(-q, n), 100 - row.pwl, 0.5) << "n " << n << " Q " << -q;
        }
}

// The estimator written out as an integral: with x = sin^2(t) the symmetric beta density
// x^(a-1) (1-x)^(a-1) dx becomes 2 (sin t cos t)^(2a-1) dt, smooth on [0, pi/2] for a >= 1/2.
// Simpson's rule over that, normalised by the same integral over the whole range.
double IntegratedPwl(double q, int n) {
    const double a = (n - 2) / 2.0;
    double x = 0.5 + q * std::sqrt(static_cast<double>(n)) / (2.0 * (n - 1));
    x = std::clamp(x, 0.0, 1.0);
    auto simpson = [a](double upper) {
        const int steps = 20000;
        const double h = upper / steps;
        auto f = [a](double t) { return std::pow(std::sin(t) * std::cos(t), 2 * a - 1); };
        double s = f(0) + f(upper);
        for (int i = 1; i < steps; ++i)
            s += (i % 2 ? 4 : 2) * f(i * h);
        return s * h / 3;
    };
    return 100.0 * simpson(std::asin(std::sqrt(x))) / simpson(std::numbers::pi / 2);
}

TEST(Pwl, AgreesWithANumericalIntegrationOfTheBetaDensity) {
    for (int n : {3, 4, 5, 6, 7, 8, 9, 10, 25, 100})
        for (double q : {-2.0, -0.75, -0.1, 0.0, 0.3, 0.9, 1.1, 1.6, 2.4})
            EXPECT_NEAR(PercentWithinLimit(q, n), IntegratedPwl(q, n), 1e-6) << "n " << n << " Q " << q;
}

TEST(Pwl, LargeSamplesApproachTheNormalShareAndSmallOnesAreRefused) {
    // n = 2500: the estimator is within a few hundredths of a percent of the normal distribution.
    for (double q : {-1.0, 0.5, 1.0, 2.0}) {
        const double normal = 100.0 * 0.5 * std::erfc(-q / std::numbers::sqrt2);
        EXPECT_NEAR(PercentWithinLimit(q, 2500), normal, 0.05) << q;
    }
    // A quality index beyond (n - 1) / sqrt(n) leaves no room outside the limit.
    EXPECT_EQ(PercentWithinLimit(1.16, 3), 100.0);
    EXPECT_EQ(PercentWithinLimit(-1.16, 3), 0.0);
    EXPECT_TRUE(std::isnan(PercentWithinLimit(1.0, 2)));
    const std::vector<double> two{0.99, 1.0};
    EXPECT_FALSE(EstimatePwl(two, 0.98, std::nullopt));
}

TEST(Pwl, TwoLimitsCombineAndASampleWithoutSpreadLiesOnOneSide) {
    // Values 0.97 .. 1.01: mean 0.99, s 0.0158114; QL = 0.9487, QU = 1.8974. The PWLs by the
    // independent integration above (also computed with a short Python program): 82.1047 % and
    // 100 %, so 82.1047 % together.
    const std::vector<double> values{0.97, 0.98, 0.99, 1.00, 1.01};
    const auto both = EstimatePwl(values, 0.975, 1.02);
    ASSERT_TRUE(both);
    EXPECT_NEAR(both->QL, 0.9486833, 1e-6);
    EXPECT_NEAR(*both->QU, 1.8973666, 1e-6);
    EXPECT_NEAR(both->PwlL, 82.104706, 1e-5);
    EXPECT_NEAR(both->Pwl, 82.104706, 1e-5);
    // Two limits each missed by part of the sample: PWL = PWL_L + PWL_U - 100.
    const auto narrow = EstimatePwl(values, 0.985, 0.995);
    ASSERT_TRUE(narrow);
    EXPECT_NEAR(narrow->Pwl, narrow->PwlL + *narrow->PwlU - 100.0, 1e-12);
    // A window much narrower than the spread leaves almost nothing within it.
    EXPECT_LT(EstimatePwl(values, 0.9899, 0.9901)->Pwl, 1.0);

    const std::vector<double> equal{0.98, 0.98, 0.98};
    EXPECT_EQ(EstimatePwl(equal, 0.98, std::nullopt)->Pwl, 100.0); // on the limit is within
    EXPECT_EQ(EstimatePwl(equal, 0.981, std::nullopt)->Pwl, 0.0);
    EXPECT_EQ(EstimatePwl(equal, 0.97, 0.975)->Pwl, 0.0);
}

TEST(Pwl, StudentTailAtKnownCriticalValues) {
    // Two-sided 5 % points of Student's t: 12.706 (1 degree of freedom), 2.776 (4), 2.228 (10).
    EXPECT_NEAR(StudentTwoSidedP(12.7062, 1), 0.05, 1e-5);
    EXPECT_NEAR(StudentTwoSidedP(2.7764, 4), 0.05, 1e-4);
    EXPECT_NEAR(StudentTwoSidedP(-2.2281, 10), 0.05, 1e-4);
    EXPECT_EQ(StudentTwoSidedP(INFINITY, 3), 0.0);
    EXPECT_NEAR(StudentTwoSidedP(0, 3), 1.0, 1e-12);
}

} // namespace
} // namespace lum1
