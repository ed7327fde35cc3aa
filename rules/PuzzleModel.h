#pragma once
// The state of the open exercise and what can happen to it: a new puzzle, an
// answer, a reset of the counts. Whatever shows or says that state (the
// pictures, the face, the counts, the sounds, the voice, assistive
// technology, the focus) listens to the signals; the rules stay the plain
// functions of PuzzleRules.h.

#include "PuzzleRules.h"

#include <QObject>
#include <optional>

namespace puzzle {

class PuzzleModel : public QObject {
    Q_OBJECT

public:
    PuzzleModel(Rule rule, Generator rnd, QObject* parent = nullptr);

    const Rule& rule() const { return rule_; }
    qint16 set() const { return set_; }
    qint16 IndiceModello() const { return IndiceModello_; }
    qint16 TipoCambiamento() const { return TipoCambiamento_; }        // RandomChange: 1 to 4
    qint16 PrimoCambiamento() const { return PrimoCambiamento_; }      // TwoChanges: 1 to 3
    qint16 SecondoCambiamento() const { return SecondoCambiamento_; }  // TwoChanges: 1 to 3
    // The right picture of the current puzzle; nothing before the first one.
    std::optional<qint16> rightIndex() const;
    // The string numbers of the texts that name the change or changes drawn
    // for the current puzzle, in their order; none for a fixed rule.
    QStringList drawnChangeStrings() const;
    // The key of the spoken instruction of the current puzzle.
    QString instructionKey() const;

    qint16 ContaEsatti() const { return ContaEsatti_; }
    qint16 ContaErrati() const { return ContaErrati_; }
    int foundIndex() const { return foundIndex_; }  // the right picture once found; -1 before
    bool solved() const { return foundIndex_ >= 0; }
    int wrongAnswersInPuzzle() const { return wrongInPuzzle_; }

    // A new visit: both counts from zero, then a new puzzle.
    void start(qint16 serieFigure);
    // A new puzzle: the drawn changes first, then the set (serieFigure, or one
    // drawn when it is 6) and the model.
    void newPuzzle(qint16 serieFigure);
    // The child picks picture `index`: counted right or wrong by the rule.
    // Nothing happens while the puzzle is solved, before the first puzzle or
    // for an index that is no picture.
    void answer(int index);
    void resetCounts();

Q_SIGNALS:
    void puzzleChanged();
    void answered(bool right, int index);
    void countsChanged();

private:
    const Rule rule_;
    const Generator rnd_;
    qint16 set_ = 1;
    qint16 IndiceModello_ = 0;
    qint16 TipoCambiamento_ = 0;  // 0 before the first puzzle
    qint16 PrimoCambiamento_ = 0;
    qint16 SecondoCambiamento_ = 0;
    bool hasPuzzle_ = false;
    qint16 ContaEsatti_ = 0;
    qint16 ContaErrati_ = 0;
    int foundIndex_ = -1;
    int wrongInPuzzle_ = 0;
};

}  // namespace puzzle
