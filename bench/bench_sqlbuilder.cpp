// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// OK's step (the condition taken from the grid and composed as FilterSQL, the rest composed
// when a host asks) over grids of mixed fields and comparisons; the cost per row must stay flat (a
// condition has at most Limits::MaxConditionRows rows). Composing the bound form may cost at
// most 1.5 times composing FilterSQL per row. Quotes cost time in proportion to their number,
// and loading a scheme over many fields costs time in proportion to rows plus fields. Reading a
// condition's words back costs time in proportion to its rows, no more per row than composing.

#include "core/composer/sqlbuilder.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/fieldlist.h"
#include "core/conditions/valuecells.h"
#include "core/conditions/valuewords.h"
#include "core/conditions/vocabulary.h"
#include "core/schemes/schemetext.h"
#include "testsupport/descriptions.h"
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/conditiontext.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/nxalert.h>
#include <NxSerialFilter/schemetext.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <optional>

#include <benchmark/benchmark.h>

using namespace NxSerialFilter;
using namespace Qt::Literals::StringLiterals;

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

void fill(HostFields &state, ConditionGrid &grid, int rows, bool serial)
{
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
    // A date field takes dates only: any other text is refused, and nothing would compose.
    const QStringList dates{QStringLiteral("2024-02-29"), QStringLiteral("本月"),
                            QStringLiteral("过去7天")};
    const FieldCatalog catalog = grid.catalog();
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
        grid.SetCellText(r, ConditionGrid::ColValue,
                         catalog.valueKind(1 + r % int(fields.size())) == ValueKind::Date
                             ? dates.at(r % dates.size())
                             : values.at(r % values.size()));
    }
}

