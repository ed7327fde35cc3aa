#pragma once
// Steps that every screen takes alike when it loads, activates and resizes.

namespace platform {
class Screen;
}

namespace app {

// A new resizing object in Modulo1::Ridimensiona, bound to the screen, which
// it sizes to three quarters of the display, centred.
void SetUpResizing(platform::Screen& screen);

// Moves the screen to the top-left corner and makes it as large as the display.
void CoverDisplay(platform::Screen& screen);

// Keeps the controls of `screen` in proportion. Ridimensiona serves the screen
// loaded last; during a change of screens that may already be the next one,
// whose controls are left to its own resize handler.
void ResizeControls(platform::Screen& screen);

}  // namespace app
