// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "sqlbuilder.h"

#include "columnexpression.h"
#include "conditiongrid.h"
#include "fields/fieldlist.h"
#include "support/busypointer.h"
#include "support/leadingnumber.h"
#include "support/mparse.h"
#include "support/quotes.h"
#include "support/spaces.h"
#include "support/texts.h"
#include "vocabulary.h"
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/limits.h>
#include <NxSerialFilter/nxalert.h>

#include <QHash>

using namespace Qt::Literals::StringLiterals;

namespace NxSerialFilter::SqlBuilder {

namespace {

QString source()
{
    return QStringLiteral("[CreateSQL]");
}

enum class ValueKind : quint8 { Number, Text };

/// What a row needs to know about its field; resolved once per field and run.
struct Field
{
    QString column;  // the column expression written into the condition
    ValueKind kind;  // how values are written
    qint32 dataType; // FDataType (serial) or DataType (common)
    bool textColumn; // the column holds text (not a number or a date)
    int nesting;     // levels of parentheses inside the column expression
    bool brackets;   // a name quoted in [...], which PostgreSQL cannot read
};

/// The localized comparison texts that choose a value part, looked up once per run.
struct PartWords
{
    QString isEmpty = MParse::LoadLangString(Texts::compareIsEmpty());
    QString isNotEmpty = MParse::LoadLangString(Texts::compareIsNotEmpty());
    QString contains = MParse::LoadLangString(Texts::compareContains());
    QString notContains = MParse::LoadLangString(Texts::compareNotContains());
    QString inList = MParse::LoadLangString(Texts::compareInList());
    QString notInList = MParse::LoadLangString(Texts::compareNotInList());
};

bool isCharacterType(qint32 dataType)
{
    return dataType == 200 || dataType == 129;
}

/// A parenthesis cell may only repeat its one character: anything else would be SQL of the
/// user's (or a scheme text's) own making inside the condition.
bool onlyOf(const QString &text, char16_t paren)
{
    for (const QChar ch : text) {
        if (ch != paren)
            return false;
    }
    return true;
}

[[noreturn]] void refuse(const QString &message)
{
    throw FilterError(ErrorNumber::UnbalancedParentheses, source(),
                      MParse::LoadLangString(message));
}

[[noreturn]] void rowFailure(int row, const QString &what)
{
    throw FilterError(ErrorNumber::SubscriptOutOfRange, source(),
                      Vocabulary::rowMessage(row, what));
}

/// Where the composer writes: values as literals with their quotes doubled (FilterSQL), or a
/// "?" for each value with the value kept beside it (the bound form, for one engine).
class Sink
{
public:
    Sink() = default;
    explicit Sink(SqlEngine engine)
        : m_bound(true)
        , m_engine(engine)
    {}

    QString sql;

    bool postgres() const { return m_bound && m_engine == SqlEngine::PostgreSQL; }

    void reserve(int rows)
    {
        sql.reserve(qsizetype(rows) * 48);
        if (m_bound) {
            m_values.reserve(rows);
            m_at.reserve(rows);
        }
    }

    void text(const QString &value)
    {
        if (m_bound) {
            // A null text would be bound as NULL, which equals nothing.
            placeholder(value.isNull() ? QStringLiteral("") : value);
            return;
        }
        sql += u'\'';
        escaped(value);
        sql += u'\'';
    }

    /// The value with "%" on both sides.
    void pattern(const QString &value)
    {
        if (m_bound) {
            placeholder(u'%' + value + u'%');
            return;
        }
        sql += "'%"_L1;
        escaped(value);
        sql += "%'"_L1;
    }

    /// The leading number of the text.
    void number(const QString &value)
    {
        if (m_bound)
            placeholder(Numbers::sqlLeadingNumberValue(value));
        else
            sql += Numbers::sqlLeadingNumber(value);
    }

    void zero()
    {
        if (m_bound)
            placeholder(qint64(0));
        else
            sql += u'0';
    }

