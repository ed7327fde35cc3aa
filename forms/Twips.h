#pragma once
// Twips (1/1440 inch), the unit of every designed position and size, and the
// pixels of the screen a widget is on.

class QWidget;

namespace forms {

// Twips per pixel on the screen the widget is on (15 at 96 DPI).
double twipsPerPixelX(const QWidget* widget);
double twipsPerPixelY(const QWidget* widget);

}  // namespace forms
