// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/schemes/schemetext.h"

#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuecells.h"
#include "core/conditions/valuewords.h"
#include "core/conditions/vocabulary.h"
#include "core/fields/fieldcatalogdata.h"
#include "core/support/mparse.h"
#include "core/support/quotes.h"
#include "core/support/spaces.h"
#include "core/support/texts.h"
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/schemetext.h>

#include <QHash>

using namespace Qt::Literals::StringLiterals;

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

/// Reads the words of one list cell: the current language first, then every language the
/// component ships, so that a scheme saved in one language reads in every other.
class WordMatcher
{
public:
    explicit WordMatcher(QStringList designItems)
        : m_design(std::move(designItems))
    {
        for (qsizetype i = 0; i < m_design.size(); ++i)
            m_current.insert(MParse::LoadLangString2(m_design.at(i)), int(i));
    }

    /// The position of word; -1 when no language has it.
    int find(const QString &word)
    {
        if (const auto at = m_current.constFind(word); at != m_current.constEnd())
            return *at;
        if (!m_shippedRead) {
            m_shippedRead = true;
            for (const QStringList &list : Vocabulary::inShippedLanguages(m_design)) {
                for (qsizetype i = 0; i < list.size(); ++i) {
                    if (!m_shipped.contains(list.at(i)))
                        m_shipped.insert(list.at(i), int(i));
                }
            }
        }
        return m_shipped.value(word, -1);
    }

private:
    QStringList m_design;
    QHash<QString, int> m_current;
    QHash<QString, int> m_shipped;
    bool m_shippedRead = false;
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

Parsed parse(const QString &text, const FieldCatalog &catalog)
{
    Parsed parsed;
    try {
        checkSize(text);
    } catch (const FilterError &e) {
        parsed.refusal = e.description();
        return parsed;
    }
    // A grid never has fewer than one row, so an empty text reads as one empty row.
    const QStringList lines = text.isEmpty() ? QStringList{QString()} : text.split(u"\r\n"_qs);
    WordMatcher logicWords(Vocabulary::logicItems());
    // The value lists are no item of the comparison list: a stored text does not name them.
    WordMatcher compareWords(Vocabulary::compareItems());
    QHash<QString, int> fields; // the first position of each caption, as the list finds it
    fields.reserve(catalog.count());
    for (int k = catalog.count() - 1; k >= 1; --k)
        fields.insert(catalog.caption(k), k);
    fields.insert(MParse::LoadLangString(Texts::noField()), 0);
    fields.remove(QString()); // an empty text is no choice
    QList<ConditionRow> &rows = parsed.condition.rows();
    rows.reserve(lines.size());
    int r = 0;
    for (const QString &line : lines) {
        ++r;
        const QStringList cells = line.split(u'\t');
        const auto cell = [&cells](int col) { return wellFormedCell(cells.value(col - 1)); };
        ConditionRow row;
        const QString logic = cell(ConditionGrid::ColLogic);
        const int logicAt = logic.isEmpty() ? -1 : logicWords.find(logic);
        if (logicAt >= 0) {
            row.logic = LogicOp(logicAt);
        } else if (!logic.isEmpty()) {
            row.unmatched.logic = logic;
            if (r > 1) // the first row's logic is never read
                parsed.problems.append({r, RowProblem::Cell::Logic, logic});
        }
        row.open = cell(ConditionGrid::ColLeftParen);
        const QString field = cell(ConditionGrid::ColField);
        row.field = fields.value(field, -1);
        if (row.field < 0 && !field.isEmpty()) {
            row.unmatched.field = field;
            parsed.problems.append({r, RowProblem::Cell::Field, field});
        }
        const QString compare = cell(ConditionGrid::ColCompare);
        const int compareAt = compare.isEmpty() ? -1 : compareWords.find(compare);
        if (compareAt >= 0) {
            row.compare = CompareOp(compareAt);
        } else if (!compare.isEmpty()) {
            row.unmatched.compare = compare;
            parsed.problems.append({r, RowProblem::Cell::Compare, compare});
        }
        row.value = ConditionValue::fromText(rowValueKind(catalog, row.field, row.compare),
                                             cell(ConditionGrid::ColValue));
        if (holdsUnknownDate(catalog, row))
            parsed.problems.append({r, RowProblem::Cell::Value, row.value.text()});
        row.code = cell(ConditionGrid::ColValueCode);
        row.close = cell(ConditionGrid::ColRightParen);
        rows.append(std::move(row));
    }
    return parsed;
}

QString write(const Condition &condition, const FieldCatalog &catalog, const QString &language)
{
    const Vocabulary::WordBook book(language);
    QString text;
    text.reserve(condition.size() * 32);
    bool first = true;
    for (const ConditionRow &row : condition) {
        if (!first)
            text += u"\r\n"_qs;
        first = false;
        text += row.unmatched.logic.isEmpty() ? book.logic(row.logic) : row.unmatched.logic;
        text += u'\t';
        text += row.open;
        text += u'\t';
        if (!row.unmatched.field.isEmpty())
            text += row.unmatched.field;
        else if (row.field == 0)
            text += book.noField();
        else
            text += catalog.caption(row.field);
        text += u'\t';
        text += row.unmatched.compare.isEmpty() ? book.compare(row.compare) : row.unmatched.compare;
        text += u'\t';
        // A relative date is stored in the saver's language, as the comparison is.
        text += catalog.valueKind(row.field) == ValueKind::Date
                    ? book.dateValue(row.value.text(), row.compare)
                    : row.value.text();
        text += u'\t';
        text += row.code;
        text += u'\t';
        text += row.close;
    }
    return trimSpaces(text);
}

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
    setUpValueCells(grid, valueCells, lines);
}

void applyCondition(FilterState &state, ConditionGrid &grid, ValueCells &valueCells,
                    const Condition &condition)
{
    LoadingFlag loading(state);
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
