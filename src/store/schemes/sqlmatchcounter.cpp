// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/sqlmatchcounter.h>

#include "store/schemes/driverhandle.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <atomic>
#include <vector>

#include <poll.h>

namespace NxSerialFilter {

namespace {

// How often a PostgreSQL count looks whether it is still wanted while it waits for the server.
constexpr int pollMs = 10;

std::atomic<quint64> connectionSerial{0};

/// "SELECT …" with the host's FROM and the condition's WHERE.
QString statement(const QString &select, const QString &from, const QString &condition)
{
    QString sql = select + from;
    if (!condition.trimmed().isEmpty())
        sql += QStringLiteral(" WHERE") + condition;
    return sql;
}

/// The QMark form numbered as libpq takes it ("?" outside quotes becomes "$1", "$2", …), as
/// Qt's PostgreSQL driver numbers it for its own prepared statements.
QString numbered(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    QChar quote;
    int n = 0;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?') {
            out += u'$' + QString::number(++n);
            continue;
        }
        out += c;
    }
    return out;
}

/// One statement on libpq with its values as text, waited for while the count is wanted:
/// once it is not, the server is asked to cancel it. The rows, or null.
struct PgResult
{
    PGresult *result = nullptr;
    ~PgResult() { PQclear(result); }
    bool ok() const { return result && PQresultStatus(result) == PGRES_TUPLES_OK; }
    QByteArray first() const
    {
        return ok() && PQntuples(result) > 0 && PQnfields(result) > 0
                   ? QByteArray(PQgetvalue(result, 0, 0))
                   : QByteArray();
    }
};

void runPg(PgResult &out, PGconn *conn, const QString &sql, const QVariantList &values,
           const CountControl &control)
{
    std::vector<QByteArray> texts;
    std::vector<const char *> params;
    texts.reserve(values.size());
    for (const QVariant &value : values) {
        if (value.isNull()) {
            texts.emplace_back();
            params.push_back(nullptr);
            continue;
        }
        if (value.typeId() == QMetaType::Double)
            texts.push_back(QByteArray::number(value.toDouble(), 'g', 17));
        else
            texts.push_back(value.toString().toUtf8());
        params.push_back(texts.back().constData());
    }
    const QByteArray text = numbered(sql).toUtf8();
    if (control.isCancelled() || !PQsendQueryParams(conn, text.constData(), int(params.size()),
                                                    nullptr, params.data(), nullptr, nullptr, 0))
        return;
    bool cancelSent = false;
    const int socket = PQsocket(conn);
    while (PQisBusy(conn)) {
        if (!cancelSent && control.isCancelled()) {
            // The server stops at once; the statement then ends with an error, read below.
            if (PGcancel *cancel = PQgetCancel(conn)) {
                char error[256];
                PQcancel(cancel, error, sizeof error);
                PQfreeCancel(cancel);
            }
            cancelSent = true;
        }
        pollfd wait{socket, POLLIN, 0};
        if (::poll(&wait, 1, pollMs) < 0 || !PQconsumeInput(conn))
            break;
    }
    // Every result is read, so that the connection is ready for the next statement.
    while (PGresult *result = PQgetResult(conn)) {
        if (!out.result)
            out.result = result;
        else
            PQclear(result);
    }
    if (cancelSent) {
        PQclear(out.result);
        out.result = nullptr;
    }
}

std::optional<qint64> countPg(const QSqlDatabase &db, const QString &from,
                              const BoundCondition &condition, qint64 timeoutMs,
                              const CountControl &control)
{
    auto *conn = static_cast<PGconn *>(pgConnection(db));
    if (!conn)
        return std::nullopt;
    {
        PgResult set;
        // No parallel workers: a count shares the site's server with everyone else, and a
        // cancelled count ends only once its workers have.
        runPg(set, conn,
              QStringLiteral("SELECT set_config('statement_timeout', ?, false), "
                             "set_config('max_parallel_workers_per_gather', '0', false)"),
              {QString::number(timeoutMs)}, control);
        if (!set.ok())
            return std::nullopt;
    }
    {
        // The planner's guess of the rows: its top node's, before any are counted.
        PgResult plan;
        runPg(plan, conn,
              statement(QStringLiteral("EXPLAIN (FORMAT JSON) SELECT 1 "), from, condition.sql),
              condition.values, control);
        const QJsonArray plans = QJsonDocument::fromJson(plan.first()).array();
        const QJsonValue rows = plans.at(0)
                                    .toObject()
                                    .value(QStringLiteral("Plan"))
                                    .toObject()
                                    .value(QStringLiteral("Plan Rows"));
        if (rows.isDouble())
            control.estimate(qint64(rows.toDouble()), CountEstimate::About);
    }
    PgResult count;
    runPg(count, conn, statement(QStringLiteral("SELECT COUNT(*) "), from, condition.sql),
          condition.values, control);
    bool ok = false;
    const qint64 records = count.first().toLongLong(&ok);
    return ok && count.ok() ? std::optional<qint64>(records) : std::nullopt;
}

