#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace forms {

namespace {

constexpr double kTwipsPerInch = 1440.0;

const QScreen* screenOf(const QWidget* widget) {
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}

double twipsPerPixel(qreal dotsPerInch) {
    return dotsPerInch > 0 ? kTwipsPerInch / dotsPerInch : 15.0;
}

}  // namespace

double twipsPerPixelX(const QWidget* widget) {
    const QScreen* screen = screenOf(widget);
    return twipsPerPixel(screen ? screen->logicalDotsPerInchX() : 0);
}

double twipsPerPixelY(const QWidget* widget) {
    const QScreen* screen = screenOf(widget);
    return twipsPerPixel(screen ? screen->logicalDotsPerInchY() : 0);
}

}  // namespace forms
