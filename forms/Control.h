#pragma once
// One control of a loaded screen. It is created from a row of the screen's
// design and lives until the screen is unloaded.
//
// Properties are reached by kind of property so that code which walks over
// every control (translation, resizing) can try each one: a property that the
// control's kind does not have answers std::nullopt or Outcome::NoSuchProperty,
// quietly, and changes nothing.

#include "Design.h"
#include "Picture.h"

#include <QAction>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace forms {

enum class TextProperty { Caption, ToolTipText, Tag };
enum class Coordinate { Left, Top, Width, Height };
enum class Outcome { Done, NoSuchProperty };

class Screen;

class Control {
public:
    Control(Screen& screen, const ControlDesign& design, int index);
    ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const QString& name() const { return name_; }
    std::optional<int> index() const;  // set for the elements of a control array
    QString fullName() const;          // "Name(3)" for an element of a control array, else the name
    Kind kind() const { return design_.kind; }
    const ControlDesign& design() const { return design_; }
    Screen& screen() const { return screen_; }
    Control* container() const;  // the picture box or menu it lies in; nullptr: the screen

    // Caption: every kind but PictureBox and Image. ToolTipText: every kind
    // but menu entries. Tag: every kind.
    std::optional<QString> text(TextProperty property) const;
    Outcome setText(TextProperty property, const QString& value);

    // Twips relative to the inside of the container, kept as given (unrounded).
    // Menu entries have no position.
    std::optional<double> coordinate(Coordinate coordinate) const;
    Outcome setCoordinate(Coordinate coordinate, double twips);

    bool enabled() const;
    void setEnabled(bool enabled);
    bool visible() const;  // the control's own Visible flag
    void setVisible(bool visible);
    bool checked() const;  // check boxes, option buttons, menu items
    void setChecked(bool checked);
    const files::Picture& picture() const { return picture_; }
    void setPicture(const files::Picture& picture);  // images; the empty picture clears
    void setBackColour(QRgb colour);                 // labels, buttons, check and option boxes, picture boxes

    // Called when the control is clicked (a check box: after its state changed;
    // a menu entry: when it is chosen). A disabled control is never clicked.
    void onClick(std::function<void()> handler) { clickHandler_ = std::move(handler); }
    // The child's click as the user interface delivers it: nothing happens
    // while the control, or its screen, is disabled or hidden.
    void click();

    QWidget* widget() const { return widget_; }  // nullptr for menu entries
    QAction* action() const { return action_; }  // menu entries only

private:
    friend class Screen;
    class Placer : public QObject {
    public:
        explicit Placer(Control& control) : control_(control) {}
        bool eventFilter(QObject* watched, QEvent* event) override;

    private:
        Control& control_;
    };
    void placeWidget();  // applies the twips geometry to the widget and reports it to the screen's fonts
    void clicked();
    bool isClickable() const;

    Screen& screen_;
    const ControlDesign design_;
    const QString name_;
    const int index_;
    QString caption_;
    QString toolTipText_;
    QString tag_;
    std::array<double, 4> twips_{};
    bool enabled_;
    bool visible_;
    files::Picture picture_;
    QPointer<QWidget> widget_;
    QPointer<QAction> action_;
    std::function<void()> clickHandler_;
    // Owns the connections to the widget's signals, so that none outlives the control.
    std::unique_ptr<QObject> receiver_;
    std::unique_ptr<Placer> placer_;
};

}  // namespace forms
