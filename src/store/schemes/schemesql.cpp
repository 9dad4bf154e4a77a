// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "store/schemes/schemesql.h"

namespace NxSerialFilter::SchemeDb {

QString adminTest()
{
    // Functions are named with their schema, since a policy keeps what it names when it is
    // created.
    return QStringLiteral(
        "pg_catalog.pg_has_role(current_user, (SELECT c.relowner FROM pg_catalog.pg_class c "
        "WHERE c.oid = 'nxsf_schemes'::regclass), 'MEMBER')");
}

/// Its own rows, and every row for an administrator. A row without owner (written before
/// owners were kept) is every user's to read, and only an administrator's to change or give
/// an owner.
QString changeableTest()
{
    return QStringLiteral("(fowner = current_user OR ") + adminTest() + u')';
}

namespace {

/// Two columns for a text column: its value when it is within cap characters (else NULL, so
/// that a huge value written by another tool never reaches this process), and whether it is.
/// A server counts bytes first, which it knows without reading the value.
QString capped(const char *column, qsizetype cap, bool server)
{
    const QString c = QLatin1String(column), n = QString::number(cap);
    const QString fits =
        server ? QStringLiteral("(octet_length(%1) <= %2 OR (octet_length(%1) <= %3 AND "
                                "length(%1) <= %2))")
                     .arg(c, n, QString::number(4 * cap))
               : QStringLiteral("length(%1) <= %2").arg(c, n);
    return QStringLiteral("CASE WHEN %1 THEN %2 END, COALESCE(%1, 1 = 1)").arg(fits, c);
}

/// Who owns a row, whether it is shared, whether this role may change it and whether it is
/// this role's own; then whether it is its screen's default, which with owners is each role's
/// own mark on its own scheme.
QString rightsColumns(Dialect dialect, bool defaults)
{
    const bool owners = dialect == Dialect::Owners;
    return (owners ? QStringLiteral(", COALESCE(fowner, ''), fshared, ") + changeableTest() +
                         QStringLiteral(", COALESCE(fowner = current_user, false)")
                   : QString()) +
           (!defaults ? QString()
            : owners  ? QStringLiteral(", COALESCE(fdefault AND fowner = current_user, false)")
                      : QStringLiteral(", fdefault"));
}

/// Transactions and what the table holds.
QString tableStatement(Sql which, bool server)
{
    switch (which) {
    case Sql::Begin:
        return server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE");
    case Sql::Commit:
        return QStringLiteral("COMMIT");
    case Sql::Rollback:
        return QStringLiteral("ROLLBACK");
    case Sql::HasDefaultColumn:
        return server ? QStringLiteral("SELECT 1 FROM pg_attribute WHERE attrelid = "
                                       "to_regclass('nxsf_schemes') AND attname = 'fdefault' AND "
                                       "NOT attisdropped")
                      : QStringLiteral("SELECT 1 FROM pragma_table_info('nxsf_schemes') WHERE "
                                       "name = 'fdefault'");
    case Sql::TableExists:
        return server ? QStringLiteral("SELECT 1 WHERE to_regclass('nxsf_schemes') IS NOT NULL")
                      : QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND "
                                       "name = 'nxsf_schemes'");
    default:
        return {};
    }
}

/// The reads of schemes, each row with the rights columns.
QString readStatement(Sql which, bool server, const QString &rights)
{
    switch (which) {
    case Sql::Exists:
        return QStringLiteral("SELECT 1 FROM nxsf_schemes WHERE fscreenid = ? AND ffiltername = ?");
    case Sql::List:
        return QStringLiteral("SELECT fid, ") + capped("ffiltername", nameCap, server) + rights +
               QStringLiteral(" FROM nxsf_schemes WHERE fscreenid = ? ORDER BY fid");
    case Sql::ListAll:
    case Sql::ListScreen:
        return QStringLiteral("SELECT fid, %1, %2, %3, %4")
                   .arg(capped("fscreenid", screenCap, server),
                        capped("ffiltername", nameCap, server), capped("ffilter", textCap, server),
                        capped("fsort", textCap, server)) +
               rights +
               (which == Sql::ListAll
                    ? QStringLiteral(" FROM nxsf_schemes ORDER BY fscreenid, fid")
                    : QStringLiteral(" FROM nxsf_schemes WHERE fscreenid = ? ORDER BY fid"));
    case Sql::Text:
        // A text far too long (written by another tool) is not even fetched.
        return QStringLiteral("SELECT CASE WHEN length(ffilter) <= ? THEN ffilter END, "
                              "length(ffilter) FROM nxsf_schemes WHERE fid = ?");
    default:
        return {};
    }
}

/// The writes of a scheme's text and name.
QString writeStatement(Sql which, Dialect dialect)
{
    switch (which) {
    case Sql::Upsert:
        // With owners the key is (screen, name, owner): each user keeps schemes of their own,
        // and the row's owner is the role that inserts it.
        if (dialect == Dialect::Owners)
            return QStringLiteral(
                "INSERT INTO nxsf_schemes (fscreenid, ffiltername, ffilter, fsort, fcreated, "
                "fchanged, fshared) VALUES (?, ?, ?, ?, ?, ?, COALESCE(?::boolean, false)) ON "
                "CONFLICT (fscreenid, ffiltername, COALESCE(fowner, '')) DO UPDATE SET ffilter = "
                "excluded.ffilter, fsort = excluded.fsort, fchanged = excluded.fchanged, fshared = "
                "COALESCE(?::boolean, nxsf_schemes.fshared) RETURNING fid");
        return QStringLiteral(
            "INSERT INTO nxsf_schemes (fscreenid, ffiltername, ffilter, fsort, fcreated, fchanged) "
            "VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (fscreenid, ffiltername) DO UPDATE SET "
            "ffilter = excluded.ffilter, fsort = excluded.fsort, fchanged = excluded.fchanged "
            "RETURNING fid");
    case Sql::DropSameName:
        // With owners only the scheme's owner's others of the name go.
        if (dialect == Dialect::Owners)
            return QStringLiteral(
                "DELETE FROM nxsf_schemes WHERE fscreenid = ? AND ffiltername = ? AND fid <> ? "
                "AND COALESCE(fowner, '') = (SELECT COALESCE(t.fowner, '') FROM nxsf_schemes t "
                "WHERE t.fid = ?)");
        return QStringLiteral(
            "DELETE FROM nxsf_schemes WHERE fscreenid = ? AND ffiltername = ? AND fid <> ?");
    case Sql::UpdateById:
        return QStringLiteral("UPDATE nxsf_schemes SET ffiltername = ?, ffilter = ?, fsort = ?, "
                              "fchanged = ? WHERE fid = ? AND fscreenid = ?");
    case Sql::Remove:
        return QStringLiteral("DELETE FROM nxsf_schemes WHERE fid = ?");
    case Sql::Rename:
        // Refuses a name the screen already has instead of replacing that scheme.
        return QStringLiteral("UPDATE nxsf_schemes SET ffiltername = ?, fchanged = ? WHERE fid = ? "
                              "AND fscreenid = ? AND NOT EXISTS (SELECT 1 FROM nxsf_schemes o "
                              "WHERE o.fscreenid = ? AND o.ffiltername = ? AND o.fid <> ?)");
    case Sql::LockName:
        // Every write of a name waits for the others of that name, so that a rename onto it
        // never meets an insert of it that has not committed yet.
        return QStringLiteral("SELECT pg_advisory_xact_lock(7310043, hashtext(?))");
    default:
        return {};
    }
}

/// The writes of whether a scheme is shared or its screen's default.
QString markStatement(Sql which, Dialect dialect)
{
    switch (which) {
    case Sql::ShareByName:
        return QStringLiteral("UPDATE nxsf_schemes SET fshared = ?, fchanged = ? WHERE fscreenid "
                              "= ? AND ffiltername = ? AND fowner = current_user");
    case Sql::ShareById:
        return QStringLiteral("UPDATE nxsf_schemes SET fshared = ?, fchanged = ? WHERE fid = ? "
                              "AND fowner IS NOT NULL AND ") +
               changeableTest();
    case Sql::ClearDefault:
        // With owners only the scheme's owner's other default goes: each user keeps one.
        return QStringLiteral("UPDATE nxsf_schemes SET fdefault = ? WHERE fscreenid = ? AND fid "
                              "<> ? AND fdefault = ?") +
               (dialect == Dialect::Owners
                    ? QStringLiteral(" AND COALESCE(fowner, '') = (SELECT COALESCE(t.fowner, '') "
                                     "FROM nxsf_schemes t WHERE t.fid = ?)")
                    : QString());
    case Sql::SetDefault:
        // With owners a role marks only its own scheme: an administrator's default is the
        // administrator's.
        return QStringLiteral("UPDATE nxsf_schemes SET fdefault = ?, fchanged = ? WHERE fid = ? "
                              "AND fscreenid = ?") +
               (dialect == Dialect::Owners ? QStringLiteral(" AND fowner = current_user")
                                           : QString());
    default:
        return {};
    }
}

} // namespace

