#pragma once
// A thick ring in two tones around the focused control of a window: a dark
// outer band and a light inner one, so that one of them stands out on any
// background. It shows from the first key press until the next mouse click,
// in whichever window they happen (keys stay in use from a screen to its
// message box and to the next screen), and grows with the display. While the
// window's menu bar has the focus, it surrounds the bar's active entry.

#include <QObject>
#include <QPointer>

class QWidget;

namespace platform {

// The ring's object name, for those who look for it.
inline constexpr char kFocusRingName[] = "FocusRing";

class FocusRing : public QObject {
public:
    // Follows the focus of `window`; lives as long as `window`, which owns it.
    explicit FocusRing(QWidget* window);
    ~FocusRing() override;

    // The ring's thickness in pixels on a display of that many lines.
    static int ringWidth(int displayLines);
    // Keys are in use (a key was pressed) or not (the mouse was pressed):
    // every ring shows or hides.
    static void setKeyboardInUse(bool inUse);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void focusMoved();
    void place();

    QPointer<QWidget> window_;
    QPointer<QWidget> watched_;  // the focused widget, whose moves the ring follows
    QWidget* ring_;
};

}  // namespace platform
