// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/language.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>

class QWidget;

// Property parser, language look-up and form fonts.
namespace NxSerialFilter::MParse {

/// The value of key in the context property string; the empty text when absent. Never fails.
NXSF_CORE_PRIVATE_EXPORT QString GetPropValue(const QString &key);

/// The same rule on a given property string (the search is not anchored at pair boundaries).
QString propValueIn(QString propsString, const QString &key);

/// The text to show for a Chinese key. Never fails: the key itself is the fallback.
inline QString LoadLangString(const QString &key)
{
    return Language::text(key);
}

/// As LoadLangString through the loader's second look-up; simplified Chinese passes through.
NXSF_CORE_PRIVATE_EXPORT QString LoadLangString2(const QString &key);

/// Translates a composite text piece by piece ("^|^" separates, "~$~" marks a key).
NXSF_CORE_AUTOTEST_EXPORT QString ExpandLangParts(const QString &text);

/// Lets the form text loader set up the form's fonts for the current language. Throws when
/// the loader fails.
NXSF_CORE_PRIVATE_EXPORT void ApplyFormFont(QWidget *form);

/// The cached language code (empty until a look-up found one).
NXSF_CORE_PRIVATE_EXPORT QString CurrentLanguage();

/// Forgets the cached language and both loaders, as when the component is loaded anew.
NXSF_CORE_AUTOTEST_EXPORT void resetModuleState();

} // namespace NxSerialFilter::MParse
