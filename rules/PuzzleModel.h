#pragma once
// The state of the open exercise and what can happen to it: a new puzzle, an
// answer, a reset of the counts. Whatever shows or says that state (the
// pictures, the face, the counts, the sounds, the voice, assistive
// technology, the focus) listens to the signals; the rules stay the plain
// functions of PuzzleRules.h.

#include "PuzzleRules.h"

#include <QObject>
#include <optional>
#include <vector>

namespace rules {

// The counts of a visit: right answers (ContaEsatti) and wrong ones (ContaErrati).
struct Counts {
    qint16 right = 0;
    qint16 wrong = 0;
};

class PuzzleModel : public QObject {
    Q_OBJECT

public:
    PuzzleModel(Rule rule, Generator rnd, QObject* parent = nullptr);

    const Rule& rule() const { return rule_; }
    // The level of the puzzles to come, the default one until set; a number
    // that is no level leaves it as it is (and gives false).
    int level() const { return level_->number; }
    bool setLevel(int number);
    // The level of the current puzzle.
    const Level& puzzleLevel() const { return *puzzleLevel_; }

    qint16 set() const { return set_; }
    qint16 modelIndex() const { return modelIndex_; }
    qint16 TipoCambiamento() const { return TipoCambiamento_; }        // RandomChange: one of kindsOfChange()
    qint16 PrimoCambiamento() const { return PrimoCambiamento_; }      // TwoChanges: one of changesOf()
    qint16 SecondoCambiamento() const { return SecondoCambiamento_; }  // TwoChanges: one of changesOf()
    // The pictures of the current puzzle, by their indices, in the order
    // they are shown; none before the first puzzle.
    const std::vector<qint16>& shownPictures() const { return shown_; }
    // The changes the current puzzle asks for, in their order, each the bits
    // it flips: the right picture, the instruction, the drawing of the rule
    // and its words follow from them. None before the first puzzle.
    std::vector<int> changes() const;
    // The right picture of the current puzzle; nothing before the first one.
    std::optional<qint16> rightIndex() const;
    // The string numbers of the texts that name the change or changes drawn
    // for the current puzzle, in their order; none for a fixed rule.
    QStringList drawnChangeStrings() const;
    // The key of the spoken instruction of the current puzzle.
    QString instructionKey() const;

    qint16 ContaEsatti() const { return counts_.right; }
    qint16 ContaErrati() const { return counts_.wrong; }
    Counts counts() const { return counts_; }
    int foundIndex() const { return foundIndex_; }  // the right picture once found; -1 before
    bool solved() const { return foundIndex_ >= 0; }
    int wrongAnswersInPuzzle() const { return wrongInPuzzle_; }

    // A new visit: both counts from zero, then a new puzzle.
    void start(qint16 serieFigure);
    // A new puzzle at level(): the drawn changes first, then the set
    // (serieFigure, or one drawn when it is 6), the model and the order of the
    // pictures shown, where the level draws one.
    void newPuzzle(qint16 serieFigure);
    // The child picks picture `index`: counted right or wrong by the rule.
    // Nothing happens while the puzzle is solved, before the first puzzle or
    // for an index that is not shown.
    void answer(int index);
    void resetCounts();

    // Each signal carries what its listeners need, as the model stands after
    // the change, so that no listener depends on another having heard first.
Q_SIGNALS:
    void puzzleChanged();
    // Picture `index` was picked, `right` or not; the counts after it, and
    // the wrong answers to this puzzle so far.
    void answered(bool right, int index, rules::Counts counts, int wrongInPuzzle);
    void countsChanged(rules::Counts counts);

private:
    const Rule rule_;
    const Generator rnd_;
    const Level* level_ = &defaultLevel();
    const Level* puzzleLevel_ = level_;
    std::vector<qint16> shown_;
    qint16 set_ = 1;
    qint16 modelIndex_ = 0;
    qint16 TipoCambiamento_ = 0;  // 0 before the first puzzle
    qint16 PrimoCambiamento_ = 0;
    qint16 SecondoCambiamento_ = 0;
    bool hasPuzzle_ = false;
    Counts counts_;
    int foundIndex_ = -1;
    int wrongInPuzzle_ = 0;
};

}  // namespace rules
