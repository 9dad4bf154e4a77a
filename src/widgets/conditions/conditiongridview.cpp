// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/conditions/conditiongridview.h"

#include "core/composer/questions.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/datetext.h"
#include "core/conditions/fieldlist.h"
#include "core/conditions/valuecells.h"
#include "core/conditions/valuewords.h"
#include "core/conditions/vocabulary.h"
#include "core/language/languagestate.h"
#include "core/language/qttranslations.h"
#include "core/text/texts.h"
#include "widgets/conditions/datepopup.h"
#include "widgets/conditions/gridaccessible.h"
#include "widgets/conditions/valuelistwindow.h"
#include "widgets/conditions/valuepicker.h"
#include "widgets/support/failurealert.h"
#include "widgets/support/twips.h"
#include <NxSerialFilter/limits.h>
#include <NxSerialFilter/nxalert.h>

#include <QAbstractProxyModel>
#include <QAccessible>
#include <QApplication>
#include <QBoxLayout>
#include <QCalendarWidget>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStringListModel>
#include <QStyle>
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

/// The field cell's editor: a host may describe thousands of fields, so typing filters the
/// drop-down list to the captions that hold the typed text (letter case ignored). Enter takes
/// the one picked in that list, else the caption typed in full, else the first one listed;
/// an edit ended otherwise does the same, and text that names no field changes nothing.
/// Chinese captions are found by their characters only: Qt's collation gives no pinyin.
class FieldCombo : public QComboBox
{
public:
    FieldCombo(const QStringList &captions, QWidget *parent)
        : QComboBox(parent)
    {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        // One model shared by the list and the filter; a string list fills in one step.
        setModel(new QStringListModel(captions, this));
        m_filter = new QCompleter(model(), this);
        m_filter->setFilterMode(Qt::MatchContains);
        m_filter->setCaseSensitivity(Qt::CaseInsensitive);
        m_filter->setCompletionMode(QCompleter::PopupCompletion);
        m_filter->setMaxVisibleItems(12);
        setCompleter(m_filter);
        // One line per caption: the lists need not measure thousands of rows to lay them out.
        for (QAbstractItemView *list : {m_filter->popup(), view()}) {
            if (auto *lines = qobject_cast<QListView *>(list))
                lines->setUniformItemSizes(true);
        }
        // Installed after the completer's own filter, so it sees Enter first.
        m_filter->popup()->installEventFilter(this);
        // A caption cut in its middle ("Docum…umber") reads as no word: the list is as wide as
        // its longest caption, and a caption wider than the screen is cut at its end.
        view()->setTextElideMode(Qt::ElideRight);
        int widest = 0;
        for (const QString &caption : captions)
            widest = std::max(widest, view()->fontMetrics().horizontalAdvance(caption));
        const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) +
                            2 * view()->frameWidth() +
                            style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        view()->setMinimumWidth(widest + margins);
    }

    /// The list position the typed text leads to, or -1 when it leads nowhere: the shown
    /// item itself, a caption equal to the text, or the first that holds it.
    int chosenRow() const
    {
        const QString typed = currentText();
        if (typed.isEmpty()) // "(无)" holds "" too, and would delete the row
            return -1;
        if (currentIndex() >= 0 && itemText(currentIndex()) == typed)
            return currentIndex();
        const QStringList captions = static_cast<QStringListModel *>(model())->stringList();
        int first = -1;
        for (int row = 0; row < captions.size(); ++row) {
            const QString &caption = captions.at(row);
            if (caption.compare(typed, Qt::CaseInsensitive) == 0)
                return row;
            if (first < 0 && FieldList::captionFound(caption, typed))
                first = row;
        }
        return first;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_filter->popup() && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                const QModelIndex listed = m_filter->popup()->currentIndex();
                m_filter->popup()->hide();
                take(listed.isValid() ? sourceRow(listed) : chosenRow());
                return true;
            }
        }
        return QComboBox::eventFilter(watched, event);
    }

private:
    int sourceRow(const QModelIndex &listed) const
    {
        const auto *proxy = qobject_cast<const QAbstractProxyModel *>(listed.model());
        return proxy ? proxy->mapToSource(listed).row() : listed.row();
    }

    /// Shows the row and hands it to the grid, as a choice from the drop-down list does.
    void take(int row)
    {
        if (row < 0)
            return;
        setCurrentIndex(row);
        setEditText(itemText(row));
        Q_EMIT activated(row);
    }

    QCompleter *m_filter;
};

/// What of a pasted text a value cell takes: the characters its key rule lets through.
QString valueKeysOnly(QString text)
{
    text.removeIf(
        [](QChar ch) { return Vocabulary::keptKey(ch.unicode(), ConditionGrid::ColValue) == 0; });
    return text;
}

