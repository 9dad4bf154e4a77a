// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

#include <functional>

class QAbstractItemView;
class QComboBox;
class QTableView;
class QWidget;

// Drives widgets with synthetic key, mouse and input-method events, as a user at the keyboard
// would; used by the walkthrough to work the real dialogs without a display.
namespace NxSerialFilter::Demo::Ui {

/// Lets posted events and zero-delay timers run.
void settle();

/// The widget that has the keyboard focus, else the active window, else the active modal.
QWidget *focusTarget();

void click(QWidget *widget);
void clickAt(QWidget *widget, const QPoint &pos);
void doubleClickAt(QWidget *widget, const QPoint &pos);
void key(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
/// A key sent to whatever has the focus at the moment.
void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
/// Types text into the focus: ASCII as key presses, anything else committed the way an input
/// method commits Chinese text.
void type(const QString &text, QWidget *target = nullptr);
/// Makes window the active window again. The offscreen platform does not give the activation
/// back to a dialog's parent when the dialog closes, as a window manager would.
bool activate(QWidget *window);

/// Clicks the cell (model row and column from 0) of a table view.
bool clickCell(QTableView *view, int row, int column);
/// The combo box that has the focus (an editable one gives the focus to its line edit).
QComboBox *focusedCombo();
/// Opens the focused combo's list with F4 and picks text with the arrow keys and Return.
bool pickInCombo(QComboBox *combo, const QString &text);

/// Calls handler with the next modal widget that is not `current`, as soon as it shows.
/// Gives up after timeoutMs and calls handler with nullptr.
void whenModalShows(QWidget *current, std::function<void(QWidget *)> handler, int timeoutMs = 5000);

/// Waits until condition holds or timeoutMs passed; returns whether it holds.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 3000);

} // namespace NxSerialFilter::Demo::Ui
