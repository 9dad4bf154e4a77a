// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// Keys of the filter dialog: F1 opens help through the outside help component wherever the
// focus is, exactly once per press and with the context's arguments; other keys leave help
// alone; a failing help component costs one alert and nothing else. The condition text line:
// typing there and in the grid keeps the two in step, completion, and its keys.

#include "core/conditions/conditiongrid.h"
#include "core/conditions/conditionrows.h"
#include "core/conditions/offrows.h"
#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "testsupport/descriptions.h"
#include "testsupport/dialogfixture.h"
#include "testsupport/modalanswers.h"
#include "testsupport/processstate.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/conditions/gridediting.h"
#include "widgets/dialog/conditiontextline.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/dialog/helpwindow.h"
#include "widgets/schemes/schemelistview.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/compose.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/failure.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <stdexcept>

using namespace NxSerialFilter;
using namespace Qt::StringLiterals;

namespace {

struct HelpCall
{
    qint32 first;
    qint16 second;
    QString topic;
    qint32 serialFlag;
    QString subSystem;
    qint32 last;
};

struct HelpLog
{
    int created = 0;
    QList<HelpCall> calls;
    enum class Failure { None, Create, ShowFilterError, ShowOther } failure = Failure::None;
};

class RecordingHelp : public HelpComponent
{
public:
    explicit RecordingHelp(HelpLog &log)
        : m_log(log)
    {}
    void ShowHELP(qint32 &first, qint16 second, QString &topicClass, qint32 &serialFlag,
                  QString &subSystemId, qint32 &last) override
    {
        m_log.calls.append({first, second, topicClass, serialFlag, subSystemId, last});
        if (m_log.failure == HelpLog::Failure::ShowFilterError)
            throw FilterError(ErrorNumber::Unexpected, QStringLiteral("ShowHELP"),
                              QStringLiteral("帮助文件已损坏"));
        if (m_log.failure == HelpLog::Failure::ShowOther)
            throw std::runtime_error("help crashed");
    }

private:
    HelpLog &m_log;
};

/// The host's look-up window, which gives one item at once.
class OneItemLookup : public LookupWindowComponent
{
public:
    LookupResult itemlookup(qint32 &, const QVariant &, KeyedValuesPtr &) override
    {
        return {true, {u"螺钉 M3"_s, u"全名"_s, u"编号"_s}};
    }
    LookupResult SubMesLookup(qint32 &) override { return {}; }
    QStringList unknownValues(const LookupCheck &, const QStringList &) override { return {}; }
};

/// Counts the key presses that reach a widget after the dialog has seen them.
class KeySpy : public QObject
{
public:
    int f1 = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1)
            ++f1;
        return false;
    }
};

} // namespace

class tst_FrmFilterKeys : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void f1OpensHelp_data();
    void f1OpensHelp();
    void helpComponentIsMadeOnce();
    void otherKeysLeaveHelpAlone_data();
    void otherKeysLeaveHelpAlone();
    void f1IsSeenOnceWherever_data();
    void f1IsSeenOnceWherever();
    void f1AfterLeavingAnEditor();
    void failingHelpLeavesDialogUsable_data();
    void failingHelpLeavesDialogUsable();
    void otherWindowsKeepTheirKeys();
    void endingKeys_data();
    void endingKeys();
    void focusKeys_data();
    void focusKeys();
    void gridKeys_data();
    void gridKeys();
    void conditionText_data();
    void conditionText();
    void gridRewritesConditionText();
    void completion_data();
    void completion();

private:
    std::unique_ptr<frmFilter> openForm(bool serialUse);
    void setProps(const QString &props);

    QTemporaryDir m_dir;
    HelpLog m_log;
    std::shared_ptr<Testing::ScriptedAlerts> m_alerts;
};

void tst_FrmFilterKeys::init()
{
    Testing::freshProcessState();
    HelpKey::release();
    setProps(QString());
    m_log = HelpLog();
    m_alerts = Testing::ScriptedAlerts::install();
    ComponentRegistry::instance().registerFactory(ComponentId::help(), [this]() -> ComponentPtr {
        ++m_log.created;
        if (m_log.failure == HelpLog::Failure::Create)
            throw std::runtime_error("no help here");
        return std::make_shared<RecordingHelp>(m_log);
    });
}

void tst_FrmFilterKeys::cleanup()
{
    HelpKey::release();
    nxAlert::setPresenter(nullptr);
    m_alerts.reset();
}

void tst_FrmFilterKeys::setProps(const QString &props)
{
    ContextStore::setPropsString(props + QStringLiteral("SCHEMEDB=") +
                                 m_dir.filePath(QStringLiteral("s.sqlite")) + u';');
}

std::unique_ptr<frmFilter> tst_FrmFilterKeys::openForm(bool serialUse)
{
    auto form = std::make_unique<frmFilter>();
    form->setSerialUse(serialUse);
    if (serialUse)
        form->setSerialDesc(Testing::standardSerialDescription());
    else
        form->setCommonField(Testing::standardCommonValues());
    form->Form_Load();
    form->show();
    QApplication::setActiveWindow(form.get());
    if (!QTest::qWaitForWindowActive(form.get()))
        return nullptr;
    form->vspFilter()->setFocus();
    m_alerts->shown.clear(); // whatever loading said is not about keys
    return form;
}

