#pragma once
// A temporary program folder for one test executable, and a message-box
// responder that records every box and answers as the test says.

#include "platform/MessageBox.h"
#include "platform/Process.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <functional>

struct ProgramFolderFixture {
    QTemporaryDir folder;
    QList<platform::MessageBoxRequest> boxes;
    std::function<platform::MsgAnswer()> answer = [] { return platform::MsgAnswer::Ok; };

    ProgramFolderFixture() {
        platform::setProgramFolder(folder.path());
        platform::setMessageBoxResponder([this](const platform::MessageBoxRequest& box) {
            boxes.append(box);
            return answer();
        });
    }
    ~ProgramFolderFixture() {
        platform::setMessageBoxResponder({});
        platform::setProgramFolder(QString());
    }

    QString path(const QString& fileName) const { return folder.filePath(fileName); }

    // Language files are 8-bit text with CR LF line ends.
    void writeFile(const QString& fileName, const QString& text) const {
        QFile file(path(fileName));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(text.toLatin1());
    }
    QByteArray readFile(const QString& fileName) const {
        QFile file(path(fileName));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeLanguage(const QString& language, const QString& text) const {
        writeFile(language + QStringLiteral(".lng"), text);
    }
    void removeLanguage(const QString& language) const {
        QFile::remove(path(language + QStringLiteral(".lng")));
    }
    // Removes every file of the folder.
    void clear() const {
        QDir dir(folder.path());
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
            dir.remove(name);
        for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QDir(dir.filePath(name)).removeRecursively();
    }
};
