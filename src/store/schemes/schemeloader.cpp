// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "store/schemes/schemeloader.h"

#include "core/schemes/schemetext.h"
#include "store/schemes/schemesource.h"

namespace NxSerialFilter::SchemeText {

bool LoadScheme(ConditionGrid &grid, ValueCells &valueCells, qint32 id)
{
    try {
        clearGrid(grid);
        if (id > 0)
            applyText(grid, valueCells, SchemeSource::instance().text(id));
        finishLoad(grid);
        return true;
    } catch (const std::exception &) {
        // The first condition never takes a logic word, also after a failed load.
        try {
            finishLoad(grid);
        } catch (const std::exception &) {
        }
        return false;
    }
}

} // namespace NxSerialFilter::SchemeText
