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
    // Archive window, its lots and the import command
    {u"ArchiveMenu", u"Архив", u"Archive"},
    {u"ArchiveOpen", u"Архив замеров...", u"Measurement archive..."},
    {u"ArchiveOpenHint", u"Все замеры архива: отбор, партии, показ в основной таблице",
     u"Every archived measurement: filters, lots, showing them in the main table"},
    {u"ArchiveImport", u"Импорт в архив...", u"Import to archive..."},
    {u"ArchiveImportHint", u"Занести в архив файлы .lum1 или все файлы .lum1 папки",
     u"Put .lum1 files, or every .lum1 file of a folder, into the archive"},
    {u"ArchiveImportTitle", u"Импорт в архив: файлы .lum1 или папка",
     u"Import to archive: .lum1 files or a folder"},
    {u"ArchiveImportFolder", u"Вся папка", u"Whole folder"},
    {u"ArchiveImportFolderHint", u"Занести в архив все файлы .lum1 показанной папки и её подпапок",
     u"Import every .lum1 file of the folder shown and of its subfolders"},
    {u"ArchiveImportSearching", u"Импорт в архив: поиск файлов...",
     u"Import to archive: looking for files..."},
    {u"ArchiveImportProgress", u"Импорт в архив: файл %1 из %2\\n%3",
     u"Import to archive: file %1 of %2\\n%3"},
    {u"ArchiveImportProgressHint", u"Ход импорта в архив", u"Progress of the import to the archive"},
    {u"ArchiveImportCancel", u"Прервать", u"Cancel"},
    {u"ArchiveImportCancelHint", u"Остановить импорт; уже занесённые файлы остаются в архиве",
     u"Stop the import; the files already imported stay in the archive"},
    {u"ArchiveImportSummary", u"Импорт в архив: итог", u"Import to archive: summary"},
    {u"ArchiveImportClose", u"Закрыть", u"Close"},
    {u"ArchiveImportCloseHint", u"Закрыть итог импорта", u"Close the summary of the import"},
    {u"ArchiveImportBusy", u"Импорт в архив уже идёт.", u"An import to the archive is already running."},
    {u"ArchiveImportNone", u"Среди выбранного нет файлов .lum1.",
     u"There is no .lum1 file among those chosen."},
    {u"ArchiveWindowTitle", u"Архив замеров", u"Measurement archive"},
    {u"ArchiveWindowMenu", u"Архив", u"Archive"},
    {u"ArchiveShow", u"Показать в основной таблице", u"Show in the main table"},
    {u"ArchiveShowHint", u"Выбранные записи - в основную таблицу, как из открытого файла (Enter)",
     u"The chosen records into the main table, as from an opened file (Enter)"},
    {u"ArchiveRefresh", u"Обновить", u"Refresh"},
    {u"ArchiveRefreshHint", u"Прочитать архив заново (F5)", u"Read the archive anew (F5)"},
    {u"ArchiveClose", u"Закрыть", u"Close"},
    {u"ArchiveCloseHint", u"Закрыть окно архива (Esc)", u"Close the archive window (Esc)"},
    {u"ArchiveFrom", u"С", u"From"},
    {u"ArchiveFromHint", u"Только замеры с этого дня", u"Only measurements from this day on"},
    {u"ArchiveFromDateHint", u"Первый день отбора", u"The first day shown"},
    {u"ArchiveTo", u"По", u"To"},
    {u"ArchiveToHint", u"Только замеры по этот день", u"Only measurements up to this day"},
    {u"ArchiveToDateHint", u"Последний день отбора", u"The last day shown"},
    {u"ArchiveObject", u"Объект", u"Object"},
    {u"ArchiveObjectHint", u"Часть названия объекта, в любом регистре (Enter - применить)",
     u"Part of the object's name, in any letter case (Enter applies it)"},
    {u"ArchiveMaterial", u"Материал", u"Material"},
    {u"ArchiveMaterialHint", u"Часть названия материала, в любом регистре (Enter - применить)",
     u"Part of the material's name, in any letter case (Enter applies it)"},
    {u"ArchiveGauge", u"Прибор", u"Gauge"},
    {u"ArchiveGaugeHint", u"Часть строки параметров прибора (Enter - применить)",
     u"Part of the gauge's parameter text (Enter applies it)"},
    {u"ArchiveLotFilter", u"Партия", u"Lot"},
    {u"ArchiveLotFilterHint", u"Все записи, записи вне партий или записи одной партии",
     u"Every record, the records in no lot, or the records of one lot"},
    {u"ArchiveAllLots", u"Все записи", u"All records"},
    {u"ArchiveNoLot", u"Вне партий", u"In no lot"},
    {u"ArchiveDeleted", u"Удалённые", u"Deleted records"},
    {u"ArchiveDeletedHint", u"Показывать записи, удалённые в приборе",
     u"Show the records deleted on the gauge"},
    {u"ArchiveResetFilter", u"Сбросить отбор", u"Clear the filter"},
    {u"ArchiveResetFilterHint", u"Показать все записи архива", u"Show every record of the archive"},
    {u"ArchiveTableHint", u"Записи архива; Enter - выбранные в основную таблицу",
     u"The archived records; Enter puts the chosen ones into the main table"},
    {u"ArchiveCounts", u"Показано записей: %1 из %2 (удалённых: %3). Выбрано: %4",
     u"Shown: %1 of %2 records (deleted: %3). Chosen: %4"},
    {u"ArchiveCountsHint", u"Сколько записей показано и выбрано", u"How many records are shown and chosen"},
    {u"ArchiveStatusHint", u"Сообщения окна архива", u"Messages of the archive window"},
    {u"ArchiveNothingChosen", u"Не выбрано ни одной записи.", u"No record is chosen."},
    {u"ArchiveTooMany", u"Записей: %1. Основная таблица вмещает не более %2: будут показаны первые %2.",
     u"%1 records. The main table holds at most %2: the first %2 will be shown."},
    {u"ArchiveShownStatus", u"В основной таблице записей: %1 (%2)", u"Records in the main table: %1 (%2)"},
    {u"ArchiveSourceChosen", u"выбранные в архиве", u"chosen in the archive"},
    {u"ArchiveSourceLot", u"партия «%1»", u"lot \"%1\""},
    {u"ArchiveMainStatus", u"Из архива в таблицу: записей %1 (%2)", u"From the archive: %1 records (%2)"},
    {u"ArchiveStoreBusy",
     u"Основная таблица занята (идёт чтение прибора или другая команда): попробуйте позже.",
     u"The main table is busy (a read of the gauge or another command is running): try again later."},
    {u"ArchiveLotTip", u"Партия: %1", u"Lot: %1"},
    {u"ArchiveWindowFailed", u"Ошибка архива %1: %2", u"The archive %1 failed: %2"},
    {u"ArchiveWindowConnectionLost", u"Связь с сервером архива %1 прервана: %2",
     u"The connection to the archive server %1 was lost: %2"},
    {u"ArchiveLotMenu", u"Партия", u"Lot"},
    {u"ArchiveCurrentLot", u"Партия:", u"Lot:"},
    {u"ArchiveCurrentLotHint", u"Текущая партия: к ней относятся команды меню «Партия»",
     u"The current lot: the commands of the Lot menu act on it"},
    {u"ArchiveLotNone", u"(партий нет)", u"(no lot)"},
    {u"ArchiveLotDetails", u"Объект: %1; смесь: %2; слой: %3; записей: %4",
     u"Object: %1; mix: %2; layer: %3; records: %4"},
    {u"ArchiveLotDetailsHint", u"Сведения о текущей партии", u"The current lot's details"},
    {u"ArchiveLotNew", u"Новая партия...", u"New lot..."},
    {u"ArchiveLotNewHint", u"Создать партию", u"Create a lot"},
    {u"ArchiveLotEdit", u"Изменить партию...", u"Edit lot..."},
    {u"ArchiveLotEditHint", u"Название, объект, смесь, слой и примечания текущей партии",
     u"Name, object, mix, layer and notes of the current lot"},
    {u"ArchiveLotDelete", u"Удалить партию", u"Delete lot"},
    {u"ArchiveLotDeleteHint", u"Удалить текущую партию; её записи остаются в архиве",
     u"Delete the current lot; its records stay in the archive"},
    {u"ArchiveLotAssign", u"Включить в партию", u"Put into the lot"},
    {u"ArchiveLotAssignHint", u"Включить выбранные записи в текущую партию",
     u"Put the chosen records into the current lot"},
    {u"ArchiveLotRelease", u"Исключить из партий", u"Take out of lots"},
    {u"ArchiveLotReleaseHint", u"Исключить выбранные записи из их партий",
     u"Take the chosen records out of their lots"},
    {u"ArchiveLotFilterThis", u"Показать только эту партию", u"Show only this lot"},
    {u"ArchiveLotFilterThisHint", u"Отбор по текущей партии", u"Filter by the current lot"},
    {u"ArchiveLotShow", u"Партию - в основную таблицу", u"Lot into the main table"},
    {u"ArchiveLotShowHint", u"Записи текущей партии - в основную таблицу, по времени замера",
     u"The current lot's records into the main table, in the order of their time"},
    {u"ArchiveLotStatistics", u"Статистика партии", u"Lot statistics"},
    {u"ArchiveLotStatisticsHint", u"Партия в основной таблице со статистикой под ней",
     u"The lot in the main table with its statistics under it"},
    {u"ArchiveLotNewTitle", u"Новая партия", u"New lot"},
    {u"ArchiveLotEditTitle", u"Партия", u"Lot"},
    {u"ArchiveLotName", u"Название", u"Name"},
    {u"ArchiveLotNameHint", u"Название партии, единственное в архиве",
     u"The lot's name, unique in the archive"},
    {u"ArchiveLotObject", u"Объект", u"Object"},
    {u"ArchiveLotObjectHint", u"Объект (участок дороги) партии", u"The lot's object (stretch of road)"},
    {u"ArchiveLotMaterial", u"Смесь (материал)", u"Mix (material)"},
    {u"ArchiveLotMaterialHint", u"Асфальтобетонная смесь партии", u"The lot's asphalt mix"},
    {u"ArchiveLotLayer", u"Слой", u"Layer"},
    {u"ArchiveLotLayerHint", u"Слой покрытия, например «нижний слой»",
     u"The layer, for example \"binder course\""},
    {u"ArchiveLotNotes", u"Примечания", u"Notes"},
    {u"ArchiveLotNotesHint", u"Любые примечания к партии", u"Any notes on the lot"},
    {u"ArchiveLotSave", u"Сохранить", u"Save"},
    {u"ArchiveLotSaveHint", u"Сохранить партию в архиве (Enter)", u"Save the lot in the archive (Enter)"},
    {u"ArchiveLotCancel", u"Отмена", u"Cancel"},
    {u"ArchiveLotCancelHint", u"Закрыть без изменений (Esc)", u"Close without a change (Esc)"},
    {u"ArchiveLotProblemHint", u"Почему партия не сохранена", u"Why the lot was not saved"},
    {u"ArchiveLotNameEmpty", u"У партии должно быть название.", u"The lot needs a name."},
    {u"ArchiveLotNameTaken", u"Партия «%1» уже есть в архиве.",
     u"The archive already has a lot named \"%1\"."},
    {u"ArchiveLotNotFound", u"Этой партии больше нет в архиве.", u"The lot is no longer in the archive."},
    {u"ArchiveLotCreated", u"Создана партия «%1»", u"Lot \"%1\" created"},
    {u"ArchiveLotChanged", u"Партия «%1» сохранена", u"Lot \"%1\" saved"},
    {u"ArchiveLotDeleted", u"Партия «%1» удалена", u"Lot \"%1\" deleted"},
    {u"ArchiveLotDeleteAsk", u"Удалить партию «%1»? Её записи (%2) останутся в архиве вне партий.",
     u"Delete the lot \"%1\"? Its %2 records stay in the archive, in no lot."},
    {u"ArchiveLotMoveAsk", u"Выбранных записей в других партиях: %1. Перенести их в партию «%2»?",
     u"%1 of the chosen records belong to another lot. Move them into the lot \"%2\"?"},
    {u"ArchiveLotAssigned", u"В партию «%1» включено записей: %2 (из них из других партий: %3)",
     u"Records put into the lot \"%1\": %2 (of them taken from other lots: %3)"},
    {u"ArchiveLotReleased", u"Исключено из партий записей: %1", u"Records taken out of their lots: %1"},
    {u"ArchiveLotTooMany", u"Выбрано записей: %1; за один раз можно обработать не более %2. Сузьте выбор.",
     u"%1 records are chosen; one command handles at most %2. Choose fewer."},
    {u"ArchiveLotEmpty", u"В партии «%1» нет записей.", u"The lot \"%1\" holds no record."},
    // Measurement archive
    {u"ArchiveReadDone", u"Архив: записей %1, новых %2, уже были в архиве %3",
     u"Archive: %1 records, %2 new, %3 already kept"},
    {u"ArchiveNotArchived", u"Замеры не занесены в архив. Таблица показана и может быть сохранена в файл.",
     u"The measurements were not archived. The table is shown and can be saved to a file."},
    {u"ArchiveDamaged", u"Файл архива %1 не читается (%2). Он переименован в %3, начат новый архив.",
     u"The archive file %1 cannot be read (%2). It was set aside as %3 and a new archive was started."},
    {u"ArchiveSetAsideFailed",
     u"Файл архива %1 не читается (%2) и не может быть переименован: архив не используется.",
     u"The archive file %1 cannot be read (%2) and could not be set aside: the archive is not used."},
    {u"ArchiveForeign", u"Файл %1 не является архивом замеров и оставлен без изменений.",
     u"The file %1 is not a measurement archive and was left as it is."},
    {u"ArchiveReadOnly", u"Архив %1 открыт только для чтения: записывать в него нельзя.",
     u"The archive %1 is read-only: nothing can be written to it."},
    {u"ArchiveLocked", u"Архив %1 занят другой программой.", u"The archive %1 is in use by another program."},
    {u"ArchiveCantCreate", u"Не удаётся создать архив %1 (%2).", u"Cannot create the archive %1 (%2)."},
    {u"ArchiveNewerSchema",
     u"Архив %1 создан более новой версией программы (схема %2, эта версия знает схемы до %3) и оставлен без "
     u"изменений.",
     u"The archive %1 was made by a newer version of the program (schema %2; this version knows schemas up "
     u"to %3) "
     u"and was left as it is."},
    {u"ArchiveNoDriver", u"Для архива %1 не установлен драйвер базы данных %2.",
     u"The database driver %2 for the archive %1 is not installed."},
    {u"ArchiveUnreachable", u"Нет связи с сервером архива %1: %2", u"Cannot reach the archive server %1: %2"},
    {u"ArchiveAuthFailed", u"Сервер архива %1 отказал в доступе: %2. Пароль задаётся в файле ~/.pgpass.",
     u"The archive server %1 refused access: %2. The password belongs in ~/.pgpass."},
    {u"ArchiveConnectionLost",
     u"Связь с сервером архива %1 прервана: %2. Ничего из этого поступления не записано.",
     u"The connection to the archive server %1 was lost: %2. Nothing of this arrival was written."},
    {u"ArchiveFailed", u"Ошибка архива %1: %2. Ничего из этого поступления не записано.",
     u"The archive %1 failed: %2. Nothing of this arrival was written."},
    {u"ArchiveFileLine", u"%1: записей %2, новых %3, уже были в архиве %4",
     u"%1: %2 records, %3 new, %4 already kept"},
    {u"ArchiveFileUnreadable", u"%1: файл не удаётся прочитать", u"%1: the file cannot be read"},
    {u"ArchiveImportDone", u"Импортировано файлов: %1; записей %2, новых %3, уже были в архиве %4",
     u"Files imported: %1; %2 records, %3 new, %4 already kept"},
    {u"ArchiveImportUnreadable", u"Не прочитано файлов: %1", u"Files that could not be read: %1"},
    {u"ArchiveImportStopped", u"Импорт остановлен. %1", u"The import stopped. %1"},
    {u"ArchiveImportCancelled", u"Импорт прерван.", u"The import was cancelled."},
    {u"CliArchiveUsage",
     u"       lum1 --import ФАЙЛ_ИЛИ_ПАПКА... [--lang rus|eng]\\n"
     u"       lum1 --archive-export ФОРМАТ ВЫХОД [--from ГГГГ-ММ-ДД] [--to ГГГГ-ММ-ДД]\\n"
     u"            [--object ТЕКСТ] [--lot ПАРТИЯ] [--lang rus|eng]\\n"
     u"  --import          занести файлы .lum1 (или все файлы .lum1 папок) в архив\\n"
     u"  --archive-export  записи архива, подходящие под условия, в формате --export",
     u"       lum1 --import FILE_OR_FOLDER... [--lang rus|eng]\\n"
     u"       lum1 --archive-export FORMAT OUTPUT [--from YYYY-MM-DD] [--to YYYY-MM-DD]\\n"
     u"            [--object TEXT] [--lot LOT] [--lang rus|eng]\\n"
     u"  --import          puts .lum1 files (or every .lum1 file of folders) into the archive\\n"
     u"  --archive-export  the archived records that match, in a format of --export"},
    {u"CliBadDate", u"Неверная дата: %1 (нужно ГГГГ-ММ-ДД)", u"Wrong date: %1 (YYYY-MM-DD expected)"},
    {u"CliNoLot", u"В архиве нет партии %1", u"The archive has no lot named %1"},
    {u"CliNoMatch", u"Ни одна запись архива не подходит под условия", u"No archived record matches"},
    {u"CliTooMany",
     u"Под условия подходят записей: %1; экспорт берёт не более %2. Сузьте условия (--from, --to, --object, "
     u"--lot).",
     u"%1 records match; an export takes at most %2. Narrow the conditions (--from, --to, --object, --lot)."},
    {u"CliNoFiles", u"Нет файлов для импорта: %1", u"No file to import: %1"},
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