void tst_FrmFilterKeys::f1OpensHelp_data()
{
    QTest::addColumn<QString>("props");
    QTest::addColumn<bool>("serialUse");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("serialFlag");
    QTest::addColumn<QString>("subSystem");
    QTest::newRow("serial mode") << QStringLiteral("SUBID=12;") << true << Qt::KeyboardModifiers()
                                 << 1 << QStringLiteral("12");
    QTest::newRow("common mode") << QStringLiteral("SUBID=12;") << false << Qt::KeyboardModifiers()
                                 << 0 << QStringLiteral("12");
    QTest::newRow("no SUBID, serial")
        << QString() << true << Qt::KeyboardModifiers() << 1 << QString();
    QTest::newRow("no SUBID, common")
        << QStringLiteral("LANGUAGE=chs;") << false << Qt::KeyboardModifiers() << 0 << QString();
    QTest::newRow("SUBID among others") << QStringLiteral("LANGUAGE=chs;subid=IC;USER=x;") << true
                                        << Qt::KeyboardModifiers() << 1 << QStringLiteral("IC");
    QTest::newRow("Shift+F1") << QStringLiteral("SUBID=7;") << true
                              << Qt::KeyboardModifiers(Qt::ShiftModifier) << 1
                              << QStringLiteral("7");
    QTest::newRow("Ctrl+F1") << QStringLiteral("SUBID=7;") << false
                             << Qt::KeyboardModifiers(Qt::ControlModifier) << 0
                             << QStringLiteral("7");
    QTest::newRow("Alt+F1") << QStringLiteral("SUBID=7;") << true
                            << Qt::KeyboardModifiers(Qt::AltModifier) << 1 << QStringLiteral("7");
}

void tst_FrmFilterKeys::f1OpensHelp()
{
    QFETCH(QString, props);
    QFETCH(bool, serialUse);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, serialFlag);
    QFETCH(QString, subSystem);
    setProps(props);
    auto form = openForm(serialUse);
    QVERIFY(form);
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    KeySpy spy;
    focus->installEventFilter(&spy);

    QTest::keyClick(focus, Qt::Key_F1, modifiers);

    QCOMPARE(m_log.created, 1);
    QCOMPARE(m_log.calls.size(), 1);
    const HelpCall &call = m_log.calls.first();
    QCOMPARE(call.first, 0);
    QCOMPARE(call.second, qint16(0));
    QCOMPARE(call.topic, QStringLiteral("ICSerialFilter"));
    QCOMPARE(call.serialFlag, serialFlag);
    QCOMPARE(call.subSystem, subSystem);
    QCOMPARE(call.last, 0);
    // The key is not consumed: the focused control gets it after the help call.
    QCOMPARE(spy.f1, 1);
    QVERIFY(m_alerts->shown.isEmpty());
}

void tst_FrmFilterKeys::helpComponentIsMadeOnce()
{
    auto form = openForm(true);
    QVERIFY(form);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QCOMPARE(m_log.calls.size(), 2);
    QCOMPARE(m_log.created, 1);

    // The component is kept for the process, not for one dialog.
    form.reset();
    auto second = openForm(false);
    QVERIFY(second);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QCOMPARE(m_log.calls.size(), 3);
    QCOMPARE(m_log.created, 1);
    QCOMPARE(m_log.calls.last().serialFlag, 0);
}

void tst_FrmFilterKeys::otherKeysLeaveHelpAlone_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("F2") << int(Qt::Key_F2) << Qt::KeyboardModifiers();
    QTest::newRow("F7") << int(Qt::Key_F7) << Qt::KeyboardModifiers();
    QTest::newRow("F12") << int(Qt::Key_F12) << Qt::KeyboardModifiers();
    QTest::newRow("Shift+F2") << int(Qt::Key_F2) << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Help key") << int(Qt::Key_Help) << Qt::KeyboardModifiers();
    QTest::newRow("letter p (code 112 as a character)")
        << int(Qt::Key_P) << Qt::KeyboardModifiers();
    QTest::newRow("Down") << int(Qt::Key_Down) << Qt::KeyboardModifiers();
}

void tst_FrmFilterKeys::otherKeysLeaveHelpAlone()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    auto form = openForm(true);
    QVERIFY(form);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    QCOMPARE(m_log.created, 0);
    QCOMPARE(m_log.calls.size(), 0);
}

void tst_FrmFilterKeys::f1IsSeenOnceWherever_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("grid") << QStringLiteral("grid");
    QTest::newRow("cell editor") << QStringLiteral("editor");
    QTest::newRow("scheme list") << QStringLiteral("list");
    QTest::newRow("Cancel button") << QStringLiteral("cancel");
    QTest::newRow("the dialog itself") << QStringLiteral("dialog");
}

