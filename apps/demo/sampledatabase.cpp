// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "sampledatabase.h"

#include "demoschema.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <algorithm>

namespace NxSerialFilter::Demo {

namespace {

// Bump when the schema or the generated content changes, so old files are replaced.
const QString schemaVersion = QStringLiteral("4");
constexpr quint64 seed = 20240305;
// A database made in an earlier month has no records of this one: it is made again.
const QString monthFormat = QStringLiteral("yyyy-MM");

QString generatedMonth(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT FValue FROM demo_info WHERE FKey = 'month'")) ||
        !query.next())
        return {};
    return query.value(0).toString();
}

/// SplitMix64: the same sequence on every platform and standard library.
class Random
{
public:
    explicit Random(quint64 state)
        : m_state(state)
    {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }
    /// True with the given chance in percent.
    bool percent(int p) { return below(100) < p; }

private:
    quint64 m_state;
};

/// A connection that is removed again when it goes out of scope.
class ScopedConnection
{
public:
    ScopedConnection(const QString &file, const QString &name)
        : m_name(name)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        m_open = db.open();
    }
    ~ScopedConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    bool isOpen() const { return m_open; }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
    bool m_open = false;
};

struct Category
{
    QString group;
    QString name;
    QString prefix;
};

QList<Category> categories()
{
    return {{QStringLiteral("五金件"), QStringLiteral("螺丝"), QStringLiteral("SC")},
            {QStringLiteral("五金件"), QStringLiteral("螺母"), QStringLiteral("NT")},
            {QStringLiteral("五金件"), QStringLiteral("垫片"), QStringLiteral("WS")},
            {QStringLiteral("机械件"), QStringLiteral("轴承"), QStringLiteral("BR")},
            {QStringLiteral("机械件"), QStringLiteral("齿轮"), QStringLiteral("GR")},
            {QStringLiteral("机械件"), QStringLiteral("联轴器"), QStringLiteral("CP")},
            {QStringLiteral("电气件"), QStringLiteral("电机"), QStringLiteral("MT")},
            {QStringLiteral("电气件"), QStringLiteral("继电器"), QStringLiteral("RL")},
            {QStringLiteral("电气件"), QStringLiteral("传感器"), QStringLiteral("SN")},
            {QStringLiteral("电气件"), QStringLiteral("电源适配器"), QStringLiteral("PS")},
            {QStringLiteral("电子件"), QStringLiteral("主板"), QStringLiteral("MB")},
            {QStringLiteral("电子件"), QStringLiteral("显示屏"), QStringLiteral("LCD")}};
}

constexpr int modelsPerCategory = 25;

const QStringList &warehouses()
{
    static const QStringList names{QStringLiteral("原料仓"),   QStringLiteral("半成品仓"),
                                   QStringLiteral("成品仓"),   QStringLiteral("维修仓"),
                                   QStringLiteral("退货仓"),   QStringLiteral("华东分仓"),
                                   QStringLiteral("华南分仓"), QStringLiteral("华北分仓")};
    return names;
}

const QStringList &colours()
{
    static const QStringList names{QStringLiteral("黑色"), QStringLiteral("白色"),
                                   QStringLiteral("银色"), QStringLiteral("灰色"),
                                   QStringLiteral("红色"), QStringLiteral("蓝色"),
                                   QStringLiteral("金色"), QStringLiteral("绿色")};
    return names;
}

const QStringList &grades()
{
    static const QStringList names{QStringLiteral("一等品"), QStringLiteral("二等品"),
                                   QStringLiteral("合格品"), QStringLiteral("返修品")};
    return names;
}

const QStringList &notes()
{
    // One note holds a single quote, so conditions on it show the quoting rule at work.
    static const QStringList texts{QStringLiteral("加急发货"),      QStringLiteral("客户自提"),
                                   QStringLiteral("已开发票"),      QStringLiteral("质检复核"),
                                   QStringLiteral("O'Neil 订单"),   QStringLiteral("展会样机"),
                                   QStringLiteral("返厂维修后入库")};
    return texts;
}

