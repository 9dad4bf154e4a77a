// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The dialog's live count with a scripted counter: one count once the grid settles, stale and
// failed counts, compose failures without an alert, keys and closing that never wait for a
// count, no line and no thread without a counter.

#include "core/conditions/conditiongrid.h"
#include "core/composer/sqlbuilder.h"
#include "testsupport/dialogfixture.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/dialog/matchcount.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <condition_variable>
#include <mutex>
#include <stdexcept>

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
            return 10 * call + condition.values.size();
        };
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

} // namespace

class tst_LiveCount : public QObject
{
    Q_OBJECT

private:
    /// A shown dialog with the scripted counter; held: the calls that wait for release().
    std::unique_ptr<frmFilter> open(QList<int> held, Script::Answer answer = Script::Answer::Count)
    {
        m_script->answer = answer;
        m_script->held = held;
        auto form = std::make_unique<frmFilter>();
        form->setCommonField(standardCommonValues(m_screen));
        form->setMatchCounter(Script::counter(m_script));
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
        QTest::qWait(MatchCount::settleMs + 100);
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
        QTest::qWait(MatchCount::settleMs + 100);
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
        QTest::qWait(50);
        QCOMPARE(form->LblCount()->toolTip(), countLine(31));
        for (const QList<QVariant> &signal : shown)
            QVERIFY(signal.at(0).toString() != countLine(21));
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
        QTest::qWait(MatchCount::settleMs + 100);
        QCOMPARE(m_script->callCount(), 2);
        if (form)
            QCOMPARE(form->LblCount()->toolTip(), line);
    }
};

QTEST_MAIN(tst_LiveCount)
#include "tst_livecount.moc"
