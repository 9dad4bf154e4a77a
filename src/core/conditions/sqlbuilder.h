// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "filterstate.h"
#include <NxSerialFilter/nxsf_core_export.h>

namespace NxSerialFilter {

class ConditionGrid;

/// Composes the SQL condition from the grid's rows in use.
namespace SqlBuilder {

/// The condition for the rows in use, wrapped twice in " (" and ") ", or "" when no row is in
/// use. Throws FilterError when the grid cannot be turned into a condition: 14416 with the
/// source "[CreateSQL]" for a field the description does not know or cannot type, the
/// parenthesis refusals (ErrorNumber::UnbalancedParentheses) for unbalanced parentheses or
/// parenthesis cells holding anything but parentheses, and a row-naming failure for a row
/// with no logic, comparison or field entry. Changes nothing.
NXSF_CORE_PRIVATE_EXPORT QString compose(const FilterState &state, const ConditionGrid &grid);

/// Runs compose under the busy pointer: on success stores FilterSQL and returns true; on
/// failure shows exactly one alert (style 48 for the parenthesis refusals, 64 otherwise),
/// leaves FilterSQL and the grid as they were, returns false.
NXSF_CORE_PRIVATE_EXPORT bool CreateSQL(FilterState &state, const ConditionGrid &grid);

} // namespace SqlBuilder
} // namespace NxSerialFilter
