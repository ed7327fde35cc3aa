#pragma once
// A thick ring in two tones around the focused control of a window: a dark
// outer band and a light inner one, so that one of them stands out on any
// background. It shows while keys are in use, as the dispatcher of input
// (InputDispatcher.h) tells it: from the first key press until the next mouse
// click, in whichever window they happen. It grows with the display. While the
// window's menu bar has the focus, it surrounds the bar's active entry.

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace forms {

// The ring's object name, for those who look for it.
inline constexpr char kFocusRingName[] = "FocusRing";

class FocusRing : public QObject {
public:
    // Follows the focus of `window`, shown while `keyboardInUse` says so;
    // part of the window's input (WindowInput.h).
    FocusRing(QWidget* window, std::function<bool()> keyboardInUse);

    // The ring's thickness in pixels on a display of that many lines.
    static int ringWidth(int displayLines);
    // Shows or hides the ring again, keys having come into use or gone.
    void update() { place(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusMoved();
    void place();

    std::function<bool()> keyboardInUse_;
    QPointer<QWidget> window_;
    QPointer<QWidget> watched_;  // the focused widget, whose moves the ring follows
    QWidget* ring_;
};

}  // namespace forms
