// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "clioutcome.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

/// Runs "serialfilter schemes" as a site's batch job would, each row on a store of its own.
class tst_CliSchemes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void run_data();
    void run();

private:
    QString m_program;
    QTemporaryDir m_dir;
};

void tst_CliSchemes::initTestCase()
{
    const QString build = qEnvironmentVariable("NXSF_BUILD_DIR");
    QVERIFY2(!build.isEmpty(), "NXSF_BUILD_DIR");
    m_program = build + QStringLiteral("/bin/serialfilter");
    if (!QFile::exists(m_program))
        QSKIP("the command-line tool is not built");
    QVERIFY(m_dir.isValid());
    QFile file(m_dir.filePath(QStringLiteral("one.json")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArrayLiteral(
        R"([{"FScreenID": "S", "FFilterName": "a", "FFilter": "\t\tx\t\t\t\t"}])"));
}

void tst_CliSchemes::run_data()
{
    QTest::addColumn<QStringList>("args"); // "~" stands for this row's store, "@" the temp folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err"); // standard error must start with it
    QTest::addColumn<bool>("storeAfter");

    const QByteArray none;
    // Reading or deleting must not leave a new, empty store behind a mistyped path.
    QTest::newRow("list of a missing store")
        << QStringList{u"list"_qs, u"--store"_qs, u"~"_qs, u"--screen"_qs, u"S"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: cannot read ") << false;
    QTest::newRow("export of a missing store")
        << QStringList{u"export"_qs, u"--store"_qs, u"~"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: cannot read ") << false;
    QTest::newRow("delete from a missing store")
        << QStringList{u"delete"_qs, u"--store"_qs, u"~"_qs, u"--id"_qs, u"1"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: cannot read ") << false;
    QTest::newRow("import creates the store")
        << QStringList{u"import"_qs, u"--store"_qs, u"~"_qs, u"@one.json"_qs} << 0 << none << none
        << true;
}

void tst_CliSchemes::run()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(bool, storeAfter);

    const QString store =
        m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".sqlite"));
    for (QString &arg : args) {
        if (arg == QLatin1String("~"))
            arg = store;
        arg.replace(u'@', m_dir.path() + u'/');
    }
    QProcess process;
    process.start(m_program, QStringList{u"schemes"_qs} + args);
    QVERIFY(process.waitForFinished(30000));
    CliTesting::checkOutcome(process, err, out, exitCode);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(QFile::exists(store), storeAfter);
}

QTEST_GUILESS_MAIN(tst_CliSchemes)
#include "tst_cli_schemes.moc"
