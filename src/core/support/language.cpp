// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/language.h>

#include "core/conditions/vocabulary.h"
#include "core/support/mparse.h"

namespace NxSerialFilter::Language {

void reload()
{
    MParse::resetModuleState();
}

QStringList shipped()
{
    return Vocabulary::shippedLanguages();
}

} // namespace NxSerialFilter::Language
