#pragma once
// The measurement archive: every record the gauge or a results file brought, kept once, with
// every arrival that brought records. One TArchive is one Qt SQL connection, to an SQLite file
// (the default: one file beside the settings) or to a lab's PostgreSQL server. A connection
// belongs to the thread that opened it: each thread that uses the archive opens its own
// TArchive with the same TArchiveConnection.

#include <QSqlDatabase>
#include <QString>

namespace lum1 {

enum class TArchiveEngine { SQLite, PostgreSQL };

// Where the archive is. The password of a server never stands here: the server's own
// mechanisms supply it (~/.pgpass, PGPASSFILE, peer authentication over the Unix socket).
struct TArchiveConnection {
    TArchiveEngine Engine = TArchiveEngine::SQLite;
    QString SqlitePath; // the archive file
    QString Host;       // a host name, an address or a Unix socket folder ("/..."); empty: the default socket
    int Port = 5432;
    QString Database = QStringLiteral("lum1");
    QString User;         // empty: the login name
    int TimeoutMs = 3000; // waiting for a lock on the file, or for the server to answer a connect

    // The place the messages name: the file, or "user@host:port/database".
    QString Describe() const;
    bool operator==(const TArchiveConnection&) const = default;
};

// What went wrong, so that the caller words the message in the interface language
// (ArchiveErrorText, ArchiveMessages.h).
enum class TArchiveErrorKind {
    None,
    Damaged,        // the file is no database, is truncated or damaged; it was set aside (SetAsidePath)
    SetAsideFailed, // ... and could not be set aside: the archive stays off
    Foreign,        // a database of some other program: left alone
    ReadOnly,       // the file (or its folder) may not be written
    Locked,         // another program holds the file
    CantCreate,     // the file or its folder cannot be created
    NewerSchema,    // made by a newer version of the program: left alone
    NoDriver,       // the Qt SQL driver is not installed
    Unreachable,    // the server does not answer, or refuses the connection
    AuthFailed,     // the server refused the user (password, peer authentication)
    ConnectionLost, // the connection broke during work; the arrival was rolled back
    NotOpen,        // used before a successful Open
    Failed,         // any other error of the database; the arrival was rolled back
};

struct TArchiveError {
    TArchiveErrorKind Kind = TArchiveErrorKind::None;
    QString Place;         // TArchiveConnection::Describe() of the archive concerned
    QString Detail;        // the driver's or server's own words
    QString SetAsidePath;  // Damaged: the name the unreadable file now has
    int SchemaVersion = 0; // NewerSchema: the version found
    // A deadlock or serialization failure between concurrent writers on a server: the
    // transaction was rolled back and may simply be tried again.
    bool Transient = false;

    explicit operator bool() const { return Kind != TArchiveErrorKind::None; }
};

class TArchive {
public:
    TArchive();
    ~TArchive();
    TArchive(const TArchive&) = delete;
    TArchive& operator=(const TArchive&) = delete;

    // Opens the archive and brings its schema up to date (created on first use). An SQLite file
    // that cannot be read as a database is never overwritten or deleted: it is renamed aside and
    // a new archive is started in its place; Open then returns Damaged with SetAsidePath and
    // the archive is open. On any other error the archive stays closed.
    TArchiveError Open(const TArchiveConnection& connection);
    void Close();
    bool IsOpen() const;
    // Read-only: a file without write permission is opened for reading; arrivals and lot
    // changes are refused with ReadOnly.
    bool ReadOnly() const { return readOnly_; }

    const TArchiveConnection& Connection() const { return connection_; }
    TArchiveEngine Engine() const { return connection_.Engine; }
    int SchemaVersion() const { return schemaVersion_; }

    // The error of the last operation that failed (queries return empty results then).
    const TArchiveError& LastError() const { return lastError_; }

    // For the archive's own operations (import, queries, lots) and tests.
    QSqlDatabase Database() const;
    // One transaction: SQLite takes the write lock at once (two writers never deadlock on an
    // upgrade), so a concurrent writer waits up to TimeoutMs.
    TArchiveError Begin();
    TArchiveError Commit();
    void Rollback();
    // Classifies a failed statement or connection of this archive and remembers it as the last
    // error. After a lost connection the next Begin connects anew.
    TArchiveError Fail(const class QSqlError& error);
    TArchiveError Fail(TArchiveErrorKind kind, const QString& detail = {});
    void ClearError() { lastError_ = {}; }
    // After an operation failed with Damaged (SQLite found the file damaged in the middle of
    // work) and its statements are gone: closes the archive and sets the file aside; the
    // result names the new place. The next Open starts a new archive.
    TArchiveError SetAsideDamaged();

private:
    TArchiveError OpenSqlite();
    TArchiveError OpenPostgres();
    TArchiveError Prepare();
    TArchiveError SetAside(const QString& reason);

    QString name_; // the Qt SQL connection's name, unique per object
    TArchiveConnection connection_;
    bool readOnly_ = false;
    bool lost_ = false; // the server connection broke
    int schemaVersion_ = 0;
    TArchiveError lastError_;
};

// The folder of an archive file's default place: "archive.sqlite" in it.
QString DefaultArchivePath(const QString& archiveFolder);

} // namespace lum1
