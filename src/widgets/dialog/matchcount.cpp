// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/dialog/matchcount.h"

#include "core/composer/sqlbuilder.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuecells.h"
#include "core/language/languagestate.h"
#include "core/language/texts.h"
#include <NxSerialFilter/failure.h>

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

namespace NxSerialFilter {

namespace {

// Two threads: a newer condition need not wait for an older count that is slow to end.
constexpr int countThreads = 2;

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
    m_asked.reset();
    ++*m_current;
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
        condition = SqlBuilder::composeBound(m_grid, m_engine, m_placeholders,
                                             ValueCells::clockDay(), m_firstDayOfWeek);
    } catch (...) {
        // Nothing to count yet: the line says why, as OK's alert would, without an alert.
        ++*m_current;
        m_asked.reset();
        m_slow.stop();
        show(describeFailure(std::current_exception()));
        return;
    }
    if (m_asked == condition)
        return; // the change left the condition as it was
    m_asked = condition;
    const quint64 generation = ++*m_current;
    m_slow.start();
    QThreadPool *threads = pool(true);
    if (!threads)
        return;
    // The count sees only copies and shared state, never this object or the dialog.
    threads->start([counter = m_counter, condition = std::move(condition), generation,
                    current = m_current, receiver = QPointer<MatchCount>(this), threads] {
        if (*current != generation)
            return; // a newer condition came, or the dialog closed, before this one started
        std::optional<qint64> count;
        try {
            count = (*counter)(condition);
        } catch (...) {
            count.reset();
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
    if (*m_current != generation)
        return; // a newer change, or the dialog closed: this count is stale
    m_slow.stop();
    if (!count)
        m_asked.reset(); // the same condition may be tried again after the next change
    show(count ? Language::text(Texts::matchingRecords()) + QString::number(*count)
               : Language::text(Texts::cannotCount()));
}

void MatchCount::show(const QString &text)
{
    if (text == m_line)
        return;
    m_line = text;
    Q_EMIT lineChanged(m_line);
}

} // namespace NxSerialFilter
