#pragma once
// Pictures drawn from the design's SVG resources: pictures fitted into an
// area, window icons and mouse pointers.

#include "Design.h"

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>

namespace forms {

// The largest rectangle of `picture`'s proportions that fits in `area`, centred.
QRect fittedRect(const QSize& picture, const QRect& area);

// Renders an SVG resource as large as fits in `size` without distortion,
// centred on a transparent background. A null pixmap when it cannot be read.
QPixmap renderSvg(const QString& resource, const QSize& size, qreal devicePixelRatio = 1.0);

QIcon iconFromResource(const char* resource);       // 16, 32 and 48 pixels
QCursor cursorFromPointer(const Pointer& pointer);  // 32 x 32 with its hot spot

}  // namespace forms
