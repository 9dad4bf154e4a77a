// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QStringView>

namespace NxSerialFilter::DateText {

/// The date a typed text names: yyyy-mm-dd, yyyy-m-d, yyyy/mm/dd (or yyyy/m/d) and yyyymmdd,
/// blanks around it ignored. Anything else is no date, an impossible day included: 2024-02-30
/// must not become another day.
QDate parse(QStringView text);

} // namespace NxSerialFilter::DateText
