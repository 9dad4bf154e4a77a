// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The conditions the builder writes, run by a real SQL engine against the host's aliases.

#include "conditions/conditiongrid.h"
#include "conditions/sqlbuilder.h"
#include "conditions/vocabulary.h"
#include "fields/fieldlist.h"
#include "support/leadingnumber.h"
#include "testsupport/descriptions.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;

namespace {

const QString connectionName = QStringLiteral("sqlengine");

// Every look-up field joins its own t_<column> table, as the host's serial queries do.
const QString serialSelect =
    QStringLiteral("SELECT tf.FID FROM serials tf LEFT JOIN t_FITEM ON t_FITEM.FID = tf.FITEM "
                   "LEFT JOIN t_FSUB ON t_FSUB.FID = tf.FSUB WHERE");
const QString commonSelect = QStringLiteral("SELECT t1.FID FROM items t1 WHERE");

QStringList hostileValues()
{
    return {u"O'Brien"_qs,
            u"'"_qs,
            u"''"_qs,
            u"'; DROP TABLE serials; --"_qs,
            u"' OR '1'='1"_qs,
            u"\\"_qs,
            u"C:\\dir\\'x"_qs,
            u"\\'"_qs,
            u"%"_qs,
            u"_"_qs,
            u"%1"_qs,
            u"%1%2"_qs,
            u"?"_qs,
            u":name"_qs,
            u"@p"_qs,
            u"$1"_qs,
            u"1 OR 1=1"_qs,
            u"1--"_qs,
            u"/* x */"_qs,
            u"a\"b"_qs,
            u"[x]"_qs,
            u"NULL"_qs,
            u"*"_qs,
            u"1e400"_qs,
            u"-1e400"_qs,
            u"99999999999999999999999"_qs,
            u"12.50kg"_qs,
            u"0.000000001"_qs,
            u"-0"_qs,
            u"序列号'"_qs,
            QString(10000, u'x'),
            QString(10000, u'\''),
            QString(5000, u'%') + QString(5000, u'\'')};
}

struct Fixture
{
    FilterState state;
    ConditionGrid grid;

    Fixture(bool serial, const QString &screen)
    {
        state.LogicWords = Vocabulary::logicWords();
        state.CompareWords = Vocabulary::compareWords() << u"In"_qs << u"Not In"_qs;
        state.SerialUse = serial;
        state.ScreenID = screen;
        if (serial)
            state.SerialDesc = standardSerialDescription();
        else
            state.CommonField = standardCommonValues(screen);
        FieldList::SetFields(state, grid);
        grid.setColumnItems(ConditionGrid::ColCompare, grid.columnItems(ConditionGrid::ColCompare)
                                                           << u"包括"_qs << u"不包括"_qs);
    }

    /// Cells in grid column order 1 to 7, one list per row.
    QString compose(const QList<QStringList> &rows)
    {
        grid.SetMaxRows(int(rows.size()) + 1);
        for (int r = 1; r <= rows.size(); ++r) {
            for (int c = 1; c <= rows.at(r - 1).size(); ++c)
                grid.SetCellText(r, c, rows.at(r - 1).at(c - 1));
        }
        return SqlBuilder::compose(state, grid);
    }
};

QList<qint64> ids(QSqlQuery &query)
{
    QList<qint64> found;
    while (query.next())
        found.append(query.value(0).toLongLong());
    std::sort(found.begin(), found.end());
    return found;
}

/// Whether a field's values are written as numbers (the captions of both modes' number fields).
bool numeric(const QString &caption)
{
    static const QStringList numbers{u"数量"_qs, u"系统数"_qs, u"比率"_qs};
    return numbers.contains(caption);
}

} // namespace

class tst_SqlEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void everyConditionRuns_data();
    void everyConditionRuns();
    void hostileValuesMatchBoundQuery_data();
    void hostileValuesMatchBoundQuery();
    void brokenCharactersStayInsideTheValue_data();
    void brokenCharactersStayInsideTheValue();

private:
    void exec(const QString &sql, const QVariantList &values = {});
};

void tst_SqlEngine::exec(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(QSqlDatabase::database(connectionName));
    QVERIFY2(query.prepare(sql), qPrintable(query.lastError().text()));
    for (const QVariant &value : values)
        query.addBindValue(value);
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
}

