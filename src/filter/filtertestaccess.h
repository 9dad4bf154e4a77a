// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/filter.h>

namespace NxSerialFilter {

class frmFilter;

/// What the tests see of a Filter beyond its public face.
class NXSERIALFILTER_AUTOTEST_EXPORT FilterTestAccess
{
public:
    /// The dialog of the most recent ShowFilterForm, kept hidden until the next call.
    static frmFilter *dialog(const Filter &filter);
};

} // namespace NxSerialFilter
