#pragma once
// Switch scanning: play with one switch (or two) instead of a mouse or the
// whole keyboard. The focus ring (FocusRing.h) is the highlight: it moves
// from choice to choice of a window, in the order the window gives, and the
// switch chooses the highlighted one, as Enter does in keyboard play.
//
// Automatic: the highlight moves by itself, resting on each choice for the
// interval counted from the end of what the program says (the choice's name,
// an instruction, praise): nothing said is cut by the scan. Space, Enter or a
// mouse click anywhere in the window chooses. After three rounds with no
// choice it rests on the first choice; the next press only wakes it (the
// highlight is shown and said again), and it moves again.
// Step: Space or Tab moves, Enter chooses.
//
// The highlight is the window's focus: whatever moves the focus (a new
// puzzle, a right answer) moves the scan there, and it goes on from there.
// Choices hidden or disabled are passed over. A scan moves only while its
// window is shown and no other window's modal box stands over it.

#include "Settings.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace forms {

class InputDispatcher;
class KeyboardPlay;

// A choice's property that names it more briefly than its accessible name,
// for the scan to say.
inline constexpr char kSpokenName[] = "spokenName";

// What moves an automatic scan: a repeating timer. Tests put a fake clock
// in its place (InputDispatcher::setScanTimerFactory).
class ScanTimer {
public:
    virtual ~ScanTimer() = default;
    // Calls `tick` every `intervalMs` until stopped or started again.
    virtual void start(int intervalMs, std::function<void()> tick) = 0;
    virtual void stop() = 0;
};

namespace switch_scan {

inline constexpr int kRoundsBeforeRest = 3;

}  // namespace switch_scan

class SwitchScan : public QObject {
public:
    // The name of a choice, for the announcer; empty says nothing.
    using Namer = std::function<QString(const QWidget* choice)>;

    // Scans `window`, with its keys (whose Space, Enter and, in step mode,
    // Tab it takes), in the dispatcher's mode, at its interval; part of the
    // window's input (WindowInput.h). Does nothing while the mode is off, and
    // gives the keys back when it is turned off.
    SwitchScan(QWidget* window, KeyboardPlay& keys, InputDispatcher& dispatcher, Namer namer = {});

    // The window's choices in scan order. Without them, the scan follows the
    // window's keyboard order.
    void setChoices(std::vector<QWidget*> inOrder);
    // The choices that the scan stops at now, in order.
    std::vector<QWidget*> reachableChoices() const;
    QWidget* highlighted() const;
    bool resting() const { return resting_; }
    settings::Scan mode() const { return mode_; }
    // Scans in `mode` from now on; the dispatcher does it for every window.
    void setMode(settings::Scan mode);

    // The next choice, as the timer or the step switch moves.
    void next();
    // Chooses the highlighted choice, or wakes a resting scan; the scan moves
    // on from there.
    void choose();

private:
    void takeKeys();
    void giveKeysBack();
    void focusMoved(QWidget* now);
    void announce(const QWidget* choice) const;
    void restart();
    // The timer starts once the program has nothing more to say.
    void moveAfterSilence();
    void tick();
    bool mayMove() const;

    QPointer<QWidget> window_;
    KeyboardPlay& keys_;
    InputDispatcher& dispatcher_;
    Namer namer_;
    settings::Scan mode_ = settings::Scan::Off;
    std::vector<QPointer<QWidget>> choices_;
    std::unique_ptr<ScanTimer> timer_;
    qsizetype moves_ = 0;  // since the last choice, or the last move from outside
    bool resting_ = false;
    bool moving_ = false;  // the focus is being moved by the scan itself
};

}  // namespace forms
