// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/fields/hostfields.h"
#include <NxSerialFilter/fieldcatalog.h>

#include <NxSerialFilter/nxsf_core_export.h>

namespace NxSerialFilter {

class ConditionGrid;

/// The field column's list and FieldIDs, built from the host's descriptions, and the way back
/// from a list position to its descriptor.
namespace FieldList {

/// Fills the field, comparison and logic lists and gives the grid their catalog; in serial
/// mode also sets ScreenID and FieldIDs.
/// Never throws: returns the failure's message (the dialog shows it), empty on success.
NXSF_CORE_AUTOTEST_EXPORT QString SetFields(HostFields &state, ConditionGrid &grid);

/// The descriptor behind list position k (serial mode): the first of Header, then of Entry,
/// whose FPropID has the same leading number as FieldIDs[k], one with the very same text
/// before others; none when there is none, and none for position 0, "(无)".
/// Throws when the description lacks its groups or k has no FieldIDs entry. Uses the index of
/// the serial catalog SetFields built, or walks the groups when there is none.
NXSF_CORE_AUTOTEST_EXPORT KeyedValuesPtr FindFieldDescriptor(const HostFields &state,
                                                             const FieldCatalog &catalog, int k);

/// The common-mode field list ("Fields" of the common values); throws when there is none.
NXSF_CORE_AUTOTEST_EXPORT ValueListPtr commonFields(const HostFields &state);

/// Item k of the common-mode field list; throws when there is none.
NXSF_CORE_AUTOTEST_EXPORT KeyedValuesPtr commonField(const HostFields &state, int k);

/// The Header or Entry group of the serial description; throws when there is none.
NXSF_CORE_AUTOTEST_EXPORT DescriptionGroupPtr group(const HostFields &state, const QString &name);

/// Whether the field cell's search finds caption by what the user typed: the caption holds
/// the text, letter case ignored. Chinese captions are found by their characters only.
NXSF_CORE_AUTOTEST_EXPORT bool captionFound(QStringView caption, QStringView typed);

/// A descriptor value read as the integer its text begins with.
NXSF_CORE_AUTOTEST_EXPORT qint32 intValue(const KeyedValuesPtr &record, const QString &key);

} // namespace FieldList
} // namespace NxSerialFilter
