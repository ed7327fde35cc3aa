#pragma once
// The card every picture of the exercises stands on: a white rounded square
// with a thin border whose outer edge lies one pixel inside the picture. The
// picture outside the card stays transparent, so the card sits on any
// background.

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace resources::picture_sets {

// The side of every picture, in pixels.
inline constexpr int kPictureSize = 512;

inline constexpr double kCardBorderWidth = 6;
inline constexpr double kCardCornerRadius = 56;

// Draws the card, antialiased, over the whole of a `side` pixels square
// picture whose pixels are still transparent.
inline void drawCard(QPainter& painter, int side, const QColor& border, const QColor& face) {
    const double inset = 1 + kCardBorderWidth / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(border, kCardBorderWidth));
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(inset, inset, side - 2 * inset, side - 2 * inset), kCardCornerRadius,
                            kCardCornerRadius);
    painter.restore();
}

}  // namespace resources::picture_sets
