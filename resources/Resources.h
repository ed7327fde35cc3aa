#pragma once
// The design images of the screens, built into the executable as Qt
// resources. Each is an SVG drawing, rendered at the size it is shown.

#include "Design.h"

#include <array>

namespace resources {

inline constexpr const char* kStartIcon = ":/resources/start_icon.svg";  // start screen: window icon, button picture
inline constexpr const char* kExitSign = ":/resources/exit_sign.svg";    // red round sign with a raised hand
inline constexpr const char* kSmilingFace = ":/resources/smiling_face.svg";  // right answer: smiling sun; window icon
inline constexpr const char* kSadFace = ":/resources/sad_face.svg";          // wrong answer
inline constexpr const char* kNextArrow = ":/resources/next_arrow.svg";      // green arrow of the Next button
inline constexpr const char* kSpeaker = ":/resources/speaker.svg";           // loudspeaker: hear the instruction again
inline constexpr const char* kHome = ":/resources/home.svg";                 // a house: back to the menu

// 2:1 drawings of the exercise rules, to stand beside the captions of the
// menu's exercise buttons: the model on the left, the answer on the right.
inline constexpr const char* kRuleColour = ":/resources/rule_colour.svg";  // blue circle -> orange circle
inline constexpr const char* kRuleShape = ":/resources/rule_shape.svg";    // blue circle -> blue square
inline constexpr const char* kRuleNone = ":/resources/rule_none.svg";      // blue circle = blue circle
inline constexpr const char* kRuleSize = ":/resources/rule_size.svg";      // big circle -> small circle
inline constexpr const char* kRuleRandom = ":/resources/rule_random.svg";  // circle, arrow under a "?", square
inline constexpr const char* kRuleTwo = ":/resources/rule_two.svg";        // two arrows, one change each
inline constexpr const char* kRuleAll = ":/resources/rule_all.svg";        // big blue circle -> small orange square

// 2:1 drawings of the picture sets, indexed like the menu's options: the two
// figures of each set in its two colours, and a mix for every set at random.
inline constexpr std::array<const char*, 6> kPictureSetIcons{
    ":/resources/set_circles_squares.svg", ":/resources/set_stars_moons.svg",     ":/resources/set_hearts_stars.svg",
    ":/resources/set_rings_faces.svg",     ":/resources/set_cubes_cylinders.svg", ":/resources/set_all.svg"};

// 2:1 drawings of the levels, indexed by level - 1: a grid of as many dots as
// the puzzles show pictures (4, 8, 16).
inline constexpr std::array<const char*, 3> kLevelIcons{":/resources/level_4_dots.svg", ":/resources/level_8_dots.svg",
                                                        ":/resources/level_16_dots.svg"};

inline constexpr forms::Pointer kWhiteArrowPointer{":/resources/white_arrow_pointer.svg", 3, 1};
inline constexpr forms::Pointer kTrebleClefPointer{":/resources/treble_clef_pointer.svg", 12, 4};
inline constexpr forms::Pointer kNextPointer{":/resources/next_pointer.svg", 30, 16};
inline constexpr forms::Pointer kStartPointer{":/resources/start_icon.svg", 16, 16};

}  // namespace resources