void tst_FrmFilterKeys::f1IsSeenOnceWherever()
{
    // A key that the focused control ignores travels on to every parent; help must still
    // open once per press, also when the same press is repeated.
    QFETCH(QString, where);
    auto form = openForm(true);
    QVERIFY(form);
    QWidget *target = nullptr;
    if (where == QLatin1String("grid")) {
        target = form->vspFilter();
    } else if (where == QLatin1String("editor")) {
        const QModelIndex value = form->grid().index(0, ConditionGrid::ColValue - 1);
        form->vspFilter()->setCurrentIndex(value);
        form->vspFilter()->edit(value);
        target = QApplication::focusWidget();
        QVERIFY(target && target != form->vspFilter() && form->vspFilter()->isAncestorOf(target));
    } else if (where == QLatin1String("list")) {
        target = form->lstFilter()->currentView();
    } else if (where == QLatin1String("cancel")) {
        target = form->CmdCancel();
    } else {
        target = form.get();
    }
    target->setFocus();
    QTest::keyClick(target, Qt::Key_F1);
    QCOMPARE(m_log.calls.size(), 1);
    QTest::keyPress(target, Qt::Key_F1);
    QTest::keyPress(target, Qt::Key_F1); // held down: a second press without a release
    QCOMPARE(m_log.calls.size(), 3);
    QCOMPARE(m_log.created, 1);
}

void tst_FrmFilterKeys::f1AfterLeavingAnEditor()
{
    // The second press may reuse the first one's memory and now starts at a parent of the
    // first receiver: it is a new press all the same.
    auto form = openForm(true);
    QVERIFY(form);
    const QModelIndex value = form->grid().index(0, ConditionGrid::ColValue - 1);
    form->vspFilter()->setCurrentIndex(value);
    form->vspFilter()->edit(value);
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(editor && editor != form->vspFilter());
    QTest::keyClick(editor, Qt::Key_F1);
    form->vspFilter()->setFocus();
    QTest::keyClick(form->vspFilter(), Qt::Key_F1);
    QCOMPARE(m_log.calls.size(), 2);
}

void tst_FrmFilterKeys::failingHelpLeavesDialogUsable_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<bool>("registered");
    QTest::addColumn<QString>("message");
    QTest::newRow("cannot be created") << int(HelpLog::Failure::Create) << true << QString();
    QTest::newRow("not installed") << int(HelpLog::Failure::None) << false << QString();
    QTest::newRow("ShowHELP reports a failure")
        << int(HelpLog::Failure::ShowFilterError) << true << QStringLiteral("帮助文件已损坏");
    QTest::newRow("ShowHELP throws anything")
        << int(HelpLog::Failure::ShowOther) << true << QString();
}

void tst_FrmFilterKeys::failingHelpLeavesDialogUsable()
{
    QFETCH(int, failure);
    QFETCH(bool, registered);
    QFETCH(QString, message);
    m_log.failure = HelpLog::Failure(failure);
    if (!registered)
        ComponentRegistry::instance().unregisterFactory(ComponentId::help());
    auto form = openForm(true);
    QVERIFY(form);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QCOMPARE(m_alerts->shown.size(), 1);
    QCOMPARE(m_alerts->shown.first().style, int(nxAlert::Information));
    QVERIFY(!m_alerts->shown.first().message.isEmpty());
    if (!message.isEmpty())
        QCOMPARE(m_alerts->shown.first().message, message);
    QVERIFY(form->isVisible());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    // Still usable: the next F1 tries again, and Esc still cancels.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QCOMPARE(m_alerts->shown.size(), 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!form->isVisible());
    QVERIFY(form->Cancel());
}

void tst_FrmFilterKeys::otherWindowsKeepTheirKeys()
{
    // A window opened over the dialog (as the scheme name dialog is) types freely and has
    // its own keys, even while the grid's current cell is a parenthesis cell.
    auto form = openForm(true);
    QVERIFY(form);
    form->grid().setActiveCell(1, ConditionGrid::ColLeftParen);
    QDialog other(form.get());
    auto *edit = new QLineEdit(&other);
    (new QVBoxLayout(&other))->addWidget(edit);
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("a'(b"));
    QCOMPARE(edit->text(), QStringLiteral("a'(b"));
    QTest::keyClick(edit, Qt::Key_F1);
    QCOMPARE(m_log.calls.size(), 0);
}

void tst_FrmFilterKeys::endingKeys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("editCol");   // a cell of row 1 left in its editor, 0 for none
    QTest::addColumn<QString>("typed"); // what the editor holds when the key is pressed
    QTest::addColumn<QString>("sql");   // FilterSQL after OK
    const Qt::KeyboardModifiers none, alt(Qt::AltModifier);
    const QString noRow;
    QTest::newRow("Esc in the grid")
        << u"grid"_s << int(Qt::Key_Escape) << none << true << 0 << QString() << noRow;
    QTest::newRow("Alt+C") << u"grid"_s << int(Qt::Key_C) << alt << true << 0 << QString() << noRow;
    QTest::newRow("Alt+O") << u"grid"_s << int(Qt::Key_O) << alt << false << 0 << QString()
                           << noRow;
    QTest::newRow("Enter on the scheme list")
        << u"list"_s << int(Qt::Key_Return) << none << false << 0 << QString() << noRow;
    QTest::newRow("Enter on the Cancel button")
        << u"cancel"_s << int(Qt::Key_Return) << none << true << 0 << QString() << noRow;
    QTest::newRow("Enter on the OK button")
        << u"ok"_s << int(Qt::Key_Return) << none << false << 0 << QString() << noRow;
    // OK by keyboard leaves the focus in the editor: the condition must still be the one
    // on the screen, not the value before the edit.
    QTest::newRow("Alt+O with a value in its editor")
        << u"editor"_s << int(Qt::Key_O) << alt << false << int(ConditionGrid::ColValue) << u"77"_s
        << u" ( (tf.FQTY = 77) ) "_s;
    QTest::newRow("Alt+O with a parenthesis in its editor")
        << u"editor"_s << int(Qt::Key_O) << alt << false << int(ConditionGrid::ColLeftParen)
        << u"("_s << u" ( (( tf.FQTY = 11 )) ) "_s;
}

