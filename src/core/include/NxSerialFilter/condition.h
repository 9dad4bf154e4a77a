// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// A filter condition as a value: rows of logic, parentheses, field, comparison and value.

#include <NxSerialFilter/nxsf_core_export.h>

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <initializer_list>

namespace NxSerialFilter {

/// How a row joins the rows before it. The value is the row's position in the dialog's logic
/// list; None is no choice (the first row, or a row whose word named no logic).
enum class LogicOp : qint8 {
    None = -1, ///< no logic word: the first row
    And = 0,   ///< 并且, SQL "And"
    Or = 1,    ///< 或者, SQL "Or"
};

/// Every comparison a row can make. The value is the row's position in the dialog's
/// comparison list; the value lists follow the ten comparisons, so that the positions stored
/// before them keep their meaning.
enum class CompareOp : qint8 {
    None = -1,      ///< no comparison chosen
    Equal = 0,      ///< 等于, "="
    Greater,        ///< 大于, ">"
    Less,           ///< 小于, "<"
    LessOrEqual,    ///< 小于或等于, "<="
    GreaterOrEqual, ///< 大于或等于, ">="
    NotEqual,       ///< 不等于, "<>"
    Contains,       ///< 包含, "Like" with "%" around the value
    NotContains,    ///< 不包含, "Not Like"
    IsEmpty,        ///< 为空, null or no value; the row has no value
    IsNotEmpty,     ///< 不为空
    InList,         ///< 包括, "In" a comma-separated list
    NotInList,      ///< 不包括, "Not In"
};

/// What a field holds, and so how a value for it is written.
enum class ValueKind : quint8 {
    Text,   ///< written as a quoted text
    Number, ///< written as the number the text begins with
    Date,   ///< yyyy-MM-dd, written as a quoted text
    LookUp, ///< the name of an item of a look-up class, written as a quoted text
    List,   ///< values separated by ",", for InList and NotInList
    /// a word for a date that moves with the day of composing ("本月", "过去7天"), for a date
    /// field; compared as the range of days it means
    RelativeDate,
    /// a question asked each time the condition runs: the text is the question (the field's
    /// caption by default); the answer, typed by the field, takes the value's place
    Asked,
    /// another field of the catalog, compared column with column; the text is its caption
    Field,
};

/// A row's value: its kind and its text as the user entered it. The text is kept exactly, so
/// that a scheme is stored back byte for byte; the typed readers interpret it.
class NXSF_CORE_EXPORT ConditionValue
{
public:
    /// The empty text.
    ConditionValue() = default;
    /// A text.
    ConditionValue(const QString &text)
        : m_text(text)
    {}
    /// A text.
    ConditionValue(const char16_t *text)
        : m_text(QString::fromUtf16(text))
    {}
    /// A whole number.
    ConditionValue(int number)
        : ConditionValue(qint64(number))
    {}
    /// A whole number.
    ConditionValue(qint64 number)
        : m_kind(ValueKind::Number)
        , m_text(QString::number(number))
    {}
    /// A number, written in the fewest digits that read back as the same double.
    ConditionValue(double number)
        : m_kind(ValueKind::Number)
        , m_text(QString::number(number, 'g', QLocale::FloatingPointShortest))
    {}
    /// A date, written yyyy-MM-dd.
    ConditionValue(QDate date)
        : m_kind(ValueKind::Date)
        , m_text(date.toString(Qt::ISODate))
    {}
    /// A list for InList and NotInList; no item may hold ",".
    ConditionValue(const QStringList &items)
        : m_kind(ValueKind::List)
        , m_text(items.join(u','))
    {}

    /// A value of this kind with the text as entered; a Date whose text is a relative date's
    /// word in any language the component ships is a RelativeDate.
    static ConditionValue fromText(ValueKind kind, const QString &text);
    /// The field at catalog position field, compared column with column; caption is what the
    /// value cell shows of it. A position of -1 is a field the catalog does not have (a
    /// stored scheme's), which does not compose.
    static ConditionValue ofField(int field, const QString &caption)
    {
        ConditionValue value(caption);
        value.m_kind = ValueKind::Field;
        value.m_field = field;
        return value;
    }

