#include "KeyboardPlay.h"

#include "FocusRing.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QWindow>
#include <algorithm>
#include <limits>

namespace forms {

namespace {

std::vector<KeyboardPlay*>& tables() {
    static std::vector<KeyboardPlay*> all;
    return all;
}

}  // namespace

// The one application-wide filter: a key goes to the table of the window it
// is pressed in, a click to the table of the window it is made in. It alone
// knows whether keys are in use (since the last key, or the last move of a
// switch) or the mouse (since the last click), for every window at once:
// keys stay in use from a screen to its message box and to the next screen.
class KeyDispatcher : public QObject {
    Q_OBJECT

public:
    // The dispatcher of the application, made with the first table.
    static KeyDispatcher* instance() {
        static QPointer<KeyDispatcher> dispatcher;
        if (!dispatcher && qApp) {
            dispatcher = new KeyDispatcher(qApp);
            qApp->installEventFilter(dispatcher);
        }
        return dispatcher;
    }

    bool keyboardInUse() const { return keyboardInUse_; }
    void setKeyboardInUse(bool inUse) {
        if (keyboardInUse_ == inUse)
            return;
        keyboardInUse_ = inUse;
        Q_EMIT keyboardInUseChanged();
    }

Q_SIGNALS:
    void keyboardInUseChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (isMouseButton(event->type()))
            return clickInWindow(watched, *event);
        if (event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            lastRelease_ = {key->key(), key->timestamp()};
        }
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        setKeyboardInUse(true);
        auto* receiver = static_cast<QWidget*>(watched);
        QWidget* window = receiver->window();
        // A key reaches every widget between the focus and the window: act at
        // the focus, or at the window where a key is sent to it.
        if ((receiver != window->focusWidget() && receiver != window) || qobject_cast<QMenuBar*>(receiver))
            return false;
        KeyboardPlay* table = KeyboardPlay::of(window);
        if (!table)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        return table->keyPressed(receiver, QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())),
                                 isRepeat(*key));
    }

private:
    using QObject::QObject;

    static bool isMouseButton(QEvent::Type type) {
        return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
               type == QEvent::MouseButtonDblClick;
    }

    // A click is taken at the window system's window, before Qt gives a
    // control the focus for it.
    bool clickInWindow(QObject* watched, const QEvent& event) {
        if (event.type() == QEvent::MouseButtonPress)
            setKeyboardInUse(false);
        if (!watched->isWindowType())
            return false;
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto window = std::find_if(windows.cbegin(), windows.cend(),
                                         [watched](const QWidget* w) { return w->windowHandle() == watched; });
        const KeyboardPlay* table = window == windows.cend() ? nullptr : KeyboardPlay::of(*window);
        return table && table->clicked(event);
    }

    // X repeats a held key as a release and a press of the same moment, and
    // Qt marks only those whose press it has already received when it reads
    // the release: the others are told by their moment (keys made up inside
    // the program carry none).
    bool isRepeat(const QKeyEvent& press) const {
        return press.isAutoRepeat() || (press.key() == lastRelease_.key && press.timestamp() != 0 &&
                                        press.timestamp() == lastRelease_.timestamp);
    }

    struct Release {
        int key = 0;
        quint64 timestamp = 0;
    };
    Release lastRelease_;
    bool keyboardInUse_ = false;
};

namespace {

constexpr Qt::Key kArrows[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};

// F10 does what Alt does: it takes the keys to the window's menu bar, or from
// it back to the control that had them. Qt offers no public way into the menu
// bar's keyboard mode, which it enters (or leaves) when Alt is pressed and
// released alone: it hears that as a shortcut check of Alt, then its release.
// A key event of Alt reports the Alt modifier flipped, hence none given here.
bool switchMenuBar(QWidget* window) {
    QMenuBar* bar = window->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (!bar || !bar->isVisible())
        return false;
    QKeyEvent altAlone(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &altAlone);
    QKeyEvent altReleased(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &altReleased);
    return true;
}

}  // namespace

KeyboardPlay::KeyboardPlay(QWidget* window) : QObject(window), window_(window), table_(defaults()) {
    tables().push_back(this);
    auto* ring = new FocusRing(window, [] { return keyboardInUse(); });
    if (KeyDispatcher* dispatcher = KeyDispatcher::instance())
        connect(dispatcher, &KeyDispatcher::keyboardInUseChanged, ring, &FocusRing::update);
}

bool KeyboardPlay::keyboardInUse() {
    const KeyDispatcher* dispatcher = KeyDispatcher::instance();
    return dispatcher && dispatcher->keyboardInUse();
}