void tst_FrmFilterKeys::endingKeys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, cancel);
    QFETCH(int, editCol);
    QFETCH(QString, typed);
    QFETCH(QString, sql);
    QTest::failOnWarning(QRegularExpression(QStringLiteral("closeEditor")));
    auto form = openForm(true);
    QVERIFY(form);
    QWidget *target = form->vspFilter();
    if (focus == QLatin1String("list"))
        target = form->lstFilter()->currentView();
    else if (focus == QLatin1String("cancel"))
        target = form->CmdCancel();
    else if (focus == QLatin1String("ok"))
        target = form->CmdOK();
    target->setFocus();
    if (editCol > 0) {
        ConditionGrid &grid = form->grid();
        grid.setData(grid.index(0, ConditionGrid::ColField - 1), 3, ConditionGrid::ComboIndexRole);
        grid.setData(grid.index(0, ConditionGrid::ColCompare - 1), 0,
                     ConditionGrid::ComboIndexRole);
        grid.setData(grid.index(0, ConditionGrid::ColValue - 1), u"11"_s);
        if (editCol == ConditionGrid::ColLeftParen)
            grid.setData(grid.index(0, ConditionGrid::ColRightParen - 1), u")"_s);
        grid.setActiveCell(1, editCol);
        QTest::keyClicks(form->vspFilter(), typed.left(1)); // opens the editor
        target = QApplication::focusWidget();
        QVERIFY(target && target != form->vspFilter());
        QTest::keyClicks(target, typed.mid(1));
    }
    QTest::keyClick(target, Qt::Key(key), modifiers);
    QTRY_VERIFY(!form->isVisible()); // an accelerator clicks after a short animation
    QCOMPARE(form->Cancel(), cancel);
    if (!cancel)
        QCOMPARE(form->FilterSQL(), sql);
    QCOMPARE(m_alerts->shown.size(), 0);
}

void tst_FrmFilterKeys::focusKeys_data()
{
    // grid:row,col | editor:row,col (opened by F2) | typed:row,col ("(" typed) | last | list |
    // ok | cancel
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("to"); // grid:row,col | away (out of the grid) | list | ...
    const Qt::KeyboardModifiers none, ctrl(Qt::ControlModifier),
        ctrlShift(Qt::ControlModifier | Qt::ShiftModifier), shift(Qt::ShiftModifier);
    const int tab = Qt::Key_Tab, backtab = Qt::Key_Backtab;
    QTest::newRow("Ctrl+Tab, grid to list") << u"grid:1,2"_s << tab << ctrl << u"list"_s;
    QTest::newRow("Ctrl+Tab, list to toolbar") << u"list"_s << tab << ctrl << u"tools"_s;
    QTest::newRow("Ctrl+Tab, Cancel round to the grid")
        << u"cancel"_s << tab << ctrl << u"grid:1,2"_s;
    QTest::newRow("Ctrl+Shift+Tab, grid back to Cancel")
        << u"grid:1,2"_s << backtab << ctrlShift << u"cancel"_s;
    QTest::newRow("Ctrl+Tab from an open editor") << u"editor:1,5"_s << tab << ctrl << u"list"_s;
    QTest::newRow("Tab moves by cell") << u"grid:1,2"_s << tab << none << u"grid:1,3"_s;
    QTest::newRow("Tab at a row's end goes to the next row")
        << u"grid:1,7"_s << tab << none << u"grid:2,1"_s;
    QTest::newRow("Tab after the last cell leaves") << u"last"_s << tab << none << u"away"_s;
    QTest::newRow("Shift+Tab before the first cell leaves")
        << u"grid:1,1"_s << backtab << shift << u"away"_s;
    QTest::newRow("Tab in an editor takes its text and moves on")
        << u"typed:1,2"_s << tab << none << u"grid:1,3"_s;
    QTest::newRow("Shift+Tab in an editor moves back")
        << u"typed:1,2"_s << backtab << shift << u"grid:1,1"_s;
    const int l = Qt::Key_L;
    QTest::newRow("Ctrl+L, grid to the text line") << u"grid:1,2"_s << l << ctrl << u"text"_s;
    QTest::newRow("Ctrl+L from an open editor") << u"editor:1,5"_s << l << ctrl << u"text"_s;
    QTest::newRow("Tab leaves the text line for the grid")
        << u"text"_s << tab << none << u"grid:1,2"_s;
}

