// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/composer/questions.h"
#include "core/composer/sqlbuilder.h"
#include "core/composer/textcompletion.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/fieldlist.h"
#include "core/conditions/vocabulary.h"
#include "core/fields/columnexpression.h"
#include "core/host/busypointer.h"
#include "core/language/languagestate.h"
#include "core/text/leadingnumber.h"
#include "testsupport/collidingwords.h"
#include "testsupport/descriptions.h"

#include "testsupport/scriptedalerts.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/conditioncomposer.h>
#include <NxSerialFilter/conditiontext.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/limits.h>
#include <NxSerialFilter/schemetext.h>

#include <QScopeGuard>
#include <QTest>

#include <cfloat>
#include <cmath>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;

Q_DECLARE_METATYPE(NxSerialFilter::Condition)

namespace {

enum class Mode { Serial, Common };

QString schemeText(const QStringList &rows);

/// A dialog's state and grid as the dialog's load leaves them, with rows written as a loaded
/// scheme writes them: by text, so list cells choose the item of that text or none.
struct Fixture
{
    HostFields state;
    ConfirmedCondition confirmed;
    ConditionGrid grid;

    explicit Fixture(Mode mode, const QString &screen = QStringLiteral("Items"),
                     KeyedValuesPtr description = {})
    {
        state.SerialUse = mode == Mode::Serial;
        state.ScreenID = screen;
        if (state.SerialUse)
            state.SerialDesc = description ? description : standardSerialDescription();
        else
            state.CommonField = description ? description : standardCommonValues(screen);
        Testing::setFields(state, grid);
    }

    /// Each row: "logic|(|field|comparison|value|)", then "|" and the value code if any; a
    /// field compared with a field ("value=field") makes them all read as a stored scheme is.
    void setRows(const QStringList &rows)
    {
        if (std::any_of(rows.begin(), rows.end(),
                        [](const QString &r) { return r.contains(u"value=field"_qs); })) {
            grid.setCondition(SchemeText::parse(schemeText(rows), grid.catalog()).condition);
            return;
        }
        grid.SetMaxRows(std::max(int(rows.size()) + 1, grid.MaxRows()));
        static constexpr int columns[] = {ConditionGrid::ColLogic,    ConditionGrid::ColLeftParen,
                                          ConditionGrid::ColField,    ConditionGrid::ColCompare,
                                          ConditionGrid::ColValue,    ConditionGrid::ColRightParen,
                                          ConditionGrid::ColValueCode};
        for (int r = 1; r <= rows.size(); ++r) {
            const QStringList cells = rows.at(r - 1).split(u'|');
            for (int i = 0; i < 7 && i < cells.size(); ++i)
                grid.SetCellText(r, columns[i], cells.at(i));
        }
    }
};

/// FilterSQL's text back from a bound form: each "?" replaced by its value as a literal.
QString withLiterals(const BoundCondition &bound)
{
    QString sql;
    qsizetype next = 0;
    for (const QChar ch : bound.sql) {
        if (ch != u'?') {
            sql += ch;
            continue;
        }
        if (next >= bound.values.size())
            return u"(more placeholders than values) "_qs + bound.sql;
        const QVariant &value = bound.values.at(next++);
        switch (value.typeId()) {
        case QMetaType::QString:
            // A null text would be bound as NULL.
            if (value.toString().isNull())
                return u"(null text) "_qs + bound.sql;
            sql += u'\'' + value.toString().replace(u'\'', u"''"_qs) + u'\'';
            break;
        case QMetaType::LongLong:
            sql += QString::number(value.toLongLong());
            break;
        case QMetaType::Double:
            // SQL reads a literal without a fraction as an integer: so must the value be.
            if (value.toDouble() == std::trunc(value.toDouble()) &&
                std::fabs(value.toDouble()) < 9.2e18)
                return u"(whole number bound as a double) "_qs + bound.sql;
            sql += Numbers::sqlNumber(value.toDouble());
            break;
        default:
            return u"(value of another type) "_qs + bound.sql;
        }
    }
    if (next != bound.values.size())
        return u"(more values than placeholders) "_qs + bound.sql;
    return sql;
}

/// The "?" of a bound form numbered "$1" to "$n".
QString numbered(const QString &sql)
{
    QString result;
    int n = 0;
    for (const QChar ch : sql)
        result += ch == u'?' ? u'$' + QString::number(++n) : QString(ch);
    return result;
}

/// The SQLite bound forms of a grid hold FilterSQL's text with only the literals replaced.
void compareBound(const ConditionGrid &grid, const QString &expected)
{
    const BoundCondition bound = SqlBuilder::composeBound(grid);
    QCOMPARE(withLiterals(bound), expected);
    QVERIFY2(!bound.sql.contains(u'\''), qPrintable(bound.sql));
    const BoundCondition dollar =
        SqlBuilder::composeBound(grid, SqlEngine::SQLite, Placeholders::Dollar);
    QCOMPARE(dollar.sql, numbered(bound.sql));
    QCOMPARE(dollar.values, bound.values);
}

/// The rows as a stored scheme text: TAB between the seven cells, CR LF between rows.
QString schemeText(const QStringList &rows)
{
    QStringList lines;
    for (const QString &row : rows) {
        QStringList cells = row.split(u'|');
        while (cells.size() < 7)
            cells.append(QString());
        cells.insert(5, cells.takeAt(6)); // the value code
        lines.append(cells.join(u'\t'));
    }
    return lines.join(u"\r\n"_qs);
}

/// The composer without a window gives what the dialog gives for the same rows.
ComposedCondition composeHeadless(bool serial, const QString &screen,
                                  const KeyedValuesPtr &description, const QStringList &rows,
                                  QDate asOf = {}, Qt::DayOfWeek firstDay = Qt::Monday,
                                  const QString &user = {})
{
    ConditionComposer composer =
        serial ? ConditionComposer::forSerialDescription(description ? description
                                                                     : standardSerialDescription())
               : ConditionComposer::forCommonFields(
                     description ? description : standardCommonValues(screen), screen);
    composer.setAsOf(asOf);
    composer.setFirstDayOfWeek(firstDay);
    composer.setCurrentUser(user);
    return composer.compose(schemeText(rows));
}

FieldCatalog catalogFor(bool serial, const QString &screen, const KeyedValuesPtr &description)
{
    return serial ? FieldCatalog::fromSerialDescription(description ? description
                                                                    : standardSerialDescription())
                  : FieldCatalog::fromCommonFields(
                        description ? description : standardCommonValues(screen), screen);
}

/// The rows read as a stored text and composed directly, without a grid.
Composed composeDirect(bool serial, const QString &screen, const KeyedValuesPtr &description,
                       const QStringList &rows, const SqlForm &form = SqlForm::text(),
                       bool valueLists = false)
{
    const FieldCatalog catalog = catalogFor(serial, screen, description);
    const SchemeText::Parsed parsed = SchemeText::parse(schemeText(rows), catalog);
    Condition condition = parsed.condition;
    // A stored text names no value list; a condition built in code does.
    for (ConditionRow &row : condition.rows()) {
        if (valueLists &&
            (row.unmatched.compare == u"包括"_qs || row.unmatched.compare == u"不包括"_qs)) {
            row.compare =
                row.unmatched.compare == u"包括"_qs ? CompareOp::InList : CompareOp::NotInList;
            row.unmatched.compare.clear();
        }
    }
    return compose(catalog, condition, form);
}

/// Records whether the busy pointer was still shown when an alert appeared.
class PointerAtAlert : public ScriptedAlerts
{
public:
    int present(const QString &message, int style, const QString &title) override
    {
        busyAtAlert = BusyPointer::isShown();
        return ScriptedAlerts::present(message, style, title);
    }
    bool busyAtAlert = true;
};

} // namespace

class tst_SqlBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void serialConditions_data();
    void serialConditions();
    void commonConditions_data();
    void commonConditions();
    void valueLists_data();
    void valueLists();
    void engineForms_data();
    void engineForms();
    void askedValues_data();
    void askedValues();
    void typedConditions_data();
    void typedConditions();
    void completion_data();
    void completion();
    void columnNames_data();
    void columnNames();
    void failures_data();
    void failures();
    void builtInCode_data();
    void builtInCode();
    void translationLeavesTheSql();
    void successStoresAndStaysQuiet();
    void manyRowsInOrder();
};

namespace {

/// Words read back compose as the rows they were written from, and write the same words again.
void readsBack(const FieldCatalog &catalog, const QString &words, const SqlForm &form,
               const QString &expected, const QString &language = QString())
{
    const ConditionTextRead read = ConditionText::parse(catalog, words);
    // The description is built before the check: only on failure may it read the failure.
    QVERIFY2(read.ok(),
             qPrintable(read.ok() ? words : words + u" : "_qs + read.failure->message()));
    QCOMPARE(compose(catalog, read.condition, form).text, expected);
    SqlForm again = SqlForm::words(language);
    again.answers = form.answers;
    QCOMPARE(compose(catalog, read.condition, again).text, words);
}

} // namespace

