#include "PuzzleModel.h"

#include <algorithm>

namespace rules {

PuzzleModel::PuzzleModel(Rule rule, Generator rnd, QObject* parent)
    : QObject(parent), rule_(rule), rnd_(std::move(rnd)) {}

bool PuzzleModel::setLevel(int number) {
    const Level* level = findLevel(number);
    if (level)
        level_ = level;
    return level;
}

std::vector<int> PuzzleModel::changes() const {
    if (!hasPuzzle_)
        return {};
    switch (rule_.kind) {
    case RuleKind::RandomChange:
        return {changeBit(TipoCambiamento_)};
    case RuleKind::TwoChanges:
        return {changeBit(PrimoCambiamento_), changeBit(SecondoCambiamento_)};
    case RuleKind::FixedChange:
        break;
    }
    return {fixedChangeBits(rule_.mask, *puzzleLevel_)};
}

std::optional<qint16> PuzzleModel::rightIndex() const {
    if (!hasPuzzle_)
        return std::nullopt;
    return rules::rightIndex(modelIndex_, changes());
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
    return rules::instructionKey(changes(), *puzzleLevel_, modelIndex_);
}

void PuzzleModel::start(qint16 serieFigure) {
    resetCounts();
    newPuzzle(serieFigure);
}

void PuzzleModel::newPuzzle(qint16 serieFigure) {
    puzzleLevel_ = level_;
    if (rule_.kind == RuleKind::RandomChange) {
        TipoCambiamento_ = drawKindOfChange(*puzzleLevel_, rnd_);
    } else if (rule_.kind == RuleKind::TwoChanges) {
        PrimoCambiamento_ = drawChange(*puzzleLevel_, rnd_);
        SecondoCambiamento_ = drawChange(*puzzleLevel_, rnd_);
    }
    set_ = drawSet(serieFigure, rnd_);
    modelIndex_ = drawModel(*puzzleLevel_, rnd_);
    hasPuzzle_ = true;
    shown_ = drawShownPictures(*puzzleLevel_, *rightIndex(), rnd_);
    foundIndex_ = -1;
    wrongInPuzzle_ = 0;
    Q_EMIT puzzleChanged();
}

void PuzzleModel::answer(int index) {
    const std::optional<qint16> right = rightIndex();
    if (!right || solved() || std::find(shown_.begin(), shown_.end(), index) == shown_.end())
        return;
    const bool isRight = index == *right;
    qint16& count = isRight ? counts_.right : counts_.wrong;
    count = countAfterAnswer(count);
    if (isRight)
        foundIndex_ = index;
    else
        ++wrongInPuzzle_;
    Q_EMIT countsChanged(counts_);
    Q_EMIT answered(isRight, index, counts_, wrongInPuzzle_);
}

void PuzzleModel::resetCounts() {
    counts_ = {};
    Q_EMIT countsChanged(counts_);
}

}  // namespace rules
