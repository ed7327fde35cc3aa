// Keeping the screen awake, against a private session bus with stand-ins for
// the desktop's screen saver and portal.

#include "ScreenAwake.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QProcess>
#include <QTest>
#include <QVariantMap>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kSaver = u"org.freedesktop.ScreenSaver"_s, kPortal = u"org.freedesktop.portal.Desktop"_s;

class FakeSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    QStringList inhibited;  // "application: reason"
    QList<uint> released;

public Q_SLOTS:
    uint Inhibit(const QString& application, const QString& reason) {
        inhibited << application + u": "_s + reason;
        return 40 + uint(inhibited.size());
    }
    void UnInhibit(uint cookie) { released << cookie; }
};

class FakeRequest : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")

public:
    int closed = 0;

public Q_SLOTS:
    void Close() { ++closed; }
};

class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")

public:
    QStringList inhibited;  // "flags: reason"
    FakeRequest request;

public Q_SLOTS:
    QDBusObjectPath Inhibit(const QString&, uint flags, const QVariantMap& options) {
        inhibited << QString::number(flags) + u": "_s + options.value(u"reason"_s).toString();
        return QDBusObjectPath(u"/org/freedesktop/portal/desktop/request/1_1/t"_s);
    }
};

}  // namespace

class TestScreenAwake : public QObject {
    Q_OBJECT

    QProcess daemon;
    QDBusConnection desktop{u"none"_s};
    FakeSaver saver;
    FakePortal portal;

private Q_SLOTS:
    void initTestCase() {
        QCoreApplication::setApplicationName(u"Metamorfine"_s);
        daemon.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        QVERIFY(daemon.waitForReadyRead(10000));
        const QByteArray address = daemon.readLine().trimmed();
        // Before the program's first use of the session bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        desktop = QDBusConnection::connectToBus(QString::fromUtf8(address), u"desktop"_s);
        QVERIFY(desktop.isConnected());
        QVERIFY(desktop.registerObject(u"/org/freedesktop/ScreenSaver"_s, &saver, QDBusConnection::ExportAllSlots));
        QVERIFY(desktop.registerObject(u"/org/freedesktop/portal/desktop"_s, &portal, QDBusConnection::ExportAllSlots));
        QVERIFY(desktop.registerObject(u"/org/freedesktop/portal/desktop/request/1_1/t"_s, &portal.request,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(desktop.registerService(kSaver));
        QVERIFY(desktop.registerService(kPortal));
    }
    void cleanupTestCase() {
        QDBusConnection::disconnectFromBus(u"desktop"_s);
        daemon.kill();
        daemon.waitForFinished();
    }

    // The screen saver is asked first, once however often the screen is held,
    // and given its cookie back; the portal is left alone. A grant that
    // arrives after the program let go is given back at once. Without a
    // screen saver, the portal's idle inhibition, closed on release.
    void theScreenSaverElseThePortalKeepsItAwake() {
        media::keepScreenAwake(true, u"a kiosk"_s);
        media::keepScreenAwake(true, u"again"_s);
        QTRY_VERIFY(media::screenKeptAwake());
        QCOMPARE(saver.inhibited, QStringList{u"Metamorfine: a kiosk"_s});
        media::keepScreenAwake(false);
        QVERIFY(!media::screenKeptAwake());
        QTRY_COMPARE(saver.released, QList<uint>{41});
        QVERIFY(portal.inhibited.isEmpty());

        media::keepScreenAwake(true, u"brief"_s);
        media::keepScreenAwake(false);
        QTRY_COMPARE(saver.released, (QList<uint>{41, 42}));
        QVERIFY(!media::screenKeptAwake());

        QVERIFY(desktop.interface()->unregisterService(kSaver));
        media::keepScreenAwake(true, u"scanning"_s);
        QTRY_VERIFY(media::screenKeptAwake());
        QCOMPARE(portal.inhibited, QStringList{u"8: scanning"_s});
        media::keepScreenAwake(false);
        QTRY_COMPARE(portal.request.closed, 1);
        QCOMPARE(saver.inhibited.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestScreenAwake)
#include "tst_screen_awake.moc"
