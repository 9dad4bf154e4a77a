// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/schemes/storeconnection.h"

namespace NxSerialFilter::SchemeDb {

/// Settings of the server's session that the address may give besides libpq's keywords.
struct SessionSettings
{
    QString statementTimeout = QString::number(SchemeStore::DefaultStatementTimeout);
    QString lockTimeout = QString::number(SchemeStore::DefaultLockTimeout);
    QString owner; // the role that must own the store; empty: the connecting role
    /// The longest any operation may wait: connecting, one statement and a little more.
    std::chrono::milliseconds stallBudget{0};
};

/// Gives the driver the server's address: host, database, user, libpq's options with the
/// store's timeouts and keepalives. Throws for an address that cannot be used.
SessionSettings configureServer(QSqlDatabase &db, const QString &location);
/// The session's timeouts, before anything could wait on a lock; a session for reading may
/// not write at all.
void applySettings(SchemeStore::Connection &c, const SessionSettings &settings);

} // namespace NxSerialFilter::SchemeDb
