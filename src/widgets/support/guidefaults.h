// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_widgets_export.h>

namespace NxSerialFilter {

/// True once the widgets layer has given the layers below it the real pointer and message
/// boxes; that happens when the library loads.
NXSF_WIDGETS_AUTOTEST_EXPORT bool guiDefaultsFiled();

} // namespace NxSerialFilter
