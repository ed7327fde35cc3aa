#pragma once
// The widgets of our own behind the controls of a screen.

#include <QAbstractButton>
#include <QCheckBox>
#include <QFrame>
#include <QImage>
#include <QPixmap>
#include <QRadioButton>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <vector>

namespace forms {

// How a picture of a row follows the one before it: changed (an arrow) or
// the same ("=").
enum class Sign { Arrow, Equals };

// Pictures side by side, each after the first led to by its sign.
struct PictureRow {
    struct Next {
        Sign sign;
        QImage image;
    };
    QImage first;
    std::vector<Next> next;
};

// Shows a picture, or a row of pictures, as large as fits without
// distortion, smoothly scaled and centred in the part of the view that its
// parent leaves visible, so that a view reaching under a container's border
// still shows the whole picture. A disabled image shows its picture unchanged.
// A picture to choose is a button: Qt gives it the click, Space, the focus,
// the role and the press action of assistive technology. One only shown
// lets clicks through to what lies under it and takes no focus.
class ImageView : public QAbstractButton {
public:
    explicit ImageView(QWidget* parent);
    void setImage(const QImage& image) { setRow({.first = image, .next = {}}); }
    void setRow(PictureRow row);
    const PictureRow& row() const { return row_; }
    void setResource(const QString& svgResource);  // drawn at the size shown

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;  // the parent's resizes

private:
    QRect visibleArea() const;

    PictureRow row_;
    QString resource_;
    QPixmap scaled_;  // the picture drawn at the size of the visible area
};

// A container with its own background and, if asked, a sunken border. Its
// controls lie in an inside area that the border encloses and clips.
class PictureBox : public QFrame {
public:
    PictureBox(bool border, QWidget* parent);
    QWidget* inside() const { return inside_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* inside_;
};

// A command button with its picture above the caption; the picture grows
// with the button so that it stays sharp.
class PictureButton : public QToolButton {
public:
    PictureButton(const QString& svgResource, QWidget* parent);
    // A picture drawn at run time in the place of the drawing.
    void setImage(QImage image);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void renderPicture();
    QString resource_;
    QImage image_;
};

// The style of a button whose caption stands beside a picture: right to left
// too, the caption stands next to its picture.
QStyle* captionBesidePictureStyle();

// Shows an SVG drawing (2:1) beside a button's caption, as high as a share of
// the button and drawn anew at every size, so that it grows with the button
// and stays sharp. Lives as long as the button.
class CaptionPicture : public QObject {
public:
    CaptionPicture(QAbstractButton* button, QString svgResource);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void render(QAbstractButton* button) const;
    QString resource_;
};

// Calls `onEntry` each time the pointer enters the widget or the keyboard
// moves the focus to it; moving inside it calls nothing.
class EntryFilter : public QObject {
public:
    EntryFilter(QWidget* watched, std::function<void()> onEntry);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onEntry_;
};

// A check box and an option button that take a click anywhere on their
// rectangle, not only on the mark and the caption, and whose mark grows
// with their text.
class CheckBox : public QCheckBox {
public:
    CheckBox(const QString& text, QWidget* parent);

protected:
    bool hitButton(const QPoint& position) const override { return rect().contains(position); }
};

class OptionButton : public QRadioButton {
public:
    OptionButton(const QString& text, QWidget* parent);

protected:
    bool hitButton(const QPoint& position) const override { return rect().contains(position); }
    void showEvent(QShowEvent* event) override;

private:
    void becomeTabStop();
};

// Turns a left-button press and release inside an enabled widget into a call
// of `onClick`, for widgets that have no click of their own.
class ClickFilter : public QObject {
public:
    ClickFilter(QWidget* watched, std::function<void()> onClick, QObject* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onClick_;
    bool pressed_ = false;
};

}  // namespace forms
