#pragma once
// How many pictures the exercises have: sets of pictures in folders 1 to
// kSetCount, each of kPicturesPerSet files named 1.gif onwards, a picture for
// every code of the picture code.

#include "PictureCode.h"

namespace resources::picture_sets {

inline constexpr int kSetCount = 5;
inline constexpr int kPicturesPerSet = resources::picture_code::picturesOf(resources::picture_code::kAttributeCount);

}  // namespace resources::picture_sets