void tst_SqlBuilder::serialConditions_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("expected");
    // The rows in words, in Chinese and in English; none where the words add nothing.
    QTest::addColumn<QStringList>("words");
    // A relative date's day of composing; null for rows that hold none.
    QTest::addColumn<QDate>("asOf");

    // Worked examples.
    QTest::newRow("contains wraps in %")
        << QStringList{u"||序列号|包含|A01|"_qs} << u" ( (tf.FSERIALNUM Like '%A01%') ) "_qs
        << QStringList{u"序列号 包含 A01"_qs, u"序列号 Contains A01"_qs} << QDate();
    QTest::newRow("contains own pattern _")
        << QStringList{u"||序列号|包含|A_1|"_qs} << u" ( (tf.FSERIALNUM Like 'A_1') ) "_qs
        << QStringList{u"序列号 包含 A_1"_qs, u"序列号 Contains A_1"_qs} << QDate();
    QTest::newRow("number from 12.50kg")
        << QStringList{u"||数量|大于或等于|12.50kg|"_qs} << u" ( (tf.FQTY >= 12.5) ) "_qs
        << QStringList{u"数量 大于或等于 12.50kg"_qs, u"数量 Greater than or equal to 12.50kg"_qs}
        << QDate();
    QTest::newRow("date not empty")
        << QStringList{u"||日期|不为空||"_qs}
        << u" ( ((tf.FDATE Is not null and tf.FDATE<>'' )) ) "_qs
        << QStringList{u"日期 不为空"_qs, u"日期 Is not empty"_qs} << QDate();
    QTest::newRow("two rows with parentheses")
        << QStringList{u"|(|序列号|等于|B7|"_qs, u"或者||物料|为空||)"_qs}
        << u" ( (( tf.FSERIALNUM = 'B7'   Or  (t_FITEM.FName Is null or t_FITEM.FName='' or "
           u"t_FITEM.FName='*') )) ) "_qs
        << QStringList{u"(序列号 等于 B7 或者 物料 为空)"_qs,
                       u"(序列号 Equal to B7 Or 物料 Is empty)"_qs}
        << QDate();
    // A row switched off is left out as if absent, with its logic word and parentheses.
    QTest::newRow("a row switched off")
        << QStringList{u"||序列号|等于|A|"_qs, u"或者||数量|大于|5||off=1"_qs}
        << u" ( (tf.FSERIALNUM = 'A') ) "_qs
        << QStringList{u"序列号 等于 A"_qs, u"序列号 Equal to A"_qs} << QDate();
    QTest::newRow("the first row switched off: the next reads as first")
        << QStringList{u"||序列号|等于|A||off=1"_qs, u"或者||数量|大于|5|"_qs}
        << u" ( (tf.FQTY > 5) ) "_qs << QStringList{u"数量 大于 5"_qs, u"数量 Greater than 5"_qs}
        << QDate();
    QTest::newRow("a row switched off inside a group")
        << QStringList{u"|(|序列号|等于|A|"_qs, u"或者||数量|大于|5||off=1"_qs,
                       u"或者||序列号|等于|B|)"_qs, u"并且||数量|小于|9|"_qs}
        << u" ( (( tf.FSERIALNUM = 'A'   Or  tf.FSERIALNUM = 'B'  ) And  tf.FQTY < 9) ) "_qs
        << QStringList{u"(序列号 等于 A 或者 序列号 等于 B) 并且 数量 小于 9"_qs,
                       u"(序列号 Equal to A Or 序列号 Equal to B) And 数量 Less than 9"_qs}
        << QDate();
    QTest::newRow("a whole group switched off")
        << QStringList{u"|(|序列号|等于|A||off=1"_qs, u"或者||序列号|等于|B|)|off=1"_qs,
                       u"并且||数量|小于|9|"_qs}
        << u" ( (tf.FQTY < 9) ) "_qs << QStringList{u"数量 小于 9"_qs, u"数量 Less than 9"_qs}
        << QDate();
    QTest::newRow("every row switched off")
        << QStringList{u"||序列号|等于|A||off=1"_qs} << QString()
        << QStringList{QString(), QString()} << QDate();
    QTest::newRow("no row in use")
        << QStringList{} << QString() << QStringList{QString(), QString()} << QDate();

    // Empty values still give a value part; in words, quotes with nothing between.
    QTest::newRow("empty text value")
        << QStringList{u"||序列号|等于||"_qs} << u" ( (tf.FSERIALNUM = '') ) "_qs
        << QStringList{u"序列号 等于 「」"_qs, u"序列号 Equal to \"\""_qs} << QDate();
    QTest::newRow("empty number value") << QStringList{u"||数量|等于||"_qs}
                                        << u" ( (tf.FQTY = 0) ) "_qs << QStringList() << QDate();
    QTest::newRow("contains empty")
        << QStringList{u"||序列号|包含||"_qs} << u" ( (tf.FSERIALNUM Like '%%') ) "_qs
        << QStringList() << QDate();

    // Numbers are written from the parsed value, never from the text.
    QTest::newRow("number abc") << QStringList{u"||数量|等于|abc|"_qs} << u" ( (tf.FQTY = 0) ) "_qs
                                << QStringList() << QDate();
    QTest::newRow("number injection") << QStringList{u"||数量|等于|1 OR 1=1|"_qs}
                                      << u" ( (tf.FQTY = 1) ) "_qs << QStringList() << QDate();
    QTest::newRow("number comment") << QStringList{u"||数量|小于|1--|"_qs}
                                    << u" ( (tf.FQTY < 1) ) "_qs << QStringList() << QDate();
    QTest::newRow("number negative") << QStringList{u"||数量|大于| -3.0|"_qs}
                                     << u" ( (tf.FQTY > -3) ) "_qs << QStringList() << QDate();
    QTest::newRow("number trailing zeros")
        << QStringList{u"||数量|不等于|0.10|"_qs} << u" ( (tf.FQTY <> 0.1) ) "_qs << QStringList()
        << QDate();
    QTest::newRow("contains number") << QStringList{u"||数量|包含|5|"_qs}
                                     << u" ( (tf.FQTY Like 5) ) "_qs << QStringList() << QDate();
    QTest::newRow("contains number with pattern")
        << QStringList{u"||数量|不包含|5%|"_qs} << u" ( (tf.FQTY Not Like 5) ) "_qs << QStringList()
        << QDate();
    // A whole number within 64 bits is written digit for digit, never through a double.
    QTest::newRow("number beyond a double's precision")
        << QStringList{u"||数量|等于|9007199254740993|"_qs}
        << u" ( (tf.FQTY = 9007199254740993) ) "_qs << QStringList() << QDate();
    QTest::newRow("lowest 64-bit number with a zero fraction")
        << QStringList{u"||数量|大于|-9223372036854775808.00|"_qs}
        << u" ( (tf.FQTY > -9223372036854775808) ) "_qs << QStringList() << QDate();
    QTest::newRow("whole number with sign, zeros and a unit")
        << QStringList{u"||数量|等于|+0009007199254740995x|"_qs}
        << u" ( (tf.FQTY = 9007199254740995) ) "_qs << QStringList() << QDate();
    // Plain decimals: written without a QString below 2^53, through sqlNumber beyond; the two
    // must agree at the edges.
    QTest::newRow("smallest plain decimal")
        << QStringList{u"||数量|等于|0.000001|"_qs} << u" ( (tf.FQTY = 0.000001) ) "_qs
        << QStringList() << QDate();
    QTest::newRow("below it in exponent form")
        << QStringList{u"||数量|等于|0.0000005|"_qs} << u" ( (tf.FQTY = 5e-07) ) "_qs
        << QStringList() << QDate();
    QTest::newRow("shortest digits of a sum")
        << QStringList{u"||数量|等于|0.30000000000000004|"_qs}
        << u" ( (tf.FQTY = 0.30000000000000004) ) "_qs << QStringList() << QDate();
    QTest::newRow("fraction above 2^53")
        << QStringList{u"||数量|等于|9007199254740993.5|"_qs}
        << u" ( (tf.FQTY = 9007199254740994) ) "_qs << QStringList() << QDate();
    QTest::newRow("exponent to a large whole")
        << QStringList{u"||数量|等于|1e20|"_qs} << u" ( (tf.FQTY = 100000000000000000000) ) "_qs
        << QStringList() << QDate();
    QTest::newRow("system number") << QStringList{u"||系统数|小于或等于|7x|"_qs}
                                   << u" ( (tf.FSYSN <= 7) ) "_qs << QStringList() << QDate();

    // Quotes are doubled wherever a text is written.
    QTest::newRow("quote equal") << QStringList{u"||序列号|等于|O'Brien|"_qs}
                                 << u" ( (tf.FSERIALNUM = 'O''Brien') ) "_qs
                                 << QStringList{u"序列号 等于 O'Brien"_qs,
                                                u"序列号 Equal to O'Brien"_qs}
                                 << QDate();
    QTest::newRow("quote contains")
        << QStringList{u"||序列号|包含|O'Brien|"_qs}
        << u" ( (tf.FSERIALNUM Like '%O''Brien%') ) "_qs << QStringList() << QDate();
    QTest::newRow("quote own pattern")
        << QStringList{u"||序列号|不包含|O'B%|"_qs} << u" ( (tf.FSERIALNUM Not Like 'O''B%') ) "_qs
        << QStringList() << QDate();
    QTest::newRow("only quotes") << QStringList{u"||物料|不等于|''|"_qs}
                                 << u" ( (t_FITEM.FName <> '''''') ) "_qs << QStringList()
                                 << QDate();

    // Column expressions and text kinds.
    QTest::newRow("look-up field")
        << QStringList{u"||物料|大于|M1|"_qs} << u" ( (t_FITEM.FName > 'M1') ) "_qs << QStringList()
        << QDate();
    QTest::newRow("sub-message field")
        << QStringList{u"||等级|小于|A|"_qs} << u" ( (t_FSUB.FName < 'A') ) "_qs << QStringList()
        << QDate();
    QTest::newRow("date field") << QStringList{u"||日期|等于|2026-01-02|"_qs}
                                << u" ( (tf.FDATE = '2026-01-02') ) "_qs << QStringList()
                                << QDate();
    QTest::newRow("system text") << QStringList{u"||系统文本|包含|x|"_qs}
                                 << u" ( (tf.FSYST Like '%x%') ) "_qs << QStringList() << QDate();
    QTest::newRow("number kept as text on text field")
        << QStringList{u"||序列号|等于|12.50kg|"_qs} << u" ( (tf.FSERIALNUM = '12.50kg') ) "_qs
        << QStringList() << QDate();

    // Empty tests, by field type.
    QTest::newRow("empty text") << QStringList{u"||序列号|为空||"_qs}
                                << u" ( ((tf.FSERIALNUM Is null or tf.FSERIALNUM='' or "
                                   u"tf.FSERIALNUM='*')) ) "_qs
                                << QStringList() << QDate();
    QTest::newRow("empty sub-message") << QStringList{u"||等级|为空||"_qs}
                                       << u" ( ((t_FSUB.FName Is null or t_FSUB.FName='' or "
                                          u"t_FSUB.FName='*')) ) "_qs
                                       << QStringList() << QDate();
    QTest::newRow("empty date") << QStringList{u"||日期|为空||"_qs}
                                << u" ( ((tf.FDATE Is null or tf.FDATE='')) ) "_qs << QStringList()
                                << QDate();
    QTest::newRow("empty system number")
        << QStringList{u"||系统数|为空||"_qs} << u" ( ((tf.FSYSN Is null or tf.FSYSN='')) ) "_qs
        << QStringList() << QDate();
    QTest::newRow("empty system text")
        << QStringList{u"||系统文本|为空||"_qs} << u" ( ((tf.FSYST Is null or tf.FSYST='')) ) "_qs
        << QStringList() << QDate();
    QTest::newRow("empty number ignores value")
        << QStringList{u"||数量|为空|5'|"_qs} << u" ( ((tf.FQTY Is null or tf.FQTY=0)) ) "_qs
        << QStringList{u"数量 为空"_qs, u"数量 Is empty"_qs} << QDate();
    QTest::newRow("not empty text") << QStringList{u"||序列号|不为空||"_qs}
                                    << u" ( ((tf.FSERIALNUM Is not null and tf.FSERIALNUM<>'' "
                                       u"and tf.FSERIALNUM<>'*')) ) "_qs
                                    << QStringList() << QDate();
    QTest::newRow("not empty look-up") << QStringList{u"||物料|不为空|x|"_qs}
                                       << u" ( ((t_FITEM.FName Is not null and t_FITEM.FName<>'' "
                                          u"and t_FITEM.FName<>'*')) ) "_qs
                                       << QStringList() << QDate();
    QTest::newRow("not empty system number")
        << QStringList{u"||系统数|不为空||"_qs}
        << u" ( ((tf.FSYSN Is not null and tf.FSYSN<>'' )) ) "_qs << QStringList() << QDate();
    QTest::newRow("not empty number")
        << QStringList{u"||数量|不为空||"_qs} << u" ( ((tf.FQTY Is not null and tf.FQTY<>0)) ) "_qs
        << QStringList() << QDate();

    // Joining rows: each piece brings its blank, a text value its trailing one.
    QTest::newRow("and after text")
        << QStringList{u"||序列号|等于|A|"_qs, u"并且||数量|大于|1|"_qs}
        << u" ( (tf.FSERIALNUM = 'A'   And  tf.FQTY > 1) ) "_qs << QStringList() << QDate();
    QTest::newRow("pattern keeps its trailing blank")
        << QStringList{u"||序列号|包含|A|"_qs, u"并且||数量|大于|1|"_qs}
        << u" ( (tf.FSERIALNUM Like '%A%'   And  tf.FQTY > 1) ) "_qs << QStringList() << QDate();
    QTest::newRow("nested parentheses")
        << QStringList{u"|((|序列号|等于|A|"_qs, u"或者||数量|大于|1|)"_qs,
                       u"并且||日期|等于|2026-01-02|)"_qs}
        << u" ( ((( tf.FSERIALNUM = 'A'   Or  tf.FQTY > 1 ) And  tf.FDATE = '2026-01-02'  )) ) "_qs
        << QStringList{u"((序列号 等于 A 或者 数量 大于 1) 并且 日期 等于 2026-01-02)"_qs,
                       u"((序列号 Equal to A Or 数量 Greater than 1) And 日期 Equal to 2026-01-02)"_qs}
        << QDate();
    QTest::newRow("double parentheses on one row")
        << QStringList{u"|((|数量|等于|1|))"_qs} << u" ( ((( tf.FQTY = 1 ))) ) "_qs << QStringList()
        << QDate();
    QTest::newRow("trailing rows without a field are not read")
        << QStringList{u"||序列号|等于|A|"_qs, u"|||||"_qs, u"并且|(||等于|1|"_qs}
        << u" ( (tf.FSERIALNUM = 'A') ) "_qs
        << QStringList{u"序列号 等于 A"_qs, u"序列号 Equal to A"_qs} << QDate();
    QTest::newRow("row 1's logic is never read")
        << QStringList{u"或者||数量|等于|1|"_qs} << u" ( (tf.FQTY = 1) ) "_qs
        << QStringList{u"数量 等于 1"_qs, u"数量 Equal to 1"_qs} << QDate();
    // Relative dates compare as the days they mean on the day of composing, and keep their
    // word in the words and in the stored text. Weeks start on Monday.
    const auto dated = [](const char *name, const QString &row, QDate asOf, const QString &expected,
                          const QString &zh, const QString &en) {
        QTest::newRow(name) << QStringList{row} << expected << QStringList{zh, en} << asOf;
    };
    const QDate tuesday(2026, 12, 8);
    dated("this month", u"||日期|等于|本月|"_qs, tuesday,
          u" ( ((tf.FDATE >= '2026-12-01' And tf.FDATE < '2027-01-01')) ) "_qs,
          u"日期 等于 本月"_qs, u"日期 Equal to this month"_qs);
    dated("after this month, in English", u"||日期|大于|This Month|"_qs, tuesday,
          u" ( (tf.FDATE >= '2027-01-01') ) "_qs, u"日期 大于 本月"_qs,
          u"日期 Greater than this month"_qs);
    dated("up to last week, on a Monday", u"||日期|小于或等于|上周|"_qs, QDate(2026, 12, 7),
          u" ( (tf.FDATE < '2026-12-07') ) "_qs, u"日期 小于或等于 上周"_qs,
          u"日期 Less than or equal to last week"_qs);
    dated("this week, on a Sunday", u"||日期|等于|本周|"_qs, QDate(2026, 12, 13),
          u" ( ((tf.FDATE >= '2026-12-07' And tf.FDATE < '2026-12-14')) ) "_qs,
          u"日期 等于 本周"_qs, u"日期 Equal to this week"_qs);
    dated("not last month, on the first of a year", u"||日期|不等于|上月|"_qs, QDate(2027, 1, 1),
          u" ( ((tf.FDATE < '2026-12-01' Or tf.FDATE >= '2027-01-01')) ) "_qs,
          u"日期 不等于 上月"_qs, u"日期 Not equal to last month"_qs);
    dated("last quarter, at a quarter's end", u"||日期|大于或等于|上季度|"_qs, QDate(2026, 9, 30),
          u" ( (tf.FDATE >= '2026-04-01') ) "_qs, u"日期 大于或等于 上季度"_qs,
          u"日期 Greater than or equal to last quarter"_qs);
    dated("this quarter, at a year's end", u"||日期|小于|本季度|"_qs, QDate(2026, 12, 31),
          u" ( (tf.FDATE < '2026-10-01') ) "_qs, u"日期 小于 本季度"_qs,
          u"日期 Less than this quarter"_qs);
    dated("last year, at the end of February", u"||日期|等于|上年|"_qs, QDate(2028, 2, 29),
          u" ( ((tf.FDATE >= '2027-01-01' And tf.FDATE < '2028-01-01')) ) "_qs,
          u"日期 等于 上年"_qs, u"日期 Equal to last year"_qs);
    dated("last 7 days take today", u"||日期|等于|过去7天|"_qs, QDate(2026, 3, 2),
          u" ( ((tf.FDATE >= '2026-02-24' And tf.FDATE < '2026-03-03')) ) "_qs,
          u"日期 等于 过去7天"_qs, u"日期 Equal to last 7 days"_qs);
    dated("next 30 days, in English", u"||日期|等于|next 30 days|"_qs, tuesday,
          u" ( ((tf.FDATE >= '2026-12-08' And tf.FDATE < '2027-01-07')) ) "_qs,
          u"日期 等于 未来30天"_qs, u"日期 Equal to next 30 days"_qs);
    dated("yesterday on the first of a month", u"||日期|等于|昨天|"_qs, QDate(2026, 3, 1),
          u" ( ((tf.FDATE >= '2026-02-28' And tf.FDATE < '2026-03-01')) ) "_qs,
          u"日期 等于 昨天"_qs, u"日期 Equal to yesterday"_qs);
    // Only a date field reads the word; a count of no days is no word.
    dated("a text field keeps the word", u"||序列号|等于|今天|"_qs, tuesday,
          u" ( (tf.FSERIALNUM = '今天') ) "_qs, u"序列号 等于 今天"_qs, u"序列号 Equal to 今天"_qs);
    dated("the most days a count takes", u"||日期|等于|过去36600天|"_qs, tuesday,
          u" ( ((tf.FDATE >= '1926-09-25' And tf.FDATE < '2026-12-09')) ) "_qs,
          u"日期 等于 过去36600天"_qs, u"日期 Equal to last 36600 days"_qs);
    dated("contains leaves the word", u"||日期|包含|今天|"_qs, tuesday,
          u" ( (tf.FDATE Like '%今天%') ) "_qs, u"日期 包含 今天"_qs, u"日期 Contains 今天"_qs);
    // A field compared with a field: the two columns, the other found by its identifier
    // under any caption. These rows are composed with o'neil as the current user.
    dated("a number with a number field", u"||数量|大于|系统数||value=field;valuefield=6"_qs,
          tuesday, u" ( (tf.FQTY > tf.FSYSN) ) "_qs, u"数量 大于 【系统数】"_qs,
          u"数量 Greater than [系统数]"_qs);
    dated("a text with a look-up, under another caption",
          u"||序列号|不等于|Item||value=field;valuefield=2"_qs, tuesday,
          u" ( (tf.FSERIALNUM <> t_FITEM.FName) ) "_qs, u"序列号 不等于 【物料】"_qs,
          u"序列号 Not equal to [物料]"_qs);
    dated("the current user", u"||序列号|等于|当前用户|"_qs, tuesday,
          u" ( (tf.FSERIALNUM = 'o''neil') ) "_qs, u"序列号 等于 当前用户"_qs,
          u"序列号 Equal to current user"_qs);
    dated("the current user in English, contained in a look-up", u"||物料|包含| Current User|"_qs,
          tuesday, u" ( (t_FITEM.FName Like '%o''neil%') ) "_qs, u"物料 包含 当前用户"_qs,
          u"物料 Contains current user"_qs);
    dated("a number field keeps the word", u"||数量|等于|当前用户|"_qs, tuesday,
          u" ( (tf.FQTY = 0) ) "_qs, u"数量 等于 当前用户"_qs, u"数量 Equal to 当前用户"_qs);
}

