#include "Picture.h"

#include "FileAccess.h"
#include "FilesLog.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace files {

namespace {

// Decoded as 32-bit pixels, the largest picture takes this many MiB.
constexpr int kLargestImageMiB = kPictureSideMax * kPictureSideMax * 4 / (1024 * 1024);
// Even an uncompressed GIF of the largest size is smaller than this.
constexpr qint64 kLargestFileBytes = qint64(kPictureSideMax) * kPictureSideMax * 2;

}  // namespace

std::optional<QByteArray> ReadPictureFile(const QString& path) {
    QFile file;
    if (settings::openRegularFile(path, kLargestFileBytes, file) != settings::FileOpening::Opened) {
        qCWarning(lcFiles, "picture %s refused: not a readable file of a plausible size", qUtf8Printable(path));
        return std::nullopt;
    }
    return file.readAll();
}

std::optional<Picture> DecodePicture(const QByteArray& bytes, const QString& path) {
    const auto refused = [&path](const char* why) {
        qCWarning(lcFiles, "picture %s refused: %s", qUtf8Printable(path), why);
        return std::nullopt;
    };
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kLargestImageMiB);
    // The declared size comes from the header alone; a file that gives none is
    // still held to the allocation limit while it is decoded.
    const QSize declared = reader.size();
    if (declared.width() > kPictureSideMax || declared.height() > kPictureSideMax)
        return refused("larger than 1024 pixels a side");
    QImage image = reader.read();
    if (image.isNull())
        return refused(qUtf8Printable(reader.errorString()));
    if (image.width() > kPictureSideMax || image.height() > kPictureSideMax)
        return refused("larger than 1024 pixels a side");
    // Premultiplied is the form Qt scales and draws fastest: twice as fast as
    // the plain alpha a GIF decodes to, for a tenth of the scaling's cost once.
    return Picture(std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

std::optional<Picture> LoadPicture(const QString& path) {
    const std::optional<QByteArray> bytes = ReadPictureFile(path);
    return bytes ? DecodePicture(*bytes, path) : std::nullopt;
}

}  // namespace files
