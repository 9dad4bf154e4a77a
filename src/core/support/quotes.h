// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_core_export.h>

#include <QString>
#include <QStringView>

namespace NxSerialFilter {

/// Appends text to out with every single quote doubled, in one pass: a text of nothing but
/// quotes costs time in proportion to its length.
NXSF_CORE_AUTOTEST_EXPORT void appendQuotesDoubled(QString &out, QStringView text);

/// The text with every single quote doubled.
NXSF_CORE_PRIVATE_EXPORT QString quotesDoubled(QStringView text);

} // namespace NxSerialFilter
