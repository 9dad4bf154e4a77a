// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QObject>
#include <QPoint>
#include <QUndoStack>

#include <any>
#include <functional>

class QAction;
class QMenu;

namespace NxSerialFilter {

class ConditionGrid;
class ConditionGridView;

/// Undo and redo over the grid's condition, and the row commands (delete, insert, move, copy
/// and paste as scheme text lines) on keys and on the grid's context menu. Each step holds the
/// condition before and after a change; undo and redo put one back as a scheme load does.
/// The dialog reports each change the user made (record); an open cell editor is one change.
class NXSF_WIDGETS_AUTOTEST_EXPORT GridEditing : public QObject
{
    Q_OBJECT
public:
    /// Puts a condition into the grid with its value cells set up, as a scheme load does.
    using Apply = std::function<void(const Condition &)>;
    GridEditing(ConditionGridView &view, Apply apply, QObject *parent = nullptr);
    ~GridEditing() override;

    QUndoStack &stack() { return m_stack; }
    /// The context menu; its actions are named Undo, Redo, CopyRows, PasteRows, InsertRow,
    /// DeleteRow, MoveRowUp, MoveRowDown, ToggleRowOff and AskWhenRun.
    QMenu *menu() const { return m_menu; }

    /// What goes with a grid beyond its condition (the scheme it belongs to): kept with each
    /// step by keep and put back with it by restore.
    void setContext(std::function<std::any()> keep, std::function<void(const std::any &)> restore);

    /// What the grid holds now is where the user starts: nothing to undo.
    void reset();
    /// The user changed the grid at cell (row, col): one step back to what it held before,
    /// unless nothing but blank rows at its end changed.
    void record(int row, int col);

    /// The user typed the grid's condition elsewhere (the condition text line): after
    /// replaces the grid, the current cell staying. The changes of one typing, up to
    /// endTyping(), are one step.
    void typed(const Condition &after);
    /// The typing that typed() recorded has ended: the next typing is a step of its own.
    void endTyping() { ++m_typing; }

    void undo();
    void redo();
    void deleteRow();
    /// An empty row above the current one.
    void insertRow();
    /// The current row one up (by -1) or down (by 1).
    void moveRow(int by);
    /// The selected rows, or the current one, to the clipboard as scheme text lines.
    void copyRows();
    /// The clipboard's scheme text lines above the current row (after the rows in use when
    /// it is a blank one below them); any other text is refused with one alert and the grid
    /// stays as it was.
    void pasteRows();
    /// Switches the current row off, or on again; a blank row stays as it is.
    void toggleRowOff();
    /// Makes the current row's value a question asked when the condition runs (the field's
    /// caption), or a plain value again.
    void toggleAsked();

Q_SIGNALS:
    /// The grid was replaced by a condition (undo, redo or a row command).
    void applied();

private:
    class Step;
    ConditionGrid &grid() const;
    QAction *addAction(const char *name, const QList<QKeySequence> &keys,
                       void (GridEditing::*slot)());
    void retranslate();
    /// Takes what an open editor shows; false when the grid refused it.
    bool settle();
    /// Puts condition and its context back and makes cell (column, row) current.
    void restore(const Condition &condition, const std::any &context, QPoint cell);
    std::any context() const { return m_keepContext ? m_keepContext() : std::any(); }
    /// Applies after as one step, the current cell then at (row, col).
    void change(const Condition &after, int row, int col);
    bool eventFilter(QObject *watched, QEvent *event) override;

    ConditionGridView &m_view;
    Apply m_apply;
    QUndoStack m_stack;
    QMenu *m_menu;
    std::function<std::any()> m_keepContext;
    std::function<void(const std::any &)> m_restoreContext;
    Condition m_last; // the grid as last recorded
    std::any m_lastContext;
    bool m_applying = false;
    int m_typing = 0; // which typing the typed steps belong to
};

} // namespace NxSerialFilter