/// SQLite's statements end when the count is cancelled or its time is up.
struct SqliteWatch
{
    const CountControl &control;
    QDeadlineTimer deadline;

    static int check(void *self)
    {
        const auto *watch = static_cast<SqliteWatch *>(self);
        return watch->control.isCancelled() || watch->deadline.hasExpired() ? 1 : 0;
    }
};

std::optional<qint64> countQt(const QSqlDatabase &db, const QString &sql,
                              const QVariantList &values)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return std::nullopt;
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec() || !query.next())
        return std::nullopt;
    return query.value(0).toLongLong();
}

std::optional<qint64> countSqlite(const QSqlDatabase &db, const QString &from,
                                  const BoundCondition &condition, qint64 timeoutMs, qint64 limit,
                                  const CountControl &control)
{
    auto *handle = static_cast<sqlite3 *>(sqliteConnection(db));
    if (!handle)
        return std::nullopt;
    SqliteWatch watch{control, QDeadlineTimer(timeoutMs)};
    // The handler closes the moment between a look at the control and the statement's start;
    // the interrupt ends a statement at once.
    sqlite3_progress_handler(handle, 1000, &SqliteWatch::check, &watch);
    std::optional<qint64> count;
    {
        const CountControl::Hook hook = control.onCancel([handle] { sqlite3_interrupt(handle); });
        // A count that stops at the limit: past it, "more than" while the exact count goes on.
        const QString capped = QStringLiteral("SELECT COUNT(*) FROM (") +
                               statement(QStringLiteral("SELECT 1 "), from, condition.sql) +
                               QStringLiteral(" LIMIT ") + QString::number(limit + 1) +
                               QStringLiteral(")");
        count = countQt(db, capped, condition.values);
        if (count && *count > limit) {
            control.estimate(limit, CountEstimate::MoreThan);
            watch.deadline = QDeadlineTimer(timeoutMs);
            count = countQt(db, statement(QStringLiteral("SELECT COUNT(*) "), from, condition.sql),
                            condition.values);
        }
    }
    sqlite3_progress_handler(handle, 0, nullptr, nullptr);
    if (control.isCancelled())
        return std::nullopt;
    return count;
}

} // namespace

struct SqlMatchCounter::Shared
{
    QString templateName;
    QString driver;
    QString from;
    std::atomic<qint64> timeoutMs{defaultTimeout.count()};
    std::atomic<qint64> limit{defaultEstimateLimit};

    ~Shared() { QSqlDatabase::removeDatabase(templateName); }
};

SqlMatchCounter::SqlMatchCounter(const QSqlDatabase &database, const QString &from)
    : d(std::make_shared<Shared>())
{
    d->templateName = QStringLiteral("nxsf-count-") + QString::number(++connectionSerial);
    d->driver = database.driverName();
    const QString trimmed = from.trimmed();
    d->from = trimmed.startsWith(QLatin1String("FROM"), Qt::CaseInsensitive) &&
                      (trimmed.size() == 4 || trimmed.at(4).isSpace())
                  ? trimmed
                  : QStringLiteral("FROM ") + trimmed;
    // A copy that is never opened: the counting threads copy it in turn, by its name.
    QSqlDatabase::cloneDatabase(database, d->templateName);
}

void SqlMatchCounter::setStatementTimeout(std::chrono::milliseconds timeout)
{
    d->timeoutMs = timeout.count();
}

std::chrono::milliseconds SqlMatchCounter::statementTimeout() const
{
    return std::chrono::milliseconds(d->timeoutMs.load());
}

void SqlMatchCounter::setEstimateLimit(qint64 records)
{
    d->limit = records;
}

qint64 SqlMatchCounter::estimateLimit() const
{
    return d->limit;
}

std::optional<qint64> SqlMatchCounter::operator()(const BoundCondition &condition,
                                                  const CountControl &control) const
{
    const QString name = d->templateName + u'-' + QString::number(++connectionSerial);
    std::optional<qint64> count;
    {
        QSqlDatabase db = QSqlDatabase::cloneDatabase(d->templateName, name);
        if (db.open() && !control.isCancelled()) {
            if (d->driver == QLatin1String("QPSQL"))
                count = countPg(db, d->from, condition, d->timeoutMs, control);
            else if (d->driver == QLatin1String("QSQLITE"))
                count = countSqlite(db, d->from, condition, d->timeoutMs, d->limit, control);
            else
                count = countQt(
                    db, statement(QStringLiteral("SELECT COUNT(*) "), d->from, condition.sql),
                    condition.values);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return count;
}

} // namespace NxSerialFilter
