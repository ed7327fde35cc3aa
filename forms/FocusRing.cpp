#include "FocusRing.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace platform {

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

bool keyboardUsed = false;

}  // namespace

FocusRing::FocusRing(QWidget* window, QWidget* area) : QObject(window), window_(window), ring_(new RingWidget(area)) {
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this] { place(); });
}

int FocusRing::ringWidth(int displayLines) {
    return std::max(4, qRound(displayLines * 10 / 1080.0));
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType() || !window_)
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::KeyPress:
        keyboardUsed = true;
        break;
    case QEvent::MouseButtonPress:
        keyboardUsed = false;
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Hide:
    case QEvent::EnabledChange:
        if (widget != window_->focusWidget())
            return false;
        break;
    default:
        return false;
    }
    if (widget->window() == window_)
        place();
    return false;
}

void FocusRing::place() {
    auto* ring = static_cast<RingWidget*>(ring_);
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
