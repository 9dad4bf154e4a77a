// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "busypointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace NxSerialFilter::BusyPointer {

namespace {
bool s_shown = false;

bool haveGui()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}
} // namespace

void show()
{
    if (s_shown || !haveGui())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    s_shown = true;
}

void restore()
{
    if (!s_shown)
        return;
    s_shown = false;
    if (haveGui())
        QGuiApplication::restoreOverrideCursor();
}

bool isShown()
{
    return s_shown;
}

void restoreDefault()
{
    restore();
    if (!haveGui())
        return;
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

} // namespace NxSerialFilter::BusyPointer
