#include "results/ResultsFiles.h"

#include "QtPrinters.h"
#include "RecordFixture.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace lum1 {
namespace {

using test::RecordBytes;
using test::SampleRecord;
using test::TableLookup;

QByteArray StoreBytes(const TRecordStore& s) {
    return QByteArray(reinterpret_cast<const char*>(s.Records.data()), s.RecordCount * RecordSize);
}

// n distinct records with every byte the program does not interpret set as well.
QByteArray FileOf(int n) {
    QByteArray data;
    for (int i = 0; i < n; ++i) {
        TMeasRecord r = SampleRecord(static_cast<uint16_t>(i + 1));
        std::memset(r.Reserved1, 0xA0 + i % 16, sizeof r.Reserved1);
        r.Reserved2 = 0x5A;
        r.Reserved3[0] = 0xFF;
        r.Reserved3[1] = static_cast<uint8_t>(i);
        r.AverNum = static_cast<uint8_t>(i % 3); // 0 as well: a file keeps it
        data += RecordBytes(r);
    }
    return data;
}

struct ResultsFilesTest : ::testing::Test {
    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TRecordStore> store = std::make_unique<TRecordStore>();
    bool english = true;
    QStringList status;
    QStringList running;
    QStringList tableCalls;
    TResultsFiles files{dialogs,
                        [this](const QString& key) { return TableLookup(english)(key); },
                        [this] { return english; },
                        dir.Path(),
                        *store,
                        {[this](const QString& t) { status << t; },
                         [this](const QString& t) { running << t; }, [this] { tableCalls << "clear"; },
                         [this] { tableCalls << "loaded"; }}};