// Ctrl+Tab walks the dialog's areas round; plain Tab stays in the grid until its last cell.
void tst_FrmFilterKeys::focusKeys()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, to);
    auto form = openForm(true);
    QVERIFY(form);
    ConditionGrid &grid = form->grid();
    ConditionGridView *view = form->vspFilter();
    int lastCol = ConditionGrid::ColumnCount;
    while (view->isColumnHidden(lastCol - 1))
        --lastCol;
    const QString lastCell =
        u"grid:"_s + QString::number(grid.rowCount()) + u',' + QString::number(lastCol);
    if (from == u"last"_s)
        from = lastCell;
    auto cellOf = [](const QString &where) {
        const QStringList rc = where.section(u':', 1).split(u',');
        return std::pair{rc.value(0).toInt(), rc.value(1).toInt()};
    };
    QWidget *target = nullptr;
    if (from.startsWith(u"typed"_s)) {
        const auto [row, col] = cellOf(from);
        grid.setActiveCell(row, col);
        view->setFocus();
        QTest::keyClicks(view, u"("_s); // opens the editor with the typed text
        target = QApplication::focusWidget();
        QVERIFY(target && target != view);
    } else if (from.startsWith(u"grid"_s) || from.startsWith(u"editor"_s)) {
        const auto [row, col] = cellOf(from);
        grid.setActiveCell(row, col);
        view->setFocus();
        target = view;
        if (from.startsWith(u"editor"_s)) {
            QTest::keyClick(view, Qt::Key_F2); // opens the cell's editor
            target = QApplication::focusWidget();
            QVERIFY(target && target != view);
        }
    } else if (from == u"list"_s) {
        target = form->lstFilter()->currentView();
    } else if (from == u"text"_s) {
        grid.setActiveCell(1, ConditionGrid::ColLeftParen);
        target = form->conditionText();
    } else {
        target = from == u"ok"_s ? static_cast<QWidget *>(form->CmdOK()) : form->CmdCancel();
    }
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);
    QTest::keyClick(target, Qt::Key(key), modifiers);
    QWidget *now = QApplication::focusWidget();
    QVERIFY(now);
    QVERIFY(form->isVisible());
    const bool inGrid = now == view || view->isAncestorOf(now);
    if (to.startsWith(u"grid"_s)) {
        QVERIFY2(inGrid, qPrintable(now->objectName()));
        const auto [row, col] = cellOf(to);
        QCOMPARE(grid.activeRow(), row);
        QCOMPARE(grid.activeCol(), col);
        if (from.startsWith(u"typed"_s))
            QCOMPARE(grid.GetCellText(1, ConditionGrid::ColLeftParen), u"("_s);
    } else if (to == u"away"_s) {
        QVERIFY2(!inGrid, now->metaObject()->className());
    } else if (to == u"list"_s) {
        QVERIFY(form->lstFilter()->isAncestorOf(now));
    } else if (to == u"text"_s) {
        QCOMPARE(now, form->conditionText());
    } else if (to == u"tools"_s) {
        QVERIFY(form->toolbar()->isAncestorOf(now));
        QVERIFY(!now->accessibleName().isEmpty() || !now->toolTip().isEmpty());
    } else {
        QCOMPARE(now, to == u"ok"_s ? static_cast<QWidget *>(form->CmdOK()) : form->CmdCancel());
    }
    QCOMPARE(m_alerts->shown.size(), 0);
}

void tst_FrmFilterKeys::gridKeys_data()
{
    // Before the key: cell:row,col is current in the grid; date:row,col=text has text typed
    // into a date cell's editor; list:row,col holds a value list (refused: after an OK that
    // was refused).
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("press"); // a key sequence, click:row,col, or listOK (F7, then OK)
    // menu: the grid's context menu | popup:row,col: that cell's open drop-down |
    // editor:row,col: that cell's editor, open with the focus | cell:row,col: current cell
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("hint");  // the hint line after
    QTest::addColumn<QString>("value"); // the value cell of the row after
    QTest::addColumn<int>("alerts");
    const QString impossible = u"第1行："_s + Texts::impossibleDate();
    const QString kept = u"第1行：“2024-02-30”不是有效的日期，单元格仍是原来的2024-01-01"_s;
    QTest::newRow("Shift+F10 opens the grid's menu")
        << u"cell:2,4"_s << u"Shift+F10"_s << u"menu"_s << QString() << QString() << 0;
    QTest::newRow("F4 drops a comparison's list")
        << u"cell:1,4"_s << u"F4"_s << u"popup:1,4"_s << QString() << QString() << 0;
    QTest::newRow("F4 drops a field's list")
        << u"cell:2,3"_s << u"F4"_s << u"popup:2,3"_s << QString() << QString() << 0;
    QTest::newRow("F4 drops a logic word's list")
        << u"cell:2,1"_s << u"F4"_s << u"popup:2,1"_s << QString() << QString() << 0;
    QTest::newRow("F4 on row 1's locked logic cell")
        << u"cell:1,1"_s << u"F4"_s << u"cell:1,1"_s << QString() << QString() << 0;
    QTest::newRow("F4 on a value cell")
        << u"cell:1,5"_s << u"F4"_s << u"cell:1,5"_s << QString() << QString() << 0;
    // A date the calendar lacks is told where the user looks and stays to be corrected.
    QTest::newRow("impossible date, Enter")
        << u"date:1,5=2024-02-30"_s << u"Return"_s << u"editor:1,5"_s << impossible
        << u"2024-01-01"_s << 1;
    QTest::newRow("impossible date, Tab") << u"date:1,5=2024-02-30"_s << u"Tab"_s << u"editor:1,5"_s
                                          << impossible << u"2024-01-01"_s << 1;
    QTest::newRow("impossible date, another cell clicked")
        << u"date:1,5=2024-02-30"_s << u"click:3,4"_s << u"cell:3,4"_s << kept << u"2024-01-01"_s
        << 1;
    QTest::newRow("a possible date, Enter") << u"date:1,5=2024-02-29"_s << u"Return"_s
                                            << u"cell:1,5"_s << QString() << u"2024-02-29"_s << 0;
    // The value list window gives the cell back where it was edited.
    QTest::newRow("value list window, OK") << u"list:3,5"_s << u"listOK"_s << u"cell:3,5"_s
                                           << u"3 个值，去除重复 0 个"_s << u"A,B,C"_s << 0;
    QTest::newRow("value list window, OK, after a refused OK")
        << u"list:3,5 refused"_s << u"listOK"_s << u"cell:3,5"_s << u"3 个值，去除重复 0 个"_s
        << u"A,B,C"_s << 1;
}

