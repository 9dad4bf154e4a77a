// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Any stored scheme text, loaded into the grid and composed into a condition, either fails
// with one alert or gives a condition that SQLite runs as one expression over the described
// columns, and that finds exactly the rows a bound-parameter query of the same rows finds. The
// component's own bound form finds the same rows and holds no quote.

#include "core/composer/sqlbuilder.h"
#include "core/conditions/vocabulary.h"
#include "core/text/leadingnumber.h"
#include "fuzzsupport.h"
#include "store/schemes/schemeloader.h"
#include <NxSerialFilter/schemeservice.h>

#include <QHash>
#include <QSet>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Fuzzing;

namespace {

/// Hands the fuzz text to the loader as the stored scheme.
class TextReader : public SchemeReaderComponent
{
public:
    static inline QString text;

    QVariant FilterExists(const QString &, const QString &, const QString &) override
    {
        return false;
    }
    RecordSetPtr GetFilters(const QString &, const QString &) override
    {
        return std::make_shared<RecordSet>(QStringList{QStringLiteral("FID")},
                                           QList<QVariantList>{});
    }
    RecordSetPtr GetFilterByID(const QString &, qint32 id) override
    {
        return std::make_shared<RecordSet>(
            QStringList{QStringLiteral("FID"), QStringLiteral("FFilter")},
            QList<QVariantList>{{id, text}});
    }
};

const char *const schema[] = {
    "CREATE TABLE serials (FID INTEGER PRIMARY KEY, FSERIALNUM TEXT, FITEM INTEGER, FQTY REAL, "
    "FDATE TEXT, FSUB INTEGER, FSYSN REAL, FSYST TEXT)",
    "CREATE TABLE t_FITEM (FID INTEGER PRIMARY KEY, FName TEXT)",
    "CREATE TABLE t_FSUB (FID INTEGER PRIMARY KEY, FName TEXT)",
    "CREATE TABLE items (FID INTEGER PRIMARY KEY, FQty REAL, FName TEXT, FCode TEXT, "
    "FStock TEXT, FRate REAL)",
    // A table the condition must never reach.
    "CREATE TABLE secrets (FID INTEGER PRIMARY KEY, FValue TEXT)",
};

const QString serialSelect =
    QStringLiteral("SELECT tf.FID FROM serials tf LEFT JOIN t_FITEM ON t_FITEM.FID = tf.FITEM "
                   "LEFT JOIN t_FSUB ON t_FSUB.FID = tf.FSUB WHERE");
const QString commonSelect = QStringLiteral("SELECT t1.FID FROM items t1 WHERE");

/// The columns a condition may read: the description's, and the keys of the joins.
const QSet<QString> &readable()
{
    static const QSet<QString> columns{
        QStringLiteral("serials.fid"),   QStringLiteral("serials.fserialnum"),
        QStringLiteral("serials.fitem"), QStringLiteral("serials.fqty"),
        QStringLiteral("serials.fdate"), QStringLiteral("serials.fsub"),
        QStringLiteral("serials.fsysn"), QStringLiteral("serials.fsyst"),
        QStringLiteral("t_fitem.fid"),   QStringLiteral("t_fitem.fname"),
        QStringLiteral("t_fsub.fid"),    QStringLiteral("t_fsub.fname"),
        QStringLiteral("items.fid"),     QStringLiteral("items.fqty"),
        QStringLiteral("items.fname"),   QStringLiteral("items.fcode"),
        QStringLiteral("items.fstock"),  QStringLiteral("items.frate")};
    return columns;
}

int authorize(void *, int action, const char *a, const char *b, const char *, const char *)
{
    switch (action) {
    case SQLITE_SELECT:
        return SQLITE_OK;
    case SQLITE_READ: {
        const QString table = QString::fromUtf8(a).toLower();
        // An empty column stands for a joined table that is referenced without its columns.
        const QString column = *b ? QString::fromUtf8(b).toLower() : QStringLiteral("fid");
        return readable().contains(table + u'.' + column) ? SQLITE_OK : SQLITE_DENY;
    }
    case SQLITE_FUNCTION:
        return qstricmp(b, "like") == 0 ? SQLITE_OK : SQLITE_DENY;
    default:
        return SQLITE_DENY;
    }
}

class Database
{
public:
    Database()
    {
        if (sqlite3_open(":memory:", &m_db) != SQLITE_OK)
            finding(QStringLiteral("cannot open SQLite"));
        for (const char *statement : schema)
            exec(statement);
        // Texts a fuzzer reaches easily, the empty forms, and the quoting hazards.
        const QStringList texts{QString(),
                                QStringLiteral(""),
                                QStringLiteral("*"),
                                QStringLiteral("0"),
                                QStringLiteral("1"),
                                QStringLiteral("A"),
                                QStringLiteral("a"),
                                QStringLiteral("AB"),
                                QStringLiteral("%"),
                                QStringLiteral("_"),
                                QStringLiteral("'"),
                                QStringLiteral("''"),
                                QStringLiteral("\\"),
                                QStringLiteral("O'Brien"),
                                QStringLiteral("12.5kg"),
                                QStringLiteral("-3"),
                                QStringLiteral("序列号"),
                                QStringLiteral("1e400")};
        for (qsizetype i = 0; i < texts.size(); ++i)
            insertRow(i + 1, texts.at(i));
        exec("INSERT INTO secrets VALUES (1, 'x')");
        sqlite3_set_authorizer(m_db, authorize, nullptr);
    }
    ~Database() { sqlite3_close(m_db); }

