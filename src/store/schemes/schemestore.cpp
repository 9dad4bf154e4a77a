// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/schemestore.h>

#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include "core/language/texts.h"
#include "core/schemes/namerules.h"
#include "core/schemes/schemetext.h"
#include "store/schemes/driverhandle.h"
#include "store/schemes/stallwatch.h"
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/limits.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>

#include <libpq-fe.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <map>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace NxSerialFilter {

namespace {

const QString serverScheme = QStringLiteral("postgresql://");

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

/// Whether the connecting role is the store's administrator (a member of the table's owner),
/// who may change every scheme. Functions are named with their schema, since a policy keeps
/// what it names when it is created.
const char adminTest[] =
    "pg_catalog.pg_has_role(current_user, (SELECT c.relowner FROM pg_catalog.pg_class c "
    "WHERE c.oid = 'nxsf_schemes'::regclass), 'MEMBER')";

/// Rows that the connecting role may change: its own, and every row for an administrator.
/// A row without owner (written before owners were kept) is every user's to read, and only an
/// administrator's to change or give an owner.
QString changeableTest()
{
    return QStringLiteral("(fowner = current_user OR ") + QLatin1String(adminTest) + u')';
}

/// Marks the policies of this version, so that the owner's next open replaces older ones.
const char policyVersion[] = "nxsf rights 2";

/// The row-level rights of a store with owners, created with the table: a user's row stays the
/// user's, before and after every change, and only an administrator writes a row of another
/// owner or of none.
QStringList policyStatements()
{
    const QString changeable = changeableTest();
    QStringList statements{
        QStringLiteral("CREATE POLICY nxsf_read ON nxsf_schemes FOR SELECT USING (fowner IS NULL "
                       "OR fshared OR fowner = current_user OR ") +
            QLatin1String(adminTest) + u')',
        QStringLiteral("CREATE POLICY nxsf_insert ON nxsf_schemes FOR INSERT WITH CHECK ") +
            changeable,
        QStringLiteral("CREATE POLICY nxsf_update ON nxsf_schemes FOR UPDATE USING ") + changeable +
            QStringLiteral(" WITH CHECK ") + changeable,
        QStringLiteral("CREATE POLICY nxsf_delete ON nxsf_schemes FOR DELETE USING ") + changeable,
    };
    for (const char *policy : {"nxsf_read", "nxsf_insert", "nxsf_update", "nxsf_delete"})
        statements.append(QStringLiteral("COMMENT ON POLICY %1 ON nxsf_schemes IS '%2'")
                              .arg(QLatin1String(policy), QLatin1String(policyVersion)));
    return statements;
}

const QStringList storePolicies{QStringLiteral("nxsf_delete"), QStringLiteral("nxsf_insert"),
                                QStringLiteral("nxsf_read"), QStringLiteral("nxsf_update")};

/// The columns a user writes: never the id, the owner or the time of creation (an insert
/// takes the id and the owner from their defaults).
const char userInsertColumns[] =
    "fscreenid, ffiltername, ffilter, fsort, fcreated, fchanged, fshared, fdefault";
const char userUpdateColumns[] = "ffiltername, ffilter, fsort, fchanged, fshared, fdefault";

/// Lets grantee (an SQL role name, quoted, or PUBLIC) insert or update only the columns a user
/// writes.
QString columnGrant(const QString &privilege, const QString &grantee)
{
    return QStringLiteral("GRANT %1 (%2) ON nxsf_schemes TO %3")
        .arg(privilege,
             QLatin1String(privilege == QLatin1String("INSERT") ? userInsertColumns
                                                                : userUpdateColumns),
             grantee);
}

constexpr qsizetype nameCap = Limits::MaxSchemeNameLength;
constexpr qsizetype screenCap = Limits::MaxScreenIdLength;
constexpr qsizetype textCap = Limits::MaxSchemeTextLength;

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

/// The statement of a dialect; defaults tells that the table has the column of the default
/// scheme (a store made before defaults were kept may lack it).
QString statement(Sql which, Dialect dialect, bool defaults = false)
{
    const bool server = dialect != Dialect::Sqlite;
    // Who owns a row, whether it is shared, whether this role may change it and whether it is
    // this role's own; then whether it is its screen's default, which with owners is each
    // role's own mark on its own scheme.
    const bool owners = dialect == Dialect::Owners;
    const QString rights =
        (owners ? QStringLiteral(", COALESCE(fowner, ''), fshared, ") + changeableTest() +
                      QStringLiteral(", COALESCE(fowner = current_user, false)")
                : QString()) +
        (!defaults ? QString()
         : owners  ? QStringLiteral(", COALESCE(fdefault AND fowner = current_user, false)")
                   : QStringLiteral(", fdefault"));
    switch (which) {
    case Sql::Begin:
        return server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE");
    case Sql::Commit:
        return QStringLiteral("COMMIT");
    case Sql::Rollback:
        return QStringLiteral("ROLLBACK");
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
    case Sql::ShareByName:
        return QStringLiteral("UPDATE nxsf_schemes SET fshared = ?, fchanged = ? WHERE fscreenid "
                              "= ? AND ffiltername = ? AND fowner = current_user");
    case Sql::ShareById:
        return QStringLiteral("UPDATE nxsf_schemes SET fshared = ?, fchanged = ? WHERE fid = ? "
                              "AND fowner IS NOT NULL AND ") +
               changeableTest();
    case Sql::HasDefaultColumn:
        return server ? QStringLiteral("SELECT 1 FROM pg_attribute WHERE attrelid = "
                                       "to_regclass('nxsf_schemes') AND attname = 'fdefault' AND "
                                       "NOT attisdropped")
                      : QStringLiteral("SELECT 1 FROM pragma_table_info('nxsf_schemes') WHERE "
                                       "name = 'fdefault'");
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
    case Sql::TableExists:
        return server ? QStringLiteral("SELECT 1 WHERE to_regclass('nxsf_schemes') IS NOT NULL")
                      : QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND "
                                       "name = 'nxsf_schemes'");
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

/// A failure of the database, described later by what was being done.
struct SqlFailure
{
    QString (*what)();
    QSqlError error;
    bool atCommit = false; // the write may have been committed: never repeat it
};

/// Qt binds a null QString as NULL; the columns are NOT NULL, so empty must stay empty.
QVariant bindText(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

QVariant now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

std::atomic<quint64> connectionCounter{0};

/// SQLite's own wait for a lock sleeps longer the longer it waits, so that a writer looping
/// in another process takes the file again and again before a waiting one looks: each wait is
/// short, and the whole operation is tried again until the file has been busy this long.
constexpr int sqliteBusyTimeout = 500;
constexpr int sqliteBusyDeadline = 30000;

/// Whether SQLite refused because another connection held the file (SQLITE_BUSY or
/// SQLITE_LOCKED, any extended code); nothing of the statement was done.
bool sqliteBusy(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    return ok && (code == 5 || code == 6);
}

/// Whether SQLite refused a reader because the file holds a write that was interrupted (a hot
/// rollback journal), which only a writer may roll back (SQLITE_READONLY_ROLLBACK).
bool hotJournal(const QSqlError &error)
{
    return error.nativeErrorCode() == QLatin1String("776");
}

/// A short random pause, so that waiting writers do not all try again at the same moment.
void pauseBeforeRetry()
{
    QThread::msleep(5 + QRandomGenerator::global()->bounded(20));
}

} // namespace

namespace {

/// What a reader that does without SQLite's shared memory knows of the file it reads: any
/// write since (a checkpoint, a new WAL) changes it.
struct FileStamp
{
    bool exists = false;
    bool wal = false;
    qint64 size = -1;
    qint64 modified = 0; // nanoseconds where the system keeps them
    qint64 changed = 0;
    quint64 inode = 0;
    bool operator==(const FileStamp &) const = default;
};

FileStamp stampOf(const QString &path)
{
    FileStamp stamp;
    stamp.wal = QFileInfo::exists(path + QStringLiteral("-wal"));
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.size = st.st_size;
    stamp.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changed = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    stamp.inode = st.st_ino;
#else
    const QFileInfo info(path);
    stamp.exists = info.exists();
    stamp.size = info.size();
    stamp.modified = info.lastModified().toMSecsSinceEpoch();
    stamp.changed = info.metadataChangeTime().toMSecsSinceEpoch();
#endif
    return stamp;
}

} // namespace

struct SchemeStore::Connection
{
    QString name;
    QString location;
    QString key; // in the pool
    bool server = false;
    bool readOnly = false;
    bool hasTable = false;
    bool owners = false;   // a server table that keeps owners and rights
    bool defaults = false; // the table has the column of the default scheme
    /// The role that must own a server's store; empty: the connecting role.
    QString owner;
    /// How long one operation on the server may wait in all.
    std::chrono::milliseconds stallBudget{0};
    /// A reader of a file that does not exist: it reads as empty, and opens nothing.
    bool noFile = false;
    /// A reader of a file that has no WAL: it reads the file as it is, without locks or
    /// shared memory, and its reads count only while the file stays as stamped.
    std::optional<FileStamp> immutable;
    QSqlDatabase db;
    std::map<Sql, QSqlQuery> queries;
    /// The running operation's watch on a server, which a long write gives a budget per
    /// statement.
    StallWatch *watch = nullptr;

    ~Connection()
    {
        // Closing never waits on the server: the driver would free each prepared statement
        // there and wait for the answer, for ever once the server has stopped answering. The
        // driver goes first, its last message not waited for; the session's end frees the
        // statements, and the queries freed afterwards have no driver to ask.
        if (server && db.isValid()) {
            if (void *handle = pgConnection(db.driver()))
                PQsetnonblocking(static_cast<PGconn *>(handle), 1);
        }
        if (db.isValid())
            db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        queries.clear();
    }

    Dialect dialect() const
    {
        return !server ? Dialect::Sqlite : owners ? Dialect::Owners : Dialect::Server;
    }

    QSqlQuery &prepared(Sql which, QString (*what)())
    {
        auto it = queries.find(which);
        if (it != queries.end())
            return it->second;
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.prepare(statement(which, dialect(), defaults)))
            throw SqlFailure{what, query.lastError()};
        return queries.emplace(which, std::move(query)).first->second;
    }

    /// Runs a prepared statement with its values; the caller reads and then finishes it.
    QSqlQuery &run(Sql which, const QVariantList &values, QString (*what)())
    {
        QSqlQuery &query = prepared(which, what);
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values.at(i));
        if (!query.exec()) {
            SqlFailure failure{what, query.lastError()};
            query.finish();
            throw failure;
        }
        return query;
    }