void tst_SqlBuilder::serialConditions()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, expected);
    QFETCH(QStringList, words);
    QFETCH(QDate, asOf);
    if (asOf.isValid()) {
        SqlForm form;
        form.asOf = asOf;
        form.currentUser = u"o'neil"_qs;
        QCOMPARE(composeDirect(true, {}, {}, rows, form).text, expected);
        QCOMPARE(composeHeadless(true, {}, {}, rows, asOf, Qt::Monday, form.currentUser).sql,
                 expected);
        QCOMPARE(composeDirect(true, {}, {}, rows, SqlForm::words()).text, words.at(0));
        QCOMPARE(composeDirect(true, {}, {}, rows, SqlForm::words(u"en"_qs)).text, words.at(1));
        // Stored in the saver's language, read back in any.
        const FieldCatalog catalog = catalogFor(true, {}, {});
        readsBack(catalog, words.at(0), form, expected);
        readsBack(catalog, words.at(1), form, expected, u"en"_qs);
        const Condition read = SchemeText::parse(schemeText(rows), catalog).condition;
        const QString english = SchemeText::write(read, catalog, u"en"_qs);
        const Condition again = SchemeText::parse(english, catalog).condition;
        QCOMPARE(compose(catalog, again, form).text, expected);
        QCOMPARE(again.at(0).value.kind(), read.at(0).value.kind());
        // A first day that names no day of the week is Monday, however it comes in: taken as
        // it is, it would start the weeks on another day, even in the future. (0 is the one
        // such value the enumeration can hold without undefined behaviour.)
        SqlForm odd = form;
        odd.firstDayOfWeek = Qt::DayOfWeek(0);
        QCOMPARE(composeDirect(true, {}, {}, rows, odd).text, expected);
        QCOMPARE(composeHeadless(true, {}, {}, rows, asOf, Qt::DayOfWeek(0), form.currentUser).sql,
                 expected);
        return;
    }
    Fixture f(Mode::Serial);
    f.setRows(rows);
    QCOMPARE(SqlBuilder::compose(f.grid), expected);
    compareBound(f.grid, expected);
    QCOMPARE(composeHeadless(true, {}, {}, rows).sql, expected);
    QCOMPARE(composeDirect(true, {}, {}, rows).text, expected);
    // The stored text reads and writes back byte for byte (the dialog writes no empty text).
    const FieldCatalog catalog = catalogFor(true, {}, {});
    const QString stored = schemeText(rows);
    if (!rows.isEmpty()) {
        const Condition read = SchemeText::parse(stored, catalog).condition;
        const QString written = SchemeText::write(read, catalog);
        QCOMPARE(SchemeText::parse(written, catalog).condition, read);
        QCOMPARE(SchemeText::write(SchemeText::parse(written, catalog).condition, catalog),
                 written);
    }
    if (words.isEmpty())
        return;
    QCOMPARE(SqlBuilder::conditionText(f.grid), words.at(0));
    QCOMPARE(composeDirect(true, {}, {}, rows, SqlForm::words()).text, words.at(0));
    QCOMPARE(composeDirect(true, {}, {}, rows, SqlForm::words(u"en"_qs)).text, words.at(1));
    readsBack(catalog, words.at(0), SqlForm::text(), expected);
    readsBack(catalog, words.at(1), SqlForm::text(), expected, u"en"_qs);

    // In English the lists offer English words: the same rows read in them, same condition.
    ContextStore::setPropsString(u"LANGUAGE=en;"_qs);
    Language::reload();
    const auto chinese = qScopeGuard([] {
        ContextStore::clear();
        Language::reload();
    });
    QStringList english;
    for (const QString &row : rows) {
        QStringList cells = row.split(u'|');
        for (int i : {0, 3}) // logic and comparison
            cells[i] = Language::text(cells.at(i));
        english << cells.join(u'|');
    }
    Fixture en(Mode::Serial);
    en.setRows(english);
    QCOMPARE(SqlBuilder::conditionText(en.grid), words.at(1));
    QCOMPARE(SqlBuilder::compose(en.grid), expected);
}

void tst_SqlBuilder::typedConditions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // FilterSQL; null when the text does not read
    QTest::addColumn<int>("position");     // where reading stopped
    QTest::addColumn<int>("wanted");       // ConditionTextFailure::Expected
    using E = ConditionTextFailure::Expected;
    const auto reads = [](const char *tag, const QString &text, const QString &sql) {
        QTest::newRow(tag) << text << sql << -1 << -1;
    };
    const auto stops = [](const char *tag, const QString &text, int position, E wanted) {
        QTest::newRow(tag) << text << QString() << position << int(wanted);
    };
    reads("nothing but blanks", u" \u3000 "_qs, u""_qs);
    reads("no blanks between Chinese words", u"数量大于50并且序列号包含SN"_qs,
          u" ( (tf.FQTY > 50  And  tf.FSERIALNUM Like '%SN%') ) "_qs);
    reads("both languages, letter case and full-width parentheses",
          u"（数量 greater THAN 5 or 序列号 为空）"_qs,
          u" ( (( tf.FQTY > 5  Or  (tf.FSERIALNUM Is null or tf.FSERIALNUM='' or "
          u"tf.FSERIALNUM='*') )) ) "_qs);
    reads("quotes of both kinds, doubled inside",
          u"序列号 等于 「a」」b」 或者 序列号 等于 \"c\"\"d\""_qs,
          u" ( (tf.FSERIALNUM = 'a」b'   Or  tf.FSERIALNUM = 'c\"d') ) "_qs);
    reads("a list with quoted pieces and full-width commas", u"序列号 包括 a，「b c」, d"_qs,
          u" ( (tf.FSERIALNUM In ('a','b c','d')) ) "_qs);
    reads("a date typed as the grid takes it", u"日期 大于 2024/1/5"_qs,
          u" ( (tf.FDATE > '2024-01-05') ) "_qs);
    reads("a row in parentheses", u"(数量 大于 1)"_qs, u" ( (( tf.FQTY > 1 )) ) "_qs);
    stops("a field the list lacks", u"重量 大于 1"_qs, 0, E::Field);
    stops("no comparison", u"数量 50"_qs, 3, E::Compare);
    stops("no logic word between rows", u"数量 大于 1 数量 小于 5"_qs, 8, E::Logic);
    stops("a logic word where the value belongs", u"数量 等于 并且 序列号 为空"_qs, 6, E::Value);
    stops("nothing after the comparison", u"数量 等于 "_qs, 6, E::Value);
    stops("an impossible day", u"日期 等于 2024-02-30"_qs, 6, E::Value);
    stops("a quote that does not end", u"序列号 等于 「ab"_qs, 7, E::QuoteEnd);
    reads("a list piece beginning with a logic word", u"序列号 包括 「And中」, b"_qs,
          u" ( (tf.FSERIALNUM In ('And中','b')) ) "_qs);
    stops("a quoted list piece holding the list's comma", u"序列号 包括 「B, 2」"_qs, 7, E::Value);
    stops("another field the list lacks", u"数量 大于 【重量】"_qs, 6, E::Value);
    stops("a parenthesis closed before a row", u")数量 大于 1"_qs, 0, E::Field);
}

