// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "schemelist.h"

#include "schemelistview.h"

namespace NxSerialFilter {

SchemeList::SchemeList(FilterState &state, ConditionGrid &grid, ValueCells &valueCells,
                       SchemeListView &list, QToolBar &toolbar, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_grid(grid)
    , m_valueCells(valueCells)
    , m_list(list)
    , m_toolbar(toolbar)
{
}

void SchemeList::FillSchemeList() {}
void SchemeList::itemClick(int) {}
void SchemeList::buttonClick(const QString &) {}
void SchemeList::buttonMenuClick(const QString &) {}
void SchemeList::SaveScheme(bool) {}
void SchemeList::DeleteScheme() {}

} // namespace NxSerialFilter
