// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#include "widgets/support/images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace NxSerialFilter::Images {

namespace {

QPixmap canvas(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawSave(QPainter &p)
{
    p.setPen(QColor(30, 60, 120));
    p.setBrush(QColor(70, 110, 190));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(Qt::white);
    p.drawRect(4, 2, 7, 5);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(4, 9, 7, 5);
}

void drawDelete(QPainter &p)
{
    p.setPen(QPen(QColor(200, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(3, 3, 12, 12);
    p.drawLine(12, 3, 3, 12);
}

void drawSaveAs(QPainter &p)
{
    drawSave(p);
    p.setPen(QPen(QColor(230, 150, 20), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(9, 13, 14, 8);
}

void drawView(QPainter &p)
{
    p.setPen(QColor(40, 40, 40));
    for (int row = 0; row < 3; ++row) {
        p.setBrush(QColor(90, 140, 60));
        p.drawRect(1, 2 + row * 4, 3, 2);
        p.drawLine(6, 3 + row * 4, 14, 3 + row * 4);
    }
}

void drawScheme(QPainter &p)
{
    p.setPen(QColor(120, 90, 20));
    p.setBrush(QColor(250, 215, 100));
    QPainterPath funnel;
    funnel.moveTo(1, 2);
    funnel.lineTo(14, 2);
    funnel.lineTo(9, 8);
    funnel.lineTo(9, 14);
    funnel.lineTo(6, 12);
    funnel.lineTo(6, 8);
    funnel.closeSubpath();
    p.drawPath(funnel);
}

/// The scheme item with a star: the screen's default scheme.
void drawDefaultScheme(QPainter &p)
{
    drawScheme(p);
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? 4.0 : 1.7;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF point(11.5 + radius * std::cos(angle), 11.5 + radius * std::sin(angle));
        if (i == 0)
            star.moveTo(point);
        else
            star.lineTo(point);
    }
    star.closeSubpath();
    p.setPen(QColor(170, 40, 20));
    p.setBrush(QColor(235, 70, 40));
    p.drawPath(star);
}

void draw(QPainter &painter, int index)
{
    switch (index) {
    case 1:
        drawSave(painter);
        break;
    case 2:
        drawDelete(painter);
        break;
    case 3:
        drawSaveAs(painter);
        break;
    case 4:
        drawView(painter);
        break;
    case 6:
        drawDefaultScheme(painter);
        break;
    default:
        drawScheme(painter);
        break;
    }
}

} // namespace

QIcon image(int index)
{
    // Drawn at each size it is shown in: an icon never scales a small pixmap up, so the icon
    // view would otherwise show the small-icon size.
    QIcon icon;
    for (const int size : {16, 32}) {
        QPixmap pixmap = canvas(size);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter, index);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon formIcon()
{
    return image(5);
}

} // namespace NxSerialFilter::Images