    void exec(const QString &sql, QString (*what)())
    {
        QSqlQuery query(db);
        if (!query.exec(sql))
            throw SqlFailure{what, query.lastError()};
    }
};

namespace {

using ConnectionPtr = std::shared_ptr<SchemeStore::Connection>;

QHash<QString, ConnectionPtr> &pool()
{
    thread_local QHash<QString, ConnectionPtr> connections;
    return connections;
}

/// Whether an address option (as written, percent-encoded) gives a password.
bool isPasswordOption(const QString &pair)
{
    return QUrl::fromPercentEncoding(pair.section(u'=', 0, 0).toUtf8())
               .trimmed()
               .compare(QLatin1String("password"), Qt::CaseInsensitive) == 0;
}

/// The passwords an address holds, however given (its user part, password= options), as
/// written and decoded.
QStringList passwordsIn(const QString &location)
{
    const QUrl url(location);
    QStringList secrets{url.password(QUrl::FullyDecoded), url.password(QUrl::FullyEncoded)};
    for (const QString &pair : url.query(QUrl::FullyEncoded).split(u'&')) {
        if (isPasswordOption(pair)) {
            const QString value = pair.section(u'=', 1);
            secrets << value << QUrl::fromPercentEncoding(value.toUtf8());
        }
    }
    secrets.removeAll(QString());
    return secrets;
}

[[noreturn]] void raise(QString (*what)(), const QString &location, const QString &detail)
{
    QString description = Language::text(what()) + SchemeStore::displayName(location);
    QString said = detail.trimmed();
    // The driver's or the address parser's own words may quote what they were given.
    if (SchemeStore::isServerAddress(location)) {
        for (const QString &secret : passwordsIn(location))
            said.replace(secret, QStringLiteral("***"));
    }
    if (!said.isEmpty())
        description += QStringLiteral("（") + said + QStringLiteral("）");
    throw FilterError(SchemeStore::FailureNumber, QStringLiteral("SchemeStore"), description);
}

/// One write, as one transaction that rolls back unless it was committed.
class Transaction
{
public:
    explicit Transaction(SchemeStore::Connection &c)
        : m_c(c)
    {
        step(Sql::Begin);
    }
    ~Transaction()
    {
        if (m_open) {
            try {
                step(Sql::Rollback);
            } catch (...) {
            }
        }
    }
    void commit()
    {
        try {
            step(Sql::Commit);
        } catch (SqlFailure &failure) {
            failure.atCommit = true;
            throw;
        }
        m_open = false;
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    void step(Sql which)
    {
        // A server takes transaction control only as plain statements.
        if (m_c.server)
            m_c.exec(statement(which, Dialect::Server), Texts::schemeStoreWriteFailed);
        else
            m_c.run(which, {}, Texts::schemeStoreWriteFailed).finish();
    }

    SchemeStore::Connection &m_c;
    bool m_open = true;
};

/// libpq reads "keyword=value" pairs apart at blanks; quoted, a value keeps its spaces.
QString connectValue(const QString &value)
{
    QString quoted = value;
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    quoted.replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + quoted + u'\'';
}

/// Settings of the server's session that the address may give besides libpq's keywords.
struct SessionSettings
{
    QString statementTimeout = QString::number(SchemeStore::DefaultStatementTimeout);
    QString lockTimeout = QString::number(SchemeStore::DefaultLockTimeout);
    QString owner; // the role that must own the store; empty: the connecting role
    /// The longest any operation may wait: connecting, one statement and a little more.
    std::chrono::milliseconds stallBudget{0};
};

/// A server setting of time in milliseconds ("10000", "10s", "1min"); nothing when it is not
/// one or is 0 (no limit).
std::optional<qint64> milliseconds(const QString &setting)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d+)\\s*(ms|s|min|h|)\\s*$"));
    const auto match = form.match(setting);
    bool ok = false;
    const qint64 value = match.captured(1).toLongLong(&ok);
    if (!match.hasMatch() || !ok || value <= 0 || value > 24LL * 3600 * 1000)
        return std::nullopt;
    const QString unit = match.captured(2);
    const qint64 factor = unit == QLatin1String("s")     ? 1000
                          : unit == QLatin1String("min") ? 60000
                          : unit == QLatin1String("h")   ? 3600000
                                                         : 1;
    return value * factor;
}

