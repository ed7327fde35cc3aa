#include "platform/Widgets.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace platform {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr int kPointerSize = 32;

const QScreen* screenOf(const QWidget* widget) {
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}

double twipsPerPixel(qreal dotsPerInch) {
    return dotsPerInch > 0 ? kTwipsPerInch / dotsPerInch : 15.0;
}

}  // namespace

double twipsPerPixelX(const QWidget* widget) {
    const QScreen* screen = screenOf(widget);
    return twipsPerPixel(screen ? screen->logicalDotsPerInchX() : 0);
}

double twipsPerPixelY(const QWidget* widget) {
    const QScreen* screen = screenOf(widget);
    return twipsPerPixel(screen ? screen->logicalDotsPerInchY() : 0);
}

QRect fittedRect(const QSize& picture, const QRect& area) {
    if (picture.isEmpty() || area.isEmpty())
        return {};
    const QSize fitted = picture.scaled(area.size(), Qt::KeepAspectRatio);
    return {area.topLeft() + QPoint((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2),
            fitted};
}

QPixmap renderSvg(const QString& resource, const QSize& size, qreal devicePixelRatio) {
    QSvgRenderer renderer(resource);
    if (!renderer.isValid() || size.isEmpty())
        return {};
    const QSize pixels = (QSizeF(size) * devicePixelRatio).toSize();
    QPixmap pixmap(pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, fittedRect(renderer.defaultSize(), QRect(QPoint(), pixels)));
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon iconFromResource(const char* resource) {
    QIcon icon;
    if (!resource)
        return icon;
    for (const int side : {16, 32, 48}) {
        const QPixmap pixmap = renderSvg(QString::fromUtf8(resource), QSize(side, side));
        if (!pixmap.isNull())
            icon.addPixmap(pixmap);
    }
    return icon;
}

QCursor cursorFromPointer(const Pointer& pointer) {
    if (!pointer.resource)
        return QCursor(Qt::ArrowCursor);
    const QPixmap pixmap = renderSvg(QString::fromUtf8(pointer.resource), QSize(kPointerSize, kPointerSize));
    if (pixmap.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(pixmap, pointer.hotX, pointer.hotY);
}

QFont boldFont(const Font& font, const Font& screenFont) {
    const Font& chosen = font.family ? font : screenFont;
    QFont result;
    if (chosen.family)
        result.setFamily(QString::fromUtf8(chosen.family));
    if (chosen.points > 0)
        result.setPointSizeF(chosen.points);
    result.setBold(true);
    return result;
}

QFont scaledFont(const QFont& font, double scale) {
    constexpr double kSmallestPoints = 1.0;
    QFont scaled = font;
    if (font.pointSizeF() > 0)
        scaled.setPointSizeF(std::max(font.pointSizeF() * scale, kSmallestPoints));
    return scaled;
}

QFont fittedFont(const QWidget* widget, const QFont& font, const QString& caption) {
    const QString text = caption.trimmed();
    if (text.isEmpty())
        return font;
    // Most captions fit with room to spare; only a tight one needs the widget's
    // own margins, which take a layout of the whole widget to learn.
    constexpr double kBesidesTextAtMost = 48;  // pixels of margins, a check mark or an option's circle
    if (QFontMetricsF(font, widget).horizontalAdvance(text) + kBesidesTextAtMost <= widget->width())
        return font;
    // The margins, check mark or picture that the widget shows beside its caption.
    const double besidesText =
        widget->sizeHint().width() - QFontMetricsF(widget->font(), widget).horizontalAdvance(caption);
    const double room = widget->width() - besidesText;
    QFont fitted = font;
    // Hinting makes the width grow unevenly with the size: a few steps reach one that fits.
    for (int step = 0; step < 3; ++step) {
        const double textWidth = QFontMetricsF(fitted, widget).horizontalAdvance(text);
        if (textWidth <= room || room <= 0)
            break;
        fitted = scaledFont(fitted, room / textWidth);
    }
    return fitted;
}

void installFontSubstitutions() {
    static const bool installed = [] {
        QFont::insertSubstitution(u"Comic Sans MS"_s, u"Comic Neue"_s);
        QFont::insertSubstitution(u"Arial"_s, u"Liberation Sans"_s);
        QFont::insertSubstitution(u"MS Sans Serif"_s, u"Liberation Sans"_s);
        return true;
    }();
    Q_UNUSED(installed);
}

void setOpaqueBackground(QWidget* widget, QRgb colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(colour));
    palette.setColor(QPalette::Button, QColor::fromRgb(colour));
    widget->setPalette(palette);
    widget->setBackgroundRole(QPalette::Window);
    widget->setAutoFillBackground(true);
}

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    if (parent)
        parent->installEventFilter(this);
}

void ImageView::setImage(const QImage& image) {
    image_ = image;
    resource_.clear();
    scaled_ = QPixmap();
    update();
}

void ImageView::setResource(const QString& svgResource) {
    image_ = QImage();
    resource_ = svgResource;
    scaled_ = QPixmap();
    update();
}

QRect ImageView::visibleArea() const {
    if (!parentWidget())
        return rect();
    return rect() & QRect(-pos(), parentWidget()->size());
}

void ImageView::paintEvent(QPaintEvent*) {
    const QRect area = visibleArea();
    if (area.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    if (scaled_.isNull() || scaled_.deviceIndependentSize().toSize() != area.size()) {
        if (!resource_.isEmpty()) {
            scaled_ = renderSvg(resource_, area.size(), ratio);
        } else if (!image_.isNull()) {
            const QSize pixels = area.size() * ratio;
            const QRect target = fittedRect(image_.size(), QRect(QPoint(), pixels));
            QPixmap canvas(pixels);
            canvas.fill(Qt::transparent);
            if (!target.isEmpty()) {
                QPainter painter(&canvas);
                painter.drawImage(target,
                                  image_.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            }
            canvas.setDevicePixelRatio(ratio);
            scaled_ = canvas;
        }
    }
    if (!scaled_.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(area.topLeft(), scaled_);
    }
}

void ImageView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal)
        scaled_ = QPixmap();
    QWidget::changeEvent(event);
}

void ImageView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    update();
}

