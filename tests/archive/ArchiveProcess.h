#pragma once
// The real program, copied into a folder of its own (a portable copy keeps its settings and
// its archive there), importing results files as a user's script would.

#include "ArchiveFixture.h"
#include "TempDir.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace lum1::test {

// 50 files of 2500 records, each sharing 90 % with the one before: 14750 records in all.
constexpr int OverlapFiles = 50, OverlapFileRecords = 2500, OverlapStep = 250;
constexpr int OverlapDistinct = (OverlapFiles - 1) * OverlapStep + OverlapFileRecords;

inline QStringList WriteOverlappingFiles(const TempDir& dir) {
    QStringList files;
    for (int k = 0; k < OverlapFiles; ++k) {
        const QString name = QStringLiteral("files/%1.lum1").arg(k, 2, 10, QLatin1Char('0'));
        QDir().mkpath(dir.File("files"));
        dir.Write(name, FileBytes(MakeRecords(OverlapFileRecords, 1 + k * OverlapStep)));
        files << dir.File(name);
    }
    return files;
}

class ProgramCopy {
public:
    // settings: the lines of lum1.ini's [Archive] section.
    ProgramCopy(const TempDir& dir, const QByteArray& archiveSettings) : folder_(dir.File("program")) {
        QDir().mkpath(folder_);
        program_ = folder_ + "/lum1";
        if (!QFile::copy(QStringLiteral(LUM1_PROGRAM), program_))
            ADD_FAILURE() << "cannot copy the program";
        QFile ini(folder_ + "/lum1.ini");
        if (!ini.open(QIODevice::WriteOnly) ||
            ini.write("[Config]\r\nLangId=Eng\r\n[Archive]\r\n" + archiveSettings) < 0)
            ADD_FAILURE() << "cannot write the settings";
    }
    QString Folder() const { return folder_; }

    std::unique_ptr<QProcess> Start(const QStringList& arguments) const {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        p->setProcessEnvironment(env);
        p->start(program_, arguments);
        EXPECT_TRUE(p->waitForStarted(30000));
        return p;
    }

private:
    QString folder_, program_;
};

// Two programs import the same files at once; both finish without a word on standard error.
inline void ImportTwiceAtOnce(const ProgramCopy& program, const QStringList& files) {
    QStringList arguments{"--import"};
    arguments += files;
    auto a = program.Start(arguments);
    auto b = program.Start(arguments);
    for (QProcess* p : {a.get(), b.get()}) {
        ASSERT_TRUE(p->waitForFinished(240000));
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0);
        const QByteArray err = p->readAllStandardError();
        EXPECT_TRUE(err.isEmpty()) << err.toStdString();
        EXPECT_TRUE(p->readAllStandardOutput().contains("Files imported: 50;"));
    }
}

// An import killed (SIGKILL) once it has told of `files` files.
inline void ImportAndKill(const ProgramCopy& program, const QStringList& files, int after) {
    QStringList arguments{"--import"};
    arguments += files;
    auto p = program.Start(arguments);
    int told = 0;
    while (told < after && p->state() == QProcess::Running) {
        if (!p->canReadLine() && !p->waitForReadyRead(60000))
            break;
        while (p->canReadLine())
            if (p->readLine().contains(" records, "))
                ++told;
    }
    ASSERT_EQ(told, after) << p->readAllStandardError().toStdString();
    p->kill(); // SIGKILL: no chance to roll back or close anything
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_EQ(p->exitStatus(), QProcess::CrashExit);
}

} // namespace lum1::test
