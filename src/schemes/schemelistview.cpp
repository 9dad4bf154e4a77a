// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "schemelistview.h"

#include <QHeaderView>
#include <QListView>
#include <QStackedLayout>
#include <QStandardItemModel>
#include <QTreeView>

namespace NxSerialFilter {

namespace {
constexpr int KeyRole = Qt::UserRole + 1;

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
    , m_list(new QListView(this))
    , m_report(new QTreeView(this))
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
        connect(view, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
            if (index.isValid())
                Q_EMIT itemClicked(index.row() + 1);
        });
    }
    // Both views show one selection.
    m_report->setSelectionModel(m_list->selectionModel());
    m_report->setRootIsDecorated(false);
    m_report->setItemsExpandable(false);
    m_list->setObjectName(QStringLiteral("lstFilterList"));
    m_report->setObjectName(QStringLiteral("lstFilterReport"));
    setViewMode(ReportView);
}

void SchemeListView::clear()
{
    m_model->removeRows(0, m_model->rowCount());
}

void SchemeListView::addItem(const QString &key, const QString &text, const QIcon &icon)
{
    m_model->appendRow(makeItem(key, text, icon));
}

void SchemeListView::setItems(const QList<Item> &items)
{
    clear();
    QList<QStandardItem *> rows;
    rows.reserve(items.size());
    for (const Item &i : items)
        rows.append(makeItem(i.key, i.text, i.icon));
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

int SchemeListView::selectedIndex() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void SchemeListView::setSelectedIndex(int index)
{
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