    void Load(const QByteArray& data) {
        QBuffer b;
        b.setData(data);
        b.open(QIODevice::ReadOnly);
        ReadRecords(b, *store);
    }
    QStringList MessageTexts() const {
        QStringList t;
        for (const MessageRequest& m : dialogs.messages)
            t << m.text;
        return t;
    }
};

TEST_F(ResultsFilesTest, SaveThenOpenIsByteForByteInBothLanguages) {
    for (bool en : {true, false}) {
        english = en;
        dialogs = {};
        status.clear();
        Load(FileOf(12));
        const QByteArray saved = StoreBytes(*store);
        dialogs.fileAnswers = {dir.File("Default.Lum1"), dir.File("Default.Lum1")};
        dialogs.messageAnswers = {MsgResult::Yes}; // the second round overwrites the first
        files.ASaveExecute();
        EXPECT_EQ(dir.Read("Default.Lum1"), saved);
        EXPECT_EQ(saved.size(), 1080);
        ASSERT_EQ(status.size(), 1);
        EXPECT_EQ(status[0], QString::fromUtf8(en ? "File \"Default.Lum1\" saved (records:12)"
                                                  : "Файл \"Default.Lum1\" сохранен (записей:12)"));
        const FileDialogRequest& save = dialogs.fileRequests[0];
        EXPECT_EQ(save.title, QString::fromUtf8(en ? "Save as..." : "Сохранить как..."));
        const QStringList filters =
            en ? QStringList{"LUM-1 files (*.lum1)", "All files (*.*)"}
               : QStringList{QString::fromUtf8("Файлы ЛУМ-1 (*.lum1)"), QString::fromUtf8("Все файлы (*.*)")};
        EXPECT_EQ(save.filters, filters);
        EXPECT_EQ(save.directory, dir.Path());
        EXPECT_EQ(save.fileName, dir.Path() + "/Default.Lum1");

        store->RecordCount = 0;
        tableCalls.clear();
        files.AOpenExecute();
        EXPECT_EQ(StoreBytes(*store), saved);
        EXPECT_EQ(dialogs.fileRequests[1].title, QString::fromUtf8(en ? "Open file..." : "Открыть файл..."));
        EXPECT_EQ(dialogs.fileRequests[1].fileName, "");
        EXPECT_EQ(tableCalls, (QStringList{"clear", "loaded"}));
    }
}

TEST_F(ResultsFilesTest, SaveEnforcesTheExtension) {
    const struct {
        const char* chosen;
        const char* written;
    } cases[] = {{"results", "results.Lum1"},
                 {"results.txt", "results.txt.Lum1"},
                 {"results.lum1", "results.lum1"},
                 {"results.LUM1", "results.LUM1"},
                 {"a.lum1.d/results", "a.lum1.d/results.Lum1"}}; // the folder's extension does not count
    QDir(dir.Path()).mkdir("a.lum1.d");
    Load(FileOf(1));
    for (const auto& c : cases) {
        dialogs.fileAnswers = {dir.File(c.chosen)};
        files.ASaveExecute();
        EXPECT_EQ(dir.Read(c.written).size(), RecordSize) << c.chosen;
    }
}

TEST_F(ResultsFilesTest, OverwriteQuestion) {
    Load(FileOf(2));
    dir.Write("r.Lum1", "old");
    const MessageRequest question{"LUM-1.2. Asphalt densitometer", "File exists. Overwrite it?",
                                  MsgIcon::Question, MsgButtons::YesNoCancel, 0};

    // No: the dialog comes back with the refused name; then the user cancels it.
    dialogs.fileAnswers = {dir.File("r")};
    dialogs.messageAnswers = {MsgResult::No};
    files.ASaveExecute();
    ASSERT_EQ(dialogs.fileRequests.size(), 2u);
    EXPECT_EQ(dialogs.fileRequests[1].fileName, dir.File("r.Lum1"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, question.caption);
    EXPECT_EQ(dialogs.messages[0].text, question.text);
    EXPECT_EQ(dialogs.messages[0].icon, question.icon);
    EXPECT_EQ(dialogs.messages[0].buttons, question.buttons);
    EXPECT_EQ(dir.Read("r.Lum1"), "old");

    dialogs = {};
    dialogs.fileAnswers = {dir.File("r")};
    dialogs.messageAnswers = {MsgResult::Cancel};
    files.ASaveExecute();
    EXPECT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dir.Read("r.Lum1"), "old");
    EXPECT_TRUE(status.isEmpty());

    dialogs.fileAnswers = {dir.File("r")};
    dialogs.messageAnswers = {MsgResult::Yes};
    files.ASaveExecute();
    EXPECT_EQ(dir.Read("r.Lum1"), StoreBytes(*store));
}

TEST_F(ResultsFilesTest, NothingToSaveShowsNothing) {
    files.ASaveExecute();
    EXPECT_TRUE(dialogs.fileRequests.empty());
    EXPECT_TRUE(status.isEmpty());
}

const QString kCantCreate = "Can not create file. Perhaps there is no disk space.";
const QString kCantWrite = "Can not write file. Perhaps there is no disk space.";

TEST_F(ResultsFilesTest, CreateFailureAnswers) {
    Load(FileOf(3));
    QDir(dir.Path()).mkdir("ro");
    test::SetReadOnly(dir.File("ro"), true);
    QDir(dir.Path()).mkdir("folder.Lum1");
    const struct {
        const char* chosen;
        MsgResult answer;
        QStringList messages;
        size_t dialogsShown;
    } cases[] = {
        {"ro/new", MsgResult::Abort, {kCantCreate}, 1},
        {"ro/new", MsgResult::Retry, {kCantCreate}, 2}, // then the user cancels the dialog
        {"ro/new", MsgResult::Ignore, {kCantCreate, kCantWrite}, 1},
        {"folder.Lum1", MsgResult::Abort, {kCantCreate}, 1},
        {"missing/new", MsgResult::Abort, {kCantCreate}, 1},
    };
    for (const auto& c : cases) {
        dialogs = {};
        dialogs.fileAnswers = {dir.File(c.chosen)};
        dialogs.messageAnswers = {c.answer, MsgResult::Abort};
        files.ASaveExecute();
        EXPECT_EQ(MessageTexts(), c.messages) << c.chosen;
        EXPECT_EQ(dialogs.fileRequests.size(), c.dialogsShown) << c.chosen;
        EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::AbortRetryIgnore);
        EXPECT_EQ(dialogs.messages[0].defaultButton, 1);
        EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Warning);
    }
    EXPECT_FALSE(QFile::exists(dir.File("ro/new.Lum1")));
    EXPECT_TRUE(status.isEmpty());
    test::SetReadOnly(dir.File("ro"), false);
}

