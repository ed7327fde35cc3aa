#pragma once
// The one application-wide filter of input, and what every window's input
// shares: it hands a key pressed in a window to that window's key table
// before the focused control sees it, and a click to the window's table when
// something takes the clicks; it alone knows whether keys are in use; and it
// keeps the run's switch scanning (its mode, its interval, what times it and
// what says a highlighted choice), which it is told: it reads no file.
//
// Each window's input (WindowInput.h) is made with the window, hands itself
// in here and leaves at its end.

#include "SwitchScan.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QKeyEvent;
class QWidget;

namespace forms {

class WindowInput;

class InputDispatcher : public QObject {
    Q_OBJECT

public:
    // The dispatcher of the application, made at the first call once the
    // application object exists, and ending with it.
    static InputDispatcher& instance();

    // Whether keys are in use, in every window: since the last key or move
    // of a switch (true), or since the last mouse press (false). Keys stay
    // in use from a screen to its message box and to the next screen.
    bool keyboardInUse() const { return keyboardInUse_; }
    // A switch is a key too: its scan says so.
    void setKeyboardInUse(bool inUse);

    // The mode, and the interval of the automatic scan (within the settings'
    // limits): told at start-up, and again whenever a parent changes them;
    // every window follows at once.
    void configureScan(settings::Scan mode, int intervalMs = settings::kDefaultScanIntervalMs);
    settings::Scan scanMode() const { return scanMode_; }
    int scanIntervalMs() const { return scanIntervalMs_; }

    // Makes the timers of the scans started from now on; an empty function
    // gives Qt's timers. Tests put a fake clock in their place.
    using TimerFactory = std::function<std::unique_ptr<ScanTimer>()>;
    void setScanTimerFactory(TimerFactory factory) { timers_ = std::move(factory); }
    std::unique_ptr<ScanTimer> makeScanTimer() const;

    // Says the name of a highlighted choice, for a child who cannot see well:
    // the sentence of its key, or the name it gives assistive technology (a
    // picture's description, a message box's button). Empty: nothing is said.
    using Announcer = std::function<void(const QString& key, const QString& accessibleName)>;
    void setScanAnnouncer(Announcer announcer) { announcer_ = std::move(announcer); }
    void announce(const QString& key, const QString& accessibleName) const;

    // The input of `window`; nullptr when it has none.
    WindowInput* inputOf(const QWidget* window) const;

Q_SIGNALS:
    void keyboardInUseChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class WindowInput;
    using QObject::QObject;
    void add(WindowInput& input) { windows_.push_back(&input); }
    void remove(const WindowInput& input) { std::erase(windows_, &input); }

    bool keyInWindow(QObject* watched, const QKeyEvent& key);
    bool clickInWindow(QObject* watched, const QEvent& event);
    bool isRepeat(const QKeyEvent& press) const;

    std::vector<WindowInput*> windows_;
    bool keyboardInUse_ = false;
    // The last key let go, by which a held key's repeats are told.
    struct Release {
        int key = 0;
        quint64 timestamp = 0;
    };
    Release lastRelease_;
    settings::Scan scanMode_ = settings::Scan::Off;
    int scanIntervalMs_ = settings::kDefaultScanIntervalMs;
    TimerFactory timers_;
    Announcer announcer_;
};

}  // namespace forms
