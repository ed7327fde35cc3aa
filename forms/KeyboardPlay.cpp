#include "KeyboardPlay.h"

#include "Control.h"
#include "FocusRing.h"
#include "Screen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <limits>

namespace platform {

namespace {

bool isArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

}  // namespace

KeyboardPlay::KeyboardPlay(Screen& screen) : QObject(screen.window()), screen_(screen), window_(screen.window()) {
    qApp->installEventFilter(this);
    // Installed after this filter, the ring sees a key before it is acted on.
    new FocusRing(screen.window(), screen.client());
}

void KeyboardPlay::arrowsBetween(std::vector<Control*> controls) {
    arrowGroup_.clear();
    for (Control* control : controls)
        arrowGroup_.emplace_back(control->widget());
}

bool KeyboardPlay::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType() || !window_)
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != window_ || event->type() != QEvent::KeyPress)
        return false;
    return keyPressed(widget, static_cast<QKeyEvent*>(event)->key());
}

bool KeyboardPlay::keyPressed(QWidget* receiver, int key) {
    // A key reaches every widget between the focus and the window: act once, at the focus.
    if (receiver != window_->focusWidget() && receiver != window_)
        return false;
    if (key == Qt::Key_Escape && escape_) {
        const std::function<void()> escape = escape_;  // may unload the screen
        escape();
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
        return pressFocused(receiver, key == Qt::Key_Space);
    if (isArrow(key)) {
        if (QWidget* next = neighbour(receiver, key)) {
            next->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return false;
}

bool KeyboardPlay::pressFocused(QWidget* focused, bool isSpace) {
    if (auto* button = qobject_cast<QAbstractButton*>(focused)) {
        if (isSpace)
            return false;
        button->click();
        return true;
    }
    for (const auto& control : screen_.controls()) {
        if (control->widget() == focused) {
            control->click();  // may unload the screen
            return true;
        }
    }
    return false;
}

QWidget* KeyboardPlay::neighbour(QWidget* from, int key) const {
    if (std::find(arrowGroup_.begin(), arrowGroup_.end(), from) == arrowGroup_.end())
        return nullptr;
    const QPoint start = from->mapTo(window_, from->rect().center());
    const QPoint direction = key == Qt::Key_Left    ? QPoint(-1, 0)
                             : key == Qt::Key_Right ? QPoint(1, 0)
                             : key == Qt::Key_Up    ? QPoint(0, -1)
                                                    : QPoint(0, 1);
    QWidget* best = nullptr;
    qint64 bestScore = std::numeric_limits<qint64>::max();
    for (const QPointer<QWidget>& candidate : arrowGroup_) {
        if (!candidate || candidate == from || !candidate->isVisible() || !candidate->isEnabled())
            continue;
        const QPoint offset = candidate->mapTo(window_, candidate->rect().center()) - start;
        const int along = offset.x() * direction.x() + offset.y() * direction.y();
        const int across = std::abs(offset.x() * direction.y() + offset.y() * direction.x());
        if (along <= 0)
            continue;
        // The nearest control in that direction, keeping to its row or column.
        const qint64 score = qint64(along) + 3 * qint64(across);
        if (score < bestScore) {
            bestScore = score;
            best = candidate;
        }
    }
    return best;
}

}  // namespace platform
