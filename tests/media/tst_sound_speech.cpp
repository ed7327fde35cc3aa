// The sounds reaching ALSA's output, or none, where the media plugin is loaded
// from, the locale and pace of the voice, and the end of a process whose
// speech server never answers or answers what is not its protocol.

#include "DataFiles.h"
#include "FileBytes.h"
#include "MediaLoader.h"
#include "Sound.h"
#include "Speech.h"
#include "WaveFile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <array>
#include <iostream>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The test binary runs itself with these arguments: with a program folder in
// which it loads the media plugin, or with the build's media plugin, playing
// sounds or speaking to a stand-in speech server.
const QString kLoadMediaPlugin = u"--load-media-plugin"_s, kSpeakInLocales = u"--speak-in-locales"_s,
              kSpeakAndLeave = u"--speak-and-leave"_s, kPrepareMedia = u"--prepare-media"_s,
              kPlaySounds = u"--play-sounds"_s;

// Runs the event loop, as the program does, until the standard input is closed.
void runUntilInputCloses() {
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QEventLoop loop;
    QObject::connect(&input, &QSocketNotifier::activated, &loop, [&loop] {
        std::array<char, 256> buffer{};
        if (::read(STDIN_FILENO, buffer.data(), buffer.size()) <= 0)
            loop.quit();
    });
    loop.exec();
}

// Loads the media plugin as the program does, with `folder` as the program
// folder, and prints the file the process has mapped for it, or "none".
int loadMediaPlugin(const QString& folder) {
    files::setExecutableFolder(folder);
    media::mediaBackend();
    QFile maps(u"/proc/self/maps"_s);
    if (!maps.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray pluginName = '/' + QFileInfo(QStringLiteral(MF_MEDIA_PLUGIN)).fileName().toUtf8();
    for (const QByteArray& line : maps.readAll().split('\n')) {
        if (line.endsWith(pluginName)) {
            std::cout << line.mid(line.indexOf('/')).constData() << std::endl;
            return 0;
        }
    }
    std::cout << "none" << std::endl;
    return 0;
}

// Plays each sound named, a second apart (a sound asked for while an earlier
// one waits cuts it), then finishes the media as the program does at its end.
// Or says sentences, or readies the media with the voice of a locale (none
// when empty), and then, once the standard input is closed, finishes the
// media, or leaves without, as a test or a benchmark does.
int runAsChild(const QString& role, const QStringList& arguments) {
    if (role == kLoadMediaPlugin)
        return loadMediaPlugin(arguments.value(0));
    files::setExecutableFolder(QStringLiteral(MF_PROGRAM_DIR));
    if (role == kPlaySounds) {
        for (const QString& path : arguments) {
            media::PlaySoundAsync(path);
            QTest::qWait(1000);
        }
        return media::finishMedia(10000) ? 0 : 1;
    }
    if (role == kPrepareMedia)
        media::prepareMedia(arguments.value(0));
    if (role == kSpeakAndLeave)
        media::Speak(u"sentence"_s, u"it"_s);
    if (role == kSpeakInLocales) {
        // A sentence asked for again while it waits is said once: the last one differs.
        for (const QString& tag : {u"en_GB"_s, u"it"_s, u"zz"_s, u"de-AT"_s, u"en_GB again"_s})
            media::Speak(u"sentence "_s % tag, tag.section(u' ', 0, 0));
        // The pace: sent when it changes, back to the voice's own too.
        for (const auto& [rate, sentence] :
             {std::pair(-40, u"pace -40"_s), {-40, u"pace -40 again"_s}, {0, u"pace 0"_s}}) {
            media::SetSpeechRate(rate);
            media::Speak(sentence, u"it"_s);
        }
    }
    runUntilInputCloses();
    return role == kSpeakAndLeave || media::finishMedia(10000) ? 0 : 1;
}

// Starts the test binary itself with `arguments`, the media's log on and the
// environment's `variable` set to `value`.
void startSelf(QProcess& child, const QStringList& arguments, const QString& variable, const QString& value) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(variable, value);
    environment.insert(u"QT_LOGGING_RULES"_s, u"metamorfine.media=true"_s);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), arguments);
}

}  // namespace

