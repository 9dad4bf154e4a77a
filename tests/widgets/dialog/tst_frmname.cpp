// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The scheme-name dialog, driven by real key events.

#include "core/text/texts.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/dialog/frmname.h"
#include "widgets/support/twips.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace NxSerialFilter;

namespace {

/// Types text into a widget: "\b" is Backspace, other characters are keys with that text.
void type(QWidget *widget, const QString &keys)
{
    for (const QChar ch : keys) {
        if (ch == u'\b')
            QTest::keyClick(widget, Qt::Key_Backspace);
        else if (ch.unicode() < 0x80)
            QTest::keyClick(widget, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

} // namespace

class tst_frmName : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyFilter_data();
    void keyFilter();
    void otherInput_data();
    void otherInput();
    void buttons_data();
    void buttons();
    void layoutAndCaptions();
};

void tst_frmName::keyFilter_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    const QString full = QString(256, u'x');
    const QString almost = QString(255, u'x');
    QTest::newRow("quote refused") << QString() << QStringLiteral("a'b") << QStringLiteral("ab");
    QTest::newRow("quote refused alone")
        << QStringLiteral("n") << QStringLiteral("'") << QStringLiteral("n");
    QTest::newRow("255 takes one more") << almost << QStringLiteral("yz") << almost + u'y';
    QTest::newRow("256 refuses Backspace") << full << QStringLiteral("\b") << full;
    QTest::newRow("255 still takes Backspace")
        << almost << QStringLiteral("\b") << QString(254, u'x');
    QTest::newRow("cjk and punctuation")
        << QString() << QStringLiteral("方案 1;-") << QStringLiteral("方案 1;-");
}

void tst_frmName::keyFilter()
{
    QFETCH(QString, start);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    frmName dialog;
    dialog.txtName()->setText(start);
    type(dialog.txtName(), keys);
    QCOMPARE(dialog.txtName()->text(), expected);
}

void tst_frmName::otherInput_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("incoming");
    QTest::addColumn<bool>("inputMethod");
    QTest::addColumn<QString>("expected");
    const QString almost = QString(250, u'x');
    QTest::newRow("pasted quotes dropped")
        << QStringLiteral("a") << false << QStringLiteral("'b'c'") << false
        << QStringLiteral("abc");
    QTest::newRow("pasted breaks become spaces")
        << QString() << false << QStringLiteral("a\tb\r\nc") << false << QStringLiteral("a b  c");
    QTest::newRow("paste stops at 256") << almost << false << QStringLiteral("0123456789") << false
                                        << almost + QStringLiteral("012345");
    QTest::newRow("paste into a full box refused")
        << QString(256, u'x') << true << QStringLiteral("abc") << false << QString(256, u'x');
    QTest::newRow("paste over a selection")
        << QStringLiteral("old") << true << QStringLiteral("new'") << false
        << QStringLiteral("new");
    QTest::newRow("input method commit filtered")
        << QStringLiteral("方") << false << QStringLiteral("'案'") << true
        << QStringLiteral("方案");
}

// Text that arrives other than by a key obeys the same rules as typing.
void tst_frmName::otherInput()
{
    QFETCH(QString, start);
    QFETCH(bool, selectAll);
    QFETCH(QString, incoming);
    QFETCH(bool, inputMethod);
    QFETCH(QString, expected);
    frmName dialog;
    QLineEdit *box = dialog.txtName();
    box->setText(start);
    if (selectAll)
        box->selectAll();
    if (inputMethod) {
        QInputMethodEvent event;
        event.setCommitString(incoming);
        QApplication::sendEvent(box, &event);
    } else {
        QApplication::clipboard()->setText(incoming);
        if (QApplication::clipboard()->text() != incoming)
            QSKIP("no clipboard on this platform");
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(box->text(), expected);
    // A cut never splits a character outside the basic plane.
    QCOMPARE(NameRules::insertable(QString(255, u'x'), 0, QStringLiteral("\U0001F600")), QString());
}

void tst_frmName::buttons_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("press"); // ok, cancel, enter, escape
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("schemaName");
    QTest::addColumn<int>("alerts");
    QTest::newRow("ok keeps the name as typed")
        << QStringLiteral(" a b ") << QStringLiteral("ok") << true << QStringLiteral(" a b ") << 0;
    QTest::newRow("ok with spaces only")
        << QStringLiteral("   ") << QStringLiteral("ok") << true << QStringLiteral("   ") << 0;
    QTest::newRow("ok empty is refused")
        << QString() << QStringLiteral("ok") << false << QString() << 1;
    QTest::newRow("enter is ok") << QStringLiteral("n") << QStringLiteral("enter") << true
                                 << QStringLiteral("n") << 0;
    QTest::newRow("cancel forgets the name")
        << QStringLiteral("n") << QStringLiteral("cancel") << true << QString() << 0;
    QTest::newRow("escape does nothing")
        << QStringLiteral("n") << QStringLiteral("escape") << false << QString() << 0;
    // Mnemonics press their buttons and never type their letter into the name.
    QTest::newRow("Alt+C cancels as in the filter dialog")
        << QStringLiteral("n") << QStringLiteral("alt+C") << true << QString() << 0;
    QTest::newRow("Alt+E cancels")
        << QStringLiteral("n") << QStringLiteral("alt+E") << true << QString() << 0;
    QTest::newRow("Alt+O is ok") << QStringLiteral("n") << QStringLiteral("alt+O") << true
                                 << QStringLiteral("n") << 0;
    QTest::newRow("Alt+X types nothing")
        << QStringLiteral("n") << QStringLiteral("alt+X") << false << QString() << 0;
}

