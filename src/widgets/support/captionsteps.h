// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QString>

#include <functional>
#include <vector>

namespace NxSerialFilter {

/// One caption a form localizes when it loads: the Chinese source text and where its
/// translation goes.
struct CaptionStep
{
    QString key;
    std::function<void(const QString &)> write;
};

/// Makes each write with its localized text, in order; a write that fails is skipped and the
/// control keeps its design-time text.
NXSF_WIDGETS_AUTOTEST_EXPORT void runCaptionSteps(const std::vector<CaptionStep> &steps);

} // namespace NxSerialFilter
