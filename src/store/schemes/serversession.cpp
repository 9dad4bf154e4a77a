// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "store/schemes/serversession.h"

#include "core/text/texts.h"

#include <QMap>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace NxSerialFilter::SchemeDb {

namespace {

/// libpq reads "keyword=value" pairs apart at blanks; quoted, a value keeps its spaces.
QString connectValue(const QString &value)
{
    QString quoted = value;
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    quoted.replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + quoted + u'\'';
}

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

} // namespace

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

} // namespace NxSerialFilter::SchemeDb
