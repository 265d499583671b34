// The verdict on a lot: corrected values by the record's own rules, and a lot that passes and
// one that fails under each rule, with the marks of its points.
#include "acceptance/LotAcceptance.h"
#include "acceptance/AcceptanceTexts.h"
#include "lang/ExtraTexts.h"

#include "AcceptanceFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lum1 {
namespace {

using test::Lot;

// Records with reference density 2400 whose compaction factors are the given ones.
std::vector<TLotRecord> Compactions(const std::vector<double>& factors) {
    std::vector<test::TPoint> points;
    for (double k : factors)
        points.push_back({static_cast<float>(k * 2400.0)});
    return Lot(points);
}

TAcceptanceLimits Limits(TAcceptanceRule rule, double lower = 0.98) {
    TAcceptanceLimits l;
    l.Rule = rule;
    l.Lower = lower;
    return l;
}

TEST(LotAcceptance, CorrectedValuesFollowTheRecordsOwnRules) {
    auto lot = Lot({{2352, 2400}, {2352, 0}, {2352, 2400}, {2352, 2400}, {2600, 2400}});
    lot[2].Record.Mode = 2;              // another kind of reading
    lot[3].Record.Seconds = DeletedMark; // deleted on the gauge
    TCorrection offset;
    offset.Kind = TCorrelationKind::Offset;
    offset.Offset = 24;
    const TLotAcceptance a = JudgeLot(lot, offset, Limits(TAcceptanceRule::EveryPoint));

    const TAcceptancePoint& p = a.Points[0];
    EXPECT_EQ(p.Gauge, 2352.0);
    EXPECT_EQ(p.Corrected, 2376.0);
    EXPECT_NEAR(p.Compaction, 0.99, 1e-12);
    EXPECT_NEAR(p.Porosity, 1.0, 1e-5);
    EXPECT_EQ(p.Mark, TPointMark::Pass);
    // No reference density: a corrected density but no compaction factor to judge.
    EXPECT_EQ(a.Points[1].Corrected, 2376.0);
    EXPECT_TRUE(std::isnan(a.Points[1].Compaction));
    EXPECT_EQ(a.Points[1].Mark, TPointMark::NotJudged);
    EXPECT_TRUE(std::isnan(a.Points[2].Corrected));
    EXPECT_EQ(a.Points[2].Mark, TPointMark::NotJudged);
    EXPECT_EQ(a.Points[3].Mark, TPointMark::NotJudged);
    EXPECT_EQ(a.Deleted, 1);
    // Above the reference: a factor above 1 and the porosity clamped to 0, as the table shows.
    EXPECT_NEAR(a.Points[4].Compaction, 2624.0 / 2400.0, 1e-12);
    EXPECT_EQ(a.Points[4].Porosity, 0.0);
    EXPECT_EQ(a.Judged, 2);
    EXPECT_EQ(a.Gauge.Used, 3);
    EXPECT_EQ(a.Density.Used, 3);
    EXPECT_EQ(a.Compaction.Used, 2);
    EXPECT_EQ(a.Verdict, TVerdict::Accepted);
    // The raw records are never touched.
    EXPECT_EQ(lot[0].Record.Density, 2352.0f);

    // The line applies to every point the same way.
    TCorrection line;
    line.Kind = TCorrelationKind::Line;
    line.Slope = 1.01;
    line.Intercept = -20;
    EXPECT_NEAR(JudgeLot(lot, line, Limits(TAcceptanceRule::EveryPoint)).Points[0].Corrected,
                1.01 * 2352 - 20, 1e-9);
}

TEST(LotAcceptance, EachRulePassesOneLotAndFailsAnother) {
    TAcceptanceLimits mean = Limits(TAcceptanceRule::MeanAndTolerance);
    mean.Tolerance = 0.01;
    TAcceptanceLimits pwl = Limits(TAcceptanceRule::Pwl);
    pwl.PwlThreshold = 90;
    TAcceptanceLimits window = Limits(TAcceptanceRule::EveryPoint, 0.98);
    window.Upper = 1.02;
    struct Case {
        const char* name;
        TAcceptanceLimits limits;
        std::vector<double> factors;
        TVerdict verdict;
    };
    const Case cases[] = {
        {"every: all at or above",
         Limits(TAcceptanceRule::EveryPoint),
         {0.985, 0.99, 0.981},
         TVerdict::Accepted},
        // 0.97996 prints as 0.980: on the limit, not below it.
        {"every: on the limit", Limits(TAcceptanceRule::EveryPoint), {0.97996, 0.99}, TVerdict::Accepted},
        {"every: one below", Limits(TAcceptanceRule::EveryPoint), {0.985, 0.979, 0.99}, TVerdict::Rejected},
        {"every: one above the maximum", window, {0.99, 1.021, 1.0}, TVerdict::Rejected},
        {"every: within the window", window, {0.98, 1.02, 1.0}, TVerdict::Accepted},
        {"mean: below within tolerance", mean, {0.975, 0.99, 0.995}, TVerdict::Accepted},
        {"mean: a point beyond tolerance", mean, {0.965, 0.995, 1.0}, TVerdict::Rejected},
        {"mean: the mean below", mean, {0.975, 0.978, 0.985}, TVerdict::Rejected},
        {"pwl: tight and high", pwl, {0.99, 0.995, 1.0, 0.992, 0.998}, TVerdict::Accepted},
        {"pwl: spread near the limit", pwl, {0.975, 0.99, 0.985, 0.97, 0.995}, TVerdict::Rejected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TLotAcceptance a = JudgeLot(Compactions(c.factors), TCorrection{}, c.limits);
        EXPECT_EQ(a.Verdict, c.verdict);
        EXPECT_TRUE(a.Issues.empty());
    }
}

TEST(LotAcceptance, MarksCountsAndPwlOfAJudgedLot) {
    TAcceptanceLimits mean = Limits(TAcceptanceRule::MeanAndTolerance);
    mean.Tolerance = 0.01;
    mean.Upper = 1.0;
    const TLotAcceptance a = JudgeLot(Compactions({0.975, 0.965, 0.99, 1.005, 1.02}), TCorrection{}, mean);
    const TPointMark expected[] = {TPointMark::BelowWithinTolerance, TPointMark::Below, TPointMark::Pass,
                                   TPointMark::AboveWithinTolerance, TPointMark::Above};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(a.Points[i].Mark, expected[i]) << i;
    EXPECT_EQ(a.Below, 2);
    EXPECT_EQ(a.Above, 2);
    EXPECT_EQ(a.BeyondTolerance, 2);
    EXPECT_NEAR(a.ShareBelow(), 40.0, 1e-12);
    EXPECT_EQ(a.Verdict, TVerdict::Rejected);

    // PWL of the judged values: n 5, mean 0.983, s 0.010368; QL = 0.2894, PWL 60.0 % (the
    // estimator checked against the published table in PwlTest).
    TAcceptanceLimits pwl = Limits(TAcceptanceRule::Pwl);
    const TLotAcceptance p = JudgeLot(Compactions({0.975, 0.99, 0.985, 0.97, 0.995}), TCorrection{}, pwl);
    ASSERT_TRUE(p.Pwl);
    EXPECT_EQ(p.Pwl->N, 5);
    EXPECT_NEAR(p.Pwl->QL, (0.983 - 0.98) / p.Pwl->SD, 1e-4);
    EXPECT_NEAR(p.Pwl->Pwl, PercentWithinLimit(p.Pwl->QL, 5), 1e-9);
    const TTextLookup english = [](const QString& key) { return BuiltInExtraText(key, true); };
    EXPECT_TRUE(VerdictReason(p, pwl, english, u'.').startsWith(u"PWL "))
        << VerdictReason(p, pwl, english, u'.').toStdString();
}

TEST(LotAcceptance, ACorrectionCanTurnTheVerdict) {
    // Gauge 2340 of 2400 reads 0.975; the cores say the gauge reads 20 kg/m3 low.
    const auto lot = Lot({{2340}, {2345}, {2350}});
    EXPECT_EQ(JudgeLot(lot, TCorrection{}, Limits(TAcceptanceRule::EveryPoint)).Verdict, TVerdict::Rejected);
    TCorrection offset;
    offset.Kind = TCorrelationKind::Offset;
    offset.Offset = 20;
    EXPECT_EQ(JudgeLot(lot, offset, Limits(TAcceptanceRule::EveryPoint)).Verdict, TVerdict::Accepted);
}

TEST(LotAcceptance, ADensityWindowJudgesCorrectedDensitiesWithoutAReference) {
    TAcceptanceLimits window = Limits(TAcceptanceRule::EveryPoint, 2300);
    window.Quantity = TAcceptanceQuantity::Density;
    window.Upper = 2450;
    const auto lot = Lot({{2310, 0}, {2440, 0}, {2400, 2400}});
    EXPECT_EQ(JudgeLot(lot, TCorrection{}, window).Verdict, TVerdict::Accepted);
    TCorrection up;
    up.Kind = TCorrelationKind::Offset;
    up.Offset = 15;
    const TLotAcceptance a = JudgeLot(lot, up, window);
    EXPECT_EQ(a.Verdict, TVerdict::Rejected);
    EXPECT_EQ(a.Points[1].Mark, TPointMark::Above);
    EXPECT_EQ(a.Points[1].Judged, 2455.0);
}

TEST(LotAcceptance, NoVerdictWithoutSomethingToJudge) {
    const TTextLookup english = [](const QString& key) { return BuiltInExtraText(key, true); };
    auto dead = Lot({{2350}, {NAN}, {-5}, {2360}});
    dead[0].Record.Mode = 2;
    dead[3].Record.Seconds = DeletedMark;
    struct Case {
        const char* name;
        std::vector<TLotRecord> lot;
        TAcceptanceLimits limits;
        TAcceptanceIssue::TKind issue;
        const char* text;
    };
    TAcceptanceLimits bad = Limits(TAcceptanceRule::EveryPoint);
    bad.Upper = 0.9;
    const Case cases[] = {
        {"empty lot",
         {},
         Limits(TAcceptanceRule::EveryPoint),
         TAcceptanceIssue::NoValidDensity,
         "The lot has no valid density"},
        {"no usable density", dead, Limits(TAcceptanceRule::EveryPoint), TAcceptanceIssue::NoValidDensity,
         "The lot has no valid density"},
        {"no reference density", Lot({{2350, 0}, {2360, 0}}), Limits(TAcceptanceRule::EveryPoint),
         TAcceptanceIssue::NoJudgedPoint, "No record of the lot has a reference density"},
        {"pwl of two points", Compactions({0.99, 1.0}), Limits(TAcceptanceRule::Pwl),
         TAcceptanceIssue::PwlTooFewPoints, "PWL needs at least 3 judged points; the lot has 2"},
        {"maximum below minimum", Compactions({0.99}), bad, TAcceptanceIssue::BadLimits,
         "The acceptance limits are not valid"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TLotAcceptance a = JudgeLot(c.lot, TCorrection{}, c.limits);
        EXPECT_EQ(a.Verdict, TVerdict::NoVerdict);
        ASSERT_EQ(a.Issues.size(), 1u);
        EXPECT_EQ(a.Issues[0].Kind, c.issue);
        EXPECT_TRUE(VerdictReason(a, c.limits, english, u'.').startsWith(QString::fromUtf8(c.text)))
            << VerdictReason(a, c.limits, english, u'.').toStdString();
    }
}

} // namespace
} // namespace lum1
