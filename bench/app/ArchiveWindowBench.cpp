// The archive window over a season of a million records: what a filter costs until the view
// shows its first rows (the model's count, its first page and the paint of the rows), and a
// 2500-record lot put into the main table (the lot's records read, the store replaced, the
// table filled). The archive is made once, through the store's own arrivals, and kept beside the
// benchmark for the next runs.
#include "app/ArchiveFeatures.h"
#include "app/MainWindow.h"
#include "archive/ArchiveImport.h"
#include "archive/ArchiveLots.h"
#include "archive/ArchiveQuery.h"
#include "archiveui/ArchiveWindow.h"
#include "platform/Cp1251.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

using namespace lum1;

namespace {

constexpr int kRecords = 1000000;
constexpr int kObjects = 40;
const QString kLot = QStringLiteral("Bench lot");

class BenchDialogs : public IDialogs {
public:
    MsgResult Message(const MessageRequest& r) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(r.text));
        return MsgResult::Ok;
    }
    std::optional<QString> OpenFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> SaveFileName(const FileDialogRequest&) override { return std::nullopt; }
};

void SetText(uint8_t (&field)[22], const QString& text) {
    const QByteArray bytes = EncodeCp1251(text);
    std::memset(field, 0, sizeof field);
    field[0] = static_cast<uint8_t>(std::min<qsizetype>(bytes.size(), 21));
    std::memcpy(field + 1, bytes.constData(), field[0]);
}

// A record of a season of 2024: about 2700 a day over a year, on 40 objects and 5 mixes.
TMeasRecord SeasonRecord(int n) {
    TMeasRecord r{};
    r.Number = static_cast<uint16_t>(n % MaxRecords + 1);
    const QDateTime t = QDateTime(QDate(2024, 1, 1), QTime(0, 0)).addSecs(static_cast<qint64>(n) * 31);
    r.Year = static_cast<uint8_t>(t.date().year() - 2000);
    r.Month = static_cast<uint8_t>(t.date().month());
    r.Day = static_cast<uint8_t>(t.date().day());
    r.Hours = static_cast<uint8_t>(t.time().hour());
    r.Minutes = static_cast<uint8_t>(t.time().minute());
    r.Seconds = n % 211 == 0 ? DeletedMark : static_cast<uint8_t>(t.time().second());
    SetText(r.ObjectName, QStringLiteral("Трасса Р-%1, км %2").arg(n % kObjects + 1).arg(n % 300));
    SetText(r.MaterialName, QStringLiteral("ЩМА-%1").arg(10 + n % 5 * 5));
    r.Density = 2300.0f + static_cast<float>(n % 170) * 0.61f;
    r.RefDensity = n % 7 == 0 ? 0.0f : 2410.0f;
    r.Latitude = (5509 << 16) | (n * 37 % 65536);
    r.Longitude = (3730 << 16) | (n * 91 % 65536);
    r.Temperature = 140.25f - static_cast<float>(n % 90);
    r.Thickness = static_cast<uint8_t>(40 + n % 4 * 10);
    r.AverNum = static_cast<uint8_t>(1 + n % 5);
    r.Reserved3[0] = static_cast<uint8_t>(n);
    r.Reserved3[1] = static_cast<uint8_t>(n >> 8);
    r.Reserved1[0] = static_cast<uint8_t>(n >> 16);
    return r;
}

// The archive of a million records and its 2500-record lot, made on the first run.
QString SeasonArchive() {
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/archive-1m.sqlite");
    TArchiveConnection connection;
    connection.SqlitePath = path;
    TArchive archive;
    if (TArchiveError e = archive.Open(connection)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(e.Detail));
        std::exit(1);
    }
    qint64 total = CountRecords(archive, {}).Total;
    if (total < kRecords) {
        std::fprintf(stderr, "making %s (%d records, once)...\n", qPrintable(path), kRecords);
        QElapsedTimer t;
        t.start();
        std::vector<TMeasRecord> records(MaxRecords);
        for (int from = static_cast<int>(total); from < kRecords; from += MaxRecords) {
            const int n = std::min(MaxRecords, kRecords - from);
            for (int i = 0; i < n; ++i)
                records[static_cast<size_t>(i)] = SeasonRecord(from + i);
            TDownloadInfo info;
            info.ParamText = QStringLiteral("LUM-1.2 No %1").arg(417 + from / 100000);
            if (!ArchiveDownload(archive, {records.data(), static_cast<size_t>(n)}, info).Ok()) {
                std::fprintf(stderr, "archiving failed\n");
                std::exit(1);
            }
        }
        std::fprintf(stderr, "made in %.1f s\n", static_cast<double>(t.elapsed()) / 1000);
    }
    if (!FindLotByName(archive, kLot)) {
        TLot lot;
        lot.Name = kLot;
        const qint64 id = CreateLot(archive, lot).Id;
        TArchiveFilter filter;
        filter.Object = QStringLiteral("Трасса Р-7,");
        std::vector<qint64> ids;
        for (const TArchiveRow& row : FetchRecords(archive, filter, {1, false}, 0, MaxRecords))
            ids.push_back(row.Id);
        AssignToLot(archive, ids, id);
    }
    return path;
}