// Keys of the grid's cells: the context menu, the drop-down lists, a refused date, and the
// current cell after the value list window.
void tst_FrmFilterKeys::gridKeys()
{
    QFETCH(QString, from);
    QFETCH(QString, press);
    QFETCH(QString, then);
    QFETCH(QString, hint);
    QFETCH(QString, value);
    QFETCH(int, alerts);
    auto form = openForm(true);
    QVERIFY(form);
    ConditionGrid &grid = form->grid();
    ConditionGridView *view = form->vspFilter();
    const auto cellOf = [](const QString &where) {
        const QStringList rc = where.section(u':', 1).section(u'=', 0, 0).split(u',');
        return std::pair{rc.value(0).toInt(), rc.value(1).section(u' ', 0, 0).toInt()};
    };
    const auto centre = [&](int row, int col) {
        return view->visualRect(grid.index(row - 1, col - 1)).center();
    };
    const auto [row, col] = cellOf(from);
    constexpr int dateField = 4, serialField = 1;
    if (from.startsWith(u"date"_s) || from.startsWith(u"list"_s)) {
        const bool list = from.startsWith(u"list"_s);
        for (int r = 1; r <= row; ++r) {
            grid.setData(grid.index(r - 1, ConditionGrid::ColField - 1),
                         list ? serialField : dateField, ConditionGrid::ComboIndexRole);
        }
        if (list) {
            grid.setData(grid.index(row - 1, ConditionGrid::ColCompare - 1), int(CompareOp::InList),
                         ConditionGrid::ComboIndexRole);
            grid.SetCellText(row, ConditionGrid::ColValue, u"A,B"_s);
        } else {
            grid.SetCellText(row, ConditionGrid::ColValue, u"2024-01-01"_s);
        }
    }
    if (from.endsWith(u" refused"_s)) {
        // An unbalanced parenthesis: OK is refused with one alert.
        grid.SetCellText(1, ConditionGrid::ColLeftParen, u"("_s);
        QTest::keyClick(view, Qt::Key_O, Qt::AltModifier);
        QTRY_COMPARE(m_alerts->shown.size(), 1);
        QVERIFY(form->isVisible());
    }
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre(row, col));
    QCOMPARE(grid.activeRow(), row);
    QCOMPARE(grid.activeCol(), col);
    QWidget *target = view;
    if (from.startsWith(u"date"_s)) {
        const QString typed = from.section(u'=', 1);
        QTest::keyClicks(view, typed.left(1)); // opens the editor
        target = QApplication::focusWidget();
        QVERIFY(target && target != view);
        QTest::keyClicks(target, typed.mid(1));
    }
    target->setFocus();

    if (press.startsWith(u"click"_s)) {
        const auto [r, c] = cellOf(press);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre(r, c));
    } else if (press == u"listOK"_s) {
        // Answered once the list window has the keyboard.
        Testing::ModalAnswers<QDialog> answers([](QDialog *window) {
            QVERIFY(window->objectName() == u"frmValueList"_s);
            auto *editor = window->findChild<QPlainTextEdit *>();
            QVERIFY(editor);
            QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(editor, Qt::Key_Return);
            QTest::keyClicks(editor, u"C"_s);
            QTest::mouseClick(window->findChild<QDialogButtonBox *>()->buttons().first(),
                              Qt::LeftButton);
        });
        QTest::keyClick(view, Qt::Key_F7);
        QCOMPARE(answers.answered, 1);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        // The dialog is active again, as a window manager makes it.
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    } else {
        const QKeyCombination key = QKeySequence::fromString(press)[0];
        QTest::keyClick(target, key.key(), key.keyboardModifiers());
    }

    const auto [thenRow, thenCol] = cellOf(then);
    if (then == u"menu"_s) {
        QTRY_VERIFY(QApplication::activePopupWidget());
        QCOMPARE(QApplication::activePopupWidget(), form->gridEditing()->menu());
        QApplication::activePopupWidget()->close();
    } else if (then.startsWith(u"popup"_s)) {
        QCOMPARE(grid.activeRow(), thenRow);
        QCOMPARE(grid.activeCol(), thenCol);
        auto *combo =
            qobject_cast<QComboBox *>(view->indexWidget(grid.index(thenRow - 1, thenCol - 1)));
        QVERIFY(combo);
        QTRY_VERIFY(combo->view()->isVisible());
        combo->hidePopup();
    } else if (then.startsWith(u"editor"_s)) {
        QCOMPARE(grid.activeRow(), thenRow);
        QCOMPARE(grid.activeCol(), thenCol);
        auto *editor =
            qobject_cast<QLineEdit *>(view->indexWidget(grid.index(thenRow - 1, thenCol - 1)));
        QVERIFY(editor);
        QCOMPARE(editor->text(), from.section(u'=', 1));
        QTRY_COMPARE(QApplication::focusWidget(), editor);
    } else {
        QCOMPARE(grid.activeRow(), thenRow);
        QCOMPARE(grid.activeCol(), thenCol);
        QCOMPARE(view->currentIndex(), grid.index(thenRow - 1, thenCol - 1));
        QVERIFY(!QApplication::activePopupWidget());
    }
    // Enter ends an edit a moment after the key.
    if (!hint.isNull())
        QTRY_COMPARE(form->LblMsg()->text(), hint);
    if (!value.isNull())
        QTRY_COMPARE(grid.GetCellText(row, ConditionGrid::ColValue), value);
    QCOMPARE(m_alerts->shown.size(), alerts);
}

