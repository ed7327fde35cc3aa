// The running program: the guard against a second copy (across real
// processes), ending at once, and seeding the random generator.

#include "Process.h"
#include "Random.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <array>
#include <iostream>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

// The test binary runs itself with one of these arguments to act as another
// copy of the program.
const QString kHoldGuard = u"--hold-guard"_s;
const QString kTryGuard = u"--try-guard"_s;
const QString kEndProgram = u"--end-program"_s;
constexpr int kRefused = 3;

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
        const bool held = platform::AcquireSingleInstance() && platform::AcquireSingleInstance();
        std::cout << (held ? "held" : "refused") << std::endl;
        for (std::string line; std::getline(std::cin, line);) {
        }
        return 0;
    }
    if (role == kTryGuard)
        return platform::AcquireSingleInstance() ? 0 : kRefused;
    // Output still buffered when the program ends must not be lost, and no
    // handler may run after the end.
    WindowWithCloseHandler window;
    window.show();
    std::cout << "ending";
    platform::EndProgram();
    std::cout << "returned from EndProgram" << std::endl;
    return 1;
}

}  // namespace

class ProcessTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtimeFolder_;
    QProcessEnvironment childEnvironment_;

    QProcess* startHolder() {
        auto* holder = new QProcess(this);
        holder->setProcessEnvironment(childEnvironment_);
        holder->start(QCoreApplication::applicationFilePath(), {kHoldGuard});
        holder->waitForReadyRead(10000);
        return holder;
    }

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

    // A second copy is refused while the first runs; the guard of a copy that
    // ended or was killed blocks nothing.
    void secondCopyIsRefusedWhileFirstRuns() {
        QProcess* holder = startHolder();
        QCOMPARE(holder->readLine().trimmed(), QByteArray("held"));
        QCOMPARE(runChild(kTryGuard), kRefused);
        QVERIFY(!platform::AcquireSingleInstance());
        holder->closeWriteChannel();
        QVERIFY(holder->waitForFinished(10000));
        QCOMPARE(runChild(kTryGuard), 0);

        holder = startHolder();
        QCOMPARE(holder->readLine().trimmed(), QByteArray("held"));
        holder->kill();
        QVERIFY(holder->waitForFinished(10000));
        QCOMPARE(QDir(runtimeFolder_.path()).entryList({u"*.lock"_s}, QDir::Files).size(), 1);
        QCOMPARE(runChild(kTryGuard), 0);

        // Where no lock file can be made (not even by root), the program starts.
        childEnvironment_.insert(u"XDG_RUNTIME_DIR"_s, u"/proc"_s);
        QCOMPARE(runChild(kTryGuard), 0);
        childEnvironment_.insert(u"XDG_RUNTIME_DIR"_s, runtimeFolder_.path());
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
            std::generate(values.begin(), values.end(), platform::Rnd);
            return values;
        };
        platform::Randomize();
        const auto first = draw();
        QTest::qWait(2);
        platform::Randomize();
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
