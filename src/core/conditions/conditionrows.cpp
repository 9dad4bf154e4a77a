// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/conditions/conditionrows.h"

#include <NxSerialFilter/limits.h>

namespace NxSerialFilter::ConditionRows {

namespace {

qsizetype shownRows(const Condition &condition)
{
    qsizetype n = condition.size();
    while (n > 0 && isBlank(condition.at(n - 1)))
        --n;
    return n;
}

/// The row rules around the rows from..to (from 0) that an operation changed.
void keepRules(Condition &condition, qsizetype from, qsizetype to)
{
    QList<ConditionRow> &rows = condition.rows();
    for (qsizetype i = std::max<qsizetype>(from, 0); i <= to && i < rows.size(); ++i) {
        ConditionRow &row = rows[i];
        if (i == 0) {
            // The first condition has no logic word.
            row.logic = LogicOp::None;
            row.unmatched.logic.clear();
        } else if (row.logic == LogicOp::None && row.unmatched.logic.isEmpty() && !isBlank(row)) {
            // As a row gets when its field is chosen; a blank row gets it then.
            row.logic = LogicOp::And;
        }
    }
    if (rows.isEmpty() || !isBlank(rows.constLast()))
        rows.append(ConditionRow{});
}

} // namespace

bool isBlank(const ConditionRow &row)
{
    return row.field < 0 && row.unmatched.field.isEmpty() && row.open.isEmpty() &&
           row.close.isEmpty() && row.compare == CompareOp::None &&
           row.unmatched.compare.isEmpty() && row.value.isEmpty() && row.code.isEmpty();
}

Condition withoutBlankEnd(Condition condition)
{
    condition.rows().resize(shownRows(condition));
    return condition;
}

bool sameShown(const Condition &a, const Condition &b)
{
    const qsizetype n = shownRows(a);
    if (n != shownRows(b))
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        if (!(a.at(i) == b.at(i)))
            return false;
    }
    return true;
}

bool deleteRow(Condition &condition, int row)
{
    if (row < 1 || row > condition.size())
        return false;
    const Condition before = condition;
    condition.rows().removeAt(row - 1);
    keepRules(condition, row - 1, row - 1);
    return !(condition == before);
}

bool insertRows(Condition &condition, int row, const QList<ConditionRow> &rows)
{
    QList<ConditionRow> added = rows;
    if (added.isEmpty()) {
        // An empty row shows the logic word a new row is given, unless it becomes the first.
        added.append(ConditionRow{});
        if (row > 1)
            added.first().logic = LogicOp::And;
    }
    if (row < 1 || row > condition.size() + 1 ||
        condition.size() + added.size() > Limits::MaxSchemeRows)
        return false;
    QList<ConditionRow> &list = condition.rows();
    list.insert(row - 1, added.size(), ConditionRow{});
    std::copy(added.cbegin(), added.cend(), list.begin() + (row - 1));
    // The row that was first, pushed down, now needs a logic word too.
    keepRules(condition, row - 1, row - 1 + added.size());
    return true;
}

bool moveRow(Condition &condition, int row, int by)
{
    const int to = row + by;
    const qsizetype used = shownRows(condition);
    if ((by != 1 && by != -1) || row < 1 || to < 1 || row > used || to > used)
        return false;
    condition.rows().swapItemsAt(row - 1, to - 1);
    keepRules(condition, std::min(row, to) - 1, std::max(row, to) - 1);
    return true;
}

} // namespace NxSerialFilter::ConditionRows
