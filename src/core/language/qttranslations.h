// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "core/language/languagestate.h"
#include <NxSerialFilter/nxsf_core_export.h>

#include <QLocale>
#include <QString>

namespace NxSerialFilter::QtTranslations {

/// The locale whose texts Qt shows for a language code of the context: Chinese for "chs",
/// "cht" and no code, English otherwise. The calendar's month and day names follow it.
inline QLocale localeFor(const QString &language)
{
    const QString code = language.trimmed().toLower();
    // The component shows its Chinese texts when the context names no language.
    if (code.isEmpty() || code == QLatin1String("chs"))
        return QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
    if (code == QLatin1String("cht"))
        return QLocale(QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::Taiwan);
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

/// Notes the language code of the context whose Qt texts (standard buttons, the editors'
/// context menus) the component's windows show: Qt's Chinese for "chs", "cht" and no code,
/// Qt's English otherwise. Takes effect at once while a Shown lives, else at the next one.
NXSF_CORE_AUTOTEST_EXPORT void follow(const QString &language);

/// Qt's translator for the noted language is installed while at least one Shown lives (one
/// per window of the component being shown) and removed with the last, so that the host's
/// own translation of Qt's texts is what it was before and after. Does nothing outside the
/// application's thread.
class Shown
{
public:
    Shown()
        : m_counted(LanguageState::instance().countShown(+1))
    {}
    ~Shown()
    {
        if (m_counted)
            LanguageState::instance().countShown(-1);
    }
    Shown(const Shown &) = delete;
    Shown &operator=(const Shown &) = delete;

private:
    bool m_counted = false;
};

/// Counts a window in (+1) or out (-1) and installs or removes the translator; false, and
/// nothing counted, outside the application's thread. The language state's countShown.
bool count(int change);

} // namespace NxSerialFilter::QtTranslations
