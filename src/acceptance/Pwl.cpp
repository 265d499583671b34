#include "acceptance/Pwl.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lum1 {

namespace {

// The continued fraction of the incomplete beta function (modified Lentz), which converges
// quickly for x < (a + 1) / (a + b + 2).
double BetaFraction(double x, double a, double b) {
    constexpr double tiny = 1e-300;
    constexpr double eps = 1e-15;
    const double qab = a + b, qap = a + 1.0, qam = a - 1.0;
    double c = 1.0;
    double d = 1.0 - qab * x / qap;
    if (std::fabs(d) < tiny)
        d = tiny;
    d = 1.0 / d;
    double h = d;
    // Enough for parameters of a few thousand (the terms needed grow with the square root).
    for (int m = 1; m <= 100000; ++m) {
        const double m2 = 2.0 * m;
        double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
        d = 1.0 + aa * d;
        if (std::fabs(d) < tiny)
            d = tiny;
        c = 1.0 + aa / c;
        if (std::fabs(c) < tiny)
            c = tiny;
        d = 1.0 / d;
        h *= d * c;
        aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
        d = 1.0 + aa * d;
        if (std::fabs(d) < tiny)
            d = tiny;
        c = 1.0 + aa / c;
        if (std::fabs(c) < tiny)
            c = tiny;
        d = 1.0 / d;
        const double del = d * c;
        h *= del;
        if (std::fabs(del - 1.0) < eps)
            break;
    }
    return h;
}

} // namespace

double RegularizedBeta(double x, double a, double b) {
    if (std::isnan(x) || !(a > 0.0) || !(b > 0.0))
        return std::numeric_limits<double>::quiet_NaN();
    if (x <= 0.0)
        return 0.0;
    if (x >= 1.0)
        return 1.0;
    const double front =
        std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
    if (x < (a + 1.0) / (a + b + 2.0))
        return front * BetaFraction(x, a, b) / a;
    return 1.0 - front * BetaFraction(1.0 - x, b, a) / b;
}

double PercentWithinLimit(double q, int n) {
    if (n < MinPwlSampleSize || std::isnan(q))
        return std::numeric_limits<double>::quiet_NaN();
    const double a = (n - 2) / 2.0;
    double x = 0.5 + q * std::sqrt(static_cast<double>(n)) / (2.0 * (n - 1));
    if (std::isnan(x)) // an infinite Q times a finite factor is never NaN; kept for safety
        return std::numeric_limits<double>::quiet_NaN();
    x = std::clamp(x, 0.0, 1.0);
    return 100.0 * RegularizedBeta(x, a, a);
}

double StudentTwoSidedP(double t, double nu) {
    if (std::isnan(t) || !(nu > 0.0))
        return std::numeric_limits<double>::quiet_NaN();
    if (std::isinf(t))
        return 0.0;
    return RegularizedBeta(nu / (nu + t * t), nu / 2.0, 0.5);
}

std::optional<TPwlEstimate> EstimatePwl(std::span<const double> values, double lower,
                                        std::optional<double> upper) {
    if (values.size() < static_cast<size_t>(MinPwlSampleSize) || !std::isfinite(lower) ||
        (upper && !std::isfinite(*upper)))
        return std::nullopt;
    TPwlEstimate e;
    e.N = static_cast<int>(values.size());
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    if (*lo == *hi) {
        e.Mean = *lo;
        e.SD = 0.0;
    } else {
        double sum = 0.0;
        for (double v : values)
            sum += v;
        e.Mean = sum / e.N;
        double squares = 0.0;
        for (double v : values)
            squares += (v - e.Mean) * (v - e.Mean);
        e.SD = std::sqrt(squares / (e.N - 1));
    }
    constexpr double inf = std::numeric_limits<double>::infinity();
    auto index = [&e](double distance) {
        if (e.SD > 0.0)
            return distance / e.SD;
        return distance >= 0.0 ? inf : -inf;
    };
    e.QL = index(e.Mean - lower);
    e.PwlL = PercentWithinLimit(e.QL, e.N);
    e.Pwl = e.PwlL;
    if (upper) {
        e.QU = index(*upper - e.Mean);
        e.PwlU = PercentWithinLimit(*e.QU, e.N);
        e.Pwl = std::max(0.0, e.PwlL + *e.PwlU - 100.0);
    }
    return e;
}

} // namespace lum1
