// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "sqlbuilder.h"

#include "conditiongrid.h"
#include "support/busypointer.h"
#include "support/failure.h"
#include "support/nxalert.h"

namespace NxSerialFilter::SqlBuilder {

QString compose(const FilterState &state, const ConditionGrid &grid)
{
    Q_UNUSED(state)
    Q_UNUSED(grid)
    return QString();
}

bool CreateSQL(FilterState &state, const ConditionGrid &grid)
{
    try {
        QString sql;
        {
            BusyPointer::Scope busy;
            sql = compose(state, grid);
        }
        state.FilterSQL = sql;
        return true;
    } catch (...) {
        BusyPointer::restore();
        const auto failure = std::current_exception();
        int style = nxAlert::Information;
        try {
            std::rethrow_exception(failure);
        } catch (const FilterError &e) {
            if (e.number() == ErrorNumber::UnbalancedParentheses)
                style = nxAlert::Warning;
        } catch (...) {
        }
        nxAlert::ShowAlert(describeFailure(failure), style);
        return false;
    }
}

} // namespace NxSerialFilter::SqlBuilder
