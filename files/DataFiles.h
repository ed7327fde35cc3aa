#pragma once
// Where the program's data files and the settings file lie: this is the one
// place that decides it.
//
// The data folder is the executable's own folder (executableFolder()) when
// that holds the data (a build tree, a copied portable folder); an installed
// executable finds it in ../share/metamorfine beside it. It is decided once for
// each executable folder, by names it knows, never by listing a folder.
//
//   gif/<set>/<number>.gif   the pictures, sets 1 to 5, numbers 1 to 8
//   suoni/<name>.wav         the sounds
//   <language>.lng           one language file per language
//   LangSetting.ini          the settings file: the chosen language
//
// The settings file of a portable folder (the data beside the executable) lies
// in that folder while the user can write there. An installed program's data
// folder is never written nor its settings file read: each user has their own,
// in $XDG_CONFIG_HOME/metamorfine/LangSetting.ini (~/.config when unset or not
// an absolute path), as has each user of a portable folder they cannot write,
// whose own file is read before the folder's. The system's settings files
// (settings::systemFilePaths()) are read last, or first when they lock the
// language.

#include "FileAccess.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>

class QFile;

namespace files {

// Opens `path` for reading when it can be read as a language or settings file:
// a regular file of at most 1 GiB (see FileAccess.h).
settings::FileOpening openDataFile(const QString& path, QFile& file);
// Whether `path` can be opened so.
bool isPlainDataFile(const QString& path);

// The folder of the executable, links resolved, without a trailing separator
// (except for the root "/"). Found once per run: it cannot change under a
// running program.
QString executableFolder();
// Makes executableFolder() answer `folder` (tests use a temporary program
// folder); an empty string restores the real one.
void setExecutableFolder(const QString& folder);

// Owned by this user or by root, and writable by nobody else.
bool safeFromOtherUsers(const QFileInfo& info);
// The first place of the running executable's folder that another user could
// have changed: the folder, a qt.conf in it, or a folder in it (where Qt looks
// for plugins); empty when there is none. Needs no application object: it is
// asked before Qt reads anything from the folder.
QString programFolderOpenToOthers();

QString dataFolder();

QString picturePath(int set, int number);
// `name` without its ".wav", such as "si1".
QString soundPath(const QString& name);
// A name that holds a path separator, ".." or a zero character names no file
// of the data folder: the answer is then empty, a path that never exists.
QString languageFilePath(const QString& language);
// The settings files to read, the first with a choice ([Language]
// CurrentLanguage) winning.
QStringList settingsFilesToRead();
// The settings file a choice is written to; its folder is made when missing.
QString settingsFileToWrite();

// A menu a child can use, and a start that reads every language's locale,
// hold no more languages than this.
inline constexpr qsizetype kLanguageNamesMax = 100;

// The languages whose files lie in the data folder, ordered by name without
// regard to case: the first kLanguageNamesMax of them. Only names whose
// languageFilePath() is the file found are listed, so that every name listed
// can be opened (a file name that is not valid UTF-8 has no such name).
QStringList languageNames();

}  // namespace files
