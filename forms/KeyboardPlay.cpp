#include "KeyboardPlay.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <algorithm>
#include <limits>

namespace forms {

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

KeyboardPlay::KeyboardPlay(QWidget* window) : window_(window), table_(defaults()) {}

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
