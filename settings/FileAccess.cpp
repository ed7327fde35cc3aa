#include "FileAccess.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace settings {
namespace {

bool onKernelFileSystem(int fd) {
    struct statfs fileSystem {};
    if (::fstatfs(fd, &fileSystem) != 0)
        return true;
    for (const auto magic : {PROC_SUPER_MAGIC, SYSFS_MAGIC, DEBUGFS_MAGIC, TRACEFS_MAGIC, SECURITYFS_MAGIC})
        if (fileSystem.f_type == magic)
            return true;
    return false;
}

// A save that is killed may leave QSaveFile's temporary file, "<name>.XXXXXX"
// beside the file (where the file system has no unnamed files). One older
// than any save takes is left by a killed one.
void removeStaleTemporaries(const QString& path) {
    constexpr qint64 kSaveSecondsMax = 60;
    const QFileInfo target(path);
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-kSaveSecondsMax);
    const QFileInfoList temporaries =
        QDir(target.absolutePath())
            .entryInfoList({target.fileName() % u".??????"_s}, QDir::Files | QDir::Hidden | QDir::CaseSensitive);
    for (const QFileInfo& temporary : temporaries)
        if (temporary.lastModified().toUTC() < stale && temporary.isFile() && !temporary.isSymLink())
            QFile::remove(temporary.filePath());
}

}  // namespace

FileOpening openRegularFile(const QString& path, qint64 maxBytes, QFile& file) {
    if (path.isEmpty())
        return FileOpening::Missing;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? FileOpening::Missing : FileOpening::Refused;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxBytes || onKernelFileSystem(fd) ||
        !file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return FileOpening::Refused;
    }
    return FileOpening::Opened;
}

bool saveWhole(const QString& path, const QByteArray& bytes, bool ownerOnly) {
    removeStaleTemporaries(path);
    // Unbuffered, so that a write refused by a full disk fails here: a failed
    // flush of a buffered QSaveFile still commits the empty file.
    QSaveFile output(path);
    return output.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
           (!ownerOnly || output.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) &&
           output.write(bytes) == bytes.size() && output.commit();
}

}  // namespace settings
