#include "Palette.h"

#include <QPalette>
#include <QWidget>

namespace forms {

void setOpaqueBackground(QWidget* widget, QRgb colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(colour));
    palette.setColor(QPalette::Button, QColor::fromRgb(colour));
    widget->setPalette(palette);
    widget->setBackgroundRole(QPalette::Window);
    widget->setAutoFillBackground(true);
}

void setTextColour(QWidget* widget, QRgb colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(colour));
    palette.setColor(QPalette::ButtonText, QColor::fromRgb(colour));
    widget->setPalette(palette);
}

}  // namespace forms
