// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/schemes/storeconnection.h"

namespace NxSerialFilter::SchemeDb {

/// SQLite's own wait for a lock sleeps longer the longer it waits, so that a writer looping
/// in another process takes the file again and again before a waiting one looks: each wait is
/// short, and the whole operation is tried again until the file has been busy this long.
constexpr int sqliteBusyTimeout = 500;
constexpr int sqliteBusyDeadline = 30000;

/// Whether SQLite refused because another connection held the file (SQLITE_BUSY or
/// SQLITE_LOCKED, any extended code); nothing of the statement was done.
bool sqliteBusy(const QSqlError &error);
/// A short random pause, so that waiting writers do not all try again at the same moment.
void pauseBeforeRetry();
/// What a failure says when the client ended a wait on a server that did not answer.
QString stalledDetail(std::chrono::milliseconds budget);

/// The connection of this thread to a location, opened (with its table made or checked) when
/// the pool has none; watched by the operation's watch when it opens one again (one budget
/// covers the whole operation), else by a watch of its own.
ConnectionPtr openConnection(const QString &location, bool readOnly,
                             StallWatch *operationWatch = nullptr);
/// Whether a reader's view of a file is out of date: the file came or went, or a writer has
/// been at it since it was opened as it was.
bool outdated(const SchemeStore::Connection &c);
/// Takes the connection out of the pool, if it is the one kept there.
void drop(const ConnectionPtr &connection);
/// Closes every connection this thread keeps.
void closeAll();

} // namespace NxSerialFilter::SchemeDb
