// The running program: the guard against a second copy (across real
// processes), ending at once, and seeding the random generator.

#include "FileBytes.h"
#include "Process.h"
#include "Random.h"
#include "Unprivileged.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <array>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The test binary runs itself with one of these arguments to act as another
// copy of the program.
const QString kHoldGuard = u"--hold-guard"_s, kTryGuard = u"--try-guard"_s, kEndProgram = u"--end-program"_s;
constexpr int kRefused = 3;
// The program's exit statuses: a flag it does not take, a folder others can change.
constexpr int kBadFlag = 2, kUnsafeFolder = 4;

class WindowWithCloseHandler : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override {
        std::cout << "close handler ran" << std::endl;
        QWidget::closeEvent(event);
    }
};

int runAsChild(const QString& role) {
    if (role == kHoldGuard) {
        // Asking again while holding the guard is no refusal.
        const bool held = media::AcquireSingleInstance() && media::AcquireSingleInstance();
        std::cout << (held ? "held" : "refused") << std::endl;
        for (std::string line; std::getline(std::cin, line);) {
        }
        return 0;
    }
    if (role == kTryGuard)
        return media::AcquireSingleInstance() ? 0 : kRefused;
    // Output still buffered when the program ends must not be lost, and no
    // handler may run after the end.
    WindowWithCloseHandler window;
    window.show();
    std::cout << "ending";
    media::EndProgram();
    std::cout << "returned from EndProgram" << std::endl;
    return 1;
}

}  // namespace

class ProcessTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtimeFolder_;
    QProcessEnvironment childEnvironment_;

    int runChild(const QString& role, QByteArray* output = nullptr) const {
        QProcess copy;
        copy.setProcessEnvironment(childEnvironment_);
        copy.start(QCoreApplication::applicationFilePath(), {role});
        if (!copy.waitForFinished(10000) || copy.exitStatus() != QProcess::NormalExit)
            return -1;
        if (output)
            *output = copy.readAllStandardOutput();
        return copy.exitCode();
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(runtimeFolder_.isValid());
        // Every copy in this test keeps its guard here, away from a real run.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder_.path()));
        childEnvironment_ = QProcessEnvironment::systemEnvironment();
    }

    // Where no lock file can be made (not even by root), the program starts.
    void noPlaceForTheGuardStillStarts() {
        childEnvironment_.insert(u"XDG_RUNTIME_DIR"_s, u"/proc"_s);
        QCOMPARE(runChild(kTryGuard), 0);
        childEnvironment_.insert(u"XDG_RUNTIME_DIR"_s, runtimeFolder_.path());
    }

    // The guard lies where only its user can write. Root makes a lock file
    // naming a running process (this one) where nobody's guard would lie: in
    // nobody's runtime folder and, with no runtime folder, in a shared
    // temporary folder under the name of old. Neither keeps nobody's copy
    // from starting.
    void anotherUsersGuardIsNotObeyed() {
        if (!unprivileged::runningAsRoot())
            QSKIP("only root makes files of another user");
        QTemporaryDir base;
        QVERIFY(::chmod(QFile::encodeName(base.path()).constData(), 0755) == 0);
        const auto folder = [&base](const QString& name, uid_t owner, mode_t mode) {
            const QByteArray path = QFile::encodeName(base.filePath(name));
            const bool made = ::mkdir(path.constData(), mode) == 0 &&
                              ::chown(path.constData(), owner, gid_t(-1)) == 0 && ::chmod(path.constData(), mode) == 0;
            return made ? base.filePath(name) : QString();
        };
        const QString nobodySuffix = u"/metamorfine-"_s + QString::number(unprivileged::nobodyId());
        const QString runtime = folder(u"runtime"_s, unprivileged::nobodyId(), 0700);
        const QString shared = folder(u"shared"_s, 0, 01777);
        QVERIFY(!runtime.isEmpty() && !shared.isEmpty());
        // A lock file as QLockFile writes it, naming this process.
        const QByteArray planted = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                                   QCoreApplication::applicationName().toUtf8() + '\n' +
                                   QSysInfo::machineHostName().toUtf8() + '\n';
        for (const QString& lock : QStringList{runtime + u"/metamorfine.lock"_s, shared + nobodySuffix + u".lock"_s})
            QVERIFY(file_bytes::write(lock, planted));

        QProcessEnvironment environment = childEnvironment_;
        QByteArray output;
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        QVERIFY2(unprivileged::runTestBinary({kTryGuard}, &output, environment) == 0, output.constData());
        environment.remove(u"XDG_RUNTIME_DIR"_s);
        environment.insert(u"TMPDIR"_s, shared);
        QVERIFY2(unprivileged::runTestBinary({kTryGuard}, &output, environment) == 0, output.constData());
    }

    // A lock that names no process of this machine goes stale after a minute;
    // a running copy's lock never does, however old.
    void locksOfNoRunningCopyGoStale_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<int>("result");
        for (const QString& kind : {u"garbage"_s, u"other host"_s, u"folder"_s}) {
            QTest::addRow("%s, new", qPrintable(kind)) << kind << 5 << kRefused;
            QTest::addRow("%s, old", qPrintable(kind)) << kind << 120 << 0;
        }
        QTest::newRow("running copy, old") << u"running"_s << 120 << kRefused;
    }
    void locksOfNoRunningCopyGoStale() {
        QFETCH(QString, kind);
        QFETCH(int, ageSeconds);
        QFETCH(int, result);
        const QString lock = runtimeFolder_.filePath(u"metamorfine.lock"_s);
        const auto removeLock = [&lock] { QFile::remove(lock) || QDir(lock).removeRecursively(); };
        removeLock();
        QProcess holder;
        if (kind == u"running"_s) {
            holder.setProcessEnvironment(childEnvironment_);
            holder.start(QCoreApplication::applicationFilePath(), {kHoldGuard});
            QVERIFY(holder.waitForReadyRead(10000));
        } else if (kind == u"folder"_s) {
            QVERIFY(QDir().mkpath(lock + u"/inside"_s));
        } else {
            QVERIFY(file_bytes::write(lock, kind == u"garbage"_s ? QByteArray("\xff\x00junk\n", 8)
                                                                 : QByteArray("1\nmetamorfine\nanother-host\n")));
        }
        const timespec then{::time(nullptr) - ageSeconds, 0};
        const std::array<timespec, 2> times{then, then};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(lock).constData(), times.data(), 0), 0);
        QCOMPARE(runChild(kTryGuard), result);
        holder.closeWriteChannel();
        QVERIFY(holder.state() == QProcess::NotRunning || holder.waitForFinished(10000));
        removeLock();
    }

    // The program does not start from a folder that others can change (the
    // folder, its qt.conf, a folder of plugins in it), before Qt reads the
    // planted qt.conf that would stop it; from a tidy folder it starts (and
    // ends on a bad flag). Owners and modes differ for root: as nobody too.
    void aProgramFolderOthersCanChangeIsRefused_data() {
        QTest::addColumn<QString>("open");
        QTest::addColumn<int>("result");
        for (const QString& open : {u"."_s, u"qt.conf"_s, u"platforms"_s})
            for (const char* mode : {"group", "others"})
                QTest::addRow("%s, %s", qPrintable(open), mode) << open % u' ' % QLatin1String(mode) << kUnsafeFolder;
        QTest::newRow("tidy") << QString() << kBadFlag;
    }
    void aProgramFolderOthersCanChangeIsRefused() {
        QFETCH(QString, open);
        QFETCH(int, result);
        QTemporaryDir folder;
        const QString executable = folder.filePath(u"metamorfine"_s);
        QVERIFY(QFile::copy(QStringLiteral(MF_PROGRAM_DIR "/metamorfine"), executable));
        QVERIFY(QDir(folder.path()).mkdir(u"platforms"_s));
        QVERIFY(open.isEmpty() || file_bytes::write(folder.filePath(u"qt.conf"_s), "[Paths]\nPrefix=/nowhere\n"));
        const QString place = folder.filePath(open.section(u' ', 0, 0));
        ::chmod(QFile::encodeName(folder.path()).constData(), 0755);
        if (!open.isEmpty())
            ::chmod(QFile::encodeName(place).constData(), open.endsWith(u"group"_s) ? 0775 : 0757);
        QProcess program;
        program.start(executable, {u"--level=9"_s});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), result);
        const QByteArray said = program.readAllStandardError();
        QVERIFY2(open.isEmpty() || said.contains(QFileInfo(place).canonicalFilePath().toUtf8()), said.constData());
        if (unprivileged::runningAsRoot())
            QVERIFY(unprivileged::currentRowPassesUnprivileged());
    }

    void endProgramEndsAtOnce() {
        QByteArray output;
        QCOMPARE(runChild(kEndProgram, &output), 0);
        QCOMPARE(output, QByteArray("ending"));
    }

    // Seeding from the clock gives another sequence each time, even twice
    // within a second.
    void clockSeedsDiffer() {
        const auto draw = [] {
            std::array<double, 16> values{};
            std::generate(values.begin(), values.end(), media::Rnd);
            return values;
        };
        media::Randomize();
        const auto first = draw();
        QTest::qWait(2);
        media::Randomize();
        QVERIFY(draw() != first);
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc == 2 && QString::fromLocal8Bit(argv[1]).startsWith(u"--"_s))
        return runAsChild(QString::fromLocal8Bit(argv[1]));
    ProcessTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_process.moc"
