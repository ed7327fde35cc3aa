#include "DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringBuilder>
#include <linux/magic.h>
#include <sys/vfs.h>

using namespace Qt::Literals::StringLiterals;

namespace platform {
namespace {

const QString kLanguageSuffix = u".lng"_s;
const QString kSettingsFile = u"LangSetting.ini"_s;

QString& programFolderOverride() {
    static QString folder;
    return folder;
}

bool holdsData(const QDir& folder) {
    return folder.exists(u"gif"_s) || folder.exists(u"suoni"_s) ||
           !folder.entryList({u'*' % kLanguageSuffix}, QDir::Files).isEmpty();
}

// The program folder is "/" at the root; no second separator then.
QString inProgramFolder(const QString& relativePath) {
    QString folder = programFolder();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + relativePath;
}

constexpr qint64 kDataFileSizeMax = qint64(1) << 30;

bool onKernelFileSystem(const QString& path) {
    struct statfs fileSystem {};
    if (::statfs(QFile::encodeName(path).constData(), &fileSystem) != 0)
        return true;
    for (const auto magic : {PROC_SUPER_MAGIC, SYSFS_MAGIC, DEBUGFS_MAGIC, TRACEFS_MAGIC, SECURITYFS_MAGIC})
        if (fileSystem.f_type == magic)
            return true;
    return false;
}

QString userSettingsFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return folder.isEmpty() ? QString() : folder % u"/metamorfine/"_s % kSettingsFile;
}

bool programFolderWritable() {
    return QFileInfo(programFolder()).isWritable();
}

}  // namespace

bool isPlainDataFile(const QString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && info.isFile() && info.size() <= kDataFileSizeMax && !onKernelFileSystem(path);
}

QString ProgramFolder() {
    if (!programFolderOverride().isEmpty())
        return programFolderOverride();
    const QString folder = QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void setProgramFolder(const QString& folder) {
    programFolderOverride() = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}

QString programFolder() {
    const QString executableFolder = ProgramFolder();
    const QString installed = QDir::cleanPath(executableFolder % u"/../share/metamorfine"_s);
    if (!QFileInfo(installed).isDir() || holdsData(QDir(executableFolder)))
        return executableFolder;
    return installed;
}

QString picturePath(int set, int number) {
    return inProgramFolder(u"gif/"_s % QString::number(set) % u'/' % QString::number(number) % u".gif"_s);
}

QString soundPath(const QString& name) {
    return inProgramFolder(u"suoni/"_s % name % u".wav"_s);
}

QString languageFilePath(const QString& language) {
    if (language.contains(u'/') || language.contains(u'\\') || language.contains(u"..") || language.contains(QChar(0)))
        return {};
    return inProgramFolder(language % kLanguageSuffix);
}

QStringList settingsFilesToRead() {
    const QString shared = inProgramFolder(kSettingsFile);
    const QString own = userSettingsFile();
    if (programFolderWritable() || own.isEmpty())
        return {shared};
    return {own, shared};
}

QString settingsFileToWrite() {
    if (programFolderWritable())
        return inProgramFolder(kSettingsFile);
    const QString own = userSettingsFile();
    if (!own.isEmpty())
        QDir().mkpath(QFileInfo(own).path());
    return own;
}

QStringList languageNames() {
    // The suffix is matched with its case, as languageFilePath() writes it.
    const QStringList files =
        QDir(programFolder())
            .entryList({u'*' % kLanguageSuffix}, QDir::Files | QDir::CaseSensitive, QDir::Name | QDir::IgnoreCase);
    QStringList names;
    for (const QString& file : files) {
        // A name that is not valid UTF-8 comes back with U+FFFD in it, and Qt
        // has no spelling that opens the file: such a file is left out.
        const QString name = file.chopped(kLanguageSuffix.size());
        if (const QString path = languageFilePath(name); !path.isEmpty() && QFileInfo(path).isFile())
            names.append(name);
    }
    return names;
}

}  // namespace platform
