// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/conditions/typedcondition.h"

#include "core/conditions/conditionrows.h"
#include "core/fields/fieldcatalogdata.h"
#include <NxSerialFilter/compose.h>

namespace NxSerialFilter::TypedCondition {

Condition merged(const FieldCatalog &catalog, const Condition &grid, const Condition &read)
{
    // The words show the rows compose reads: those switched on, up to the first without a
    // field.
    Condition on;
    for (const ConditionRow &row : grid) {
        if (!row.off)
            on.append(row);
    }
    const qsizetype shown = rowsInUse(catalog, on);
    QList<ConditionRow> off;
    QList<ConditionRow> rest;
    qsizetype seen = 0;
    for (qsizetype i = 0; i < grid.size(); ++i) {
        const ConditionRow &row = grid.at(i);
        if (!row.off && seen == shown) {
            rest = ConditionRows::withoutBlankEnd(Condition(grid.rows().mid(i))).rows();
            break;
        }
        if (row.off)
            off.append(row);
        else
            ++seen;
    }
    const QList<ConditionRow> typed = ConditionRows::withoutBlankEnd(read).rows();
    Condition result;
    // Past the row cap the rows read come first: they are what the user sees typed.
    if (!ConditionRows::insertRows(result, 1, typed + off + rest))
        ConditionRows::insertRows(result, 1, typed);
    return result;
}

} // namespace NxSerialFilter::TypedCondition
