// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include "nxserialfilter_export.h"

#include <QRect>

class QWidget;

namespace NxSerialFilter::Twips {

/// Twips per pixel of the screen a widget is on: 15 at 96 logical dots per inch.
NXSERIALFILTER_EXPORT double perPixel(const QWidget *widget);
NXSERIALFILTER_EXPORT int toPixels(int twips, const QWidget *widget);
/// A design-time rectangle (left, top, width, height in twips) in pixels.
NXSERIALFILTER_EXPORT QRect toPixels(int left, int top, int width, int height,
                                     const QWidget *widget);

} // namespace NxSerialFilter::Twips
