#pragma once
// A file in the temporary folder, one per fuzzer process, that each input is
// written to, since the code under test reads files by name.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

// In memory where there is such a folder: the writer syncs each file it saves.
inline QString fuzzFilePath(QStringView name) {
    const QDir folder = QDir(QStringLiteral("/dev/shm")).exists() ? QDir(QStringLiteral("/dev/shm")) : QDir::temp();
    return folder.filePath(QStringLiteral("mf-fuzz-%1-").arg(QCoreApplication::applicationPid()) + name);
}

inline bool writeFuzzFile(const QString& path, QByteArrayView bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), bytes.size()) == bytes.size();
}

// `text` holds no half of a surrogate pair.
inline bool wholeCharacters(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return false;
    }
    return true;
}
