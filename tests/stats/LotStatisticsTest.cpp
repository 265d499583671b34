// Lot statistics: which values enter, the numbers, and their texts.
#include "RecordFixture.h"
#include "TempDir.h"

#include "lang/ExtraTexts.h"
#include "lang/Language.h"
#include "stats/LotStatistics.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numeric>

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace lum1 {
namespace {

using test::SampleRecord;

std::unique_ptr<TRecordStore> StoreOf(const std::vector<TMeasRecord>& records) {
    auto store = std::make_unique<TRecordStore>();
    for (size_t i = 0; i < records.size(); ++i)
        store->Records[i] = records[i];
    store->RecordCount = static_cast<int>(records.size());
    return store;
}

std::vector<int> AllOf(const TRecordStore& store) {
    std::vector<int> all(static_cast<size_t>(store.RecordCount.load()));
    std::iota(all.begin(), all.end(), 0);
    return all;
}

TLotStatistics Compute(const std::vector<TMeasRecord>& records, double minCompaction = DefaultMinCompaction) {
    auto store = StoreOf(records);
    const std::vector<int> all = AllOf(*store);
    return ComputeLotStatistics(*store, all, minCompaction);
}

TMeasRecord WithDensity(float density, float ref = 2400.0f) {
    TMeasRecord r = SampleRecord();
    r.Density = density;
    r.RefDensity = ref;
    return r;
}

TMeasRecord Deleted(TMeasRecord r) {
    r.Seconds = DeletedMark;
    return r;
}

TMeasRecord Mode2(TMeasRecord r) {
    r.Mode = 2;
    return r;
}

TMeasRecord WithTemperature(TMeasRecord r, float t) {
    r.Temperature = t;
    return r;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

struct Case {
    const char* name;
    std::vector<TMeasRecord> records;
    TQuantity quantity;
    int used;
    const char* mean; // texts with a point as the separator; "" for none
    const char* sd;
    const char* min;
    const char* max;
};

class QuantityCases : public ::testing::TestWithParam<Case> {};

TEST_P(QuantityCases, NumbersAndTexts) {
    const Case& c = GetParam();
    const TLotStatistics s = Compute(c.records);
    const TQuantityStats& st = s[c.quantity];
    EXPECT_EQ(st.Used, c.used);
    EXPECT_EQ(MeanText(c.quantity, st, u'.'), QString::fromUtf8(c.mean));
    EXPECT_EQ(SDText(c.quantity, st, u'.'), QString::fromUtf8(c.sd));
    EXPECT_EQ(MinText(c.quantity, st, u'.'), QString::fromUtf8(c.min));
    EXPECT_EQ(MaxText(c.quantity, st, u'.'), QString::fromUtf8(c.max));
}

INSTANTIATE_TEST_SUITE_P(
    Lot, QuantityCases,
    ::testing::Values(
        // 2300, 2400, 2500: mean 2400, sample deviation 100 (a population one would give 81.65).
        Case{"ThreeDensities",
             {WithDensity(2300), WithDensity(2400), WithDensity(2500)},
             TQuantity::Density,
             3,
             "2400",
             "100.00",
             "2300",
             "2500"},
        Case{"DeletedAndMode2Excluded",
             {WithDensity(2300), Deleted(WithDensity(100)), Mode2(WithDensity(0.5f)), WithDensity(2500)},
             TQuantity::Density,
             2,
             "2400",
             "141.42",
             "2300",
             "2500"},
        Case{"NonFiniteExcluded",
             {WithDensity(2300), WithDensity(kNaN), WithDensity(kInf), WithDensity(2500)},
             TQuantity::Density,
             2,
             "2400",
             "141.42",
             "2300",
             "2500"},
        Case{
            "OneValueHasNoDeviation", {WithDensity(2352)}, TQuantity::Density, 1, "2352", "", "2352", "2352"},
        Case{"AllEqualSpreadZero",
             {WithDensity(0.1f), WithDensity(0.1f), WithDensity(0.1f)},
             TQuantity::Density,
             3,
             "0.10",
             "0.00",
             "0.10",
             "0.10"},
        // No reference density, or mode 2, or no finite density: no compaction factor.
        Case{"CompactionOnlyWithReference",
             {WithDensity(2352, 2400), WithDensity(2400, 0), Mode2(WithDensity(2300)),
              WithDensity(2448, 2400), WithDensity(kInf, 2400)},
             TQuantity::Compaction,
             2,
             "1.000",
             "0.028",
             "0.980",
             "1.020"},
        // A density above the reference shows porosity 0.0, and that is what counts.
        Case{"PorosityAsShown",
             {WithDensity(2352, 2400), WithDensity(2500, 2400)},
             TQuantity::Porosity,
             2,
             "1.0",
             "1.4",
             "0.0",
             "2.0"},
        Case{"TemperatureNaNOut",
             {WithTemperature(SampleRecord(), 10.0f), WithTemperature(SampleRecord(), kNaN),
              WithTemperature(SampleRecord(), -kInf), WithTemperature(SampleRecord(), 11.0f)},
             TQuantity::Temperature,
             2,
             "10.5",
             "0.7",
             "10.0",
             "11.0"},
        // The table's temperature pattern has no leading zero; the statistics always have one.
        Case{"TemperatureSpreadZero",
             {WithTemperature(SampleRecord(), 0.25f), WithTemperature(SampleRecord(), 0.25f)},
             TQuantity::Temperature,
             2,
             "0.3",
             "0.0",
             "0.3",
             "0.3"},
        Case{"NoValueAtAll", {Deleted(SampleRecord())}, TQuantity::Temperature, 0, "", "", "", ""}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(LotStatistics, CountsAndAcceptance) {
    // 0.97995 shows as 0.980 and is not below 0.98; 0.979 is.
    const TLotStatistics s = Compute({WithDensity(2351.88f), WithDensity(2349.6f), WithDensity(2400, 0),
                                      Deleted(WithDensity(1000)), WithDensity(2500)});
    EXPECT_EQ(s.Total, 5);
    EXPECT_EQ(s.Deleted, 1);
    EXPECT_EQ(s.Judged, 3);
    EXPECT_EQ(s.Below, 1);
    EXPECT_FALSE(BelowMinimum(WithDensity(2351.88f), 0.98));
    EXPECT_TRUE(BelowMinimum(WithDensity(2349.6f), 0.98));
    EXPECT_FALSE(BelowMinimum(Deleted(WithDensity(1000)), 0.98)); // deleted rows are never marked
    EXPECT_FALSE(BelowMinimum(WithDensity(2400, 0), 0.98));
    EXPECT_EQ(UsedText(s[TQuantity::Compaction], Considered(s)), QStringLiteral("3 / 4"));
}

TEST(LotStatistics, SelectionOfTwoOrMoreElseAll) {
    bool selection = true;
    EXPECT_EQ(LotRecords({4}, {0, 1, 2, 3, 4}, &selection), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(selection);
    EXPECT_EQ(LotRecords({3, 1}, {0, 1, 2, 3, 4}, &selection), (std::vector<int>{3, 1}));
    EXPECT_TRUE(selection);
    // Indices beyond the store are ignored rather than read.
    auto store = StoreOf({SampleRecord()});
    const std::vector<int> wrong{0, 7, -1};
    EXPECT_EQ(ComputeLotStatistics(*store, wrong).Total, 1);
}

TEST(LotStatistics, FullArchive) {
    std::vector<TMeasRecord> records;
    for (int i = 0; i < MaxRecords; ++i)
        records.push_back(i >= 2250 ? Deleted(WithDensity(1))
                                    : WithDensity(2300.0f + static_cast<float>(i % 2) * 100));
    const TLotStatistics s = Compute(records);
    EXPECT_EQ(s.Total, 2500);
    EXPECT_EQ(s.Deleted, 250);
    EXPECT_EQ(s[TQuantity::Density].Used, 2250);
    EXPECT_DOUBLE_EQ(s[TQuantity::Density].Mean, 2350.0);
    EXPECT_NEAR(s[TQuantity::Density].SD, 50.0 * std::sqrt(2250.0 / 2249.0), 1e-9);
    EXPECT_EQ(s.Below, 1125); // 2300 / 2400 = 0.958
}

TLotLabels EnglishLabels() {
    return LotLabels([](const QString& key) { return BuiltInExtraText(key, true); }, test::TableLookup(true));
}

TEST(LotStatistics, ClipboardTextFollowsSeparator) {
    TLotStatistics s = Compute({WithDensity(2352), WithDensity(2448), Deleted(SampleRecord())});
    const QString text = LotStatisticsClipboardText(s, EnglishLabels(), u',');
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 9); // header, five quantities, rows, acceptance, and the end
    EXPECT_EQ(lines[0], QStringLiteral("Quantity\tUsed\tMean\tStd. deviation\tMinimum\tMaximum"));
    EXPECT_EQ(lines[1], QStringLiteral("Density, kg/m^3\t2 / 2\t2400\t67,88\t2352\t2448"));
    EXPECT_EQ(lines[2], QStringLiteral("Compaction factor\t2 / 2\t1,000\t0,028\t0,980\t1,020"));
    EXPECT_EQ(lines[5], QStringLiteral("Layer thickness, mm\t2 / 2\t40,0\t0,0\t40\t40"));
    EXPECT_EQ(lines[6], QStringLiteral("Rows\twhole table: 3\tdeleted: 1"));
    EXPECT_EQ(lines[7], QStringLiteral("Min. compaction factor\t0,980\tBelow the minimum: 0 of 2 (0,0 %)"));
    EXPECT_TRUE(lines[8].isEmpty());

    const QString empty = LotStatisticsClipboardText(Compute({}), EnglishLabels(), u'.');
    EXPECT_EQ(empty, QStringLiteral("The table is empty: nothing to compute\r\n"));
}

// The new texts have a section of their own: a missing key is appended there and nothing else
// in the file changes; the documented rewrite never runs for them.
TEST(ExtraTexts, MissingKeyAppendedAloneAfterMessages) {
    test::TempDir dir;
    QDir().mkpath(dir.File(QStringLiteral("Language")));
    TLanguage language(dir.Path());
    language.Select(true);
    const QByteArray edited = "[Messages]\r\nTitle=My own title\r\nOpen=Open!\r\n";
    dir.Write(QStringLiteral("Language/English.ini"), edited);

    EXPECT_EQ(GetExtraMessage(language, u"LotMean"), QStringLiteral("Mean"));
    EXPECT_EQ(dir.Read(QStringLiteral("Language/English.ini")), edited + "[Extra]\r\nLotMean=Mean\r\n");
    EXPECT_FALSE(QFile::exists(dir.File(QStringLiteral("Language/Russian.ini"))));

    // A user's own text is kept, an empty one falls back without a write.
    dir.Write(QStringLiteral("Language/English.ini"), edited + "[Extra]\r\nLotMean=Average\r\nLotMin=\r\n");
    EXPECT_EQ(GetExtraMessage(language, u"LotMean"), QStringLiteral("Average"));
    EXPECT_EQ(GetExtraMessage(language, u"LotMin"), QStringLiteral("Minimum"));
    EXPECT_EQ(dir.Read(QStringLiteral("Language/English.ini")),
              edited + "[Extra]\r\nLotMean=Average\r\nLotMin=\r\n");

    // Before the documented section exists nothing is written, so [Extra] can never precede it.
    language.Select(false);
    EXPECT_EQ(GetExtraMessage(language, u"LotMean"), QStringLiteral("Среднее"));
    EXPECT_FALSE(QFile::exists(dir.File(QStringLiteral("Language/Russian.ini"))));

    // A read-only file gives the built-in text and no error.
    dir.Write(QStringLiteral("Language/Russian.ini"), "[Messages]\r\nTitle=x\r\n");
    test::SetReadOnly(dir.File(QStringLiteral("Language/Russian.ini")), true);
    EXPECT_EQ(GetExtraMessage(language, u"LotMax"), QStringLiteral("Максимум"));
    test::SetReadOnly(dir.File(QStringLiteral("Language/Russian.ini")), false);
}

TEST(ExtraTexts, KeysAreUniqueAndBothLanguagesSet) {
    QSet<QString> keys;
    for (const ExtraRow& row : ExtraTable()) {
        EXPECT_FALSE(row.russian.isEmpty()) << row.key.toString().toStdString();
        EXPECT_FALSE(row.english.isEmpty()) << row.key.toString().toStdString();
        EXPECT_TRUE(FindMessageRow(row.key) == nullptr)
            << "documented key reused: " << row.key.toString().toStdString();
        EXPECT_FALSE(keys.contains(row.key.toString().toLower()));
        keys.insert(row.key.toString().toLower());
    }
}

} // namespace
} // namespace lum1
