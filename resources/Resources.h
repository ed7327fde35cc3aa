#pragma once
// The design images of the screens, built into the executable as Qt
// resources. Each is an SVG drawing, rendered at the size it is shown.

#include "platform/Design.h"

namespace resources {

inline constexpr const char* kStartIcon = ":/resources/start_icon.svg";  // start screen: window icon, button picture
inline constexpr const char* kExitSign = ":/resources/exit_sign.svg";    // red round sign with a raised hand
inline constexpr const char* kSmilingFace = ":/resources/smiling_face.svg";  // right answer; exercise window icon
inline constexpr const char* kSadFace = ":/resources/sad_face.svg";          // wrong answer
inline constexpr const char* kNextArrow = ":/resources/next_arrow.svg";      // grey arrow of the Next button

inline constexpr platform::Pointer kWhiteArrowPointer{":/resources/white_arrow_pointer.svg", 3, 1};
inline constexpr platform::Pointer kTrebleClefPointer{":/resources/treble_clef_pointer.svg", 12, 4};
inline constexpr platform::Pointer kNextPointer{":/resources/next_pointer.svg", 30, 16};
inline constexpr platform::Pointer kStartPointer{":/resources/start_icon.svg", 16, 16};

}  // namespace resources
