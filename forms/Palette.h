#pragma once
// The designed colours of a control, set through its widget's palette.

#include <QRgb>

class QWidget;

namespace forms {

// Fills the widget's background with `colour` before it draws itself.
void setOpaqueBackground(QWidget* widget, QRgb colour);
// Draws the widget's text, and a button's caption, in `colour`.
void setTextColour(QWidget* widget, QRgb colour);

}  // namespace forms
