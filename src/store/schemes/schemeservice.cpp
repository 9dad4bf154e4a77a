// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include <NxSerialFilter/schemeservice.h>

#include "core/text/texts.h"
#include <NxSerialFilter/failure.h>

namespace NxSerialFilter {

QVariant SchemeWriterComponent::RenameFilter(const QString &, const QString &, qint32,
                                             const QString &)
{
    // A host's own service written before renames existed keeps working without them.
    throw FilterError(ErrorNumber::MemberMissing, QStringLiteral("RenameFilter"),
                      Texts::componentWrongType() + QStringLiteral("RenameFilter"));
}

} // namespace NxSerialFilter