void tst_SqlBuilder::typedConditions()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(int, position);
    QFETCH(int, wanted);
    const FieldCatalog catalog = catalogFor(true, {}, {});
    const ConditionTextRead read = ConditionText::parse(catalog, text);
    if (expected.isNull()) {
        QVERIFY(!read.ok());
        QVERIFY(read.condition.isEmpty());
        QCOMPARE(read.failure->position, position);
        QCOMPARE(int(read.failure->expected), wanted);
        QVERIFY2(read.failure->message().startsWith(u"第%1个字符："_qs.arg(position + 1)),
                 qPrintable(read.failure->message()));
        if (wanted == int(ConditionTextFailure::Expected::Compare)) {
            QCOMPARE(read.failure->message(), u"第4个字符：这里需要比较方式，例如 等于"_qs);
            QCOMPARE(read.failure->message(u"en"_qs),
                     u"Character 4: a comparison is needed here, for example Equal to"_qs);
        }
        return;
    }
    QVERIFY2(read.ok(), qPrintable(read.ok() ? QString() : read.failure->message()));
    QCOMPARE(compose(catalog, read.condition).text, expected);
    // What the words write reads back to the same condition, in either language.
    for (const QString &language : {QString(), u"en"_qs}) {
        const QString words = compose(catalog, read.condition, SqlForm::words(language)).text;
        QCOMPARE(ConditionText::parse(catalog, words).condition, read.condition);
    }
}

void tst_SqlBuilder::completion_data()
{
    using E = ConditionTextFailure::Expected;
    using K = TextCompletion::Offer::Kind;
    QTest::addColumn<QString>("typed"); // up to the cursor
    QTest::addColumn<int>("expected");  // where the reader stopped: -1 when it read all
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("compare");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<bool>("lookUp");
    const int none = int(CompareOp::None), equal = int(CompareOp::Equal);
    QTest::newRow("fields after (")
        << u"("_qs << int(E::Field) << 1 << -1 << none << int(K::Fields)
        << QStringList{u"序列号"_qs, u"物料"_qs,   u"数量"_qs,    u"日期"_qs,
                       u"等级"_qs,   u"系统数"_qs, u"系统文本"_qs}
        << false;
    QTest::newRow("fields that hold the part typed, as the field cell finds them")
        << u"数量 大于 5 并且 系统"_qs << int(E::Field) << 11 << -1 << none << int(K::Fields)
        << QStringList{u"系统数"_qs, u"系统文本"_qs} << false;
    QTest::newRow("comparisons after a field")
        << u"数量 不"_qs << int(E::Compare) << 3 << 3 << none << int(K::Compares)
        << QStringList{u"不等于"_qs, u"不包含"_qs, u"不为空"_qs, u"不包括"_qs} << false;
    QTest::newRow("a date's relative words")
        << u"日期 大于 过去"_qs << int(E::Value) << 6 << 4 << int(CompareOp::Greater)
        << int(K::Values) << QStringList{u"过去7天"_qs, u"过去30天"_qs} << false;
    QTest::newRow("a date pattern takes no relative word")
        << u"日期 包含 "_qs << int(E::Value) << 6 << 4 << int(CompareOp::Contains) << int(K::Values)
        << QStringList{} << false;
    QTest::newRow("a look-up field offers its look-up")
        << u"物料 等于 "_qs << int(E::Value) << 6 << 2 << equal << int(K::Values)
        << QStringList{u"当前用户"_qs} << true;
    QTest::newRow("an empty test takes no value")
        << u"物料 为空 "_qs << int(E::Value) << 6 << 2 << int(CompareOp::IsEmpty) << int(K::Values)
        << QStringList{} << false;
    QTest::newRow("a whole row and a blank: the logic words")
        << u"数量 大于 5 "_qs << -1 << 0 << -1 << none << int(K::Logic)
        << QStringList{u"并且"_qs, u"或者"_qs} << false;
    QTest::newRow("a whole row without a blank: nothing yet")
        << u"数量 大于 5"_qs << -1 << 0 << -1 << none << int(K::None) << QStringList{} << false;
}

// Completion offers what the reader wanted where it stopped, found by the word begun.
void tst_SqlBuilder::completion()
{
    QFETCH(QString, typed);
    QFETCH(int, expected);
    QFETCH(int, position);
    QFETCH(int, field);
    QFETCH(int, compare);
    QFETCH(int, kind);
    QFETCH(QStringList, words);
    QFETCH(bool, lookUp);
    const FieldCatalog catalog =
        FieldCatalog::fromSerialDescription(Testing::standardSerialDescription());
    ConditionTextRead read;
    if (expected >= 0) {
        ConditionTextFailure failure;
        failure.expected = ConditionTextFailure::Expected(expected);
        failure.position = position;
        failure.field = field;
        failure.compare = CompareOp(compare);
        read.failure = failure;
    }
    const TextCompletion::Offer offer = TextCompletion::offer(catalog, typed, read);
    QCOMPARE(int(offer.kind), kind);
    QCOMPARE(offer.words, words);
    QCOMPARE(offer.lookUp, lookUp);
    if (kind != int(TextCompletion::Offer::Kind::None))
        QCOMPARE(offer.from, expected >= 0 ? qsizetype(position) : typed.size());
}

void tst_SqlBuilder::commonConditions_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("expected");

    const QString check = QStringLiteral("StorageCheck");
    const QString other = QStringLiteral("Items");
    // Worked examples.
    QTest::newRow("storage check empty number")
        << check << QStringList{u"||数量|为空||"_qs} << u" ( ((t1.FQty=0)) ) "_qs;
    QTest::newRow("empty number") << other << QStringList{u"||数量|为空||"_qs}
                                  << u" ( ((t1.FQty Is null or t1.FQty=0)) ) "_qs;
    QTest::newRow("not empty text") << other << QStringList{u"||名称|不为空||"_qs}
                                    << u" ( ((t1.FName Is not null and t1.FName <> '' )) ) "_qs;

    // The storage check forms, in any letter case.
    QTest::newRow("storage check empty text")
        << u"STORAGECHECK"_qs << QStringList{u"||名称|为空||"_qs} << u" ( ((t1.FName='')) ) "_qs;
    QTest::newRow("storage check not empty text")
        << u"storagecheck"_qs << QStringList{u"||代码|不为空||"_qs} << u" ( ((t1.FCode<>'')) ) "_qs;
    QTest::newRow("storage check not empty number")
        << check << QStringList{u"||比率|不为空||"_qs} << u" ( ((t1.FRate<>0)) ) "_qs;
    QTest::newRow("storage check plain comparison unchanged")
        << check << QStringList{u"||数量|等于|2|"_qs} << u" ( (t1.FQty = 2) ) "_qs;
    // A screen the host gives, even an empty one, comes before the description's.
    QTest::newRow("empty screen, not the description's")
        << u""_qs << QStringList{u"||名称|为空||"_qs}
        << u" ( ((t1.FName Is null or t1.FName='')) ) "_qs;
    QTest::newRow("storage check near miss")
        << u"StorageCheck2"_qs << QStringList{u"||数量|为空||"_qs}
        << u" ( ((t1.FQty Is null or t1.FQty=0)) ) "_qs;

    // Other screens.
    QTest::newRow("empty character type 129") << other << QStringList{u"||代码|为空||"_qs}
                                              << u" ( ((t1.FCode Is null or t1.FCode='')) ) "_qs;
    QTest::newRow("empty other type") << other << QStringList{u"||比率|为空||"_qs}
                                      << u" ( ((t1.FRate Is null or t1.FRate=0)) ) "_qs;
    QTest::newRow("not empty number") << other << QStringList{u"||数量|不为空||"_qs}
                                      << u" ( ((t1.FQty Is not null and t1.FQty <> 0 )) ) "_qs;

    // Patterns carry no trailing blank in common mode.
    QTest::newRow("pattern then row")
        << other << QStringList{u"||名称|包含|A|"_qs, u"并且||数量|等于|1|"_qs}
        << u" ( (t1.FName Like '%A%'  And  t1.FQty = 1) ) "_qs;
    QTest::newRow("own pattern then row")
        << other << QStringList{u"||名称|不包含|A_1|"_qs, u"或者||数量|等于|1|"_qs}
        << u" ( (t1.FName Not Like 'A_1'  Or  t1.FQty = 1) ) "_qs;
    QTest::newRow("pattern quote")
        << other << QStringList{u"||代码|包含|O'B|"_qs} << u" ( (t1.FCode Like '%O''B%') ) "_qs;
    QTest::newRow("contains number")
        << other << QStringList{u"||数量|包含|5kg|"_qs} << u" ( (t1.FQty Like 5) ) "_qs;

    // Plain comparisons.
    QTest::newRow("text quote") << other << QStringList{u"||名称|等于|O'Brien|"_qs}
                                << u" ( (t1.FName = 'O''Brien') ) "_qs;
    QTest::newRow("number") << other << QStringList{u"||数量|大于或等于|12.50kg|"_qs}
                            << u" ( (t1.FQty >= 12.5) ) "_qs;
    QTest::newRow("other type is a number")
        << other << QStringList{u"||比率|小于|x|"_qs} << u" ( (t1.FRate < 0) ) "_qs;
    QTest::newRow("text then row")
        << other << QStringList{u"||仓库|等于|W|"_qs, u"并且||数量|等于|1|"_qs}
        << u" ( (t1.FStock = 'W'   And  t1.FQty = 1) ) "_qs;
}

void tst_SqlBuilder::commonConditions()
{
    QFETCH(QString, screen);
    QFETCH(QStringList, rows);
    QFETCH(QString, expected);
    Fixture f(Mode::Common, screen);
    f.setRows(rows);
    QCOMPARE(SqlBuilder::compose(f.grid), expected);
    compareBound(f.grid, expected);
    QCOMPARE(composeHeadless(false, screen, {}, rows).sql, expected);
    QCOMPARE(composeDirect(false, screen, {}, rows).text, expected);
    // Without a screen of the host's the description's own is used; with one, that one.
    QCOMPARE(ConditionComposer::forCommonFields(standardCommonValues(screen), QString())
                 .compose(schemeText(rows))
                 .sql,
             expected);
    QCOMPARE(ConditionComposer::forCommonFields(standardCommonValues(u"STORAGECHECK"_qs), screen)
                 .compose(schemeText(rows))
                 .sql,
             expected);
}

