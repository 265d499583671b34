// A kept correlation against its lot: it holds while its pairs name the lot's records as they
// were fitted, and says which pair fails otherwise; the corrected values and statistics that the
// lot views show beside the measured ones.
#include "acceptance/LotCorrelation.h"
#include "acceptance/AcceptanceTexts.h"
#include "acceptance/CorrectedValues.h"
#include "lang/ExtraTexts.h"

#include "AcceptanceFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lum1 {
namespace {

using test::Lot;
using test::Pairs;

const TTextLookup kEnglish = [](const QString& key) { return BuiltInExtraText(key, true); };

TLotCorrelation Kept(const std::vector<TLotRecord>& lot, const std::vector<double>& cores,
                     TCorrelationScope scope = TCorrelationScope::Lot) {
    const TCorrelationFit fit = FitCorrelation(lot, Pairs(cores), TCorrelationKind::Offset);
    EXPECT_TRUE(fit.Ok());
    TLotCorrelation c = KeepCorrelation(fit, QStringLiteral(" Mix B "), QStringLiteral("Ivanova"),
                                        QDateTime(QDate(2024, 5, 6), QTime(14, 3)));
    c.Scope = scope;
    return c;
}

TEST(LotCorrelation, KeptWithItsPairsAndNamedForTheReport) {
    const auto lot = Lot({{2300}, {2350}, {2400}});
    const TLotCorrelation c = Kept(lot, {2320, 2366, 2418});
    ASSERT_EQ(c.Pairs.size(), 3u);
    EXPECT_EQ(c.Pairs[1].Gauge, 2350);
    EXPECT_EQ(c.Pairs[1].Core, 2366);
    EXPECT_NEAR(c.Correction.Offset, 18.0, 1e-9);
    const TCorrection use = c.ForUse();
    EXPECT_EQ(use.Description, QStringLiteral("Mix B — Ivanova, 2024-05-06 14:03"));
    EXPECT_EQ(use.Apply(2300), 2318);
    const std::vector<TCorePair> back = CorePairs(c);
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[2].Key, 3);
    EXPECT_EQ(back[2].Core, 2418);
}

// Each way the lot can have changed under a correlation made for it, with its own message.
TEST(LotCorrelation, HoldsOnlyWhileItsPairsNameTheLotsRecordsAsFitted) {
    const auto fitted = Lot({{2300}, {2350}, {2400}});
    const TLotCorrelation c = Kept(fitted, {2320, 2366, 2418});
    EXPECT_TRUE(CheckLotCorrelation(fitted, c).empty());

    // Record 2 removed; record 3 another measurement under the same number; record 1 twice.
    auto changed = Lot({{2300}, {2350}, {2410}});
    changed.erase(changed.begin() + 1);
    changed.push_back(changed.front());
    const std::vector<TAcceptanceIssue> issues = CheckLotCorrelation(changed, c);
    ASSERT_EQ(issues.size(), 3u);
    EXPECT_EQ(issues[0].Kind, TAcceptanceIssue::AmbiguousRecord);
    EXPECT_EQ(issues[1].Kind, TAcceptanceIssue::MissingRecord);
    EXPECT_EQ(issues[1].Key, 2);
    EXPECT_EQ(issues[2].Kind, TAcceptanceIssue::PairChanged);
    EXPECT_EQ(
        AcceptanceIssueText(issues[2], kEnglish, u'.'),
        QStringLiteral("Pair 3: record 3 now has a density of 2410 kg/m^3, the correlation was made with "
                       "2400 kg/m^3 (another measurement under the same number)"));

    // A mix's correlation is applied by its numbers to any lot of the mix.
    EXPECT_TRUE(
        CheckLotCorrelation(Lot({{2200}}), Kept(fitted, {2320, 2366, 2418}, TCorrelationScope::Mix)).empty());
}

TEST(CorrectedValues, RecomputedFromTheCorrectedDensityWithTheRecordsOwnReference) {
    TCorrection line;
    line.Kind = TCorrelationKind::Line;
    line.Slope = 0.5;
    line.Intercept = 1200;
    auto lot = Lot({{2300, 2400}, {2300, 2500}, {2300, 0}, {2300}, {2300}});
    lot[3].Record.Mode = 2;
    lot[4].Record.Seconds = DeletedMark;
    const TCorrectedValues a = CorrectedValues(lot[0].Record, line);
    EXPECT_EQ(a.Density, 2350);
    EXPECT_DOUBLE_EQ(a.Compaction, 2350.0 / 2400);
    EXPECT_NEAR(a.Porosity, 100.0 * 50 / 2400, 1e-5);
    EXPECT_DOUBLE_EQ(CorrectedValues(lot[1].Record, line).Compaction, 0.94);
    const TCorrectedValues noReference = CorrectedValues(lot[2].Record, line);
    EXPECT_EQ(noReference.Density, 2350);
    EXPECT_TRUE(std::isnan(noReference.Compaction) && std::isnan(noReference.Porosity));
    EXPECT_TRUE(std::isnan(CorrectedValues(lot[3].Record, line).Density));
    EXPECT_TRUE(std::isnan(CorrectedValues(lot[4].Record, line).Density));

    // The statistics' lines: the corrected quantities after the measured ones, the correction's
    // line last; the measured lines are those of a lot without a correlation.
    TRecordStore store;
    for (size_t i = 0; i < lot.size(); ++i)
        store.Records[i] = lot[i].Record;
    store.RecordCount = static_cast<int>(lot.size());
    const std::vector<int> all{0, 1, 2, 3, 4};
    const TLotStatistics plain = ComputeLotStatistics(store, all);
    TLotStatistics corrected = plain;
    AddCorrectedStatistics(corrected, store, all, {line, QStringLiteral("line")});
    ASSERT_TRUE(corrected.Corrected);
    EXPECT_EQ(corrected.Corrected->Density.Used, 3);
    EXPECT_EQ(corrected.Corrected->Compaction.Used, 2);
    const TLotLabels labels = LotLabels(kEnglish, [](const QString& key) { return key; });
    const auto before = LotStatisticsLines(plain, labels, u'.');
    const auto after = LotStatisticsLines(corrected, labels, u'.');
    ASSERT_EQ(after.size(), before.size() + 4);
    for (size_t i = 0; i <= QuantityCount; ++i)
        EXPECT_EQ(after[i], before[i]);
    EXPECT_EQ(after[QuantityCount + 1].join(u'|'),
              QStringLiteral("Dens, KgM3 (corrected)|3 / 4|2350|0.00|2350|2350"));
    EXPECT_EQ(after.back(), (QStringList{QStringLiteral("Correlation to cores"), QStringLiteral("line")}));

    TLotStatistics refused = plain;
    AddCorrectedStatistics(refused, store, all, {std::nullopt, QStringLiteral("not applied: why")});
    EXPECT_FALSE(refused.Corrected);
    EXPECT_EQ(LotStatisticsLines(refused, labels, u'.').back().value(1), QStringLiteral("not applied: why"));
}

} // namespace
} // namespace lum1
