// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

namespace NxSerialFilter {

/// Appends text to out with every single quote doubled, in one pass: a text of nothing but
/// quotes costs time in proportion to its length.
void appendQuotesDoubled(QString &out, QStringView text);

/// The text with every single quote doubled.
QString quotesDoubled(QStringView text);

} // namespace NxSerialFilter
