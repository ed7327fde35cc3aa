#pragma once
// A small screen of every kind of control the resizing and the translation
// touch, and its controls' positions and sizes in twips.

#include "Design.h"
#include "Screen.h"

#include <QList>

namespace test_screen {

using Box = QList<double>;  // Left, Top, Width, Height

inline platform::ScreenDesign design(double clientWidth = 9360, double clientHeight = 6540) {
    using platform::Kind;
    platform::ScreenDesign screen{"FormTest", clientWidth, clientHeight, qRgb(255, 255, 255)};
    screen.caption = "Schermo";
    screen.controls = {
        // Halves are recorded to the even neighbour.
        {.name = "Label1",
         .kind = Kind::Label,
         .left = 100.5,
         .top = 101.5,
         .width = 2000.5,
         .height = 399.5,
         .caption = "Etichetta"},
        {.name = "Command1",
         .kind = Kind::CommandButton,
         .left = 3000,
         .top = 200,
         .width = 1500,
         .height = 500,
         .caption = "Vai"},
        {.name = "Picture2", .kind = Kind::PictureBox, .left = 5000, .top = 1000, .width = 3000, .height = 3000},
        {.name = "Option1",
         .kind = Kind::OptionButton,
         .index = 0,
         .container = "Picture2",
         .left = 100,
         .top = 100,
         .width = 2000,
         .height = 300,
         .caption = "Primo"},
        {.name = "Option1",
         .kind = Kind::OptionButton,
         .index = 1,
         .container = "Picture2",
         .left = 100,
         .top = 500,
         .width = 2000,
         .height = 300,
         .caption = "Secondo"},
        {.name = "Picture1", .kind = Kind::Image, .index = 0, .left = 120, .top = 4500, .width = 1000, .height = 1000},
        {.name = "Label2",
         .kind = Kind::Label,
         .left = 1200,
         .top = 4500,
         .width = 2000,
         .height = 400,
         .caption = "Resta"},
        {.name = "mnuEsci", .kind = Kind::MenuCommand, .caption = "Esci"},
    };
    return screen;
}

inline Box boxOf(const platform::Control& control) {
    using platform::Coordinate;
    return {*control.coordinate(Coordinate::Left), *control.coordinate(Coordinate::Top),
            *control.coordinate(Coordinate::Width), *control.coordinate(Coordinate::Height)};
}

// The window's frame and menu bar take their size only once the window has
// one, so a second step may be needed. True when the client area has the size.
inline bool setClientSize(platform::Screen& screen, double width, double height) {
    for (int step = 0; step < 2 && (screen.scaleWidth() != width || screen.scaleHeight() != height); ++step) {
        screen.setWidth(screen.width() - screen.scaleWidth() + width);
        screen.setHeight(screen.height() - screen.scaleHeight() + height);
    }
    return screen.scaleWidth() == width && screen.scaleHeight() == height;
}

}  // namespace test_screen