QVariant nullable(bool isNull, const QVariant &value)
{
    return isNull ? QVariant(value.metaType()) : value;
}

bool run(QSqlQuery &query, const QString &sql, QString &error)
{
    if (query.exec(sql))
        return true;
    error = sql + QStringLiteral(": ") + query.lastError().text();
    return false;
}

bool runAll(QSqlDatabase db, const QStringList &statements, QString &error)
{
    QSqlQuery query(db);
    for (const QString &sql : statements) {
        if (!run(query, sql, error))
            return false;
    }
    return true;
}

QString createTables()
{
    QStringList header;
    QStringList entry;
    QStringList viewColumns;
    for (const SerialField &f : serialFields()) {
        if (f.column == QLatin1String("FSERIALID"))
            continue; // the key columns are written out below
        (f.entry ? entry : header) << f.column + QLatin1Char(' ') + f.sqlType;
        viewColumns << (f.entry ? QStringLiteral("e.") : QStringLiteral("h.")) + f.column;
    }
    return QStringLiteral("CREATE TABLE t_SerialNumber (FSERIALID INTEGER PRIMARY KEY, ") +
           header.join(QStringLiteral(", ")) + QStringLiteral(");\n") +
           QStringLiteral("CREATE TABLE t_SerialEntry (FENTRYID INTEGER PRIMARY KEY, "
                          "FSERIALID INTEGER NOT NULL REFERENCES t_SerialNumber(FSERIALID), ") +
           entry.join(QStringLiteral(", ")) + QStringLiteral(");\n") +
           QStringLiteral("CREATE VIEW v_SerialRecord AS SELECT h.FSERIALID, ") +
           viewColumns.join(QStringLiteral(", ")) +
           QStringLiteral(" FROM t_SerialNumber h JOIN t_SerialEntry e ON e.FSERIALID = "
                          "h.FSERIALID");
}

struct Lookups
{
    QList<int> materials;
    QList<int> warehouses;
    QList<int> colours;
    QList<int> grades;
};

