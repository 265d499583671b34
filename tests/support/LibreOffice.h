#pragma once
// A workbook read by a program that is not ours: LibreOffice, headless, converts every sheet to
// CSV with the cells as the sheet displays them (US English number formatting: a point before
// the decimals). It runs with a profile of its own in the given folder, so that tests running
// side by side never share one.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <map>

namespace lum1::test {

using CsvRows = QList<QStringList>;

inline CsvRows ParseCsv(const QString& text) {
    CsvRows rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                cell += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << cell;
            cell.clear();
        } else if (c == u'\n') {
            row << cell;
            rows << row;
            row.clear();
            cell.clear();
        } else if (c != u'\r') {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty())
        rows << (row << cell);
    return rows;
}

// Sheet name -> its rows; empty when LibreOffice could not read the file. error gets its output.
inline std::map<QString, CsvRows> ReadWithLibreOffice(const QString& workbook, const QString& workDir,
                                                      QString* error = nullptr) {
    const QString out = QDir(workDir).filePath(QStringLiteral("lo-out"));
    const QString profile = QDir(workDir).filePath(QStringLiteral("lo-profile"));
    QDir().mkpath(out);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), workDir);
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    // Field separator ",", quote '"', UTF-8, US English formats, cells as shown, every sheet.
    p.start(
        QStringLiteral("soffice"),
        {QStringLiteral("-env:UserInstallation=file://") + profile, QStringLiteral("--headless"),
         QStringLiteral("--convert-to"),
         QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,true,true,false,false,-1"),
         QStringLiteral("--outdir"), out, workbook});
    p.waitForFinished(240000);
    if (error)
        *error = QString::fromUtf8(p.readAll());
    std::map<QString, CsvRows> sheets;
    const QString base = QFileInfo(workbook).completeBaseName() + u'-';
    for (const QFileInfo& f : QDir(out).entryInfoList({base + QStringLiteral("*.csv")}, QDir::Files)) {
        QFile file(f.filePath());
        if (file.open(QIODevice::ReadOnly))
            sheets[f.completeBaseName().mid(base.size())] = ParseCsv(QString::fromUtf8(file.readAll()));
    }
    return sheets;
}

} // namespace lum1::test
