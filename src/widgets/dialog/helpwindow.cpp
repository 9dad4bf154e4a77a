// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/dialog/helpwindow.h"

#include "core/host/defaultcomponents.h"
#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include "widgets/support/twips.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>

namespace NxSerialFilter {

namespace HelpPages {

namespace {
QString resourceFor(const QString &topicClass, const QString &folder)
{
    return QStringLiteral(":/help/") + folder + u'/' + topicClass + QStringLiteral(".html");
}
} // namespace

QString defaultTopic()
{
    return QStringLiteral("ICSerialFilter");
}

QString pagePath(const QString &topicClass, const QString &language)
{
    const QString topic = topicClass.trimmed();
    // Topic names and language codes become resource paths: keep them to plain names.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_]+$"));
    if (!plain.match(topic).hasMatch())
        return {};
    const QString code = language.trimmed().toLower();
    if (plain.match(code).hasMatch() && QFile::exists(resourceFor(topic, code)))
        return resourceFor(topic, code);
    if (QFile::exists(resourceFor(topic, QStringLiteral("chs"))))
        return resourceFor(topic, QStringLiteral("chs"));
    return {};
}

} // namespace HelpPages

namespace {

QString contextLanguage()
{
    const QString cached = Language::cachedCode();
    return cached.isEmpty() ? HostContext::property(QStringLiteral("LANGUAGE")) : cached;
}

/// The window the help opens over: a window blocked by a modal dialog could not be used.
QWidget *anchorWindow()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

/// Centres the window over the anchor, inside the free area of the anchor's screen, so that
/// the help appears where the user is looking rather than on another monitor.
void placeOver(QWidget *window, const QWidget *anchor)
{
    QScreen *screen = anchor ? anchor->screen() : window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame(QPoint(), window->size().boundedTo(area.size()));
    frame.moveCenter(anchor ? anchor->frameGeometry().center() : area.center());
    frame.moveLeft(qBound(area.left(), frame.left(), area.right() + 1 - frame.width()));
    frame.moveTop(qBound(area.top(), frame.top(), area.bottom() + 1 - frame.height()));
    window->setScreen(screen);
    window->resize(frame.size());
    window->move(frame.topLeft());
}

} // namespace

HelpWindowComponent::~HelpWindowComponent()
{
    // Kept until the component is unloaded, which may come after the application is gone.
    if (QCoreApplication::instance())
        delete m_window.data();
}

void HelpWindowComponent::ShowHELP(qint32 &first, qint16 second, QString &topicClass,
                                   qint32 &serialFlag, QString &subSystemId, qint32 &last)
{
    // One page serves both modes and every sub-system; the other arguments select nothing.
    Q_UNUSED(first)
    Q_UNUSED(second)
    Q_UNUSED(serialFlag)
    Q_UNUSED(subSystemId)
    Q_UNUSED(last)
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return; // no widgets to show help with

    const QString language = contextLanguage();
    QString page = HelpPages::pagePath(topicClass, language);
    if (page.isEmpty())
        page = HelpPages::pagePath(HelpPages::defaultTopic(), language);

    QWidget *anchor = anchorWindow();
    const bool shown = m_window && m_window->isVisible();
    if (!m_window) {
        m_window = new QTextBrowser(anchor);
        m_window->setWindowFlags(Qt::Window);
        m_window->setObjectName(QStringLiteral("HelpWindow"));
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        m_window->setOpenExternalLinks(true);
        m_window->resize(Twips::toPixels(10800, m_window), Twips::toPixels(7800, m_window));
        auto *close = new QShortcut(QKeySequence::Cancel, m_window);
        QObject::connect(close, &QShortcut::activated, m_window, &QWidget::close);
    } else if (anchor && anchor != m_window && m_window->parentWidget() != anchor) {
        m_window->setParent(anchor, Qt::Window);
    }
    if (!shown) // a window the user has placed stays where it is
        placeOver(m_window, anchor);
    Language::applyFormFont(m_window);
    m_window->setSource(QUrl(QStringLiteral("qrc") + page));
    m_window->setWindowTitle(m_window->documentTitle());
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

namespace HelpKey {

namespace {
std::shared_ptr<HelpComponent> &helpComponent()
{
    static std::shared_ptr<HelpComponent> help;
    return help;
}
} // namespace

void show(qint32 keyCode, qint32 first, const QString &topicClass, qint32 serialFlag,
          const QString &subSystemId, qint32 last)
{
    constexpr qint32 helpKey = 112;
    if (keyCode != helpKey)
        return;
    if (!helpComponent())
        helpComponent() = createComponent<HelpComponent>(ComponentId::help());
    QString topic = topicClass;
    QString subSystem = subSystemId;
    helpComponent()->ShowHELP(first, 0, topic, serialFlag, subSystem, last);
}

void release()
{
    helpComponent().reset();
}

} // namespace HelpKey

namespace {
const DefaultComponent registration(ComponentId::help(),
                                    [] { return std::make_shared<HelpWindowComponent>(); });
} // namespace

} // namespace NxSerialFilter