/// The look-up items: materials and warehouses, colours and grades, numbered from 1 in turn.
bool insertLookups(QSqlDatabase db, Random &random, Lookups &ids, QString &error)
{
    QSqlQuery insert(db);
    // Look-up items: materials, then warehouses.
    if (!insert.prepare(QStringLiteral("INSERT INTO t_Item VALUES (?, ?, ?, ?, ?, ?, ?, ?)"))) {
        error = insert.lastError().text();
        return false;
    }
    int itemId = 0;
    const QList<Category> cats = categories();
    for (int c = 0; c < cats.size(); ++c) {
        for (int m = 0; m < modelsPerCategory; ++m) {
            const QString model = cats[c].prefix + QString::number(100 + 13 * m);
            const QString name = cats[c].name + QLatin1Char(' ') + model;
            insert.addBindValue(++itemId);
            insert.addBindValue(materialClass);
            insert.addBindValue(QStringLiteral("01.%1.%2")
                                    .arg(c + 1, 2, 10, QLatin1Char('0'))
                                    .arg(m + 1, 4, 10, QLatin1Char('0')));
            insert.addBindValue(name);
            insert.addBindValue(cats[c].group + QLatin1Char('_') + name);
            insert.addBindValue(model);
            insert.addBindValue(double(50 + random.below(250000)) / 100.0);
            insert.addBindValue(random.below(500));
            if (!insert.exec()) {
                error = insert.lastError().text();
                return false;
            }
            ids.materials << itemId;
        }
    }
    for (int w = 0; w < warehouses().size(); ++w) {
        insert.addBindValue(++itemId);
        insert.addBindValue(warehouseClass);
        insert.addBindValue(QStringLiteral("05.%1").arg(w + 1, 3, 10, QLatin1Char('0')));
        insert.addBindValue(warehouses().at(w));
        insert.addBindValue(QStringLiteral("仓库_") + warehouses().at(w));
        insert.addBindValue(QString());
        insert.addBindValue(0.0);
        insert.addBindValue(0);
        if (!insert.exec()) {
            error = insert.lastError().text();
            return false;
        }
        ids.warehouses << itemId;
    }

    // Sub-message items: colours and grades.
    if (!insert.prepare(QStringLiteral("INSERT INTO t_SubMessage VALUES (?, ?, ?, ?)"))) {
        error = insert.lastError().text();
        return false;
    }
    int subId = 0;
    const auto addSub = [&](int type, const QString &prefix, const QStringList &names,
                            QList<int> &into) {
        for (int i = 0; i < names.size(); ++i) {
            insert.addBindValue(++subId);
            insert.addBindValue(type);
            insert.addBindValue(prefix + QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0')));
            insert.addBindValue(names.at(i));
            if (!insert.exec())
                return false;
            into << subId;
        }
        return true;
    };
    if (!addSub(colourType, QStringLiteral("C"), colours(), ids.colours) ||
        !addSub(gradeType, QStringLiteral("G"), grades(), ids.grades)) {
        error = insert.lastError().text();
        return false;
    }
    return true;
}

QStringList schemaStatements()
{
    return createTables().split(QStringLiteral(";\n"))
           << QStringLiteral("CREATE TABLE t_Item (FItemID INTEGER PRIMARY KEY, FItemClassID "
                             "INTEGER NOT NULL, FNumber TEXT NOT NULL, FName TEXT NOT NULL, "
                             "FFullName TEXT, FModel TEXT, FPrice REAL, FSafeQty INTEGER)")
           << QStringLiteral("CREATE TABLE t_SubMessage (FInterID INTEGER PRIMARY KEY, FTypeID "
                             "INTEGER NOT NULL, FID TEXT NOT NULL, FName TEXT NOT NULL)")
           << QStringLiteral("CREATE TABLE demo_info (FKey TEXT PRIMARY KEY, FValue TEXT)");
}

} // namespace

SampleDatabase::SampleDatabase(QString folder)
    : m_folder(std::move(folder))
{}

QString SampleDatabase::path() const
{
    return QDir(m_folder).filePath(QStringLiteral("serials.sqlite"));
}

QSqlDatabase SampleDatabase::open(const QString &connectionName) const
{
    QSqlDatabase db = QSqlDatabase::contains(connectionName)
                          ? QSqlDatabase::database(connectionName, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path());
    db.open();
    return db;
}

bool SampleDatabase::ensure(int recordCount, const Progress &progress)
{
    m_generated = false;
    m_error.clear();
    if (!QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("cannot create ") + m_folder;
        return false;
    }
    if (!isComplete(recordCount)) {
        QElapsedTimer timer;
        timer.start();
        // Generated beside the real file and renamed at the end, so an interrupted run never
        // leaves a half-filled database that a later start would take for complete.
        const QString part = path() + QStringLiteral(".part");
        QFile::remove(part);
        if (!generate(part, recordCount, progress)) {
            QFile::remove(part);
            return false;
        }
        QFile::remove(path());
        if (!QFile::rename(part, path())) {
            m_error = QStringLiteral("cannot rename ") + part;
            return false;
        }
        m_generated = true;
        m_generationMs = timer.elapsed();
    }
    return writeJson();
}

bool SampleDatabase::isComplete(int recordCount) const
{
    if (!QFile::exists(path()))
        return false;
    ScopedConnection connection(path(), QStringLiteral("serialfilter-demo-check"));
    if (!connection.isOpen())
        return false;
    QSqlQuery query(connection.db());
    if (!query.exec(QStringLiteral("SELECT FValue FROM demo_info WHERE FKey = 'version' "
                                   "UNION ALL SELECT FValue FROM demo_info WHERE FKey = "
                                   "'records'")))
        return false;
    QStringList values;
    while (query.next())
        values << query.value(0).toString();
    return values == QStringList{schemaVersion, QString::number(recordCount)} &&
           generatedMonth(connection.db()) == QDate::currentDate().toString(monthFormat);
}