constexpr qint64 maxConnectSeconds = 24 * 3600;

SessionSettings configureServer(QSqlDatabase &db, const QString &location)
{
    const QUrl url(location);
    const QString database = url.path().mid(1);
    if (!url.isValid() || url.host().isEmpty() || database.isEmpty() || database.contains(u'/'))
        // Qt's description quotes the whole address, password and all.
        raise(Texts::schemeStoreBadAddress, location,
              url.errorString().section(QLatin1String("; source was"), 0, 0));
    db.setHostName(url.host());
    db.setPort(url.port(5432));
    db.setDatabaseName(database);
    db.setUserName(url.userName(QUrl::FullyDecoded));
    db.setPassword(url.password(QUrl::FullyDecoded));
    SessionSettings settings;
    QMap<QString, QString> options{
        {QStringLiteral("connect_timeout"), QString::number(SchemeStore::DefaultConnectTimeout)}};
    static const QRegularExpression keyword(QStringLiteral("^[a-z_]+$"));
    for (const auto &[key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        // Qt hands the options to libpq with every ";" made a blank.
        if (!keyword.match(key).hasMatch() || value.contains(u';'))
            raise(Texts::schemeStoreBadAddress, location, key);
        if (key == QLatin1String("statement_timeout"))
            settings.statementTimeout = value;
        else if (key == QLatin1String("lock_timeout"))
            settings.lockTimeout = value;
        else if (key == QLatin1String("owner"))
            settings.owner = value;
        else
            options.insert(key, value);
    }
    // libpq waits for ever at 0 or below, and seconds beyond a day are no timeout either.
    bool ok = false;
    const QString connectTimeout = options.value(QStringLiteral("connect_timeout"));
    const qint64 connectSeconds = connectTimeout.toLongLong(&ok);
    if (!ok || connectSeconds < 1 || connectSeconds > maxConnectSeconds)
        raise(Texts::schemeStoreBadAddress, location,
              QStringLiteral("connect_timeout=") + connectTimeout.left(40));
    const qint64 statement =
        milliseconds(settings.statementTimeout).value_or(SchemeStore::DefaultStatementTimeout);
    settings.stallBudget =
        std::chrono::milliseconds(connectSeconds * 1000 + statement + SchemeStore::StallGrace);
    // A network that drops the connection without a word ends it too, not only the budget.
    options.insert(QStringLiteral("keepalives"),
                   options.value(QStringLiteral("keepalives"), QStringLiteral("1")));
    for (const auto &[key, value] : {std::pair{"keepalives_idle", "10"},
                                     {"keepalives_interval", "5"},
                                     {"keepalives_count", "3"}}) {
        if (!options.contains(QLatin1String(key)))
            options.insert(QLatin1String(key), QLatin1String(value));
    }
    if (!options.contains(QStringLiteral("tcp_user_timeout")))
        options.insert(QStringLiteral("tcp_user_timeout"),
                       QString::number(settings.stallBudget.count()));
    QStringList pairs;
    for (auto it = options.cbegin(); it != options.cend(); ++it)
        pairs.append(it.key() + u'=' + connectValue(it.value()));
    db.setConnectOptions(pairs.join(u';'));
    return settings;
}

/// The session's timeouts, before anything could wait on a lock; a session for reading may
/// not write at all.
void applySettings(SchemeStore::Connection &c, const SessionSettings &settings)
{
    QSqlQuery query(c.db);
    QString sql = QStringLiteral("SELECT set_config('statement_timeout', ?, false), "
                                 "set_config('lock_timeout', ?, false), "
                                 // the server would remark on every open that the table exists
                                 "set_config('client_min_messages', 'warning', false)");
    if (c.readOnly)
        sql += QStringLiteral(", set_config('default_transaction_read_only', 'on', false)");
    if (!query.prepare(sql))
        throw SqlFailure{Texts::schemeStoreOpenFailed, query.lastError()};
    query.bindValue(0, settings.statementTimeout);
    query.bindValue(1, settings.lockTimeout);
    if (!query.exec())
        throw SqlFailure{Texts::schemeStoreOpenFailed, query.lastError()};
}

bool verifyServerTable(SchemeStore::Connection &c);

/// Grants of the whole table to insert or update, as older versions made them, become grants
/// of the columns a user writes.
void narrowGrants(SchemeStore::Connection &c)
{
    QSqlQuery q(c.db);
    if (!q.exec(QStringLiteral(
            "SELECT DISTINCT CASE WHEN a.grantee = 0 THEN 'PUBLIC' ELSE "
            "quote_ident(pg_get_userbyid(a.grantee)) END, a.privilege_type FROM pg_class t, "
            "pg_catalog.aclexplode(t.relacl) a WHERE t.oid = to_regclass('nxsf_schemes') AND "
            "a.grantee <> t.relowner AND a.privilege_type IN ('INSERT', 'UPDATE')")))
        throw SqlFailure{Texts::schemeStoreOpenFailed, q.lastError()};
    QList<std::pair<QString, QString>> grants;
    while (q.next())
        grants.append({q.value(0).toString(), q.value(1).toString()});
    for (const auto &[grantee, privilege] : grants) {
        c.exec(QStringLiteral("REVOKE %1 ON nxsf_schemes FROM %2").arg(privilege, grantee),
               Texts::schemeStoreOpenFailed);
        c.exec(columnGrant(privilege, grantee), Texts::schemeStoreOpenFailed);
    }
}

/// Creates the server's table where there is none, and where the connecting role owns it,
/// what a table made before owners were kept lacks: the owner and shared columns (rows already
/// there keep no owner), the key on (screen, name, owner), row-level security and its
/// policies (replacing an older version's), the column of the default scheme, and grants of
/// only the columns a user writes. Each step runs only when it is missing, so that opening
/// takes no table lock.
void setUpServerTable(SchemeStore::Connection &c)
{
    // The policies count when they are this version's.
    const QString stateSql =
        QStringLiteral(
            "SELECT t.oid IS NOT NULL, pg_get_userbyid(t.relowner) = current_user, "
            "EXISTS (SELECT 1 FROM pg_attribute WHERE attrelid = t.oid AND attname = 'fowner' AND "
            "NOT attisdropped), "
            "(SELECT string_agg(quote_ident(conname), ',') FROM pg_constraint WHERE conrelid = "
            "t.oid AND contype = 'u'), "
            "EXISTS (SELECT 1 FROM pg_index x JOIN pg_class i ON i.oid = x.indexrelid WHERE "
            "x.indrelid = t.oid AND i.relname = 'nxsf_schemes_owner_name'), "
            "t.relrowsecurity, (SELECT count(*) FROM pg_policy p WHERE p.polrelid = t.oid AND "
            "pg_catalog.obj_description(p.oid, 'pg_policy') = '%1'), "
            "EXISTS (SELECT 1 FROM pg_attribute WHERE attrelid = t.oid AND attname = 'fdefault' "
            "AND NOT attisdropped), "
            "EXISTS (SELECT 1 FROM pg_catalog.aclexplode(t.relacl) a WHERE a.grantee <> "
            "t.relowner AND a.privilege_type IN ('INSERT', 'UPDATE')) "
            "FROM (SELECT to_regclass('nxsf_schemes') AS oid) r LEFT JOIN pg_class t ON t.oid = "
            "r.oid")
            .arg(QLatin1String(policyVersion));
    const auto state = [&c, &stateSql] {
        QSqlQuery q(c.db);
        if (!q.exec(stateSql) || !q.next())
            throw SqlFailure{Texts::schemeStoreOpenFailed, q.lastError()};
        QVariantList values;
        for (int i = 0; i < 9; ++i)
            values.append(q.value(i));
        return values;
    };
    QVariantList now = state();
    if (!now.at(0).toBool()) {
        c.exec(schemaStatement(true), Texts::schemeStoreOpenFailed);
        now = state();
    }
    // Nothing is changed on a table that is not the store's own.
    c.hasTable = verifyServerTable(c);
    if (!now.at(1).toBool())
        return; // another role's (the owner= of the address): that role sets it up
    const auto run = [&c](const QString &sql) { c.exec(sql, Texts::schemeStoreOpenFailed); };
    if (!now.at(2).toBool()) {
        // Added without a default first, so that the rows already there keep no owner.
        run(QStringLiteral("ALTER TABLE nxsf_schemes ADD COLUMN fowner TEXT, ADD COLUMN fshared "
                           "BOOLEAN NOT NULL DEFAULT false"));
        run(QStringLiteral(
            "ALTER TABLE nxsf_schemes ALTER COLUMN fowner SET DEFAULT current_user"));
    }
    for (const QString &constraint : now.at(3).toString().split(u',', Qt::SkipEmptyParts))
        run(QStringLiteral("ALTER TABLE nxsf_schemes DROP CONSTRAINT ") + constraint);
    if (!now.at(4).toBool())
        run(QStringLiteral("CREATE UNIQUE INDEX nxsf_schemes_owner_name ON nxsf_schemes "
                           "(fscreenid, ffiltername, COALESCE(fowner, ''))"));
    if (!now.at(5).toBool())
        run(QStringLiteral("ALTER TABLE nxsf_schemes ENABLE ROW LEVEL SECURITY"));
    if (now.at(6).toInt() != storePolicies.size()) {
        for (const QString &policy : storePolicies)
            run(QStringLiteral("DROP POLICY IF EXISTS ") + policy +
                QStringLiteral(" ON nxsf_schemes"));
        for (const QString &sql : policyStatements())
            run(sql);
    }
    if (!now.at(7).toBool())
        run(QStringLiteral(
            "ALTER TABLE nxsf_schemes ADD COLUMN fdefault BOOLEAN NOT NULL DEFAULT false"));
    if (now.at(8).toBool())
        narrowGrants(c);
    c.owners = true;
    c.defaults = true;
}

/// Whether the table has the column of the default scheme.
bool hasDefaultColumn(SchemeStore::Connection &c)
{
    QSqlQuery &q = c.run(Sql::HasDefaultColumn, {}, Texts::schemeStoreOpenFailed);
    const bool found = q.next();
    q.finish();
    return found;
}

void createSchema(SchemeStore::Connection &c)
{
    if (c.server) {
        // Two users opening a new server store at once must not both create the table.
        Transaction transaction(c);
        c.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7310042)"),
               Texts::schemeStoreOpenFailed);
        setUpServerTable(c);
        transaction.commit();
        return;
    }
    // WAL lets readers go on while another process writes; FULL keeps a reported save through
    // a crash of the machine, not only of the process.
    c.exec(QStringLiteral("PRAGMA journal_mode=WAL"), Texts::schemeStoreOpenFailed);
    c.exec(QStringLiteral("PRAGMA synchronous=FULL"), Texts::schemeStoreOpenFailed);
    c.exec(schemaStatement(false), Texts::schemeStoreOpenFailed);
    // A file made before defaults were kept gets their column, once however many processes
    // open it at the same moment; its schemes are no default.
    if (!hasDefaultColumn(c)) {
        Transaction transaction(c);
        if (!hasDefaultColumn(c))
            c.exec(QStringLiteral(
                       "ALTER TABLE nxsf_schemes ADD COLUMN fdefault INTEGER NOT NULL DEFAULT 0"),
                   Texts::schemeStoreOpenFailed);
        transaction.commit();
    }
    c.defaults = true;
}

