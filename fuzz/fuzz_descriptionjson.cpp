// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Any JSON text as a field description: it is refused with an error, or the dialog's rules
// run on it; a condition built on any of its fields succeeds or fails with exactly one alert.

#include "core/composer/sqlbuilder.h"
#include "core/conditions/fieldlist.h"
#include "core/conditions/vocabulary.h"
#include "fuzzsupport.h"
#include <NxSerialFilter/descriptionjson.h>
#include <NxSerialFilter/failure.h>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Testing::ScriptedAlerts &shown = alerts();
    KeyedValuesPtr description;
    try {
        description = DescriptionJson::parse(
            QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const FilterError &) {
        return 0;
    }
    if (!description)
        finding(QStringLiteral("parse gave no description and no error"));

    HostFields state;
    state.SerialUse = DescriptionJson::serialUse(description);
    if (state.SerialUse) {
        state.SerialDesc = description->DescriptionValues();
    } else {
        state.CommonField = description;
        try {
            state.ScreenID = Values::toText(description->get(QStringLiteral("ScreenID")));
        } catch (const FilterError &) {
            return 0; // a host's Filter refuses such common fields when they are set
        }
    }
    ConditionGrid grid;
    Testing::setFields(state, grid);
    if (shown.shown.size() > 1)
        finding(QStringLiteral("SetFields gave %1 alerts").arg(shown.shown.size()));
    ValueCells cells(state, grid);
    Testing::alertFailures(cells);

    // One condition per listed field, each built on its own.
    const int fields = std::min<int>(int(grid.columnItems(ConditionGrid::ColField).size()), 64);
    for (int k = 1; k < fields; ++k) {
        shown.shown.clear();
        grid.SetMaxRows(2);
        grid.SetComboIndex(1, ConditionGrid::ColField, k);
        cells.SetValueCell(k, 1);
        try {
            cells.lookupAvailable(k);
        } catch (const FilterError &) {
        }
        if (shown.shown.size() > 1)
            finding(QStringLiteral("setting up field %1 gave %2 alerts")
                        .arg(k)
                        .arg(shown.shown.size()));
        shown.shown.clear();
        grid.SetComboIndex(1, ConditionGrid::ColCompare, int(CompareOp::Equal));
        grid.SetCellText(1, ConditionGrid::ColValue, QStringLiteral("1"));
        ConfirmedCondition confirmed;
        const bool built = Testing::createSql(confirmed, grid);
        if (shown.shown.size() != (built ? 0 : 1))
            finding(QStringLiteral("field %1: build %2 with %3 alerts")
                        .arg(k)
                        .arg(built ? u"succeeded"_qs : u"failed"_qs)
                        .arg(shown.shown.size()));
    }
    return 0;
}
