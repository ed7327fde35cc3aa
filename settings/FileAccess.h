#pragma once
// Reading and replacing the files the program does not own (settings,
// language files, sounds, pictures), whoever put them there.
//
// A file is opened without blocking and judged on the opened file itself: a
// FIFO or a device in its place would wait for ever or never end, and a file
// of /proc claims a size of 0 however much it yields. A file is replaced
// whole, so that a crash, a kill or a full disk leaves the old one.

#include <QString>

class QFile;

namespace settings {

enum class FileOpening { Opened, Missing, Refused };

// Opens `path` for reading into `file` when it is a regular file of at most
// `maxBytes` on a disk's file system. Missing when there is no file at all;
// Refused for anything else that cannot be read.
FileOpening openRegularFile(const QString& path, qint64 maxBytes, QFile& file);

// Replaces the file at `path` by `bytes` at once; false when it could not be
// written (the old file is then whole). `ownerOnly`: readable by its user
// alone. The temporary files that killed saves of `path` left behind are
// removed first.
bool saveWhole(const QString& path, const QByteArray& bytes, bool ownerOnly = false);

}  // namespace settings