/// Whether the server has the table, refusing one that is not the store's own: whoever owns
/// the table (or its schema) runs code as every user of the store through a trigger, rule or
/// policy, and can replace it. Afterwards names are looked up in the table's schema only, with
/// the system's own functions and operators first.
bool verifyServerTable(SchemeStore::Connection &c)
{
    QSqlQuery q(c.db);
    q.setForwardOnly(true);
    const bool ran =
        q.prepare(QStringLiteral(
            "SELECT c.relkind::text || c.relpersistence::text, pg_get_userbyid(c.relowner), "
            "n.nspname, "
            "pg_get_userbyid(n.nspowner), (SELECT rolsuper FROM pg_roles WHERE oid = n.nspowner), "
            "(SELECT pg_get_userbyid(datdba) FROM pg_database WHERE datname = "
            "current_database()), (SELECT r.rolsuper FROM pg_database d JOIN pg_roles r ON r.oid "
            "= d.datdba WHERE d.datname = current_database()), "
            "(SELECT string_agg(tgname, ', ') FROM pg_trigger WHERE tgrelid = c.oid AND NOT "
            "tgisinternal), (SELECT string_agg(rulename, ', ') FROM pg_rewrite WHERE ev_class = "
            "c.oid), (SELECT string_agg(polname, ', ' ORDER BY polname) FROM pg_policy WHERE "
            "polrelid = c.oid), COALESCE(NULLIF(?, ''), current_user), EXISTS (SELECT 1 FROM "
            "pg_attribute WHERE attrelid = c.oid AND attname = 'fowner' AND NOT attisdropped), "
            "EXISTS (SELECT 1 FROM pg_attribute WHERE attrelid = c.oid AND attname = 'fdefault' "
            "AND NOT attisdropped) FROM pg_class c JOIN "
            "pg_namespace n ON n.oid = c.relnamespace WHERE c.oid = "
            "to_regclass('nxsf_schemes')")) &&
        (q.bindValue(0, bindText(c.owner)), q.exec());
    if (!ran)
        throw SqlFailure{Texts::schemeStoreOpenFailed, q.lastError()};
    if (!q.next())
        return false;
    const QString kind = q.value(0).toString(), owner = q.value(1).toString();
    const QString schema = q.value(2).toString(), schemaOwner = q.value(3).toString();
    const QString expected = q.value(10).toString();
    const bool schemaTrusted = schemaOwner == expected || q.value(4).toBool() ||
                               (schemaOwner == QLatin1String("pg_database_owner") &&
                                (q.value(5).toString() == expected || q.value(6).toBool()));
    QStringList wrong;
    if (!kind.startsWith(u'r'))
        wrong.append(QStringLiteral("nxsf_schemes is not a plain table"));
    // A temporary table (search_path=pg_temp) would take saves that vanish with the session,
    // an unlogged one lose them in a crash.
    else if (kind != QLatin1String("rp"))
        wrong.append(QStringLiteral("nxsf_schemes is not a permanent table"));
    if (owner != expected)
        wrong.append(QStringLiteral("table owned by ") + owner + QStringLiteral(", not ") +
                     expected);
    if (!schemaTrusted)
        wrong.append(QStringLiteral("schema ") + schema + QStringLiteral(" owned by ") +
                     schemaOwner);
    if (!q.value(7).toString().isEmpty())
        wrong.append(QStringLiteral("triggers: ") + q.value(7).toString());
    if (!q.value(8).toString().isEmpty())
        wrong.append(QStringLiteral("rules: ") + q.value(8).toString());
    // Only the table's owner (or a superuser) can make policies; the store's own are known by
    // name.
    QStringList policies = q.value(9).toString().split(QStringLiteral(", "), Qt::SkipEmptyParts);
    for (const QString &own : storePolicies)
        policies.removeOne(own);
    if (!policies.isEmpty())
        wrong.append(QStringLiteral("policies: ") + policies.join(QStringLiteral(", ")));
    c.owners = q.value(11).toBool();
    c.defaults = q.value(12).toBool();
    q.finish();
    if (!wrong.isEmpty())
        raise(Texts::schemeStoreNotOwn, c.location,
              NameRules::printable(wrong.join(QStringLiteral("; "))));
    QSqlQuery pin(c.db);
    if (!pin.prepare(QStringLiteral(
            "SELECT set_config('search_path', 'pg_catalog, ' || quote_ident(?), false)")) ||
        (pin.bindValue(0, schema), !pin.exec()))
        throw SqlFailure{Texts::schemeStoreOpenFailed, pin.lastError()};
    // Prepared statements name the table as it was found before.
    c.queries.clear();
    return true;
}