bool SampleDatabase::generate(const QString &file, int recordCount, const Progress &progress)
{
    ScopedConnection connection(file, QStringLiteral("serialfilter-demo-generate"));
    if (!connection.isOpen()) {
        m_error = QStringLiteral("cannot open ") + file;
        return false;
    }
    QSqlDatabase db = connection.db();
    // The file is thrown away on failure, so nothing needs a journal while it is written.
    if (!runAll(db,
                {QStringLiteral("PRAGMA journal_mode = OFF"),
                 QStringLiteral("PRAGMA synchronous = OFF")},
                m_error))
        return false;
    if (!runAll(db, schemaStatements(), m_error))
        return false;
    if (!db.transaction()) {
        m_error = db.lastError().text();
        return false;
    }

    Random random(seed);
    Lookups ids;
    if (!insertLookups(db, random, ids, m_error))
        return false;
    QList<int> &materialIds = ids.materials;
    QList<int> &warehouseIds = ids.warehouses;
    QList<int> &colourIds = ids.colours;
    QList<int> &gradeIds = ids.grades;
    QSqlQuery insert(db);

    // The records: one header and one entry row per serial number.
    QSqlQuery entry(db);
    if (!insert.prepare(QStringLiteral("INSERT INTO t_SerialNumber (FSERIALID, FSERIALNUM, "
                                       "FITEMID, FSTOCKID, FGRADE, FINDATE, FBILLNO, "
                                       "FBILLINTERID, FCREATEDATE, FSTATUS, FVALID) VALUES (?, ?, "
                                       "?, ?, ?, ?, ?, ?, ?, ?, ?)")) ||
        !entry.prepare(QStringLiteral("INSERT INTO t_SerialEntry (FSERIALID, FQTY, FCOLOR, "
                                      "FWARRANTY, FNOTE, FBATCHNO) VALUES (?, ?, ?, ?, ?, ?)"))) {
        m_error = insert.lastError().text() + entry.lastError().text();
        return false;
    }
    // The records reach the day of generation, so that "本月" and "过去7天" find some.
    const QDate firstDay = QDate::currentDate().addDays(1 - 4 * 365);
    // A hundred reports in all: often enough for a moving count, rare enough to cost nothing.
    const int reportEvery = std::max(1, recordCount / 100);
    if (progress)
        progress(0, recordCount);
    for (int i = 1; i <= recordCount; ++i) {
        const QDate inDate = firstDay.addDays(random.below(4 * 365));
        const int bill = 1 + random.below(40000);
        insert.addBindValue(i);
        insert.addBindValue(
            QStringLiteral("SN%1%2").arg(inDate.year()).arg(i, 7, 10, QLatin1Char('0')));
        insert.addBindValue(
            nullable(random.percent(2), materialIds.at(random.below(int(materialIds.size())))));
        insert.addBindValue(warehouseIds.at(random.below(int(warehouseIds.size()))));
        insert.addBindValue(
            nullable(random.percent(5), gradeIds.at(random.below(int(gradeIds.size())))));
        insert.addBindValue(inDate.toString(Qt::ISODate));
        insert.addBindValue(random.percent(3)
                                ? QStringLiteral("")
                                : QStringLiteral("WIN%1").arg(bill, 6, 10, QLatin1Char('0')));
        insert.addBindValue(100000 + bill);
        insert.addBindValue(inDate.addDays(-random.below(15)).toString(Qt::ISODate));
        const int status = random.below(100);
        insert.addBindValue(status < 70 ? 0 : status < 95 ? 1 : 2);
        insert.addBindValue(random.percent(2) ? 0 : 1);

        entry.addBindValue(i);
        entry.addBindValue(random.percent(5) ? 0.0 : double(1 + random.below(100)));
        entry.addBindValue(
            nullable(random.percent(8), colourIds.at(random.below(int(colourIds.size())))));
        const int warranty = random.below(100);
        entry.addBindValue(
            warranty < 5    ? QVariant(QMetaType::fromType<QString>())
            : warranty < 15 ? QVariant(QStringLiteral(""))
                            : QVariant(inDate.addYears(1 + random.below(3)).toString(Qt::ISODate)));
        const int note = random.below(100);
        entry.addBindValue(note < 5    ? QVariant(QMetaType::fromType<QString>())
                           : note < 65 ? QVariant(QStringLiteral(""))
                                       : QVariant(notes().at(random.below(int(notes().size())))));
        entry.addBindValue(QStringLiteral("B%1%2")
                               .arg(inDate.toString(QStringLiteral("yyMM")))
                               .arg(1 + random.below(40), 3, 10, QLatin1Char('0')));
        if (!insert.exec() || !entry.exec()) {
            m_error = insert.lastError().text() + entry.lastError().text();
            return false;
        }
        if (progress && (i % reportEvery == 0 || i == recordCount))
            progress(i, recordCount);
    }
    insert.finish();
    entry.finish();

    if (!runAll(db,
                {QStringLiteral("INSERT INTO demo_info VALUES ('version', '") + schemaVersion +
                     QStringLiteral("')"),
                 QStringLiteral("INSERT INTO demo_info VALUES ('records', '") +
                     QString::number(recordCount) + QStringLiteral("')"),
                 QStringLiteral("INSERT INTO demo_info VALUES ('seed', '") + QString::number(seed) +
                     QStringLiteral("')"),
                 QStringLiteral("INSERT INTO demo_info VALUES ('month', '") +
                     QDate::currentDate().toString(monthFormat) + QStringLiteral("')")},
                m_error))
        return false;
    if (!db.commit()) {
        m_error = db.lastError().text();
        return false;
    }
    // Indexes after the rows: building them once is quicker than keeping them up to date.
    return runAll(db, SiteDatabase::indexes(false), m_error);
}

