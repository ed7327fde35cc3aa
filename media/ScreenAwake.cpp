#include "ScreenAwake.h"

#include "MediaLog.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QVariantMap>
#include <optional>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace media {
namespace {

const QString kSaverService = u"org.freedesktop.ScreenSaver"_s;
const QString kSaverPath = u"/org/freedesktop/ScreenSaver"_s;
const QString kPortalService = u"org.freedesktop.portal.Desktop"_s;
const QString kPortalPath = u"/org/freedesktop/portal/desktop"_s;
const QString kPortalInhibit = u"org.freedesktop.portal.Inhibit"_s;
const QString kPortalRequest = u"org.freedesktop.portal.Request"_s;
// The portal's flag for the session's going idle (blanking, locking).
constexpr uint kPortalIdle = 8;

// What the desktop granted: a screen saver's cookie, or a portal's request.
struct Held {
    std::optional<uint> cookie;
    QString request;
};

class ScreenAwake : public QObject {
public:
    bool wanted = false;
    Held held;

    void hold(const QString& reason) {
        if (wanted)
            return;
        wanted = true;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            qCWarning(lcMedia, "no session bus: the screen may blank and lock");
            return;
        }
        QDBusMessage inhibit = QDBusMessage::createMethodCall(kSaverService, kSaverPath, kSaverService, u"Inhibit"_s);
        inhibit << QCoreApplication::applicationName() << reason;
        whenAnswered(bus.asyncCall(inhibit), [this, reason](const QDBusMessage& reply) {
            if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                granted({.cookie = reply.arguments().constFirst().toUInt(), .request = {}});
                return;
            }
            qCInfo(lcMedia, "no screen saver to keep the screen awake (%s): asking the portal",
                   qUtf8Printable(reply.errorMessage()));
            askPortal(reason);
        });
    }

    void release() {
        wanted = false;
        letGo(std::exchange(held, {}));
    }

private:
    template <typename Answered>
    void whenAnswered(const QDBusPendingCall& call, Answered answered) {
        auto* watcher = new QDBusPendingCallWatcher(call, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [answered](QDBusPendingCallWatcher* finished) {
            answered(finished->reply());
            finished->deleteLater();
        });
    }

    void askPortal(const QString& reason) {
        if (!wanted)
            return;
        QDBusMessage inhibit =
            QDBusMessage::createMethodCall(kPortalService, kPortalPath, kPortalInhibit, u"Inhibit"_s);
        inhibit << QString() << kPortalIdle << QVariantMap{{u"reason"_s, reason}};
        whenAnswered(QDBusConnection::sessionBus().asyncCall(inhibit), [this](const QDBusMessage& reply) {
            if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                granted({.cookie = std::nullopt,
                         .request = qvariant_cast<QDBusObjectPath>(reply.arguments().constFirst()).path()});
                return;
            }
            qCWarning(lcMedia, "neither the screen saver nor the portal keeps the screen awake (%s)",
                      qUtf8Printable(reply.errorMessage()));
        });
    }

    // A grant that comes after the program stopped wanting it is let go at once.
    void granted(Held grant) {
        if (wanted)
            held = std::move(grant);
        else
            letGo(std::move(grant));
    }

    static void letGo(const Held& grant) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (grant.cookie) {
            QDBusMessage uninhibit =
                QDBusMessage::createMethodCall(kSaverService, kSaverPath, kSaverService, u"UnInhibit"_s);
            uninhibit << *grant.cookie;
            bus.asyncCall(uninhibit);
        } else if (!grant.request.isEmpty()) {
            bus.asyncCall(QDBusMessage::createMethodCall(kPortalService, grant.request, kPortalRequest, u"Close"_s));
        }
    }
};

ScreenAwake& screenAwake() {
    static auto* only = new ScreenAwake;
    return *only;
}

}  // namespace

void keepScreenAwake(bool awake, const QString& reason) {
    if (awake)
        screenAwake().hold(reason);
    else
        screenAwake().release();
}

bool screenKeptAwake() {
    const Held& held = screenAwake().held;
    return held.cookie.has_value() || !held.request.isEmpty();
}

}  // namespace media