void tst_SqlEngine::initTestCase()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(QStringLiteral(":memory:"));
    QVERIFY2(db.open(), qPrintable(db.lastError().text()));
    exec(u"CREATE TABLE serials (FID INTEGER PRIMARY KEY, FSERIALNUM TEXT, FITEM INTEGER, "
         u"FQTY REAL, FDATE TEXT, FSUB INTEGER, FSYSN REAL, FSYST TEXT)"_qs);
    exec(u"CREATE TABLE t_FITEM (FID INTEGER PRIMARY KEY, FName TEXT)"_qs);
    exec(u"CREATE TABLE t_FSUB (FID INTEGER PRIMARY KEY, FName TEXT)"_qs);
    exec(u"CREATE TABLE items (FID INTEGER PRIMARY KEY, FQty REAL, FName TEXT, FCode TEXT, "
         u"FStock TEXT, FRate REAL)"_qs);

    // One row per hostile value, so that an equal comparison has a row to find, and rows
    // for the empty forms: null, "" and "*".
    QVariantList texts;
    for (const QString &value : hostileValues())
        texts.append(value);
    texts << QVariant() << QString() << u"*"_qs << u"A01"_qs << u"XA01Y"_qs << u"A_1"_qs;
    qint64 id = 0;
    for (const QVariant &text : texts) {
        ++id;
        const QVariant number =
            text.isNull() ? QVariant() : QVariant(Numbers::leadingNumber(text.toString()));
        exec(u"INSERT INTO t_FITEM VALUES (?, ?)"_qs, {id, text});
        exec(u"INSERT INTO t_FSUB VALUES (?, ?)"_qs, {id, text});
        exec(u"INSERT INTO serials VALUES (?, ?, ?, ?, ?, ?, ?, ?)"_qs,
             {id, text, id, number, text, id, number, text});
        exec(u"INSERT INTO items VALUES (?, ?, ?, ?, ?, ?)"_qs,
             {id, number, text, text, text, number});
    }
}

void tst_SqlEngine::cleanupTestCase()
{
    QSqlDatabase::database(connectionName).close();
    QSqlDatabase::removeDatabase(connectionName);
}

void tst_SqlEngine::everyConditionRuns_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QList<QStringList>>("rows");

    const QStringList values{QString(),     u"A01"_qs, u"12.50kg"_qs,
                             u"O'Brien"_qs, u"10%"_qs, u"a,b"_qs};
    const QStringList compares = Vocabulary::compareItems() << u"包括"_qs << u"不包括"_qs;
    const auto addAll = [&](bool serial, const QString &screen, const QStringList &fields) {
        for (const QString &field : fields) {
            for (const QString &compare : compares) {
                for (const QString &value : values) {
                    const QString name = (serial ? u"serial "_qs : screen + u' ') + field + u' ' +
                                         compare + QStringLiteral(" '") + value + u'\'';
                    QTest::newRow(qPrintable(name))
                        << serial << screen
                        << QList<QStringList>{{QString(), QString(), field, compare, value}};
                }
            }
        }
    };
    addAll(true, u"Items"_qs,
           {u"序列号"_qs, u"物料"_qs, u"数量"_qs, u"日期"_qs, u"等级"_qs, u"系统数"_qs,
            u"系统文本"_qs});
    for (const QString &screen : {u"Items"_qs, u"StorageCheck"_qs})
        addAll(false, screen, {u"数量"_qs, u"名称"_qs, u"代码"_qs, u"仓库"_qs, u"比率"_qs});

    QTest::newRow("serial rows joined with parentheses")
        << true << u"Items"_qs
        << QList<QStringList>{
               {QString(), u"(("_qs, u"序列号"_qs, u"等于"_qs, u"B7"_qs},
               {u"或者"_qs, QString(), u"物料"_qs, u"为空"_qs, QString(), QString(), u")"_qs},
               {u"并且"_qs, u"("_qs, u"数量"_qs, u"包含"_qs, u"5"_qs},
               {u"或者"_qs, QString(), u"日期"_qs, u"不为空"_qs, QString(), QString(), u"))"_qs}};
    QTest::newRow("storage check rows joined with parentheses")
        << false << u"StorageCheck"_qs
        << QList<QStringList>{
               {QString(), u"("_qs, u"数量"_qs, u"为空"_qs},
               {u"或者"_qs, QString(), u"名称"_qs, u"不为空"_qs, QString(), QString(), u")"_qs},
               {u"并且"_qs, QString(), u"代码"_qs, u"包含"_qs, u"A_1"_qs}};
}

void tst_SqlEngine::everyConditionRuns()
{
    QFETCH(bool, serial);
    QFETCH(QString, screen);
    QFETCH(QList<QStringList>, rows);

    Fixture f(serial, screen);
    const QString condition = f.compose(rows);
    QVERIFY(!condition.isEmpty());
    QSqlQuery query(QSqlDatabase::database(connectionName));
    const QString sql = (serial ? serialSelect : commonSelect) + condition;
    QVERIFY2(query.prepare(sql), qPrintable(query.lastError().text() + u'\n' + sql));
    QVERIFY2(query.exec(), qPrintable(query.lastError().text() + u'\n' + sql));
}

