// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <Qt>

namespace NxSerialFilter::Keys {

constexpr int F1 = 112;
constexpr int F7 = 118;

/// The host platform's virtual key code for a Qt key (F1 is 112, F7 is 118); letters and
/// digits keep their codes, other keys their Qt value.
constexpr int windowsKeyCode(int qtKey)
{
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return F1 + (qtKey - Qt::Key_F1);
    return qtKey;
}

} // namespace NxSerialFilter::Keys
