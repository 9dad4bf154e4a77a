// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QStringView>

namespace NxSerialFilter {

/// Whether a column name of a field description may go into a condition: letters, digits and
/// "_", not starting with a digit, optionally qualified once with "." ("t1.FQty"); or one
/// identifier quoted in "…" or […] with no closing quote and no control character inside.
/// The descriptions are the host's code, but one read from a file must not widen a filter.
NXSF_CORE_PRIVATE_EXPORT bool isPlainColumnName(QStringView name);

} // namespace NxSerialFilter
