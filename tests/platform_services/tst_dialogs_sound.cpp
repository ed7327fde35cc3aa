// Message boxes answered from the keyboard, the system language of their buttons, sound and speech
// where the media plugin is missing, the sounds reaching ALSA's output, where the media plugin is loaded from, the
// locale of the voice, and the end of a process whose speech server never answers, and speech servers that answer what
// is not their protocol.

#include "DataFiles.h"
#include "FocusRing.h"
#include "KeyboardPlay.h"
#include "MediaLoader.h"
#include "MessageBox.h"
#include "Sound.h"
#include "Speech.h"
#include "WaveFile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <array>
#include <iostream>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

// The test binary runs itself with these arguments: under another locale, or
// with a program folder in which it loads the media plugin.
const QString kPrintButtonTexts = u"--print-button-texts"_s;
const QString kLoadMediaPlugin = u"--load-media-plugin"_s;
const QString kSpeakInLocales = u"--speak-in-locales"_s;
const QString kSpeakAndLeave = u"--speak-and-leave"_s;
const QString kPrepareMedia = u"--prepare-media"_s;
const QString kPlaySounds = u"--play-sounds"_s;

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

// Says one sentence per locale tag through the build's media plugin, then
// ends as the program does once its input is closed.
int speakInLocales() {
    platform::setExecutableFolder(QStringLiteral(MF_PROGRAM_DIR));
    // A sentence asked for again while it waits is said once: the last one differs.
    for (const QString& tag : {u"en_GB"_s, u"it"_s, u"zz"_s, u"de-AT"_s, u"en_GB again"_s})
        platform::Speak(u"sentence "_s % tag, tag.section(u' ', 0, 0));
    // The pace: sent when it changes, back to the voice's own too.
    for (const auto& [rate, sentence] : {std::pair(-40, u"pace -40"_s), {-40, u"pace -40 again"_s}, {0, u"pace 0"_s}}) {
        platform::SetSpeechRate(rate);
        platform::Speak(sentence, u"it"_s);
    }
    runUntilInputCloses();
    return platform::finishMedia(10000) ? 0 : 1;
}

// Says a sentence through the build's media plugin, then, once its input is
// closed, ends without finishing the media, as a test or a benchmark does.
int speakAndLeave() {
    platform::setExecutableFolder(QStringLiteral(MF_PROGRAM_DIR));
    platform::Speak(u"sentence"_s, u"it"_s);
    runUntilInputCloses();
    return 0;
}

// Readies the media with the voice of `locale` (none when empty), until the
// standard input is closed.
int prepareMedia(const QString& locale) {
    platform::setExecutableFolder(QStringLiteral(MF_PROGRAM_DIR));
    platform::prepareMedia(locale);
    runUntilInputCloses();
    return platform::finishMedia(10000) ? 0 : 1;
}

// Plays each sound named through the build's media plugin, a second apart
// (a sound asked for while an earlier one waits cuts it), then finishes the
// media as the program does at its end.
int playSounds(const QStringList& paths) {
    platform::setExecutableFolder(QStringLiteral(MF_PROGRAM_DIR));
    for (const QString& path : paths) {
        platform::PlaySoundAsync(path);
        QTest::qWait(1000);
    }
    return platform::finishMedia(10000) ? 0 : 1;
}

// Runs the test binary with --play-sounds and ALSA's configuration `alsaConfig`
// in place of the system's; its standard error (the media's log) is returned.
QByteArray playSoundsWithAlsa(const QString& alsaConfig, const QStringList& paths) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"ALSA_CONFIG_PATH"_s, alsaConfig);
    environment.insert(u"QT_LOGGING_RULES"_s, u"metamorfine.media=true"_s);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), QStringList{kPlaySounds} + paths);
    if (!child.waitForFinished(30000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return "the player did not end well: " + child.readAllStandardError();
    return child.readAllStandardError();
}

// The samples of a WAV file, as the audio output should receive them.
QByteArray samplesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const std::optional<platform::WaveSound> sound = platform::readWaveHeader(file);
    return sound ? file.read(sound->dataBytes) : QByteArray();
}