/// Whether the table is there to read; a store opened only for reading may have none.
bool tableReady(SchemeStore::Connection &c)
{
    if (c.noFile)
        return false;
    if (!c.hasTable && c.server) {
        c.hasTable = verifyServerTable(c);
    } else if (!c.hasTable) {
        QSqlQuery &q = c.run(Sql::TableExists, {}, Texts::schemeStoreReadFailed);
        c.hasTable = q.next();
        q.finish();
    }
    // A writer (of this process or another) may have given an older table the column of the
    // default, or its owner the owners, since this connection looked; its statements are
    // prepared again with them.
    if (c.hasTable && !c.defaults && hasDefaultColumn(c)) {
        c.defaults = true;
        c.queries.clear();
    }
    if (c.hasTable && c.server && !c.owners)
        c.hasTable = verifyServerTable(c);
    return c.hasTable;
}

QString stalledDetail(std::chrono::milliseconds budget)
{
    return QStringLiteral("no answer from the server within %1 ms; the wait was ended")
        .arg(budget.count());
}

QString filePath(const QString &location)
{
    return QFileInfo(location).absoluteFilePath();
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

/// Opens a connection, watched by the operation's watch when it opens one again (one budget
/// covers the whole operation), else by a watch of its own.
ConnectionPtr openConnection(const QString &location, bool readOnly,
                             StallWatch *operationWatch = nullptr)
{
    const bool server = SchemeStore::isServerAddress(location);
    const QString key = (server ? location : filePath(location)) +
                        (readOnly ? QStringLiteral("\n(read)") : QString());
    if (ConnectionPtr pooled = pool().value(key)) {
        // A file removed behind our back would swallow saves into an unlinked inode.
        if (server || QFileInfo::exists(filePath(location)))
            return pooled;
        pool().remove(key);
    }
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
        const QString path = filePath(location);
        QString options =
            QStringLiteral("QSQLITE_BUSY_TIMEOUT=") + QString::number(sqliteBusyTimeout);
        if (readOnly) {
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
                c->immutable = stampOf(path);
                uri += QStringLiteral("?mode=ro&immutable=1");
            }
            c->db.setDatabaseName(uri);
            options += QStringLiteral(";QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI");
        } else {
            c->db.setDatabaseName(path);
        }
        c->db.setConnectOptions(options);
    }
    // Opening runs the driver's own first queries: a server that stalls there is cut off too,
    // on the connection the driver made (the address's options may name another host or port).
    std::optional<StallWatch> ownWatch;
    StallWatch *watch = operationWatch;
    if (server && !watch)
        watch = &ownWatch.emplace(c->stallBudget);
    const WatchRelease release{watch};
    if (watch)
        watch->watchOpening([driver = c->db.driver()] { return pgConnection(driver); });
    if (!c->db.open()) {
        if (watch && watch->fired())
            raise(Texts::schemeStoreOpenFailed, location, stalledDetail(c->stallBudget));
        raise(Texts::schemeStoreOpenFailed, location, c->db.lastError().text());
    }
    if (watch)
        watch->watch(pgConnection(c->db.driver()));
    QElapsedTimer busy;
    busy.start();
    for (;;) {
        try {
            if (server)
                applySettings(*c, settings);
            if (!readOnly) {
                createSchema(*c);
                c->hasTable = true;
            }
            if (server && readOnly)
                c->hasTable = verifyServerTable(*c);
            break;
        } catch (const SqlFailure &failure) {
            if (watch) {
                watch->release();
                if (watch->fired())
                    raise(failure.what, location, stalledDetail(c->stallBudget));
            }
            // Several processes opening a new file at once meet while one turns on WAL.
            if (!server && sqliteBusy(failure.error) && busy.elapsed() < sqliteBusyDeadline) {
                pauseBeforeRetry();
                continue;
            }
            raise(failure.what, location, failure.error.text());
        }
    }
    static std::atomic_bool cleanupFiled{false};
    if (QCoreApplication::instance() && !cleanupFiled.exchange(true))
        qAddPostRoutine(&SchemeStore::closeConnections);
    pool().insert(key, c);
    return c;
}

