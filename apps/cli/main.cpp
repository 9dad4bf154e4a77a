// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// serialfilter: use the component's rules from batch jobs, without a window.

#include "commands.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

QtMessageHandler qtHandler = nullptr;

/// Qt's own remarks on the way to a failure ("QSqlQuery::prepare: database not open") would
/// come before the tool's one message and tell a batch job nothing: the tool says what failed.
void onlyQtFailures(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        qtHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    qtHandler = qInstallMessageHandler(onlyQtFailures);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (command == QLatin1String("sql"))
        return SerialFilterCli::runSql(args);
    if (command == QLatin1String("schemes"))
        return SerialFilterCli::runSchemes(args);
    QTextStream out(command == QLatin1String("--help") ? stdout : stderr);
    out << "usage: serialfilter sql --fields FIELDS.json [--scheme SCHEME.txt | --where TEXT] "
           "[--screen ID] [--language CODE] [--words | --bound]\n"
           "       serialfilter schemes list|export|import|delete --store DB ...\n"
           "Run 'serialfilter sql --help' or 'serialfilter schemes --help' for details.\n";
    return command == QLatin1String("--help") ? 0 : 2;
}