void tst_frmName::buttons()
{
    QFETCH(QString, typed);
    QFETCH(QString, press);
    QFETCH(bool, closed);
    QFETCH(QString, schemaName);
    QFETCH(int, alerts);
    auto scripted = Testing::ScriptedAlerts::install();
    frmName dialog;
    dialog.Form_Load();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog)); // a mnemonic reaches only the active window
    type(dialog.txtName(), typed);
    if (press == QLatin1String("ok"))
        QTest::mouseClick(dialog.cmdAction(0), Qt::LeftButton);
    else if (press == QLatin1String("cancel"))
        QTest::mouseClick(dialog.cmdAction(1), Qt::LeftButton);
    else if (press == QLatin1String("enter"))
        QTest::keyClick(dialog.txtName(), Qt::Key_Return);
    else if (press.startsWith(QLatin1String("alt+")))
        QTest::keyClick(dialog.txtName(), press.back().toLatin1(), Qt::AltModifier);
    else
        QTest::keyClick(dialog.txtName(), Qt::Key_Escape);
    QTRY_COMPARE(!dialog.isVisible(), closed); // a mnemonic clicks after a short animation
    QCOMPARE(dialog.txtName()->text(), typed);
    QCOMPARE(dialog.SchemaName(), schemaName);
    QCOMPARE(scripted->shown.size(), alerts);
    if (alerts) {
        QCOMPARE(scripted->shown.first().message, Texts::enterSchemeName());
        QCOMPARE(scripted->shown.first().style, int(nxAlert::Information));
        QCOMPARE(QApplication::focusWidget(), dialog.txtName());
    }
    nxAlert::setPresenter(nullptr);
}

// Captions are looked up in their order (a failing one must not stop the rest), and the
// controls sit where the form was designed.
void tst_frmName::layoutAndCaptions()
{
    frmName dialog;
    QStringList keys;
    for (const auto &step : dialog.captionSteps())
        keys.append(step.key);
    QCOMPARE(keys, (QStringList{Texts::nameCaption(), Texts::nameCancel(), Texts::ok(),
                                Texts::namePrompt()}));
    dialog.Form_Load();
    QCOMPARE(dialog.windowTitle(), Texts::nameCaption());
    QCOMPARE(dialog.cmdAction(1)->text(), Texts::nameCancel());
    QCOMPARE(dialog.lblAlert()->text(), Texts::namePrompt());
    // A screen reader names the box and reads the prompt's rules with it.
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(dialog.txtName());
    QCOMPARE(box->text(QAccessible::Name), Texts::nameCaption());
    QCOMPARE(box->text(QAccessible::Description), Texts::namePrompt());
    QCOMPARE(dialog.size(), QSize(Twips::toPixels(3255, &dialog), Twips::toPixels(2205, &dialog)));
    QCOMPARE(dialog.txtName()->geometry(), Twips::toPixels(120, 960, 3015, 315, &dialog));
    QCOMPARE(dialog.cmdAction(1)->geometry(), Twips::toPixels(1680, 1560, 1080, 315, &dialog));
    QVERIFY(dialog.cmdAction(0)->isDefault());
    QCOMPARE(dialog.txtName()->nextInFocusChain(), dialog.cmdAction(0));
}

QTEST_MAIN(tst_frmName)
#include "tst_frmname.moc"
