// What recording costs the main thread: an answer through the puzzle model and
// its record listener, and a new puzzle, while the writer's thread writes
// them into a real record. The child must never wait for the disk: each stays
// far under a millisecond.

#include "ExerciseCatalogue.h"
#include "Player.h"
#include "PuzzleModel.h"
#include "PuzzleRecord.h"
#include "Recorder.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Playing {
    QTemporaryDir folder;
    record::Recorder recorder{folder.filePath(u"record.sqlite"_s)};
    record::Player player{&recorder, {.id = 0, .name = {}, .picture = 0, .level = 0}};
    std::mt19937 engine{1};
    puzzle::PuzzleModel model{exercise_catalogue::exercise(6).rule,
                              [this] { return std::uniform_real_distribution<double>(0, 1)(engine); }};
    Playing() {
        new puzzle_record::PuzzleRecord(model, 6, [this]() -> const record::Player& { return player; });
        model.start(6);
    }
};

void BM_RecordAnswer(benchmark::State& state) {
    Playing playing;
    for (auto _ : state) {
        const std::vector<qint16>& shown = playing.model.shownPictures();
        playing.model.answer(shown.front() == *playing.model.rightIndex() ? shown.back() : shown.front());
    }
    playing.recorder.flush();
}
BENCHMARK(BM_RecordAnswer)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_RecordNewPuzzle(benchmark::State& state) {
    Playing playing;
    for (auto _ : state)
        playing.model.newPuzzle(6);
    playing.recorder.flush();
}
BENCHMARK(BM_RecordNewPuzzle)->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
