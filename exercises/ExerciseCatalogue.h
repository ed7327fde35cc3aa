#pragma once
// Every exercise of the program, one row each: the screen, the menu's button
// that opens it, the rule it plays by, the question asked before leaving it,
// the drawing of its rule and where its controls stand. The menu, the screens,
// the spoken instructions, the window titles and the names told to assistive
// technology all come from here: adding an exercise is adding a row (and, for
// a new kind of rule, one rule function).

#include "ExerciseLayout.h"
#include "PuzzleRules.h"

#include <QString>
#include <QStringList>
#include <span>

namespace exercises::exercise_catalogue {

// Where an exercise's button stands on the menu, in twips, and its place in
// the keyboard order.
struct MenuPlace {
    double left, top;
    int tabIndex;
};

struct Exercise {
    int number;        // FormEs<number>
    const char* form;  // the screen's name, also its section in the language files
    forms::ControlName menuButton;
    const char* menuCaption;  // the button's caption as designed: the exercise's name
    MenuPlace menuPlace;
    rules::Rule rule;
    const char* leaveQuestion;  // string number of the question asked before leaving
    const char* drawing;        // resource of the drawing of the rule, beside the menu button's caption
    exercises::exercise_layout::Placement layout;
};

// In the order of their numbers.
std::span<const Exercise> catalogue();
// FormEs<number>, number 1 to catalogue().size().
const Exercise& exercise(int number);

// The exercise's name in the current language: its menu button's caption
// there, else its title there, else the button's caption as designed. The
// window title and assistive technology use it.
QString exerciseName(const Exercise& exercise);

// The keys of every instruction an exercise may say at any level, of its
// praises, of the steps of a growing level and of every exercise's name (its
// menu button's), as the language files' spoken sentences have them.
QStringList spokenKeys();

// The keys of the praises said after a right answer, in the order they take turns.
QStringList praiseKeys();

}  // namespace exercises::exercise_catalogue
