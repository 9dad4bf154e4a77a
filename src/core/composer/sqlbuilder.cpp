// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/composer/sqlbuilder.h"

#include "core/conditions/conditiongrid.h"
#include "core/host/busypointer.h"
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/nxalert.h>

namespace NxSerialFilter {

namespace {

/// Where the dialog's composing failures say they come from.
QString source()
{
    return QStringLiteral("[CreateSQL]");
}

} // namespace

Composed ConfirmedCondition::query(SqlEngine engine, Placeholders placeholders) const
{
    std::optional<Composed> &cached = m_queries[size_t(engine) * 2 + size_t(placeholders)];
    if (!cached) {
        SqlForm form = SqlForm::bound(engine, placeholders);
        form.asOf = m_asOf;
        form.firstDayOfWeek = m_firstDayOfWeek;
        form.answers = m_answers;
        form.currentUser = m_currentUser;
        cached = compose(m_catalog, m_condition, form);
    }
    return *cached;
}

QString ConfirmedCondition::text() const
{
    if (!m_text) {
        SqlForm form = SqlForm::words();
        form.answers = m_answers;
        m_text = compose(m_catalog, m_condition, form).text;
    }
    return *m_text;
}

namespace SqlBuilder {

FilterError failureError(const ComposeFailure &failure)
{
    FilterError error(failure.number(),
                      failure.reason == ComposeFailure::Reason::BadDescription
                          ? failure.arguments.value(2)
                          : source(),
                      failure.message());
    error.setRow(failure.row);
    return error;
}

/// The grid's condition composed in form; throws the failure as the dialog reports it.
static Composed composeGrid(const ConditionGrid &grid, const SqlForm &form)
{
    Composed c = NxSerialFilter::compose(grid.catalog(), grid.condition(), form);
    if (c.failure)
        throw failureError(*c.failure);
    return c;
}

QString compose(const ConditionGrid &grid)
{
    return composeGrid(grid, SqlForm::text()).text;
}

BoundCondition composeBound(const ConditionGrid &grid, SqlEngine engine, Placeholders placeholders,
                            QDate asOf, Qt::DayOfWeek firstDayOfWeek, const QString &currentUser)
{
    SqlForm form = SqlForm::bound(engine, placeholders);
    form.asOf = asOf;
    form.firstDayOfWeek = firstDayOfWeek;
    form.currentUser = currentUser;
    return composeGrid(grid, form).bound();
}

QString conditionText(const ConditionGrid &grid)
{
    return composeGrid(grid, SqlForm::words()).text;
}

std::optional<ComposeFailure> confirm(ConfirmedCondition &confirmed, const ConditionGrid &grid,
                                      QDate asOf, Qt::DayOfWeek firstDayOfWeek,
                                      const Answers &answers, const QString &currentUser)
{
    Composed sql;
    SqlForm form = SqlForm::text();
    form.firstDayOfWeek = firstDayOfWeek;
    form.answers = answers;
    form.currentUser = currentUser;
    // A host that asks for the bound form after midnight gets the days of FilterSQL: the day
    // of OK, kept.
    form.asOf = asOf.isValid() ? asOf : QDate::currentDate();
    {
        BusyPointer::Scope busy;
        sql = NxSerialFilter::compose(grid.catalog(), grid.condition(), form);
    }
    if (!sql.ok())
        return std::move(sql.failure);
    confirmed = ConfirmedCondition(grid.catalog(), grid.condition(), std::move(sql.text), form.asOf,
                                   firstDayOfWeek, answers, currentUser);
    return std::nullopt;
}

int alertStyle(const ComposeFailure &failure)
{
    return failure.number() == ErrorNumber::UnbalancedParentheses ? nxAlert::Warning
                                                                  : nxAlert::Information;
}

} // namespace SqlBuilder
} // namespace NxSerialFilter
