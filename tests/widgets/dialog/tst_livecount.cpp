// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The dialog's live count with a scripted counter: one count once the grid settles, stale and
// failed counts, compose failures without an alert, keys and closing that never wait for a
// count, no line and no thread without a counter; stale counts cancelled, one at a time, and
// estimates until the exact count. And the ready counter on SQLite and the test server.

#include "core/composer/sqlbuilder.h"
#include "core/conditions/conditiongrid.h"
#include "testsupport/dialogfixture.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/dialog/matchcount.h"
#include <NxSerialFilter/sqlmatchcounter.h>

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QUuid>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <utility>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;

namespace {

/// The host's counter as the test scripts it. Shared with the counts, which may outlive the
/// dialog that asked for them.
struct Script
{
    enum class Answer { Count, Fail, Throw };

    std::mutex mutex;
    std::condition_variable gate;
    Answer answer = Answer::Count;
    QList<int> held; // call numbers (from 1) that wait until release()
    bool released = false;
    QList<BoundCondition> calls;
    int done = 0;
    int onUiThread = 0;
    QThread *ui = QThread::currentThread();
    // The counter that hears of its cancellation: what it estimates first, what it heard.
    std::optional<std::pair<qint64, CountEstimate>> estimate;
    QList<int> cancelled;
    int running = 0;
    int mostRunning = 0;
    qint64 scale = 1; // every count times this: a site's numbers

    /// Each count tells which call gave it: ten times the call number plus the values bound.
    static MatchCounter counter(const std::shared_ptr<Script> &script)
    {
        return [script](const BoundCondition &condition) -> std::optional<qint64> {
            std::unique_lock lock(script->mutex);
            script->calls << condition;
            const int call = int(script->calls.size());
            if (QThread::currentThread() == script->ui)
                ++script->onUiThread;
            script->gate.wait(lock,
                              [&] { return script->released || !script->held.contains(call); });
            ++script->done;
            if (script->answer == Answer::Throw)
                throw std::runtime_error("no database");
            if (script->answer == Answer::Fail)
                return std::nullopt;
            return (10 * call + condition.values.size()) * script->scale;
        };
    }

    /// The same, but a held call also ends when it is cancelled, and then fails.
    static MatchCounter cancellable(const std::shared_ptr<Script> &script)
    {
        return [script](const BoundCondition &condition,
                        const CountControl &control) -> std::optional<qint64> {
            int call = 0;
            {
                std::lock_guard lock(script->mutex);
                script->calls << condition;
                call = int(script->calls.size());
                script->mostRunning = std::max(script->mostRunning, ++script->running);
                if (QThread::currentThread() == script->ui)
                    ++script->onUiThread;
                if (script->estimate)
                    control.estimate(script->estimate->first, script->estimate->second);
            }
            // Ends before the lock below is taken: the control's lock comes first.
            const CountControl::Hook hook = control.onCancel([script, call] {
                std::lock_guard lock(script->mutex);
                script->cancelled << call;
                script->gate.notify_all();
            });
            std::unique_lock lock(script->mutex);
            script->gate.wait(lock, [&] {
                return script->released || !script->held.contains(call) ||
                       script->cancelled.contains(call);
            });
            --script->running;
            ++script->done;
            if (script->cancelled.contains(call))
                return std::nullopt;
            return (10 * call + condition.values.size()) * script->scale;
        };
    }

    bool wasCancelled(int call)
    {
        std::lock_guard lock(mutex);
        return cancelled.contains(call);
    }

