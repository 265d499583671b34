#pragma once
// Percent within limits by the beta-distribution estimator that highway agencies tabulate: the
// share of a normal population inside a limit, estimated without bias from a sample's mean and
// standard deviation. Also the regularized incomplete beta function it rests on and Student's t
// tail that the outlier test of the correlation uses.

#include <optional>
#include <span>

namespace lum1 {

// I_x(a, b), the regularized incomplete beta function, for a, b > 0 (0 below x = 0, 1 above 1).
double RegularizedBeta(double x, double a, double b);

// The fewest values a PWL can be estimated from: the estimator's beta parameter (n - 2) / 2 must
// be positive.
constexpr int MinPwlSampleSize = 3;

// The percent within one limit (0..100) for a quality index Q and a sample of n values (n >= 3):
// 100 * I_x((n-2)/2, (n-2)/2) with x = 1/2 + Q * sqrt(n) / (2 (n - 1)), clamped to 0..1.
// Q may be infinite (a sample without spread).
double PercentWithinLimit(double q, int n);

// Two-sided tail of Student's t with nu degrees of freedom: P(|T| >= |t|).
double StudentTwoSidedP(double t, double nu);

struct TPwlEstimate {
    int N = 0;
    double Mean = 0, SD = 0;
    double QL = 0;              // (mean - lower) / s
    std::optional<double> QU;   // (upper - mean) / s, with an upper limit
    double PwlL = 0;            // percent within the lower limit
    std::optional<double> PwlU; // percent within the upper limit
    double Pwl = 0;             // PwlL + PwlU - 100 with both limits, not below 0
};

// The estimate for a sample; nothing for fewer than MinPwlSampleSize values or limits that are
// not numbers. A sample without spread lies wholly on one side of each limit: 100 % within a
// limit it reaches (a value on the limit counts as within), 0 % otherwise.
std::optional<TPwlEstimate> EstimatePwl(std::span<const double> values, double lower,
                                        std::optional<double> upper);

} // namespace lum1
