// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "sqlbuilder.h"

#include "conditiongrid.h"
#include "fields/fieldlist.h"
#include "support/busypointer.h"
#include "support/leadingnumber.h"
#include "support/mparse.h"
#include "support/spaces.h"
#include "support/texts.h"
#include "vocabulary.h"
#include <NxSerialFilter/failure.h>
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

class Composer
{
public:
    Composer(const FilterState &state, const ConditionGrid &grid)
        : m_state(state)
        , m_grid(grid)
        , m_storageCheck(
              state.ScreenID.compare(QLatin1String("STORAGECHECK"), Qt::CaseInsensitive) == 0)
    {}

    QString run();

private:
    const Field &field(int row, int f);
    Field serialField(int row, int f) const;
    Field commonField(int row, int f) const;

    template <class... Parts> void append(const Parts &...parts) { (m_sql.append(parts), ...); }
    /// Appends a parenthesis cell; returns how many parentheses it holds.
    qsizetype appendParens(int row, int col, char16_t paren);
    void appendEscaped(const QString &text);
    void appendQuoted(const QString &text);
    void appendNumber(const QString &text);
    void appendEmptyTest(const Field &fld, bool empty);
    void appendPattern(const Field &fld, const QString &value);
    void appendList(const Field &fld, const QString &value);
    void appendPlain(const Field &fld, const QString &value);

    const FilterState &m_state;
    const ConditionGrid &m_grid;
    const bool m_storageCheck;
    const PartWords m_words;
    QHash<int, Field> m_fields;
    QString m_sql;

public:
    int m_row = 0; // the row being written, for failures that name it
};

