#include "ScreenFrame.h"

#include "KeyboardPlay.h"
#include "Screen.h"
#include "Settings.h"
#include "SharedState.h"
#include "clsResize.h"

namespace state {

namespace {

bool windowedMode = false;

}  // namespace

void SetUpResizing(forms::Screen& screen) {
    Modulo1::Ridimensiona = std::make_unique<clsResize>();
    Modulo1::Ridimensiona->SourceForm(&screen);
    Modulo1::Ridimensiona->SizeFormToScreen(75);
    // A kiosk keeps the full screen: the desktop stays out of reach.
    if (!settings::current().kiosk)
        screen.keys().bind(Qt::Key_F11, [&screen] { SwitchFullScreen(screen); });
}

void CoverDisplay(forms::Screen& screen) {
    if (windowedMode)
        return;
    // A Wayland compositor sizes a full-screen window, and gives it back its
    // own size, three quarters of the display, when it leaves that state.
    if (!forms::Screen::compositorPlacesWindows()) {
        screen.setTop(0);
        screen.setLeft(0);
        screen.setHeight(screen.displayHeight());
        screen.setWidth(screen.displayWidth());
    }
    // A window manager then takes the frame away and keeps the window on the
    // display; without one the geometry above is already the whole display.
    screen.setFullScreen(true);
}

void ChooseWindowed(bool windowed) {
    windowedMode = windowed;
}

void SwitchFullScreen(forms::Screen& screen) {
    windowedMode = !windowedMode;
    if (!windowedMode) {
        CoverDisplay(screen);
        return;
    }
    // Back to the window SetUpResizing made: three quarters of the display,
    // centred, given after the state has changed (a window manager takes a
    // geometry given before as that of the full screen). A Wayland compositor
    // gives the window back that size itself, once it has left the state.
    screen.setFullScreen(false);
    if (Modulo1::Ridimensiona && Modulo1::Ridimensiona->SourceForm() == &screen &&
        !forms::Screen::compositorPlacesWindows())
        Modulo1::Ridimensiona->SizeFormToScreen(75);
}

void ResizeControls(forms::Screen& screen) {
    if (Modulo1::Ridimensiona && Modulo1::Ridimensiona->SourceForm() == &screen)
        Modulo1::Ridimensiona->ResizeControls();
}

void MoveControl(forms::Screen& screen, forms::Control& control, double left, double top, double width, double height) {
    if (Modulo1::Ridimensiona && Modulo1::Ridimensiona->SourceForm() == &screen)
        Modulo1::Ridimensiona->MoveControl(control, left, top, width, height);
}

}  // namespace state
