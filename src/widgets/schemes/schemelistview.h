// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QIcon>
#include <QWidget>

class QListView;
class QStackedLayout;
class QStandardItemModel;
class QTreeView;

namespace NxSerialFilter {

/// The scheme list lstFilter: items with a key, a text and an icon, shown in one of four
/// modes (icon, small icon, list, report with one column header). Item indexes count from 1.
/// Exported in every build: the demo host's walkthrough clicks its items.
class NXSF_WIDGETS_PRIVATE_EXPORT SchemeListView : public QWidget
{
    Q_OBJECT
public:
    enum ViewMode { IconView = 0, SmallIconView = 1, ListView = 2, ReportView = 3 };

    explicit SchemeListView(QWidget *parent = nullptr);

    struct Item
    {
        QString key;
        QString text;
        QIcon icon;
        QString toolTip = {};
        QString accessibleName = {}; ///< what a screen reader says for it; empty: its text
    };

    void clear();
    void addItem(const QString &key, const QString &text, const QIcon &icon);
    /// Replaces every item at once (a long list is laid out once, not per item).
    void setItems(const QList<Item> &items);
    int count() const;
    QString key(int index) const;
    QString text(int index) const;
    QString toolTip(int index) const;
    /// The selected item's index from 1; 0 when none is selected.
    int selectedIndex() const;
    void setSelectedIndex(int index);

    void setViewMode(int mode);
    int viewMode() const { return m_mode; }
    QString headerText() const;
    void setHeaderText(const QString &text);
    void setHeaderWidth(int pixels);
    int headerWidth() const;

    /// The widget that shows the current mode (for tests that click items).
    QWidget *currentView() const;
    /// Where item index is drawn in currentView's viewport.
    QRect itemRect(int index) const;

Q_SIGNALS:
    /// The user picked an item (index from 1): a click, or a keyboard move onto it.
    void itemClicked(int index, bool byKeyboard);
    /// The user pressed Delete in the list.
    void deletePressed();
    /// The user pressed F2 in the list.
    void renamePressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void userMovedTo(const QModelIndex &current, bool byMouse);
    void userClicked(const QModelIndex &index);

    QStandardItemModel *m_model;
    QListView *m_list;
    QTreeView *m_report;
    QStackedLayout *m_stack;
    int m_mode = ReportView;
    // Selections made by the dialog's own code are not picks.
    bool m_programmatic = false;
    // A press that moves onto an item and the click that follows are one pick.
    int m_pickedOnPress = -1;
};

} // namespace NxSerialFilter