    int callCount()
    {
        std::lock_guard lock(mutex);
        return int(calls.size());
    }
    bool allDone()
    {
        std::lock_guard lock(mutex);
        return done == calls.size();
    }
    void release()
    {
        std::lock_guard lock(mutex);
        released = true;
        gate.notify_all();
    }
};

/// Writes cells as the user commits them: field and comparison by list position, value text.
void writeRow(ConditionGrid &grid, int row, int field, int compare, const QString &value,
              const QString &left = {})
{
    auto cell = [&grid, row](int col) { return grid.index(row - 1, col - 1); };
    grid.setData(cell(ConditionGrid::ColField), field, ConditionGrid::ComboIndexRole);
    if (field == 0)
        return; // "(无)" deletes the row
    grid.setData(cell(ConditionGrid::ColCompare), compare, ConditionGrid::ComboIndexRole);
    grid.setData(cell(ConditionGrid::ColValue), value);
    if (!left.isEmpty())
        grid.setData(cell(ConditionGrid::ColLeftParen), left);
}

QString countLine(qint64 n)
{
    return QStringLiteral("符合条件的记录：") + QString::number(n);
}

/// Wraps the ready counter: how many calls began and returned, and the most at once.
struct Probe
{
    std::mutex mutex;
    int started = 0;
    int ended = 0;
    int running = 0;
    int mostRunning = 0;
    QList<std::optional<qint64>> results;

    static MatchCounter counter(const std::shared_ptr<Probe> &probe, SqlMatchCounter inner)
    {
        return [probe, inner](const BoundCondition &condition, const CountControl &control) {
            {
                std::lock_guard lock(probe->mutex);
                ++probe->started;
                probe->mostRunning = std::max(probe->mostRunning, ++probe->running);
            }
            const std::optional<qint64> count = inner(condition, control);
            std::lock_guard lock(probe->mutex);
            --probe->running;
            ++probe->ended;
            probe->results << count;
            return count;
        };
    }
    int get(int Probe::*field)
    {
        std::lock_guard lock(mutex);
        return this->*field;
    }
};

/// A table of the standard fields' columns, with rows values of FName; on SQLite in dir, or
/// on the test server (whose address is server) under a name of its own.
struct CountTable
{
    QString connection = QStringLiteral("livecount-") + QUuid::createUuid().toString(QUuid::Id128);
    QString table;
    QString error;

    CountTable(const QString &server, const QTemporaryDir &dir, const QStringList &names)
    {
        const QString file = dir.filePath(connection + QStringLiteral(".sqlite"));
        QSqlDatabase db;
        if (server.isEmpty()) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(file);
            table = QStringLiteral("tbl");
        } else {
            db = otherSession(server, connection);
            table = QStringLiteral("t_") + QUuid::createUuid().toString(QUuid::Id128);
        }
        QSqlQuery query(db);
        if ((!db.isOpen() && !db.open()) ||
            !query.exec(QStringLiteral("CREATE TABLE ") + table +
                        QStringLiteral(" (FQty INTEGER, FName TEXT, FCode TEXT, FStock INTEGER, "
                                       "FRate REAL)"))) {
            error = db.lastError().text() + query.lastError().text();
            return;
        }
        db.transaction();
        query.prepare(QStringLiteral("INSERT INTO ") + table +
                      QStringLiteral(" (FQty, FName) VALUES (?, ?)"));
        for (const QString &name : names) {
            query.addBindValue(int(name.size()));
            query.addBindValue(name);
            query.exec();
        }
        db.commit();
        query.exec(QStringLiteral("ANALYZE ") + table);
    }
    ~CountTable()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(connection);
            if (db.driverName() == QLatin1String("QPSQL"))
                QSqlQuery(db).exec(QStringLiteral("DROP TABLE IF EXISTS ") + table);
        }
        QSqlDatabase::removeDatabase(connection);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(connection); }
    bool postgres() const { return db().driverName() == QLatin1String("QPSQL"); }

    /// Whether a server process runs a statement that sleeps, the count's own connection's.
    /// The counts running on the server. Only the count itself: the planner's look at the
    /// same statement comes and goes before it, and a waited-for state must not flicker.
    int sleepingCounts() const
    {
        QSqlQuery query(db());
        query.exec(QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE state = 'active' "
                                  "AND query LIKE 'SELECT COUNT(*) %pg_sleep(60)%' "
                                  "AND query NOT LIKE '%pg_stat_activity%'"));
        return query.next() ? query.value(0).toInt() : -1;
    }
};

} // namespace

