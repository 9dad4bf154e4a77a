// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The live count with a counter that takes 2 s: every key press typed into a value cell, and
// every quick change of the grid, is handled at once on the user-interface thread (the time
// the event loop takes to get through it), and one count runs for the final text. And the
// count over the demo's records of a pasted list of 100,000 serial numbers.

#include "core/composer/sqlbuilder.h"
#include "core/conditions/conditiongrid.h"
#include "core/language/texts.h"
#include "demoschema.h"
#include "demotexts.h"
#include "sampledatabase.h"
#include "testsupport/descriptions.h"
#include "testsupport/scriptedalerts.h"
#include "testsupport/storefixture.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/dialog/matchcount.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;

namespace {

constexpr int presses = 100;
constexpr int typingMs = 30; // between key presses: a quick typist
constexpr double maxHandlingMs = 5.0;
constexpr auto countTime = std::chrono::seconds(2);

/// The host's counter: every call takes countTime and counts its own number. Shared with
/// counts that outlive the dialog.
struct SlowCounter
{
    std::mutex mutex;
    QList<BoundCondition> calls;

    static MatchCounter counter(const std::shared_ptr<SlowCounter> &self)
    {
        return [self](const BoundCondition &condition) -> std::optional<qint64> {
            qsizetype call = 0;
            {
                std::lock_guard lock(self->mutex);
                self->calls << condition;
                call = self->calls.size();
            }
            std::this_thread::sleep_for(countTime);
            return call;
        };
    }
    QList<BoundCondition> since(qsizetype first)
    {
        std::lock_guard lock(mutex);
        return calls.mid(first);
    }
};

/// Lets the event loop run, waiting as a user-interface thread does between events.
void serve(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool serveUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        serve(5);
    return done();
}

/// From posting the events to the moment the event loop has handled them all.
double handlingMs(QObject *target, const std::function<void()> &post)
{
    QElapsedTimer clock;
    bool reached = false;
    clock.start();
    post();
    QMetaObject::invokeMethod(
        target, [&reached] { reached = true; }, Qt::QueuedConnection);
    while (!reached)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return double(clock.nsecsElapsed()) / 1e6;
}

struct Latency
{
    double max = 0;
    double sum = 0;
    void add(double ms)
    {
        max = std::max(max, ms);
        sum += ms;
    }
};

/// A shown dialog whose row 1 compares 名称 with a value, counted by a slow counter.
struct Dialog
{
    QTemporaryDir dir;
    std::shared_ptr<SlowCounter> slow = std::make_shared<SlowCounter>();
    frmFilter form;

    Dialog()
    {
        useStore(dir.filePath(QStringLiteral("bench.sqlite")));
        form.setCommonField(standardCommonValues(QStringLiteral("Bench")));
        form.setMatchCounter(SlowCounter::counter(slow));
        form.Form_Load();
        ConditionGrid &grid = form.grid();
        grid.setData(grid.index(0, ConditionGrid::ColField - 1), 2, ConditionGrid::ComboIndexRole);
        grid.setData(grid.index(0, ConditionGrid::ColCompare - 1), 0,
                     ConditionGrid::ComboIndexRole);
        form.show(); // counts the grid as it opens: a count is running while the user types
        serveUntil([this] { return !slow->since(0).isEmpty(); }, 2000);
    }

    QString value() { return form.grid().GetCellText(1, ConditionGrid::ColValue); }

