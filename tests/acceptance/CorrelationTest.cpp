// Correlation to cores: the offset and the line against numbers computed independently, every
// refusal with its own message, and outliers reported, never dropped.
#include "acceptance/Correlation.h"
#include "acceptance/AcceptanceTexts.h"
#include "lang/ExtraTexts.h"

#include "AcceptanceFixture.h"

#include <QSet>

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace lum1 {
namespace {

using test::Lot;
using test::Pairs;

std::vector<test::TPoint> Points(const std::vector<float>& densities) {
    std::vector<test::TPoint> points;
    for (float d : densities)
        points.push_back({d});
    return points;
}

// Expected values from a short independent Python program with exact rational sums
// (fractions.Fraction) and the uncentred normal equations, square roots taken last:
//   offset = sum(core - gauge) / n;  sd = sqrt(sum((d - offset)^2) / (n - 1))
//   slope = (n Sxy - Sx Sy) / (n Sxx - Sx^2);  intercept = (Sy - slope Sx) / n
//   R^2 = 1 - SSE / SST;  SEE = sqrt(SSE / (n - 2))
// Its output:
//   two pairs: offset 18.0000000000 sd 2.8284271247
//   five pairs: offset 16.4000000000 sd 5.1283525620 slope 0.9765330189 intercept 71.2423349057
//               r2 0.9877210682 see 5.7887842925
//   eight pairs: offset -19.1312500000 sd 3.2493886788 slope 1.0010074012 intercept -21.4840669002
//                r2 0.9901519983 see 3.5095622210
//   cores equal: offset 30.0000000000 sd 15.8113883008 slope 0 intercept 2350 r2 nan see 0
struct FitCase {
    const char* name;
    std::vector<float> gauge;
    std::vector<double> core;
    double offset, sd;
    bool line;
    double slope, intercept, r2, see;
};

const FitCase kFits[] = {
    {"two pairs", {2300, 2350}, {2320, 2366}, 18.0, 2.8284271247, false, 0, 0, 0, 0},
    {"five pairs",
     {2280, 2310, 2335, 2360, 2400},
     {2301, 2322, 2356, 2370, 2418},
     16.4,
     5.1283525620,
     true,
     0.9765330189,
     71.2423349057,
     0.9877210682,
     5.7887842925},
    {"eight pairs",
     {2291.5f, 2305.25f, 2318, 2322.75f, 2340, 2351.5f, 2366, 2389.25f},
     {2268.4, 2290.1, 2299.0, 2305.6, 2318.2, 2335.9, 2342.7, 2371.3},
     -19.13125,
     3.2493886788,
     true,
     1.0010074012,
     -21.4840669002,
     0.9901519983,
     3.5095622210},
    {"cores equal",
     {2300, 2310, 2320, 2330, 2340},
     {2350, 2350, 2350, 2350, 2350},
     30.0,
     15.8113883008,
     true,
     0.0,
     2350.0,
     NAN,
     0.0},
};

TEST(Correlation, OffsetAndLineAgreeWithAnIndependentComputation) {
    for (const FitCase& c : kFits) {
        SCOPED_TRACE(c.name);
        const auto lot = Lot(Points(c.gauge));
        const auto pairs = Pairs(c.core);
        const TCorrelationFit offset = FitCorrelation(lot, pairs, TCorrelationKind::Offset);
        ASSERT_TRUE(offset.Ok());
        EXPECT_NEAR(offset.Offset, c.offset, 1e-8);
        EXPECT_NEAR(offset.OffsetSD, c.sd, 1e-8);
        EXPECT_EQ(offset.HasLine, c.line);
        const TCorrection correction = offset.Correction();
        EXPECT_NEAR(correction.Apply(2000.0), 2000.0 + c.offset, 1e-8);
        if (!c.line)
            continue;
        const TCorrelationFit line = FitCorrelation(lot, pairs, TCorrelationKind::Line);
        ASSERT_TRUE(line.Ok());
        EXPECT_NEAR(line.Slope, c.slope, 1e-9);
        EXPECT_NEAR(line.Intercept, c.intercept, 1e-6);
        if (std::isnan(c.r2))
            EXPECT_TRUE(std::isnan(line.R2));
        else
            EXPECT_NEAR(line.R2, c.r2, 1e-9);
        EXPECT_NEAR(line.SEE, c.see, 1e-8);
        // The residuals are what is left of each core after the line, and they sum to zero.
        double sum = 0;
        for (const TFittedPair& p : line.Pairs) {
            EXPECT_NEAR(p.LineResidual, p.Core - (c.slope * p.Gauge + c.intercept), 1e-6);
            sum += p.LineResidual;
        }
        EXPECT_NEAR(sum, 0.0, 1e-6);
        EXPECT_NEAR(line.Correction().Apply(2300.0), c.slope * 2300.0 + c.intercept, 1e-6);
    }
}

TEST(Correlation, EachFaultIsRefusedWithItsOwnMessageNamingThePair) {
    // Records 1..8; record 4 deleted, 5 a mode-2 reading, 8 shares its number with 1.
    auto lot = Lot(Points({2300, 2310, 2320, 2330, 2340, 2350, 2360, 2370}));
    lot[3].Record.Seconds = DeletedMark;
    lot[4].Record.Mode = 2;
    lot[7].Key = 1;
    const double nan = std::nan("");
    struct Case {
        const char* name;
        std::vector<TCorePair> pairs;
        TCorrelationKind kind;
        TAcceptanceIssue::TKind issue;
        int pair; // the pair the message names (0: none)
    };
    // Two good pairs (records 2 and 3) and the faulty one: each fault alone refuses the fit.
    auto with = [](TCorePair faulty, bool first = false) {
        std::vector<TCorePair> pairs{{2, 2330}, {3, 2340}};
        pairs.insert(first ? pairs.begin() : pairs.end(), faulty);
        return pairs;
    };
    const Case cases[] = {
        {"no pair", {}, TCorrelationKind::Offset, TAcceptanceIssue::TooFewPairs, 0},
        {"one pair", {{2, 2330}}, TCorrelationKind::Offset, TAcceptanceIssue::TooFewPairs, 0},
        {"zero core", with({6, 0}), TCorrelationKind::Offset, TAcceptanceIssue::CoreZero, 3},
        {"negative core", with({7, -2300}, true), TCorrelationKind::Offset, TAcceptanceIssue::CoreNegative,
         1},
        {"NaN core", with({6, nan}), TCorrelationKind::Offset, TAcceptanceIssue::CoreNotNumber, 3},
        {"infinite core", with({7, INFINITY}), TCorrelationKind::Offset, TAcceptanceIssue::CoreNotNumber, 3},
        {"record not in the lot", with({77, 2350}), TCorrelationKind::Offset, TAcceptanceIssue::MissingRecord,
         3},
        {"number twice in the lot", with({1, 2330}), TCorrelationKind::Offset,
         TAcceptanceIssue::AmbiguousRecord, 3},
        {"record paired twice", with({2, 2335}), TCorrelationKind::Offset, TAcceptanceIssue::DuplicatePair,
         3},
        {"deleted record", with({4, 2350}), TCorrelationKind::Offset, TAcceptanceIssue::NoGaugeDensity, 3},
        {"mode-2 reading", with({5, 2330}, true), TCorrelationKind::Offset, TAcceptanceIssue::NoGaugeDensity,
         1},
    };
    const TTextLookup english = [](const QString& key) { return BuiltInExtraText(key, true); };
    std::map<int, QString> textOfKind;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TCorrelationFit fit = FitCorrelation(lot, c.pairs, c.kind);
        EXPECT_FALSE(fit.Ok());
        ASSERT_EQ(fit.Issues.size(), 1u);
        const TAcceptanceIssue& issue = fit.Issues.front();
        EXPECT_EQ(issue.Kind, c.issue);
        EXPECT_EQ(issue.Pair, c.pair);
        const QString text = AcceptanceIssueText(issue, english, u'.');
        EXPECT_FALSE(text.isEmpty());
        if (c.pair > 0) {
            EXPECT_TRUE(text.contains(QStringLiteral("Pair %1").arg(c.pair)) ||
                        text.contains(QStringLiteral("Pairs ")))
                << text.toStdString();
        }
        textOfKind[issue.Kind] = text;
    }
    // No two kinds of fault share a message.
    QSet<QString> texts;
    for (const auto& [kind, text] : textOfKind)
        texts.insert(text);
    EXPECT_EQ(texts.size(), static_cast<qsizetype>(textOfKind.size()));
}

TEST(Correlation, TheLineNeedsFivePairsAndDifferentGaugeValues) {
    const auto varied = Lot(Points({2300, 2310, 2320, 2330, 2340}));
    const auto four = FitCorrelation(varied, Pairs({2320, 2330, 2345, 2350}), TCorrelationKind::Line);
    ASSERT_EQ(four.Issues.size(), 1u);
    EXPECT_EQ(four.Issues[0].Kind, TAcceptanceIssue::TooFewForLine);
    EXPECT_EQ(four.Issues[0].Count, 4);

    const auto equal = Lot(Points({2300, 2300, 2300, 2300, 2300}));
    const auto cores = Pairs({2320, 2330, 2345, 2350, 2340});
    const auto line = FitCorrelation(equal, cores, TCorrelationKind::Line);
    ASSERT_EQ(line.Issues.size(), 1u);
    EXPECT_EQ(line.Issues[0].Kind, TAcceptanceIssue::EqualGauge);
    EXPECT_EQ(line.Issues[0].Value, 2300.0);
    const TTextLookup russian = [](const QString& key) { return BuiltInExtraText(key, false); };
    EXPECT_TRUE(AcceptanceIssueText(line.Issues[0], russian, u',').contains(u"2300"));
    // The offset needs no spread of the gauge values.
    const auto offset = FitCorrelation(equal, cores, TCorrelationKind::Offset);
    EXPECT_TRUE(offset.Ok());
    EXPECT_FALSE(offset.HasLine);
    EXPECT_NEAR(offset.Offset, 37.0, 1e-9);
}

TEST(Correlation, AnOutlierIsNamedAndKeptOnlyOnTheUsersWord) {
    const auto lot = Lot(Points({2300, 2310, 2320, 2330, 2340, 2350}));
    // Differences 20, 22, 18, 21, 19 and a core typed 75 kg/m3 too high.
    const auto pairs = Pairs({2320, 2332, 2338, 2351, 2359, 2445});
    const TCorrelationFit refused = FitCorrelation(lot, pairs, TCorrelationKind::Offset);
    EXPECT_FALSE(refused.Ok());
    ASSERT_EQ(refused.Issues.size(), 1u);
    EXPECT_EQ(refused.Issues[0].Kind, TAcceptanceIssue::Outlier);
    EXPECT_EQ(refused.Issues[0].Pair, 6);
    EXPECT_EQ(refused.Issues[0].Key, 6);
    const TTextLookup english = [](const QString& key) { return BuiltInExtraText(key, true); };
    const QString text = AcceptanceIssueText(refused.Issues[0], english, u'.');
    EXPECT_TRUE(text.startsWith(u"Pair 6 (record 6) is an outlier")) << text.toStdString();

    // Kept: the fit holds every pair, the outlier included, and the correction carries the note.
    const TCorrelationFit kept = FitCorrelation(lot, pairs, TCorrelationKind::Offset, true);
    EXPECT_TRUE(kept.Ok());
    EXPECT_NEAR(kept.Offset, (20 + 22 + 18 + 21 + 19 + 95) / 6.0, 1e-9);
    const TCorrection correction = kept.Correction();
    ASSERT_EQ(correction.Notes.size(), 1u);
    EXPECT_EQ(correction.Notes[0].Kind, TAcceptanceIssue::OutlierKept);

    // Ordinary scatter, and a departure within the rounding of the values, are no outliers.
    // Differences 20, 35, 5, 28, 12, 45: the last is 21 kg/m3 from the mean, 1.9 of the others' SD.
    EXPECT_TRUE(
        FitCorrelation(lot, Pairs({2320, 2345, 2325, 2358, 2352, 2395}), TCorrelationKind::Offset).Ok());
    EXPECT_TRUE(
        FitCorrelation(lot, Pairs({2320, 2330, 2340, 2350, 2360, 2375}), TCorrelationKind::Offset).Ok());

    // The line's own outlier test: five pairs on a line and one far off it.
    const auto line =
        FitCorrelation(lot, Pairs({2321, 2330, 2341, 2350, 2361, 2300}), TCorrelationKind::Line);
    ASSERT_FALSE(line.Ok());
    EXPECT_EQ(line.Issues.back().Kind, TAcceptanceIssue::Outlier);
    EXPECT_EQ(line.Issues.back().Pair, 6);
}

} // namespace
} // namespace lum1
