// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The public Filter object and the dialog's life cycle, driven headless.

#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuecells.h"
#include "core/language/languagestate.h"
#include "filter/filtertestaccess.h"
#include "testsupport/descriptions.h"
#include "testsupport/modalanswers.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/dialog/questionswindow.h"
#include "widgets/schemes/schemelist.h"
#include "widgets/schemes/schemelistview.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/conditioncomposer.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/failure.h>
#include <NxSerialFilter/filter.h>
#include <NxSerialFilter/schemestore.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>

using namespace NxSerialFilter;

namespace {

/// Runs `answer` on the dialog once it is shown modally by ShowFilterForm.
void whenShown(Filter &filter, std::function<void(frmFilter &)> answer)
{
    QTimer::singleShot(0, qApp, [&filter, answer] {
        frmFilter *form = FilterTestAccess::dialog(filter);
        QVERIFY(form);
        QVERIFY(form->isVisible());
        answer(*form);
        if (form->isVisible()) // never leave a test hanging on the modal loop
            form->CmdCancel_Click();
    });
}

/// Writes a row as the user would: field, comparison, value, parentheses.
void writeRow(ConditionGrid &grid, int row, int field, int compare, const QString &value,
              const QString &left = {}, const QString &right = {})
{
    auto cell = [&grid, row](int col) { return grid.index(row - 1, col - 1); };
    grid.setData(cell(ConditionGrid::ColField), field, ConditionGrid::ComboIndexRole);
    grid.setData(cell(ConditionGrid::ColCompare), compare, ConditionGrid::ComboIndexRole);
    if (!value.isNull())
        grid.setData(cell(ConditionGrid::ColValue), value);
    if (!left.isEmpty())
        grid.setData(cell(ConditionGrid::ColLeftParen), left);
    if (!right.isEmpty())
        grid.setData(cell(ConditionGrid::ColRightParen), right);
}

} // namespace

class tst_Filter : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<Testing::ScriptedAlerts> m_alerts;

