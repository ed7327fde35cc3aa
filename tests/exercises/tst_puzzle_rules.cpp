// The rules of the game without screens: what each draw takes from the
// generator.

#include "PuzzleModel.h"
#include "PuzzleRules.h"

#include <QSignalSpy>
#include <QTest>
#include <vector>

namespace {

// A generator that hands out the given numbers and counts how many were taken.
struct ScriptedGenerator {
    std::vector<double> numbers;
    std::size_t taken = 0;
    puzzle::Generator generator() {
        return [this] { return numbers.at(taken++); };
    }
};

constexpr double kJustBelowOne = 0.9999999999;

}  // namespace

class PuzzleRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void drawsCoverTheirRangeAndTakeOneNumberEach() {
        struct Case {
            const char* what;
            std::function<qint16(const puzzle::Generator&)> draw;
            qint16 lowest, highest;
        };
        const std::vector<Case> cases = {
            {"set", [](const auto& g) { return puzzle::drawSet(puzzle::kAllSets, g); }, 1, 5},
            {"model", puzzle::drawModel, 0, 7},
            {"kind of change", puzzle::drawKindOfChange, 1, 4},
            {"one of two changes", puzzle::drawChange, 1, 3},
        };
        for (const Case& c : cases) {
            ScriptedGenerator rnd{{0.0, kJustBelowOne, 0.5}};
            QCOMPARE(c.draw(rnd.generator()), c.lowest);
            QCOMPARE(c.draw(rnd.generator()), c.highest);
            c.draw(rnd.generator());
            QVERIFY2(rnd.taken == 3, c.what);
        }
        // A chosen set draws no number.
        ScriptedGenerator rnd;
        for (qint16 set = 1; set <= puzzle::kSetCount; ++set)
            QCOMPARE(puzzle::drawSet(set, rnd.generator()), set);
        QCOMPARE(rnd.taken, std::size_t(0));
    }

    void changesOutsideTheirRangeHaveNoAnswerAndNoText() {
        for (qint16 kind : {qint16(0), qint16(5), qint16(-1)}) {
            QVERIFY(!puzzle::rightIndexForKind(kind, 3));
            QVERIFY(puzzle::kindOfChangeString(kind).isEmpty());
        }
    }

    // A fresh model of each rule takes the numbers its draws need, no more;
    // every answer but the right one is wrong (none outside the pictures
    // counts), and once solved nothing counts. Which picture is right for
    // each model and change is played on the screens.
    void aModelOfEachRuleDrawsAndCountsOnce() {
        using puzzle::RuleKind;
        const std::vector<std::pair<puzzle::Rule, std::vector<double>>> cases = {
            {{RuleKind::FixedChange, puzzle::kColourBit}, {0.3}},
            {{RuleKind::FixedChange, puzzle::kEveryBit}, {0.9}},
            {{RuleKind::RandomChange}, {0.6, 0.1}},
            {{RuleKind::TwoChanges}, {0.1, 0.9, 0.5}},
        };
        for (const auto& [rule, numbers] : cases) {
            ScriptedGenerator rnd{numbers};
            puzzle::PuzzleModel puzzle(rule, rnd.generator());
            QSignalSpy answers(&puzzle, &puzzle::PuzzleModel::answered);
            puzzle.start(3);
            QCOMPARE(puzzle.IndiceModello(), qint16(numbers.back() * 8));
            QVERIFY(!puzzle.instructionKey().isEmpty());
            const int right = *puzzle.rightIndex();
            for (int i = -1; i <= puzzle::kPicturesPerSet; ++i) {
                if (i != right)
                    puzzle.answer(i);
            }
            QCOMPARE(puzzle.ContaErrati(), qint16(7));
            QCOMPARE(puzzle.wrongAnswersInPuzzle(), 7);
            QVERIFY(!puzzle.solved());
            puzzle.answer(right);
            QVERIFY(puzzle.solved() && puzzle.foundIndex() == right);
            puzzle.answer(right);
            puzzle.answer(right ^ 1);
            QCOMPARE(puzzle.ContaEsatti(), qint16(1));
            QCOMPARE(puzzle.ContaErrati(), qint16(7));
            QCOMPARE(answers.size(), 8);
            QCOMPARE(answers.last(), (QList<QVariant>{true, right}));
            QCOMPARE(rnd.taken, numbers.size());
        }
    }

    void countsStopAtTheirLargestAndStartFromZeroAtEveryVisit() {
        puzzle::PuzzleModel puzzle({puzzle::RuleKind::FixedChange, 0}, [] { return 0.0; });
        QVERIFY(!puzzle.rightIndex());
        puzzle.answer(0);  // before the first puzzle nothing counts
        QCOMPARE(puzzle.ContaErrati(), qint16(0));
        puzzle.start(1);
        QSignalSpy counts(&puzzle, &puzzle::PuzzleModel::countsChanged);
        for (int i = 0; i < 32770; ++i)
            puzzle.answer(1);
        QCOMPARE(puzzle.ContaErrati(), qint16(32767));
        QCOMPARE(counts.size(), 32770);
        puzzle.answer(0);
        puzzle.newPuzzle(1);
        QVERIFY(!puzzle.solved() && puzzle.wrongAnswersInPuzzle() == 0 && puzzle.ContaEsatti() == 1);
        puzzle.start(1);
        QVERIFY(puzzle.ContaEsatti() == 0 && puzzle.ContaErrati() == 0);
    }
};

QTEST_APPLESS_MAIN(PuzzleRulesTest)
#include "tst_puzzle_rules.moc"
