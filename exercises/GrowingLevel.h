#pragma once
// Growing with the child on an exercise screen: while the parent lets the
// level grow, every solved puzzle counts towards a step up or down. A step is
// kept at once, so that the next puzzle is set up at the new level, and the
// screen tells it by the key of its sentence.

#include "LevelGrowth.h"
#include "Player.h"

#include <QString>
#include <QStringList>

namespace exercises::growing_level {

class GrowingLevel {
public:
    // A new visit of the exercise: the puzzles in a row count from none.
    void start() { growth_ = {}; }
    // Counts a puzzle `player` solved after `wrongAnswers` wrong answers;
    // nothing while the level is fixed. A child keeps the level reached as
    // theirs, nobody in particular in the settings file.
    void solved(int wrongAnswers, record::Player& player);
    // The key of the sentence that tells the step of the last solved puzzle;
    // empty when it did not step.
    const QString& stepKey() const { return stepKey_; }

private:
    settings::level_growth::Growth growth_;
    QString stepKey_;
};

// The keys of the sentences of every step.
QStringList spokenKeys();

}  // namespace exercises::growing_level
