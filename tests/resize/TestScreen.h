#pragma once
// A small screen of every kind of control the resizing and the translation
// touch, and its controls' positions and sizes in twips.

#include "Design.h"
#include "Screen.h"

#include <QList>
#include <QRectF>

namespace test_screen {

using Box = QList<double>;  // Left, Top, Width, Height

// A control at `twips` (left, top, width, height).
inline forms::ControlDesign control(const char* name, forms::Kind kind, QRectF twips, const char* caption = nullptr,
                                    int index = -1, const char* container = nullptr) {
    return {.name = name,
            .kind = kind,
            .index = index,
            .container = container,
            .left = twips.left(),
            .top = twips.top(),
            .width = twips.width(),
            .height = twips.height(),
            .caption = caption};
}

inline forms::ScreenDesign design() {
    using forms::Kind;
    forms::ScreenDesign screen{"FormTest", 9360, 6540, qRgb(255, 255, 255)};
    screen.caption = "Schermo";
    screen.controls = {
        // Halves are recorded to the even neighbour.
        control("Label1", Kind::Label, {100.5, 101.5, 2000.5, 399.5}, "Etichetta"),
        control("Command1", Kind::CommandButton, {3000, 200, 1500, 500}, "Vai"),
        control("Picture2", Kind::PictureBox, {5000, 1000, 3000, 3000}),
        control("Option1", Kind::OptionButton, {100, 100, 2000, 300}, "Primo", 0, "Picture2"),
        control("Option1", Kind::OptionButton, {100, 500, 2000, 300}, "Secondo", 1, "Picture2"),
        control("Picture1", Kind::Image, {120, 4500, 1000, 1000}, nullptr, 0),
        control("Label2", Kind::Label, {1200, 4500, 2000, 400}, "Resta"),
        control("mnuEsci", Kind::MenuCommand, {}, "Esci"),
    };
    return screen;
}

inline Box boxOf(const forms::Control& control) {
    using forms::Coordinate;
    return {*control.coordinate(Coordinate::Left), *control.coordinate(Coordinate::Top),
            *control.coordinate(Coordinate::Width), *control.coordinate(Coordinate::Height)};
}

// The window's frame and menu bar take their size only once the window has
// one, so a second step may be needed. True when the client area has the size.
inline bool setClientSize(forms::Screen& screen, double width, double height) {
    for (int step = 0; step < 2 && (screen.scaleWidth() != width || screen.scaleHeight() != height); ++step) {
        screen.setWidth(screen.width() - screen.scaleWidth() + width);
        screen.setHeight(screen.height() - screen.scaleHeight() + height);
    }
    return screen.scaleWidth() == width && screen.scaleHeight() == height;
}

}  // namespace test_screen
