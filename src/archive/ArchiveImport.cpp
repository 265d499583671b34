#include "archive/ArchiveImport.h"

#include "archive/RecordKey.h"
#include "platform/Cp1251.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <optional>

#include <pwd.h>
#include <unistd.h>

namespace lum1 {

namespace {

// Rows per multi-row statement: few enough that the driver's lookup of bound values by
// position (its cost grows with the square of their number) stays small.
constexpr int kInsertRows = 25;
constexpr int kLookupKeys = 500;
constexpr int kAttempts = 3; // a transaction that lost a deadlock is tried again

struct TIncoming {
    const TMeasRecord* Record;
    QByteArray Bytes;
    qint64 Key;
};

struct TKept {
    QByteArray Bytes;
    qint64 Id;
    bool NoGauge;
};

// Numbers the archive computed itself (keys, ids), written into the statement: the Qt driver
// looks every bound value up by position at a cost that grows with the square of their number.
template <typename Range, typename Number> QString NumberList(const Range& range, Number number) {
    QString s;
    for (const auto& item : range) {
        if (!s.isEmpty())
            s += u',';
        s += QString::number(number(item));
    }
    return s;
}

QString Placeholders(int count) {
    QString s;
    s.reserve(count * 2);
    for (int i = 0; i < count; ++i)
        s += i ? QStringLiteral(",?") : QStringLiteral("?");
    return s;
}

QVariant Real(float value) {
    // NaN reads back as no value on both engines; an explicit null keeps them alike.
    return std::isnan(value) ? QVariant() : QVariant(static_cast<double>(value));
}

// A null QString binds as SQL NULL; the archive's texts are never NULL.
QString NotNull(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

QString UtcText(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODate);
}

// One arrival inside its transaction. Every failure leaves through the archive's Fail, and the
// caller rolls back.
class TArrivalWriter {
public:
    TArrivalWriter(TArchive& archive) : archive_(archive), db_(archive.Database()) {}

    std::optional<TArchiveError> Write(const std::vector<TIncoming>& records, TArrivalKind kind,
                                       const QString& paramText, const QString& user, const QString& fileName,
                                       const QDateTime& time, TArrivalResult& result) {
        std::optional<qint64> gauge;
        if (kind == TArrivalKind::Download) {
            QHash<QString, qint64> ids;
            if (!EnsureNames("gauge", "param_text", {paramText}, ids))
                return error_;
            gauge = ids.value(NotNull(paramText));
        }
        QStringList objects, materials;
        for (const TIncoming& in : records) {
            objects << ObjectText(*in.Record);
            materials << MaterialText(*in.Record);
        }
        if (!EnsureNames("object_name", "name", objects, objectIds_) ||
            !EnsureNames("material_name", "name", materials, materialIds_))
            return error_;

        QSqlQuery q(db_);
        q.setForwardOnly(true); // no copy of every row in the driver's cache
        q.prepare(QStringLiteral("INSERT INTO arrival (kind, arrived, gauge_id, user_name, file_name)"
                                 " VALUES (?, ?, ?, ?, ?) RETURNING id"));
        q.addBindValue(static_cast<int>(kind));
        q.addBindValue(UtcText(time));
        q.addBindValue(gauge ? QVariant(*gauge) : QVariant(QMetaType::fromType<qint64>()));
        q.addBindValue(NotNull(user));
        q.addBindValue(NotNull(fileName));
        if (!q.exec() || !q.next())
            return Failed(q);
        arrival_ = q.value(0).toLongLong();
        q.finish();
        gauge_ = gauge;

        // What the archive holds under the records' keys.
        QHash<qint64, TKept> kept;
        for (size_t from = 0; from < records.size(); from += kLookupKeys) {
            const size_t n = std::min<size_t>(kLookupKeys, records.size() - from);
            const std::span<const TIncoming> part(records.data() + from, n);
            if (!q.exec(QStringLiteral("SELECT rkey, bytes, id, gauge_id FROM measurement WHERE rkey IN (%1)")
                            .arg(NumberList(part, [](const TIncoming& in) { return in.Key; }))))
                return Failed(q);
            while (q.next())
                kept.insert(q.value(0).toLongLong(),
                            {q.value(1).toByteArray(), q.value(2).toLongLong(), q.value(3).isNull()});
            q.finish();
        }

        std::vector<const TIncoming*> fresh, probe;
        std::vector<qint64> gaugeless;
        for (const TIncoming& in : records) {
            const auto it = kept.constFind(in.Key);
            if (it == kept.cend())
                fresh.push_back(&in);
            else if (it->Bytes == in.Bytes)
                Known(it->Id, it->NoGauge, gaugeless);
            else
                probe.push_back(&in); // another record has this key
        }
        // The same order in every writer: concurrent writers on a server never wait for each
        // other in a circle.
        std::sort(fresh.begin(), fresh.end(),
                  [](const TIncoming* a, const TIncoming* b) { return a->Key < b->Key; });
        for (size_t from = 0; from < fresh.size(); from += kInsertRows) {
            const size_t n = std::min<size_t>(kInsertRows, fresh.size() - from);
            QSet<qint64> inserted;
            if (!Insert({fresh.data() + from, n}, inserted))
                return error_;
            for (size_t i = from; i < from + n; ++i) {
                if (inserted.contains(fresh[i]->Key))
                    ++result.New;
                else
                    probe.push_back(fresh[i]); // kept meanwhile by a concurrent writer
            }
        }
        for (const TIncoming* in : probe)
            if (!Probe(*in, result, gaugeless))
                return error_;

        if (gauge) {
            std::sort(gaugeless.begin(), gaugeless.end());
            for (size_t from = 0; from < gaugeless.size(); from += kLookupKeys) {
                const size_t n = std::min<size_t>(kLookupKeys, gaugeless.size() - from);
                const std::span<const qint64> part(gaugeless.data() + from, n);
                if (!q.exec(QStringLiteral(
                                "UPDATE measurement SET gauge_id = %1 WHERE gauge_id IS NULL AND id IN (%2)")
                                .arg(*gauge)
                                .arg(NumberList(part, [](qint64 id) { return id; }))))
                    return Failed(q);
                q.finish();
            }
        }

        result.Known = result.Records - result.New;
        q.prepare(QStringLiteral(
            "UPDATE arrival SET records = ?, new_records = ?, known_records = ? WHERE id = ?"));
        q.addBindValue(result.Records);
        q.addBindValue(result.New);
        q.addBindValue(result.Known);
        q.addBindValue(arrival_);
        if (!q.exec())
            return Failed(q);
        result.ArrivalId = arrival_;
        return std::nullopt;
    }

private:
    TArchiveError Failed(QSqlQuery& q) {
        error_ = archive_.Fail(q.lastError());
        q.finish();
        return error_;
    }

