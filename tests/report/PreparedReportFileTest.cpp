// Saving the prepared report and opening it again from the preview: the same pages, printed as
// they were; damaged and foreign files refused with a message.
#include "report/PreparedReportFile.h"
#include "report/ReportPreview.h"

#include "ReportFixture.h"

#include "QtPrinters.h"
#include "TempDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QtEndian>

#include <gtest/gtest.h>

#include <bit>

namespace lum1 {
namespace {

using test::ReportHarness;

class SavedReport : public ::testing::Test {
protected:
    void SetUp() override {
        h.rows = test::NumberedRows(40);
        h.rows[3][6] = QStringLiteral("Подъезд к аэропорту Шереметьево, второй участок");
        h.Print();
        h.report.frxReport1.Resources.UseBuiltIn(true);
        saved = h.Prepared();
        savedInfo = h.report.frxReport1.DocumentInfo;
        preview = std::make_unique<TReportPreview>(h.report.frxReport1);
        preview->show();
        QCoreApplication::processEvents();
    }
    void Open(const QString& path) {
        h.dialogs.fileAnswers.push_back(path);
        preview->findChild<QAction*>(QStringLiteral("OpenAction"))->trigger();
    }

    test::TempDir dir;
    ReportHarness h;
    TPreparedReport saved;
    TPdfProperties savedInfo;
    std::unique_ptr<TReportPreview> preview;
};

TEST_F(SavedReport, OpensAgainAsTheSamePagesAndPrintsAsSaved) {
    h.dialogs.fileAnswers.push_back(dir.File("week.lum1report"));
    preview->findChild<QAction*>(QStringLiteral("SaveAction"))->trigger();
    ASSERT_TRUE(h.dialogs.messages.empty()) << h.dialogs.messages[0].text.toStdString();
    EXPECT_EQ(h.dialogs.fileRequests[0].defaultSuffix, "lum1report");
    EXPECT_EQ(h.dialogs.fileRequests[0].fileName, "Measured debsity values.lum1report");

    // Another report in another language, then last week's opened in its preview.
    ReportHarness other(false);
    other.rows = test::NumberedRows(2);
    other.Print();
    other.report.frxReport1.Resources.UseBuiltIn(false);
    TReportPreview later(other.report.frxReport1);
    later.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(later.PageCount(), 1);
    other.dialogs.fileAnswers.push_back(dir.File("week.lum1report"));
    later.findChild<QAction*>(QStringLiteral("OpenAction"))->trigger();
    QCoreApplication::processEvents();
    ASSERT_TRUE(other.dialogs.messages.empty()) << other.dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(other.report.frxReport1.PreparedPages() == saved);
    EXPECT_EQ(other.report.frxReport1.DocumentInfo, savedInfo);
    EXPECT_EQ(later.PageCount(), 2);
    EXPECT_EQ(later.CurrentPage(), 1);
    EXPECT_TRUE(later.FindNext(QStringLiteral("Шереметьево")));
    // Its rows are not at hand: no page setup, which would lay it out again.
    EXPECT_TRUE(later.ShowsOpenedReport());
    EXPECT_FALSE(later.findChild<QAction*>(QStringLiteral("PageSetupAction"))->isEnabled());
    later.ApplyPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Portrait, QMarginsF()));
    EXPECT_TRUE(other.report.frxReport1.PreparedPages() == saved);
}

TEST_F(SavedReport, DamagedAndForeignFilesAreRefusedAndTheShownReportStays) {
    const QByteArray good = WritePreparedReport(saved, savedInfo);
    ASSERT_TRUE(ReadPreparedReport(good).has_value());
    QByteArray flipped = good;
    flipped[good.size() / 2] = static_cast<char>(flipped[good.size() / 2] ^ 0x10);
    QByteArray newer = good;
    qToLittleEndian<quint32>(2, newer.data() + 8);
    // A file whose checksum is right but which claims four billion pages.
    QByteArray forged = good.left(8 + 4);
    forged += QByteArray(4 * 4, '\0'); // four empty texts
    for (double v : {297.0, 210.0}) {
        char b[8];
        qToLittleEndian(std::bit_cast<quint64>(v), b);
        forged += QByteArray(b, 8);
    }
    forged += QByteArray(1 + 7 * 8, '\0');
    forged += QByteArray(4, '\xff');
    forged += QCryptographicHash::hash(forged, QCryptographicHash::Sha256);

    struct Case {
        const char* name;
        QByteArray bytes;
        const char* message;
    };
    const Case cases[] = {
        {"empty", {}, "is not a report saved by this program"},
        {"text", "LUM1PREP but no more", "is not a report saved by this program"},
        {"pdf", "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj", "is not a report saved by this program"},
        {"cut", good.left(good.size() - 40), "is not a report saved by this program"},
        {"cut early", good.left(100), "is not a report saved by this program"},
        {"one bit", flipped, "is not a report saved by this program"},
        {"forged", forged, "is not a report saved by this program"},
        {"newer", newer, "was saved by a newer version of the program"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromLatin1(c.name) + QStringLiteral(".lum1report");
        dir.Write(name, c.bytes);
        h.dialogs.messages.clear();
        Open(dir.File(name));
        ASSERT_EQ(h.dialogs.messages.size(), 1u);
        EXPECT_TRUE(h.dialogs.messages[0].text.contains(QString::fromLatin1(c.message)))
            << h.dialogs.messages[0].text.toStdString();
        EXPECT_TRUE(h.dialogs.messages[0].text.contains(dir.File(name)));
        EXPECT_EQ(h.dialogs.messages[0].icon, MsgIcon::Error);
        EXPECT_TRUE(h.Prepared() == saved);
        EXPECT_FALSE(preview->ShowsOpenedReport());
    }
    // Every cut of a good file is refused, none read past its end.
    for (qsizetype n = 0; n < good.size(); n += 97)
        EXPECT_FALSE(ReadPreparedReport(good.left(n)).has_value()) << n;

    h.dialogs.messages.clear();
    Open(dir.File("missing.lum1report"));
    Open(dir.Path());
    ASSERT_EQ(h.dialogs.messages.size(), 2u);
    EXPECT_TRUE(
        h.dialogs.messages[0].text.startsWith("Cannot open the file\n" + dir.File("missing.lum1report")));
    EXPECT_TRUE(h.dialogs.messages[1].text.startsWith("Cannot open the file"));
    EXPECT_TRUE(h.Prepared() == saved);
}

} // namespace
} // namespace lum1
