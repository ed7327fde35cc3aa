#pragma once
// Steps that every screen takes alike when it loads, activates and resizes.

namespace forms {
class Control;
class Screen;
}  // namespace forms

namespace state {

// A new resizing object in Modulo1::Ridimensiona, bound to the screen, which
// it sizes to three quarters of the display, centred.
void SetUpResizing(forms::Screen& screen);

// Moves the screen to the top-left corner, makes it as large as the display
// and puts it in the window system's full-screen state; in windowed mode it
// stays the window SetUpResizing made it.
void CoverDisplay(forms::Screen& screen);

// Windowed mode (--windowed, or F11 on any screen) holds for every screen shown
// later in the run. F11 switches the screen in front between full screen and
// its window, which SetUpResizing connects on every screen but in kiosk mode.
void ChooseWindowed(bool windowed);
void SwitchFullScreen(forms::Screen& screen);

// Keeps the controls of `screen` in proportion. Ridimensiona serves the screen
// loaded last; during a change of screens that may already be the next one,
// whose controls are left to its own resize handler.
void ResizeControls(forms::Screen& screen);
// Gives a control of `screen` a new place in the screen's design, kept in
// proportion as ResizeControls keeps the others.
void MoveControl(forms::Screen& screen, forms::Control& control, double left, double top, double width, double height);

}  // namespace state
