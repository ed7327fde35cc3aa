// How long the main thread spends inside the first right-answer and the first
// wrong-answer sound of a run, as the program plays them from the build's
// program folder (or the one named). With --prepared the media are readied first, as the start
// screen does once painted, and the first sound comes a second later (a child
// answers no sooner); without it the first sound comes straight away. Prints,
// in milliseconds, the wall and CPU time of the main thread inside each call,
// then over the 1.5 s that follow (while the sound is loaded and started) how
// long the main thread's event loop was busy, in all and at most at once.
// Usage: startup_first_sound [--prepared] [program folder]
#include "DataFiles.h"
#include "MediaLoader.h"
#include "ModuloColoriSuoni.h"
#include "SharedState.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Runs the event loop for `ms`, waiting for events as the program does.
void runEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void timeOnMainThread(const char* name, const std::function<void()>& work) {
    QElapsedTimer wall;
    const double cpuBefore = threadCpuMs();
    wall.start();
    work();
    const double wallMs = double(wall.nsecsElapsed()) / 1e6;
    const double cpuMs = threadCpuMs() - cpuBefore;

    // Busy: from the event loop's waking to its next wait.
    auto* dispatcher = QAbstractEventDispatcher::instance();
    qint64 awokeAt = 0;
    qint64 busy = 0;
    qint64 longestBusy = 0;
    const QMetaObject::Connection awake =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&] { awokeAt = wall.nsecsElapsed(); });
    const QMetaObject::Connection blocking = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] {
        if (awokeAt == 0)
            return;
        const qint64 spell = wall.nsecsElapsed() - awokeAt;
        busy += spell;
        longestBusy = std::max(longestBusy, spell);
    });
    runEventLoop(1500);
    QObject::disconnect(awake);
    QObject::disconnect(blocking);
    std::printf("%s: %.3f ms wall, %.3f ms CPU in the call; then busy %.3f ms, at most %.3f ms at once\n", name, wallMs,
                cpuMs, double(busy) / 1e6, double(longestBusy) / 1e6);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    const bool prepared = arguments.removeAll(QStringLiteral("--prepared")) > 0;
    files::setExecutableFolder(arguments.value(0, QStringLiteral(MF_PROGRAM_DIR)));
    Modulo1::SuoniAttivati = true;
    if (prepared) {
        media::prepareMedia(QStringLiteral("it"));
        runEventLoop(1000);
    }
    timeOnMainThread("first SuonoEsatto", [] { ModuloColoriSuoni::SuonoEsatto(); });
    timeOnMainThread("first SuonoErrato", [] { ModuloColoriSuoni::SuonoErrato(); });
    return media::finishMedia(500) ? 0 : 1;
}
