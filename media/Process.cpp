#include "Process.h"

#include "MediaLog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
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

namespace media {
namespace {

std::function<void()>& endProgramHook() {
    static std::function<void()> hook;
    return hook;
}

// A folder where only this user (and root) can make or replace a file.
bool isPrivateFolder(const QString& folder) {
    struct stat status {};
    return ::lstat(QFile::encodeName(folder).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool ownedByAnotherUser(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && status.st_uid != ::geteuid();
}

// The folder of this user's guard: the session's runtime folder, else a folder
// of the user's own made in the temporary folder. Empty when neither is
// private: another user could then plant a guard that keeps the program from
// starting.
QString singleInstanceFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime))
        return runtime;
    const QString own = QDir::tempPath() % u"/metamorfine-"_s % QString::number(::geteuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);  // fails when it is there already
    return isPrivateFolder(own) ? own : QString();
}

// QLockFile obeys a lock it cannot tie to a process of this machine (empty,
// unparsable, another host's, a folder in its place) for ever, since only a
// time would make it stale, and a running copy's lock never is. Such a lock
// older than a minute was left by no copy that is still starting: removed.
void removeUnownedStaleLock(const QLockFile& lock, const QString& path) {
    constexpr qint64 kStartSecondsMax = 60;
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock.getLockInfo(&pid, &host, &application) && (host.isEmpty() || host == QSysInfo::machineHostName()))
        return;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return;
    if (info.lastModified().secsTo(QDateTime::currentDateTime()) < kStartSecondsMax)
        return;
    qCWarning(lcMedia) << "a lock of no running copy, removed:" << path;
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

}  // namespace

bool AcquireSingleInstance() {
    static std::unique_ptr<QLockFile> guard;
    if (guard)
        return true;
    const QString folder = singleInstanceFolder();
    if (folder.isEmpty()) {
        qCWarning(lcMedia) << "no folder of the user's own for the single-copy guard: starting without one";
        return true;
    }
    // Only root could have put a file of another user's in a private folder:
    // it is no guard of this user's copies.
    const QString path = folder % u"/metamorfine.lock"_s;
    if (ownedByAnotherUser(path)) {
        qCWarning(lcMedia) << "another user's lock file is no guard, removed:" << path;
        if (!QFile::remove(path))
            return true;
    }
    auto lock = std::make_unique<QLockFile>(path);
    // A lock is stale only when the process that took it is gone, however
    // long a copy has been running.
    lock->setStaleLockTime(0);
    removeUnownedStaleLock(*lock, path);
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

}  // namespace media
