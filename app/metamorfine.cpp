#include "MediaLoader.h"
#include "MessageBox.h"
#include "Modulo1.h"
#include "Process.h"
#include "ScreenFrame.h"

#include <QApplication>
#include <QCommandLineParser>

using namespace Qt::Literals::StringLiterals;

namespace {
// How long the end of the run waits for sound and speech to stop; a speech
// server that never answers must not keep the program, and its single-copy
// guard, alive.
constexpr int kMediaEndDeadlineMs = 500;
}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Metamorfine"_s);
    // No display name: the window titles are the program's own ("Metamorfine",
    // "Metamorfine — <exercise>"), and untitled boxes fall back to the name.
    QCommandLineParser options;
    const QCommandLineOption windowed(u"windowed"_s, u"Start in a window instead of full screen."_s);
    options.addOption(windowed);
    options.addHelpOption();
    options.process(application);
    app::ChooseWindowed(options.isSet(windowed));
    platform::installSystemTranslations();
    if (!Modulo1::Main())
        return 0;
    const int status = QApplication::exec();
    if (!platform::finishMedia(kMediaEndDeadlineMs))
        platform::LeaveNow(status);
    return status;
}