    void Known(qint64 id, bool noGauge, std::vector<qint64>& gaugeless) {
        // A record first brought by a file learns its gauge from the first read that brings it.
        if (noGauge && gauge_)
            gaugeless.push_back(id);
    }

    // The ids of texts in a table of names (gauge, object_name, material_name), added when
    // missing, in sorted order like the records.
    bool EnsureNames(const char* table, const char* column, QStringList names, QHash<QString, qint64>& ids) {
        for (QString& n : names)
            n = NotNull(n);
        names.removeDuplicates();
        names.erase(
            std::remove_if(names.begin(), names.end(), [&ids](const QString& n) { return ids.contains(n); }),
            names.end());
        std::sort(names.begin(), names.end());
        QSqlQuery q(db_);
        q.setForwardOnly(true); // no copy of every row in the driver's cache
        for (qsizetype from = 0; from < names.size(); from += kInsertRows) {
            const int n = static_cast<int>(std::min<qsizetype>(kInsertRows, names.size() - from));
            QString values;
            for (int i = 0; i < n; ++i)
                values += i ? QStringLiteral(",(?)") : QStringLiteral("(?)");
            q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES %3 ON CONFLICT (%2) DO NOTHING")
                          .arg(QLatin1String(table), QLatin1String(column), values));
            for (int i = 0; i < n; ++i)
                q.addBindValue(NotNull(names[from + i]));
            if (!q.exec()) {
                Failed(q);
                return false;
            }
            q.prepare(QStringLiteral("SELECT id, %2 FROM %1 WHERE %2 IN (%3)")
                          .arg(QLatin1String(table), QLatin1String(column), Placeholders(n)));
            for (int i = 0; i < n; ++i)
                q.addBindValue(NotNull(names[from + i]));
            if (!q.exec()) {
                Failed(q);
                return false;
            }
            while (q.next())
                ids.insert(q.value(1).toString(), q.value(0).toLongLong());
            q.finish();
        }
        return true;
    }

    void Bind(QSqlQuery& q, const TIncoming& in, qint64 key) {
        const TMeasRecord& r = *in.Record;
        q.addBindValue(key);
        q.addBindValue(in.Bytes);
        q.addBindValue(MeasuredKey(r));
        q.addBindValue(r.Seconds == DeletedMark ? 1 : 0);
        q.addBindValue(static_cast<int>(r.Number));
        q.addBindValue(Real(r.Density));
        q.addBindValue(Real(r.RefDensity));
        q.addBindValue(static_cast<int>(r.Mode));
        q.addBindValue(Real(r.Temperature));
        q.addBindValue(r.Latitude);
        q.addBindValue(r.Longitude);
        q.addBindValue(static_cast<int>(r.Thickness));
        q.addBindValue(static_cast<int>(r.AverNum));
        q.addBindValue(objectIds_.value(NotNull(ObjectText(r))));
        q.addBindValue(materialIds_.value(NotNull(MaterialText(r))));
        q.addBindValue(gauge_ ? QVariant(*gauge_) : QVariant(QMetaType::fromType<qint64>()));
        q.addBindValue(arrival_);
    }

