// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "filterstate.h"
#include <NxSerialFilter/nxsf_core_export.h>

#include <QStringView>

namespace NxSerialFilter {

class ConditionGrid;

/// Composes the SQL condition from the grid's rows in use.
///
/// The field descriptions are the host's code and trusted input: their column names go into
/// the condition as written. A name outside the grammar of ColumnExpression is refused all the
/// same, so that a description read from a file cannot widen a filter; in serial mode the name
/// must be one column ("tf." is put before it), for a look-up field one plain name.
namespace SqlBuilder {

/// The condition for the rows in use, wrapped twice in " (" and ") ", or "" when no row is in
/// use. Throws FilterError when the grid cannot be turned into a condition: 14416 with the
/// source "[CreateSQL]" for a field the description does not know or cannot type, the
/// parenthesis refusals (ErrorNumber::UnbalancedParentheses) for unbalanced parentheses or
/// parenthesis cells holding anything but parentheses, and a row-naming failure for a row
/// with no logic, comparison or field entry, or with no field while rows with a field follow
/// (only trailing rows without a field end the condition). Changes nothing.
NXSF_CORE_PRIVATE_EXPORT QString compose(const FilterState &state, const ConditionGrid &grid);

/// The same condition in bound form, from the same walk over the rows: a placeholder wherever
/// compose writes a value literal, the values in order (see BoundCondition). On SQLite the
/// text is compose's with only the literals replaced; on PostgreSQL a number or date column
/// is cast to text before Like, every Like is ILike under the "C" collation (letter case is
/// ignored for ASCII letters only, as by SQLite's Like) and gets "ESCAPE ?" bound to "" (a
/// backslash is no escape, as on SQLite), and the empty tests compare no date or number column with
/// '' (it holds none; a number's "=0" stays), so a date column's test is the null test alone. Fails
/// where compose fails, and on PostgreSQL also for a column name quoted in […].
NXSF_CORE_PRIVATE_EXPORT BoundCondition
composeBound(const FilterState &state, const ConditionGrid &grid,
             SqlEngine engine = SqlEngine::SQLite, Placeholders placeholders = Placeholders::QMark);

/// The rows in use in the words the grid shows them, in the dialog's language: logic word,
/// parentheses, field caption, comparison and value, for example
/// "(物料 等于 轴承 BR100 或者 颜色 等于 红色) 并且 数量 大于或等于 50". An empty test shows no
/// value. Meant for a condition that composes: checks nothing and never throws.
NXSF_CORE_PRIVATE_EXPORT QString conditionText(const ConditionGrid &grid);

/// Runs compose under the busy pointer: on success stores FilterSQL, FilterText and, for every
/// engine and placeholder style, FilterQuery, and returns true (a column quoted in […], which
/// only PostgreSQL's forms refuse, stays in them as written: the server refuses to run it); on
/// failure shows exactly one alert (style 48 for the parenthesis refusals, 64 otherwise), leaves
/// FilterSQL, FilterText, FilterQuery and the grid as they were, returns false.
NXSF_CORE_PRIVATE_EXPORT bool CreateSQL(FilterState &state, const ConditionGrid &grid);

} // namespace SqlBuilder
} // namespace NxSerialFilter
