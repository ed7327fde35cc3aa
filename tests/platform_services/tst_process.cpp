// The running program: the guard against a second copy (across real
// processes), the program folder, ending at once, and the random generator.

#include "platform/Process.h"
#include "platform/Random.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

// The test binary runs itself with one of these arguments to act as another
// copy of the program.
constexpr char kHoldGuard[] = "--hold-guard";
constexpr char kTryGuard[] = "--try-guard";
constexpr char kPrintProgramFolder[] = "--print-program-folder";
constexpr char kEndProgram[] = "--end-program";
constexpr int kRefused = 3;

class WindowWithCloseHandler : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override
    {
        std::cout << "close handler ran" << std::endl;
        QWidget::closeEvent(event);
    }
};

int runAsChild(const std::string& role)
{
    if (role == kHoldGuard) {
        // Asking again while holding the guard is no refusal.
        const bool held = platform::AcquireSingleInstance() && platform::AcquireSingleInstance();
        std::cout << (held ? "held" : "refused") << std::endl;
        std::string discarded;
        while (std::getline(std::cin, discarded)) {
        }
        return 0;
    }
    if (role == kTryGuard)
        return platform::AcquireSingleInstance() ? 0 : kRefused;
    if (role == kPrintProgramFolder) {
        std::cout << qPrintable(platform::ProgramFolder()) << std::endl;
        return 0;
    }
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

private Q_SLOTS:
    void initTestCase();
    void secondCopyIsRefusedWhileFirstRuns();
    void guardOfEndedOrKilledCopyDoesNotBlock();
    void programFolderResolvesLinksAndCanBeReplaced();
    void endProgramEndsAtOnceUnlessHooked();
    void doEventsRunsPendingEvents();
    void randomNumbersAreUniformInUnitInterval();
    void seedingRepeatsOrVariesTheSequence();

private:
    QProcess* startHolder();
    int tryGuardInChild();

    QTemporaryDir runtimeFolder_;
    QProcessEnvironment childEnvironment_;
};

void ProcessTest::initTestCase()
{
    QVERIFY(runtimeFolder_.isValid());
    // Every copy in this test keeps its guard here, away from a real run.
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder_.path()));
    childEnvironment_ = QProcessEnvironment::systemEnvironment();
}

QProcess* ProcessTest::startHolder()
{
    auto* holder = new QProcess(this);
    holder->setProcessEnvironment(childEnvironment_);
    holder->start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kHoldGuard)});
    holder->waitForReadyRead(10000);
    return holder;
}

int ProcessTest::tryGuardInChild()
{
    QProcess copy;
    copy.setProcessEnvironment(childEnvironment_);
    copy.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kTryGuard)});
    if (!copy.waitForFinished(10000) || copy.exitStatus() != QProcess::NormalExit)
        return -1;
    return copy.exitCode();
}

void ProcessTest::secondCopyIsRefusedWhileFirstRuns()
{
    QProcess* holder = startHolder();
    QCOMPARE(holder->readLine().trimmed(), QByteArray("held"));
    QCOMPARE(tryGuardInChild(), kRefused);
    QVERIFY(!platform::AcquireSingleInstance());

    // However old the guard of a running copy is, it is never taken for stale.
    const QStringList locks = QDir(runtimeFolder_.path()).entryList({u"*.lock"_s}, QDir::Files);
    QCOMPARE(locks.size(), 1);
    QFile lock(runtimeFolder_.filePath(locks.first()));
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
    lock.close();
    QCOMPARE(tryGuardInChild(), kRefused);

    holder->closeWriteChannel();
    QVERIFY(holder->waitForFinished(10000));
    QCOMPARE(tryGuardInChild(), 0);
}

