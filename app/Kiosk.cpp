#include "Kiosk.h"

#include "Players.h"
#include "Process.h"
#include "Screen.h"
#include "Screens.h"
#include "Settings.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace app {

namespace {

constexpr Qt::KeyboardModifiers kChordModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;

// A key held down repeats as releases and presses, not always marked as
// repeats (Xvfb): Q is let go only when no press follows its release soon.
constexpr std::chrono::milliseconds kRepeatGap = 150ms;

bool isChordModifier(int key) {
    return key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Shift;
}

// How soon the screen is taken back once something took it, and how often
// that is tried again while the window manager has not given it back.
constexpr std::chrono::milliseconds kTakeBackAfter = 50ms;
constexpr std::chrono::milliseconds kTryAgainAfter = 500ms;

// The screen shown: the one window of the program that is not a dialog.
QWidget* shownScreen() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto shown = std::find_if(windows.cbegin(), windows.cend(), [](const QWidget* window) {
        return window->isVisible() && window->windowType() == Qt::Window && !qobject_cast<const QDialog*>(window);
    });
    return shown == windows.cend() ? nullptr : *shown;
}

}  // namespace

bool KioskMode() {
    return settings::current().kiosk;
}

KioskGuard::KioskGuard(std::chrono::milliseconds hold, QObject* parent) : QObject(parent) {
    hold_.setSingleShot(true);
    hold_.setInterval(hold);
    connect(&hold_, &QTimer::timeout, this, [] { media::EndProgram(); });
    letGo_.setSingleShot(true);
    letGo_.setInterval(kRepeatGap);
    connect(&letGo_, &QTimer::timeout, &hold_, &QTimer::stop);
    qApp->installEventFilter(this);
}

bool KioskGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Close:
        // Closing a screen's window (Alt+F4, the frame's button) is refused; the
        // program itself never closes one, it hides it. A message box closed
        // by the window system answers No or OK as Escape does.
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow() && !qobject_cast<QDialog*>(watched)) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Q && key->modifiers() == kChordModifiers) {
            letGo_.stop();
            if (!hold_.isActive())
                hold_.start();
            return true;
        }
        break;
    }
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isChordModifier(key->key()) && !key->isAutoRepeat())
            hold_.stop();
        else if (key->key() == Qt::Key_Q && hold_.isActive())
            letGo_.start();
        break;
    }
    case QEvent::ApplicationDeactivate:
        // Keys released elsewhere never reach the program.
        hold_.stop();
        letGo_.stop();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

ScreenHold::ScreenHold(QObject* parent) : QObject(parent) {
    again_.setSingleShot(true);
    connect(&again_, &QTimer::timeout, this, &ScreenHold::holdShownScreen);
    qApp->installEventFilter(this);
}

bool ScreenHold::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ApplicationStateChange:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::WindowStateChange:
    case QEvent::Show:
    case QEvent::Hide:
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            again_.start(kTakeBackAfter);
        else if (event->type() == QEvent::ApplicationStateChange)
            again_.start(kTakeBackAfter);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ScreenHold::holdShownScreen() {
    QWidget* screen = shownScreen();
    if (!screen)
        return;
    if (screen->isMinimized() || !screen->isFullScreen())
        screen->showFullScreen();
    QWidget* front = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : screen;
    if (!front->isActiveWindow()) {
        front->raise();
        front->activateWindow();
        again_.start(kTryAgainAfter);
    }
    // The window system's grab, not Qt's: keys still go to the focused control.
    if (QWindow* window = front->windowHandle(); window && front->isActiveWindow())
        window->setKeyboardGrabEnabled(true);
}

namespace {

// The next child must not play on as the one who left: the question of who
// is playing comes back, every other screen gone. Not over an open box, whose
// screen it would take away.
void AskWhoPlaysAgain() {
    Players* playing = players();
    if (!playing || !playing->current().isChild() || QApplication::activeModalWidget())
        return;
    playing->chooseNobody();
    if (playing->reload().empty())
        return;
    forms::Screen& who = app::screens::FormChiGioca();
    who.Show();
    for (forms::Screen* screen : forms::Screen::loadedScreens())
        if (screen != &who)
            screen->Unload();
}

}  // namespace

NewChildWatch::NewChildWatch(std::chrono::milliseconds idle, QObject* parent) : QObject(parent) {
    idle_.setSingleShot(true);
    idle_.setInterval(idle);
    connect(&idle_, &QTimer::timeout, this, [] {
        app::screens::ResetCounts();
        AskWhoPlaysAgain();
    });
    idle_.start();
    qApp->installEventFilter(this);
}

bool NewChildWatch::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
        idle_.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void StartKiosk() {
    if (!KioskMode())
        return;
    new KioskGuard(2s, qApp);
    // Only X lets a program hold the keyboard and take the front back; on
    // Wayland the classroom session's compositor holds the screen.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        new ScreenHold(qApp);
    new NewChildWatch(kNewChildAfter, qApp);
}

}  // namespace app