void createSql(benchmark::State &bench, bool serial)
{
    const int rows = int(bench.range(0));
    HostFields state;
    ConfirmedCondition confirmed;
    ConditionGrid grid;
    fill(state, grid, rows, serial);
    for (auto _ : bench) {
        const bool built = !SqlBuilder::confirm(confirmed, grid);
        benchmark::DoNotOptimize(built);
        benchmark::DoNotOptimize(confirmed.sql().constData());
    }
    bench.counters["ns_per_row"] =
        benchmark::Counter(double(rows) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                    benchmark::Counter::kInvert);
    bench.counters["chars"] = double(confirmed.sql().size());
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
    HostFields state;
    ConditionGrid grid;
    fill(state, grid, rows, true);
    for (auto _ : bench) {
        if (engine) {
            const BoundCondition bound = SqlBuilder::composeBound(grid, *engine);
            benchmark::DoNotOptimize(bound.sql.constData());
        } else {
            const QString sql = SqlBuilder::compose(grid);
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

/// One row whose value is nothing but quotes, composed as FilterSQL.
void BM_ComposeQuotes(benchmark::State &bench)
{
    const qsizetype bytes = bench.range(0);
    HostFields state;
    ConditionGrid grid;
    fill(state, grid, 1, true);
    grid.SetCellText(1, ConditionGrid::ColField, QStringLiteral("序列号"));
    grid.SetCellText(1, ConditionGrid::ColCompare, QStringLiteral("等于"));
    grid.SetCellText(1, ConditionGrid::ColValue, QString(bytes, u'\''));
    for (auto _ : bench) {
        const QString sql = SqlBuilder::compose(grid);
        benchmark::DoNotOptimize(sql.constData());
    }
    bench.counters["ns_per_quote"] =
        benchmark::Counter(double(bytes) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                     benchmark::Counter::kInvert);
}

/// A stored scheme of many rows over a description of 200 fields, loaded as the dialog loads
/// it: each row finds its field's descriptor.
void BM_LoadOverManyFields(benchmark::State &bench)
{
    const int rows = int(bench.range(0));
    constexpr int fieldCount = 200;
    QList<KeyedValuesPtr> header;
    for (int i = 1; i <= fieldCount; ++i)
        header.append(Testing::serialField(i, QStringLiteral("F") + QString::number(i),
                                           QStringLiteral("字段") + QString::number(i), 0, 1));
    HostFields state;
    state.SerialUse = true;
    state.SerialDesc = Testing::serialDescription(header, {});
    QStringList lines;
    for (int r = 0; r < rows; ++r)
        lines.append((r ? QStringLiteral("并且") : QString()) + QStringLiteral("\t\t字段") +
                     QString::number(fieldCount - r % fieldCount) +
                     QStringLiteral("\t等于\tA\t\t"));
    const QString text = lines.join(QStringLiteral("\r\n"));
    for (auto _ : bench) {
        ConditionGrid grid;
        FieldList::SetFields(state, grid);
        ValueCells cells(state, grid);
        SchemeText::applyText(grid, cells, text);
        benchmark::DoNotOptimize(grid.MaxRows());
    }
    perRow(bench, rows);
}

/// compose() over a Condition, no grid: FilterSQL (at most Limits::MaxConditionRows rows
/// compose) or the words, which have no limit.
void composeCondition(benchmark::State &bench, const SqlForm &form)
{
    const int rows = int(bench.range(0));
    HostFields state;
    ConditionGrid grid;
    fill(state, grid, rows, true);
    const Condition condition = grid.condition();
    for (auto _ : bench) {
        const Composed composed = NxSerialFilter::compose(grid.catalog(), condition, form);
        if (!composed.ok())
            qFatal("the condition does not compose: %s", qPrintable(composed.failure->message()));
        benchmark::DoNotOptimize(composed.text.constData());
    }
    perRow(bench, rows);
}

void BM_ComposeConditionText(benchmark::State &bench)
{
    composeCondition(bench, SqlForm::text());
}

void BM_ComposeConditionBound(benchmark::State &bench)
{
    composeCondition(bench, SqlForm::bound(SqlEngine::PostgreSQL, Placeholders::Dollar));
}

void BM_ComposeConditionWords(benchmark::State &bench)
{
    composeCondition(bench, SqlForm::words());
}

/// ConditionText::parse of the words compose writes for these rows (BM_ComposeConditionWords
/// writes them, BM_ComposeConditionText composes their FilterSQL).
void BM_ParseConditionText(benchmark::State &bench)
{
    const int rows = int(bench.range(0));
    HostFields state;
    ConditionGrid grid;
    fill(state, grid, rows, true);
    const FieldCatalog catalog = grid.catalog();
    const QString text = NxSerialFilter::compose(catalog, grid.condition(), SqlForm::words()).text;
    for (auto _ : bench) {
        const ConditionTextRead read = ConditionText::parse(catalog, text);
        if (!read.ok())
            qFatal("the words do not read: %s", qPrintable(read.failure->message()));
        benchmark::DoNotOptimize(read.condition.size());
    }
    perRow(bench, rows);
}

/// A column of serial numbers as a spreadsheet copies it: one per line, every tenth a repeat.
QString pastedSerials(int count)
{
    QString text;
    text.reserve(qsizetype(count) * 12);
    for (int i = 0; i < count; ++i)
        text.append(u"SN"_s).append(QString::number(i % 10 == 9 ? i - 1 : i)).append(u"\r\n"_s);
    return text;
}

/// Pasting n serial numbers into a value list and composing the row: FilterSQL writes every
/// value, the bound forms one JSON text or array.
void pasteList(benchmark::State &bench, const SqlForm &form)
{
    const int count = int(bench.range(0));
    const QString text = pastedSerials(count);
    const FieldCatalog catalog =
        FieldCatalog::fromSerialDescription(Testing::standardSerialDescription());
    const int serial = catalog.indexOfCaption(u"序列号"_s);
    for (auto _ : bench) {
        const PastedValues pasted = splitPastedValues(text);
        ConditionRow row;
        row.field = serial;
        row.compare = CompareOp::InList;
        row.value = ConditionValue(pasted.values);
        const Composed composed = NxSerialFilter::compose(catalog, Condition{row}, form);
        if (!composed.ok())
            qFatal("the list does not compose");
        benchmark::DoNotOptimize(composed.text.constData());
    }
    bench.SetItemsProcessed(bench.iterations() * count);
}

void BM_PasteListText(benchmark::State &bench)
{
    pasteList(bench, SqlForm::text());
}

void BM_PasteListBoundSQLite(benchmark::State &bench)
{
    pasteList(bench, SqlForm::bound());
}

void BM_PasteListBoundPostgreSQL(benchmark::State &bench)
{
    pasteList(bench, SqlForm::bound(SqlEngine::PostgreSQL, Placeholders::Dollar));
}

/// The SQLite bound form run: n pasted serial numbers bound as one JSON text against a table
/// of n rows, in memory.
void BM_PasteListRunSQLite(benchmark::State &bench)
{
    const int count = int(bench.range(0));
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"pastelist"_s);
    db.setDatabaseName(u":memory:"_s);
    if (!db.open())
        qFatal("no SQLite");
    QSqlQuery setup(db);
    setup.exec(u"CREATE TABLE tf (FSERIALNUM TEXT)"_s);
    db.transaction();
    setup.prepare(u"INSERT INTO tf VALUES (?)"_s);
    for (int i = 0; i < count; ++i) {
        setup.addBindValue(u"SN"_s + QString::number(i * 2));
        setup.exec();
    }
    db.commit();
    const QString text = pastedSerials(count);
    const FieldCatalog catalog =
        FieldCatalog::fromSerialDescription(Testing::standardSerialDescription());
    ConditionRow row;
    row.field = catalog.indexOfCaption(u"序列号"_s);
    row.compare = CompareOp::InList;
    for (auto _ : bench) {
        row.value = ConditionValue(splitPastedValues(text).values);
        const BoundCondition bound =
            NxSerialFilter::compose(catalog, Condition{row}, SqlForm::bound()).bound();
        QSqlQuery query(db);
        query.prepare(u"SELECT COUNT(*) FROM tf WHERE"_s + bound.sql);
        for (const QVariant &value : bound.values)
            query.addBindValue(value);
        if (!query.exec() || !query.next())
            qFatal("%s", qPrintable(query.lastError().text()));
        benchmark::DoNotOptimize(query.value(0).toInt());
    }
    bench.SetItemsProcessed(bench.iterations() * count);
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"pastelist"_s);
}

/// SchemeText::parse of the text a grid of these rows is stored as.
void BM_ParseSchemeText(benchmark::State &bench)
{
    const int rows = int(bench.range(0));
    HostFields state;
    ConditionGrid grid;
    fill(state, grid, rows, true);
    const QString text = SchemeText::write(grid.condition(), grid.catalog());
    for (auto _ : bench) {
        const SchemeText::Parsed parsed = SchemeText::parse(text, grid.catalog());
        benchmark::DoNotOptimize(parsed.condition.size());
    }
    perRow(bench, rows);
}

} // namespace

BENCHMARK(BM_ParseConditionText)->Arg(100)->Arg(500)->Arg(1000);
BENCHMARK(BM_ComposeConditionText)->Arg(100)->Arg(500);
BENCHMARK(BM_ComposeConditionBound)->Arg(100)->Arg(500);
BENCHMARK(BM_ComposeConditionWords)->Arg(100)->Arg(500)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_ParseSchemeText)->Arg(500)->Arg(10000)->Arg(100000);
BENCHMARK(BM_CreateSqlSerial)->Arg(10)->Arg(100)->Arg(500);
BENCHMARK(BM_CreateSqlCommon)->Arg(10)->Arg(100)->Arg(500);
BENCHMARK(BM_ComposeText)->Arg(100)->Arg(500);
BENCHMARK(BM_ComposeBoundSQLite)->Arg(100)->Arg(500);
BENCHMARK(BM_ComposeBoundPostgreSQL)->Arg(100)->Arg(500);
BENCHMARK(BM_PasteListText)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteListBoundSQLite)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteListBoundPostgreSQL)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteListRunSQLite)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeQuotes)->Arg(1 << 20)->Arg(8 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOverManyFields)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

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
