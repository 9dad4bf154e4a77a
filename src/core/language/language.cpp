// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/language.h>

#include "core/conditions/vocabulary.h"
#include "core/language/languagestate.h"

namespace NxSerialFilter::Language {

QStringList shipped()
{
    return Vocabulary::shippedLanguages();
}

} // namespace NxSerialFilter::Language
