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

    // True when both are the very same loaded picture (not merely equal pixels).
    bool isSameAs(const Picture& other) const { return !isEmpty() && image_.cacheKey() == other.image_.cacheKey(); }

private:
    QImage image_;
};

// Loads a picture file (GIF, or any format Qt reads) by its full path.
// Returns nothing when the file is missing, is not a regular file of a
// plausible size, claims more than 4096 pixels a side, or cannot be decoded.
std::optional<Picture> LoadPicture(const QString& path);

}  // namespace platform
