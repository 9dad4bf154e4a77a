// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTest>

namespace NxSerialFilter::Testing {

/// What one run of the demo host printed and how it ended.
struct DemoRun
{
    int exitCode = -1;
    bool finished = false;
    QString output;

    /// The text after the first line that starts with prefix, or a null string.
    QString lineAfter(const QString &prefix) const
    {
        for (const QString &line : output.split(u'\n')) {
            if (line.startsWith(prefix))
                return line.mid(prefix.size());
        }
        return {};
    }
};

inline QString demoProgram()
{
    return qEnvironmentVariable("NXSF_BUILD_DIR") + QStringLiteral("/bin/serialfilter-demo");
}

/// Runs serialfilter-demo offscreen with the arguments; waits at most timeoutMs, a bound for a
/// demo that hangs, not a speed: a sanitized build on a busy machine takes minutes. Without
/// display, it runs as on a machine with no display at all.
inline DemoRun runDemo(const QStringList &arguments, int timeoutMs = 270000, bool display = true)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (display) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    } else {
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(name));
    }
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(demoProgram(), arguments);
    DemoRun run;
    run.finished = process.waitForFinished(timeoutMs);
    if (!run.finished)
        process.kill();
    run.output = QString::fromUtf8(process.readAll());
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

} // namespace NxSerialFilter::Testing
