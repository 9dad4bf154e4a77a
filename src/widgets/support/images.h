// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QIcon>

namespace NxSerialFilter::Images {

/// The five 16 x 16 images of ImageList1, from 1: save, delete, save as, view, scheme item;
/// and 6, the item of the screen's default scheme.
NXSF_WIDGETS_AUTOTEST_EXPORT QIcon image(int index);

/// The dialog's own icon.
NXSF_WIDGETS_AUTOTEST_EXPORT QIcon formIcon();

} // namespace NxSerialFilter::Images
