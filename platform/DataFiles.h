#pragma once
// Where the program's data files and the settings file lie. All of them are
// found from the program folder (Process.h): this is the one place that
// decides it.
//
//   gif/<set>/<number>.gif   the pictures, sets 1 to 5, numbers 1 to 8
//   suoni/<name>.wav         the sounds
//   <language>.lng           one language file per language
//   LangSetting.ini          the settings file: the chosen language

#include <QString>
#include <QStringList>

namespace platform {

// Whether `path` can be read as a language or settings file: a regular file
// (a named pipe would wait for a writer) of at most 1 GiB, not on a kernel
// file system (a /proc file claims a size of 0 yet may never end).
bool isPlainDataFile(const QString& path);

QString picturePath(int set, int number);
// `name` without its ".wav", such as "si1".
QString soundPath(const QString& name);
// A name that holds a path separator, ".." or a zero character names no file
// of the program folder: the answer is then empty, a path that never exists.
QString languageFilePath(const QString& language);
QString settingsFilePath();

// The languages whose files lie in the program folder, ordered by name without
// regard to case. Only names whose languageFilePath() is the file found are
// listed, so that every name listed can be opened (a file name that is not
// valid UTF-8 has no such name).
QStringList languageNames();

}  // namespace platform
