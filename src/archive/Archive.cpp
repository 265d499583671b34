#include "archive/Archive.h"

#include "archive/ArchiveSchema.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

#include <array>

namespace lum1 {

namespace {

QAtomicInteger<quint64> connectionCounter;

// SQLite's primary result codes, as the Qt driver reports them.
constexpr int SqliteBusy = 5, SqliteLocked = 6, SqliteReadOnly = 8, SqliteCorrupt = 11, SqliteCantOpen = 14,
              SqliteNotADatabase = 26;

// A file or folder counts as writable only when its permissions grant someone the right to write:
// the super-user may write anywhere, yet a file without any write bit is read-only for it too,
// as the program's folder is (FileLocations).
bool Writable(const QString& path) {
    const QFileInfo fi(path);
    return fi.isWritable() &&
           (fi.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
}

// What the file's first page says of it, read before SQLite sees it. An empty reason: it looks
// like a whole SQLite database (or is empty, which SQLite takes as a new one).
QString DamageOfFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {}; // unreadable files are SQLite's to report
    const qint64 size = f.size();
    if (size == 0)
        return {};
    const QByteArray head = f.read(100);
    static const QByteArray magic("SQLite format 3\0", 16);
    if (head.size() < 100 || !head.startsWith(magic))
        return QStringLiteral("not a database");
    const auto* h = reinterpret_cast<const uchar*>(head.constData());
    const quint32 rawPageSize = qFromBigEndian<quint16>(h + 16);
    const qint64 pageSize = rawPageSize == 1 ? 65536 : rawPageSize;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return QStringLiteral("not a database");
    if (size % pageSize != 0)
        return QStringLiteral("truncated");
    // The page count in the header is valid when its "version valid for" number equals the
    // change counter; a file shorter than that count has lost its end.
    const quint32 changeCounter = qFromBigEndian<quint32>(h + 24);
    const quint32 pageCount = qFromBigEndian<quint32>(h + 28);
    const quint32 validFor = qFromBigEndian<quint32>(h + 92);
    if (validFor == changeCounter && pageCount > 0 && size < pageCount * pageSize)
        return QStringLiteral("truncated");
    return {};
}

bool IsConnectionLoss(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    if (code.startsWith(u"08") || code == u"57P01" || code == u"57P02" || code == u"57P03")
        return true;
    const QString text = error.databaseText() + u' ' + error.driverText();
    return text.contains(QStringLiteral("server closed the connection"), Qt::CaseInsensitive) ||
           text.contains(QStringLiteral("no connection to the server"), Qt::CaseInsensitive) ||
           text.contains(QStringLiteral("connection to server"), Qt::CaseInsensitive) ||
           text.contains(QStringLiteral("terminating connection"), Qt::CaseInsensitive) ||
           text.contains(QStringLiteral("could not send data"), Qt::CaseInsensitive) ||
           text.contains(QStringLiteral("could not receive data"), Qt::CaseInsensitive);
}

// libpq speaks the client's language and gives no code for a refused connection: its English
// words, and the Russian ones of Debian's translation, tell a refused user from a missing server.
bool IsAuthenticationFailure(const QString& text) {
    static const char* const words[] = {"password", "authentication", "role \"",
                                        "пароль",   "аутентификац",   "роль \""};
    for (const char* w : words)
        if (text.contains(QString::fromUtf8(w), Qt::CaseInsensitive))
            return true;
    return false;
}

QString DetailOf(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return text.simplified();
}

} // namespace

QString TArchiveConnection::Describe() const {
    if (Engine == TArchiveEngine::SQLite)
        return QDir::toNativeSeparators(SqlitePath);
    QString place = Host.isEmpty() ? QStringLiteral("localhost") : Host;
    place += u':' + QString::number(Port) + u'/' + Database;
    return User.isEmpty() ? place : User + u'@' + place;
}

QString DefaultArchivePath(const QString& archiveFolder) {
    return archiveFolder + QStringLiteral("/archive.sqlite");
}

TArchive::TArchive()
    : name_(QStringLiteral("lum1-archive-%1").arg(connectionCounter.fetchAndAddRelaxed(1))) {}

TArchive::~TArchive() {
    Close();
}

QSqlDatabase TArchive::Database() const {
    return QSqlDatabase::database(name_, false);
}

bool TArchive::IsOpen() const {
    return QSqlDatabase::contains(name_) && Database().isOpen();
}

void TArchive::Close() {
    lost_ = false;
    if (!QSqlDatabase::contains(name_))
        return;
    {
        QSqlDatabase db = Database();
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(name_);
    schemaVersion_ = 0;
}

TArchiveError TArchive::Fail(TArchiveErrorKind kind, const QString& detail) {
    lastError_ = {};
    lastError_.Kind = kind;
    lastError_.Place = connection_.Describe();
    lastError_.Detail = detail;
    return lastError_;
}

TArchiveError TArchive::Fail(const QSqlError& error) {
    const QString detail = DetailOf(error);
    if (connection_.Engine == TArchiveEngine::SQLite) {
        switch (error.nativeErrorCode().toInt()) {
        case SqliteBusy:
        case SqliteLocked:
            return Fail(TArchiveErrorKind::Locked, detail);
        case SqliteReadOnly:
            return Fail(TArchiveErrorKind::ReadOnly, detail);
        case SqliteCorrupt:
        case SqliteNotADatabase:
            // Set aside by Open or SetAsideDamaged, once no statement uses the file any more.
            return Fail(TArchiveErrorKind::Damaged, detail);
        case SqliteCantOpen:
            return Fail(TArchiveErrorKind::CantCreate, detail);
        default:
            return Fail(TArchiveErrorKind::Failed, detail);
        }
    }
    if (IsConnectionLoss(error)) {
        // The server has rolled the transaction back; the next Begin connects anew.
        lost_ = true;
        return Fail(TArchiveErrorKind::ConnectionLost, detail);
    }
    TArchiveError e = Fail(TArchiveErrorKind::Failed, detail);
    lastError_.Transient = e.Transient =
        error.nativeErrorCode() == u"40P01" || error.nativeErrorCode() == u"40001";
    return e;
}

TArchiveError TArchive::Open(const TArchiveConnection& connection) {
    Close();
    connection_ = connection;
    lastError_ = {};
    // A damaged file is set aside and a new archive started in its place, once.
    TArchiveError setAside;
    for (int attempt = 0; attempt < 2; ++attempt) {
        readOnly_ = false;
        TArchiveError e = connection.Engine == TArchiveEngine::SQLite ? OpenSqlite() : OpenPostgres();
        if (!e)
            e = Prepare();
        if (e.Kind == TArchiveErrorKind::Damaged && e.SetAsidePath.isEmpty())
            e = SetAside(e.Detail);
        if (!e) {
            // Open, and the set-aside file is still news for the user.
            lastError_ = setAside;
            return setAside;
        }
        Close();
        if (e.Kind != TArchiveErrorKind::Damaged || attempt > 0)
            return e;
        setAside = e;
    }
    return setAside;
}

TArchiveError TArchive::OpenSqlite() {
    const QString path = connection_.SqlitePath;
    const QFileInfo file(path);
    if (path.isEmpty() || file.isDir())
        return Fail(TArchiveErrorKind::CantCreate, QStringLiteral("not a file"));
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return Fail(TArchiveErrorKind::CantCreate, QStringLiteral("the folder cannot be created"));
    if (file.exists()) {
        const QString damage = DamageOfFile(path);
        if (!damage.isEmpty())
            return SetAside(damage);
        // The write-ahead log and its index are written beside the file.
        readOnly_ = !Writable(path) || !Writable(folder);
    } else if (!Writable(folder)) {
        return Fail(TArchiveErrorKind::CantCreate, QStringLiteral("the folder is read-only"));
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    if (!db.isValid()) {
        QSqlDatabase::removeDatabase(name_);
        return Fail(TArchiveErrorKind::NoDriver, QStringLiteral("QSQLITE"));
    }
    db.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(connection_.TimeoutMs);
    if (readOnly_)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
        const QSqlError e = db.lastError();
        Close();
        return readOnly_ ? Fail(TArchiveErrorKind::ReadOnly, DetailOf(e)) : Fail(e);
    }
    return {};
}

TArchiveError TArchive::OpenPostgres() {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
    if (!db.isValid()) {
        QSqlDatabase::removeDatabase(name_);
        return Fail(TArchiveErrorKind::NoDriver, QStringLiteral("QPSQL"));
    }
    if (!connection_.Host.isEmpty())
        db.setHostName(connection_.Host);
    db.setPort(connection_.Port);
    db.setDatabaseName(connection_.Database);
    if (!connection_.User.isEmpty())
        db.setUserName(connection_.User);
    db.setConnectOptions(QStringLiteral("connect_timeout=%1;application_name=lum1")
                             .arg(std::max(1, (connection_.TimeoutMs + 999) / 1000)));
    if (!db.open()) {
        const QSqlError e = db.lastError();
        Close();
        const QString detail = DetailOf(e);
        return Fail(IsAuthenticationFailure(detail) ? TArchiveErrorKind::AuthFailed
                                                    : TArchiveErrorKind::Unreachable,
                    detail);
    }
    return {};
}

// Settings of the connection, then the schema.
TArchiveError TArchive::Prepare() {
    QSqlQuery q(Database());
    if (connection_.Engine == TArchiveEngine::SQLite) {
        // The first statement is the first to read the file: a damaged one shows here.
        if (!q.exec(QStringLiteral("PRAGMA foreign_keys = ON")) ||
            !q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            return Fail(q.lastError());
        q.finish();
        // Another program's database, or a later version's archive, is left exactly as it is.
        TArchiveError error;
        const int version = ReadSchemaVersion(*this, &error);
        if (error)
            return error;
        if (version < 0)
            return Fail(TArchiveErrorKind::Foreign);
        if (version > CurrentSchemaVersion()) {
            TArchiveError newer = Fail(TArchiveErrorKind::NewerSchema);
            newer.SchemaVersion = lastError_.SchemaVersion = version;
            return newer;
        }
        if (!readOnly_ && (!q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) ||
                           !q.exec(QStringLiteral("PRAGMA synchronous = NORMAL"))))
            return Fail(q.lastError());
    } else {
        if (!q.exec(QStringLiteral("SET client_min_messages = warning")))
            return Fail(q.lastError());
    }
    q.finish();
    if (TArchiveError e = MigrateArchive(*this))
        return e;
    schemaVersion_ = CurrentSchemaVersion();
    return {};
}

TArchiveError TArchive::SetAside(const QString& reason) {
    Close();
    const QString path = connection_.SqlitePath;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo::exists(aside + QStringLiteral("-wal")); ++n)
        aside = path + QStringLiteral(".damaged-") + stamp + u'-' + QString::number(n);
    if (!QFile::rename(path, aside)) {
        TArchiveError e = Fail(TArchiveErrorKind::SetAsideFailed, reason);
        return e;
    }
    // Its log goes with it: opened under the new name, SQLite still finds what the log holds.
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        if (QFileInfo::exists(path + QLatin1String(suffix)))
            QFile::rename(path + QLatin1String(suffix), aside + QLatin1String(suffix));
    TArchiveError e = Fail(TArchiveErrorKind::Damaged, reason);
    e.SetAsidePath = QDir::toNativeSeparators(aside);
    lastError_ = e;
    return e;
}

TArchiveError TArchive::SetAsideDamaged() {
    if (lastError_.Kind != TArchiveErrorKind::Damaged || !lastError_.SetAsidePath.isEmpty() ||
        connection_.Engine != TArchiveEngine::SQLite)
        return lastError_;
    return SetAside(lastError_.Detail);
}

TArchiveError TArchive::Begin() {
    if (lost_) {
        const TArchiveConnection connection = connection_;
        if (TArchiveError e = Open(connection); e && !IsOpen())
            return e;
    }
    if (!IsOpen())
        return Fail(TArchiveErrorKind::NotOpen);
    QSqlQuery q(Database());
    const QString begin = connection_.Engine == TArchiveEngine::SQLite ? QStringLiteral("BEGIN IMMEDIATE")
                                                                       : QStringLiteral("BEGIN");
    if (!q.exec(begin))
        return Fail(q.lastError());
    return {};
}

TArchiveError TArchive::Commit() {
    if (!IsOpen())
        return Fail(TArchiveErrorKind::NotOpen);
    QSqlQuery q(Database());
    if (!q.exec(QStringLiteral("COMMIT"))) {
        const TArchiveError e = Fail(q.lastError());
        Rollback();
        return e;
    }
    return {};
}

void TArchive::Rollback() {
    if (!IsOpen())
        return;
    QSqlQuery q(Database());
    q.exec(QStringLiteral("ROLLBACK"));
}

} // namespace lum1
