// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// serialfilter schemes: look after a site's scheme store from batch jobs.

#include "commands.h"

#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/limits.h>
#include <NxSerialFilter/schemestore.h>

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
    "usage: serialfilter schemes list   --store DB [--screen ID] [--json]\n"
    "       serialfilter schemes export --store DB [--screen ID]\n"
    "       serialfilter schemes import --store DB [--shared] FILE\n"
    "       serialfilter schemes delete --store DB --id FID\n"
    "       serialfilter schemes init   --store ADDRESS [--users ROLE]\n"
    "       serialfilter schemes share  --store ADDRESS --screen ID [--off] NAME\n"
    "DB is a SQLite file or a postgresql://user@host:port/database address.\n"
    "list prints one line per scheme: FID, TAB, name with control characters and\n"
    "backslashes escaped (\\n, \\u202e, \\\\); with --json a JSON array of {FID, FFilterName}\n"
    "as stored. Without --screen it lists every screen's schemes, each line FID, TAB,\n"
    "screen, TAB, name ({FID, FScreenID, FFilterName}). export prints a JSON array of\n"
    "{FID, FScreenID, FFilterName,\n"
    "FFilter, FSort}, with FDefault true for a screen's default scheme. list and export\n"
    "only read: they change nothing in DB. import reads the same array and saves each\n"
    "scheme by screen and name, replacing one of the same name (FID is ignored), and makes\n"
    "those with FDefault true their screen's default; a name must be one the scheme-name\n"
    "dialog could save.\n"
    "On a PostgreSQL store every scheme has an owner (the role that saved it): import\n"
    "saves the schemes as the connecting role's own, private unless --shared; list --json\n"
    "adds each scheme's owner and shared. init, run by the store's administrator, creates\n"
    "the store (table, row-level rights, grants) owned by the connecting role and lets the\n"
    "members of ROLE (default: every role) use it. share shares the connecting role's\n"
    "scheme NAME with every user, --off makes it private again. Users name the\n"
    "administrator in their address: postgresql://user@host/db?owner=ADMINROLE.\n";

/// An import file may hold a whole site's schemes, but not so much that reading it
/// exhausts memory.
constexpr qint64 maxImportBytes = 64 * 1024 * 1024;

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
    std::optional<QString> users;
    bool json = false;
    bool shared = false;
    bool off = false;
    bool help = false;
};

/// The options, or an explanation of what is wrong with them.
std::optional<Options> parse(const QStringList &args, QString &why)
{
    Options options;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool takesValue = arg == QLatin1String("--store") ||
                                arg == QLatin1String("--screen") || arg == QLatin1String("--id") ||
                                arg == QLatin1String("--users");
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
            else if (arg == QLatin1String("--users"))
                options.users = value;
            else
                options.id = value;
        } else if (arg == QLatin1String("--help")) {
            // Only where an option stands: as an option's value it is that value.
            options.help = true;
        } else if (arg == QLatin1String("--json")) {
            options.json = true;
        } else if (arg == QLatin1String("--shared")) {
            options.shared = true;
        } else if (arg == QLatin1String("--off")) {
            options.off = true;
        } else if (arg.startsWith(QLatin1String("--"))) {
            why = QStringLiteral("unknown option ") + arg;
            return std::nullopt;
        } else if (options.action.isEmpty()) {
            options.action = arg;
        } else {
            options.files.append(arg);
        }
    }
    if (!options.help && options.store.isEmpty()) {
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
    QJsonObject o{{QStringLiteral("FID"), s.FID},
                  {QStringLiteral("FScreenID"), s.FScreenID},
                  {QStringLiteral("FFilterName"), s.FFilterName},
                  {QStringLiteral("FFilter"), s.FFilter},
                  {QStringLiteral("FSort"), s.FSort}};
    // Only where set, so that an export of a store without defaults reads as before.
    if (s.isDefault)
        o.insert(QStringLiteral("FDefault"), true);
    return o;
}

/// The rows a read left out go to standard error, one line each, after what could be read.
int reportRefusals(const SchemeStore &store)
{
    const QStringList refusals = store.refusals();
    QTextStream err(stderr);
    for (const QString &refusal : refusals)
        err << refusal << '\n';
    return refusals.isEmpty() ? Done : Refused;
}

/// The schemes of an import file; why says what is wrong when there are none.
std::optional<QList<StoredScheme>> readImport(const QString &path, QString &why)
{
    QByteArray bytes;
    if (const auto bad = readFile(path, bytes, maxImportBytes)) {
        why = *bad;
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
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
        const QJsonValue isDefault = o.value(QStringLiteral("FDefault"));
        if (!items.at(i).isObject() || !screen.isString() || !name.isString() ||
            name.toString().isEmpty() || !text.isString() ||
            !(sort.isUndefined() || sort.isNull() || sort.isString()) ||
            !(isDefault.isUndefined() || isDefault.isNull() || isDefault.isBool())) {
            why = path + QStringLiteral(": item %1 needs the texts FScreenID, FFilterName "
                                        "(not empty) and FFilter, and FDefault true or false")
                             .arg(i + 1);
            return std::nullopt;
        }
        // A name the dialog could not have saved would show differently, or forge lines in
        // a listing; the store refuses it as it refuses an oversized text.
        StoredScheme scheme{0, screen.toString(), name.toString(), text.toString(),
                            sort.toString()};
        scheme.isDefault = isDefault.toBool();
        try {
            SchemeStore::checkScheme(scheme);
        } catch (...) {
            why = path + QStringLiteral(": item ") + QString::number(i + 1) + QStringLiteral(": ") +
                  describeFailure(std::current_exception());
            return std::nullopt;
        }
        schemes.append(scheme);
    }
    return schemes;
}

