#include "FocusRing.h"

#include <QApplication>
#include <QEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace forms {

namespace {

class RingWidget : public QWidget {
public:
    explicit RingWidget(QWidget* parent) : QWidget(parent) {
        setObjectName(QString::fromLatin1(kFocusRingName));
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

}  // namespace

FocusRing::FocusRing(QWidget* window, std::function<bool()> keyboardInUse)
    : keyboardInUse_(std::move(keyboardInUse)), window_(window), ring_(new RingWidget(window)) {
    connect(qApp, &QApplication::focusChanged, this, [this] { focusMoved(); });
    // The menu bar's active entry moves without the focus moving.
    for (QMenuBar* bar : window->findChildren<QMenuBar*>())
        connect(bar, &QMenuBar::hovered, this, &FocusRing::place);
}

int FocusRing::ringWidth(int displayLines) {
    return std::max(4, qRound(displayLines * 10 / 1080.0));
}

void FocusRing::focusMoved() {
    QWidget* focused = window_ ? window_->focusWidget() : nullptr;
    if (focused != watched_) {
        if (watched_)
            watched_->removeEventFilter(this);
        watched_ = focused;
        if (focused)
            focused->installEventFilter(this);
    }
    place();
}

bool FocusRing::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Hide:
    case QEvent::EnabledChange:
        place();
        break;
    default:
        break;
    }
    return false;
}

void FocusRing::place() {
    auto* ring = static_cast<RingWidget*>(ring_);
    QWidget* focused = window_ ? window_->focusWidget() : nullptr;
    QRect around;
    if (focused && focused != window_ && focused->isVisible()) {
        around = QRect(focused->mapTo(window_, QPoint()), focused->size());
        if (auto* bar = qobject_cast<QMenuBar*>(focused))
            around = bar->activeAction()
                         ? bar->actionGeometry(bar->activeAction()).translated(bar->mapTo(window_, QPoint()))
                         : QRect();
    }
    if (!keyboardInUse_() || around.isEmpty()) {
        ring->hide();
        return;
    }
    const QScreen* display = window_->screen();
    ring->width_ = ringWidth(display ? display->geometry().height() : 1080);
    // Inside the window, where the ring would stand outside it (a menu entry at its edge).
    const int margin = ring->width_;
    ring->setGeometry(around.adjusted(-margin, -margin, margin, margin).intersected(window_->rect()));
    ring->raise();
    ring->show();
    ring->update();
}

}  // namespace forms
