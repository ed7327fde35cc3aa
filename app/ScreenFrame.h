#pragma once
// Steps that the start screen and the main menu take alike.

namespace platform {
class Screen;
}

namespace app {

// A new resizing object in Modulo1::Ridimensiona, bound to the screen, which
// it sizes to three quarters of the display, centred.
void SetUpResizing(platform::Screen& screen);

// Moves the screen to the top-left corner and makes it as large as the display.
void CoverDisplay(platform::Screen& screen);

// Keeps the controls of the screen loaded last in proportion.
void ResizeControls();

}  // namespace app
