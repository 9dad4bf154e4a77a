// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/boundcondition.h>
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/conditiontext.h>
#include <NxSerialFilter/keyedvalues.h>
#include <NxSerialFilter/matchcounter.h>
#include <NxSerialFilter/nxserialfilter_export.h>

#include <QString>

#include <chrono>
#include <memory>
#include <optional>

/// Everything of the component lives in this namespace.
namespace NxSerialFilter {

class FilterPrivate;

/// The component's public class: describe the fields, call ShowFilterForm, read Cancel and
/// FilterQuery (or FilterSQL).
///
/// The field descriptions are the host's code and trusted input: their column names go into
/// the condition as written. At OK a column name that is not one identifier (a plain name,
/// optionally qualified once, or one quoted name) is refused with an alert naming the row.
///
/// Errors reach the host as NxSerialFilter::FilterError in three cases only: ShowFilterForm in
/// serial mode without a SerialDesc (number 91, before any dialog is shown), setCommonFields
/// when the "ScreenID" entry cannot be turned into text (the reference is stored all the same),
/// and FilterQuery for a form that does not compose. A failure while the dialog loads also
/// reaches the caller.
class NXSERIALFILTER_EXPORT Filter
{
public:
    Filter();
    ~Filter();
    Filter(const Filter &) = delete;
    Filter &operator=(const Filter &) = delete;

