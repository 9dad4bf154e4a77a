// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// Composing a condition without the dialog.

#include <NxSerialFilter/boundcondition.h>
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/descriptionjson.h>
#include <NxSerialFilter/keyedvalues.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QDate>
#include <QString>

#include <memory>

namespace NxSerialFilter {

/// The outcome of composing a condition: the condition, or the reason the dialog's OK would
/// give for refusing it.
struct ComposedCondition
{
    /// Which step refused, if any.
    enum class Failure {
        None,        ///< the condition was composed
        Description, ///< the field description cannot give a field list
        Scheme,      ///< the scheme text cannot be put into the grid
        Condition    ///< the grid cannot be turned into a condition
    };

    Failure failure = Failure::None; ///< the step that refused
    /// The condition exactly as the dialog's FilterSQL would hold it after OK: wrapped twice
    /// in " (" and ") ", or "" when no row is in use.
    QString sql;
    /// The same condition with bound parameters, for the engine and placeholders asked for.
    BoundCondition query;
    /// The same condition in words, as the user wrote it in the grid and in the current
    /// language, as Filter::FilterText gives it; empty when no row is in use or on failure.
    QString text;
    /// The text of the alert the dialog would show; for Failure::Scheme the reason the text
    /// cannot be loaded. Empty on success.
    QString error;
    int row = 0; ///< the grid row the refusal names, from 1; 0 when it names none

    /// True when the condition was composed.
    bool ok() const { return failure == Failure::None; }
};

/// Composes the condition of a scheme text from a field description as the dialog's OK
/// would, without an application object, without a window and without alerts.
///
/// Field descriptions are the host's own code, trusted input: their column names are written
/// into the condition. Values come from the scheme text and are quoted.
///
/// A composer holds references to the host's description objects; compose() may be called
/// any number of times, on one thread at a time.
class NXSF_CORE_EXPORT ConditionComposer
{
public:
    /// Serial mode: a description with the groups "Header" and "Entry" and "SerialclassID".
    /// The screen is "Serial_" followed by the serial class, as in the dialog.
    static ConditionComposer forSerialDescription(KeyedValuesPtr serialDescription);
    /// Common mode: values holding the list "Fields"; screenId names the screen (its
    /// "ScreenID" when screenId is null).
    static ConditionComposer forCommonFields(KeyedValuesPtr commonFields,
                                             const QString &screenId = QString());
    /// A description read by DescriptionJson::parse; its "SerialUse" chooses the mode.
    static ConditionComposer forDescription(KeyedValuesPtr description,
                                            const QString &screenId = QString())
    {
        if (description && DescriptionJson::serialUse(description))
            return forSerialDescription(description->DescriptionValues());
        return forCommonFields(std::move(description), screenId);
    }

    /// Takes over other's descriptions; other may then only be assigned to or destroyed.
    ConditionComposer(ConditionComposer &&other) noexcept;
    /// Takes over other's descriptions; other may then only be assigned to or destroyed.
    ConditionComposer &operator=(ConditionComposer &&other) noexcept;
    ~ConditionComposer();

    /// The screen the schemes of these fields are stored under.
    QString screenID() const;
    /// True in serial mode.
    bool serialUse() const;

    /// The day relative dates ("本月", "过去7天") are counted from; a null date (the default)
    /// is today by the host's clock when compose runs.
    void setAsOf(QDate asOf);
    /// The day a week ("本周", "上周") starts on; Monday by default, and for a value that names
    /// no day of the week.
    void setFirstDayOfWeek(Qt::DayOfWeek day);
    /// The name the value word 当前用户 ("current user") stands for: whoever runs the
    /// condition, so that one shared scheme serves every user. Empty by default: a row with
    /// the word then does not compose (Failure::Condition, naming the row).
    void setCurrentUser(const QString &name);

    /// Composes the condition of schemeText: the grid as text, one line per row, TAB between
    /// the seven cells, CR LF between rows, quotes single (as a stored scheme holds it). The
    /// bound form is written for engine with placeholders.
    ComposedCondition compose(const QString &schemeText, SqlEngine engine = SqlEngine::SQLite,
                              Placeholders placeholders = Placeholders::QMark) const
    {
        return compose(schemeText, Answers(), engine, placeholders);
    }
    /// Composes as above, with the answers to the values the scheme asks when it runs (keyed
    /// by question, as questions() lists them). A question without an answer is refused
    /// (Failure::Condition) with a message that names it; a scheme keeps no answer.
    ComposedCondition compose(const QString &schemeText, const Answers &answers,
                              SqlEngine engine = SqlEngine::SQLite,
                              Placeholders placeholders = Placeholders::QMark) const;
    /// Composes condition, rows over catalog() (as ConditionText::parse reads them), as the
    /// scheme text's rows are composed above: a condition text composes as its rows would.
    ComposedCondition compose(const Condition &condition, const Answers &answers = Answers(),
                              SqlEngine engine = SqlEngine::SQLite,
                              Placeholders placeholders = Placeholders::QMark) const;
    /// The questions schemeText asks when it runs, each once, in the order of its rows; none
    /// when it cannot be read.
    QStringList questions(const QString &schemeText) const;
    /// The fields of the description as the dialog lists them. Throws FilterError when the
    /// description gives none (compose then fails with Failure::Description).
    FieldCatalog catalog() const;

private:
    NXSF_CORE_NO_EXPORT ConditionComposer();
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace NxSerialFilter
