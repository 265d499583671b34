// Failed writes told in words: the cause found from real failures of the shared file writer,
// the system's text kept after it only when the system gave one.
#include "platform/FileError.h"
#include "platform/ExportFile.h"

#include "TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace lum1 {
namespace {

QString Lookup(const QString& key) {
    return key == u"FileSystemMessage" ? QStringLiteral("(%1)") : u'<' + key + u'>';
}

// A file size limit cuts a write short, as a full disk does.
QString WriteWithSizeLimit(const QString& path, const QByteArray& bytes, rlim_t limit) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = limit;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const QString reason = WriteExportFile(path, bytes);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return reason;
}

TEST(FileError, RealFailuresAreToldByTheirCause) {
    const test::TempDir dir;
    ASSERT_TRUE(QDir(dir.Path()).mkpath("locked"));
    ASSERT_TRUE(QDir(dir.Path()).mkpath("taken.csv"));
    test::SetReadOnly(dir.File("locked"), true);
    struct Case {
        const char* name;
        QString path;
        QString reason;
        const char* cause;
        bool systemText;
    };
    const Case cases[] = {
        {"read-only folder", dir.File("locked/a.csv"), WriteExportFile(dir.File("locked/a.csv"), "abc"),
         "<FileNoPermission>", false},
        {"missing folder", dir.File("gone/a.csv"), WriteExportFile(dir.File("gone/a.csv"), "abc"),
         "<FileNoFolder>", true},
        {"folder in the way", dir.File("taken.csv"), WriteExportFile(dir.File("taken.csv"), "abc"),
         "<FileIsFolder>", true},
        // The system gives no reason and the disk has room: no cause is made up.
        {"cut short", dir.File("big.csv"),
         WriteWithSizeLimit(dir.File("big.csv"), QByteArray(100000, 'x'), 1000), "<FileNotWritten>", false},
        // What the system says decides where the file system looks fine.
        {"disk full", dir.File("a.csv"), qt_error_string(ENOSPC), "<FileNoSpace>", true},
        {"not permitted", dir.File("a.csv"), qt_error_string(EACCES), "<FileNoPermission>", true},
        {"unknown", dir.File("a.csv"), QStringLiteral("Something odd"), "<FileNotWritten>", true},
    };
    test::SetReadOnly(dir.File("locked"), false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.reason.isEmpty());
        const QString text = DescribeFileError(c.path, c.reason, Lookup);
        EXPECT_TRUE(text.startsWith(QString::fromLatin1(c.cause))) << text.toStdString();
        EXPECT_EQ(text, c.systemText ? QString::fromLatin1(c.cause) + " (" + c.reason + ')'
                                     : QString::fromLatin1(c.cause));
    }
}

} // namespace
} // namespace lum1