    QString InsertStatement(int rows) const {
        QString values;
        const QString row = QStringLiteral("(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        for (int i = 0; i < rows; ++i)
            values += i ? u',' + row : row;
        return QStringLiteral(
                   "INSERT INTO measurement (rkey, bytes, measured, deleted, number, density, refdensity,"
                   " mode, temperature, latitude, longitude, thickness, avernum, object_id,"
                   " material_id, gauge_id, arrival_id) VALUES %1 ON CONFLICT (rkey) DO NOTHING"
                   " RETURNING rkey")
            .arg(values);
    }

    bool Insert(std::span<const TIncoming* const> rows, QSet<qint64>& inserted) {
        QSqlQuery& q = rows.size() == kInsertRows ? full_ : partial_;
        const int n = static_cast<int>(rows.size());
        if (&q == &partial_ || !fullPrepared_) {
            q = QSqlQuery(db_);
            q.setForwardOnly(true);
            if (!q.prepare(InsertStatement(n))) {
                Failed(q);
                return false;
            }
            fullPrepared_ = fullPrepared_ || &q == &full_;
        }
        for (const TIncoming* in : rows)
            Bind(q, *in, in->Key);
        if (!q.exec()) {
            Failed(q);
            return false;
        }
        while (q.next())
            inserted.insert(q.value(0).toLongLong());
        q.finish();
        return true;
    }

    // A record whose key another record holds takes the next free key; a record found on the
    // way is already kept.
    bool Probe(const TIncoming& in, TArrivalResult& result, std::vector<qint64>& gaugeless) {
        QSqlQuery q(db_);
        q.setForwardOnly(true); // no copy of every row in the driver's cache
        for (qint64 key = in.Key;;
             key = key == std::numeric_limits<qint64>::max() ? std::numeric_limits<qint64>::min() : key + 1) {
            q.prepare(QStringLiteral("SELECT bytes, id, gauge_id FROM measurement WHERE rkey = ?"));
            q.addBindValue(key);
            if (!q.exec()) {
                Failed(q);
                return false;
            }
            if (q.next()) {
                const bool same = q.value(0).toByteArray() == in.Bytes;
                const qint64 id = q.value(1).toLongLong();
                const bool noGauge = q.value(2).isNull();
                q.finish();
                if (same) {
                    Known(id, noGauge, gaugeless);
                    return true;
                }
                continue;
            }
            q.finish();
            q.prepare(InsertStatement(1));
            Bind(q, in, key);
            if (!q.exec()) {
                Failed(q);
                return false;
            }
            const bool inserted = q.next();
            q.finish();
            if (inserted) {
                ++result.New;
                return true;
            }
            // Taken meanwhile: look at the same key again.
            if (key == std::numeric_limits<qint64>::min())
                key = std::numeric_limits<qint64>::max();
            else
                --key;
        }
    }

    TArchive& archive_;
    QSqlDatabase db_;
    TArchiveError error_;
    qint64 arrival_ = 0;
    std::optional<qint64> gauge_;
    QHash<QString, qint64> objectIds_, materialIds_;
    QSqlQuery full_, partial_;
    bool fullPrepared_ = false;
};

TArrivalResult Arrive(TArchive& archive, std::span<const TMeasRecord> records, TArrivalKind kind,
                      const QString& paramText, const QString& user, const QString& fileName,
                      const QDateTime& time) {
    TArrivalResult result;
    result.Records = static_cast<int>(records.size());
    if (archive.ReadOnly()) {
        result.Error = archive.Fail(TArchiveErrorKind::ReadOnly);
        return result;
    }
    // A record that comes twice in one arrival is kept once.
    std::vector<TIncoming> unique;
    unique.reserve(records.size());
    QSet<QByteArray> seen;
    for (const TMeasRecord& r : records) {
        QByteArray bytes(reinterpret_cast<const char*>(&r), RecordSize);
        if (seen.contains(bytes))
            continue;
        seen.insert(bytes);
        unique.push_back({&r, std::move(bytes), RecordKey(r)});
    }
    for (int attempt = 1;; ++attempt) {
        result.New = result.Known = 0;
        result.ArrivalId = 0;
        if (TArchiveError e = archive.Begin()) {
            result.Error = e;
            break;
        }
        std::optional<TArchiveError> failed;
        {
            TArrivalWriter writer(archive);
            failed = writer.Write(unique, kind, paramText, user, fileName, time, result);
        }
        if (!failed) {
            result.Error = archive.Commit();
            if (!result.Error)
                return result;
        } else {
            archive.Rollback();
            result.Error = *failed;
        }
        if (!result.Error.Transient || attempt >= kAttempts)
            break;
    }
    result.New = result.Known = 0;
    result.ArrivalId = 0;
    if (result.Error.Kind == TArchiveErrorKind::Damaged)
        result.Error = archive.SetAsideDamaged();
    return result;
}

} // namespace

QString TDownloadInfo::CurrentUserName() {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("LOGNAME") : user;
}

TArrivalResult ArchiveDownload(TArchive& archive, std::span<const TMeasRecord> records,
                               const TDownloadInfo& info) {
    return Arrive(archive, records, TArrivalKind::Download, info.ParamText, info.User, QString(), info.Time);
}

TArrivalResult ArchiveRecordsOfFile(TArchive& archive, std::span<const TMeasRecord> records,
                                    const QString& fileName, const QDateTime& time) {
    return Arrive(archive, records, TArrivalKind::File, QString(), TDownloadInfo::CurrentUserName(), fileName,
                  time);
}

TFileArrival ArchiveResultsFile(TArchive& archive, const QString& path) {
    TFileArrival arrival;
    arrival.File = path;
    QFile file(path);
    // Only a regular file (or a link to one): a pipe would hold the import until a writer came.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        arrival.CantRead = true;
        return arrival;
    }
    // Every whole record, as the open command reads them, but without the table's limit.
    std::vector<TMeasRecord> records;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        arrival.CantRead = true;
        return arrival;
    }
    records.resize(static_cast<size_t>(bytes.size() / RecordSize));
    if (!records.empty())
        std::memcpy(records.data(), bytes.constData(), records.size() * RecordSize);
    arrival.Result = ArchiveRecordsOfFile(archive, records, QFileInfo(path).absoluteFilePath());
    return arrival;
}

