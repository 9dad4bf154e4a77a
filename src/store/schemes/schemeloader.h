// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/conditions/filterstate.h"

#include <NxSerialFilter/schemeservice.h>

#include <NxSerialFilter/nxsf_store_export.h>
#include <functional>

namespace NxSerialFilter {

class ConditionGrid;
class ValueCells;

namespace SchemeText {

/// Empties the grid and puts the stored scheme id into it (an id of 0 or less only empties
/// it). Any failure ends the load and returns false (the dialog shows its load-failure
/// message); the grid keeps what was applied and its first logic cell stays a locked plain
/// cell. Returns whether it loaded.
NXSF_STORE_PRIVATE_EXPORT bool LoadScheme(FilterState &state, ConditionGrid &grid,
                                          ValueCells &valueCells, qint32 id);

/// One call on the scheme reader the registry gives: props is the context property string.
using ReaderCall = std::function<RecordSetPtr(SchemeReaderComponent &reader, const QString &props)>;
/// Makes the call, releasing the reader before the records are read. Throws FilterError
/// naming operation when the reader answers no record set.
NXSF_STORE_PRIVATE_EXPORT RecordSetPtr readRecords(const QString &operation,
                                                   const ReaderCall &call);

/// The stored text of scheme id, read through the scheme reader the registry gives. Throws
/// FilterError when it cannot be read or is no text.
NXSF_STORE_AUTOTEST_EXPORT QString storedText(qint32 id);

/// The id of the scheme saved on screen under name (blanks at both ends ignored), 0 when
/// there is none. Throws FilterError when the store cannot be read.
NXSF_STORE_AUTOTEST_EXPORT qint32 storedId(const QString &screenId, const QString &name);

} // namespace SchemeText
} // namespace NxSerialFilter
