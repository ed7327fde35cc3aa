#pragma once
// The input of one window (a screen or a message box): its table of keys,
// its focus ring and its switch scan. It is made with the window, which owns
// it, and dies with it; the dispatcher (InputDispatcher.h) hands it the keys
// and clicks of the window, and tells it whether keys are in use and how to
// scan.

#include "FocusRing.h"
#include "KeyboardPlay.h"
#include "SwitchScan.h"

#include <QObject>
#include <QPointer>

namespace forms {

class InputDispatcher;

class WindowInput : public QObject {
public:
    // The input of `window`, served by `dispatcher`; `namer` names a
    // highlighted choice for the scan to say.
    WindowInput(QWidget* window, InputDispatcher& dispatcher, SwitchScan::Namer namer = {});
    ~WindowInput() override;

    KeyboardPlay& keys() { return keys_; }
    SwitchScan& scan() { return scan_; }

private:
    QPointer<InputDispatcher> dispatcher_;  // ends with the application, maybe before a window kept to the end
    KeyboardPlay keys_;
    FocusRing ring_;
    SwitchScan scan_;  // binds its switches in keys_
};

}  // namespace forms
