// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QTest>

namespace CliTesting {

/// Checks a finished run of the tool: standard error starts with err (and is empty when err
/// is), standard output is exactly out, and the exit code is exitCode.
inline void checkOutcome(QProcess &process, const QByteArray &err, const QByteArray &out,
                         int exitCode)
{
    const QByteArray stdErr = process.readAllStandardError();
    QVERIFY2(stdErr.startsWith(err), stdErr.constData());
    if (err.isEmpty())
        QCOMPARE(stdErr, QByteArray());
    QCOMPARE(process.readAllStandardOutput(), out);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
}

} // namespace CliTesting
