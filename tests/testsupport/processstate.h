// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/support/mmts.h"
#include "core/support/mparse.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>

namespace NxSerialFilter::Testing {

/// The component as a host process first loads it: default outside components, an empty
/// property store, no language read yet, no help component kept.
inline void freshProcessState()
{
    ComponentRegistry::instance().restoreDefaults();
    ContextStore::clear();
    MParse::resetModuleState();
    MMTS::releaseHelpComponent();
}

} // namespace NxSerialFilter::Testing