class tst_LiveCount : public QObject
{
    Q_OBJECT

private:
    /// A shown dialog with the scripted counter; held: the calls that wait for release().
    std::unique_ptr<frmFilter> open(QList<int> held, Script::Answer answer = Script::Answer::Count,
                                    MatchCounter counter = {},
                                    std::chrono::milliseconds budget = MatchCount::defaultBudget)
    {
        m_script->answer = answer;
        m_script->held = held;
        auto form = std::make_unique<frmFilter>();
        form->setCommonField(standardCommonValues(m_screen));
        form->setMatchCounter(counter ? counter : Script::counter(m_script));
        form->setCountBudget(budget);
        form->Form_Load();
        form->show();
        // The empty grid is counted as the dialog opens; null when it never is.
        const bool counted = QTest::qWaitFor([&] {
            const QString line = form->LblCount()->toolTip();
            return !line.isEmpty() && line != u"正在计数…"_qs;
        });
        if (!counted)
            form.reset();
        return form;
    }

    QTemporaryDir m_dir;
    QString m_screen;
    std::shared_ptr<Script> m_script;
    std::shared_ptr<ScriptedAlerts> m_alerts;

private Q_SLOTS:
    void init()
    {
        m_alerts = ScriptedAlerts::install();
        useStore(m_dir.filePath(QStringLiteral("count.sqlite")));
        m_screen = uniqueScreen();
        m_script = std::make_shared<Script>();
    }

    void cleanup()
    {
        // Let every count end before the next test, and check where they all ran.
        m_script->release();
        QTRY_VERIFY(m_script->allDone());
        QCOMPARE(m_script->onUiThread, 0);
        QCOMPARE(m_alerts->shown.size(), 0);
        nxAlert::setPresenter(nullptr);
    }

    // First, while nothing in this process has counted yet.
    void noCounterNoLineNoThread()
    {
        frmFilter form;
        form.setCommonField(standardCommonValues(m_screen));
        form.Form_Load();
        form.show();
        writeRow(form.grid(), 1, 1, 0, QStringLiteral("5"));
        QVERIFY(form.LblCount()->isHidden());
        QVERIFY(!form.matchCount());
        QVERIFY(!MatchCount::pool());
    }

