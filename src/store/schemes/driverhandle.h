// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

namespace NxSerialFilter {

/// The driver's own handle under a Qt Sql connection when its type is one of names, for the
/// client library's own calls; null otherwise.
inline void *driverHandle(const QSqlDriver *driver, std::initializer_list<const char *> names)
{
    const QVariant handle = driver ? driver->handle() : QVariant();
    if (!handle.isValid())
        return nullptr;
    for (const char *name : names) {
        if (qstrcmp(handle.typeName(), name) == 0)
            return *static_cast<void *const *>(handle.constData());
    }
    return nullptr;
}

/// libpq's connection under a QPSQL connection. Qt names the type by libpq's struct tag;
/// older releases by its typedef.
inline void *pgConnection(const QSqlDriver *driver)
{
    return driverHandle(driver, {"pg_conn*", "PGconn*"});
}

/// The same under a QPSQL connection.
inline void *pgConnection(const QSqlDatabase &db)
{
    return pgConnection(db.driver());
}

/// SQLite's connection under a QSQLITE connection.
inline void *sqliteConnection(const QSqlDatabase &db)
{
    return driverHandle(db.driver(), {"sqlite3*"});
}

} // namespace NxSerialFilter
