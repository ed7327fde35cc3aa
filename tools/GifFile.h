#pragma once
// Writes an image as a GIF file with giflib. Pixels less than half opaque
// become the one transparent entry of the palette; every other pixel is
// written opaque in its own colour. The palette holds the image's own colours
// when there are at most 256 of them; otherwise giflib's median-cut quantiser
// chooses them, and each entry then takes the mean of the pixels it stands
// for, so that large flat areas (the white card) keep their exact colour.

#include <QImage>
#include <QString>

namespace tools {

bool writeGif(const QImage& image, const QString& path, QString* error);

}  // namespace tools
