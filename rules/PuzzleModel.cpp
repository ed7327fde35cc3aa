#include "PuzzleModel.h"

namespace puzzle {

PuzzleModel::PuzzleModel(Rule rule, Generator rnd, QObject* parent)
    : QObject(parent), rule_(rule), rnd_(std::move(rnd)) {}

std::optional<qint16> PuzzleModel::rightIndex() const {
    if (!hasPuzzle_)
        return std::nullopt;
    switch (rule_.kind) {
    case RuleKind::RandomChange:
        return rightIndexForKind(TipoCambiamento_, IndiceModello_);
    case RuleKind::TwoChanges:
        return rightIndexForTwoChanges(PrimoCambiamento_, SecondoCambiamento_, IndiceModello_);
    case RuleKind::FixedChange:
        break;
    }
    return qint16(IndiceModello_ ^ rule_.mask);
}

QStringList PuzzleModel::drawnChangeStrings() const {
    switch (rule_.kind) {
    case RuleKind::RandomChange:
        return {kindOfChangeString(TipoCambiamento_)};
    case RuleKind::TwoChanges:
        return {firstChangeString(PrimoCambiamento_), secondChangeString(SecondoCambiamento_)};
    case RuleKind::FixedChange:
        break;
    }
    return {};
}

QString PuzzleModel::instructionKey() const {
    switch (rule_.kind) {
    case RuleKind::RandomChange:
        return singleChangeKey(TipoCambiamento_);
    case RuleKind::TwoChanges:
        return twoChangesKey(PrimoCambiamento_, SecondoCambiamento_);
    case RuleKind::FixedChange:
        break;
    }
    return puzzle::instructionKey(rule_.mask);
}

void PuzzleModel::start(qint16 serieFigure) {
    resetCounts();
    newPuzzle(serieFigure);
}

void PuzzleModel::newPuzzle(qint16 serieFigure) {
    if (rule_.kind == RuleKind::RandomChange) {
        TipoCambiamento_ = drawKindOfChange(rnd_);
    } else if (rule_.kind == RuleKind::TwoChanges) {
        PrimoCambiamento_ = drawChange(rnd_);
        SecondoCambiamento_ = drawChange(rnd_);
    }
    set_ = drawSet(serieFigure, rnd_);
    IndiceModello_ = drawModel(rnd_);
    hasPuzzle_ = true;
    foundIndex_ = -1;
    wrongInPuzzle_ = 0;
    Q_EMIT puzzleChanged();
}

void PuzzleModel::answer(int index) {
    const std::optional<qint16> right = rightIndex();
    if (!right || solved() || index < 0 || index >= kPicturesPerSet)
        return;
    const bool isRight = index == *right;
    qint16& count = isRight ? ContaEsatti_ : ContaErrati_;
    count = countAfterAnswer(count);
    if (isRight)
        foundIndex_ = index;
    else
        ++wrongInPuzzle_;
    Q_EMIT countsChanged();
    Q_EMIT answered(isRight, index);
}

void PuzzleModel::resetCounts() {
    ContaEsatti_ = 0;
    ContaErrati_ = 0;
    Q_EMIT countsChanged();
}

}  // namespace puzzle
