#include "Accessibility.h"

#include "Widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace forms {

namespace {

// An invisible widget that shows itself, named by the announcement, each
// time there is something to say.
class Announcement : public QWidget {
public:
    explicit Announcement(QWidget* window) : QWidget(window) {
        setObjectName(QString::fromLatin1(kAnnouncementName));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(0, 0, 1, 1);
        hide();
    }
};

QAccessibleInterface* roleOf(const QString&, QObject* object) {
    if (dynamic_cast<Announcement*>(object))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    if (auto* box = dynamic_cast<PictureBox*>(object))
        return new QAccessibleWidget(box, QAccessible::Grouping);
    // A screen's window is a plain widget, which Qt would expose as a filler.
    if (object->metaObject() == &QWidget::staticMetaObject && static_cast<QWidget*>(object)->isWindow())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    // A picture only shown is a graphic; one to choose is Qt's own button.
    if (auto* image = dynamic_cast<ImageView*>(object); image && image->focusPolicy() == Qt::NoFocus)
        return new QAccessibleWidget(image, QAccessible::Graphic);
    return nullptr;
}

}  // namespace

void installAccessibleRoles() {
    static bool installed = false;
    if (!std::exchange(installed, true))
        QAccessible::installFactory(roleOf);
}

void announce(QWidget* window, const QString& text) {
    if (!window || text.isEmpty())
        return;
    auto* announcement = window->findChild<Announcement*>(QString::fromLatin1(kAnnouncementName));
    if (!announcement)
        announcement = new Announcement(window);
    announcement->hide();
    announcement->setAccessibleName(text);
    announcement->show();
}

}  // namespace forms
