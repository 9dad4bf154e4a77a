// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The field list over a large description and a large grid over that list: build time and
// heap use. The grid must grow with rows plus fields, not rows times fields. Typing into the
// field cell must open its filtered list in under 50 ms at 4,000 fields.

#include "core/composer/confirmedcondition.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/fieldlist.h"
#include "core/conditions/valuecells.h"
#include "testsupport/descriptions.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/conditions/conditiongridview.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>
#include <malloc.h>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;

namespace {

constexpr int headerFields = 2000;
constexpr int entryFields = 2000;
constexpr int maxRowBytes = 2048;

KeyedValuesPtr largeDescription()
{
    QList<KeyedValuesPtr> header;
    QList<KeyedValuesPtr> entry;
    for (int i = 0; i < headerFields; ++i)
        header << serialField(i + 1, u"FH"_qs + QString::number(i),
                              u"表头字段"_qs + QString::number(i), 0, i % 5);
    for (int i = 0; i < entryFields; ++i)
        entry << serialField(headerFields + i + 1, u"FE"_qs + QString::number(i),
                             u"表体字段"_qs + QString::number(i), 1, i % 5);
    return serialDescription(header, entry, 12);
}

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

struct Dialog
{
    HostFields state;
    ConfirmedCondition confirmed;
    ConditionGrid grid;
    ValueCells cells{state, grid};

    explicit Dialog(const KeyedValuesPtr &description)
    {
        state.SerialUse = true;
        state.SerialDesc = description;
    }

    /// Rows with a field chosen in each, set up as the user's choice would set them up.
    void fillRows(int rows)
    {
        grid.SetMaxRows(rows);
        const int fields = int(grid.columnItems(ConditionGrid::ColField).size()) - 1;
        for (int r = 1; r <= rows; ++r) {
            const int k = 1 + (r * 7) % fields;
            grid.SetComboIndex(r, ConditionGrid::ColField, k);
            grid.SetComboIndex(r, ConditionGrid::ColCompare, 0);
            if (r > 1)
                grid.SetComboIndex(r, ConditionGrid::ColLogic, 0);
            cells.SetValueCell(k, r);
        }
    }
};

void BM_SetFields(benchmark::State &bench)
{
    const KeyedValuesPtr description = largeDescription();
    for (auto _ : bench) {
        Dialog dialog(description);
        FieldList::SetFields(dialog.state, dialog.grid);
        benchmark::DoNotOptimize(dialog.state.FieldIDs.size());
    }
    bench.counters["fields"] = headerFields + entryFields;
}
BENCHMARK(BM_SetFields)->Unit(benchmark::kMillisecond);

void BM_GridRows(benchmark::State &bench)
{
    const KeyedValuesPtr description = largeDescription();
    const int rows = int(bench.range(0));
    for (auto _ : bench) {
        Dialog dialog(description);
        FieldList::SetFields(dialog.state, dialog.grid);
        dialog.fillRows(rows);
        benchmark::DoNotOptimize(dialog.grid.MaxRows());
    }
    bench.counters["rows"] = rows;
}
BENCHMARK(BM_GridRows)->Arg(1)->Arg(1000)->Unit(benchmark::kMillisecond);

/// Heap held by the field list and by a grid of 1 and of 1,000 rows; the extra rows may cost
/// at most maxRowBytes each.
void BM_GridMemory(benchmark::State &bench)
{
    const KeyedValuesPtr description = largeDescription();
    size_t fieldsBytes = 0;
    size_t oneRowBytes = 0;
    size_t manyRowsBytes = 0;
    for (auto _ : bench) {
        const size_t before = heapInUse();
        {
            Dialog one(description);
            FieldList::SetFields(one.state, one.grid);
            fieldsBytes = heapInUse() - before;
            one.fillRows(1);
            oneRowBytes = heapInUse() - before;
        }
        const size_t again = heapInUse();
        Dialog many(description);
        FieldList::SetFields(many.state, many.grid);
        many.fillRows(1000);
        manyRowsBytes = heapInUse() - again;
    }
    const double perRow = (double(manyRowsBytes) - double(oneRowBytes)) / 999.0;
    bench.counters["fields_KB"] = double(fieldsBytes) / 1024.0;
    bench.counters["grid_1_row_KB"] = double(oneRowBytes) / 1024.0;
    bench.counters["grid_1000_rows_KB"] = double(manyRowsBytes) / 1024.0;
    bench.counters["bytes_per_extra_row"] = perRow;
    if (perRow > maxRowBytes)
        bench.SkipWithError("a grid row costs more than 2 KB");
}
BENCHMARK(BM_GridMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

/// From a typed key in the field cell to its drop-down list showing the captions that hold
/// the text: the editor over every field, the filter and the list. Argument 0 types text that
/// every caption holds, 1 text that one caption holds.
void BM_FieldFilterOpens(benchmark::State &bench)
{
    Dialog dialog(largeDescription());
    FieldList::SetFields(dialog.state, dialog.grid);
    const int fields = int(dialog.grid.columnItems(ConditionGrid::ColField).size()) - 1;
    ConditionGridView view;
    view.setGrid(&dialog.grid);
    view.resize(900, 400);
    view.show();
    const QModelIndex cell = dialog.grid.index(0, ConditionGrid::ColField - 1);
    const QString typed = bench.range(0) == 0 ? u"字段"_qs : u"表体字段1999"_qs;
    int listed = 0;
    for (auto _ : bench) {
        view.setCurrentIndex(cell);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
        QCoreApplication::sendEvent(&view, &key);
        auto *list = qobject_cast<QAbstractItemView *>(QApplication::activePopupWidget());
        if (!list || !list->isVisible()) {
            bench.SkipWithError("typing opened no list");
            break;
        }
        listed = list->model()->rowCount();
        bench.PauseTiming();
        list->hide();
        if (QWidget *editor = view.indexWidget(cell)) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(editor, &escape);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        bench.ResumeTiming();
    }
    bench.counters["fields"] = fields;
    bench.counters["listed"] = listed;
}
BENCHMARK(BM_FieldFilterOpens)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv); // the busy pointer needs a GUI application
    auto alerts = ScriptedAlerts::install();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    nxAlert::setPresenter(nullptr);
    return alerts->shown.isEmpty() ? 0 : 1;
}
