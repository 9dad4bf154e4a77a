// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/conditions/valuepicker.h"

#include "core/conditions/fieldcompare.h"
#include "core/conditions/conditiongrid.h"
#include "core/conditions/valuewords.h"
#include "core/fields/fieldcatalogdata.h"
#include "core/language/languagestate.h"
#include "core/text/texts.h"
#include "widgets/conditions/conditiongridview.h"
#include "widgets/conditions/gridediting.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>

namespace NxSerialFilter {

namespace {

using G = ConditionGrid;

/// The value cell's row when the view's current cell is an unlocked value cell; 0 otherwise.
int valueRow(const ConditionGridView &view)
{
    const ConditionGrid *grid = view.grid();
    const QModelIndex cell = view.currentIndex();
    if (!grid || !cell.isValid() || cell.column() + 1 != G::ColValue ||
        grid->isLocked(cell.row() + 1, G::ColValue))
        return 0;
    return cell.row() + 1;
}

QList<int> fieldsFor(const ConditionGrid &grid, int row)
{
    const ConditionRow &r = grid.condition().at(row - 1);
    if (!FieldCompare::takesField(r.compare))
        return {};
    return FieldCompare::comparableFields(grid.catalog().data(), r.field);
}

} // namespace

ValuePicker::ValuePicker(ConditionGridView &view, const QStringList &items,
                         std::function<void(int)> take)
    : QListWidget(&view)
    , m_take(std::move(take))
{
    setWindowFlags(Qt::Popup);
    setAttribute(Qt::WA_DeleteOnClose);
    addItems(items);
    setCurrentRow(0);
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { this->take(row(item)); });
    const QRect cell = view.visualRect(view.currentIndex());
    resize(std::max(cell.width(), sizeHintForColumn(0) + 2 * frameWidth() + 4),
           std::min(12, int(items.size())) * sizeHintForRow(0) + 2 * frameWidth());
    QPoint at = view.viewport()->mapToGlobal(cell.bottomLeft());
    // Kept on the screen: above the cell when there is no room below it.
    if (const QScreen *screen = view.screen();
        screen && at.y() + height() > screen->availableGeometry().bottom())
        at.setY(view.viewport()->mapToGlobal(cell.topLeft()).y() - height());
    move(at);
}

void ValuePicker::take(int i)
{
    const auto take = m_take; // closing deletes this list
    close();
    if (i >= 0)
        take(i);
}

void ValuePicker::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        take(currentRow());
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void ValuePicker::hideEvent(QHideEvent *event)
{
    QListWidget::hideEvent(event);
    // The keys go back to the grid the list was opened from.
    if (QWidget *grid = parentWidget(); grid && grid->isVisible())
        grid->setFocus();
}

bool ValuePicker::offersFields(const ConditionGrid &grid, int row)
{
    return row >= 1 && row <= grid.MaxRows() && !grid.isLocked(row, G::ColValue) &&
           !fieldsFor(grid, row).isEmpty();
}

bool ValuePicker::offersWords(const ConditionGrid &grid, int row)
{
    if (row < 1 || row > grid.MaxRows() || grid.isLocked(row, G::ColValue))
        return false;
    const ConditionRow &r = grid.condition().at(row - 1);
    return r.field > 0 && CurrentUser::takesWord(grid.catalog().valueKind(r.field), r.compare);
}

bool ValuePicker::openFields(ConditionGridView &view)
{
    const int row = valueRow(view);
    if (!row || !offersFields(*view.grid(), row) || !view.commitOpenEditor())
        return false;
    ConditionGrid &grid = *view.grid();
    const QList<int> fields = fieldsFor(grid, row);
    QStringList captions;
    for (const int k : fields)
        captions << grid.catalog().caption(k);
    const QPersistentModelIndex cell = grid.index(row - 1, G::ColValue - 1);
    auto *picker = new ValuePicker(view, captions, [&grid, cell, fields](int i) {
        // The grid may have been reloaded meanwhile: only a cell that still offers the field.
        if (cell.isValid() && fieldsFor(grid, cell.row() + 1).contains(fields.at(i)))
            grid.setData(cell, fields.at(i), G::ValueFieldRole);
    });
    picker->setObjectName(QStringLiteral("fieldPicker"));
    picker->setAccessibleName(Language::text(Texts::compareWithField()));
    picker->setCurrentRow(
        std::max(0, int(fields.indexOf(grid.condition().at(row - 1).value.field()))));
    picker->show();
    picker->setFocus();
    return true;
}

bool ValuePicker::openWords(ConditionGridView &view)
{
    const int row = valueRow(view);
    if (!row || !offersWords(*view.grid(), row) || !view.commitOpenEditor())
        return false;
    ConditionGrid &grid = *view.grid();
    const QStringList words{CurrentUser::word()};
    const QPersistentModelIndex cell = grid.index(row - 1, G::ColValue - 1);
    auto *picker = new ValuePicker(view, words, [&grid, cell, words](int i) {
        if (cell.isValid() && offersWords(grid, cell.row() + 1))
            grid.setData(cell, words.at(i), Qt::EditRole);
    });
    picker->setObjectName(QStringLiteral("valueWords"));
    picker->setAccessibleName(Language::text(Texts::valueWords()));
    picker->show();
    picker->setFocus();
    return true;
}

bool ValuePicker::f7(ConditionGridView &view)
{
    const int row = valueRow(view);
    if (!row)
        return false;
    const ConditionGrid &grid = *view.grid();
    const ConditionRow &r = grid.condition().at(row - 1);
    const bool otherUse = grid.cellKind(row, G::ColValue) == CellKind::Date ||
                          grid.catalog().hasLookUp(r.field) || view.isListCell(row);
    return (r.value.kind() == ValueKind::Field || !otherUse) && openFields(view);
}

void ValuePicker::addToMenu(GridEditing &editing, ConditionGridView &view)
{
    auto *action = new QAction(&view);
    action->setObjectName(QStringLiteral("CompareWithField"));
    // Shown beside the item; the grid's own F7 opens the same list.
    action->setShortcut(Qt::Key_F7);
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setShortcutVisibleInContextMenu(true);
    QMenu *menu = editing.menu();
    menu->addSeparator();
    menu->addAction(action);
    connect(menu, &QMenu::aboutToShow, action, [action, &view] {
        action->setText(Language::text(Texts::compareWithField()));
        const int row = valueRow(view);
        action->setEnabled(row && offersFields(*view.grid(), row));
    });
    connect(action, &QAction::triggered, &view, [&view] { openFields(view); });
}

} // namespace NxSerialFilter