bool SampleDatabase::writeJson()
{
    const QDir dir(m_folder);
    const struct
    {
        QString name;
        QJsonObject object;
    } files[] = {
        {QStringLiteral("serial-fields.json"), serialDescriptionJson()},
        {QStringLiteral("item-fields.json"), itemDescriptionJson()},
        {QStringLiteral("host-queries.json"),
         QJsonObject{{QStringLiteral("serial"), serialQuery().toJson()},
                     {QStringLiteral("items"), itemQuery().toJson()}}},
    };
    for (const auto &f : files) {
        QSaveFile out(dir.filePath(f.name));
        if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(f.object).toJson()) < 0 ||
            !out.commit()) {
            m_error = QStringLiteral("cannot write ") + out.fileName();
            return false;
        }
    }
    return true;
}

} // namespace NxSerialFilter::Demo

namespace NxSerialFilter::Demo {

namespace {

const QString siteVersion = QStringLiteral("site-2");

/// The SQL of one engine for the expressions the records are made of.
struct Dialect
{
    bool postgres;

    /// A number from 0 spread over the records by a hash of the record's number i.
    QString hash(int k) const
    {
        static const qint64 multipliers[] = {
            2654435761, 2246822519, 3266489917, 668265263, 374761393, 1103515245, 1664525,
            22695477,   134775813,  214013,     69069,     16807,     48271,      279470273};
        return QStringLiteral("((i * %1 + %2) % 2147483647)")
            .arg(multipliers[k % 14])
            .arg(k * 7919 + 1);
    }
    QString day(const QString &first, const QString &days, const QString &years = {}) const
    {
        if (postgres)
            return QStringLiteral("to_char(DATE '") + first + QStringLiteral("' + CAST(") + days +
                   QStringLiteral(" AS INTEGER)") +
                   (years.isEmpty() ? QString()
                                    : QStringLiteral(" + make_interval(years => ") + years +
                                          QStringLiteral(")")) +
                   QStringLiteral(", 'YYYY-MM-DD')");
        // SQLite's || binds more tightly than its arithmetic.
        return QStringLiteral("date('") + first + QStringLiteral("', '+' || (") + days +
               QStringLiteral(") || ' days'") +
               (years.isEmpty()
                    ? QString()
                    : QStringLiteral(", '+' || (") + years + QStringLiteral(") || ' years'")) +
               QStringLiteral(")");
    }
    QString padded(const QString &number, int width) const
    {
        if (postgres)
            return QStringLiteral("lpad((") + number +
                   QStringLiteral(")::text, %1, '0')").arg(width);
        return QStringLiteral("substr('") + QString(width, u'0') + QStringLiteral("' || (") +
               number + QStringLiteral("), -%1, %1)").arg(width);
    }
    /// The records first to last as a table of i.
    QString series(qint64 first, qint64 last) const
    {
        if (postgres)
            return QStringLiteral("generate_series(CAST(%1 AS BIGINT), %2) AS s(i)")
                .arg(first)
                .arg(last);
        return QStringLiteral("(WITH RECURSIVE s(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM s "
                              "WHERE i < %2) SELECT i FROM s) s")
            .arg(first)
            .arg(last);
    }
};

QString quoted(const QString &text)
{
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

/// The statements that add records first to last, header and entry rows, spread as the
/// sample's are.
QStringList recordStatements(const Dialect &sql, qint64 first, qint64 last, const QString &firstDay)
{
    const auto h = [&sql](int k) { return sql.hash(k); };
    // The day of arrival, from 0 over four years.
    const QString d = h(0) + QStringLiteral(" % 1460");
    const QString inDate = sql.day(firstDay, d);
    QString note = QStringLiteral("CASE ") + h(12) + QStringLiteral(" / 100 % 7");
    for (int n = 0; n < notes().size(); ++n)
        note += QStringLiteral(" WHEN %1 THEN ").arg(n) + quoted(notes().at(n));
    note += QStringLiteral(" END");
    const QString header =
        QStringLiteral("INSERT INTO t_SerialNumber (FSERIALID, FSERIALNUM, FITEMID, FSTOCKID, "
                       "FGRADE, FINDATE, FBILLNO, FBILLINTERID, FCREATEDATE, FSTATUS, FVALID) "
                       "SELECT i, 'SN' || substr(") +
        inDate + QStringLiteral(", 1, 4) || ") + sql.padded(QStringLiteral("i"), 8) +
        QStringLiteral(", CASE WHEN ") + h(2) + QStringLiteral(" % 100 < 2 THEN NULL ELSE 1 + ") +
        h(2) + QStringLiteral(" / 100 % ") +
        QString::number(categories().size() * modelsPerCategory) + QStringLiteral(" END, ") +
        QString::number(categories().size() * modelsPerCategory + 1) + QStringLiteral(" + ") +
        h(3) + QStringLiteral(" % ") + QString::number(warehouses().size()) +
        QStringLiteral(", CASE WHEN ") + h(4) + QStringLiteral(" % 100 < 5 THEN NULL ELSE ") +
        QString::number(colours().size() + 1) + QStringLiteral(" + ") + h(4) +
        QStringLiteral(" / 100 % ") + QString::number(grades().size()) + QStringLiteral(" END, ") +
        inDate + QStringLiteral(", CASE WHEN ") + h(5) +
        QStringLiteral(" % 100 < 3 THEN '' ELSE 'WIN' || ") +
        sql.padded(QStringLiteral("1 + ") + h(5) + QStringLiteral(" / 100 % 40000"), 6) +
        QStringLiteral(" END, 100001 + ") + h(5) + QStringLiteral(" / 100 % 40000, ") +
        sql.day(firstDay, d + QStringLiteral(" - ") + h(6) + QStringLiteral(" % 15")) +
        QStringLiteral(", CASE WHEN ") + h(7) + QStringLiteral(" % 100 < 70 THEN 0 WHEN ") + h(7) +
        QStringLiteral(" % 100 < 95 THEN 1 ELSE 2 END, CASE WHEN ") + h(8) +
        QStringLiteral(" % 100 < 2 THEN 0 ELSE 1 END FROM ") + sql.series(first, last);
    const QString entry =
        QStringLiteral("INSERT INTO t_SerialEntry (FENTRYID, FSERIALID, FQTY, FCOLOR, FWARRANTY, "
                       "FNOTE, FBATCHNO) SELECT i, i, CASE WHEN ") +
        h(9) + QStringLiteral(" % 100 < 5 THEN 0.0 ELSE 1 + ") + h(9) +
        QStringLiteral(" / 100 % 100 END, CASE WHEN ") + h(10) +
        QStringLiteral(" % 100 < 8 THEN NULL ELSE 1 + ") + h(10) + QStringLiteral(" / 100 % ") +
        QString::number(colours().size()) + QStringLiteral(" END, CASE WHEN ") + h(11) +
        QStringLiteral(" % 100 < 5 THEN NULL WHEN ") + h(11) +
        QStringLiteral(" % 100 < 15 THEN '' ELSE ") +
        sql.day(firstDay, d,
                QStringLiteral("CAST(1 + ") + h(11) + QStringLiteral(" / 100 % 3 AS INTEGER)")) +
        QStringLiteral(" END, CASE WHEN ") + h(12) + QStringLiteral(" % 100 < 5 THEN NULL WHEN ") +
        h(12) + QStringLiteral(" % 100 < 65 THEN '' ELSE ") + note +
        QStringLiteral(" END, 'B' || substr(") + inDate + QStringLiteral(", 3, 2) || substr(") +
        inDate + QStringLiteral(", 6, 2) || ") +
        sql.padded(QStringLiteral("1 + ") + h(13) + QStringLiteral(" % 40"), 3) +
        QStringLiteral(" FROM ") + sql.series(first, last);
    return {header, entry};
}

QString infoValue(const QSqlDatabase &db, const QString &key)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT FValue FROM demo_info WHERE FKey = ") + quoted(key)) ||
        !query.next())
        return {};
    return query.value(0).toString();
}

} // namespace

