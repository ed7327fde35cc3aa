#pragma once
// A window of the program destroyed by another program (not closed: destroyed
// outright, as a misbehaving window manager or a tool may do) leaves Qt
// believing it is shown. The child then has nothing to play, and the program
// would live on invisibly, holding its single-copy guard so that no new start
// succeeds. A screen destroyed so ends the program; a message box destroyed
// so is answered as closed.

namespace app {

// Watches the window system's word of destroyed windows for the rest of the run.
void EndWhenScreensAreDestroyed();

}  // namespace app
