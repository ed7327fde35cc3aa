#include "Recorder.h"

#include <memory>
#include <optional>

namespace record {

namespace {

// The writer's state, touched on its thread only.
class Writer : public QObject {
public:
    explicit Writer(QString path) : path_(std::move(path)) {}

    Store& store() {
        if (!store_) {
            store_ = std::make_unique<Store>(path_);
            store_->open(true);
        }
        return *store_;
    }
    void startPuzzle(const Puzzle& puzzle) {
        Store& opened = store();
        puzzle_ = opened.open() ? opened.addPuzzle(puzzle) : std::nullopt;
    }
    void answer(const Answer& answer) {
        if (puzzle_ && !store().addAnswer(*puzzle_, answer) && !store().isOpen())
            puzzle_.reset();
    }
    void close() { store_.reset(); }

private:
    QString path_;
    std::unique_ptr<Store> store_;
    std::optional<qint64> puzzle_;
};

Writer& writerOf(QObject* object) {
    return *static_cast<Writer*>(object);
}

}  // namespace

Recorder::Recorder(QString path) : path_(std::move(path)), writer_(new Writer(path_)) {
    thread_.setObjectName(QStringLiteral("record writer"));
    writer_->moveToThread(&thread_);
    thread_.start(QThread::LowPriority);
}

Recorder::~Recorder() {
    QMetaObject::invokeMethod(
        writer_, [writer = writer_] { writerOf(writer).close(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    delete writer_;
}

void Recorder::puzzleStarted(const Puzzle& puzzle) {
    QMetaObject::invokeMethod(writer_, [writer = writer_, puzzle] { writerOf(writer).startPuzzle(puzzle); });
}

void Recorder::answered(const Answer& answer) {
    QMetaObject::invokeMethod(writer_, [writer = writer_, answer] { writerOf(writer).answer(answer); });
}

void Recorder::post(std::function<void(Store&)> work) {
    QMetaObject::invokeMethod(writer_, [writer = writer_, work = std::move(work)] {
        Store& store = writerOf(writer).store();
        store.open();
        work(store);
    });
}

void Recorder::flush() {
    QMetaObject::invokeMethod(
        writer_, [] {}, Qt::BlockingQueuedConnection);
}

}  // namespace record
