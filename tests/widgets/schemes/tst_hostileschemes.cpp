// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Scheme texts that someone with access to the store has changed by hand, picked in the real
// dialog: each load ends in one alert or a defined grid, nothing stored changes, the condition
// built from the loaded grid is refused with one alert or runs, and the dialog goes on working.

#include "core/composer/sqlbuilder.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuecells.h"
#include "core/text/texts.h"
#include "core/schemes/schemetext.h"
#include "testsupport/dialogfixture.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/schemes/schemelistview.h"
#include <NxSerialFilter/schemestore.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QToolBar>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;
using namespace Qt::StringLiterals;

namespace {

using G = ConditionGrid;

const QString raw = QStringLiteral("hostile-raw");
const QString engine = QStringLiteral("hostile-engine");

// How the hostile text is put into FFilter.
enum class Stored { Text, BytesAsText, Blob, Null };

/// A row of the common standard fields, cells in column order.
QString line(const QString &field, const QString &compare, const QString &value,
             const QString &logic = {})
{
    return logic + u"\t\t"_s + field + u'\t' + compare + u'\t' + value + u"\t\t"_s;
}

} // namespace

class tst_HostileSchemes : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_files = 0;
    QString m_location;
    QString m_screen;
    std::unique_ptr<frmFilter> m_form;
    std::shared_ptr<ScriptedAlerts> m_alerts;
    ConfirmedCondition m_confirmed;

    ConditionGrid &grid() { return m_form->grid(); }
    SchemeListView *list() { return m_form->lstFilter(); }

    /// Every stored byte of every row, so that any change by loading shows.
    QStringList snapshot()
    {
        QSqlQuery q(QSqlDatabase::database(raw));
        if (!q.exec(u"SELECT fid, fscreenid, ffiltername, typeof(ffilter), hex(ffilter), fsort, "
                    u"fcreated, fchanged FROM nxsf_schemes ORDER BY fid"_s))
            return {q.lastError().text()};
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < 8; ++i)
                cells.append(q.value(i).toString());
            rows.append(cells.join(u'|'));
        }
        return rows;
    }

    void pick(int index)
    {
        const QRect rect = list()->itemRect(index);
        QVERIFY(rect.isValid());
        QTest::mouseClick(qobject_cast<QAbstractScrollArea *>(list()->currentView())->viewport(),
                          Qt::LeftButton, {}, rect.center());
    }

    int indexOf(const QString &name)
    {
        for (int i = 1; i <= list()->count(); ++i) {
            if (list()->text(i) == name)
                return i;
        }
        return 0;
    }

    QAction *action(const QString &key)
    {
        for (QAction *a : m_form->toolbar()->actions()) {
            if (a->objectName() == key)
                return a;
        }
        return nullptr;
    }

    /// Runs a condition against the host's table as the host would.
    static QString prepareError(const QString &condition)
    {
        QSqlQuery q(QSqlDatabase::database(engine));
        const QString sql = u"SELECT t1.FID FROM items t1"_s +
                            (condition.isEmpty() ? QString() : u" WHERE"_s + condition);
        if (!q.prepare(sql) || !q.exec())
            return q.lastError().text() + u'\n' + sql.left(300);
        return {};
    }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void hostileText_data();
    void hostileText();
};

void tst_HostileSchemes::initTestCase()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, engine);
    db.setDatabaseName(u":memory:"_s);
    QVERIFY(db.open());
    QSqlQuery q(db);
    QVERIFY(q.exec(u"CREATE TABLE items (FID INTEGER PRIMARY KEY, FQty REAL, FName TEXT, "
                   u"FCode TEXT, FStock TEXT, FRate REAL)"_s));
}

void tst_HostileSchemes::cleanupTestCase()
{
    QSqlDatabase::database(engine).close();
    QSqlDatabase::removeDatabase(engine);
}

void tst_HostileSchemes::cleanup()
{
    m_form.reset();
    nxAlert::setPresenter(nullptr);
    SchemeStore::closeConnections();
    QSqlDatabase::database(raw).close();
    QSqlDatabase::removeDatabase(raw);
}

