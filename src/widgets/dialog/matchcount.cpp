// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/dialog/matchcount.h"

#include "core/composer/sqlbuilder.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuecells.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "core/text/leadingnumber.h"
#include <NxSerialFilter/failure.h>

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

namespace NxSerialFilter {

namespace {

// Two threads: a newer condition need not wait for an older count that cannot be cancelled.
constexpr int countThreads = 2;

/// An estimate as the line shows it, never to be taken for the exact count. The planner's
/// guess keeps three significant digits: more would claim a precision it does not have.
QString estimateText(qint64 records, CountEstimate kind)
{
    if (kind == CountEstimate::About) {
        qint64 unit = 1;
        while (records / unit >= 1000)
            unit *= 10;
        records = (records + unit / 2) / unit * unit;
    }
    return Language::text(kind == CountEstimate::About ? Texts::aboutCount()
                                                       : Texts::moreThanCount())
        .arg(Numbers::grouped(records));
}

} // namespace

QThreadPool *MatchCount::pool(bool create)
{
    // Only the user-interface thread asks; the pool ends with the application object.
    static QPointer<QThreadPool> threads;
    if (!threads && create && QCoreApplication::instance()) {
        threads = new QThreadPool(QCoreApplication::instance());
        threads->setObjectName(QStringLiteral("MatchCountThreads"));
        threads->setMaxThreadCount(countThreads);
    }
    return threads;
}

MatchCount::MatchCount(const ConditionGrid &grid, MatchCounter counter, SqlEngine engine,
                       Placeholders placeholders, QObject *parent)
    : QObject(parent)
    , m_grid(grid)
    , m_counter(std::make_shared<const MatchCounter>(std::move(counter)))
    , m_engine(engine)
    , m_placeholders(placeholders)
    , m_current(std::make_shared<std::atomic<quint64>>(0))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, &MatchCount::refresh);
    m_slow.setSingleShot(true);
    m_slow.setInterval(slowMs);
    connect(&m_slow, &QTimer::timeout, this, [this] { show(Language::text(Texts::counting())); });
    m_budget.setSingleShot(true);
    m_budget.setInterval(defaultBudget);
    connect(&m_budget, &QTimer::timeout, this, &MatchCount::showEstimate);
    // A cancelled count that does not return holds the next one no longer than this.
    m_grace.setSingleShot(true);
    m_grace.setInterval(graceMs);
    connect(&m_grace, &QTimer::timeout, this, &MatchCount::launch);
    // Any change of the grid may change the condition; refresh() finds out whether it did.
    const auto changes = [this] { changed(); };
    connect(&m_grid, &QAbstractItemModel::dataChanged, this, changes);
    connect(&m_grid, &QAbstractItemModel::rowsInserted, this, changes);
    connect(&m_grid, &QAbstractItemModel::rowsRemoved, this, changes);
    connect(&m_grid, &QAbstractItemModel::modelReset, this, changes);
}

MatchCount::~MatchCount()
{
    ++*m_current;
    cancelRunning();
}

void MatchCount::setBudget(std::chrono::milliseconds budget)
{
    m_budget.setInterval(budget);
}

void MatchCount::start()
{
    m_active = true;
    m_asked.reset();
    refresh();
}

void MatchCount::stop()
{
    m_active = false;
    m_settle.stop();
    m_slow.stop();
    m_budget.stop();
    m_grace.stop();
    m_asked.reset();
    m_pending = false;
    ++*m_current;
    // Nobody waits for it any more; the record of it stays until it returns, so that a
    // dialog shown again starts its next count only then.
    cancelRunning();
}

void MatchCount::changed()
{
    if (m_active)
        m_settle.start(); // restarts: only a grid left alone for a moment is counted
}

void MatchCount::refresh()
{
    if (!m_active)
        return;
    BoundCondition condition;
    try {
        condition =
            SqlBuilder::composeBound(m_grid, m_engine, m_placeholders, ValueCells::clockDay(),
                                     m_firstDayOfWeek, m_currentUser);
    } catch (...) {
        // Nothing to count yet: the line says why, as OK's alert would, without an alert.
        ++*m_current;
        cancelRunning();
        m_asked.reset();
        m_pending = false;
        m_grace.stop();
        m_slow.stop();
        m_budget.stop();
        show(describeFailure(std::current_exception()));
        return;
    }
    if (m_asked == condition)
        return; // the change left the condition as it was
    m_asked = std::move(condition);
    ++*m_current;
    m_estimate.reset();
    m_slow.start();
    m_budget.start();
    cancelRunning();
    if (m_running) {
        // One count of this dialog at a time on the server: the next follows the cancelled.
        if (!m_pending)
            m_grace.start();
        m_pending = true;
        return;
    }
    launch();
}

void MatchCount::cancelRunning()
{
    if (m_running)
        m_running->cancel();
}

void MatchCount::launch()
{
    m_pending = false;
    m_grace.stop();
    if (!m_active || !m_asked)
        return;
    QThreadPool *threads = pool(true);
    if (!threads)
        return;
    const quint64 generation = *m_current;
    const CountControl control;
    if (m_counter->isCancellable()) {
        m_running = control;
        m_runningGeneration = generation;
    }
    const auto receiver = QPointer<MatchCount>(this);
    control.setEstimateReceiver(
        [receiver, generation, threads](qint64 records, CountEstimate kind) {
            QMetaObject::invokeMethod(
                threads,
                [receiver, generation, records, kind] {
                    if (receiver)
                        receiver->estimated(generation, records, kind);
                },
                Qt::QueuedConnection);
        });
    ++m_inFlight;
    // The count sees only copies and shared state, never this object or the dialog.
    threads->start([counter = m_counter, condition = *m_asked, generation, control,
                    current = m_current, receiver, threads] {
        std::optional<qint64> count;
        // Else a newer condition came, or the dialog closed, before this one started.
        if (*current == generation && !control.isCancelled()) {
            try {
                count = (*counter)(condition, control);
            } catch (...) {
                count.reset();
            }
        }
        // Back on the user-interface thread, where the pool lives; it outlives every count.
        QMetaObject::invokeMethod(
            threads,
            [receiver, generation, count] {
                if (receiver)
                    receiver->finished(generation, count);
            },
            Qt::QueuedConnection);
    });
}

void MatchCount::finished(quint64 generation, std::optional<qint64> count)
{
    --m_inFlight;
    if (m_running && m_runningGeneration == generation) {
        m_running.reset();
        if (m_pending)
            launch();
    }
    if (*m_current != generation)
        return; // a newer change, or the dialog closed: this count is stale
    m_slow.stop();
    m_budget.stop();
    if (!count)
        m_asked.reset(); // the same condition may be tried again after the next change
    show(count ? Language::text(Texts::matchingRecords()) + Numbers::grouped(*count)
               : Language::text(Texts::cannotCount()));
}

void MatchCount::estimated(quint64 generation, qint64 records, CountEstimate kind)
{
    if (*m_current != generation)
        return;
    m_estimate = Estimate{records, kind};
    if (!m_budget.isActive())
        showEstimate(); // the budget is spent already
}

void MatchCount::showEstimate()
{
    if (!m_estimate)
        return; // "counting" stays until one comes
    m_slow.stop();
    show(Language::text(Texts::matchingRecords()) +
         estimateText(m_estimate->records, m_estimate->kind));
}

void MatchCount::show(const QString &text)
{
    if (text == m_line)
        return;
    m_line = text;
    Q_EMIT lineChanged(m_line);
}

} // namespace NxSerialFilter
