// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/fields/hostfields.h"
#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/nxsf_widgets_export.h>
#include <NxSerialFilter/schemestore.h>

#include <QHash>
#include <QObject>

#include <functional>

class QAction;
class QToolBar;

namespace NxSerialFilter {

class ConditionGrid;
class SchemeListView;
class ValueCells;

/// The scheme list and its toolbar: picking, saving, saving as and deleting schemes, and the
/// list's view modes. The toolbar's actions are named by their keys ("Save", "Delete",
/// "SaveAs", "View"); the "View" button keeps its counter in the property "Tag". On a store that
/// keeps owners, a scheme the user may not change is saved under a new name and cannot be
/// deleted, and the list's context menu ("Share") shares or unshares the user's own scheme.
/// Where the service keeps defaults, the context menu's checkable "SetDefault" makes the
/// current scheme the screen's default (marked in the list) or no longer the default.
class NXSF_WIDGETS_AUTOTEST_EXPORT SchemeList : public QObject
{
    Q_OBJECT
public:
    SchemeList(const HostFields &fields, ConditionGrid &grid, ValueCells &valueCells,
               SchemeListView &list, QToolBar &toolbar, QObject *parent = nullptr);

    /// The id of the scheme the grid was loaded from or saved as; 0 for none.
    qint32 currentId() const { return m_currentId; }
    void setCurrentId(qint32 id) { m_currentId = id; }

    void FillSchemeList();
    /// The user picked item index (from 1) of the list.
    void itemClick(int index);
    void buttonClick(const QString &key);
    void buttonMenuClick(const QString &key);
    void SaveScheme(bool saveAs);
    void DeleteScheme();
    /// Shares the current scheme with every user of the store, or stops sharing it.
    void ToggleShared();
    /// Makes the current scheme the screen's default, or no longer the default.
    void ToggleDefault();
    /// Loads the screen's default scheme, when the list has one, as picking it would.
    void openDefault();
    /// Renames the scheme at list index (from 1) through the name dialog; the new-scheme
    /// item has no name to change, and a name the screen already has is refused.
    void RenameScheme(int index);

    /// Puts the condition in force into the grid; scheme id becomes current and selected when
    /// it is listed and loads into the same condition.
    void reopen(const Condition &condition, qint32 id);
    /// As above for the text of a grid confirmed over other fields, read by their captions.
    void reopen(const QString &text, qint32 id);

    /// Which scheme the grid belongs to: the current scheme and the condition it was loaded or
    /// saved as, with which a pick compares the grid.
    struct Place
    {
        qint32 id = 0;
        Condition loaded;
    };
    Place place() const { return {m_currentId, m_loaded}; }
    /// Makes a place current again (undoing a pick): its scheme selected while it is listed,
    /// else the new-scheme item.
    void setPlace(const Place &place);

    /// The list key of a scheme id: "K", the sign position (a blank for 0 and above), the id.
    static QString keyFor(qint32 id);
    /// The id a list key names.
    static qint32 idOf(const QString &key);
    /// The list index of the item with that id; 0 when the list has none.
    int indexOfId(qint32 id) const;

Q_SIGNALS:
    /// A picked scheme is now in the grid.
    void loaded();
    /// The grid was written to the store as the scheme name.
    void saved(const QString &name);

private:
    void reopenWith(const std::function<void()> &fill, qint32 id);
    void reselectCurrent();
    /// Makes scheme id current and selected and loads it into the grid.
    void load(qint32 id);
    /// The grid's condition without the blank rows at its end, whose number follows the
    /// dialog's height.
    Condition shownCondition() const;
    /// Asks before a pick drops changes to the grid; false when the user stays.
    bool mayLeave();
    /// Makes the scheme just saved the current one: id where the service told it, else the
    /// one name leads to.
    void makeCurrent(qint32 id, const QString &name);
    QAction *action(const QString &key) const;
    /// The rights of a listed scheme; a service that gives none leaves every scheme changeable.
    SchemeRights rightsOf(qint32 id) const { return m_rights.value(id); }
    /// Delete and Share follow the current scheme and what the user may do with it.
    void updateActions(qint32 id);

    const HostFields &m_state;
    qint32 m_currentId = 0;
    ConditionGrid &m_grid;
    ValueCells &m_valueCells;
    SchemeListView &m_list;
    QToolBar &m_toolbar;
    QAction *m_share;
    QAction *m_default;
    QHash<qint32, SchemeRights> m_rights;
    qint32 m_defaultId = 0; // the listed default scheme; 0 when there is none
    Condition m_loaded;     // what the grid held when its scheme was loaded or saved
};

} // namespace NxSerialFilter
