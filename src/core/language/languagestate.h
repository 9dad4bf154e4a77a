// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/language.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>

class QWidget;

namespace NxSerialFilter {

/// The language state behind Language::text: the cached code, the loaders made for it, the
/// form fonts and Qt's own texts. The layers above reach it through the one instance, not a
/// call exported per operation; the dialog's edge calls it under its module names below.
class LanguageState
{
public:
    /// The process's language state.
    NXSF_CORE_PRIVATE_EXPORT static LanguageState &instance();

    virtual ~LanguageState() = default;

    /// See Language::designText.
    virtual QString designText(const QString &key) = 0;
    /// See Language::applyFormFont.
    virtual void applyFormFont(QWidget *form) = 0;
    /// See Language::cachedCode.
    virtual QString cachedCode() = 0;
    /// Counts a window that shows Qt's texts in (+1) or out (-1), see QtTranslations::Shown;
    /// false, and nothing counted, outside the application's thread.
    virtual bool countShown(int change) = 0;
};

namespace Language {

/// As text() through the loader's second look-up (the design-time items of the grid's word
/// lists); simplified Chinese passes through. Never fails.
inline QString designText(const QString &key)
{
    return LanguageState::instance().designText(key);
}

/// Translates a composite text piece by piece ("^|^" separates, "~$~" marks a key).
NXSF_CORE_AUTOTEST_EXPORT QString expandParts(const QString &text);

/// Lets the form text loader set up the form's fonts for the current language. Throws when
/// the loader fails.
inline void applyFormFont(QWidget *form)
{
    LanguageState::instance().applyFormFont(form);
}

/// The cached language code (empty until a look-up found one).
inline QString cachedCode()
{
    return LanguageState::instance().cachedCode();
}

} // namespace Language
} // namespace NxSerialFilter
