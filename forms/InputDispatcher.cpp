#include "InputDispatcher.h"

#include "WindowInput.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace forms {

namespace {

class QtScanTimer : public ScanTimer {
public:
    void start(int intervalMs, std::function<void()> tick) override {
        timer_.disconnect();
        QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(tick));
        timer_.start(intervalMs);
    }
    void stop() override { timer_.stop(); }

private:
    QTimer timer_;
};

bool isMouseButton(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
           type == QEvent::MouseButtonDblClick;
}

}  // namespace

InputDispatcher& InputDispatcher::instance() {
    static QPointer<InputDispatcher> dispatcher;
    if (!dispatcher) {
        dispatcher = new InputDispatcher(qApp);
        qApp->installEventFilter(dispatcher);
    }
    return *dispatcher;
}

void InputDispatcher::setKeyboardInUse(bool inUse) {
    if (keyboardInUse_ == inUse)
        return;
    keyboardInUse_ = inUse;
    Q_EMIT keyboardInUseChanged();
}

void InputDispatcher::configureScan(settings::Scan mode, int intervalMs) {
    scanMode_ = mode;
    scanIntervalMs_ = intervalMs;
    for (WindowInput* input : windows_)
        input->scan().setMode(mode);
}

std::unique_ptr<ScanTimer> InputDispatcher::makeScanTimer() const {
    return timers_ ? timers_() : std::make_unique<QtScanTimer>();
}

void InputDispatcher::announce(const QString& key, const QString& accessibleName) const {
    if (announcer_)
        announcer_(key, accessibleName);
}

WindowInput* InputDispatcher::inputOf(const QWidget* window) const {
    const auto found =
        std::ranges::find_if(windows_, [window](const WindowInput* input) { return input->parent() == window; });
    return found == windows_.end() ? nullptr : *found;
}

bool InputDispatcher::eventFilter(QObject* watched, QEvent* event) {
    if (isMouseButton(event->type()))
        return clickInWindow(watched, *event);
    if (event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        lastRelease_ = {key->key(), key->timestamp()};
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    setKeyboardInUse(true);
    return keyInWindow(watched, *static_cast<QKeyEvent*>(event));
}

bool InputDispatcher::keyInWindow(QObject* watched, const QKeyEvent& key) {
    auto* receiver = static_cast<QWidget*>(watched);
    QWidget* window = receiver->window();
    // A key reaches every widget between the focus and the window: act at
    // the focus, or at the window where a key is sent to it.
    if ((receiver != window->focusWidget() && receiver != window) || qobject_cast<QMenuBar*>(receiver))
        return false;
    WindowInput* input = inputOf(window);
    return input &&
           input->keys().keyPressed(
               receiver, QKeyCombination(key.modifiers() & ~Qt::KeypadModifier, Qt::Key(key.key())), isRepeat(key));
}

// A click is taken at the window system's window, before Qt gives a control
// the focus for it.
bool InputDispatcher::clickInWindow(QObject* watched, const QEvent& event) {
    if (event.type() == QEvent::MouseButtonPress)
        setKeyboardInUse(false);
    if (!watched->isWindowType())
        return false;
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto window =
        std::ranges::find_if(windows, [watched](const QWidget* w) { return w->windowHandle() == watched; });
    WindowInput* input = window == windows.cend() ? nullptr : inputOf(*window);
    return input && input->keys().clicked(event);
}

// X repeats a held key as a release and a press of the same moment, and Qt
// marks only those whose press it has already received when it reads the
// release: the others are told by their moment (keys made up inside the
// program carry none).
bool InputDispatcher::isRepeat(const QKeyEvent& press) const {
    return press.isAutoRepeat() ||
           (press.key() == lastRelease_.key && press.timestamp() != 0 && press.timestamp() == lastRelease_.timestamp);
}

}  // namespace forms
