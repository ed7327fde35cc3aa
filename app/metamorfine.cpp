#include "DataFiles.h"
#include "MediaLoader.h"
#include "MessageBox.h"
#include "Modulo1.h"
#include "Process.h"
#include "ScreenFrame.h"
#include "Settings.h"
#include "SettingsDialog.h"
#include "Speech.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {
// How long the end of the run waits for sound and speech to stop; a speech
// server that never answers must not keep the program, and its single-copy
// guard, alive.
constexpr int kMediaEndDeadlineMs = 500;
// The exit status of a start refused because others can change the program's folder.
constexpr int kUnsafeFolderStatus = 4;
}  // namespace

int main(int argc, char* argv[]) {
    // Qt reads a qt.conf and plugins from the executable's folder: one that
    // another user can change could make this program run their code.
    if (const QString open = platform::programFolderOpenToOthers(); !open.isEmpty()) {
        std::fprintf(stderr,
                     "metamorfine: %s can be changed by other users, so the program does not start from it.\n"
                     "Let only its owner write there (chmod go-w), or install the program.\n",
                     qUtf8Printable(open));
        return kUnsafeFolderStatus;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Metamorfine"_s);
    // No display name: the window titles are the program's own ("Metamorfine",
    // "Metamorfine — <exercise>"), and untitled boxes fall back to the name.
    QCommandLineParser options;
    options.setApplicationDescription(
        u"Picture exercises for children of four to eight.\n"
        "The flags override the parent's settings for this run only."_s);
    settings::addOptions(options);
    options.addHelpOption();
    options.process(application);
    settings::Settings& run = settings::current();
    run = settings::read();
    if (const QString error = settings::applyOptions(options, run); !error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    if (settings::dialogAsked(options))
        return app::SettingsAlone();
    // A kiosk stays full screen.
    app::ChooseWindowed(!run.fullScreen && !run.kiosk);
    platform::installSystemTranslations();
    if (!Modulo1::Main())
        return 0;
    const int status = QApplication::exec();
    if (!platform::finishMedia(kMediaEndDeadlineMs))
        platform::LeaveNow(status);
    return status;
}
