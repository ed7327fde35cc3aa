#pragma once
// The change or changes an exercise screen shows beside its letters: drawn
// (the drawings of the resources) and named in words (for assistive
// technology). A fixed rule shows the drawing of its exercise; a drawn change
// shows the drawing of that change, two drawn changes one drawing each, in
// their order.

#include "ExerciseCatalogue.h"
#include "PuzzleModel.h"

#include <QString>
#include <QStringList>

namespace changes_shown {

// The resources of the drawings, left to right.
QStringList drawings(const exercise_catalogue::Exercise& exercise, const puzzle::PuzzleModel& model);

// The keys of the words, in the section Accessibility, naming each change in
// its order: colour, size and shape for a fixed rule's changed attributes,
// "nothing" for a rule or a drawn change that changes nothing.
QStringList wordKeys(const puzzle::PuzzleModel& model);

// "change: shape" in the current language: the words of wordKeys() in the
// pattern of the key ChangeIs.
QString sentence(const puzzle::PuzzleModel& model);

}  // namespace changes_shown
