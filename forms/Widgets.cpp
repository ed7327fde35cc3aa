#include "Widgets.h"

#include "SvgDrawing.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

namespace forms {

namespace {

// The outline that stands out at least 3:1 from `background`: near-black on
// a light colour, white on a dark one.
QColor outlineAgainst(const QColor& background) {
    constexpr double kMiddleLuminance = 0.18;  // where black and white contrast equally
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const double luminance =
        0.2126 * linear(background.redF()) + 0.7152 * linear(background.greenF()) + 0.0722 * linear(background.blueF());
    return luminance > kMiddleLuminance ? QColor(0x33, 0x33, 0x33) : QColor(Qt::white);
}

// The application's style, with the marks of check boxes and option buttons
// as tall as a line of their text, outlined so that they stand out from
// their background.
class MarkGrowingStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (element != PE_IndicatorRadioButton && element != PE_IndicatorCheckBox)
            return;
        const qreal width = qMax(1.5, option->rect.height() / 12.0);
        const QRectF mark = QRectF(option->rect).adjusted(width / 2, width / 2, -width / 2, -width / 2);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(outlineAgainst(option->palette.color(QPalette::Window)), width));
        if (element == PE_IndicatorRadioButton)
            painter->drawEllipse(mark);
        else
            painter->drawRoundedRect(mark, width, width);
        painter->restore();
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        const int base = QProxyStyle::pixelMetric(metric, option, widget);
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return widget ? std::max(base, widget->fontMetrics().height()) : base;
        default:
            return base;
        }
    }
};

QStyle* markGrowingStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new MarkGrowingStyle;
        style->setParent(qApp);
    }
    return style;
}

// A push button's label sets its caption against its picture by aligning it
// right, which a right-to-left painter takes for the leading edge: the caption
// would stand at the button's far edge, away from its picture. Right is meant
// as right.
class CaptionBesidePictureStyle : public QProxyStyle {
public:
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette, bool enabled,
                      const QString& text, QPalette::ColorRole role) const override {
        if (painter->layoutDirection() == Qt::RightToLeft && (flags & Qt::AlignRight))
            flags |= Qt::AlignAbsolute;
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
    }
};

// The signs between pictures, in the dark grey of the arrows of the rule drawings.
const QColor kSignColour(0x45, 0x5a, 0x64);
constexpr double kSignRoom = 0.55;  // the width a sign takes between two pictures, in picture heights

// An arrow pointing forward (left where the text runs right to left) or an
// "=", centred in `room` and sized by its height, a picture's.
void drawSign(QPainter& painter, Sign sign, const QRectF& room, Qt::LayoutDirection direction) {
    const double height = room.height();
    const QPointF centre = room.center();
    painter.setPen(Qt::NoPen);
    painter.setBrush(kSignColour);
    const double thickness = 0.09 * height;
    if (sign == Sign::Equals) {
        const double width = 0.36 * height;
        for (const double offset : {-0.1 * height, 0.1 * height}) {
            const QRectF bar(centre.x() - width / 2, centre.y() + offset - thickness / 2, width, thickness);
            painter.drawRoundedRect(bar, thickness / 3, thickness / 3);
        }
        return;
    }
    const double forward = direction == Qt::RightToLeft ? -1.0 : 1.0;
    const double left = centre.x() - forward * 0.2 * height;
    const double tip = centre.x() + forward * 0.2 * height;
    const double neck = tip - forward * 0.17 * height;
    const double y = centre.y();
    const double barb = 0.15 * height;
    painter.drawPolygon(QPolygonF{{left, y - thickness / 2},
                                  {neck, y - thickness / 2},
                                  {neck, y - barb},
                                  {tip, y},
                                  {neck, y + barb},
                                  {neck, y + thickness / 2},
                                  {left, y + thickness / 2}});
}

// The pictures of `row` as high as fits in `pixels`, side by side with their
// signs between them, centred. Each picture stands in a cell of the first
// one's proportions. Right to left, the row runs from the right; the pictures
// themselves are never mirrored (a moon keeps its side).
QPixmap renderRow(const PictureRow& row, const QSize& pixels, Qt::LayoutDirection direction) {
    QPixmap canvas(pixels);
    canvas.fill(Qt::transparent);
    const double proportion = double(row.first.width()) / row.first.height();
    const auto count = double(row.next.size());
    const double widthInHeights = (count + 1) * proportion + count * kSignRoom;
    const int height = int(std::min(double(pixels.height()), pixels.width() / widthInHeights));
    const QSize cell(int(height * proportion), height);
    const double signWidth = kSignRoom * height;
    const int top = (pixels.height() - height) / 2;
    double left = (pixels.width() - (count + 1) * cell.width() - count * signWidth) / 2;
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    const auto placed = [&](double x, double width) {
        return direction == Qt::RightToLeft ? pixels.width() - x - width : x;
    };
    const auto drawPicture = [&](const QImage& image) {
        const QRect target = fittedRect(image.size(), QRect(QPoint(qRound(placed(left, cell.width())), top), cell));
        if (!target.isEmpty())
            painter.drawImage(target, image.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        left += cell.width();
    };
    drawPicture(row.first);
    for (const PictureRow::Next& next : row.next) {
        drawSign(painter, next.sign, QRectF(placed(left, signWidth), top, signWidth, height), direction);
        left += signWidth;
        drawPicture(next.image);
    }
    return canvas;
}

// A design drawing as `widget` reads: mirrored right to left, so that its
// arrows point the way the screen reads.
QPixmap directedSvg(const QWidget* widget, const QString& resource, const QSize& size, qreal ratio) {
    QPixmap pixmap = renderSvg(resource, size, ratio);
    if (!widget->isRightToLeft() || pixmap.isNull())
        return pixmap;
    QPixmap mirrored = QPixmap::fromImage(pixmap.toImage().mirrored(true, false));
    mirrored.setDevicePixelRatio(pixmap.devicePixelRatio());
    return mirrored;
}

}  // namespace