int run(const Options &o)
{
    QTextStream out(stdout);
    if (o.action == QLatin1String("list")) {
        if (!o.files.isEmpty())
            return usageError(QStringLiteral("list takes --store, --screen and --json"));
        if (storeMissing(o.store))
            return missingStore(o.store);
        SchemeStore store(o.store, SchemeStore::Access::ReadOnly);
        // Without a screen the lines say whose each scheme is.
        const bool everyScreen = !o.screen;
        const QList<StoredScheme> schemes =
            everyScreen ? store.fullSchemes() : store.schemes(*o.screen);
        if (o.json) {
            QJsonArray array;
            for (const StoredScheme &s : schemes) {
                QJsonObject item{{QStringLiteral("FID"), s.FID},
                                 {QStringLiteral("FFilterName"), s.FFilterName}};
                if (everyScreen)
                    item.insert(QStringLiteral("FScreenID"), s.FScreenID);
                if (store.keepsOwners()) {
                    item.insert(QStringLiteral("owner"), s.rights.owner);
                    item.insert(QStringLiteral("shared"), s.rights.shared);
                }
                array.append(item);
            }
            out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
            return reportRefusals(store);
        }
        for (const StoredScheme &s : schemes) {
            out << s.FID << '\t';
            if (everyScreen)
                out << SchemeStore::printable(s.FScreenID) << '\t';
            out << SchemeStore::printable(s.FFilterName) << '\n';
        }
        return reportRefusals(store);
    }
    if (o.action == QLatin1String("export")) {
        if (!o.files.isEmpty() || o.json)
            return usageError(QStringLiteral("export takes --store and --screen"));
        if (storeMissing(o.store))
            return missingStore(o.store);
        SchemeStore store(o.store, SchemeStore::Access::ReadOnly);
        QJsonArray array;
        for (const StoredScheme &s : store.fullSchemes(o.screen.value_or(QString())))
            array.append(toJson(s));
        out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
        return reportRefusals(store);
    }
    const bool ownersOnly = o.users || o.shared || o.off;
    if (ownersOnly && o.action != QLatin1String("init") && o.action != QLatin1String("import") &&
        o.action != QLatin1String("share"))
        return usageError(
            QStringLiteral("--users, --shared and --off go with init, import and share"));
    if (o.action == QLatin1String("init")) {
        if (!o.files.isEmpty() || o.screen || o.json || o.shared || o.off)
            return usageError(QStringLiteral("init takes --store and --users"));
        SchemeStore::initialize(o.store, o.users.value_or(QString()));
        return Done;
    }
    if (o.action == QLatin1String("share")) {
        if (o.files.size() != 1 || !o.screen || o.json || o.users || o.shared)
            return usageError(QStringLiteral("share takes --store, --screen, --off and one NAME"));
        if (!SchemeStore(o.store).share(*o.screen, o.files.first(), !o.off)) {
            QTextStream(stderr) << SchemeStore::notFoundMessage(o.files.first()) << '\n';
            return Refused;
        }
        return Done;
    }
    if (o.action == QLatin1String("import")) {
        if (o.files.size() != 1 || o.screen || o.json || o.users || o.off)
            return usageError(QStringLiteral("import takes --store, --shared and one FILE"));
        // SQLite's in-memory database would take the schemes and drop them as the tool ends.
        if (o.store == QLatin1String(":memory:"))
            return usageError(QStringLiteral("import needs a store that keeps the schemes, "
                                             "not :memory:"));
        QString why;
        const auto schemes = readImport(o.files.first(), why);
        if (!schemes)
            return usageError(why);
        // Only a store with owners knows private from shared: elsewhere every scheme is seen
        // by all, and --shared would promise what it cannot keep.
        const QString noOwners = QStringLiteral("--shared needs a PostgreSQL store with owners");
        if (o.shared && !SchemeStore::isServerAddress(o.store))
            return usageError(noOwners);
        SchemeStore store(o.store);
        if (o.shared && !store.keepsOwners())
            return usageError(noOwners);
        store.saveAll(*schemes, o.shared ? std::optional<bool>(true) : std::nullopt);
        return Done;
    }
    if (o.action == QLatin1String("delete")) {
        bool ok = false;
        const qint32 id = o.id ? o.id->trimmed().toInt(&ok) : 0;
        if (!ok || !o.files.isEmpty() || o.screen || o.json)
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
    QString why;
    const auto options = parse(args, why);
    if (!options)
        return usageError(why);
    if (options->help) {
        QTextStream(stdout) << usage;
        return Done;
    }
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
