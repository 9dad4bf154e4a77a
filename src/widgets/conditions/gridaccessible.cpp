// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/conditions/gridaccessible.h"

#include "widgets/conditions/conditiongridview.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>
#include <QWindow>

namespace NxSerialFilter::GridAccessible {

namespace {

/// The model's columns the view shows, in their order.
QList<int> shownColumns(const QTableView *view)
{
    QList<int> shown;
    if (!view || !view->model())
        return shown;
    for (int col = 0; col < view->model()->columnCount(); ++col) {
        if (!view->isColumnHidden(col))
            shown.append(col);
    }
    return shown;
}

/// A header cell (no index) or a cell of the grid.
class Cell : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    Cell(QTableView *view, int column, const QModelIndex &index = {})
        : m_view(view)
        , m_column(column)
        , m_index(index)
    {}

    const QTableView *view() const { return m_view; }
    int column() const { return m_column; }

    bool isValid() const override
    {
        if (!m_view || !m_view->model())
            return false;
        return m_header ? m_column < m_view->model()->columnCount() : m_index.isValid();
    }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Description))
            return {};
        const int role =
            t == QAccessible::Name ? Qt::AccessibleTextRole : Qt::AccessibleDescriptionRole;
        const QAbstractItemModel *model = m_view->model();
        const auto read = [&](int r) {
            return m_header ? model->headerData(m_column, Qt::Horizontal, r)
                            : model->data(m_index, r);
        };
        QString said = read(role).toString();
        if (said.isEmpty() && t == QAccessible::Name)
            said = read(Qt::DisplayRole).toString();
        return said;
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!isValid())
            return {};
        if (m_header) {
            const QHeaderView *header = m_view->horizontalHeader();
            if (!header->isVisible())
                return {};
            const QPoint zero = header->mapToGlobal(QPoint(0, 0));
            return {zero.x() + header->sectionViewportPosition(m_column), zero.y(),
                    header->sectionSize(m_column), header->height()};
        }
        const QRect shown = m_view->visualRect(m_index);
        return shown.isNull() ? shown
                              : shown.translated(m_view->viewport()->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override
    {
        return m_header ? QAccessible::ColumnHeader : QAccessible::Cell;
    }
    QAccessible::State state() const override
    {
        QAccessible::State st;
        if (!isValid())
            return st;
        if (m_header) {
            st.invisible = !m_view->horizontalHeader()->isVisible();
            return st;
        }
        const QRect room(m_view->viewport()->mapToGlobal(QPoint(0, 0)), m_view->viewport()->size());
        st.invisible = !room.intersects(rect());
        const QItemSelectionModel *selection = m_view->selectionModel();
        st.selected = selection && selection->isSelected(m_index);
        st.focused = selection && selection->currentIndex() == m_index;
        const Qt::ItemFlags flags = m_index.flags();
        st.selectable = st.focusable = bool(flags & Qt::ItemIsSelectable);
        st.editable = bool(flags & Qt::ItemIsEditable);
        st.readOnly = !st.editable;
        return st;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface && !m_header)
            return static_cast<QAccessibleTableCellInterface *>(this);
        return nullptr;
    }

    bool isSelected() const override { return state().selected; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface *> columnHeaderCells() const override
    {
        QAccessibleInterface *grid = table();
        const qsizetype at = shownColumns(m_view).indexOf(m_index.column());
        if (!grid || at < 0)
            return {};
        return {grid->child(int(at))};
    }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override
    {
        return isValid() ? int(shownColumns(m_view).indexOf(m_index.column())) : -1;
    }
    int rowIndex() const override { return isValid() ? m_index.row() : -1; }
    QAccessibleInterface *table() const override { return parent(); }

private:
    QPointer<QTableView> m_view;
    int m_column;
    QPersistentModelIndex m_index;
    const bool m_header = !m_index.isValid(); // a removed row's cell stays no header
};

