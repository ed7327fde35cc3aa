#pragma once
// The pictures of the sets, read from their files.

#include "Picture.h"

#include <QString>

namespace picture_files {

// The picture of the file; when the file is missing or cannot be decoded, a
// new grey card with a question mark takes its place.
platform::Picture loadSetPicture(const QString& path);

// The grey card with a question mark that stands for a picture that could not
// be read.
platform::Picture missingPictureCard();

}  // namespace picture_files
