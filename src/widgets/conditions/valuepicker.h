// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QListWidget>

#include <functional>

namespace NxSerialFilter {

class ConditionGrid;
class ConditionGridView;
class GridEditing;

/// A pop-up list under the current value cell of what the cell may hold besides a typed value:
/// the fields its field may be compared with ("与字段比较"), or the value words it takes
/// ("当前用户"). Enter or a click writes the pick as the user's edit; Esc or a click elsewhere
/// keeps the cell.
class NXSF_WIDGETS_AUTOTEST_EXPORT ValuePicker : public QListWidget
{
    Q_OBJECT
public:
    /// Whether row's value cell may compare with a field: unlocked, compared by a comparison
    /// that takes one, with a field of the same sort to compare with.
    static bool offersFields(const ConditionGrid &grid, int row);
    /// Whether row's value cell takes a value word.
    static bool offersWords(const ConditionGrid &grid, int row);
    /// Opens the fields (object name "fieldPicker") or the value words ("valueWords") under the
    /// view's current cell, after what an open editor shows; false when the cell offers none.
    static bool openFields(ConditionGridView &view);
    static bool openWords(ConditionGridView &view);
    /// F7 on the current cell: the fields when it compares with one already, or when it offers
    /// them and F7 has no other use there (a calendar, a look-up, a list's values). Returns
    /// whether the list opened.
    static bool f7(ConditionGridView &view);
    /// Adds "与字段比较" (action CompareWithField, F7) to the grid's context menu, enabled on a
    /// value cell that offers fields.
    static void addToMenu(GridEditing &editing, ConditionGridView &view);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    ValuePicker(ConditionGridView &view, const QStringList &items, std::function<void(int)> take);
    void take(int i);

    std::function<void(int)> m_take;
};

} // namespace NxSerialFilter
