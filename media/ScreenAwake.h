#pragma once
// Keeping the display awake: a kiosk, or a child playing by switch scanning,
// may give the desktop no input for longer than it waits before blanking and
// locking the screen. The desktop's screen saver is asked first
// (org.freedesktop.ScreenSaver on the session bus: GNOME, KDE, Xfce and
// others), then the desktop portal's idle inhibition
// (org.freedesktop.portal.Inhibit: sandboxes and other Wayland desktops). A
// desktop with neither lets the screen blank (logged in metamorfine.media).
// The desktop drops what the program holds when the program ends.

#include <QString>

namespace media {

// Holds the display awake, for `reason` (shown by some desktops), or lets it go.
void keepScreenAwake(bool awake, const QString& reason = QString());

// Whether a desktop service holds the display awake for the program now.
bool screenKeptAwake();

}  // namespace media