    /// Removes the spaces at both ends; then, unless empty, wraps twice in " (" and ") ".
    void finish()
    {
        qsizetype lead = 0;
        while (lead < sql.size() && sql.at(lead) == u' ')
            ++lead;
        const QString text = trimSpaces(sql);
        sql.clear();
        if (text.isEmpty())
            return;
        sql.reserve(text.size() + 8);
        sql.append(" ( ("_L1).append(text).append(") ) "_L1);
        for (qsizetype &at : m_at)
            at += 4 - lead;
    }

    BoundCondition bound(Placeholders placeholders) const
    {
        if (placeholders == Placeholders::QMark || m_at.isEmpty())
            return {sql, m_values};
        QString numbered;
        numbered.reserve(sql.size() + m_at.size() * 4);
        qsizetype from = 0;
        for (qsizetype i = 0; i < m_at.size(); ++i) {
            numbered.append(QStringView(sql).sliced(from, m_at.at(i) - from));
            numbered.append(u'$').append(QString::number(i + 1));
            from = m_at.at(i) + 1;
        }
        numbered.append(QStringView(sql).sliced(from));
        return {numbered, m_values};
    }

private:
    void escaped(const QString &text) { appendQuotesDoubled(sql, text); }

    void placeholder(QVariant &&value)
    {
        m_at.append(sql.size());
        sql += u'?';
        m_values.append(std::move(value));
    }

    bool m_bound = false;
    SqlEngine m_engine = SqlEngine::SQLite;
    QVariantList m_values;
    QList<qsizetype> m_at; // where each "?" stands in sql
};

class Composer
{
public:
    /// keepBrackets: write a name quoted in […] into the PostgreSQL form instead of refusing
    /// it, for the dialog, which stores every engine's form while the host runs one of them.
    Composer(const FilterState &state, const ConditionGrid &grid, Sink &out,
             bool keepBrackets = false)
        : m_state(state)
        , m_grid(grid)
        , m_out(out)
        , m_keepBrackets(keepBrackets)
        , m_storageCheck(
              state.ScreenID.compare(QLatin1String("STORAGECHECK"), Qt::CaseInsensitive) == 0)
    {}

    /// Writes the condition into the sink, finished.
    void run();

private:
    const Field &field(int row, int f);
    Field serialField(int row, int f) const;
    Field commonField(int row, int f) const;

    template <class... Parts> void append(const Parts &...parts) { (m_out.sql.append(parts), ...); }
    /// Appends a parenthesis cell; returns how many parentheses it holds.
    qsizetype appendParens(int row, int col, char16_t paren);
    void appendEmptyTest(const Field &fld, bool empty);
    void appendPattern(const Field &fld, const QString &value);
    void appendList(const Field &fld, const QString &value);
    void appendPlain(const Field &fld, const QString &value);