/// The grid's table: one row of header cells, then the rows, each of the shown columns.
class Table : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit Table(QTableView *view)
        : QAccessibleWidget(view, QAccessible::Table)
    {}
    ~Table() override { forgetCells(); }

    QTableView *view() const { return static_cast<QTableView *>(widget()); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return (rowCount() + 1) * columnCount(); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<int> shown = shownColumns(view());
        if (index < 0 || index >= childCount() || shown.isEmpty())
            return nullptr;
        if (const auto known = m_cells.constFind(index); known != m_cells.constEnd())
            return QAccessible::accessibleInterface(known.value());
        const int row = index / int(shown.size());
        const int col = shown.at(index % shown.size());
        auto *cell = row == 0 ? new Cell(view(), col)
                              : new Cell(view(), col, view()->model()->index(row - 1, col));
        m_cells.insert(index, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *cell = dynamic_cast<const Cell *>(child);
        if (!cell || cell->view() != view() || !cell->isValid())
            return -1;
        if (cell->role() == QAccessible::ColumnHeader)
            return int(shownColumns(view()).indexOf(cell->column()));
        return (cell->rowIndex() + 1) * columnCount() + cell->columnIndex();
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint global(x, y);
        const QHeaderView *header = view()->horizontalHeader();
        const QPoint onHeader = header->mapFromGlobal(global);
        if (header->isVisible() && header->rect().contains(onHeader)) {
            const qsizetype at = shownColumns(view()).indexOf(header->logicalIndexAt(onHeader));
            return at < 0 ? nullptr : child(int(at));
        }
        const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(global));
        return child(childIndex(view(), index));
    }
    QAccessibleInterface *focusChild() const override
    {
        return child(childIndex(view(), view()->currentIndex()));
    }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
            return nullptr;
        return child((row + 1) * columnCount() + column);
    }
    int selectedCellCount() const override { return int(selectedCells().size()); }
    QList<QAccessibleInterface *> selectedCells() const override
    {
        QList<QAccessibleInterface *> cells;
        if (const QItemSelectionModel *selection = view()->selectionModel()) {
            for (const QModelIndex &index : selection->selectedIndexes()) {
                if (QAccessibleInterface *cell = child(childIndex(view(), index)))
                    cells.append(cell);
            }
        }
        return cells;
    }
    QString columnDescription(int column) const override
    {
        const QList<int> shown = shownColumns(view());
        if (column < 0 || column >= shown.size())
            return {};
        return view()->model()->headerData(shown.at(column), Qt::Horizontal).toString();
    }
    int columnCount() const override { return int(shownColumns(view()).size()); }
    int rowCount() const override { return view()->model() ? view()->model()->rowCount() : 0; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    QList<int> selectedColumns() const override
    {
        QList<int> columns;
        const QList<int> shown = shownColumns(view());
        if (const QItemSelectionModel *selection = view()->selectionModel()) {
            for (const QModelIndex &index : selection->selectedColumns()) {
                if (const qsizetype at = shown.indexOf(index.column()); at >= 0)
                    columns.append(int(at));
            }
        }
        return columns;
    }
    QList<int> selectedRows() const override
    {
        QList<int> rows;
        if (const QItemSelectionModel *selection = view()->selectionModel()) {
            for (const QModelIndex &index : selection->selectedRows())
                rows.append(index.row());
        }
        return rows;
    }
    bool isColumnSelected(int column) const override { return selectedColumns().contains(column); }
    bool isRowSelected(int row) const override
    {
        return view()->selectionModel() && view()->selectionModel()->isRowSelected(row, {});
    }
    // The grid's own keys and mouse choose its cells.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    void modelChange(QAccessibleTableModelChangeEvent *event) override
    {
        // Rows in or out move every child number after them: the cells are made anew.
        if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
            forgetCells();
    }

private:
    void forgetCells() const
    {
        for (const QAccessible::Id id : std::as_const(m_cells))
            QAccessible::deleteAccessibleInterface(id);
        m_cells.clear();
    }

    mutable QHash<int, QAccessible::Id> m_cells;
};

} // namespace

QAccessibleInterface *create(const QString &className, QObject *object)
{
    if (className != QLatin1String(ConditionGridView::staticMetaObject.className()))
        return nullptr;
    auto *view = qobject_cast<ConditionGridView *>(object);
    return view ? new Table(view) : nullptr;
}

int childIndex(const QAbstractItemView *view, const QModelIndex &index)
{
    const auto *table = qobject_cast<const QTableView *>(view);
    if (!table || !index.isValid())
        return -1;
    const QList<int> shown = shownColumns(table);
    const qsizetype at = shown.indexOf(index.column());
    return at < 0 ? -1 : (index.row() + 1) * int(shown.size()) + int(at);
}

} // namespace NxSerialFilter::GridAccessible