void startEditorWith(const QValidator *validator, const QString &text)
{
    if (auto *rule =
            const_cast<KeyRuleValidator *>(dynamic_cast<const KeyRuleValidator *>(validator)))
        rule->setOriginal(text);
}

} // namespace

QVariant ShownConditionGrid::data(const QModelIndex &index, int role) const
{
    const bool off = index.isValid() && index.model() == this && condition().at(index.row()).off;
    if (off && role == Qt::ForegroundRole) // greyed, and struck through for more than colour
        return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    if (off && role == Qt::FontRole) {
        QFont struck;
        struck.setStrikeOut(true);
        return struck;
    }
    const bool shown =
        role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole;
    if (!shown || !index.isValid())
        return ConditionGrid::data(index, role);
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    const bool list = ConditionGrid::data(index, ValueListRole).toBool();
    const ConditionRow &r = condition().at(row - 1);
    const QString text = col == ColValue && r.value.kind() == ValueKind::Asked
                             ? Language::text(Texts::askedValue()).arg(Questions::of(catalog(), r))
                             : GetCellText(row, col);
    if (role == Qt::ToolTipRole) {
        // Several values to a line, so that a long list shows whole; a list of 100,000 would
        // make a tip taller than any screen, so past 40 lines it says how many there are.
        constexpr qsizetype toolTipLines = 40;
        constexpr qsizetype toolTipLineWidth = 60;
        return list && !text.isEmpty() ? QVariant(listLines(text, toolTipLines, toolTipLineWidth))
                                       : ConditionGrid::data(index, role);
    }
    // Another field compared with shows in brackets: it reads as no value typed.
    const QString seen = ConditionGrid::data(index, ValueFieldRole).isValid()
                             ? Language::text(Texts::fieldValueCell()).arg(text)
                         : list ? listSummary(text)
                                : text;
    if (role == Qt::DisplayRole)
        return seen;
    // One pass over the pattern: a cell's text may hold anything a marker looks like.
    const QString said =
        Language::text(Texts::cellName()).arg(QString::number(row), GetCellText(0, col), seen);
    return off ? Language::text(Texts::cellOfRowOff()).arg(said) : said;
}

QWidget *ConditionDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    Q_UNUSED(option)
    QWidget *editor = editorOfKind(parent, index);
    // The editor stands for its cell: a screen reader keeps the row and the column.
    const QString name =
        Language::text(Texts::editorName())
            .arg(QString::number(index.row() + 1),
                 index.model()->headerData(index.column(), Qt::Horizontal).toString());
    editor->setAccessibleName(name);
    if (auto *combo = qobject_cast<QComboBox *>(editor); combo && combo->lineEdit())
        combo->lineEdit()->setAccessibleName(name);
    return editor;
}

