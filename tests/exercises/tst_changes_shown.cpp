// The drawing of the change without screens: for every level, every exercise,
// every model and every change it may draw, the steps from the model to the
// right picture and the words that name them.

#include "ChangesShown.h"
#include "ExerciseCatalogue.h"
#include "PuzzleModel.h"

#include <QTest>
#include <array>
#include <map>
#include <set>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

using puzzle::RuleKind;

// The attribute bits each drawn change names, and the words of the attributes.
constexpr int kPatternBit = picture_code::bitOf(picture_code::Attribute::Pattern);
const std::map<qint16, int> kNamedBits{
    {1, puzzle::kColourBit}, {2, puzzle::kSizeBit}, {3, puzzle::kShapeBit}, {4, 0}, {5, kPatternBit}};
const std::map<int, QString> kWords{{puzzle::kColourBit, u"WordColour"_s},
                                    {puzzle::kSizeBit, u"WordSize"_s},
                                    {puzzle::kShapeBit, u"WordShape"_s},
                                    {kPatternBit, u"WordPattern"_s}};

// The generator's number that draws the value of index `index` among `count`.
double drawing(std::size_t index, std::size_t count) {
    return (double(index) + 0.5) / double(count);
}

// A puzzle to draw: the generator's numbers before the model's, and the bits
// each step should change.
struct Asked {
    std::vector<double> changes;
    std::vector<int> bits;
};

std::vector<Asked> askedBy(const puzzle::Rule& rule, const puzzle::Level& level) {
    std::vector<Asked> asked;
    const std::vector<qint16> kinds = puzzle::kindsOfChange(level), changes = puzzle::changesOf(level);
    switch (rule.kind) {
    case RuleKind::FixedChange:
        asked.push_back({{}, {rule.mask == puzzle::kEveryBit ? level.pictures() - 1 : rule.mask}});
        break;
    case RuleKind::RandomChange:
        for (std::size_t kind = 0; kind < kinds.size(); ++kind)
            asked.push_back({{drawing(kind, kinds.size())}, {kNamedBits.at(kinds[kind])}});
        break;
    case RuleKind::TwoChanges:
        for (std::size_t first = 0; first < changes.size(); ++first)
            for (std::size_t second = 0; second < changes.size(); ++second)
                asked.push_back({{drawing(first, changes.size()), drawing(second, changes.size())},
                                 {kNamedBits.at(changes[first]), kNamedBits.at(changes[second])}});
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
    // changes some, "=" where it changes none. The words name the attributes
    // of each step in turn, or nothing.
    void everyChangeIsDrawnFromTheModelToTheRightPicture() {
        for (const puzzle::Level& level : puzzle::kLevels) {
            std::set<std::array<int, 5>> seen;
            for (const exercise_catalogue::Exercise& exercise : exercise_catalogue::catalogue()) {
                for (const Asked& asked : askedBy(exercise.rule, level)) {
                    for (int model = 0; model < level.pictures(); ++model) {
                        std::vector<double> numbers = asked.changes;
                        numbers.push_back(drawing(std::size_t(model), std::size_t(level.pictures())));
                        numbers.insert(numbers.end(), {0.5, 0.5, 0.5});  // the order shown, where drawn
                        std::size_t taken = 0;
                        puzzle::PuzzleModel puzzle(exercise.rule, [&] { return numbers.at(taken++); });
                        puzzle.setLevel(level.number);
                        puzzle.start(1);
                        QCOMPARE(puzzle.IndiceModello(), qint16(model));

                        const changes_shown::Drawing drawn = changes_shown::drawing(puzzle);
                        const std::array<int, 5> drawnChanges{exercise.number, model, puzzle.TipoCambiamento(),
                                                              puzzle.PrimoCambiamento(), puzzle.SecondoCambiamento()};
                        seen.insert(drawnChanges);
                        QByteArray where = "level, exercise, model, kind, changes: " + QByteArray::number(level.number);
                        for (const int number : drawnChanges)
                            where += ' ' + QByteArray::number(number);
                        QVERIFY2(drawn.model == model, where);
                        QVERIFY2(drawn.steps.size() == asked.bits.size(), where);
                        int before = drawn.model;
                        QStringList words;
                        for (std::size_t i = 0; i < drawn.steps.size(); ++i) {
                            const changes_shown::Step& step = drawn.steps[i];
                            QVERIFY2((before ^ step.picture) == asked.bits[i], where);
                            QVERIFY2(step.changes == (asked.bits[i] != 0), where);
                            before = step.picture;
                            for (const auto& [bit, word] : kWords) {
                                if (asked.bits[i] & bit)
                                    words << word;
                            }
                            if (asked.bits[i] == 0)
                                words << u"WordNothing"_s;
                        }
                        QVERIFY2(drawn.steps.back().picture == *puzzle.rightIndex(), where);
                        QVERIFY2(changes_shown::wordKeys(puzzle) == words, where);
                    }
                }
            }
            // 5 fixed rules, every kind and every pair of changes, each with every model.
            const std::size_t changes = puzzle::changesOf(level).size();
            QCOMPARE(seen.size(),
                     (5 + puzzle::kindsOfChange(level).size() + changes * changes) * std::size_t(level.pictures()));
        }
    }
};

QTEST_APPLESS_MAIN(ChangesShownTest)
#include "tst_changes_shown.moc"
