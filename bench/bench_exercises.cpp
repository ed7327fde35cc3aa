#include "DataFiles.h"
#include "FormEs3.h"
#include "SharedState.h"

#include <QCoreApplication>
#include <QWidget>
#include <QWindow>
#include <benchmark/benchmark.h>

using namespace Qt::Literals::StringLiterals;

namespace {

FormEs3& shownExercise() {
    static FormEs3 screen;
    platform::setProgramFolder(QStringLiteral(MF_PROGRAM_DIR));
    Modulo1::SerieFigure = 6;
    if (!screen.isLoaded()) {
        screen.Show();
        // Painting starts once the window system has exposed the window.
        while (!screen.window()->windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return screen;
}

platform::Control& modelsCopy(const FormEs3& screen) {
    return screen.control(u"Picture1"_s, Modulo1::IndiceModello);
}

// Next after a right answer, from the click to the repainted window: eight
// pictures read from their files, a model drawn, the pictures scaled to their
// boxes. The pictures are decoded on several threads, so the time measured is
// the time the child waits.
void BM_NewPuzzle(benchmark::State& state) {
    FormEs3& screen = shownExercise();
    Modulo1::SuoniAttivati = false;
    platform::Control& next = screen.control(u"BottoneAvanti"_s);
    for (auto _ : state) {
        state.PauseTiming();
        modelsCopy(screen).click();
        state.ResumeTiming();
        next.click();
        screen.window()->repaint();
    }
    state.counters["right answers"] = Modulo1::ContaEsatti;
}
BENCHMARK(BM_NewPuzzle)->UseRealTime()->Unit(benchmark::kMillisecond);

// A wrong answer from the click to the repainted window, with or without sound.
void BM_Answer(benchmark::State& state) {
    FormEs3& screen = shownExercise();
    Modulo1::SuoniAttivati = state.range(0) != 0;
    platform::Control& wrong = screen.control(u"Picture1"_s, (Modulo1::IndiceModello + 1) % 8);
    for (auto _ : state) {
        wrong.click();
        screen.window()->repaint();
    }
    state.counters["wrong answers"] = Modulo1::ContaErrati;
}
BENCHMARK(BM_Answer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
