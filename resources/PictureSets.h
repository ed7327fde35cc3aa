#pragma once
// How many pictures the exercises have: sets of pictures in folders 1 to
// kSetCount, each of kPicturesPerSet files named 1.gif onwards.

namespace picture_sets {

inline constexpr int kSetCount = 5;
inline constexpr int kPicturesPerSet = 8;

}  // namespace picture_sets