QWidget *ConditionDelegate::editorOfKind(QWidget *parent, const QModelIndex &index) const
{
    const int col = index.column() + 1;
    switch (kindOf(index)) {
    case CellKind::List:
    case CellKind::ListText: {
        const auto commitOnChoice = [this](QComboBox *combo) {
            connect(combo, &QComboBox::activated, this, [this, combo] {
                auto *self = const_cast<ConditionDelegate *>(this);
                Q_EMIT self->commitData(combo);
                Q_EMIT self->closeEditor(combo);
            });
        };
        if (col == ConditionGrid::ColField) {
            auto *combo =
                new FieldCombo(index.data(ConditionGrid::ItemsRole).toStringList(), parent);
            commitOnChoice(combo);
            return combo;
        }
        auto *combo = new QComboBox(parent);
        combo->setEditable(kindOf(index) == CellKind::ListText);
        combo->setInsertPolicy(QComboBox::NoInsert);
        if (combo->isEditable())
            combo->setValidator(new KeyRuleValidator(col, false, combo));
        combo->addItems(index.data(ConditionGrid::ItemsRole).toStringList());
        if (!combo->isEditable())
            commitOnChoice(combo);
        return combo;
    }
    case CellKind::Integer: {
        if (index.data(ConditionGrid::ValueListRole).toBool())
            break; // whole numbers separated by ","
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
        if (dynamic_cast<FieldCombo *>(combo)) {
            combo->lineEdit()->selectAll(); // typing starts a new search
        } else if (combo->isEditable()) {
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
    if (const auto *field = dynamic_cast<FieldCombo *>(editor)) {
        const int row = field->chosenRow();
        if (row >= 0) // text that names no field leaves the cell as it was
            model->setData(index, row, ConditionGrid::ComboIndexRole);
    } else if (auto *combo = qobject_cast<QComboBox *>(editor)) {
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
            m_refusedRow = index.row() + 1;
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
    // A cell with a tool tip of its own (a value list's values) shows that one.
    if (event && view && event->type() == QEvent::ToolTip && index.isValid() &&
        !index.data(Qt::ToolTipRole).isValid()) {
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
    // A screen reader meets the columns shown, not the hidden value code column.
    static const bool accessible = (QAccessible::installFactory(&GridAccessible::create), true);
    Q_UNUSED(accessible)
    setItemDelegate(new ConditionDelegate(this));
    verticalHeader()->hide(); // rows show no numbers
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(true);
    // Rows are one line high: a wrapped "(1000) A1, A2, A3 …" showed its first word and the
    // ellipsis only.
    setWordWrap(false);
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
    // As the style measures a cell of the word (its margins, the text's fractional width
    // rounded up), the grid line beside it: a pixel less and the style cuts the word.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    int widest = 0;
    for (const QString &item : m_grid->columnItems(col)) {
        option.text = item;
        const QSize cell = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, {}, this);
        widest = std::max(widest, cell.width() + 1);
    }
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
    // The captions are the host's: the field column takes the longest, up to twice its
    // designed width, so that "Date received" does not read "Date ...".
    const int field = ConditionGrid::ColField;
    const int value = ConditionGrid::ColValue;
    const int fieldShort =
        std::clamp(wordsWidth(field), widths[size_t(field)], 2 * widths[size_t(field)]) -
        widths[size_t(field)];
    // The field and value columns lend a little, so that the designed size holds where the
    // words are only a little longer; the dialog grows for the rest. When it grows for the
    // captions anyway, nothing is lent: a narrower value column would cut a date.
    constexpr int lendPercent = 15;
    const int lendable =
        fieldShort > 0 ? 0 : (widths[size_t(field)] + widths[size_t(value)]) * lendPercent / 100;
    const int lent = std::min(needed, lendable);
    const int over = needed - lent + fieldShort;
    const int spare = std::max(0, m_extraWidth - over) - lent;
    widths[size_t(field)] += fieldShort + spare / 2;
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
    // Said where the user looks while the text stays to be corrected; a cell left behind
    // says so when its editor closes.
    if (!m_leaving && delegate()->refused(editor))
        Q_EMIT dateRefused(
            Vocabulary::rowMessage(delegate()->refusedRow(), Texts::impossibleDate()));
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
    if (refused) {
        // The cell keeps the date it had: told once the move to another cell has cleared the
        // hint line.
        const int row = delegate()->refusedRow();
        const QString kept = m_grid ? m_grid->GetCellText(row, ConditionGrid::ColValue) : QString();
        m_refusal = kept.isEmpty() ? Vocabulary::rowMessage(row, Texts::impossibleDate())
                                   : Vocabulary::rowMessage(row, Texts::impossibleDateKept())
                                         .arg(delegate()->refusedText(), kept);
    }
    QTableView::closeEditor(editor, hint);
    // The alert took the focus from the editor: it comes back to the grid, not to the next
    // button in line, where Enter would press OK.
    if (refused)
        setFocus();
    if (!m_leaving && !m_refusal.isEmpty())
        Q_EMIT dateRefused(std::exchange(m_refusal, QString()));
}

bool ConditionGridView::raiseKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // The pop-ups' own keys choose a date or a value; they are no grid keys.
    if (m_datePicker || qobject_cast<ValuePicker *>(QApplication::activePopupWidget()))
        return false;
    const bool pickKey =
        key == Qt::Key_F7 || (key == Qt::Key_Down && (modifiers & Qt::AltModifier));
    // A value list's cell: F7 shows its values, a paste replaces them.
    if (m_grid && m_grid->activeCol() == ConditionGrid::ColValue &&
        isListCell(m_grid->activeRow())) {
        const QKeySequence pressed(QKeyCombination(modifiers, Qt::Key(key)));
        if (key == Qt::Key_F7) {
            openListWindow();
            return true;
        }
        if (QKeySequence::keyBindings(QKeySequence::Paste).contains(pressed)) {
            pasteList(QGuiApplication::clipboard()->text());
            return true;
        }
    }
    if (key == Qt::Key_F7 && ValuePicker::f7(*this))
        return true;
    if (pickKey && m_grid && !isListCell(m_grid->activeRow()) &&
        m_grid->cellKind(m_grid->activeRow(), m_grid->activeCol()) == CellKind::Date) {
        openDatePicker();
        // Used even when a refused text kept the calendar shut: Alt+Down must not move on.
        return true;
    }
    // Tab in any editor (a drop-down's included, whose own text box would pass it along the
    // window's focus chain) takes the text and moves by cell, or out after the last one.
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) &&
        !(modifiers & (Qt::ControlModifier | Qt::AltModifier)) && state() == EditingState) {
        const bool next = key == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier);
        if (!commitOpenEditor())
            return true;
        if (tabWraps(next))
            QWidget::focusNextPrevChild(next);
        else
            setCurrentIndex(moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier));
        return true;
    }
    // A value written by the key's handling must not be overwritten by an open editor.
    if (key == Qt::Key_F7)
        commitOpenEditor();
    Q_EMIT keyDown(key, modifiers);
    return false;
}

