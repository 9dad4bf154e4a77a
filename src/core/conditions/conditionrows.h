// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/nxsf_core_export.h>

/// Row operations on a condition as the grid shows it (rows numbered from 1). After each the
/// grid's row rules hold: the first row has no logic word, a row that comes to follow another
/// has one, and the last row is blank for new input.
namespace NxSerialFilter::ConditionRows {

/// True when a row holds nothing the user entered. Its logic word does not count: the grid
/// may have defaulted it on a row nobody touched.
NXSF_CORE_AUTOTEST_EXPORT bool isBlank(const ConditionRow &row);
/// The condition without the blank rows at its end, whose number follows the dialog's height.
NXSF_CORE_AUTOTEST_EXPORT Condition withoutBlankEnd(Condition condition);
/// Equal but for blank rows at their ends.
NXSF_CORE_AUTOTEST_EXPORT bool sameShown(const Condition &a, const Condition &b);

/// Removes row; false when there is no such row or nothing would change.
NXSF_CORE_AUTOTEST_EXPORT bool deleteRow(Condition &condition, int row);
/// Puts rows above row (one past the last appends); an empty list inserts one empty row.
/// False when row is out of range or the result would be over Limits::MaxSchemeRows.
NXSF_CORE_AUTOTEST_EXPORT bool insertRows(Condition &condition, int row,
                                          const QList<ConditionRow> &rows = {});
/// Swaps row with the one above (by -1) or below (by 1); rows move only among the rows in
/// use, never into the blank ones after them. False when nothing moved.
NXSF_CORE_AUTOTEST_EXPORT bool moveRow(Condition &condition, int row, int by);

} // namespace NxSerialFilter::ConditionRows
