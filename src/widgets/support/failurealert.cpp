// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/support/failurealert.h"

#include "core/host/busypointer.h"
#include <NxSerialFilter/failure.h>

#include <exception>

namespace NxSerialFilter {

void alertCurrentFailure(int style)
{
    BusyPointer::restore();
    nxAlert::ShowAlert(describeFailure(std::current_exception()), style);
}

} // namespace NxSerialFilter
