#pragma once
// Whole files as bytes, for the files a test makes and reads by hand.

#include <QFile>

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

}  // namespace file_bytes
