#include "platform/Picture.h"

#include <QImageReader>

namespace platform {

std::optional<Picture> LoadPicture(const QString& path) {
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return Picture(std::move(image));
}

}  // namespace platform
