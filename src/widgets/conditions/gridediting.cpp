// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/conditions/gridediting.h"

#include "core/conditions/conditiongrid.h"
#include "core/conditions/conditionrows.h"
#include "core/conditions/offrows.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/conditions/valuepicker.h"
#include <NxSerialFilter/limits.h>
#include <NxSerialFilter/nxalert.h>
#include <NxSerialFilter/schemetext.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QScopedValueRollback>

#include <set>

namespace NxSerialFilter {

namespace {

/// Enough to go back over a session's work; each step holds a whole condition.
constexpr int undoLimit = 100;

/// Rows a pasted text may bring: a field of this dialog on each, and no word it cannot read.
bool pastable(const SchemeText::Parsed &parsed)
{
    if (!parsed.ok() || !parsed.problems.isEmpty() || parsed.condition.isEmpty())
        return false;
    for (const ConditionRow &row : parsed.condition) {
        if (row.field < 1 || !row.unmatched.logic.isEmpty() || !row.unmatched.compare.isEmpty())
            return false;
    }
    return true;
}

void alertTooManyRows()
{
    nxAlert::ShowAlert(Language::text(Texts::schemeTooManyRows()) +
                           QString::number(Limits::MaxSchemeRows),
                       nxAlert::Information);
}

/// A clipboard text as scheme text lines: a mail or an editor may have made them LF lines and
/// added a line break at the end.
QString schemeLines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (text.endsWith(u'\n'))
        text.chop(1);
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

} // namespace

/// One change of the grid: the condition before and after it, and the cell that is current
/// when either is put back.
class GridEditing::Step : public QUndoCommand
{
public:
    struct State
    {
        Condition condition;
        std::any context;
        QPoint cell; // (column, row)
    };
    /// typing: the typing a step of typed() belongs to, -1 for any other step.
    Step(GridEditing &owner, State before, State after, int typing = -1)
        : m_owner(owner)
        , m_before(std::move(before))
        , m_after(std::move(after))
        , m_typing(typing)
    {}
    int id() const override { return m_typing < 0 ? -1 : typingId; }
    bool mergeWith(const QUndoCommand *other) override
    {
        // The keys of one typing are one step; one that came back to where it began is none.
        const auto *next = static_cast<const Step *>(other);
        if (next->m_typing != m_typing)
            return false;
        m_after = next->m_after;
        setObsolete(ConditionRows::sameShown(m_before.condition, m_after.condition));
        return true;
    }
    void undo() override { m_owner.restore(m_before.condition, m_before.context, m_before.cell); }
    void redo() override
    {
        // Pushed after the change was made: only a later redo puts it back.
        if (!std::exchange(m_done, false))
            m_owner.restore(m_after.condition, m_after.context, m_after.cell);
    }

private:
    GridEditing &m_owner;
    State m_before;
    State m_after;
    int m_typing;
    bool m_done = true;
    static constexpr int typingId = 1;
};

GridEditing::GridEditing(ConditionGridView &view, Apply apply, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_apply(std::move(apply))
    , m_menu(new QMenu(&view))
{
    m_stack.setUndoLimit(undoLimit);
    m_menu->setObjectName(QStringLiteral("GridMenu"));
    const auto key = [](QKeyCombination combination) { return QKeySequence(combination); };
    QAction *undo = addAction("Undo", {key(Qt::CTRL | Qt::Key_Z)}, &GridEditing::undo);
    QAction *redo =
        addAction("Redo", {key(Qt::CTRL | Qt::Key_Y), key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
                  &GridEditing::redo);
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(&m_stack, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&m_stack, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    m_menu->addSeparator();
    addAction("CopyRows", {key(Qt::CTRL | Qt::Key_C)}, &GridEditing::copyRows);
    addAction("PasteRows", {key(Qt::CTRL | Qt::Key_V)}, &GridEditing::pasteRows);
    m_menu->addSeparator();
    addAction("InsertRow", {key(Qt::CTRL | Qt::Key_Insert)}, &GridEditing::insertRow);
    addAction("DeleteRow", {key(Qt::CTRL | Qt::Key_Delete)}, &GridEditing::deleteRow);
    connect(addAction("MoveRowUp", {key(Qt::ALT | Qt::Key_Up)}, nullptr), &QAction::triggered, this,
            [this] { moveRow(-1); });
    connect(addAction("MoveRowDown", {key(Qt::ALT | Qt::Key_Down)}, nullptr), &QAction::triggered,
            this, [this] { moveRow(1); });
    m_menu->addSeparator();
    addAction("ToggleRowOff", {key(Qt::CTRL | Qt::Key_Slash)}, &GridEditing::toggleRowOff);
    addAction("AskWhenRun", {}, &GridEditing::toggleAsked)->setCheckable(true);
    // Rows are copied as a block: Shift with the arrows or the mouse selects several.
    view.setSelectionMode(QAbstractItemView::ContiguousSelection);
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { m_menu->popup(m_view.viewport()->mapToGlobal(at)); });
    connect(m_menu, &QMenu::aboutToShow, this, &GridEditing::retranslate);
    ValuePicker::addToMenu(*this, view);
    view.installEventFilter(this);
}

GridEditing::~GridEditing() = default;

ConditionGrid &GridEditing::grid() const
{
    return *m_view.grid();
}

QAction *GridEditing::addAction(const char *name, const QList<QKeySequence> &keys,
                                void (GridEditing::*slot)())
{
    auto *action = new QAction(&m_view);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    // Only while the grid itself has the focus: an open editor keeps its own keys (its undo,
    // its copy and paste, Alt+Down of a drop-down).
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setShortcutVisibleInContextMenu(true);
    m_view.addAction(action);
    m_menu->addAction(action);
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    return action;
}

void GridEditing::retranslate()
{
    const struct
    {
        const char *name;
        QString (*text)();
    } texts[] = {{"Undo", Texts::gridUndo},           {"Redo", Texts::gridRedo},
                 {"CopyRows", Texts::gridCopyRows},   {"PasteRows", Texts::gridPasteRows},
                 {"InsertRow", Texts::gridInsertRow}, {"DeleteRow", Texts::gridDeleteRow},
                 {"MoveRowUp", Texts::gridMoveRowUp}, {"MoveRowDown", Texts::gridMoveRowDown}};
    for (const auto &entry : texts) {
        if (auto *action = m_view.findChild<QAction *>(QString::fromLatin1(entry.name)))
            action->setText(Language::text(entry.text()));
    }
    // The row commands that say what they will do to the current row.
    const ConditionRow &row = grid().condition().at(grid().activeRow() - 1);
    if (auto *off = m_view.findChild<QAction *>(QStringLiteral("ToggleRowOff")))
        off->setText(Language::text(row.off ? Texts::gridRowOn() : Texts::gridRowOff()));
    if (auto *ask = m_view.findChild<QAction *>(QStringLiteral("AskWhenRun"))) {
        ask->setText(Language::text(Texts::gridAskWhenRun()));
        ask->setChecked(row.value.kind() == ValueKind::Asked);
        ask->setEnabled(grid().activeCol() == ConditionGrid::ColValue && row.field > 0 &&
                        !grid().isLocked(grid().activeRow(), ConditionGrid::ColValue));
    }
}

bool GridEditing::eventFilter(QObject *watched, QEvent *event)
{
    // Alt+Down on a date cell opens its calendar; the row moves from every other cell.
    if (watched == &m_view && event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->keyCombination() == QKeyCombination(Qt::ALT, Qt::Key_Down) &&
            grid().cellKind(grid().activeRow(), grid().activeCol()) == CellKind::Date) {
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void GridEditing::setContext(std::function<std::any()> keep,
                             std::function<void(const std::any &)> restore)
{
    m_keepContext = std::move(keep);
    m_restoreContext = std::move(restore);
    m_lastContext = context();
}

void GridEditing::reset()
{
    m_stack.clear();
    m_last = grid().condition();
    m_lastContext = context();
}

void GridEditing::record(int row, int col)
{
    if (m_applying)
        return;
    const Condition &now = grid().condition();
    std::any nowContext = context();
    if (!ConditionRows::sameShown(now, m_last)) {
        const QPoint cell(col, row);
        m_stack.push(new Step(*this, {m_last, m_lastContext, cell}, {now, nowContext, cell}));
    }
    // Also without a step: a save between two changes makes the grid another scheme's.
    m_last = now;
    m_lastContext = std::move(nowContext);
}

bool GridEditing::settle()
{
    if (!m_view.commitOpenEditor())
        return false;
    // A change that reached the grid without an event of its own is a step of its own.
    record(grid().activeRow(), grid().activeCol());
    return true;
}

void GridEditing::undo()
{
    endTyping();
    if (settle())
        m_stack.undo();
}

void GridEditing::redo()
{
    endTyping();
    if (settle())
        m_stack.redo();
}

void GridEditing::restore(const Condition &condition, const std::any &context, QPoint cell)
{
    {
        const QScopedValueRollback applying(m_applying, true);
        m_apply(condition);
        if (m_restoreContext && context.has_value())
            m_restoreContext(context);
        m_last = grid().condition();
        m_lastContext = this->context();
        const int row = std::clamp(cell.y(), 1, grid().MaxRows());
        int col = std::clamp(cell.x(), 1, int(ConditionGrid::ColumnCount));
        while (col > 1 && m_view.isColumnHidden(col - 1))
            --col;
        m_view.setCurrentIndex(grid().index(row - 1, col - 1));
    }
    Q_EMIT applied();
}

void GridEditing::change(const Condition &after, int row, int col)
{
    Step::State before{m_last, m_lastContext, QPoint(grid().activeCol(), grid().activeRow())};
    restore(after, m_lastContext, QPoint(col, row));
    m_stack.push(new Step(*this, std::move(before), {m_last, m_lastContext, QPoint(col, row)}));
}

void GridEditing::typed(const Condition &after)
{
    const QPoint cell(grid().activeCol(), grid().activeRow());
    Step::State before{m_last, m_lastContext, cell};
    restore(after, m_lastContext, cell);
    m_stack.push(new Step(*this, std::move(before), {m_last, m_lastContext, cell}, m_typing));
}

void GridEditing::deleteRow()
{
    if (!settle())
        return;
    Condition after = grid().condition();
    if (ConditionRows::deleteRow(after, grid().activeRow()))
        change(after, grid().activeRow(), grid().activeCol());
}

void GridEditing::insertRow()
{
    if (!settle())
        return;
    Condition after = grid().condition();
    if (ConditionRows::insertRows(after, grid().activeRow()))
        change(after, grid().activeRow(), grid().activeCol());
    else
        alertTooManyRows();
}

void GridEditing::moveRow(int by)
{
    if (!settle())
        return;
    Condition after = grid().condition();
    if (ConditionRows::moveRow(after, grid().activeRow(), by))
        change(after, grid().activeRow() + by, grid().activeCol());
}

void GridEditing::toggleRowOff()
{
    if (!settle())
        return;
    Condition after = grid().condition();
    const int row = grid().activeRow();
    // A blank row has nothing to leave out.
    if (ConditionRows::isBlank(after.at(row - 1)))
        return;
    RunFacts::setOff(after[row - 1], !after.at(row - 1).off);
    change(after, row, grid().activeCol());
}

void GridEditing::toggleAsked()
{
    if (!settle())
        return;
    Condition after = grid().condition();
    const int row = grid().activeRow();
    ConditionRow &r = after[row - 1];
    if (r.field <= 0 || grid().isLocked(row, ConditionGrid::ColValue))
        return;
    // The question is the field's caption until the user words it otherwise.
    if (r.value.kind() == ValueKind::Asked)
        RunFacts::setQuestion(r, QString(), rowValueKind(grid().catalog(), r.field, r.compare));
    else
        RunFacts::setQuestion(r, grid().catalog().caption(r.field), ValueKind::Asked);
    change(after, row, ConditionGrid::ColValue);
}

void GridEditing::copyRows()
{
    if (!settle())
        return;
    std::set<int> rows;
    for (const QModelIndex &cell : m_view.selectionModel()->selectedIndexes())
        rows.insert(cell.row() + 1);
    if (rows.empty())
        rows.insert(grid().activeRow());
    Condition copied;
    for (const int row : rows) {
        const ConditionRow &shown = grid().condition().at(row - 1);
        if (!ConditionRows::isBlank(shown))
            copied.append(shown);
    }
    if (!copied.isEmpty())
        QApplication::clipboard()->setText(SchemeText::write(copied, grid().catalog()));
}

void GridEditing::pasteRows()
{
    // A value list's cell takes the clipboard as its values: a column of serial numbers is
    // no rows of a scheme.
    if (grid().activeCol() == ConditionGrid::ColValue && m_view.isListCell(grid().activeRow())) {
        m_view.pasteList(QApplication::clipboard()->text());
        return;
    }
    if (!settle())
        return;
    const SchemeText::Parsed parsed =
        SchemeText::parse(schemeLines(QApplication::clipboard()->text()), grid().catalog());
    if (!parsed.ok()) {
        nxAlert::ShowAlert(parsed.refusal, nxAlert::Information);
        return;
    }
    if (!pastable(parsed)) {
        nxAlert::ShowAlert(Language::text(Texts::pasteNoRows()), nxAlert::Information);
        return;
    }
    Condition after = grid().condition();
    // Pasted among the blank rows at the end, the rows join the rows in use: below a blank
    // row they would be no part of the condition.
    const int row =
        std::min(grid().activeRow(), int(ConditionRows::withoutBlankEnd(after).size()) + 1);
    if (!ConditionRows::insertRows(after, row, parsed.condition.rows())) {
        alertTooManyRows();
        return;
    }
    change(after, row, grid().activeCol());
}

} // namespace NxSerialFilter