QSqlDatabase openServer(const QString &connectionName, const QString &address)
{
    const QUrl url(address);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(url.host());
    db.setPort(url.port(5432));
    db.setDatabaseName(url.path().mid(1));
    db.setUserName(url.userName(QUrl::FullyDecoded));
    db.setPassword(url.password(QUrl::FullyDecoded));
    db.open();
    return db;
}

SiteDatabase::SiteDatabase(QSqlDatabase db)
    : m_db(std::move(db))
{}

QStringList SiteDatabase::indexes(bool postgres)
{
    QStringList statements{
        QStringLiteral("CREATE INDEX ix_serial_item ON t_SerialNumber(FITEMID)"),
        QStringLiteral("CREATE INDEX ix_serial_stock ON t_SerialNumber(FSTOCKID)"),
        QStringLiteral("CREATE INDEX ix_serial_grade ON t_SerialNumber(FGRADE)"),
        QStringLiteral("CREATE INDEX ix_serial_indate ON t_SerialNumber(FINDATE)"),
        QStringLiteral("CREATE UNIQUE INDEX ix_serial_num ON t_SerialNumber(FSERIALNUM)"),
        QStringLiteral("CREATE INDEX ix_serial_billno ON t_SerialNumber(FBILLNO)"),
        QStringLiteral("CREATE UNIQUE INDEX ix_entry_serial ON t_SerialEntry(FSERIALID)"),
        QStringLiteral("CREATE INDEX ix_entry_colour ON t_SerialEntry(FCOLOR)"),
        QStringLiteral("CREATE INDEX ix_entry_warranty ON t_SerialEntry(FWARRANTY)"),
        QStringLiteral("CREATE INDEX ix_item_name ON t_Item(FName)"),
        QStringLiteral("CREATE INDEX ix_item_class ON t_Item(FItemClassID, FNumber)"),
        QStringLiteral("CREATE INDEX ix_sub_name ON t_SubMessage(FName)"),
        QStringLiteral("CREATE INDEX ix_sub_type ON t_SubMessage(FTypeID, FID)")};
    if (postgres) {
        // 包含 is "COLLATE "C" ILike" on PostgreSQL: only a trigram index of the column under
        // that collation serves it; a plain trigram index of the column does not.
        statements << QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm")
                   << QStringLiteral("CREATE INDEX ix_serial_num_trgm ON t_SerialNumber USING gin "
                                     "((FSERIALNUM COLLATE \"C\") gin_trgm_ops)");
    }
    statements << QStringLiteral("ANALYZE");
    return statements;
}

