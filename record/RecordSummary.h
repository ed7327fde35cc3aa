#pragma once
// What the record's page shows of one child (or of nobody in particular):
// the days played lately and the minutes of each, for every exercise and
// level how many puzzles, how many solved and how many at the first try, and
// the same for every exercise week by week.

#include "RecordStore.h"

#include <QDate>
#include <vector>

namespace record {

struct Day {
    QDate date;
    int puzzles = 0;
    double minutes = 0;
};

struct ExerciseLevel {
    int exercise = 0;
    int level = 0;
    int puzzles = 0;
    int solved = 0;
    int firstTry = 0;
    double firstTryShare() const { return solved ? double(firstTry) / solved : 0; }
};

// A week begins on Monday.
struct Week {
    QDate monday;
    int exercise = 0;
    int solved = 0;
    int firstTry = 0;
    double firstTryShare() const { return solved ? double(firstTry) / solved : 0; }
};

struct Summary {
    std::vector<Day> days;                 // the days with play since `since`, in order
    std::vector<ExerciseLevel> exercises;  // by exercise, then level
    std::vector<Week> weeks;               // the weeks with a puzzle solved since `since`, by week then exercise
    int highestLevel = 0;                  // of the puzzles solved since `since`
};

// A puzzle left longer than this counts this long: a child who walked away
// was not playing.
inline constexpr qint64 kLongestPuzzleMs = 5 * 60 * 1000;

// `child` 0: nobody in particular. Days and level from `since` (local time).
Summary summarise(Store& store, qint64 child, const QDate& since);

// The exercises and levels where a child needs help: at least `atLeast`
// puzzles solved, fewer than half at the first try.
std::vector<ExerciseLevel> needsHelp(const Summary& summary, int atLeast = 5);

}  // namespace record
