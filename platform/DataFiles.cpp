#include "DataFiles.h"

#include "Process.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringBuilder>

using namespace Qt::Literals::StringLiterals;

namespace platform {
namespace {

const QString kLanguageSuffix = u".lng"_s;
const QString kSettingsFile = u"LangSetting.ini"_s;

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

QString userSettingsFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return folder.isEmpty() ? QString() : folder % u"/metamorfine/"_s % kSettingsFile;
}

bool programFolderWritable() {
    return QFileInfo(programFolder()).isWritable();
}

}  // namespace

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
        const QString name = file.chopped(kLanguageSuffix.size());
        if (!languageFilePath(name).isEmpty())
            names.append(name);
    }
    return names;
}

}  // namespace platform
