// Draws the pictures of the exercises into <program folder>/gif/<set>/<n>.gif.

#include "Figures.h"
#include "GifFile.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <program folder>\n", argv[0]);
        return 2;
    }
    const QDir programFolder(QString::fromLocal8Bit(argv[1]));
    // Every user of the program opens these folders, whatever the umask.
    constexpr QFile::Permissions kOpenToAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser |
                                              QFile::WriteUser | QFile::ExeUser | QFile::ReadGroup | QFile::ExeGroup |
                                              QFile::ReadOther | QFile::ExeOther;
    for (int set = 1; set <= tools::kSetCount; ++set) {
        const QString folder = programFolder.filePath(u"gif/"_s + QString::number(set));
        if (!QDir().mkpath(folder) || !QFile::setPermissions(programFolder.filePath(u"gif"_s), kOpenToAll) ||
            !QFile::setPermissions(folder, kOpenToAll)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
            return 1;
        }
        for (int index = 0; index < tools::kPicturesPerSet; ++index) {
            const QString path = folder + u'/' + QString::number(index + 1) + u".gif"_s;
            QString error;
            if (!tools::writeGif(tools::drawPicture(set, index), path, &error)) {
                std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(error));
                return 1;
            }
        }
    }
    return 0;
}
