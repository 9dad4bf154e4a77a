// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/alerts/alertcapture.h"

namespace NxSerialFilter {

namespace {
thread_local AlertCapture *t_capture = nullptr;
} // namespace

AlertCapture *&AlertCapture::innermost()
{
    return t_capture;
}

} // namespace NxSerialFilter