    /// True for serial mode (fields from SerialDesc); false, the default, for common mode
    /// (fields from the common values).
    void setSerialUse(bool serialUse);
    /// True in serial mode.
    bool SerialUse() const;
    /// Stores the common values; then ScreenID := their "ScreenID" entry as text.
    void setCommonFields(KeyedValuesPtr commonFields);
    /// The screen whose schemes the dialog lists; in serial mode the dialog uses "Serial_"
    /// followed by the serial class instead.
    void setScreenID(const QString &screenId);
    /// The screen set last, by setScreenID or setCommonFields.
    QString ScreenID() const;
    /// The serial description (groups "Header" and "Entry", "SerialclassID"); shared, not
    /// copied, and read when ShowFilterForm runs.
    void setSerialDesc(KeyedValuesPtr serialDesc);
    /// Outcome of the most recent dialog: true when it was cancelled or closed.
    bool Cancel() const;
    /// The condition of the most recent dialog that ended with OK ("" before any), values
    /// written as literals with quotes doubled: the compatible text form. Prefer FilterQuery.
    QString FilterSQL() const;
    /// The same condition with a placeholder wherever FilterSQL has a value literal, and the
    /// values to bind in order (empty before any). Bind them, never paste them: the text then
    /// holds nothing a user typed, whatever the server's quoting settings.
    /// - engine: SQLite gives FilterSQL's text with the literals replaced; PostgreSQL writes the
    ///   few forms it would refuse otherwise (Like on a number or date column, '' on a date, a
    ///   column name quoted in [...] written in "...").
    /// - placeholders: QMark ("?") for QSqlQuery::addBindValue with any Qt driver, for SQLite's
    ///   API and ODBC; Dollar ("$1".."$n") for libpq's PQexecParams or PQprepare.
    /// Qt's PostgreSQL driver writes bound values into its statement itself, escaped for the
    /// standard_conforming_strings it found when the connection opened: set that option when
    /// connecting, not later with SET, or bind through libpq.
    /// Throws FilterError, as OK's alert would tell it, for a form that does not compose: an
    /// empty condition would filter nothing. OK composes the same rows, so this does not happen
    /// after a confirmed dialog.
    BoundCondition FilterQuery(SqlEngine engine = SqlEngine::SQLite,
                               Placeholders placeholders = Placeholders::QMark) const;
    /// The same condition in words, as the user wrote it in the dialog's language, for a
    /// status line: "(物料 等于 轴承 BR100 或者 颜色 等于 红色) 并且 数量 大于或等于 50". Empty
    /// before any, and after a confirmed dialog with no row in use.
    QString FilterText() const;
    /// The rows of the same dialog as a scheme text ("" before any), from which
    /// ConditionComposer composes the same condition again: for a status line in another
    /// language, say.
    QString FilterScheme() const;
    /// The answers the user gave at OK to the values the scheme asks when it runs, by question
    /// (empty when it asks none): FilterScheme keeps the questions, and ConditionComposer takes
    /// these answers to compose the same condition again.
    Answers FilterAnswers() const;
    /// Lets the dialog show, under its grid, how many records the condition being written
    /// matches: counter gets the condition in bound form for engine and placeholders, as
    /// FilterQuery would give it, a moment after the user stops changing the grid. It runs on
    /// a worker thread, never on the user-interface thread: see MatchCounter for what it may
    /// and may not do. An empty counter (the default) leaves the dialog without the line.
    /// Takes effect from the next ShowFilterForm.
    void setMatchCounter(MatchCounter counter, SqlEngine engine = SqlEngine::SQLite,
                         Placeholders placeholders = Placeholders::QMark);
    /// How long the dialog waits for the exact count before its line shows the counter's
    /// estimate, marked as one (see CountControl::estimate), until the exact count comes;
    /// 1 s by default. Takes effect from the next ShowFilterForm.
    void setCountBudget(std::chrono::milliseconds budget);
    /// Lets the dialog remember the size the user gave it, per screen, in the application's
    /// settings under its organisation (QSettings); off by default, so that a host that keeps
    /// no settings gets none written. Takes effect from the next ShowFilterForm.
    void setRememberDialogSize(bool remember);
    /// Whether the dialog remembers its size (see setRememberDialogSize).
    bool RememberDialogSize() const;
    /// Lets the dialog open with the condition of the last OK on the same screen instead of an
    /// empty grid, its scheme selected when the grid shows that scheme unchanged; OK then keeps
    /// the filter in force. Off by default, so that a host that wants a fresh dialog on every
    /// call keeps it. Takes effect from the next ShowFilterForm. Without a condition to reopen
    /// with, the dialog opens with the screen's default scheme when the user has chosen one.
    void setReopenWithLastCondition(bool reopen);
    /// Whether the dialog reopens with the last confirmed condition (see
    /// setReopenWithLastCondition).
    bool ReopenWithLastCondition() const;
    /// Forgets the condition of the last OK, for a host that drops the filter in force by a
    /// command of its own: FilterSQL, FilterQuery, FilterText and FilterScheme then read as
    /// before any dialog, and a dialog reopened with setReopenWithLastCondition starts empty.
    /// Cancel is left as it is.
    void clearLastCondition();
    /// The day a week starts on for the relative dates "本周" and "上周" (this week, last
    /// week): Monday unless the host sets another. A value that is no day of the week is
    /// taken as Monday. Takes effect from the next ShowFilterForm; the conditions of that
    /// dialog (FilterSQL, FilterQuery and the count line) use it.
    void setFirstDayOfWeek(Qt::DayOfWeek day);
    /// The day a week starts on (see setFirstDayOfWeek).
    Qt::DayOfWeek FirstDayOfWeek() const;
    /// Who runs the dialog: the name the value word 当前用户 ("current user") stands for on a
    /// text or look-up field, so that one shared scheme serves every user. Empty by default:
    /// OK then refuses a row with the word, naming it. Takes effect from the next
    /// ShowFilterForm; the conditions of that dialog (FilterSQL, FilterQuery and the count
    /// line) use it.
    void setCurrentUser(const QString &name);
    /// The name set by setCurrentUser.
    QString CurrentUser() const;
    /// Lets the next ShowFilterForm open with the condition of text, the words a user types
    /// and FilterText writes ("数量 大于 50 并且 序列号 包含 「SN 1」"; see ConditionText::parse),
    /// instead of an empty grid or the condition of the last OK; OK then confirms what the
    /// user made of it. The text is read now, against the fields set now (set them first);
    /// an empty text opens an empty grid. Returns nothing when the text reads; otherwise why
    /// it does not and where (ConditionTextFailure::message), and the next dialog opens as
    /// it would have. Only the next dialog opens with it.
    std::optional<ConditionTextFailure> setCondition(const QString &text);
    /// Runs the modal dialog and returns FilterSQL. Both arguments are accepted and ignored.
    /// Deleting the Filter while its dialog runs (from a timer, say) cancels the dialog; the
    /// call then returns an empty text and touches nothing of the deleted object.
    QString ShowFilterForm(const QString &strScreenID = QString(), bool blnOverLoad = false);
    /// Same as ShowFilterForm.
    QString operator()(const QString &strScreenID = QString(), bool blnOverLoad = false)
    {
        return ShowFilterForm(strScreenID, blnOverLoad);
    }

private:
    friend class FilterTestAccess;
    std::unique_ptr<FilterPrivate> const d;
};

/// What the registry creates for the identifier "NxSerialFilter.Filter".
class NXSERIALFILTER_EXPORT FilterComponent : public Component
{
public:
    Filter filter; ///< the Filter the host drives; lives as long as the component
};

} // namespace NxSerialFilter
