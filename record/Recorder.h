#pragma once
// Writes the record on a thread of its own, so that the child never waits
// for the disk: each call posts its work and returns at once. Puzzles and
// answers are written in the order they come, each committed when written,
// so that a killed program loses at most the answer being written. A record
// that cannot be opened is tried again at the next puzzle.

#include "RecordStore.h"

#include <QObject>
#include <QThread>
#include <functional>

namespace record {

class Recorder {
public:
    explicit Recorder(QString path = filePath());
    // Waits for what is posted to be written.
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    const QString& path() const { return path_; }

    // A new puzzle; the answers that follow belong to it.
    void puzzleStarted(const Puzzle& puzzle);
    void answered(const Answer& answer);
    // Runs `work` on the writer's thread with its store (open when it could
    // be), after everything posted before it.
    void post(std::function<void(Store&)> work);
    // Returns once everything posted before has been written.
    void flush();

private:
    QString path_;
    QThread thread_;
    QObject* writer_;  // lives on thread_
};

}  // namespace record