class TestSoundSpeech : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The plugin of the program folder is loaded, by its own name; one planted beside a
    // portable folder in ../lib/metamorfine is not; one that another user could
    // have replaced is not, in the program folder either.
    void mediaPluginOnlyFromTrustedFolders() {
        const auto loadedFrom = [](const QString& folder) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {kLoadMediaPlugin, folder});
            return child.waitForFinished(20000) ? QString::fromUtf8(child.readAllStandardOutput()).trimmed()
                                                : u"no answer"_s;
        };
        QTemporaryDir top;
        const QString program = top.filePath(u"program"_s);
        const QString planted = top.filePath(u"lib/metamorfine"_s);
        const QString pluginName = QFileInfo(QStringLiteral(MF_MEDIA_PLUGIN)).fileName();
        QVERIFY(QDir().mkpath(program) && QDir().mkpath(planted));
        QVERIFY(QFile::copy(QStringLiteral(MF_MEDIA_PLUGIN), planted % u'/' % pluginName));
        const QString ownPlugin = program % u'/' % pluginName;

        QVERIFY(!loadedFrom(program).startsWith(top.path()));

        QVERIFY(QFile::copy(QStringLiteral(MF_MEDIA_PLUGIN), ownPlugin));
        QCOMPARE(loadedFrom(program), ownPlugin);
        // A file beside it named for a processor's features is never tried
        // instead (Qt's plugin loader tries ".avx2" first on such processors).
        QVERIFY(QFile::copy(QStringLiteral(MF_MEDIA_PLUGIN), ownPlugin % u".avx2"_s));
        QCOMPARE(loadedFrom(program), ownPlugin);

        const QFile::Permissions own = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        for (const QFile::Permissions othersWrite : {QFile::WriteGroup, QFile::WriteOther})
            for (const QString& opened : {ownPlugin, program}) {
                QFile::setPermissions(opened, own | othersWrite);
                QCOMPARE(loadedFrom(program), u"none"_s);
                QFile::setPermissions(opened, own);
            }
        QCOMPARE(loadedFrom(program), ownPlugin);
    }

    // The voice follows the whole locale tag (language and territory), the
    // language alone when the tag names no territory, and a tag without a
    // language says nothing; a locale already chosen is not sent again. The
    // pace is sent when it changes. Readying the media readies a voice only
    // when one is asked for: with the voice off, the speech server is never
    // reached.
    void theSpeechServerHearsTheLocaleAndThePace_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("heard");
        QTest::newRow("speaking") << QStringList{kSpeakInLocales}
                                  << QStringList({u"SET SELF LANGUAGE en-GB"_s, u"sentence en_GB"_s,
                                                  u"SET SELF LANGUAGE it"_s, u"sentence it"_s,
                                                  u"SET SELF LANGUAGE de-AT"_s, u"sentence de-AT"_s,
                                                  u"SET SELF LANGUAGE en-GB"_s, u"sentence en_GB again"_s,
                                                  u"SET SELF RATE -40"_s, u"SET SELF LANGUAGE it"_s, u"pace -40"_s,
                                                  u"pace -40 again"_s, u"SET SELF RATE 0"_s, u"pace 0"_s});
        QTest::newRow("readying a voice")
            << QStringList{kPrepareMedia, u"fr"_s} << QStringList{u"SET SELF LANGUAGE fr"_s};
        QTest::newRow("readying no voice") << QStringList{kPrepareMedia, QString()} << QStringList();
    }
    void theSpeechServerHearsTheLocaleAndThePace() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, heard);
        QTemporaryDir folder;
        QLocalServer server;
        QVERIFY(server.listen(folder.filePath(u"speechd.sock"_s)));
        // Answers every request as speech-dispatcher does when it accepts it,
        // and records the languages and paces chosen and the sentences said.
        QStringList said;
        int connections = 0;
        connect(&server, &QLocalServer::newConnection, &server, [&] {
            QLocalSocket* client = server.nextPendingConnection();
            ++connections;
            connect(client, &QLocalSocket::readyRead, client,
                    [&said, client, receivingText = false, lastMessage = 0]() mutable {
                        while (client->canReadLine()) {
                            const QString line = QString::fromUtf8(client->readLine().trimmed());
                            if (receivingText && line == u"."_s) {
                                receivingText = false;
                                // Queued, and at once said to its end.
                                const QByteArray number = QByteArray::number(++lastMessage);
                                client->write("225-" + number + "\r\n225 OK MESSAGE QUEUED\r\n");
                                client->write("702-" + number + "\r\n702-1\r\n702 END\r\n");
                            } else if (receivingText) {
                                said << line;
                            } else if (line.compare(u"SPEAK"_s, Qt::CaseInsensitive) == 0) {
                                receivingText = true;
                                client->write("230 OK RECEIVING DATA\r\n");
                            } else if (line.compare(u"HISTORY GET CLIENT_ID"_s, Qt::CaseInsensitive) == 0) {
                                client->write("249-1\r\n249 OK CLIENT ID SENT\r\n");
                            } else {
                                if (line.startsWith(u"SET SELF LANGUAGE "_s) || line.startsWith(u"SET SELF RATE "_s))
                                    said << line;
                                client->write("200 OK\r\n");
                            }
                        }
                    });
        });
        QProcess child;
        startSelf(child, arguments, u"SPEECHD_ADDRESS"_s, u"unix_socket:"_s % server.fullServerName());
        if (heard.isEmpty())
            QTest::qWait(2000);
        else
            QTRY_COMPARE_WITH_TIMEOUT(said, heard, 15000);
        QCOMPARE(connections, heard.isEmpty() ? 0 : 1);
        child.closeWriteChannel();
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitCode(), 0);
    }

    // The sounds reach ALSA's default output (here a file) whole and in
    // order, a file that is no WAV file of PCM samples is refused and logged
    // and the next plays.
    void soundsReachTheAudioOutput() {
        QTemporaryDir folder;
        const QString sounds = QStringLiteral(MF_PROGRAM_DIR) % u"/suoni/"_s;
        const QString damaged = folder.filePath(u"damaged.wav"_s);
        QVERIFY(file_bytes::write(damaged, QByteArray("RIFF\x10\0\0\0WAVEdata\4\0\0\0abcd", 24)));
        const QString output = folder.filePath(u"output.raw"_s);
        const QString toFile = folder.filePath(u"to-file.conf"_s);
        QVERIFY(file_bytes::write(toFile, "pcm.!default { type file slave.pcm { type null } format raw file \"" +
                                              output.toUtf8() + "\" }\n"));
        QProcess player;
        startSelf(player, {kPlaySounds, sounds % u"si1.wav"_s, damaged, sounds % u"no.wav"_s}, u"ALSA_CONFIG_PATH"_s,
                  toFile);
        QVERIFY(player.waitForFinished(30000));
        const QByteArray log = player.readAllStandardError();
        QVERIFY2(player.exitStatus() == QProcess::NormalExit && player.exitCode() == 0, log.constData());
        QVERIFY2(log.count("cannot be played") == 1, log.constData());
        QVERIFY2(log.contains(damaged.toUtf8()), log.constData());
        // The samples of the two WAV files, as the audio output should receive them.
        QByteArray expected;
        for (const QString& name : {u"si1.wav"_s, u"no.wav"_s}) {
            QFile file(sounds % name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            expected += file.read(media::readWaveHeader(file).value_or(media::WaveSound{}).dataBytes);
        }
        const QByteArray played = file_bytes::read(output);
        QVERIFY(expected.size() > 20000);
        QVERIFY2(played == expected, qPrintable(QString::number(played.size())));

        // Without an audio output nothing is played, the lack is logged once,
        // and the process ends at once.
        const QString noCard = folder.filePath(u"no-card.conf"_s);
        QVERIFY(file_bytes::write(noCard, "pcm.!default { type hw card 99 }\n"));
        QProcess silent;
        startSelf(silent, {kPlaySounds, sounds % u"si1.wav"_s, sounds % u"no.wav"_s}, u"ALSA_CONFIG_PATH"_s, noCard);
        QVERIFY(silent.waitForFinished(10000));
        const QByteArray silentLog = silent.readAllStandardError();
        QVERIFY2(silent.exitStatus() == QProcess::NormalExit && silent.exitCode() == 0, silentLog.constData());
        QVERIFY2(silentLog.count("no audio output") == 1, silentLog.constData());
    }

    void aSpeechServerOutsideItsProtocolHoldsNothing_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("logged");
        QTest::newRow("never answers") << QByteArray() << QByteArray("still busy");
        QTest::newRow("junk") << QByteArray("hello\r\n") << QByteArray("the voice is silent");
        QTest::newRow("endless line") << QByteArray(64 * 1024, 'x') << QByteArray("the voice is silent");
    }
    // A server that never answers keeps no process from ending at once and
    // normally: the speech thread is left running, still busy. One that
    // answers junk or a line that never ends is hung up on within the reply's
    // deadline, without taking in the endless line, and only the voice is
    // silenced.
    void aSpeechServerOutsideItsProtocolHoldsNothing() {
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, logged);
        QTemporaryDir folder;
        QLocalServer server;
        QVERIFY(server.listen(folder.filePath(u"speechd.sock"_s)));
        QProcess speaker;
        startSelf(speaker, {kSpeakAndLeave}, u"SPEECHD_ADDRESS"_s, u"unix_socket:"_s % server.fullServerName());
        QVERIFY(server.waitForNewConnection(15000));
        QLocalSocket* client = server.nextPendingConnection();
        qint64 sent = 0;
        QTimer flood;
        if (!answer.isEmpty()) {
            connect(&flood, &QTimer::timeout, client, [&] {
                if (client->bytesToWrite() < answer.size())
                    sent += client->write(answer);
            });
            connect(client, &QLocalSocket::readyRead, client, [&] {
                client->readAll();
                if (answer.endsWith('\n'))
                    client->write(answer);
                else
                    flood.start(0);
            });
            QElapsedTimer clock;
            clock.start();
            QTRY_VERIFY_WITH_TIMEOUT(client->state() == QLocalSocket::UnconnectedState, 10000);
            QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
            flood.stop();
            QVERIFY2(sent < 8 * 1024 * 1024, qPrintable(QString::number(sent)));
            QCOMPARE(speaker.state(), QProcess::Running);
        }
        speaker.closeWriteChannel();
        QElapsedTimer ending;
        ending.start();
        QVERIFY(speaker.waitForFinished(10000));
        QVERIFY2(ending.elapsed() < 5000, qPrintable(QString::number(ending.elapsed())));
        const QByteArray log = speaker.readAllStandardError();
        QVERIFY2(speaker.exitStatus() == QProcess::NormalExit && speaker.exitCode() == 0 && log.contains(logged),
                 log.constData());
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1 && arguments[1].startsWith(u"--"_s))
        return runAsChild(arguments[1], arguments.mid(2));
    TestSoundSpeech test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sound_speech.moc"
