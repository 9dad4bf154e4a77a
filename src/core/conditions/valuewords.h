// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/fieldcatalog.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <NxSerialFilter/condition.h>

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace NxSerialFilter {

/// Values pasted into a value list: a column copied from a spreadsheet, or a text.
struct PastedValues
{
    QStringList values; ///< in the order pasted, each once
    int duplicates = 0; ///< pieces dropped because an earlier one was the same

    /// "312 个值，去除重复 4 个", in the current language.
    NXSF_CORE_AUTOTEST_EXPORT QString message() const;
};

/// Splits pasted text at new lines, tabs, commas and semicolons; trims the blanks of every
/// piece and drops empty pieces and repeats.
NXSF_CORE_AUTOTEST_EXPORT PastedValues splitPastedValues(QStringView text);

/// What a value list's cell shows: how many values it holds and its first ones, as in
/// "(312) A001, A002, A003 …". The list is the cell's text, values separated by ",".
NXSF_CORE_AUTOTEST_EXPORT QString listSummary(QStringView list);
/// The values of a list one per line, or with lineWidth several to a line joined by ", " as long
/// as a line stays within lineWidth characters; past maxLines lines a last line says how many
/// values there are in all.
NXSF_CORE_AUTOTEST_EXPORT QString listLines(QStringView list, qsizetype maxLines,
                                            qsizetype lineWidth = 0);
/// The question on values a look-up does not hold: how many, the first of them one per line,
/// and whether to use them all the same; one value is asked of in the singular.
NXSF_CORE_AUTOTEST_EXPORT QString unknownValuesQuestion(const QStringList &unknown);

/// A date named by a word that keeps its meaning as days pass: "本月", "过去7天".
struct RelativeDate
{
    enum class Period : quint8 {
        Today,
        Yesterday,
        ThisWeek,
        LastWeek,
        ThisMonth,
        LastMonth,
        ThisQuarter,
        LastQuarter,
        ThisYear,
        LastYear,
        LastDays, ///< the days N-1 before today and today
        NextDays, ///< today and the N-1 days after it
    };
    Period period = Period::Today;
    int days = 0; ///< N of LastDays and NextDays

    /// The largest N: beyond it the dates leave the calendar's useful range.
    static constexpr int MaxDays = 36600;

    /// The word in any language the component ships (blanks at the ends and letter case
    /// ignored); nothing when text names no relative date.
    static std::optional<RelativeDate> read(QStringView text);
    /// The word in language ("en", ...; empty for the current one).
    QString word(const QString &language = QString()) const;
    /// The days the word means on today: from first up to, not including, end.
    std::pair<QDate, QDate> range(QDate today, Qt::DayOfWeek firstDayOfWeek) const;
    /// The words a date value offers beside the calendar, in the order they are offered.
    static QList<RelativeDate> offered();

    friend bool operator==(const RelativeDate &, const RelativeDate &) = default;
};

/// The value word 当前用户 ("current user"), which stands for the name of whoever composes the
/// condition: on a text or look-up field, for the plain comparisons and 包含 or 不包含.
namespace CurrentUser {
/// The word in language ("en", ...; empty for the current one).
QString word(const QString &language = QString());
/// Whether text is the word in any language the component ships (blanks at the ends and
/// letter case ignored).
bool isWord(QStringView text);
/// Whether a row on a field of kind, compared by op, reads the word as the user's name.
bool takesWord(ValueKind kind, CompareOp op);
} // namespace CurrentUser

/// The day a week starts on: day, or Monday for a value that names no day of the week (9,
/// say), which would start every week on a day outside it, even in the future. Every way the
/// day comes in (the dialog, SqlForm, the composer) passes it here.
Qt::DayOfWeek weekStart(Qt::DayOfWeek day);

/// Whether a date field's value, compared by op, is a text that is neither a date nor a
/// relative date this build knows (2024-02-30, a word of a newer build): compared as that
/// text it would find nothing, so it does not compose. An empty value, a pattern and a list
/// are never such a text.
bool namesNoDate(CompareOp op, const ConditionValue &value);

/// Whether row compares a date field with a text namesNoDate tells of, so that a load tells
/// the user.
bool holdsUnknownDate(const FieldCatalog &catalog, const ConditionRow &row);

} // namespace NxSerialFilter
