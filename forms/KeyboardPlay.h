#pragma once
// Lets a child use a loaded screen with the keyboard alone. The arrow keys
// move the focus between the controls of a group as they stand on the
// screen; Enter presses the focused control, and Space presses one that is
// not a button (a button takes Space itself); Escape runs the screen's leave
// command. A focus ring (FocusRing.h) shows which control has the focus.

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QWidget;

namespace platform {

class Control;
class Screen;

class KeyboardPlay : public QObject {
public:
    // Lives as long as the screen's window, which owns it.
    explicit KeyboardPlay(Screen& screen);
    void arrowsBetween(std::vector<Control*> controls);
    void onEscape(std::function<void()> handler) { escape_ = std::move(handler); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPressed(QWidget* receiver, int key);
    bool pressFocused(QWidget* focused, bool isSpace);
    QWidget* neighbour(QWidget* from, int key) const;

    Screen& screen_;
    QPointer<QWidget> window_;
    std::vector<QPointer<QWidget>> arrowGroup_;
    std::function<void()> escape_;
};

}  // namespace platform
