// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/matchcounter.h>
#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QObject>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

class QThreadPool;

namespace NxSerialFilter {

class ConditionGrid;

/// The filter dialog's live count: composes the grid's condition once the user has stopped
/// changing it for a moment and has the host's counter count it on a worker thread. The
/// user-interface thread only composes (cheap) and shows the line; it never waits for a count.
///
/// Each count carries a generation. A newer condition, stop() or the end of this object bumps
/// the generation: a count not yet started then never calls the counter, one already running
/// is cancelled through its control, and its result is dropped. A counter that hears of its
/// cancellation runs one count at a time: the next waits until the cancelled one has
/// returned (a moment), or, should it not return, for graceMs. Past the budget the line shows
/// the counter's estimate until the exact count comes.
class NXSF_WIDGETS_AUTOTEST_EXPORT MatchCount : public QObject
{
    Q_OBJECT
public:
    /// How long the grid must stay unchanged before it is counted.
    static constexpr int settleMs = 300;
    /// How long a count may take before the line says it is counting.
    static constexpr int slowMs = 150;
    /// How long the exact count may take before the line shows the counter's estimate.
    static constexpr std::chrono::milliseconds defaultBudget{1000};
    /// How long the next count waits for a cancelled one that has not returned.
    static constexpr int graceMs = 2000;

    MatchCount(const ConditionGrid &grid, MatchCounter counter, SqlEngine engine,
               Placeholders placeholders, QObject *parent = nullptr);
    ~MatchCount() override;

    /// Counts the grid as it stands, then again after each change.
    void start();
    /// No count is started any more; the result of a running one is dropped.
    void stop();
    /// The day the weeks of relative dates start on; they count from ValueCells::today().
    void setFirstDayOfWeek(Qt::DayOfWeek day) { m_firstDayOfWeek = day; }
    /// The name 当前用户 stands for.
    void setCurrentUser(const QString &name) { m_currentUser = name; }
    /// How long the exact count may take before the line shows an estimate.
    void setBudget(std::chrono::milliseconds budget);
    /// What the count line shows.
    QString line() const { return m_line; }
    /// True when no change waits to be counted and every count asked for has answered: the
    /// line stays as it is until the grid changes.
    bool isIdle() const
    {
        return !m_settle.isActive() && !m_grace.isActive() && !m_pending && m_inFlight == 0;
    }

    /// The threads the counts run on, made on first use; they end with the application object,
    /// which lets running counts finish. Null while no count has ever been asked for.
    static QThreadPool *pool(bool create = false);

Q_SIGNALS:
    void lineChanged(const QString &text);

private:
    void changed();
    void refresh();
    void launch();
    void cancelRunning();
    void finished(quint64 generation, std::optional<qint64> count);
    void estimated(quint64 generation, qint64 records, CountEstimate kind);
    void showEstimate();
    void show(const QString &text);

    const ConditionGrid &m_grid;
    std::shared_ptr<const MatchCounter> m_counter;
    SqlEngine m_engine;
    Placeholders m_placeholders;
    Qt::DayOfWeek m_firstDayOfWeek = Qt::Monday;
    QString m_currentUser;
    /// The generation whose result may be shown; shared with the counts in flight.
    std::shared_ptr<std::atomic<quint64>> m_current;
    std::optional<BoundCondition> m_asked; // the condition counted or being counted
    bool m_pending = false;                // m_asked waits for the running count to return
    /// The count that has not returned yet, of a counter that hears of its cancellation.
    std::optional<CountControl> m_running;
    quint64 m_runningGeneration = 0;
    struct Estimate
    {
        qint64 records;
        CountEstimate kind;
    };
    std::optional<Estimate> m_estimate; // of the current generation
    bool m_active = false;
    int m_inFlight = 0; // counts started whose answer has not come back
    QTimer m_settle;
    QTimer m_slow;
    QTimer m_budget;
    QTimer m_grace;
    QString m_line;
};

} // namespace NxSerialFilter