void tst_SqlBuilder::valueLists_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("expected");
    // The bound forms hold one value whatever the list's length: SQLite's JSON array and
    // PostgreSQL's array literal.
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("array");

    QTest::newRow("texts") << true << u"||序列号|包括|A,B|"_qs
                           << u" ( (tf.FSERIALNUM In ('A','B')) ) "_qs << u"[\"A\",\"B\"]"_qs
                           << u"{\"A\",\"B\"}"_qs;
    QTest::newRow("pieces keep blanks")
        << true << u"||序列号|包括|A, B ,|"_qs << u" ( (tf.FSERIALNUM In ('A',' B ','')) ) "_qs
        << u"[\"A\",\" B \",\"\"]"_qs << u"{\"A\",\" B \",\"\"}"_qs;
    QTest::newRow("no text pieces")
        << true << u"||物料|不包括||"_qs << u" ( (t_FITEM.FName Not In ('')) ) "_qs << u"[\"\"]"_qs
        << u"{\"\"}"_qs;
    QTest::newRow("text quote") << true << u"||等级|包括|O'B,C|"_qs
                                << u" ( (t_FSUB.FName In ('O''B','C')) ) "_qs
                                << u"[\"O'B\",\"C\"]"_qs << u"{\"O'B\",\"C\"}"_qs;
    QTest::newRow("array and JSON quotes")
        << true << u"||序列号|包括|a\"b\\c,{x}\u0001|"_qs
        << u" ( (tf.FSERIALNUM In ('a\"b\\c','{x}\u0001')) ) "_qs
        << u"[\"a\\\"b\\\\c\",\"{x}\\u0001\"]"_qs << u"{\"a\\\"b\\\\c\",\"{x}\u0001\"}"_qs;
    QTest::newRow("numbers") << true << u"||数量|包括|1,2.50,x|"_qs
                             << u" ( (tf.FQTY In (1,2.5,0)) ) "_qs << u"[1,2.5,0]"_qs
                             << u"{1,2.5,0}"_qs;
    QTest::newRow("empty number pieces")
        << true << u"||数量|包括|,,3,|"_qs << u" ( (tf.FQTY In (0,0,3,0)) ) "_qs << u"[0,0,3,0]"_qs
        << u"{0,0,3,0}"_qs;
    QTest::newRow("no number pieces") << true << u"||系统数|不包括||"_qs
                                      << u" ( (tf.FSYSN Not In ()) ) "_qs << u"[]"_qs << u"{}"_qs;
    QTest::newRow("system text") << true << u"||系统文本|包括|1|"_qs
                                 << u" ( (tf.FSYST In ('1')) ) "_qs << u"[\"1\"]"_qs
                                 << u"{\"1\"}"_qs;
    QTest::newRow("common character type")
        << false << u"||代码|包括|a,b|"_qs << u" ( (t1.FCode In ('a','b')) ) "_qs
        << u"[\"a\",\"b\"]"_qs << u"{\"a\",\"b\"}"_qs;
    QTest::newRow("common number")
        << false << u"||数量|不包括|1,2|"_qs << u" ( (t1.FQty Not In (1,2)) ) "_qs << u"[1,2]"_qs
        << u"{1,2}"_qs;
    // Any other type takes numbers, as everywhere else; no list would leave "In" dangling.
    QTest::newRow("common other type")
        << false << u"||比率|包括|1.5,x|"_qs << u" ( (t1.FRate In (1.5,0)) ) "_qs << u"[1.5,0]"_qs
        << u"{1.5,0}"_qs;
}

void tst_SqlBuilder::valueLists()
{
    QFETCH(bool, serial);
    QFETCH(QString, row);
    QFETCH(QString, expected);
    QFETCH(QString, json);
    QFETCH(QString, array);
    // A stored text with the list words composes: they are items of the comparison list.
    Fixture f(serial ? Mode::Serial : Mode::Common);
    f.setRows({row});
    QCOMPARE(SqlBuilder::compose(f.grid), expected);
    QCOMPARE(composeDirect(serial, u"Items"_qs, {}, {row}).text, expected);

    const bool notIn = row.contains(u"不包括"_qs);
    const qsizetype list = expected.indexOf(notIn ? u" Not In ("_qs : u" In ("_qs);
    const QString column = expected.first(list);
    const BoundCondition sqlite = SqlBuilder::composeBound(f.grid);
    QCOMPARE(sqlite.sql, column + (notIn ? u" Not In"_qs : u" In"_qs) +
                             u" (SELECT value FROM json_each(?))) ) "_qs);
    QCOMPARE(sqlite.values, QVariantList{json});
    const BoundCondition pg =
        SqlBuilder::composeBound(f.grid, SqlEngine::PostgreSQL, Placeholders::Dollar);
    QCOMPARE(pg.sql, column + (notIn ? u" <> ALL($1)) ) "_qs : u" = ANY($1)) ) "_qs));
    QCOMPARE(pg.values, QVariantList{array});
}

void tst_SqlBuilder::engineForms_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("expected"); // PostgreSQL, "$n"
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<KeyedValuesPtr>("description"); // null: the standard one

    const QString items = QStringLiteral("Items");
    const QString empty = QStringLiteral("");
    const KeyedValuesPtr standard;
    // Like on a number or date column reads it as text; a backslash is no escape.
    QTest::newRow("contains number")
        << true << items << QStringList{u"||数量|包含|5kg|"_qs}
        << u" ( (CAST(tf.FQTY AS TEXT) COLLATE \"C\" ILike $1 ESCAPE $2) ) "_qs
        << QVariantList{qint64(5), empty} << standard;
    QTest::newRow("not contains date")
        << true << items << QStringList{u"||日期|不包含|2026|"_qs}
        << u" ( (CAST(tf.FDATE AS TEXT) COLLATE \"C\" Not ILike $1 ESCAPE $2) ) "_qs
        << QVariantList{u"%2026%"_qs, empty} << standard;
    QTest::newRow("contains system number")
        << true << items << QStringList{u"||系统数|包含|1.5|"_qs}
        << u" ( (CAST(tf.FSYSN AS TEXT) COLLATE \"C\" ILike $1 ESCAPE $2) ) "_qs
        << QVariantList{1.5, empty} << standard;
    QTest::newRow("contains text keeps the column")
        << true << items << QStringList{u"||序列号|包含|\\'|"_qs}
        << u" ( (tf.FSERIALNUM COLLATE \"C\" ILike $1 ESCAPE $2) ) "_qs
        << QVariantList{u"%\\'%"_qs, empty} << standard;
    QTest::newRow("common contains number")
        << false << items << QStringList{u"||比率|包含|2|"_qs, u"并且||名称|包含|a_|"_qs}
        << u" ( (CAST(t1.FRate AS TEXT) COLLATE \"C\" ILike $1 ESCAPE $2  And  t1.FName COLLATE \"C\" ILike $3 ESCAPE $4) ) "_qs
        << QVariantList{qint64(2), empty, u"a_"_qs, empty} << standard;
    // A date or a number column holds no '': the empty tests are the null tests.
    QTest::newRow("empty date") << true << items << QStringList{u"||日期|为空||"_qs}
                                << u" ( ((tf.FDATE Is null)) ) "_qs << QVariantList{} << standard;
    QTest::newRow("not empty system number")
        << true << items << QStringList{u"||系统数|不为空||"_qs}
        << u" ( ((tf.FSYSN Is not null)) ) "_qs << QVariantList{} << standard;
    QTest::newRow("not empty system text keeps ''")
        << true << items << QStringList{u"||系统文本|不为空||"_qs}
        << u" ( ((tf.FSYST Is not null and tf.FSYST<>$1 )) ) "_qs << QVariantList{empty}
        << standard;
    QTest::newRow("empty number keeps 0")
        << true << items << QStringList{u"||数量|为空||"_qs, u"或者||序列号|不为空||"_qs}
        << u" ( ((tf.FQTY Is null or tf.FQTY=$1)  Or  (tf.FSERIALNUM Is not null and "
           u"tf.FSERIALNUM<>$2 and tf.FSERIALNUM<>$3)) ) "_qs
        << QVariantList{qint64(0), empty, u"*"_qs} << standard;
    QTest::newRow("storage check") << false << u"StorageCheck"_qs
                                   << QStringList{u"||数量|为空||"_qs, u"或者||名称|不为空||"_qs}
                                   << u" ( ((t1.FQty=$1)  Or  (t1.FName<>$2)) ) "_qs
                                   << QVariantList{qint64(0), empty} << standard;
    QTest::newRow("whole number beyond a double's precision")
        << false << items << QStringList{u"||数量|等于|9223372036854775807|"_qs}
        << u" ( (t1.FQty = $1) ) "_qs << QVariantList{qint64(9223372036854775807)} << standard;
    // […] is no name on PostgreSQL: written as "…" there, a quote inside doubled.
    QTest::newRow("bracketed column")
        << false << items << QStringList{u"||数量|等于|1|"_qs}
        << u" ( (ISNULL(t1.\"F \"\"Q\"\"\", \"t 2\".x) = $1) ) "_qs << QVariantList{qint64(1)}
        << commonValues({commonField(u"数量"_qs, 3, u"ISNULL(t1.[F \"Q\"], \"t 2\".x)"_qs)}, items);
    QTest::newRow("bracketed serial column")
        << true << items << QStringList{u"||数量|为空||"_qs}
        << u" ( ((tf.\"F QTY\" Is null or tf.\"F QTY\"=$1)) ) "_qs << QVariantList{qint64(0)}
        << serialDescription({serialField(3, u"[F QTY]"_qs, u"数量"_qs, 0, 0)}, {});
    // Names of every length a short copy treats apart, whole in the text.
    QTest::newRow("names short and long")
        << false << items
        << QStringList{u"||甲|等于|a|"_qs,     u"并且||乙|等于|b|"_qs, u"并且||丙|等于|c|"_qs,
                       u"并且||丁|等于|d|"_qs, u"并且||戊|等于|e|"_qs, u"并且||己|等于|f|"_qs}
        << u" ( (abc = $1   And  t1.a = $2   And  t1.FQty = $3   And  t1.FName = $4   And  "
           u"t1.FLongName1234 = $5   And  t1.FLongName12345 = $6) ) "_qs
        << QVariantList{u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs, u"f"_qs}
        << commonValues({commonField(u"甲"_qs, 200, u"abc"_qs),
                         commonField(u"乙"_qs, 200, u"t1.a"_qs),
                         commonField(u"丙"_qs, 200, u"t1.FQty"_qs),
                         commonField(u"丁"_qs, 200, u"t1.FName"_qs),
                         commonField(u"戊"_qs, 200, u"t1.FLongName1234"_qs),
                         commonField(u"己"_qs, 200, u"t1.FLongName12345"_qs)},
                        items);
    // Everything else is the SQLite form.
    QTest::newRow("plain comparisons")
        << true << items
        << QStringList{u"|(|日期|大于|2026-01-02|"_qs, u"或者||数量|小于|1e400|)"_qs}
        << u" ( (( tf.FDATE > $1   Or  tf.FQTY < $2 )) ) "_qs
        << QVariantList{u"2026-01-02"_qs, DBL_MAX} << standard;
}

void tst_SqlBuilder::engineForms()
{
    QFETCH(bool, serial);
    QFETCH(QString, screen);
    QFETCH(QStringList, rows);
    QFETCH(QString, expected);
    QFETCH(QVariantList, values);
    QFETCH(KeyedValuesPtr, description);
    Fixture f(serial ? Mode::Serial : Mode::Common, screen, description);
    f.setRows(rows);
    const BoundCondition bound =
        SqlBuilder::composeBound(f.grid, SqlEngine::PostgreSQL, Placeholders::Dollar);
    QCOMPARE(bound.sql, expected);
    QCOMPARE(bound.values, values);
    for (qsizetype i = 0; i < values.size(); ++i)
        QCOMPARE(bound.values.at(i).typeId(), values.at(i).typeId());
    const Composed direct =
        composeDirect(serial, screen, description, rows,
                      SqlForm::bound(SqlEngine::PostgreSQL, Placeholders::Dollar));
    QCOMPARE(direct.bound(), bound);
    // The host's FilterQuery after OK: the same form, not another engine's.
    const auto alerts = ScriptedAlerts::install();
    QVERIFY(Testing::createSql(f.confirmed, f.grid));
    QCOMPARE(f.confirmed.query(SqlEngine::PostgreSQL, Placeholders::Dollar).bound(), bound);
}

