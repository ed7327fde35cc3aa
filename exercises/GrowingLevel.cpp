#include "GrowingLevel.h"

#include "PuzzleRules.h"
#include "Settings.h"

#include <QStringBuilder>

using namespace Qt::Literals::StringLiterals;

namespace exercises::growing_level {

namespace {

// The levels a parent chooses are the rules' levels, and the default is the same game.
static_assert(settings::kMinLevel == rules::kLevels.front().number &&
              settings::kMaxLevel == rules::kLevels.back().number && settings::kDefaultLevel == rules::kDefaultLevel);

// "LevelUp3": the step up to level 3; "LevelDown1": down to level 1.
QString stepKeyOf(settings::level_growth::Step step, int level) {
    return (step == settings::level_growth::Step::Up ? u"LevelUp"_s : u"LevelDown"_s) % QString::number(level);
}

}  // namespace

void GrowingLevel::solved(int wrongAnswers, record::Player& player) {
    stepKey_.clear();
    if (settings::current().level != settings::Level::Grows)
        return;
    // A level chosen meanwhile, on the menu or by another exercise, counts anew.
    if (growth_.level != settings::puzzleLevel())
        growth_ = {.level = settings::puzzleLevel()};
    growth_ = settings::level_growth::afterPuzzle(growth_, wrongAnswers);
    if (growth_.step == settings::level_growth::Step::None)
        return;
    if (player.isChild()) {
        player.setLevel(growth_.level);
        settings::current().reachedLevel = growth_.level;
    } else
        settings::rememberLevel(growth_.level);
    stepKey_ = stepKeyOf(growth_.step, growth_.level);
}

QStringList spokenKeys() {
    QStringList keys;
    for (int level = settings::kMinLevel; level <= settings::kMaxLevel; ++level) {
        if (level > settings::kMinLevel)
            keys.append(stepKeyOf(settings::level_growth::Step::Up, level));
        if (level < settings::kMaxLevel)
            keys.append(stepKeyOf(settings::level_growth::Step::Down, level));
    }
    return keys;
}

}  // namespace exercises::growing_level
