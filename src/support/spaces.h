// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "nxserialfilter_export.h"

#include <QString>

namespace NxSerialFilter {

/// The text without spaces (U+0020 only) at its ends; tabs and other blanks stay.
NXSERIALFILTER_EXPORT QString trimSpaces(const QString &text);

} // namespace NxSerialFilter