QString Composer::run()
{
    const int rows = m_grid.MaxRows();
    qsizetype open = 0;
    qsizetype close = 0;
    for (int r = 1; r <= rows; ++r) {
        m_row = r;
        if (m_grid.GetCellText(r, ConditionGrid::ColField).isEmpty())
            break;
        if (r == 1) // one allocation for a typical row, instead of growing the text step by step
            m_sql.reserve(qsizetype(rows) * 48);
        const int f = m_grid.GetComboIndex(r, ConditionGrid::ColField);

        if (r > 1) {
            const int logic = m_grid.GetComboIndex(r, ConditionGrid::ColLogic);
            if (logic < 0 || logic >= m_state.LogicWords.size())
                rowFailure(r, Texts::noLogicChosen());
            m_sql += u' ';
            m_sql += m_state.LogicWords.at(logic);
        }

        open += appendParens(r, ConditionGrid::ColLeftParen, u'(');

        const Field &fld = field(r, f);

        const int k = m_grid.GetComboIndex(r, ConditionGrid::ColCompare);
        const bool emptyTest = k == int(CompareOp::IsEmpty) || k == int(CompareOp::IsNotEmpty);
        m_sql += emptyTest ? " ("_L1 : " "_L1;
        m_sql += fld.column;
        if (!(m_storageCheck && emptyTest)) {
            if (k < 0 || k >= m_state.CompareWords.size())
                rowFailure(r, Texts::noCompareChosen());
            m_sql += u' ';
            m_sql += m_state.CompareWords.at(k);
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

    // Wrapped twice in " (" and ") ", written in one go.
    const QString text = trimSpaces(m_sql);
    if (text.isEmpty())
        return text;
    QString result;
    result.reserve(text.size() + 8);
    result.append(" ( ("_L1).append(text).append(") ) "_L1);
    return result;
}

qsizetype Composer::appendParens(int row, int col, char16_t paren)
{
    const QString parens = m_grid.GetCellText(row, col);
    if (!onlyOf(parens, paren))
        refuse(Texts::parenthesisCellsOnly());
    m_sql += u' ';
    m_sql += parens;
    return parens.size();
}

const Field &Composer::field(int row, int f)
{
    auto it = m_fields.constFind(f);
    if (it == m_fields.constEnd())
        it = m_fields.insert(f, m_state.SerialUse ? serialField(row, f) : commonField(row, f));
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
    switch (dataType) {
    case 0:
        return {QStringLiteral("tf.") + name, ValueKind::Number, dataType};
    case 1:
    case 4:
        return {QStringLiteral("tf.") + name, ValueKind::Text, dataType};
    case 2:
    case 3:
        return {QStringLiteral("t_") + name + QStringLiteral(".FName"), ValueKind::Text, dataType};
    case -10:
        return {QStringLiteral("tf.") + name, sysType == 0 ? ValueKind::Number : ValueKind::Text,
                dataType};
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
    if (trimSpaces(column).isEmpty()) // the condition would compare nothing with the value
        rowFailure(row, Texts::noCommonField());
    return {column, isCharacterType(dataType) ? ValueKind::Text : ValueKind::Number, dataType};
}

void Composer::appendEscaped(const QString &text)
{
    if (!text.contains(u'\''))
        m_sql += text;
    else
        m_sql += QString(text).replace(u'\'', QStringLiteral("''"));
}

void Composer::appendQuoted(const QString &text)
{
    m_sql += u'\'';
    appendEscaped(text);
    m_sql += u'\'';
}

void Composer::appendNumber(const QString &text)
{
    m_sql += Numbers::sqlNumber(Numbers::leadingNumber(text));
}

void Composer::appendEmptyTest(const Field &fld, bool empty)
{
    const QString &c = fld.column;
    if (!m_state.SerialUse) {
        const bool text = fld.kind == ValueKind::Text;
        if (m_storageCheck) {
            append(empty ? (text ? "='')"_L1 : "=0)"_L1) : (text ? "<>'')"_L1 : "<>0)"_L1));
        } else if (empty) {
            append(" or "_L1, c, text ? "='')"_L1 : "=0)"_L1);
        } else {
            append(" and "_L1, c, text ? " <> '' )"_L1 : " <> 0 )"_L1);
        }
        return;
    }
    switch (fld.dataType) {
    case 0:
        if (empty)
            append(" or "_L1, c, "=0)"_L1);
        else
            append(" and "_L1, c, "<>0)"_L1);
        break;
    case 4:
    case -10:
        if (empty)
            append(" or "_L1, c, "='')"_L1);
        else
            append(" and "_L1, c, "<>'' )"_L1);
        break;
    default: // 1, 2 and 3: a "*" stands for no value as well
        if (empty)
            append(" or "_L1, c, "='' or "_L1, c, "='*')"_L1);
        else
            append(" and "_L1, c, "<>'' and "_L1, c, "<>'*')"_L1);
        break;
    }
}

void Composer::appendPattern(const Field &fld, const QString &value)
{
    m_sql += u' ';
    if (fld.kind == ValueKind::Number) {
        appendNumber(value);
        return;
    }
    if (value.contains(u'%') || value.contains(u'_')) {
        appendQuoted(value);
    } else {
        m_sql += "'%"_L1;
        appendEscaped(value);
        m_sql += "%'"_L1;
    }
    if (m_state.SerialUse)
        m_sql += u' ';
}

void Composer::appendList(const Field &fld, const QString &value)
{
    // Every field that is not of a character type takes numbers, here as in every other
    // value part; writing no list at all would leave a broken condition.
    const bool text = fld.kind == ValueKind::Text;
    m_sql += " ("_L1;
    if (value.isEmpty()) {
        if (text)
            m_sql += "''"_L1;
    } else {
        bool first = true;
        for (const QString &piece : value.split(u',')) {
            if (!first)
                m_sql += u',';
            first = false;
            if (text)
                appendQuoted(piece);
            else
                appendNumber(piece);
        }
    }
    m_sql += u')';
}

void Composer::appendPlain(const Field &fld, const QString &value)
{
    m_sql += u' ';
    if (fld.kind == ValueKind::Number) {
        appendNumber(value);
    } else {
        appendQuoted(value);
        m_sql += u' ';
    }
}

} // namespace

QString compose(const FilterState &state, const ConditionGrid &grid)
{
    Composer composer(state, grid);
    try {
        return composer.run();
    } catch (FilterError &e) {
        if (e.row() == 0)
            e.setRow(composer.m_row);
        throw;
    }
}

bool CreateSQL(FilterState &state, const ConditionGrid &grid)
{
    std::exception_ptr failure;
    QString sql;
    {
        BusyPointer::Scope busy;
        try {
            sql = compose(state, grid);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (!failure) {
        state.FilterSQL = sql;
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
