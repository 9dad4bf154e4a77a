// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// serialfilter schemes: look after a site's scheme store from batch jobs.

#include "commands.h"

#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/schemestore.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <optional>

namespace SerialFilterCli {

using namespace NxSerialFilter;

namespace {

const char usage[] =
    "usage: serialfilter schemes list   --store DB --screen ID\n"
    "       serialfilter schemes export --store DB [--screen ID]\n"
    "       serialfilter schemes import --store DB FILE\n"
    "       serialfilter schemes delete --store DB --id FID\n"
    "DB is a SQLite file or a postgresql://user@host:port/database address.\n"
    "list prints one line per scheme: FID, TAB, name. export prints a JSON array of\n"
    "{FID, FScreenID, FFilterName, FFilter, FSort}; import reads the same array and saves\n"
    "each scheme by screen and name, replacing one of the same name (FID is ignored).\n";

int usageError(const QString &why = {})
{
    QTextStream err(stderr);
    if (!why.isEmpty())
        err << "serialfilter schemes: " << why << '\n';
    err << usage;
    return Usage;
}

struct Options
{
    QString action;
    QString store;
    std::optional<QString> screen;
    std::optional<QString> id;
    QStringList files;
};

/// The options, or an explanation of what is wrong with them.
std::optional<Options> parse(const QStringList &args, QString &why)
{
    Options options;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool takesValue = arg == QLatin1String("--store") ||
                                arg == QLatin1String("--screen") || arg == QLatin1String("--id");
        if (takesValue) {
            if (i + 1 >= args.size()) {
                why = arg + QStringLiteral(" needs a value");
                return std::nullopt;
            }
            const QString value = args.at(++i);
            if (arg == QLatin1String("--store"))
                options.store = value;
            else if (arg == QLatin1String("--screen"))
                options.screen = value;
            else
                options.id = value;
        } else if (arg.startsWith(QLatin1String("--"))) {
            why = QStringLiteral("unknown option ") + arg;
            return std::nullopt;
        } else if (options.action.isEmpty()) {
            options.action = arg;
        } else {
            options.files.append(arg);
        }
    }
    if (options.store.isEmpty()) {
        why = QStringLiteral("--store is required");
        return std::nullopt;
    }
    return options;
}

/// Only import may create a store: reading or deleting from a path that names no file would
/// otherwise leave a new, empty store there and report success.
int missingStore(const QString &store)
{
    QTextStream(stderr) << "serialfilter schemes: cannot read " << store << ": no such file\n";
    return Usage;
}

bool storeMissing(const QString &store)
{
    return !SchemeStore::isServerAddress(store) && !QFileInfo::exists(store);
}

QJsonObject toJson(const StoredScheme &s)
{
    return {{QStringLiteral("FID"), s.FID},
            {QStringLiteral("FScreenID"), s.FScreenID},
            {QStringLiteral("FFilterName"), s.FFilterName},
            {QStringLiteral("FFilter"), s.FFilter},
            {QStringLiteral("FSort"), s.FSort}};
}

/// The schemes of an import file; why says what is wrong when there are none.
std::optional<QList<StoredScheme>> readImport(const QString &path, QString &why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = path + QStringLiteral(": ") + file.errorString();
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        why = path + QStringLiteral(": ") +
              (error.error != QJsonParseError::NoError ? error.errorString()
                                                       : QStringLiteral("not a JSON array"));
        return std::nullopt;
    }
    QList<StoredScheme> schemes;
    const QJsonArray items = document.array();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QJsonObject o = items.at(i).toObject();
        const QJsonValue screen = o.value(QStringLiteral("FScreenID"));
        const QJsonValue name = o.value(QStringLiteral("FFilterName"));
        const QJsonValue text = o.value(QStringLiteral("FFilter"));
        const QJsonValue sort = o.value(QStringLiteral("FSort"));
        if (!items.at(i).isObject() || !screen.isString() || !name.isString() ||
            name.toString().isEmpty() || !text.isString() ||
            !(sort.isUndefined() || sort.isNull() || sort.isString())) {
            why = path + QStringLiteral(": item %1 needs the texts FScreenID, FFilterName "
                                        "(not empty) and FFilter")
                             .arg(i + 1);
            return std::nullopt;
        }
        schemes.append({0, screen.toString(), name.toString(), text.toString(), sort.toString()});
    }
    return schemes;
}

int run(const Options &o)
{
    QTextStream out(stdout);
    if (o.action == QLatin1String("list")) {
        if (!o.screen || !o.files.isEmpty())
            return usageError(QStringLiteral("list takes --store and --screen"));
        if (storeMissing(o.store))
            return missingStore(o.store);
        SchemeStore store(o.store);
        for (const StoredScheme &s : store.schemes(*o.screen))
            out << s.FID << '\t' << s.FFilterName << '\n';
        return Done;
    }
    if (o.action == QLatin1String("export")) {
        if (!o.files.isEmpty())
            return usageError(QStringLiteral("export takes --store and --screen"));
        if (storeMissing(o.store))
            return missingStore(o.store);
        SchemeStore store(o.store);
        QJsonArray array;
        for (const StoredScheme &s : store.fullSchemes(o.screen.value_or(QString())))
            array.append(toJson(s));
        out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
        return Done;
    }
    if (o.action == QLatin1String("import")) {
        if (o.files.size() != 1 || o.screen)
            return usageError(QStringLiteral("import takes --store and one FILE"));
        QString why;
        const auto schemes = readImport(o.files.first(), why);
        if (!schemes)
            return usageError(why);
        SchemeStore(o.store).saveAll(*schemes);
        return Done;
    }
    if (o.action == QLatin1String("delete")) {
        bool ok = false;
        const qint32 id = o.id ? o.id->trimmed().toInt(&ok) : 0;
        if (!ok || !o.files.isEmpty() || o.screen)
            return usageError(QStringLiteral("delete takes --store and --id FID"));
        if (storeMissing(o.store))
            return missingStore(o.store);
        if (!SchemeStore(o.store).remove(id)) {
            QTextStream(stderr) << SchemeStore::notFoundMessage(id) << '\n';
            return Refused;
        }
        return Done;
    }
    return usageError(o.action.isEmpty() ? QString()
                                         : QStringLiteral("unknown action ") + o.action);
}

} // namespace

int runSchemes(const QStringList &args)
{
    if (args.contains(QLatin1String("--help"))) {
        QTextStream(stdout) << usage;
        return Done;
    }
    QString why;
    const auto options = parse(args, why);
    if (!options)
        return usageError(why);
    try {
        const int code = run(*options);
        SchemeStore::closeConnections();
        return code;
    } catch (...) {
        SchemeStore::closeConnections();
        QTextStream(stderr) << describeFailure(std::current_exception()) << '\n';
        return Refused;
    }
}

} // namespace SerialFilterCli
