#pragma once
// A loaded picture. Copies share the same image data, so one picture given to
// several image controls is the same picture in all of them.

#include <QImage>
#include <QString>
#include <optional>

namespace platform {

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

// Loads a picture file (GIF, or any format Qt reads) by its full path.
// Returns nothing when the file is missing, is not a regular file of a
// plausible size, claims more than kPictureSideMax pixels a side, or cannot be
// decoded.
std::optional<Picture> LoadPicture(const QString& path);

}  // namespace platform
