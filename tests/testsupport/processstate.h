// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/language/languagestate.h"
#include <NxSerialFilter/components.h>
#include <NxSerialFilter/contextstore.h>

namespace NxSerialFilter::Testing {

/// The component as a host process first loads it: default outside components, an empty
/// property store, no language read yet. (The tests that open help drop the kept help
/// component themselves: HelpKey::release.)
inline void freshProcessState()
{
    ComponentRegistry::instance().restoreDefaults();
    ContextStore::clear();
    Language::reload();
}

} // namespace NxSerialFilter::Testing
