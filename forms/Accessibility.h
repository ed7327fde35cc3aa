#pragma once
// What the controls of a screen tell assistive technology beyond their own
// names: containers are groups, focusable pictures are buttons and other
// pictures are graphics, screens' windows are windows; and announcements, which a screen reader speaks as
// they happen (shown as a notification, which Orca reads when it appears).

#include <QString>

class QWidget;

namespace forms {

// Gives picture boxes and pictures their roles; called before the first
// window opens, once is enough.
void installAccessibleRoles();

// Speaks `text` through the announcement object of `window`, created on first use.
void announce(QWidget* window, const QString& text);

// The object name of a window's announcement object.
inline constexpr const char* kAnnouncementName = "announcement";

}  // namespace forms
