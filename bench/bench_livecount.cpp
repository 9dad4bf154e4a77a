// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The live count with a counter that takes 2 s: every key press typed into a value cell, and
// every quick change of the grid, is handled at once on the user-interface thread (the time
// the event loop takes to get through it), and one count runs for the final text.

#include "core/conditions/conditiongrid.h"
#include "testsupport/descriptions.h"
#include "testsupport/scriptedalerts.h"
#include "testsupport/storefixture.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/dialog/matchcount.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

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
