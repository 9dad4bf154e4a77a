// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The scheme store against plain SQLite, and the scheme list with many schemes.

#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuecells.h"
#include "core/host/hostcontext.h"
#include "widgets/schemes/schemelist.h"
#include "widgets/schemes/schemelistview.h"
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/recordset.h>
#include <NxSerialFilter/schemeservice.h>
#include <NxSerialFilter/schemestore.h>

#include <QApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <benchmark/benchmark.h>

using namespace NxSerialFilter;

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

/// About 4 KB of scheme text: 40 rows with quotes and CJK, as the grid writes it.
QString fourKilobytes()
{
    QStringList rows;
    for (int r = 0; rows.join(QStringLiteral("\r\n")).toUtf8().size() < 4096; ++r) {
        rows.append(QStringLiteral("并且\t(\t名称\t等于\tO'Neil 北京一号库 %1\t\t)").arg(r));
    }
    return rows.join(QStringLiteral("\r\n"));
}

void StoreSaveAndLoad(benchmark::State &state)
{
    const QString location = folder().filePath(QStringLiteral("store.sqlite"));
    ContextStore::setPropsString(QStringLiteral("SCHEMEDB=") + location + u';');
    QString doubled = fourKilobytes();
    doubled.replace(u'\'', QStringLiteral("''"));
    KeyedValuesPtr record = KeyedValues::create();
    record->set(QStringLiteral("FScreenID"), QStringLiteral("Bench"));
    record->set(QStringLiteral("FFilterName"), QStringLiteral("四千字节"));
    record->set(QStringLiteral("FFilter"), doubled);
    record->set(QStringLiteral("FSort"), QString());
    record->set(QStringLiteral("IsNew"), false);
    record->set(QStringLiteral("mFilterID"), 0);
    const QString props = HostContext::propsString();
    createComponent<SchemeWriterComponent>(ComponentId::schemeWriter())
        ->UpdateFilter(props, record);
    const qint32 id = SchemeStore(location).schemes(QStringLiteral("Bench")).value(0).FID;
    for (auto _ : state) {
        createComponent<SchemeWriterComponent>(ComponentId::schemeWriter())
            ->UpdateFilter(HostContext::propsString(), record);
        RecordSetPtr records = createComponent<SchemeReaderComponent>(ComponentId::schemeReader())
                                   ->GetFilterByID(HostContext::propsString(), id);
        RecordSetCloser closer(records);
        benchmark::DoNotOptimize(records->Fields(QStringLiteral("FFilter")).Value.toString());
    }
}
BENCHMARK(StoreSaveAndLoad)->Unit(benchmark::kMicrosecond);

// The same row through one prepared insert and one prepared select, on a file set up like
// the store's (WAL, full sync).
void PlainSqliteInsertAndSelect(benchmark::State &state)
{
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
        db.setDatabaseName(folder().filePath(QStringLiteral("plain.sqlite")));
        db.open();
        QSqlQuery setup(db);
        setup.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        setup.exec(QStringLiteral("PRAGMA synchronous=FULL"));
        setup.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS plain (id INTEGER PRIMARY KEY, "
                                  "screen TEXT NOT NULL, name TEXT NOT NULL, text TEXT NOT NULL, "
                                  "sort TEXT NOT NULL, UNIQUE (screen, name))"));
        QSqlQuery insert(db), select(db);
        insert.prepare(QStringLiteral("INSERT OR REPLACE INTO plain (id, screen, name, text, sort) "
                                      "VALUES (1, ?, ?, ?, '')"));
        select.prepare(QStringLiteral("SELECT text FROM plain WHERE id = 1"));
        const QString text = fourKilobytes();
        for (auto _ : state) {
            insert.bindValue(0, QStringLiteral("Bench"));
            insert.bindValue(1, QStringLiteral("四千字节"));
            insert.bindValue(2, text);
            insert.exec();
            select.exec();
            select.next();
            benchmark::DoNotOptimize(select.value(0).toString());
            select.finish();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("plain"));
}
BENCHMARK(PlainSqliteInsertAndSelect)->Unit(benchmark::kMicrosecond);

void FillSchemeList5000(benchmark::State &state)
{
    const QString location = folder().filePath(QStringLiteral("list.sqlite"));
    ContextStore::setPropsString(QStringLiteral("SCHEMEDB=") + location + u';');
    QList<StoredScheme> schemes;
    for (int i = 0; i < 5000; ++i) {
        schemes.append({0,
                        QStringLiteral("List5000"),
                        QStringLiteral("方案 %1").arg(i),
                        QStringLiteral("\t\t名称\t等于\tx\t\t"),
                        {}});
    }
    SchemeStore(location).saveAll(schemes);
    HostFields filterState;
    filterState.ScreenID = QStringLiteral("List5000");
    ConditionGrid grid;
    ValueCells cells(filterState, grid);
    SchemeListView view;
    view.resize(160, 230);
    view.show();
    QToolBar toolbar;
    SchemeList list(filterState, grid, cells, view, toolbar);
    for (auto _ : state) {
        list.FillSchemeList();
        QApplication::processEvents(); // the views lay the items out
    }
    if (view.count() != 5001)
        state.SkipWithError("the list does not hold every scheme");
}
BENCHMARK(FillSchemeList5000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SchemeStore::closeConnections();
    return 0;
}
