// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

class QAbstractItemView;
class QAccessibleInterface;
class QModelIndex;
class QObject;
class QString;

namespace NxSerialFilter {

/// The condition grid as a screen reader meets it: a table of the columns shown, a header
/// cell over each and the rows' cells below, without the hidden value code column (Qt's own
/// table lists every column of the model, hidden or not). Installed as a factory of
/// QAccessible for ConditionGridView.
namespace GridAccessible {

/// The interface for a ConditionGridView, null for any other class.
QAccessibleInterface *create(const QString &className, QObject *object);
/// The child number of a shown cell in the grid's table, for the events the view sends;
/// -1 for a cell of a hidden column.
int childIndex(const QAbstractItemView *view, const QModelIndex &index);

} // namespace GridAccessible

} // namespace NxSerialFilter
