#include "LevelGrowth.h"

#include <algorithm>

namespace settings::level_growth {

Growth afterPuzzle(const Growth& before, int wrongAnswers) {
    Growth after = before;
    after.step = Step::None;
    after.firstTries = wrongAnswers == 0 ? before.firstTries + 1 : 0;
    after.hardPuzzles = wrongAnswers >= kWrongAnswersOfAHardPuzzle ? before.hardPuzzles + 1 : 0;
    const bool up = after.firstTries == kFirstTriesToStepUp;
    if (!up && after.hardPuzzles < kHardPuzzlesToStepDown)
        return after;
    // A complete run counts anew, also at the lowest or highest level.
    after.firstTries = 0;
    after.hardPuzzles = 0;
    after.level = std::clamp(before.level + (up ? 1 : -1), settings::kMinLevel, settings::kMaxLevel);
    if (after.level != before.level)
        after.step = up ? Step::Up : Step::Down;
    return after;
}

}  // namespace settings::level_growth