bool ConditionGridView::openDatePicker()
{
    if (!m_grid || m_datePicker)
        return false;
    const int row = m_grid->activeRow();
    const int col = m_grid->activeCol();
    if (m_grid->cellKind(row, col) != CellKind::Date || m_grid->isLocked(row, col))
        return false;
    // A typed date counts first; a text the grid refused stays in its editor for correction.
    if (!commitOpenEditor())
        return false;
    const QDate shown = DateText::parse(m_grid->GetCellText(row, col));
    auto *popup = new DatePopup(this);
    // Month and day names in the dialog's language, weeks as the relative dates count them.
    popup->setLocale(QtTranslations::localeFor(Language::cachedCode()));
    popup->setFirstDayOfWeek(m_firstDayOfWeek);
    popup->setSelectedDate(shown.isValid() ? shown : ValueCells::today());
    popup->describeDay();
    const QPersistentModelIndex cell = m_grid->index(row - 1, col - 1);
    auto take = [this, popup, cell](QDate date) {
        // Only the cell the pop-up was opened on takes the date, and only while it still
        // holds a date: the grid may have been reloaded meanwhile.
        if (cell.isValid() && m_grid &&
            m_grid->cellKind(cell.row() + 1, cell.column() + 1) == CellKind::Date)
            m_grid->setData(cell, date.toString(QStringLiteral("yyyy-MM-dd")), Qt::EditRole);
        popup->close();
    };
    connect(popup, &QCalendarWidget::activated, this, take);
    connect(popup, &QCalendarWidget::clicked, this, take);
    auto takeWord = [this, popup, cell](QListWidgetItem *item) {
        if (item && cell.isValid() && m_grid &&
            m_grid->cellKind(cell.row() + 1, cell.column() + 1) == CellKind::Date)
            m_grid->setData(cell, item->text(), Qt::EditRole);
        popup->close();
    };
    connect(popup->words(), &QListWidget::itemActivated, this, takeWord);
    connect(popup->words(), &QListWidget::itemClicked, this, takeWord);
    m_datePicker = popup;
    popup->adjustSize();
    const QRect cellRect = visualRect(cell);
    QPoint at = viewport()->mapToGlobal(cellRect.bottomLeft());
    if (const QScreen *screen = this->screen()) {
        // Kept on the screen: above the cell when there is no room below it.
        const QRect room = screen->availableGeometry();
        if (at.y() + popup->height() > room.bottom())
            at.setY(viewport()->mapToGlobal(cellRect.topLeft()).y() - popup->height());
        at.setX(
            std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - popup->width())));
        at.setY(std::max(at.y(), room.top()));
    }
    popup->move(at);
    popup->show();
    popup->setFocus();
    return true;
}

bool ConditionGridView::isListCell(int row) const
{
    return m_grid && !m_grid->isLocked(row, ConditionGrid::ColValue) &&
           m_grid->index(row - 1, ConditionGrid::ColValue - 1)
               .data(ConditionGrid::ValueListRole)
               .toBool();
}

bool ConditionGridView::pasteList(const QString &text)
{
    if (!m_grid || !isListCell(m_grid->activeRow()) || !commitOpenEditor())
        return false;
    const PastedValues pasted = splitPastedValues(valueKeysOnly(text));
    if (pasted.values.isEmpty()) { // an empty clipboard is no reason to empty the list
        Q_EMIT listPasted(pasted.message());
        return false;
    }
    return takeList(m_grid->activeRow(), pasted);
}

bool ConditionGridView::openListWindow()
{
    if (!m_grid || !isListCell(m_grid->activeRow()) || !commitOpenEditor())
        return false;
    const int row = m_grid->activeRow();
    ValueListWindow window(
        m_grid->GetCellText(row, ConditionGrid::ColValue),
        [this, row](const QString &text) {
            return takeList(row, splitPastedValues(valueKeysOnly(text)));
        },
        this);
    window.exec();
    return true;
}

