// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "core/support/guard.h"

namespace NxSerialFilter {

namespace {
thread_local AlertCapture *t_capture = nullptr;
} // namespace

AlertCapture::AlertCapture()
    : m_outer(t_capture)
{
    t_capture = this;
}

AlertCapture::~AlertCapture()
{
    t_capture = m_outer;
}

AlertCapture *AlertCapture::current()
{
    return t_capture;
}

} // namespace NxSerialFilter
