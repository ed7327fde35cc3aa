#pragma once
// Makes the widget, or the menu-bar action, behind a control from the
// control's design row, and connects the user's clicks on it.

#include "Design.h"

#include <QString>
#include <functional>

class QAction;
class QMenuBar;
class QObject;
class QWidget;

namespace forms {

class Control;

class ControlFactory {
public:
    // `onClick` is called for the user's clicks, through connections that
    // `receiver` owns.
    ControlFactory(const Control& control, std::function<void()> onClick, QObject* receiver);

    // The widget inside the control's container, named, coloured and
    // connected, neither placed nor shown yet.
    QWidget* createWidget() const;
    // The menu-bar entry; nullptr when the screen has no menu bar.
    QAction* createMenuEntry() const;

private:
    QWidget* createOfKind(QWidget* parent) const;
    QWidget* createLabel(QWidget* parent) const;
    QWidget* createPictureButton(QWidget* parent) const;
    QWidget* createPictureBox(QWidget* parent) const;
    QWidget* createImage(QWidget* parent) const;
    void applyLook(QWidget* widget) const;
    void connectClick(QWidget* widget) const;
    QAction* createMenuItem(QMenuBar* bar) const;

    const Control& control_;
    const ControlDesign& design_;
    const QString caption_;
    std::function<void()> onClick_;
    QObject* receiver_;
};

}  // namespace forms
