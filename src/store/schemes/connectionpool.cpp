// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "store/schemes/connectionpool.h"

#include "core/text/texts.h"
#include "store/schemes/driverhandle.h"
#include "store/schemes/serversession.h"
#include "store/schemes/servertable.h"
#include "store/schemes/stallwatch.h"
#include "store/schemes/storetable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QThread>
#include <QUrl>

#include <atomic>

namespace NxSerialFilter::SchemeDb {

bool sqliteBusy(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    return ok && (code == 5 || code == 6);
}

void pauseBeforeRetry()
{
    QThread::msleep(5 + QRandomGenerator::global()->bounded(20));
}

QString stalledDetail(std::chrono::milliseconds budget)
{
    return QStringLiteral("no answer from the server within %1 ms; the wait was ended")
        .arg(budget.count());
}

namespace {

std::atomic<quint64> connectionCounter{0};

QHash<QString, ConnectionPtr> &pool()
{
    thread_local QHash<QString, ConnectionPtr> connections;
    return connections;
}

/// Leaves a watch's connection alone when the scope ends, so that it may be closed.
struct WatchRelease
{
    StallWatch *watch;
    ~WatchRelease()
    {
        if (watch)
            watch->release();
    }
};

/// The pool's connection of that key, unless its file was removed behind our back (it would
/// swallow saves into an unlinked inode).
ConnectionPtr pooledConnection(const QString &key, const QString &location, bool server)
{
    if (ConnectionPtr pooled = pool().value(key)) {
        if (server || QFileInfo::exists(filePath(location)))
            return pooled;
        pool().remove(key);
    }
    return nullptr;
}

/// Points the driver at the SQLite file.
void configureFile(SchemeStore::Connection &c)
{
    const QString path = filePath(c.location);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=") + QString::number(sqliteBusyTimeout);
    if (c.readOnly) {
        // A reader creates nothing, so that it works in a folder it may not write and
        // leaves no file of its own that the owner could not write. A WAL with its shared
        // memory is read as it is, without writing to either; a file without a WAL (no
        // writer has it open) is read as it is, and the read counts only if no writer
        // came meanwhile.
        QString uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
        if (QFileInfo::exists(path + QStringLiteral("-wal")) ||
            QFileInfo::exists(path + QStringLiteral("-journal"))) {
            uri += QFileInfo::exists(path + QStringLiteral("-shm"))
                       ? QStringLiteral("?mode=ro&readonly_shm=1")
                       : QStringLiteral("?mode=ro");
        } else {
            c.immutable = stampOf(path);
            uri += QStringLiteral("?mode=ro&immutable=1");
        }
        c.db.setDatabaseName(uri);
        options += QStringLiteral(";QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI");
    } else {
        c.db.setDatabaseName(path);
    }
    c.db.setConnectOptions(options);
}

/// Opens the driver's connection. Opening runs the driver's own first queries: a server that
/// stalls there is cut off too, on the connection the driver made (the address's options may
/// name another host or port).
void openDriver(SchemeStore::Connection &c, StallWatch *watch)
{
    if (watch)
        watch->watchOpening([driver = c.db.driver()] { return pgConnection(driver); });
    if (!c.db.open()) {
        if (watch && watch->fired())
            raise(Texts::schemeStoreOpenFailed, c.location, stalledDetail(c.stallBudget));
        raise(Texts::schemeStoreOpenFailed, c.location, c.db.lastError().text());
    }
    if (watch)
        watch->watch(pgConnection(c.db.driver()));
}

/// The session's settings, then the table: made or brought up to date by a writer, checked on
/// a server by a reader.
void prepareSession(SchemeStore::Connection &c, const SessionSettings &settings, StallWatch *watch)
{
    QElapsedTimer busy;
    busy.start();
    for (;;) {
        try {
            if (c.server)
                applySettings(c, settings);
            if (!c.readOnly) {
                createSchema(c);
                c.hasTable = true;
            }
            if (c.server && c.readOnly)
                c.hasTable = verifyServerTable(c);
            return;
        } catch (const SqlFailure &failure) {
            if (watch) {
                watch->release();
                if (watch->fired())
                    raise(failure.what, c.location, stalledDetail(c.stallBudget));
            }
            // Several processes opening a new file at once meet while one turns on WAL.
            if (!c.server && sqliteBusy(failure.error) && busy.elapsed() < sqliteBusyDeadline) {
                pauseBeforeRetry();
                continue;
            }
            raise(failure.what, c.location, failure.error.text());
        }
    }
}

void keep(const ConnectionPtr &c)
{
    static std::atomic_bool cleanupFiled{false};
    if (QCoreApplication::instance() && !cleanupFiled.exchange(true))
        qAddPostRoutine(&SchemeStore::closeConnections);
    pool().insert(c->key, c);
}

} // namespace

ConnectionPtr openConnection(const QString &location, bool readOnly, StallWatch *operationWatch)
{
    const bool server = SchemeStore::isServerAddress(location);
    const QString key = (server ? location : filePath(location)) +
                        (readOnly ? QStringLiteral("\n(read)") : QString());
    if (ConnectionPtr pooled = pooledConnection(key, location, server))
        return pooled;
    if (!server && location.isEmpty())
        raise(Texts::schemeStoreBadAddress, location, {});
    // SQLite keeps one lock state per file and process: a reader that reads the file as it
    // is, without locks, would make this process's writer find the file read-only.
    if (!server && !readOnly)
        pool().remove(filePath(location) + QStringLiteral("\n(read)"));

    auto c = std::make_shared<SchemeStore::Connection>();
    c->name = QStringLiteral("nxsf-schemes-%1").arg(++connectionCounter);
    c->location = location;
    c->key = key;
    c->server = server;
    c->readOnly = readOnly;
    if (!server && readOnly && !QFileInfo::exists(filePath(location))) {
        c->noFile = true;
        return c; // not kept: the file may be made at any moment
    }
    c->db = QSqlDatabase::addDatabase(server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"),
                                      c->name);
    if (!c->db.isValid())
        raise(Texts::schemeStoreOpenFailed, location, c->db.lastError().text());
    SessionSettings settings;
    if (server) {
        settings = configureServer(c->db, location);
        c->owner = settings.owner;
        c->stallBudget = settings.stallBudget;
    } else {
        configureFile(*c);
    }
    std::optional<StallWatch> ownWatch;
    StallWatch *watch = operationWatch;
    if (server && !watch)
        watch = &ownWatch.emplace(c->stallBudget);
    const WatchRelease release{watch};
    openDriver(*c, watch);
    prepareSession(*c, settings, watch);
    keep(c);
    return c;
}

bool outdated(const SchemeStore::Connection &c)
{
    if (c.noFile)
        return QFileInfo::exists(filePath(c.location));
    return c.immutable && *c.immutable != stampOf(filePath(c.location));
}

void drop(const ConnectionPtr &connection)
{
    if (pool().value(connection->key) == connection)
        pool().remove(connection->key);
}

void closeAll()
{
    pool().clear();
}

} // namespace NxSerialFilter::SchemeDb