    const FilterState &m_state;
    const ConditionGrid &m_grid;
    Sink &m_out;
    const bool m_keepBrackets;
    const bool m_storageCheck;
    const PartWords m_words;
    QHash<int, Field> m_fields;

public:
    int m_row = 0; // the row being written, for failures that name it
};

void Composer::run()
{
    const int rows = m_grid.MaxRows();
    qsizetype open = 0;
    qsizetype close = 0;
    for (int r = 1; r <= rows; ++r) {
        m_row = r;
        if (m_grid.GetCellText(r, ConditionGrid::ColField).isEmpty()) {
            // Rows the grid shows below a gap would silently drop out of the condition.
            for (int later = r + 1; later <= rows; ++later) {
                if (!m_grid.GetCellText(later, ConditionGrid::ColField).isEmpty())
                    rowFailure(r, Texts::emptyFieldBeforeRows());
            }
            break;
        }
        if (r == 1) // one allocation for a typical row, instead of growing the text step by step
            m_out.reserve(rows);
        // Beyond these the host's engine would refuse the condition after OK had passed it.
        if (r > Limits::MaxConditionRows)
            rowFailure(r, Texts::tooManyConditionRows());
        const int f = m_grid.GetComboIndex(r, ConditionGrid::ColField);

        if (r > 1) {
            const int logic = m_grid.GetComboIndex(r, ConditionGrid::ColLogic);
            if (logic < 0 || logic >= m_state.LogicWords.size())
                rowFailure(r, Texts::noLogicChosen());
            m_out.sql += u' ';
            m_out.sql += m_state.LogicWords.at(logic);
        }

        open += appendParens(r, ConditionGrid::ColLeftParen, u'(');
        const Field &fld = field(r, f);
        if (open - close + fld.nesting > Limits::MaxParenthesisDepth)
            rowFailure(r, Texts::parenthesesTooDeep());

        const int k = m_grid.GetComboIndex(r, ConditionGrid::ColCompare);
        const bool emptyTest = k == int(CompareOp::IsEmpty) || k == int(CompareOp::IsNotEmpty);
        const bool like = k == int(CompareOp::Contains) || k == int(CompareOp::NotContains);
        m_out.sql += emptyTest ? " ("_L1 : " "_L1;
        if (like && !fld.textColumn &&
            m_out.postgres()) // PostgreSQL has no Like for numbers or dates
            append("CAST("_L1, fld.column, " AS TEXT)"_L1);
        else
            m_out.sql += fld.column;
        if (!(m_storageCheck && emptyTest)) {
            if (k < 0 || k >= m_state.CompareWords.size())
                rowFailure(r, Texts::noCompareChosen());
            m_out.sql += u' ';
            // SQLite's Like ignores the case of ASCII letters only; PostgreSQL's ILike does
            // the same under the "C" collation, whatever the database's own collation folds.
            if (like && m_out.postgres())
                m_out.sql += k == int(CompareOp::Contains) ? R"(COLLATE "C" ILike)"_L1
                                                           : R"(COLLATE "C" Not ILike)"_L1;
            else
                m_out.sql += m_state.CompareWords.at(k);
        }

        const QString compare = m_grid.GetCellText(r, ConditionGrid::ColCompare);
        if (compare == m_words.isEmpty)
            appendEmptyTest(fld, true);
        else if (compare == m_words.isNotEmpty)
            appendEmptyTest(fld, false);
        else if (compare == m_words.contains || compare == m_words.notContains)
            appendPattern(fld, m_grid.GetCellText(r, ConditionGrid::ColValue));
        else if (compare == m_words.inList || compare == m_words.notInList)
            appendList(fld, m_grid.GetCellText(r, ConditionGrid::ColValue));
        else
            appendPlain(fld, m_grid.GetCellText(r, ConditionGrid::ColValue));

        close += appendParens(r, ConditionGrid::ColRightParen, u')');
        if (close > open)
            refuse(Texts::unbalancedParentheses());
    }
    m_row = 0; // parentheses that never close belong to no one row
    if (open != close)
        refuse(Texts::unbalancedParentheses());
    m_out.finish();
}

qsizetype Composer::appendParens(int row, int col, char16_t paren)
{
    const QString parens = m_grid.GetCellText(row, col);
    if (!onlyOf(parens, paren))
        refuse(Texts::parenthesisCellsOnly());
    m_out.sql += u' ';
    m_out.sql += parens;
    return parens.size();
}

const Field &Composer::field(int row, int f)
{
    auto it = m_fields.constFind(f);
    if (it == m_fields.constEnd())
        it = m_fields.insert(f, m_state.SerialUse ? serialField(row, f) : commonField(row, f));
    if (it->brackets && m_out.postgres() && !m_keepBrackets)
        rowFailure(row, Texts::columnInBrackets());
    return it.value();
}

Field Composer::serialField(int row, int f) const
{
    if (f < 0 || f >= m_state.FieldIDs.size())
        rowFailure(row, Texts::noFieldEntry());
    const KeyedValuesPtr d = FieldList::FindFieldDescriptor(m_state, f);
    // A blank column would give "tf." alone: a condition that fails only in the host's query.
    const QString name =
        d ? trimSpaces(Values::toText(d->get(QStringLiteral("FSQLColumnName")))) : QString();
    if (name.isEmpty())
        throw FilterError(ErrorNumber::CreateSql, source(),
                          MParse::LoadLangString(Texts::unknownSerialField()));
    const qint32 dataType = FieldList::intValue(d, QStringLiteral("FDataType"));
    const qint32 sysType = FieldList::intValue(d, QStringLiteral("FSysDatatype"));
    // The name follows "tf.": one column, qualified at most once. A look-up field's name is
    // also part of the alias "t_<name>", where only a plain name makes one.
    const ColumnExpression expr = ColumnExpression::read(name);
    const bool lookUp = dataType == 2 || dataType == 3;
    if (!expr.safe || expr.parts < 1 || expr.parts > 2 ||
        (lookUp && (expr.parts != 1 || !expr.plain)))
        rowFailure(row, Texts::columnRefused());
    const auto field = [&](const QString &column, ValueKind kind, bool text) {
        return Field{column, kind, dataType, text, expr.nesting, expr.brackets};
    };
    switch (dataType) {
    case 0:
        return field(QStringLiteral("tf.") + name, ValueKind::Number, false);
    case 1:
        return field(QStringLiteral("tf.") + name, ValueKind::Text, true);
    case 4: // dates are written as texts
        return field(QStringLiteral("tf.") + name, ValueKind::Text, false);
    case 2:
    case 3:
        return field(QStringLiteral("t_") + name + QStringLiteral(".FName"), ValueKind::Text, true);
    case -10:
        return field(QStringLiteral("tf.") + name,
                     sysType == 0 ? ValueKind::Number : ValueKind::Text, sysType != 0);
    default:
        throw FilterError(ErrorNumber::CreateSql, source(),
                          MParse::LoadLangString(Texts::badSerialDataType()));
    }
}

Field Composer::commonField(int row, int f) const
{
    if (f < 1 || f > FieldList::commonFields(m_state)->count())
        rowFailure(row, Texts::noCommonField());
    const KeyedValuesPtr item = FieldList::commonField(m_state, f);
    const qint32 dataType = FieldList::intValue(item, QStringLiteral("DataType"));
    const QString column = Values::toText(item->get(QStringLiteral("ColumnName")));
    const QString name = trimSpaces(column);
    if (name.isEmpty()) // the condition would compare nothing with the value
        rowFailure(row, Texts::noCommonField());
    const ColumnExpression expr = ColumnExpression::read(name);
    if (!expr.safe)
        rowFailure(row, Texts::columnRefused());
    const bool text = isCharacterType(dataType);
    return {column,       text ? ValueKind::Text : ValueKind::Number, dataType, text, expr.nesting,
            expr.brackets};
}

void Composer::appendEmptyTest(const Field &fld, bool empty)
{
    const QString &c = fld.column;
    const QLatin1StringView is = empty ? "="_L1 : "<>"_L1;
    if (!m_state.SerialUse) {
        if (m_storageCheck)
            m_out.sql += is;
        else
            append(empty ? " or "_L1 : " and "_L1, c, empty ? "="_L1 : " <> "_L1);
        if (fld.kind == ValueKind::Text)
            m_out.text(QString());
        else
            m_out.zero();
        m_out.sql += empty || m_storageCheck ? ")"_L1 : " )"_L1;
        return;
    }
    const QLatin1StringView join = empty ? " or "_L1 : " and "_L1;
    switch (fld.dataType) {
    case 0:
        append(join, c, is);
        m_out.zero();
        m_out.sql += u')';
        break;
    case 4:
    case -10:
        // A date or number column cannot hold '', and PostgreSQL refuses to compare it with ''.
        if (!fld.textColumn && m_out.postgres()) {
            m_out.sql += u')';
            break;
        }
        append(join, c, is);
        m_out.text(QString());
        m_out.sql += empty ? ")"_L1 : " )"_L1;
        break;
    default: // 1, 2 and 3: a "*" stands for no value as well
        append(join, c, is);
        m_out.text(QString());
        append(join, c, is);
        m_out.text(QStringLiteral("*"));
        m_out.sql += u')';
        break;
    }
}

void Composer::appendPattern(const Field &fld, const QString &value)
{
    m_out.sql += u' ';
    if (fld.kind == ValueKind::Number)
        m_out.number(value);
    else if (value.contains(u'%') || value.contains(u'_'))
        m_out.text(value);
    else
        m_out.pattern(value);
    // PostgreSQL reads a backslash in a pattern as an escape; SQLite reads it as itself.
    if (m_out.postgres()) {
        m_out.sql += " ESCAPE "_L1;
        m_out.text(QString());
    }
    if (fld.kind == ValueKind::Text && m_state.SerialUse)
        m_out.sql += u' ';
}

void Composer::appendList(const Field &fld, const QString &value)
{
    // Every field that is not of a character type takes numbers, here as in every other
    // value part; writing no list at all would leave a broken condition.
    const bool text = fld.kind == ValueKind::Text;
    m_out.sql += " ("_L1;
    if (value.isEmpty()) {
        if (text)
            m_out.text(QString());
    } else {
        bool first = true;
        for (const QString &piece : value.split(u',')) {
            if (!first)
                m_out.sql += u',';
            first = false;
            if (text)
                m_out.text(piece);
            else
                m_out.number(piece);
        }
    }
    m_out.sql += u')';
}

void Composer::appendPlain(const Field &fld, const QString &value)
{
    m_out.sql += u' ';
    if (fld.kind == ValueKind::Number) {
        m_out.number(value);
    } else {
        m_out.text(value);
        m_out.sql += u' ';
    }
}

} // namespace

/// Runs one walk over the rows into out; a failure carries the row it names.
static void runComposer(const FilterState &state, const ConditionGrid &grid, Sink &out)
{
    Composer composer(state, grid, out);
    try {
        composer.run();
    } catch (FilterError &e) {
        if (e.row() == 0)
            e.setRow(composer.m_row);
        throw;
    }
}

QString compose(const FilterState &state, const ConditionGrid &grid)
{
    Sink out;
    runComposer(state, grid, out);
    return out.sql;
}

BoundCondition composeBound(const FilterState &state, const ConditionGrid &grid, SqlEngine engine,
                            Placeholders placeholders)
{
    Sink out(engine);
    runComposer(state, grid, out);
    return out.bound(placeholders);
}

QString conditionText(const ConditionGrid &grid)
{
    QStringList words;
    const int rows = grid.MaxRows();
    for (int r = 1; r <= rows; ++r) {
        const QString field = grid.GetCellText(r, ConditionGrid::ColField);
        if (field.isEmpty())
            break;
        if (r > 1)
            words << grid.GetCellText(r, ConditionGrid::ColLogic);
        const QString compare = grid.GetCellText(r, ConditionGrid::ColCompare);
        QStringList phrase{field, compare};
        if (!Vocabulary::isEmptyTest(compare)) // the builder reads no value there either
            phrase << grid.GetCellText(r, ConditionGrid::ColValue);
        phrase.removeAll(QString());
        words << grid.GetCellText(r, ConditionGrid::ColLeftParen) + phrase.join(u' ') +
                     grid.GetCellText(r, ConditionGrid::ColRightParen);
    }
    words.removeAll(QString());
    return words.join(u' ');
}

bool CreateSQL(FilterState &state, const ConditionGrid &grid)
{
    std::exception_ptr failure;
    QString sql;
    QString text;
    BoundConditions bound;
    {
        BusyPointer::Scope busy;
        try {
            sql = compose(state, grid);
            for (const SqlEngine engine : {SqlEngine::SQLite, SqlEngine::PostgreSQL}) {
                Sink out(engine);
                Composer(state, grid, out, true).run();
                bound[size_t(engine)] = {out.bound(Placeholders::QMark),
                                         out.bound(Placeholders::Dollar)};
            }
            text = conditionText(grid);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (!failure) {
        state.FilterSQL = sql;
        state.FilterQuery = bound;
        state.FilterText = text;
        return true;
    }
    int style = nxAlert::Information;
    try {
        std::rethrow_exception(failure);
    } catch (const FilterError &e) {
        if (e.number() == ErrorNumber::UnbalancedParentheses)
            style = nxAlert::Warning;
    } catch (...) {
    }
    nxAlert::ShowAlert(describeFailure(failure), style);
    return false;
}

} // namespace NxSerialFilter::SqlBuilder
