#pragma once
// What an answer does beyond the exercise screen's own pictures and faces,
// each an object made with the puzzle model and connected to its signals, as
// a game's sound engine listens to the game: the sound and the words after
// it, the counts shown, the announcement to assistive technology (and, in
// PuzzleRecord.h, the record). Each acts on what its signal carries (the
// counts after the answer, the wrong answers to the puzzle), never on what
// another listener showed, so the order in which the model sends its signals
// does not matter. They live as long as the model, their parent, and act only
// while their screen is loaded.
//
// The one thing they share is the growing level (GrowingLevel.h): the step
// of a right answer is told with it, so the screen connects the level to the
// model before any of these (Qt calls the receivers of one signal in the
// order they were connected).

#include "GrowingLevel.h"
#include "PuzzleModel.h"
#include "Screen.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace exercises::answer_effects {

// A count as the screen shows it: as designed ("0") until the visit's first
// answer of its kind.
QString countCaption(qint16 count);
// A count's name for assistive technology: the caption of its label and the
// count ("Right: 1").
QString countName(const QString& label, const QString& countCaption);
// The name of the face of a right or wrong answer, whose label has that caption.
QString faceName(bool right, const QString& label);

// The sound of an answer, while the sound switch is on; after it, praise for
// a right answer (while a parent lets it) and the step of the level, or the
// instruction again after every second wrong answer to a puzzle. A new
// puzzle or leaving the screen before the sound ends cancels the words.
class SoundAndPraise : public QObject {
public:
    SoundAndPraise(rules::PuzzleModel& model, const forms::Screen& screen,
                   const exercises::growing_level::GrowingLevel& growth);

private:
    void answered(bool right, int wrongInPuzzle);

    const rules::PuzzleModel& model_;
    const forms::Screen& screen_;
    const exercises::growing_level::GrowingLevel& growth_;
    QTimer afterSound_;           // waits for the end of an answer's sound
    QStringList afterSoundKeys_;  // then says these sentences
    int praises_ = 0;             // praises said, so that the next one differs
};

// The counts of the visit, on the screen and in their names; before the
// first answer no face (a smile then would praise nothing).
class CountsShown : public QObject {
public:
    CountsShown(rules::PuzzleModel& model, forms::Screen& screen);

private:
    void show(rules::Counts counts);

    forms::Screen& screen_;
};

// An answer told to assistive technology in one announcement: the face's
// name, the count of its kind after it, and the step of the level that a
// right answer made.
class AnswerAnnouncement : public QObject {
public:
    AnswerAnnouncement(rules::PuzzleModel& model, const forms::Screen& screen,
                       const exercises::growing_level::GrowingLevel& growth);

private:
    void answered(bool right, rules::Counts counts);

    const forms::Screen& screen_;
    const exercises::growing_level::GrowingLevel& growth_;
};

}  // namespace exercises::answer_effects
