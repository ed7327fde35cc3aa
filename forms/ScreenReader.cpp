#include "ScreenReader.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QObject>
#include <QVariantMap>

using namespace Qt::Literals::StringLiterals;

namespace forms {
namespace {

const QString kService = u"org.a11y.Bus"_s;
const QString kPath = u"/org/a11y/bus"_s;
const QString kStatus = u"org.a11y.Status"_s;
const QString kProperty = u"ScreenReaderEnabled"_s;
const QString kProperties = u"org.freedesktop.DBus.Properties"_s;

class ScreenReaderStatus : public QObject {
    Q_OBJECT

public:
    std::optional<bool> forced;
    bool running = false;

    void follow() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (following_ || !bus.isConnected())
            return;
        following_ = true;
        bus.connect(kService, kPath, kProperties, u"PropertiesChanged"_s, this,
                    SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, kProperties, u"Get"_s);
        get << kStatus << kProperty;
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(get), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
            const QDBusPendingReply<QDBusVariant> reply = *call;
            if (!reply.isError())
                running = reply.value().variant().toBool();
            call->deleteLater();
        });
    }

private Q_SLOTS:
    void propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&) {
        if (interface == kStatus && changed.contains(kProperty))
            running = changed.value(kProperty).toBool();
    }

private:
    bool following_ = false;
};

ScreenReaderStatus& status() {
    static auto* only = new ScreenReaderStatus;
    return *only;
}

}  // namespace

bool screenReaderSpeaks() {
    return status().forced.value_or(status().running);
}

void followScreenReader() {
    status().follow();
}

void forceScreenReader(std::optional<bool> running) {
    status().forced = running;
}

}  // namespace forms

#include "ScreenReader.moc"
