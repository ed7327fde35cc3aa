#include "ControlFactory.h"

#include "Control.h"
#include "Palette.h"
#include "Screen.h"
#include "SvgDrawing.h"
#include "Widgets.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace forms {

namespace {

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

// A button with its design's drawing, if any, beside the caption.
template <typename Button>
Button* createButton(const ControlDesign& design, const QString& caption, QWidget* parent) {
    auto* button = new Button(caption, parent);
    if (design.picture)
        new CaptionPicture(button, QString::fromUtf8(design.picture));
    return button;
}

template <typename Button>
QWidget* createCheckable(const ControlDesign& design, const QString& caption, QWidget* parent) {
    Button* button = createButton<Button>(design, caption, parent);
    button->setChecked(design.checked);
    return button;
}

}  // namespace

ControlFactory::ControlFactory(const Control& control, std::function<void()> onClick, QObject* receiver)
    : control_(control),
      design_(control.design()),
      caption_(control.text(TextProperty::Caption).value_or(QString())),
      onClick_(std::move(onClick)),
      receiver_(receiver) {}

QWidget* ControlFactory::createWidget() const {
    const Control* box = control_.container();
    const auto* boxWidget = box ? dynamic_cast<const PictureBox*>(box->widget()) : nullptr;
    QWidget* widget = createOfKind(boxWidget ? boxWidget->inside() : control_.screen().client());
    if (!widget)
        return nullptr;
    applyLook(widget);
    connectClick(widget);
    widget->setEnabled(control_.enabled());
    return widget;
}

QWidget* ControlFactory::createOfKind(QWidget* parent) const {
    switch (design_.kind) {
    case Kind::Label:
        return createLabel(parent);
    case Kind::CommandButton:
        return createButton<QPushButton>(design_, caption_, parent);
    case Kind::GraphicalButton:
        return createPictureButton(parent);
    case Kind::CheckBox:
        return createCheckable<CheckBox>(design_, caption_, parent);
    case Kind::OptionButton:
        return createCheckable<OptionButton>(design_, caption_, parent);
    case Kind::PictureBox:
        return createPictureBox(parent);
    case Kind::Image:
        return createImage(parent);
    case Kind::MenuCommand:
    case Kind::Menu:
    case Kind::MenuItem:
        break;
    }
    return nullptr;
}

QWidget* ControlFactory::createLabel(QWidget* parent) const {
    auto* label = new QLabel(caption_, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->setAlignment(labelAlignment(design_.align));
    return label;
}

QWidget* ControlFactory::createPictureButton(QWidget* parent) const {
    auto* button = new PictureButton(QString::fromUtf8(design_.picture), parent);
    button->setText(caption_);
    // A button without words shows its picture in the middle.
    if (caption_.isEmpty())
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return button;
}

QWidget* ControlFactory::createPictureBox(QWidget* parent) const {
    auto* box = new PictureBox(design_.border, parent);
    setOpaqueBackground(
        box, design_.backColour != kNoColour ? design_.backColour : box->palette().color(QPalette::Window).rgb());
    return box;
}

QWidget* ControlFactory::createImage(QWidget* parent) const {
    auto* image = new ImageView(parent);
    if (design_.tabIndex >= 0)
        image->setFocusPolicy(Qt::StrongFocus);
    else
        image->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (design_.picture)
        image->setResource(QString::fromUtf8(design_.picture));
    return image;
}

void ControlFactory::applyLook(QWidget* widget) const {
    const QString name = control_.fullName();
    widget->setObjectName(name);
    if (design_.foreColour != kNoColour)
        setTextColour(widget, design_.foreColour);
    // A picture box has its background already; an image has none of its own.
    if (design_.backColour != kNoColour && design_.kind != Kind::PictureBox && design_.kind != Kind::Image)
        setOpaqueBackground(widget, design_.backColour);
    if (design_.pointer.resource)
        widget->setCursor(cursorFromPointer(design_.pointer));
}

void ControlFactory::connectClick(QWidget* widget) const {
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        QObject::connect(button, &QAbstractButton::clicked, receiver_, onClick_);
    else
        new ClickFilter(widget, onClick_, receiver_);
}

QAction* ControlFactory::createMenuEntry() const {
    QMenuBar* bar = control_.screen().menuBar();
    if (!bar)
        return nullptr;
    QAction* action = nullptr;
    if (design_.kind == Kind::Menu) {
        QMenu* menu = bar->addMenu(caption_);
        menu->setObjectName(control_.fullName());
        QObject::connect(menu, &QMenu::aboutToShow, receiver_, onClick_);
        action = menu->menuAction();
    } else if (design_.kind == Kind::MenuItem) {
        action = createMenuItem(bar);
    } else {
        action = bar->addAction(caption_);
        QObject::connect(action, &QAction::triggered, receiver_, onClick_);
    }
    action->setObjectName(control_.fullName());
    action->setEnabled(control_.enabled());
    action->setVisible(control_.visible());
    return action;
}

QAction* ControlFactory::createMenuItem(QMenuBar* bar) const {
    const Control* menuControl = control_.container();
    QMenu* menu = menuControl && menuControl->action() ? menuControl->action()->menu<QMenu*>() : nullptr;
    QAction* item = nullptr;
    if (menu) {
        // A further element of the array goes right after the elements before it.
        QAction* before = nullptr;
        const QList<QAction*> actions = menu->actions();
        for (qsizetype i = actions.size() - 1; i >= 0; --i) {
            if (actions[i]->objectName().startsWith(control_.name() + u'(')) {
                before = i + 1 < actions.size() ? actions[i + 1] : nullptr;
                break;
            }
        }
        item = new QAction(caption_, menu);
        menu->insertAction(before, item);
    } else {
        item = bar->addAction(caption_);
    }
    item->setCheckable(true);
    item->setChecked(design_.checked);
    // Choosing an item does not change its check mark: only setChecked does.
    QObject::connect(item, &QAction::triggered, receiver_, [item, onClick = onClick_](bool nowChecked) {
        item->setChecked(!nowChecked);
        onClick();
    });
    return item;
}

}  // namespace forms
