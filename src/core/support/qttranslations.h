// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>

namespace NxSerialFilter::QtTranslations {

/// Lets Qt's own texts (standard buttons, the editors' context menus) speak a language code of
/// the context: Qt's Chinese for "chs", "cht" and no code, Qt's English otherwise. The
/// translator of the previous language is removed; a missing file leaves Qt's English.
NXSF_CORE_PRIVATE_EXPORT void follow(const QString &language);

} // namespace NxSerialFilter::QtTranslations