// Whatever stops a save, the results saved in the file before are still there afterwards.
TEST_F(ResultsFilesTest, AFailedSaveLeavesTheEarlierFileIntact) {
    const QByteArray earlier = FileOf(2);
    Load(FileOf(12));
    QDir(dir.Path()).mkdir("ro");
    QDir(dir.Path()).mkdir("full");
    QDir(dir.Path()).mkdir("prot");
    dir.Write("ro/r.Lum1", earlier);
    dir.Write("full/r.Lum1", earlier);
    dir.Write("prot/r.Lum1", earlier);
    test::SetReadOnly(dir.File("ro"), true);
    test::SetReadOnly(dir.File("prot/r.Lum1"), true);

    // A file size limit makes the write itself fail part-way, as a full disk does.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 500;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);

    const struct {
        const char* folder;
        QString warning;
        bool limitSize;
    } cases[] = {{"ro", kCantWrite, false}, {"full", kCantWrite, true}, {"prot", kCantCreate, false}};
    for (const auto& c : cases) {
        dialogs = {};
        dialogs.fileAnswers = {dir.File(QString(c.folder) + "/r.Lum1")};
        dialogs.messageAnswers = {MsgResult::Yes, MsgResult::Abort};
        if (c.limitSize)
            setrlimit(RLIMIT_FSIZE, &small);
        files.ASaveExecute();
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(MessageTexts(), (QStringList{"File exists. Overwrite it?", c.warning})) << c.folder;
        EXPECT_EQ(dir.Read(QString(c.folder) + "/r.Lum1"), earlier) << c.folder;
        EXPECT_EQ(QDir(dir.File(c.folder)).entryList(QDir::Files | QDir::Hidden), QStringList{"r.Lum1"})
            << c.folder;
    }
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(status.isEmpty());
    test::SetReadOnly(dir.File("ro"), false);
    test::SetReadOnly(dir.File("prot/r.Lum1"), false);
}