bool ConditionGridView::takeList(int row, const PastedValues &pasted)
{
    if (!isListCell(row))
        return false;
    const QString list = pasted.values.join(u',');
    const auto backToWindow = [this] {
        // Without a window manager nothing gives the window its activation back.
        QWidget *top = QApplication::activeModalWidget();
        (top ? top : window())->activateWindow();
    };
    if (list.size() > Limits::MaxCellLength) {
        nxAlert::ShowAlert(Language::text(Texts::cellTooLong()) +
                               QString::number(Limits::MaxCellLength),
                           nxAlert::Information);
        backToWindow();
        return false;
    }
    QStringList unknown;
    // A look-up that fails is told once; the values are taken as they are.
    if (m_listChecker)
        alertOnFailure([&] { unknown = m_listChecker(row, pasted.values); });
    if (!unknown.isEmpty()) {
        const int answer = nxAlert::ShowAlert(unknownValuesQuestion(unknown), nxAlert::Question);
        backToWindow();
        if (answer != nxAlert::AnswerYes)
            return false;
    }
    m_grid->setData(m_grid->index(row - 1, ConditionGrid::ColValue - 1), list, Qt::EditRole);
    Q_EMIT listPasted(pasted.message());
    return true;
}

void ConditionGridView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    const auto tellRefusal = qScopeGuard([this] {
        if (!m_refusal.isEmpty())
            Q_EMIT dateRefused(std::exchange(m_refusal, QString()));
    });
    {
        const QScopedValueRollback leaving(m_leaving, true);
        // Past the table view's own, whose screen reader event counts the hidden column.
        QAbstractItemView::currentChanged(current, previous);
    }
    tellScreenReader(QAccessible::Focus, current);
    if (m_syncing || !m_grid || !current.isValid())
        return;
    const int row = m_grid->activeRow();
    const int col = m_grid->activeCol();
    m_syncing = true;
    m_grid->setActiveCell(current.row() + 1, current.column() + 1);
    m_syncing = false;
    Q_EMIT leaveCell(col, row, current.column() + 1, current.row() + 1);
}

void ConditionGridView::selectionChanged(const QItemSelection &selected,
                                         const QItemSelection &deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    tellScreenReader(QAccessible::SelectionAdd, selected.indexes().value(0));
    tellScreenReader(QAccessible::SelectionRemove, deselected.indexes().value(0));
}

void ConditionGridView::tellScreenReader(QAccessible::Event type, const QModelIndex &cell)
{
    if (!QAccessible::isActive())
        return;
    const int child = GridAccessible::childIndex(this, cell);
    if (child < 0)
        return;
    QAccessibleEvent event(this, type);
    event.setChild(child);
    QAccessible::updateAccessibility(&event);
}

void ConditionGridView::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex cell = currentIndex();
    // Shift+F10 is the keyboard's context menu where the system makes no menu of it.
    if (event->keyCombination() == QKeyCombination(Qt::ShiftModifier, Qt::Key_F10) &&
        cell.isValid()) {
        const QPoint at = visualRect(cell).center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(viewport(), &menu);
        event->accept();
        return;
    }
    // F4 drops a list cell's words down, as it does in the cell's open drop-down; a value
    // cell's, its value words.
    const CellKind kind = kindOf(cell);
    if (event->keyCombination() == QKeyCombination(Qt::NoModifier, Qt::Key_F4) &&
        ValuePicker::openWords(*this)) {
        event->accept();
        return;
    }
    if (event->keyCombination() == QKeyCombination(Qt::NoModifier, Qt::Key_F4) &&
        (kind == CellKind::List || kind == CellKind::ListText) &&
        edit(cell, EditKeyPressed, event)) {
        if (auto *combo = qobject_cast<QComboBox *>(indexWidget(cell)))
            combo->showPopup();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
    // Enter ends an edit in the grid, its editors included; it must not travel on to the
    // dialog's default button and close the dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        event->accept();
}

bool ConditionGridView::tabWraps(bool next)
{
    const QModelIndex from = currentIndex();
    if (!from.isValid())
        return false;
    const QModelIndex to = moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier);
    if (!to.isValid())
        return true;
    const auto order = [](const QModelIndex &i) { return qint64(i.row()) * 1024 + i.column(); };
    return next ? order(to) <= order(from) : order(to) >= order(from);
}

bool ConditionGridView::focusNextPrevChild(bool next)
{
    if (tabKeyNavigation() && tabWraps(next))
        return QWidget::focusNextPrevChild(next);
    return QTableView::focusNextPrevChild(next);
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
