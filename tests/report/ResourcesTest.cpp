// The preview's texts from the language folder's .frc files.
#include "report/ReportResources.h"

#include "QtPrinters.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

TEST(ReportResources, MissingFilesAreWrittenThenReadWithTheUsersOwnTexts) {
    const test::TempDir dir;
    const QString folder = dir.Path() + u'/';
    TfrxResources texts;
    texts.Select(folder, true);
    EXPECT_TRUE(QFile::exists(folder + "Russian.frc"));
    EXPECT_TRUE(QFile::exists(folder + "English.frc"));
    EXPECT_EQ(texts.Get(QStringLiteral("Print")), "Print");
    EXPECT_EQ(texts.Get(QStringLiteral("ExportError"), "/tmp/a.pdf", "full"),
              "Cannot write the file\n/tmp/a.pdf\n\nfull");

    dir.Write("Russian.frc", "[Resources]\r\nPrint=Печатать сейчас\r\n");
    texts.Select(folder, false);
    EXPECT_EQ(texts.Get(QStringLiteral("Print")), "Печатать сейчас");
    EXPECT_EQ(texts.Get(QStringLiteral("Close")), "Закрыть"); // not in the file: built in
    EXPECT_EQ(dir.Read("Russian.frc"), "[Resources]\r\nPrint=Печатать сейчас\r\n"); // never rewritten
}

TEST(ReportResources, ADamagedFileGivesTheBuiltInTexts) {
    struct Case {
        const char* what;
        QByteArray contents;
        const char* print;
        const char* pageCount;
    };
    const Case cases[] = {
        {"binary garbage", QByteArray("\x00\xff\xfe[Res\x01=\x80\x81\n", 13), "Print", "of 7"},
        {"empty", "", "Print", "of 7"},
        {"empty values", "[Resources]\nPrint=\nPageCount=   \n", "Print", "of 7"},
        {"placeholders gone or doubled", "[Resources]\nPageCount=pages %2 %1%1 %\n", "Print", "pages  77 %"},
        {"other section", "[Other]\nPrint=X\n", "Print", "of 7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const test::TempDir dir;
        dir.Write("English.frc", c.contents);
        TfrxResources texts;
        texts.Select(dir.Path() + u'/', true);
        EXPECT_EQ(texts.Get(QStringLiteral("Print")), QString::fromUtf8(c.print));
        EXPECT_EQ(texts.Get(QStringLiteral("PageCount"), QStringLiteral("7")),
                  QString::fromUtf8(c.pageCount));
    }
}

TEST(ReportResources, AFolderThatCannotBeWrittenLeavesTheBuiltInTexts) {
    const test::TempDir dir;
    TfrxResources texts;
    texts.Select(dir.Path() + QStringLiteral("/missing/"), false);
    EXPECT_EQ(texts.Get(QStringLiteral("Print")), "Печать");
    EXPECT_TRUE(QDir(dir.Path()).isEmpty());
}

} // namespace
} // namespace lum1
