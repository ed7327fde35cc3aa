#pragma once
// A screen as a child at the keyboard (or a switch) meets it: the control
// with the focus, the keys pressed on it, the focus ring drawn around it and
// the real message boxes that come up.

#include "Accessibility.h"
#include "FocusRing.h"
#include "Screen.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <type_traits>

namespace screen_input {

inline QWidget* focused(const forms::Screen& screen) {
    return screen.window()->focusWidget();
}
// The control called `name` (a QString or a ControlName), the element `index` of an array.
template <typename Name>
QWidget* widget(const forms::Screen& screen, const Name& name, int index = -1) {
    return screen.control(name, index).widget();
}
// `screen` shown, with the keyboard.
inline forms::Screen& shown(forms::Screen& screen) {
    screen.Show();
    if (!QTest::qWaitForWindowActive(screen.window()))
        qWarning("the window was not activated");
    return screen;
}
// The widget of the control called `fullName` ("Option1(3)", "Check1").
inline QWidget* byFullName(const forms::Screen& screen, const QString& fullName) {
    for (const auto& control : screen.controls())
        if (control->fullName() == fullName)
            return control->widget();
    return nullptr;
}
// A key on the focused control, or on the window when none has the focus.
inline void press(const forms::Screen& screen, Qt::Key key) {
    QTest::keyClick(focused(screen) ? focused(screen) : screen.window(), key);
}
// The ring surrounds `area` (in its window's coordinates) closely.
inline bool ringAround(const QWidget* window, const QRect& area) {
    const auto* ring = window->findChild<QWidget*>(QString::fromLatin1(forms::kFocusRingName));
    return ring && ring->isVisible() && ring->geometry().contains(area) &&
           ring->geometry().adjusted(20, 20, -20, -20).width() < area.width();
}
inline bool ringAround(const QWidget* widget) {
    return ringAround(widget->window(), QRect(widget->mapTo(widget->window(), QPoint()), widget->size()));
}
// What the screen last announced to assistive technology.
inline QString announcement(const forms::Screen& screen) {
    const auto* said = screen.window()->findChild<QWidget*>(QString::fromLatin1(forms::kAnnouncementName));
    return said ? said->accessibleName() : QString();
}
// Acts on the next real modal window of type T (a message box, a dialog), once it has the keyboard.
template <typename T = QMessageBox>
void whenOpens(const std::type_identity_t<std::function<void(T&)>>& act) {
    QTimer::singleShot(10, qApp, [act] {
        auto* opened = dynamic_cast<T*>(QApplication::activeModalWidget());
        if (!opened || QApplication::activeWindow() != opened || !opened->focusWidget())
            return whenOpens<T>(act);
        act(*opened);
    });
}

}  // namespace screen_input