bool SiteDatabase::ensure(qint64 recordCount, const Progress &progress)
{
    m_error.clear();
    m_generated = false;
    const bool postgres = m_db.driverName() == QLatin1String("QPSQL");
    if (infoValue(m_db, QStringLiteral("version")) == siteVersion &&
        infoValue(m_db, QStringLiteral("records")) == QString::number(recordCount))
        return true;
    // A database left half made, or of another size, is made again from nothing.
    QStringList drop{QStringLiteral("DROP VIEW IF EXISTS v_SerialRecord")};
    for (const char *table :
         {"t_SerialEntry", "t_SerialNumber", "t_Item", "t_SubMessage", "demo_info"})
        drop << QStringLiteral("DROP TABLE IF EXISTS ") + QLatin1String(table);
    if (!runAll(m_db, drop, m_error) || !runAll(m_db, schemaStatements(), m_error))
        return false;
    if (!postgres && !runAll(m_db, {QStringLiteral("PRAGMA synchronous = OFF")}, m_error))
        return false;
    {
        Random random(seed);
        Lookups ids;
        if (!m_db.transaction() || !insertLookups(m_db, random, ids, m_error) || !m_db.commit()) {
            if (m_error.isEmpty())
                m_error = m_db.lastError().text();
            return false;
        }
    }
    const Dialect sql{postgres};
    const QString firstDay = QDate::currentDate().addDays(1 - 4 * 365).toString(Qt::ISODate);
    // A hundred steps, each one transaction, so that the progress moves and a server's
    // transaction stays of a sensible size.
    const qint64 step = std::max<qint64>(10000, recordCount / 100);
    if (progress)
        progress(0, int(recordCount));
    for (qint64 first = 1; first <= recordCount; first += step) {
        const qint64 last = std::min(recordCount, first + step - 1);
        if (!m_db.transaction() ||
            !runAll(m_db, recordStatements(sql, first, last, firstDay), m_error) ||
            !m_db.commit()) {
            if (m_error.isEmpty())
                m_error = m_db.lastError().text();
            m_db.rollback();
            return false;
        }
        if (progress)
            progress(int(last), int(recordCount));
    }
    // Memory for the index builds: a trigram index of millions of rows is built many times
    // faster with it.
    if (postgres && !runAll(m_db, {QStringLiteral("SET maintenance_work_mem = '256MB'")}, m_error))
        return false;
    if (!runAll(m_db, indexes(postgres), m_error))
        return false;
    m_generated = true;
    return runAll(m_db,
                  {QStringLiteral("INSERT INTO demo_info VALUES ('version', ") +
                       quoted(siteVersion) + QStringLiteral(")"),
                   QStringLiteral("INSERT INTO demo_info VALUES ('records', '") +
                       QString::number(recordCount) + QStringLiteral("')")},
                  m_error);
}

} // namespace NxSerialFilter::Demo
