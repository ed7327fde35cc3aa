#include "ScreenFrame.h"

#include "Screen.h"
#include "SharedState.h"
#include "clsResize.h"

namespace app {

void SetUpResizing(platform::Screen& screen) {
    Modulo1::Ridimensiona = std::make_unique<clsResize>();
    Modulo1::Ridimensiona->SourceForm(&screen);
    Modulo1::Ridimensiona->SizeFormToScreen(75);
}

void CoverDisplay(platform::Screen& screen) {
    screen.setTop(0);
    screen.setLeft(0);
    screen.setHeight(screen.displayHeight());
    screen.setWidth(screen.displayWidth());
}

void ResizeControls(platform::Screen& screen) {
    if (Modulo1::Ridimensiona && Modulo1::Ridimensiona->SourceForm() == &screen)
        Modulo1::Ridimensiona->ResizeControls();
}

}  // namespace app