/// Whether a failure means the server's session is gone (a restart, an administrator, the
/// network) rather than that the statement was refused.
bool sessionLost(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code.isEmpty() || code.startsWith(QLatin1String("08")) ||
           code == QLatin1String("57P01") || code == QLatin1String("57P02") ||
           code == QLatin1String("57P03");
}

/// Whether a reader's view of a file is out of date: the file came or went, or a writer has
/// been at it since it was opened as it was.
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

/// Runs one operation; a failure drops the connection (it may be broken) and is described.
template <class F>
auto guarded(ConnectionPtr &connection, bool write, F &&body) -> decltype(body(*connection))
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
            auto result = body(*connection);
            connection->watch = nullptr;
            if (watch)
                watch->release();
            // A writer came while the file was read as it was: what was read may mix two
            // states, so it is read again.
            if (!outdated(*connection) || ++rereads > 20)
                return result;
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
            if (pool().value(connection->key) == connection)
                pool().remove(connection->key);
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

} // namespace

QString SchemeStore::locationFor(const QString &propsString)
{
    const QString configured = HostContext::propertyIn(propsString, QStringLiteral("SCHEMEDB"));
    return configured.isEmpty() ? defaultLocation() : configured;
}

QString SchemeStore::defaultLocation()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder + QStringLiteral("/schemes.sqlite");
}

bool SchemeStore::isServerAddress(const QString &location)
{
    return location.startsWith(serverScheme, Qt::CaseInsensitive);
}

QString SchemeStore::displayName(const QString &location)
{
    if (!isServerAddress(location))
        return location;
    QUrl url(location);
    // A user part Qt did not read as one (a "/" in the password, say): all up to the last "@"
    // before the options is hidden, and the options are left out.
    if (!url.isValid() || url.path().contains(u'@') || url.host().isEmpty()) {
        static const QRegularExpression hidden(QStringLiteral("^([^:]+://)(?:[^?#]*@)?([^?#]*).*$"),
                                               QRegularExpression::DotMatchesEverythingOption);
        return NameRules::printable(QString(location).replace(hidden, QStringLiteral("\\1\\2")));
    }
    QStringList options = url.query(QUrl::FullyEncoded).split(u'&');
    for (QString &pair : options) {
        if (isPasswordOption(pair))
            pair = pair.section(u'=', 0, 0) + QStringLiteral("=***");
    }
    if (url.hasQuery())
        url.setQuery(options.join(u'&'), QUrl::StrictMode);
    return url.toDisplayString(QUrl::RemovePassword);
}

SchemeStore::SchemeStore(const QString &location, Access access)
    : m_connection(openConnection(location, access == Access::ReadOnly))
{}

SchemeStore::~SchemeStore() = default;

bool SchemeStore::exists(const QString &screen, const QString &name)
{
    return guarded(m_connection, false, [&](Connection &c) {
        if (!tableReady(c))
            return false;
        QSqlQuery &q =
            c.run(Sql::Exists, {bindText(screen), bindText(name)}, Texts::schemeStoreReadFailed);
        const bool found = q.next();
        q.finish();
        return found;
    });
}

namespace {

/// What one row read from the store may give: an id within the 32-bit range and texts within
/// the caps. Otherwise the row is left out and described by its id and (when it could be
/// read) its name, so that the rest can still be used.
class RowCheck
{
public:
    explicit RowCheck(QStringList &refusals)
        : m_refusals(refusals)
    {}

    /// The text of a capped column pair at index, or nothing when it is too long.
    std::optional<QString> text(const QSqlQuery &q, int index, qsizetype cap)
    {
        if (!q.value(index + 1).toBool())
            return std::nullopt;
        QString value = q.value(index).toString();
        if (value.size() > cap)
            return std::nullopt;
        return value;
    }

    /// The row's id, or nothing (and a refusal) when it is outside 1 to 2^31-1.
    std::optional<qint32> id(const QVariant &stored, const std::optional<QString> &name)
    {
        bool ok = false;
        const qlonglong id = stored.toLongLong(&ok);
        if (ok && id >= 1 && id <= std::numeric_limits<qint32>::max())
            return qint32(id);
        refuse(Texts::schemeSkippedBadId, stored, name);
        return std::nullopt;
    }

    void refuse(QString (*why)(), const QVariant &id, const std::optional<QString> &name)
    {
        QString described = Language::text(why());
        if (name)
            described += NameRules::printable(*name) + u' ';
        m_refusals.append(described + QStringLiteral("(FID ") +
                          NameRules::printable(id.toString()) + u')');
    }

private:
    QStringList &m_refusals;
};

/// The rights read with a row from index on, where the store keeps them; without owners every
/// scheme is the user's own.
SchemeRights rightsOf(const SchemeStore::Connection &c, const QSqlQuery &q, int index)
{
    if (!c.owners)
        return {{}, false, true, true};
    return {q.value(index).toString(), q.value(index + 1).toBool(), q.value(index + 2).toBool(),
            q.value(index + 3).toBool()};
}

/// Whether a row is its screen's default; read after its rights, which begin at index.
bool isDefault(const SchemeStore::Connection &c, const QSqlQuery &q, int index)
{
    return c.defaults && q.value(index + (c.owners ? 4 : 0)).toBool();
}

/// Leaves one default per screen (the store keeps one per user, a plain client may have
/// marked more): the user's own wins, else the first.
void keepOneDefault(QList<StoredScheme> &schemes)
{
    QHash<QString, qsizetype> chosen;
    for (qsizetype i = 0; i < schemes.size(); ++i) {
        const StoredScheme &s = schemes.at(i);
        if (!s.isDefault)
            continue;
        const auto at = chosen.constFind(s.FScreenID);
        if (at == chosen.constEnd()) {
            chosen.insert(s.FScreenID, i);
        } else if (s.rights.own && !schemes.at(*at).rights.own) {
            schemes[*at].isDefault = false;
            chosen.insert(s.FScreenID, i);
        } else {
            schemes[i].isDefault = false;
        }
    }
}

} // namespace

