// The rules of the game without screens, at every level: what each draw
// takes from the generator, and the right picture among those shown.

#include "ChangesShown.h"
#include "PuzzleModel.h"
#include "PuzzleRules.h"
#include "Random.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <bit>
#include <map>
#include <set>
#include <tuple>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

// A generator that hands out the given numbers and counts how many were taken.
struct ScriptedGenerator {
    std::vector<double> numbers;
    std::size_t taken = 0;
    rules::Generator generator() {
        return [this] { return numbers.at(taken++); };
    }
};

constexpr double kJustBelowOne = 0.9999999999;

// The generator's number that draws the value of index `index` among `count`.
double drawing(std::size_t index, std::size_t count) {
    return (double(index) + 0.5) / double(count);
}

}  // namespace

class PuzzleRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The draws of the model and of the changes, and the numbers they take,
    // are the walk over every puzzle's; here the levels and the sets.
    void theLevelsAndTheDrawOfTheSet() {
        // Levels 1 and 2 play with the eight pictures of three attributes, level
        // 1 showing four of them, and draw among the changes as numbered from the
        // start: 1 colour, 2 size, 3 shape, 4 none. Level 3 shows the sixteen
        // pictures of four attributes and adds the pattern's change, 5.
        using Changes = std::vector<qint16>;
        const std::tuple<int, int, int, Changes, Changes> levels[] = {{1, 8, 4, {1, 2, 3, 4}, {1, 2, 3}},
                                                                      {2, 8, 8, {1, 2, 3, 4}, {1, 2, 3}},
                                                                      {3, 16, 16, {1, 2, 3, 4, 5}, {1, 2, 3, 5}}};
        for (const auto& [number, pictures, shownCount, kinds, changes] : levels) {
            const rules::Level& level = *rules::findLevel(number);
            QCOMPARE(level.pictures(), pictures);
            QCOMPARE(level.shownCount(), shownCount);
            QCOMPARE(rules::kindsOfChange(level), kinds);
            QCOMPARE(rules::changesOf(level), changes);
        }
        // Any set is drawn from its number, the first to the last; a chosen set draws no number.
        ScriptedGenerator rnd{{0.0, kJustBelowOne}};
        QCOMPARE(rules::drawSet(rules::kAllSets, rnd.generator()), 1);
        QCOMPARE(rules::drawSet(rules::kAllSets, rnd.generator()), rules::kSetCount);
        QCOMPARE(rules::drawSet(rules::kSetCount, rnd.generator()), rules::kSetCount);
        QCOMPARE(rnd.taken, std::size_t(2));
    }

    // At every level, for every model and every change a rule may draw: the
    // right picture differs from the model in the attributes named, it is
    // among the pictures shown and the only one of them counted right. Level
    // 1 shows it with the pictures one change away from it; the others show
    // every picture of their attributes in order. The drawing of the change
    // goes from the model to the right picture, each step changing exactly the
    // attributes its change names ("=" where none), named by their words in turn.
    void everyPuzzleOfEveryLevelHasOneRightPictureShown() {
        using rules::RuleKind;
        const int pattern = resources::picture_code::bitOf(resources::picture_code::Attribute::Pattern);
        const std::map<qint16, int> bitOfChange{
            {1, rules::kColourBit}, {2, rules::kSizeBit}, {3, rules::kShapeBit}, {4, 0}, {5, pattern}};
        const std::map<int, QString> words{{rules::kColourBit, u"WordColour"_s},
                                           {rules::kSizeBit, u"WordSize"_s},
                                           {rules::kShapeBit, u"WordShape"_s},
                                           {pattern, u"WordPattern"_s}};
        for (const rules::Level& level : rules::kLevels) {
            const int every = level.pictures() - 1;
            // A rule, the numbers it draws before the set and the bits each step of its drawing changes.
            std::vector<std::tuple<rules::Rule, std::vector<double>, std::vector<int>>> asked;
            for (const int mask : {rules::kColourBit, rules::kSizeBit, rules::kShapeBit, 0})
                asked.push_back({{RuleKind::FixedChange, mask}, {}, {mask}});
            asked.push_back({{RuleKind::FixedChange, rules::kEveryBit}, {}, {every}});
            const std::vector<qint16> kinds = rules::kindsOfChange(level), changes = rules::changesOf(level);
            for (std::size_t k = 0; k < kinds.size(); ++k)
                asked.push_back({{RuleKind::RandomChange}, {drawing(k, kinds.size())}, {bitOfChange.at(kinds[k])}});
            for (std::size_t first = 0; first < changes.size(); ++first)
                for (std::size_t second = 0; second < changes.size(); ++second)
                    asked.push_back({{RuleKind::TwoChanges},
                                     {drawing(first, changes.size()), drawing(second, changes.size())},
                                     {bitOfChange.at(changes[first]), bitOfChange.at(changes[second])}});
            for (const auto& [rule, drawn, steps] : asked) {
                for (int model = 0; model < level.pictures(); ++model) {
                    ScriptedGenerator rnd{drawn};
                    rnd.numbers.push_back(drawing(std::size_t(model), std::size_t(level.pictures())));
                    rnd.numbers.insert(rnd.numbers.end(), {0.3, 0.9, 0.1});  // the order shown, where drawn
                    rules::PuzzleModel puzzle(rule, rnd.generator());
                    QVERIFY(puzzle.setLevel(level.number));
                    puzzle.start(1);
                    // Where a comparison below fails: the level, the rule and the model.
                    const auto tell = qScopeGuard([&] {
                        if (QTest::currentTestFailed())
                            qWarning("in level %d, %s, model %d", level.number, qPrintable(puzzle.instructionKey()),
                                     model);
                    });
                    QCOMPARE(puzzle.modelIndex(), model);
                    QVERIFY(rules::allInstructionKeys(level).contains(puzzle.instructionKey()));
                    const int right = *puzzle.rightIndex();

                    const exercises::changes_shown::Drawing shownChange = exercises::changes_shown::drawing(puzzle);
                    QCOMPARE(shownChange.model, model);
                    QCOMPARE(shownChange.steps.size(), steps.size());
                    int before = model;
                    QStringList stepWords;
                    // The instruction says which way the stripes go from the picture each change starts at,
                    // so that it fits the right picture alone.
                    QStringList stripesSaid, stripesWanted;
                    for (const QRegularExpressionMatch& said :
                         QRegularExpression(u"(No)?Stripes"_s).globalMatch(puzzle.instructionKey()))
                        stripesSaid << said.captured();
                    for (std::size_t i = 0; i < steps.size(); ++i) {
                        const exercises::changes_shown::Step& step = shownChange.steps[i];
                        QCOMPARE(before ^ step.picture, steps[i]);
                        QCOMPARE(step.changes, steps[i] != 0);
                        if (steps[i] == pattern)
                            stripesWanted << ((before & pattern) != 0 ? u"NoStripes"_s : u"Stripes"_s);
                        before = step.picture;
                        for (const auto& [bit, word] : words)
                            if (steps[i] & bit)
                                stepWords << word;
                        if (steps[i] == 0)
                            stepWords << u"WordNothing"_s;
                    }
                    QCOMPARE(before, right);
                    QCOMPARE(exercises::changes_shown::wordKeys(puzzle), stepWords);
                    QCOMPARE(stripesSaid, stripesWanted);

                    const std::vector<qint16>& shown = puzzle.shownPictures();
                    QCOMPARE(int(shown.size()), level.shownCount());
                    QCOMPARE(std::set<qint16>(shown.begin(), shown.end()).size(), shown.size());
                    for (std::size_t place = 0; place < shown.size(); ++place) {
                        if (level.shown == rules::Shown::Every)
                            QCOMPARE(shown[place], qint16(place));
                        else
                            QVERIFY(std::popcount(unsigned(shown[place] ^ right)) <= 1 &&
                                    shown[place] < level.pictures());
                    }
                    QCOMPARE(rnd.taken, rnd.numbers.size() - (level.shown == rules::Shown::Every ? 3 : 0));
                    // Every picture but the right one counts wrong where it is shown, and not at all elsewhere;
                    // once solved, nothing counts.
                    QSignalSpy answers(&puzzle, &rules::PuzzleModel::answered);
                    for (int index = -1; index <= level.pictures(); ++index)
                        if (index != right)
                            puzzle.answer(index);
                    const int wrong = int(shown.size()) - 1;
                    QVERIFY(!puzzle.solved());
                    QCOMPARE(puzzle.ContaErrati(), wrong);
                    QCOMPARE(puzzle.wrongAnswersInPuzzle(), wrong);
                    for (const int index : {right, right, right ^ 1})
                        puzzle.answer(index);
                    QVERIFY(puzzle.solved());
                    QCOMPARE(puzzle.foundIndex(), right);
                    QCOMPARE(puzzle.ContaEsatti(), 1);
                    QCOMPARE(puzzle.ContaErrati(), wrong);
                    QCOMPARE(answers.size(), wrong + 1);
                    QCOMPARE(answers.last().first(2), (QList<QVariant>{true, right}));
                }
            }
        }
    }

    // Level 1 draws the order of its four pictures: the right one takes
    // every place. A new level holds from the next puzzle on.
    void theLevelDrawsTheOrderAndHoldsFromTheNextPuzzle() {
        media::seedRandom(28);
        rules::PuzzleModel puzzle({rules::RuleKind::TwoChanges}, media::Rnd);
        QCOMPARE(puzzle.level(), rules::kDefaultLevel);
        QVERIFY(!puzzle.setLevel(0));
        QVERIFY(!puzzle.setLevel(int(rules::kLevels.size()) + 1));
        QVERIFY(puzzle.setLevel(1));
        puzzle.start(1);
        std::set<long> places;
        for (int i = 0; i < 100; ++i) {
            puzzle.newPuzzle(rules::kAllSets);
            const std::vector<qint16>& shown = puzzle.shownPictures();
            places.insert(std::find(shown.begin(), shown.end(), *puzzle.rightIndex()) - shown.begin());
        }
        QCOMPARE(places, (std::set<long>{0, 1, 2, 3}));

        QVERIFY(puzzle.setLevel(2));
        QCOMPARE(puzzle.level(), 2);
        QCOMPARE(puzzle.puzzleLevel().number, 1);
        QCOMPARE(puzzle.shownPictures().size(), 4u);
        puzzle.newPuzzle(1);
        QCOMPARE(puzzle.puzzleLevel().number, 2);
        QCOMPARE(puzzle.shownPictures().size(), 8u);
    }

    void countsStopAtTheirLargestAndStartFromZeroAtEveryVisit() {
        rules::PuzzleModel puzzle({rules::RuleKind::FixedChange, 0}, [] { return 0.0; });
        QVERIFY(!puzzle.rightIndex());
        puzzle.answer(0);  // before the first puzzle nothing counts
        QCOMPARE(puzzle.ContaErrati(), qint16(0));
        puzzle.start(1);
        QSignalSpy counts(&puzzle, &rules::PuzzleModel::countsChanged);
        for (int i = 0; i < 32770; ++i)
            puzzle.answer(1);
        QCOMPARE(puzzle.ContaErrati(), qint16(32767));
        QCOMPARE(counts.size(), 32770);
        puzzle.answer(0);
        puzzle.newPuzzle(1);
        QVERIFY(!puzzle.solved());
        QCOMPARE(puzzle.wrongAnswersInPuzzle(), 0);
        QCOMPARE(puzzle.ContaEsatti(), 1);
        puzzle.start(1);
        QCOMPARE(puzzle.ContaEsatti(), 0);
        QCOMPARE(puzzle.ContaErrati(), 0);
    }
};

QTEST_APPLESS_MAIN(PuzzleRulesTest)
#include "tst_puzzle_rules.moc"
