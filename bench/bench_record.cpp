// What recording costs the main thread: an answer through the puzzle model and
// its record listener, and a new puzzle, while the writer's thread writes
// them into a real record. The child must never wait for the disk: each stays
// far under a millisecond. And how long the record's page takes to open with
// a year of a class's play.

#include "ExerciseCatalogue.h"
#include "Player.h"
#include "PuzzleModel.h"
#include "PuzzleRecord.h"
#include "RecordPage.h"
#include "Recorder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlQuery>
#include <QTableWidget>
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
    rules::PuzzleModel model{exercises::exercise_catalogue::exercise(6).rule,
                             [this] { return std::uniform_real_distribution<double>(0, 1)(engine); }};
    Playing() {
        new exercises::puzzle_record::PuzzleRecord(model, 6, [this]() -> const record::Player& { return player; });
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

namespace {

// A year of a class's play: twenty children, 100,000 puzzles, each answered
// once or twice, spread over the last 365 days.
const QString& classYear() {
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString file = folder.filePath(u"record.sqlite"_s);
        record::Store store(file);
        store.open();
        QSqlDatabase db = store.database();
        db.transaction();
        QSqlQuery query(db);
        for (int child = 0; child < 20; ++child)
            store.addChild({.id = 0, .name = u"Child "_s + QString::number(child), .picture = child, .level = 2});
        std::mt19937 engine(5);
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        constexpr qint64 kYear = 365LL * 24 * 3600 * 1000;
        for (int puzzle = 0; puzzle < 100000; ++puzzle) {
            const qint64 started = now - kYear + qint64(std::uniform_real_distribution<double>(0, 1)(engine) * kYear);
            const bool wrong = engine() % 3 == 0;
            const std::optional<qint64> id = store.addPuzzle({.child = 1 + puzzle % 20,
                                                              .exercise = 1 + int(engine() % 7),
                                                              .level = 1 + int(engine() % 3),
                                                              .pictureSet = 1 + int(engine() % 5),
                                                              .model = int(engine() % 8),
                                                              .changes = u"colour"_s,
                                                              .startedMs = started});
            if (wrong)
                store.addAnswer(*id, {.picture = 1, .atMs = started + 4000, .right = false});
            store.addAnswer(*id, {.picture = 2, .atMs = started + 9000, .right = true});
        }
        db.commit();
        return file;
    }();
    return path;
}

// From nothing to the page shown with the first child's charts and tables.
void BM_RecordPageOpens(benchmark::State& state) {
    const QString& path = classYear();
    for (auto _ : state) {
        app::RecordPage page(path);
        page.resize(1000, 640);
        page.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(page.exercisesTable()->rowCount());
    }
}
BENCHMARK(BM_RecordPageOpens)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
