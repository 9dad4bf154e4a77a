// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/language.h>

#include "core/language/languagestate.h"

#include <QDir>

namespace NxSerialFilter::Language {

QStringList shipped()
{
    // Every translation built into the library is a language the component ships.
    const QString base = QStringLiteral("NxINDUSTRY_");
    const QStringList files =
        QDir(QStringLiteral(":/i18n"))
            .entryList({base + QStringLiteral("*.qm")}, QDir::Files, QDir::Name);
    QStringList codes;
    for (const QString &file : files)
        codes.append(file.mid(base.size()).chopped(3));
    return codes;
}

} // namespace NxSerialFilter::Language
