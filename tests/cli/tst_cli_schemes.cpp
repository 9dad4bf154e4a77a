// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "clioutcome.h"
#include "schemes/schemetext.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
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
    // In args and before, "~" stands for this row's store, "#" for its file, "@" the temp
    // folder; in err, "#" for the row's file.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err"); // standard error must start with it
    QTest::addColumn<bool>("storeAfter");
    QTest::addColumn<QByteArray>("file");    // written to "#" first when not empty
    QTest::addColumn<QStringList>("before"); // run first, must succeed
    QTest::addColumn<bool>("foreign");       // the store is another application's file

    const QByteArray none;
    const QStringList nothing;
    // Reading or deleting must not leave a new, empty store behind a mistyped path.
    QTest::newRow("list of a missing store")
        << QStringList{u"list"_qs, u"--store"_qs, u"~"_qs, u"--screen"_qs, u"S"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: cannot read ") << false << none << nothing
        << false;
    QTest::newRow("export of a missing store")
        << QStringList{u"export"_qs, u"--store"_qs, u"~"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: cannot read ") << false << none << nothing
        << false;
    QTest::newRow("delete from a missing store")
        << QStringList{u"delete"_qs, u"--store"_qs, u"~"_qs, u"--id"_qs, u"1"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: cannot read ") << false << none << nothing
        << false;
    QTest::newRow("import creates the store")
        << QStringList{u"import"_qs, u"--store"_qs, u"~"_qs, u"@one.json"_qs} << 0 << none << none
        << true << none << nothing << false;
    // Reading another application's database changes not a byte of it.
    QTest::newRow("list of a foreign file")
        << QStringList{u"list"_qs, u"--store"_qs, u"~"_qs, u"--screen"_qs, u"S"_qs} << 0 << none
        << none << true << none << nothing << true;
    QTest::newRow("export of a foreign file")
        << QStringList{u"export"_qs, u"--store"_qs, u"~"_qs} << 0 << QByteArrayLiteral("[\n]\n")
        << none << true << none << nothing << true;
    // The tool must not report success for schemes it did not keep.
    QTest::newRow("import into memory")
        << QStringList{u"import"_qs, u"--store"_qs, u":memory:"_qs, u"@one.json"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: import needs a store") << false << none
        << nothing << false;
    QTest::newRow("--help as a value")
        << QStringList{u"list"_qs, u"--store"_qs, u"--help"_qs, u"--screen"_qs, u"S"_qs} << 2
        << none << QByteArrayLiteral("serialfilter schemes: cannot read --help") << false << none
        << nothing << false;
    const QByteArray listed = QByteArrayLiteral(
        "[\n    {\n        \"FFilterName\": \"a\",\n        \"FID\": 1\n    }\n]\n");
    QTest::newRow("list as JSON") << QStringList{u"list"_qs,     u"--store"_qs, u"~"_qs,
                                                 u"--screen"_qs, u"S"_qs,       u"--json"_qs}
                                  << 0 << listed << none << true << none
                                  << QStringList{u"import"_qs, u"--store"_qs, u"~"_qs,
                                                 u"@one.json"_qs}
                                  << false;
    // Without a screen every screen's schemes are listed, each saying whose it is.
    const QByteArray twoScreens =
        QByteArrayLiteral(R"([{"FScreenID": "T", "FFilterName": "b", "FFilter": "x"},)"
                          R"( {"FScreenID": "S", "FFilterName": "a", "FFilter": "x"}])");
    const QStringList importTwo{u"import"_qs, u"--store"_qs, u"~"_qs, u"#"_qs};
    QTest::newRow("list of every screen") << QStringList{u"list"_qs, u"--store"_qs, u"~"_qs} << 0
                                          << QByteArrayLiteral("2\tS\ta\n1\tT\tb\n") << none << true
                                          << twoScreens << importTwo << false;
    QTest::newRow("list of every screen as JSON")
        << QStringList{u"list"_qs, u"--store"_qs, u"~"_qs, u"--json"_qs} << 0
        << QByteArrayLiteral("[\n    {\n        \"FFilterName\": \"a\",\n        \"FID\": 2,\n"
                             "        \"FScreenID\": \"S\"\n    },\n    {\n        "
                             "\"FFilterName\": \"b\",\n        \"FID\": 1,\n        "
                             "\"FScreenID\": \"T\"\n    }\n]\n")
        << none << true << twoScreens << importTwo << false;

    // A name the dialog could not have saved refuses the whole file, naming the item.
    const struct
    {
        const char *row;
        QByteArray name; // as JSON
    } names[] = {
        {"name with a quote", QByteArrayLiteral("\"O'Brien\"")},
        {"name with a line break", QByteArrayLiteral("\"a\\nb\"")},
        {"name with a tab", QByteArrayLiteral("\"a\\tb\"")},
        {"name with a control character", QByteArrayLiteral("\"a\\u0007b\"")},
        {"name with a space at its end", QByteArrayLiteral("\"ab \"")},
        {"name of spaces", QByteArrayLiteral("\"   \"")},
        {"name too long", '"' + QByteArray(257, 'n') + '"'},
    };
    for (const auto &n : names) {
        QTest::newRow(n.row) << QStringList{u"import"_qs, u"--store"_qs, u"~"_qs, u"#"_qs} << 2
                             << none << QByteArrayLiteral("serialfilter schemes: #: item 2: ")
                             << false
                             << QByteArrayLiteral(R"([{"FScreenID": "S", "FFilterName": "a", )"
                                                  R"("FFilter": "x"}, {"FScreenID": "S", )"
                                                  R"("FFilterName": )") +
                                    n.name + QByteArrayLiteral(R"(, "FFilter": "x"}])")
                             << nothing << false;
    }
    QTest::newRow("name of the longest length")
        << QStringList{u"import"_qs, u"--store"_qs, u"~"_qs, u"#"_qs} << 0 << none << none << true
        << QByteArrayLiteral(R"([{"FScreenID": "S", "FFilterName": ")") + QByteArray(256, 'n') +
               QByteArrayLiteral(R"(", "FFilter": "x"}])")
        << nothing << false;
    QTest::newRow("text over the cap")
        << QStringList{u"import"_qs, u"--store"_qs, u"~"_qs, u"#"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: #: item 1: ") << false
        << QByteArrayLiteral(R"([{"FScreenID": "S", "FFilterName": "a", "FFilter": ")") +
               QByteArray(NxSerialFilter::SchemeText::MaxTextLength + 1, 'x') +
               QByteArrayLiteral("\"}]")
        << nothing << false;
}

namespace {

QByteArray checksum(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

/// A small SQLite database as another application keeps it (rollback journal).
bool writeForeignDatabase(const QString &path)
{
    bool written = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_qs, u"foreign"_qs);
        db.setDatabaseName(path);
        QSqlQuery query(db);
        written = db.open() && query.exec(u"CREATE TABLE orders (id INTEGER, item TEXT)"_qs) &&
                  query.exec(u"INSERT INTO orders VALUES (1, 'bolt')"_qs);
        db.close();
    }
    QSqlDatabase::removeDatabase(u"foreign"_qs);
    return written;
}

} // namespace

void tst_CliSchemes::run()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(bool, storeAfter);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, before);
    QFETCH(bool, foreign);

    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    const QString store = m_dir.filePath(tag + QStringLiteral(".sqlite"));
    const QString input = m_dir.filePath(tag + QStringLiteral(".json"));
    const auto substitute = [&](QStringList list) {
        for (QString &arg : list) {
            if (arg == QLatin1String("~"))
                arg = store;
            else if (arg == QLatin1String("#"))
                arg = input;
            arg.replace(u'@', m_dir.path() + u'/');
        }
        return list;
    };
    err.replace('#', input.toUtf8());
    if (!file.isEmpty()) {
        QFile f(input);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    QByteArray sum;
    if (foreign) {
        QVERIFY(writeForeignDatabase(store));
        sum = checksum(store);
    }
    if (!before.isEmpty()) {
        QProcess first;
        first.start(m_program, QStringList{u"schemes"_qs} + substitute(before));
        QVERIFY(first.waitForFinished(30000));
        QCOMPARE(first.exitCode(), 0);
    }
    QProcess process;
    process.start(m_program, QStringList{u"schemes"_qs} + substitute(args));
    QVERIFY(process.waitForFinished(30000));
    CliTesting::checkOutcome(process, err, out, exitCode);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(QFile::exists(store), storeAfter);
    if (foreign) {
        QCOMPARE(checksum(store), sum);
        QVERIFY(!QFile::exists(store + QStringLiteral("-wal")));
    }
}

QTEST_GUILESS_MAIN(tst_CliSchemes)
#include "tst_cli_schemes.moc"