    /// The matching ids, or a finding when the text is not exactly one allowed statement.
    QList<qint64> run(const QString &sql, const QVariantList &values, const QString &context)
    {
        sqlite3_stmt *statement = nullptr;
        const void *tail = nullptr;
        // UTF-16, as Qt's SQLite driver hands statements over.
        const int rc =
            sqlite3_prepare16_v2(m_db, sql.utf16(), int(sql.size() * 2), &statement, &tail);
        if (rc != SQLITE_OK || !statement) {
            sqlite3_finalize(statement);
            finding(QStringLiteral("does not prepare: %1\n%2\n%3")
                        .arg(QString::fromUtf8(sqlite3_errmsg(m_db)), sql, context));
        }
        const auto rest = QStringView(sql).mid(static_cast<const char16_t *>(tail) -
                                               reinterpret_cast<const char16_t *>(sql.utf16()));
        if (!rest.trimmed().isEmpty()) {
            sqlite3_finalize(statement);
            finding(QStringLiteral("text left after the statement: %1\n%2\n%3")
                        .arg(rest.toString(), sql, context));
        }
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &v = values.at(i);
            if (v.typeId() == QMetaType::LongLong) {
                sqlite3_bind_int64(statement, i + 1, v.toLongLong());
            } else if (v.typeId() == QMetaType::Double) {
                sqlite3_bind_double(statement, i + 1, v.toDouble());
            } else {
                // UTF-8: SQLite would drop a leading U+FEFF of UTF-16 text as a byte-order
                // mark, while the literal keeps it.
                const QByteArray text = v.toString().toUtf8();
                sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()),
                                  SQLITE_TRANSIENT);
            }
        }
        QList<qint64> ids;
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW)
            ids.append(sqlite3_column_int64(statement, 0));
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE)
            finding(QStringLiteral("does not run: %1\n%2\n%3")
                        .arg(QString::fromUtf8(sqlite3_errmsg(m_db)), sql, context));
        std::sort(ids.begin(), ids.end());
        return ids;
    }