TEST_F(ResultsFilesTest, OpenReadsWholeRecordsUpTo2500) {
    const struct {
        int bytes;
        int records;
    } cases[] = {{0, 0}, {89, 0}, {905, 10}, {2600 * RecordSize, MaxRecords}};
    const QByteArray all = FileOf(2600);
    for (const auto& c : cases) {
        Load(FileOf(5)); // earlier records are replaced even by an empty file
        dir.Write("f.lum1", all.left(c.bytes));
        dialogs = {};
        dialogs.fileAnswers = {dir.File("f.lum1")};
        status.clear();
        running.clear();
        tableCalls.clear();
        files.AOpenExecute();
        EXPECT_EQ(store->RecordCount, c.records) << c.bytes;
        EXPECT_EQ(StoreBytes(*store), all.left(c.records * RecordSize)) << c.bytes;
        EXPECT_EQ(status, (QStringList{"Read from file \"" + dir.File("f.lum1") + "\"",
                                       "Readed records from disk: " + QString::number(c.records)}));
        EXPECT_EQ(running.size(), c.records);
        if (c.records > 0) {
            EXPECT_EQ(running.front(), "Readed records from disk: 1");
            EXPECT_EQ(running.back(), "Readed records from disk: " + QString::number(c.records));
        }
        EXPECT_EQ(tableCalls, (QStringList{"clear", "loaded"}));
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(ResultsFilesTest, AFileThatCannotBeOpenedLeavesEverythingAsItWas) {
    Load(FileOf(4));
    const QByteArray before = StoreBytes(*store);
    QDir(dir.Path()).mkdir("folder.lum1");
    for (const char* name : {"gone.lum1", "folder.lum1"}) {
        const QString path = dir.File(name);
        dialogs = {};
        status.clear();
        dialogs.fileAnswers = {path, path};
        dialogs.messageAnswers = {MsgResult::Retry, MsgResult::Cancel};
        files.AOpenExecute();
        EXPECT_EQ(dialogs.fileRequests.size(), 2u) << name; // Retry showed the dialog again
        ASSERT_EQ(dialogs.messages.size(), 2u) << name;
        const MessageRequest& box = dialogs.messages[0];
        EXPECT_EQ(box.caption, "Error reading file");
        EXPECT_EQ(box.text, "Can not open file \"" + path + "\"");
        EXPECT_EQ(box.icon, MsgIcon::Warning);
        EXPECT_EQ(box.buttons, MsgButtons::RetryCancel);
        EXPECT_EQ(status, QStringList(2, "Error opening file \"" + path + "\""));
        EXPECT_TRUE(tableCalls.isEmpty());
        EXPECT_EQ(StoreBytes(*store), before);
    }
}

TEST_F(ResultsFilesTest, AFileNamedFromOutsideLoadsAsOpenDoesWithoutTheDialog) {
    dir.Write("four.lum1", FileOf(4));
    QDir(dir.Path()).mkdir("folder.lum1");
    struct Case {
        const char* name;
        int records; // -1: not opened
    };
    for (const Case& c : {Case{"four.lum1", 4}, Case{"gone.lum1", -1}, Case{"folder.lum1", -1}}) {
        SCOPED_TRACE(c.name);
        dialogs = {};
        tableCalls.clear();
        store->RecordCount = 0;
        dialogs.messageAnswers = {MsgResult::Retry, MsgResult::Cancel}; // Retry tries the same file
        files.OpenFile(dir.File(c.name));
        EXPECT_TRUE(dialogs.fileRequests.empty());
        if (c.records < 0) {
            ASSERT_EQ(dialogs.messages.size(), 2u);
            EXPECT_EQ(dialogs.messages[1].text, "Can not open file \"" + dir.File(c.name) + "\"");
            EXPECT_TRUE(tableCalls.isEmpty());
            EXPECT_EQ(store->RecordCount.load(), 0);
        } else {
            EXPECT_TRUE(dialogs.messages.empty());
            EXPECT_EQ(tableCalls, QStringList({"clear", "loaded"}));
            EXPECT_EQ(store->RecordCount.load(), c.records);
        }
    }
}

// A device that fails part-way, as a file on a vanished disk does: the whole records read
// before the failure stay.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(QByteArray data) : data_(std::move(data)) { open(ReadOnly | Unbuffered); }

protected:
    qint64 readData(char* out, qint64 max) override {
        if (pos_ >= data_.size())
            return -1;
        const qint64 n = std::min<qint64>({max, data_.size() - pos_, 7});
        std::memcpy(out, data_.constData() + pos_, static_cast<size_t>(n));
        pos_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray data_;
    qint64 pos_ = 0;
};

TEST(ReadRecords, PiecewiseReadsAndAReadErrorKeepTheWholeRecords) {
    auto store = std::make_unique<TRecordStore>();
    const QByteArray data = FileOf(3);
    FailingDevice device(data + data.left(50));
    std::vector<int> counts;
    EXPECT_EQ(ReadRecords(device, *store, [&](int n) { counts.push_back(n); }), 3);
    EXPECT_EQ(store->RecordCount, 3);
    EXPECT_EQ(StoreBytes(*store), data);
    EXPECT_EQ(counts, (std::vector{1, 2, 3}));
}

} // namespace
} // namespace lum1
