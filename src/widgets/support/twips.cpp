// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/support/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace NxSerialFilter::Twips {

double perPixel(const QWidget *widget)
{
    double dpi = 96.0;
    if (widget)
        dpi = widget->logicalDpiX();
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        dpi = screen->logicalDotsPerInchX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int toPixels(int twips, const QWidget *widget)
{
    return int(std::lround(twips / perPixel(widget)));
}

QRect toPixels(int left, int top, int width, int height, const QWidget *widget)
{
    return {toPixels(left, widget), toPixels(top, widget), toPixels(width, widget),
            toPixels(height, widget)};
}

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(toPixels(left, top, width, height, widget));
}

} // namespace NxSerialFilter::Twips
