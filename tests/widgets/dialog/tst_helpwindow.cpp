// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
// The default help component: the right page for the language, a page that speaks the
// dialog's own words, one window reused, and a window that works beside the modal dialog, on
// its screen, and closes with Esc.

#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include "testsupport/descriptions.h"
#include "testsupport/processstate.h"
#include "testsupport/scriptedalerts.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/dialog/helpwindow.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace NxSerialFilter;

namespace {

std::shared_ptr<HelpWindowComponent> helpComponent()
{
    return createComponent<HelpWindowComponent>(ComponentId::help());
}

void showHelp(HelpComponent &help, const QString &topic)
{
    qint32 first = 0;
    qint32 flag = 1;
    qint32 last = 0;
    QString topicClass = topic;
    QString subSystem;
    help.ShowHELP(first, 0, topicClass, flag, subSystem, last);
}

} // namespace

class tst_HelpWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void pagePath_data();
    void pagePath();
    void pageSpeaksTheDialogsWords_data();
    void pageSpeaksTheDialogsWords();
    void windowIsReused();
    void unknownTopicShowsTheMainPage();
    void helpOverTheModalDialog();
};

void tst_HelpWindow::init()
{
    Testing::freshProcessState();
    HelpKey::release();
}

void tst_HelpWindow::cleanup()
{
    HelpKey::release();
    nxAlert::setPresenter(nullptr);
}

void tst_HelpWindow::pagePath_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("path");
    const QString chinese = QStringLiteral(":/help/chs/ICSerialFilter.html");
    const QString english = QStringLiteral(":/help/en/ICSerialFilter.html");
    const QString topic = QStringLiteral("ICSerialFilter");
    QTest::newRow("no language") << topic << QString() << chinese;
    QTest::newRow("chs") << topic << QStringLiteral("chs") << chinese;
    QTest::newRow("en") << topic << QStringLiteral("en") << english;
    QTest::newRow("EN with spaces") << topic << QStringLiteral(" EN ") << english;
    QTest::newRow("a language without pages") << topic << QStringLiteral("fr") << chinese;
    QTest::newRow("a language that is a path") << topic << QStringLiteral("../en") << chinese;
    QTest::newRow("unknown topic")
        << QStringLiteral("ICNothing") << QStringLiteral("en") << QString();
    QTest::newRow("topic that is a path")
        << QStringLiteral("../help/en/ICSerialFilter") << QStringLiteral("en") << QString();
}

void tst_HelpWindow::pagePath()
{
    QFETCH(QString, topic);
    QFETCH(QString, language);
    QFETCH(QString, path);
    QCOMPARE(HelpPages::pagePath(topic, language), path);
}

void tst_HelpWindow::pageSpeaksTheDialogsWords_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("chinese") << QString();
    QTest::newRow("english") << QStringLiteral("en");
}

void tst_HelpWindow::pageSpeaksTheDialogsWords()
{
    // The help names every comparison, the toolbar's commands and the view modes exactly as
    // the dialog shows them in the same language, and lists the keys.
    QFETCH(QString, language);
    if (!language.isEmpty())
        ContextStore::setPropsString(QStringLiteral("LANGUAGE=") + language + u';');
    auto help = helpComponent();
    showHelp(*help, QStringLiteral("ICSerialFilter"));
    QTextBrowser *window = help->window();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(!window->windowTitle().isEmpty());
    const QString text = window->toPlainText();
    for (const char *key :
         {"F7", "F1", "Ctrl+Z", "Ctrl+Y", "Ctrl+Delete", "Ctrl+Insert", "Ctrl+/", "Ctrl+V"})
        QVERIFY2(text.contains(QString::fromLatin1(key)), key);
    const char *words[] = {"等于",   "大于",   "小于",     "小于或等于", "大于或等于",
                           "不等于", "包含",   "不包含",   "为空",       "不为空",
                           "并且",   "或者",   "保存方案", "另存方案",   "删除方案",
                           "查看",   "大图标", "小图标",   "列表",       "详细资料",
                           "逻辑",   "字段",   "数值",     "停用此行",   "运行时输入"};
    for (const char *word : words) {
        const QString shown = Language::text(QString::fromUtf8(word));
        QVERIFY2(text.contains(shown), qPrintable(shown));
    }
}

void tst_HelpWindow::windowIsReused()
{
    auto help = helpComponent();
    showHelp(*help, QStringLiteral("ICSerialFilter"));
    QPointer<QTextBrowser> first = help->window();
    showHelp(*help, QStringLiteral("ICSerialFilter"));
    QCOMPARE(help->window(), first.data());

    // Once the user closes it, the next call opens a new one.
    first->close();
    QTRY_VERIFY(first.isNull());
    showHelp(*help, QStringLiteral("ICSerialFilter"));
    QVERIFY(help->window());
    QVERIFY(help->window()->isVisible());
}

void tst_HelpWindow::unknownTopicShowsTheMainPage()
{
    auto help = helpComponent();
    showHelp(*help, QStringLiteral("ICNoSuchTopic"));
    QVERIFY(help->window());
    QVERIFY(help->window()->toPlainText().contains(QStringLiteral("F7")));
}

void tst_HelpWindow::helpOverTheModalDialog()
{
    // A window that the modal dialog blocks could not be read or closed.
    auto alerts = Testing::ScriptedAlerts::install();
    QTemporaryDir dir;
    ContextStore::setPropsString(QStringLiteral("SCHEMEDB=") + dir.filePath(QStringLiteral("s")) +
                                 u';');
    frmFilter form;
    form.setCommonField(Testing::standardCommonValues());
    form.Form_Load();
    form.setWindowModality(Qt::ApplicationModal);
    // On the last screen, where a window placed by default (on the first) would not be.
    QScreen *screen = QGuiApplication::screens().constLast();
    form.setScreen(screen);
    form.move(screen->availableGeometry().topLeft() + QPoint(40, 40));
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::activeModalWidget(), &form);
    alerts->shown.clear(); // only what help says counts here

    QTest::keyClick(form.vspFilter(), Qt::Key_F1);
    QPointer<QTextBrowser> window = form.findChild<QTextBrowser *>(QStringLiteral("HelpWindow"));
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->isWindow());
    QVERIFY2(alerts->shown.isEmpty(), qPrintable(alerts->shown.value(0).message));
    QCOMPARE(window->screen(), screen);
    QVERIFY(form.frameGeometry().contains(window->frameGeometry().center()));
    // Keys typed in the help window are its own, not the dialog's: Esc closes the help only.
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_VERIFY(window.isNull());
    QVERIFY(form.isVisible());
}

int main(int argc, char *argv[])
{
    // Two screens side by side, so that help opened on the wrong one shows.
    QTemporaryDir dir;
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen") && dir.isValid()) {
        QFile config(dir.filePath(QStringLiteral("screens.json")));
        if (config.open(QIODevice::WriteOnly) && config.write(R"({"screens": [
                {"name": "left", "x": 0, "y": 0, "width": 1024, "height": 768},
                {"name": "right", "x": 1024, "y": 0, "width": 1024, "height": 768}]})") > 0) {
            config.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
        }
    }
    QApplication app(argc, argv);
    tst_HelpWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_helpwindow.moc"
