// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The scheme text's way into and out of the dialog's grid: only the dialog's library holds it.
#include "core/schemes/schemetext.h"

#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuecells.h"
#include "core/conditions/vocabulary.h"
#include "core/text/spaces.h"

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

/// The words of the logic and comparison cells a loaded text did not match: a scheme keeps
/// the words of the language it was saved in, and a store may be shared by users of several.
void matchForeignWords(ConditionGrid &grid, int lines)
{
    const int columns[] = {ConditionGrid::ColLogic, ConditionGrid::ColCompare};
    QList<QStringList> lists[2];
    for (int r = 1; r <= lines; ++r) {
        for (int i = 0; i < 2; ++i) {
            const int col = columns[i];
            const QString word = grid.GetCellText(r, col);
            if (word.isEmpty() || grid.GetComboIndex(r, col) >= 0)
                continue;
            if (lists[i].isEmpty())
                lists[i] = Vocabulary::inShippedLanguages(i == 0 ? Vocabulary::logicItems()
                                                                 : Vocabulary::compareItems());
            for (const QStringList &list : std::as_const(lists[i])) {
                const qsizetype at = list.indexOf(word);
                if (at >= 0 && at < grid.columnItems(col).size()) {
                    grid.SetComboIndex(r, col, int(at));
                    break;
                }
            }
        }
    }
}

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
    return trimSpaces(grid.blockText());
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
    LoadingFlag loading(valueCells);
    const int lines = text.isEmpty() ? 0 : int(text.count(QStringLiteral("\r\n"))) + 1;
    // A grid never has fewer than one row, so an empty text loads as one empty row.
    grid.SetMaxRows(std::max(lines, 1));
    grid.SelectBlock(1, grid.MaxRows(), 1, grid.MaxCols());
    grid.setBlockText(text);
    grid.setBlockMode(false);
    matchForeignWords(grid, lines);
    setUpValueCells(grid, valueCells, lines);
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
