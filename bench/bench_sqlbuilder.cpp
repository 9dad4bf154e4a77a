// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// CreateSQL over grids of mixed fields and comparisons; the cost per row must stay flat.
// Composing the bound form may cost at most 1.5 times composing FilterSQL per row.

#include "conditions/conditiongrid.h"
#include "conditions/sqlbuilder.h"
#include "conditions/vocabulary.h"
#include "fields/fieldlist.h"
#include "testsupport/descriptions.h"
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/nxalert.h>

#include <QCoreApplication>

#include <optional>

#include <benchmark/benchmark.h>

using namespace NxSerialFilter;

namespace {

/// Any alert would mean the grid is not what the benchmark meant to build.
class FailingAlerts : public AlertPresenter
{
public:
    int present(const QString &message, int, const QString &) override
    {
        qFatal("unexpected alert: %s", qPrintable(message));
    }
};

void fill(FilterState &state, ConditionGrid &grid, int rows, bool serial)
{
    state.LogicWords = Vocabulary::logicWords();
    state.CompareWords = Vocabulary::compareWords();
    state.SerialUse = serial;
    if (serial)
        state.SerialDesc = Testing::standardSerialDescription();
    else
        state.CommonField = Testing::standardCommonValues();
    state.ScreenID = QStringLiteral("Items");
    FieldList::SetFields(state, grid);

    const QStringList fields = grid.columnItems(ConditionGrid::ColField).mid(1);
    const QStringList compares = Vocabulary::compareItems();
    const QStringList logic = Vocabulary::logicItems();
    const QStringList values{QStringLiteral("A01"), QStringLiteral("12.50kg"),
                             QStringLiteral("O'Brien"), QStringLiteral("10%"), QString()};
    grid.SetMaxRows(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        if (r > 1)
            grid.SetCellText(r, ConditionGrid::ColLogic, logic.at(r % 2));
        // Pairs of rows in parentheses, every fourth row.
        if (r % 4 == 1 && r < rows)
            grid.SetCellText(r, ConditionGrid::ColLeftParen, QStringLiteral("("));
        if (r % 4 == 2)
            grid.SetCellText(r, ConditionGrid::ColRightParen, QStringLiteral(")"));
        grid.SetCellText(r, ConditionGrid::ColField, fields.at(r % fields.size()));
        grid.SetCellText(r, ConditionGrid::ColCompare, compares.at((r / 3) % compares.size()));
        grid.SetCellText(r, ConditionGrid::ColValue, values.at(r % values.size()));
    }
}

void createSql(benchmark::State &bench, bool serial)
{
    const int rows = int(bench.range(0));
    FilterState state;
    ConditionGrid grid;
    fill(state, grid, rows, serial);
    for (auto _ : bench) {
        const bool built = SqlBuilder::CreateSQL(state, grid);
        benchmark::DoNotOptimize(built);
        benchmark::DoNotOptimize(state.FilterSQL.constData());
    }
    bench.counters["ns_per_row"] =
        benchmark::Counter(double(rows) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                    benchmark::Counter::kInvert);
    bench.counters["chars"] = double(state.FilterSQL.size());
}

void perRow(benchmark::State &bench, int rows)
{
    bench.counters["ns_per_row"] =
        benchmark::Counter(double(rows) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                    benchmark::Counter::kInvert);
}

/// One walk over the grid: FilterSQL's text, or the bound form for an engine.
void compose(benchmark::State &bench, std::optional<SqlEngine> engine)
{
    const int rows = int(bench.range(0));
    FilterState state;
    ConditionGrid grid;
    fill(state, grid, rows, true);
    for (auto _ : bench) {
        if (engine) {
            const BoundCondition bound = SqlBuilder::composeBound(state, grid, *engine);
            benchmark::DoNotOptimize(bound.sql.constData());
        } else {
            const QString sql = SqlBuilder::compose(state, grid);
            benchmark::DoNotOptimize(sql.constData());
        }
    }
    perRow(bench, rows);
}

void BM_ComposeText(benchmark::State &bench)
{
    compose(bench, std::nullopt);
}

void BM_ComposeBoundSQLite(benchmark::State &bench)
{
    compose(bench, SqlEngine::SQLite);
}

void BM_ComposeBoundPostgreSQL(benchmark::State &bench)
{
    compose(bench, SqlEngine::PostgreSQL);
}

void BM_CreateSqlSerial(benchmark::State &bench)
{
    createSql(bench, true);
}

void BM_CreateSqlCommon(benchmark::State &bench)
{
    createSql(bench, false);
}

} // namespace

BENCHMARK(BM_CreateSqlSerial)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK(BM_CreateSqlCommon)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK(BM_ComposeText)->Arg(100)->Arg(10000);
BENCHMARK(BM_ComposeBoundSQLite)->Arg(100)->Arg(10000);
BENCHMARK(BM_ComposeBoundPostgreSQL)->Arg(100)->Arg(10000);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    nxAlert::setPresenter(std::make_shared<FailingAlerts>());
    // Hosts always pass their language; without it every look-up asks the context again.
    ContextStore::setPropsString(QStringLiteral("LANGUAGE=chs;"));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
