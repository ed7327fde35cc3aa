// The parent's settings file and the flags over it, against hand-made files;
// the level reached growing with the child, kept for the next run.

#include "FileBytes.h"
#include "Settings.h"
#include "Unprivileged.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <functional>
#include <optional>
#include <sys/wait.h>

using namespace Qt::Literals::StringLiterals;
using settings::Level;
using settings::Scan;
using settings::ScreenReader;
using settings::Settings;

// What a row's flags make of the stored settings.
using Override = std::function<void(Settings&)>;
Q_DECLARE_METATYPE(Override)

namespace settings {
// A failed comparison prints every value.
char* toString(const Settings& s) {
    const QByteArray text =
        QByteArrayLiteral("scan ") + QByteArray::number(int(s.scan)) + " every " +
        QByteArray::number(s.scanIntervalMs) + " ms, speech " + QByteArray::number(s.speech) + " rate " +
        QByteArray::number(s.speechRate) + ", reader " + QByteArray::number(int(s.screenReader)) + ", praise " +
        QByteArray::number(s.praise) + ", remember " + QByteArray::number(s.rememberSound) +
        QByteArray::number(s.rememberPictureSet) + ", sound " + QByteArray::number(s.sound) + ", set " +
        QByteArray::number(s.pictureSet) + ", kiosk " + QByteArray::number(s.kiosk) + ", full screen " +
        QByteArray::number(s.fullScreen) + ", level " + QByteArray::number(int(s.level)) + " on menu " +
        QByteArray::number(s.levelOnMenu) + " reached " + QByteArray::number(s.reachedLevel);
    return qstrdup(text.constData());
}
}  // namespace settings

