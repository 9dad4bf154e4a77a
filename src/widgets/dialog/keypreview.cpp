// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/dialog/keypreview.h"

#include "core/host/keys.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/dialog/frmfilter.h"
#include "widgets/support/failurealert.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace NxSerialFilter {

KeyPreview::KeyPreview(frmFilter &form)
    : m_form(form)
{
    QCoreApplication::instance()->installEventFilter(this);
}

KeyPreview::~KeyPreview()
{
    // A host may hold its Filter beyond the application object.
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool KeyPreview::ownsWidget(const QObject *object) const
{
    if (!object->isWidgetType())
        return false;
    // The dialog's own pop-ups (menus, drop-down lists) belong to it; other windows opened
    // over it (the scheme name dialog, alerts, help) keep their keys to themselves.
    for (auto *w = static_cast<const QWidget *>(object); w; w = w->parentWidget()) {
        if (w == &m_form)
            return true;
        if (w->isWindow() && w->windowType() != Qt::Popup)
            return false;
    }
    return false;
}

bool KeyPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        m_lastKeyEvent = nullptr; // the press has been delivered
        return false;
    }
    if (event->type() != QEvent::KeyPress || !ownsWidget(watched))
        return false;
    return previewKey(watched, static_cast<QKeyEvent *>(event));
}

bool KeyPreview::previewKey(QObject *watched, QKeyEvent *key)
{
    // One key press is previewed once: a key the receiver ignored travels on to its parents,
    // and a key that opens a cell editor is handed on to that editor.
    const auto *widget = static_cast<QWidget *>(watched);
    if (key == m_lastKeyEvent && m_lastKeyReceiver && watched != m_lastKeyReceiver &&
        m_lastKeyReceiver->isWidgetType()) {
        const auto *last = static_cast<const QWidget *>(m_lastKeyReceiver.data());
        if (widget->isAncestorOf(last) || last->isAncestorOf(widget))
            return false;
    }
    m_lastKeyEvent = key;
    m_lastKeyReceiver = watched;

    // Ctrl+Tab leaves the grid, which keeps plain Tab for its cells.
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
        (key->modifiers() & Qt::ControlModifier)) {
        m_form.cycleFocus(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
        return true;
    }

    // Ctrl+L goes to the condition text line from anywhere in the dialog.
    if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_L)) {
        m_form.focusConditionText();
        return true;
    }

    // Neither the help key nor the grid's key handling has a handler of its own: a failure
    // ends that key's work with one alert and the dialog stays usable.
    alertOnFailure(
        [&] { m_form.Form_KeyDown(Keys::windowsKeyCode(key->key()), int(key->modifiers())); });
    ConditionGridView *grid = m_form.vspFilter();
    const bool inGrid = grid->isAncestorOf(widget) || widget == grid;
    bool used = false;
    if (inGrid)
        alertOnFailure([&] { used = grid->raiseKeyDown(key->key(), key->modifiers()); });
    if (used)
        return true;

    // The character filter follows the grid's active column, so it holds for typing into
    // the grid only: type-ahead in the scheme list must not lose its letters.
    if (!inGrid)
        return false;
    const QString text = key->text();
    if (text.size() == 1 && (text.at(0).unicode() >= 0x20 || text.at(0).unicode() == 8) &&
        text.at(0).unicode() != 0x7f) {
        if (m_form.Form_KeyPress(text.at(0).unicode()) == 0)
            return true; // discarded
    }
    return false;
}

} // namespace NxSerialFilter
