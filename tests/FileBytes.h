#pragma once
// Whole files as bytes, for the files a test makes and reads by hand; FIFOs
// in the place of files.

#include <QFile>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace file_bytes {

// Makes or replaces the file at `path` with `bytes`; false when it could not.
inline bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The whole file at `path`, or nothing when it cannot be read.
inline QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A FIFO at `path` whose reader, if any, is let go after `seconds`: a test
// of code that must not wait on a FIFO fails on time, rather than hanging,
// when the code does wait.
class ReleasedFifo {
public:
    explicit ReleasedFifo(const QString& path, int seconds = 3)
        : made_(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0),
          releaser_([this, name = QFile::encodeName(path), seconds] {
              const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
              while (!done_ && std::chrono::steady_clock::now() < deadline)
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              // Opening for writing succeeds only while a reader waits: that reader gets the end.
              while (!done_) {
                  if (const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK); fd >= 0)
                      ::close(fd);
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    ~ReleasedFifo() {
        done_ = true;
        releaser_.join();
    }
    bool made() const { return made_; }

private:
    bool made_;
    std::atomic<bool> done_ = false;
    std::thread releaser_;
};

}  // namespace file_bytes
