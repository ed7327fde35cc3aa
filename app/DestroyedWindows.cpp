#include "DestroyedWindows.h"

#include "AppLog.h"
#include "Process.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <xcb/xcb.h>

namespace app {

namespace {

class DestroyedWindowWatch : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) override {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & ~0x80) != XCB_DESTROY_NOTIFY)
            return false;
        const xcb_window_t destroyed = reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window;
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows) {
            if (window->isVisible() && window->internalWinId() == destroyed)
                QTimer::singleShot(0, window, [window] { windowDestroyed(window); });
        }
        return false;
    }

private:
    static void windowDestroyed(QWidget* window) {
        if (auto* box = qobject_cast<QDialog*>(window)) {
            qCWarning(lcApp, "a message box was destroyed by another program: taken as closed");
            box->reject();
            return;
        }
        qCWarning(lcApp, "the program's window was destroyed by another program: the program ends");
        media::EndProgram();
    }
};

}  // namespace

void EndWhenScreensAreDestroyed() {
    static DestroyedWindowWatch watch;
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        qApp->installNativeEventFilter(&watch);
}

}  // namespace app
