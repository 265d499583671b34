// Writes the language files a package ships, from the same built-in tables and by the same code
// that the program uses when it creates them at its first start:
//   lum1_langfiles FOLDER    ->  FOLDER/Language/Russian.ini, English.ini, Russian.frc, English.frc
// Files left from an earlier run are replaced, not merged into.
#include "lang/Language.h"
#include "report/ReportResources.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const lum1::TLanguage language(QDir::cleanPath(QString::fromLocal8Bit(argv[1])));
    const QString folder = language.LanguageFolder();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "%s: cannot create %s\n", argv[0], qPrintable(folder));
        return 1;
    }
    const QString frc[] = {folder + lum1::TfrxResources::FileName(false),
                           folder + lum1::TfrxResources::FileName(true)};
    for (const QString& path : {language.RussianFilePath(), language.EnglishFilePath(), frc[0], frc[1]})
        if (QFile::exists(path) && !QFile::remove(path)) {
            std::fprintf(stderr, "%s: cannot replace %s\n", argv[0], qPrintable(path));
            return 1;
        }
    try {
        language.CreateLangFiles();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    for (int english = 0; english < 2; ++english)
        if (!lum1::TfrxResources::WriteFile(frc[english], english != 0)) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(frc[english]));
            return 1;
        }
    return 0;
}
