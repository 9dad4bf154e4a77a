// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace SerialFilterCli {

/// Exit codes: 0 done, 1 the component refused (its alert on standard error), 2 bad usage or
/// an unreadable or malformed file.
enum Exit { Done = 0, Refused = 1, Usage = 2 };

/// Reads a whole file, or standard input for "-", refusing one of more than limit bytes
/// before it fills the memory; the error message when it cannot.
std::optional<QString> readFile(const QString &path, QByteArray &bytes, qint64 limit);

int runSql(const QStringList &args);
int runSchemes(const QStringList &args);

} // namespace SerialFilterCli