void ProcessTest::guardOfEndedOrKilledCopyDoesNotBlock()
{
    QProcess* holder = startHolder();
    QCOMPARE(holder->readLine().trimmed(), QByteArray("held"));
    holder->kill();
    QVERIFY(holder->waitForFinished(10000));
    // The killed copy left its lock file behind.
    QCOMPARE(QDir(runtimeFolder_.path()).entryList({u"*.lock"_s}, QDir::Files).size(), 1);
    QCOMPARE(tryGuardInChild(), 0);
    QProcess* next = startHolder();
    QCOMPARE(next->readLine().trimmed(), QByteArray("held"));
    next->closeWriteChannel();
    QVERIFY(next->waitForFinished(10000));

    // Where no lock file can be made (not even by root), the program starts.
    const QProcessEnvironment usual = childEnvironment_;
    childEnvironment_.insert(u"XDG_RUNTIME_DIR"_s, u"/proc"_s);
    QCOMPARE(tryGuardInChild(), 0);
    childEnvironment_ = usual;
}

void ProcessTest::programFolderResolvesLinksAndCanBeReplaced()
{
    QTemporaryDir linkFolder;
    const QString link = linkFolder.filePath(u"linked-program"_s);
    QVERIFY(QFile::link(QCoreApplication::applicationFilePath(), link));
    QProcess child;
    child.start(link, {QString::fromLatin1(kPrintProgramFolder)});
    QVERIFY(child.waitForFinished(10000));
    const QString reported = QString::fromLocal8Bit(child.readAllStandardOutput().trimmed());
    QCOMPARE(reported, QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath());
    QVERIFY(!reported.endsWith(u'/'));

    const QString real = platform::ProgramFolder();
    platform::setProgramFolder(linkFolder.path() + u"/"_s);
    QCOMPARE(platform::ProgramFolder(), linkFolder.path());
    platform::setProgramFolder(QString());
    QCOMPARE(platform::ProgramFolder(), real);
}

void ProcessTest::endProgramEndsAtOnceUnlessHooked()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kEndProgram)});
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(child.readAllStandardOutput(), QByteArray("ending"));

    int ended = 0;
    platform::setEndProgramHook([&ended] { ++ended; });
    platform::EndProgram();
    platform::setEndProgramHook({});
    QCOMPARE(ended, 1);
}

void ProcessTest::doEventsRunsPendingEvents()
{
    bool ran = false;
    QMetaObject::invokeMethod(this, [&ran] { ran = true; }, Qt::QueuedConnection);
    QVERIFY(!ran);
    platform::DoEvents();
    QVERIFY(ran);
}

void ProcessTest::randomNumbersAreUniformInUnitInterval()
{
    platform::seedRandom(20240601);
    constexpr int kDraws = 400000;
    std::array<int, 8> buckets{};
    double smallest = 1.0;
    double largest = 0.0;
    for (int i = 0; i < kDraws; ++i) {
        const double r = platform::Rnd();
        QVERIFY(r >= 0.0 && r < 1.0);
        smallest = std::min(smallest, r);
        largest = std::max(largest, r);
        ++buckets[static_cast<std::size_t>(std::floor(r * 8))];
    }
    QVERIFY(smallest < 1e-4);
    QVERIFY(largest > 1 - 1e-4);
    // Each eighth gets its share within a few standard deviations (about 200).
    for (const int count : buckets)
        QVERIFY2(std::abs(count - kDraws / 8) < 1200, qPrintable(QString::number(count)));
}

void ProcessTest::seedingRepeatsOrVariesTheSequence()
{
    const auto draw = [] {
        std::array<double, 16> values{};
        std::generate(values.begin(), values.end(), platform::Rnd);
        return values;
    };
    platform::seedRandom(7);
    const auto first = draw();
    platform::seedRandom(7);
    QCOMPARE(draw(), first);
    platform::seedRandom(8);
    QVERIFY(draw() != first);

    platform::Randomize();
    const auto clockSeeded = draw();
    QTest::qWait(2);
    platform::Randomize();
    QVERIFY(draw() != clockSeeded);
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc == 2 && argv[1][0] == '-' && argv[1][1] == '-')
        return runAsChild(argv[1]);
    ProcessTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_process.moc"
