#include "MediaLoader.h"
#include "MessageBox.h"
#include "Modulo1.h"
#include "Players.h"
#include "Process.h"
#include "RecordCsv.h"
#include "RecordPage.h"
#include "Recorder.h"
#include "ScreenFrame.h"
#include "Settings.h"
#include "SettingsDialog.h"
#include "SharedState.h"
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

const QString kExportRecordFlag = u"export-record"_s;

// The export of the record needs no display: a teacher may run it from a
// terminal, away from the classroom's screen.
int exportRecord(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCommandLineParser options;
    options.addOption({kExportRecordFlag, QString(), u"file"_s});
    options.process(application);
    record::Store store;
    if (store.open() && record::exportCsv(store, options.value(kExportRecordFlag)))
        return 0;
    std::fprintf(stderr, "The record could not be exported: the log says why (QT_LOGGING_RULES=metamorfine.*=true).\n");
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (QByteArrayView(argv[i]).startsWith("--export-record"))
            return exportRecord(argc, argv);
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Metamorfine"_s);
    // No display name: the window titles are the program's own ("Metamorfine",
    // "Metamorfine — <exercise>"), and untitled boxes fall back to the name.
    QCommandLineParser options;
    options.setApplicationDescription(
        u"Picture exercises for children of four to eight.\n"
        "The flags override the parent's settings for this run only."_s);
    settings::addOptions(options);
    options.addOption({kExportRecordFlag,
                       u"Write the record of every child's play to a CSV file (no display needed), and end."_s,
                       u"file"_s});
    const QCommandLineOption showRecord(u"record"_s, u"Open the record's page alone and end when it is closed."_s);
    options.addOption(showRecord);
    options.addHelpOption();
    options.process(application);
    settings::Settings& run = settings::current();
    run = settings::read();
    if (const QString error = settings::applyOptions(options, run); !error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    if (options.isSet(showRecord))
        return app::RecordAlone();
    if (settings::dialogAsked(options))
        return app::SettingsAlone();
    // A kiosk stays full screen.
    app::ChooseWindowed(!run.fullScreen && !run.kiosk);
    platform::installSystemTranslations();
    // What the children play is kept from the first puzzle on.
    record::Recorder recorder;
    app::Players players(&recorder);
    app::setPlayers(&players);
    app::shell().player = [&players]() -> record::Player& { return players.current(); };
    if (!Modulo1::Main())
        return 0;
    const int status = QApplication::exec();
    recorder.flush();
    if (!platform::finishMedia(kMediaEndDeadlineMs))
        platform::LeaveNow(status);
    return status;
}
