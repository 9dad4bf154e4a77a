// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/support/captionsteps.h"

#include "core/support/mparse.h"

namespace NxSerialFilter {

void runCaptionSteps(const std::vector<CaptionStep> &steps)
{
    for (const CaptionStep &step : steps) {
        try {
            step.write(MParse::LoadLangString(step.key));
        } catch (...) {
            // A caption that cannot be written keeps its design-time text.
        }
    }
}

} // namespace NxSerialFilter
