// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The condition grid in the shown dialog, driven by real key and mouse events: the key rule,
// choosing a field, pasted text in the editors and F7.

#include "conditions/conditiongrid.h"
#include "conditions/conditiongridview.h"
#include "conditions/valuecells.h"
#include "dialog/frmfilter.h"
#include "support/texts.h"
#include "testsupport/descriptions.h"
#include "testsupport/scriptedalerts.h"
#include <NxSerialFilter/components.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace NxSerialFilter;
using namespace NxSerialFilter::Testing;

namespace {

using G = ConditionGrid;

class FixedLookup : public LookupWindowComponent
{
public:
    explicit FixedLookup(int &calls)
        : m_calls(calls)
    {}
    LookupResult itemlookup(qint32 &, const QVariant &, KeyedValuesPtr &) override
    {
        ++m_calls;
        return {true, {u"螺钉\tM3"_qs, u"全名"_qs, u"编号"_qs}};
    }
    LookupResult SubMesLookup(qint32 &) override { return {}; }

private:
    int &m_calls;
};

} // namespace

class tst_GridWidget : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<ScriptedAlerts> m_alerts;
    std::unique_ptr<frmFilter> m_dialog;
    int m_lookups = 0;

    ConditionGridView *view() const { return m_dialog->vspFilter(); }
    ConditionGrid &grid() const { return m_dialog->grid(); }

    QPoint cellCenter(int row, int col) const
    {
        return view()->visualRect(grid().index(row - 1, col - 1)).center();
    }
    void click(int row, int col)
    {
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, cellCenter(row, col));
    }
    /// Makes a cell current with the mouse. A click on the cell that is already current
    /// would start a delayed edit, during which the view drops typed keys.
    void select(int row, int col)
    {
        if (grid().activeRow() == row && grid().activeCol() == col)
            click(row == 8 ? 7 : 8, 1);
        click(row, col);
    }
    static QWidget *focused() { return QApplication::focusWidget(); }
    /// Types text that has no key of its own on a Latin keyboard, as an input method does.
    static void typeText(QWidget *widget, const QString &text)
    {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text, Qt::NoModifier);
    }

