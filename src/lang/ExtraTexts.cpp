#include "lang/ExtraTexts.h"

#include "lang/Language.h"
#include "platform/IniFile.h"

#include <QFile>

namespace lum1 {

const QString ExtraSection = QStringLiteral("Extra");

namespace {

// Written in this order when the keys are appended one by one as they are first used.
const ExtraRow kRows[] = {
    // The screen picture, and files that cannot be written
    {u"ScreenReadAbandoned",
     u"Чтение экрана прибора прервано: окно закрыто до конца чтения. Файл %1 и буфер обмена не изменены",
     u"Screen reading abandoned: the window was closed before the read ended. The file %1 and the clipboard "
     u"were not changed"},
    {u"FileWriteFailed", u"Не удается записать файл \"%1\": %2", u"Cannot write the file \"%1\": %2"},
    {u"FileNoPermission", u"нет прав на запись в эту папку или в этот файл",
     u"no permission to write to this folder or file"},
    {u"FileNoSpace", u"на диске не хватает места", u"not enough space on the disk"},
    {u"FileNoFolder", u"такой папки нет", u"the folder does not exist"},
    {u"FileIsFolder", u"под этим именем уже есть папка", u"a folder of that name is in the way"},
    {u"FileNotWritten", u"файл записать не удалось", u"the file could not be written"},
    {u"FileSystemMessage", u"(сообщение системы: %1)", u"(system message: %1)"},
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
    {u"CliNoLot", u"В архиве нет партии «%1»", u"The archive has no lot named \"%1\""},
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
    {u"LotTotal", u"Всего", u"Total"},
    {u"LotBelowCount", u"Ниже нормы", u"Below the minimum"},
    {u"LotJudged", u"Проверено", u"Judged"},
    {u"LotBelowShare", u"Доля ниже нормы", u"Share below the minimum"},
    {u"Latitude", u"Широта, °", u"Latitude, °"},
    {u"Longitude", u"Долгота, °", u"Longitude, °"},
    // Lot acceptance: correlation to cores, the verdict and its report
    {u"AccTooFewPairs", u"Для поправки нужно не менее 2 пар «замер – керн»; пригодных пар: %1",
     u"A correlation needs at least 2 pairs of a record and a core; usable pairs: %1"},
    {u"AccTooFewForLine", u"Прямая строится не менее чем по 5 парам; пригодных пар: %1. Используйте сдвиг",
     u"A line needs at least 5 pairs; usable pairs: %1. Use the offset"},
    {u"AccEqualGauge", u"Плотность прибора во всех парах одна и та же (%1 кг/м^3): прямую построить нельзя",
     u"Every pair has the same gauge density (%1 kg/m^3): no line can be fitted"},
    {u"AccCoreZero", u"Пара %1 (замер %2): плотность керна равна 0",
     u"Pair %1 (record %2): the core density is 0"},
    {u"AccCoreNegative", u"Пара %1 (замер %2): плотность керна отрицательна (%3)",
     u"Pair %1 (record %2): the core density is negative (%3)"},
    {u"AccCoreNotNumber", u"Пара %1 (замер %2): плотность керна не является числом",
     u"Pair %1 (record %2): the core density is not a number"},
    {u"AccMissingRecord", u"Пара %1: замера %2 нет в партии", u"Pair %1: record %2 is not in the lot"},
    {u"AccAmbiguousRecord", u"Пара %1: номер замера %2 встречается в партии %3 раз(а), неясно, какой из них",
     u"Pair %1: record number %2 occurs %3 times in the lot, so it is unclear which is meant"},
    {u"AccDuplicatePair", u"Пары %1 и %2 относятся к одному замеру %3",
     u"Pairs %1 and %2 both name record %3"},
    {u"AccNoGaugeDensity", u"Пара %1: у замера %2 нет пригодной плотности (удалён, режим (U) или не число)",
     u"Pair %1: record %2 has no usable density (deleted, a (U) reading or not a number)"},
    {u"AccOutlier",
     u"Пара %1 (замер %2) выпадает: керн отличается от поправки на %3 кг/м^3. Удалите пару или оставьте её "
     u"явно",
     u"Pair %1 (record %2) is an outlier: its core departs from the fit by %3 kg/m^3. Remove the pair or "
     u"keep "
     u"it explicitly"},
    {u"AccOutlierKept",
     u"Пара %1 (замер %2) выпадает (%3 кг/м^3 от поправки), оставлена по решению пользователя",
     u"Pair %1 (record %2) is an outlier (%3 kg/m^3 from the fit), kept by the user's decision"},
    {u"AccNoValidDensity", u"В партии нет ни одной пригодной плотности: заключение невозможно",
     u"The lot has no valid density: no verdict is possible"},
    {u"AccNoJudgedPoint",
     u"Ни у одного замера партии нет эталонной плотности: коэффициент уплотнения не вычислить",
     u"No record of the lot has a reference density: there is no compaction factor to judge"},
    {u"AccPwlTooFewPoints", u"Для PWL нужно не менее 3 оцениваемых замеров; в партии: %1",
     u"PWL needs at least 3 judged points; the lot has %1"},
    {u"AccBadLimits", u"Пределы приёмки заданы неверно", u"The acceptance limits are not valid"},
    {u"AccMarkPass", u"норма", u"pass"},
    {u"AccMarkBelow", u"ниже", u"below"},
    {u"AccMarkAbove", u"выше", u"above"},
    {u"AccMarkBelowTol", u"ниже, в допуске", u"below, within tolerance"},
    {u"AccMarkAboveTol", u"выше, в допуске", u"above, within tolerance"},
    {u"AccMarkNotJudged", u"не оценивается", u"not judged"},
    {u"AccAccepted", u"ПАРТИЯ ПРИНЯТА", u"LOT ACCEPTED"},
    {u"AccRejected", u"ПАРТИЯ НЕ ПРИНЯТА", u"LOT REJECTED"},
    {u"AccNoVerdict", u"НЕТ ЗАКЛЮЧЕНИЯ", u"NO VERDICT"},
    {u"AccReasonEveryPass", u"Все оцениваемые замеры (%1) в пределах",
     u"All %1 judged points are within the limits"},
    {u"AccReasonEveryFail", u"Вне пределов %1 из %2 оцениваемых замеров",
     u"%1 of %2 judged points are outside the limits"},
    {u"AccReasonMean", u"Среднее %1; замеров за пределами допуска: %2",
     u"Mean %1; points beyond the tolerance: %2"},
    {u"AccReasonPwl", u"PWL %1 % при пороге %2 %", u"PWL %1 % against a threshold of %2 %"},
    {u"AccRuleEvery", u"каждый замер в пределах", u"every point within the limits"},
    {u"AccRuleMean", u"среднее в пределах, ни один замер не выходит за предел более чем на %1",
     u"the mean within the limits, no point more than %1 outside them"},
    {u"AccRulePwl", u"PWL не ниже %1 %", u"PWL at or above %1 %"},
    {u"AccQuantityCompaction", u"коэффициент уплотнения", u"compaction factor"},
    {u"AccQuantityDensity", u"плотность, кг/м^3", u"density, kg/m^3"},
    {u"AccCorrNone", u"нет: плотности прибора без поправки", u"none: the gauge densities as measured"},
    {u"AccCorrOffset", u"сдвиг %1 кг/м^3 по %2 парам, СКО разностей %3 кг/м^3",
     u"offset %1 kg/m^3 from %2 pairs, SD of the differences %3 kg/m^3"},
    {u"AccCorrOffsetGiven", u"сдвиг %1 кг/м^3 (задан пользователем)",
     u"offset %1 kg/m^3 (given by the user)"},
    {u"AccCorrLine",
     u"прямая: керн = %1 × прибор %2 кг/м^3 по %3 парам, R² = %4, ст. ошибка оценки %5 кг/м^3",
     u"line: core = %1 × gauge %2 kg/m^3 from %3 pairs, R² = %4, standard error of the estimate %5 kg/m^3"},
    {u"AccCorrLineGiven", u"прямая: керн = %1 × прибор %2 кг/м^3 (задана пользователем)",
     u"line: core = %1 × gauge %2 kg/m^3 (given by the user)"},
    {u"AccPwlLower", u"QL = %1, PWL(L) = %2 %", u"QL = %1, PWL(L) = %2 %"},
    {u"AccPwlUpper", u"QU = %1, PWL(U) = %2 %", u"QU = %1, PWL(U) = %2 %"},
    {u"AccPwlTotal", u"PWL = %1 % (%2), порог %3 %", u"PWL = %1 % (%2), threshold %3 %"},
    {u"AccReportTitle", u"Протокол приёмки партии", u"Lot acceptance report"},
    {u"AccProject", u"Договор / проект", u"Contract / project"},
    {u"AccRoad", u"Дорога / объект", u"Road / object"},
    {u"AccLot", u"Партия", u"Lot"},
    {u"AccMix", u"Смесь / материал", u"Mix / material"},
    {u"AccLayer", u"Слой", u"Layer"},
    {u"AccRefDensity", u"Эталонная плотность, кг/м^3", u"Reference density, kg/m^3"},
    {u"AccLimits", u"Пределы", u"Limits"},
    {u"AccRule", u"Правило приёмки", u"Acceptance rule"},
    {u"AccGauge", u"Прибор", u"Gauge"},
    {u"AccOperator", u"Оператор", u"Operator"},
    {u"AccDates", u"Даты замеров", u"Dates of the measurements"},
    {u"AccSummary", u"Итоги", u"Summary"},
    {u"AccCount", u"n", u"n"},
    {u"AccGaugeDensity", u"Плотность прибора, кг/м^3", u"Gauge density, kg/m^3"},
    {u"AccCorrectedDensity", u"Плотность с поправкой, кг/м^3", u"Corrected density, kg/m^3"},
    {u"AccAboveShare", u"Выше максимума: %1 из %2 (%3 %)", u"Above the maximum: %1 of %2 (%3 %)"},
    {u"AccVerdict", u"Заключение", u"Verdict"},
    {u"AccChart", u"График партии", u"Chart of the lot"},
    {u"AccChartPoint", u"Замер (порядок в партии)", u"Point (order in the lot)"},
    {u"AccChartLimit", u"предел", u"limit"},
    {u"AccChartMean", u"среднее", u"mean"},
    {u"AccCorrelation", u"Поправка по кернам", u"Correlation to cores"},
    {u"AccPoints", u"Замеры партии", u"Points of the lot"},
    {u"AccRecord", u"Номер замера", u"Record number"},
    {u"AccResult", u"Оценка", u"Result"},
    {u"AccTestedBy", u"Испытания провёл", u"Tested by"},
    {u"AccCheckedBy", u"Проверил", u"Checked by"},
    {u"AccSignature", u"подпись", u"signature"},
    {u"AccSignName", u"фамилия, инициалы", u"name"},
    {u"AccSignDate", u"дата", u"date"},
    {u"AccPageOf", u"Страница %1 из %2", u"Page %1 of %2"},
    {u"AccLogoCantOpen", u"Не удаётся открыть логотип %1", u"Cannot open the logo %1"},
    {u"AccLogoNotImage", u"Файл логотипа %1 не является рисунком (PNG, JPEG, BMP, GIF)",
     u"The logo %1 is not a picture (PNG, JPEG, BMP, GIF)"},
    {u"AccLogoTooLarge",
     u"Логотип %1 слишком велик (%2): допускается до 20 МБ, 10000 точек по стороне и 40 миллионов точек",
     u"The logo %1 is too large (%2): at most 20 MB, 10000 points a side and 40 million points"},
    {u"AccCliUsage",
     u"Протокол приёмки партии (все замеры файла):\\n"
     u"       lum1 --export acceptance-pdf ВХОД.lum1 ВЫХОД.pdf [параметры]\\n"
     u"  --min-compaction K      нижний предел коэффициента уплотнения (по умолчанию из настроек, 0.980)\\n"
     u"  --max-compaction K      верхний предел коэффициента уплотнения\\n"
     u"  --min-density D         оценивать плотность, кг/м^3: нижний предел\\n"
     u"  --max-density D         верхний предел плотности, кг/м^3\\n"
     u"  --rule every|mean|pwl   каждый замер / среднее с допуском / PWL (по умолчанию every)\\n"
     u"  --tolerance T           для mean: насколько замер может выйти за предел\\n"
     u"  --pwl-threshold P       для pwl: наименьший PWL приёмки, % (по умолчанию 90)\\n"
     u"  --offset D              поправка: сдвиг плотности прибора, кг/м^3\\n"
     u"  --slope A --intercept B поправка: прямая керн = A × прибор + B\\n"
     u"  --cores ФАЙЛ            пары «номер замера, плотность керна» для расчёта поправки\\n"
     u"  --fit offset|line       для --cores: сдвиг или прямая (по умолчанию offset)\\n"
     u"  --keep-outliers         для --cores: оставить выпадающие пары (они названы в протоколе)\\n"
     u"  --header ФАЙЛ           шапка протокола: INI-файл с разделом [Header]\\n"
     u"  --organisation, --logo ФАЙЛ, --project, --road, --lot, --mix, --layer, --gauge,\\n"
     u"  --operator ТЕКСТ        поля шапки (заменяют поля файла шапки)",
     u"The lot acceptance report (every record of the file):\\n"
     u"       lum1 --export acceptance-pdf INPUT.lum1 OUTPUT.pdf [options]\\n"
     u"  --min-compaction K      lower limit of the compaction factor (default from the settings, 0.980)\\n"
     u"  --max-compaction K      upper limit of the compaction factor\\n"
     u"  --min-density D         judge the density instead, kg/m^3: lower limit\\n"
     u"  --max-density D         upper limit of the density, kg/m^3\\n"
     u"  --rule every|mean|pwl   every point / the mean with a tolerance / PWL (default every)\\n"
     u"  --tolerance T           for mean: how far a point may lie outside a limit\\n"
     u"  --pwl-threshold P       for pwl: the lowest PWL that accepts the lot, % (default 90)\\n"
     u"  --offset D              correction: offset of the gauge densities, kg/m^3\\n"
     u"  --slope A --intercept B correction: the line core = A × gauge + B\\n"
     u"  --cores FILE            pairs of record number and core density to fit the correction\\n"
     u"  --fit offset|line       with --cores: the offset or the line (default offset)\\n"
     u"  --keep-outliers         with --cores: keep pairs found to be outliers (the report names them)\\n"
     u"  --header FILE           report header: an INI file with a [Header] section\\n"
     u"  --organisation, --logo FILE, --project, --road, --lot, --mix, --layer, --gauge,\\n"
     u"  --operator TEXT         header fields (they replace those of the header file)"},
    {u"AccCliBadValue", u"Неверное значение %1: %2", u"Wrong value of %1: %2"},
    {u"AccCliNeeds", u"%1 требует %2", u"%1 needs %2"},
    {u"AccCliConflict", u"%1 и %2 нельзя задавать вместе", u"%1 and %2 cannot be used together"},
    {u"AccCliCoresLine", u"Файл кернов %1, строка %2: ожидаются номер замера и плотность керна",
     u"Cores file %1, line %2: a record number and a core density expected"},
    {u"AccCliRefused", u"Протокол приёмки не сформирован:", u"The acceptance report was not made:"},
    // Lot acceptance in the window: the lot views' corrected values, the correlation window, the
    // limits, the report header and the report command
    {u"AccPairChanged",
     u"Пара %1: у замера %2 теперь плотность %3 кг/м^3, а поправка построена по %4 кг/м^3 (другой замер под "
     u"тем же номером)",
     u"Pair %1: record %2 now has a density of %3 kg/m^3, the correlation was made with %4 kg/m^3 (another "
     u"measurement under the same number)"},
    {u"LotCorrected", u"%1 (с поправкой)", u"%1 (corrected)"},
    {u"LotCorrection", u"Поправка по кернам", u"Correlation to cores"},
    {u"ChartCorrected", u"Плотность с поправкой", u"Corrected density"},
    {u"ChartCorrectedMean", u"Среднее с поправкой", u"Corrected mean"},
    {u"CorrNotApplied", u"не применяется: %1", u"not applied: %1"},
    {u"CorrMoreIssues", u"(и ещё замечаний: %1)", u"(and %1 more)"},
    {u"CorrNotForLot",
     u"Выбранная поправка по кернам не подходит к показанной партии; откройте окно поправки по кернам:",
     u"The correlation chosen does not hold for the lot shown; open the correlation window:"},
    {u"CorrApplied", u"Поправка по кернам применена к партии",
     u"The correlation to cores is applied to the lot"},
    {u"CorrRemoved", u"Поправка по кернам снята: показаны измеренные значения",
     u"The correlation to cores is removed: the measured values are shown"},
    {u"AccMenu", u"Приёмка партии", u"Lot acceptance"},
    {u"AccMenuHint", u"Поправка по кернам, пределы приёмки и протокол для показанной таблицы",
     u"Correlation to cores, acceptance limits and the report for the table shown"},
    {u"AccLotEmpty", u"Таблица пуста: партии нет", u"The table is empty: there is no lot"},
    {u"CorrMenu", u"Поправка по кернам...", u"Correlation to cores..."},
    {u"CorrMenuHint", u"Пары «замер – плотность керна», сдвиг или прямая для партии",
     u"Pairs of a record and a core density; the offset or the line for the lot"},
    {u"CorrWindow", u"Поправка по кернам", u"Correlation to cores"},
    {u"CorrPairs", u"Пары замер – керн", u"Pairs of record and core"},
    {u"CorrPairsHint",
     u"Номер замера и плотность керна, набранные или вставленные из таблицы двумя столбцами (Ctrl+V); Delete "
     u"очищает ячейки, Ctrl+Delete удаляет строки",
     u"A record number and a core density, typed in or pasted from a spreadsheet as two columns (Ctrl+V); "
     u"Delete clears cells, Ctrl+Delete removes rows"},
    {u"CorrRecordHead", u"Замер", u"Record"},
    {u"CorrCoreHead", u"Керн, кг/м^3", u"Core, kg/m^3"},
    {u"CorrGaugeHead", u"Прибор, кг/м^3", u"Gauge, kg/m^3"},
    {u"CorrOffsetResidualHead", u"Остаток (сдвиг)", u"Residual (offset)"},
    {u"CorrLineResidualHead", u"Остаток (прямая)", u"Residual (line)"},
    {u"CorrNoteHead", u"Замечание", u"Note"},
    {u"CorrNoteOutlier", u"выброс", u"outlier"},
    {u"CorrPaste", u"&Вставить", u"&Paste"},
    {u"CorrPasteHint", u"Вставить два столбца из буфера обмена: номер замера и плотность керна",
     u"Paste two columns from the clipboard: record number and core density"},
    {u"CorrDeleteRows", u"&Удалить строки", u"&Delete rows"},
    {u"CorrDeleteRowsHint", u"Удалить выделенные пары (Ctrl+Delete)",
     u"Remove the selected pairs (Ctrl+Delete)"},
    {u"CorrClear", u"О&чистить", u"C&lear"},
    {u"CorrClearHint", u"Удалить все пары", u"Remove every pair"},
    {u"CorrOffsetKind", u"&Сдвиг", u"&Offset"},
    {u"CorrOffsetKindHint", u"Керн = прибор + сдвиг; от 2 пар", u"Core = gauge + offset; from 2 pairs"},
    {u"CorrLineKind", u"П&рямая", u"L&ine"},
    {u"CorrLineKindHint", u"Керн = наклон × прибор + свободный член (наименьшие квадраты); от 5 пар",
     u"Core = slope × gauge + intercept (least squares); from 5 pairs"},
    {u"CorrKeepOutliers", u"Ос&тавить выбросы в расчёте", u"&Keep outliers in the fit"},
    {u"CorrKeepOutliersHint",
     u"Выброс отменяет расчёт; отметьте, только если керн проверен и его нужно учесть",
     u"An outlier refuses the fit; tick this only when the core was checked and must count"},
    {u"CorrName", u"&Название:", u"&Name:"},
    {u"CorrNameHint", u"Как протокол назовёт поправку (необязательно)",
     u"How the report names the correlation (optional)"},
    {u"CorrAuthor", u"&Автор:", u"&Author:"},
    {u"CorrAuthorHint", u"Кто построил поправку", u"Who made the correlation"},
    {u"CorrIssues", u"&Замечания", u"P&roblems"},
    {u"CorrIssuesHint", u"Почему выбранную поправку нельзя применить; ничего не исправляется молча",
     u"Why the fit chosen cannot be applied; nothing is corrected on the quiet"},
    {u"CorrStatus", u"Состояние", u"State"},
    {u"CorrStatusOk", u"Выбранную поправку можно применить к партии",
     u"The fit chosen can be applied to the lot"},
    {u"CorrStatusBlocked", u"Выбранную поправку применить нельзя: исправьте пары по списку замечаний",
     u"The fit chosen cannot be applied: mend the pairs as the problems say"},
    {u"CorrApply", u"&Применить к партии", u"Appl&y to the lot"},
    {u"CorrApplyHint",
     u"Применить выбранную поправку: значения с поправкой появятся в статистике, графике, "
     u"Excel и протоколе",
     u"Apply the fit chosen: the corrected values appear in the statistics, the chart, Excel and the report"},
    {u"CorrRemove", u"Сн&ять поправку", u"Re&move correction"},
    {u"CorrRemoveHint", u"Без поправки: показываются только измеренные значения",
     u"No correction: only the measured values are shown"},
    {u"CorrClose", u"Закрыть", u"Close"},
    {u"CorrCloseHint", u"Закрыть, не меняя поправку партии", u"Close without changing the lot's correlation"},
    {u"CorrBadRecord", u"Строка %1: «%2» не является номером замера",
     u"Row %1: \"%2\" is not a record number"},
    {u"CorrPasteLine",
     u"Вставляемый текст, строка %1: ожидаются номер замера и плотность керна. Ничего не вставлено",
     u"The text pasted, line %1: a record number and a core density expected. Nothing was pasted"},
    {u"CorrPasteEmpty", u"В буфере обмена нет пар «номер замера – плотность керна»",
     u"The clipboard holds no pairs of a record number and a core density"},
    {u"CorrPlotTitle", u"Керн и прибор", u"Core against gauge"},
    {u"CorrPlotGauge", u"Плотность прибора, кг/м^3", u"Gauge density, kg/m^3"},
    {u"CorrPlotCore", u"Плотность керна, кг/м^3", u"Core density, kg/m^3"},
    {u"CorrPlotPairs", u"пары", u"pairs"},
    {u"CorrPlotOutliers", u"выбросы", u"outliers"},
    {u"CorrPlotOffset", u"сдвиг", u"offset"},
    {u"CorrPlotLine", u"прямая", u"line"},
    {u"CorrPlotHint", u"Пары замер – керн, сдвиг и прямая", u"The pairs, the offset and the line"},
    {u"LimMenu", u"Пределы и правило приёмки...", u"Acceptance limits and rule..."},
    {u"LimMenuHint", u"Название партии, пределы приёмки и правило заключения",
     u"The lot's name, its acceptance limits and the rule of the verdict"},
    {u"LimWindow", u"Пределы и правило приёмки", u"Acceptance limits and rule"},
    {u"LimLotName", u"&Партия:", u"&Lot:"},
    {u"LimLotNameHint", u"Название партии в протоколе", u"The lot's name in the report"},
    {u"LimQuantity", u"Что оценивается", u"What is judged"},
    {u"LimCompaction", u"&Коэффициент уплотнения", u"&Compaction factor"},
    {u"LimCompactionHint", u"Коэффициент уплотнения с поправкой по кернам",
     u"The compaction factor from the corrected density"},
    {u"LimDensity", u"&Окно плотности", u"&Density window"},
    {u"LimDensityHint", u"Плотность с поправкой, кг/м^3, между пределами",
     u"The corrected density, kg/m^3, between limits"},
    {u"LimLimits", u"Пределы", u"Limits"},
    {u"LimLowerCompaction", u"&Минимум:", u"&Minimum:"},
    {u"LimLowerCompactionHint", u"Минимальный коэффициент уплотнения; по умолчанию - из статистики партии",
     u"The minimum compaction factor; by default the lot statistics' one"},
    {u"LimLowerDensity", u"&Минимум, кг/м^3:", u"&Minimum, kg/m^3:"},
    {u"LimLowerDensityHint", u"Нижняя граница окна плотности", u"The lower end of the density window"},
    {u"LimUpper", u"Макс&имум", u"Ma&ximum"},
    {u"LimUpperHint", u"Задать и верхний предел", u"Set an upper limit too"},
    {u"LimRule", u"Правило заключения", u"Rule of the verdict"},
    {u"LimEvery", u"Ка&ждый замер в пределах", u"&Every point within the limits"},
    {u"LimEveryHint", u"Партия принята, если каждый оцениваемый замер в пределах",
     u"The lot passes when every judged point is within the limits"},
    {u"LimMean", u"&Среднее, допуск:", u"Mea&n, tolerance:"},
    {u"LimMeanHint", u"Среднее в пределах и ни один замер не выходит за предел более чем на допуск",
     u"The mean within the limits and no point further outside a limit than the tolerance"},
    {u"LimTolerance", u"Допуск", u"Tolerance"},
    {u"LimPwl", u"&PWL, порог:", u"&PWL, threshold:"},
    {u"LimPwlHint", u"Процент в пределах (PWL) не ниже порога; нужно не менее 3 замеров",
     u"Percent within limits (PWL) at or above the threshold; needs at least 3 points"},
    {u"LimThreshold", u"Порог PWL", u"PWL threshold"},
    {u"LimOk", u"ОК", u"OK"},
    {u"LimOkHint", u"Сохранить пределы и правило", u"Keep the limits and the rule"},
    {u"LimCancel", u"Отмена", u"Cancel"},
    {u"LimCancelHint", u"Закрыть без изменений", u"Close without a change"},
    {u"LimMaxBelowMin", u"Максимум (%1) меньше минимума (%2)", u"The maximum (%1) is below the minimum (%2)"},
    {u"HdrMenu", u"Шапка протокола...", u"Report header..."},
    {u"HdrMenuHint", u"Организация, логотип, договор, объект, оператор: заполняются один раз",
     u"Organisation, logo, contract, object, operator: filled in once"},
    {u"HdrWindow", u"Шапка протокола приёмки", u"Acceptance report header"},
    {u"HdrOrganisation", u"&Организация:", u"&Organisation:"},
    {u"HdrOrganisationHint", u"Название лаборатории или организации вверху протокола",
     u"The lab's or organisation's name at the top of the report"},
    {u"HdrLogo", u"Ло&готип:", u"&Logo:"},
    {u"HdrLogoHint", u"Рисунок PNG, JPEG, BMP или GIF; печатается в поле 40 × 20 мм",
     u"A PNG, JPEG, BMP or GIF picture; printed in a 40 × 20 mm box"},
    {u"HdrLogoBrowse", u"&Выбрать...", u"&Browse..."},
    {u"HdrLogoBrowseHint", u"Выбрать файл логотипа", u"Choose the logo's file"},
    {u"HdrLogoBrowseTitle", u"Логотип", u"Logo"},
    {u"HdrLogoFilter", u"Рисунки (*.png *.jpg *.jpeg *.bmp *.gif)",
     u"Pictures (*.png *.jpg *.jpeg *.bmp *.gif)"},
    {u"HdrLogoClear", u"&Убрать", u"&Remove"},
    {u"HdrLogoClearHint", u"Протокол без логотипа", u"A report without a logo"},
    {u"HdrLogoPicture", u"Логотип, как он будет прочитан", u"The logo as it is read"},
    {u"HdrNoLogo", u"Без логотипа", u"No logo"},
    {u"HdrProject", u"&Договор / проект:", u"&Contract / project:"},
    {u"HdrProjectHint", u"Договор или проект", u"The contract or project"},
    {u"HdrRoad", u"Дорог&а / объект:", u"Road / ob&ject:"},
    {u"HdrRoadHint", u"Пусто: названия объектов из замеров", u"Empty: the objects' names of the records"},
    {u"HdrLayer", u"С&лой:", u"La&yer:"},
    {u"HdrLayerHint", u"Конструктивный слой", u"The pavement layer"},
    {u"HdrMix", u"&Смесь / материал:", u"&Mix / material:"},
    {u"HdrMixHint", u"Пусто: названия материалов из замеров", u"Empty: the materials' names of the records"},
    {u"HdrGauge", u"&Прибор:", u"&Gauge:"},
    {u"HdrGaugeHint", u"Прибор и его номер", u"The gauge and its serial number"},
    {u"HdrOperator", u"Опе&ратор:", u"O&perator:"},
    {u"HdrOperatorHint", u"Кто проводил испытания; также автор новых поправок по кернам",
     u"Who did the tests; also the author of new correlations"},
    {u"HdrOkHint", u"Сохранить шапку протокола", u"Keep the report header"},
    {u"HdrNote",
     u"Партия, эталонная плотность и даты замеров берутся из партии; пустые поля объекта и материала - из "
     u"замеров.",
     u"The lot, the reference density and the dates come from the lot; empty object and material fields come "
     u"from the records."},
    {u"AccReportMenu", u"Протокол приёмки...", u"Acceptance report..."},
    {u"AccReportMenuHint", u"Заключение по партии: протокол в окне просмотра (печать, PDF)",
     u"The lot's verdict: the report in the preview (print, PDF)"},
    // Lot acceptance of the archive's lots
    {u"ArchiveLotCorrHint", u"Пары «замер – плотность керна» текущей партии; поправка хранится в архиве",
     u"Pairs of a record and a core density for the current lot; the correlation is kept in the archive"},
    {u"ArchiveLotLimitsHint", u"Пределы приёмки и правило заключения текущей партии, хранятся в архиве",
     u"The current lot's acceptance limits and rule, kept in the archive"},
    {u"ArchiveLotReportHint", u"Заключение по текущей партии: протокол в окне просмотра (печать, PDF)",
     u"The current lot's verdict: the report in the preview (print, PDF)"},
    {u"AccLotTooMany", u"В партии «%1» записей: %2; протокол приёмки берёт не более %3",
     u"The lot \"%1\" has %2 records; the acceptance report takes at most %3"},
    {u"ArchiveCorrKept", u"Поправка по кернам сохранена в архиве и применена к партии «%1»",
     u"The correlation to cores is kept in the archive and applied to the lot \"%1\""},
    {u"ArchiveCorrRemoved", u"Поправка по кернам снята с партии «%1»; она остаётся в архиве",
     u"The correlation to cores is removed from the lot \"%1\"; it stays in the archive"},
    {u"CorrForMix", u"Для смеси «%1»: применять и к другим её партиям",
     u"For the mix \"%1\": to be used for its other lots too"},
    {u"CorrForMixHint", u"Поправка будет предложена в окне поправки каждой партии этой смеси",
     u"The correlation is offered in the correlation window of every lot of this mix"},
    {u"CorrKept", u"Поправки смеси:", u"Kept for the mix:"},
    {u"CorrKeptHint", u"Поправки, сохранённые в архиве для смеси этой партии, новые сверху",
     u"Correlations kept in the archive for this lot's mix, the newest first"},
    {u"CorrUseKept", u"Применить эту", u"Use this one"},
    {u"CorrUseKeptHint", u"Применить к партии выбранную поправку смеси как есть",
     u"Apply the chosen correlation of the mix to the lot as it is"},
    {u"AccCliStoredCorrelation", u"Поправка по кернам, сохранённая для партии, к её записям больше не подходит:",
     u"The correlation to cores kept for the lot no longer holds for its records:"},
    {u"AccCliLotUsage",
     u"Протокол приёмки партии архива (её пределы, правило и поправка из архива; параметры их заменяют):\n"
     u"       lum1 --export acceptance-pdf --lot ПАРТИЯ ВЫХОД.pdf [параметры]",
     u"The acceptance report of an archive lot (its limits, rule and correlation from the archive; the\n"
     u"options replace them):\n"
     u"       lum1 --export acceptance-pdf --lot LOT OUTPUT.pdf [options]"},
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
    {u"CliUsageMinCompaction",
     u"  --min-compaction N  минимальный коэффициент уплотнения листа статистики xlsx\n"
     u"                      (от 0 до 2; без него - из настроек программы, иначе 0.98)",
     u"  --min-compaction N  minimum compaction factor of the xlsx statistics sheet\n"
     u"                      (0 to 2; without it, the program's setting, else 0.98)"},
    {u"CliBadMinCompaction",
     u"Неверный минимальный коэффициент уплотнения: %1 (нужно число от 0 до 2, например 0.98)",
     u"Wrong minimum compaction factor: %1 (a number from 0 to 2 is needed, for example 0.98)"},
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