struct TBenchWindow {
    QTemporaryDir dir;
    BenchDialogs dialogs;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> form;
    TfrmArchive* window = nullptr;

    explicit TBenchWindow(const QString& archivePath) {
        QFile ini(dir.filePath(QStringLiteral("lum1.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write("[Config]\r\nLangId=Rus\r\n[Archive]\r\nPath=" + archivePath.toUtf8() + "\r\n");
        ini.close();
        program = std::make_unique<Program>(dir.path(), dir.filePath(QStringLiteral("lum1.ini")),
                                            dir.filePath(QStringLiteral("events")));
        TForm1::Hooks hooks;
        hooks.endProcess = [](int) {};
        form = std::make_unique<TForm1>(*program, dialogs, hooks);
        form->resize(1000, 700);
        form->show();
        form->ArchiveFeatures()->AArchiveOpen->trigger();
        window = form->ArchiveFeatures()->Window();
    }
    ~TBenchWindow() { form->FormClose(); }
};

std::unique_ptr<TBenchWindow> window;

// An object's text and a month, as a user types them: the count, the first page, the rows drawn.
void FilterFirstRows(benchmark::State& state) {
    TfrmArchive* w = window->window;
    w->ResetFilter();
    w->FromDate->setDate(QDate(2024, 6, 1));
    w->ToDate->setDate(QDate(2024, 6, 30));
    w->FromCheck->setChecked(true);
    w->ToCheck->setChecked(true);
    int object = 0;
    for (auto _ : state) {
        // A different object each time, so that no page is left from the time before.
        w->ObjectFilter->setCurrentText(QStringLiteral("Р-%1,").arg(++object % kObjects + 1));
        w->ApplyFilter();
        w->Table->viewport()->repaint();
        benchmark::DoNotOptimize(w->Model->Counts().Shown);
    }
    state.counters["shown"] = static_cast<double>(w->Model->Counts().Shown);
    state.counters["total"] = static_cast<double>(w->Model->Counts().Total);
}
BENCHMARK(FilterFirstRows)->Unit(benchmark::kMillisecond);

// The whole archive again, newest first, or sorted by a column without an index of its own.
void WholeArchiveFirstRows(benchmark::State& state) {
    TfrmArchive* w = window->window;
    w->ResetFilter();
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        w->Model->sort(1, Qt::AscendingOrder);
        w->Model->sort(column, Qt::DescendingOrder);
        w->Table->viewport()->repaint();
        benchmark::DoNotOptimize(w->Model->Row(0));
    }
    state.SetLabel(column == 1 ? "time" : "density");
}
BENCHMARK(WholeArchiveFirstRows)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Scrolled far down: a page at the end of the archive.
void LastPage(benchmark::State& state) {
    TfrmArchive* w = window->window;
    w->ResetFilter();
    w->Model->sort(1, Qt::DescendingOrder);
    for (auto _ : state) {
        w->Model->Refresh();
        benchmark::DoNotOptimize(w->Model->Row(w->Model->rowCount() - 1));
    }
}
BENCHMARK(LastPage)->Unit(benchmark::kMillisecond);

// The lot of 2500 records into the main table, with its statistics panel.
void LotIntoMainTable(benchmark::State& state) {
    TfrmArchive* w = window->window;
    w->Refresh();
    w->SetCurrentLot(w->CurrentLot->itemData(w->CurrentLot->findText(kLot)).toLongLong());
    for (auto _ : state)
        w->ShowLotInMainTable(true);
    state.counters["records"] = window->program->Store.RecordCount.load();
}
BENCHMARK(LotIntoMainTable)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    window = std::make_unique<TBenchWindow>(SeasonArchive());
    benchmark::RunSpecifiedBenchmarks();
    window.reset();
    benchmark::Shutdown();
    const QFileInfo file(QCoreApplication::applicationDirPath() + QStringLiteral("/archive-1m.sqlite"));
    std::printf("archive file: %.1f MB, %.0f bytes a record (with its WAL file: %lld bytes)\n",
                static_cast<double>(file.size()) / 1e6, static_cast<double>(file.size()) / kRecords,
                static_cast<long long>(QFileInfo(file.filePath() + QStringLiteral("-wal")).size()));
    return 0;
}