// A speech server that answers every request as speech-dispatcher does when
// it accepts it, and records the languages chosen and the sentences said, in
// order.
class RecordingSpeechServer : public QLocalServer {
public:
    QStringList heard;
    int connections = 0;

    RecordingSpeechServer() {
        connect(this, &QLocalServer::newConnection, this, [this] {
            QLocalSocket* client = nextPendingConnection();
            ++connections;
            connect(client, &QLocalSocket::readyRead, client, [this, client] { answer(client); });
        });
    }

private:
    bool receivingText_ = false;
    int lastMessage_ = 0;

    void answer(QLocalSocket* client) {
        while (client->canReadLine()) {
            const QString line = QString::fromUtf8(client->readLine().trimmed());
            if (receivingText_) {
                if (line == u"."_s) {
                    receivingText_ = false;
                    // Queued, and at once said to its end.
                    const QByteArray number = QByteArray::number(++lastMessage_);
                    client->write("225-" + number + "\r\n225 OK MESSAGE QUEUED\r\n");
                    client->write("702-" + number + "\r\n702-1\r\n702 END\r\n");
                } else {
                    heard << line;
                }
            } else if (line.compare(u"SPEAK"_s, Qt::CaseInsensitive) == 0) {
                receivingText_ = true;
                client->write("230 OK RECEIVING DATA\r\n");
            } else if (line.compare(u"HISTORY GET CLIENT_ID"_s, Qt::CaseInsensitive) == 0) {
                client->write("249-1\r\n249 OK CLIENT ID SENT\r\n");
            } else {
                if (line.startsWith(u"SET SELF LANGUAGE "_s) || line.startsWith(u"SET SELF RATE "_s))
                    heard << line;
                client->write("200 OK\r\n");
            }
        }
    }
};

// Runs the test binary itself with `arguments`, its voice reaching the speech
// server at `serverName` and the media's log on.
void startWithSpeechServer(QProcess& child, const QString& serverName, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"SPEECHD_ADDRESS"_s, u"unix_socket:"_s % serverName);
    environment.insert(u"QT_LOGGING_RULES"_s, u"metamorfine.media=true"_s);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), arguments);
}

// Loads the media plugin as the program does, with `folder` as the program
// folder, and prints the file the process has mapped for it, or "none".
int loadMediaPlugin(const QString& folder) {
    platform::setExecutableFolder(folder);
    platform::mediaBackend();
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

int printButtonTexts() {
    platform::installSystemTranslations();
    QMessageBox box(QMessageBox::Question, u"t"_s, u"m"_s, QMessageBox::Yes | QMessageBox::No);
    std::cout << qPrintable(box.button(QMessageBox::Yes)->text()) << '\n'
              << qPrintable(box.button(QMessageBox::No)->text()) << std::endl;
    return 0;
}

}  // namespace

class DialogsSoundTest : public QObject {
    Q_OBJECT

    bool checkedBox_ = false;

    // Answers the next real message box by pressing `keys` on whatever has
    // the keyboard focus, once the box is shown and active, after checking it.
    // Once a key has been used, a focus ring surrounds the focused button.
    void pressOnNextBox(const QList<Qt::Key>& keys, const QString& expectedTitle, QMessageBox::Icon expectedIcon,
                        bool ringShown) {
        checkedBox_ = false;
        QTimer::singleShot(10, this, [=, this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || QApplication::activeWindow() != box || !QApplication::focusWidget())
                return pressOnNextBox(keys, expectedTitle, expectedIcon, ringShown);  // not up yet: look again
            QWidget* focused = QApplication::focusWidget();
            const auto* ring = box->findChild<QWidget*>(QString::fromLatin1(platform::kFocusRingName));
            const bool ringAround =
                ring && ring->isVisible() &&
                ring->geometry().contains(QRect(focused->mapTo(box, QPoint()), focused->size()).adjusted(-4, -4, 4, 4));
            checkedBox_ = box->objectName() == u"MsgBox"_s && box->windowTitle() == expectedTitle &&
                          box->icon() == expectedIcon && focused == box->defaultButton() && ringAround == ringShown;
            for (const Qt::Key key : keys)
                QTest::keyClick(QApplication::focusWidget(), key);
            if (box->isVisible())
                box->done(0);
        });
    }

