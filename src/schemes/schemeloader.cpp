// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "schemeloader.h"

#include "schemeservice.h"
#include "schemetext.h"
#include "support/failure.h"
#include "support/mmts.h"
#include "support/mparse.h"
#include "support/nxalert.h"
#include "support/texts.h"

#include <QWidget>

namespace NxSerialFilter::SchemeText {

void LoadScheme(FilterState &state, ConditionGrid &grid, ValueCells &valueCells, qint32 id,
                QWidget *gridView)
{
    RecordSetPtr records;
    try {
        clearGrid(grid);
        if (id > 0) {
            state.LoadingScheme = true;
            {
                auto reader =
                    createComponent<SchemeReaderComponent>(QStringLiteral("NxMserial.ReadData"));
                records = reader->GetFilterByID(MMTS::GetPropsString(), state.CurrentFilterID);
            }
            if (!records)
                throw FilterError(ErrorNumber::ObjectNotSet, QStringLiteral("GetFilterByID"),
                                  Texts::objectNotSet() + QStringLiteral("GetFilterByID"));
            const QVariant stored = records->Fields(QStringLiteral("FFilter")).Value;
            if (stored.isNull())
                throw FilterError(ErrorNumber::TypeMismatch, QStringLiteral("FFilter"),
                                  Texts::notText());
            applyText(state, grid, valueCells, Values::toText(stored));
            records->Close();
        }
        finishLoad(grid);
        if (gridView && gridView->isVisible())
            gridView->setFocus();
    } catch (...) {
        try {
            if (records && records->State() != RecordSet::StateClosed)
                records->Close();
        } catch (...) {
        }
        state.LoadingScheme = false;
        // The first condition never takes a logic word, also after a failed load.
        try {
            finishLoad(grid);
        } catch (...) {
        }
        nxAlert::ShowAlert(MParse::LoadLangString(Texts::schemeLoadFailed()), nxAlert::Information);
    }
}

} // namespace NxSerialFilter::SchemeText