    void lineAfterChanges_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("left"); // row 1's opening parentheses at the last change
        QTest::addColumn<int>("lastRow");  // the row of the last change
        QTest::addColumn<int>("calls");
        QTest::addColumn<QString>("line");
        // Each change comes before the last one settled: only the grid at rest is counted.
        QTest::newRow("quick changes, one count")
            << int(Script::Answer::Count) << QString() << 1 << 2 << countLine(21);
        QTest::newRow("a failing counter")
            << int(Script::Answer::Fail) << QString() << 1 << 2 << u"无法计数"_qs;
        QTest::newRow("a throwing counter")
            << int(Script::Answer::Throw) << QString() << 1 << 2 << u"无法计数"_qs;
        QTest::newRow("unbalanced parentheses, no count")
            << int(Script::Answer::Count) << u"("_qs << 1 << 1
            << u"左、右括号不匹配，请改正后继续。"_qs;
        // Row 3 filled below an empty row 2 is no narrower filter but a mistake to show.
        QTest::newRow("a row without a field above a filled one, no count")
            << int(Script::Answer::Count) << QString() << 3 << 1
            << u"第2行：没有选择字段，但下面还有条件；请选择字段或删除这一行"_qs;
    }

    void lineAfterChanges()
    {
        QFETCH(int, answer);
        QFETCH(QString, left);
        QFETCH(int, lastRow);
        QFETCH(int, calls);
        QFETCH(QString, line);
        auto form = open({}, Script::Answer(answer));
        QVERIFY(form);
        QCOMPARE(m_script->callCount(), 1);
        ConditionGrid &grid = form->grid();
        writeRow(grid, 1, 2, 0, QStringLiteral("a"));
        writeRow(grid, 2, 1, 1, QStringLiteral("3"));
        writeRow(grid, 2, 0, 0, QString()); // deleted again
        writeRow(grid, lastRow, 2, 0, QStringLiteral("ab"), left);
        QTRY_COMPARE(m_script->callCount(), calls);
        QTRY_COMPARE(form->LblCount()->toolTip(), line);
        // A screen reader reads the whole line, however short the label cuts it.
        QCOMPARE(QAccessible::queryAccessibleInterface(form->LblCount())->text(QAccessible::Name),
                 line);
        // Nothing more follows once the last change has been counted.
        QTRY_VERIFY(form->matchCount()->isIdle());
        QCOMPARE(m_script->callCount(), calls);
        if (calls > 1)
            QCOMPARE(m_script->calls.last(), SqlBuilder::composeBound(grid));
    }

    void staleCountIsDropped()
    {
        auto form = open({2});
        QVERIFY(form);
        QSignalSpy shown(form->matchCount(), &MatchCount::lineChanged);
        writeRow(form->grid(), 1, 2, 0, QStringLiteral("slow"));
        QTRY_COMPARE(form->LblCount()->toolTip(), u"正在计数…"_qs);
        writeRow(form->grid(), 1, 2, 0, QStringLiteral("quick"));
        QTRY_COMPARE(form->LblCount()->toolTip(), countLine(31));
        m_script->release();
        QTRY_VERIFY(m_script->allDone());
        QTRY_VERIFY(form->matchCount()->isIdle());
        QCOMPARE(form->LblCount()->toolTip(), countLine(31));
        for (const QList<QVariant> &signal : shown)
            QVERIFY(signal.at(0).toString() != countLine(21));
    }

    void staleCountIsCancelled_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("a newer condition") << u"newer"_qs;
        QTest::newRow("Cancel") << u"cancel"_qs;
        QTest::newRow("dialog deleted") << u"delete"_qs;
    }

    // A count nobody waits for is told so at once, and the next starts only once it returned.
    void staleCountIsCancelled()
    {
        QFETCH(QString, how);
        auto form = open({2}, Script::Answer::Count, Script::cancellable(m_script));
        QVERIFY(form);
        writeRow(form->grid(), 1, 2, 0, QStringLiteral("slow"));
        QTRY_COMPARE(m_script->callCount(), 2);
        if (how == u"newer"_qs) {
            writeRow(form->grid(), 1, 2, 0, QStringLiteral("quick"));
            QTRY_COMPARE(form->LblCount()->toolTip(), countLine(31));
        } else if (how == u"cancel"_qs) {
            form->CmdCancel()->click();
        } else {
            form.reset();
        }
        QTRY_VERIFY(m_script->allDone());
        QVERIFY(m_script->wasCancelled(2));
        QCOMPARE(m_script->mostRunning, 1);
        QCOMPARE(m_script->callCount(), how == u"newer"_qs ? 3 : 2);
    }

    void estimateUntilExact_data()
    {
        QTest::addColumn<QList<int>>("held");
        QTest::addColumn<int>("budgetMs");
        QTest::addColumn<qint64>("records");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("estimate"); // empty: none is shown
        QTest::addColumn<QString>("exact");
        QTest::addColumn<qint64>("scale"); // of the exact counts
        QTest::newRow("planner's rows, three digits")
            << QList<int>{2} << 0 << qint64(4789234) << int(CountEstimate::About)
            << u"符合条件的记录：约 4,790,000"_qs << countLine(21) << qint64(1);
        QTest::newRow("small planner's rows as they are")
            << QList<int>{2} << 0 << qint64(7) << int(CountEstimate::About)
            << u"符合条件的记录：约 7"_qs << countLine(21) << qint64(1);
        QTest::newRow("a count stopped at its limit")
            << QList<int>{2} << 0 << qint64(100000) << int(CountEstimate::MoreThan)
            << u"符合条件的记录：超过 100,000"_qs << countLine(21) << qint64(1);
        QTest::newRow("the count at open")
            << QList<int>{1} << 0 << qint64(123456) << int(CountEstimate::MoreThan)
            << u"符合条件的记录：超过 123,456"_qs << countLine(10) << qint64(1);
        QTest::newRow("within the budget, no estimate")
            << QList<int>{2} << 3600000 << qint64(4789234) << int(CountEstimate::About) << QString()
            << countLine(21) << qint64(1);
        // The exact count is grouped in thousands like the estimate before it.
        QTest::newRow("a site's exact count, grouped")
            << QList<int>{2} << 0 << qint64(20960000) << int(CountEstimate::About)
            << u"符合条件的记录：约 21,000,000"_qs << u"符合条件的记录：21,000,000"_qs
            << qint64(1000000);
    }

    void estimateUntilExact()
    {
        QFETCH(QList<int>, held);
        QFETCH(int, budgetMs);
        QFETCH(qint64, records);
        QFETCH(int, kind);
        QFETCH(QString, estimate);
        QFETCH(QString, exact);
        QFETCH(qint64, scale);
        m_script->scale = scale;
        // Only the count asked for estimates: one at open would show before the spy is there.
        const auto estimateFrom = [&] {
            std::lock_guard lock(m_script->mutex);
            m_script->estimate = std::pair(records, CountEstimate(kind));
        };
        if (held.contains(1))
            estimateFrom();
        auto form = open(held, Script::Answer::Count, Script::cancellable(m_script),
                         std::chrono::milliseconds(budgetMs));
        QVERIFY(form);
        estimateFrom();
        QSignalSpy shown(form->matchCount(), &MatchCount::lineChanged);
        if (!held.contains(1)) {
            writeRow(form->grid(), 1, 2, 0, QStringLiteral("a"));
            QTRY_COMPARE(m_script->callCount(), 2);
        }
        if (estimate.isEmpty())
            QTRY_COMPARE(form->LblCount()->toolTip(), u"正在计数…"_qs);
        else
            QTRY_COMPARE(form->LblCount()->toolTip(), estimate);
        m_script->release();
        QTRY_COMPARE(form->LblCount()->toolTip(), exact);
        for (const QList<QVariant> &signal : shown) {
            const QString line = signal.at(0).toString();
            QVERIFY2(line == exact || line == estimate || line == u"正在计数…"_qs,
                     qPrintable(line));
        }
    }

    void sqlCountIsCancelled_data()
    {
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("how");
        for (const bool server : {false, true}) {
            const char *engine = server ? "postgresql" : "sqlite";
            QTest::addRow("%s, a newer condition", engine) << server << u"newer"_qs;
            QTest::addRow("%s, Cancel", engine) << server << u"cancel"_qs;
        }
    }

    // The ready counter's statement ends on the server when nobody waits for it any more:
    // every count here would run for a minute or more.
    void sqlCountIsCancelled()
    {
        QFETCH(bool, server);
        QFETCH(QString, how);
        const QString url = server ? qEnvironmentVariable("NXSF_TEST_PG_URL") : QString();
        if (server && url.isEmpty())
            QSKIP("no test server (NXSF_TEST_PG_URL)");
        CountTable table(url, m_dir, {u"a"_qs, u"ab"_qs, u"b"_qs});
        QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
        const QString slow =
            server ? QStringLiteral("(SELECT pg_sleep(60)) s")
                   : QStringLiteral("(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                    "FROM n) SELECT i FROM n) s");
        auto probe = std::make_shared<Probe>();
        SqlMatchCounter counter(table.db(), QStringLiteral("FROM ") + table.table +
                                                QStringLiteral(" t1, ") + slow);
        auto form = std::make_unique<frmFilter>();
        form->setCommonField(standardCommonValues(m_screen));
        form->setMatchCounter(Probe::counter(probe, counter));
        form->Form_Load();
        form->show();
        // A server that a busy machine or the sanitizers slow down may take its time to start
        // and end a statement; what is waited for is the state, never a race.
        constexpr int serverWait = 60000;
        QTRY_COMPARE_WITH_TIMEOUT(probe->get(&Probe::started), 1, serverWait);
        if (server)
            QTRY_COMPARE_WITH_TIMEOUT(table.sleepingCounts(), 1, serverWait);
        if (how == u"newer"_qs) {
            writeRow(form->grid(), 1, 2, 0, QStringLiteral("a"));
            QTRY_COMPARE_WITH_TIMEOUT(probe->get(&Probe::started), 2, serverWait);
            QCOMPARE(probe->get(&Probe::ended), 1);
            if (server)
                QTRY_COMPARE_WITH_TIMEOUT(table.sleepingCounts(), 1, serverWait);
        }
        form->CmdCancel()->click();
        QTRY_COMPARE_WITH_TIMEOUT(probe->get(&Probe::ended), probe->get(&Probe::started),
                                  serverWait);
        if (server)
            QTRY_COMPARE_WITH_TIMEOUT(table.sleepingCounts(), 0, serverWait);
        QCOMPARE(probe->get(&Probe::mostRunning), 1);
        for (const std::optional<qint64> &result : probe->results)
            QVERIFY(!result);
    }

    void sqlCounts_data()
    {
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("field"); // 0: no row in use, else 名称 包含 value
        QTest::addColumn<QString>("value");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<int>("estimateKind"); // -1: no estimate
        QTest::addColumn<qint64>("estimate");  // -1: any
        QTest::addColumn<qint64>("count");     // -1: cannot count
        const QString records = QStringLiteral("FROM %1 t1");
        const QString sqliteSlow = QStringLiteral(
            "FROM %1 t1, (WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
            "SELECT i FROM n) s");
        const int none = -1;
        const int more = int(CountEstimate::MoreThan);
        const int about = int(CountEstimate::About);
        QTest::newRow("sqlite, every record under the limit: exact at once")
            << false << records << 0 << QString() << qint64(10) << 60000 << none << qint64(-1)
            << qint64(6);
        QTest::newRow("sqlite, past the limit: more than, then exact")
            << false << records << 0 << QString() << qint64(5) << 60000 << more << qint64(5)
            << qint64(6);
        QTest::newRow("sqlite, a bound value") << false << records << 2 << u"a"_qs << qint64(1)
                                               << 60000 << more << qint64(1) << qint64(3);
        QTest::newRow("sqlite, the word FROM left out")
            << false << u"%1 t1"_qs << 2 << u"b"_qs << qint64(10) << 60000 << none << qint64(-1)
            << qint64(2);
        QTest::newRow("sqlite, timed out")
            << false << sqliteSlow << 0 << QString() << qint64(1000000000) << 200 << none
            << qint64(-1) << qint64(-1);
        QTest::newRow("sqlite, refused") << false << u"FROM nosuch_%1 t1"_qs << 0 << QString()
                                         << qint64(10) << 60000 << none << qint64(-1) << qint64(-1);
        QTest::newRow("postgresql, planner's rows, then exact")
            << true << records << 0 << QString() << qint64(5) << 60000 << about << qint64(6)
            << qint64(6);
        QTest::newRow("postgresql, a bound value") << true << records << 2 << u"a"_qs << qint64(5)
                                                   << 60000 << about << qint64(-1) << qint64(3);
        QTest::newRow("postgresql, timed out")
            << true << u"FROM %1 t1, (SELECT pg_sleep(60)) s"_qs << 0 << QString() << qint64(5)
            << 200 << about << qint64(-1) << qint64(-1);
        QTest::newRow("postgresql, refused")
            << true << u"FROM nosuch_%1 t1"_qs << 0 << QString() << qint64(5) << 60000 << none
            << qint64(-1) << qint64(-1);
    }

    // The ready counter's own results and estimates, without the dialog.
    void sqlCounts()
    {
        QFETCH(bool, server);
        QFETCH(QString, from);
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(qint64, limit);
        QFETCH(int, timeoutMs);
        QFETCH(int, estimateKind);
        QFETCH(qint64, estimate);
        QFETCH(qint64, count);
        const QString url = server ? qEnvironmentVariable("NXSF_TEST_PG_URL") : QString();
        if (server && url.isEmpty())
            QSKIP("no test server (NXSF_TEST_PG_URL)");
        CountTable table(url, m_dir, {u"a"_qs, u"ab"_qs, u"b"_qs, u"ca"_qs, u"c"_qs, u"d"_qs});
        QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
        SqlMatchCounter counter(table.db(), from.arg(table.table));
        counter.setEstimateLimit(limit);
        counter.setStatementTimeout(std::chrono::milliseconds(timeoutMs));
        // As the composer writes 名称 包含 value.
        BoundCondition condition;
        if (field)
            condition = {u" ( (t1.FName Like ?) ) "_qs, {u'%' + value + u'%'}};
        QList<std::pair<qint64, CountEstimate>> estimates;
        const CountControl control;
        control.setEstimateReceiver([&estimates](qint64 records, CountEstimate kind) {
            estimates << std::pair(records, kind);
        });
        const std::optional<qint64> result = counter(condition, control);
        QCOMPARE(result.value_or(-1), count);
        QCOMPARE(estimates.size(), estimateKind < 0 ? 0 : 1);
        if (estimateKind >= 0) {
            QCOMPARE(int(estimates.first().second), estimateKind);
            if (estimate >= 0)
                QCOMPARE(estimates.first().first, estimate);
        }
    }

    void closingWhileCounting_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("OK") << u"ok"_qs;
        QTest::newRow("Cancel") << u"cancel"_qs;
        QTest::newRow("close button") << u"close"_qs;
        QTest::newRow("dialog deleted") << u"delete"_qs;
    }

    // A slow count holds neither the keys nor the dialog's end, and ends unseen.
    void closingWhileCounting()
    {
        QFETCH(QString, how);
        auto form = open({2});
        QVERIFY(form);
        writeRow(form->grid(), 1, 2, 0, QStringLiteral("a"));
        QTRY_COMPARE(m_script->callCount(), 2);
        ConditionGridView *view = form->vspFilter();
        view->setCurrentIndex(form->grid().index(0, ConditionGrid::ColValue - 1));
        QTest::keyClick(view, Qt::Key_F2);
        auto *editor = qobject_cast<QLineEdit *>(view->indexWidget(view->currentIndex()));
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClicks(editor, QStringLiteral("bc"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(form->grid().GetCellText(1, ConditionGrid::ColValue), QStringLiteral("abc"));
        if (how == u"ok"_qs)
            form->CmdOK()->click();
        else if (how == u"cancel"_qs)
            form->CmdCancel()->click();
        else if (how == u"close"_qs)
            form->close();
        else
            form.reset();
        QVERIFY(!m_script->allDone());
        if (form) {
            QVERIFY(!form->isVisible());
            // A closed dialog asks for nothing more, and shows nothing that comes late.
            writeRow(form->grid(), 1, 2, 0, QStringLiteral("d"));
        }
        const QString line = form ? form->LblCount()->toolTip() : QString();
        m_script->release();
        QTRY_VERIFY(m_script->allDone());
        // Every count asked for has run, and what it sent back has arrived.
        QVERIFY(MatchCount::pool()->waitForDone(60000));
        QCoreApplication::sendPostedEvents();
        if (form)
            QTRY_VERIFY(form->matchCount()->isIdle());
        QCOMPARE(m_script->callCount(), 2);
        if (form)
            QCOMPARE(form->LblCount()->toolTip(), line);
    }
};

QTEST_MAIN(tst_LiveCount)
#include "tst_livecount.moc"