void KeyboardPlay::setKeyboardInUse(bool inUse) {
    if (KeyDispatcher* dispatcher = KeyDispatcher::instance())
        dispatcher->setKeyboardInUse(inUse);
}

KeyboardPlay::~KeyboardPlay() {
    std::erase(tables(), this);
}

KeyboardPlay* KeyboardPlay::of(const QWidget* window) {
    const auto found = std::find_if(tables().begin(), tables().end(),
                                    [window](const KeyboardPlay* table) { return table->window_ == window; });
    return found == tables().end() ? nullptr : *found;
}

std::map<int, KeyboardPlay::Action> KeyboardPlay::defaults() const {
    std::map<int, Action> keys;
    for (const Qt::Key arrow : kArrows)
        keys[QKeyCombination(arrow).toCombined()] = [this, arrow](QWidget* focused) {
            return moveFocus(focused, arrow);
        };
    for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter})
        keys[QKeyCombination(enter).toCombined()] = [this](QWidget* focused) { return press(focused); };
    // A button takes Space itself; held down, its repeats are used up here
    // and never answer again and again.
    keys[QKeyCombination(Qt::Key_Space).toCombined()] = [](QWidget*) { return false; };
    keys[QKeyCombination(Qt::Key_F10).toCombined()] = [this](QWidget*) { return switchMenuBar(window_); };
    return keys;
}

void KeyboardPlay::bind(QKeyCombination key, std::function<void()> handler) {
    table_[key.toCombined()] = [handler = std::move(handler)](QWidget*) {
        const std::function<void()> run = handler;  // the handler may unload the screen, and this table
        run();
        return true;
    };
}

void KeyboardPlay::restore(QKeyCombination key) {
    std::map<int, Action> standard = defaults();
    const auto found = standard.find(key.toCombined());
    if (found == standard.end())
        table_.erase(key.toCombined());
    else
        table_[key.toCombined()] = std::move(found->second);
}

void KeyboardPlay::arrowsBetween(std::vector<QWidget*> widgets) {
    arrowGroup_.assign(widgets.begin(), widgets.end());
}

bool KeyboardPlay::keyPressed(QWidget* focused, QKeyCombination key, bool repeated) {
    const auto found = table_.find(key.toCombined());
    if (found == table_.end())
        return false;
    // A key held down acts once, so that a held switch, or a child leaning on
    // Enter, does not answer and go on again and again; a held arrow moves on,
    // as everywhere.
    if (repeated && std::ranges::find(kArrows, key.key()) == std::end(kArrows))
        return true;
    const Action action = found->second;  // may unload the screen, and this table with it
    return action(focused);
}

bool KeyboardPlay::press(QWidget* focused) const {
    auto* button = qobject_cast<QAbstractButton*>(focused);
    if (!button)
        return false;
    button->click();
    return true;
}

bool KeyboardPlay::moveFocus(QWidget* from, Qt::Key arrow) const {
    if (std::find(arrowGroup_.begin(), arrowGroup_.end(), from) == arrowGroup_.end())
        return false;
    const QPoint start = from->mapTo(window_, from->rect().center());
    const QPoint direction = arrow == Qt::Key_Left    ? QPoint(-1, 0)
                             : arrow == Qt::Key_Right ? QPoint(1, 0)
                             : arrow == Qt::Key_Up    ? QPoint(0, -1)
                                                      : QPoint(0, 1);
    QWidget* best = nullptr;
    qint64 bestScore = std::numeric_limits<qint64>::max();
    for (const QPointer<QWidget>& candidate : arrowGroup_) {
        if (!candidate || candidate == from || !candidate->isVisible() || !candidate->isEnabled())
            continue;
        const QPoint offset = candidate->mapTo(window_, candidate->rect().center()) - start;
        const int along = offset.x() * direction.x() + offset.y() * direction.y();
        const int across = std::abs(offset.x() * direction.y() + offset.y() * direction.x());
        // Only what lies that way: a control further aside than twice its
        // distance ahead is another row's or column's (Left is never Down).
        if (along <= 0 || across > 2 * along)
            continue;
        // The nearest control in that direction, keeping to its row or column.
        const qint64 score = qint64(along) + 3 * qint64(across);
        if (score < bestScore) {
            bestScore = score;
            best = candidate;
        }
    }
    // At the group's edge the focus stays: Qt's own moves would go round the
    // window's tab order, or shut it in a group of option buttons.
    if (!best)
        return true;
    best->setFocus(Qt::TabFocusReason);
    return true;
}

}  // namespace forms

#include "KeyboardPlay.moc"
