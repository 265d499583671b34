// The acceptance report: its header, summary, verdict and pages in both languages, read back from
// the PDF too; refusals; header texts of any kind; a full 2500-point lot; logos good and bad.
#include "report/AcceptanceReport.h"
#include "report/PdfExport.h"
#include "report/ReportLogo.h"

#include "lang/ExtraTexts.h"
#include "platform/ExportFile.h"

#include "RecordFixture.h"
#include "ReportFixture.h"
#include "TempDir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>

namespace lum1 {
namespace {

TAcceptanceTexts Texts(bool english) {
    TAcceptanceTexts t;
    t.Documented = test::TableLookup(english);
    t.Extra = [english](const QString& key) { return BuiltInExtraText(key, english); };
    t.EnglishUI = english;
    t.Separator = english ? u'.' : u',';
    t.ApplicationTitle = t.Documented(QStringLiteral("Title"));
    return t;
}

// Records 1..n of the sample record (5 May 2019, "Road M4", "Асфальт", reference 2400) with the
// given compaction factors.
std::vector<TLotRecord> Lot(const std::vector<double>& factors) {
    std::vector<TLotRecord> lot;
    for (size_t i = 0; i < factors.size(); ++i) {
        TMeasRecord r = test::SampleRecord(static_cast<uint16_t>(i + 1));
        r.Density = static_cast<float>(factors[i] * 2400.0);
        lot.push_back({r.Number, r});
    }
    return lot;
}

TAcceptanceReportInput Input(int points, double low = 0.975) {
    std::vector<double> factors;
    for (int i = 0; i < points; ++i)
        factors.push_back(i == 6 ? low : 0.985 + (i % 5) * 0.002);
    TAcceptanceReportInput input;
    input.Records = Lot(factors);
    input.Header.Organisation = QStringLiteral("Road Laboratory No. 3");
    input.Header.Project = QStringLiteral("Contract 17/2025");
    input.Header.Lot = QStringLiteral("km 14+000");
    input.Header.Operator = QStringLiteral("I. Petrov");
    return input;
}

QString AllText(const TPreparedReport& r) {
    QStringList texts;
    for (const TPreparedPage& page : r.Pages)
        for (const TPreparedBox& b : page.Boxes)
            texts << b.PlainText();
    return texts.join(u'\n');
}

QString PdfText(const TPreparedReport& prepared, const TPdfProperties& info) {
    const test::TempDir dir;
    const QString pdf = dir.File("report.pdf");
    EXPECT_EQ(WriteExportFile(pdf, ExportPdf(prepared, info)), QString());
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000));
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(AcceptanceReport, HeaderSummaryVerdictAndPagesInBothLanguagesAlsoInThePdf) {
    struct Case {
        bool english;
        QStringList expected; // in the prepared pages and in the PDF's text
    };
    const Case cases[] = {
        {true,
         {"Road Laboratory No. 3",
          "Lot acceptance report",
          "Contract 17/2025",
          "km 14+000",
          "Road M4",
          "Асфальт",
          "2400",
          "2019-05-05",
          "I. Petrov",
          "compaction factor ≥ 0.980",
          "every point within the limits",
          "LOT REJECTED",
          "1 of 30 judged points are outside the limits",
          "Below the minimum: 1 of 30 (3.3 %)",
          "none: the gauge densities as measured",
          "0.975",
          "below",
          "Tested by",
          "Page 1 of 2",
          "Page 2 of 2"}},
        {false,
         {"Road Laboratory No. 3", "Протокол приёмки партии", "Contract 17/2025", "Road M4", "05.05.2019",
          "коэффициент уплотнения ≥ 0,980", "каждый замер в пределах", "ПАРТИЯ НЕ ПРИНЯТА",
          "Ниже нормы: 1 из 30 (3,3 %)", "0,975", "ниже", "Испытания провёл", "Страница 1 из 2",
          "Страница 2 из 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.english ? "English" : "Russian");
        TAcceptanceReport report;
        ASSERT_TRUE(report.Prepare(Input(30), Texts(c.english)));
        EXPECT_EQ(report.Acceptance().Verdict, TVerdict::Rejected);
        ASSERT_EQ(report.Prepared().Pages.size(), 2u);
        const QString text = AllText(report.Prepared());
        const QString pdf = PdfText(report.Prepared(), report.frxReport1.DocumentInfo);
        for (const QString& e : c.expected) {
            EXPECT_TRUE(text.contains(e)) << e.toStdString();
            // The PDF's extractor may break a line where the report wrapped it.
            EXPECT_TRUE(pdf.simplified().contains(e)) << e.toStdString();
        }
        // Every point listed once, in the lot's order.
        QStringList numbers;
        for (const TPreparedPage& page : report.Prepared().Pages)
            numbers << test::TextsOf(page, "PointNo");
        ASSERT_EQ(numbers.size(), 30);
        EXPECT_EQ(numbers.front(), "1");
        EXPECT_EQ(numbers.back(), "30");
    }
}

TEST(AcceptanceReport, TheSamePointsPassWithACorrectionAndTheReportNamesIt) {
    TAcceptanceReportInput input = Input(30);
    input.Correction.Kind = TCorrelationKind::Line;
    input.Correction.Slope = 1.0;
    input.Correction.Intercept = 24;
    input.Correction.Pairs = 6;
    input.Correction.R2 = 0.9123;
    input.Correction.SEE = 6.25;
    input.Correction.Description = QStringLiteral("SMA 16, June (I. Petrov)");
    TAcceptanceReport report;
    ASSERT_TRUE(report.Prepare(input, Texts(true)));
    EXPECT_EQ(report.Acceptance().Verdict, TVerdict::Accepted);
    const QString text = AllText(report.Prepared());
    EXPECT_TRUE(text.contains("LOT ACCEPTED"));
    EXPECT_TRUE(text.contains("SMA 16, June (I. Petrov): line: core = 1.0000 × gauge + 24.0 kg/m³ from 6 "
                              "pairs, R² = 0.912, standard "
                              "error of the estimate 6.3 kg/m³"))
        << text.toStdString();
}

TEST(AcceptanceReport, ALotWithoutAVerdictMakesNoReport) {
    TAcceptanceReport report;
    ASSERT_TRUE(report.Prepare(Input(5), Texts(true)));
    ASSERT_FALSE(report.Prepared().Pages.empty());

    TAcceptanceReportInput noDensity = Input(5);
    for (TLotRecord& r : noDensity.Records)
        r.Record.Mode = 2;
    QString refusal;
    EXPECT_FALSE(report.Prepare(noDensity, Texts(true), &refusal));
    EXPECT_TRUE(refusal.startsWith("The lot has no valid density")) << refusal.toStdString();
    // Nothing of the earlier lot is left to print.
    EXPECT_TRUE(report.Prepared().Pages.empty());

    TAcceptanceReportInput two = Input(2);
    two.Limits.Rule = TAcceptanceRule::Pwl;
    EXPECT_FALSE(report.Prepare(two, Texts(false), &refusal));
    EXPECT_EQ(refusal, "Для PWL нужно не менее 3 оцениваемых замеров; в партии: 2");
}

TEST(AcceptanceReport, HeaderTextsOfAnyKindArePrintedLiterallyAndNeverChangeTheVerdict) {
    TAcceptanceReportInput input = Input(8, 0.99);
    input.Header.Organisation = QStringLiteral("[Title] <b>bold</b> &amp; [Page#]");
    input.Header.Project = QStringLiteral("a\x01"
                                          "b\tc\r\nd\u2028e");
    input.Header.Lot = QStringLiteral("שלום 😀 лот");
    input.Header.Operator = QString(5000, u'W');
    TAcceptanceReport report;
    ASSERT_TRUE(report.Prepare(input, Texts(true)));
    EXPECT_EQ(report.Acceptance().Verdict, TVerdict::Accepted);
    const TPreparedPage& first = report.Prepared().Pages[0];
    EXPECT_EQ(test::TextsOf(first, "Organisation"), QStringList{"[Title] <b>bold</b> &amp; [Page#]"});
    EXPECT_EQ(test::TextsOf(first, "Project"), QStringList{"a b c d e"});
    EXPECT_EQ(test::TextsOf(first, "Lot"), QStringList{"שלום 😀 лот"});
    QStringList op = test::TextsOf(first, "Operator");
    ASSERT_EQ(op.size(), 1);
    EXPECT_EQ(op[0].remove(u' '), QString(MaxHeaderText, u'W') + u'…');
    // The long name wrapped and its header row grew; nothing leaves the page.
    const double bottom = (report.Prepared().PageHeightMm - report.Prepared().BottomMarginMm) * UnitsPerMm;
    for (const TPreparedPage& page : report.Prepared().Pages)
        for (const TPreparedBox& b : page.Boxes)
            EXPECT_LE(b.Rect.bottom(), bottom + 1e-6) << b.Name.toStdString();
    // A surrogate pair is never cut in half.
    const QString emoji = CleanHeaderText(QString(MaxHeaderText - 1, u'a') + QStringLiteral("😀"));
    EXPECT_EQ(emoji, QString(MaxHeaderText - 1, u'a') + u'…');
}

TEST(AcceptanceReport, AFullArchiveOfPointsNumbersEveryPage) {
    TAcceptanceReport report;
    ASSERT_TRUE(report.Prepare(Input(MaxRecords), Texts(true)));
    const TPreparedReport& r = report.Prepared();
    const int pages = static_cast<int>(r.Pages.size());
    ASSERT_GT(pages, 40);
    int listed = 0;
    for (int i = 0; i < pages; ++i) {
        EXPECT_EQ(test::TextsOf(r.Pages[static_cast<size_t>(i)], "PageOf"),
                  QStringList{QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages)});
        listed += static_cast<int>(test::TextsOf(r.Pages[static_cast<size_t>(i)], "PointNo").size());
    }
    EXPECT_EQ(listed, MaxRecords);
    EXPECT_EQ(test::TextsOf(r.Pages.back(), "TestedName"), QStringList{"I. Petrov"});
}

// A PNG file's signature and header chunk (with its checksum) for any size, and an empty data
// chunk: enough for a reader to learn the size without a pixel behind it.
QByteArray PngHeader(quint32 width, quint32 height) {
    auto crc = [](const QByteArray& data) {
        quint32 c = 0xffffffffu;
        for (char ch : data) {
            c ^= static_cast<quint8>(ch);
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
        }
        return c ^ 0xffffffffu;
    };
    auto be = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[i] = static_cast<char>(v >> (24 - 8 * i));
        return b;
    };
    auto chunk = [&](const QByteArray& type, const QByteArray& data) {
        return be(static_cast<quint32>(data.size())) + type + data + be(crc(type + data));
    };
    return QByteArray("\x89PNG\r\n\x1a\n", 8) +
           chunk("IHDR", be(width) + be(height) + QByteArray("\x08\x02\x00\x00\x00", 5)) + chunk("IDAT", {});
}

TEST(ReportLogo, PicturesAreScaledAndAnythingElseIsRefusedWithItsReason) {
    const test::TempDir dir;
    QImage wide(2000, 1000, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    ASSERT_TRUE(wide.save(dir.File("wide.png")));
    QImage small(120, 60, QImage::Format_RGB32);
    small.fill(Qt::green);
    ASSERT_TRUE(small.save(dir.File("small.jpg")));
    dir.Write("text.png", "this is no picture at all");
    dir.Write("huge.png", PngHeader(20000, 20000));
    dir.Write("many.png", PngHeader(9000, 9000)); // within a side, beyond the points in all
    {
        QFile big(dir.File("big.bmp"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(MaxLogoFileBytes + 1));
    }
    struct Case {
        const char* file;
        TReportLogo::TResult result;
        QSize size;
        const char* detail;
    };
    const Case cases[] = {
        {"wide.png", TReportLogo::Loaded, {LogoPrintSide, 473}, ""},
        {"small.jpg", TReportLogo::Loaded, {120, 60}, ""},
        {"missing.png", TReportLogo::CantOpen, {}, ""},
        {".", TReportLogo::CantOpen, {}, ""},
        {"text.png", TReportLogo::NotImage, {}, ""},
        {"huge.png", TReportLogo::TooLarge, {}, "20000 × 20000"},
        {"many.png", TReportLogo::TooLarge, {}, "9000 × 9000"},
        {"big.bmp", TReportLogo::TooLarge, {}, "20.0 MB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const TReportLogo logo = LoadReportLogo(dir.File(QString::fromLatin1(c.file)));
        EXPECT_EQ(logo.Result, c.result);
        if (c.result == TReportLogo::Loaded) {
            EXPECT_NEAR(logo.Image.width(), c.size.width(), 1);
            EXPECT_NEAR(logo.Image.height(), c.size.height(), 1);
        } else {
            EXPECT_TRUE(logo.Image.isNull());
            EXPECT_EQ(logo.Detail, QString::fromUtf8(c.detail));
        }
    }

    // A report with the logo: a picture box beside the organisation on the first page.
    TAcceptanceReportInput input = Input(5, 0.99);
    input.Logo = LoadReportLogo(dir.File("wide.png")).Image;
    TAcceptanceReport report;
    ASSERT_TRUE(report.Prepare(input, Texts(true)));
    const auto logos = test::BoxesOf(report.Prepared().Pages[0], "Logo");
    ASSERT_EQ(logos.size(), 1u);
    EXPECT_TRUE(logos[0]->Picture);
    ASSERT_EQ(test::BoxesOf(report.Prepared().Pages[0], "Chart").size(), 1u);
}

} // namespace
} // namespace lum1

namespace lum1 {
namespace {

// The preview's page setup lays the report out again: the points' rows must come out as they did
// the first time, also once the caller's input is gone.
TEST(AcceptanceReport, LaidOutAgainForAPageSetupWithTheSamePoints) {
    TAcceptanceReport report;
    {
        const TAcceptanceReportInput input = Input(12);
        ASSERT_TRUE(report.Prepare(input, Texts(true)));
    }
    const QString first = AllText(report.Prepared());
    ASSERT_TRUE(report.frxReport1.PrepareReport());
    EXPECT_EQ(AllText(report.Prepared()), first);

    // Turned to landscape as the preview's page setup does: the bands reach across the new width
    // between the margins, and no box stands beyond them.
    const auto rightmost = [](const TPreparedReport& prepared) {
        double right = 0;
        for (const TPreparedPage& page : prepared.Pages)
            for (const TPreparedBox& b : page.Boxes)
                right = std::max(right, b.Rect.right());
        return right / UnitsPerMm;
    };
    EXPECT_NEAR(rightmost(report.Prepared()), 200.0, 0.5); // 210 mm less the right margin
    TfrxReportPage& page = *report.frxReport1.Pages.front();
    page.Orientation = TPageOrientation::Landscape;
    page.RightMarginMm = 15;
    ASSERT_TRUE(report.frxReport1.OnPageSetup);
    report.frxReport1.OnPageSetup(page);
    ASSERT_TRUE(report.frxReport1.PrepareReport());
    EXPECT_TRUE(report.Prepared().Landscape);
    EXPECT_NEAR(rightmost(report.Prepared()), 297.0 - 15.0, 0.5);
    EXPECT_TRUE(AllText(report.Prepared()).contains(QStringLiteral("Page 1 of ")));
}

} // namespace
} // namespace lum1