void tst_SqlBuilder::askedValues_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("answers");   // "question=value"
    QTest::addColumn<QStringList>("questions"); // what the dialog asks, in order
    QTest::addColumn<QString>("expected");      // null: refused for want of an answer
    QTest::addColumn<QString>("words");

    QTest::newRow("a text answer, quotes doubled")
        << QStringList{u"||序列号|等于|客户||ask=1"_qs} << QStringList{u"客户=SN'1"_qs}
        << QStringList{u"客户"_qs} << u" ( (tf.FSERIALNUM = 'SN''1') ) "_qs
        << u"序列号 等于 SN'1"_qs;
    QTest::newRow("an empty question is the field's caption")
        << QStringList{u"||序列号|等于|||ask=1"_qs} << QStringList{u"序列号=A"_qs}
        << QStringList{u"序列号"_qs} << u" ( (tf.FSERIALNUM = 'A') ) "_qs << u"序列号 等于 A"_qs;
    QTest::newRow("a number answer read as the field reads it")
        << QStringList{u"||数量|大于|多少||ask=1"_qs} << QStringList{u"多少=12.50kg"_qs}
        << QStringList{u"多少"_qs} << u" ( (tf.FQTY > 12.5) ) "_qs << u"数量 大于 12.50kg"_qs;
    QTest::newRow("a date answer may be a relative date")
        << QStringList{u"||日期|等于|哪天||ask=1"_qs} << QStringList{u"哪天=本月"_qs}
        << QStringList{u"哪天"_qs}
        << u" ( ((tf.FDATE >= '2026-12-01' And tf.FDATE < '2027-01-01')) ) "_qs
        << u"日期 等于 本月"_qs;
    QTest::newRow("one question of two rows, answered once")
        << QStringList{u"|(|序列号|等于|客户||ask=1"_qs, u"或者||序列号|包含|客户|)|ask=1"_qs}
        << QStringList{u"客户=A"_qs} << QStringList{u"客户"_qs}
        << u" ( (( tf.FSERIALNUM = 'A'   Or  tf.FSERIALNUM Like '%A%'  )) ) "_qs
        << u"(序列号 等于 A 或者 序列号 包含 A)"_qs;
    // Neither reads a value: nothing to ask.
    QTest::newRow("an empty test and a row switched off ask nothing")
        << QStringList{u"||序列号|为空|客户||ask=1"_qs, u"或者||数量|大于|多少||off=1;ask=1"_qs}
        << QStringList{} << QStringList{}
        << u" ( ((tf.FSERIALNUM Is null or tf.FSERIALNUM='' or tf.FSERIALNUM='*')) ) "_qs
        << u"序列号 为空"_qs;
    QTest::newRow("unanswered, the words show the question")
        << QStringList{u"||序列号|等于|客户||ask=1"_qs} << QStringList{u"别的=A"_qs}
        << QStringList{u"客户"_qs} << QString() << u"序列号 等于 ？「客户」"_qs;
}

// A scheme asks, the answers take the values' places in every form; a question without an
// answer must never compose as its own text.
void tst_SqlBuilder::askedValues()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, questions);
    QFETCH(QString, expected);
    QFETCH(QString, words);
    Answers given;
    for (const QString &answer : answers)
        given.insert(answer.section(u'=', 0, 0), answer.section(u'=', 1));
    Fixture f(Mode::Serial);
    f.setRows(rows);
    QStringList asked;
    for (const Question &q : Questions::of(f.grid.catalog(), f.grid.condition()))
        asked << q.text;
    QCOMPARE(asked, questions);

    const QDate asOf(2026, 12, 8);
    ConfirmedCondition confirmed;
    const auto failure = SqlBuilder::confirm(confirmed, f.grid, asOf, Qt::Monday, given);
    SqlForm wordsForm = SqlForm::words();
    wordsForm.answers = given;
    QCOMPARE(compose(f.grid.catalog(), f.grid.condition(), wordsForm).text, words);
    if (expected.isNull()) {
        QVERIFY(failure);
        QCOMPARE(failure->reason, ComposeFailure::Reason::Unanswered);
        return;
    }
    QVERIFY(!failure);
    QCOMPARE(confirmed.sql(), expected);
    SqlForm answered;
    answered.asOf = asOf;
    answered.answers = given;
    readsBack(f.grid.catalog(), words, answered, expected);
    QCOMPARE(withLiterals(confirmed.query(SqlEngine::SQLite, Placeholders::QMark).bound()),
             expected);
    QCOMPARE(confirmed.text(), words);
    // Without a window, from the stored text: the same, and the text keeps the questions.
    ConditionComposer composer =
        ConditionComposer::forSerialDescription(standardSerialDescription());
    composer.setAsOf(asOf);
    const ComposedCondition headless = composer.compose(schemeText(rows), given);
    QCOMPARE(headless.sql, expected);
    QCOMPARE(headless.text, words);
    QCOMPARE(composer.questions(schemeText(rows)), questions);
    // A question on a date field is no unknown date to alert of when the scheme loads.
    QVERIFY(SchemeText::parse(schemeText(rows), f.grid.catalog()).problems.isEmpty());
}

void tst_SqlBuilder::columnNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain"); // safe to write into a condition

    QTest::newRow("name") << u"FSERIALNUM"_qs << true;
    // Column expressions of common fields, as hosts write them.
    QTest::newRow("SQL Server null default") << u"ISNULL(t1.FQty,0)"_qs << true;
    QTest::newRow("schema qualified") << u"dbo.t1.FQty"_qs << true;
    QTest::newRow("qualified three times") << u"db.dbo.t1.FQty"_qs << true;
    QTest::newRow("product") << u"t1.FQty*t1.FPrice"_qs << true;
    QTest::newRow("bracketed after a qualifier") << u"t1.[F Qty]"_qs << true;
    QTest::newRow("operators, signs and grouping")
        << u" -(t1.a + 1.5) / 2 % t1.b - -t1.c || \"t 2\".d "_qs << true;
    QTest::newRow("nested calls at the nesting limit")
        << u"COALESCE(NULLIF(ABS(ROUND(t1.a, 2)), 0), t1.b)"_qs << true;
    QTest::newRow("call without arguments beside a column") << u"t1.a + RANDOM()"_qs << true;
    QTest::newRow("longest name") << QString(Limits::MaxColumnNameLength, u'F') << true;
    QTest::newRow("most terms") << QStringList(Limits::MaxColumnTerms, u"t1.a"_qs).join(u'+')
                                << true;
    QTest::newRow("qualified") << u"t1.FQty"_qs << true;
    QTest::newRow("underscore and digits") << u"_F2_x9"_qs << true;
    QTest::newRow("letters of any script") << u"t1.数量"_qs << true;
    QTest::newRow("double quoted") << u"\"Serial No. (old)\""_qs << true;
    QTest::newRow("bracketed") << u"[Serial \"No\"]"_qs << true;

    QTest::newRow("empty") << QString() << false;
    QTest::newRow("widening") << u"FSERIALNUM OR 1=1 OR tf.FSERIALNUM"_qs << false;
    QTest::newRow("blank inside") << u"F A"_qs << false;
    QTest::newRow("two dots") << u"a.b.c"_qs << true;
    QTest::newRow("qualified four times") << u"a.b.c.d.e"_qs << false;
    QTest::newRow("one past the longest name")
        << QString(Limits::MaxColumnNameLength + 1, u'F') << false;
    QTest::newRow("one term too many")
        << QStringList(Limits::MaxColumnTerms + 1, u"t1.a"_qs).join(u'+') << false;
    QTest::newRow("nested one level too deep") << u"f(f(f(f(f(t1.a)))))"_qs << false;
    QTest::newRow("no column: a constant") << u"1+1"_qs << false;
    QTest::newRow("no column: a call") << u"ABS(1)"_qs << false;
    QTest::newRow("string literal") << u"t1.FName||'x'"_qs << false;
    QTest::newRow("block comment") << u"t1.FQty/**/"_qs << false;
    QTest::newRow("line comment after an operator") << u"t1.a--1"_qs << false;
    QTest::newRow("statement end") << u"t1.FQty;DELETE FROM t1"_qs << false;
    QTest::newRow("comparison") << u"t1.FQty=t1.FQty"_qs << false;
    QTest::newRow("single bar") << u"t1.a|t1.b"_qs << false;
    QTest::newRow("list at the top") << u"t1.a,t1.b"_qs << false;
    QTest::newRow("unbalanced") << u"(t1.a"_qs << false;
    QTest::newRow("closed too often") << u"t1.a)"_qs << false;
    QTest::newRow("exponent") << u"1e5*t1.a"_qs << false;
    QTest::newRow("hexadecimal") << u"0x1F+t1.a"_qs << false;
    QTest::newRow("keyword NULL") << u"NULL"_qs << false;
    QTest::newRow("keyword TRUE as a column") << u"true"_qs << false;
    QTest::newRow("keyword CURRENT_USER") << u"Current_User"_qs << false;
    QTest::newRow("keyword after a qualifier") << u"t1.OR"_qs << false;
    QTest::newRow("keyword as a call") << u"EXISTS(t1.a)"_qs << false;
    QTest::newRow("keyword SELECT") << u"(SELECT t1.a)"_qs << false;
    QTest::newRow("keyword between terms") << u"t1.a OR t1.b"_qs << false;
    QTest::newRow("postfix null test as a column") << u"NOTNULL"_qs << false;
    QTest::newRow("null test alone, not called") << u"ISNULL"_qs << false;
    QTest::newRow("keyword USER") << u"USER"_qs << false;
    QTest::newRow("keyword SESSION_USER") << u"session_user"_qs << false;
    QTest::newRow("keyword CURRENT_DATE") << u"CURRENT_DATE"_qs << false;
    QTest::newRow("collation") << u"t1.a COLLATE NOCASE"_qs << false;
    QTest::newRow("empty qualifier") << u".FQty"_qs << false;
    QTest::newRow("empty name after the dot") << u"t1."_qs << false;
    QTest::newRow("leading digit: a number") << u"1"_qs << false;
    QTest::newRow("leading digit after the dot") << u"t1.2x"_qs << false;
    QTest::newRow("comment") << u"FQTY--"_qs << false;
    QTest::newRow("call") << u"lower(FName)"_qs << true;
    QTest::newRow("quote") << u"F'"_qs << false;
    QTest::newRow("closing quote inside") << u"\"a\" OR \"b\""_qs << false;
    QTest::newRow("closing bracket inside") << u"[a] OR [b]"_qs << false;
    QTest::newRow("empty quotes") << u"\"\""_qs << false;
    QTest::newRow("unclosed quote") << u"\"abc"_qs << false;
    QTest::newRow("quoted then more") << u"\"a\".b"_qs << true;
    QTest::newRow("NUL inside quotes") << u"\"a"_qs + QChar(0) + u"b\""_qs << false;
    QTest::newRow("placeholder") << u"F?"_qs << false;
}

void tst_SqlBuilder::columnNames()
{
    QFETCH(QString, name);
    QFETCH(bool, plain);
    QCOMPARE(ColumnExpression::read(name).safe, plain);
}

