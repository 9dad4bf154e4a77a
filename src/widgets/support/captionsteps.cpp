// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/support/captionsteps.h"

#include "core/language/languagestate.h"

namespace NxSerialFilter {

void runCaptionSteps(const std::vector<CaptionStep> &steps)
{
    for (const CaptionStep &step : steps) {
        try {
            step.write(Language::text(step.key));
        } catch (const std::exception &) {
            // A caption that cannot be written keeps its design-time text.
        }
    }
}

} // namespace NxSerialFilter
