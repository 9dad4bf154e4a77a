// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// Composing a Condition into SQL or words.

#include <NxSerialFilter/boundcondition.h>
#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/fieldcatalog.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

namespace NxSerialFilter {

/// The answers to the questions a condition asks when it runs (values of ValueKind::Asked):
/// the question's text to the value, as the user would type it into the value cell.
using Answers = QMap<QString, QString>;

/// The form compose writes.
struct SqlForm
{
    /// Which form.
    enum class Kind : quint8 {
        Text,  ///< FilterSQL: values as literals, quotes doubled
        Bound, ///< a placeholder for each value, the values beside (see BoundCondition)
        Words, ///< FilterText: the rows in the words the grid shows them
    };
    Kind kind = Kind::Text; ///< the form
    /// Bound: the engine. PostgreSQL reads a column name quoted in [...] as "...".
    SqlEngine engine = SqlEngine::SQLite;
    Placeholders placeholders = Placeholders::QMark; ///< Bound: the placeholder style
    QString language; ///< Words: a language the component ships; empty for the current one
    /// FilterSQL and the bound forms: the day a relative date ("本月", "过去7天") is counted
    /// from; a null date is today by the host's clock.
    QDate asOf;
    /// The day a week ("本周", "上周") starts on; a value that names no day is Monday.
    Qt::DayOfWeek firstDayOfWeek = Qt::Monday;
    /// The answers to the condition's questions; FilterSQL and the bound forms refuse a
    /// question without one, the words show it as a question.
    Answers answers;
    /// FilterSQL and the bound forms: the name the value word 当前用户 ("current user") stands
    /// for on a text or look-up field; empty when the host set none, and a row with the word
    /// then does not compose.
    QString currentUser;

    /// FilterSQL.
    static SqlForm text() { return {}; }
    /// The bound form for an engine and placeholder style.
    static SqlForm bound(SqlEngine engine = SqlEngine::SQLite,
                         Placeholders placeholders = Placeholders::QMark)
    {
        SqlForm form;
        form.kind = Kind::Bound;
        form.engine = engine;
        form.placeholders = placeholders;
        return form;
    }
    /// The words, in language ("en", "zh_CN", ...) or the current language.
    static SqlForm words(const QString &language = QString())
    {
        SqlForm form;
        form.kind = Kind::Words;
        form.language = language;
        return form;
    }
};

/// Why a condition does not compose, as a value: the dialog turns it into its one alert.
struct ComposeFailure
{
    /// The reasons.
    enum class Reason : quint8 {
        TooManyRows,          ///< more rows in use than Limits::MaxConditionRows
        NoLogic,              ///< a row after the first without a logic word
        EmptyFieldBeforeRows, ///< a row without a field while rows with a field follow
        ParenthesesTooDeep,   ///< more than Limits::MaxParenthesisDepth open at once
        NoCompare,            ///< a row without a comparison
        NoFieldEntry,         ///< serial mode: a field that is not in the list
        NoCommonField,        ///< common mode: a field that is not in the list or has no column
        UnknownField,         ///< serial mode: the identifier leads to no field with a column
        BadDataType,          ///< serial mode: a data type the condition cannot write
        ColumnRefused,        ///< a column name outside the safe expressions a condition takes
        ParenthesisCellsOnly, ///< a parenthesis cell holding anything but its parenthesis
        Unbalanced,           ///< parentheses that do not pair
        /// the host's record of the field cannot be read; arguments: the failure's number,
        /// description and source
        BadDescription,
        /// a date field compared with a text that is neither a date nor a relative date this
        /// build knows ("2024-02-30", "过去0天"); argument: the text
        UnknownDate,
        /// a relative date whose days on the day of composing lie past the calendar's ends
        /// (本年 on 9999-12-31); argument: the word
        DateOutOfRange,
        /// leaving out the switched-off row named unbalances the other rows' parentheses
        OffRowUnbalances,
        /// a question asked when the condition runs got no answer; argument: the question
        Unanswered,
        /// a field compared with another field by 包含, 不包含, 为空, 不为空 or a value list,
        /// which take a value, not a field
        FieldNotComparable,
        /// a field compared with a field the list does not have, that has no column, or that
        /// holds another sort of value; argument: the other field's caption
        OtherFieldUnusable,
        /// the value word 当前用户 with no current user set
        NoCurrentUser,
    };
    int row = 0;                        ///< the row, from 1; 0 when the failure is about no one row
    Reason reason = Reason::Unbalanced; ///< why
    QStringList arguments; ///< what the reason is about: the column, the cell, the limit

    /// The alert text, in the current language, as the dialog shows it.
    NXSF_CORE_EXPORT QString message() const;
    /// The failure number of the alert (ErrorNumber): UnbalancedParentheses for the
    /// parenthesis refusals (a warning), CreateSql or SubscriptOutOfRange otherwise.
    int number() const
    {
        switch (reason) {
        case Reason::UnknownField:
        case Reason::BadDataType:
            return ErrorNumber::CreateSql;
        case Reason::ParenthesisCellsOnly:
        case Reason::Unbalanced:
        case Reason::OffRowUnbalances:
            return ErrorNumber::UnbalancedParentheses;
        case Reason::BadDescription:
            return arguments.value(0).toInt();
        default:
            return ErrorNumber::SubscriptOutOfRange;
        }
    }

    /// Equal when row, reason and arguments are.
    friend bool operator==(const ComposeFailure &, const ComposeFailure &) = default;
};

/// What compose wrote, or why it could not.
struct Composed
{
    /// The form asked for: FilterSQL, the bound SQL, or the words; "" when no row is in use
    /// or on failure. The text form is wrapped twice in " (" and ") ".
    QString text;
    QVariantList values;                   ///< Bound: the values of the placeholders, in order
    std::optional<ComposeFailure> failure; ///< set when the condition does not compose

    /// True when the condition composed.
    bool ok() const { return !failure.has_value(); }
    /// The bound form as one value.
    BoundCondition bound() const { return {text, values}; }
};

/// Composes condition over catalog in form: the rows from the first up to the first without
/// a field, switched-off rows left out as if absent, each question answered from form.answers;
/// FilterSQL and the bound forms refuse rows with a field below that one. FilterSQL and the bound
/// forms fail where the dialog's OK refuses; the words never fail. Pure: reads no grid, shows
/// nothing, changes nothing.
NXSF_CORE_EXPORT Composed compose(const FieldCatalog &catalog, const Condition &condition,
                                  const SqlForm &form = SqlForm::text());

/// The number of rows compose reads: up to the first row without a field.
NXSF_CORE_EXPORT qsizetype rowsInUse(const FieldCatalog &catalog, const Condition &condition);

} // namespace NxSerialFilter
