// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "schemetext.h"

#include "conditions/conditiongrid.h"
#include "conditions/valuecells.h"
#include "conditions/vocabulary.h"
#include "support/mparse.h"
#include "support/quotes.h"
#include "support/spaces.h"
#include "support/texts.h"
#include <NxSerialFilter/failure.h>

namespace NxSerialFilter::SchemeText {

namespace {

/// Sets LoadingScheme for a scope, however the scope is left.
class LoadingFlag
{
public:
    explicit LoadingFlag(FilterState &state)
        : m_state(state)
    {
        m_state.LoadingScheme = true;
    }
    ~LoadingFlag() { m_state.LoadingScheme = false; }
    LoadingFlag(const LoadingFlag &) = delete;
    LoadingFlag &operator=(const LoadingFlag &) = delete;

private:
    FilterState &m_state;
};

[[noreturn]] void refuse(QString (*what)(), qsizetype cap)
{
    throw FilterError(ErrorNumber::TooLarge, QStringLiteral("SchemeText"),
                      MParse::LoadLangString(what()) + QString::number(cap));
}

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

} // namespace

void checkLength(qsizetype length)
{
    if (length > MaxTextLength)
        refuse(Texts::schemeTextTooLong, MaxTextLength);
}

void checkSize(QStringView text)
{
    checkLength(text.size());
    qsizetype rows = 1;
    qsizetype cell = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == u'\t' || ch == u'\r' || ch == u'\n') {
            cell = 0;
            if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n' && ++rows > MaxRows)
                refuse(Texts::schemeTooManyRows, MaxRows);
        } else if (++cell > MaxCellLength) {
            refuse(Texts::cellTooLong, MaxCellLength);
        }
    }
}

QString gridText(ConditionGrid &grid)
{
    grid.setActiveCell(1, 1);
    const int rows = grid.MaxRows();
    const int cols = grid.MaxCols();
    grid.SelectBlock(1, rows, 1, cols);
    grid.setBlockMode(false);
    return trimSpaces(grid.blockText());
}

QString GetSchemeText(ConditionGrid &grid)
{
    return quotesDoubled(gridText(grid));
}

void clearGrid(ConditionGrid &grid)
{
    grid.SelectBlock(1, grid.MaxRows(), 1, grid.MaxCols());
    grid.clearBlock();
    grid.setBlockMode(false);
}

void applyText(FilterState &state, ConditionGrid &grid, ValueCells &valueCells, const QString &text)
{
    checkSize(text);
    LoadingFlag loading(state);
    const int lines = text.isEmpty() ? 0 : int(text.count(QStringLiteral("\r\n"))) + 1;
    // A grid never has fewer than one row, so an empty text loads as one empty row.
    grid.SetMaxRows(std::max(lines, 1));
    grid.SelectBlock(1, grid.MaxRows(), 1, grid.MaxCols());
    grid.setBlockText(text);
    grid.setBlockMode(false);
    matchForeignWords(grid, lines);
    for (int r = 1; r <= lines; ++r) {
        const int field = grid.GetComboIndex(r, ConditionGrid::ColField);
        if (field >= 0)
            valueCells.SetValueCell(field, r);
        const QString compare = trimSpaces(grid.GetCellText(r, ConditionGrid::ColCompare));
        if (Vocabulary::isEmptyTest(compare))
            grid.setLocked(r, ConditionGrid::ColValue, true);
    }
}

void finishLoad(ConditionGrid &grid)
{
    grid.setCellKind(1, ConditionGrid::ColLogic, CellKind::Text);
    grid.setLocked(1, ConditionGrid::ColLogic, true);
    grid.setActiveCell(1, ConditionGrid::ColLeftParen);
}

} // namespace NxSerialFilter::SchemeText
