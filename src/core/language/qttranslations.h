// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QLocale>
#include <QString>

namespace NxSerialFilter::QtTranslations {

/// The locale whose texts Qt shows for a language code of the context: Chinese for "chs",
/// "cht" and no code, English otherwise. The calendar's month and day names follow it.
NXSF_CORE_PRIVATE_EXPORT QLocale localeFor(const QString &language);

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
        : m_counted(count(+1))
    {}
    ~Shown()
    {
        if (m_counted)
            count(-1);
    }
    Shown(const Shown &) = delete;
    Shown &operator=(const Shown &) = delete;

private:
    /// Counts a window in (+1) or out (-1) and installs or removes the translator; false, and
    /// nothing counted, outside the application's thread.
    NXSF_CORE_PRIVATE_EXPORT static bool count(int change);

    bool m_counted = false;
};

} // namespace NxSerialFilter::QtTranslations