void tst_SqlBuilder::failures_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<KeyedValuesPtr>("description"); // null: the standard one
    QTest::addColumn<QStringList>("fieldIds");       // empty: as the field list made them
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("style");

    const KeyedValuesPtr standard;
    const int parens = ErrorNumber::UnbalancedParentheses;
    const int row = ErrorNumber::SubscriptOutOfRange;
    const QString unbalanced = QStringLiteral("左、右括号不匹配，请改正后继续。");
    const QString parenCells = QStringLiteral("括号栏只能填写括号，请改正后继续。");

    // Conditions the host's engine would refuse after OK had passed them.
    QStringList tooMany{u"||序列号|等于|A|"_qs};
    while (tooMany.size() <= Limits::MaxConditionRows)
        tooMany.append(u"或者||序列号|等于|A|"_qs);
    QTest::newRow("more rows than engines take")
        << true << standard << QStringList{} << tooMany << row
        << u"第501行：条件超过500行，数据库无法执行，请减少条件"_qs << 64;
    QTest::newRow("parentheses deeper than engines take")
        << true << standard << QStringList{}
        << QStringList{u"|"_qs + QString(Limits::MaxParenthesisDepth, u'(') + u"|序列号|等于|A|"_qs,
                       u"或者|(|序列号|等于|B|"_qs + QString(Limits::MaxParenthesisDepth + 1, u')')}
        << row << u"第2行：括号嵌套超过16层，数据库无法执行，请减少括号"_qs << 64;
    // The levels of a column expression count as well.
    QTest::newRow("parentheses and a column's calls deeper than engines take")
        << false << commonValues({commonField(u"数量"_qs, 3, u"ABS(ABS(t1.FQty))"_qs)}, u"Items"_qs)
        << QStringList{}
        << QStringList{u"|"_qs + QString(Limits::MaxParenthesisDepth - 1, u'(') +
                       u"|数量|等于|1|"_qs + QString(Limits::MaxParenthesisDepth - 1, u')')}
        << row << u"第1行：括号嵌套超过16层，数据库无法执行，请减少括号"_qs << 64;
    QTest::newRow("close before open fails at row 1")
        << true << standard << QStringList{}
        << QStringList{u"||序列号|等于|A|)"_qs, u"并且|(|数量|等于|1|"_qs} << parens << unbalanced
        << 48;
    QTest::newRow("totals differ")
        << true << standard << QStringList{} << QStringList{u"|((|序列号|等于|A|)"_qs} << parens
        << unbalanced << 48;
    QTest::newRow("closing row not in use")
        << true << standard << QStringList{}
        << QStringList{u"|(|序列号|等于|A|"_qs, u"|||||"_qs, u"并且||||1|)"_qs} << parens
        << unbalanced << 48;
    // A row the grid shows must not drop out of the condition behind a row without a field.
    const QString gap = u"行：没有选择字段，但下面还有条件；请选择字段或删除这一行"_qs;
    // Left out, a row switched off would leave its partner's parenthesis alone.
    QTest::newRow("a switched-off row that closes a group")
        << true << standard << QStringList{}
        << QStringList{u"|(|序列号|等于|A|"_qs, u"或者||数量|大于|5|)|off=1"_qs} << parens
        << u"第2行：停用此行后左、右括号不再匹配，请改正后继续。"_qs << 48;
    QTest::newRow("a question without an answer")
        << true << standard << QStringList{}
        << QStringList{u"||数量|大于|5|"_qs, u"并且||序列号|等于|客户||ask=1"_qs} << row
        << u"第2行：运行时输入的“客户”没有回答"_qs << 64;
    QTest::newRow("a question after a row switched off names its own row")
        << true << standard << QStringList{}
        << QStringList{u"||数量|大于|5||off=1"_qs, u"并且||序列号|等于|||ask=1"_qs} << row
        << u"第2行：运行时输入的“序列号”没有回答"_qs << 64;
    QTest::newRow("a failure after a row switched off names its own row")
        << true << standard << QStringList{}
        << QStringList{u"||数量|大于|5||off=1"_qs, u"并且||序列号|等于|A|"_qs,
                       u"并且||序列号||A|"_qs}
        << row << u"第3行：没有选择比较方式"_qs << 64;
    QTest::newRow("field-less row before a filled one")
        << true << standard << QStringList{}
        << QStringList{u"||数量|大于|50|"_qs, u"|||||"_qs, u"并且||序列号|等于|红色|"_qs} << row
        << u"第2"_qs + gap << 64;
    QTest::newRow("field-less first row")
        << false << standard << QStringList{} << QStringList{u"|||||"_qs, u"并且||数量|等于|1|"_qs}
        << row << u"第1"_qs + gap << 64;
    QTest::newRow("first of several field-less rows is named")
        << true << standard << QStringList{}
        << QStringList{u"||数量|等于|1|"_qs, u"|||等于|5|"_qs, u"|||||"_qs,
                       u"或者||数量|等于|2|"_qs}
        << row << u"第2"_qs + gap << 64;
    // A balanced count must not let SQL through the parenthesis cells.
    QTest::newRow("tautology in the left cell")
        << true << standard << QStringList{} << QStringList{u"|1=1 or (|数量|等于|1|)       "_qs}
        << parens << parenCells << 48;
    QTest::newRow("text in the right cell")
        << false << standard << QStringList{} << QStringList{u"|(|数量|等于|1|) or 1=1 --"_qs}
        << parens << parenCells << 48;
    QTest::newRow("blank in the left cell")
        << true << standard << QStringList{} << QStringList{u"|( |数量|等于|1|)"_qs} << parens
        << parenCells << 48;
    QTest::newRow("wrong parenthesis on a later row")
        << true << standard << QStringList{}
        << QStringList{u"|(|数量|等于|1|"_qs, u"并且|)|数量|等于|2|("_qs} << parens << parenCells
        << 48;

    // The listed field's identifier leads first to an unlisted record without a column.
    QTest::newRow("unknown field id")
        << true
        << serialDescription({serialField(99, QString(), u"系统"_qs, 1, 1)},
                             {serialField(99, u"FX"_qs, u"序列号"_qs, 0, 1)})
        << QStringList{} << QStringList{u"||序列号|等于|A|"_qs} << int(ErrorNumber::CreateSql)
        << u"序列号列数据过滤字段异常！"_qs << 64;
    QTest::newRow("none chosen in a stored row")
        << true << standard << QStringList{} << QStringList{u"||(无)|等于|A|"_qs}
        << int(ErrorNumber::CreateSql) << u"序列号列数据过滤字段异常！"_qs << 64;
    QTest::newRow("unknown data type")
        << true << serialDescription({serialField(1, u"FX"_qs, u"其他"_qs, 0, 5)}, {})
        << QStringList{} << QStringList{u"||其他|等于|A|"_qs} << int(ErrorNumber::CreateSql)
        << u"序列号列数据类型异常。"_qs << 64;

    // Descriptions are trusted, but one read from a file must not widen a filter.
    const QString notIdentifier = u"第1行：字段的列名不是可用的列名或列表达式"_qs;
    QTest::newRow("serial column with SQL")
        << true
        << serialDescription(
               {serialField(1, u"FSERIALNUM OR 1=1 OR tf.FSERIALNUM"_qs, u"序列号"_qs, 0, 1)}, {})
        << QStringList{} << QStringList{u"||序列号|等于|A|"_qs} << row << notIdentifier << 64;
    QTest::newRow("common column with SQL")
        << false
        << commonValues({commonField(u"名称"_qs, 200, u"t1.FName) OR (1=1"_qs)}, u"Items"_qs)
        << QStringList{} << QStringList{u"||名称|为空||"_qs} << row << notIdentifier << 64;
    // A look-up field's name also makes the alias t_<name>; "tf." goes before a serial name.
    QTest::newRow("quoted look-up column")
        << true << serialDescription({serialField(2, u"\"x\""_qs, u"物料"_qs, 0, 2)}, {})
        << QStringList{} << QStringList{u"||物料|等于|A|"_qs} << row << notIdentifier << 64;
    QTest::newRow("qualified sub-message column")
        << true << serialDescription({serialField(2, u"t1.FSUB"_qs, u"子项"_qs, 0, 3)}, {})
        << QStringList{} << QStringList{u"||子项|为空||"_qs} << row << notIdentifier << 64;
    QTest::newRow("serial column expression")
        << true << serialDescription({serialField(3, u"ISNULL(FQTY,0)"_qs, u"数量"_qs, 0, 0)}, {})
        << QStringList{} << QStringList{u"||数量|等于|1|"_qs} << row << notIdentifier << 64;
    QTest::newRow("common column of a million characters")
        << false
        << commonValues({commonField(u"名称"_qs, 200, QString(1'000'000, u'F'))}, u"Items"_qs)
        << QStringList{} << QStringList{u"||名称|为空||"_qs} << row << notIdentifier << 64;

    QTest::newRow("logic not chosen") << true << standard << QStringList{}
                                      << QStringList{u"||序列号|等于|A|"_qs, u"||数量|等于|1|"_qs}
                                      << row << u"第2行：没有选择逻辑"_qs << 64;
    QTest::newRow("logic text not an item")
        << false << standard << QStringList{}
        << QStringList{u"||数量|等于|1|"_qs, u"并且||数量|等于|1|"_qs, u"and||数量|等于|1|"_qs}
        << row << u"第3行：没有选择逻辑"_qs << 64;
    QTest::newRow("comparison not chosen")
        << true << standard << QStringList{} << QStringList{u"||序列号||A|"_qs} << row
        << u"第1行：没有选择比较方式"_qs << 64;
    // Of two faults in one row the comparison's is told first, the closing cell's after.
    QTest::newRow("comparison not chosen beside text in the right cell")
        << true << standard << QStringList{} << QStringList{u"||序列号||A|x"_qs} << row
        << u"第1行：没有选择比较方式"_qs << 64;
    QTest::newRow("value list word that no list holds")
        << true << standard << QStringList{} << QStringList{u"||序列号|包括在内|A,B|"_qs} << row
        << u"第1行：没有选择比较方式"_qs << 64;
    QTest::newRow("storage check still needs a comparison")
        << false << standard << QStringList{}
        << QStringList{u"||数量|大于|1|"_qs, u"并且||数量|等|1|"_qs} << row
        << u"第2行：没有选择比较方式"_qs << 64;
    QTest::newRow("serial field not listed")
        << true << standard << QStringList{} << QStringList{u"||无此字段|等于|A|"_qs} << row
        << u"第1行：字段没有对应的字段标识"_qs << 64;
    QTest::newRow("common field not listed")
        << false << standard << QStringList{} << QStringList{u"||无此字段|等于|A|"_qs} << row
        << u"第1行：字段列表中没有这一项"_qs << 64;
    QTest::newRow("common none chosen")
        << false << standard << QStringList{} << QStringList{u"||(无)|等于|A|"_qs} << row
        << u"第1行：字段列表中没有这一项"_qs << 64;

    // A date the condition would compare as a text that finds nothing, as if no record matched.
    const QString noDate = u"行：“%1”不是日期，也不是能识别的相对日期"_qs;
    QTest::newRow("impossible day of a stored scheme")
        << true << standard << QStringList{}
        << QStringList{u"||序列号|等于|A|"_qs, u"并且||日期|等于|2024-02-30|"_qs} << row
        << u"第2"_qs + noDate.arg(u"2024-02-30"_qs) << 64;
    QTest::newRow("word of a newer build")
        << true << standard << QStringList{} << QStringList{u"||日期|大于|下个财年|"_qs} << row
        << u"第1"_qs + noDate.arg(u"下个财年"_qs) << 64;
    // A field compared with a field: only where the comparison takes one, and only with a
    // listed field of the same sort (a stored scheme may name any).
    QTest::newRow("contains takes no field")
        << true << standard << QStringList{}
        << QStringList{u"||数量|包含|系统数||value=field;valuefield=6"_qs} << row
        << u"第1行：包含、不包含、为空、不为空和值列表不能与字段比较"_qs << 64;
    QTest::newRow("a field compared with no comparison chosen")
        << true << standard << QStringList{}
        << QStringList{u"||数量||系统数||value=field;valuefield=6"_qs} << row
        << u"第1行：没有选择比较方式"_qs << 64;
    QTest::newRow("the field compared with is not listed")
        << true << standard << QStringList{}
        << QStringList{u"||序列号|等于|A|"_qs,
                       u"或者||数量|大于|Gone||value=field;valuefield=99"_qs}
        << row << u"第2行：比较的字段“Gone”不在字段列表中，或不是同一类的字段"_qs << 64;
    QTest::newRow("a number compared with a text field")
        << true << standard << QStringList{}
        << QStringList{u"||数量|大于|序列号||value=field;valuefield=1"_qs} << row
        << u"第1行：比较的字段“序列号”不在字段列表中，或不是同一类的字段"_qs << 64;
    QTest::newRow("the current user, none set")
        << true << standard << QStringList{} << QStringList{u"||序列号|等于|当前用户|"_qs} << row
        << u"第1行：没有设置当前用户，不能使用“当前用户”"_qs << 64;
    for (const QString &days : {u"过去0天"_qs, u"过去-1天"_qs, u"过去2147483648天"_qs,
                                u"过去36601天"_qs, u"未来0天"_qs}) {
        QTest::addRow("%s is no relative date", qPrintable(days))
            << true << standard << QStringList{} << QStringList{u"||日期|不等于|"_qs + days + u'|'}
            << row << u"第1"_qs + noDate.arg(days) << 64;
    }
}

