// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The demo's sample database against the descriptions it hands the component: every field the
// dialog offers must exist in the host's query, and every kind of condition the component
// writes must find records, so that the demo never shows a filter that cannot work.

#include "apps/demoprocess.h"
#include "core/conditions/conditiongrid.h"
#include "core/composer/confirmedcondition.h"
#include "core/conditions/fieldlist.h"
#include "core/fields/hostfields.h"
#include "testsupport/scriptedalerts.h"
#include <NxSerialFilter/descriptionjson.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;

namespace {

QJsonObject readJson(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(in.readAll()).object();
}

/// The SHA-1 of every row of a table in key order.
QByteArray tableDigest(const QSqlDatabase &db, const QString &table, const QString &key)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY ") + key))
        return {};
    while (query.next()) {
        for (int i = 0; i < query.record().count(); ++i)
            hash.addData(query.value(i).toString().toUtf8() + '\x1f');
        hash.addData("\x1e");
    }
    return hash.result().toHex();
}

} // namespace

class tst_DemoDatabase : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void fieldsExistInHostQuery_data();
    void fieldsExistInHostQuery();
    void fieldListOffersEveryKindButHiddenColumns();
    void conditionsFindRecords_data();
    void conditionsFindRecords();
    void itemConditionsFindRecords_data();
    void itemConditionsFindRecords();
    void generationIsRepeatable();
    void outdatedDatabaseIsReplaced_data();
    void outdatedDatabaseIsReplaced();

private:
    qint64 count(const QString &sql, const QVariantList &values = {});
    /// The FROM part of a screen's host query ("serial" or "items").
    QString hostFrom(const QString &screen) const;

    QTemporaryDir m_dir;
    QString m_data;
    QJsonObject m_serialFields;
    QJsonObject m_queries;
};

void tst_DemoDatabase::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_data = m_dir.filePath(QStringLiteral("data"));
    const DemoRun run =
        runDemo({QStringLiteral("--prepare-only"), QStringLiteral("--data"), m_data});
    QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.output));
    QVERIFY2(run.output.contains(QStringLiteral("generated")), qPrintable(run.output));
    m_serialFields = readJson(m_data + QStringLiteral("/serial-fields.json"));
    m_queries = readJson(m_data + QStringLiteral("/host-queries.json"));
    QVERIFY(!m_serialFields.isEmpty() && !m_queries.isEmpty());
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("demo"));
    db.setDatabaseName(m_data + QStringLiteral("/serials.sqlite"));
    QVERIFY(db.open());
}

void tst_DemoDatabase::cleanupTestCase()
{
    QSqlDatabase::database(QStringLiteral("demo")).close();
}

qint64 tst_DemoDatabase::count(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("demo")));
    if (!query.prepare(sql))
        return -1;
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec() || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

QString tst_DemoDatabase::hostFrom(const QString &screen) const
{
    return m_queries.value(screen).toObject().value(QStringLiteral("from")).toString();
}

void tst_DemoDatabase::fieldsExistInHostQuery_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("dataType");
    QTest::addColumn<int>("lookupClass");
    const QJsonObject fields =
        readJson(QDir(m_dir.path()).filePath(QStringLiteral("data/serial-fields.json")));
    for (const QString &group : {QStringLiteral("Header"), QStringLiteral("Entry")}) {
        for (const QJsonValue &value : fields.value(group).toArray()) {
            const QJsonObject f = value.toObject();
            const QString column = f.value(QStringLiteral("FSQLColumnName")).toString();
            QTest::newRow(qPrintable(group + u' ' + column))
                << column << f.value(QStringLiteral("FDataType")).toInt()
                << f.value(QStringLiteral("FLookUpClsID")).toInt();
        }
    }
}

void tst_DemoDatabase::fieldsExistInHostQuery()
{
    QFETCH(QString, column);
    QFETCH(int, dataType);
    QFETCH(int, lookupClass);
    const QString from = hostFrom(QStringLiteral("serial"));
    // The component writes look-up fields as t_<column>.FName and the rest as tf.<column>.
    const bool lookup = dataType == 2 || dataType == 3;
    const QString expression = lookup ? QStringLiteral("t_") + column + QStringLiteral(".FName")
                                      : QStringLiteral("tf.") + column;
    const qint64 filled =
        count(QStringLiteral("SELECT COUNT(") + expression + QStringLiteral(") FROM ") + from);
    QVERIFY2(filled > 0, qPrintable(expression));
    if (lookup) {
        const QString table = dataType == 2 ? QStringLiteral("t_Item WHERE FItemClassID = ?")
                                            : QStringLiteral("t_SubMessage WHERE FTypeID = ?");
        QVERIFY(count(QStringLiteral("SELECT COUNT(*) FROM ") + table, {lookupClass}) > 0);
    }
}

