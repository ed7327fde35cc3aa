#include "platform/Control.h"

#include "platform/Screen.h"
#include "platform/Widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

namespace platform {

namespace {

bool isMenuEntry(Kind kind) {
    return kind == Kind::MenuCommand || kind == Kind::Menu || kind == Kind::MenuItem;
}

bool hasCaption(Kind kind) {
    return kind != Kind::PictureBox && kind != Kind::Image;
}

Qt::Alignment labelAlignment(Align align) {
    switch (align) {
    case Align::Centre:
        return Qt::AlignHCenter | Qt::AlignTop;
    case Align::Right:
        return Qt::AlignRight | Qt::AlignTop;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
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
    if (isMenuEntry(design_.kind)) {
        createMenuEntry();
        return;
    }
    const Control* box = container();
    const auto* boxWidget = box ? dynamic_cast<const PictureBox*>(box->widget()) : nullptr;
    createWidget(boxWidget ? boxWidget->inside() : screen_.client());
}

Control::~Control() = default;

std::optional<int> Control::index() const {
    if (index_ < 0)
        return std::nullopt;
    return index_;
}

Control* Control::container() const {
    return design_.container ? screen_.find(QString::fromUtf8(design_.container)) : nullptr;
}

void Control::createWidget(QWidget* parent) {
    QWidget* widget = nullptr;
    switch (design_.kind) {
    case Kind::Label: {
        auto* label = new QLabel(caption_, parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(false);
        label->setAlignment(labelAlignment(design_.align));
        widget = label;
        break;
    }
    case Kind::CommandButton:
        widget = new QPushButton(caption_, parent);
        break;
    case Kind::GraphicalButton: {
        auto* button = new PictureButton(QString::fromUtf8(design_.picture), parent);
        button->setText(caption_);
        widget = button;
        break;
    }
    case Kind::CheckBox: {
        auto* box = new CheckBox(caption_, parent);
        box->setChecked(design_.checked);
        widget = box;
        break;
    }
    case Kind::OptionButton: {
        auto* option = new OptionButton(caption_, parent);
        option->setChecked(design_.checked);
        widget = option;
        break;
    }
    case Kind::PictureBox: {
        auto* box = new PictureBox(design_.border, parent);
        widget = box;
        setOpaqueBackground(
            box, design_.backColour != kNoColour ? design_.backColour : box->palette().color(QPalette::Window).rgb());
        break;
    }
    case Kind::Image: {
        auto* image = new ImageView(parent);
        if (design_.picture)
            image->setResource(QString::fromUtf8(design_.picture));
        widget = image;
        break;
    }
    case Kind::MenuCommand:
    case Kind::Menu:
    case Kind::MenuItem:
        return;
    }
    widget_ = widget;

    const QString objectName = index_ >= 0 ? name_ + u'(' + QString::number(index_) + u')' : name_;
    widget->setObjectName(objectName);
    if (!hasCaption(design_.kind))
        widget->setAccessibleName(objectName);
    designedFont_ = boldFont(design_.font, screen_.design().font);
    if (design_.foreColour != kNoColour) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::WindowText, QColor::fromRgb(design_.foreColour));
        palette.setColor(QPalette::ButtonText, QColor::fromRgb(design_.foreColour));
        widget->setPalette(palette);
    }
    if (design_.backColour != kNoColour && design_.kind != Kind::PictureBox)
        setBackColour(design_.backColour);
    if (design_.pointer.resource)
        widget->setCursor(cursorFromPointer(design_.pointer));

    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        QObject::connect(button, &QAbstractButton::clicked, receiver_.get(), [this] { clicked(); });
    else
        new ClickFilter(
            widget, [this] { clicked(); }, receiver_.get());

    widget->setEnabled(enabled_);
    // Placed before it is shown, so that Qt does not first work out a size of its own.
    placeWidget();
    widget->setVisible(visible_);
}

void Control::createMenuEntry() {
    QMenuBar* bar = screen_.menuBar();
    if (!bar)
        return;
    Control* menuControl = container();
    QMenu* menu = menuControl && menuControl->action_ ? menuControl->action_->menu<QMenu*>() : nullptr;
    const QString objectName = index_ >= 0 ? name_ + u'(' + QString::number(index_) + u')' : name_;
    QAction* action = nullptr;
    if (design_.kind == Kind::Menu) {
        QMenu* ownMenu = bar->addMenu(caption_);
        ownMenu->setObjectName(objectName);
        action = ownMenu->menuAction();
        QObject::connect(ownMenu, &QMenu::aboutToShow, receiver_.get(), [this] { clicked(); });
    } else if (design_.kind == Kind::MenuItem && menu) {
        // A further element of the array goes right after the elements before it.
        QAction* before = nullptr;
        const QList<QAction*> actions = menu->actions();
        for (qsizetype i = actions.size() - 1; i >= 0; --i) {
            if (actions[i]->objectName().startsWith(name_ + u'(')) {
                before = i + 1 < actions.size() ? actions[i + 1] : nullptr;
                break;
            }
        }
        action = new QAction(caption_, menu);
        menu->insertAction(before, action);
    } else {
        action = bar->addAction(caption_);
    }
    action_ = action;
    action->setObjectName(objectName);
    if (design_.kind == Kind::MenuItem) {
        action->setCheckable(true);
        action->setChecked(design_.checked);
        // Choosing an item does not change its check mark: only setChecked does.
        QObject::connect(action, &QAction::triggered, receiver_.get(), [this](bool nowChecked) {
            action_->setChecked(!nowChecked);
            clicked();
        });
    } else if (design_.kind == Kind::MenuCommand) {
        QObject::connect(action, &QAction::triggered, receiver_.get(), [this] { clicked(); });
    }
    action->setEnabled(enabled_);
    action->setVisible(visible_);
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
            refitCaption();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget_)) {
            button->setText(value);
            refitCaption();
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
    widget_->setGeometry(qRound(left / perPixelX), qRound(top / perPixelY), std::max(qRound(width / perPixelX), 0),
                         std::max(qRound(height / perPixelY), 0));
    // Fonts are fitted to the sizes a child sees: they wait while the window is
    // hidden (a screen goes through several sizes before it is first shown) and
    // while a pass over the screen stops its drawing.
    if (screen_.fontsFollowSizes())
        refitFont();
}

void Control::refitFont() {
    // Moving a control leaves its font as it is.
    if (widget_ && (fontScale() != fontAppliedAt_.scale || widget_->size() != fontAppliedAt_.size))
        applyFont();
}

// Another caption may need another font to fit.
void Control::refitCaption() {
    if (screen_.fontsFollowSizes())
        applyFont();
}

void Control::applyFont() {
    fontAppliedAt_ = {fontScale(), widget_->size()};
    QFont font = scaledFont(designedFont_, fontAppliedAt_.scale);
    if (hasCaption(design_.kind))
        font = fittedFont(widget_, font, caption_);
    if (font != widget_->font())
        widget_->setFont(font);
}

// The text grows and shrinks with the control, as far as it still fits both
// ways; a control designed without an extent keeps its designed font.
double Control::fontScale() const {
    if (design_.width <= 0 || design_.height <= 0)
        return 1.0;
    const double width = twips_[static_cast<std::size_t>(Coordinate::Width)];
    const double height = twips_[static_cast<std::size_t>(Coordinate::Height)];
    return std::min(width / design_.width, height / design_.height);
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

void Control::setPicture(const Picture& picture) {
    picture_ = picture;
    if (auto* image = dynamic_cast<ImageView*>(widget_.data()))
        image->setImage(picture.image());
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

}  // namespace platform
