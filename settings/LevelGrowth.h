#pragma once
// Growing with the child: the level of the next puzzle from how the last
// puzzles went. Five puzzles in a row solved at the first try step one level
// up; three in a row that needed two or more wrong answers step one level
// down; the level stays within 1 to 3, and a complete run of either kind
// starts counting anew.

#include "Settings.h"

namespace settings::level_growth {

inline constexpr int kFirstTriesToStepUp = 5;
inline constexpr int kHardPuzzlesToStepDown = 3;
// A puzzle that needed this many wrong answers or more counts as hard.
inline constexpr int kWrongAnswersOfAHardPuzzle = 2;

enum class Step { None, Up, Down };

struct Growth {
    int level = settings::kDefaultLevel;
    int firstTries = 0;      // puzzles in a row solved at the first try
    int hardPuzzles = 0;     // puzzles in a row that needed two or more wrong answers
    Step step = Step::None;  // how the last finished puzzle moved the level

    bool operator==(const Growth&) const = default;
};

// The growth after one more puzzle, finished with `wrongAnswers` wrong answers
// before the right one: the level of the next puzzle and whether it stepped.
Growth afterPuzzle(const Growth& before, int wrongAnswers);

}  // namespace settings::level_growth
