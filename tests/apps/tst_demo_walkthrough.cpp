// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The demo host's walkthrough, run as CI runs it: it must pass on a fresh data folder and on
// one left by an earlier run, and it must fail when the component cannot do its part.

#include "apps/demoprocess.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace NxSerialFilter::Testing;

class tst_DemoWalkthrough : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void walkthrough_data();
    void walkthrough();
    void failsWhenSchemesCannotBeSaved();
    void helpNeedsNoDisplay_data();
    void helpNeedsNoDisplay();

private:
    QTemporaryDir m_dir;
};

void tst_DemoWalkthrough::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(demoProgram()), qPrintable(demoProgram()));
}

void tst_DemoWalkthrough::walkthrough_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("shots");
    QTest::addColumn<bool>("progress"); // whether the generation reports its progress
    // The rows share one data folder and run in this order.
    QTest::newRow("fresh folder: generates the database")
        << QStringLiteral("generated") << QStringLiteral("first") << true;
    // The second run finds its scheme saved already: the overwrite question must be answered
    // and the list must still hold one scheme of that name.
    QTest::newRow("earlier run's folder: reuses database and scheme")
        << QStringLiteral("reused") << QStringLiteral("second") << false;
}

void tst_DemoWalkthrough::walkthrough()
{
    QFETCH(QString, database);
    QFETCH(QString, shots);
    QFETCH(bool, progress);
    const QString data = m_dir.filePath(QStringLiteral("data"));
    const QString screenshots = m_dir.filePath(shots);
    const DemoRun run = runDemo({QStringLiteral("--walkthrough"), QStringLiteral("--data"), data,
                                 QStringLiteral("--screenshots"), screenshots});
    QVERIFY2(run.finished, qPrintable(run.output));
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    QVERIFY2(run.output.contains(QStringLiteral("walkthrough: PASSED")), qPrintable(run.output));
    QVERIFY2(run.lineAfter(QStringLiteral("database: ")).contains(database),
             qPrintable(run.output));
    const QString progressLine = QStringLiteral("generating the database: 100000 / 100000 records");
    QCOMPARE(run.output.contains(progressLine), progress);

    // The printed condition and both counts, as a reader of the log sees them.
    const QString sql = run.lineAfter(QStringLiteral("FilterSQL: ["));
    QVERIFY2(sql.contains(QStringLiteral("t_FITEMID.FName")), qPrintable(run.output));
    const QString host =
        run.lineAfter(QStringLiteral("matching records, host query with FilterSQL: "));
    const QString direct =
        run.lineAfter(QStringLiteral("matching records, direct query with bound parameters: "));
    QVERIFY2(!direct.isEmpty() && host.startsWith(direct + u' '), qPrintable(run.output));
    QVERIFY(direct.toInt() > 0);

    for (const char *name :
         {"host-window", "host-window-en", "host-serial", "host-items", "filter-dialog",
          "filter-dialog-items", "filter-dialog-en", "filter-dialog-reopened", "lookup-window",
          "scheme-name", "date-picker", "filter-dialog-row-deleted", "filter-dialog-pasted-list",
          "host-pasted-list", "filter-dialog-relative-date", "host-relative-date"}) {
        const QImage image(
            QDir(screenshots).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
        QVERIFY2(image.width() > 200 && image.height() > 100, name);
    }
}

void tst_DemoWalkthrough::failsWhenSchemesCannotBeSaved()
{
    // A folder in place of the scheme store: saving must fail, and the walkthrough must say so
    // rather than pass on the rest.
    const QString data = m_dir.filePath(QStringLiteral("broken"));
    QVERIFY(QDir().mkpath(data + QStringLiteral("/schemes.sqlite/x")));
    const QString ready = m_dir.filePath(QStringLiteral("data/serials.sqlite"));
    if (QFile::exists(ready))
        QVERIFY(QFile::copy(ready, data + QStringLiteral("/serials.sqlite")));
    const DemoRun run =
        runDemo({QStringLiteral("--walkthrough"), QStringLiteral("--data"), data,
                 QStringLiteral("--screenshots"), m_dir.filePath(QStringLiteral("broken-shots"))});
    QVERIFY2(run.finished, qPrintable(run.output));
    QVERIFY2(run.exitCode != 0, qPrintable(run.output));
    QVERIFY2(run.output.contains(QStringLiteral("walkthrough: FAILED")), qPrintable(run.output));
}

void tst_DemoWalkthrough::helpNeedsNoDisplay_data()
{
    QTest::addColumn<QString>("option");
    QTest::newRow("--help") << QStringLiteral("--help");
    QTest::newRow("--help-all") << QStringLiteral("--help-all");
}

void tst_DemoWalkthrough::helpNeedsNoDisplay()
{
    QFETCH(QString, option);
    const DemoRun run = runDemo({option}, 30000, false);
    QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.output));
    for (const char *listed : {"--walkthrough", "--data <DIR>", "--prepare-only"})
        QVERIFY2(run.output.contains(QString::fromLatin1(listed)), qPrintable(run.output));
}

QTEST_GUILESS_MAIN(tst_DemoWalkthrough)
#include "tst_demo_walkthrough.moc"