QList<StoredScheme> SchemeStore::schemes(const QString &screen)
{
    m_refusals.clear();
    return guarded(m_connection, false, [&](Connection &c) {
        QList<StoredScheme> found;
        QStringList refusals;
        if (!tableReady(c))
            return found;
        RowCheck check(refusals);
        QSqlQuery &q = c.run(Sql::List, {bindText(screen)}, Texts::schemeStoreReadFailed);
        while (q.next()) {
            const auto name = check.text(q, 1, nameCap);
            const auto id = check.id(q.value(0), name);
            if (!id)
                continue;
            if (!name)
                check.refuse(Texts::schemeSkippedTooLarge, q.value(0), name);
            else
                found.append({*id, screen, *name, {}, {}, rightsOf(c, q, 3), isDefault(c, q, 3)});
        }
        q.finish();
        keepOneDefault(found);
        m_refusals = refusals;
        return found;
    });
}

QList<StoredScheme> SchemeStore::fullSchemes(const QString &screen)
{
    m_refusals.clear();
    return guarded(m_connection, false, [&](Connection &c) {
        QList<StoredScheme> found;
        QStringList refusals;
        if (!tableReady(c))
            return found;
        RowCheck check(refusals);
        QSqlQuery &q = screen.isEmpty() ? c.run(Sql::ListAll, {}, Texts::schemeStoreReadFailed)
                                        : c.run(Sql::ListScreen, {bindText(screen)},
                                                Texts::schemeStoreReadFailed);
        while (q.next()) {
            const auto name = check.text(q, 3, nameCap);
            const auto id = check.id(q.value(0), name);
            if (!id)
                continue;
            const auto storedScreen = check.text(q, 1, screenCap);
            const auto text = check.text(q, 5, textCap);
            const auto sort = check.text(q, 7, textCap);
            bool fits = name && storedScreen && text && sort;
            if (fits) {
                try {
                    SchemeText::checkSize(*text);
                } catch (const FilterError &) {
                    fits = false;
                }
            }
            if (!fits)
                check.refuse(Texts::schemeSkippedTooLarge, q.value(0), name);
            else
                found.append({*id, *storedScreen, *name, *text, *sort, rightsOf(c, q, 9),
                              isDefault(c, q, 9)});
        }
        q.finish();
        keepOneDefault(found);
        m_refusals = refusals;
        return found;
    });
}

QStringList SchemeStore::refusals() const
{
    return m_refusals;
}

std::optional<QString> SchemeStore::text(qint32 id)
{
    return guarded(m_connection, false, [&](Connection &c) -> std::optional<QString> {
        if (!tableReady(c))
            return std::nullopt;
        QSqlQuery &q =
            c.run(Sql::Text, {qint64(SchemeText::MaxTextLength), id}, Texts::schemeStoreReadFailed);
        std::optional<QString> found;
        qint64 length = 0;
        // A NULL text (possible in a table made by another tool) is no scheme text at all.
        if (q.next()) {
            if (!q.isNull(0))
                found = q.value(0).toString();
            length = q.value(1).toLongLong();
        }
        q.finish();
        SchemeText::checkLength(length);
        return found;
    });
}

namespace {

/// Serialises the writers of a name on a server (SQLite writers are serial already).
void lockName(SchemeStore::Connection &c, const StoredScheme &s)
{
    if (c.server)
        c.run(Sql::LockName, {s.FScreenID + QChar(0x1f) + s.FFilterName},
              Texts::schemeStoreWriteFailed)
            .finish();
}

qint32 upsert(SchemeStore::Connection &c, const StoredScheme &s, const QVariant &time,
              std::optional<bool> shared = {})
{
    QVariantList values{bindText(s.FScreenID),
                        bindText(s.FFilterName),
                        bindText(s.FFilter),
                        bindText(s.FSort),
                        time,
                        time};
    if (c.owners) {
        const QVariant flag = shared ? QVariant(*shared) : QVariant(QMetaType(QMetaType::Bool));
        values << flag << flag;
    }
    QSqlQuery &q = c.run(Sql::Upsert, values, Texts::schemeStoreWriteFailed);
    const qint32 id = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    return id;
}

/// Makes the screen's scheme id its default, and the screen's other default (on a server, its
/// owner's) no longer one; with isDefault false, only id stops being one. Whether id changed.
bool markDefault(SchemeStore::Connection &c, qint32 id, const QString &screen, bool isDefault,
                 const QVariant &time)
{
    if (isDefault) {
        QVariantList key{false, bindText(screen), id, true};
        if (c.owners)
            key.append(id);
        c.run(Sql::ClearDefault, key, Texts::schemeStoreWriteFailed).finish();
    }
    QSqlQuery &q = c.run(Sql::SetDefault, {isDefault, time, id, bindText(screen)},
                         Texts::schemeStoreWriteFailed);
    const bool changed = q.numRowsAffected() > 0;
    q.finish();
    return changed;
}

} // namespace

qint32 SchemeStore::save(const StoredScheme &scheme, qint32 replaceId)
{
    checkScheme(scheme);
    return guarded(m_connection, true, [&](Connection &c) {
        const QVariant time = now();
        Transaction transaction(c);
        lockName(c, scheme);
        qint32 id = 0;
        if (replaceId > 0) {
            QVariantList key{bindText(scheme.FScreenID), bindText(scheme.FFilterName), replaceId};
            if (c.owners)
                key.append(replaceId);
            c.run(Sql::DropSameName, key, Texts::schemeStoreWriteFailed).finish();
            QSqlQuery &q =
                c.run(Sql::UpdateById,
                      {bindText(scheme.FFilterName), bindText(scheme.FFilter),
                       bindText(scheme.FSort), time, replaceId, bindText(scheme.FScreenID)},
                      Texts::schemeStoreWriteFailed);
            if (q.numRowsAffected() > 0)
                id = replaceId;
            q.finish();
        }
        // The scheme to replace may have been deleted meanwhile: the save must not be lost.
        if (id == 0)
            id = upsert(c, scheme, time);
        transaction.commit();
        return id;
    });
}

