// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/keyedvalues.h>
#include <NxSerialFilter/limits.h>
#include <NxSerialFilter/nxsf_core_export.h>

#include <QJsonObject>

namespace NxSerialFilter::DescriptionJson {

/// A field description in its JSON form: {"SerialUse": true, "SerialclassID", "Header": [...],
/// "Entry": [...]} or {"SerialUse": false, "ScreenID", "Fields": [...]}. "Header" and "Entry"
/// become groups from index 0, other arrays lists from 1, objects keyed values.
NXSF_CORE_EXPORT KeyedValuesPtr read(const QJsonObject &object);

/// The most bytes a description's JSON may have: far above any real one, low enough that
/// parsing it cannot exhaust memory.
constexpr qsizetype MaxBytes = Limits::MaxDescriptionBytes;

/// Parses JSON text; throws FilterError with the parser's message when it is malformed, or
/// when it is longer than MaxBytes.
NXSF_CORE_EXPORT KeyedValuesPtr parse(const QByteArray &json);

/// Whether the description asks for serial mode ("SerialUse").
inline bool serialUse(const KeyedValuesPtr &description)
{
    return description && Values::toBool(description->get(QStringLiteral("SerialUse")));
}

} // namespace NxSerialFilter::DescriptionJson
