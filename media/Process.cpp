#include "Process.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define MF_LEAK_CHECK
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MF_LEAK_CHECK
#endif
#endif
#ifdef MF_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

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
    // no window or handler gets another chance to run.
    LeaveNow(0);
}

void LeaveNow(int status) {
    // Only our own output is flushed: flushing every stream would wait for the
    // lock of a stream that a library's thread holds while it blocks reading a
    // socket.
    std::fflush(stdout);
    std::fflush(stderr);
#ifdef MF_LEAK_CHECK
    // The sanitizer's leak check runs at a normal exit only.
    __lsan_do_leak_check();
#endif
    std::_Exit(status);
}

void setEndProgramHook(std::function<void()> hook) {
    endProgramHook() = std::move(hook);
}

void DoEvents() {
    QCoreApplication::processEvents();
}

}  // namespace platform
