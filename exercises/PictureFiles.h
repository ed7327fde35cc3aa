#pragma once
// The pictures of the sets, read from their files.

#include "Picture.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace exercises::picture_files {

// The pictures of the files, in their order; where a file is missing or cannot
// be decoded, a new grey card with a question mark takes its place. Every file
// is read anew at every call, so a picture changed on disk shows at once; a
// file whose bytes are those already decoded from it is not decoded again,
// since decoding is nearly all the time a new puzzle takes. The files that are
// decoded are decoded side by side on the machine's cores.
std::vector<files::Picture> loadSetPictures(const QStringList& paths);

// The grey card with a question mark that stands for a picture that could not
// be read.
files::Picture missingPictureCard();

}  // namespace exercises::picture_files
