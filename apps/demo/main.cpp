// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// serialfilter-demo: a host application that filters a database of serial-number records
// through the component. With --walkthrough it works its own windows and checks the outcome.

#include "demotexts.h"
#include "lookupwindow.h"
#include "mainwindow.h"
#include "sampledatabase.h"
#include "walkthrough.h"
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/language.h>
#include <NxSerialFilter/nxalert.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLocale>
#include <QProgressDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

#include <cstdlib>

using namespace NxSerialFilter;

namespace {

const QString connectionName = QStringLiteral("serialfilter-demo");
const QString languageKey = QStringLiteral("language");
constexpr int walkthroughLimitMs = 55000;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setOrganizationName(QStringLiteral("NxSerialFilter"));
    QCoreApplication::setApplicationName(QStringLiteral("serialfilter-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Filters a sample database of serial-number records with NxSerialFilter."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption walkthroughOption(
        QStringLiteral("walkthrough"),
        QStringLiteral("Work the windows without a user, check the results, exit 0 when all "
                       "agreed."));
    const QCommandLineOption dataOption(
        QStringLiteral("data"), QStringLiteral("Folder of the sample database and the schemes."),
        QStringLiteral("DIR"), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QCommandLineOption screenshotsOption(
        QStringLiteral("screenshots"), QStringLiteral("Where the walkthrough writes screenshots."),
        QStringLiteral("DIR"));
    const QCommandLineOption prepareOption(
        QStringLiteral("prepare-only"),
        QStringLiteral("Create the database and the JSON descriptions, then exit."));
    {
        // The help must print where no display is: QApplication would abort without one.
        QCoreApplication probe(argc, argv);
        screenshotsOption.setDefaultValue(QDir(QCoreApplication::applicationDirPath())
                                              .absoluteFilePath(QStringLiteral("../screenshots")));
        parser.addOptions({walkthroughOption, dataOption, screenshotsOption, prepareOption});
        // Errors wait for QApplication, which takes out its own options (-platform) first.
        parser.parse(QCoreApplication::arguments());
        if (parser.isSet(helpOption))
            parser.showHelp(0);
        if (parser.isSet(QStringLiteral("help-all")))
            parser.process(probe); // prints the help with Qt's own options and exits
    }

    QApplication app(argc, argv);
    parser.process(app);

    const bool walkthrough = parser.isSet(walkthroughOption);
    const bool interactive = !walkthrough && !parser.isSet(prepareOption);
    const QString dataFolder = QDir(parser.value(dataOption)).absolutePath();
    QTextStream out(stdout);

    if (walkthrough) {
        // A stuck modal loop must not hold a CI job forever.
        QTimer::singleShot(walkthroughLimitMs, [] {
            QTextStream(stdout) << "walkthrough: FAILED, not finished within "
                                << walkthroughLimitMs / 1000 << " s\n";
            std::_Exit(2);
        });
    }

    // The language the user chose last time, filed before the database is prepared so that its
    // progress speaks it too; at the first start the system's, Chinese or else English. The
    // walkthrough neither reads nor changes it.
    QSettings settings;
    const QString chosen = settings.value(languageKey).toString();
    const bool english = chosen.isEmpty() ? QLocale::system().language() != QLocale::Chinese
                                          : chosen == QLatin1String("en");
    const QString language = interactive && english ? QStringLiteral("en") : QStringLiteral("chs");
    ContextStore::setPropsString(Demo::propsString(language, dataFolder));

    Demo::SampleDatabase database(dataFolder);
    bool ready = false;
    if (interactive) {
        QProgressDialog progress;
        progress.setWindowTitle(Language::text(Demo::Texts::windowTitle()));
        progress.setCancelButton(nullptr);
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(200);
        // The indexes are built after the last record: stay open until ensure() returns.
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        ready = database.ensure(
            Demo::SampleDatabase::defaultRecordCount, [&progress](int done, int total) {
                progress.setMaximum(total);
                progress.setLabelText(Language::text(Demo::Texts::generating()) +
                                      QStringLiteral("%1 / %2").arg(done).arg(total));
                progress.setValue(done);
            });
    } else {
        ready = database.ensure(Demo::SampleDatabase::defaultRecordCount, [](int done, int total) {
            // A line per tenth keeps a CI log short.
            if (total > 0 && (done == 0 || done * 10LL / total != (done - 1) * 10LL / total))
                QTextStream(stderr)
                    << "generating the database: " << done << " / " << total << " records\n";
        });
    }
    if (!ready) {
        const QString message = Language::text(Demo::Texts::databaseFailed()) + database.error();
        if (!interactive)
            QTextStream(stderr) << message << '\n';
        else
            nxAlert::ShowAlert(message, nxAlert::Warning);
        return 1;
    }
    out << "database: " << database.path() << " ("
        << (database.generated() ? QStringLiteral("generated in %1 ms").arg(database.generationMs())
                                 : QStringLiteral("reused"))
        << ")\n";
    out.flush();
    if (parser.isSet(prepareOption))
        return 0;

    database.open(connectionName);
    Demo::registerLookupWindow(connectionName);

    Demo::MainWindow window(connectionName, dataFolder, language);
    // Each filter dialog opens at the size the user last gave it on that list; a walkthrough
    // leaves the user's settings alone.
    if (interactive) {
        window.filterFor(window.serialScreen()).setRememberDialogSize(true);
        window.filterFor(window.itemScreen()).setRememberDialogSize(true);
    }
    // A user refining a filter starts from the one in force.
    window.filterFor(window.serialScreen()).setReopenWithLastCondition(true);
    window.filterFor(window.itemScreen()).setReopenWithLastCondition(true);
    if (!walkthrough) {
        QObject::connect(
            &window, &Demo::MainWindow::languageChosen, &window,
            [&settings](const QString &code) { settings.setValue(languageKey, code); });
        window.show();
        return app.exec();
    }
    Demo::Walkthrough script(window, connectionName, parser.value(screenshotsOption));
    QTimer::singleShot(0, &app, [&] { QApplication::exit(script.run()); });
    return app.exec();
}