namespace {

// Every value unlike its default.
Settings unusual() {
    return {.scan = Scan::Step,
            .scanIntervalMs = 750,
            .speech = false,
            .speechRate = -40,
            .screenReader = ScreenReader::On,
            .praise = false,
            .rememberSound = true,
            .rememberPictureSet = true,
            .sound = false,
            .pictureSet = 3,
            .kiosk = true,
            .fullScreen = false,
            .level = Level::Grows,
            .levelOnMenu = false,
            .reachedLevel = 3};
}

// `settings` with these command-line flags over it, but for the `locked` keys; the error, if any.
QString withFlags(Settings& settings, const QString& flags, const QStringList& locked = {},
                  QStringList* ignored = nullptr) {
    QCommandLineParser parser;
    settings::addOptions(parser);
    if (!parser.parse(QStringList{u"metamorfine"_s} + flags.split(u' ', Qt::SkipEmptyParts)))
        return parser.errorText();
    return settings::applyOptions(parser, settings, locked, ignored);
}

// A row's flags giving `member` the `value`.
template <typename Member, typename Value>
Override set(Member Settings::*member, Value value) {
    return [member, value](Settings& s) { s.*member = Member(value); };
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> folder_;
    QString path_;  // the test's settings file, alone in its folder

private Q_SLOTS:
    void init() {
        folder_.emplace();
        path_ = folder_->filePath(u"metamorfine.conf"_s);
    }
    void cleanup() { settings::current() = Settings{}; }

    // Whatever is wrong with the file, what is wrong gives its default and
    // what is right is kept.
    void badFilesGiveTheDefaults_data() {
        QTest::addColumn<QByteArray>("content");  // empty: no file at all
        QTest::addColumn<bool>("speechKept");     // the file's valid Speech/On=false survives
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("binary junk") << QByteArray("\x00\xff\x01[\x7f=\n\xfe\xfe", 10) << false;
        QTest::newRow("junk values")
            << QByteArray(
                   "[Scan]\nMode=sideways\nIntervalMs=2s\n[Speech]\nOn=false\nRate=fast\n[Praise]\nOn=maybe\n"
                   "[Remember]\nSound=1\nPictureSet=\n[Remembered]\nSound=yes\nPictureSet=7\nLevel=two\n"
                   "[Window]\nKiosk=TRUE\nFullScreen=0\n[Level]\nChoice=auto2\nOnMenu=no\n")
            << true;
        QTest::newRow("out of range")
            << QByteArray(
                   "[Scan]\nIntervalMs=499\n[Speech]\nOn=false\nRate=101\n[Remembered]\nPictureSet=0\nLevel=4\n"
                   "[Level]\nChoice=0\n")
            << true;
        // The file alone bounds the interval, whatever bounds the scanning later.
        QTest::newRow("interval too long") << QByteArray("[Scan]\nIntervalMs=10001\n[Speech]\nOn=false\n") << true;
        QTest::newRow("no sections") << QByteArray("Mode=auto\nKiosk=true\n") << false;
    }
    void badFilesGiveTheDefaults() {
        QFETCH(QByteArray, content);
        QFETCH(bool, speechKept);
        if (!content.isEmpty())
            QVERIFY(file_bytes::write(path_, content));
        QCOMPARE(settings::read(path_), Settings{.speech = !speechKept});
    }

    // The file lies in the user's config folder, made when missing (not in a
    // relative $XDG_CONFIG_HOME). Written and read again, every value comes
    // back, the highest ones included; the file is replaced whole, with no
    // file left beside it.
    void roundTripThroughTheFile() {
        qputenv("XDG_CONFIG_HOME", "config");
        QCOMPARE(settings::filePath(), QDir::homePath() + u"/.config/metamorfine/metamorfine.conf"_s);
        const QString path = folder_->filePath(u"deep/metamorfine/metamorfine.conf"_s);
        qputenv("XDG_CONFIG_HOME", folder_->filePath(u"deep"_s).toUtf8());
        QCOMPARE(settings::filePath(), path);
        QVERIFY(settings::write(unusual()));
        QCOMPARE(settings::read(path), unusual());
        QCOMPARE(settings::read(), unusual());
        qunsetenv("XDG_CONFIG_HOME");
        Settings other = unusual();
        other.scan = Scan::Auto;
        other.scanIntervalMs = 10000;
        other.speechRate = 100;
        other.level = Level::One;
        QVERIFY(settings::write(other, path));
        QCOMPARE(settings::read(path), other);
        QVERIFY(settings::write(Settings{}, path));
        QCOMPARE(settings::read(path), Settings{});
        QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"metamorfine.conf"_s});
    }

    // A file that is there but cannot be read gives the defaults and is not
    // written back over with them: a child's click leaves it as it was. A
    // FIFO in its place neither blocks the read nor is replaced.
    void aFailedReadNeverLeadsToAWrite_data() {
        QTest::addColumn<bool>("fifo");  // else a file its user may not read
        QTest::newRow("no permission") << false;
        QTest::newRow("fifo") << true;
    }
    void aFailedReadNeverLeadsToAWrite() {
        QFETCH(bool, fifo);
        if (!fifo && unprivileged::runningAsRoot()) {
            QVERIFY(unprivileged::currentRowPassesUnprivileged());
            return;
        }
        std::optional<file_bytes::ReleasedFifo> pipe;
        if (fifo) {
            pipe.emplace(path_);
            QVERIFY(pipe->made());
        } else {
            QVERIFY(settings::write(unusual(), path_));
            QVERIFY(QFile::setPermissions(path_, QFileDevice::WriteOwner));
        }
        const QByteArray before = file_bytes::read(path_);
        QElapsedTimer clock;
        clock.start();
        settings::current() = settings::read(path_);
        const Settings read = settings::current();
        settings::current().rememberSound = true;
        settings::rememberChoices(true, 6, path_);
        const qint64 took = clock.elapsed();
        QVERIFY2(took < 1000, qPrintable(QString::number(took)));
        QCOMPARE(read, Settings{});
        QCOMPARE(QFileInfo(path_).isFile(), !fifo);
        QCOMPARE(file_bytes::read(path_), before);
    }

    // Saves killed at any moment, or refused by a read-only folder (as nobody
    // under root, who writes anywhere), leave the file whole; a temporary file
    // a killed save left goes at the next save once it is stale.
    void failedSavesLeaveTheFileWhole() {
        if (unprivileged::runningAsRoot()) {
            QByteArray output;
            QVERIFY2(unprivileged::runTestBinary({u"failedSavesLeaveTheFileWhole"_s}, &output) == 0,
                     output.constData());
            return;
        }
        QVERIFY(file_bytes::write(path_ + u".Ab12Cd"_s, "half"));
        QVERIFY(settings::write(unusual(), path_));
        for (int kill = 0; kill < 40; ++kill) {
            const pid_t saver = ::fork();
            if (saver == 0) {
                for (;;)
                    settings::write(unusual(), path_);
            }
            QVERIFY(saver > 0);
            QThread::usleep(2000 + 500 * (kill % 7));
            ::kill(saver, SIGKILL);
            ::waitpid(saver, nullptr, 0);
        }
        QCOMPARE(settings::read(path_), unusual());
        // A save killed between naming its temporary file and renaming it
        // leaves that file, young; once as old as no save takes, the next
        // save removes it, as it does the one planted above.
        for (const QString& name : QDir(folder_->path()).entryList({u"metamorfine.conf.*"_s}, QDir::Files)) {
            QFile left(folder_->filePath(name));
            QVERIFY(left.open(QIODevice::ReadWrite) &&
                    left.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime));
        }
        QVERIFY(settings::write(unusual(), path_));
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{u"metamorfine.conf"_s});
        const QByteArray before = file_bytes::read(path_);
        QVERIFY(QFile::setPermissions(folder_->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QVERIFY(!settings::write(Settings{}, path_));
        QVERIFY(QFile::setPermissions(folder_->path(),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        QCOMPARE(file_bytes::read(path_), before);
    }

    // Each flag changes its own setting for the run and nothing else; a bad
    // value changes nothing.
    void flagsOverTheFile_data() {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<Override>("override");  // none: the arguments are refused
        const Override refused;
        QTest::newRow("none") << QString() << Override([](Settings&) {});
        QTest::newRow("windowed") << u"--windowed"_s << set(&Settings::fullScreen, false);
        QTest::newRow("fullscreen") << u"--fullscreen"_s << set(&Settings::fullScreen, true);
        QTest::newRow("both screens") << u"--windowed --fullscreen"_s << refused;
        QTest::newRow("scan off") << u"--scan=off"_s << set(&Settings::scan, Scan::Off);
        QTest::newRow("scan junk") << u"--scan=fast"_s << refused;
        QTest::newRow("interval") << u"--scan-interval=500"_s << set(&Settings::scanIntervalMs, 500);
        QTest::newRow("interval too short") << u"--scan-interval=499"_s << refused;
        QTest::newRow("interval too long") << u"--scan-interval=10001"_s << refused;
        QTest::newRow("no speech") << u"--no-speech"_s << set(&Settings::speech, false);
        QTest::newRow("rate") << u"--speech-rate=-100"_s << set(&Settings::speechRate, -100);
        QTest::newRow("rate junk") << u"--speech-rate=slow"_s << refused;
        QTest::newRow("no praise") << u"--no-praise"_s << set(&Settings::praise, false);
        QTest::newRow("reader on") << u"--screen-reader=on"_s << set(&Settings::screenReader, ScreenReader::On);
        QTest::newRow("reader junk") << u"--screen-reader=maybe"_s << refused;
        QTest::newRow("kiosk") << u"--kiosk"_s << set(&Settings::kiosk, true);
        QTest::newRow("no kiosk") << u"--no-kiosk"_s << set(&Settings::kiosk, false);
        // The start's own flags change no setting; a bad exercise is refused here
        // (the program refusing --kiosk with --no-kiosk, and a word for an
        // exercise, is e2e_program_flags').
        QTest::newRow("exercise, language") << u"--exercise=7 --language=English"_s << Override([](Settings&) {});
        QTest::newRow("exercise 0") << u"--exercise=0"_s << refused;
        QTest::newRow("level 1") << u"--level=1"_s << set(&Settings::level, Level::One);
        QTest::newRow("level auto") << u"--level=auto"_s << set(&Settings::level, Level::Grows);
        QTest::newRow("level too high") << u"--level=4"_s << refused;
        QTest::newRow("level junk") << u"--level=two"_s << refused;
    }
    void flagsOverTheFile() {
        QFETCH(QString, flags);
        QFETCH(Override, override);
        // Over the defaults and over a file unlike them in every value.
        for (const Settings& stored : {Settings{}, unusual()}) {
            QVERIFY(settings::write(stored, path_));
            Settings run = settings::read(path_);
            QCOMPARE(withFlags(run, flags).isEmpty(), bool(override));
            Settings expected = stored;
            if (override)
                override(expected);
            QCOMPARE(run, expected);
            // The flags hold for this run only: the file is as it was.
            QCOMPARE(settings::read(path_), stored);
        }
    }

    // The system's files ($XDG_CONFIG_DIRS, the first folder winning) under
    // the user's file: a key there applies, the user's file overrides it
    // unless the system locks it, and the flags cannot change a locked key.
    // The user's file keeps only what differs from the system's, so that a
    // later change there reaches the user.
    void systemDefaultsUnderTheUsersFile() {
        const QString first = folder_->filePath(u"first"_s), second = folder_->filePath(u"second"_s);
        const QString own = folder_->filePath(u"own/metamorfine.conf"_s);
        const QStringList files{first + u"/metamorfine/metamorfine.conf"_s,
                                second + u"/metamorfine/metamorfine.conf"_s};
        for (const QString& file : files + QStringList{own})
            QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        qputenv("XDG_CONFIG_DIRS", (first + u":relative:"_s + second).toLocal8Bit());
        QCOMPARE(settings::systemFilePaths(), files);
        QVERIFY(file_bytes::write(files[1],
                                  "[Speech]\nOn=false\nRate=20\n[Window]\nKiosk=true\n[Locked]\nKeys=Window/Kiosk\n"));
        QVERIFY(file_bytes::write(
            files[0], "[Speech]\nRate=-30\n[Praise]\nOn=false\n[Locked]\nKeys = Praise/On, Level/Choice\n"));
        QCOMPARE(settings::lockedKeys(), (QStringList{u"Window/Kiosk"_s, u"Praise/On"_s, u"Level/Choice"_s}));

        const Settings system{.speech = false, .speechRate = -30, .praise = false, .kiosk = true};
        QCOMPARE(settings::read(own), system);
        QVERIFY(file_bytes::write(own,
                                  "[Speech]\nOn=true\n[Window]\nKiosk=false\n[Praise]\nOn=true\n"
                                  "[Level]\nChoice=3\n[Scan]\nMode=auto\n"));
        Settings mine{.scan = Scan::Auto, .speechRate = -30, .praise = false, .kiosk = true};
        QCOMPARE(settings::read(own), mine);

        // Flags: a locked key's flag is told and ignored, the others apply.
        Settings run = settings::read(own);
        QStringList ignored;
        QCOMPARE(withFlags(run, u"--no-kiosk --level=1 --no-speech --windowed"_s, settings::lockedKeys(), &ignored),
                 QString());
        QCOMPARE(ignored, (QStringList{u"Window/Kiosk"_s, u"Level/Choice"_s}));
        Settings flagged = mine;
        flagged.speech = flagged.fullScreen = false;
        QCOMPARE(run, flagged);

        // Written back: neither the locked keys nor a value the system gives alike.
        QVERIFY(settings::write(mine, own));
        const QByteArray written = file_bytes::read(own);
        for (const char* absent : {"Kiosk=", "Rate=", "[Praise]", "Choice="})
            QVERIFY2(!written.contains(absent), written.constData());
        for (const char* present : {"[Speech]\nOn=true", "Mode=auto", "FullScreen=true"})
            QVERIFY2(written.contains(present), written.constData());
        QVERIFY(file_bytes::write(files[0], "[Speech]\nRate=10\n"));
        mine.speechRate = 10;
        mine.praise = true;  // unlocked: the default, as the locked choice was never written
        QCOMPARE(settings::read(own), mine);
        QCOMPARE(settings::lockedKeys(), QStringList{u"Window/Kiosk"_s});

        // Without the variable, /etc/xdg.
        qunsetenv("XDG_CONFIG_DIRS");
        QCOMPARE(settings::systemFilePaths(), QStringList{u"/etc/xdg/metamorfine/metamorfine.conf"_s});
    }

    // The level as a hand-made file or a flag gives it: fixed, or grown from
    // the level the file keeps apart. A run whose level grows keeps the level
    // reached for itself and for the next run, and the parent's choice stays
    // in the file; a run at a fixed level keeps nothing.
    void theLevelOfTheRun_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("level");  // at the start
        QTest::addColumn<bool>("grows");
        QTest::newRow("none") << "[Remembered]\nLevel=3\n"_ba << QString() << 2 << false;
        QTest::newRow("fixed 1") << "[Level]\nChoice=1\n[Remembered]\nLevel=3\n"_ba << QString() << 1 << false;
        QTest::newRow("fixed 3") << "[Level]\nChoice=3\n[Remembered]\nLevel=1\n"_ba << QString() << 3 << false;
        QTest::newRow("grown to 1") << "[Level]\nChoice=auto\n[Remembered]\nLevel=1\n"_ba << QString() << 1 << true;
        QTest::newRow("grown to 3") << "[Level]\nChoice=auto\n[Remembered]\nLevel=3\n"_ba << QString() << 3 << true;
        QTest::newRow("not grown yet") << "[Level]\nChoice=auto\n"_ba << QString() << 2 << true;
        QTest::newRow("grows by the flag") << "[Remembered]\nLevel=1\n"_ba << u"--level=auto"_s << 1 << true;
        QTest::newRow("fixed by the flag")
            << "[Level]\nChoice=auto\n[Remembered]\nLevel=1\n"_ba << u"--level=2"_s << 2 << false;
    }
    void theLevelOfTheRun() {
        QFETCH(QByteArray, content);
        QFETCH(QString, flags);
        QFETCH(int, level);
        QFETCH(bool, grows);
        QVERIFY(file_bytes::write(path_, content));
        const auto startRun = [&] {
            settings::current() = settings::read(path_);
            QVERIFY(withFlags(settings::current(), flags).isEmpty());
        };
        startRun();
        QCOMPARE(settings::puzzleLevel(), level);
        Settings expected = settings::read(path_);
        const int reached = level % 3 + 1;  // another level
        settings::rememberLevel(reached, path_);
        QCOMPARE(settings::puzzleLevel(), grows ? reached : level);
        if (grows)
            expected.reachedLevel = reached;
        QCOMPARE(settings::read(path_), expected);
        startRun();
        QCOMPARE(settings::puzzleLevel(), grows ? reached : level);
    }

    // The child's sound switch and picture set reach the file only when the
    // settings of the run ask to remember them, each on its own.
    void choicesAreRememberedOnlyWhenAsked_data() {
        QTest::addColumn<bool>("rememberSound");
        QTest::addColumn<bool>("rememberPictureSet");
        QTest::newRow("neither") << false << false;
        QTest::newRow("sound") << true << false;
        QTest::newRow("picture set") << false << true;
        QTest::newRow("both") << true << true;
    }
    void choicesAreRememberedOnlyWhenAsked() {
        QFETCH(bool, rememberSound);
        QFETCH(bool, rememberPictureSet);
        const Settings stored{.rememberSound = rememberSound, .rememberPictureSet = rememberPictureSet, .kiosk = true};
        QVERIFY(settings::write(stored, path_));
        settings::current() = settings::read(path_);
        // A flag of this run is not written with the choices.
        settings::current().speech = false;
        Settings expected = stored;
        for (const auto& [sound, pictureSet] : {std::pair(false, 2), {true, 5}}) {
            settings::rememberChoices(sound, pictureSet, path_);
            expected.sound = rememberSound ? sound : true;
            expected.pictureSet = rememberPictureSet ? pictureSet : 6;
            QCOMPARE(settings::read(path_), expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
