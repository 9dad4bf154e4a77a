// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/conditions/valuewords.h"

#include "core/conditions/datetext.h"
#include "core/conditions/vocabulary.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace NxSerialFilter {

namespace {

/// The words by Period, the two with a number last: they hold "%1".
QStringList designWords()
{
    return {Texts::relativeToday(),       Texts::relativeYesterday(),   Texts::relativeThisWeek(),
            Texts::relativeLastWeek(),    Texts::relativeThisMonth(),   Texts::relativeLastMonth(),
            Texts::relativeThisQuarter(), Texts::relativeLastQuarter(), Texts::relativeThisYear(),
            Texts::relativeLastYear(),    Texts::relativeLastDays(),    Texts::relativeNextDays()};
}

constexpr int fixedWords = 10;

struct WordPatterns
{
    QList<QStringList> fixed;          // by language
    QList<QRegularExpression> counted; // LastDays then NextDays, per language
    QSet<qsizetype> fixedSizes;        // a text of another length is no fixed word
};

/// The words of every shipped language, read once: the translations are built in.
const WordPatterns &patterns()
{
    static const WordPatterns built = [] {
        WordPatterns p;
        for (const QStringList &words : Vocabulary::inShippedLanguages(designWords())) {
            p.fixed.append(words.first(fixedWords));
            for (int i = 0; i < fixedWords; ++i)
                p.fixedSizes.insert(words.at(i).size());
            for (int i = fixedWords; i < words.size(); ++i) {
                QStringList pieces = words.at(i).split(QStringLiteral("%1"));
                for (QString &piece : pieces)
                    piece = QRegularExpression::escape(piece);
                const QString pattern = pieces.join(QStringLiteral("\\s*(\\d{1,5})\\s*"));
                p.counted.append(QRegularExpression(
                    u'^' + pattern + u'$', QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::UseUnicodePropertiesOption));
            }
        }
        return p;
    }();
    return built;
}

} // namespace

std::optional<RelativeDate> RelativeDate::read(QStringView text)
{
    const QStringView word = text.trimmed();
    // A date, a number or nothing at all: the common values, answered without a look-up.
    if (word.isEmpty() || word.front().isDigit())
        return std::nullopt;
    const WordPatterns &p = patterns();
    // Ignoring case compares character by character: only a word of the same length matches.
    if (p.fixedSizes.contains(word.size())) {
        for (const QStringList &words : p.fixed) {
            for (int i = 0; i < words.size(); ++i) {
                if (word.compare(words.at(i), Qt::CaseInsensitive) == 0)
                    return RelativeDate{Period(i), 0};
            }
        }
    }
    // A counted word holds digits; a text of ASCII characters without one is no such word.
    if (std::all_of(word.begin(), word.end(),
                    [](QChar ch) { return ch.unicode() < 0x80 && !ch.isDigit(); }))
        return std::nullopt;
    for (qsizetype i = 0; i < p.counted.size(); ++i) {
        const QRegularExpressionMatch match = p.counted.at(i).match(word.toString());
        if (!match.hasMatch())
            continue;
        const int days = match.capturedView(1).toInt();
        if (days < 1 || days > MaxDays)
            return std::nullopt;
        return RelativeDate{i % 2 == 0 ? Period::LastDays : Period::NextDays, days};
    }
    return std::nullopt;
}

QString RelativeDate::word(const QString &language) const
{
    const QString key = designWords().at(int(period));
    const QString text = Vocabulary::translated(key, language);
    return period == Period::LastDays || period == Period::NextDays ? text.arg(days) : text;
}

QList<RelativeDate> RelativeDate::offered()
{
    using P = Period;
    return {{P::Today},       {P::Yesterday},    {P::ThisWeek},    {P::LastWeek},    {P::ThisMonth},
            {P::LastMonth},   {P::ThisQuarter},  {P::LastQuarter}, {P::ThisYear},    {P::LastYear},
            {P::LastDays, 7}, {P::LastDays, 30}, {P::NextDays, 7}, {P::NextDays, 30}};
}

std::pair<QDate, QDate> RelativeDate::range(QDate today, Qt::DayOfWeek firstDayOfWeek) const
{
    const QDate week = today.addDays(-((today.dayOfWeek() - int(firstDayOfWeek) + 7) % 7));
    const QDate month(today.year(), today.month(), 1);
    const QDate quarter(today.year(), (today.month() - 1) / 3 * 3 + 1, 1);
    const QDate year(today.year(), 1, 1);
    switch (period) {
    case Period::Today:
        return {today, today.addDays(1)};
    case Period::Yesterday:
        return {today.addDays(-1), today};
    case Period::ThisWeek:
        return {week, week.addDays(7)};
    case Period::LastWeek:
        return {week.addDays(-7), week};
    case Period::ThisMonth:
        return {month, month.addMonths(1)};
    case Period::LastMonth:
        return {month.addMonths(-1), month};
    case Period::ThisQuarter:
        return {quarter, quarter.addMonths(3)};
    case Period::LastQuarter:
        return {quarter.addMonths(-3), quarter};
    case Period::ThisYear:
        return {year, year.addYears(1)};
    case Period::LastYear:
        return {year.addYears(-1), year};
    case Period::LastDays:
        return {today.addDays(1 - days), today.addDays(1)};
    case Period::NextDays:
        return {today, today.addDays(days)};
    }
    return {today, today.addDays(1)};
}

namespace CurrentUser {

QString word(const QString &language)
{
    return Vocabulary::translated(Texts::currentUser(), language);
}

bool isWord(QStringView text)
{
    // Read once: the translations are built in.
    static const QStringList words = [] {
        QStringList all;
        for (const QStringList &list : Vocabulary::inShippedLanguages({Texts::currentUser()}))
            all.append(list.first());
        return all;
    }();
    const QStringView trimmed = text.trimmed();
    return std::any_of(words.begin(), words.end(), [trimmed](const QString &w) {
        return trimmed.size() == w.size() && trimmed.compare(w, Qt::CaseInsensitive) == 0;
    });
}

bool takesWord(ValueKind kind, CompareOp op)
{
    return (kind == ValueKind::Text || kind == ValueKind::LookUp) && op >= CompareOp::Equal &&
           op <= CompareOp::NotContains;
}

} // namespace CurrentUser

Qt::DayOfWeek weekStart(Qt::DayOfWeek day)
{
    return day >= Qt::Monday && day <= Qt::Sunday ? day : Qt::Monday;
}

bool namesNoDate(CompareOp op, const ConditionValue &value)
{
    if (op < CompareOp::Equal || op > CompareOp::NotEqual || value.isEmpty() ||
        value.kind() == ValueKind::Field)
        return false;
    // A value made as a date was read as no relative date when it was made.
    if (value.kind() != ValueKind::Date && RelativeDate::read(value.text()))
        return false;
    return !DateText::parse(value.text()).isValid();
}

bool holdsUnknownDate(const FieldCatalog &catalog, const ConditionRow &row)
{
    return row.field > 0 && catalog.valueKind(row.field) == ValueKind::Date &&
           row.value.kind() != ValueKind::Asked && namesNoDate(row.compare, row.value);
}

} // namespace NxSerialFilter
