// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuewords.h"
#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QAccessible>
#include <QCalendarWidget>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

#include <array>
#include <functional>

namespace NxSerialFilter {

/// Maps a cell's kind to its editor: a drop-down list, a drop-down that takes typing, a line
/// edit or a whole-number edit. A date is typed into a line edit.
class NXSF_WIDGETS_AUTOTEST_EXPORT ConditionDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    /// A cell whose text is cut shows it whole in a tool tip.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
    /// Whether the grid refused the editor's text, as it still stands, with an alert.
    bool refused(const QWidget *editor) const;
    /// The row and the text of the last refusal.
    int refusedRow() const { return m_refusedRow; }
    const QString &refusedText() const { return m_refusedText; }

private:
    /// The editor for the cell's kind, unnamed.
    QWidget *editorOfKind(QWidget *parent, const QModelIndex &index) const;
    mutable QPointer<QWidget> m_refusedEditor;
    mutable QString m_refusedText;
    mutable int m_refusedRow = 0;
};

/// The grid as the dialog shows it: a cell also tells a screen reader its row, its column and
/// what it holds ("第2行 比较：大于或等于"). A value list's cell shows its first values and
/// their count, its tool tip the values line by line; what it holds stays the whole list.
class NXSF_WIDGETS_AUTOTEST_EXPORT ShownConditionGrid : public ConditionGrid
{
    Q_OBJECT
public:
    using ConditionGrid::ConditionGrid;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};

/// The condition grid's view (vspFilter). It reports the grid events the dialog handles:
/// leaving a cell and key down. Cell changes come from the model.
class NXSF_WIDGETS_AUTOTEST_EXPORT ConditionGridView : public QTableView
{
    Q_OBJECT
public:
    explicit ConditionGridView(QWidget *parent = nullptr);
    void setGrid(ConditionGrid *grid);
    ConditionGrid *grid() const { return m_grid; }
    /// Sets the column widths: the design-time ones for the view's screen, the logic and
    /// comparison columns widened to their longest word, the field column to its longest
    /// caption (at most twice its width), plus the extra width.
    void applyColumnWidths();
    /// Width in pixels beyond the designed one. It first pays for wordsOverflow(); the field
    /// and value columns share the rest.
    void setExtraWidth(int pixels);
    /// The day the calendar's weeks start on, as "this week" counts them.
    void setFirstDayOfWeek(Qt::DayOfWeek day) { m_firstDayOfWeek = day; }
    /// Pixels the grid needs beyond its designed width so that every word of the logic and
    /// comparison lists (in the current language and font) and every caption within the
    /// field column's cap shows whole, after the field and value columns have lent what they
    /// can spare.
    int wordsOverflow() const;
    /// Writes the text of an open cell editor to the grid and closes the editor, so that
    /// whatever reads the grid next sees what the screen shows. When the grid refuses the text
    /// (after its alert), the editor stays open with the focus in it and this returns false.
    bool commitOpenEditor();
    /// Passes a key pressed anywhere in the grid, its editors included, to keyDown. Returns
    /// true when the grid used the key itself (F7 or Alt+Down opening the calendar of a date
    /// cell), so that nothing else acts on it.
    bool raiseKeyDown(int key, Qt::KeyboardModifiers modifiers);
    /// Opens the calendar pop-up under the current cell when it is an unlocked date cell,
    /// after taking what an open editor shows. Enter or a click writes the picked date, Esc
    /// or a click elsewhere keeps the cell. Returns whether it opened.
    bool openDatePicker();
    /// The open calendar pop-up, or null.
    QCalendarWidget *datePicker() const { return m_datePicker; }

    /// Tells which values of a list pasted into a row its field's look-up does not hold.
    using ListChecker = std::function<QStringList(int row, const QStringList &values)>;
    void setListChecker(ListChecker checker) { m_listChecker = std::move(checker); }
    /// Replaces the values of the current cell, when it is an unlocked value list's, by those
    /// of text (a spreadsheet's column or any text: see splitPastedValues), after an open
    /// editor's text. Values the look-up does not know are listed in one question first.
    /// Returns whether the cell took them.
    bool pasteList(const QString &text);
    /// Whether row's value cell is an unlocked value list's.
    bool isListCell(int row) const;
    /// Opens the window that shows the current value list's values one per line (modal);
    /// its OK writes them back as a paste does. Returns whether it opened.
    bool openListWindow();

Q_SIGNALS:
    /// The current cell moves from (col, row) to (newCol, newRow).
    void leaveCell(int col, int row, int newCol, int newRow);
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    /// Values were pasted into a value list: message counts them and the repeats dropped.
    void listPasted(const QString &message);
    /// A typed date was refused: message names the row, and the date the cell kept once its
    /// editor has closed.
    void dateRefused(const QString &message);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected,
                          const QItemSelection &deselected) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void commitData(QWidget *editor) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    /// Tab moves by cell and leaves the grid after its last cell, Shift+Tab before its first.
    bool focusNextPrevChild(bool next) override;

private:
    /// Sends a screen reader the event of a cell, numbered as GridAccessible numbers it.
    void tellScreenReader(QAccessible::Event type, const QModelIndex &cell);
    /// The pixels a list column needs for its longest item and its header.
    int wordsWidth(int col) const;
    /// The width of every column (index 0 unused) for the current extra width.
    std::array<int, 8> columnWidths(int *overflow = nullptr) const;
    void fitRowsToFont();
    void followActiveCell(int row, int col);
    /// Whether Tab (next) or Shift+Tab would go round from the current cell.
    bool tabWraps(bool next);
    /// Writes values into row's value list after the checks of pasteList.
    bool takeList(int row, const PastedValues &pasted);
    ConditionGrid *m_grid = nullptr;
    ConditionDelegate *delegate() const;
    bool m_syncing = false;
    bool m_committing = false; // an alert over the editor takes its focus during a commit
    bool m_leaving = false;    // the current cell moves: a refused editor closes
    QString m_refusal;         // what a closed refused editor tells, once the move is done
    int m_extraWidth = 0;
    Qt::DayOfWeek m_firstDayOfWeek = Qt::Monday;
    QPointer<QCalendarWidget> m_datePicker;
    ListChecker m_listChecker;
};

} // namespace NxSerialFilter