QStringList CollectResultsFiles(const QStringList& filesAndFolders) {
    QStringList files;
    for (const QString& item : filesAndFolders) {
        if (!QFileInfo(item).isDir()) {
            files << item;
            continue;
        }
        QStringList found;
        QDirIterator it(item, QDir::Files | QDir::Readable | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.endsWith(QStringLiteral(".lum1"), Qt::CaseInsensitive))
                found << path;
        }
        QCollator collator;
        collator.setNumericMode(true);
        std::sort(found.begin(), found.end(), collator);
        files << found;
    }
    return files;
}

TImportSummary ArchiveFiles(TArchive& archive, const QStringList& files, const TImportProgress& progress) {
    TImportSummary summary;
    const int total = static_cast<int>(files.size());
    if (progress && !progress(0, total, nullptr)) {
        summary.Cancelled = true;
        return summary;
    }
    for (int i = 0; i < total; ++i) {
        summary.Files.push_back(ArchiveResultsFile(archive, files[i]));
        const TFileArrival& arrival = summary.Files.back();
        if (arrival.CantRead) {
            ++summary.Unreadable;
        } else if (arrival.Result.Error) {
            summary.Error = arrival.Result.Error;
        } else {
            summary.Records += arrival.Result.Records;
            summary.New += arrival.Result.New;
            summary.Known += arrival.Result.Known;
        }
        const bool goOn = !progress || progress(i + 1, total, &arrival);
        if (summary.Error)
            break;
        if (!goOn && i + 1 < total) {
            summary.Cancelled = true;
            break;
        }
    }
    return summary;
}

std::vector<TArrival> Arrivals(TArchive& archive) {
    std::vector<TArrival> list;
    QSqlQuery q(archive.Database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT a.id, a.kind, a.arrived, g.param_text, a.user_name, a.file_name,"
                               " a.records, a.new_records, a.known_records FROM arrival a"
                               " LEFT JOIN gauge g ON g.id = a.gauge_id ORDER BY a.id DESC"))) {
        archive.Fail(q.lastError());
        return list;
    }
    while (q.next()) {
        TArrival a;
        a.Id = q.value(0).toLongLong();
        a.Kind = q.value(1).toInt() == static_cast<int>(TArrivalKind::File) ? TArrivalKind::File
                                                                            : TArrivalKind::Download;
        a.Time = QDateTime::fromString(q.value(2).toString(), Qt::ISODate);
        a.ParamText = q.value(3).toString();
        a.User = q.value(4).toString();
        a.FileName = q.value(5).toString();
        a.Records = q.value(6).toInt();
        a.New = q.value(7).toInt();
        a.Known = q.value(8).toInt();
        list.push_back(std::move(a));
    }
    return list;
}

} // namespace lum1
