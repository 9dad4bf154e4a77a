// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/host/hostcontext.h"
#include "core/language/languagestate.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>

namespace NxSerialFilter::Testing {

/// The component as a host process first loads it: default outside components, an empty
/// property store, no language read yet, no help component kept.
inline void freshProcessState()
{
    ComponentRegistry::instance().restoreDefaults();
    ContextStore::clear();
    Language::reload();
    HostContext::releaseHelp();
}

} // namespace NxSerialFilter::Testing