bool ImageView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        update();
    return false;
}

PictureBox::PictureBox(bool border, QWidget* parent) : QFrame(parent), inside_(new QWidget(this)) {
    if (border)
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    inside_->setGeometry(contentsRect());
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    inside_->setGeometry(contentsRect());
}

PictureButton::PictureButton(const QString& svgResource, QWidget* parent)
    : QToolButton(parent), resource_(svgResource) {
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    renderPicture();
}

void PictureButton::resizeEvent(QResizeEvent* event) {
    QToolButton::resizeEvent(event);
    renderPicture();
}

void PictureButton::renderPicture() {
    const int side = qMax(1, height() / 2);
    if (iconSize() == QSize(side, side) && !icon().isNull())
        return;
    setIconSize(QSize(side, side));
    setIcon(QIcon(renderSvg(resource_, iconSize(), devicePixelRatioF())));
}

ClickFilter::ClickFilter(QWidget* watched, std::function<void()> onClick, QObject* owner)
    : QObject(owner), onClick_(std::move(onClick)) {
    watched->installEventFilter(this);
}

bool ClickFilter::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    auto* widget = static_cast<QWidget*>(watched);
    if (mouse->button() != Qt::LeftButton || !widget->isEnabled())
        return false;
    if (type == QEvent::MouseButtonPress) {
        pressed_ = true;
        return true;
    }
    const bool inside = widget->rect().contains(mouse->position().toPoint());
    const bool wasPressed = std::exchange(pressed_, false);
    if (wasPressed && inside) {
        // The handler may unload the screen, and this filter with it.
        const std::function<void()> onClick = onClick_;
        onClick();
    }
    return true;
}

}  // namespace platform
