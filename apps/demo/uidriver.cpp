// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "uidriver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace NxSerialFilter::Demo::Ui {

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

QWidget *focusTarget()
{
    if (QWidget *w = QApplication::focusWidget())
        return w;
    if (QWidget *w = QApplication::activeModalWidget())
        return w;
    return QApplication::activeWindow();
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
    settle();
}

void clickAt(QWidget *widget, const QPoint &pos)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
    settle();
}

void doubleClickAt(QWidget *widget, const QPoint &pos)
{
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
    settle();
}

void key(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    if (!widget)
        return;
    QTest::keyClick(widget, key, modifiers);
    settle();
}

void key(Qt::Key k, Qt::KeyboardModifiers modifiers)
{
    key(focusTarget(), k, modifiers);
}

void type(const QString &text, QWidget *to)
{
    qsizetype i = 0;
    while (i < text.size()) {
        QWidget *target = to ? to : focusTarget();
        if (!target)
            return;
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            // Letters need the upper-case key code; the text carries the character itself.
            const auto code = Qt::Key(c.isLetter() ? c.toUpper().unicode() : c.unicode());
            QTest::sendKeyEvent(QTest::Click, target, code, QString(c), Qt::NoModifier);
            ++i;
        } else {
            qsizetype end = i;
            while (end < text.size() && text.at(end).unicode() >= 0x80)
                ++end;
            QInputMethodEvent commit;
            commit.setCommitString(text.mid(i, end - i));
            QCoreApplication::sendEvent(target, &commit);
            i = end;
        }
        settle();
    }
}

bool activate(QWidget *window)
{
    if (!window)
        return false;
    if (!window->isActiveWindow())
        window->activateWindow();
    return waitUntil([window] { return window->isActiveWindow(); }, 2000);
}

bool clickCell(QTableView *view, int row, int column)
{
    const QModelIndex index = view->model()->index(row, column);
    if (!index.isValid())
        return false;
    // Clicking the current cell again would start the view's delayed editing and swallow the
    // next key; a user would simply start typing.
    if (view->currentIndex() == index)
        return true;
    view->scrollTo(index);
    const QRect rect = view->visualRect(index);
    if (rect.isEmpty())
        return false;
    clickAt(view->viewport(), rect.center());
    return view->currentIndex() == index;
}

QComboBox *focusedCombo()
{
    for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (auto *combo = qobject_cast<QComboBox *>(w))
            return combo;
    }
    return nullptr;
}

bool pickInCombo(QComboBox *combo, const QString &text)
{
    if (!combo)
        return false;
    const int target = combo->findText(text, Qt::MatchExactly);
    if (target < 0)
        return false;
    key(combo, Qt::Key_F4);
    QAbstractItemView *list = combo->view();
    if (!list->isVisible())
        return false;
    key(list, Qt::Key_Home);
    for (int i = 0; i < target; ++i)
        key(list, Qt::Key_Down);
    key(list, Qt::Key_Return);
    return true;
}

void whenModalShows(QWidget *current, std::function<void(QWidget *)> handler, int timeoutMs)
{
    auto *timer = new QTimer;
    auto *clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, current, handler, timeoutMs] {
        QWidget *modal = QApplication::activeModalWidget();
        const bool shown = modal && modal != current && modal->isVisible();
        if (!shown && clock->elapsed() < timeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        handler(shown ? modal : nullptr);
    });
    timer->start();
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace NxSerialFilter::Demo::Ui