    /// Counts that began since first, and whether the last of them is of the grid as it is.
    void report(benchmark::State &bench, qsizetype first, const Latency &latency, int changes)
    {
        QElapsedTimer clock;
        clock.start();
        const QString shown = QStringLiteral("符合条件的记录：") + QString::number(first + 1);
        serveUntil([this, &shown] { return form.LblCount()->toolTip() == shown; },
                   MatchCount::settleMs + 5000);
        const QList<BoundCondition> counts = slow->since(first);
        bench.counters["handling_max_ms"] = latency.max;
        bench.counters["handling_mean_ms"] = latency.sum / changes;
        bench.counters["counts_for_final_text"] = double(counts.size());
        bench.counters["count_shown_after_ms"] = double(clock.elapsed());
        if (latency.max >= maxHandlingMs)
            bench.SkipWithError("a change waited for the count");
        else if (counts.size() != 1 || counts.first().values != QVariantList{value()})
            bench.SkipWithError("not exactly one count, of the final text");
        else if (form.LblCount()->toolTip() != shown)
            bench.SkipWithError("the count was not shown");
    }
};

void BM_TypingWhileCounting(benchmark::State &bench)
{
    for (auto _ : bench) {
        Dialog dialog;
        ConditionGridView *view = dialog.form.vspFilter();
        const QModelIndex cell = dialog.form.grid().index(0, ConditionGrid::ColValue - 1);
        view->setCurrentIndex(cell);
        view->edit(cell);
        QWidget *editor = view->indexWidget(cell);
        if (!qobject_cast<QLineEdit *>(editor)) {
            bench.SkipWithError("no editor");
            return;
        }
        const qsizetype first = dialog.slow->since(0).size();
        Latency latency;
        for (int i = 0; i < presses; ++i) {
            const QString ch(QChar(u'a' + i % 26));
            const auto key = Qt::Key(Qt::Key_A + i % 26);
            latency.add(handlingMs(editor, [editor, key, &ch] {
                QCoreApplication::postEvent(
                    editor, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, ch));
                QCoreApplication::postEvent(
                    editor, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, ch));
            }));
            serve(typingMs);
        }
        // Return commits the typed text: the one change of the grid.
        QCoreApplication::postEvent(
            editor, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
        serveUntil([&dialog] { return dialog.value().size() == presses; }, 2000);
        dialog.report(bench, first, latency, presses);
    }
}
BENCHMARK(BM_TypingWhileCounting)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_QuickChangesWhileCounting(benchmark::State &bench)
{
    for (auto _ : bench) {
        Dialog dialog;
        ConditionGrid &grid = dialog.form.grid();
        const QModelIndex cell = grid.index(0, ConditionGrid::ColValue - 1);
        const qsizetype first = dialog.slow->since(0).size();
        Latency latency;
        QString text;
        for (int i = 0; i < presses; ++i) {
            text += QChar(u'a' + i % 26);
            // Each change committed as an editor commits it.
            latency.add(handlingMs(&grid, [&grid, &cell, &text] { grid.setData(cell, text); }));
            serve(typingMs);
        }
        dialog.report(bench, first, latency, presses);
    }
}
BENCHMARK(BM_QuickChangesWhileCounting)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

/// The demo host's count of a bound condition, on a connection of the calling thread's own.
std::optional<qint64> countDemoRecords(const QString &file, const BoundCondition &condition,
                                       QString *error = nullptr)
{
    static std::atomic<int> connections{0};
    const QString name = QStringLiteral("bench-count-") + QString::number(++connections);
    std::optional<qint64> count;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        const bool open = db.open();
        QSqlQuery query(db);
        if (open && query.prepare(Demo::serialQuery().countSql(condition.sql))) {
            for (const QVariant &value : condition.values)
                query.addBindValue(value);
            if (query.exec() && query.next())
                count = query.value(0).toLongLong();
        }
        if (!count && error)
            *error = open ? query.lastError().text() : db.lastError().text();
    }
    QSqlDatabase::removeDatabase(name);
    return count;
}

