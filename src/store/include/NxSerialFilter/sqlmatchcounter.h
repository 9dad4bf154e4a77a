// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// A ready live counter for hosts whose records are on a Qt Sql connection.

#include <NxSerialFilter/matchcounter.h>
#include <NxSerialFilter/nxsf_store_export.h>

#include <QString>

#include <chrono>
#include <memory>

// A host that has a connection has Qt Sql; a host of the store without one needs none.
class QSqlDatabase;

namespace NxSerialFilter {

/// Counts the host's records that the dialog's condition matches, on connections of its own.
///
/// Made from the host's connection and the FROM part of the host's query:
/// @code
/// filter.setMatchCounter(SqlMatchCounter(QSqlDatabase::database(),
///                                        QStringLiteral("FROM v_SerialRecord tf")),
///                        SqlEngine::PostgreSQL);
/// @endcode
/// It copies the connection's driver, address and options when it is made, and opens a copy
/// for each count on the thread that counts, so the host's own connection is never touched.
/// It counts `SELECT COUNT(*) FROM … WHERE <bound condition>` with the values bound (the
/// QMark form; on PostgreSQL the Dollar form too).
///
/// A count that the dialog no longer wants is cancelled on the server: on PostgreSQL (QPSQL)
/// with libpq's cancel request, on SQLite (QSQLITE) by interrupting the statement. Each
/// statement ends at the counter's time-out, and then counts as a failure. While the exact
/// count runs it tells the dialog an estimate: on PostgreSQL the planner's row estimate, on
/// SQLite a count that stops at estimateLimit() ("more than 100,000"); when that count stops
/// short of the limit it is the exact count. Other drivers count without either.
///
/// Copies share their settings; it may be copied to several filters.
class NXSF_STORE_EXPORT SqlMatchCounter
{
public:
    /// The default statement time-out.
    static constexpr std::chrono::milliseconds defaultTimeout{std::chrono::seconds(60)};
    /// Where SQLite's first count stops by default.
    static constexpr qint64 defaultEstimateLimit = 100000;

    /// from: the FROM part of the host's query, with the aliases its fields' columns name
    /// ("FROM v_SerialRecord tf LEFT JOIN …"; the word FROM may be left out). Call it on the
    /// thread that uses database.
    SqlMatchCounter(const QSqlDatabase &database, const QString &from);

    /// Sets how long each statement may run before it is ended and the count fails.
    void setStatementTimeout(std::chrono::milliseconds timeout);
    /// The statement time-out.
    std::chrono::milliseconds statementTimeout() const;
    /// Sets where SQLite's first count stops: past this many records, the dialog hears "more
    /// than" this many while the exact count goes on.
    void setEstimateLimit(qint64 records);
    /// Where SQLite's first count stops.
    qint64 estimateLimit() const;

    /// Counts condition on a connection of the calling thread's own: the count, or
    /// std::nullopt when the connection, a statement or the time-out failed, or the count was
    /// cancelled.
    std::optional<qint64> operator()(const BoundCondition &condition,
                                     const CountControl &control) const;

private:
    struct Shared;
    std::shared_ptr<Shared> d;
};

} // namespace NxSerialFilter