    /// The kind the value was made as.
    ValueKind kind() const { return m_kind; }
    /// The value as the user entered it.
    const QString &text() const { return m_text; }
    /// True when the text is empty.
    bool isEmpty() const { return m_text.isEmpty(); }
    /// The date of a yyyy-MM-dd text; invalid otherwise.
    QDate date() const { return QDate::fromString(m_text, Qt::ISODate); }
    /// A Field value's catalog position; -1 for every other value.
    int field() const { return m_field; }

    /// Equal when kind, text and the field compared with are.
    friend bool operator==(const ConditionValue &, const ConditionValue &) = default;

private:
    ValueKind m_kind = ValueKind::Text;
    QString m_text;
    int m_field = -1;
};

/// The words of a scheme text that named no logic, field or comparison this component knows.
/// They are kept so that the text is written back as it was read; a row in use with such a
/// word does not compose. Rows built in code leave them empty.
struct UnmatchedWords
{
    QString logic;   ///< the logic cell's text
    QString field;   ///< the field cell's text
    QString compare; ///< the comparison cell's text

    /// Equal when every word is.
    friend bool operator==(const UnmatchedWords &, const UnmatchedWords &) = default;
};

/// One row of a condition, as one line of the dialog's grid.
struct ConditionRow
{
    // Every member has an initializer, so that a host's {…} of the first six warns of no
    // missing one under -Wextra.
    LogicOp logic = LogicOp::None;       ///< how the row joins the rows before it; ignored on row 1
    QString open = {};                   ///< opening parentheses: only "(" composes
    int field = -1;                      ///< position in the FieldCatalog; -1 for none
    CompareOp compare = CompareOp::None; ///< the comparison
    ConditionValue value = {};           ///< the value; ignored by IsEmpty and IsNotEmpty
    QString close = {};                  ///< closing parentheses: only ")" composes
    QString code = {};                   ///< the grid's hidden value-code cell, kept as stored
    /// switched off: kept in the grid and the scheme, left out of the condition as if absent
    bool off = false;
    UnmatchedWords unmatched = {}; ///< words of a scheme text that named nothing known

    /// Equal when every part is.
    friend bool operator==(const ConditionRow &, const ConditionRow &) = default;
};

/// A condition: the rows of the dialog's grid in order. The condition that composes is the
/// rows from the first up to the first row without a field; rows below it are kept (a scheme
/// stores them) but compose to nothing. Copy and compare freely: it holds no translated word.
class Condition
{
public:
    Condition() = default;
    /// A condition of these rows.
    Condition(std::initializer_list<ConditionRow> rows)
        : m_rows(rows)
    {}
    /// A condition of these rows.
    explicit Condition(QList<ConditionRow> rows)
        : m_rows(std::move(rows))
    {}

    /// Appends a row.
    void append(const ConditionRow &row) { m_rows.append(row); }
    /// The number of rows.
    qsizetype size() const { return m_rows.size(); }
    /// True when there are no rows.
    bool isEmpty() const { return m_rows.isEmpty(); }
    /// Row i, from 0.
    const ConditionRow &at(qsizetype i) const { return m_rows.at(i); }
    /// Row i, from 0, for changing.
    ConditionRow &operator[](qsizetype i) { return m_rows[i]; }
    /// The rows.
    const QList<ConditionRow> &rows() const { return m_rows; }
    /// The rows, for changing.
    QList<ConditionRow> &rows() { return m_rows; }
    /// Iterates over the rows.
    QList<ConditionRow>::const_iterator begin() const { return m_rows.cbegin(); }
    /// Iterates over the rows.
    QList<ConditionRow>::const_iterator end() const { return m_rows.cend(); }

    /// Equal when the rows are.
    friend bool operator==(const Condition &, const Condition &) = default;

private:
    QList<ConditionRow> m_rows;
};

} // namespace NxSerialFilter