void SchemeStore::saveAll(const QList<StoredScheme> &schemes, std::optional<bool> shared)
{
    for (const StoredScheme &scheme : schemes)
        checkScheme(scheme);
    const bool anyDefault = std::any_of(schemes.cbegin(), schemes.cend(),
                                        [](const StoredScheme &s) { return s.isDefault; });
    guarded(m_connection, true, [&](Connection &c) {
        if (anyDefault && !c.defaults)
            raise(Texts::schemeStoreKeepsNoDefaults, c.location, {});
        const QVariant time = now();
        Transaction transaction(c);
        // Many names at once: one lock that waits for every other writer, and they for it.
        // (The server prepares no LOCK statement.)
        if (c.server)
            c.exec(QStringLiteral("LOCK TABLE nxsf_schemes IN SHARE ROW EXCLUSIVE MODE"),
                   Texts::schemeStoreWriteFailed);
        // Of a screen's schemes marked as its default, the last is: only it is marked, so that
        // the time stays linear however many there are.
        QHash<QString, qint32> defaults;
        for (const StoredScheme &scheme : schemes) {
            // However many schemes, a server that answers is never cut off: each statement has
            // the whole budget.
            if (c.watch)
                c.watch->restart();
            const qint32 id = upsert(c, scheme, time, shared);
            if (scheme.isDefault && id > 0)
                defaults.insert(scheme.FScreenID, id);
        }
        for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
            if (c.watch)
                c.watch->restart();
            markDefault(c, it.value(), it.key(), true, time);
        }
        transaction.commit();
        return 0;
    });
}

bool SchemeStore::remove(qint32 id)
{
    return guarded(m_connection, true, [&](Connection &c) {
        // In a transaction of its own, so that a lost connection leaves it undone for certain.
        Transaction transaction(c);
        QSqlQuery &q = c.run(Sql::Remove, {id}, Texts::schemeStoreWriteFailed);
        const bool removed = q.numRowsAffected() > 0;
        q.finish();
        transaction.commit();
        return removed;
    });
}

namespace {

bool changeSharing(ConnectionPtr &connection, Sql which, const QVariantList &key, bool shared)
{
    return guarded(connection, true, [&](SchemeStore::Connection &c) {
        if (!c.owners)
            raise(Texts::schemeStoreKeepsNoOwners, c.location, {});
        Transaction transaction(c);
        QSqlQuery &q =
            c.run(which, QVariantList{shared, now()} + key, Texts::schemeStoreWriteFailed);
        const bool changed = q.numRowsAffected() > 0;
        q.finish();
        transaction.commit();
        return changed;
    });
}

} // namespace

bool SchemeStore::share(const QString &screen, const QString &name, bool shared)
{
    return changeSharing(m_connection, Sql::ShareByName, {bindText(screen), bindText(name)},
                         shared);
}

bool SchemeStore::setShared(qint32 id, bool shared)
{
    return changeSharing(m_connection, Sql::ShareById, {id}, shared);
}

bool SchemeStore::setDefault(qint32 id, const QString &screen, bool isDefault)
{
    return guarded(m_connection, true, [&](Connection &c) {
        if (!c.defaults)
            raise(Texts::schemeStoreKeepsNoDefaults, c.location, {});
        Transaction transaction(c);
        const bool changed = markDefault(c, id, screen, isDefault, now());
        // Another default cleared for a scheme that is not there would leave the screen
        // without one for nothing.
        if (changed)
            transaction.commit();
        return changed;
    });
}

bool SchemeStore::keepsOwners() const
{
    return m_connection->owners;
}

void SchemeStore::initialize(const QString &location, const QString &usersRole)
{
    if (!isServerAddress(location))
        raise(Texts::schemeStoreKeepsNoOwners, location, {});
    SchemeStore store(location);
    guarded(store.m_connection, true, [&](Connection &c) {
        if (!c.owners)
            raise(Texts::schemeStoreNotOwn, location, QStringLiteral("only its owner sets it up"));
        // A role name cannot be bound: it is written as a quoted identifier.
        QString grantee = QStringLiteral("PUBLIC");
        if (!usersRole.isEmpty()) {
            grantee = usersRole;
            grantee.replace(u'"', QStringLiteral("\"\""));
            grantee = u'"' + grantee + u'"';
        }
        Transaction transaction(c);
        c.exec(QStringLiteral("GRANT SELECT, DELETE ON nxsf_schemes TO ") + grantee,
               Texts::schemeStoreWriteFailed);
        for (const char *privilege : {"INSERT", "UPDATE"})
            c.exec(columnGrant(QLatin1String(privilege), grantee), Texts::schemeStoreWriteFailed);
        transaction.commit();
        return 0;
    });
}

bool SchemeStore::rename(qint32 id, const QString &screen, const QString &name)
{
    if (!NameRules::isStorable(name))
        return false;
    return guarded(m_connection, true, [&](Connection &c) {
        const QVariant time = now();
        Transaction transaction(c);
        lockName(c, {0, screen, name, {}, {}});
        QSqlQuery &q = c.run(
            Sql::Rename,
            {bindText(name), time, id, bindText(screen), bindText(screen), bindText(name), id},
            Texts::schemeStoreWriteFailed);
        const bool renamed = q.numRowsAffected() > 0;
        q.finish();
        transaction.commit();
        return renamed;
    });
}

void SchemeStore::closeConnections()
{
    pool().clear();
}

QString SchemeStore::notFoundMessage(qint32 id)
{
    return Language::text(Texts::schemeNotFound()) + QString::number(id);
}

QString SchemeStore::notFoundMessage(const QString &name)
{
    return Language::text(Texts::schemeNotFound()) + NameRules::printable(name);
}

QString SchemeStore::printable(const QString &text)
{
    return NameRules::printable(text);
}

bool SchemeStore::isStorableName(const QString &name)
{
    return NameRules::isStorable(name);
}

void SchemeStore::checkScheme(const StoredScheme &scheme)
{
    const auto refuse = [](QString (*why)(), const QString &what) {
        throw FilterError(FailureNumber, QStringLiteral("SchemeStore"),
                          Language::text(why()) + NameRules::printable(what));
    };
    if (!NameRules::isStorable(scheme.FFilterName))
        refuse(Texts::schemeNameNotStorable, scheme.FFilterName.left(nameCap + 1));
    if (!NameRules::isStorableScreen(scheme.FScreenID))
        refuse(Texts::schemeScreenNotStorable, scheme.FScreenID.left(screenCap + 1));
    SchemeText::checkSize(scheme.FFilter);
    SchemeText::checkLength(scheme.FSort.size());
}

} // namespace NxSerialFilter
