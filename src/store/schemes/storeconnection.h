// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/schemes/schemesql.h"
#include <NxSerialFilter/schemestore.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

namespace NxSerialFilter {

class StallWatch;

namespace SchemeDb {

/// A failure of the database, described later by what was being done.
struct SqlFailure
{
    QString (*what)();
    QSqlError error;
    bool atCommit = false; // the write may have been committed: never repeat it
};

/// Qt binds a null QString as NULL; the columns are NOT NULL, so empty must stay empty.
QVariant bindText(const QString &value);

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

FileStamp stampOf(const QString &path);
/// The file a location names, as the pool keys it.
QString filePath(const QString &location);

/// Whether an address option (as written, percent-encoded) gives a password.
bool isPasswordOption(const QString &pair);
/// Throws the store's FilterError: what was being done, where, and the database's own words
/// without any password of the address.
[[noreturn]] void raise(QString (*what)(), const QString &location, const QString &detail);

} // namespace SchemeDb

/// One open database of this thread, with its prepared statements. Hidden: as a member of an
/// exported class it would otherwise leave the library.
struct Q_DECL_HIDDEN SchemeStore::Connection
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
    std::optional<SchemeDb::FileStamp> immutable;
    QSqlDatabase db;
    std::map<SchemeDb::Sql, QSqlQuery> queries;
    /// The running operation's watch on a server, which a long write gives a budget per
    /// statement.
    StallWatch *watch = nullptr;

    ~Connection();
    SchemeDb::Dialect dialect() const;
    /// The statement, prepared once per connection.
    QSqlQuery &prepared(SchemeDb::Sql which, QString (*what)());
    /// Runs a prepared statement with its values; the caller reads and then finishes it.
    QSqlQuery &run(SchemeDb::Sql which, const QVariantList &values, QString (*what)());
    /// Runs a statement that is not kept.
    void exec(const QString &sql, QString (*what)());
};

namespace SchemeDb {

using ConnectionPtr = std::shared_ptr<SchemeStore::Connection>;

/// One write, as one transaction that rolls back unless it was committed.
class Transaction
{
public:
    explicit Transaction(SchemeStore::Connection &c);
    ~Transaction();
    void commit();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    void step(Sql which);

    SchemeStore::Connection &m_c;
    bool m_open = true;
};

} // namespace SchemeDb
} // namespace NxSerialFilter
