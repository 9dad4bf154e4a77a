// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The one alert box: style normalisation, title, answers.

#include "core/language/languagestate.h"
#include "testsupport/processstate.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/support/guidefaults.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>
#include <NxSerialFilter/nxalert.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace NxSerialFilter;

class tst_nxAlert : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Message boxes are the widgets layer's to give; it files them when it loads.
        QVERIFY(guiDefaultsFiled());
    }
    void init() { Testing::freshProcessState(); }
    void cleanup() { nxAlert::setPresenter(nullptr); }

    void styles_data()
    {
        QTest::addColumn<int>("given");
        QTest::addColumn<int>("shown");
        QTest::newRow("question OK") << 32 << 36;
        QTest::newRow("question OK Cancel") << 33 << 36;
        QTest::newRow("question Yes No Cancel") << 35 << 36;
        QTest::newRow("question Yes No") << 36 << 36;
        QTest::newRow("warning") << 48 << 48;
        QTest::newRow("information") << 64 << 64;
        QTest::newRow("critical passes") << 16 << 16;
        QTest::newRow("plain OK passes") << 0 << 0;
        QTest::newRow("Yes No without icon passes") << 4 << 4;
        QTest::newRow("negative passes") << -1 << -1;
    }

    void styles()
    {
        QFETCH(int, given);
        QFETCH(int, shown);
        auto alerts = Testing::ScriptedAlerts::install();
        nxAlert::ShowAlert(QStringLiteral("m"), given);
        QCOMPARE(alerts->shown.size(), 1);
        QCOMPARE(alerts->shown.first().style, shown);
    }

    void answersAndTitle()
    {
        auto alerts = Testing::ScriptedAlerts::install();
        alerts->answers = {nxAlert::AnswerNo, nxAlert::AnswerYes};
        QCOMPARE(nxAlert::ShowAlert(QStringLiteral("删除？"), 33), int(nxAlert::AnswerNo));
        QCOMPARE(nxAlert::ShowAlert(QStringLiteral("删除？"), 36), int(nxAlert::AnswerYes));
        QCOMPARE(nxAlert::ShowAlert(QString(), 64), int(nxAlert::AnswerOk));
        QCOMPARE(alerts->shown.last().message, QString());
        // No loader at all: the title is the key itself.
        ComponentRegistry::instance().unregisterFactory(ComponentId::resourceLoader());
        nxAlert::ShowAlert(QStringLiteral("x"), 64);
        QCOMPARE(alerts->shown.last().title, QStringLiteral("青梧提示"));
    }

    void titleIsLookedUpOnEveryCall()
    {
        auto alerts = Testing::ScriptedAlerts::install();
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=en;"));
        nxAlert::ShowAlert(QStringLiteral("x"), 64);
        QVERIFY(alerts->shown.last().title != QStringLiteral("青梧提示"));
    }

    void windowlessHostsRefuseQuestions_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("answer");
        QTest::newRow("question") << 36 << int(nxAlert::AnswerNo);
        QTest::newRow("question asked with OK and Cancel") << 33 << int(nxAlert::AnswerNo);
        QTest::newRow("notice") << 64 << int(nxAlert::AnswerOk);
        QTest::newRow("warning") << 48 << int(nxAlert::AnswerOk);
    }

    void windowlessHostsRefuseQuestions()
    {
        // A batch host cannot answer; treating its silence as Yes would overwrite schemes.
        QFETCH(int, style);
        QFETCH(int, answer);
        QCOMPARE(nxAlert::windowlessAnswer(style), answer);
    }

    void messageBoxOffersYesAndNoForQuestions()
    {
        // The default presenter: style 33 must show Yes and No, not OK and Cancel.
        QStringList buttons;
        QTimer::singleShot(0, this, [&buttons] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton *b : box->buttons())
                buttons.append(QString::number(int(box->standardButton(b))));
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(nxAlert::ShowAlert(QStringLiteral("q"), 33), int(nxAlert::AnswerNo));
        buttons.sort();
        QStringList expected{QString::number(int(QMessageBox::Yes)),
                             QString::number(int(QMessageBox::No))};
        expected.sort();
        QCOMPARE(buttons, expected);
    }
};

QTEST_MAIN(tst_nxAlert)
#include "tst_nxalert.moc"