QStyle* captionBesidePictureStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new CaptionBesidePictureStyle;
        style->setParent(qApp);
    }
    return style;
}

CheckBox::CheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
    setStyle(markGrowingStyle());
}

OptionButton::OptionButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
    setStyle(markGrowingStyle());
    connect(this, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            becomeTabStop();
    });
}

void OptionButton::showEvent(QShowEvent* event) {
    if (isChecked())
        becomeTabStop();
    QRadioButton::showEvent(event);
}

// Tab reaches a group of options at its chosen one, as on every desktop; the
// arrows then move among them.
void OptionButton::becomeTabStop() {
    if (!parentWidget())
        return;
    for (auto* option : parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
        const int policy =
            option == this ? option->focusPolicy() | Qt::TabFocus : option->focusPolicy() & ~Qt::TabFocus;
        option->setFocusPolicy(Qt::FocusPolicy(policy));
    }
}

ImageView::ImageView(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    if (parent)
        parent->installEventFilter(this);
}

void ImageView::setRow(PictureRow row) {
    // The same pictures again keep their scaled copy: a set shown again costs no scaling.
    const auto same = [](const QImage& one, const QImage& other) { return one.cacheKey() == other.cacheKey(); };
    const auto sameNext = [&same](const PictureRow::Next& one, const PictureRow::Next& other) {
        return one.sign == other.sign && same(one.image, other.image);
    };
    if (resource_.isEmpty() && same(row.first, row_.first) &&
        std::equal(row.next.begin(), row.next.end(), row_.next.begin(), row_.next.end(), sameNext))
        return;
    row_ = std::move(row);
    resource_.clear();
    scaled_ = QPixmap();
    update();
}

void ImageView::setResource(const QString& svgResource) {
    row_ = {};
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
            scaled_ = directedSvg(this, resource_, area.size(), ratio);
        } else if (!row_.first.isNull()) {
            scaled_ = renderRow(row_, area.size() * ratio, layoutDirection());
            scaled_.setDevicePixelRatio(ratio);
        }
    }
    if (!scaled_.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(area.topLeft(), scaled_);
    }
}

void ImageView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::LayoutDirectionChange)
        scaled_ = QPixmap();
    QAbstractButton::changeEvent(event);
}

void ImageView::moveEvent(QMoveEvent* event) {
    QAbstractButton::moveEvent(event);
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
}

// A screen passes through several sizes before it is shown: the picture is
// drawn for the size the child sees.
void PictureButton::resizeEvent(QResizeEvent* event) {
    QToolButton::resizeEvent(event);
    if (isVisible())
        renderPicture();
}

void PictureButton::showEvent(QShowEvent* event) {
    QToolButton::showEvent(event);
    renderPicture();
}

void PictureButton::setImage(QImage image) {
    image_ = std::move(image);
    setIcon(QIcon());
    renderPicture();
}

void PictureButton::renderPicture() {
    const int side = qMax(1, height() / 2);
    if (iconSize() == QSize(side, side) && !icon().isNull())
        return;
    setIconSize(QSize(side, side));
    if (!image_.isNull()) {
        const int pixels = qRound(side * devicePixelRatioF());
        QPixmap scaled =
            QPixmap::fromImage(image_.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        scaled.setDevicePixelRatio(devicePixelRatioF());
        setIcon(QIcon(scaled));
    } else if (!resource_.isEmpty()) {
        setIcon(QIcon(directedSvg(this, resource_, iconSize(), devicePixelRatioF())));
    }
}

void PictureButton::changeEvent(QEvent* event) {
    QToolButton::changeEvent(event);
    if (event->type() == QEvent::LayoutDirectionChange) {
        setIcon(QIcon());
        renderPicture();
    }
}

CaptionPicture::CaptionPicture(QAbstractButton* button, QString svgResource)
    : QObject(button), resource_(std::move(svgResource)) {
    button->setStyle(captionBesidePictureStyle());
    button->installEventFilter(this);
    render(button);
}

bool CaptionPicture::eventFilter(QObject* watched, QEvent* event) {
    // A button being destroyed is no longer one (the focus leaves it then).
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (!button)
        return false;
    if (event->type() == QEvent::LayoutDirectionChange)
        button->setIcon(QIcon());
    if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutDirectionChange)
        render(button);
    return false;
}

void CaptionPicture::render(QAbstractButton* button) const {
    constexpr double kShareOfHeight = 0.55;
    const int height = qMax(1, qRound(button->height() * kShareOfHeight));
    const QSize size(2 * height, height);
    if (button->iconSize() == size && !button->icon().isNull())
        return;
    button->setIconSize(size);
    button->setIcon(QIcon(directedSvg(button, resource_, size, button->devicePixelRatioF())));
}

EntryFilter::EntryFilter(QWidget* watched, std::function<void()> onEntry)
    : QObject(watched), onEntry_(std::move(onEntry)) {
    watched->installEventFilter(this);
}

bool EntryFilter::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::Enter) {
        onEntry_();
    } else if (event->type() == QEvent::FocusIn) {
        // The focus a window hands on when it opens, or a click's, is not the child moving to the widget.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::MouseFocusReason && reason != Qt::PopupFocusReason)
            onEntry_();
    }
    return false;
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

}  // namespace forms
