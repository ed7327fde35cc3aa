#include "DataFiles.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringBuilder>
#include <algorithm>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace files {
namespace {

const QString kLanguageSuffix = u".lng"_s;
const QString kSettingsFile = u"LangSetting.ini"_s;

QString& executableFolderOverride() {
    static QString folder;
    return folder;
}

QString runningExecutableFolder() {
    const QString resolved = QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath();
    return resolved.isEmpty() ? QCoreApplication::applicationDirPath() : resolved;
}

// Known names only: listing an installed executable's folder (/usr/bin holds
// thousands of files) would cost more than everything else of a start.
bool holdsData(const QString& folder) {
    return QFileInfo::exists(folder % u"/gif"_s) || QFileInfo::exists(folder % u"/suoni"_s) ||
           QFileInfo::exists(folder % u"/Italiano"_s % kLanguageSuffix);
}

QString decideDataFolder(const QString& executableFolder) {
    const QString installed = QDir::cleanPath(executableFolder % u"/../share/metamorfine"_s);
    if (!QFileInfo(installed).isDir() || holdsData(executableFolder))
        return executableFolder;
    return installed;
}

// The data folder is "/" at the root; no second separator then.
QString inDataFolder(const QString& relativePath) {
    QString folder = dataFolder();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + relativePath;
}

constexpr qint64 kDataFileSizeMax = qint64(1) << 30;

QString userSettingsFile() {
    return settings::configFolder() % u"/metamorfine/"_s % kSettingsFile;
}

// A portable folder (a build tree, a copy) holds its data beside the
// executable; an installed program's data folder belongs to the system and is
// never written, whoever runs it, root included.
bool portable() {
    return dataFolder() == executableFolder();
}

// A portable folder on a disk that cannot be written (a CD, a share) keeps
// each user's choice in their own file.
bool choicesInDataFolder() {
    return portable() && QFileInfo(dataFolder()).isWritable();
}

}  // namespace

settings::FileOpening openDataFile(const QString& path, QFile& file) {
    return settings::openRegularFile(path, kDataFileSizeMax, file);
}

bool isPlainDataFile(const QString& path) {
    QFile file;
    return openDataFile(path, file) == settings::FileOpening::Opened;
}

QString executableFolder() {
    if (!executableFolderOverride().isEmpty())
        return executableFolderOverride();
    if (!QCoreApplication::instance())
        return runningExecutableFolder();
    static const QString folder = runningExecutableFolder();
    return folder;
}

bool safeFromOtherUsers(const QFileInfo& info) {
    const bool ownOrRoot = info.ownerId() == ::getuid() || info.ownerId() == 0;
    return info.exists() && ownOrRoot && !(info.permissions() & (QFile::WriteGroup | QFile::WriteOther));
}

QString programFolderOpenToOthers() {
    const QString folder = QFileInfo(u"/proc/self/exe"_s).canonicalPath();
    if (folder.isEmpty())
        return {};
    if (!safeFromOtherUsers(QFileInfo(folder)))
        return folder;
    if (const QFileInfo conf(folder % u"/qt.conf"_s); conf.exists() && !safeFromOtherUsers(conf))
        return conf.filePath();
    const QFileInfoList inside = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    const auto open =
        std::find_if(inside.cbegin(), inside.cend(), [](const QFileInfo& entry) { return !safeFromOtherUsers(entry); });
    return open == inside.cend() ? QString() : open->filePath();
}

void setExecutableFolder(const QString& folder) {
    executableFolderOverride() = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}

QString dataFolder() {
    struct Decision {
        QString executableFolder;
        QString dataFolder;
    };
    static QMutex mutex;
    static Decision decision;
    const QString executable = executableFolder();
    const QMutexLocker lock(&mutex);
    if (decision.dataFolder.isEmpty() || decision.executableFolder != executable)
        decision = {executable, decideDataFolder(executable)};
    return decision.dataFolder;
}

QString picturePath(int set, int number) {
    return inDataFolder(u"gif/"_s % QString::number(set) % u'/' % QString::number(number) % u".gif"_s);
}

QString soundPath(const QString& name) {
    return inDataFolder(u"suoni/"_s % name % u".wav"_s);
}

QString languageFilePath(const QString& language) {
    if (language.contains(u'/') || language.contains(u'\\') || language.contains(u"..") || language.contains(QChar(0)))
        return {};
    return inDataFolder(language % kLanguageSuffix);
}

QStringList settingsFilesToRead() {
    const QString shared = inDataFolder(kSettingsFile);
    QStringList own;
    if (choicesInDataFolder())
        own = {shared};
    else if (!portable())  // an installed data folder's file was left by an older version: not read
        own = {userSettingsFile()};
    else
        own = {userSettingsFile(), shared};
    // The system's settings give the language of a user who chose none, or of every user when locked.
    const QStringList system = settings::systemFilePaths();
    if (settings::lockedKeys().contains(settings::key::kLanguage))
        return system + own;
    return own + system;
}

QString settingsFileToWrite() {
    if (choicesInDataFolder())
        return inDataFolder(kSettingsFile);
    const QString own = userSettingsFile();
    QDir().mkpath(QFileInfo(own).path());
    return own;
}

QStringList languageNames() {
    // The suffix is matched with its case, as languageFilePath() writes it.
    const QStringList files =
        QDir(dataFolder())
            .entryList({u'*' % kLanguageSuffix}, QDir::Files | QDir::CaseSensitive, QDir::Name | QDir::IgnoreCase);
    QStringList names;
    for (const QString& file : files) {
        if (names.size() == kLanguageNamesMax)
            break;
        // A name that is not valid UTF-8 comes back with U+FFFD in it, and Qt
        // has no spelling that opens the file: such a file is left out.
        const QString name = file.chopped(kLanguageSuffix.size());
        if (const QString path = languageFilePath(name); !path.isEmpty() && QFileInfo(path).isFile())
            names.append(name);
    }
    return names;
}

}  // namespace files