private:
    void exec(const char *sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            finding(QString::fromUtf8(sqlite3_errmsg(m_db)));
    }

    void insertRow(qint64 id, const QString &text)
    {
        const char *const inserts[] = {
            "INSERT INTO t_FITEM VALUES (?1, ?2)",
            "INSERT INTO t_FSUB VALUES (?1, ?2)",
            "INSERT INTO serials VALUES (?1, ?2, ?1, ?3, ?2, ?1, ?3, ?2)",
            "INSERT INTO items VALUES (?1, ?3, ?2, ?2, ?2, ?3)",
        };
        for (const char *sql : inserts) {
            sqlite3_stmt *statement = nullptr;
            sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
            sqlite3_bind_int64(statement, 1, id);
            if (text.isNull()) {
                sqlite3_bind_null(statement, 2);
                sqlite3_bind_null(statement, 3);
            } else {
                sqlite3_bind_text16(statement, 2, text.utf16(), int(text.size() * 2),
                                    SQLITE_TRANSIENT);
                sqlite3_bind_double(statement, 3, Numbers::leadingNumber(text));
            }
            sqlite3_step(statement);
            sqlite3_finalize(statement);
        }
    }

    sqlite3 *m_db = nullptr;
};

/// How a field is compared: its column, whether its values are numbers, and which values
/// stand for "no value".
struct FieldUse
{
    QString column;
    bool number;
    QVariantList empties;
};

const QHash<QString, FieldUse> &serialFields()
{
    const QVariant zero = qint64(0);
    const QVariant none = QString(QLatin1String(""));
    const QVariant star = QStringLiteral("*");
    static const QHash<QString, FieldUse> fields{
        {QStringLiteral("序列号"), {QStringLiteral("tf.FSERIALNUM"), false, {none, star}}},
        {QStringLiteral("物料"), {QStringLiteral("t_FITEM.FName"), false, {none, star}}},
        {QStringLiteral("数量"), {QStringLiteral("tf.FQTY"), true, {zero}}},
        {QStringLiteral("日期"), {QStringLiteral("tf.FDATE"), false, {none}}},
        {QStringLiteral("等级"), {QStringLiteral("t_FSUB.FName"), false, {none, star}}},
        {QStringLiteral("系统数"), {QStringLiteral("tf.FSYSN"), true, {none}}},
        {QStringLiteral("系统文本"), {QStringLiteral("tf.FSYST"), false, {none}}},
    };
    return fields;
}

const QHash<QString, FieldUse> &commonFields()
{
    const QVariant zero = qint64(0);
    const QVariant none = QString(QLatin1String(""));
    static const QHash<QString, FieldUse> fields{
        {QStringLiteral("数量"), {QStringLiteral("t1.FQty"), true, {zero}}},
        {QStringLiteral("名称"), {QStringLiteral("t1.FName"), false, {none}}},
        {QStringLiteral("代码"), {QStringLiteral("t1.FCode"), false, {none}}},
        {QStringLiteral("仓库"), {QStringLiteral("t1.FStock"), false, {none}}},
        {QStringLiteral("比率"), {QStringLiteral("t1.FRate"), true, {zero}}},
    };
    return fields;
}

/// A number as the condition may carry it: beyond the range of a double it is the largest
/// one, and a whole number is an integer, as SQL reads a literal without a fraction.
QVariant numberOf(const QString &value)
{
    double n = Numbers::leadingNumber(value);
    if (std::isnan(n))
        n = 0;
    else if (std::isinf(n))
        n = n > 0 ? DBL_MAX : -DBL_MAX;
    if (n == std::trunc(n) && std::fabs(n) < 9.2e18)
        return qint64(n);
    return n;
}

