// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/composer/textcompletion.h"
#include "core/conditions/typedcondition.h"
#include <NxSerialFilter/conditiontext.h>
#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QPlainTextEdit>

#include <optional>

class QCompleter;
class QStringListModel;

namespace NxSerialFilter {

class ConditionGrid;
class GridEditing;
class ValueCells;

/// The condition as words above the grid, kept in step with it: a change of the grid
/// rewrites the words; words typed that read replace the grid's condition (one undo step of
/// the grid per typing); words that do not read leave the grid as it is and are marked from
/// where reading stopped. Completion offers what the reader wants at the cursor. One line
/// that grows to three as the text wraps.
class NXSF_WIDGETS_AUTOTEST_EXPORT ConditionTextLine : public QPlainTextEdit
{
    Q_OBJECT
public:
    ConditionTextLine(ConditionGrid &grid, ValueCells &values, QWidget *parent = nullptr);
    /// The grid's undo, which typing here adds its steps to.
    void setEditing(GridEditing *editing) { m_editing = editing; }

    /// The lines the text takes at the present width, from 1 up to the 3 shown.
    int lines() const;
    /// The height that shows lines lines whole.
    int heightFor(int lines) const;
    /// Why the text does not read; nothing when it reads.
    const std::optional<ConditionTextFailure> &failure() const { return m_failure; }
    /// The completion list.
    QCompleter *completer() const { return m_completer; }
    /// Writes the words of the grid's condition, unless the text already says what the grid
    /// holds (the user's own words stay as typed).
    void followGrid();

Q_SIGNALS:
    /// The text wraps to another number of lines.
    void linesChanged();
    /// The text stopped reading (message: why and where) or reads again (empty).
    void failureChanged(const QString &message);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    /// The user changed the text: the grid follows when it reads.
    void edited();
    /// What completion offers at the cursor, into m_offer; the list's entries.
    QStringList offerAtCursor();
    /// Shows what completion offers at the cursor.
    void complete();
    /// Puts the entry chosen from the completion list in place of the word typed.
    void choose(int entry);
    void setFailure(std::optional<ConditionTextFailure> failure);
    /// The words of the grid's condition in the current language.
    QString gridWords() const;
    void followLater();
    void checkLines();

    ConditionGrid &m_grid;
    GridEditing *m_editing = nullptr;
    ValueCells &m_values;
    QCompleter *m_completer;
    QStringListModel *m_entries;
    TextCompletion::Offer m_offer; // what the completion list shows
    std::optional<ConditionTextFailure> m_failure;
    QString m_gridWords;    // the grid's words when the text last said what it holds
    bool m_writing = false; // the text is written here, not typed
    bool m_followPending = false;
    bool m_completePending = false;
    int m_lines = 1;
};

} // namespace NxSerialFilter
