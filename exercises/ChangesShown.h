#pragma once
// The change or changes an exercise screen shows beside its letters: drawn
// on the puzzle's own pictures and named in words (for assistive
// technology).

#include "PuzzleModel.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace exercises::changes_shown {

// The drawing of the change, on the pictures of the puzzle's set by their
// index: the model, then the picture after each step. A fixed rule or a
// random change is one step, two drawn changes two, in their order (the
// same change twice goes there and back). A step that changes nothing is
// drawn with "=" rather than an arrow.
struct Step {
    qint16 picture;
    bool changes;
};
struct Drawing {
    qint16 model;
    std::vector<Step> steps;
};
Drawing drawing(const rules::PuzzleModel& model);

// The keys of the words, in the section Accessibility, naming each change in
// its order: the words of the attributes it changes, in the order of the
// picture code, or "nothing" for a change of nothing.
QStringList wordKeys(const rules::PuzzleModel& model);

// "change: shape" in the current language: the words of wordKeys() in the
// pattern of the key ChangeIs.
QString sentence(const rules::PuzzleModel& model);

}  // namespace exercises::changes_shown
