// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "store/schemes/storeconnection.h"

#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "store/schemes/driverhandle.h"
#include <NxSerialFilter/failure.h>

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <libpq-fe.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace NxSerialFilter::SchemeDb {

QVariant bindText(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

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

QString filePath(const QString &location)
{
    return QFileInfo(location).absoluteFilePath();
}

bool isPasswordOption(const QString &pair)
{
    return QUrl::fromPercentEncoding(pair.section(u'=', 0, 0).toUtf8())
               .trimmed()
               .compare(QLatin1String("password"), Qt::CaseInsensitive) == 0;
}

namespace {

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

} // namespace

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

Transaction::Transaction(SchemeStore::Connection &c)
    : m_c(c)
{
    step(Sql::Begin);
}

Transaction::~Transaction()
{
    if (m_open) {
        try {
            step(Sql::Rollback);
        } catch (...) {
        }
    }
}

void Transaction::commit()
{
    try {
        step(Sql::Commit);
    } catch (SqlFailure &failure) {
        failure.atCommit = true;
        throw;
    }
    m_open = false;
}

void Transaction::step(Sql which)
{
    // A server takes transaction control only as plain statements.
    if (m_c.server)
        m_c.exec(statement(which, Dialect::Server), Texts::schemeStoreWriteFailed);
    else
        m_c.run(which, {}, Texts::schemeStoreWriteFailed).finish();
}

} // namespace NxSerialFilter::SchemeDb

namespace NxSerialFilter {

using namespace SchemeDb;

SchemeStore::Connection::~Connection()
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

Dialect SchemeStore::Connection::dialect() const
{
    return !server ? Dialect::Sqlite : owners ? Dialect::Owners : Dialect::Server;
}

QSqlQuery &SchemeStore::Connection::prepared(Sql which, QString (*what)())
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

QSqlQuery &SchemeStore::Connection::run(Sql which, const QVariantList &values, QString (*what)())
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

void SchemeStore::Connection::exec(const QString &sql, QString (*what)())
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw SqlFailure{what, query.lastError()};
}

} // namespace NxSerialFilter
