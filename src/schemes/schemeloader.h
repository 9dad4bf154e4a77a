// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "conditions/filterstate.h"
#include "nxserialfilter_export.h"

class QWidget;

namespace NxSerialFilter {

class ConditionGrid;
class ValueCells;

namespace SchemeText {

/// Empties the grid and puts the stored scheme id into it (an id of 0 or less only empties
/// it). Any failure ends the load with the load-failure message; the grid keeps what was
/// applied and its first logic cell stays a locked plain cell. gridView, when visible, gets
/// the focus.
NXSERIALFILTER_EXPORT void LoadScheme(FilterState &state, ConditionGrid &grid,
                                      ValueCells &valueCells, qint32 id,
                                      QWidget *gridView = nullptr);

} // namespace SchemeText
} // namespace NxSerialFilter