void tst_SqlBuilder::failures()
{
    QFETCH(bool, serial);
    QFETCH(KeyedValuesPtr, description);
    QFETCH(QStringList, fieldIds);
    QFETCH(QStringList, rows);
    QFETCH(int, number);
    QFETCH(QString, message);
    QFETCH(int, style);

    Fixture f(serial ? Mode::Serial : Mode::Common, QStringLiteral("StorageCheck"), description);
    if (!fieldIds.isEmpty())
        f.state.FieldIDs = fieldIds;
    f.setRows(rows);

    try {
        SqlBuilder::compose(f.grid);
        QFAIL("compose gave a condition");
    } catch (const FilterError &e) {
        QCOMPARE(e.number(), number);
        QCOMPARE(e.source(), u"[CreateSQL]"_qs);
    }

    const auto alerts = std::make_shared<PointerAtAlert>();
    nxAlert::setPresenter(alerts);
    Fixture previous(Mode::Serial);
    previous.setRows({u"||数量|等于|2|"_qs});
    QVERIFY(Testing::createSql(previous.confirmed, previous.grid));
    f.confirmed = previous.confirmed;
    f.grid.SelectBlock(1, f.grid.MaxRows(), 1, ConditionGrid::ColumnCount);
    const QString gridBefore = f.grid.blockText();
    QVERIFY(!Testing::createSql(f.confirmed, f.grid));
    QCOMPARE(alerts->shown.size(), 1);
    QCOMPARE(alerts->shown.first().message, message);
    QCOMPARE(alerts->shown.first().style, style);
    QCOMPARE(f.confirmed.sql(), u" ( (tf.FQTY = 2) ) "_qs);
    QCOMPARE(f.confirmed.query(SqlEngine::PostgreSQL, Placeholders::Dollar).bound(),
             (BoundCondition{u" ( (tf.FQTY = $1) ) "_qs, {qint64(2)}}));
    QCOMPARE(f.grid.blockText(), gridBefore);
    QVERIFY2(!alerts->busyAtAlert, "the pointer must be restored before the message");
    QVERIFY(!BusyPointer::isShown());

    // Without a window the same refusal comes back, with the row it names, and no alert.
    const Composed direct =
        composeDirect(serial, QStringLiteral("StorageCheck"), description, rows);
    QVERIFY(direct.failure);
    QCOMPARE(direct.failure->message(), message);
    QCOMPARE(direct.failure->number(), number);
    // A confirmed condition whose bound form fails gives the failure, never an empty
    // condition, which would filter nothing.
    const FieldCatalog catalog = catalogFor(serial, QStringLiteral("StorageCheck"), description);
    const ConfirmedCondition confirmed(
        catalog, SchemeText::parse(schemeText(rows), catalog).condition, u"x"_qs, {});
    const Composed query = confirmed.query(SqlEngine::PostgreSQL, Placeholders::Dollar);
    QVERIFY(query.failure);
    QCOMPARE(query.failure->message(), message);
    if (fieldIds.isEmpty()) {
        const ComposedCondition headless =
            composeHeadless(serial, QStringLiteral("StorageCheck"), description, rows);
        QCOMPARE(headless.error, message);
        QCOMPARE(headless.failure, ComposedCondition::Failure::Condition);
        if (message.startsWith(u"第"_qs))
            QCOMPARE(headless.row, message.mid(1, message.indexOf(u'行') - 1).toInt());
        QCOMPARE(alerts->shown.size(), 1);
    }
}

void tst_SqlBuilder::builtInCode_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<Condition>("condition");
    QTest::addColumn<QStringList>("rows"); // the same rows as the dialog takes them

    const FieldCatalog serial = catalogFor(true, {}, {});
    const FieldCatalog common = catalogFor(false, u"Items"_qs, {});
    const auto s = [&serial](const char16_t *column) { return serial.indexOfColumn(column); };
    const auto c = [&common](const char16_t *column) { return common.indexOfColumn(column); };
    const LogicOp none = LogicOp::None;
    using Op = CompareOp;

    QTest::newRow("serial: text, number, double, date, look-up")
        << true
        << Condition{{none, u"("_qs, s(u"FSERIALNUM"), Op::Equal, u"A'1", {}},
                     {LogicOp::Or, {}, s(u"FQTY"), Op::Greater, 5, {}},
                     {LogicOp::And, {}, s(u"FQTY"), Op::Less, 2.5, u")"_qs},
                     {LogicOp::And, {}, s(u"FDATE"), Op::LessOrEqual, QDate(2026, 1, 2), {}},
                     {LogicOp::Or, {}, s(u"FITEM"), Op::GreaterOrEqual, u"M1", {}},
                     {LogicOp::Or, {}, s(u"FSUB"), Op::NotEqual, u"", {}}}
        << QStringList{u"|(|序列号|等于|A'1|"_qs,       u"或者||数量|大于|5|"_qs,
                       u"并且||数量|小于|2.5|)"_qs,     u"并且||日期|小于或等于|2026-01-02|"_qs,
                       u"或者||物料|大于或等于|M1|"_qs, u"或者||等级|不等于||"_qs};
    QTest::newRow("serial: patterns and empty tests")
        << true
        << Condition{{none, {}, s(u"FSERIALNUM"), Op::Contains, u"A%", {}},
                     {LogicOp::And, {}, s(u"FQTY"), Op::NotContains, 7, {}},
                     {LogicOp::And, {}, s(u"FSYSN"), Op::IsEmpty, {}, {}},
                     {LogicOp::Or, {}, s(u"FITEM"), Op::IsNotEmpty, {}, {}}}
        << QStringList{u"||序列号|包含|A%|"_qs, u"并且||数量|不包含|7|"_qs,
                       u"并且||系统数|为空||"_qs, u"或者||物料|不为空||"_qs};
    QTest::newRow("serial: value lists")
        << true
        << Condition{{none, {}, s(u"FSERIALNUM"), Op::InList, QStringList{u"A"_qs, u"B"_qs}, {}},
                     {LogicOp::And, {}, s(u"FQTY"), Op::NotInList, QStringList{u"1"_qs}, {}}}
        << QStringList{u"||序列号|包括|A,B|"_qs, u"并且||数量|不包括|1|"_qs};
    QTest::newRow("common: every comparison")
        << false
        << Condition{{none, u"(("_qs, c(u"FName"), Op::Equal, u"x", {}},
                     {LogicOp::Or, {}, c(u"FQty"), Op::Greater, qint64(1) << 40, {}},
                     {LogicOp::Or, {}, c(u"FRate"), Op::Less, -0.5, u")"_qs},
                     {LogicOp::And, {}, c(u"FQty"), Op::LessOrEqual, 3, {}},
                     {LogicOp::And, {}, c(u"FCode"), Op::GreaterOrEqual, u"C", {}},
                     {LogicOp::And, {}, c(u"FStock"), Op::NotEqual, u"W", {}},
                     {LogicOp::And, {}, c(u"FName"), Op::Contains, u"n", {}},
                     {LogicOp::And, {}, c(u"FQty"), Op::NotContains, 2, {}},
                     {LogicOp::And, {}, c(u"FName"), Op::IsEmpty, {}, {}},
                     {LogicOp::And, {}, c(u"FQty"), Op::IsNotEmpty, {}, {}},
                     {LogicOp::And, {}, c(u"FCode"), Op::InList, QStringList{u"a"_qs}, {}},
                     {LogicOp::Or, {}, c(u"FRate"), Op::NotInList, QStringList{u"1.5"_qs}, u")"_qs}}
        << QStringList{u"|((|名称|等于|x|"_qs,         u"或者||数量|大于|1099511627776|"_qs,
                       u"或者||比率|小于|-0.5|)"_qs,   u"并且||数量|小于或等于|3|"_qs,
                       u"并且||代码|大于或等于|C|"_qs, u"并且||仓库|不等于|W|"_qs,
                       u"并且||名称|包含|n|"_qs,       u"并且||数量|不包含|2|"_qs,
                       u"并且||名称|为空||"_qs,        u"并且||数量|不为空||"_qs,
                       u"并且||代码|包括|a|"_qs,       u"或者||比率|不包括|1.5|)"_qs};
}

void tst_SqlBuilder::builtInCode()
{
    QFETCH(bool, serial);
    QFETCH(Condition, condition);
    QFETCH(QStringList, rows);
    const auto alerts = ScriptedAlerts::install();
    Fixture f(serial ? Mode::Serial : Mode::Common);
    f.setRows(rows);
    QVERIFY(Testing::createSql(f.confirmed, f.grid));
    const FieldCatalog catalog = catalogFor(serial, u"Items"_qs, {});
    const Composed sql = compose(catalog, condition);
    QVERIFY(sql.ok());
    QCOMPARE(sql.text, f.confirmed.sql());
    for (const SqlEngine engine : {SqlEngine::SQLite, SqlEngine::PostgreSQL}) {
        for (const Placeholders p : {Placeholders::QMark, Placeholders::Dollar})
            QCOMPARE(compose(catalog, condition, SqlForm::bound(engine, p)).bound(),
                     f.confirmed.query(engine, p).bound());
    }
    QCOMPARE(compose(catalog, condition, SqlForm::words()).text, f.confirmed.text());
    // The grid hands over the same condition, copied and compared as a value.
    Condition fromGrid = f.grid.condition();
    fromGrid.rows().resize(condition.size()); // the grid keeps an empty row below
    for (qsizetype i = 0; i < condition.size(); ++i) {
        fromGrid[i].unmatched = {};
        fromGrid[i].value =
            ConditionValue::fromText(condition.at(i).value.kind(), fromGrid.at(i).value.text());
    }
    QCOMPARE(compose(catalog, fromGrid).text, sql.text);
    QVERIFY(alerts->shown.isEmpty());
}

void tst_SqlBuilder::translationLeavesTheSql()
{
    // A translation that gives "等于" the words of "包含": the comparison is the list
    // position, whatever its word.
    const CollidingWords words;
    Fixture f(Mode::Serial);
    f.setRows({u"||序列号||A|"_qs, u"并且||序列号||B|"_qs});
    f.grid.SetComboIndex(1, ConditionGrid::ColCompare, int(CompareOp::Equal));
    f.grid.SetComboIndex(2, ConditionGrid::ColCompare, int(CompareOp::Contains));
    QCOMPARE(f.grid.GetCellText(1, ConditionGrid::ColCompare), u"Contains"_qs);
    QCOMPARE(SqlBuilder::compose(f.grid),
             u" ( (tf.FSERIALNUM = 'A'   And  tf.FSERIALNUM Like '%B%') ) "_qs);
}

void tst_SqlBuilder::successStoresAndStaysQuiet()
{
    const auto alerts = ScriptedAlerts::install();
    Fixture f(Mode::Serial);
    f.setRows({u"||数量|等于|1|"_qs});
    f.confirmed = ConfirmedCondition({}, {}, QStringLiteral("old"), {});
    QVERIFY(Testing::createSql(f.confirmed, f.grid));
    QCOMPARE(f.confirmed.sql(), u" ( (tf.FQTY = 1) ) "_qs);
    for (const SqlEngine engine : {SqlEngine::SQLite, SqlEngine::PostgreSQL}) {
        for (const Placeholders style : {Placeholders::QMark, Placeholders::Dollar}) {
            QCOMPARE(f.confirmed.query(engine, style).bound(),
                     SqlBuilder::composeBound(f.grid, engine, style));
        }
    }
    QCOMPARE(f.confirmed.query(SqlEngine::PostgreSQL, Placeholders::Dollar).bound(),
             (BoundCondition{u" ( (tf.FQTY = $1) ) "_qs, {qint64(1)}}));
    // The forms come from the condition confirmed at OK, not from the grid as it is now.
    f.setRows({u"||数量|等于|2|"_qs});
    QCOMPARE(f.confirmed.text(), u"数量 等于 1"_qs);

    // An empty grid stores the empty condition, not the old one.
    Fixture empty(Mode::Serial);
    empty.confirmed = ConfirmedCondition({}, {}, QStringLiteral("old"), {});
    empty.confirmed = f.confirmed;
    QVERIFY(Testing::createSql(empty.confirmed, empty.grid));
    QCOMPARE(empty.confirmed.sql(), QString());
    QCOMPARE(empty.confirmed.query(SqlEngine::SQLite, Placeholders::QMark).bound(),
             BoundCondition{});
    QVERIFY(alerts->shown.isEmpty());
    QVERIFY(!BusyPointer::isShown());
}

void tst_SqlBuilder::manyRowsInOrder()
{
    // A large grid of repeated rows: every row in use contributes, in order.
    Fixture f(Mode::Serial);
    QStringList rows{u"||数量|等于|0|"_qs};
    for (int i = 1; i < 500; ++i)
        rows << QStringLiteral("或者||数量|等于|") + QString::number(i) + u'|';
    f.setRows(rows);
    const QString sql = SqlBuilder::compose(f.grid);
    QVERIFY(sql.startsWith(u" ( (tf.FQTY = 0  Or  tf.FQTY = 1  Or "_qs));
    QVERIFY(sql.endsWith(u"Or  tf.FQTY = 499) ) "_qs));
    QCOMPARE(sql.count(u"Or"_qs), 499);
}

QTEST_MAIN(tst_SqlBuilder)
#include "tst_sqlbuilder.moc"
