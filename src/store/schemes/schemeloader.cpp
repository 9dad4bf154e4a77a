// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "store/schemes/schemeloader.h"

#include "core/schemes/schemetext.h"
#include "core/support/mmts.h"
#include "core/support/spaces.h"
#include "core/support/texts.h"
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/schemeservice.h>

namespace NxSerialFilter::SchemeText {

RecordSetPtr readRecords(const QString &operation, const ReaderCall &call)
{
    RecordSetPtr records;
    {
        // The service object is released before its records are read.
        auto reader = createComponent<SchemeReaderComponent>(ComponentId::schemeReader());
        records = call(*reader, MMTS::GetPropsString());
    }
    if (!records)
        throw FilterError(ErrorNumber::ObjectNotSet, operation, Texts::objectNotSet() + operation);
    return records;
}

QString storedText(qint32 id)
{
    RecordSetPtr records = readRecords(QStringLiteral("GetFilterByID"),
                                       [id](SchemeReaderComponent &r, const QString &props) {
                                           return r.GetFilterByID(props, id);
                                       });
    RecordSetCloser closer(records);
    const QVariant stored = records->Fields(QStringLiteral("FFilter")).Value;
    if (stored.isNull())
        throw FilterError(ErrorNumber::TypeMismatch, QStringLiteral("FFilter"), Texts::notText());
    return Values::toText(stored);
}

qint32 storedId(const QString &screenId, const QString &name)
{
    RecordSetPtr records = readRecords(QStringLiteral("GetFilters"),
                                       [&screenId](SchemeReaderComponent &r, const QString &props) {
                                           return r.GetFilters(props, screenId);
                                       });
    RecordSetCloser closer(records);
    const QString wanted = trimSpaces(name);
    for (; !records->Eof(); records->MoveNext()) {
        if (trimSpaces(Values::toText(records->Fields(QStringLiteral("FFilterName")).Value)) ==
            wanted)
            return records->Fields(QStringLiteral("FID")).Value.toInt();
    }
    return 0;
}

bool LoadScheme(ConditionGrid &grid, ValueCells &valueCells, qint32 id)
{
    try {
        clearGrid(grid);
        if (id > 0)
            applyText(grid, valueCells, storedText(id));
        finishLoad(grid);
        return true;
    } catch (...) {
        // The first condition never takes a logic word, also after a failed load.
        try {
            finishLoad(grid);
        } catch (...) {
        }
        return false;
    }
}

} // namespace NxSerialFilter::SchemeText
