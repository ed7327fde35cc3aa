#include "DataFiles.h"
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
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>

using namespace Qt::Literals::StringLiterals;

namespace {
// How long the end of the run waits for sound and speech to stop; a speech
// server that never answers must not keep the program, and its single-copy
// guard, alive.
constexpr int kMediaEndDeadlineMs = 500;
// The exit statuses besides 0 and SettingsAlone's 1 (the settings file could not be written).
constexpr int kStatusBadFlag = 2;
constexpr int kStatusLocked = 3;
constexpr int kStatusUnsafeFolder = 4;

const QString kExportRecordFlag = u"export-record"_s;
const QString kRecordFlag = u"record"_s;

// The flags, with --help and --version.
void describe(QCommandLineParser& options) {
    options.setApplicationDescription(
        u"Picture exercises for children of four to eight.\n"
        "The flags override the parent's settings for this run only.\n"
        "Exit statuses: 0 done, 1 the settings could not be saved, 2 a flag is wrong, 3 the settings are locked,\n"
        "4 other users can change the program's folder."_s);
    settings::addOptions(options);
    options.addOption({kExportRecordFlag,
                       u"Write the record of every child's play to a CSV file (no display needed), and end."_s,
                       u"file"_s});
    options.addOption({kRecordFlag, u"Open the record's page alone and end when it is closed."_s});
    options.addHelpOption();
    options.addVersionOption();
}

// --help and --version answer without a display: a terminal, a packaging
// script or a manual-page generator may have none. They end the program.
void answerWithoutDisplay(int argc, char* argv[]) {
    const std::span<char*> arguments(argv, std::size_t(argc));
    if (std::none_of(arguments.begin(), arguments.end(), [](const char* argument) {
            for (const char* asking : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
                if (std::strcmp(argument, asking) == 0)
                    return true;
            return false;
        }))
        return;
    QCoreApplication probe(argc, argv);
    QCommandLineParser options;
    describe(options);
    options.process(probe);
}

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
    // Qt reads a qt.conf and plugins from the executable's folder: one that
    // another user can change could make this program run their code.
    if (const QString open = files::programFolderOpenToOthers(); !open.isEmpty()) {
        std::fprintf(stderr,
                     "metamorfine: %s can be changed by other users, so the program does not start from it.\n"
                     "Let only its owner write there (chmod go-w), or install the program.\n",
                     qUtf8Printable(open));
        return kStatusUnsafeFolder;
    }
    QCoreApplication::setApplicationName(u"Metamorfine"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(MF_VERSION));
    answerWithoutDisplay(argc, argv);
    for (int i = 1; i < argc; ++i)
        if (QByteArrayView(argv[i]).startsWith("--export-record"))
            return exportRecord(argc, argv);
    QApplication application(argc, argv);
    // Wayland compositors and docks find the program's icon and name by it.
    QGuiApplication::setDesktopFileName(u"org.metamorfine.Metamorfine"_s);
    // No display name: the window titles are the program's own ("Metamorfine",
    // "Metamorfine — <exercise>"), and untitled boxes fall back to the name.
    QCommandLineParser options;
    describe(options);
    options.process(application);
    settings::Settings& run = settings::current();
    run = settings::read();
    const QStringList locked = settings::lockedKeys();
    QStringList ignored;
    if (const QString error = settings::applyOptions(options, run, locked, &ignored); !error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return kStatusBadFlag;
    }
    for (const QString& key : std::as_const(ignored))
        std::fprintf(stderr, "metamorfine: %s is locked by the system's settings: its flag is ignored\n",
                     qPrintable(key));
    if (const QString language = settings::languageAsked(options); !language.isEmpty()) {
        if (locked.contains(settings::key::kLanguage)) {
            std::fprintf(stderr, "metamorfine: %s is locked by the system's settings: --language is ignored\n",
                         qPrintable(settings::key::kLanguage.toString()));
        } else if (!files::languageNames().contains(language)) {
            std::fprintf(stderr, "--language takes one of: %s\n", qPrintable(files::languageNames().join(u", ")));
            return kStatusBadFlag;
        } else {
            Modulo1::RunStart().language = language;
        }
    }
    if (const std::optional<int> exercise = settings::exerciseAsked(options)) {
        if (*exercise > Modulo1::ExerciseCount()) {
            std::fprintf(stderr, "--exercise takes a number from 1 to %d\n", Modulo1::ExerciseCount());
            return kStatusBadFlag;
        }
        Modulo1::RunStart().exercise = *exercise;
    }
    if (options.isSet(kRecordFlag))
        return app::RecordAlone();
    if (settings::dialogAsked(options)) {
        // A kiosk the system locks is not undone by a child's account.
        if (run.kiosk && locked.contains(settings::key::kKiosk)) {
            std::fprintf(stderr, "metamorfine: kiosk mode is locked by the system's settings: no --settings\n");
            return kStatusLocked;
        }
        return app::SettingsAlone();
    }
    // A kiosk stays full screen.
    state::ChooseWindowed(!run.fullScreen && !run.kiosk);
    forms::installSystemTranslations();
    // What the children play is kept from the first puzzle on.
    record::Recorder recorder;
    app::Players players(&recorder);
    app::setPlayers(&players);
    state::shell().player = [&players]() -> record::Player& { return players.current(); };
    if (!Modulo1::Main())
        return 0;
    const int status = QApplication::exec();
    recorder.flush();
    if (!media::finishMedia(kMediaEndDeadlineMs))
        media::LeaveNow(status);
    return status;
}
