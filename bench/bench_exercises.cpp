#include "DataFiles.h"
#include "ExerciseCatalogue.h"
#include "ExerciseScreen.h"
#include "Settings.h"
#include "SharedState.h"
#include "modLanguageSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Where the program runs from: the build's program folder, or an installed
// tree (`cmake --install` into a temporary prefix whose bin/ also holds 2,000
// other files, as /usr/bin does).
enum Layout { kProgramFolder, kInstalled };

// The executable's folder of the layout; empty when the tree could not be installed.
QString executableFolderOf(Layout layout) {
    if (layout == kProgramFolder)
        return QStringLiteral(MF_PROGRAM_DIR);
    static QTemporaryDir prefix;
    static const bool installed = [] {
        if (QProcess::execute(QStringLiteral(MF_CMAKE_COMMAND),
                              {u"--install"_s, QStringLiteral(MF_BUILD_DIR), u"--prefix"_s, prefix.path()}) != 0)
            return false;
        for (int i = 0; i < 2000; ++i) {
            QFile other(prefix.filePath(u"bin/other-program-"_s + QString::number(i)));
            if (!other.open(QIODevice::WriteOnly))
                return false;
        }
        return true;
    }();
    return installed ? prefix.filePath(u"bin"_s) : QString();
}

// The exercise shown, its files read from `layout`; nothing when the layout is missing.
ExerciseScreen* shownExercise(benchmark::State& state, Layout layout) {
    const QString folder = executableFolderOf(layout);
    if (folder.isEmpty()) {
        state.SkipWithError("the tree could not be installed");
        return nullptr;
    }
    // "Non cambia niente": the right picture is the model's copy.
    static ExerciseScreen screen(exercises::exercise_catalogue::exercise(3));
    files::setExecutableFolder(folder);
    modLanguageSupport::MLSCurrentLanguage = u"English"_s;
    Modulo1::SerieFigure = 6;
    if (!screen.isLoaded()) {
        screen.Show();
        // Painting starts once the window system has exposed the window.
        while (!screen.window()->windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    state.SetLabel(layout == kProgramFolder ? "program folder" : "installed");
    return &screen;
}

// The place on the screen of picture `index` among those the puzzle shows.
forms::Control& pictureShown(const ExerciseScreen& screen, int index) {
    const std::vector<qint16>& shown = screen.puzzle().shownPictures();
    const auto place = std::find(shown.begin(), shown.end(), qint16(index));
    return screen.control(exercises::exercise_layout::Picture1, int(place - shown.begin()));
}

forms::Control& modelsCopy(const ExerciseScreen& screen) {
    return pictureShown(screen, screen.puzzle().modelIndex());
}

// A right answer and Next at a level, from the first click to the window
// repainted after the second: the answer's effects, then the level's pictures
// read from their files, a model drawn, the pictures scaled to their boxes. A
// file is decoded only the first time its bytes are read (on several
// threads, so the time measured is the time the child waits); the figure is
// that of a child who has seen every set once.
void BM_RightAnswerAndNext(benchmark::State& state) {
    settings::current().level = settings::Level(state.range(0));
    ExerciseScreen* screen = shownExercise(state, Layout(state.range(1)));
    if (!screen)
        return;
    Modulo1::SuoniAttivati = false;
    forms::Control& next = screen->control(exercises::exercise_layout::BottoneAvanti);
    // The level is taken with the next puzzle.
    modelsCopy(*screen).click();
    next.click();
    for (auto _ : state) {
        modelsCopy(*screen).click();
        screen->window()->repaint();
        next.click();
        screen->window()->repaint();
    }
    state.counters["right answers"] = Modulo1::ContaEsatti();
    state.counters["pictures"] = double(screen->puzzle().shownPictures().size());
    settings::current().level = settings::Settings{}.level;
}
BENCHMARK(BM_RightAnswerAndNext)
    ->ArgNames({"level", "installed"})
    ->ArgsProduct({{1, 2, 3}, {kProgramFolder, kInstalled}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// A wrong answer from the click to the repainted window, with or without sound.
void BM_Answer(benchmark::State& state) {
    ExerciseScreen* screen = shownExercise(state, Layout(state.range(1)));
    if (!screen)
        return;
    Modulo1::SuoniAttivati = state.range(0) != 0;
    forms::Control& wrong = pictureShown(*screen, screen->puzzle().modelIndex() ^ 1);
    for (auto _ : state) {
        wrong.click();
        screen->window()->repaint();
    }
    state.counters["wrong answers"] = Modulo1::ContaErrati();
}
BENCHMARK(BM_Answer)
    ->ArgNames({"sound", "installed"})
    ->ArgsProduct({{0, 1}, {kProgramFolder, kInstalled}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
