// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/limits.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>

namespace NxSerialFilter {

class ConditionGrid;
class ValueCells;

/// The text form of a stored scheme: every grid cell as shown, TAB between cells, CR LF
/// between rows.
namespace SchemeText {

/// The most a scheme text may hold.
constexpr qsizetype MaxTextLength = Limits::MaxSchemeTextLength; // characters
constexpr qsizetype MaxRows = Limits::MaxSchemeRows;
constexpr qsizetype MaxCellLength = Limits::MaxCellLength; // characters

/// Throws FilterError when a text of this many characters is over MaxTextLength.
void checkLength(qsizetype length);
/// Throws FilterError when the text, its number of rows or one of its cells is over its cap.
void checkSize(QStringView text);

/// The grid's scheme text as SchemeText::write writes its condition: what is saved, loaded or
/// composed.
NXSF_CORE_AUTOTEST_EXPORT QString gridText(ConditionGrid &grid);

/// Empties every cell and drops the cells' own settings; the row count stays.
NXSF_CORE_AUTOTEST_EXPORT void clearGrid(ConditionGrid &grid);

/// Puts a stored text into the grid: one row per line (an empty text gives one empty row),
/// value cells set up for their fields with the loaded values kept, empty tests locked.
/// The value cells are loading while it runs, also when it throws. A text over the caps is refused
/// before anything changes. The text is read by SchemeText::parse, as the store and the tool
/// read it, so a scheme saved in one language loads in every other.
NXSF_CORE_AUTOTEST_EXPORT void applyText(ConditionGrid &grid, ValueCells &valueCells,
                                         const QString &text);

/// Puts a condition into the grid (undo, the condition in force) as applyText puts a text:
/// value cells set up for their fields with the values kept, empty tests locked, the load's
/// end state. The value cells are loading while it runs.
NXSF_CORE_AUTOTEST_EXPORT void applyCondition(ConditionGrid &grid, ValueCells &valueCells,
                                              const Condition &condition);

/// The state every load ends in: row 1's logic cell a locked plain cell, row 1 column 2 the
/// active cell.
NXSF_CORE_AUTOTEST_EXPORT void finishLoad(ConditionGrid &grid);

} // namespace SchemeText
} // namespace NxSerialFilter
