// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_store_export.h>

#include <QtGlobal>

namespace NxSerialFilter {

class ConditionGrid;
class ValueCells;

namespace SchemeText {

/// Empties the grid and puts the stored scheme id into it (an id of 0 or less only empties
/// it). Any failure ends the load and returns false (the dialog shows its load-failure
/// message); the grid keeps what was applied and its first logic cell stays a locked plain
/// cell. Returns whether it loaded.
NXSF_STORE_AUTOTEST_EXPORT bool LoadScheme(ConditionGrid &grid, ValueCells &valueCells, qint32 id);

} // namespace SchemeText
} // namespace NxSerialFilter