/// The same rows as one bound-parameter query: every value a parameter, nothing quoted.
QString boundQuery(const Session &s, QVariantList &values)
{
    const ConditionGrid &grid = s.grid;
    const auto &fields = s.state.SerialUse ? serialFields() : commonFields();
    const bool storageCheck = s.mode == Mode::StorageCheck;
    QString sql;
    for (int r = 1; r <= grid.MaxRows(); ++r) {
        const QString caption = grid.GetCellText(r, ConditionGrid::ColField);
        if (caption.isEmpty())
            break;
        if (r > 1)
            sql +=
                u' ' + Vocabulary::logicWords().at(grid.GetComboIndex(r, ConditionGrid::ColLogic));
        sql += u' ' + grid.GetCellText(r, ConditionGrid::ColLeftParen) + u' ';
        const FieldUse use = fields.value(caption);
        if (use.column.isEmpty())
            finding(QStringLiteral("a condition for the unknown field ") + caption);
        const int k = grid.GetComboIndex(r, ConditionGrid::ColCompare);
        const QString value = grid.GetCellText(r, ConditionGrid::ColValue);
        const QString &c = use.column;
        if (k == int(CompareOp::IsEmpty) || k == int(CompareOp::IsNotEmpty)) {
            const bool empty = k == int(CompareOp::IsEmpty);
            QStringList tests;
            for (const QVariant &none : use.empties) {
                tests += c + (empty ? QStringLiteral(" = ?") : QStringLiteral(" <> ?"));
                values += none;
            }
            if (!storageCheck)
                tests.prepend(
                    c + (empty ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL")));
            sql +=
                u'(' + tests.join(empty ? QStringLiteral(" OR ") : QStringLiteral(" AND ")) + u')';
        } else {
            sql += c + u' ' + Vocabulary::compareWords().at(k) + QStringLiteral(" ?");
            const bool pattern = k == int(CompareOp::Contains) || k == int(CompareOp::NotContains);
            if (use.number)
                values += numberOf(value);
            else if (pattern && !value.contains(u'%') && !value.contains(u'_'))
                values += QString(u'%' + value + u'%');
            else
                values += value;
        }
        sql += u' ' + grid.GetCellText(r, ConditionGrid::ColRightParen);
    }
    return sql;
}

QString idList(const QList<qint64> &ids)
{
    QStringList texts;
    for (qint64 id : ids)
        texts += QString::number(id);
    return texts.join(u',');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    Testing::ScriptedAlerts &shown = alerts();
    static Database db;
    static const bool registered = [] {
        ComponentRegistry::instance().registerFactory(
            ComponentId::schemeReader(), [] { return std::make_shared<TextReader>(); });
        return true;
    }();
    (void)registered;

    Session s(Mode(data[0] % ModeCount));
    TextReader::text = textFrom(data + 1, size - 1);
    if (!SchemeText::LoadScheme(s.grid, *s.valueCells, 1)) // the list's one message
        nxAlert::ShowAlert(QStringLiteral("load failed"), nxAlert::Information);
    if (shown.shown.size() > 1) {
        QStringList messages;
        for (const auto &alert : std::as_const(shown.shown))
            messages += alert.message;
        finding(QStringLiteral("loading gave %1 alerts:\n").arg(shown.shown.size()) +
                messages.join(u'\n') + QStringLiteral("\ngrid:\n") + snapshot(s.grid));
    }
    shown.shown.clear();

    const QString context = QStringLiteral("grid:\n") + snapshot(s.grid);
    if (!Testing::createSql(s.confirmed, s.grid)) {
        if (shown.shown.size() != 1)
            finding(QStringLiteral("a failed build gave %1 alerts\n").arg(shown.shown.size()) +
                    context);
        return 0;
    }
    if (!shown.shown.isEmpty())
        finding(QStringLiteral("a successful build showed an alert: ") +
                shown.shown.first().message);
    if (s.confirmed.sql().isEmpty())
        return 0;

    const QString &select = s.state.SerialUse ? serialSelect : commonSelect;
    const QList<qint64> built = db.run(select + s.confirmed.sql(), {}, context);
    QVariantList values;
    const QString reference = boundQuery(s, values);
    const QList<qint64> expected = db.run(select + reference, values, context);
    if (built != expected)
        finding(QStringLiteral("built condition finds %1, bound query finds %2\n%3\n%4\n%5")
                    .arg(idList(built), idList(expected), s.confirmed.sql(), reference, context));

    const BoundCondition own = s.confirmed.query(SqlEngine::SQLite, Placeholders::QMark);
    if (own.sql.contains(u'\''))
        finding(QStringLiteral("a quote in the bound form\n%1\n%2").arg(own.sql, context));
    const QList<qint64> bound = db.run(select + own.sql, own.values, context);
    if (bound != built)
        finding(QStringLiteral("built condition finds %1, its bound form finds %2\n%3\n%4\n%5")
                    .arg(idList(built), idList(bound), s.confirmed.sql(), own.sql, context));
    return 0;
}
