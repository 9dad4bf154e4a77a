// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "nxserialfilter_export.h"
#include "filterstate.h"

namespace NxSerialFilter {

class ConditionGrid;

/// Composes the SQL condition from the grid's rows in use.
namespace SqlBuilder {

/// The condition for the rows in use, wrapped twice in " (" and ") ", or "" when no row is in
/// use. Throws FilterError (14416, "[CreateSQL]" for the field failures) when the grid cannot
/// be turned into a condition. Changes nothing.
NXSERIALFILTER_EXPORT QString compose(const FilterState &state, const ConditionGrid &grid);

/// Runs compose under the busy pointer: on success stores FilterSQL and returns true; on
/// failure shows exactly one alert, leaves FilterSQL and the grid as they were, returns false.
NXSERIALFILTER_EXPORT bool CreateSQL(FilterState &state, const ConditionGrid &grid);

} // namespace SqlBuilder
} // namespace NxSerialFilter
