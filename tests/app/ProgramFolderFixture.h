#pragma once
// A temporary program folder for one test executable, and a message-box
// responder that records every box and answers as the test says.

#include "DataFiles.h"
#include "MessageBox.h"
#include "Screen.h"
#include "modLanguageSupport.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

struct ProgramFolderFixture {
    QTemporaryDir folder;
    QList<forms::MessageBoxRequest> boxes;
    forms::MsgAnswer answer = forms::MsgAnswer::Ok;

    // The folder is also the user's config and data folder and the runtime folder of the guard against a second copy.
    ProgramFolderFixture() {
        qputenv("XDG_RUNTIME_DIR", folder.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", folder.path().toLocal8Bit());
        files::setExecutableFolder(folder.path());
        answerBoxes();
    }
    // Boxes are recorded and answered with `answer` (again, after a test showed real ones).
    void answerBoxes() {
        forms::setMessageBoxResponder([this](const forms::MessageBoxRequest& box) {
            boxes.append(box);
            return answer;
        });
    }
    ~ProgramFolderFixture() {
        forms::setMessageBoxResponder({});
        files::setExecutableFolder(QString());
    }

    QString path(const QString& fileName) const { return folder.filePath(fileName); }

    // Language and settings files are 8-bit text with CR LF line ends.
    void writeFile(const QString& fileName, const QString& text) const {
        QFile file(path(fileName));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(text.toLatin1());
    }
    void storeLanguage(const QString& language) const {
        writeFile(QStringLiteral("LangSetting.ini"),
                  QStringLiteral("[Language]\r\nCurrentLanguage=%1\r\n").arg(language));
    }
    // The shipped file of `language`, in the place of any file of that name.
    bool copyShipped(const QString& language) const {
        const QString file = language + QStringLiteral(".lng");
        QFile::remove(path(file));
        return QFile::copy(QStringLiteral(MF_PROGRAM_DIR "/") + file, path(file));
    }
    // The shipped file of `language` is the one the test reads, the language chosen and stored.
    bool useShipped(const QString& language) const {
        modLanguageSupport::MLSCurrentLanguage = language;
        storeLanguage(language);
        return copyShipped(language);
    }
    static void unloadScreens() {
        for (forms::Screen* screen : forms::Screen::loadedScreens())
            screen->Unload();
    }
    // Removes everything in the folder.
    void clear() const {
        QDir(folder.path()).removeRecursively();
        QDir().mkpath(folder.path());
    }
};
