// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The scheme text's way into and out of the dialog's grid: only the dialog's library holds it.
#include "core/schemes/schemetext.h"

#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuecells.h"
#include "core/conditions/vocabulary.h"
#include "core/text/spaces.h"
#include <NxSerialFilter/schemetext.h>

namespace NxSerialFilter::SchemeText {

namespace {

/// Marks the value cells as loading for a scope, however the scope is left.
class LoadingFlag
{
public:
    explicit LoadingFlag(ValueCells &cells)
        : m_cells(cells)
    {
        m_cells.setLoadingScheme(true);
    }
    ~LoadingFlag() { m_cells.setLoadingScheme(false); }
    LoadingFlag(const LoadingFlag &) = delete;
    LoadingFlag &operator=(const LoadingFlag &) = delete;

private:
    ValueCells &m_cells;
};

/// Sets up the value cells of the first rows for their fields, keeping their values, and
/// locks the value cells of the empty tests.
void setUpValueCells(ConditionGrid &grid, ValueCells &valueCells, int rows)
{
    for (int r = 1; r <= rows; ++r) {
        const int field = grid.GetComboIndex(r, ConditionGrid::ColField);
        if (field >= 0)
            valueCells.SetValueCell(field, r);
        const QString compare = trimSpaces(grid.GetCellText(r, ConditionGrid::ColCompare));
        if (Vocabulary::isEmptyTest(compare))
            grid.setLocked(r, ConditionGrid::ColValue, true);
    }
}

} // namespace

QString gridText(ConditionGrid &grid)
{
    grid.setActiveCell(1, 1);
    const int rows = grid.MaxRows();
    const int cols = grid.MaxCols();
    grid.SelectBlock(1, rows, 1, cols);
    grid.setBlockMode(false);
    return write(grid.condition(), grid.catalog());
}

void clearGrid(ConditionGrid &grid)
{
    grid.SelectBlock(1, grid.MaxRows(), 1, grid.MaxCols());
    grid.clearBlock();
    grid.setBlockMode(false);
}

void applyText(ConditionGrid &grid, ValueCells &valueCells, const QString &text)
{
    checkSize(text);
    // The one reader of stored texts: the grid takes what the store and the tool compose.
    const Parsed parsed = parse(text, grid.catalog());
    LoadingFlag loading(valueCells);
    grid.setCondition(parsed.condition);
    setUpValueCells(grid, valueCells, grid.MaxRows());
}

void applyCondition(ConditionGrid &grid, ValueCells &valueCells, const Condition &condition)
{
    LoadingFlag loading(valueCells);
    grid.setCondition(condition);
    setUpValueCells(grid, valueCells, grid.MaxRows());
    finishLoad(grid);
}

void finishLoad(ConditionGrid &grid)
{
    grid.setCellKind(1, ConditionGrid::ColLogic, CellKind::Text);
    grid.setLocked(1, ConditionGrid::ColLogic, true);
    grid.setActiveCell(1, ConditionGrid::ColLeftParen);
}
} // namespace NxSerialFilter::SchemeText
