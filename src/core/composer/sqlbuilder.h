// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/composer/confirmedcondition.h"
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QStringView>

#include <optional>

namespace NxSerialFilter {

class ConditionGrid;

/// The dialog's grid composed through compose() over the grid's catalog.
///
/// The field descriptions are the host's code and trusted input: their column names go into
/// the condition as written. A name outside the grammar of ColumnExpression is refused all the
/// same, so that a description read from a file cannot widen a filter; in serial mode the name
/// must be one column ("tf." is put before it), for a look-up field one plain name.
namespace SqlBuilder {

/// The failure as the component's exception, as the dialog reports it: its number, the
/// source "[CreateSQL]", its message and row.
NXSF_CORE_AUTOTEST_EXPORT FilterError failureError(const ComposeFailure &failure);

/// FilterSQL of the grid's rows in use; throws failureError when they do not compose.
NXSF_CORE_AUTOTEST_EXPORT QString compose(const ConditionGrid &grid);

/// The bound form of the grid's rows in use; fails where compose fails. On PostgreSQL a
/// column name quoted in […] is written in "…", and every Like is ILike under the "C"
/// collation, so that letter case is ignored for ASCII letters only, as by SQLite's Like.
/// Relative dates count from asOf (null: today by the host's clock), weeks from
/// firstDayOfWeek; 当前用户 is currentUser.
NXSF_CORE_AUTOTEST_EXPORT BoundCondition
composeBound(const ConditionGrid &grid, SqlEngine engine = SqlEngine::SQLite,
             Placeholders placeholders = Placeholders::QMark, QDate asOf = {},
             Qt::DayOfWeek firstDayOfWeek = Qt::Monday, const QString &currentUser = {});

/// The rows in use in the words of the current language, for example
/// "(物料 等于 轴承 BR100 或者 颜色 等于 红色) 并且 数量 大于或等于 50". Never throws.
NXSF_CORE_AUTOTEST_EXPORT QString conditionText(const ConditionGrid &grid);

/// OK's step: composes FilterSQL under the busy pointer; on success makes the grid's
/// condition with it the confirmed one. On failure returns it and leaves the confirmed
/// condition and the grid as they were; the dialog shows it in one alert, the pointer
/// already restored. Relative dates count from asOf (null: today by the host's clock), weeks
/// from firstDayOfWeek, for FilterSQL and the bound forms alike; answers answer the
/// condition's questions for every form, 当前用户 is currentUser.
NXSF_CORE_AUTOTEST_EXPORT std::optional<ComposeFailure>
confirm(ConfirmedCondition &confirmed, const ConditionGrid &grid, QDate asOf = {},
        Qt::DayOfWeek firstDayOfWeek = Qt::Monday, const Answers &answers = {},
        const QString &currentUser = {});

/// The alert style of a failure: nxAlert::Warning for the parenthesis refusals (the user's to
/// correct), nxAlert::Information otherwise.
NXSF_CORE_AUTOTEST_EXPORT int alertStyle(const ComposeFailure &failure);

} // namespace SqlBuilder
} // namespace NxSerialFilter
