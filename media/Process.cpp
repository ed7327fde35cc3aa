#include "Process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace platform {
namespace {

std::function<void()>& endProgramHook() {
    static std::function<void()> hook;
    return hook;
}

// The folder for this user's guard: the per-user runtime folder when the
// session has one, else the temporary folder (the file name holds the user id).
QString singleInstanceLockPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::tempPath();
    return folder % u"/metamorfine-"_s % QString::number(::getuid()) % u".lock"_s;
}

}  // namespace

bool AcquireSingleInstance() {
    static std::unique_ptr<QLockFile> guard;
    if (guard)
        return true;
    auto lock = std::make_unique<QLockFile>(singleInstanceLockPath());
    // A lock is stale only when the process that took it is gone, however
    // long a copy has been running.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        guard = std::move(lock);
        return true;
    }
    // Only a running copy refuses the start: a folder where no lock file can
    // be made leaves the program without a guard rather than unable to start.
    return lock->error() != QLockFile::LockFailedError;
}

void EndProgram() {
    if (endProgramHook()) {
        endProgramHook()();
        return;
    }
    // Settings are always written atomically, so ending here loses nothing;
    // no window or handler gets another chance to run. Only our own output is
    // flushed: flushing every stream would wait for the lock of a stream that
    // a library's thread holds while it blocks reading a socket.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(0);
}

void setEndProgramHook(std::function<void()> hook) {
    endProgramHook() = std::move(hook);
}

void DoEvents() {
    QCoreApplication::processEvents();
}

}  // namespace platform