namespace {

/// The grid's rows in use as the cells show them, " / " between rows; "!" after a row
/// switched off.
QString gridRows(frmFilter &form)
{
    ConditionGrid &grid = form.grid();
    QStringList rows;
    for (int r = 1; r <= grid.MaxRows(); ++r) {
        const ConditionRow &row = grid.condition().at(r - 1);
        if (ConditionRows::isBlank(row))
            continue;
        QStringList cells;
        for (int c = 1; c <= ConditionGrid::ColumnCount; ++c) {
            if (c != ConditionGrid::ColValueCode && !grid.GetCellText(r, c).isEmpty())
                cells << grid.GetCellText(r, c);
        }
        rows << cells.join(u' ') + (row.off ? u"!"_s : QString());
    }
    return rows.join(u" / "_s);
}

/// Types text into widget key by key, as an input method sends the characters no key has.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClicks(widget, QString(ch));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

/// The dialog with a row switched off, which the words do not show, and the focus in the
/// text line by its key.
std::unique_ptr<frmFilter> withOffRow(std::unique_ptr<frmFilter> form)
{
    if (!form)
        return form;
    ConditionRow off{LogicOp::None, QString(), 1, CompareOp::Contains, u"OLD"_s};
    RunFacts::setOff(off, true);
    form->grid().setCondition(Condition{off, ConditionRow{}});
    form->gridEditing()->reset();
    QTest::keyClick(form->vspFilter(), Qt::Key_L, Qt::ControlModifier);
    return form;
}

} // namespace

void tst_FrmFilterKeys::conditionText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("rows");  // the grid's after: as before when the text does not read
    QTest::addColumn<int>("failureAt"); // where the mark starts; -1 when the text reads
    const QString before = u"序列号 包含 OLD!"_s;
    // Typed without the blanks the words are written with: the text stays as typed.
    QTest::newRow("a row, the switched-off row kept after it")
        << u"数量大于50"_s << u"数量 大于 50 / 并且 序列号 包含 OLD!"_s << -1;
    QTest::newRow("a comparison no language has") << u"数量 多于 5"_s << before << 3;
    QTest::newRow("a row cut short") << u"数量 大于"_s << before << 5;
}

