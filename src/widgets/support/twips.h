// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <NxSerialFilter/nxsf_widgets_export.h>

#include <QRect>

class QWidget;

namespace NxSerialFilter::Twips {

/// Twips per pixel of the screen a widget is on: 15 at 96 logical dots per inch.
NXSF_WIDGETS_AUTOTEST_EXPORT double perPixel(const QWidget *widget);
NXSF_WIDGETS_AUTOTEST_EXPORT int toPixels(int twips, const QWidget *widget);
/// A design-time rectangle (left, top, width, height in twips) in pixels.
NXSF_WIDGETS_AUTOTEST_EXPORT QRect toPixels(int left, int top, int width, int height,
                                            const QWidget *widget);
/// Puts a widget at its design-time rectangle.
NXSF_WIDGETS_AUTOTEST_EXPORT void place(QWidget *widget, int left, int top, int width, int height);

} // namespace NxSerialFilter::Twips