void tst_DemoDatabase::fieldListOffersEveryKindButHiddenColumns()
{
    auto alerts = ScriptedAlerts::install();
    HostFields state;
    state.SerialUse = true;
    state.SerialDesc = DescriptionJson::read(m_serialFields);
    ConditionGrid grid;
    Testing::setFields(state, grid);
    QVERIFY(alerts->shown.isEmpty());
    QStringList kinds;
    for (int k = 1; k < state.FieldIDs.size(); ++k) {
        const KeyedValuesPtr d = FieldList::FindFieldDescriptor(state, grid.catalog(), k);
        QVERIFY(d);
        const QString column = d->get(QStringLiteral("FSQLColumnName")).toString().toUpper();
        QVERIFY2(column != QLatin1String("FSTATUS") && column != QLatin1String("FVALID") &&
                     column != QLatin1String("FSERIALID"),
                 qPrintable(column));
        const int type = FieldList::intValue(d, QStringLiteral("FDataType"));
        kinds << QString::number(type) +
                     (type == -10
                          ? u'/' + QString::number(
                                       FieldList::intValue(d, QStringLiteral("FSysDataType")) != 0)
                          : QString());
    }
    for (const char *kind : {"0", "1", "2", "3", "4", "-10/0", "-10/1"})
        QVERIFY2(kinds.contains(QString::fromLatin1(kind)), kind);
}

void tst_DemoDatabase::conditionsFindRecords_data()
{
    QTest::addColumn<QString>("condition"); // as the component writes it
    QTest::addColumn<QString>("bound");     // the same with bound parameters
    QTest::addColumn<QVariantList>("values");

    QTest::newRow("empty look-up item")
        << QStringLiteral(" ( ((t_FITEMID.FName Is null or t_FITEMID.FName='' or "
                          "t_FITEMID.FName='*')) ) ")
        << QStringLiteral("tf.FITEMID IS NULL") << QVariantList{};
    QTest::newRow("empty sub-message item")
        << QStringLiteral(" ( ((t_FCOLOR.FName Is null or t_FCOLOR.FName='' or "
                          "t_FCOLOR.FName='*')) ) ")
        << QStringLiteral("tf.FCOLOR IS NULL") << QVariantList{};
    QTest::newRow("empty date, null or blank")
        << QStringLiteral(" ( ((tf.FWARRANTY Is null or tf.FWARRANTY='')) ) ")
        << QStringLiteral("COALESCE(tf.FWARRANTY, '') = ?") << QVariantList{QStringLiteral("")};
    QTest::newRow("zero number") << QStringLiteral(" ( ((tf.FQTY Is null or tf.FQTY=0)) ) ")
                                 << QStringLiteral("tf.FQTY = ?") << QVariantList{0};
    QTest::newRow("empty system text")
        << QStringLiteral(" ( ((tf.FBILLNO Is null or tf.FBILLNO='')) ) ")
        << QStringLiteral("tf.FBILLNO = ?") << QVariantList{QStringLiteral("")};
    QTest::newRow("system number")
        << QStringLiteral(" ( (tf.FBILLINTERID >= 130000) ) ")
        << QStringLiteral("tf.FBILLINTERID >= ?") << QVariantList{130000};
    QTest::newRow("text holding a quote")
        << QStringLiteral(" ( (tf.FNOTE Like '%O''Neil%' ) ) ") << QStringLiteral("tf.FNOTE LIKE ?")
        << QVariantList{QStringLiteral("%O'Neil%")};
    QTest::newRow("sub-message by name")
        << QStringLiteral(" ( (t_FGRADE.FName = '返修品' ) ) ")
        << QStringLiteral("t_FGRADE.FName = ?") << QVariantList{QStringLiteral("返修品")};
    QTest::newRow("warehouse or date range")
        << QStringLiteral(
               " ( (( t_FSTOCKID.FName = '维修仓'   Or  tf.FINDATE < '2021-02-01'  )) ) ")
        << QStringLiteral("(t_FSTOCKID.FName = ? OR tf.FINDATE < ?)")
        << QVariantList{QStringLiteral("维修仓"), QStringLiteral("2021-02-01")};
}

