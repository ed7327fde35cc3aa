#pragma once
// The keys of one window (a screen or a message box), as a table: key ->
// what it does there; part of the window's input (WindowInput.h). The
// dispatcher (InputDispatcher.h) hands a key pressed in the window to this
// table before the focused control sees it; a key the table does not hold
// goes on to the control as usual (Tab moves the focus, a button takes Space).
//
// Every table starts with the keys that let a child play with the keyboard
// alone: the arrows move the focus between the controls of a group as they
// stand on the screen, Enter presses the focused button (Space is the
// button's own). A screen binds its own keys (Escape, F11, H) and
// may take over any of these. A focus ring (FocusRing.h) shows which control
// has the focus. Alt or F10 takes the keys to the window's menu bar, and the
// same key again takes them back; on the menu bar they are the menu bar's own:
// Enter opens an entry, the arrows move, Escape gives the focus back to the
// control that had it.

#include <QKeyCombination>
#include <QPointer>
#include <functional>
#include <map>
#include <vector>

class QEvent;
class QWidget;

namespace forms {

class KeyboardPlay {
public:
    // The table of `window`.
    explicit KeyboardPlay(QWidget* window);
    KeyboardPlay(const KeyboardPlay&) = delete;  // its keys' actions hold it
    KeyboardPlay& operator=(const KeyboardPlay&) = delete;

    // From now on `key` runs `handler` anywhere in the window. A handler may
    // unload the screen, and this table with it.
    void bind(QKeyCombination key, std::function<void()> handler);
    // `key` does again what it did when the table was made.
    void restore(QKeyCombination key);
    // The arrow keys move the focus among these widgets, and no further.
    void arrowsBetween(std::vector<QWidget*> widgets);

    // Handles a key pressed with the focus on `focused`; true when it was used.
    // The repeats of a key held down, but for the arrows', are used up unheard.
    bool keyPressed(QWidget* focused, QKeyCombination key, bool repeated);
    // Presses `focused` as Enter does; true when it was pressed.
    bool press(QWidget* focused) const;
    // While set, a mouse button anywhere in the window is handed to
    // `handler` before any control sees it (and before a control takes the
    // focus for it); true from the handler uses it up. Empty: clicks go to
    // the controls as usual.
    using ClickHandler = std::function<bool(const QEvent& button)>;
    void takeClicks(ClickHandler handler) { clicks_ = std::move(handler); }
    bool clicked(const QEvent& button) const { return clicks_ && clicks_(button); }

private:
    using Action = std::function<bool(QWidget* focused)>;
    std::map<int, Action> defaults() const;
    bool moveFocus(QWidget* from, Qt::Key arrow) const;

    QPointer<QWidget> window_;
    std::vector<QPointer<QWidget>> arrowGroup_;
    std::map<int, Action> table_;  // by QKeyCombination::toCombined()
    ClickHandler clicks_;
};

}  // namespace forms
