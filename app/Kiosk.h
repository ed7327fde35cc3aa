#pragma once
// Kiosk mode, for a classroom: the program offers a child no way out of its
// own windows, and keeps the screen awake (TakeSettings). On X the shown
// screen holds the keyboard (ScreenHold); on Wayland the classroom session's
// compositor holds the screen. Ctrl+Alt+Del, switching users and the text
// consoles are no program's to hold: the desktop locks them. Closing a
// window through the window system (Alt+F4, the frame's button) is refused,
// and only a parent's chord, Ctrl+Alt+Shift+Q held down for two seconds, ends
// the program. The screens do their part: the menu hides Esci and asks no
// exit question, F11 keeps the full screen, the settings chord does nothing,
// and the language is chosen in the parent's settings only. A few minutes
// without input mean a new child: the counts start again from zero.

#include <QObject>
#include <QTimer>
#include <chrono>

namespace app {

using namespace std::chrono_literals;

// Whether this run is a kiosk (the setting or --kiosk).
bool KioskMode();

// The application-wide filter of kiosk mode; it ends the program with
// media::EndProgram once the chord has been held for `hold`.
class KioskGuard : public QObject {
public:
    explicit KioskGuard(std::chrono::milliseconds hold = 2s, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer hold_;   // the chord held so far
    QTimer letGo_;  // Q released, unless a repeated press follows
};

// Keeps the shown screen in front, full screen and holding the keyboard, so
// that neither the window manager's own keys (show the desktop, switch windows
// or desktops) nor a request to minimise or another program taking the front
// leave a child outside the program. A message box holds the keyboard while
// it is up. (A desktop that grants no keyboard grab, as on Wayland, needs a
// kiosk session of its own.)
class ScreenHold : public QObject {
public:
    explicit ScreenHold(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void holdShownScreen();
    QTimer again_;
};

// How long no key, click or touch means the child has gone.
inline constexpr std::chrono::milliseconds kNewChildAfter = 3min;

// Zeroes the counts of the exercise screens once no input has come for `idle`;
// while a child plays, the next one is asked who is playing.
class NewChildWatch : public QObject {
public:
    explicit NewChildWatch(std::chrono::milliseconds idle = kNewChildAfter, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer idle_;
};

// Installs the guard and the watch for the rest of the run when this run is a kiosk.
void StartKiosk();

}  // namespace app
