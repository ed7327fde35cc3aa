#include "KeyboardPlay.h"

#include "Control.h"
#include "Screen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <limits>

namespace platform {

namespace {

// Drawn over the focused control: a dark outer band and a light inner one,
// so that one of them stands out on any background.
class FocusRing : public QWidget {
public:
    explicit FocusRing(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }
    int width_ = 4;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const int half = width_ / 2;
        painter.setPen(Qt::NoPen);
        const auto band = [&](const QRect& outer, int thickness, const QColor& colour) {
            QRegion region(outer);
            region -= outer.adjusted(thickness, thickness, -thickness, -thickness);
            painter.setClipRegion(region);
            painter.fillRect(outer, colour);
        };
        band(rect(), half, QColor(0x10, 0x10, 0x10));
        band(rect().adjusted(half, half, -half, -half), width_ - half, Qt::white);
    }
};

// Keys stay in use from one screen to the next, until a mouse click.
bool keyboardUsed = false;

bool isArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

}  // namespace

KeyboardPlay::KeyboardPlay(Screen& screen)
    : QObject(screen.window()), screen_(screen), window_(screen.window()), ring_(new FocusRing(screen.client())) {
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this] { placeRing(); });
}

int KeyboardPlay::ringWidth(int displayLines) {
    return std::max(4, qRound(displayLines * 10 / 1080.0));
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
    if (widget->window() != window_)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyPressed(widget, static_cast<QKeyEvent*>(event)->key());
    case QEvent::MouseButtonPress:
        keyboardUsed = false;
        placeRing();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Hide:
    case QEvent::EnabledChange:
        if (widget == window_->focusWidget())
            placeRing();
        break;
    default:
        break;
    }
    return false;
}

bool KeyboardPlay::keyPressed(QWidget* receiver, int key) {
    // A key reaches every widget between the focus and the window: act once, at the focus.
    if (receiver != window_->focusWidget() && receiver != window_)
        return false;
    keyboardUsed = true;
    placeRing();
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

void KeyboardPlay::placeRing() {
    auto* ring = static_cast<FocusRing*>(ring_);
    QWidget* focused = window_ ? window_->focusWidget() : nullptr;
    const bool shown = keyboardUsed && focused && focused != window_ && focused->isVisible() &&
                       ring->parentWidget()->isAncestorOf(focused);
    if (!shown) {
        ring->hide();
        return;
    }
    const QScreen* display = window_->screen();
    ring->width_ = ringWidth(display ? display->geometry().height() : 1080);
    const int margin = ring->width_;
    ring->setGeometry(QRect(focused->mapTo(ring->parentWidget(), QPoint()), focused->size())
                          .adjusted(-margin, -margin, margin, margin));
    ring->raise();
    ring->show();
    ring->update();
}

}  // namespace platform
