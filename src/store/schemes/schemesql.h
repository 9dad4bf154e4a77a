// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/limits.h>

#include <QString>

namespace NxSerialFilter::SchemeDb {

/// The statements the scheme store prepares.
enum class Sql {
    Begin,
    Commit,
    Rollback,
    Exists,
    List,
    ListAll,
    ListScreen,
    Text,
    Upsert,
    DropSameName,
    UpdateById,
    Remove,
    Rename,
    LockName,
    TableExists,
    ShareByName,
    ShareById,
    HasDefaultColumn,
    ClearDefault,
    SetDefault,
};

/// The SQL a store speaks: SQLite, a server, or a server whose table keeps owners.
enum class Dialect {
    Sqlite,
    Server,
    Owners,
};

constexpr qsizetype nameCap = Limits::MaxSchemeNameLength;
constexpr qsizetype screenCap = Limits::MaxScreenIdLength;
constexpr qsizetype textCap = Limits::MaxSchemeTextLength;

/// Whether the connecting role is the store's administrator (a member of the table's owner),
/// as an SQL condition.
QString adminTest();
/// Rows that the connecting role may change, as an SQL condition.
QString changeableTest();

/// The statement of a dialect; defaults tells that the table has the column of the default
/// scheme (a store made before defaults were kept may lack it).
QString statement(Sql which, Dialect dialect, bool defaults = false);
/// Creates the table where there is none, on a server or in SQLite.
QString schemaStatement(bool server);

} // namespace NxSerialFilter::SchemeDb
