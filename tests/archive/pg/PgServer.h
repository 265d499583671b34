#pragma once
// The tests' own PostgreSQL server (pg-server.sh, started by the ctest fixture archive_pg):
// where it listens, and a new database for each test.

#include "archive/Archive.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <gtest/gtest.h>

namespace lum1::test {

struct PgServer {
    QString Host;
    int Port = 5432;
    QString User;

    static PgServer FromState() {
        PgServer s;
        QFile f(QStringLiteral(LUM1_PG_STATE));
        if (!f.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "no server: " << LUM1_PG_STATE
                          << " (run through ctest: the archive_pg fixture starts it)";
            return s;
        }
        for (const QByteArray& line : f.readAll().split('\n')) {
            const QString l = QString::fromUtf8(line.trimmed());
            if (l.startsWith("PGHOST="))
                s.Host = l.mid(7);
            else if (l.startsWith("PGPORT="))
                s.Port = l.mid(7).toInt();
            else if (l.startsWith("PGUSER="))
                s.User = l.mid(7);
        }
        return s;
    }

    // Runs statements as the tests' superuser in a database ("postgres" by default).
    bool Admin(const QStringList& statements, const QString& database = QStringLiteral("postgres")) const {
        bool ok = true;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "pg-admin");
            db.setHostName(Host);
            db.setPort(Port);
            db.setUserName(User);
            db.setDatabaseName(database);
            if (!db.open()) {
                ADD_FAILURE() << db.lastError().text().toStdString();
                ok = false;
            }
            QSqlQuery q(db);
            for (const QString& s : statements)
                if (ok && !q.exec(s)) {
                    ADD_FAILURE() << s.toStdString() << ": " << q.lastError().text().toStdString();
                    ok = false;
                }
        }
        QSqlDatabase::removeDatabase("pg-admin");
        return ok;
    }

    // A new, empty database (owned by `owner`) and the connection to it.
    TArchiveConnection FreshDatabase(const QString& owner = {}) const {
        static QAtomicInteger<int> counter;
        const QString name = QStringLiteral("t%1_%2")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(counter.fetchAndAddRelaxed(1));
        Admin({QStringLiteral("CREATE DATABASE %1%2")
                   .arg(name, owner.isEmpty() ? QString() : " OWNER " + owner)});
        TArchiveConnection c;
        c.Engine = TArchiveEngine::PostgreSQL;
        c.Host = Host;
        c.Port = Port;
        c.Database = name;
        c.User = owner.isEmpty() ? User : owner;
        return c;
    }
};

} // namespace lum1::test
