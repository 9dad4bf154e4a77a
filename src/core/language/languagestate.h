// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/language.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>

class QWidget;

// The language state behind Language::text: the cached code, the loaders made for it, and the
// form fonts. The dialog's edge calls these under its module names.
namespace NxSerialFilter::Language {

/// As text() through the loader's second look-up (the design-time items of the grid's word
/// lists); simplified Chinese passes through. Never fails.
NXSF_CORE_PRIVATE_EXPORT QString designText(const QString &key);

/// Translates a composite text piece by piece ("^|^" separates, "~$~" marks a key).
NXSF_CORE_AUTOTEST_EXPORT QString expandParts(const QString &text);

/// Lets the form text loader set up the form's fonts for the current language. Throws when
/// the loader fails.
NXSF_CORE_PRIVATE_EXPORT void applyFormFont(QWidget *form);

/// The cached language code (empty until a look-up found one).
NXSF_CORE_PRIVATE_EXPORT QString cachedCode();

} // namespace NxSerialFilter::Language
