#pragma once
// A file that each input is written to, since the code under test reads files
// by name: one per fuzzer process, in memory where there is such a folder (the
// writer syncs each file it saves), removed when the fuzzer exits.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

class FuzzFile {
public:
    explicit FuzzFile(QStringView name) {
        const QDir memory(QStringLiteral("/dev/shm"));
        path_ = (memory.exists() ? memory : QDir::temp())
                    .filePath(QStringLiteral("mf-fuzz-%1-").arg(QCoreApplication::applicationPid()) + name);
    }
    ~FuzzFile() { QFile::remove(path_); }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    const QString& path() const { return path_; }
    bool write(QByteArrayView bytes) const {
        QFile file(path_);
        return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), bytes.size()) == bytes.size();
    }

private:
    QString path_;
};

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
