#pragma once
// Keeps every puzzle of an exercise screen and every answer to it in the
// record, for the player of the moment: a listener of the puzzle model, like
// everything else an answer does.

#include "Player.h"
#include "PuzzleModel.h"

#include <QObject>
#include <functional>

namespace exercises::puzzle_record {

class PuzzleRecord : public QObject {
public:
    // Listens to `model` for as long as it lives (it is the parent).
    PuzzleRecord(rules::PuzzleModel& model, int exercise, std::function<const record::Player&()> player);
};

// The changes of a puzzle in words, as the record keeps them: the attributes
// each change flips joined by "+" ("same" for none), the changes by ",".
QString changeWords(const std::vector<int>& changes);

}  // namespace exercises::puzzle_record
