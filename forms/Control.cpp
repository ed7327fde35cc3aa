#include "Control.h"

#include "ControlFactory.h"
#include "Palette.h"
#include "Screen.h"
#include "Twips.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QRadioButton>

namespace forms {

namespace {

bool hasCaption(Kind kind) {
    return kind != Kind::PictureBox && kind != Kind::Image;
}

}  // namespace

Control::Control(Screen& screen, const ControlDesign& design, int index)
    : screen_(screen),
      design_(design),
      name_(QString::fromUtf8(design.name)),
      index_(index),
      caption_(QString::fromUtf8(design.caption)),
      tag_(QString::fromUtf8(design.tag)),
      twips_{design.left, design.top, design.width, design.height},
      enabled_(design.enabled),
      visible_(design.visible),
      receiver_(std::make_unique<QObject>()) {
    ControlFactory factory(
        *this, [this] { clicked(); }, receiver_.get());
    if (isMenuEntry(design_.kind)) {
        action_ = factory.createMenuEntry();
        return;
    }
    widget_ = factory.createWidget();
    // Placed before it is shown, so that Qt does not first work out a size of its own.
    placeWidget();
    widget_->setVisible(visible_);
    if (widget_) {
        placer_ = std::make_unique<Placer>(*this);
        widget_->installEventFilter(placer_.get());
        if (widget_->parentWidget())
            widget_->parentWidget()->installEventFilter(placer_.get());
    }
}

// A right-to-left screen stands mirrored: a control keeps its distance from
// its container's right edge, so it is placed anew when that edge moves or
// the direction changes.
bool Control::Placer::eventFilter(QObject* watched, QEvent* event) {
    QWidget* widget = control_.widget_;
    if (widget && ((watched == widget && event->type() == QEvent::LayoutDirectionChange) ||
                   (watched == widget->parentWidget() && event->type() == QEvent::Resize && widget->isRightToLeft())))
        control_.placeWidget();
    return false;
}

Control::~Control() {
    screen_.fonts_.forget(*this);
}

std::optional<int> Control::index() const {
    if (index_ < 0)
        return std::nullopt;
    return index_;
}

QString Control::fullName() const {
    return index_ >= 0 ? name_ + u'(' + QString::number(index_) + u')' : name_;
}

Control* Control::container() const {
    return design_.container ? screen_.find(QString::fromUtf8(design_.container)) : nullptr;
}

std::optional<QString> Control::text(TextProperty property) const {
    switch (property) {
    case TextProperty::Caption:
        if (!hasCaption(design_.kind))
            return std::nullopt;
        return caption_;
    case TextProperty::ToolTipText:
        if (isMenuEntry(design_.kind))
            return std::nullopt;
        return toolTipText_;
    case TextProperty::Tag:
        return tag_;
    }
    return std::nullopt;
}

Outcome Control::setText(TextProperty property, const QString& value) {
    switch (property) {
    case TextProperty::Caption:
        if (!hasCaption(design_.kind))
            return Outcome::NoSuchProperty;
        caption_ = value;
        if (auto* label = qobject_cast<QLabel*>(widget_)) {
            label->setText(value);
            screen_.fonts_.captionChanged(*this);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget_)) {
            button->setText(value);
            screen_.fonts_.captionChanged(*this);
        } else if (action_) {
            action_->setText(value);
            screen_.clientResized();  // the menu bar may wrap onto another row
        }
        return Outcome::Done;
    case TextProperty::ToolTipText:
        if (isMenuEntry(design_.kind))
            return Outcome::NoSuchProperty;
        toolTipText_ = value;
        if (widget_)
            widget_->setToolTip(value);
        return Outcome::Done;
    case TextProperty::Tag:
        tag_ = value;
        return Outcome::Done;
    }
    return Outcome::NoSuchProperty;
}

std::optional<double> Control::coordinate(Coordinate coordinate) const {
    if (isMenuEntry(design_.kind))
        return std::nullopt;
    return twips_[static_cast<std::size_t>(coordinate)];
}

Outcome Control::setCoordinate(Coordinate coordinate, double twips) {
    if (isMenuEntry(design_.kind))
        return Outcome::NoSuchProperty;
    twips_[static_cast<std::size_t>(coordinate)] = twips;
    placeWidget();
    return Outcome::Done;
}

void Control::placeWidget() {
    if (!widget_)
        return;
    const double perPixelX = twipsPerPixelX(widget_);
    const double perPixelY = twipsPerPixelY(widget_);
    const auto [left, top, width, height] = twips_;
    QRect geometry(qRound(left / perPixelX), qRound(top / perPixelY), std::max(qRound(width / perPixelX), 0),
                   std::max(qRound(height / perPixelY), 0));
    if (const QWidget* parent = widget_->parentWidget(); parent && widget_->isRightToLeft())
        geometry.moveLeft(parent->width() - geometry.left() - geometry.width());
    widget_->setGeometry(geometry);
    screen_.fonts_.controlPlaced(*this);
}

bool Control::enabled() const {
    return enabled_;
}

void Control::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (widget_)
        widget_->setEnabled(enabled);
    if (action_)
        action_->setEnabled(enabled);
}

bool Control::visible() const {
    return visible_;
}

void Control::setVisible(bool visible) {
    visible_ = visible;
    if (widget_)
        widget_->setVisible(visible);
    if (action_)
        action_->setVisible(visible);
}

bool Control::checked() const {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget_))
        return button->isChecked();
    if (action_)
        return action_->isChecked();
    return false;
}

void Control::setChecked(bool checked) {
    if (auto* option = qobject_cast<QRadioButton*>(widget_)) {
        // Choosing an option clears the others of its group; an exclusive
        // option refuses to be cleared while it is the one chosen.
        if (checked) {
            option->setChecked(true);
        } else {
            option->setAutoExclusive(false);
            option->setChecked(false);
            option->setAutoExclusive(true);
        }
    } else if (auto* box = qobject_cast<QCheckBox*>(widget_)) {
        box->setChecked(checked);
    } else if (action_ && action_->isCheckable()) {
        action_->setChecked(checked);
    }
}

void Control::setPicture(const files::Picture& picture) {
    picture_ = picture;
    if (auto* image = dynamic_cast<ImageView*>(widget_.data()))
        image->setImage(picture.image());
    else if (auto* button = dynamic_cast<PictureButton*>(widget_.data()))
        button->setImage(picture.image());
}

void Control::setBackColour(QRgb colour) {
    if (widget_ && design_.kind != Kind::Image)
        setOpaqueBackground(widget_, colour);
}

bool Control::isClickable() const {
    const QWidget* window = screen_.window();
    if (!window || !window->isVisible() || !window->isEnabled())
        return false;
    if (widget_)
        return widget_->isVisible() && widget_->isEnabled();
    if (!action_ || !action_->isVisible() || !action_->isEnabled())
        return false;
    const Control* menu = container();
    return !menu || menu->isClickable();
}

void Control::click() {
    if (!isClickable())
        return;
    if (auto* button = qobject_cast<QAbstractButton*>(widget_))
        button->click();
    else if (action_ && design_.kind != Kind::Menu)
        action_->trigger();
    else
        clicked();
}

void Control::clicked() {
    if (!clickHandler_ || !isClickable())
        return;
    // The handler may unload the screen, and this control with it.
    const std::function<void()> handler = clickHandler_;
    handler();
}

}  // namespace forms
