#pragma once
// A loaded picture. Copies share the same image data, so one picture given to
// several image controls is the same picture in all of them.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace files {

class Picture {
public:
    Picture() = default;  // the empty picture
    explicit Picture(QImage image) : image_(std::move(image)) {}

    bool isEmpty() const { return image_.isNull(); }
    const QImage& image() const { return image_; }

private:
    QImage image_;
};

// The program's pictures are 512 pixels a side; a file that claims more than
// this is refused before anything is decoded, so that a picture costs at most
// 4 MiB.
inline constexpr int kPictureSideMax = 1024;

// Reads a picture file whole by its full path. Returns nothing when the file
// is missing, or is not a regular file of a plausible size.
std::optional<QByteArray> ReadPictureFile(const QString& path);

// Decodes the bytes of a picture file (GIF, or any format Qt reads); `path`
// only names the file in the log. Returns nothing when the picture claims
// more than kPictureSideMax pixels a side or cannot be decoded.
std::optional<Picture> DecodePicture(const QByteArray& bytes, const QString& path);

// Reads and decodes a picture file.
std::optional<Picture> LoadPicture(const QString& path);

}  // namespace files
