// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/boundcondition.h>
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/fieldcatalog.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QDate>
#include <QString>

#include <array>
#include <optional>

namespace NxSerialFilter {

/// The condition confirmed at OK. Its bound forms and words are composed from it when first
/// asked for, once: a host reads one form, and OK need not compose the others.
class NXSF_CORE_AUTOTEST_EXPORT ConfirmedCondition
{
public:
    ConfirmedCondition() = default;
    /// sql: FilterSQL as composed at OK; asOf and firstDayOfWeek: the day it counted relative
    /// dates from and the day its weeks started on; the bound forms count the same days.
    /// answers: those of the condition's questions, which the bound forms and the words take
    /// too (the condition keeps the questions); the bound forms read 当前用户 as currentUser.
    ConfirmedCondition(FieldCatalog catalog, Condition condition, QString sql, QDate asOf,
                       Qt::DayOfWeek firstDayOfWeek = Qt::Monday, Answers answers = {},
                       QString currentUser = {})
        : m_catalog(std::move(catalog))
        , m_condition(std::move(condition))
        , m_sql(std::move(sql))
        , m_asOf(asOf)
        , m_firstDayOfWeek(firstDayOfWeek)
        , m_answers(std::move(answers))
        , m_currentUser(std::move(currentUser))
    {}

    const Condition &condition() const { return m_condition; }
    /// FilterSQL: the text form composed at OK; empty before a condition was confirmed.
    const QString &sql() const { return m_sql; }
    /// The bound form for engine and placeholders (empty before a condition was confirmed), or
    /// why it does not compose: an empty condition would filter nothing.
    Composed query(SqlEngine engine, Placeholders placeholders) const;
    /// The condition in the current language's words.
    QString text() const;
    /// The answers to the condition's questions given at OK.
    const Answers &answers() const { return m_answers; }

private:
    FieldCatalog m_catalog;
    Condition m_condition;
    QString m_sql;
    QDate m_asOf;
    Qt::DayOfWeek m_firstDayOfWeek = Qt::Monday;
    Answers m_answers;
    QString m_currentUser;
    mutable std::array<std::optional<Composed>, 4> m_queries;
    mutable std::optional<QString> m_text;
};

} // namespace NxSerialFilter
