// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "store/schemes/storeoperation.h"

#include "core/text/texts.h"
#include "store/schemes/connectionpool.h"
#include "store/schemes/driverhandle.h"
#include "store/schemes/stallwatch.h"

#include <QElapsedTimer>

namespace NxSerialFilter::SchemeDb {

namespace {

/// Whether a failure means the server's session is gone (a restart, an administrator, the
/// network) rather than that the statement was refused.
bool sessionLost(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code.isEmpty() || code.startsWith(QLatin1String("08")) ||
           code == QLatin1String("57P01") || code == QLatin1String("57P02") ||
           code == QLatin1String("57P03");
}

/// Whether SQLite refused a reader because the file holds a write that was interrupted (a hot
/// rollback journal), which only a writer may roll back (SQLITE_READONLY_ROLLBACK).
bool hotJournal(const QSqlError &error)
{
    return error.nativeErrorCode() == QLatin1String("776");
}

} // namespace

void runOperation(ConnectionPtr &connection, bool write,
                  const std::function<void(SchemeStore::Connection &)> &body)
{
    bool reopened = false;
    int rereads = 0;
    QElapsedTimer busy;
    busy.start();
    // One budget for the whole operation, a reconnection included.
    std::optional<StallWatch> watch;
    if (connection->server)
        watch.emplace(connection->stallBudget);
    for (int attempt = 1;; ++attempt) {
        try {
            if (outdated(*connection)) {
                drop(connection);
                connection = openConnection(connection->location, connection->readOnly,
                                            watch ? &*watch : nullptr);
            }
            if (watch)
                watch->watch(pgConnection(connection->db.driver()));
            connection->watch = watch ? &*watch : nullptr;
            body(*connection);
            connection->watch = nullptr;
            if (watch)
                watch->release();
            // A writer came while the file was read as it was: what was read may mix two
            // states, so it is read again.
            if (!outdated(*connection) || ++rereads > 20)
                return;
            continue;
        } catch (const SqlFailure &failure) {
            connection->watch = nullptr;
            if (watch) {
                watch->release();
                // Cut off: whatever was sent may or may not have arrived, so nothing is
                // repeated; a write that did not commit was rolled back by the server.
                if (watch->fired()) {
                    drop(connection);
                    raise(failure.what, connection->location,
                          stalledDetail(connection->stallBudget));
                }
            }
            if (outdated(*connection) && ++rereads <= 20)
                continue;
            const QString location = connection->location;
            const bool server = connection->server;
            const bool readOnly = connection->readOnly;
            const QString code = failure.error.nativeErrorCode();
            // Concurrent writers on a server may meet a unique or serialization conflict;
            // the whole write is then tried again.
            const bool conflict =
                server && write &&
                (code == QLatin1String("23505") || code == QLatin1String("40001") ||
                 code == QLatin1String("40P01"));
            if (conflict && attempt < 5)
                continue;
            // A file held by another writer: nothing was done (a commit refused as busy left
            // its transaction to the rollback), so the whole operation is tried again.
            if (!server && sqliteBusy(failure.error) && busy.elapsed() < sqliteBusyDeadline) {
                pauseBeforeRetry();
                continue;
            }
            drop(connection);
            // After a server restart the first use of a kept connection fails: a read, or a
            // write that rolled back, is done once more on a new connection.
            if (server && !reopened && !failure.atCommit && sessionLost(failure.error)) {
                reopened = true;
                connection = openConnection(location, readOnly, watch ? &*watch : nullptr);
                continue;
            }
            // SQLite's own words would say the reader tried to write.
            if (!server && readOnly && hotJournal(failure.error))
                raise(Texts::schemeStoreUnfinishedWrite, location, {});
            raise(failure.what, location, failure.error.text());
        }
    }
}

} // namespace NxSerialFilter::SchemeDb