void tst_HostileSchemes::hostileText_data()
{
    QTest::addColumn<int>("how");
    QTest::addColumn<QVariant>("stored");
    // The grid after loading: its row count and "row,column=text" cells; -1 rows for the
    // load-failure alert (the grid then stays empty with its rows).
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<bool>("sqlRuns"); // else the builder refuses with one alert

    const QString name = u"名称"_s, equal = u"等于"_s;
    const auto text = [](const QString &t) { return QVariant(t); };
    const int t = int(Stored::Text);

    // Only CR LF ends a line; a lone CR or LF is no line break and shows as a space.
    QTest::newRow("lone CR") << t << text(line(name, equal, u"a\rb"_s)) << 1
                             << QStringList{u"1,5=a b"_s} << true;
    QTest::newRow("lone LF: lines run together into one row, the builder refuses")
        << t << text(line(name, equal, u"a"_s) + u'\n' + line(u"代码"_s, equal, u"b"_s, u"并且"_s))
        << 1 << QStringList{u"1,5=a"_s, u"1,7= 并且"_s} << false;
    QTest::newRow("CR CR LF") << t << text(u"\t\t名称\t等于\ta\r\r\n并且\t\t代码\t等于\tb"_s) << 2
                              << QStringList{u"1,5=a "_s, u"2,3=代码"_s, u"2,5=b"_s} << true;
    QTest::newRow("missing cells")
        << t << text(u"\t\t名称"_s) << 1 << QStringList{u"1,3=名称"_s, u"1,4="_s} << false;
    QTest::newRow("extra cells are dropped")
        << t << text(line(name, equal, u"x"_s) + u"\t; DROP TABLE items\t)"_s) << 1
        << QStringList{u"1,5=x"_s, u"1,7="_s} << true;
    QTest::newRow("SQL in a parenthesis cell") << t << text(u"\t(1=1) OR (\t名称\t等于\tx\t\t"_s)
                                               << 1 << QStringList{u"1,2=(1=1) OR ("_s} << false;
    // The byte-order mark lands in row 1's logic cell, which no condition reads.
    QTest::newRow("leading byte-order mark")
        << int(Stored::BytesAsText) << QVariant("\xef\xbb\xbf" + line(name, equal, u"x"_s).toUtf8())
        << 1 << QStringList{u"1,1=\uFEFF"_s, u"1,3=名称"_s, u"1,5=x"_s} << true;
    // Bytes that are no UTF-8 read as U+FFFD (a text column is converted by SQLite itself);
    // no cell holds broken UTF-16.
    const QByteArray badUtf8 =
        line(name, equal, u"v"_s)
            .toUtf8()
            .replace("\tv\t", "\t\xff\xfe\xc3(\xed\xa0\x80\xf4\x90\x80\x80v\t");
    QTest::newRow("invalid UTF-8 in a text column")
        << int(Stored::BytesAsText) << QVariant(badUtf8) << 1 << QStringList{u"1,3=名称"_s} << true;
    QTest::newRow("invalid UTF-8 as a BLOB")
        << int(Stored::Blob) << QVariant(badUtf8) << 1
        << QStringList{u"1,3=名称"_s,
                       u"1,5=\uFFFD\uFFFD\uFFFD(\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDv"_s}
        << true;
    // A NUL would end the host's SQL text inside the quoted value.
    QTest::newRow("NUL characters")
        << t << text(line(name, equal, u"a\0b"_s) + u"\r\n"_s + QString(3, QChar(0))) << 2
        << QStringList{u"1,3=名称"_s} << true;
    // A NULL text (a table made by another tool) cannot be loaded.
    QTest::newRow("NULL") << int(Stored::Null) << QVariant() << -1 << QStringList{} << true;
    QTest::newRow("unknown field") << t << text(line(u"不存在"_s, equal, u"x"_s)) << 1
                                   << QStringList{u"1,3=不存在"_s} << false;
    QTest::newRow("unknown compare word")
        << t << text(line(name, u"约等于"_s, u"x"_s)) << 1 << QStringList{u"1,4=约等于"_s} << false;

    const QString big = QString(1 << 20, u'x').replace(1000, 1, u'\'');
    QTest::newRow("1 MB cell") << t << text(line(name, u"包含"_s, big)) << 1
                               << QStringList{u"1,5="_s + big} << true;
    // Every row is a condition, none with a logic word: the builder stops at row 2.
    QStringList many(100000, line(name, equal, u"v"_s));
    QTest::newRow("100,000 lines") << t << text(many.join(u"\r\n"_s)) << 100000
                                   << QStringList{u"100000,3=名称"_s, u"100000,5=v"_s} << false;
}

