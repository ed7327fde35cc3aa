#include "BenchScreen.h"
#include "Screen.h"
#include "clsResize.h"

#include <benchmark/benchmark.h>

namespace {

// One pass over the 30 controls; the client area alternates between two sizes
// so that every pass moves every control.
void BM_ResizeControls(benchmark::State& state) {
    forms::Screen screen(bench::thirtyControls());
    screen.Show();  // shown, so that every pass also fits the fonts
    clsResize resize;
    resize.SourceForm(&screen);
    resize.ResizeControls();
    const double frameWidth = screen.width() - screen.scaleWidth();
    bool large = false;
    for (auto _ : state) {
        state.PauseTiming();
        large = !large;
        screen.setWidth(frameWidth + (large ? 18720 : 9360));
        state.ResumeTiming();
        resize.ResizeControls();
    }
}
BENCHMARK(BM_ResizeControls)->Unit(benchmark::kMicrosecond);

}  // namespace
