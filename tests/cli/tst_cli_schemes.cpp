// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "clioutcome.h"
#include "core/schemes/schemetext.h"
#include "testsupport/stallingproxy.h"
#include "testsupport/storefixture.h"
#include <NxSerialFilter/limits.h>

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>
#include <QUuid>

#include <optional>

/// Runs "serialfilter schemes" as a site's batch job would, each row on a store of its own.
class tst_CliSchemes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void run_data();
    void run();
    void sharedStore();
    void readmeSiteSetUp();
    void readmeCaps_data();
    void readmeCaps();

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
    // folder, "stalled" for the test server behind a proxy that stops answering after the
    // handshake; in err, "#" for the row's file.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err"); // standard error must start with it
    QTest::addColumn<bool>("storeAfter");
    QTest::addColumn<QByteArray>("file");    // written to "#" first when not empty
    QTest::addColumn<QStringList>("before"); // run first, must succeed
    QTest::addColumn<bool>("foreign");       // the store is another application's file
    QTest::addColumn<QString>("sql");        // run on the store after before, as another tool

    const QByteArray none;
    const QStringList nothing;
    // Reading or deleting must not leave a new, empty store behind a mistyped path.
    QTest::newRow("list of a missing store")
        << QStringList{u"list"_qs, u"--store"_qs, u"~"_qs, u"--screen"_qs, u"S"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: cannot read ") << false << none << nothing
        << false << QString();
    QTest::newRow("export of a missing store")
        << QStringList{u"export"_qs, u"--store"_qs, u"~"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: cannot read ") << false << none << nothing
        << false << QString();
    QTest::newRow("delete from a missing store")
        << QStringList{u"delete"_qs, u"--store"_qs, u"~"_qs, u"--id"_qs, u"1"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: cannot read ") << false << none << nothing
        << false << QString();
    QTest::newRow("import creates the store")
        << QStringList{u"import"_qs, u"--store"_qs, u"~"_qs, u"@one.json"_qs} << 0 << none << none
        << true << none << nothing << false << QString();
    // Reading another application's database changes not a byte of it.
    QTest::newRow("list of a foreign file")
        << QStringList{u"list"_qs, u"--store"_qs, u"~"_qs, u"--screen"_qs, u"S"_qs} << 0 << none
        << none << true << none << nothing << true << QString();
    QTest::newRow("export of a foreign file")
        << QStringList{u"export"_qs, u"--store"_qs, u"~"_qs} << 0 << QByteArrayLiteral("[\n]\n")
        << none << true << none << nothing << true << QString();
    // The tool must not report success for schemes it did not keep.
    QTest::newRow("import into memory")
        << QStringList{u"import"_qs, u"--store"_qs, u":memory:"_qs, u"@one.json"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: import needs a store") << false << none
        << nothing << false << QString();
    QTest::newRow("--help as a value")
        << QStringList{u"list"_qs, u"--store"_qs, u"--help"_qs, u"--screen"_qs, u"S"_qs} << 2
        << none << QByteArrayLiteral("serialfilter schemes: cannot read --help") << false << none
        << nothing << false << QString();
    const QByteArray listed = QByteArrayLiteral(
        "[\n    {\n        \"FFilterName\": \"a\",\n        \"FID\": 1\n    }\n]\n");
    QTest::newRow("list as JSON") << QStringList{u"list"_qs,     u"--store"_qs, u"~"_qs,
                                                 u"--screen"_qs, u"S"_qs,       u"--json"_qs}
                                  << 0 << listed << none << true << none
                                  << QStringList{u"import"_qs, u"--store"_qs, u"~"_qs,
                                                 u"@one.json"_qs}
                                  << false << QString();
    // Without a screen every screen's schemes are listed, each saying whose it is.
    const QByteArray twoScreens =
        QByteArrayLiteral(R"([{"FScreenID": "T", "FFilterName": "b", "FFilter": "x"},)"
                          R"( {"FScreenID": "S", "FFilterName": "a", "FFilter": "x"}])");
    const QStringList importTwo{u"import"_qs, u"--store"_qs, u"~"_qs, u"#"_qs};
    QTest::newRow("list of every screen") << QStringList{u"list"_qs, u"--store"_qs, u"~"_qs} << 0
                                          << QByteArrayLiteral("2\tS\ta\n1\tT\tb\n") << none << true
                                          << twoScreens << importTwo << false << QString();
    QTest::newRow("list of every screen as JSON")
        << QStringList{u"list"_qs, u"--store"_qs, u"~"_qs, u"--json"_qs} << 0
        << QByteArrayLiteral("[\n    {\n        \"FFilterName\": \"a\",\n        \"FID\": 2,\n"
                             "        \"FScreenID\": \"S\"\n    },\n    {\n        "
                             "\"FFilterName\": \"b\",\n        \"FID\": 1,\n        "
                             "\"FScreenID\": \"T\"\n    }\n]\n")
        << none << true << twoScreens << importTwo << false << QString();

    // The default scheme of a screen survives an export and an import.
    QTest::newRow("export after import keeps the default")
        << QStringList{u"export"_qs, u"--store"_qs, u"~"_qs, u"--screen"_qs, u"S"_qs} << 0
        << QByteArrayLiteral("[\n    {\n        \"FDefault\": true,\n        \"FFilter\": \"x\",\n"
                             "        \"FFilterName\": \"a\",\n        \"FID\": 2,\n"
                             "        \"FScreenID\": \"S\",\n        \"FSort\": \"\"\n    }\n]\n")
        << none << true
        << QByteArrayLiteral(R"([{"FScreenID": "T", "FFilterName": "b", "FFilter": "x"},)"
                             R"( {"FScreenID": "S", "FFilterName": "a", "FFilter": "x",)"
                             R"(  "FDefault": true}])")
        << importTwo << false << QString();
    QTest::newRow("import of a default that is no flag")
        << importTwo << 2 << none << QByteArrayLiteral("serialfilter schemes: #: item 1 needs")
        << false
        << QByteArrayLiteral(R"([{"FScreenID": "S", "FFilterName": "a", "FFilter": "x",)"
                             R"(  "FDefault": "yes"}])")
        << nothing << false << QString();

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
                             << nothing << false << QString();
    }
    QTest::newRow("name of the longest length")
        << QStringList{u"import"_qs, u"--store"_qs, u"~"_qs, u"#"_qs} << 0 << none << none << true
        << QByteArrayLiteral(R"([{"FScreenID": "S", "FFilterName": ")") + QByteArray(256, 'n') +
               QByteArrayLiteral(R"(", "FFilter": "x"}])")
        << nothing << false << QString();
    QTest::newRow("text over the cap")
        << QStringList{u"import"_qs, u"--store"_qs, u"~"_qs, u"#"_qs} << 2 << none
        << QByteArrayLiteral("serialfilter schemes: #: item 1: ") << false
        << QByteArrayLiteral(R"([{"FScreenID": "S", "FFilterName": "a", "FFilter": ")") +
               QByteArray(NxSerialFilter::SchemeText::MaxTextLength + 1, 'x') +
               QByteArrayLiteral("\"}]")
        << nothing << false << QString();

    // The driver's remarks on the way ("QSqlQuery::prepare: database not open", "Unable to
    // free statement") do not come before the tool's one message.
    QTest::newRow("list of a server that stops answering")
        << QStringList{u"list"_qs, u"--store"_qs, u"stalled"_qs, u"--screen"_qs, u"S"_qs} << 1
        << none << QByteArrayLiteral("不能打开过滤方案库：") << false << none << nothing << false
        << QString();

    // A file store has no owners: every scheme in it is seen by all.
    QTest::newRow("import shared into a file")
        << QStringList{u"import"_qs, u"--store"_qs, u"~"_qs, u"--shared"_qs, u"@one.json"_qs} << 2
        << none << QByteArrayLiteral("serialfilter schemes: --shared needs") << false << none
        << nothing << false << QString();
    // Names written by another tool print as they are stored, escaped so that no name forges a
    // line, moves the cursor or reorders the line; JSON gives them exactly.
    const QStringList importOne{u"import"_qs, u"--store"_qs, u"~"_qs, u"@one.json"_qs};
    const QString forge = u"INSERT INTO nxsf_schemes (fscreenid, ffiltername, ffilter, fsort, "
                          "fcreated, fchanged) VALUES ('S', 'good' || char(10) || '999' || "
                          "char(9) || 'FORGED ' || char(27) || '[2J' || char(8238) || 'x\\y' "
                          "|| char(8232), 't', '', '', '')"_qs;
    QTest::newRow("list escapes stored names")
        << QStringList{u"list"_qs, u"--store"_qs, u"~"_qs, u"--screen"_qs, u"S"_qs} << 0
        << QByteArrayLiteral("1\ta\n2\tgood\\n999\\tFORGED \\u001b[2J\\u202ex\\\\y\\u2028\n")
        << none << true << none << importOne << false << forge;
    QTest::newRow("list as JSON keeps stored names")
        << QStringList{u"list"_qs, u"--store"_qs, u"~"_qs, u"--screen"_qs, u"S"_qs, u"--json"_qs}
        << 0
        << QByteArrayLiteral(
               "[\n    {\n        \"FFilterName\": \"a\",\n        \"FID\": 1\n    },\n"
               "    {\n        \"FFilterName\": \"good\\n999\\tFORGED "
               "\\u001b[2J\u202ex\\\\y\u2028\",\n        \"FID\": 2\n    }\n]\n")
        << none << true << none << importOne << false << forge;
    // A row the tool cannot read within the caps is named on standard error; the rest is
    // listed and the exit code says that something was left out.
    QTest::newRow("list leaves out an id beyond 32 bits")
        << QStringList{u"list"_qs, u"--store"_qs, u"~"_qs, u"--screen"_qs, u"S"_qs} << 1
        << QByteArrayLiteral("1\ta\n")
        << QByteArrayLiteral("过滤方案编号超出范围，没有读取：far (FID 99999999999)") << true
        << none << importOne << false
        << u"PRAGMA ignore_check_constraints = ON; INSERT INTO nxsf_schemes (fid, fscreenid, "
           "ffiltername, ffilter, fsort, fcreated, fchanged) VALUES (99999999999, 'S', 'far', "
           "'t', '', '', '')"_qs;
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
    QFETCH(QString, sql);

    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    const QString store = m_dir.filePath(tag + QStringLiteral(".sqlite"));
    const QString input = m_dir.filePath(tag + QStringLiteral(".json"));
    std::optional<NxSerialFilter::Testing::StallingProxy> proxy;
    QString stalled;
    if (args.contains(u"stalled"_qs)) {
        const QString server = qEnvironmentVariable("NXSF_TEST_PG_URL");
        if (server.isEmpty())
            QSKIP("no test server (NXSF_TEST_PG_URL)");
        QUrl url(server);
        proxy.emplace(url.port(), 3);
        url.setPort(proxy->port());
        url.setQuery(u"connect_timeout=1&statement_timeout=500"_qs);
        stalled = url.toString();
    }
    const auto substitute = [&](QStringList list) {
        for (QString &arg : list) {
            if (arg == QLatin1String("stalled")) {
                arg = stalled;
                continue;
            }
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
    if (!sql.isEmpty()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_qs, u"other"_qs);
        db.setDatabaseName(store);
        QVERIFY(db.open());
        for (const QString &statement : sql.split(u"; "_qs)) {
            QSqlQuery query(db);
            QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"other"_qs);
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

// A site's store as the tool sets it up and its users use it: the administrator creates it for
// the users' role, each user imports schemes of their own, shares one and stops sharing it;
// a user never lists another's private scheme.
void tst_CliSchemes::sharedStore()
{
    const QString server = qEnvironmentVariable("NXSF_TEST_PG_URL");
    if (server.isEmpty())
        QSKIP("no test server (NXSF_TEST_PG_URL)");
    const QString schema = u"c_"_qs + QUuid::createUuid().toString(QUuid::Id128).left(12);
    {
        QUrl url(server);
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_qs, u"setup"_qs);
        db.setHostName(url.host());
        db.setPort(url.port());
        db.setDatabaseName(url.path().mid(1));
        db.setUserName(url.userName());
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        QVERIFY(q.exec(u"CREATE SCHEMA %1 AUTHORIZATION nxsf_admin"_qs.arg(schema)));
        QVERIFY(q.exec(u"GRANT USAGE ON SCHEMA %1 TO nxsf_users"_qs.arg(schema)));
    }
    QSqlDatabase::removeDatabase(u"setup"_qs);
    const auto address = [&](const QString &role) {
        QUrl url(server);
        url.setUserName(u"nxsf_"_qs + role);
        QUrlQuery query;
        query.addQueryItem(u"options"_qs, u"-csearch_path%3D"_qs + schema);
        if (role != QLatin1String("admin"))
            query.addQueryItem(u"owner"_qs, u"nxsf_admin"_qs);
        url.setQuery(query);
        return url.toString();
    };
    const QString file = m_dir.filePath(u"one.json"_qs);
    const QString bobs = m_dir.filePath(u"bobs.json"_qs),
                  fields = m_dir.filePath(u"fields.json"_qs);
    for (const auto &[path, bytes] :
         {std::pair{bobs, QByteArrayLiteral(
                              R"([{"FScreenID": "S", "FFilterName": "a", )"
                              R"("FFilter": "		n	不为空			"}])")},
          std::pair{fields, QByteArrayLiteral(R"({"SerialUse": false, "ScreenID": "S", "Fields": )"
                                              R"([{"Caption": "n", "DataType": 200, )"
                                              R"("ColumnName": "t.n"}]})")}}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    const QStringList byName{u"sql"_qs, u"--fields"_qs, fields, u"--scheme-name"_qs, u"a"_qs};
    const QByteArray bobsCondition = " ( ((t.n Is not null and t.n <> '' )) ) \n";
    const struct
    {
        const char *role;
        QStringList args; // after "schemes", unless they begin with "sql"
        int exitCode;
        QByteArray out;
        QByteArray err = {}; // standard error must start with it
    } steps[] = {
        {"admin", {u"init"_qs, u"--users"_qs, u"nxsf_users"_qs}, 0, {}},
        {"alice", {u"import"_qs, u"--shared"_qs, file}, 0, {}},
        {"bob", {u"import"_qs, bobs}, 0, {}},
        // A name leads to the user's own scheme before another's shared one of a lower id.
        {"bob", byName, 0, bobsCondition},
        {"bob",
         {u"list"_qs, u"--screen"_qs, u"S"_qs, u"--json"_qs},
         0,
         R"([{"FFilterName":"a","FID":1,"owner":"nxsf_alice","shared":true},)"
         R"({"FFilterName":"a","FID":2,"owner":"nxsf_bob","shared":false}])"},
        {"alice",
         {u"list"_qs, u"--screen"_qs, u"S"_qs, u"--json"_qs},
         0,
         R"([{"FFilterName":"a","FID":1,"owner":"nxsf_alice","shared":true}])"},
        {"alice", {u"share"_qs, u"--screen"_qs, u"S"_qs, u"--off"_qs, u"a"_qs}, 0, {}},
        {"bob", {u"list"_qs, u"--screen"_qs, u"S"_qs}, 0, "2\ta\n"},
        {"bob", {u"share"_qs, u"--screen"_qs, u"S"_qs, u"b"_qs}, 1, {}},
        {"bob", {u"delete"_qs, u"--id"_qs, u"1"_qs}, 1, {}},
        {"admin", {u"list"_qs, u"--screen"_qs, u"S"_qs}, 0, "1\ta\n2\ta\n"},
        // Without one of their own, a shared one before a private one the administrator sees;
        // of two users' shared ones, neither.
        {"bob", {u"share"_qs, u"--screen"_qs, u"S"_qs, u"a"_qs}, 0, {}},
        {"admin", byName, 0, bobsCondition},
        {"alice", {u"share"_qs, u"--screen"_qs, u"S"_qs, u"a"_qs}, 0, {}},
        {"admin",
         byName,
         1,
         {},
         "有几个用户共享了这个名称的过滤方案，不能确定用哪一个：a（方案所有者：nxsf_alice, "
         "nxsf_bob）\n"},
    };
    for (const auto &step : steps) {
        QProcess process;
        process.start(m_program,
                      (step.args.first() == QLatin1String("sql") ? QStringList()
                                                                 : QStringList{u"schemes"_qs}) +
                          step.args +
                          QStringList{u"--store"_qs, address(QLatin1String(step.role))});
        QVERIFY(process.waitForFinished(30000));
        const QByteArray err = process.readAllStandardError();
        QByteArray out = process.readAllStandardOutput();
        if (step.args.contains(u"--json"_qs))
            out = QJsonDocument::fromJson(out).toJson(QJsonDocument::Compact);
        QVERIFY2(process.exitCode() == step.exitCode,
                 qPrintable(QString::fromUtf8(step.role) + u' ' + step.args.join(u' ') + u": "_qs +
                            QString::fromUtf8(err)));
        QCOMPARE(out, step.out);
        QVERIFY2(err.startsWith(step.err), err.constData());
    }
}

// The site set-up of the README, as a superuser runs it on a database of its own, lets the
// administrator create the store and a user use it.
void tst_CliSchemes::readmeSiteSetUp()
{
    const QString server = qEnvironmentVariable("NXSF_TEST_PG_URL");
    if (server.isEmpty())
        QSKIP("no test server (NXSF_TEST_PG_URL)");
    QFile readme(qEnvironmentVariable("NXSF_SOURCE_DIR") + u"/README.md"_qs);
    QVERIFY(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype from = text.indexOf(u"```sql\n"_qs, text.indexOf(u"Roles a site creates"_qs));
    QVERIFY(from > 0);
    QString sql = text.mid(from + 7, text.indexOf(u"```"_qs, from + 7) - from - 7);
    const QString tag = QUuid::createUuid().toString(QUuid::Id128).left(12);
    const QString admin = u"fa_"_qs + tag, users = u"fu_"_qs + tag, alice = u"al_"_qs + tag,
                  database = u"db_"_qs + tag;
    sql.replace(QRegularExpression(u"--[^\n]*"_qs), QString());
    sql.replace(QRegularExpression(u"\\bfilters_admin\\b"_qs), admin);
    sql.replace(QRegularExpression(u"\\bfilters_users\\b"_qs), users);
    sql.replace(QRegularExpression(u"\\balice\\b"_qs), alice);
    sql.replace(QRegularExpression(u"\\berp\\b"_qs), database);
    const auto runAsSuperuser = [&](const QString &db, const QStringList &statements) {
        QString failed;
        {
            QUrl url(server);
            url.setPath(u'/' + db);
            QSqlDatabase session =
                NxSerialFilter::Testing::otherSession(url.toString(), u"setup"_qs);
            if (!session.open())
                failed = session.lastError().text();
            for (const QString &statement : statements) {
                QSqlQuery q(session);
                if (failed.isEmpty() && !statement.trimmed().isEmpty() && !q.exec(statement))
                    failed = statement + u": "_qs + q.lastError().text();
            }
        }
        QSqlDatabase::removeDatabase(u"setup"_qs);
        return failed;
    };
    const QString home = QUrl(server).path().mid(1);
    QString failed = runAsSuperuser(home, {u"CREATE DATABASE "_qs + database});
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    failed = runAsSuperuser(database, sql.split(u';'));
    const auto address = [&](const QString &role, const QString &query) {
        QUrl url(server);
        url.setUserName(role);
        url.setPath(u'/' + database);
        url.setQuery(query);
        return url.toString();
    };
    const QString file = m_dir.filePath(u"one.json"_qs);
    const struct
    {
        QString role;
        QStringList args;
        QString query;
        QByteArray out;
    } steps[] = {
        {admin, {u"init"_qs, u"--users"_qs, users}, {}, {}},
        {alice, {u"import"_qs, file}, u"owner="_qs + admin, {}},
        {alice, {u"list"_qs, u"--screen"_qs, u"S"_qs}, u"owner="_qs + admin, "1\ta\n"},
    };
    for (const auto &step : steps) {
        if (!failed.isEmpty())
            break;
        QProcess process;
        process.start(m_program, QStringList{u"schemes"_qs} + step.args +
                                     QStringList{u"--store"_qs, address(step.role, step.query)});
        if (!process.waitForFinished(30000) || process.exitCode() != 0 ||
            process.readAllStandardOutput() != step.out)
            failed =
                step.args.join(u' ') + u": "_qs + QString::fromUtf8(process.readAllStandardError());
    }
    const QString dropped = runAsSuperuser(
        home, {u"DROP DATABASE "_qs + database + u" WITH (FORCE)"_qs, u"DROP ROLE "_qs + alice,
               u"DROP ROLE "_qs + users, u"DROP ROLE "_qs + admin});
    QVERIFY2(failed.isEmpty(), qPrintable(failed));
    QVERIFY2(dropped.isEmpty(), qPrintable(dropped));
}

void tst_CliSchemes::readmeCaps_data()
{
    QTest::addColumn<QString>("what"); // the caps table's row
    QTest::addColumn<qint64>("cap");
    QTest::newRow("text") << u"a scheme text (saved"_qs
                          << qint64(NxSerialFilter::Limits::MaxSchemeTextLength);
    QTest::newRow("rows") << u"a scheme text (saved"_qs
                          << qint64(NxSerialFilter::Limits::MaxSchemeRows);
    QTest::newRow("cell") << u"one cell of a scheme text"_qs
                          << qint64(NxSerialFilter::Limits::MaxCellLength);
    QTest::newRow("name") << u"a scheme's name"_qs
                          << qint64(NxSerialFilter::Limits::MaxSchemeNameLength);
}

// The README's caps are the code's.
void tst_CliSchemes::readmeCaps()
{
    QFETCH(QString, what);
    QFETCH(qint64, cap);
    QFile readme(qEnvironmentVariable("NXSF_SOURCE_DIR") + u"/README.md"_qs);
    QVERIFY(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype row = text.indexOf(u"\n| "_qs + what);
    QVERIFY(row > 0);
    const QString line = text.mid(row + 1, text.indexOf(u'\n', row + 1) - row - 1);
    QVERIFY2(line.contains(QLocale(QLocale::English).toString(cap)), qPrintable(line));
}

QTEST_GUILESS_MAIN(tst_CliSchemes)
#include "tst_cli_schemes.moc"