QString statement(Sql which, Dialect dialect, bool defaults)
{
    const bool server = dialect != Dialect::Sqlite;
    switch (which) {
    case Sql::Begin:
    case Sql::Commit:
    case Sql::Rollback:
    case Sql::HasDefaultColumn:
    case Sql::TableExists:
        return tableStatement(which, server);
    case Sql::Exists:
    case Sql::List:
    case Sql::ListAll:
    case Sql::ListScreen:
    case Sql::Text:
        return readStatement(which, server, rightsColumns(dialect, defaults));
    case Sql::Upsert:
    case Sql::DropSameName:
    case Sql::UpdateById:
    case Sql::Remove:
    case Sql::Rename:
    case Sql::LockName:
        return writeStatement(which, dialect);
    case Sql::ShareByName:
    case Sql::ShareById:
    case Sql::ClearDefault:
    case Sql::SetDefault:
        return markStatement(which, dialect);
    }
    return {};
}

QString schemaStatement(bool server)
{
    // FID stays within the host's 32-bit ids. A server's table keeps each row's owner; its
    // unique key on (screen, name, owner) is made with the rest of the rights.
    return QStringLiteral("CREATE TABLE IF NOT EXISTS nxsf_schemes (") +
           (server ? QStringLiteral("fid INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")
                   : QStringLiteral("fid INTEGER PRIMARY KEY AUTOINCREMENT")) +
           QStringLiteral(" CHECK (fid > 0 AND fid <= 2147483647),"
                          " fscreenid TEXT NOT NULL,"
                          " ffiltername TEXT NOT NULL,"
                          " ffilter TEXT NOT NULL,"
                          " fsort TEXT NOT NULL,"
                          " fcreated TEXT NOT NULL,"
                          " fchanged TEXT NOT NULL") +
           (server ? QStringLiteral(", fowner TEXT DEFAULT current_user,"
                                    " fshared BOOLEAN NOT NULL DEFAULT false)")
                   : QStringLiteral(", UNIQUE (fscreenid, ffiltername))"));
}

} // namespace NxSerialFilter::SchemeDb
