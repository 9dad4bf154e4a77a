// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/conditions/filterstate.h"

#include <NxSerialFilter/nxsf_core_export.h>

namespace NxSerialFilter {

class ConditionGrid;

/// The field column's list and FieldIDs, built from the host's descriptions, and the way back
/// from a list position to its descriptor.
namespace FieldList {

/// Fills the field, comparison and logic lists; in serial mode also ScreenID and FieldIDs.
/// Never throws: returns the failure's message (the dialog shows it), empty on success.
NXSF_CORE_PRIVATE_EXPORT QString SetFields(FilterState &state, ConditionGrid &grid);

/// The descriptor behind list position k (serial mode): the first of Header, then of Entry,
/// whose FPropID has the same leading number as FieldIDs[k], one with the very same text
/// before others; none when there is none, and none for position 0, "(无)".
/// Throws when the description lacks its groups or k has no FieldIDs entry. Uses the index
/// SetFields built, or walks the groups when there is none.
NXSF_CORE_AUTOTEST_EXPORT KeyedValuesPtr FindFieldDescriptor(const FilterState &state, int k);

/// The common-mode field list ("Fields" of the common values); throws when there is none.
NXSF_CORE_AUTOTEST_EXPORT ValueListPtr commonFields(const FilterState &state);

/// Item k of the common-mode field list; throws when there is none.
NXSF_CORE_AUTOTEST_EXPORT KeyedValuesPtr commonField(const FilterState &state, int k);

/// The Header or Entry group of the serial description; throws when there is none.
NXSF_CORE_AUTOTEST_EXPORT DescriptionGroupPtr group(const FilterState &state, const QString &name);

/// A descriptor value read as the integer its text begins with.
NXSF_CORE_AUTOTEST_EXPORT qint32 intValue(const KeyedValuesPtr &record, const QString &key);

} // namespace FieldList
} // namespace NxSerialFilter