void tst_SqlEngine::hostileValuesMatchBoundQuery_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("compare");
    QTest::addColumn<QString>("value");

    struct Use
    {
        bool serial;
        QString field;
        QString column;
        QStringList compares;
    };
    const QStringList textCompares{u"等于"_qs,       u"不等于"_qs, u"大于"_qs,
                                   u"小于或等于"_qs, u"包含"_qs,   u"不包含"_qs};
    const QStringList numberCompares{u"等于"_qs, u"大于或等于"_qs, u"小于"_qs, u"不等于"_qs};
    const QList<Use> uses{
        {true, u"序列号"_qs, u"tf.FSERIALNUM"_qs, textCompares},
        {true, u"物料"_qs, u"t_FITEM.FName"_qs, {u"等于"_qs, u"包含"_qs}},
        {true, u"系统文本"_qs, u"tf.FSYST"_qs, {u"小于"_qs}},
        {true, u"数量"_qs, u"tf.FQTY"_qs, numberCompares},
        {true, u"系统数"_qs, u"tf.FSYSN"_qs, {u"等于"_qs}},
        {false, u"名称"_qs, u"t1.FName"_qs, {u"等于"_qs, u"不包含"_qs}},
        {false, u"数量"_qs, u"t1.FQty"_qs, {u"等于"_qs, u"大于"_qs}},
        {false, u"比率"_qs, u"t1.FRate"_qs, {u"等于"_qs}},
    };
    const QStringList values = hostileValues();
    for (int v = 0; v < values.size(); ++v) {
        for (const Use &use : uses) {
            for (const QString &compare : use.compares) {
                const QString name =
                    QStringLiteral("value %1 %2 %3 %4")
                        .arg(QString::number(v), use.serial ? u"serial"_qs : u"common"_qs,
                             use.field, compare);
                QTest::newRow(qPrintable(name))
                    << use.serial << use.field << use.column << compare << values.at(v);
            }
        }
    }
}

void tst_SqlEngine::hostileValuesMatchBoundQuery()
{
    QFETCH(bool, serial);
    QFETCH(QString, field);
    QFETCH(QString, column);
    QFETCH(QString, compare);
    QFETCH(QString, value);

    Fixture f(serial, u"Items"_qs);
    const QString condition = f.compose({{QString(), QString(), field, compare, value}});
    const QString select = serial ? serialSelect : commonSelect;
    QSqlDatabase db = QSqlDatabase::database(connectionName);

    QSqlQuery built(db);
    QVERIFY2(built.prepare(select + condition), qPrintable(built.lastError().text()));
    QVERIFY2(built.exec(), qPrintable(built.lastError().text()));

    const int k = int(Vocabulary::compareItems().indexOf(compare));
    const bool pattern = k == int(CompareOp::Contains) || k == int(CompareOp::NotContains);
    QVariant bound;
    if (numeric(field))
        bound = Numbers::leadingNumber(value);
    else if (pattern && !value.contains(u'%') && !value.contains(u'_'))
        bound = QString(u'%' + value + u'%');
    else
        bound = value;
    QSqlQuery reference(db);
    QVERIFY(reference.prepare(select + u' ' + column + u' ' + f.state.CompareWords.at(k) +
                              QStringLiteral(" ?")));
    reference.addBindValue(bound);
    QVERIFY2(reference.exec(), qPrintable(reference.lastError().text()));

    const QList<qint64> expected = ids(reference);
    QCOMPARE(ids(built), expected);
    if (k == int(CompareOp::Equal))
        QVERIFY2(!expected.isEmpty(), "the row holding the value itself must match");
}

void tst_SqlEngine::brokenCharactersStayInsideTheValue_data()
{
    QTest::addColumn<QString>("value");
    // Texts that a stored scheme can carry but no keyboard types. Each tries to end the
    // quoted value early: a NUL ends the statement text for C-string readers, an unpaired
    // high surrogate makes SQLite's UTF-16 reader swallow the quote after it.
    QTest::newRow("NUL then injection") << u"x"_qs + QChar(0) + u"' OR '1'='1"_qs;
    QTest::newRow("high surrogate before quote") << QChar(0xD800) + u"' OR 1=1 OR '"_qs;
    QTest::newRow("high surrogate at the end") << u"x"_qs + QChar(0xDBFF);
    QTest::newRow("low surrogate alone") << QChar(0xDC00) + u"'--"_qs;
}

void tst_SqlEngine::brokenCharactersStayInsideTheValue()
{
    QFETCH(QString, value);
    for (const bool serial : {true, false}) {
        Fixture f(serial, u"Items"_qs);
        const QString field = serial ? u"序列号"_qs : u"名称"_qs;
        const QString condition = f.compose({{QString(), QString(), field, u"等于"_qs, value}});
        QSqlQuery query(QSqlDatabase::database(connectionName));
        const QString sql = (serial ? serialSelect : commonSelect) + condition;
        QVERIFY2(query.prepare(sql), qPrintable(query.lastError().text()));
        QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
        QVERIFY2(ids(query).isEmpty(), "no stored row holds such a value");
    }
}

QTEST_MAIN(tst_SqlEngine)
#include "tst_sqlengine.moc"