void tst_DemoDatabase::conditionsFindRecords()
{
    QFETCH(QString, condition);
    QFETCH(QString, bound);
    QFETCH(QVariantList, values);
    const QString from = hostFrom(QStringLiteral("serial"));
    const qint64 total = count(QStringLiteral("SELECT COUNT(*) FROM ") + from);
    const qint64 written = count(QStringLiteral("SELECT COUNT(*) FROM ") + from +
                                 QStringLiteral(" WHERE ") + condition);
    const qint64 direct = count(
        QStringLiteral("SELECT COUNT(*) FROM ") + from + QStringLiteral(" WHERE ") + bound, values);
    QCOMPARE(written, direct);
    QVERIFY2(written > 0 && written < total, qPrintable(QString::number(written)));
}

void tst_DemoDatabase::itemConditionsFindRecords_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("name pattern") << QStringLiteral(" ( (t1.FName Like '%轴承%') ) ") << qint64(25);
    QTest::newRow("class") << QStringLiteral(" ( (t1.FItemClassID = 5) ) ") << qint64(8);
    QTest::newRow("empty model") << QStringLiteral(" ( ((t1.FModel Is null or t1.FModel='')) ) ")
                                 << qint64(8);
}

void tst_DemoDatabase::itemConditionsFindRecords()
{
    QFETCH(QString, condition);
    QFETCH(qint64, expected);
    const QString from = hostFrom(QStringLiteral("items"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ") + from + QStringLiteral(" WHERE ") +
                   condition),
             expected);
}

void tst_DemoDatabase::generationIsRepeatable()
{
    const QString other = m_dir.filePath(QStringLiteral("again"));
    const DemoRun run =
        runDemo({QStringLiteral("--prepare-only"), QStringLiteral("--data"), other});
    QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.output));
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("again"));
        db.setDatabaseName(other + QStringLiteral("/serials.sqlite"));
        QVERIFY(db.open());
        const QSqlDatabase first = QSqlDatabase::database(QStringLiteral("demo"));
        for (const auto &[table, key] :
             {std::pair{QStringLiteral("t_SerialNumber"), QStringLiteral("FSERIALID")},
              std::pair{QStringLiteral("t_SerialEntry"), QStringLiteral("FENTRYID")},
              std::pair{QStringLiteral("t_Item"), QStringLiteral("FItemID")}}) {
            const QByteArray digest = tableDigest(first, table, key);
            QVERIFY(!digest.isEmpty());
            QCOMPARE(tableDigest(db, table, key), digest);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("again"));
    QVERIFY(count(QStringLiteral("SELECT COUNT(*) FROM t_SerialNumber")) >= 100000);
}

void tst_DemoDatabase::outdatedDatabaseIsReplaced_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("older demo") << QStringLiteral("version") << QStringLiteral("0");
    // Its records would end before this month: "本月" would find none.
    QTest::newRow("made in an earlier month")
        << QStringLiteral("month") << QStringLiteral("2000-01");
}

void tst_DemoDatabase::outdatedDatabaseIsReplaced()
{
    // A database left by an older demo (or cut short) must not be taken as complete.
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QString other = m_dir.filePath(QStringLiteral("again"));
    DemoRun run = runDemo({QStringLiteral("--prepare-only"), QStringLiteral("--data"), other});
    QVERIFY2(run.output.contains(QStringLiteral("reused")), qPrintable(run.output));
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        db.setDatabaseName(other + QStringLiteral("/serials.sqlite"));
        QVERIFY(db.open());
        QSqlQuery query(db);
        query.prepare(QStringLiteral("UPDATE demo_info SET FValue = ? WHERE FKey = ?"));
        query.addBindValue(value);
        query.addBindValue(key);
        QVERIFY(query.exec() && query.numRowsAffected() == 1);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
    run = runDemo({QStringLiteral("--prepare-only"), QStringLiteral("--data"), other});
    QVERIFY2(run.finished && run.exitCode == 0, qPrintable(run.output));
    QVERIFY2(run.output.contains(QStringLiteral("generated")), qPrintable(run.output));
}

QTEST_GUILESS_MAIN(tst_DemoDatabase)
#include "tst_demo_database.moc"
