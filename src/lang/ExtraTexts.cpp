#include "lang/ExtraTexts.h"

#include "lang/Language.h"
#include "platform/IniFile.h"

#include <QFile>

namespace lum1 {

const QString ExtraSection = QStringLiteral("Extra");

namespace {

// Written in this order when the keys are appended one by one as they are first used.
const ExtraRow kRows[] = {
    // Lot statistics panel
    {u"LotStatistics", u"Статистика партии", u"Lot statistics"},
    {u"LotStatisticsHint", u"Показать или скрыть статистику партии под таблицей",
     u"Show or hide the lot statistics under the table"},
    {u"LotQuantity", u"Величина", u"Quantity"},
    {u"LotUsed", u"Учтено", u"Used"},
    {u"LotMean", u"Среднее", u"Mean"},
    {u"LotSD", u"СКО", u"Std. deviation"},
    {u"LotMin", u"Минимум", u"Minimum"},
    {u"LotMax", u"Максимум", u"Maximum"},
    {u"LotRows", u"Строки", u"Rows"},
    {u"LotSelected", u"выделенные строки: %1", u"selected rows: %1"},
    {u"LotWhole", u"вся таблица: %1", u"whole table: %1"},
    {u"LotDeleted", u"удалённых: %1", u"deleted: %1"},
    {u"LotEmpty", u"Таблица пуста: рассчитывать нечего", u"The table is empty: nothing to compute"},
    {u"LotMinCompaction", u"Мин. коэффициент уплотнения", u"Min. compaction factor"},
    {u"LotMinCompactionHint", u"Строки с меньшим коэффициентом уплотнения отмечаются в таблице",
     u"Rows with a lower compaction factor are marked in the table"},
    {u"LotTargetDensity", u"Целевая плотность, кг/м^3", u"Target density, kg/m^3"},
    {u"LotTargetDensityHint", u"Линия на графике плотности; 0 - не задана",
     u"A line on the density chart; 0 - not set"},
    {u"LotBelow", u"Ниже нормы: %1 из %2 (%3 %)", u"Below the minimum: %1 of %2 (%3 %)"},
    {u"LotBelowNone", u"Нет коэффициентов уплотнения для проверки", u"No compaction factor to check"},
    {u"LotBelowTip", u"Коэффициент уплотнения ниже %1", u"Compaction factor below %1"},
    {u"LotCopy", u"Копировать", u"Copy"},
    {u"LotCopyHint", u"Скопировать статистику в буфер обмена", u"Copy the statistics to the clipboard"},
    {u"LotTableHint", u"Статистика выделенных строк или всей таблицы",
     u"Statistics of the selected rows or of the whole table"},
    // Density chart
    {u"DensityChart", u"График плотности", u"Density chart"},
    {u"DensityChartMenu", u"График плотности...", u"Density chart..."},
    {u"DensityChartHint", u"Плотность по порядку замеров; щелчок по точке выделяет строку",
     u"Density in the order of the measurements; a click on a point selects its row"},
    {u"ChartAxisX", u"Замер (порядок в таблице)", u"Measurement (table order)"},
    {u"ChartAxisY", u"Плотность, кг/м^3", u"Density, kg/m^3"},
    {u"ChartPoints", u"Замеры", u"Measurements"},
    {u"ChartBelow", u"Ниже целевой плотности", u"Below the target density"},
    {u"ChartMean", u"Среднее", u"Mean"},
    {u"ChartTarget", u"Целевая плотность", u"Target density"},
    {u"ChartSave", u"Сохранить PNG...", u"Save PNG..."},
    {u"ChartSaveHint", u"Сохранить график как рисунок PNG", u"Save the chart as a PNG picture"},
    {u"ChartPng", u"Рисунки PNG (*.png)", u"PNG pictures (*.png)"},
    {u"ChartEmpty", u"Нет значений плотности для графика", u"No density value to draw"},
    // Exports
    {u"ExportXlsx", u"Экспорт в Excel...", u"Export to Excel..."},
    {u"ExportKml", u"Экспорт на карту (KML)...", u"Export to map (KML)..."},
    {u"ExportGeoJson", u"Экспорт на карту (GeoJSON)...", u"Export to map (GeoJSON)..."},
    {u"ExportXlsxFilter", u"Книги Excel (*.xlsx)", u"Excel workbooks (*.xlsx)"},
    {u"ExportKmlFilter", u"Файлы KML (*.kml)", u"KML files (*.kml)"},
    {u"ExportGeoJsonFilter", u"Файлы GeoJSON (*.geojson)", u"GeoJSON files (*.geojson)"},
    {u"ExportEmpty", u"Таблица пуста: экспортировать нечего", u"The table is empty: nothing to export"},
    {u"ExportNoPosition", u"Ни у одного замера нет координат: карта была бы пустой",
     u"No measurement has a position: the map would be empty"},
    {u"ExportFailed", u"Не удается записать файл %1: %2", u"Cannot write the file %1: %2"},
    {u"ExportDone", u"Экспортировано записей: %1, файл %2", u"Records exported: %1, file %2"},
    {u"SheetResults", u"Результаты", u"Results"},
    {u"SheetStatistics", u"Статистика", u"Statistics"},
    {u"Latitude", u"Широта, °", u"Latitude, °"},
    {u"Longitude", u"Долгота, °", u"Longitude, °"},
    // Help and links that could not be opened
    {u"HelpOpenFailed",
     u"Не удалось открыть руководство пользователя: %1.\\nОткройте этот файл в веб-браузере:\\n%2",
     u"The user manual could not be opened: %1.\\nOpen this file in a web browser:\\n%2"},
    {u"LinkOpenFailed", u"Не удалось открыть адрес: %1.\\n%2", u"The address could not be opened: %1.\\n%2"},
    {u"HelpFileMissing", u"файла нет на месте", u"the file is missing"},
    {u"OpenerMissing", u"программа %1 не установлена (она входит в пакет xdg-utils)",
     u"the program %1 is not installed (the package xdg-utils provides it)"},
    {u"OpenerFailed", u"программа %1 не нашла, чем его показать (код завершения %2)",
     u"%1 found no program to show it (exit code %2)"},
    // Batch command line
    {u"CliUsage",
     u"Использование: lum1 [ФАЙЛ.lum1]\\n"
     u"       lum1 --export ФОРМАТ ВХОД.lum1 ВЫХОД [--lang rus|eng]\\n"
     u"ФОРМАТ: pdf, csv, txt, html, xlsx, kml, geojson\\n"
     u"  --lang rus|eng  язык отчёта и сообщений\\n"
     u"  --help          эта справка\\n"
     u"  --version       версия программы",
     u"Usage: lum1 [FILE.lum1]\\n"
     u"       lum1 --export FORMAT INPUT.lum1 OUTPUT [--lang rus|eng]\\n"
     u"FORMAT: pdf, csv, txt, html, xlsx, kml, geojson\\n"
     u"  --lang rus|eng  language of the report and the messages\\n"
     u"  --help          this help\\n"
     u"  --version       the program's version"},
    {u"CliBadArguments", u"Неверные аргументы: %1", u"Wrong arguments: %1"},
    {u"CliBadFormat", u"Неизвестный формат: %1", u"Unknown format: %1"},
    {u"CliBadLanguage", u"Неизвестный язык: %1 (rus или eng)", u"Unknown language: %1 (rus or eng)"},
    {u"CliCantOpen", u"Не могу открыть файл %1", u"Can not open file %1"},
    {u"CliNoRecords", u"В файле %1 нет ни одной записи", u"The file %1 holds no record"},
    {u"CliSameFile", u"Выходной файл совпадает с входным: %1", u"The output file is the input file: %1"},
};

QString Expand(QStringView text) {
    QString s = text.toString();
    s.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return s;
}

// A value that is absent from the file, as opposed to one written empty.
const QString kAbsent = QStringLiteral("\x01absent");

bool HasMessagesSection(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine().trimmed();
        if (line.startsWith('[') && line.mid(1, line.indexOf(']') - 1).trimmed().toLower() == "messages")
            return true;
    }
    return false;
}

} // namespace