/// n serial numbers as a spreadsheet column: half of them the demo's, half unknown, every
/// tenth line a repeat.
QString pastedColumn(const Demo::SampleDatabase &sample, int n)
{
    QStringList lines;
    lines.reserve(n);
    {
        QSqlDatabase db = sample.open(QStringLiteral("bench-serials"));
        QSqlQuery query(db);
        query.exec(QStringLiteral("SELECT FSERIALNUM FROM t_SerialNumber ORDER BY FSERIALID "
                                  "LIMIT ") +
                   QString::number(n / 2));
        while (query.next())
            lines << query.value(0).toString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-serials"));
    while (lines.size() < n)
        lines << (lines.size() % 10 == 9
                      ? lines.at(lines.size() - 1)
                      : QStringLiteral("NOSUCH") + QString::number(lines.size()));
    return lines.join(QStringLiteral("\r\n"));
}

/// Ctrl+V of a column of n serial numbers into the value list of the dialog over the demo's
/// 100,000 records (generated once into the temporary folder, then reused), until the count
/// line shows how many records it matches. paste_ms is the user-interface thread's work for
/// the paste, count_ms one count of the bound form (one JSON text, whatever n), and
/// count_shown_after_ms the wait after the paste, the count line's settling time included.
void BM_CountPastedList(benchmark::State &bench)
{
    const int n = int(bench.range(0));
    Demo::SampleDatabase sample(QDir::temp().filePath(QStringLiteral("nxsf-bench-demo")));
    if (!sample.ensure()) {
        bench.SkipWithError(qPrintable(sample.error()));
        return;
    }
    const QString file = sample.path();
    const QString column = pastedColumn(sample, n);
    for (auto _ : bench) {
        QTemporaryDir dir;
        useStore(dir.filePath(QStringLiteral("bench.sqlite")));
        frmFilter form;
        form.setSerialUse(true);
        form.setSerialDesc(Demo::serialDescription());
        form.setMatchCounter(
            [file](const BoundCondition &condition) { return countDemoRecords(file, condition); });
        form.Form_Load();
        form.show();
        ConditionGrid &grid = form.grid();
        const int serial = grid.catalog().indexOfCaption(Demo::Texts::fieldSerialNumber());
        grid.setData(grid.index(0, ConditionGrid::ColField - 1), serial,
                     ConditionGrid::ComboIndexRole);
        grid.setData(grid.index(0, ConditionGrid::ColCompare - 1), int(CompareOp::InList),
                     ConditionGrid::ComboIndexRole);
        grid.setActiveCell(1, ConditionGrid::ColValue);
        // The count of every record is shown before the paste.
        const QString prefix = QStringLiteral("符合条件的记录：");
        serveUntil([&] { return form.LblCount()->toolTip().startsWith(prefix); }, 60000);
        const QString unfiltered = form.LblCount()->toolTip();
        QElapsedTimer clock;
        clock.start();
        const bool pasted = form.vspFilter()->pasteList(column);
        const double pasteMs = double(clock.nsecsElapsed()) / 1e6;
        // The count line's own count first, then the same count timed here.
        clock.restart();
        bool counted = false;
        if (pasted)
            counted = serveUntil(
                [&] {
                    const QString line = form.LblCount()->toolTip();
                    return line.startsWith(prefix) && line != unfiltered;
                },
                60000);
        const double shownMs = double(clock.elapsed());
        clock.restart();
        const BoundCondition bound = SqlBuilder::composeBound(grid);
        QString error;
        const std::optional<qint64> expected = countDemoRecords(file, bound, &error);
        const double countMs = double(clock.nsecsElapsed()) / 1e6;
        if (!pasted)
            error = QStringLiteral("the list took no paste");
        if (!pasted || !expected) {
            bench.SkipWithError(qPrintable(QStringLiteral("no count: ") + error));
            return;
        }
        const QString shown = prefix + QString::number(*expected);
        counted = counted && form.LblCount()->toolTip() == shown;
        bench.counters["paste_ms"] = pasteMs;
        bench.counters["count_ms"] = countMs;
        bench.counters["count_shown_after_ms"] = shownMs;
        bench.counters["records_matched"] = double(*expected);
        bench.counters["bound_values"] = double(bound.values.size());
        if (!counted)
            bench.SkipWithError("the count line did not show the records matched");
        form.hide();
    }
}
BENCHMARK(BM_CountPastedList)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto alerts = ScriptedAlerts::install();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    nxAlert::setPresenter(nullptr);
    return alerts->shown.isEmpty() ? 0 : 1;
}
