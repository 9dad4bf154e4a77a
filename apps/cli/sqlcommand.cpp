// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// serialfilter sql: the condition of a stored scheme or of a condition text, composed as the
// dialog's OK would.

#include "commands.h"

#include <NxSerialFilter/conditioncomposer.h>
#include <NxSerialFilter/conditiontext.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/descriptionjson.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/language.h>
#include <NxSerialFilter/limits.h>
#include <NxSerialFilter/schemestore.h>
#include <NxSerialFilter/storedconditions.h>

#include <QDate>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QStringDecoder>

#include <cstdio>
#include <optional>

using namespace NxSerialFilter;

namespace SerialFilterCli {

namespace {

void writeTo(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

/// The codes --language takes: the language of the texts' keys and every one shipped.
QStringList knownLanguages()
{
    return QStringList{QStringLiteral("chs")} + Language::shipped();
}

QString help()
{
    const QString text = QStringLiteral(
        "usage: serialfilter sql --fields FIELDS.json [--scheme SCHEME.txt | --where TEXT]\n"
        "                        [--screen ID]\n"
        "                        [--language CODE] [--as-of YYYY-MM-DD] [--week-starts DAY]\n"
        "                        [--ask QUESTION=VALUE ...]\n"
        "                        [--user NAME]\n"
        "       serialfilter sql --fields FIELDS.json --store DB --scheme-name NAME\n"
        "                        [--screen ID] [--language CODE]\n"
        "                        [--words | --bound [--placeholders qmark|dollar]\n"
        "                                           [--engine sqlite|postgresql]]\n"
        "\n"
        "Composes the SQL condition of a stored filter scheme, or of a condition in words,\n"
        "without opening the dialog, as the dialog's OK would, and writes it to standard\n"
        "output followed by one newline.\n"
        "Every blank of the condition is kept; no row in use gives an empty line.\n"
        "\n"
        "  --words           writes the condition in words instead, as the user wrote it in\n"
        "                    the grid, in the language of --language.\n"
        "  --bound           writes the condition with a placeholder for each value instead,\n"
        "                    as one JSON object {\"sql\": ..., \"values\": [...]} (numbers as\n"
        "                    JSON numbers, texts and dates as strings) and one newline.\n"
        "  --placeholders P  qmark (default): \"?\", for Qt Sql, SQLite and ODBC; dollar:\n"
        "                    \"$1\" to \"$n\", for libpq.\n"
        "  --engine E        sqlite (default) or postgresql: the forms that engine accepts.\n"
        "  --as-of DATE      the day relative dates (\"本月\", \"过去7天\", \"this month\")\n"
        "                    are counted from; today by default.\n"
        "  --week-starts DAY monday (default) to sunday: the day \"this week\" and \"last\n"
        "                    week\" start on, as the host sets it for the dialog.\n"
        "  --ask Q=VALUE     answers the question Q that the scheme asks when it runs (the\n"
        "                    text of a value \"Ask when run\", up to the first \"=\"); once\n"
        "                    for each question. A question left unanswered is refused.\n"
        "  --user NAME       who runs the condition: the name the value \"当前用户\"\n"
        "                    (\"current user\") stands for. Without it such a row fails.\n"
        "\n"
        "  --fields FILE     the field description as JSON. \"SerialUse\": true reads\n"
        "                    \"Header\", \"Entry\" and \"SerialclassID\"; false reads \"Fields\"\n"
        "                    and \"ScreenID\".\n"
        "  --scheme FILE     the scheme text, UTF-8: one line per grid row, TAB between the\n"
        "                    seven cells (logic, \"(\", field, comparison, value, value code,\n"
        "                    \")\"), CR LF between rows (a bare LF is taken as CR LF), quotes\n"
        "                    single. Without it, or with \"-\", standard input is read.\n"
        "  --where TEXT      the condition in words instead of a scheme, as --words writes\n"
        "                    it (\"数量 大于 50 并且 序列号 包含 「SN 1」\"), in any language\n"
        "                    shipped. A text that does not read is refused, naming the\n"
        "                    character where reading stopped.\n"
        "  --store DB        read the scheme from this scheme store (a SQLite path or a\n"
        "                    postgresql:// address) instead of a file, with:\n"
        "  --scheme-name NAME  the scheme saved under NAME for the fields' screen.\n"
        "  --screen ID       the screen identifier in common mode (default: the JSON's\n"
        "                    \"ScreenID\"). In serial mode the screen is always \"Serial_\"\n"
        "                    followed by the serial class.\n"
        "  --language CODE   sets the context property LANGUAGE (none is set without it, which\n"
        "                    reads as chs): one of %1.\n"
        "  --help            shows this text.\n"
        "\n"
        "Exit status: 0 the condition was written; 1 the condition could not be built (the\n"
        "message the dialog would show is written to standard error), the --where text does\n"
        "not read, or the store has no scheme of that name; 2 bad usage, or an unreadable or\n"
        "malformed file.\n");
    return text.arg(knownLanguages().join(QStringLiteral(", ")));
}

/// {"sql": "...", "values": [...]}: numbers as JSON numbers, texts as strings.
QString boundJson(const BoundCondition &query)
{
    QJsonArray values;
    for (const QVariant &value : query.values)
        values.append(QJsonValue::fromVariant(value));
    const QJsonObject object{{QStringLiteral("sql"), query.sql},
                             {QStringLiteral("values"), values}};
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

int usageError(const QString &message)
{
    writeTo(stderr, QStringLiteral("serialfilter sql: ") + message +
                        QStringLiteral("\nRun 'serialfilter sql --help' for usage.\n"));
    return Usage;
}

int fileError(const QString &message)
{
    writeTo(stderr, QStringLiteral("serialfilter sql: ") + message + u'\n');
    return Usage;
}

struct Options
{
    QString fields;
    QString scheme = QStringLiteral("-");
    std::optional<QString> screen;
    std::optional<QString> language;
    std::optional<QString> store;
    std::optional<QString> schemeName;
    std::optional<QString> where;
    bool schemeGiven = false;
    bool help = false;
    bool bound = false;
    bool words = false;
    std::optional<Placeholders> placeholders;
    std::optional<SqlEngine> engine;
    QDate asOf;
    Qt::DayOfWeek firstDayOfWeek = Qt::Monday;
    Answers answers;
    QString user;
};

/// The day of the week an English day name gives, case ignored.
std::optional<Qt::DayOfWeek> dayNamed(const QString &name)
{
    const QLocale english(QLocale::English);
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day) {
        if (name.compare(english.dayName(day), Qt::CaseInsensitive) == 0)
            return Qt::DayOfWeek(day);
    }
    return std::nullopt;
}

/// The day of a YYYY-MM-DD text, nothing before or after it; invalid for any other text (Qt's
/// ISO reading takes "2026-12-08xyz" as the 8th).
QDate isoDay(const QString &text)
{
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

/// Parses the arguments; returns the message for bad usage, or nothing.
std::optional<QString> parseOptions(const QStringList &args, Options &options)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args.at(i);
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            options.help = true;
            continue;
        }
        if (name == QLatin1String("--bound")) {
            options.bound = true;
            continue;
        }
        if (name == QLatin1String("--words")) {
            options.words = true;
            continue;
        }
        std::optional<QString> value;
        const qsizetype equals = name.indexOf(u'=');
        if (name.startsWith(QLatin1String("--")) && equals > 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        const bool known =
            name == QLatin1String("--fields") || name == QLatin1String("--scheme") ||
            name == QLatin1String("--screen") || name == QLatin1String("--language") ||
            name == QLatin1String("--store") || name == QLatin1String("--scheme-name") ||
            name == QLatin1String("--placeholders") || name == QLatin1String("--engine") ||
            name == QLatin1String("--as-of") || name == QLatin1String("--week-starts") ||
            name == QLatin1String("--ask") || name == QLatin1String("--user") ||
            name == QLatin1String("--where");
        if (!known)
            return QStringLiteral("unknown argument '") + args.at(i) + u'\'';
        if (!value) {
            if (i + 1 >= args.size())
                return QStringLiteral("option ") + name + QStringLiteral(" needs a value");
            value = args.at(++i);
        }
        if (name == QLatin1String("--fields")) {
            options.fields = *value;
        } else if (name == QLatin1String("--scheme")) {
            options.scheme = *value;
            options.schemeGiven = true;
        } else if (name == QLatin1String("--screen")) {
            options.screen = *value;
        } else if (name == QLatin1String("--store")) {
            options.store = *value;
        } else if (name == QLatin1String("--scheme-name")) {
            options.schemeName = *value;
        } else if (name == QLatin1String("--where")) {
            options.where = *value;
        } else if (name == QLatin1String("--placeholders") && *value == QLatin1String("qmark")) {
            options.placeholders = Placeholders::QMark;
        } else if (name == QLatin1String("--placeholders") && *value == QLatin1String("dollar")) {
            options.placeholders = Placeholders::Dollar;
        } else if (name == QLatin1String("--engine") && *value == QLatin1String("sqlite")) {
            options.engine = SqlEngine::SQLite;
        } else if (name == QLatin1String("--engine") && *value == QLatin1String("postgresql")) {
            options.engine = SqlEngine::PostgreSQL;
        } else if (name == QLatin1String("--as-of") && isoDay(*value).isValid()) {
            options.asOf = isoDay(*value);
        } else if (name == QLatin1String("--ask") && value->indexOf(u'=') > 0) {
            const qsizetype equals = value->indexOf(u'=');
            options.answers.insert(value->left(equals), value->mid(equals + 1));
        } else if (name == QLatin1String("--user")) {
            options.user = *value;
        } else if (name == QLatin1String("--week-starts") && dayNamed(*value)) {
            options.firstDayOfWeek = *dayNamed(*value);
        } else if (name == QLatin1String("--language") &&
                   knownLanguages().contains(value->trimmed(), Qt::CaseInsensitive)) {
            // An unknown code would silently give the keys' language.
            options.language = *value;
        } else if (name == QLatin1String("--language")) {
            return QStringLiteral("unknown language '") + *value + QStringLiteral("' (known: ") +
                   knownLanguages().join(QStringLiteral(", ")) + u')';
        } else {
            return QStringLiteral("unknown value '") + *value + QStringLiteral("' of ") + name;
        }
    }
    if (options.help)
        return std::nullopt;
    if (options.fields.isEmpty())
        return QStringLiteral("--fields is required");
    if (options.store.has_value() != options.schemeName.has_value())
        return QStringLiteral("--store and --scheme-name go together");
    if (options.store && options.schemeGiven)
        return QStringLiteral("--scheme and --scheme-name exclude each other");
    if (options.where && (options.store || options.schemeGiven))
        return QStringLiteral("--where and ") +
               (options.store ? QStringLiteral("--scheme-name") : QStringLiteral("--scheme")) +
               QStringLiteral(" exclude each other");
    if (!options.bound && (options.placeholders || options.engine))
        return QStringLiteral("--placeholders and --engine need --bound");
    if (options.bound && options.words)
        return QStringLiteral("--words and --bound exclude each other");
    return std::nullopt;
}

/// The stored form separates rows by CR LF; a text saved by an editor may use bare LF.
QString storedLineBreaks(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\n' && (i == 0 || text.at(i - 1) != u'\r'))
            result += u'\r';
        result += text.at(i);
    }
    return result;
}

} // namespace