std::span<const ExtraRow> ExtraTable() {
    return kRows;
}

const ExtraRow* FindExtraRow(QStringView key) {
    for (const ExtraRow& row : kRows)
        if (row.key.compare(key, Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

QString BuiltInExtraText(QStringView key, bool english) {
    const ExtraRow* row = FindExtraRow(key);
    return row ? Expand(english ? row->english : row->russian) : QString();
}

QString GetExtraMessage(const TLanguage& language, QStringView key, bool writeMissing) {
    const bool english = language.EnglishUI();
    const QString path = language.LangFilePath();
    const ExtraRow* row = FindExtraRow(key);
    if (path.isEmpty())
        return row ? Expand(english ? row->english : row->russian) : QString();
    const QString stored = TIniFile(path).ReadString(ExtraSection, key.toString(), kAbsent);
    if (stored != kAbsent && !stored.isEmpty())
        return Expand(stored);
    if (!row)
        return QString();
    // An empty value the user left is kept in the file; the built-in text stands in for it.
    if (stored == kAbsent && writeMissing && HasMessagesSection(path)) {
        try {
            TIniFile(path).WriteString(ExtraSection, row->key.toString(),
                                       (english ? row->english : row->russian).toString());
        } catch (const EIniWriteError&) {
            // Read-only language files still give the built-in text.
        }
    }
    return Expand(english ? row->english : row->russian);
}

} // namespace lum1
