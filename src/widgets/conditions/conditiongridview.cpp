// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "conditiongridview.h"

#include "conditions/conditiongrid.h"
#include "conditions/vocabulary.h"
#include "support/texts.h"
#include "support/twips.h"
#include <NxSerialFilter/nxalert.h>

#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QToolTip>
#include <QValidator>

namespace NxSerialFilter {

namespace {

QString editorText(const QWidget *editor)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(editor))
        return line->text();
    if (const auto *combo = qobject_cast<const QComboBox *>(editor))
        return combo->currentText();
    return {};
}

CellKind kindOf(const QModelIndex &index)
{
    return CellKind(index.data(ConditionGrid::KindRole).toInt());
}

/// Holds an editor's text to what its column accepts from the keyboard, so that text pasted
/// or dropped into the editor obeys the same rule as typed text.
class KeyRuleValidator : public QValidator
{
public:
    KeyRuleValidator(int col, bool wholeNumber, QObject *parent)
        : QValidator(parent)
        , m_col(col)
        , m_wholeNumber(wholeNumber)
    {}

    /// The text the editor starts with: it may hold what the rule refuses (a look-up value),
    /// and neither showing it nor typing beside it may take that away.
    void setOriginal(const QString &text) { m_last = text; }

    State validate(QString &input, int &pos) const override
    {
        // Each change is judged against the text before it, so the rule meets only what the
        // user typed or pasted.
        int cursor = pos;
        const QString kept = ConditionGrid::userEdit(m_col, m_last, input, true, &cursor);
        if (kept != input) {
            pos = cursor;
            input = kept;
        }
        State state = Acceptable;
        if (m_wholeNumber) {
            static const QRegularExpression typing(QStringLiteral("^-?\\d*$"));
            if (!typing.match(input).hasMatch())
                return Invalid;
            if (input.isEmpty() || input == u'-')
                state = Intermediate;
        }
        m_last = input;
        return state;
    }

private:
    int m_col;
    bool m_wholeNumber;
    mutable QString m_last; // the editor's text as last accepted
};

void startEditorWith(const QValidator *validator, const QString &text)
{
    if (auto *rule =
            const_cast<KeyRuleValidator *>(dynamic_cast<const KeyRuleValidator *>(validator)))
        rule->setOriginal(text);
}

} // namespace

QWidget *ConditionDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    Q_UNUSED(option)
    const int col = index.column() + 1;
    switch (kindOf(index)) {
    case CellKind::List:
    case CellKind::ListText: {
        auto *combo = new QComboBox(parent);
        combo->setEditable(kindOf(index) == CellKind::ListText);
        combo->setInsertPolicy(QComboBox::NoInsert);
        if (combo->isEditable())
            combo->setValidator(new KeyRuleValidator(col, false, combo));
        combo->addItems(index.data(ConditionGrid::ItemsRole).toStringList());
        if (!combo->isEditable()) {
            connect(combo, &QComboBox::activated, this, [this, combo] {
                auto *self = const_cast<ConditionDelegate *>(this);
                Q_EMIT self->commitData(combo);
                Q_EMIT self->closeEditor(combo);
            });
        }
        return combo;
    }
    case CellKind::Integer: {
        auto *edit = new QLineEdit(parent);
        edit->setValidator(new KeyRuleValidator(col, true, edit));
        return edit;
    }
    case CellKind::Date: // typed as text: a sectioned date editor would turn it into another day
    case CellKind::Text:
        break;
    }
    auto *edit = new QLineEdit(parent);
    edit->setValidator(new KeyRuleValidator(col, false, edit));
    return edit;
}

void ConditionDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        const int chosen = index.data(ConditionGrid::ComboIndexRole).toInt();
        combo->setCurrentIndex(chosen);
        if (combo->isEditable()) {
            startEditorWith(combo->validator(), text);
            combo->setEditText(text);
        }
    } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        startEditorWith(line->validator(), text);
        line->setText(text);
    }
}

void ConditionDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        if (combo->isEditable())
            model->setData(index, combo->currentText(), Qt::EditRole);
        else
            model->setData(index, combo->currentIndex(), ConditionGrid::ComboIndexRole);
    } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        // An editor opens only on a cell that takes edits: a date cell that refuses the text
        // was given no date, and the user must learn that it kept its value.
        m_refusedEditor = nullptr;
        if (!model->setData(index, line->text(), Qt::EditRole) && kindOf(index) == CellKind::Date) {
            m_refusedEditor = line;
            m_refusedText = line->text();
            nxAlert::ShowAlert(Vocabulary::rowMessage(index.row() + 1, Texts::impossibleDate()),
                               nxAlert::Information);
            // Without a window manager nothing gives the dialog back its activation, and the
            // user's next keys would go nowhere.
            line->activateWindow();
        }
    }
}

bool ConditionDelegate::refused(const QWidget *editor) const
{
    return editor && m_refusedEditor == editor && editorText(editor) == m_refusedText;
}

bool ConditionDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                  const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event && view && event->type() == QEvent::ToolTip && index.isValid()) {
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        const QStyle *style = view->style();
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view);
        if (!item.text.isEmpty() &&
            item.fontMetrics.horizontalAdvance(item.text) > text.width() - 2 * margin) {
            QToolTip::showText(event->globalPos(), item.text, view->viewport(),
                               view->visualRect(index));
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

ConditionGridView::ConditionGridView(QWidget *parent)
    : QTableView(parent)
{
    setObjectName(QStringLiteral("vspFilter"));
    setItemDelegate(new ConditionDelegate(this));
    verticalHeader()->hide(); // rows show no numbers
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(true);
    horizontalHeader()->setHighlightSections(false);
    fitRowsToFont();
}

void ConditionGridView::fitRowsToFont()
{
    // A spreadsheet row: one line of text and the frame of its editor, not the style's
    // roomier default.
    const int height = fontMetrics().height() + 6;
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
}

void ConditionGridView::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitRowsToFont();
        applyColumnWidths();
    }
}

void ConditionGridView::setGrid(ConditionGrid *grid)
{
    m_grid = grid;
    setModel(grid);
    connect(grid, &ConditionGrid::activeCellChanged, this, &ConditionGridView::followActiveCell);
    connect(grid, &QAbstractItemModel::modelReset, this, &ConditionGridView::applyColumnWidths);
    applyColumnWidths();
    followActiveCell(grid->activeRow(), grid->activeCol());
}

int ConditionGridView::wordsWidth(int col) const
{
    // A cell draws its text inside a focus-frame margin on each side, the grid line after it.
    const int cellMargin =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 1;
    int widest = 0;
    for (const QString &item : m_grid->columnItems(col))
        widest = std::max(widest, fontMetrics().horizontalAdvance(item) + cellMargin);
    const QHeaderView *header = horizontalHeader();
    const int headerMargin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 1;
    const QString title = m_grid->GetCellText(0, col);
    return std::max(widest, header->fontMetrics().horizontalAdvance(title) + headerMargin);
}

std::array<int, 8> ConditionGridView::columnWidths(int *overflow) const
{
    static_assert(ConditionGrid::ColumnCount == 7);
    std::array<int, 8> widths{};
    for (int col = 1; col <= ConditionGrid::ColumnCount; ++col)
        widths[size_t(col)] = Twips::toPixels(ConditionGrid::columnWidthTwips(col), this);
    // The words of the fixed lists decide their columns: a cut "Greater than or equal to"
    // cannot be told from "Greater than".
    int needed = 0;
    for (int col : {int(ConditionGrid::ColLogic), int(ConditionGrid::ColCompare)}) {
        const int words = wordsWidth(col);
        needed += std::max(0, words - widths[size_t(col)]);
        widths[size_t(col)] = std::max(widths[size_t(col)], words);
    }
    // The field and value columns lend a little, so that the designed size holds where the
    // words are only a little longer; the dialog grows for the rest.
    constexpr int lendPercent = 15;
    const int field = ConditionGrid::ColField;
    const int value = ConditionGrid::ColValue;
    const int lendable = (widths[size_t(field)] + widths[size_t(value)]) * lendPercent / 100;
    const int lent = std::min(needed, lendable);
    const int over = needed - lent;
    const int spare = std::max(0, m_extraWidth - over) - lent;
    widths[size_t(field)] += spare / 2;
    widths[size_t(value)] += spare - spare / 2;
    if (overflow)
        *overflow = over;
    return widths;
}

