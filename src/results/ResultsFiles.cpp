#include "results/ResultsFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace lum1 {
namespace {

constexpr QFileDevice::Permissions kAnyWrite =
    QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

// A file or folder without any write bit is treated as protected even for a superuser, who
// could otherwise write over what the user has deliberately made read-only.
bool Protected(const QFileInfo& fi) {
    return fi.exists() && (fi.permissions() & kAnyWrite) == 0;
}

QString Quoted(const QString& text) {
    return QStringLiteral(" \"") + text + u'"';
}

} // namespace

QString WithResultsExtension(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0 && name.mid(dot).compare(u".LUM1", Qt::CaseInsensitive) == 0)
        return fileName;
    return fileName + QStringLiteral(".Lum1");
}

int ReadRecords(QIODevice& in, TRecordStore& store, const std::function<void(int)>& onRecord) {
    store.RecordCount = 0;
    int count = 0;
    while (count < MaxRecords) {
        // Reads straight into the next free slot: a short read leaves only slots beyond
        // RecordCount touched, and those are never read.
        char* slot = reinterpret_cast<char*>(&store.Records[static_cast<size_t>(count)]);
        qint64 got = 0;
        while (got < RecordSize) {
            const qint64 n = in.read(slot + got, RecordSize - got);
            if (n <= 0)
                break;
            got += n;
        }
        if (got < RecordSize)
            break;
        store.RecordCount = ++count;
        if (onRecord)
            onRecord(count);
    }
    return count;
}

TResultsFiles::TResultsFiles(IDialogs& dialogs, LangLookup lookup, std::function<bool()> englishUI,
                             QString programDir, TRecordStore& store, Callbacks callbacks)
    : dialogs_(dialogs), lookup_(std::move(lookup)), englishUI_(std::move(englishUI)),
      programDir_(std::move(programDir)), store_(store), callbacks_(std::move(callbacks)) {}

QStringList TResultsFiles::Filters() const {
    if (englishUI_())
        return {QStringLiteral("LUM-1 files (*.lum1)"), QStringLiteral("All files (*.*)")};
    return {QStringLiteral("Файлы ЛУМ-1 (*.lum1)"), QStringLiteral("Все файлы (*.*)")};
}

FileDialogRequest TResultsFiles::Request(const QString& titleKey, const QString& fileName) const {
    FileDialogRequest r;
    r.title = lookup_(titleKey);
    r.filters = Filters();
    r.directory = programDir_;
    r.fileName = fileName;
    return r;
}

MsgResult TResultsFiles::Warn(const QString& key) {
    return dialogs_.Message(
        {lookup_(QStringLiteral("Title")), lookup_(key), MsgIcon::Warning, MsgButtons::AbortRetryIgnore, 1});
}

void TResultsFiles::Status(const QString& text) const {
    if (callbacks_.SetStatusBarGeneral)
        callbacks_.SetStatusBarGeneral(text);
}

// The records go to a temporary file beside the target, which replaces the target only once
// every byte is on disk: a failed save never destroys the results saved there before.
TResultsFiles::WriteResult TResultsFiles::Write(const QString& fileName) const {
    const QFileInfo target(fileName);
    const QFileInfo folder(target.absolutePath());
    if (target.isDir() || Protected(target) || !folder.isDir())
        return WriteResult::CantCreate;
    // The target itself could be written, but its replacement cannot be made beside it.
    if (Protected(folder))
        return target.exists() ? WriteResult::CantWrite : WriteResult::CantCreate;

    // Unbuffered, and the size checked before the commit: a buffered QSaveFile reports a write
    // that the disk cut short (full disk, file size limit) as a success and commits the stump.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return target.exists() ? WriteResult::CantWrite : WriteResult::CantCreate;
    const int count = std::clamp(store_.RecordCount.load(), 0, MaxRecords);
    const qint64 size = static_cast<qint64>(count) * RecordSize;
    if (file.write(reinterpret_cast<const char*>(store_.Records.data()), size) != size ||
        file.size() != size) {
        file.cancelWriting();
        return WriteResult::CantWrite;
    }
    return file.commit() ? WriteResult::Written : WriteResult::CantWrite;
}

void TResultsFiles::ASaveExecute() {
    if (store_.RecordCount.load() <= 0)
        return;
    QString fileName = programDir_ + QStringLiteral("/Default.Lum1");
    for (;;) {
        const std::optional<QString> chosen =
            dialogs_.SaveFileName(Request(QStringLiteral("SaveAs"), fileName));
        if (!chosen)
            return;
        fileName = WithResultsExtension(*chosen);

        if (QFileInfo::exists(fileName) && !QFileInfo(fileName).isDir()) {
            const MsgResult answer =
                dialogs_.Message({lookup_(QStringLiteral("Title")), lookup_(QStringLiteral("MesFileExists")),
                                  MsgIcon::Question, MsgButtons::YesNoCancel, 0});
            if (answer == MsgResult::No)
                continue;
            if (answer != MsgResult::Yes)
                return;
        }

        WriteResult result = Write(fileName);
        if (result == WriteResult::CantCreate) {
            const MsgResult answer = Warn(QStringLiteral("MesCantCreate"));
            if (answer == MsgResult::Retry)
                continue;
            if (answer != MsgResult::Ignore)
                return;
            result = WriteResult::CantWrite; // nothing was opened, so the write fails at once
        }
        if (result == WriteResult::CantWrite) {
            if (Warn(QStringLiteral("MesCantWrite")) == MsgResult::Retry)
                continue;
            return;
        }
        Status(lookup_(QStringLiteral("File")) + Quoted(QFileInfo(fileName).fileName()) + u' ' +
               lookup_(QStringLiteral("MesFileSaved")) + QString::number(store_.RecordCount.load()) + u')');
        return;
    }
}

void TResultsFiles::AOpenExecute() {
    for (;;) {
        const std::optional<QString> chosen =
            dialogs_.OpenFileName(Request(QStringLiteral("Open"), QString()));
        if (!chosen || Load(*chosen) || AskRetryOpen(*chosen) != MsgResult::Retry)
            return;
    }
}

void TResultsFiles::OpenFile(const QString& fileName) {
    while (!Load(fileName) && AskRetryOpen(fileName) == MsgResult::Retry) {
    }
}

bool TResultsFiles::Load(const QString& fileName) {
    QFile file(fileName);
    // A folder opens for reading on some systems; it is no results file.
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly)) {
        Status(lookup_(QStringLiteral("MesErrOpenFile1")) + Quoted(fileName));
        return false;
    }
    const QString prefix = lookup_(QStringLiteral("MesReadedFromDisc")) + u' ';
    if (callbacks_.ClearTable)
        callbacks_.ClearTable();
    Status(lookup_(QStringLiteral("MesReadFromFile")) + Quoted(fileName));
    const int count = ReadRecords(file, store_, [&](int n) {
        if (callbacks_.ShowRunningCount)
            callbacks_.ShowRunningCount(prefix + QString::number(n));
    });
    Status(prefix + QString::number(count));
    file.close();
    if (callbacks_.TableLoaded)
        callbacks_.TableLoaded();
    return true;
}

MsgResult TResultsFiles::AskRetryOpen(const QString& fileName) {
    return dialogs_.Message({lookup_(QStringLiteral("MesErrReadFile")),
                             lookup_(QStringLiteral("MesErrOpenFile2")) + Quoted(fileName), MsgIcon::Warning,
                             MsgButtons::RetryCancel, 0});
}

} // namespace lum1
