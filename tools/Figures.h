#pragma once
// The pictures of the exercises: five sets of figures on white cards with
// rounded corners, transparent outside the card.
// The index of a picture codes its figure by the picture code
// (PictureCode.h); value 0 of each attribute is the first colour, the big
// size, the first shape of the set and the plain figure.

#include "CardShape.h"
#include "PictureSets.h"

#include <QColor>
#include <QImage>

namespace tools {

using resources::picture_sets::drawCard;
using resources::picture_sets::kPictureSize;
using resources::picture_sets::kPicturesPerSet;
using resources::picture_sets::kSetCount;

// Extent of the big and of the small figure, as a share of the picture.
inline constexpr double kBigExtent = 0.80;
inline constexpr double kSmallExtent = 0.45;

// set: 1 to kSetCount; index: 0 to kPicturesPerSet - 1.
QImage drawPicture(int set, int index);

}  // namespace tools