private Q_SLOTS:
    void init()
    {
        ComponentRegistry::instance().restoreDefaults();
        ContextStore::clear();
        ContextStore::setPropsString(
            QStringLiteral("SCHEMEDB=") + QDir::tempPath() + QStringLiteral("/tst_filter_") +
            QString::number(QCoreApplication::applicationPid()) + QStringLiteral(".sqlite;"));
        Language::reload();
        m_alerts = Testing::ScriptedAlerts::install();
    }
    void cleanup()
    {
        nxAlert::setPresenter(nullptr);
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }

    void newObject()
    {
        Filter filter;
        QCOMPARE(filter.Cancel(), false);
        QCOMPARE(filter.FilterSQL(), QString());
        QCOMPARE(filter.FilterQuery(SqlEngine::PostgreSQL, Placeholders::Dollar), BoundCondition{});
        QCOMPARE(filter.FilterText(), QString());
        QCOMPARE(filter.FilterScheme(), QString());
        QCOMPARE(filter.SerialUse(), false);
        QCOMPARE(filter.ScreenID(), QString());
        QVERIFY(!FilterTestAccess::dialog(filter));
    }

    void lastScreenWriteDecides()
    {
        Filter filter;
        filter.setScreenID(QStringLiteral("A"));
        filter.setCommonFields(Testing::standardCommonValues(QStringLiteral("B")));
        QCOMPARE(filter.ScreenID(), QStringLiteral("B"));
        filter.setScreenID(QStringLiteral("A"));
        QCOMPARE(filter.ScreenID(), QStringLiteral("A"));

        // A "ScreenID" that is no text reaches the host; the screen stays as it was.
        KeyedValuesPtr odd = Testing::standardCommonValues();
        odd->set(QStringLiteral("ScreenID"), QVariant::fromValue(KeyedValues::create()));
        QVERIFY_THROWS_EXCEPTION(FilterError, filter.setCommonFields(odd));
        QCOMPARE(filter.ScreenID(), QStringLiteral("A"));
    }

    void serialModeWithoutDescriptionFailsBeforeShowing()
    {
        Filter filter;
        filter.setSerialUse(true);
        try {
            filter.ShowFilterForm();
            QFAIL("serial mode without a description must fail");
        } catch (const FilterError &e) {
            QCOMPARE(e.number(), int(ErrorNumber::ObjectNotSet));
        }
        QVERIFY(FilterTestAccess::dialog(filter));
        QVERIFY(!FilterTestAccess::dialog(filter)->isLoaded());
        QVERIFY(m_alerts->shown.isEmpty());
    }

    void rememberedSize_data()
    {
        QTest::addColumn<bool>("remember");
        QTest::addColumn<QString>("organisation");
        QTest::addColumn<QString>("secondScreen");
        QTest::addColumn<QVariant>("stored"); // in the settings for S1 before the first dialog
        QTest::addColumn<bool>("kept");       // the second dialog opens at the first's size
        const QString org = QStringLiteral("NxsfSizeTest");
        QTest::newRow("off by default") << false << org << u"S1"_qs << QVariant() << false;
        QTest::newRow("kept for the screen") << true << org << u"S1"_qs << QVariant() << true;
        QTest::newRow("another screen has its own")
            << true << org << u"S2"_qs << QVariant() << false;
        QTest::newRow("no organisation, nothing written")
            << true << QString() << u"S1"_qs << QVariant() << false;
        QTest::newRow("a stored size that is no size")
            << true << org << u"S1"_qs << QVariant(u"x"_qs) << true;
        QTest::newRow("a stored size beyond the screen")
            << true << org << u"S1"_qs << QVariant(QSize(100000, 100000)) << true;
    }

    // With the host's leave, the dialog opens at the size it last had on the same screen, never
    // beyond the screen nor below what its words need; a stored value that is no size is
    // ignored.
    void rememberedSize()
    {
        QFETCH(bool, remember);
        QFETCH(QString, organisation);
        QFETCH(QString, secondScreen);
        QFETCH(QVariant, stored);
        QFETCH(bool, kept);
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(organisation);
        QSettings().clear();
        if (stored.isValid())
            QSettings().setValue(frmFilter::sizeKey(u"S1"_qs), stored);
        QSize plain;
        {
            frmFilter form;
            form.setCommonField(Testing::standardCommonValues(u"S1"_qs));
            form.Form_Load();
            plain = form.size();
        }
        Filter filter;
        filter.setRememberDialogSize(remember);
        QCOMPARE(filter.RememberDialogSize(), remember);
        filter.setCommonFields(Testing::standardCommonValues(u"S1"_qs));
        QSize first, enlarged, second;
        QRect room;
        whenShown(filter, [&](frmFilter &form) {
            first = form.size();
            room = form.screen()->availableGeometry();
            form.resize(plain + QSize(120, 90));
            enlarged = form.size();
            form.CmdCancel_Click();
        });
        filter.ShowFilterForm();
        if (stored.toSize().isValid())
            QVERIFY(first.width() <= room.width() && first.height() <= room.height());
        else
            QCOMPARE(first, plain);
        filter.setCommonFields(Testing::standardCommonValues(secondScreen));
        whenShown(filter, [&second](frmFilter &form) {
            second = form.size();
            form.CmdCancel_Click();
        });
        filter.ShowFilterForm();
        QCOMPARE(second, kept ? enlarged : plain);
        if (!remember)
            QVERIFY(!QSettings().contains(frmFilter::sizeKey(u"S1"_qs)));
        QSettings().clear();
        QCoreApplication::setOrganizationName(QString());
    }

    void confirmCancelAndClose()
    {
        Filter filter;
        filter.setSerialUse(true);
        filter.setScreenID(QStringLiteral("Host"));
        filter.setSerialDesc(Testing::standardSerialDescription());

        // OK with no row in use.
        whenShown(filter, [](frmFilter &form) { form.CmdOK()->click(); });
        QCOMPARE(filter.ShowFilterForm(), QString());
        QCOMPARE(filter.Cancel(), false);
        QCOMPARE(FilterTestAccess::dialog(filter)->ScreenID(), QStringLiteral("Serial_12"));
        QCOMPARE(filter.ScreenID(), QStringLiteral("Host"));

        // OK with a row: FSERIALNUM contains A01.
        whenShown(filter, [](frmFilter &form) {
            writeRow(form.grid(), 1, 1, 6, QStringLiteral("A01"));
            form.CmdOK()->click();
        });
        const QString confirmed = filter.ShowFilterForm(QStringLiteral("X"), true);
        QCOMPARE(confirmed, QStringLiteral(" ( (tf.FSERIALNUM Like '%A01%') ) "));
        QCOMPARE(filter.FilterSQL(), confirmed);
        QCOMPARE(filter.Cancel(), false);
        const BoundCondition bound{QStringLiteral(" ( (tf.FSERIALNUM Like ?) ) "),
                                   {QStringLiteral("%A01%")}};
        QCOMPARE(filter.FilterQuery(), bound);
        QCOMPARE(filter.FilterQuery(SqlEngine::PostgreSQL, Placeholders::Dollar),
                 (BoundCondition{
                     QStringLiteral(" ( (tf.FSERIALNUM COLLATE \"C\" ILike $1 ESCAPE $2) ) "),
                     {QStringLiteral("%A01%"), QStringLiteral("")}}));
        const QString words = QStringLiteral("序列号 包含 A01");
        QCOMPARE(filter.FilterText(), words);
        const ConditionComposer again =
            ConditionComposer::forSerialDescription(Testing::standardSerialDescription());
        const QString scheme = filter.FilterScheme();
        QCOMPARE(again.compose(scheme).sql, confirmed);

        // Each call starts from a fresh dialog; Cancel keeps the last confirmed condition.
        whenShown(filter, [](frmFilter &form) {
            QCOMPARE(form.grid().GetCellText(1, ConditionGrid::ColField), QString());
            writeRow(form.grid(), 1, 3, 0, QStringLiteral("5"));
            form.CmdCancel()->click();
        });
        QCOMPARE(filter.ShowFilterForm(), confirmed);
        QCOMPARE(filter.Cancel(), true);
        QCOMPARE(filter.FilterQuery(), bound);
        QCOMPARE(filter.FilterText(), words);
        QCOMPARE(filter.FilterScheme(), scheme);

        // The window's close button counts as Cancel.
        whenShown(filter, [](frmFilter &form) { form.close(); });
        QCOMPARE(filter.ShowFilterForm(), confirmed);
        QCOMPARE(filter.Cancel(), true);

        // Esc cancels, Enter confirms.
        whenShown(filter, [](frmFilter &form) { QTest::keyClick(&form, Qt::Key_Escape); });
        filter.ShowFilterForm();
        QCOMPARE(filter.Cancel(), true);
        whenShown(filter, [](frmFilter &form) {
            form.CmdOK()->setFocus();
            QTest::keyClick(form.CmdOK(), Qt::Key_Return);
        });
        QCOMPARE(filter.ShowFilterForm(), QString());
        QCOMPARE(filter.Cancel(), false);

        // A value asked at OK: the host's forms hold the answer, the scheme the question, and
        // the answers compose the scheme again.
        whenShown(filter, [](frmFilter &form) {
            writeRow(form.grid(), 1, 1, 0, QStringLiteral("客户"));
            form.grid().SetCellText(1, ConditionGrid::ColValueCode, QStringLiteral("ask=1"));
            form.CmdOK()->click();
        });
        Testing::ModalAnswers<QuestionsWindow> answer([](QuestionsWindow *window) {
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("A01"));
            QTest::keyClick(window, Qt::Key_Return);
        });
        const QString asked = QStringLiteral(" ( (tf.FSERIALNUM = 'A01') ) ");
        QCOMPARE(filter.ShowFilterForm(), asked);
        QCOMPARE(answer.answered, 1);
        QCOMPARE(filter.FilterQuery(), (BoundCondition{QStringLiteral(" ( (tf.FSERIALNUM = ?) ) "),
                                                       {QStringLiteral("A01")}}));
        QCOMPARE(filter.FilterText(), QStringLiteral("序列号 等于 A01"));
        QVERIFY(!filter.FilterScheme().contains(QStringLiteral("A01")));
        QCOMPARE(again.compose(filter.FilterScheme(), filter.FilterAnswers()).sql, asked);
    }

    void reopenWithLastCondition_data()
    {
        QTest::addColumn<bool>("reopen");
        QTest::addColumn<bool>("fromScheme"); // the confirmed grid was a saved scheme, picked
        QTest::addColumn<QString>("then");
        // What the host did before reopening: dropped the filter, gave the same fields other
        // captions (another language), or set a condition text for the next dialog.
        QTest::addColumn<QString>("between");
        QTest::newRow("reopen, OK keeps the filter") << true << false << u"ok"_qs << QString();
        QTest::newRow("reopen, Cancel keeps the filter")
            << true << false << u"cancel"_qs << QString();
        QTest::newRow("reopen on the saved scheme") << true << true << u"ok"_qs << QString();
        QTest::newRow("off: a fresh dialog") << false << false << u"ok"_qs << QString();
        QTest::newRow("cleared: a fresh dialog") << true << true << u"cancel"_qs << u"clear"_qs;
        QTest::newRow("renamed fields: the rows follow the captions")
            << true << true << u"ok"_qs << u"rename"_qs;
        QTest::newRow("a condition text: its rows, once") << true << true << u"ok"_qs << u"text"_qs;
        QTest::newRow("off, a condition text: its rows, once")
            << false << false << u"ok"_qs << u"text"_qs;
        QTest::newRow("a condition text that does not read: the filter in force")
            << true << false << u"ok"_qs << u"bad text"_qs;
    }

    void reopenWithLastCondition()
    {
        QFETCH(bool, reopen);
        QFETCH(bool, fromScheme);
        QFETCH(QString, then);
        QFETCH(QString, between);
        const bool cleared = between == QLatin1String("clear");
        Filter filter;
        filter.setSerialUse(true);
        filter.setSerialDesc(Testing::standardSerialDescription());
        QCOMPARE(filter.ReopenWithLastCondition(), false);
        filter.setReopenWithLastCondition(reopen);
        // Any condition with a value counts 7 records, the empty one 100000.
        filter.setMatchCounter([](const BoundCondition &c) -> std::optional<qint64> {
            return c.values.isEmpty() ? 100000 : 7;
        });
        whenShown(filter, [](frmFilter &form) {
            writeRow(form.grid(), 1, 1, 6, QStringLiteral("A01"));
            form.CmdOK()->click();
        });
        const QString confirmed = filter.ShowFilterForm();
        QVERIFY(!confirmed.isEmpty());
        const QString location = SchemeStore::locationFor(ContextStore::propsString());
        SchemeStore(location).save({0, u"Serial_12"_qs, u"A01"_qs, filter.FilterScheme(), {}});
        if (fromScheme) {
            whenShown(filter, [](frmFilter &form) {
                SchemeListView *list = form.lstFilter();
                QCOMPARE(list->count(), 2);
                QTest::mouseClick(
                    qobject_cast<QAbstractScrollArea *>(list->currentView())->viewport(),
                    Qt::LeftButton, {}, list->itemRect(2).center());
                QCOMPARE(form.currentSchemeId(), SchemeList::idOf(list->key(2)));
                form.CmdOK()->click();
            });
            QCOMPARE(filter.ShowFilterForm(), confirmed);
        }
        const bool inForce = reopen && !cleared;
        if (cleared) {
            filter.clearLastCondition();
            QCOMPARE(filter.FilterSQL(), QString());
            QCOMPARE(filter.FilterScheme(), QString());
            QCOMPARE(filter.FilterText(), QString());
            QCOMPARE(filter.FilterQuery().values, QVariantList());
        }
        if (between == QLatin1String("rename")) {
            // The worked examples' fields, the first under another caption.
            using Testing::serialField;
            filter.setSerialDesc(Testing::serialDescription(
                {serialField(1, u"FSERIALNUM"_qs, u"Serial number"_qs, 1, 1),
                 serialField(2, u"FITEM"_qs, u"物料"_qs, 0, 2, 0, 4),
                 serialField(3, u"FQTY"_qs, u"数量"_qs, 0, 0),
                 serialField(4, u"FDATE"_qs, u"日期"_qs, 0, 4)},
                {serialField(5, u"FSUB"_qs, u"等级"_qs, 1, 3, 0, 7),
                 serialField(6, u"FSYSN"_qs, u"系统数"_qs, 1, -10, 0),
                 serialField(7, u"FSYST"_qs, u"系统文本"_qs, 1, -10, 1)}));
        }
        const bool text = between == QLatin1String("text");
        const QString textSql = u" ( (tf.FQTY > 5  Or  tf.FSERIALNUM Like '%A 01%') ) "_qs;
        if (text) {
            const std::optional<ConditionTextFailure> failure =
                filter.setCondition(u"数量 大于 5 或者 序列号 包含 「A 01」"_qs);
            QVERIFY2(!failure, failure ? qPrintable(failure->message()) : "");
        } else if (between == QLatin1String("bad text")) {
            const std::optional<ConditionTextFailure> failure =
                filter.setCondition(u"数量 大于"_qs);
            QVERIFY(failure);
            QCOMPARE(failure->position, 5);
            QCOMPARE(failure->expected, ConditionTextFailure::Expected::Value);
        }
        whenShown(filter, [&](frmFilter &form) {
            const QString field = form.grid().GetCellText(1, ConditionGrid::ColField);
            QCOMPARE(field.isEmpty(), !inForce && !text);
            if (between == QLatin1String("rename"))
                QCOMPARE(field, u"Serial number"_qs);
            if (text)
                QCOMPARE(field, u"数量"_qs);
            // The saved scheme finds its fields by their identifiers under the new captions:
            // it is still the grid's.
            const bool onScheme = fromScheme && inForce && !text;
            QCOMPARE(form.lstFilter()->selectedIndex(), onScheme ? 2 : 1);
            QCOMPARE(form.currentSchemeId() > 0, onScheme);
            QTRY_VERIFY(
                form.LblCount()->toolTip().contains(inForce || text ? u"7"_qs : u"100,000"_qs));
            if (then == QLatin1String("ok"))
                QTest::mouseClick(form.CmdOK(), Qt::LeftButton);
            else
                QTest::keyClick(&form, Qt::Key_Escape);
        });
        filter.ShowFilterForm();
        QCOMPARE(filter.Cancel(), then != QLatin1String("ok"));
        if (text) {
            QCOMPARE(filter.FilterSQL(), textSql);
            // The dialog after opens as it would have without the text.
            whenShown(filter, [reopen](frmFilter &form) {
                QCOMPARE(form.grid().GetCellText(1, ConditionGrid::ColField),
                         reopen ? u"数量"_qs : QString());
            });
            filter.ShowFilterForm();
            return;
        }
        QCOMPARE(filter.FilterSQL(),
                 (inForce || then != QLatin1String("ok")) && !cleared ? confirmed : QString());
    }

    void relativeDatesAtOk_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("firstDay"); // -1: not set
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("end");
        QTest::newRow("this week on a Sunday, weeks from Monday")
            << QDate(2024, 3, 10) << -1 << u"本周"_qs << u"2024-03-04"_qs << u"2024-03-11"_qs;
        QTest::newRow("this week on a Sunday, weeks from Sunday")
            << QDate(2024, 3, 10) << 7 << u"本周"_qs << u"2024-03-10"_qs << u"2024-03-17"_qs;
        QTest::newRow("last week on a Monday, weeks from Sunday")
            << QDate(2024, 3, 11) << 7 << u"上周"_qs << u"2024-03-03"_qs << u"2024-03-10"_qs;
        QTest::newRow("no day of the week is Monday")
            << QDate(2024, 3, 10) << 0 << u"本周"_qs << u"2024-03-04"_qs << u"2024-03-11"_qs;
        QTest::newRow("this quarter on the year's last day")
            << QDate(2024, 12, 31) << -1 << u"本季度"_qs << u"2024-10-01"_qs << u"2025-01-01"_qs;
    }

    // The days a relative date means come from the dialog's clock and the host's first day of
    // the week, alike for FilterSQL, FilterQuery and the count line; the words keep the word.
    void relativeDatesAtOk()
    {
        QFETCH(QDate, today);
        QFETCH(int, firstDay);
        QFETCH(QString, word);
        QFETCH(QString, first);
        QFETCH(QString, end);
        ValueCells::setClock([today] { return today; });
        const auto restoreClock = qScopeGuard([] { ValueCells::setClock({}); });
        Filter filter;
        filter.setSerialUse(true);
        filter.setSerialDesc(Testing::standardSerialDescription());
        // 0 is the one value within the enumeration's range that is no day.
        if (firstDay >= 0)
            filter.setFirstDayOfWeek(Qt::DayOfWeek(firstDay));
        const QVariantList days{first, end};
        filter.setMatchCounter([days](const BoundCondition &c) -> std::optional<qint64> {
            return c.values == days ? 7 : 3;
        });
        whenShown(filter, [&word](frmFilter &form) {
            writeRow(form.grid(), 1, 4, 0, word);
            QTRY_VERIFY(form.LblCount()->toolTip().contains(u"7"_qs));
            form.CmdOK()->click();
        });
        filter.ShowFilterForm();
        QCOMPARE(filter.FilterQuery().values, days);
        QVERIFY2(filter.FilterSQL().contains(u"'"_qs + first + u"' And "_qs) &&
                     filter.FilterSQL().contains(u"'"_qs + end + u"')"_qs),
                 qPrintable(filter.FilterSQL()));
        QCOMPARE(filter.FilterText(), u"日期 等于 "_qs + word);
    }

    void currentUserAtOk_data()
    {
        QTest::addColumn<QString>("user");
        QTest::newRow("the host's user") << u"o'neil"_qs;
        QTest::newRow("none set") << QString();
    }

    // 当前用户 is the user the host named, alike for FilterSQL, FilterQuery and the count line;
    // with none, the count line and OK say so, naming the row, and nothing is confirmed.
    void currentUserAtOk()
    {
        QFETCH(QString, user);
        Filter filter;
        filter.setSerialUse(true);
        filter.setSerialDesc(Testing::standardSerialDescription());
        filter.setCurrentUser(user);
        filter.setMatchCounter([user](const BoundCondition &c) -> std::optional<qint64> {
            return c.values == QVariantList{user} ? 7 : 3;
        });
        const QString refusal = u"第1行：没有设置当前用户，不能使用“当前用户”"_qs;
        whenShown(filter, [&](frmFilter &form) {
            writeRow(form.grid(), 1, 1, 0, u"当前用户"_qs);
            QTRY_VERIFY(form.LblCount()->toolTip().contains(user.isEmpty() ? refusal : u"7"_qs));
            form.CmdOK()->click();
            QCOMPARE(form.isVisible(), user.isEmpty());
        });
        filter.ShowFilterForm();
        QCOMPARE(filter.Cancel(), user.isEmpty());
        if (user.isEmpty()) {
            QCOMPARE(m_alerts->shown.size(), 1);
            QCOMPARE(m_alerts->shown.first().message, refusal);
            return;
        }
        QCOMPARE(filter.FilterSQL(), u" ( (tf.FSERIALNUM = 'o''neil') ) "_qs);
        QCOMPARE(filter.FilterQuery().values, QVariantList{user});
        QCOMPARE(filter.FilterText(), u"序列号 等于 当前用户"_qs);
    }

    void failedOkKeepsTheDialogOpen_data()
    {
        QTest::addColumn<QString>("then");
        QTest::newRow("Cancel") << QStringLiteral("cancel");
        // The alert box closing gives the activation back; the user's cell stays put.
        QTest::newRow("the alert box closes") << QStringLiteral("alert");
        // Another window of the component deactivates the dialog, and its closing is the next
        // activation: a failed OK is still the same showing, so the cell stays where it was.
        QTest::newRow("another window closes") << QStringLiteral("window");
    }

    void failedOkKeepsTheDialogOpen()
    {
        QFETCH(QString, then);
        Filter filter;
        filter.setSerialUse(true);
        filter.setSerialDesc(Testing::standardSerialDescription());
        if (then == QLatin1String("alert"))
            nxAlert::setPresenter(nullptr); // the real alert box
        whenShown(filter, [this, then](frmFilter &form) {
            QTRY_VERIFY(form.isActiveWindow());
            writeRow(form.grid(), 1, 1, 0, QStringLiteral("B7"), {}, QStringLiteral(")"));
            form.grid().setActiveCell(1, ConditionGrid::ColValue);
            const Testing::ModalAnswers<QMessageBox> alert([](QMessageBox *box) { box->accept(); });
            form.CmdOK()->click();
            QVERIFY(form.isVisible());
            if (then == QLatin1String("alert")) {
                QCOMPARE(alert.answered, 1);
            } else {
                QCOMPARE(m_alerts->shown.size(), 1);
                QCOMPARE(m_alerts->shown.first().style, 48);
            }
            QCOMPARE(form.activated(), true);
            QCOMPARE(form.Cancel(), false);
            QCOMPARE(form.grid().GetCellText(1, ConditionGrid::ColRightParen), QStringLiteral(")"));
            if (then == QLatin1String("window")) {
                QDialog other;
                bool cancelWhileAway = false;
                const Testing::ModalAnswers<QDialog> away([&](QDialog *shown) {
                    cancelWhileAway = form.Cancel();
                    shown->accept();
                });
                other.exec();
                QVERIFY(cancelWhileAway);
            }
            form.activateWindow(); // as the window manager does when the other one closes
            QTRY_VERIFY(form.isActiveWindow());
            QCOMPARE(form.grid().activeRow(), 1);
            QCOMPARE(form.grid().activeCol(), int(ConditionGrid::ColValue));
            form.CmdCancel()->click();
        });
        QCOMPARE(filter.ShowFilterForm(), QString());
        QCOMPARE(filter.Cancel(), true);
    }

    void firstActivation()
    {
        Filter filter;
        filter.setSerialUse(true);
        filter.setSerialDesc(Testing::standardSerialDescription());
        // An hourglass the host left on must not stay over the dialog.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        whenShown(filter, [](frmFilter &form) {
            QVERIFY(!QGuiApplication::overrideCursor());
            QVERIFY(form.activated());
            QVERIFY(form.fields().CommonField); // an empty one in serial mode
            QCOMPARE(form.fields().CommonField->count(), 0);
            QCOMPARE(form.grid().activeRow(), 1);
            QCOMPARE(form.grid().activeCol(), int(ConditionGrid::ColLeftParen));
        });
        filter.ShowFilterForm();
    }

    // A host's timer may call ShowFilterForm again while a dialog runs; replacing the held
    // dialog must not destroy the one still showing.
    void callWhileADialogRuns()
    {
        Filter filter;
        filter.setCommonFields(Testing::standardCommonValues());
        whenShown(filter, [&filter](frmFilter &outer) {
            whenShown(filter, [](frmFilter &inner) { inner.CmdOK()->click(); });
            filter.ShowFilterForm();
            QCOMPARE(filter.Cancel(), false);
            QVERIFY(FilterTestAccess::dialog(filter) != &outer);
            outer.CmdCancel()->click();
        });
        filter.ShowFilterForm();
        QCOMPARE(filter.Cancel(), true);
    }

    // A host may delete its Filter from a timer while the dialog runs: the dialog closes and
    // the call returns without touching the deleted object.
    void deletedWhileShown()
    {
        auto *filter = new Filter;
        filter->setCommonFields(Testing::standardCommonValues());
        QPointer<frmFilter> form;
        bool leftOpen = false;
        QTimer::singleShot(0, qApp, [&] {
            form = FilterTestAccess::dialog(*filter);
            QVERIFY(form && form->isVisible());
            delete filter;
            QTimer::singleShot(0, form, [&] {
                if (form->isVisible()) { // never leave a test hanging
                    leftOpen = true;
                    form->CmdCancel_Click();
                }
            });
        });
        QCOMPARE(filter->ShowFilterForm(), QString());
        QVERIFY(!leftOpen);
        QVERIFY(!form); // ended with the call
    }

    // A host with its own translation of Qt's texts (German here) keeps it: the component's
    // Qt texts speak the dialog's language only while it is shown.
    void hostKeepsItsQtTranslation_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("cancelWhileShown");
        QTest::newRow("no LANGUAGE") << QString() << QStringLiteral("取消");
        QTest::newRow("cht") << QStringLiteral("LANGUAGE=cht;") << QStringLiteral("取消");
        QTest::newRow("en") << QStringLiteral("LANGUAGE=en;") << QStringLiteral("Abbrechen");
    }
    void hostKeepsItsQtTranslation()
    {
        QFETCH(QString, language);
        QFETCH(QString, cancelWhileShown);
        struct German : QTranslator
        {
            bool isEmpty() const override { return false; }
            QString translate(const char *context, const char *source, const char *,
                              int) const override
            {
                return qstrcmp(context, "QPlatformTheme") == 0 && qstrcmp(source, "Cancel") == 0
                           ? QStringLiteral("Abbrechen")
                           : QString();
            }
        } german;
        QCoreApplication::installTranslator(&german);
        const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
        ContextStore::setPropsString(ContextStore::propsString() + language);
        Filter filter;
        filter.setCommonFields(Testing::standardCommonValues());
        for (int round = 0; round < 2; ++round) {
            whenShown(filter, [&](frmFilter &) { QCOMPARE(cancel(), cancelWhileShown); });
            filter.ShowFilterForm();
            QCOMPARE(cancel(), QStringLiteral("Abbrechen"));
        }
        QCoreApplication::removeTranslator(&german);
    }

    void commonModeWithoutFieldsStillOpens()
    {
        Filter filter;
        whenShown(filter, [this](frmFilter &form) {
            QCOMPARE(m_alerts->shown.size(), 1); // the field list could not be read
            QCOMPARE(m_alerts->shown.first().style, 64);
            QVERIFY(form.grid().columnItems(ConditionGrid::ColField).isEmpty());
            form.CmdOK()->click();
        });
        QCOMPARE(filter.ShowFilterForm(), QString());
        QCOMPARE(filter.Cancel(), false);
    }

    void createdByIdentifier()
    {
        auto component = ComponentRegistry::instance().create<FilterComponent>(
            QStringLiteral("nxserialfilter.filter"));
        QCOMPARE(component->filter.FilterSQL(), QString());
        // Each layer files its own defaults when it loads.
        for (const QString &id : {ComponentId::formTextLoader(), ComponentId::help(),
                                  ComponentId::schemeReader(), ComponentId::schemeWriter()})
            QVERIFY2(ComponentRegistry::instance().isRegistered(id), qPrintable(id));
    }
};

QTEST_MAIN(tst_Filter)
#include "tst_filter.moc"