int ConditionGridView::wordsOverflow() const
{
    int overflow = 0;
    if (m_grid)
        columnWidths(&overflow);
    return overflow;
}

void ConditionGridView::applyColumnWidths()
{
    if (!m_grid)
        return;
    const std::array<int, 8> widths = columnWidths();
    for (int col = 1; col <= ConditionGrid::ColumnCount; ++col) {
        const bool hidden = ConditionGrid::columnWidthTwips(col) == 0;
        setColumnHidden(col - 1, hidden);
        if (!hidden)
            setColumnWidth(col - 1, widths[size_t(col)]);
    }
}

void ConditionGridView::setExtraWidth(int pixels)
{
    if (pixels == m_extraWidth)
        return;
    m_extraWidth = std::max(0, pixels);
    applyColumnWidths();
}

ConditionDelegate *ConditionGridView::delegate() const
{
    return static_cast<ConditionDelegate *>(itemDelegate());
}

bool ConditionGridView::commitOpenEditor()
{
    if (state() != QAbstractItemView::EditingState)
        return true;
    QWidget *editor = indexWidget(currentIndex());
    if (!editor)
        return true;
    commitData(editor);
    if (delegate()->refused(editor)) {
        editor->setFocus();
        return false;
    }
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void ConditionGridView::commitData(QWidget *editor)
{
    // The user has been told about this text already; the alert's own focus change and a
    // second way of ending the same edit must not tell again.
    if (m_committing || delegate()->refused(editor))
        return;
    const QScopedValueRollback busy(m_committing, true);
    QTableView::commitData(editor);
}

void ConditionGridView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (m_committing)
        return;
    // A refused text stays on screen to be corrected, unless the user moves on or gives up.
    const bool refused = delegate()->refused(editor);
    if (!m_leaving && hint != QAbstractItemDelegate::RevertModelCache && refused) {
        editor->setFocus();
        return;
    }
    QTableView::closeEditor(editor, hint);
    // The alert took the focus from the editor: it comes back to the grid, not to the next
    // button in line, where Enter would press OK.
    if (refused)
        setFocus();
}

void ConditionGridView::raiseKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // A value written by the key's handling must not be overwritten by an open editor.
    if (key == Qt::Key_F7)
        commitOpenEditor();
    Q_EMIT keyDown(key, modifiers);
}

void ConditionGridView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    {
        const QScopedValueRollback leaving(m_leaving, true);
        QTableView::currentChanged(current, previous);
    }
    if (m_syncing || !m_grid || !current.isValid())
        return;
    const int row = m_grid->activeRow();
    const int col = m_grid->activeCol();
    m_syncing = true;
    m_grid->setActiveCell(current.row() + 1, current.column() + 1);
    m_syncing = false;
    Q_EMIT leaveCell(col, row, current.column() + 1, current.row() + 1);
}

void ConditionGridView::keyPressEvent(QKeyEvent *event)
{
    QTableView::keyPressEvent(event);
    // Enter ends an edit in the grid, its editors included; it must not travel on to the
    // dialog's default button and close the dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        event->accept();
}

void ConditionGridView::followActiveCell(int row, int col)
{
    if (m_syncing || !m_grid)
        return;
    m_syncing = true;
    setCurrentIndex(m_grid->index(row - 1, col - 1));
    m_syncing = false;
}

} // namespace NxSerialFilter
