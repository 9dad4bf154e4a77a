// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/dialog/conditiontextline.h"

#include "core/conditions/conditiongrid.h"
#include "core/conditions/conditionrows.h"
#include "core/conditions/valuecells.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "widgets/conditions/gridediting.h"
#include <NxSerialFilter/compose.h>

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QCompleter>
#include <QKeyEvent>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStringListModel>
#include <QToolTip>

#include <algorithm>

namespace NxSerialFilter {

namespace {

/// The lines the line shows before it scrolls.
constexpr int maxLines = 3;

/// A condition is one line of words: line breaks pasted or typed are blanks.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar &ch : text) {
        if (ch == u'\n' || ch == u'\r' || ch == u'\t' || ch == QChar::ParagraphSeparator ||
            ch == QChar::LineSeparator)
            ch = u' ';
    }
    return text;
}

} // namespace

ConditionTextLine::ConditionTextLine(ConditionGrid &grid, ValueCells &values, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_grid(grid)
    , m_values(values)
    , m_completer(new QCompleter(this))
    , m_entries(new QStringListModel(this))
{
    setObjectName(QStringLiteral("ConditionText"));
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Undo is the grid's: a typing is one step of it, and Ctrl+Z here takes it back.
    setUndoRedoEnabled(false);
    document()->setDocumentMargin(2);
    // The reader finds the words; the list shows what it was given, unfiltered.
    m_completer->setModel(m_entries);
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setWidget(this);
    m_completer->setMaxVisibleItems(12);
    m_completer->popup()->setObjectName(QStringLiteral("ConditionTextCompletion"));
    connect(m_completer, qOverload<const QModelIndex &>(&QCompleter::activated), this,
            [this](const QModelIndex &entry) { choose(entry.row()); });
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_writing)
            edited();
    });
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &ConditionTextLine::checkLines);
    // Whatever changes the grid (a cell, undo, a scheme, a row command) rewrites the words,
    // once the change is whole.
    connect(&m_grid, &QAbstractItemModel::dataChanged, this, &ConditionTextLine::followLater);
    connect(&m_grid, &QAbstractItemModel::modelReset, this, &ConditionTextLine::followLater);
    connect(&m_grid, &QAbstractItemModel::rowsInserted, this, &ConditionTextLine::followLater);
    connect(&m_grid, &QAbstractItemModel::rowsRemoved, this, &ConditionTextLine::followLater);
}

QString ConditionTextLine::gridWords() const
{
    return compose(m_grid.catalog(), m_grid.condition(), SqlForm::words()).text;
}

void ConditionTextLine::followLater()
{
    if (std::exchange(m_followPending, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_followPending = false;
            followGrid();
        },
        Qt::QueuedConnection);
}

void ConditionTextLine::followGrid()
{
    const QString words = gridWords();
    // The grid holds what the user typed: the text stays as typed, the cursor where it is.
    if (words == m_gridWords)
        return;
    m_gridWords = words;
    {
        const QScopedValueRollback writing(m_writing, true);
        setPlainText(words);
    }
    moveCursor(QTextCursor::End);
    setFailure(std::nullopt);
}

void ConditionTextLine::edited()
{
    const QString text = toPlainText();
    const ConditionTextRead read = ConditionText::parse(m_grid.catalog(), text);
    if (read.ok()) {
        setFailure(std::nullopt);
        const Condition after =
            TypedCondition::merged(m_grid.catalog(), m_grid.condition(), read.condition);
        if (m_editing && !ConditionRows::sameShown(after, m_grid.condition()))
            m_editing->typed(after);
        m_gridWords = gridWords();
    } else {
        setFailure(read.failure);
    }
    // After the key's own work (a choice from the list hides it when done).
    if (hasFocus() && !std::exchange(m_completePending, true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_completePending = false;
                complete();
            },
            Qt::QueuedConnection);
    }
}

void ConditionTextLine::setFailure(std::optional<ConditionTextFailure> failure)
{
    // Marked anew at each key: the text moved under the old mark.
    const bool same = failure == m_failure;
    m_failure = std::move(failure);
    QList<QTextEdit::ExtraSelection> marks;
    if (m_failure) {
        // From where reading stopped to the end; at the end, the last character, so that
        // the mark shows.
        const int length = document()->characterCount() - 1;
        const int from = int(std::clamp<qsizetype>(m_failure->position, 0, length));
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(document());
        mark.cursor.setPosition(from < length ? from : std::max(0, length - 1));
        mark.cursor.setPosition(length, QTextCursor::KeepAnchor);
        mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        mark.format.setUnderlineColor(Qt::red);
        marks.append(mark);
    }
    setExtraSelections(marks);
    if (same)
        return;
    const QString message = m_failure ? m_failure->message() : QString();
    setToolTip(message);
    // A screen reader hears the description change: why the text does not read, or again
    // what the line is for.
    setAccessibleDescription(message.isEmpty() ? Language::text(Texts::a11yConditionTextHelp())
                                               : message);
    Q_EMIT failureChanged(message);
}

