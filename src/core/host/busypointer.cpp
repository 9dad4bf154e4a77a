// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/host/busypointer.h"

namespace NxSerialFilter::BusyPointer {

namespace {
bool s_shown = false;
Cursor s_cursor;
} // namespace

void setCursor(const Cursor &cursor)
{
    s_cursor = cursor;
}

void show()
{
    if (s_shown || !s_cursor.setWait)
        return;
    s_cursor.setWait();
    s_shown = true;
}

void restore()
{
    if (!s_shown)
        return;
    s_shown = false;
    if (s_cursor.restoreOne)
        s_cursor.restoreOne();
}

bool isShown()
{
    return s_shown;
}

void restoreDefault()
{
    restore();
    if (!s_cursor.anySet || !s_cursor.restoreOne)
        return;
    while (s_cursor.anySet())
        s_cursor.restoreOne();
}

} // namespace NxSerialFilter::BusyPointer