// Typing in the text line puts what reads into the grid as one step of its undo, and keeps
// the rows the words do not show; what does not read changes nothing and is marked where
// reading stopped, for the eye, the tool tip and a screen reader.
void tst_FrmFilterKeys::conditionText()
{
    QFETCH(QString, typed);
    QFETCH(QString, rows);
    QFETCH(int, failureAt);
    auto form = withOffRow(openForm(true));
    QVERIFY(form);
    ConditionTextLine *line = form->conditionText();
    QCOMPARE(QApplication::focusWidget(), line);
    const QString before = gridRows(*form);
    QCOMPARE(line->toPlainText(), QString()); // the only row is switched off

    typeText(line, typed);
    // Whatever the completion list showed meanwhile, the text is the one typed.
    if (QWidget *popup = QApplication::activePopupWidget())
        QTest::keyClick(popup, Qt::Key_Escape);
    QTRY_COMPARE(gridRows(*form), rows);
    QCOMPARE(line->toPlainText(), typed);
    QAccessibleInterface *said = QAccessible::queryAccessibleInterface(line);
    if (failureAt >= 0) {
        QVERIFY(line->failure());
        QCOMPARE(line->failure()->position, failureAt);
        const QString message = line->failure()->message();
        QVERIFY(!message.isEmpty());
        QCOMPARE(line->toolTip(), message);
        QCOMPARE(said->text(QAccessible::Description), message);
        QCOMPARE(form->LblMsg()->text(), message);
        const QList<QTextEdit::ExtraSelection> marks = line->extraSelections();
        QCOMPARE(marks.size(), 1);
        QCOMPARE(marks.first().cursor.selectionStart(), std::min(failureAt, int(typed.size()) - 1));
        QCOMPARE(marks.first().format.underlineStyle(), QTextCharFormat::WaveUnderline);
        QVERIFY(!form->gridEditing()->stack().canUndo());
        // Enter does not take the grid's older condition for the text: it tells why again.
        QTest::keyClick(line, Qt::Key_Return);
        QVERIFY(form->isVisible());
        QCOMPARE(line->toPlainText(), typed);
        return;
    }
    QVERIFY(!line->failure());
    QVERIFY(line->extraSelections().isEmpty());
    QCOMPARE(form->LblMsg()->text(), QString()); // the failures on the way are gone
    QVERIFY(said->text(QAccessible::Description) != line->toolTip());
    // All the keys of the typing are one step: one Ctrl+Z, here, gives the grid back, and
    // the text follows it.
    QTest::keyClick(line, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(gridRows(*form), before);
    QTRY_COMPARE(line->toPlainText(), QString());
    QVERIFY(!form->gridEditing()->stack().canUndo());
    QCOMPARE(m_alerts->shown.size(), 0);
}

// A cell changed in the grid rewrites the words, as FilterText writes them.
void tst_FrmFilterKeys::gridRewritesConditionText()
{
    auto form = withOffRow(openForm(true));
    QVERIFY(form);
    ConditionGridView *view = form->vspFilter();
    ConditionGrid &grid = form->grid();
    typeText(form->conditionText(), u"数量 大于 50"_s);
    QTRY_COMPARE(gridRows(*form), u"数量 大于 50 / 并且 序列号 包含 OLD!"_s);
    QTest::keyClick(form->conditionText(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(grid.index(0, ConditionGrid::ColValue - 1)).center());
    QTest::keyClicks(view, u"7"_s);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(grid.GetCellText(1, ConditionGrid::ColValue), u"7"_s);
    const QString words = compose(grid.catalog(), grid.condition(), SqlForm::words()).text;
    QVERIFY(words.contains(u"7"_s) && !words.contains(u"50"_s));
    QTRY_COMPARE(form->conditionText()->toPlainText(), words);
}

void tst_FrmFilterKeys::completion_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("offered"); // the list's first entries
    QTest::addColumn<QString>("keys");        // pressed on the list then
    QTest::addColumn<QString>("text");        // the text after
    QTest::newRow("fields after (, Enter takes the first")
        << u"("_s << QStringList{u"序列号"_s, u"物料"_s} << u"Return"_s << u"(序列号 "_s;
    QTest::newRow("comparisons right after a field, set apart from it")
        << u"数量"_s << QStringList{u"等于"_s, u"大于"_s} << u"Return"_s << u"数量 等于 "_s;
    QTest::newRow("comparisons after a field, Escape closes only the list")
        << u"数量 "_s << QStringList{u"等于"_s, u"大于"_s} << u"Esc"_s << u"数量 "_s;
    QTest::newRow("a look-up field's entry runs the look-up")
        << u"物料 等于 "_s << QStringList{u"当前用户"_s, u"查看数值…（F7）"_s} << u"Down Return"_s
        << u"物料 等于 「螺钉 M3」 "_s;
}

// Completion offers what the reader wants at the cursor, and the word chosen replaces the
// one begun.
void tst_FrmFilterKeys::completion()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, offered);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    ComponentRegistry::instance().registerFactory(ComponentId::lookupWindow(),
                                                  [] { return std::make_shared<OneItemLookup>(); });
    auto form = withOffRow(openForm(true));
    QVERIFY(form);
    ConditionTextLine *line = form->conditionText();
    typeText(line, typed);
    QAbstractItemView *list = line->completer()->popup();
    QTRY_VERIFY(list->isVisible());
    QStringList shown;
    for (int i = 0; i < offered.size(); ++i)
        shown << list->model()->index(i, 0).data().toString();
    QCOMPARE(shown, offered);
    for (const QString &key : keys.split(u' ')) {
        const QKeyCombination pressed = QKeySequence::fromString(key)[0];
        QTest::keyClick(QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                          : list,
                        pressed.key(), pressed.keyboardModifiers());
    }
    QTRY_COMPARE(line->toPlainText(), text);
    QVERIFY(form->isVisible());
    if (keys == u"Esc"_s) {
        QVERIFY(!list->isVisible());
        QCOMPARE(QApplication::focusWidget(), line);
    }
}

QTEST_MAIN(tst_FrmFilterKeys)
#include "tst_frmfilterkeys.moc"
