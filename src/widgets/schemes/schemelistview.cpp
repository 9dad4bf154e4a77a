// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/schemes/schemelistview.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QScopedValueRollback>
#include <QStackedLayout>
#include <QStandardItemModel>
#include <QTreeView>

#include <functional>

namespace NxSerialFilter {

namespace {
constexpr int KeyRole = Qt::UserRole + 1;

/// A view that reports the moves of its current item that a key or a mouse press made. A
/// move made by the view itself (focus arriving, rows inserted) is nobody's pick.
template <class View> class PickingView : public View
{
public:
    using View::View;
    std::function<void(const QModelIndex &, bool byMouse)> userMoved;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const QScopedValueRollback guard(m_input, Input::Key);
        View::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        const QScopedValueRollback guard(m_input, Input::Mouse);
        View::mousePressEvent(event);
    }
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override
    {
        View::currentChanged(current, previous);
        if (m_input != Input::None && userMoved)
            userMoved(current, m_input == Input::Mouse);
    }

private:
    enum class Input { None, Key, Mouse };
    Input m_input = Input::None;
};

QStandardItem *makeItem(const QString &key, const QString &text, const QIcon &icon)
{
    auto *item = new QStandardItem(icon, text);
    item->setData(key, KeyRole);
    item->setEditable(false);
    return item;
}
} // namespace

SchemeListView::SchemeListView(QWidget *parent)
    : QWidget(parent)
    , m_model(new QStandardItemModel(0, 1, this))
    , m_list(new PickingView<QListView>(this))
    , m_report(new PickingView<QTreeView>(this))
    , m_stack(new QStackedLayout(this))
{
    setObjectName(QStringLiteral("lstFilter"));
    m_stack->setContentsMargins(0, 0, 0, 0);
    for (QAbstractItemView *view :
         {static_cast<QAbstractItemView *>(m_list), static_cast<QAbstractItemView *>(m_report)}) {
        view->setModel(m_model);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        m_stack->addWidget(view);
        connect(view, &QAbstractItemView::clicked, this, &SchemeListView::userClicked);
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
    }
    // Both views show one selection. The highlighted item must always be the loaded one, so a
    // move by arrow keys, Home/End, pages or type-ahead picks the item as a click does.
    m_report->setSelectionModel(m_list->selectionModel());
    const auto moved = [this](const QModelIndex &current, bool byMouse) {
        userMovedTo(current, byMouse);
    };
    static_cast<PickingView<QListView> *>(m_list)->userMoved = moved;
    static_cast<PickingView<QTreeView> *>(m_report)->userMoved = moved;
    m_report->setRootIsDecorated(false);
    m_report->setItemsExpandable(false);
    m_list->setObjectName(QStringLiteral("lstFilterList"));
    m_report->setObjectName(QStringLiteral("lstFilterReport"));
    setViewMode(ReportView);
}

void SchemeListView::userMovedTo(const QModelIndex &current, bool byMouse)
{
    if (m_programmatic || !current.isValid())
        return;
    if (byMouse)
        m_pickedOnPress = current.row();
    // A move by Ctrl+arrow leaves the item unselected; the picked item is the highlighted one.
    if (!m_list->selectionModel()->isSelected(current)) {
        const QScopedValueRollback guard(m_programmatic, true);
        m_list->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    }
    Q_EMIT itemClicked(current.row() + 1, !byMouse);
}

void SchemeListView::userClicked(const QModelIndex &index)
{
    // The press that moved onto the item has picked it already.
    if (index.isValid() && index.row() != m_pickedOnPress)
        Q_EMIT itemClicked(index.row() + 1, false);
    m_pickedOnPress = -1;
}

bool SchemeListView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        m_pickedOnPress = -1;
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            Q_EMIT deletePressed();
            return true;
        }
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier) {
            Q_EMIT renamePressed();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SchemeListView::clear()
{
    const QScopedValueRollback guard(m_programmatic, true);
    m_model->removeRows(0, m_model->rowCount());
}

void SchemeListView::addItem(const QString &key, const QString &text, const QIcon &icon)
{
    m_model->appendRow(makeItem(key, text, icon));
}

void SchemeListView::setItems(const QList<Item> &items)
{
    const QScopedValueRollback guard(m_programmatic, true);
    clear();
    QList<QStandardItem *> rows;
    rows.reserve(items.size());
    for (const Item &i : items) {
        rows.append(makeItem(i.key, i.text, i.icon));
        rows.back()->setToolTip(i.toolTip);
        if (!i.accessibleName.isEmpty())
            rows.back()->setData(i.accessibleName, Qt::AccessibleTextRole);
    }
    m_model->invisibleRootItem()->appendRows(rows);
}

int SchemeListView::count() const
{
    return m_model->rowCount();
}

QString SchemeListView::key(int index) const
{
    const QStandardItem *item = m_model->item(index - 1);
    return item ? item->data(KeyRole).toString() : QString();
}

QString SchemeListView::text(int index) const
{
    const QStandardItem *item = m_model->item(index - 1);
    return item ? item->text() : QString();
}

QString SchemeListView::toolTip(int index) const
{
    const QStandardItem *item = m_model->item(index - 1);
    return item ? item->toolTip() : QString();
}

int SchemeListView::selectedIndex() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void SchemeListView::setSelectedIndex(int index)
{
    const QScopedValueRollback guard(m_programmatic, true);
    const QModelIndex at = m_model->index(index - 1, 0);
    if (!at.isValid()) {
        m_list->selectionModel()->clearSelection();
        return;
    }
    m_list->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
}

void SchemeListView::setViewMode(int mode)
{
    if (mode < IconView || mode > ReportView)
        return;
    m_mode = mode;
    switch (mode) {
    case IconView:
        m_list->setViewMode(QListView::IconMode);
        m_list->setIconSize(QSize(32, 32));
        m_list->setFlow(QListView::LeftToRight);
        m_list->setWrapping(true);
        break;
    case SmallIconView:
        m_list->setViewMode(QListView::ListMode);
        m_list->setIconSize(QSize(16, 16));
        m_list->setFlow(QListView::LeftToRight);
        m_list->setWrapping(true);
        break;
    case ListView:
        m_list->setViewMode(QListView::ListMode);
        m_list->setIconSize(QSize(16, 16));
        m_list->setFlow(QListView::TopToBottom);
        m_list->setWrapping(true);
        break;
    default:
        break;
    }
    m_list->setResizeMode(QListView::Adjust);
    m_stack->setCurrentWidget(mode == ReportView ? static_cast<QWidget *>(m_report) : m_list);
}

QString SchemeListView::headerText() const
{
    return m_model->headerData(0, Qt::Horizontal).toString();
}

void SchemeListView::setHeaderText(const QString &text)
{
    m_model->setHeaderData(0, Qt::Horizontal, text);
}

void SchemeListView::setHeaderWidth(int pixels)
{
    m_report->header()->setStretchLastSection(false);
    m_report->setColumnWidth(0, std::max(pixels, 0));
}

int SchemeListView::headerWidth() const
{
    return m_report->columnWidth(0);
}

QWidget *SchemeListView::currentView() const
{
    return m_stack->currentWidget();
}

QRect SchemeListView::itemRect(int index) const
{
    const QModelIndex at = m_model->index(index - 1, 0);
    return m_mode == ReportView ? m_report->visualRect(at) : m_list->visualRect(at);
}

} // namespace NxSerialFilter
