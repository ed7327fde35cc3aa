// The drawing of the change without screens: for every exercise, every model
// and every change it may draw, the steps from the model to the right picture.

#include "ChangesShown.h"
#include "ExerciseCatalogue.h"
#include "PuzzleModel.h"

#include <QTest>
#include <array>
#include <set>
#include <vector>

namespace {

using puzzle::RuleKind;

// The attribute bits each drawn change names: 1 colour, 2 size, 3 shape, 4 nothing.
constexpr std::array<int, 4> kNamedBits{puzzle::kColourBit, puzzle::kSizeBit, puzzle::kShapeBit, 0};

// The generator's number that draws `value` among `count` values from `first`.
double drawing(int value, int count, int first) {
    return (value - first + 0.5) / count;
}

// A puzzle to draw: the generator's numbers before the model's, and the bits
// each step should change.
struct Asked {
    std::vector<double> changes;
    std::vector<int> bits;
};

std::vector<Asked> askedBy(const puzzle::Rule& rule) {
    std::vector<Asked> asked;
    switch (rule.kind) {
    case RuleKind::FixedChange:
        asked.push_back({{}, {rule.mask}});
        break;
    case RuleKind::RandomChange:
        for (int kind = 1; kind <= 4; ++kind)
            asked.push_back({{drawing(kind, 4, 1)}, {kNamedBits[std::size_t(kind - 1)]}});
        break;
    case RuleKind::TwoChanges:
        for (int first = 1; first <= 3; ++first)
            for (int second = 1; second <= 3; ++second)
                asked.push_back({{drawing(first, 3, 1), drawing(second, 3, 1)},
                                 {kNamedBits[std::size_t(first - 1)], kNamedBits[std::size_t(second - 1)]}});
        break;
    }
    return asked;
}

}  // namespace

class ChangesShownTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The drawing starts at the model and ends at the right picture, each step
    // changing exactly the attributes its change names: an arrow where it
    // changes some, "=" where it changes none.
    void everyChangeIsDrawnFromTheModelToTheRightPicture() {
        std::set<std::array<int, 5>> seen;
        for (const exercise_catalogue::Exercise& exercise : exercise_catalogue::catalogue()) {
            for (const Asked& asked : askedBy(exercise.rule)) {
                for (int model = 0; model < puzzle::kPicturesPerSet; ++model) {
                    std::vector<double> numbers = asked.changes;
                    numbers.push_back(drawing(model, puzzle::kPicturesPerSet, 0));
                    std::size_t taken = 0;
                    puzzle::PuzzleModel puzzle(exercise.rule, [&] { return numbers.at(taken++); });
                    puzzle.start(1);
                    QCOMPARE(puzzle.IndiceModello(), qint16(model));

                    const changes_shown::Drawing drawn = changes_shown::drawing(puzzle);
                    const std::array<int, 5> drawnChanges{exercise.number, model, puzzle.TipoCambiamento(),
                                                          puzzle.PrimoCambiamento(), puzzle.SecondoCambiamento()};
                    seen.insert(drawnChanges);
                    QByteArray where = "exercise, model, kind, changes:";
                    for (const int number : drawnChanges)
                        where += ' ' + QByteArray::number(number);
                    QVERIFY2(drawn.model == model, where);
                    QVERIFY2(drawn.steps.size() == asked.bits.size(), where);
                    int before = drawn.model;
                    for (std::size_t i = 0; i < drawn.steps.size(); ++i) {
                        const changes_shown::Step& step = drawn.steps[i];
                        QVERIFY2((before ^ step.picture) == asked.bits[i], where);
                        QVERIFY2(step.changes == (asked.bits[i] != 0), where);
                        before = step.picture;
                    }
                    QVERIFY2(drawn.steps.back().picture == *puzzle.rightIndex(), where);
                }
            }
        }
        // 5 fixed rules, 4 kinds and 9 pairs of changes, each with every model.
        QCOMPARE(seen.size(), std::size_t((5 + 4 + 9) * puzzle::kPicturesPerSet));
    }
};

QTEST_APPLESS_MAIN(ChangesShownTest)
#include "tst_changes_shown.moc"