private Q_SLOTS:
    void initTestCase() { QGuiApplication::setApplicationDisplayName(u"Metamorfine test"_s); }

    void realBoxIsFocusedAndAnsweredFromKeyboard() {
        // A screen of the program is active when a box comes; the box takes
        // the keyboard from it.
        QWidget screen;
        screen.setFocusPolicy(Qt::StrongFocus);
        new platform::KeyboardPlay(&screen);
        screen.show();
        screen.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&screen));
        const auto ask = [] {
            return platform::MsgBox(u"Uscire?"_s, MsgButtons::YesNo, MsgIcon::Question, u"Metamorfine"_s);
        };
        // No is the default: a stray Enter, like Escape, keeps things as they are; Yes takes a move to it.
        pressOnNextBox({Qt::Key_Return}, u"Metamorfine"_s, QMessageBox::Question, false);
        QVERIFY(ask() == MsgAnswer::No && checkedBox_);
        pressOnNextBox({Qt::Key_Escape}, u"Metamorfine"_s, QMessageBox::Question, true);
        QVERIFY(ask() == MsgAnswer::No && checkedBox_);
        pressOnNextBox({Qt::Key_Left, Qt::Key_Return}, u"Metamorfine"_s, QMessageBox::Question, true);
        QVERIFY(ask() == MsgAnswer::Yes && checkedBox_);
        pressOnNextBox({Qt::Key_Left, Qt::Key_Right, Qt::Key_Return}, u"Metamorfine"_s, QMessageBox::Question, true);
        QVERIFY(ask() == MsgAnswer::No && checkedBox_);
        QTest::mouseClick(&screen, Qt::LeftButton);
        pressOnNextBox({Qt::Key_Return}, u"Metamorfine test"_s, QMessageBox::Critical, false);
        QVERIFY(platform::MsgBox(u"Gi\u00E0 aperto"_s, MsgButtons::Ok, MsgIcon::Critical) == MsgAnswer::Ok &&
                checkedBox_);
    }

    // A language file's text is shown as written, not as rich text: no picture
    // is loaded and no link can be clicked; the text and the icon still grow
    // with the box's letters.
    void textIsShownAsWritten() {
        const QString message = u"<img src=\"/etc/x.png\"> <a href=\"file:///\">Uscire?</a>"_s;
        bool plain = false;
        bool sized = false;
        QTimer::singleShot(10, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            const int letters = box->font().pixelSize();
            for (const QLabel* label : box->findChildren<QLabel*>()) {
                if (label->text() == message)
                    plain = label->textFormat() == Qt::PlainText && label->minimumWidth() > 0;
                else if (!label->pixmap().isNull())
                    sized = label->pixmap().height() == letters * 5 / 2;
            }
            box->done(0);
        });
        platform::MsgBox(message, MsgButtons::YesNo, MsgIcon::Question, u"Metamorfine"_s);
        QVERIFY(plain);
        QVERIFY(sized);
    }

    // A quoted name that fits a line keeps its words together; one wider than
    // a line, and the words outside quotes, may break; an apostrophe is no quote.
    void namesStayWholeWhenTheyFit() {
        const QFontMetrics metrics(QApplication::font());
        const QString nbsp(QChar::Nbsp);
        const QString french = u"Veux-tu quitter l'exercice « Rien ne change » ?"_s;
        const int width = metrics.horizontalAdvance(u"« Rien ne change »"_s);
        QCOMPARE(platform::withNamesKeptWhole(french, metrics, width), u"Veux-tu quitter l'exercice «"_s + nbsp +
                                                                           u"Rien"_s + nbsp + u"ne"_s + nbsp +
                                                                           u"change"_s + nbsp + u"» ?"_s);
        QCOMPARE(platform::withNamesKeptWhole(french, metrics, width - 1), french);
        const QList<std::pair<QString, QString>> quoted{
            {u"Leave the exercise 'Two changes'?"_s, u"Leave the exercise 'Two"_s + nbsp + u"changes'?"_s},
            {u"Die Übung »Zwei Verwandlungen« verlassen?"_s,
             u"Die Übung »Zwei"_s + nbsp + u"Verwandlungen« verlassen?"_s},
            {u"L'esercizio «Non cambia» e «Due metamorfine»"_s,
             u"L'esercizio «Non"_s + nbsp + u"cambia» e «Due"_s + nbsp + u"metamorfine»"_s},
            {u"l'exercice d'hier"_s, u"l'exercice d'hier"_s},
        };
        for (const auto& [message, shown] : quoted)
            QCOMPARE(platform::withNamesKeptWhole(message, metrics, 10000), shown);
    }

    void buttonsSpeakTheSystemLanguage() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LC_ALL"_s, u"it_IT.UTF-8"_s);
        environment.insert(u"LANG"_s, u"it_IT.UTF-8"_s);
        environment.insert(u"LANGUAGE"_s, u"it"_s);
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {kPrintButtonTexts});
        QVERIFY(child.waitForFinished(20000));
        const QStringList italian = QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        // Qt's own texts are the English ones.
        QCOMPARE(italian.size(), 2);
        QVERIFY2(italian != QStringList({u"&Yes"_s, u"&No"_s}), qPrintable(italian.join(u' ')));
    }

    // A language Qt has no words for gives its own to the buttons; one it has
    // words for keeps Qt's, however the language is switched.
    void buttonsTakeTheLanguageFilesWordsWhereQtHasNone() {
        const auto texts = [] {
            QMessageBox box(QMessageBox::Question, u"t"_s, u"m"_s,
                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
            return QStringList{box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
                               box.button(QMessageBox::Ok)->text()};
        };
        const platform::DialogWords greek{u"Ναι"_s, u"Όχι"_s, u"Εντάξει"_s};
        const QStringList greekTexts{greek.yes, greek.no, greek.ok};
        platform::installDialogTranslations(u"el_GR"_s, greek);
        QCOMPARE(texts(), greekTexts);
        platform::installDialogTranslations(u"de_DE"_s, greek);
        const QStringList german = texts();
        QVERIFY2(german != greekTexts && german != QStringList({u"&Yes"_s, u"&No"_s, u"OK"_s}),
                 qPrintable(german.join(u' ')));
        platform::installDialogTranslations(u"el_GR"_s, greek);
        QCOMPARE(texts(), greekTexts);
        platform::installDialogTranslations(u"en_GB"_s);
        QCOMPARE(texts(), QStringList({u"&Yes"_s, u"&No"_s, u"OK"_s}));
    }

    // Sounds and sentences where the media plugin is missing (it is looked
    // for in the program folder, here an empty one): silence, at once.
    void soundsAndSpeechWithoutPluginAreSilentAtOnce() {
        QTemporaryDir folder;
        platform::setExecutableFolder(folder.path());
        QElapsedTimer clock;
        clock.start();
        for (int round = 0; round < 100; ++round) {
            platform::PlaySoundAsync(folder.filePath(u"si1.wav"_s));
            platform::Speak(u"Trova la figura"_s, u"it"_s);
        }
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        platform::setExecutableFolder({});
    }

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

        for (const QFile::Permissions othersWrite : {QFile::WriteGroup, QFile::WriteOther}) {
            QFile::setPermissions(ownPlugin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | othersWrite);
            QCOMPARE(loadedFrom(program), u"none"_s);
            QFile::setPermissions(ownPlugin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | othersWrite);
            QCOMPARE(loadedFrom(program), u"none"_s);
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QCOMPARE(loadedFrom(program), ownPlugin);
    }

    // The voice follows the whole locale tag (language and territory), the
    // language alone when the tag names no territory, and a tag without a
    // language says nothing; a locale already chosen is not sent again. The
    // pace is sent when it changes.
    void voiceFollowsTheLocale() {
        QTemporaryDir folder;
        RecordingSpeechServer server;
        QVERIFY(server.listen(folder.filePath(u"speechd.sock"_s)));
        QProcess speaker;
        startWithSpeechServer(speaker, server.fullServerName(), {kSpeakInLocales});
        const QStringList expected =
            QStringList({u"SET SELF LANGUAGE en-GB"_s, u"sentence en_GB"_s, u"SET SELF LANGUAGE it"_s, u"sentence it"_s,
                         u"SET SELF LANGUAGE de-AT"_s, u"sentence de-AT"_s, u"SET SELF LANGUAGE en-GB"_s,
                         u"sentence en_GB again"_s, u"SET SELF RATE -40"_s, u"SET SELF LANGUAGE it"_s, u"pace -40"_s,
                         u"pace -40 again"_s, u"SET SELF RATE 0"_s, u"pace 0"_s});
        QTRY_VERIFY2_WITH_TIMEOUT(server.heard == expected, qPrintable(server.heard.join(u" | "_s)), 15000);
        speaker.closeWriteChannel();
        QVERIFY(speaker.waitForFinished(20000));
        QCOMPARE(speaker.exitCode(), 0);
    }

    // Readying the media readies a voice only when one is asked for: with the
    // voice off, the speech server is never reached.
    void readyingReachesTheSpeechServerOnlyForAVoice() {
        for (const QString& locale : {u"fr"_s, QString()}) {
            QTemporaryDir folder;
            RecordingSpeechServer server;
            QVERIFY(server.listen(folder.filePath(u"speechd.sock"_s)));
            QProcess child;
            startWithSpeechServer(child, server.fullServerName(), {kPrepareMedia, locale});
            if (locale.isEmpty())
                QTest::qWait(2000);
            else
                QTRY_COMPARE_WITH_TIMEOUT(server.heard, QStringList{u"SET SELF LANGUAGE fr"_s}, 15000);
            QCOMPARE(server.connections, locale.isEmpty() ? 0 : 1);
            child.closeWriteChannel();
            QVERIFY(child.waitForFinished(20000));
            QCOMPARE(child.exitCode(), 0);
        }
    }

    // The sounds reach ALSA's default output (here a file) whole and in
    // order, a file that is no WAV file of PCM samples is refused and logged
    // and the next plays. Without an audio output nothing is played, the
    // lack is logged once, and the process ends at once.
    void soundsReachTheAudioOutput() {
        QTemporaryDir folder;
        const QString sounds = QStringLiteral(MF_PROGRAM_DIR) % u"/suoni/"_s;
        const QString damaged = folder.filePath(u"damaged.wav"_s);
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write(QByteArray("RIFF\x10\0\0\0WAVEdata\4\0\0\0abcd", 24)) > 0);
        file.close();
        const QString output = folder.filePath(u"output.raw"_s);
        const QString toFile = folder.filePath(u"to-file.conf"_s);
        QFile config(toFile);
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("pcm.!default { type file slave.pcm { type null } format raw file \"" + output.toUtf8() +
                     "\" }\n");
        config.close();
        const QByteArray log = playSoundsWithAlsa(toFile, {sounds % u"si1.wav"_s, damaged, sounds % u"no.wav"_s});
        QVERIFY2(!log.contains("did not end well") && log.count("cannot be played") == 1, log.constData());
        QVERIFY2(log.contains(damaged.toUtf8()), log.constData());
        const QByteArray expected = samplesOf(sounds % u"si1.wav"_s) + samplesOf(sounds % u"no.wav"_s);
        QFile played(output);
        QVERIFY(expected.size() > 20000 && played.open(QIODevice::ReadOnly));
        QVERIFY2(played.readAll() == expected, qPrintable(QString::number(played.size())));

        const QString noCard = folder.filePath(u"no-card.conf"_s);
        QFile missing(noCard);
        QVERIFY(missing.open(QIODevice::WriteOnly));
        missing.write("pcm.!default { type hw card 99 }\n");
        missing.close();
        QElapsedTimer clock;
        clock.start();
        const QByteArray silentLog = playSoundsWithAlsa(noCard, {sounds % u"si1.wav"_s, sounds % u"no.wav"_s});
        QVERIFY2(!silentLog.contains("did not end well") && silentLog.count("no audio output") == 1,
                 silentLog.constData());
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    }

    // A process whose speech thread waits on a server that accepts and never
    // answers ends anyway, without finishing the media itself: the thread is
    // left running, and said so in the log.
    void endingDoesNotWaitOnASpeechServerThatNeverAnswers() {
        QTemporaryDir folder;
        QLocalServer silentServer;
        QVERIFY(silentServer.listen(folder.filePath(u"speechd.sock"_s)));
        QProcess speaker;
        startWithSpeechServer(speaker, silentServer.fullServerName(), {kSpeakAndLeave});
        QVERIFY(silentServer.waitForNewConnection(15000));
        speaker.closeWriteChannel();
        QElapsedTimer ending;
        ending.start();
        QVERIFY(speaker.waitForFinished(10000));
        QVERIFY2(ending.elapsed() < 5000, qPrintable(QString::number(ending.elapsed())));
        QCOMPARE(speaker.exitStatus(), QProcess::NormalExit);
        QCOMPARE(speaker.exitCode(), 0);
        QVERIFY(speaker.readAllStandardError().contains("still busy"));
    }

    // A server that answers a bare line end, junk, or a line that never ends
    // silences the voice and nothing else: the client hangs up within the
    // reply's deadline, without taking in the endless line, says why in the
    // log, and the process lives on and ends normally.
    void aServerAnsweringOutsideItsProtocolOnlySilencesTheVoice() {
        for (const QByteArray& answer : {QByteArray("\r\n"), QByteArray("hello\r\n"), QByteArray(64 * 1024, 'x')}) {
            const bool endless = !answer.endsWith('\n');
            QTemporaryDir folder;
            QLocalServer server;
            QVERIFY(server.listen(folder.filePath(u"speechd.sock"_s)));
            QProcess speaker;
            startWithSpeechServer(speaker, server.fullServerName(), {kSpeakAndLeave});
            QVERIFY(server.waitForNewConnection(15000));
            QLocalSocket* client = server.nextPendingConnection();
            qint64 sent = 0;
            QTimer flood;
            connect(&flood, &QTimer::timeout, client, [&] {
                if (client->bytesToWrite() < answer.size())
                    sent += client->write(answer);
            });
            connect(client, &QLocalSocket::readyRead, client, [&] {
                client->readAll();
                if (endless)
                    flood.start(0);
                else
                    client->write(answer);
            });
            QElapsedTimer clock;
            clock.start();
            QTRY_VERIFY_WITH_TIMEOUT(client->state() == QLocalSocket::UnconnectedState, 10000);
            QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
            flood.stop();
            QVERIFY2(sent < 8 * 1024 * 1024, qPrintable(QString::number(sent)));
            QCOMPARE(speaker.state(), QProcess::Running);
            speaker.closeWriteChannel();
            QVERIFY(speaker.waitForFinished(20000));
            QCOMPARE(speaker.exitStatus(), QProcess::NormalExit);
            QCOMPARE(speaker.exitCode(), 0);
            QVERIFY(speaker.readAllStandardError().contains("the voice is silent"));
        }
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc == 2 && QString::fromLocal8Bit(argv[1]) == kPrintButtonTexts)
        return printButtonTexts();
    if (argc == 2 && QString::fromLocal8Bit(argv[1]) == kSpeakInLocales)
        return speakInLocales();
    if (argc == 2 && QString::fromLocal8Bit(argv[1]) == kSpeakAndLeave)
        return speakAndLeave();
    if (argc == 3 && QString::fromLocal8Bit(argv[1]) == kPrepareMedia)
        return prepareMedia(QString::fromLocal8Bit(argv[2]));
    if (argc > 2 && QString::fromLocal8Bit(argv[1]) == kPlaySounds)
        return playSounds(QCoreApplication::arguments().mid(2));
    if (argc == 3 && QString::fromLocal8Bit(argv[1]) == kLoadMediaPlugin)
        return loadMediaPlugin(QString::fromLocal8Bit(argv[2]));
    DialogsSoundTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs_sound.moc"
