// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

/// @file
/// The language the component speaks, for a host that shows its own texts in it.

#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>
#include <QStringList>

/// The component's texts are keyed by their simplified Chinese source; the language is the
/// context's "LANGUAGE" property ("chs", the keys' own language, when none is set).
namespace NxSerialFilter::Language {

/// The text for key, a simplified Chinese source text, in the current language, looked up
/// through the language loader (ComponentId::resourceLoader()) as the dialog looks up its own;
/// key itself when there is no translation. Never fails.
NXSF_CORE_EXPORT QString text(const QString &key);

/// Forgets the language the component read from the context, and the loaders made for it:
/// call it after filing a property string with another "LANGUAGE", so that the texts, the
/// dialogs opened later and the words of a composed condition speak the new language.
NXSF_CORE_EXPORT void reload();

/// The codes of the languages the component ships a translation for ("en", ...), in name
/// order; "chs", the language of the keys, is not among them.
NXSF_CORE_EXPORT QStringList shipped();

} // namespace NxSerialFilter::Language
