#include "report/ReportResources.h"

#include "platform/IniFile.h"

#include <QFileInfo>

#include <vector>

namespace lum1 {

namespace {

const QString kSection = QStringLiteral("Resources");

struct TResourceRow {
    const char16_t* key;
    const char16_t* russian;
    const char16_t* english;
};

const TResourceRow kTexts[] = {
    {u"PreviewTitle", u"Предварительный просмотр", u"Preview"},
    {u"Print", u"Печать", u"Print"},
    {u"PrintHint", u"Напечатать отчет на принтере", u"Print the report on a printer"},
    {u"PageSetup", u"Параметры страницы", u"Page setup"},
    {u"PageSetupHint", u"Размер бумаги, ориентация и поля", u"Paper size, orientation and margins"},
    {u"ZoomIn", u"Увеличить", u"Zoom in"},
    {u"ZoomOut", u"Уменьшить", u"Zoom out"},
    {u"More", u"Другие кнопки", u"More buttons"},
    {u"Zoom100", u"100 %", u"100 %"},
    {u"Zoom100Hint", u"Масштаб 100 %", u"Zoom to 100 %"},
    {u"FitWidth", u"По ширине", u"Page width"},
    {u"FitWidthHint", u"Страница по ширине окна", u"Fit the page to the window's width"},
    {u"WholePage", u"Страница целиком", u"Whole page"},
    {u"WholePageHint", u"Показать всю страницу", u"Show the whole page"},
    {u"FirstPage", u"Первая страница", u"First page"},
    {u"PriorPage", u"Предыдущая страница", u"Previous page"},
    {u"NextPage", u"Следующая страница", u"Next page"},
    {u"LastPage", u"Последняя страница", u"Last page"},
    {u"PageNumber", u"Номер страницы", u"Page number"},
    {u"PageCount", u"из %1", u"of %1"},
    {u"FindText", u"Текст для поиска", u"Text to find"},
    {u"FindNext", u"Найти", u"Find"},
    {u"FindNextHint", u"Найти текст в отчете", u"Find the text in the report"},
    {u"TextNotFound", u"Текст \"%1\" не найден.", u"Text \"%1\" was not found."},
    {u"Export", u"Экспорт", u"Export"},
    {u"ExportHint", u"Сохранить отчет в файл", u"Save the report to a file"},
    {u"ExportText", u"Текстовый файл (*.txt)", u"Text file (*.txt)"},
    {u"ExportPdf", u"Файл PDF (*.pdf)", u"PDF file (*.pdf)"},
    {u"ExportHtml", u"Файл HTML (*.html)", u"HTML file (*.html)"},
    {u"ExportCsv", u"Файл CSV (*.csv)", u"CSV file (*.csv)"},
    {u"ExportTitle", u"Экспорт отчета", u"Export the report"},
    {u"Open", u"Открыть", u"Open"},
    {u"OpenHint", u"Открыть сохраненный отчет", u"Open a saved report"},
    {u"Save", u"Сохранить", u"Save"},
    {u"SaveHint", u"Сохранить подготовленный отчет, чтобы позже напечатать его точно таким же",
     u"Save the prepared report, to print it exactly the same later"},
    {u"ReportFilter", u"Отчет LUM-1 (*.lum1report)", u"LUM-1 report (*.lum1report)"},
    {u"OpenTitle", u"Открыть отчет", u"Open a report"},
    {u"SaveTitle", u"Сохранить отчет", u"Save the report"},
    {u"OpenError", u"Не удается открыть файл\n%1\n\n%2", u"Cannot open the file\n%1\n\n%2"},
    {u"NotAReport", u"Файл\n%1\nне является отчетом, сохраненным этой программой, или поврежден.",
     u"The file\n%1\nis not a report saved by this program, or it is damaged."},
    {u"NewerReport", u"Файл\n%1\nсохранен более новой версией программы и не может быть открыт.",
     u"The file\n%1\nwas saved by a newer version of the program and cannot be opened."},
    {u"ExportError", u"Не удается записать файл\n%1\n\n%2", u"Cannot write the file\n%1\n\n%2"},
    // Why a file could not be written; the system's own message follows.
    {u"FileNoPermission", u"Нет прав на запись в эту папку или в этот файл.",
     u"There is no permission to write to this folder or file."},
    {u"FileNoSpace", u"На диске не хватает места.", u"There is not enough space on the disk."},
    {u"FileNoFolder", u"Такой папки нет.", u"The folder does not exist."},
    {u"FileIsFolder", u"Под этим именем уже есть папка.", u"A folder of that name is in the way."},
    {u"FileNotWritten", u"Файл записать не удалось.", u"The file could not be written."},
    {u"FileSystemMessage", u"Сообщение системы: %1", u"System message: %1"},
    {u"NoPrinter", u"Не установлен ни один принтер. Отчет можно экспортировать в файл PDF.",
     u"No printer is installed. The report can be exported to a PDF file."},
    {u"PrintError", u"Не удается напечатать на принтере %1.", u"Cannot print on the printer %1."},
    {u"Close", u"Закрыть", u"Close"},
    {u"CloseHint", u"Закрыть окно просмотра", u"Close the preview window"},
};

} // namespace

TfrxResources::TfrxResources() {
    UseBuiltIn(false);
}

QString TfrxResources::FileName(bool english) {
    return english ? QStringLiteral("English.frc") : QStringLiteral("Russian.frc");
}

void TfrxResources::UseBuiltIn(bool english) {
    english_ = english;
    texts_.clear();
    for (const TResourceRow& row : kTexts)
        texts_[QString::fromUtf16(row.key)] = QString::fromUtf16(english ? row.english : row.russian);
}

bool TfrxResources::WriteFile(const QString& path, bool english) {
    std::vector<std::pair<QString, QString>> values;
    for (const TResourceRow& row : kTexts) {
        // Line breaks are kept as "\n" so that every text stays on its own line of the file.
        QString text = QString::fromUtf16(english ? row.english : row.russian);
        text.replace(u'\n', QStringLiteral("\\n"));
        values.emplace_back(QString::fromUtf16(row.key), text);
    }
    try {
        TIniFile(path).WriteStrings(kSection, values);
        return true;
    } catch (const EIniWriteError&) {
        return false;
    }
}

bool TfrxResources::LoadFromFile(const QString& path, bool english) {
    UseBuiltIn(english);
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return false;
    const TIniFile file(path);
    for (auto& [key, text] : texts_) {
        QString value = file.ReadString(kSection, key, QString());
        value.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        if (!value.trimmed().isEmpty())
            text = value;
    }
    return true;
}

void TfrxResources::Select(const QString& languageFolder, bool english) {
    if (languageFolder.isEmpty()) {
        UseBuiltIn(english);
        return;
    }
    for (bool language : {false, true}) {
        const QString path = languageFolder + FileName(language);
        if (!QFileInfo::exists(path))
            WriteFile(path, language);
    }
    LoadFromFile(languageFolder + FileName(english), english);
}

QString TfrxResources::Get(const QString& key, const QString& arg1, const QString& arg2) const {
    const auto it = texts_.find(key);
    QString text = it == texts_.end() ? key : it->second;
    // One pass, so that a "%2" inside the first argument is never replaced in turn.
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && (text[i + 1] == u'1' || text[i + 1] == u'2')) {
            out += text[i + 1] == u'1' ? arg1 : arg2;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace lum1
