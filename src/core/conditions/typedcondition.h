// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/condition.h>
#include <NxSerialFilter/fieldcatalog.h>
#include <NxSerialFilter/nxsf_core_export.h>

/// The dialog's condition text line without its window: what a typed condition makes of the
/// grid. What completion offers is the reader's (core/composer/textcompletion.h).
namespace NxSerialFilter::TypedCondition {

/// The grid's rows once the condition read from the text line replaces them: the rows read,
/// then the rows the words do not show, in their order (rows switched off, and the rows from
/// the first one without a field on, which stay out of the condition), so that typing loses
/// none of them. The row rules of the grid hold after it (ConditionRows).
NXSF_CORE_AUTOTEST_EXPORT Condition merged(const FieldCatalog &catalog, const Condition &grid,
                                           const Condition &read);

} // namespace NxSerialFilter::TypedCondition
