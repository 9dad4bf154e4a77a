// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Whatever a user puts into the grid, the scheme text written for it loads back into the same
// cells.

#include "core/conditions/vocabulary.h"
#include "core/schemes/schemetext.h"
#include "fuzzsupport.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Fuzzing;

namespace {

QString anyText(FuzzedDataProvider &in)
{
    const std::string bytes = in.ConsumeRandomLengthString(64);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

/// A cell as a user fills it: typed (filtered as the editor filters) or chosen from a list.
void typeInto(Session &s, FuzzedDataProvider &in, int r, int c)
{
    s.grid.SetCellText(r, c, ConditionGrid::userInputFor(c, anyText(in)));
    s.valueCells->cellChanged(c, r);
}

void choose(Session &s, FuzzedDataProvider &in, int r, int c)
{
    const int items = int(s.grid.columnItems(c).size());
    const int index = in.ConsumeIntegralInRange(-1, items - 1);
    if (index < 0)
        return;
    s.grid.SetComboIndex(r, c, index);
    s.valueCells->cellChanged(c, r);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    alerts();
    FuzzedDataProvider in(data, size);
    const Mode mode = Mode(in.ConsumeIntegralInRange(0, ModeCount - 1));
    Session s(mode);
    const int rows = in.ConsumeIntegralInRange(1, 12);
    // The dialog always keeps an empty row below the conditions.
    s.grid.SetMaxRows(rows + 1);
    for (int r = 1; r <= rows && in.remaining_bytes() > 0; ++r) {
        if (r > 1)
            choose(s, in, r, ConditionGrid::ColLogic);
        typeInto(s, in, r, ConditionGrid::ColLeftParen);
        choose(s, in, r, ConditionGrid::ColField);
        choose(s, in, r, ConditionGrid::ColCompare);
        if (in.ConsumeBool()) {
            typeInto(s, in, r, ConditionGrid::ColValue);
        } else {
            // A look-up writes its item as it is, quotes included.
            s.grid.SetCellText(r, ConditionGrid::ColValue, anyText(in));
        }
        typeInto(s, in, r, ConditionGrid::ColRightParen);
    }
    SchemeText::finishLoad(s.grid);
    const QString before = snapshot(s.grid);

    // The store keeps the text with its quotes single again.
    const QString stored = SchemeText::gridText(s.grid);
    Session t(mode);
    SchemeText::applyText(t.grid, *t.valueCells, stored);
    SchemeText::finishLoad(t.grid);
    const QString after = snapshot(t.grid);
    if (after != before)
        finding(QStringLiteral("written:\n%1\nloaded:\n%2\ntext:\n%3").arg(before, after, stored));
    return 0;
}