std::optional<QString> readFile(const QString &path, QByteArray &bytes, qint64 limit)
{
    const bool standardInput = path == QLatin1String("-");
    const QString shown = standardInput ? QStringLiteral("standard input") : path;
    QFile file;
    bool opened = false;
    if (standardInput) {
        opened = file.open(stdin, QIODevice::ReadOnly);
    } else {
        file.setFileName(path);
        opened = file.open(QIODevice::ReadOnly);
    }
    // A pipe gives what it has at a time.
    bytes.clear();
    while (opened && bytes.size() <= limit) {
        const QByteArray chunk = file.read(limit + 1 - bytes.size());
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (!opened || file.error() != QFileDevice::NoError)
        return QStringLiteral("cannot read ") + shown + QStringLiteral(": ") + file.errorString();
    if (bytes.size() > limit)
        return shown + QStringLiteral(": larger than ") + QString::number(limit) +
               QStringLiteral(" bytes");
    return std::nullopt;
}

int runSql(const QStringList &args)
{
    Options options;
    if (const auto bad = parseOptions(args, options))
        return usageError(*bad);
    if (options.help) {
        writeTo(stdout, help());
        return Done;
    }

    QByteArray fieldsJson;
    if (const auto bad = readFile(options.fields, fieldsJson, DescriptionJson::MaxBytes))
        return fileError(*bad);
    KeyedValuesPtr description;
    try {
        description = DescriptionJson::parse(fieldsJson);
    } catch (...) {
        return fileError(options.fields + QStringLiteral(": ") +
                         describeFailure(std::current_exception()));
    }

    if (options.language)
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=") + *options.language + u';');
    ConditionComposer composer =
        ConditionComposer::forDescription(description, options.screen.value_or(QString()));
    composer.setAsOf(options.asOf);
    composer.setFirstDayOfWeek(options.firstDayOfWeek);
    composer.setCurrentUser(options.user);

    const SqlEngine engine = options.engine.value_or(SqlEngine::SQLite);
    const Placeholders placeholders = options.placeholders.value_or(Placeholders::QMark);
    ComposedCondition condition;
    if (options.where) {
        std::optional<ConditionTextRead> read;
        try {
            read = ConditionText::parse(composer.catalog(), *options.where);
        } catch (const std::exception &) {
            // A description that gives no field list: compose says why.
        }
        if (read && !read->ok()) {
            writeTo(stderr, read->failure->message() + u'\n');
            return Refused;
        }
        condition = composer.compose(read ? read->condition : Condition(), options.answers, engine,
                                     placeholders);
    } else if (options.store) {
        if (!SchemeStore::isServerAddress(*options.store) && !QFile::exists(*options.store))
            return fileError(QStringLiteral("no scheme store at ") + *options.store);
        ContextStore::setPropsString(ContextStore::propsString() + QStringLiteral("SCHEMEDB=") +
                                     *options.store + u';');
        condition = StoredConditions::compose(composer, *options.schemeName, options.answers,
                                              engine, placeholders);
    } else {
        QByteArray schemeBytes;
        // Enough bytes for any text within the cap, which the load then applies exactly.
        if (const auto bad = readFile(options.scheme, schemeBytes, 4 * Limits::MaxSchemeTextLength))
            return fileError(*bad);
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString schemeText = utf8(schemeBytes);
        if (utf8.hasError())
            return fileError((options.scheme == QLatin1String("-")
                                  ? QStringLiteral("standard input")
                                  : options.scheme) +
                             QStringLiteral(": not UTF-8 text"));
        if (schemeText.startsWith(QChar(0xFEFF)))
            schemeText.remove(0, 1);
        condition =
            composer.compose(storedLineBreaks(schemeText), options.answers, engine, placeholders);
    }

    switch (condition.failure) {
    case ComposedCondition::Failure::None:
        if (options.bound)
            writeTo(stdout, boundJson(condition.query) + u'\n');
        else if (options.words)
            writeTo(stdout, condition.text + u'\n');
        else
            writeTo(stdout, condition.sql + u'\n');
        return Done;
    case ComposedCondition::Failure::Description:
        writeTo(stderr, condition.error + u'\n');
        return fileError(options.fields + QStringLiteral(": no usable field description"));
    case ComposedCondition::Failure::Scheme:
        // A store's scheme that is missing or cannot be read is the component's refusal; a
        // scheme file is the caller's.
        if (options.store)
            break;
        return fileError(condition.error);
    case ComposedCondition::Failure::Condition:
        break;
    }
    // The message the dialog would show.
    writeTo(stderr, condition.error + u'\n');
    return Refused;
}

} // namespace SerialFilterCli
