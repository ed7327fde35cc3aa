#pragma once
// The designed layout of the seven exercise screens: the controls they share,
// placed by the positions of each screen.

#include "Design.h"

namespace exercise_layout {

inline constexpr int kScreenCount = 7;

// The design of FormEs<number>, number 1 to 7.
platform::ScreenDesign design(int number);

}  // namespace exercise_layout