QStringList ConditionTextLine::offerAtCursor()
{
    const QString typed = toPlainText().left(textCursor().position());
    m_offer = TextCompletion::offer(m_grid.catalog(), typed,
                                    ConditionText::parse(m_grid.catalog(), typed));
    QStringList entries = m_offer.words;
    if (m_offer.lookUp)
        entries.append(Language::text(Texts::completeLookup()));
    return entries;
}

void ConditionTextLine::complete()
{
    QAbstractItemView *popup = m_completer->popup();
    const QStringList entries = hasFocus() ? offerAtCursor() : QStringList();
    if (entries.isEmpty()) {
        popup->hide();
        return;
    }
    m_entries->setStringList(entries);
    QRect at = cursorRect();
    at.setWidth(popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width() +
                2 * popup->frameWidth());
    m_completer->complete(at);
    popup->setCurrentIndex(m_completer->completionModel()->index(0, 0));
}

void ConditionTextLine::choose(int entry)
{
    QString word;
    if (entry >= 0 && entry < m_offer.words.size()) {
        word = m_offer.words.at(entry);
        if (m_offer.kind == TextCompletion::Offer::Kind::Values)
            word =
                TextCompletion::valueWords(m_grid.catalog(), m_offer.field, m_offer.compare, word);
    } else if (m_offer.lookUp) {
        const std::optional<QString> value = m_values.lookupValue(m_offer.field);
        activateWindow(); // the look-up window had the keys
        setFocus();
        if (!value)
            return;
        word = TextCompletion::valueWords(m_grid.catalog(), m_offer.field, m_offer.compare, *value);
    } else {
        return;
    }
    QTextCursor cursor = textCursor();
    const int end = cursor.position();
    const int from = int(std::min<qsizetype>(m_offer.from, end));
    // A word chosen right after the one before it ("数量" and 等于) is set apart from it, so
    // that two Latin words do not run into one.
    const QString text = toPlainText();
    if (from > 0 && !text.at(from - 1).isSpace() && text.at(from - 1) != u'(')
        word.prepend(u' ');
    cursor.setPosition(from);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.insertText(word + u' ');
    setTextCursor(cursor);
}

void ConditionTextLine::keyPressEvent(QKeyEvent *event)
{
    // While the list is open, these keys are the list's: the completer acts on them.
    if (m_completer->popup()->isVisible()) {
        switch (event->key()) {
        case Qt::Key_Enter:
        case Qt::Key_Return:
        case Qt::Key_Escape:
        case Qt::Key_Backtab:
            event->ignore();
            return;
        case Qt::Key_Tab:
            m_completer->popup()->hide();
            break;
        default:
            break;
        }
    }
    if (m_editing && event->matches(QKeySequence::Undo)) {
        m_editing->undo();
        return;
    }
    if (m_editing && event->matches(QKeySequence::Redo)) {
        m_editing->redo();
        return;
    }
    // One line: Enter is the dialog's (OK), not a line break. While the text does not read,
    // OK would take the grid's older condition for it: Enter tells why instead.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!m_failure) {
            event->ignore();
            return;
        }
        QToolTip::showText(mapToGlobal(cursorRect().bottomLeft()), toolTip(), this);
        QAccessibleEvent said(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&said);
        return;
    }
    if (event->key() == Qt::Key_F7 && event->modifiers() == Qt::NoModifier) {
        offerAtCursor();
        if (m_offer.lookUp)
            choose(int(m_offer.words.size()));
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ConditionTextLine::focusOutEvent(QFocusEvent *event)
{
    // Typing here again later is another step of the grid's undo.
    if (m_editing && !m_completer->popup()->isVisible())
        m_editing->endTyping();
    QPlainTextEdit::focusOutEvent(event);
}

void ConditionTextLine::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasText())
        insertPlainText(oneLine(source->text()));
}

void ConditionTextLine::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    // Grown to show every line, it shows them from the first: the line it kept in view
    // while it was lower is no longer the only one.
    if (document()->lineCount() <= maxLines)
        verticalScrollBar()->setValue(0);
}

int ConditionTextLine::lines() const
{
    return std::clamp(document()->lineCount(), 1, maxLines);
}

int ConditionTextLine::heightFor(int lines) const
{
    return lines * fontMetrics().lineSpacing() + int(2 * document()->documentMargin()) +
           2 * frameWidth();
}

void ConditionTextLine::checkLines()
{
    // The lines shown need no scroll bar; a longer text scrolls in its three.
    setVerticalScrollBarPolicy(document()->lineCount() > maxLines ? Qt::ScrollBarAsNeeded
                                                                  : Qt::ScrollBarAlwaysOff);
    const int now = lines();
    if (std::exchange(m_lines, now) != now)
        Q_EMIT linesChanged();
}

} // namespace NxSerialFilter
