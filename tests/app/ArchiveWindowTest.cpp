// The archive window in the main window, driven with keys and clicks over an SQLite archive in a
// temporary folder: the menu, the texts in both languages, the table with the main table's
// texts and its sorts, the filters and counts, the chosen records and lots in the main table,
// the lot commands, the import of files, and an archive in trouble.
#include "ArchiveFixture.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include "app/AcceptanceFeatures.h"
#include "app/ArchiveFeatures.h"
#include "app/DeviceLink.h"
#include "app/LotFeatures.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "app/StatusStrip.h"
#include "archive/ArchiveAcceptance.h"
#include "archive/ArchiveImport.h"
#include "archive/ArchiveLots.h"
#include "archive/ArchiveQuery.h"
#include "archiveui/ArchiveWindow.h"
#include "archiveui/LotDialog.h"
#include "diag/StatusWindow.h"
#include "lot/AcceptanceLimitsDialog.h"
#include "lot/CorrelationWindow.h"
#include "lot/LotPanel.h"
#include "report/AcceptanceReport.h"
#include "results/ResultsTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace lum1 {
namespace {

// n records, one a minute from 08:00 on 1 June 2024, on three objects and two materials, with
// temperatures and densities that differ from row to row.
std::vector<TMeasRecord> Records(int count, int first = 1) {
    std::vector<TMeasRecord> records = test::MakeRecords(count, first);
    for (TMeasRecord& r : records)
        r.Temperature = 15.5f + static_cast<float>((r.Number * 7) % 23);
    return records;
}

class ArchiveWindowTest : public ::testing::Test {
protected:
    void SetUp() override { dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n"); }
    void TearDown() override {
        if (form)
            form->FormClose();
    }

    void Start(const char* usbLibrary = nullptr) {
        program = std::make_unique<Program>(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
        TForm1::Hooks hooks;
        hooks.endProcess = [this](int code) { exits.push_back(code); };
        hooks.openUrl = [this](const QUrl& url, TOpenFailed) { helps.push_back(url.toString()); };
        if (usbLibrary)
            hooks.usbLibraryName = QString::fromUtf8(usbLibrary);
        form = std::make_unique<TForm1>(*program, dialogs, hooks);
        form->CreateStatusWindow();
        form->resize(900, 600);
        form->show();
        features = form->ArchiveFeatures();
    }

    // Records put into the archive by a download of the test's own.
    void Archive(const std::vector<TMeasRecord>& records,
                 const QString& gauge = QStringLiteral("LUM-1.2 No 0417")) {
        TArchive archive;
        ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        TDownloadInfo info;
        info.ParamText = gauge;
        for (size_t from = 0; from < records.size(); from += MaxRecords) {
            const size_t n = std::min<size_t>(MaxRecords, records.size() - from);
            ASSERT_TRUE(ArchiveDownload(archive, {records.data() + from, n}, info).Ok());
        }
    }

    TfrmArchive* OpenWindow() {
        features->AArchiveOpen->trigger();
        TfrmArchive* w = features->Window();
        EXPECT_TRUE(w && QTest::qWaitForWindowExposed(w));
        return w;
    }

    QString Cell(TfrmArchive* w, int row, int column) const {
        return w->Model->data(w->Model->index(row, column)).toString();
    }
    QStringList Column(TfrmArchive* w, int column) const {
        QStringList cells;
        for (int row = 0; row < w->Model->rowCount(); ++row)
            cells << Cell(w, row, column);
        return cells;
    }
    // The rows first .. first + count - 1 chosen with the keyboard, as a user does.
    void Choose(TfrmArchive* w, int first, int count) {
        w->Table->setFocus();
        QTest::keyClick(w->Table, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < first; ++i)
            QTest::keyClick(w->Table, Qt::Key_Down);
        for (int i = 1; i < count; ++i)
            QTest::keyClick(w->Table, Qt::Key_Down, Qt::ShiftModifier);
    }
    // Answers the next modal lot dialog with what `fill` types into it.
    void WhenLotDialog(std::function<void(TLotDialog*)> fill) {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [poll, fill] {
            if (auto* d = qobject_cast<TLotDialog*>(QApplication::activeModalWidget())) {
                poll->deleteLater();
                fill(d);
            }
        });
        poll->start(5);
    }
    static void TypeInto(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    QByteArray StoreBytes() const {
        return QByteArray(reinterpret_cast<const char*>(program->Store.Records.data()),
                          program->Store.RecordCount.load() * RecordSize);
    }
    QStringList MessagesText() const {
        QStringList texts;
        for (const MessageRequest& m : dialogs.messages)
            texts << m.text;
        return texts;
    }

    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> form;
    TArchiveFeatures* features = nullptr;
    std::vector<int> exits;
    std::vector<QString> helps;
};

TEST_F(ArchiveWindowTest, MenuAfterTheDocumentedOnesAndEveryControlNamedInBothLanguages) {
    Archive(Records(5));
    Start();
    const QList<QAction*> menus = form->menuBar()->actions();
    ASSERT_EQ(menus.size(), 6);
    EXPECT_EQ(menus[4], form->itmHelp->menuAction());
    EXPECT_EQ(menus[5], features->itmArchive->menuAction());
    EXPECT_EQ(form->itmFile->actions().back(), form->AExit);
    EXPECT_EQ(features->itmArchive->actions(),
              (QList<QAction*>{features->AArchiveOpen, features->AArchiveImport}));
    EXPECT_EQ(features->AArchiveImport->text(), QStringLiteral("Import to archive..."));

    TfrmArchive* w = OpenWindow();
    ASSERT_TRUE(w);
    auto expectNamed = [w](bool russian) {
        for (QWidget* c : w->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(c) || qobject_cast<QComboBox*>(c) ||
                                 qobject_cast<QAbstractSpinBox*>(c) || qobject_cast<QAbstractItemView*>(c) ||
                                 qobject_cast<QLineEdit*>(c);
            // A date box's own text field is part of the box, which carries the names.
            if (!control || !c->isVisibleTo(w) || c->inherits("QHeaderView") ||
                qobject_cast<QAbstractSpinBox*>(c->parentWidget()))
                continue;
            EXPECT_FALSE(c->toolTip().isEmpty()) << c->objectName().toStdString();
            EXPECT_FALSE(c->accessibleName().isEmpty()) << c->objectName().toStdString();
            if (russian && !c->accessibleName().isEmpty()) {
                EXPECT_TRUE(c->accessibleName().contains(QRegularExpression(QStringLiteral("[а-яА-Я]"))))
                    << c->accessibleName().toStdString();
            }
        }
        for (QMenu* menu : {w->itmArchive, w->itmLot})
            for (QAction* a : menu->actions())
                if (!a->isSeparator()) {
                    EXPECT_FALSE(a->toolTip().isEmpty() || a->text().isEmpty())
                        << a->objectName().toStdString();
                }
    };
    expectNamed(false);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Measurement archive"));

    form->ALangRusExecute();
    expectNamed(true);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Архив замеров"));
    EXPECT_EQ(features->itmArchive->title(), QStringLiteral("Архив"));
    // The column titles are the main table's, in the new language.
    EXPECT_EQ(w->Model->headerData(2, Qt::Horizontal).toString(),
              form->Table().Cell(2, 0) + u'\n' + form->Table().Cell(2, 1));
    EXPECT_TRUE(w->Model->headerData(5, Qt::Horizontal).toString().startsWith(QStringLiteral("Темп")));

    // F1 opens the manual of the language at the archive's section; Escape closes the window.
    QTest::keyClick(w->Table, Qt::Key_F1);
    ASSERT_EQ(helps.size(), 1u);
    EXPECT_TRUE(helps[0].contains(QStringLiteral("Lum1RusHelp")));
    EXPECT_TRUE(helps[0].endsWith(QStringLiteral("#archive")));
    QTest::keyClick(w->Table, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(ArchiveWindowTest, ColumnTitlesSortTheWholeArchiveBothWays) {
    const std::vector<TMeasRecord> records = Records(30);
    Archive(records);
    Start();
    TfrmArchive* w = OpenWindow();
    ASSERT_TRUE(w);
    auto recordOf = [&](int row) { return records[static_cast<size_t>(Cell(w, row, 0).toInt() - 1)]; };
    // Each key of a record as the column sorts it.
    const struct {
        int column;
        std::function<double(const TMeasRecord&)> key;
    } columns[] = {
        {0, [](const TMeasRecord& r) { return double(r.Number); }},
        {2, [](const TMeasRecord& r) { return double(r.Density); }},
        {5, [](const TMeasRecord& r) { return double(r.Temperature); }},
    };
    QHeaderView* header = w->Table->horizontalHeader();
    for (const auto& c : columns) {
        SCOPED_TRACE(c.column);
        const QPoint title(header->sectionViewportPosition(c.column) + 5, header->height() / 2);
        for (const bool descending : {false, true}) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, title);
            EXPECT_EQ(w->Model->Sort().Column, c.column);
            ASSERT_EQ(w->Model->Sort().Descending, descending);
            for (int row = 1; row < w->Model->rowCount(); ++row) {
                const double before = c.key(recordOf(row - 1)), here = c.key(recordOf(row));
                EXPECT_TRUE(descending ? before >= here : before <= here) << row;
            }
        }
    }
    // The selection and the keys still work on the sorted table.
    Choose(w, 2, 3);
    EXPECT_EQ(w->ChosenCount(), 3);
}

TEST_F(ArchiveWindowTest, FiltersNarrowTheTableAndTheCountsSayWhatIsShown) {
    std::vector<TMeasRecord> records = Records(12);
    records[3].Seconds = DeletedMark;
    records[8].Seconds = DeletedMark;
    Archive({records.begin(), records.begin() + 8}, QStringLiteral("LUM-1.2 No 0417"));
    Archive({records.begin() + 8, records.end()}, QStringLiteral("LUM-1.2 No 0552"));
    Start();
    TfrmArchive* w = OpenWindow();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->CountsText(), QStringLiteral("Shown: 12 of 12 records (deleted: 2). Chosen: 1"));

    // A part of the objects' names is a part: never completed to the first name that has it.
    TypeInto(w->ObjectFilter->lineEdit(), QStringLiteral("road"));
    QTest::keyClick(w->ObjectFilter->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w->ObjectFilter->currentText(), QStringLiteral("road"));
    EXPECT_EQ(w->Model->Counts().Shown, 12);
    // An object's text in any letter case, applied with Enter. Records 1, 4, 7 and 10 are on "Road 1".
    TypeInto(w->ObjectFilter->lineEdit(), QStringLiteral("road 1"));
    QTest::keyClick(w->ObjectFilter->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w->Model->Counts().Shown, 4);
    EXPECT_EQ(Column(w, 6), QStringList(4, QStringLiteral("Road 1")));
    EXPECT_TRUE(w->CountsText().startsWith(QStringLiteral("Shown: 4 of 12 records (deleted: 1)")));

    // Without the records deleted on the gauge (record 4).
    w->DeletedCheck->setFocus();
    QTest::keyClick(w->DeletedCheck, Qt::Key_Space);
    EXPECT_EQ(Column(w, 0), (QStringList{"10", "7", "1"}));
    EXPECT_TRUE(w->CountsText().startsWith(QStringLiteral("Shown: 3 of 12 records (deleted: 0)")));

    // The gauge that brought records 9..12.
    TypeInto(w->GaugeFilter->lineEdit(), QStringLiteral("0552"));
    QTest::keyClick(w->GaugeFilter->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(Column(w, 0), QStringList{"10"});

    // Everything again, then a material and a day: records 1..12 were measured on 1 June 2024.
    QTest::mouseClick(w->ResetButton, Qt::LeftButton);
    EXPECT_EQ(w->Model->Counts().Shown, 12);
    TypeInto(w->MaterialFilter->lineEdit(), QStringLiteral("mix a"));
    QTest::keyClick(w->MaterialFilter->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w->Model->Counts().Shown, 6);
    w->FromDate->setDate(QDate(2024, 6, 2));
    QTest::mouseClick(w->FromCheck, Qt::LeftButton);
    EXPECT_EQ(w->Model->Counts().Shown, 0);
    EXPECT_TRUE(w->CountsText().startsWith(QStringLiteral("Shown: 0 of 12 records")));
    // The day is typed: 2024-06-01 (the day section is the last one).
    w->FromDate->setFocus();
    QTest::keyClick(w->FromDate, Qt::Key_End);
    QTest::keyClick(w->FromDate, Qt::Key_Down);
    EXPECT_EQ(w->FromDate->date(), QDate(2024, 6, 1));
    EXPECT_EQ(w->Model->Counts().Shown, 6);

    // The lot filter, chosen with the keyboard: the records in no lot (all of them).
    QTest::mouseClick(w->ResetButton, Qt::LeftButton);
    w->LotFilter->setFocus();
    QTest::keyClick(w->LotFilter, Qt::Key_Down);
    EXPECT_EQ(w->LotFilter->currentText(), QStringLiteral("In no lot"));
    EXPECT_EQ(w->Model->Counts().Shown, 12);
}

TEST_F(ArchiveWindowTest, ChosenRecordsFillTheMainTableAsAnOpenedFileWould) {
    const std::vector<TMeasRecord> records = Records(12);
    Archive(records);
    Start();
    TfrmArchive* w = OpenWindow();
    ASSERT_TRUE(w);
    // The newest first: rows 2..5 are records 10, 9, 8 and 7.
    Choose(w, 2, 4);
    EXPECT_TRUE(w->CountsText().endsWith(QStringLiteral("Chosen: 4")));
    QTest::keyClick(w->Table, Qt::Key_Return);

    QByteArray expected;
    for (int n : {10, 9, 8, 7})
        expected += test::RecordBytes(records[static_cast<size_t>(n - 1)]);
    EXPECT_EQ(StoreBytes(), expected);
    EXPECT_EQ(form->Table().rowCount(), 4);
    EXPECT_EQ(form->Table().Cell(0, 1), QStringLiteral("(4)"));
    for (int row = 0; row < 4; ++row)
        for (int c = 0; c < ResultColumns; ++c)
            EXPECT_EQ(form->Table().Cell(c, row + TResultsTable::TitleRows), Cell(w, row + 2, c)) << row << c;
    EXPECT_TRUE(form->ACopyAll->isEnabled());
    EXPECT_EQ(form->StatusBar1->Panel0Text(),
              QStringLiteral("From the archive: 4 records (chosen in the archive)"));

    // Save writes exactly those records.
    dialogs.fileAnswers.push_back(dir.File("chosen.lum1"));
    form->ASaveExecute();
    EXPECT_EQ(dir.Read("chosen.lum1"), expected);

    // While a command holds the store, the main table is left as it is and the window says why.
    {
        const TStoreHold held = form->Device().LockStore();
        ASSERT_TRUE(held.owns_lock());
        Choose(w, 0, 1);
        QTest::keyClick(w->Table, Qt::Key_Return);
    }
    EXPECT_EQ(StoreBytes(), expected);
    EXPECT_TRUE(w->StatusText().startsWith(QStringLiteral("The main table is busy")));
}

TEST_F(ArchiveWindowTest, MoreThanTheMainTableHoldsIsCutAfterAQuestion) {
    const std::vector<TMeasRecord> records = Records(MaxRecords + 100);
    Archive(records);
    Start();
    TfrmArchive* w = OpenWindow();
    ASSERT_TRUE(w);
    w->Table->setFocus();
    QTest::keyClick(w->Table, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w->ChosenCount(), MaxRecords + 100);

    dialogs.messageAnswers.push_back(MsgResult::Cancel);
    QTest::keyClick(w->Table, Qt::Key_Return);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(
        dialogs.messages[0].text,
        QStringLiteral("2600 records. The main table holds at most 2500: the first 2500 will be shown."));
    EXPECT_EQ(program->Store.RecordCount.load(), 0);

    dialogs.messageAnswers.push_back(MsgResult::Ok);
    QTest::keyClick(w->Table, Qt::Key_Return);
    ASSERT_EQ(program->Store.RecordCount.load(), MaxRecords);
    // The first 2500 of the table: the newest.
    EXPECT_EQ(program->Store.Records[0].Number, records.back().Number);
    EXPECT_EQ(program->Store.Records[MaxRecords - 1].Number, records[100].Number);
}

TEST_F(ArchiveWindowTest, LotsAreMadeFilledMovedRenamedAndDeleted) {
    const std::vector<TMeasRecord> records = Records(10);
    Archive(records);
    Start();
    TfrmArchive* w = OpenWindow();
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->ALotAssign->isEnabled()); // no lot yet

    // A new lot: an empty name is refused in the dialog, which stays open.
    QString problemShown;
    WhenLotDialog([&problemShown](TLotDialog* d) {
        QTest::keyClick(d->Name, Qt::Key_Return);
        problemShown = d->Problem->isVisible() ? d->Problem->text() : QString();
        TypeInto(d->Name, QStringLiteral("Lot A"));
        TypeInto(d->Layer, QStringLiteral("binder"));
        QTest::keyClick(d->Name, Qt::Key_Return);
    });
    QTest::mouseClick(w->NewLotButton, Qt::LeftButton);
    EXPECT_EQ(problemShown, QStringLiteral("The lot needs a name."));
    EXPECT_EQ(w->CurrentLot->currentText(), QStringLiteral("Lot A"));
    EXPECT_TRUE(w->LotDetails->text().contains(QStringLiteral("layer: binder; records: 0")));

    // Rows 0..2 (records 10, 9, 8) into lot A.
    Choose(w, 0, 3);
    QTest::mouseClick(w->AssignButton, Qt::LeftButton);
    EXPECT_EQ(w->StatusText(),
              QStringLiteral("Records put into the lot \"Lot A\": 3 (of them taken from other lots: 0)"));
    EXPECT_EQ(Cell(w, 1, 0), QStringLiteral("9"));
    EXPECT_EQ(w->Model->data(w->Model->index(1, 3), Qt::ToolTipRole).toString(),
              QStringLiteral("Lot: Lot A"));
    // The current lot's rows stand out.
    EXPECT_TRUE(w->Model->data(w->Model->index(2, 0), Qt::BackgroundRole).isValid());
    EXPECT_FALSE(w->Model->data(w->Model->index(3, 0), Qt::BackgroundRole).isValid());

    // Lot B takes rows 2..4 (records 8, 7, 6): record 8 is in lot A, and is moved only on Yes.
    WhenLotDialog([](TLotDialog* d) {
        TypeInto(d->Name, QStringLiteral("Lot B"));
        QTest::keyClick(d->Name, Qt::Key_Return);
    });
    w->ALotNew->trigger();
    ASSERT_EQ(w->CurrentLot->currentText(), QStringLiteral("Lot B"));
    Choose(w, 2, 3);
    dialogs.messageAnswers.push_back(MsgResult::No);
    w->ALotAssign->trigger();
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(
        dialogs.messages.back().text,
        QStringLiteral("1 of the chosen records belong to another lot. Move them into the lot \"Lot B\"?"));
    dialogs.messageAnswers.push_back(MsgResult::Yes);
    Choose(w, 2, 3);
    w->ALotAssign->trigger();
    EXPECT_EQ(w->StatusText(),
              QStringLiteral("Records put into the lot \"Lot B\": 3 (of them taken from other lots: 1)"));

    // Filtered by lot A: records 10 and 9 are left in it.
    w->SetCurrentLot(w->CurrentLot->itemData(w->CurrentLot->findText(QStringLiteral("Lot A"))).toLongLong());
    w->ALotFilter->trigger();
    EXPECT_EQ(Column(w, 0), (QStringList{"10", "9"}));

    // Renamed to a name taken: refused in the dialog; then to a free one.
    WhenLotDialog([&problemShown](TLotDialog* d) {
        TypeInto(d->Name, QStringLiteral("Lot B"));
        QTest::keyClick(d->Name, Qt::Key_Return);
        problemShown = d->Problem->text();
        TypeInto(d->Name, QStringLiteral("Lot C"));
        QTest::keyClick(d->Name, Qt::Key_Return);
    });
    QTest::mouseClick(w->EditLotButton, Qt::LeftButton);
    EXPECT_EQ(problemShown, QStringLiteral("The archive already has a lot named \"Lot B\"."));
    EXPECT_EQ(w->CurrentLot->currentText(), QStringLiteral("Lot C"));
    EXPECT_EQ(w->LotFilter->currentText(), QStringLiteral("Lot C")); // still filtered by it

    // The lot statistics: the lot in the main table in time order, with the panel under it.
    QTest::mouseClick(w->StatisticsButton, Qt::LeftButton);
    ASSERT_EQ(program->Store.RecordCount.load(), 2);
    EXPECT_EQ(program->Store.Records[0].Number, 9);
    EXPECT_EQ(program->Store.Records[1].Number, 10);
    ASSERT_TRUE(form->LotFeatures()->PanelShown());
    form->LotFeatures()->Recompute();
    EXPECT_TRUE(
        form->LotFeatures()->Panel()->ShownLines().join(u'\n').contains(QStringLiteral("whole table: 2")));

    // Deleted: its records stay, in no lot.
    dialogs.messageAnswers.push_back(MsgResult::Yes);
    w->ALotDelete->trigger();
    EXPECT_EQ(dialogs.messages.back().text,
              QStringLiteral("Delete the lot \"Lot C\"? Its 2 records stay in the archive, in no lot."));
    EXPECT_EQ(w->CurrentLot->currentText(), QStringLiteral("Lot B"));
    EXPECT_EQ(w->LotFilter->currentText(), QStringLiteral("All records"));
    EXPECT_EQ(w->Model->Counts().Shown, 10);

    // Taken out of their lots: rows 2..4 were lot B's.
    Choose(w, 0, 5);
    w->ALotRelease->trigger();
    EXPECT_EQ(w->StatusText(), QStringLiteral("Records taken out of their lots: 3"));
    TArchive archive;
    ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
    TArchiveFilter noLot;
    noLot.Lot = NoLot;
    EXPECT_EQ(CountRecords(archive, noLot).Shown, 10);
}

// The Lot menu's acceptance on archive lots: a correlation made for the lot's mix is kept in the
// archive with its author, offered to the mix's next lot and reused there as it is; the lot's own
// limits are kept; the report names the correlation; and the lot put into the main table is judged
// as that archive lot from the main window's submenu too.
TEST_F(ArchiveWindowTest, ArchiveLotsKeepTheirCorrelationAndLimitsAndTheReportNamesThem) {
    Archive(Records(10));
    qint64 north = 0, south = 0;
    {
        TArchive archive;
        ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        const auto lotOf = [&archive](const QString& name, int first, int last) {
            TLot lot;
            lot.Name = name;
            lot.Material = QStringLiteral("SMA 16");
            const TLotResult made = CreateLot(archive, lot);
            EXPECT_TRUE(made.Ok());
            std::vector<qint64> ids;
            for (const TArchiveRow& row : FetchRecords(archive, {}, {0, false}, 0, 100))
                if (row.Record.Number >= first && row.Record.Number <= last)
                    ids.push_back(row.Id);
            EXPECT_TRUE(AssignToLot(archive, ids, made.Id).Ok());
            return made.Id;
        };
        north = lotOf(QStringLiteral("North"), 1, 6);
        south = lotOf(QStringLiteral("South"), 7, 10);
    }
    Start();
    TAcceptanceFeatures* acceptance = form->AcceptanceFeatures();
    std::vector<TfrxReport*> shown;
    acceptance->showReport = [&shown](TfrxReport& report) { shown.push_back(&report); };
    TfrmArchive* w = OpenWindow();
    ASSERT_TRUE(w);
    w->SetCurrentLot(north);

    // Records 1..3 (densities 2337, 2374, 2311) with cores 20 above, kept for the mix.
    QWidget* parent = nullptr;
    QString author;
    bool mixOffered = false;
    acceptance->execDialog = [&](QDialog& d) {
        parent = d.parentWidget();
        auto& c = dynamic_cast<TCorrelationWindow&>(d);
        c.show();
        author = c.AuthorBox()->text();
        mixOffered = c.ForMixBox()->isVisible();
        QGuiApplication::clipboard()->setText(QStringLiteral("1\t2357\n2\t2394\n3\t2331\n"));
        QTest::keyClick(c.PairsTable(), Qt::Key_V, Qt::ControlModifier);
        TypeInto(c.NameBox(), QStringLiteral("Cores of 4 June"));
        c.ForMixBox()->setFocus();
        QTest::keyClick(c.ForMixBox(), Qt::Key_Space);
        QTest::mouseClick(c.ApplyButton(), Qt::LeftButton);
        return c.result();
    };
    w->ALotCorrelation->trigger();
    EXPECT_EQ(parent, w);
    EXPECT_EQ(author, TDownloadInfo::CurrentUserName()); // no operator in the report header yet
    EXPECT_TRUE(mixOffered);
    qint64 kept = 0;
    {
        TArchive archive;
        ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        const std::optional<TLotCorrelation> c = LotCorrelationOf(archive, north);
        ASSERT_TRUE(c);
        EXPECT_DOUBLE_EQ(c->Correction.Offset, 20.0);
        EXPECT_EQ(c->Pairs.size(), 3u);
        EXPECT_EQ(c->Scope, TCorrelationScope::Mix);
        EXPECT_EQ(c->Mix, QStringLiteral("SMA 16"));
        EXPECT_EQ(c->Author, author);
        kept = c->Id;
    }

    // The lot's own limits, typed into the dialog whose lot name is the archive's.
    bool nameLocked = false;
    acceptance->execDialog = [&](QDialog& d) {
        auto& l = dynamic_cast<TAcceptanceLimitsDialog&>(d);
        l.show();
        nameLocked = l.LotNameBox()->isReadOnly();
        l.LowerBox()->setFocus();
        QTest::keyClick(l.LowerBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(l.LowerBox(), QStringLiteral("0.95"));
        QTest::keyClick(l.LowerBox(), Qt::Key_Return);
        return l.result();
    };
    w->ALotLimits->trigger();
    EXPECT_TRUE(nameLocked);
    {
        TArchive archive;
        ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        const std::optional<TAcceptanceLimits> limits = LotLimits(archive, north);
        ASSERT_TRUE(limits);
        EXPECT_DOUBLE_EQ(limits->Lower, 0.95);
        EXPECT_FALSE(LotLimits(archive, south)); // the other lot keeps the defaults
    }

    // The report of the lot over the archive window, the correlation named in it.
    w->ALotReport->trigger();
    ASSERT_EQ(shown.size(), 1u) << (dialogs.messages.empty() ? "" : dialogs.messages[0].text.toStdString());
    EXPECT_EQ(shown[0]->PreviewParent, w);
    const auto pageText = [](const TfrxReport& report) {
        QStringList texts;
        for (const TPreparedPage& page : report.PreparedPages().Pages)
            for (const TPreparedBox& b : page.Boxes)
                texts << b.PlainText();
        return texts.join(u'\n');
    };
    QString text = pageText(*shown[0]);
    EXPECT_TRUE(text.contains(QStringLiteral("North"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Cores of 4 June — ") + author)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("offset +20.0 kg/m³ from 3 pairs"))) << text.toStdString();

    // The mix's next lot is offered the correlation kept for it and takes it as it is.
    w->SetCurrentLot(south);
    int offered = -1;
    acceptance->execDialog = [&](QDialog& d) {
        auto& c = dynamic_cast<TCorrelationWindow&>(d);
        c.show();
        offered = c.KeptBox()->isVisible() ? c.KeptBox()->count() : 0;
        QTest::mouseClick(c.UseKeptButton(), Qt::LeftButton);
        return c.result();
    };
    w->ALotCorrelation->trigger();
    EXPECT_EQ(offered, 1);
    {
        TArchive archive;
        ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        const std::optional<TLotCorrelation> c = LotCorrelationOf(archive, south);
        ASSERT_TRUE(c);
        EXPECT_EQ(c->Id, kept);
        QSqlQuery q(archive.Database());
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM correlation")) && q.next());
        EXPECT_EQ(q.value(0).toInt(), 1); // reused, not copied
    }

    // The lot North in the main table: the main window's submenu judges that archive lot, by
    // its kept limits and correlation.
    w->SetCurrentLot(north);
    w->ALotShow->trigger();
    EXPECT_EQ(acceptance->ShownArchiveLot(), north);
    acceptance->AAcceptanceReport->trigger();
    ASSERT_EQ(shown.size(), 2u) << (dialogs.messages.empty() ? "" : dialogs.messages.back().text.toStdString());
    text = pageText(*shown[1]);
    EXPECT_TRUE(text.contains(QStringLiteral("offset +20.0 kg/m³ from 3 pairs"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("0.950"))) << text.toStdString();
}

TEST_F(ArchiveWindowTest, ImportOfFilesAndFoldersEndsWithASummary) {
    Start();
    TfrmArchive* w = OpenWindow();
    ASSERT_TRUE(w);
    dir.Write("a.lum1", test::FileBytes(Records(5, 1)));
    dir.Write("b.lum1", test::FileBytes(Records(5, 4))); // records 4 and 5 again
    dialogs.filesAnswers.push_back({dir.File("a.lum1"), dir.File("b.lum1"), dir.File("missing.lum1")});
    features->AArchiveImport->trigger();
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].folderButton, QStringLiteral("Whole folder"));
    QTRY_VERIFY(!features->ImportRunning());
    EXPECT_EQ(features->LastSummary(), QStringLiteral("Files imported: 2; 10 records, 8 new, 2 already kept\n"
                                                      "Files that could not be read: 1"));
    // The summary stands in the progress window, which waits for nobody: no box.
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_TRUE(features->Progress());
    EXPECT_EQ(features->Progress()->labelText(), features->LastSummary());
    QTest::keyClick(features->Progress(), Qt::Key_Escape);
    QTRY_VERIFY(!features->Progress());
    const QString history = form->frmStatus()->Text();
    EXPECT_TRUE(history.contains(QStringLiteral("b.lum1: 5 records, 3 new, 2 already kept")));
    EXPECT_TRUE(history.contains(QStringLiteral("missing.lum1: the file cannot be read")));
    // The open window shows what came.
    EXPECT_EQ(w->Model->Counts().Total, 8);

    // A folder with its subfolders; what it holds is all known by now.
    QDir(dir.Path()).mkpath(QStringLiteral("season/june"));
    dir.Write("season/june/c.lum1", test::FileBytes(Records(3, 1)));
    dir.Write("season/notes.txt", "not a results file");
    dialogs.filesAnswers.push_back({dir.File("season")});
    w->AImport->trigger();
    QTRY_VERIFY(!features->ImportRunning());
    EXPECT_EQ(features->LastSummary(), QStringLiteral("Files imported: 1; 3 records, 0 new, 3 already kept"));

    // A folder without results files says so.
    QDir(dir.Path()).mkpath(QStringLiteral("empty"));
    dialogs.filesAnswers.push_back({dir.File("empty")});
    features->AArchiveImport->trigger();
    QTRY_VERIFY(!features->ImportRunning());
    EXPECT_EQ(features->LastSummary(), QStringLiteral("There is no .lum1 file among those chosen."));
}

// Many files, so that the import is still going while the user works on.
void WriteManyFiles(const test::TempDir& dir, int files) {
    QDir(dir.Path()).mkpath(QStringLiteral("many"));
    for (int i = 0; i < files; ++i)
        dir.Write(QStringLiteral("many/%1.lum1").arg(i, 3, 10, QChar(u'0')),
                  test::FileBytes(test::MakeRecords(MaxRecords, 1 + i * MaxRecords)));
}

TEST_F(ArchiveWindowTest, TheWindowWorksOnDuringAnImportAndASecondImportWaits) {
    WriteManyFiles(dir, 20);
    Start(LUM1_SIM_LIBRARY);
    dialogs.filesAnswers.push_back({dir.File("many")});
    features->AArchiveImport->trigger();
    ASSERT_TRUE(features->ImportRunning());
    // Only one import at a time: the second is refused at once, without a dialog.
    features->AArchiveImport->trigger();
    EXPECT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(form->StatusBar1->Panel0Text(), QStringLiteral("An import to the archive is already running."));

    // The read of the gauge (Ctrl+R) fills the table and goes into the archive as well.
    QTest::keyClick(form.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(program->Store.RecordCount.load(), 300);
    QTRY_VERIFY_WITH_TIMEOUT(!features->ImportRunning(), 60000);
    EXPECT_EQ(features->LastSummary(),
              QStringLiteral("Files imported: 20; 50000 records, 50000 new, 0 already kept"));
    EXPECT_TRUE(
        form->frmStatus()->Text().contains(QStringLiteral("Archive: 300 records, 300 new, 0 already kept")));
    EXPECT_EQ(MessagesText(), QStringList{});
    TArchive archive;
    ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
    EXPECT_EQ(CountRecords(archive, {}).Total, 50300);
}

TEST_F(ArchiveWindowTest, TheTitleBarsCloseDuringAnImportEndsCleanly) {
    WriteManyFiles(dir, 20);
    Start();
    dialogs.filesAnswers.push_back({dir.File("many")});
    features->AArchiveImport->trigger();
    QTRY_VERIFY(features->Progress() && features->Progress()->labelText().contains(QStringLiteral(" of 20")));
    EXPECT_TRUE(form->close());
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_FALSE(features->ImportRunning());
    form.reset();
    TArchive archive;
    ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
    test::ExpectWholeArrivals(archive);
}

TEST_F(ArchiveWindowTest, ADamagedArchiveIsSetAsideWithAMessageAndTheWindowWorksOn) {
    QByteArray garbage = "this is not a database";
    garbage.append(QByteArray(8192, '\x5a'));
    dir.Write("archive.sqlite", garbage);
    Start();
    TfrmArchive* w = OpenWindow();
    ASSERT_TRUE(w);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const QString text = dialogs.messages[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("The archive file ") + dir.File("archive.sqlite") +
                                QStringLiteral(" cannot be read")))
        << text.toStdString();
    const QString aside =
        text.section(QStringLiteral(" was set aside as "), 1).section(QStringLiteral(" and a new"), 0, 0);
    EXPECT_EQ(dir.Read(QFileInfo(aside).fileName()), garbage);
    EXPECT_TRUE(w->CountsText().startsWith(QStringLiteral("Shown: 0 of 0 records")));

    // The new archive takes an import, and the window shows it.
    dir.Write("a.lum1", test::FileBytes(Records(4)));
    dialogs.filesAnswers.push_back({dir.File("a.lum1")});
    w->AImport->trigger();
    QTRY_VERIFY(!features->ImportRunning());
    EXPECT_EQ(w->Model->Counts().Shown, 4);
}

TEST_F(ArchiveWindowTest, AnUnreachableServerIsToldInTheInterfaceLanguage) {
    // A port nobody listens on: bound and let go again.
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length), 0);
    ::close(s);
    const int port = ntohs(address.sin_port);
    dir.Write("lum1.ini", QStringLiteral("[Config]\r\nLangId=Rus\r\n[Archive]\r\nEngine=PostgreSQL\r\n"
                                         "Host=127.0.0.1\r\nPort=%1\r\nDatabase=lum1\r\nUser=lab\r\n")
                              .arg(port)
                              .toUtf8());
    Start();
    TfrmArchive* w = OpenWindow();
    ASSERT_TRUE(w);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const QString text = dialogs.messages[0].text;
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("Нет связи с сервером архива lab@127.0.0.1:%1/lum1").arg(port)))
        << text.toStdString();
    EXPECT_EQ(w->CountsText(), text);
    EXPECT_EQ(w->Model->rowCount(), 0);
    // The commands that need records do nothing harmful, F5 tries again and tells it again.
    QTest::keyClick(w->Table, Qt::Key_Return);
    QTest::keyClick(w, Qt::Key_F5);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    QTest::keyClick(w->Table, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    // The main table's commands are untouched by it.
    dir.Write("a.lum1", test::FileBytes(Records(3)));
    dialogs.fileAnswers.push_back(dir.File("a.lum1"));
    form->AOpenExecute();
    EXPECT_EQ(program->Store.RecordCount.load(), 3);
}

TEST_F(ArchiveWindowTest, APageThatCannotBeReadIsToldInTheWindowAndItRecovers) {
    Archive(Records(1000));
    Start();
    TfrmArchive* w = OpenWindow();
    ASSERT_TRUE(w);
    ASSERT_TRUE(dialogs.messages.empty());
    {
        // Another program takes the table away under the window's feet.
        TArchive other;
        ASSERT_FALSE(other.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        QSqlQuery q(other.Database());
        ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE measurement RENAME TO hidden")));
    }
    w->Table->setFocus();
    QTest::keyClick(w->Table, Qt::Key_End, Qt::ControlModifier);
    w->Table->repaint();
    // Told in the window's lines, not in a box: the paint that needed the page may come during
    // other work of the program.
    QTRY_COMPARE(w->Model->rowCount(), 0);
    const QString told = w->CountsText();
    EXPECT_TRUE(told.contains(QStringLiteral("no such table"))) << told.toStdString();
    EXPECT_EQ(w->StatusText(), told);
    EXPECT_TRUE(dialogs.messages.empty());
    QTest::keyClick(w->Table, Qt::Key_PageUp);
    QCoreApplication::processEvents();
    // A refresh the user asks for tells it in a box.
    QTest::keyClick(w, Qt::Key_F5);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("no such table")));
    {
        TArchive other;
        ASSERT_FALSE(other.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        QSqlQuery q(other.Database());
        ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE hidden RENAME TO measurement")));
    }
    QTest::keyClick(w, Qt::Key_F5);
    EXPECT_EQ(w->Model->rowCount(), 1000);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(w->CountsText().startsWith(QStringLiteral("Shown: 1000 of 1000")));
}

// The import's file dialog: several files chosen at once, or the folder shown by its button.
TEST(ArchiveImportDialog, TakesSeveralFilesOrTheFolderShown) {
    test::TempDir dir;
    dir.Write("a.lum1", "x");
    dir.Write("b.lum1", "y");
    QtDialogs dialogs;
    FileDialogRequest request;
    request.title = QStringLiteral("Import to archive");
    request.filters = QStringList{QStringLiteral("LUM-1 files (*.lum1)")};
    request.directory = dir.Path();
    request.folderButton = QStringLiteral("Whole folder");
    request.folderButtonHint = QStringLiteral("Import every file of the folder shown");
    // Acts once the dialog lists the folder's two files.
    auto whenListed = [](std::function<void(QFileDialog*, QListView*)> act) {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* list = d ? d->findChild<QListView*>(QStringLiteral("listView")) : nullptr;
            if (!list || !d->isVisible() || list->model()->rowCount(list->rootIndex()) < 2)
                return;
            poll->deleteLater();
            act(d, list);
        });
        poll->start(5);
    };
    auto button = [](QFileDialog* d, const QString& text) -> QPushButton* {
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text().remove(u'&') == text)
                return b;
        return nullptr;
    };

    whenListed([button](QFileDialog* d, QListView* list) {
        list->setFocus();
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        QPushButton* open = button(d, QStringLiteral("Open"));
        if (!open) {
            ADD_FAILURE() << "no Open button";
            d->reject();
            return;
        }
        QTest::mouseClick(open, Qt::LeftButton);
    });
    QStringList chosen = dialogs.OpenFileNames(request);
    chosen.sort();
    EXPECT_EQ(chosen, (QStringList{dir.File("a.lum1"), dir.File("b.lum1")}));

    whenListed([button](QFileDialog* d, QListView*) {
        QPushButton* folder = button(d, QStringLiteral("Whole folder"));
        if (!folder) {
            ADD_FAILURE() << "no folder button";
            d->reject();
            return;
        }
        EXPECT_EQ(folder->accessibleName(), QStringLiteral("Import every file of the folder shown"));
        QTest::mouseClick(folder, Qt::LeftButton);
    });
    EXPECT_EQ(dialogs.OpenFileNames(request), QStringList{QDir(dir.Path()).absolutePath()});

    whenListed([](QFileDialog* d, QListView*) { QTest::keyClick(d, Qt::Key_Escape); });
    EXPECT_TRUE(dialogs.OpenFileNames(request).isEmpty());
}

} // namespace
} // namespace lum1