private Q_SLOTS:
    void initTestCase()
    {
        ValueCells::setClock([] { return QDate(2024, 3, 5); });
    }
    void cleanupTestCase() { ValueCells::setClock({}); }

    void init()
    {
        ComponentRegistry::instance().restoreDefaults();
        m_lookups = 0;
        ComponentRegistry::instance().registerFactory(ComponentId::lookupWindow(), [this] {
            return std::make_shared<FixedLookup>(m_lookups);
        });
        m_alerts = ScriptedAlerts::install();
        m_dialog = std::make_unique<frmFilter>();
        m_dialog->setSerialUse(true);
        m_dialog->setSerialDesc(standardSerialDescription());
        m_dialog->setScreenID(u"Items"_qs);
        m_dialog->Form_Load();
        m_dialog->show();
        m_dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        QCOMPARE(grid().columnItems(G::ColField).size(), 8);
    }

    void cleanup()
    {
        m_dialog.reset();
        nxAlert::setPresenter(nullptr);
        ComponentRegistry::instance().restoreDefaults();
    }

    void keyRule_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected"); // after one backspace at the end
        QTest::newRow("column 2 takes only (") << 2 << u"a)'(((x"_qs << u"(("_qs;
        QTest::newRow("column 7 takes only )") << 7 << u"(x')))1"_qs << u"))"_qs;
        QTest::newRow("value column refuses only the quote") << 5 << u"O'Ne(il)"_qs << u"ONe(il"_qs;
    }

    // Typed characters pass the dialog's key filter before the grid or its editor sees them.
    void keyRule()
    {
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        select(1, col);
        QCOMPARE(grid().activeCol(), col);
        for (const QChar ch : typed)
            QTest::keyClick(focused(), ch.toLatin1());
        QTest::keyClick(focused(), Qt::Key_Backspace);
        click(3, 4); // leaving the cell commits the editor
        QCOMPARE(grid().GetCellText(1, col), expected);
    }

    // A quote typed where no editor is open is discarded too.
    void quoteOnClosedCell()
    {
        click(2, G::ColCompare);
        QTest::keyClick(view(), '\'');
        QVERIFY(!view()->indexWidget(grid().index(1, G::ColCompare - 1)));
        QCOMPARE(grid().GetCellText(2, G::ColCompare), QString());
    }

    void chooseFieldWithMouse()
    {
        click(1, G::ColField);
        QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, cellCenter(1, G::ColField));
        auto *combo = qobject_cast<QComboBox *>(focused());
        QVERIFY(combo);
        combo->showPopup();
        QAbstractItemView *list = combo->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        const QPoint item = list->visualRect(list->model()->index(4, 0)).center(); // 日期
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item);
        QTRY_COMPARE(grid().GetCellText(1, G::ColField), u"日期"_qs);
        QCOMPARE(grid().GetCellText(1, G::ColCompare), u"等于"_qs);
        QCOMPARE(grid().cellKind(1, G::ColValue), CellKind::Date);
        QCOMPARE(grid().GetCellText(1, G::ColValue), u"2024-03-05"_qs);
        QCOMPARE(grid().GetCellText(1, G::ColLogic), QString());
    }

    void chooseFieldWithKeyboard()
    {
        click(1, G::ColField);
        QTest::keyClick(view(), Qt::Key_Down);
        QCOMPARE(grid().activeRow(), 2);
        typeText(view(), u"数"_qs);
        QCOMPARE(grid().GetCellText(2, G::ColField), u"数量"_qs);
        QCOMPARE(grid().GetCellText(2, G::ColLogic), u"并且"_qs);
        QCOMPARE(grid().GetCellText(2, G::ColCompare), u"等于"_qs);
        QCOMPARE(grid().cellKind(2, G::ColValue), CellKind::Integer);
        QCOMPARE(grid().GetCellText(2, G::ColValue), u"0"_qs);
        QCOMPARE(grid().MaxRows(), 8);
    }

    // Enter that ends an edit must not reach the default button and close the dialog.
    void enterEndsEditOnly()
    {
        select(1, G::ColValue);
        for (const char ch : {'a', 'b', 'c'})
            QTest::keyClick(focused(), ch);
        QTest::keyClick(focused(), Qt::Key_Return);
        QTRY_COMPARE(grid().GetCellText(1, G::ColValue), u"abc"_qs);
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(m_dialog->result(), 0);
        QTest::keyClick(view(), Qt::Key_Return);
        QVERIFY(m_dialog->isVisible());
    }

    void pasteObeysKeyRule_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("before"); // the cell's text, written by the dialog
        QTest::addColumn<QString>("home");   // typed at the start of the text
        // Added at its end; typed when it starts with "~", over the whole text with "=".
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("stored");
        QTest::newRow("left paren") << 2 << QString() << QString() << u"a'((b"_qs << u"(("_qs;
        QTest::newRow("right paren") << 7 << QString() << QString() << u"1)')"_qs << u"))"_qs;
        QTest::newRow("value") << 5 << QString() << QString() << u"x'y\tz"_qs << u"xy z"_qs;
        QTest::newRow("NUL in a value")
            << 5 << QString() << QString() << u"a"_qs + QChar(0) + u"b"_qs << u"a b"_qs;
        // The rule is for what the user adds, not for a look-up value's own quote.
        QTest::newRow("typed after a value with a quote")
            << 5 << u"O'Brien"_qs << QString() << u"~%"_qs << u"O'Brien%"_qs;
        QTest::newRow("pasted after a value with a quote")
            << 5 << u"O'Brien"_qs << QString() << u"'s%"_qs << u"O'Briens%"_qs;
        QTest::newRow("typed on both sides of a value's quotes")
            << 5 << u"'a'"_qs << u"x"_qs << u"~y"_qs << u"x'a'y"_qs;
        QTest::newRow("pasted over a value with a quote")
            << 5 << u"O'Brien"_qs << QString() << u"=X'Y"_qs << u"XY"_qs;
    }

    // Pasted or dropped text goes through the editor's insert, not the key filter.
    void pasteObeysKeyRule()
    {
        QFETCH(int, col);
        QFETCH(QString, before);
        QFETCH(QString, home);
        QFETCH(QString, pasted);
        QFETCH(QString, stored);
        grid().SetCellText(1, col, before);
        select(1, col);
        QTest::keyClick(view(), Qt::Key_F2);
        auto *combo = qobject_cast<QComboBox *>(focused());
        auto *line = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(focused());
        QVERIFY(line);
        QCOMPARE(line->text(), before);
        if (pasted.startsWith(u'=')) {
            pasted.remove(0, 1); // the editor opens with its text selected
        } else {
            QTest::keyClick(line, Qt::Key_Home);
            for (const QChar ch : home)
                QTest::keyClick(focused(), ch.toLatin1());
            QTest::keyClick(line, Qt::Key_End);
        }
        if (pasted.startsWith(u'~')) {
            for (const QChar ch : pasted.mid(1))
                QTest::keyClick(focused(), ch.toLatin1());
        } else {
            QApplication::clipboard()->setText(pasted);
            // As a keyboard sends Ctrl+V: its text is a control character, not "v".
            QTest::sendKeyEvent(QTest::Click, line, Qt::Key_V, QString(QChar(0x16)),
                                Qt::ControlModifier);
        }
        QCOMPARE(line->text(), stored);
        click(3, 4);
        QCOMPARE(grid().GetCellText(1, col), stored);
    }

    void typedDates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: refused, the cell keeps its date
        QTest::newRow("as shown") << u"2024-01-01"_qs << u"2024-01-01"_qs;
        QTest::newRow("one-digit month and day") << u"2023-7-9"_qs << u"2023-07-09"_qs;
        QTest::newRow("slashes") << u"2024/02/29"_qs << u"2024-02-29"_qs;
        QTest::newRow("digits only") << u"20240131"_qs << u"2024-01-31"_qs;
        QTest::newRow("day the month lacks") << u"2024-02-30"_qs << QString();
        QTest::newRow("digits of a day the month lacks") << u"20240230"_qs << QString();
        QTest::newRow("month 13") << u"2024-13-45"_qs << QString();
    }

    // A date typed into its cell is that date; an impossible one is refused with one alert
    // that names the row, and the cell keeps the date it had.
    void typedDates()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        click(1, G::ColField);
        typeText(view(), u"日"_qs);
        QCOMPARE(grid().cellKind(1, G::ColValue), CellKind::Date);
        const QString before = grid().GetCellText(1, G::ColValue);
        QCOMPARE(before, u"2024-03-05"_qs);
        select(1, G::ColValue);
        for (const QChar ch : typed)
            QTest::keyClick(focused(), ch.toLatin1());
        click(3, 4); // leaving the cell commits the editor
        QCOMPARE(grid().GetCellText(1, G::ColValue), stored.isEmpty() ? before : stored);
        QCOMPARE(m_alerts->shown.size(), stored.isEmpty() ? 1 : 0);
        if (stored.isEmpty())
            QCOMPARE(m_alerts->shown.first().message, u"第1行："_qs + Texts::impossibleDate());
    }

    void okStopsAtRefusal_data()
    {
        QTest::addColumn<QString>("ending"); // how OK is pressed
        QTest::addColumn<QString>("typed");  // left in row 1's date editor
        QTest::addColumn<bool>("gap");       // row 3 filled below an empty row 2
        QTest::addColumn<bool>("box");       // a real message box takes the activation
        QTest::addColumn<QString>("alert");
        const QString date = u"第1行："_qs + Texts::impossibleDate();
        const QString gap = u"第2行："_qs + Texts::emptyFieldBeforeRows();
        const QString wrong = u"2024-02-30"_qs;
        QTest::newRow("impossible date, Alt+O") << u"alt+o"_qs << wrong << false << false << date;
        QTest::newRow("impossible date, Enter") << u"enter"_qs << wrong << false << false << date;
        QTest::newRow("impossible date, OK clicked")
            << u"click"_qs << wrong << false << false << date;
        QTest::newRow("impossible date, Alt+O, message box")
            << u"alt+o"_qs << wrong << false << true << date;
        QTest::newRow("impossible date, OK clicked, message box")
            << u"click"_qs << wrong << false << true << date;
        // Moving to another cell still ends the edit, and Enter then must not press OK.
        QTest::newRow("impossible date, another cell clicked, message box")
            << u"cell"_qs << wrong << false << true << date;
        QTest::newRow("row without a field above a filled one, Alt+O")
            << u"alt+o"_qs << QString() << true << false << gap;
        QTest::newRow("row without a field above a filled one, OK clicked")
            << u"click"_qs << QString() << true << false << gap;
    }

    // OK must not pass a condition other than the one on the screen: after its one alert the
    // dialog stays open, a refused date stays in its editor with the keys going there, and
    // the corrected condition then passes.
    void okStopsAtRefusal()
    {
        QFETCH(QString, ending);
        QFETCH(QString, typed);
        QFETCH(bool, gap);
        QFETCH(bool, box);
        QFETCH(QString, alert);
        QStringList shown;
        QTimer answer;
        if (box) {
            nxAlert::setPresenter(nullptr);
            connect(&answer, &QTimer::timeout, this, [&shown] {
                auto *open = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (open && open->isVisible()) {
                    shown << open->text();
                    open->accept();
                }
            });
            answer.start(20);
        }
        auto alerts = [&] {
            QStringList messages = shown;
            for (const auto &one : m_alerts->shown)
                messages << one.message;
            return messages;
        };
        click(1, G::ColField);
        typeText(view(), u"日"_qs);
        QCOMPARE(grid().cellKind(1, G::ColValue), CellKind::Date);
        if (gap) {
            click(3, G::ColField);
            typeText(view(), u"数"_qs);
            QCOMPARE(grid().GetCellText(3, G::ColField), u"数量"_qs);
            QCOMPARE(grid().GetCellText(2, G::ColField), QString());
        }
        if (!typed.isEmpty()) {
            select(1, G::ColValue);
            for (const QChar ch : typed)
                QTest::keyClick(focused(), ch.toLatin1());
        }
        QWidget *before = focused();
        auto pressOk = [&] {
            if (ending == u"alt+o"_qs)
                QTest::keyClick(focused(), Qt::Key_O, Qt::AltModifier);
            else if (ending == u"enter"_qs)
                QTest::keyClick(focused(), Qt::Key_Return);
            else if (ending == u"cell"_qs)
                click(3, G::ColCompare);
            else
                QTest::mouseClick(m_dialog->CmdOK(), Qt::LeftButton);
        };
        pressOk();
        QTest::qWait(300); // an accelerator clicks after a short animation
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(m_dialog->FilterSQL(), QString());
        QCOMPARE(alerts(), QStringList{alert});

        if (ending == u"cell"_qs) {
            QCOMPARE(grid().GetCellText(1, G::ColValue), u"2024-03-05"_qs);
            QCOMPARE(focused(), view());
            QTest::keyClick(focused(), Qt::Key_Return);
            QVERIFY(m_dialog->isVisible());
            return;
        }
        if (gap) {
            click(2, G::ColField);
            typeText(view(), u"数"_qs);
            QCOMPARE(grid().GetCellText(2, G::ColField), u"数量"_qs);
        } else {
            QCOMPARE(focused(), before);
            auto *line = qobject_cast<QLineEdit *>(focused());
            QVERIFY(line);
            QCOMPARE(line->text(), typed);
            for (const int key : {Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_2, Qt::Key_9})
                QTest::keyClick(focused(), Qt::Key(key));
        }
        if (ending == u"enter"_qs) // Enter ends the edit; OK is then pressed again
            ending = u"alt+o"_qs;
        pressOk();
        QTRY_VERIFY(!m_dialog->isVisible());
        QCOMPARE(alerts().size(), 1);
        QVERIFY2(m_dialog->FilterSQL().contains(gap ? u"tf.FDATE = '2024-03-05'"_qs
                                                    : u"tf.FDATE = '2024-02-29'"_qs),
                 qPrintable(m_dialog->FilterSQL()));
    }

    // F7 in the grid: the hint shows on entering the value cell, the look-up writes a value
    // whose TAB became a space.
    void lookupWithF7()
    {
        click(1, G::ColField);
        typeText(view(), u"物"_qs);
        QCOMPARE(grid().GetCellText(1, G::ColField), u"物料"_qs);
        click(1, G::ColValue);
        QCOMPARE(m_dialog->LblMsg()->text(), u"物料按F7键可查看---"_qs);
        QTest::keyClick(view(), Qt::Key_F7);
        QCOMPARE(m_lookups, 1);
        QCOMPARE(grid().GetCellText(1, G::ColValue), u"螺钉 M3"_qs);
        click(1, G::ColCompare);
        QCOMPARE(m_dialog->LblMsg()->text(), QString());
    }
};

QTEST_MAIN(tst_GridWidget)
#include "tst_gridwidget.moc"