void tst_HostileSchemes::hostileText()
{
    QFETCH(int, how);
    QFETCH(QVariant, stored);
    QFETCH(int, rows);
    QFETCH(QStringList, cells);
    QFETCH(bool, sqlRuns);

    m_location = m_dir.filePath(u"h%1.sqlite"_s.arg(++m_files));
    useStore(m_location);
    m_screen = uniqueScreen();
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, raw);
    db.setDatabaseName(m_location);
    QVERIFY(db.open());
    QSqlQuery q(db);
    if (Stored(how) == Stored::Null) {
        // A table made by an older or foreign tool, without the NOT NULL on the text.
        QVERIFY(q.exec(u"CREATE TABLE nxsf_schemes (fid INTEGER PRIMARY KEY AUTOINCREMENT, "
                       u"fscreenid TEXT NOT NULL, ffiltername TEXT NOT NULL, ffilter TEXT, "
                       u"fsort TEXT NOT NULL, fcreated TEXT NOT NULL, fchanged TEXT NOT NULL, "
                       u"UNIQUE (fscreenid, ffiltername))"_s));
    }
    const QString goodText = line(u"代码"_s, u"等于"_s, u"g1"_s);
    SchemeStore(m_location).save({0, m_screen, u"good"_s, goodText, {}});
    QVERIFY(q.prepare(u"INSERT INTO nxsf_schemes (fscreenid, ffiltername, ffilter, fsort, "
                      u"fcreated, fchanged) VALUES (?, 'hostile', "_s +
                      (Stored(how) == Stored::BytesAsText ? u"CAST(? AS TEXT)"_s : u"?"_s) +
                      u", '', 'c', 'c')"_s));
    q.addBindValue(m_screen);
    q.addBindValue(stored);
    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    const QStringList before = snapshot();
    QCOMPARE(before.size(), 2);

    m_alerts = ScriptedAlerts::install();
    m_form = openCommonDialog(m_screen);
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const int designRows = grid().MaxRows();

    pick(indexOf(u"hostile"_s));
    if (rows < 0) {
        QCOMPARE(m_alerts->shown.size(), 1);
        QCOMPARE(m_alerts->shown.first().message, Texts::schemeLoadFailed());
        QCOMPARE(grid().MaxRows(), designRows);
        QCOMPARE(SchemeText::gridText(grid()),
                 QStringList(designRows, QString(G::ColumnCount - 1, u'\t')).join(u"\r\n"_s));
    } else {
        QCOMPARE(m_alerts->shown.size(), 0);
        QCOMPARE(grid().MaxRows(), rows);
        for (const QString &cell : cells) {
            const QString at = cell.section(u'=', 0, 0);
            QCOMPARE(
                grid().GetCellText(at.section(u',', 0, 0).toInt(), at.section(u',', 1).toInt()),
                cell.section(u'=', 1));
        }
    }
    for (int col = 1; col <= G::ColumnCount; ++col)
        QVERIFY(grid().GetCellText(1, col).isValidUtf16());
    QVERIFY(grid().isLocked(1, G::ColLogic));
    QVERIFY(!m_form->valueCells().loadingScheme());
    QCOMPARE(snapshot(), before);

    m_alerts->shown.clear();
    const bool built = Testing::createSql(m_confirmed, grid());
    QCOMPARE(built, sqlRuns);
    QCOMPARE(m_alerts->shown.size(), sqlRuns ? 0 : 1);
    if (built) {
        const QString sql = m_confirmed.sql();
        QVERIFY2(!sql.contains(QChar(0)), sql.toUtf8().toPercentEncoding().constData());
        QVERIFY(sql.isValidUtf16());
        const QString error = prepareError(sql);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    // Still usable: the good scheme loads and saves, the new-scheme item and OK give a
    // condition, and the hostile row is as it was.
    m_alerts->shown.clear();
    pick(indexOf(u"good"_s));
    QCOMPARE(grid().MaxRows(), 1);
    // Saved again, each row keeps its field's identifier too.
    const QString withId = u"field=t1.FCode\t"_s;
    QCOMPARE(SchemeText::gridText(grid()), goodText.chopped(1) + withId);
    grid().SetCellText(1, G::ColValue, u"g2"_s);
    action(u"Save"_s)->trigger();
    QCOMPARE(snapshot().at(1), before.at(1));
    QCOMPARE(SchemeStore(m_location).text(m_form->currentSchemeId()).value_or(QString()),
             line(u"代码"_s, u"等于"_s, u"g2"_s).chopped(1) + withId);
    pick(1);
    grid().SetCellText(1, G::ColField, u"名称"_s);
    grid().SetCellText(1, G::ColCompare, u"等于"_s);
    grid().SetCellText(1, G::ColValue, u"O'Neil"_s);
    QTest::mouseClick(m_form->CmdOK(), Qt::LeftButton);
    QVERIFY(!m_form->isVisible());
    QVERIFY(!m_form->Cancel());
    QCOMPARE(m_form->FilterSQL(), u" ( (t1.FName = 'O''Neil') ) "_s);
    QCOMPARE(m_alerts->shown.size(), 0);
}

QTEST_MAIN(tst_HostileSchemes)
#include "tst_hostileschemes.moc"
